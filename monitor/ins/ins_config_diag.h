// The INS configuration dialog: INS on or off, alignment mode with its
// heading and speed threshold, the vehicle profile, the IMU's mounting angles
// and the lever arms, each page turned into the receiver's command lines, and
// the pages filled back from the receiver's stored configuration.
//
// One receiver at a time: the dialog keeps the port it was opened on
// (OnShowDialog), is filled by that port's user configuration reply alone and
// sends every command to that port by its ID, whatever tab is current when the
// user presses a button.
//
// A value out of the receiver's range, or a field that is no plain decimal
// number, is refused with a message naming the field; nothing is sent. Refusals
// go through the monitor's prompt.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

#include "monitor/ins/ins_config_form.h"

class CPortTab;

class QZvINSConfig : public QDialog
{
    Q_OBJECT

public:
    explicit QZvINSConfig(QWidget* pParent = nullptr);
    ~QZvINSConfig() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

    // The port whose receiver the dialog configures; 0 before it was opened on one.
    uint PortID() const { return m_PortID; }

signals:
    // Every command the dialog sends, as one text.
    void SignalSendINSCommnadMsg(QString Msg);
    // The same text, for the port the dialog was opened on; wired to the port manager.
    void SignalSendINSCommandToPort(uint UniquePortID, QByteArray Cmd);

public slots:
    // "INS Enable": every page on or off, and "inscommand enable" or "inscommand disable".
    QString OnINSEncheck();
    // The rotation command; a null text when a field was refused.
    QString OnINSMounting();
    // The three lever-arm commands as one text; a null text when a field was refused.
    QString OnINSGNSSLA();
    void OnCloseWindow();
    // The automatic mounting type disables the three angle fields.
    void OnMountingType();
    // Fills the pages from the user configuration reply of the dialog's port.
    void OnUpdateDiag(void* pPortTab);
    void OnLanguageUpdate();
    // The heading widgets belong to the last alignment mode.
    void OnAlignmentMode();
    // The speed threshold, profile and alignment commands.
    void OnGeneralOkBtnClick();
    // Opens the dialog on the current port.
    void OnShowDialog();

private:
    void FitSize();
    void SetWindowTitleForPort();
    void FillProfiles();
    void SetAlignmentList(const QStringList& List);
    // Shows a refusal; returns the null text of a command not sent.
    QString Refuse(const QString& sText);
    // Sends a whole command text to the dialog's receiver; false (and a
    // refusal) when that receiver's port is gone.
    bool SendToReceiver(const QString& sCommand);
    // The group's fields checked against their ranges, in order X, X 1-sigma,
    // Y, Y 1-sigma, Z, Z 1-sigma; false after the first refusal, which resets
    // that field to "0.000".
    bool CheckAxes(const Ui_QZvINSConfigWindow::AXES_T& Axes, double dValueLimit, double dValueMin,
                   double dStdLimit, const char* const* pMessages);

    Ui_QZvINSConfigWindow m_Ui;
    QString m_sBoardType = QStringLiteral("912");
    QStringList m_SingleAntennaList;
    QStringList m_DualAntennaList;
    QStringList m_CurrentList;
    QStringList m_ShownModes; // the alignment modes the box shows, untranslated
    QStringList m_ProfileDisplayList;
    uint m_PortID = 0;
};
