// Base of every port controller: one object per open connection, moved into a
// thread of its own. It keeps what all connections share: the port kind and
// unique ID, the received bytes waiting for the user interface and the timer
// that hands them over, the byte rate, raw logging to a file, the receiver's
// properties and the lock and upgrade flags.
//
// Threads: slots and the status timer run in the port's thread (queued from
// the GUI). Everything the GUI thread may read while the port runs is atomic or
// behind a lock (the Get/Is members below). A subclass thread body either runs
// the thread's event loop (exec) or pumps events itself; every wait it makes is
// bounded and ends early once IsStopRequested() is true, so that a port can
// always be deleted within a second. When the thread ends the object returns
// to the application thread, where it can be restarted or destroyed.
//
// Status convention of the ports: the lower layers (serial device, NTRIP
// protocol, USB link library, message 4089 codec, firmware image check) return
// 0 or a count on success and a negative code on failure, named wherever a
// caller tells several failures apart; failures reach
// the user interface only as controller and manager signals: SignalAddPortFail
// with a PORT_FAIL_E (a socket error for TCP, an NTRIP_RESULT_E for NTRIP),
// SignalUpdateFail, SignalOpenFileFail.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>

#include "monitor/ports/port_property.h"
#include "monitor/ports/port_records.h"
#include "monitor/ports/thread_end.h"

class QTimer;

// The Errflag of SignalAddPortFail: why a port could not be added, or why it
// lost its link. Serial ports and the manager report these; TCP ports report
// the socket error (QAbstractSocket::SocketError), NTRIP ports their session
// result (NTRIP_RESULT_E).
enum PORT_FAIL_E : int
{
    PORT_FAIL_NONE = 0,
    PORT_FAIL_SETUP = 1,      // no controller for the kind, or its connection record refused
    PORT_FAIL_NO_DEVICE = -1, // the serial device cannot be opened (also while its rate is detected)
    PORT_FAIL_NO_ANSWER = -2, // the receiver does not answer the property query
    // Later, from a running serial port: its device went away (an adapter
    // pulled out, the other end of the line closed). The port keeps its
    // thread and can be reconnected.
    PORT_FAIL_DEVICE_LOST = -3,
};

class QZvPortCtrlBase : public QThread
{
    Q_OBJECT

public:
    enum PORT_TYPE_E : uint32_t
    {
        PORT_TYPE_UART = 0,
        PORT_TYPE_USB = 1,
        PORT_TYPE_TCP = 2,
        PORT_TYPE_NTRIP = 3,
        PORT_TYPE_REPLAY = 4,
    };
    Q_ENUM(PORT_TYPE_E)

    // Address that every port accepts.
    static constexpr uint ANY_PORT_ID = 0xFFFFFFFFu;
    static constexpr uint DEFAULT_TIMER_INTERVAL = 50;
    static constexpr uint ACTIVE_TIMER_INTERVAL = 200;
    static constexpr uint INACTIVE_TIMER_INTERVAL = 1000;
    // Ticks over which the byte rate is measured.
    static constexpr uint RATE_TICKS = 21;
    // Bytes a port keeps for its device while the device cannot take them yet.
    static constexpr uint OUT_AREA_SIZE = 0x50000;
    // Received bytes a port may have handed to the user interface and not yet
    // seen taken, and bytes it may gather for one hand-over: a peer that sends
    // faster than the window takes its bytes fills them, and what comes on
    // top is logged but not handed over (counted, TakeSkippedUiBytes), so that
    // memory stays bounded and the window responsive whatever a peer sends.
    static constexpr qint64 UI_BACKLOG_MAX = 4 << 20;
    static constexpr qint64 UI_BATCH_MAX = 16 << 20;

    explicit QZvPortCtrlBase(PORT_TYPE_E ePortType);
    ~QZvPortCtrlBase() override;

    const PORT_TYPE_E PortType;
    const uint UniquePortID;
    // The connected receiver's answer to the property query (thread-safe).
    QZvPortProperty Property;

    // Takes the port's copy of its connection record; PORT_FAIL_NONE, else
    // the code that the manager reports (PORT_FAIL_SETUP, or the session
    // result of an NTRIP port).
    virtual int SetPortConfig(void* pConfig) = 0;
    virtual int ClosePort() = 0;
    // Name used in log file names and failure reports; callable from any thread.
    virtual QString GetPortName() const = 0;
    virtual int DisconnectPort();
    virtual int ReconnectPort();
    virtual int AutoReconnectPort();
    virtual bool ParsePortProperty();
    // -1 without a log file, minus errno on a short write, else n.
    virtual int WriteLogData(const void* pBuf, int n);
    // Writes without counting; returns the bytes written.
    virtual int WriteLogRaw(const uchar* pBuf, uint n);

