// The worker of the regression bench: one thread per board, running the
// board's tests one after the other (resets, factory resets, RF break and
// reacquisition cycles, firmware upgrades, the replay of a command file),
// each into a dated log file of its own.
//
// Threading: the worker never touches a port, a tab or a parser. What it
// sends (commands, status requests, log files, baud rates, upgrades, relay
// frames) leaves as queued signals that the bench dialog passes on by the
// board's port ID; what it needs to know of its board's port the bench reads
// in the GUI thread, through the tab set's read API, and hands over with
// SetBoardState, under the worker's lock. Every wait is a wait on that lock's
// condition: a new state or a stop wakes it at once, and a second of the
// bench lasts as long as the timing says (tests shorten it). The status texts
// and the summary are guarded by a lock of their own.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "monitor/ports/thread_end.h"

class QRelayCoils;

// How long the bench's waits last.
struct REGRESSION_TIMING_T
{
    int SecondMs = 1000;               // one second of the tests' waits and durations
    int UpgradeRestartSeconds = 30000; // an upgrade not ended by then: the board is power-cycled
    // One second of the limits on waits that end when the board answers
    // (0: SecondMs): its start-up banner after a reset or factory reset, and
    // its RTK fix after a reset or after the RF came back.
    int ReplySecondMs = 0;
    int FixSecondMs = 0;
    int StatePollMs = 200;          // how often the bench reads its boards' ports for the workers
    int StatusCopyMs = 5000;        // how often the bench copies the status texts into its table
    std::function<QDateTime()> Now; // the date of the log folders; the local time when empty
};

// What the bench read of a board's port for its worker.
struct REGRESSION_BOARD_STATE_T
{
    int TabIndex = -1;       // the board's tab; -1 when its port has none
    uint ResetRequests = 0;  // reset requests the tab set has sent to the port
    bool bResetDone = false; // the start-up banner came after the last of them
    uint FresetRequests = 0; // the same for factory resets
    bool bFresetDone = false;
    uint PosCount = 0;        // positions (BESTPOS) the port has received
    int FixQuality = -1;      // of the latest position (4: RTK fixed); -1 before the first
    uint UpgradeRequests = 0; // firmware upgrades of the port the bench has started
    uint UpgradesEnded = 0;   // of these, how many the port reported ended
    bool bLastUpgradeFailed = false;
    uint RelayPortID = 0; // the open port named as the board's relay port; 0 when none
};

enum REGRESSION_TEST_E
{
    REGRESSION_RESET = 0,
    REGRESSION_FRESET,
    REGRESSION_RECAQ,
    REGRESSION_SERIAL_UPDATE,
    REGRESSION_COMMAND,
    REGRESSION_TESTS
};

// What went wrong in a cycle of a test (cycle 0: the test as a whole).
enum REGRESSION_FAULT_E
{
    REGRESSION_FAULT_BAD_VALUE,       // the test's value cannot be used
    REGRESSION_FAULT_NO_LOG_FILE,     // no log folder, or every log name of the day taken
    REGRESSION_FAULT_FILE_UNREADABLE, // the command file or the image list
    REGRESSION_FAULT_NO_RESET_REPLY,  // no start-up banner after a reset
    REGRESSION_FAULT_NO_FIX,          // no RTK fixed position after a reset
    REGRESSION_FAULT_NO_FRESET_REPLY, // no start-up banner after a factory reset
    REGRESSION_FAULT_NOT_REACQUIRED,  // no RTK fixed position after the RF came back
    REGRESSION_FAULT_UPGRADE_FAILED,  // the port reported the upgrade failed
    REGRESSION_FAULT_UPGRADE_STUCK,   // the upgrade did not end in time
    REGRESSION_FAULT_NO_RELAY,        // a board to power-cycle without a relay channel
    REGRESSION_FAULT_RELAY_NOT_OPEN,  // its relay port is not open: nothing was sent
};

