#include "monitor/ins/ins_config_diag.h"
#include "monitor/shell/shell_log.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/view_payload.h"

namespace
{
// The alignment modes as shown; each is sent as the receiver's word, which is
// the text shown but for the dual-antenna mode (DUALANT). The heading mode is
// the last of each list.
const char* const kSingleAntennaModes[] = {"NONE", "AUTO", "STATIC", "DYNAMIC", "EXTERNAL HEADING"};
const char* const kDualAntennaModes[] = {"NONE", "AUTO", "STATIC", "DYNAMIC", "DUAL ANTENNA", "EXTERNAL HEADING"};
const char kHeadingMode[] = "EXTERNAL HEADING";
const char kDualAntennaMode[] = "DUAL ANTENNA";
const char kDualAntennaWord[] = "DUALANT";

// The vehicle profiles: the text shown and the receiver's word, index for index.
const char* const kProfileTexts[] = {
    QT_TRANSLATE_NOOP("QZvINSConfig", "DEFAULT"), QT_TRANSLATE_NOOP("QZvINSConfig", "LAND VEHICLE"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "MARINE"),  QT_TRANSLATE_NOOP("QZvINSConfig", "FIXED WING"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "VTOL"),    QT_TRANSLATE_NOOP("QZvINSConfig", "RAIL"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "LOW SPEED"),
};
const char* const kProfileKeywords[] = {"DEFAULT",    "LAND_BASIC", "MARINE_BASIC", "FIXEDWING_BASIC",
                                        "VTOL_BASIC", "RAIL_BASIC", "LOWSPEED"};
constexpr int kProfileCount = static_cast<int>(sizeof kProfileKeywords / sizeof kProfileKeywords[0]);

// The refusals of the mounting angles and of the three lever-arm groups, in
// the order their fields are checked: X, X 1-sigma, Y, Y 1-sigma, Z, Z 1-sigma.
const char* const kMountingMessages[] = {
    QT_TRANSLATE_NOOP("QZvINSConfig", "X range is -180~180 degree"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "X 1-sigma range is 0~45 degree"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "y range is -180~180 degree"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "y 1-sigma range is  0~45 degree"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "z range is -180~180 degree"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "z 1-sigma range is  0~45 degree"),
};
const char* const kLeverArmMessages[] = {
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Primary GNSS Lever Arm X range is -100-100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Primary GNSS Lever Arm X 1-sigma range is 0~10 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Primary GNSS Lever Arm Y range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Primary GNSS Lever Arm y 1-sigma range is 0~10m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Primary GNSS Lever Arm Z range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Primary GNSS Lever Arm z 1-sigma range is 0~10m"),
};
const char* const kBaselineMessages[] = {
    QT_TRANSLATE_NOOP("QZvINSConfig", "Primary to Secondary GNSS Baseline Vector X range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "Primary to Secondary GNSS Baseline Vector X 1-sigma range is 0~10m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "Primary to Secondary GNSS Baseline Vector Y range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "Primary to Secondary GNSS Baseline Vector y 1-sigma range is 0~10m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "Primary to Secondary GNSS Baseline Vector Z range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "Primary to Secondary GNSS Baseline Vector z 1-sigma range is 0~10m"),
};
const char* const kVehicleMessages[] = {
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Vehicle Lever Arm X range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Vehicle Lever Arm X 1-sigma range is 0~10m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Vehicle Lever Arm y range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Vehicle Lever Arm y 1-sigma range is 0~10m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Vehicle Lever Arm z range is -100~100 m"),
    QT_TRANSLATE_NOOP("QZvINSConfig", "IMU to Vehicle Lever Arm z 1-sigma range is 0~10m"),
};

QString Tr(const char* pText) { return QCoreApplication::translate("QZvINSConfig", pText); }

QStringList Words(const char* const* pWords, int nWords)
{
    QStringList list;
    for (int i = 0; i < nWords; ++i)
        list << QLatin1String(pWords[i]);
    return list;
}

// A plain decimal number as the receiver reads one: digits with an optional
// fraction and sign, written with "." whatever the locale; no blank, exponent
// or word (such as "inf").
bool ReadDecimal(const QString& sText, float* pValue)
{
    static const QRegularExpression kDecimal(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!kDecimal.match(sText).hasMatch())
        return false;
    *pValue = sText.toFloat();
    return true;
}

// The six values of a group as the command's fields: X Y Z, then their 1-sigma.
QString AxesText(const Ui_QZvINSConfigWindow::AXES_T& Axes)
{
    QStringList fields;
    for (const QLineEdit* pEdit : Axes.pValue)
        fields << pEdit->text();
    for (const QLineEdit* pEdit : Axes.pStd)
        fields << pEdit->text();
    return fields.join(QLatin1Char(' '));
}

// Fields 2 to 7 of a stored line into a group's values and 1-sigma fields.
void FillAxes(const Ui_QZvINSConfigWindow::AXES_T& Axes, const QStringList& Fields)
{
    if (Fields.size() < 8)
        return;
    for (int i = 0; i < 3; ++i)
    {
        Axes.pValue[i]->setText(Fields[2 + i]);
        Axes.pStd[i]->setText(Fields[5 + i]);
    }
}
} // namespace

QZvINSConfig::QZvINSConfig(QWidget* pParent) : QDialog(pParent)
{
    m_Ui.setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    Ui_QZvINSConfigWindow& ui = m_Ui;
    // The rear wheel page is not offered.
    ui.pINSWindow->removeTab(ui.pINSWindow->indexOf(ui.pRearWheelPage));
    m_SingleAntennaList = Words(kSingleAntennaModes, 5);
    m_DualAntennaList = Words(kDualAntennaModes, 6);
    FillProfiles();
    SetAlignmentList(m_SingleAntennaList);
    ui.qHeadingLable->hide();
    ui.pHeadingLineEdit->hide();
    ui.pHeadingDegreeLable->hide();
    ui.pMountingType->setChecked(true);
    OnMountingType();
    FitSize();

    connect(ui.pINSEnCheck, &QCheckBox::clicked, this, &QZvINSConfig::OnINSEncheck);
    connect(ui.pMountingOKButton, &QPushButton::clicked, this, &QZvINSConfig::OnINSMounting);
    connect(ui.pGNSSLAOKButton, &QPushButton::clicked, this, &QZvINSConfig::OnINSGNSSLA);
    connect(ui.pGeneralOKButton, &QPushButton::clicked, this, &QZvINSConfig::OnGeneralOkBtnClick);
    for (QPushButton* pCancel : {ui.pGeneralCancelButton, ui.pMountingCancelButton, ui.pGNSSLACancelButton})
        connect(pCancel, &QPushButton::clicked, this, &QZvINSConfig::OnCloseWindow);
    connect(ui.pMountingType, &QCheckBox::clicked, this, &QZvINSConfig::OnMountingType);
    connect(ui.qAlignmentModeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &QZvINSConfig::OnAlignmentMode);
}

QZvINSConfig::~QZvINSConfig() = default;

void QZvINSConfig::FitSize()
{
    // The form's size, or more where the texts of the language in use need it.
    setFixedSize(QSize(690, 560).expandedTo(sizeHint()));
}

void QZvINSConfig::FillProfiles()
{
    const int iProfile = m_Ui.pReceiverDyM->currentIndex();
    m_ProfileDisplayList.clear();
    for (const char* pText : kProfileTexts)
        m_ProfileDisplayList << Tr(pText);
    m_Ui.pReceiverDyM->clear();
    m_Ui.pReceiverDyM->addItems(m_ProfileDisplayList);
    // A language change keeps the profile chosen.
    m_Ui.pReceiverDyM->setCurrentIndex(iProfile < 0 ? 0 : iProfile);
}

void QZvINSConfig::SetAlignmentList(const QStringList& List)
{
    // The modes of two words name what the receiver's keyword means and read
    // in the user's language; the one-word modes are the receiver's keywords.
    static const char* const kShownModes[] = {QT_TR_NOOP("DUAL ANTENNA"), QT_TR_NOOP("EXTERNAL HEADING")};
    const int iCurrent = m_Ui.qAlignmentModeBox->currentIndex();
    m_Ui.qAlignmentModeBox->clear();
    for (const QString& sMode : List)
    {
        QString sShown = sMode;
        for (const char* p : kShownModes)
            if (sMode == QLatin1String(p))
                sShown = tr(p);
        m_Ui.qAlignmentModeBox->addItem(sShown);
    }
    // The same list shown again (a language change) keeps its choice.
    if (List == m_ShownModes && iCurrent < m_Ui.qAlignmentModeBox->count())
        m_Ui.qAlignmentModeBox->setCurrentIndex(iCurrent);
    m_ShownModes = List;
}

// ---- Opening, refreshing, language ----

void QZvINSConfig::OnShowDialog()
{
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID != m_PortID)
    {
        // Nothing read from one receiver is offered to another.
        Ui_QZvINSConfigWindow& ui = m_Ui;
        ui.retranslateUi(this);
        ui.pHeadingLineEdit->clear();
        ui.qSpeedThreshold->clear();
        ui.pReceiverDyM->setCurrentIndex(0);
        m_sBoardType = QStringLiteral("912");
        m_CurrentList.clear();
        SetAlignmentList(m_SingleAntennaList);
        ui.pGNSSBaselineGroup->setEnabled(true);
        ui.pMountingType->setChecked(true);
        OnMountingType();
    }
    m_PortID = uPortID;
    SetWindowTitleForPort();
    show();
    raise();
    activateWindow();
}

