// The regression test bench: one row per board on a serial port (keyed by
// the board ID its receiver reports), the tests each board runs and their
// settings, and one worker thread per started board (monitor/tools/
// regression_method.h). The bench passes what the workers send on to the
// port tabs and the port manager by the board's port ID, reads the boards'
// ports for them through the tab set's read API, copies their progress into
// the table and, when a board finishes or is stopped, shows its summary.
//
// The log root is kept in "Configure/Config/RegressionLogPath.ini" under the
// program's configuration folder, in UTF-8 without a line end.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "monitor/tools/regression_method.h"

class CPortTab;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRegressionConfig;
class QRelayCoils;
class QTableWidget;
class QTableWidgetItem;

class QRegressionDiag : public QDialog
{
    Q_OBJECT

public:
    // Columns of the board table and of a board's row.
    enum COLUMN_E
    {
        COL_PORT_NAME = 0,
        COL_RESET,
        COL_FRESET,
        COL_RECAQ,
        COL_SERIAL_UPDATE,
        COL_COMMAND,
        COL_HZ,
        COL_BASE,
        COL_BOARD_ID,
        COL_VERSION,
        COL_RELAY_PORT,
        COL_ADDRESS,
        COL_AISLE,
        COLUMNS
    };

    explicit QRegressionDiag(QWidget* pParent = nullptr);
    // Stops every board (StopAllBoards) before it goes.
    ~QRegressionDiag() override;

    // Set by the main window; the tab set may go before the bench at shut-down.
    QPointer<CPortTab> m_pPortTab;

    // Tests shorten the waits; set before the first start.
    void SetTiming(const REGRESSION_TIMING_T& Timing) { m_Timing = Timing; }
    QRegressionConfig* ConfigDiag() const { return m_pConfig; }
    QTableWidget* BoardTable() const { return m_pBoardTable; }
    // The check box of a table row, or null.
    QCheckBox* RowCheckBox(int nRow) const;
    // Boards with a running worker; workers whose thread has not ended yet.
    int RunningCount() const { return m_RunningMap.size(); }
    int WorkerCount() const { return m_Workers.size(); }
    // The stored row of a board (its 13 columns), empty for an unknown board.
    QStringList BoardRow(const QString& sBoardID) const;
    QString LogRoot() const { return m_sLogRoot; }
    QString SummaryText() const;
    static QString LogRootFile();

    // Asks for the log root; true when a folder was given.
    bool AskLogPath();
    // Adds the boards of the serial tabs not listed yet and refills the table.
    void RefreshBoardTable();
    // Copies the cells the user edited into the boards' stored rows.
    void SaveTableCells();
    // Stops the worker of that port; its summary comes once its thread ended.
    void StopThread(uint UniquePortID);
    // Stops every board and waits, a bounded time, for their workers to end;
    // what they sent last reaches the ports, and no relay coil is left set.
    // Called before the bench or the ports go.
    void StopAllBoards();

signals:
    void SignalRegressionRequestStatus(int PortIndex, uint Mask);
    void signalRegressionLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);
    void SignalRegressionSetFileName(int m_PortIndex, QString LogFileName);
    void SignalRegressionSendCmd(uint UniquePortID, QByteArray SendData);
    void SignalRegressionCloseFile(int PortIndex);
    void SignalRegressionChangeBaudRate(uint Baudrate, int PortIndex);
    // The relay channels power-cycled so far, to every started worker.
    void SignalOpenAllRelayChannel(uchar m_RelayChannel);

