// Port controller of a receiver on a serial port. In its own thread it finds
// the receiver's rate when asked to, checks that a receiver answers, reads
// continuously into the port's pending bytes and log, writes what the user
// interface sends, upgrades firmware through the receiver's boot loader with
// XMODEM-1K, floods the line for the loader's rescue mode, and reconnects.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <mutex>
#include <vector>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/ports/port_records.h"
#include "monitor/ports/xmodem.h"

class QTimer;

// Waits of the controller in milliseconds (and two counts); tests shorten them.
struct UART_CTRL_TIMING_T
{
    UART_TIMING_T Device;
    uint PropertyPoll = 200;        // between reads of the property reply
    uint PropertyPolls = 10;        // reads before the property query gives up
    uint IdleLimit = 1000;          // empty reads during a transfer before it is given up
    uint ReconnectFirstWait = 1000; // before the first automatic reconnection; doubles each time
    uint ReconnectSettle = 1000;    // after each reconnection attempt
    uint ReconnectAttempts = 9;
    uint RateChangeWait = 100;  // between "COM <rate>" and changing our own rate
    uint RateSettle = 400;      // after a rate change
    uint UpgradeCmdWait = 200;  // after each "SET UPGRADEPORT"
    uint UpgradeSaveWait = 500; // after "SAVECONFIG"
};

class QZvUartPortCtrl : public QZvPortCtrlBase
{
    Q_OBJECT

public:
    static constexpr uint READ_SIZE = 0x14000;

    QZvUartPortCtrl();
    ~QZvUartPortCtrl() override;

    // Copies the whole record (name, rate and line settings); the port opens in
    // its thread. Also rewrites the settings of an open port before a reconnect.
    int SetPortConfig(void* pConfig) override;
    int ClosePort() override;
    QString GetPortName() const override;
    int DisconnectPort() override;
    int ReconnectPort() override;
    int AutoReconnectPort() override;
    bool ParsePortProperty() override;

    uint GetBaudRate() const;
    UART_CONFIG_T GetPortConfig() const;
    // Before the thread starts.
    void SetTiming(const UART_CTRL_TIMING_T& Timing);
    // The debug file of serial upgrades, under the program's configuration folder.
    static QString UartErrFilePath();
    static uint GetLiveUartCount();

signals:
    void SignalUpdateFail(uint m_UniquePortID);
    void SignalBoardReset(uint UniquePortID);

public slots:
    void OnSetBaudrate(uint BaudRate);
    void OnWritePort(uint UniquePortID, QByteArray WriteData) override;
    void OnSetUpgradeFW(uint UniquePortID, QString sFWPath) override;
    void OnCancelUpgradeFW(uint UniquePortID) override;
    void OnRescueModemTimeStop();
    void OnRescueModemTimeout();
    void OnStartSendCmd();

protected:
    void run() override;

private:
    // One turn of the read loop: read all the device holds (up to READ_SIZE),
    // hand it over or feed the transfer, write. True when the read filled
    // the buffer, so that more may be waiting.
    bool ReadTurn();
    // Writes what waits in the out area (when the device is open) and empties it.
    void WriteOutArea();
    void OnTransferChunk(uint8_t* pBuf, uint32_t n);
    // Reports how the transfer ended: complete, or failed.
    void EndTransfer();
    void WriteUartErr(uint32_t nRead);
    bool OpenWithConfig();
    bool WaitMs(uint nMs) const;

    mutable std::mutex m_ConfigMutex;
    UART_CONFIG_T m_Config;
    CUartProcessEx m_Dev;
    UART_CTRL_TIMING_T m_Timing;
    QByteArray m_OutArea;
    std::vector<uint8_t> m_ReadBuf;
    QTimer* m_pRescueTimer = nullptr;
    QFile m_UartErr;
    uint m_IdleCount = 0;
    bool m_bAutoReconnecting = false;
};