void QZvINSConfig::SetWindowTitleForPort()
{
    QString sTitle = QCoreApplication::translate("QZvINSConfigWindow", "INS");
    const QString sTab = m_pPortTab && m_PortID != 0 ? m_pPortTab->GetPortInfo(m_PortID).TabText : QString();
    if (!sTab.isEmpty())
        sTitle += QStringLiteral(" - ") + sTab;
    setWindowTitle(sTitle);
}

void QZvINSConfig::OnLanguageUpdate()
{
    // The form puts its default texts back; what was read or typed stays.
    QHash<QLineEdit*, QString> edits;
    for (QLineEdit* pEdit : findChildren<QLineEdit*>())
        edits.insert(pEdit, pEdit->text());
    m_Ui.retranslateUi(this);
    for (auto it = edits.cbegin(); it != edits.cend(); ++it)
        it.key()->setText(it.value());
    SetWindowTitleForPort();
    FillProfiles();
    SetAlignmentList(QStringList(m_ShownModes));
    FitSize();
}

void QZvINSConfig::OnUpdateDiag(void* pPortTab)
{
    const CPortTab* pTabs = PortTabPayload(pPortTab);
    // Only the reply of the port the dialog was opened on fills it.
    if (pTabs == nullptr || m_PortID == 0 || pTabs->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pStore = pTabs->GetStatusReplies(m_PortID);
    if (pStore == nullptr)
        return;
    qCDebug(lcWindows, "QZvINSConfig OnUpdateDiag");
    Ui_QZvINSConfigWindow& ui = m_Ui;
    m_sBoardType = pTabs->GetPortInfo(m_PortID).Property.Model;
    const QStringList Lines = pStore->m_UserConfigList;
    m_CurrentList.clear();
    ui.qHeadingLable->show();
    ui.pHeadingLineEdit->show();
    ui.pHeadingDegreeLable->show();
    // Single-antenna boards have no baseline; the box shows the list that its
    // selections are looked up in.
    if (m_sBoardType.contains(QLatin1String("912")) || m_sBoardType.contains(QLatin1String("9C2")))
    {
        ui.pGNSSBaselineGroup->setEnabled(false);
        SetAlignmentList(m_SingleAntennaList);
        m_CurrentList = m_SingleAntennaList;
    }
    else if (m_sBoardType.contains(QLatin1String("906")) || m_sBoardType.contains(QLatin1String("908")))
    {
        ui.pGNSSBaselineGroup->setEnabled(true);
        SetAlignmentList(m_DualAntennaList);
        m_CurrentList = m_DualAntennaList;
    }
    auto selectMode = [this](const QString& sMode)
    { m_Ui.qAlignmentModeBox->setCurrentIndex(m_CurrentList.indexOf(sMode)); };
    for (const QString& sLine : Lines)
    {
        // Fields at single blanks: a double blank makes an empty field.
        const QStringList f = sLine.split(QLatin1Char(' '));
        if (sLine.contains(QLatin1String("SETINSTRANSLATION ANT1")))
            FillAxes(ui.LeverArm, f);
        else if (sLine.contains(QLatin1String("SETINSROTATION RBV ")))
        {
            ui.pMountingType->setChecked(false);
            OnMountingType();
            FillAxes(ui.Mounting, f);
        }
        else if (sLine.contains(QLatin1String("SETINSROTATION AUTO ")))
        {
            ui.pMountingType->setChecked(true);
            OnMountingType();
        }
        else if (sLine.contains(QLatin1String("SETINSTRANSLATION DUALANT ")))
            FillAxes(ui.Baseline, f);
        else if (sLine.contains(QLatin1String("ALIGNMODE")))
        {
            if (sLine.contains(QLatin1String("AZI")))
            {
                if (f.size() == 3)
                    ui.pHeadingLineEdit->setText(f[2]);
                selectMode(QLatin1String(kHeadingMode));
            }
            else if (sLine.contains(QLatin1String("DUALANT")))
                selectMode(QLatin1String(kDualAntennaMode));
            else if (f.size() == 2)
                selectMode(f[1]);
            else if (f.size() == 3)
                selectMode(f[1] + QLatin1Char(' ') + f[2]);
        }
        else if (sLine.contains(QLatin1String("DYNALIGN")))
        {
            if (f.size() >= 2)
                ui.qSpeedThreshold->setText(f[1]);
        }
        else if (sLine.contains(QLatin1String("SETINSPROFILE")))
        {
            const QStringList keywords = Words(kProfileKeywords, kProfileCount);
            if (f.size() == 2)
                ui.pReceiverDyM->setCurrentIndex(keywords.indexOf(f[1]));
            else if (f.size() == 3)
                ui.pReceiverDyM->setCurrentIndex(keywords.indexOf(f[1] + QLatin1Char(' ') + f[2]));
        }
    }
    // The heading widgets follow the mode now selected.
    OnAlignmentMode();
}

// ---- Controls ----

void QZvINSConfig::OnCloseWindow() { close(); }

void QZvINSConfig::OnMountingType()
{
    const bool bManual = !m_Ui.pMountingType->isChecked();
    for (QLineEdit* pAngle : m_Ui.Mounting.pValue)
        pAngle->setEnabled(bManual);
}

void QZvINSConfig::OnAlignmentMode()
{
    const QComboBox* pBox = m_Ui.qAlignmentModeBox;
    const bool bHeading = pBox->count() > 0 && pBox->currentIndex() == pBox->count() - 1;
    m_Ui.qHeadingLable->setVisible(bHeading);
    m_Ui.pHeadingLineEdit->setVisible(bHeading);
    m_Ui.pHeadingDegreeLable->setVisible(bHeading);
}

// ---- Commands ----

QString QZvINSConfig::Refuse(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), sText);
    return QString();
}

