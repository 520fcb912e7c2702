// Automatic logging: the list window ("Auto Log") shows one row per port tab,
// lets the user describe each board (computer, evaluation kit, antenna, base,
// antenna link chains), keeps those descriptions in "AutoLogConfig.csv", and
// starts or stops logging on the ticked rows into dated files with
// descriptive names under a chosen log root:
//     root/yyyy/yyyyMM/yyyyMMdd/<name>_<n>.log
// Its schedule window (QAutoLogConfig) chooses how the logging runs. A watch
// timer (every 2000 ms) shows each port's state and, when a port's switch
// time has passed, begins its next file (cycle recording) or stops it.
//
// GUI thread only. A row remembers its port by the port's unique ID; the
// port's state is read through the tab set's read API at each use, and the
// tab index a request carries is looked up from that ID in the same call, so
// a tab closed or moved since the table was built is never mistaken for
// another. The port controllers write the files in their own threads.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "monitor/tools/auto_log_csv.h"
#include "monitor/tools/tool_paths.h"

class CPortTab;
class QAutoLogConfig;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

class QAutoLogList : public QDialog
{
    Q_OBJECT

public:
    // Columns of the table.
    enum COLUMN_E
    {
        COL_COMPUTER = 0,
        COL_BOARD = 1,
        COL_EVK = 2,
        COL_SN = 9,
        COL_STATUS = 10,
        COL_TIME = 11,
        COL_COUNT = 12,
    };
    static constexpr int WATCH_INTERVAL_MS = 2000;
    // The board list is read only up to this size.
    static constexpr qint64 CSV_FILE_MAX_BYTES = 4 * 1024 * 1024;

    explicit QAutoLogList(QWidget* pParent = nullptr);
    ~QAutoLogList() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    // The clock of dated folders and switch times; tests set their own.
    void SetClock(TOOL_CLOCK_T fnNow);
    // The watch timer's interval; tests shorten it.
    void SetWatchInterval(int nMs);
    QAutoLogConfig* ConfigWindow() const { return m_pConfig; }
    QTableWidget* Table() const { return m_pTable; }
    const QList<AUTO_LOG_ENTRY_T>& Entries() const { return m_Entries; }
    QString LogRoot() const { return m_sLogRoot; }
    // The CSV file and the log root's path file.
    static QString ConfigCsvPath();
    static QString LogPathFile();

    // A port's log file name now (the name rules; empty with a message when
    // no name is free).
    QString MakeLogFileName(const QString& PortName);
    // Today's folder under the log root, created when missing.
    QString MakeLogDir();
    void LoadConfigFromFile();
    bool LoadPathFromIni(const QString& IniPath);
    void BuildTable();

signals:
    void SignalLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);
    void SignalSetFileName(int Index, QString sFileName);
    void SignalLogNewFile(int Index, QString sFileName);
    void SignalCloseFile(int Index);
    void SignalStoplogFile(int index);
    // A file this window closed, with the entry number of its board.
    void SignalUnlogFile(QString FileNam, int index);

public slots:
    void OnShowDiag();
    void OnSlectAllItem();
    void OnLogBtnClicked();
    void OnUnlogBtnClicked();
    void SaveConfigToFile();
    void OnSignalLogConfig(uint Mode, bool bLoop, QDateTime DateTime);
    void OnTimeout();
    void OnRefreshAutoLogList();
    void OnPortCloseEvent(int Index);
    bool OnSetDefaultLogFolder(QString FloderPath);
    void OnLogPathButtonClicked();
    void OnUpdateList();
    void OnLanguageUpdate();

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    // What the window did to a port's logging, so that it acts once per event.
    struct ROW_STATE_T
    {
        int nStartTicks = -1;      // ticks since a start was asked and not yet seen; -1: none asked
        bool bSeenLogging = false; // the port logged since this window started it
        QDateTime Handled;         // the switch time already acted on
        bool bNameWarned = false;  // "no free name" was shown for the current switch
        bool bStopSent = false;    // this window stopped the port's logging (Unlog, or a schedule's end)
    };

    QStringList HeaderLabels() const;
    // MakeLogFileName, with or without a message when no name can be made.
    QString LogFileName(const QString& PortName, bool bWarn);
    // The entry of a port name, or -1; the entries are found by name in one step.
    int EntryIndex(const QString& sPortName) const;
    // Appends an entry (its name not listed yet); returns its index.
    int AddEntry(const AUTO_LOG_ENTRY_T& Entry);
    void ClearEntries();
    // The entry of table row iRow (its check box text), or -1.
    int RowEntry(int iRow) const;
    QCheckBox* RowBox(int iRow) const;
    QString CellText(int iRow, int iColumn) const;
    void SetCell(int iRow, int iColumn, const QString& sText, bool bEditable);
    // The tab index of an entry's port now; -1 when it has none.
    int TabOf(const AUTO_LOG_ENTRY_T& Entry) const;
    void ShowLogRoot();
    void Warn(const QString& sTitle, const QString& sText);

    QList<AUTO_LOG_ENTRY_T> m_Entries;
    QHash<QString, int> m_EntryIndex; // entry index by port name
    QHash<uint, ROW_STATE_T> m_State; // by port ID
    QStringList m_Header;             // labels read from the CSV; empty: the translated defaults
    bool m_bLoaded = false;           // the entries hold the CSV file's
    bool m_bCsvFaultTold = false;     // a CSV file that cannot be used was reported
    QString m_sLogRoot;
    // Names handed to ports during one pass, before their files exist.
    QSet<QString> m_Handed;
    TOOL_CLOCK_T m_fnNow;

    QTableWidget* m_pTable;
    QCheckBox* m_pSelectAll;
    QCheckBox* m_pAutoReconnect;
    QPushButton* m_pPathButton;
    QLabel* m_pPathLabel;
    QPushButton* m_pSaveButton;
    QPushButton* m_pLogButton;
    QPushButton* m_pUnlogButton;
    QTimer* m_pWatchTimer;
    QAutoLogConfig* m_pConfig;
};
