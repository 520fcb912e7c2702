// Production mode ("Product Mode"): lists the connected boards that still run
// the "Golden" firmware, gives each a static IP address from a segment the
// operator types (the segment's last number plus 1, 2, ...), sends each
// selected board its network command and then runs the update script
//     python3 <config>/Configure/ProductMode/Update.py <address> <image>
// per board, with the program and its arguments as a list (no shell), under
// a watchdog. Each board's row tells how its script ended. While active (from
// Start to Cancel), a listed board that resets and still says "Golden" is
// configured and updated again.
//
// Addresses are checked before anything is sent: the segment must be four
// numbers from 0 to 255, and a board's address must lie in the segment's
// /24 network with a last number from 1 to 254 and be no other board's. A
// missing script or image is reported and nothing is started. The waits
// (after the network command, after a reset) are timers; nothing here runs a
// nested event loop. GUI thread only.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

class CPortTab;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

class QProductModeDiag : public QDialog
{
    Q_OBJECT

public:
    enum COLUMN_E
    {
        COL_PORT = 0,
        COL_IP = 1,
        COL_IMAGE = 2,
        COL_RESULT = 3,
        COL_COUNT = 4,
    };
    // Waits in milliseconds; tests shorten them.
    struct DELAYS_T
    {
        int ConfigWaitMs = 1000; // after the network command
        int ResetWaitMs = 2000;  // after a reset, for the board's version
        int WatchdogMs = 60000;  // the longest an update script may run
    };

    explicit QProductModeDiag(QWidget* pParent = nullptr);
    ~QProductModeDiag() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    void SetDelays(const DELAYS_T& Delays) { m_Delays = Delays; }
    QTableWidget* Table() const { return m_pTable; }
    bool IsActive() const { return m_bActive; }
    static QString ScriptPath();

    // The four numbers of a dotted address, each 0 to 255; false otherwise.
    static bool ParseIpv4(const QString& sText, int Parts[4]);
    // Why an address cannot be given to a board of the segment; empty when it can.
    static QString CheckBoardIp(const QString& sIp, const QString& sSegment);
    // The next address of the segment not yet given to a listed board; empty
    // when the segment is no address or none from 1 to 254 is left.
    QString NextFreeIp() const;

signals:
    // A status request for the board of a tab (wired to the tab set's OnRequestItem).
    void SignalProductModeSendMask(int portIndex, uint Mask);
    void SignalSetStaticIp(uint UniquePortID, QByteArray sStaticIPCmd);
    void SignalRefreshPortProperty(int portIndex, uint UniquePortID);

public slots:
    void OnProductModeDiagShow();
    void OnOpenImagePath();
    void OnRefreshList();
    void OnSelectAllBtnClicked();
    void OnStartProductMode();
    void OnCancelProductMode();
    void OnProductBoardReset(uint UniquePortID);
    void OnProcessFinish(bool ProcessFinished);
    void OnLanguageUpdate();

private:
    enum BOARD_STATE_E
    {
        BOARD_IDLE,
        BOARD_CONFIGURING, // network command sent, the script follows
        BOARD_UPDATING,    // its script runs
        BOARD_RESET_CHECK, // reset, its version is awaited
    };
    struct BOARD_T
    {
        QString PortName;
        QString Ip; // the address given when listed, then the one it was configured with
        uint UniquePortID = 0;
        bool bSelected = false;
        QStringList RowData;
        BOARD_STATE_E eState = BOARD_IDLE;
    };

    BOARD_T* Board(uint UniquePortID);
    void SendStaticIpCommand(const QString& ip, uint UniquePortID);
    void RunUpdateScript(const QString& ip, const QString& image, uint UniquePortID);
    void OnScriptEnded(uint UniquePortID, QProcess* pProcess, const QString& sResult);
    void SetResult(uint UniquePortID, const QString& sText);
    void Warn(const QString& sText);
    void Fill();

    QString m_sImagePath;
    QString m_sIpSegment;
    bool m_bActive = true; // from construction: a listed board that resets is configured before Start
    QList<BOARD_T> m_Boards;
    QHash<uint, QString> m_Results; // per port, the row's last result
    QHash<uint, QProcess*> m_Scripts; // the running script of each port
    DELAYS_T m_Delays;

    QLabel* m_pIpLabel;
    QLineEdit* m_pIpEdit;
    QLabel* m_pImageLabel;
    QLineEdit* m_pImageEdit;
    QPushButton* m_pOpenImageButton;
    QTableWidget* m_pTable;
    QCheckBox* m_pSelectAll;
    QPushButton* m_pStartButton;
    QPushButton* m_pCancelButton;
    QPushButton* m_pRefreshButton;
};
