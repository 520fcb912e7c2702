// The configuration and tracking-quality check ("Configure Check"): for one
// port or every port it asks the receivers for their user configuration,
// version, log list, position rate and, with "TQ", tracking quality, waits for
// the answers, then reports per receiver what its log outputs lack compared
// with the command file of its position rate, its INS settings, fix, NTRIP
// line, firmware and a table of tracking quality against thresholds, failing
// cells in red. With "Record" it adds the board's identity to the CSV file of
// its batch.
//
// The tracking-quality loop, started and stopped from the main window's menu,
// reports the table of every port each period into a file of the user's. It
// asks each receiver once per run for its tracking quality ("log tq 1", which
// the receiver then outputs every second) and reports what the parsers hold at
// each period. It runs on timers only: stopping it takes effect at once, and
// its state is this window's alone (the main window's menu reads it).
//
// The ports of a check are those current (or present) when the user pressed
// "Check"; each report reads that port's replies through the tab set.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>

class CPortTab;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;

class QConfigCheck : public QDialog
{
    Q_OBJECT

public:
    explicit QConfigCheck(QWidget* pParent = nullptr);
    ~QConfigCheck() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    // The report of one tab, as the collection shows it, or the tab's
    // tracking-quality table while the loop runs.
    QString CheckPortConfig(int TabIndex);

    // The command file that a position rate selects ("Cmd_1HZ.txt" ..., or
    // its INS twin); empty when no file belongs to the rate (PosFreqFileRate).
    static QString CmdFilePath(double dPosFreq, bool bIns);
    // Where the board record files lie.
    static QString BoardRecordDir();
    // The hardware version that a product ID encodes; empty when it encodes none.
    static QString HardwareVersion(const QString& sProductID);

    // How long the replies are collected after a request, and the loop's period.
    void SetCollectMs(int nMs) { m_CollectTimer.setInterval(nMs); }
    void SetTqPeriodMs(int nMs) { m_TqTimer.setInterval(nMs); }
    bool IsTqLoopRunning() const { return m_bTqLoop; }

signals:
    void SignalCheckPort(int PortIndex, uint Mask);
    // A request for the current tab's receiver (wired to the tab set's OnRequestCustomItem).
    void SignalConfigCheckBtnClickd(uint Mask);

public slots:
    // Brings the dialog to the front, above the other windows.
    void OnShowConfigCheckWindow();
    // "Check": asks the receivers and starts the collection.
    void OnSignalConfigCheckBtnClickd();
    // The collection's end: the reports.
    void OnConfigCheckTimerout();
    void OnCycleCheckTQOn(QString TqRecordPath);
    void OnCycleCheckTQOff();
    // One period of the tracking-quality loop.
    void OnCycleCheckTqTimerout();
    void OnNoValidPortExist();
    // The lines of a command file missing from a receiver's log list; "Msg ok!!!" when none is.
    QString OnCheckMsg(QStringList LogMsgDetailList, double PosFreq, QString BoardType, QString CheckMsgPath);
    // The tracking-quality rows of the signals known, each value against its threshold.
    QString OnCheckTQ(QStringList SigNameList, QList<double> MaxCN0List, QList<double> ValidSvNumList,
                      QList<int> ErrList);
    // Adds a board's record to its batch file unless the product ID is there; returns an empty text.
    QString OnBoardRecord(QString BoardRecordMsg, QString BoardTypeBatche, QString ProductID);
    void OnLanguageUpdate();

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void StopTqLoop();
    // Asks every tab's receiver for its tracking quality.
    void RequestTq();
    void WriteTqRecord(const QString& sText);

    QTextEdit* m_pView = nullptr;
    QRadioButton* m_pCheckAll = nullptr;
    QRadioButton* m_pCheckOne = nullptr;
    QCheckBox* m_pInsBox = nullptr;
    QCheckBox* m_pTqBox = nullptr;
    QCheckBox* m_pRecordBox = nullptr;
    QLabel* m_pStatus = nullptr;
    QPushButton* m_pCheckButton = nullptr;

    QStringList m_CheckedIDList;
    QList<uint> m_CheckPorts; // the ports of the check being collected
    bool m_bTqLoop = false;
    bool m_bTqWriteFailed = false;
    QString m_sTqRecordPath;
    QTimer m_CollectTimer;
    QTimer m_TqTimer;
};
