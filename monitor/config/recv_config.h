// The receiver configuration dialog: network, reference station, PPS,
// satellite enable with elevation cut-offs, and the receiver's own NTRIP link.
// It opens on the current port (OnShowDialog, with the main window's request
// for that port's user configuration), is filled when that port's reply has
// been parsed, and each page turns its controls into receiver command lines.
//
// One receiver at a time: the port the dialog was opened on is kept, its
// reply alone fills the dialog, its position alone is shown, and every command
// goes to it with that port ID, whatever tab is current when the user presses
// a button. Opening the dialog on another port starts from a blank form, so
// nothing shown for one receiver is sent to another.
//
// A field that would make a malformed command is refused with a message that
// names it, and nothing is sent. A satellite page whose boxes neither the
// receiver's reply nor the user's Enable All / Disable All has set refuses OK:
// its blank boxes would lock out the whole system. Refusals go through the
// monitor's prompt; the refresh, which runs on the road that parses port data,
// only ever shows a box that does not wait.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include "monitor/config/recv_config_form.h"

class CPortTab;
class QStatusMsgParser;

class QZvRecvConfig : public QDialog
{
    Q_OBJECT

public:
    explicit QZvRecvConfig(QWidget* pParent = nullptr);
    ~QZvRecvConfig() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

    // The port whose receiver the dialog configures; 0 before it was opened on one.
    uint PortID() const { return m_PortID; }

signals:
    // Every command the dialog sends, as one text of CR LF lines.
    void SignalSendRecvConfig(QString Msg);

public slots:
    // The validators of the address, cut-off, period and NTRIP fields.
    void OnLimit();
    // Enables the address fields for "STATIC", disables them for "DHCP".
    QString OnNetMode();
    // "netconfig dhcp" or "netconfig static IP MASK GATEWAY HOST", then "saveconfig".
    QString OnChangeNet();
    // Whole degrees, whole minutes and unrounded seconds of |value|.
    QList<double> OnFormatDeg(double value);
    // Shows a position (degrees, metres) in the current-position labels; returns 0.
    double OnPosCurPos(double RefLatitude, double RefLongitude, double RefHeight);
    // Copies the current position into the reference-station fields.
    void OnRefCurPos();
    void OnRecvConfigClose();
    // Degrees, minutes and seconds to decimal degrees with 12 decimals.
    QString OnRefGetLat(QString RefGetDeg, QString RefGetMinute, QString RefGetSec);
    // "fix position LAT LON HEIGHT", then "saveconfig".
    QString OnRefFix();
    void OnGPSEnableAll();
    void OnGPSDisableAll();
    void SetGPSCheckBoxEnable(uint Mask);
    QString OnGPSGEOK();
    void OnGLOEnableAll();
    void OnGLODisableAll();
    void SetGLOCheckBoxEnable(uint Mask);
    QString OnGLOGEOK();
    void OnGalEnableAll();
    void OnGalDisableAll();
    void SetGalCheckBoxEnable(uint Mask);
    QString OnGalGEOK();
    void OnBDSEnableAll();
    void OnBDSDisableAll();
    void SetBDSCheckBoxEnable(uint Mask);
    QString OnBDSGEOK();
    // The ECUTOFF and RTKECUTOFF lines of a system.
    QString OnElevMask(QString System);
    // "PPSCONFIG ...", then "saveconfig".
    QString OnPPSOK();
    // Fills the pages from the user configuration reply of the dialog's port.
    void OnUpdateDiag(void* pPortTab);
    // Shows the stored cut-offs of the satellite page just chosen.
    void OnCurrentTabChanged(int Index);
    // The 800 ms position update, with the current port's position record.
    void OnUpdateRefCurPos(void* pData);
    // Shows the user name row for a client, hides it for a server.
    void OnNtripSever();
    // "NTRIPCONFIG ncom1 ..." or "ntripconfig ncom1  disable".
    void OnNtripOK();
    void OnLanguageUpdate();
    // Opens the dialog on the current port.
    void OnShowDialog();

signals:
    // The same command text, for the port the dialog was opened on; wired to
    // the port manager.
    void SignalSendRecvConfigToPort(uint UniquePortID, QByteArray WriteData);

private:
    // Puts every page back as the form starts, forgetting what was read.
    void ResetPages();
    void FitSize();
    void SetWindowTitleForPort();
    void FillNtrip(const QString& sLine);
    // The mode and addresses the receiver reports: the NETCONFIG line of its
    // user configuration, else its reply to "netconfig" when the port opened.
    void FillNetwork(const QStatusMsgParser& Store, const QString& sNetConfigReply);
    void FillPps(const QStringList& Fields);
    void FillSatellites(const QStatusMsgParser& Store);
    void SetCheckBoxes(int iPage, uint Mask);
    // Sets a page's boxes as a whole on the user's behalf.
    void SetPage(int iPage, uint Mask);
    QString OnSatGEOK(int iPage);
    // The NTRIP page's command, or an empty text after a refusal.
    QString NtripCommand();
    void ClearPositionLabels();
    // Shows a refusal; returns the empty text of a command not sent.
    QString Refuse(const QString& sText);
    // Sends a whole command text to the dialog's receiver and closes the
    // dialog; false (and a refusal) when that receiver's port is gone.
    bool SendToReceiver(const QString& sCommand);

    // One bit per satellite page whose boxes were set by the reply or as a whole by the user.
    uint m_SatPagesSet = 0;
    QList<uint> m_LockoutMaskList;
    QStringList m_ElevMaskList;
    QStringList m_RtkElevMaskList;
    Ui_RecvConfig m_Ui;
    uint m_PortID = 0;
    bool m_bPpsBoxOpen = false;
    // Where the network mode shown comes from: until the receiver reported
    // it or the user chose it, OK on the network page sends nothing; once the
    // user chose it, a refresh leaves it.
    enum NET_MODE_SOURCE_E
    {
        NET_MODE_UNKNOWN,
        NET_MODE_RECEIVER,
        NET_MODE_USER,
    };
    NET_MODE_SOURCE_E m_eNetModeSource = NET_MODE_UNKNOWN;
};
