// The hardware test ("Hardware Test"): one row per board (per product ID
// among the open port tabs) with the firmware image for its model and the
// recording time; OK starts a QHardwareThread per selected board, Cancel
// stops the selected ones at once. The dialog relays what each worker asks
// to the tab set and the port manager, finding the tab index from the port
// ID in the same call, hands the workers the ends of their upgrades and the
// ports' version replies, and shows each board's result in its row and in
// the day's results file beside the boards' logs (a board whose tab closes
// ends its test there and then, and nothing more is sent for it):
//     root/yyyy/yyyyMM/yyyyMMdd/HardwareTest/<tab>_<n>.log
//     root/yyyy/yyyyMM/yyyyMMdd/HardwareTest/HardwareTestResults.txt
// When the last test has ended by itself the user is told, with the boards
// that failed. GUI thread only.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "monitor/tools/hardware_thread.h"
#include "monitor/tools/tool_paths.h"

class CPortTab;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

class QHardwareDiag : public QDialog
{
    Q_OBJECT

public:
    enum COLUMN_E
    {
        COL_PORT = 0,
        COL_IMAGE = 1,
        COL_WAIT = 2,
        COL_RESULT = 3,
        COL_COUNT = 4,
    };

    explicit QHardwareDiag(QWidget* pParent = nullptr);
    ~QHardwareDiag() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    // Tests set their own clock and waits.
    void SetClock(TOOL_CLOCK_T fnNow) { m_fnNow = std::move(fnNow); }
    void SetTiming(const HARDWARE_TIMING_T& Timing) { m_Timing = Timing; }
    QTableWidget* Table() const { return m_pTable; }
    QStringList ImageList() const { return m_ImageList; }
    bool IsTesting(uint UniquePortID) const { return m_Tests.contains(UniquePortID); }
    int RunningCount() const { return m_Tests.size(); }
    // The text a result is shown and logged with.
    static QString ResultText(int Result);
    static QString ImagePathFile();
    static QString LogPathFile();

signals:
    void SignalHardwareChangeBuadRate(uint Baudrate, int PortIndex);
    void SignalHardwareSendCmd(uint UniquePortID, QByteArray SendData);
    void SignalHardwareSetFileName(int PortIndex, QString LogFileName);
    void SignalHardwareCloseFile(int PortIndex);
    void SignalHardWareLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);
    // A VERSION status request of a tab's port.
    void SignalSendHardwareVersionMask(int PortIndex, uint VerMask);
    // Firmware upgrades, to the port manager.
    void SignalHardwareUpgradeFW(uint UniquePortID, QString ImagePath);
    void SignalHardwareCancelUpgradeFW(uint UniquePortID);

public slots:
    void OnShowDialog();
    void OnUpdateConfigTabl();
    void OnOKBtnClicked();
    void OnCancleTest();
    void OnSelectAllBtnClicked();
    void OnImagePathButtonClicked();
    void OnLogPathButtonClicked();
    void OnFinished(uint m_UniquePortID, QString LogFileName);
    void OnLanguageUpdate();
    // Relays of the workers.
    void OnChangeBuadRate(uint Baudrate, uint UniquePortID);
    void OnSendCmd(uint UniquePortID, QByteArray SendData);
    void OnSetFileName(uint UniquePortID, QString m_LogFileName);
    void OnCloseFile(uint UniquePortID);
    void OnHardWareUPdate(uint UniquePortID, QString BoardImage);
    void OnCancelUpgrade(uint UniquePortID);
    void OnUpgradeFWTitalStatus(uint UniquePortID, bool bRegressTitalStatus);
    void OnUPdateNotBox(uint UniquePortID, bool bQuiet);
    void OnSendHardwareVersionMask(uint UniquePortID, uint VerMask);
    void OnTestFailed(uint UniquePortID, int Result);
    // From the port manager and the tab set.
    void OnUpgradeFWComplete(uint UniquePortID);
    void OnUpgradeFWFail(uint UniquePortID);
    void OnUsbUpgradeFail(uint UniquePortID, int UpdateFail);
    void OnStatusMsgParseFinished(uint Mask);
    // Tab Index is closing: the test of its port ends at once ("Not found Porttab").
    void OnPortCloseEvent(int Index);

private:
    struct BOARD_ROW_T
    {
        QString Key; // the product ID, or the tab text of a board without one
        uint UniquePortID = 0;
        QString TabText;
        QString BoardName;
        bool bSelected = false;
    };
    struct ROW_DATA_T
    {
        QString ImagePath;
        QString WaitTime = QStringLiteral("2000");
    };
    struct RUNNING_T
    {
        QHardwareThread* pThread = nullptr;
        QString TabText;
        QString LogFileName;
        bool bLogOpen = false;
        bool bQuiet = false;
        bool bMarked = false;
    };

    // Asks for and keeps a path: an existing file (image list) or folder (log root).
    bool AskPath(bool bImage);
    bool LoadPath(bool bImage);
    bool ReadImageList(const QString& sPath);
    QString DefaultImage(const QString& sBoardName) const;
    // The worker that sent the current signal is the running test of the port.
    bool FromRunningTest(uint UniquePortID) const;
    // The port's tab index; without a tab the port's test ends ("Not found
    // Porttab") and -1 is returned, so that nothing more is sent for it.
    int TabOrEnd(uint UniquePortID);
    int TabOf(uint UniquePortID) const;
    void EndTest(uint UniquePortID, HARDWARE_RESULT_E eResult, bool bReport);
    void UpdateQuietFlag();
    void ShowResult(uint UniquePortID);
    void LogResult(const RUNNING_T& Test, HARDWARE_RESULT_E eResult);
    void Error(const QString& sText);

    QList<BOARD_ROW_T> m_Rows;
    QHash<QString, ROW_DATA_T> m_RowData; // by key, for the whole run
    QMap<uint, RUNNING_T> m_Tests;        // by port ID
    QHash<uint, QString> m_Results;       // the last result text of each port
    QStringList m_Failures;               // boards that failed since the last completion
    QString m_sImageListPath;
    QString m_sLogRoot;
    QStringList m_ImageList;
    TOOL_CLOCK_T m_fnNow;
    HARDWARE_TIMING_T m_Timing;

    QTableWidget* m_pTable;
    QCheckBox* m_pSelectAll;
    QPushButton* m_pImageButton;
    QLabel* m_pImageLabel;
    QPushButton* m_pLogButton;
    QLabel* m_pLogLabel;
    QPushButton* m_pOkButton;
    QPushButton* m_pCancelButton;
};
