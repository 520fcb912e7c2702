// The message output window: per receiver output message, whether the
// receiver sends it and how often, on five tabs built from the codec's output
// message groups (NMEA, RTCM, position, INS, observations). Each tab's OK
// turns its choices into LOG and UNLOG lines, one per message of the tab,
// optionally followed by "saveconfig".
//
// One receiver at a time: the window opens on the current port
// (OnShowDialog, with the main window's request for that port's log list),
// only that port's log list reply sets its boxes to what the receiver outputs
// on the port the monitor talks through, and every command goes to that port
// by its ID, whatever tab is current when the user presses OK. Opening it on
// another port starts from the initial choices, so nothing shown for one
// receiver is sent to another.
//
// OK changes only what the user changed: a log the receiver outputs at a
// period or on a trigger the rate box has no item for gets an item of its
// own ("0.5 s", "ONNEW"), so that OK sends it back as the receiver has it;
// and until the log list of the window's port has been read, OK sends
// nothing (every row would read "Off" and stop the receiver's logs).
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class CPortTab;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QPushButton;
class QRadioButton;
class QTabWidget;

class QFMsgConfig : public QDialog
{
    Q_OBJECT

public:
    explicit QFMsgConfig(QWidget* pParent = nullptr);
    ~QFMsgConfig() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

    // The port whose receiver the window configures; 0 before it was opened on one.
    uint PortID() const { return m_PortID; }

signals:
    // The whole command text of one OK.
    void SignalSendMsg(QString Msg);
    // The same text for the port the window was opened on; wired to the port manager.
    void SignalSendMsgToPort(uint UniquePortID, QByteArray WriteData);

public slots:
    void OnSelectNmeaAll();
    // The RTCM version chosen enables its row; with select-all, ticks it.
    void OnSelectRtcmAll();
    void OnSelectPosMsgAll();
    void OnSelectINSAll();
    void OnSelectOBSAll();
    // Each OK builds, sends and returns its tab's command text ("" when nothing was sent).
    QString OnNmeaOK();
    // A rate label ("1Hz", "ONCHANGED") to the period the command takes; "NULL" for none.
    QString OnMsgFreq(QString MsgFreq);
    // "unlog MSG" for the period "0", else "log MSG PERIOD".
    QString OnMsgCommand(QString NMEAFreqCommand, QString Msg);
    QString OnPosMsgOK();
    // The log name with the form letter the type box shows.
    QString OnMsgType(QString MsgType, QString MsgTypeCommand);
    QString OnINSOK();
    QString OnOBSOK();
    QString OnRtcmOk();
    void OnCancel();
    // Sets one message's rate and form from a log list entry; a period or
    // trigger that the rate table lacks becomes an item of its own.
    void OnFreqShow(QString MsgTrigger, double LogDuration, QString MsgName, char MsgType);
    // Sets the boxes from the log list reply of the window's port.
    void OnUpdateDiag(void* pPortTab);
    void OnLanguageUpdate();
    // Opens the window on the current port.
    void OnShowDialog();

private:
    // One message of a tab and its controls.
    struct MESSAGE_T
    {
        QString sShown;   // label and object-name stem: "GGA", "BESTPOS", "RTCM1006"
        QString sCommand; // as LOG names it: "GPGGA", "BESTPOS"
        QComboBox* pType = nullptr;
        QComboBox* pRate = nullptr;
        QCheckBox* pCheck = nullptr; // RTCM
        int iSet = 0;                // RTCM: the version row
        QString sListedRate;         // RTCM: the trigger and period the receiver lists, "ontime 0.5"
    };
    struct TAB_T
    {
        QString sName; // "NMEA", "RTCM", "PosMsg", "INS", "OBS"
        bool bFormChoice = false;
        QList<MESSAGE_T> Messages;
        QCheckBox* pSelectAll = nullptr;
        QComboBox* pSelectAllType = nullptr;
        QComboBox* pSelectAllRate = nullptr;
        QCheckBox* pSaveconfig = nullptr;
        QPushButton* pOK = nullptr;
        QPushButton* pCancel = nullptr;
    };
    // A log list entry on the port the monitor talks through.
    struct ENTRY_T
    {
        QString sName;
        QString sTrigger;
        double dPeriod = 0;
    };

    void BuildTab(int iTab);
    void BuildRtcmTab(TAB_T& Tab, QWidget* pPage, QGridLayout* pGrid);
    QComboBox* NewRateBox(QWidget* pPage, const QString& sName);
    QComboBox* NewTypeBox(QWidget* pPage, const QString& sName);
    // Every choice as the window starts.
    void ResetChoices();
    // A rate box back at "Off", without the receiver's own item.
    static void ResetRateBox(QComboBox* pBox);
    // The label of the receiver's own item: a trigger as it is, a period in seconds.
    QString ListedRateLabel(const QString& sPeriod) const;
    // The period or trigger text a rate box's choice puts into the command.
    QString ChosenPeriod(const QComboBox* pBox);
    void SelectAll(int iTab);
    // The LOG and UNLOG lines of a tab with receiver logs or NMEA sentences.
    QString TabCommand(int iTab);
    // Sends a tab's text to the window's receiver and closes; false (and a
    // refusal) when that receiver's port is gone.
    bool SendToReceiver(const QString& sCommand);
    void SetWindowTitleForPort();
    void FitSize();
    int RtcmVersionRow(const QList<ENTRY_T>& Entries) const;
    void ShowEntries(const QList<ENTRY_T>& Entries);

    QTabWidget* m_pTabs = nullptr;
    QList<TAB_T> m_Tabs;
    QList<QRadioButton*> m_RtcmVersions; // one per version row
    QButtonGroup* m_pRtcmGroup = nullptr;
    uint m_PortID = 0;
    bool m_bLogListRead = false; // the boxes show the log list of m_PortID's receiver
};