    // Values for the GUI thread.
    quint64 GetLogFileSize() const { return m_LoggedBytes.load(); }
    uint GetByteRate() const { return m_ByteRate.load(); }
    // Received bytes not handed to the user interface since the last call
    // (its backlog was full); any thread.
    quint64 TakeSkippedUiBytes() { return m_UiSkipped.exchange(0); }
    bool IsPropertyValid() const { return m_bPropertyValid.load(); }
    bool IsLogging() const { return m_bLogging.load(); }
    bool IsUpgrading() const { return m_bUpgrading.load(); }
    bool IsLocked() const { return m_bLock.load(); }
    bool IsDisconnected() const { return m_bDisconnected.load(); }
    void SetDisconnected(bool bDisconnected) { m_bDisconnected.store(bDisconnected); }
    // 0 fixed log file name, 1 automatic names in the default folder.
    uint GetLogNameMode() const { return m_LogNameMode.load(); }
    uint GetLogFileIndex() const { return m_LogFileIndex.load(); }
    QString GetLogFileName() const;
    QString GetDefaultPath() const;
    uint GetTimerInterval() const { return m_TimerInterval.load(); }
    // The two upgrade modes set by the port tabs; while either is set the
    // serial controller sends no upgrade preamble.
    bool IsXModemMode() const { return m_bXModemMode.load(); }
    void SetXModemMode(bool bOn) { m_bXModemMode.store(bOn); }
    bool IsRescueModem() const { return m_bRescueModem.load(); }
    void SetRescueModem(bool bOn) { m_bRescueModem.store(bOn); }
    // Hand the bytes over only on ticks 10 and 20 of the rate window.
    void SetSlowUpdate(bool bSlow) { m_bSlowUpdate.store(bSlow); }
    bool IsSlowUpdate() const { return m_bSlowUpdate.load(); }
    // Set by automatic logging for a port it logs without end; the port
    // itself does not act on it.
    void SetAutoReconnect(bool bOn) { m_bAutoReconnect.store(bOn); }
    bool IsAutoReconnect() const { return m_bAutoReconnect.load(); }
    // Automatic logging: 0 daily switch, 1 switch after a duration, 2 none.
    uint GetAutoLogMode() const { return m_AutoLogMode.load(); }
    bool IsAutoLogLoop() const { return m_bLoop.load(); }
    QDateTime GetStartTime() const;
    QDateTime GetNextSwitchTime() const;

    // The wall clock the automatic log schedule reads (switch times, periods);
    // tests set their own, null restores the system clock. Any thread.
    static void SetWallClock(std::function<QDateTime()> fnNow);
    static QDateTime WallNow();

    static bool GetProcessMode();
    static void SetProcessMode(bool bProcessMode);
    static uint GetLiveCount();
    // The ID given to the controller created last (0 before the first).
    static uint GetLastUniquePortID();

    // GUI thread: moves the object into its own thread and starts it; a
    // thread that has ended is started again (reconnecting a failed port).
    void StartPortThread();
    // Any thread: asks the thread body to end; waits in it end early.
    void RequestStop();

signals:
    void SignalUpdateUI(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, QByteArray ReadData);
    void SignalFileOpenID(uint UniquePortID, QString sFileName, int ErrFlag);
    void SignalFWUpgradeComplete(uint UniquePortID);
    void SignalUpdateStatusBar(QZvPortCtrlBase* pPortCtrl, uint RefreshType);
    void SignalReconnectPortComplete(uint UniquePortID, bool bAutoReconnectPort);
    // A connection that could not be made or was lost after the port was
    // added (the port may retry on its own); also chained to the manager.
    void SignalAddPortFail(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int Errflag, QString PortName);

public slots:
    void OnSetProcessMode(bool ProcessMode);
    virtual void OnWritePort(uint UniquePortID, QByteArray WriteData);
    void OnReDirectPort(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, QByteArray WriteData);
    void OnCloseOnePort();
    void OnDisConnectOnePort();
    void OnReConnectOnePort();
    void OnAutoReConnectOnePort();
    void OnRefreshOnePort();
    void OnSetFileName(QString sFileName);
    void OnSetDefaultPath(QString sDefaultPath);
    void OnClearDefaultPath();
    void OnOpenFile();
    void OnCloseFile();
    void OnUnLogFile();
    void OnSetAutoLogConfig(uint Mode, bool bLoop, QDateTime DateTime);
    void OnLogNewFile(QString sFileName);
    void OnSetNormalLogMode();
    virtual void OnUpdateStatus();
    virtual void OnSetTimeInterval(bool bActivePort);
    virtual void OnSetUpgradeFW(uint UniquePortID, QString sFWPath);
    virtual void OnCancelUpgradeFW(uint UniquePortID);
    void OnSetPortLockStatus(bool bLock);
    virtual bool RefreshProperty();

protected:
    // wait(), then the thread's work is seen as done before what follows.
    void WaitThreadEnd();
    bool IsStopRequested() const;
    // Runs the thread's events for up to nMs; false once a stop was requested.
    bool WaitEvents(int nMs);

