// The worker of one board's hardware test: in a thread of its own it brings
// the board to 460800 baud, stops its logs, checks its firmware against the
// chosen image (asking for an upgrade when it differs, and for the board's
// version once the upgraded board has restarted), switches on the inertial
// and tracking logs, records the port's output into the test's log file for
// the wait time, asks for the version log and closes the file.
//
// It touches no object of the GUI thread: what it needs of the port is given
// to it when it starts (a copy of the firmware version), everything it asks
// of the port goes out as a queued signal naming the port by its unique ID,
// and what the port answers (the upgrade's end, the version reply) is handed
// to it under its lock by the dialog. Every wait is a wait on its condition
// that RequestStop ends at once, measured in seconds whose length a test can
// shorten, so a cancelled test ends without another command to its port.
#pragma once

#include <QString>
#include <QStringList>
#include <QThread>
#include <condition_variable>
#include <mutex>

#include "monitor/ports/thread_end.h"

// How a board's test ended.
enum HARDWARE_RESULT_E : int
{
    HARDWARE_RUNNING = 0,
    HARDWARE_PASSED,
    HARDWARE_NO_TAB,           // the port has no tab
    HARDWARE_UPGRADE_FAILED,   // the port reported a failed upgrade
    HARDWARE_UPGRADE_TIMEOUT,  // the upgrade did not end in time; it was cancelled
    HARDWARE_NO_VERSION,       // the upgraded board did not answer the version query
    HARDWARE_VERSION_MISMATCH, // the board's firmware is not the image's after the upgrade
    HARDWARE_CANCELLED,
    HARDWARE_NO_LOG_FILE,        // no log file name was free
    HARDWARE_VERSION_UNANSWERED, // the board never told its version: it was not upgraded
};

// Waits of the test, in seconds of SecondMs milliseconds; tests shorten them.
struct HARDWARE_TIMING_T
{
    int SecondMs = 1000;
    int StepSecs = 2;              // after each command
    int UpgradeTimeoutSecs = 1800; // the longest an upgrade may run
    int RebootSecs = 120;          // for an upgraded board to restart
    int VersionReplySecs = 30;     // for its version reply
};

// One board's test.
struct HARDWARE_TEST_T
{
    uint UniquePortID = 0;
    QString ImagePath;
    int WaitSecs = 0; // recording time
    QString LogFileName;
    QString FirmwareVersion; // the port's, when the test starts
    HARDWARE_TIMING_T Timing;
};

// Whether a firmware version text names the image: "RN" is dropped from it
// and the rest must be a non-empty part of the image's file name.
bool FirmwareMatchesImage(QString sVersion, const QString& sImagePath);

class QHardwareThread : public QThread
{
    Q_OBJECT

public:
    explicit QHardwareThread(const HARDWARE_TEST_T& Test, QObject* pParent = nullptr);
    ~QHardwareThread() override;

    const HARDWARE_TEST_T& Test() const { return m_Test; }
    HARDWARE_RESULT_E Result() const;

    // Any thread: ends every wait and the sequence, which sends nothing more.
    void RequestStop();
    // The port's upgrade ended (bDone: completed).
    void OnUpgradeEnded(bool bDone);
    // A VERSION reply of the port, as its status parser split it.
    void OnVersionReply(const QStringList& Version);

    // Runs the firmware check in the calling thread (the sequence's step).
    HARDWARE_RESULT_E CheckFirmwareVersion();

signals:
    void SignalSetBaudrateTab(uint Baudrate, uint UniquePortID);
    void SignalSendSerialComMsg(uint UniquePortID, QByteArray SendData);
    void SignalSetFileName(uint UniquePortID, QString m_LogFileName);
    void SignalCloseFile(uint UniquePortID);
    void SignalHardWareUpgradeFWTab(uint UniquePortID, QString BoardImage);
    void SignalCancelUpgradeFW(uint UniquePortID);
    void SignalHardWareTitalStatus(uint UniquePortID, bool bRegressTitalStatus);
    void SignalUPdateNotBox(uint UniquePortID, bool m_RegressUpdateFw);
    void SignalHardwareVersionMask(uint UniquePortID, uint VerMask);
    void SignalFinish(uint m_UniquePortID, QString LogFileName);
    // The test ended without passing.
    void SignalFailed(uint UniquePortID, int Result);

protected:
    void run() override;

private:
    enum UPGRADE_E
    {
        UPGRADE_NONE,
        UPGRADE_RUNNING,
        UPGRADE_DONE,
        UPGRADE_FAILED,
    };
    // Asks the port for its version and waits for the reply; false when none came.
    bool AskVersion(QStringList* pVersion);
    // Waits nSecs; false when stopped.
    bool Sleep(int nSecs);
    // Waits up to nSecs for the condition (read under the lock); false when
    // stopped or out of time.
    template <typename F> bool WaitFor(int nSecs, F Condition);
    void Send(const char* pText);
    // 460800 baud, then the board's logs stopped and its settings saved.
    bool QuietBoard();
    bool Stopped() const;
    HARDWARE_RESULT_E Fail(HARDWARE_RESULT_E eResult);

    const HARDWARE_TEST_T m_Test;
    mutable std::mutex m_Mutex; // guards everything below
    std::condition_variable m_Wake;
    bool m_bStop = false;
    UPGRADE_E m_eUpgrade = UPGRADE_NONE;
    bool m_bVersionAwaited = false;
    bool m_bVersionSeen = false;
    QStringList m_Version;
    HARDWARE_RESULT_E m_eResult = HARDWARE_RUNNING;
    CThreadEnd m_ThreadEnd;
};