bool QZvINSConfig::SendToReceiver(const QString& sCommand)
{
    if (m_PortID == 0 || m_pPortTab == nullptr || m_pPortTab->GetTabIndexByPortID(m_PortID) < 0)
    {
        Refuse(tr("The port of this receiver is not open: nothing was sent."));
        return false;
    }
    emit SignalSendINSCommnadMsg(sCommand);
    emit SignalSendINSCommandToPort(m_PortID, sCommand.toUtf8());
    return true;
}

bool QZvINSConfig::CheckAxes(const Ui_QZvINSConfigWindow::AXES_T& Axes, double dValueLimit, double dValueMin,
                             double dStdLimit, const char* const* pMessages)
{
    for (int i = 0; i < 6; ++i)
    {
        QLineEdit* pEdit = i % 2 == 0 ? Axes.pValue[i / 2] : Axes.pStd[i / 2];
        const double dMin = i % 2 == 0 ? dValueMin : 0.0;
        const double dMax = i % 2 == 0 ? dValueLimit : dStdLimit;
        float f = 0;
        if (!ReadDecimal(pEdit->text(), &f) || f < dMin || f > dMax)
        {
            pEdit->setText(QStringLiteral("0.000"));
            Refuse(Tr(pMessages[i]));
            return false;
        }
    }
    return true;
}

