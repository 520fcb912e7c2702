// Runs a user's Python script for a port and serves the script's line
// protocol on its standard output. A line holding a keyword, the separator
// "@#$@:" and a payload (fields separated by "$$$") asks the monitor for
// something: an input dialog ($$GetInputPara), a warning box
// ($$WarningMessageBox), N seconds ($$InputSampleData) or a delimited stretch
// ($$SampleDataLogStart / $$SampleDataLogEnd) of the port's received bytes on
// its standard input, ended by "EOF\r\n ", a configuration path
// ($$InputCfgFilePath), a result, warning or command line for the debug
// window ($$PrintResult, $$PrintWarning, $$PrintCMD), and a command to its
// port ($$PrintCMD). Any other line goes to the debug window as it is.
//
// The script's output is read in whole lines, so a line cut across two reads
// is served once it is complete. Received bytes reach the script unchanged.
// Nothing here waits: the process starts, reports and ends through Qt's
// process signals, dialogs do not block the GUI thread, and a watchdog
// (OnsetTimer) ends a script that runs too long. The interpreter is python3,
// or the program in the environment variable ZV_PYTHON, or the one set with
// SetInterpreter.
//
// Debug-window text collects in m_sDebugText until the main window's tick
// takes it (TakeOutputText). GUI thread only.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <cstdint>

class QTimer;

class QScriptProcess : public QProcess
{
    Q_OBJECT

public:
    explicit QScriptProcess(QObject* pParent = nullptr);
    ~QScriptProcess() override;

    // The program that runs the scripts; empty restores the default.
    static void SetInterpreter(const QString& sProgram);
    static QString Interpreter();

    // Bytes a port received: kept for the script while sampling is on.
    void AppendSampleData(const QByteArray& Data);
    void AppendSampleData(const QString& sText) { AppendSampleData(sText.toLatin1()); }
    // Returns the debug-window text collected so far and empties it.
    QString TakeOutputText();
    // The payload of a keyword line: the text after the first separator up to
    // the next one or the line's end; empty without a separator.
    static QString TakeKeywordPayload(QString sLine);
    // Length of a second of sampling; tests shorten it.
    void SetSecondLength(int nMs) { m_nSecondMs = nMs; }

    bool m_bRunning = false;
    bool m_bSampling = false;
    void* m_pTxView = nullptr;
    QProcess* m_pProcess = nullptr;
    QTimer* m_pSampleTimer;
    uint32_t m_SampleSeconds = 0;
    QByteArray m_sStdin; // bytes waiting for the script's standard input
    QString m_sDebugText;
    QString m_sCfgFilePath;
    QString m_sScriptPath;
    QTimer* m_pWatchdog;

    // The debug text kept when nobody takes it: the newest this many characters.
    static constexpr int DEBUG_TEXT_MAX = 1 << 20;
    // A line longer than this is served in pieces.
    static constexpr int OUTPUT_LINE_MAX = 1 << 16;

signals:
    void SignalSendCMD(void* pTxView, QString CMD);
    void SignalSendTextToDialog(QString Text);
    void SignalScriptFinishStop(bool ProcessFinish);

public slots:
    void OnStartProcess();
    void OnStopProcess();
    void OnProcessStarted();
    void OnReadReadyStandardOutput();
    void OnWriteStandardInput();
    void OnReadReadyStandardError();
    void OnErrorOccured();
    void OnProcessFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void OnWriteDebugInfo(QString sDebugInfo);
    void OnGetSampleDataFinish();
    void OnsetTimer(int Time);
    void OnScriptTimerOut();

private:
    void ServeLine(const QString& sLine);
    // Ends the child: no more of its signals reach the runner.
    void DropProcess();
    void ResetState();

    QByteArray m_Stdout; // output after the last line end
    int m_nSecondMs = 1000;
};