struct REGRESSION_FAULT_T
{
    int Cycle = 0;
    REGRESSION_FAULT_E Kind = REGRESSION_FAULT_BAD_VALUE;
};

struct REGRESSION_RESULT_T
{
    bool bRun = false; // the test was begun
    int Cycles = 0;    // cycles (upgrades, commands) carried through
    int Passed = 0;
    QList<REGRESSION_FAULT_T> Faults;
};

enum REGRESSION_END_E
{
    REGRESSION_END_RUNNING = 0,
    REGRESSION_END_FINISHED,    // every test ran to its end
    REGRESSION_END_STOPPED,     // the bench stopped the board
    REGRESSION_END_NO_PORT_TAB, // the board's port had no tab when it started
    REGRESSION_END_PORT_CLOSED, // the board's port went away during a test
};

struct REGRESSION_SUMMARY_T
{
    REGRESSION_END_E End = REGRESSION_END_RUNNING;
    REGRESSION_RESULT_T Tests[REGRESSION_TESTS];
    int RelayRestarts = 0; // power cycles through the relay board
};

class QRegressionMethod : public QThread
{
    Q_OBJECT

public:
    explicit QRegressionMethod(QObject* pParent = nullptr);
    ~QRegressionMethod() override;

    // Set before the thread starts: the board's row (the bench table's 13
    // columns), its port, the log root, the timing and the relay coils that
    // the bench's workers share.
    void SetBoard(const QStringList& Row, uint UniquePortID, const QString& sLogRoot);
    void SetTiming(const REGRESSION_TIMING_T& Timing) { m_Timing = Timing; }
    void SetRelayCoils(std::shared_ptr<QRelayCoils> pCoils) { m_pRelayCoils = std::move(pCoils); }

    // The running flag: set before the start, cleared to stop the board; a
    // stop ends the current wait at once.
    void SetRunning(bool bRunning);
    bool IsRunning() const { return m_bRunning.load(); }
    // From the bench (any thread): what it read of the board's port; wakes the worker.
    void SetBoardState(const REGRESSION_BOARD_STATE_T& State);
    REGRESSION_BOARD_STATE_T BoardState() const;

    uint GetUniquePortID() const { return m_UniquePortID; }
    // The row's relay port name (empty: none).
    QString RelayPortName() const { return m_Row.value(10).trimmed(); }
    // The other boards' relay channels the bench reported (see OnOpenAllRelayChannel).
    uchar OtherChannels() const { return m_OtherChannels.load(); }
    // The five status texts, Reset to Command.
    QStringList GetStatusTexts() const;
    REGRESSION_SUMMARY_T GetSummary() const;
    // Worker threads running now, in the whole program.
    static int LiveThreads() { return s_nLive.load(); }