    // Received bytes: kept for the next hand-over, counted, and logged.
    void AppendReceived(const QByteArray& Data);
    // Messages of the port itself (upgrade progress): shown and counted, not logged.
    void AppendPendingText(const QByteArray& Text);
    // Keeps bytes for the device behind those waiting in pOutArea; bytes that
    // do not fit beside them (OUT_AREA_SIZE in all) are dropped.
    static void KeepForDevice(QByteArray* pOutArea, const QByteArray& Data);
    // Hands the pending bytes to the user interface now.
    void EmitPending();
    // The user interface has UI_BACKLOG_MAX bytes or more still to take.
    bool IsUiBacklogFull() const { return m_pUiBacklog->load() > UI_BACKLOG_MAX; }
    // Byte rate step of a status tick; true on the tick that computed it.
    bool UpdateByteRate();
    // Starts the status ticks; an idle port's first tick waits for its phase.
    void StartStatusTimer();
    void StopStatusTimer();
    void SetTimerInterval(uint nMs);
    void SetPropertyValid(bool bValid) { m_bPropertyValid.store(bValid); }
    void SetUpgrading(bool bUpgrading) { m_bUpgrading.store(bUpgrading); }
    uint GetTickCount() const { return m_TickCount; }

private:
    void OnThreadFinished();
    CThreadEnd m_ThreadEnd;
    void StartStatusTimerNow();
    void OnPhaseReached();
    // How long an idle port's ticks wait for its phase; 0 for the other intervals.
    uint PhaseDelay() const;
    void CloseLog();
    void OpenLog();
    static qint64 SwitchDurationSecs(const QDateTime& Start);

    QTimer* m_pStatusTimer = nullptr;
    // Delays the status timer's first tick at the long interval, so that idle
    // ports hand over their bytes at phases of their own.
    QTimer* m_pPhaseTimer = nullptr;
    QByteArray m_Pending;
    // Bytes handed over whose hand-over the GUI thread has not reached yet,
    // counted down there by m_pUiTaken (an object of the GUI thread).
    std::shared_ptr<std::atomic<qint64>> m_pUiBacklog = std::make_shared<std::atomic<qint64>>(0);
    std::atomic<quint64> m_UiSkipped{0};
    QObject* m_pUiTaken = nullptr;
    mutable std::mutex m_Mutex; // guards the strings and times below
    QString m_FileName;
    QString m_DefaultPath;
    QDateTime m_StartTime;
    QDateTime m_NextSwitchTime;

    std::atomic<bool> m_bLock{false};
    std::atomic<bool> m_bLogging{false};
    std::atomic<uint> m_LogNameMode{0};
    std::atomic<bool> m_bXModemMode{false};
    std::atomic<bool> m_bRescueModem{false};
    std::atomic<bool> m_bSlowUpdate{false};
    std::atomic<bool> m_bAutoReconnect{false};
    std::atomic<uint> m_LogFileIndex{0};
    uint m_TickCount = 0;
    std::atomic<uint> m_TimerInterval{DEFAULT_TIMER_INTERVAL};
    uint64_t m_RxByteCount = 0;
    bool m_bRateMeasured = false; // a whole window of ticks was measured
    std::atomic<uint> m_ByteRate{0};
    std::atomic<quint64> m_LoggedBytes{0};
    std::FILE* m_pLogFile = nullptr;
    std::atomic<bool> m_bDisconnected{false};
    std::atomic<bool> m_bPropertyValid{false};
    std::atomic<bool> m_bLoop{false};
    std::atomic<uint> m_AutoLogMode{2};
    std::atomic<bool> m_bUpgrading{false};
    std::atomic<bool> m_bCloseRequested{false};
};
