// Replays a recorded receiver log as if it were a live port: every tick of its
// Speed it hands the next block of the file to the port's tab, so parsing and
// views work on recorded data. Pause, stop, start and jumps come from the main
// window's replay controls.
#pragma once

#include <QFile>
#include <atomic>
#include <mutex>

#include "monitor/ports/port_ctrl_base.h"

class QZvFilePortCtrl : public QZvPortCtrlBase
{
    Q_OBJECT

public:
    static constexpr int BLOCK_BYTES = 4096;
    // Shortest tick: a speed of 0 would read the whole file in a busy loop.
    static constexpr uint MIN_SPEED_MS = 10;

    QZvFilePortCtrl();
    ~QZvFilePortCtrl() override;

    // 0, or 1 when the file cannot be opened.
    int SetPortConfig(void* pConfig) override;
    // 0, or 1 when no file was open.
    int ClosePort() override;
    QString GetPortName() const override;
    int DisconnectPort() override;
    int ReconnectPort() override;

    REPLAY_CONFIG_T GetReplayConfig() const;
    // Bytes handed over since the start offset, moved by jumps.
    qint64 GetReadCount() const { return m_ReadCount.load(); }
    qint64 GetFileSize() const { return m_FileSize.load(); }
    bool IsPaused() const { return IsDisconnected(); }
    bool IsStopped() const { return m_bStop.load(); }

signals:
    // The replay has handed over the last byte of the file (once per arrival).
    void SignalReplayEnd(uint UniquePortID);

public slots:
    void OnReadData() {}
    void OnWritePort(uint UniquePortID, QByteArray WriteData) override;
    void OnUpdateStatus() override;
    // true stops the replay and closes the file; false starts it again from
    // the start offset after a stop.
    void OnStopReplay(bool bStop);
    void OnPauseReplay(bool bPause);
    // Moves 5 % of the file forward or back, never past either end.
    void OnJumpReplay(bool bForward);
    // A replay keeps its own speed whether or not its tab is current.
    void OnSetTimeInterval(bool bActivePort) override;

protected:
    void run() override;

private:
    bool OpenFile();
    void StartTimerIfOwned();
    void StopTimerIfOwned();

    mutable std::mutex m_Mutex; // guards the configuration
    REPLAY_CONFIG_T m_Config;
    QFile m_File;
    std::atomic<qint64> m_ReadCount{0};
    std::atomic<qint64> m_FileSize{0};
    std::atomic<bool> m_bStop{false};
    bool m_bEndSaid = false;
};