QString QZvINSConfig::OnINSEncheck()
{
    const bool bEnable = m_Ui.pINSEnCheck->isChecked();
    for (int i = 0; i < m_Ui.pINSWindow->count(); ++i)
        m_Ui.pINSWindow->widget(i)->setEnabled(bEnable);
    const QString sCommand = bEnable ? QStringLiteral("inscommand enable\r\n") : QStringLiteral("inscommand disable\r\n");
    SendToReceiver(sCommand);
    return sCommand;
}

void QZvINSConfig::OnGeneralOkBtnClick()
{
    Ui_QZvINSConfigWindow& ui = m_Ui;
    const QComboBox* pModes = ui.qAlignmentModeBox;
    const int iMode = pModes->currentIndex();
    const int iProfile = ui.pReceiverDyM->currentIndex();
    const QString sThreshold = ui.qSpeedThreshold->text();
    float f = 0;
    if (iMode < 0)
    {
        Refuse(tr("Please choose an alignment mode."));
        return;
    }
    if (iProfile < 0 || iProfile >= kProfileCount)
    {
        Refuse(tr("Please choose a receiver dynamic model."));
        return;
    }
    // Only what the user filled is checked and sent: an empty threshold leaves
    // the receiver's own and its line out.
    if (!sThreshold.isEmpty() && (!ReadDecimal(sThreshold, &f) || f < 0))
    {
        Refuse(tr("The alignment speed threshold must be a number of m/s, such as 0.5."));
        return;
    }
    QString sCommand =
        sThreshold.isEmpty() ? QString() : QStringLiteral("set dynalign  ") + sThreshold + QStringLiteral("\r\n");
    sCommand += QStringLiteral("SETINSPROFILE ") + QLatin1String(kProfileKeywords[iProfile]) + QStringLiteral("\r\n");
    if (iMode == pModes->count() - 1)
    {
        const QString sHeading = ui.pHeadingLineEdit->text();
        if (!ReadDecimal(sHeading, &f) || !(f > 0.0f && f < 360.0f))
        {
            ui.pHeadingLineEdit->clear();
            Refuse(tr("Heading range is 0~360"));
            return;
        }
        sCommand += QStringLiteral("alignmode azi ") + sHeading + QStringLiteral("\r\n");
    }
    else
    {
        // The receiver's word for the mode, not its shown (translated) text.
        const QString sMode = m_ShownModes.value(iMode, pModes->currentText());
        sCommand += QStringLiteral("ALIGNMODE ") +
                    (sMode == QLatin1String(kDualAntennaMode) ? QLatin1String(kDualAntennaWord) : sMode) +
                    QStringLiteral("\r\n");
    }
    if (SendToReceiver(sCommand))
        close();
}