    // The day's log folder <root>/yyyy/yyyyMM/yyyyMMdd/RegressionTest, made
    // when missing; empty when it cannot be made.
    QString MakeLogFolder() const;
    // The first free name <port>_<test>_<base>_<rate>hz_<n>.log (n from 1 to
    // 999) in the day's log folder; the port's ".", ":", "/" and "\" become
    // "_". Empty when the folder cannot be made or all 999 are taken.
    QString MakeLogFileName(const QString& sPort, const QString& sTestName, const QString& sBase, int nRate) const;
    // A random number of seconds in [a, b).
    static int RandomWait(int a, int b);
    // The frame that writes the coil byte into the board's relay module.
    QByteArray BuildRelayFrame(uchar Coils) const;

signals:
    void SignalRequestStatus(int PortIndex, uint Mask);
    void SignalSetFileName(int m_PortIndex, QString LogFileName);
    void SignalSendSerialComMsg(uint UniquePortID, QByteArray SendData);
    void SignalCloseFile(int PortIndex);
    void SignalSetBaudrateTab(uint Baudrate, int PortIndex);
    void SignalFinished(uint UniquePortID, QString sRunResult);
    void SignalRegressUpgradeFWTab(uint UniquePortID, QString Revisions);
    void SignalRegressTitalStatus(uint UniquePortID, bool bRegressTitalStatus);
    void SignalRegressUPdate(bool m_RegressUpdateFw);
    // The coil bit of the board's channel, when its power is cut.
    void SignalOpenRelayChannel(uchar Aisle);

public slots:
    // Power-cycles the board through its relay channel: its coil is set, and
    // cleared 5 s later (at once after a stop, so no board stays off). Returns
    // an empty text.
    QString OnUartBoardAbnormal(QString TestType, int BaudRate);
    // The relay channels the bench has power-cycled, from any of its boards:
    // kept without this board's own channel as the other channels. A frame
    // never writes them: the coils of a module are kept for every board in
    // the shared record, so a restart carries the others' as they are.
    void OnOpenAllRelayChannel(uchar RelayChannel);

protected:
    void run() override;

private:
    enum WAIT_E
    {
        WAIT_MET,
        WAIT_TIMEOUT,
        WAIT_STOPPED, // stopped, or the board's port has gone
    };
    using Condition = std::function<bool(const REGRESSION_BOARD_STATE_T&, double dSeconds)>;
    // Waits up to dSeconds until Done holds (checked at least once a second,
    // with the seconds waited so far, and whenever a new state comes). The
    // limit is counted in seconds of nLimitSecondMs when that is given.
    WAIT_E WaitUntil(double dSeconds, const Condition& Done, int nLimitSecondMs = 0);
    bool Sleep(double dSeconds) { return WaitUntil(dSeconds, nullptr) != WAIT_STOPPED; }
    bool Going() const;
    int TabIndex() const { return BoardState().TabIndex; }

    void RunResetTest(const QString& sValue);
    void RunFresetTest(const QString& sValue);
    void RunRecaqTest(const QString& sValue);
    void RunSerialUpdateTest(const QString& sValue);
    void RunCommandTest(const QString& sValue);
    // Waits for the end of the upgrade last asked for; a board whose upgrade
    // does not end in time is power-cycled. False after a stop.
    bool WaitUpgradeEnd(uint nRequest, int nCycle);

    void SendText(const QString& sText);
    // The log name of a test; empty, with the fault noted, when there is none.
    QString TestLogName(REGRESSION_TEST_E eTest, const char* pTestName, const QString& sBase, int nRate);
    void CloseLog(REGRESSION_TEST_E eTest);
    void SetStatus(REGRESSION_TEST_E eTest, const QString& sText);
    void BeginTest(REGRESSION_TEST_E eTest);
    void CountCycle(REGRESSION_TEST_E eTest, bool bPassed);
    void AddFault(REGRESSION_TEST_E eTest, int nCycle, REGRESSION_FAULT_E eKind);

    QStringList m_Row;
    uint m_UniquePortID = 0;
    QString m_sLogRoot;
    REGRESSION_TIMING_T m_Timing;
    std::shared_ptr<QRelayCoils> m_pRelayCoils;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bPortGone{false};
    CThreadEnd m_ThreadEnd;

    // Read from the row when the run starts.
    int m_nRate = 0;
    QString m_sBase;
    uchar m_RelayAddress = 0;
    std::atomic<uchar> m_OwnChannel{0}; // coil bit of the board's relay channel; 0: no relay
    std::atomic<uchar> m_OtherChannels{0};
    int m_nTestPos = 0; // 1 to 5 while a test runs
    int m_nCycle = 0;   // the cycle under way, from 1
    uint m_nResetRequests = 0;
    uint m_nFresetRequests = 0;
    uint m_nUpgradeRequests = 0;
    uint m_nUpgradeRate = 0; // the rate the upgrades run at

    mutable std::mutex m_StateLock;
    std::condition_variable m_StateChanged;
    REGRESSION_BOARD_STATE_T m_State;

    mutable std::mutex m_StatusLock;
    QString m_StatusTexts[REGRESSION_TESTS];
    REGRESSION_SUMMARY_T m_Summary;

    static std::atomic<int> s_nLive;
};