public slots:
    void OnShowDialog();
    void OnConfigBtnClicked();
    void OnSignalRegressionConfig(QList<bool> bTestItemList, QList<QString> MessageList);
    // Starts every board that has no worker, checked or not.
    void OnOKBtnClicked();
    void OnSelectAllBtnClicked();
    // Stops the checked boards.
    void OnStopTimer();
    void OnTimerout();
    // What the workers send, passed on for the board's port.
    void OnRequestStatus(int PortIndex, uint Mask);
    void OnSetFileName(int m_PortIndex, QString LogFileName);
    void OnSendCmd(uint UniquePortID, QByteArray SendData);
    void OnCloseFile(int PortIndex);
    void OnChangeBuadRate(uint Baudrate, int PortIndex);
    void OnUpgradeFWTab(uint UniquePortID, QString Revisions);
    void OnUpgradeFWTitalStatus(uint UniquePortID, bool bRegressTitalStatus);
    void OnRegressUPdate(bool m_RegressUpdateFw);
    void OnFinished(uint UniquePortID, QString RunResult);
    void OnOpenRelayChannel(uchar Aisle);
    void OnRegressionLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);
    void OnLanguageUpdate();
    // The port manager's reports of a port's firmware upgrade ending.
    void OnUpgradeFWComplete(uint UniquePortID);
    void OnUpgradeFWFail(uint UniquePortID);

private:
    // What the bench keeps for a worker: the requests it passed on for it and
    // how the port answered them.
    struct LINK_T
    {
        uint ResetRequests = 0;
        uint FresetRequests = 0;
        uint UpgradeRequests = 0;
        uint UpgradesEnded = 0;
        bool bLastUpgradeFailed = false;
        bool bQuietUpgrade = false;
    };

    void ConnectTabs();
    bool ReadLogRoot();
    void SetLogRoot(const QString& sRoot);
    // The worker whose queued signal is being handled, or null.
    QRegressionMethod* SendingWorker() const;
    // The current tab of the worker's port (or Index when no worker sent).
    int TabOf(QRegressionMethod* pWorker, int Index) const;
    QRegressionMethod* WorkerOfPort(uint UniquePortID) const;
    // Reads the worker's port through the tab set and hands it over.
    void PushState(QRegressionMethod* pWorker);
    // The port of that name if it is open and running; 0 otherwise.
    uint RelayPortID(const QString& sPortName) const;
    void OnPollBoards();
    void WorkerEnded(QRegressionMethod* pWorker);
    void UpdateQuietUpgrade();
    // Why a board's row cannot start, one line each; empty when it can.
    QStringList RowProblems(const QStringList& Row) const;
    void StartWorker(int nRow);
    QString FormatSummary(const QStringList& Row, const REGRESSION_SUMMARY_T& Summary) const;
    void ShowSummaries();
    void SetStatusCell(int nRow, int nColumn, const QString& sText);
    QStringList HeaderLabels() const;

    QTableWidget* m_pBoardTable;
    QCheckBox* m_pSelectAllCheckBox;
    QPushButton* m_pConfigBtn;
    QPushButton* m_pOkBtn;
    QPushButton* m_pCancelBtn;
    QPushButton* m_pLogPathBtn;
    QLabel* m_pLogPathLabel;
    QLabel* m_pSummaryLabel;
    QPlainTextEdit* m_pSummaryText;
    QRegressionConfig* m_pConfig;

    // The boards in the order they were found, with their port and version.
    QStringList m_BoardIDs;
    QList<uint> m_BoardPortIDs;
    QStringList m_BoardVersions;
    // The stored rows by board ID.
    QHash<QString, QStringList> m_Rows;
    QString m_sLogRoot;
    bool m_bFilling = false; // the table is being filled by the program
    bool m_bTabsConnected = false;

    REGRESSION_TIMING_T m_Timing;
    QMap<uint, QRegressionMethod*> m_RunningMap; // by port ID, from OK to stop or finish
    QList<QRegressionMethod*> m_Workers;         // every worker whose thread has not been collected
    QHash<QRegressionMethod*, LINK_T> m_Links;
    std::shared_ptr<QRelayCoils> m_pRelayCoils;
    uchar m_RelayChannel = 0; // relay channels power-cycled since the bench last started
    // The summaries of the boards' last runs, with the row they ran, by board ID.
    QHash<QString, QPair<QStringList, REGRESSION_SUMMARY_T>> m_Summaries;
    QTimer m_StatusTimer;
    QTimer m_PollTimer;
};