QString QZvINSConfig::OnINSMounting()
{
    // All six fields are checked, also when the angles are estimated automatically.
    if (!CheckAxes(m_Ui.Mounting, 180.0, -180.0, 45.0, kMountingMessages))
        return QString();
    const QString sCommand = m_Ui.pMountingType->isChecked()
                                 ? QStringLiteral("SETINSROTATION Auto\r\n")
                                 : QStringLiteral("SETINSROTATION RBV ") + AxesText(m_Ui.Mounting) +
                                       QStringLiteral("\r\n");
    if (!SendToReceiver(sCommand))
        return QString();
    close();
    return sCommand;
}

QString QZvINSConfig::OnINSGNSSLA()
{
    const Ui_QZvINSConfigWindow& ui = m_Ui;
    // A single-antenna board has no baseline: its group is disabled, neither
    // checked nor sent.
    const bool bBaseline = ui.pGNSSBaselineGroup->isEnabledTo(ui.pGNSSBaselineGroup->parentWidget());
    if (!CheckAxes(ui.LeverArm, 100.0, -100.0, 10.0, kLeverArmMessages) ||
        (bBaseline && !CheckAxes(ui.Baseline, 100.0, -100.0, 10.0, kBaselineMessages)) ||
        !CheckAxes(ui.Vehicle, 100.0, -100.0, 10.0, kVehicleMessages))
        return QString();
    // One message: the primary antenna and the baseline lines end with a line
    // feed alone, the vehicle line with CR LF.
    QString sCommand = QStringLiteral("SETINSTRANSLATION  ANT1 ") + AxesText(ui.LeverArm) + QStringLiteral("\n");
    if (bBaseline)
        sCommand += QStringLiteral("SETINSTRANSLATION  ANT2 ") + AxesText(ui.Baseline) + QStringLiteral("\n");
    sCommand += QStringLiteral("SETINSTRANSLATION  RBV ") + AxesText(ui.Vehicle) + QStringLiteral("\r\n");
    if (!SendToReceiver(sCommand))
        return QString();
    close();
    return sCommand;
}
