#include "monitor/config/recv_config.h"

#include <QCoreApplication>
#include <QHash>
#include <QIntValidator>
#include <QPointer>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <cmath>

#include "codec/signals.h"
#include "monitor/config/deg_format.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/view_payload.h"

namespace
{
constexpr double kPi = 3.141592653589793;
const QString kDefaultHostName = QStringLiteral("Cindrel");

// The receiver's words of the PPS controls, by item.
const char* const kPpsTimeref[] = {"GPS", "BDS"};
const char* const kPpsSwitch[] = {"Enable", "Disable"};
const char* const kPpsPolarity[] = {"POSITIVE", "NEGATIVE"};

// A box of nWords receiver words without the item a receiver's own word added.
void DropOwnWord(QComboBox* pBox, int nWords)
{
    while (pBox->count() > nWords)
        pBox->removeItem(nWords);
}

// Selects the item of the receiver's word (case ignored); a word the box
// lacks becomes an item of its own, shown and sent as the receiver wrote it,
// never replaced by the first item.
void ShowWord(QComboBox* pBox, const char* const* pWords, int nWords, const QString& sWord)
{
    DropOwnWord(pBox, nWords);
    for (int i = 0; i < nWords; ++i)
        if (sWord.compare(QLatin1String(pWords[i]), Qt::CaseInsensitive) == 0)
        {
            pBox->setCurrentIndex(i);
            return;
        }
    if (sWord.isEmpty())
        return;
    pBox->addItem(sWord, sWord);
    pBox->setCurrentIndex(nWords);
}

// The word a box's choice puts into the command.
QString ChosenWord(const QComboBox* pBox, const char* const* pWords)
{
    const QVariant own = pBox->currentData();
    return own.isValid() ? own.toString() : QLatin1String(pWords[qBound(0, pBox->currentIndex(), 1)]);
}

// A plain decimal number as a receiver reads one: digits with an optional
// fraction, a minus sign where allowed; no blank, no exponent.
bool IsDecimal(const QString& sText, bool bSigned, double* pValue = nullptr)
{
    static const QRegularExpression kUnsigned(QStringLiteral("^(\\d+\\.?\\d*|\\.\\d+)$"));
    static const QRegularExpression kSigned(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!(bSigned ? kSigned : kUnsigned).match(sText).hasMatch())
        return false;
    if (pValue != nullptr)
        *pValue = sText.toDouble();
    return true;
}

// Whether a text would split one field of a command: a blank, a line end or
// another control character.
bool HasSeparator(const QString& sText)
{
    for (const QChar c : sText)
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return true;
    return false;
}

} // namespace

QZvRecvConfig::QZvRecvConfig(QWidget* pParent) : QDialog(pParent)
{
    m_Ui.setupUi(this);
    OnLimit();
    OnNetMode();
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    FitSize();
    m_LockoutMaskList.clear();
    m_ElevMaskList.clear();
    m_RtkElevMaskList.clear();

    const Ui_RecvConfig& ui = m_Ui;
    connect(ui.pNetMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &QZvRecvConfig::OnNetMode);
    // A mode the user picks is the user's choice, whatever the receiver reported.
    connect(ui.pNetMode, QOverload<int>::of(&QComboBox::activated), this, [this] { m_eNetModeSource = NET_MODE_USER; });
    connect(ui.pChangeNetMode, &QPushButton::clicked, this, &QZvRecvConfig::OnChangeNet);
    connect(ui.pRefCurPosButton, &QPushButton::clicked, this, &QZvRecvConfig::OnRefCurPos);
    connect(ui.pRefOKButton, &QPushButton::clicked, this, &QZvRecvConfig::OnRefFix);
    connect(ui.pRefCancelButton, &QPushButton::clicked, this, &QZvRecvConfig::OnRecvConfigClose);
    connect(ui.pGPSGEOEnableALL, &QPushButton::clicked, this, &QZvRecvConfig::OnGPSEnableAll);
    connect(ui.pGPSGEODisableAll, &QPushButton::clicked, this, &QZvRecvConfig::OnGPSDisableAll);
    connect(ui.pGPSGEOK, &QPushButton::clicked, this, &QZvRecvConfig::OnGPSGEOK);
    connect(ui.pGPSGEOCancel, &QPushButton::clicked, this, &QZvRecvConfig::OnRecvConfigClose);
    connect(ui.pPPSCancel, &QPushButton::clicked, this, &QZvRecvConfig::OnRecvConfigClose);
    connect(ui.pGPSGLOEnableALL, &QPushButton::clicked, this, &QZvRecvConfig::OnGLOEnableAll);
    connect(ui.pGPSGLODisableAll, &QPushButton::clicked, this, &QZvRecvConfig::OnGLODisableAll);
    connect(ui.pGLOGEOK, &QPushButton::clicked, this, &QZvRecvConfig::OnGLOGEOK);
    connect(ui.pGalGEOEnableAll, &QPushButton::clicked, this, &QZvRecvConfig::OnGalEnableAll);
    connect(ui.pGalGEODisableAll, &QPushButton::clicked, this, &QZvRecvConfig::OnGalDisableAll);
    connect(ui.pGalGEOK, &QPushButton::clicked, this, &QZvRecvConfig::OnGalGEOK);
    connect(ui.pBDSGEOEnableAll, &QPushButton::clicked, this, &QZvRecvConfig::OnBDSEnableAll);
    connect(ui.pBDSGEODisableAll, &QPushButton::clicked, this, &QZvRecvConfig::OnBDSDisableAll);
    connect(ui.pBDSGEOK, &QPushButton::clicked, this, &QZvRecvConfig::OnBDSGEOK);
    connect(ui.pPPSOK, &QPushButton::clicked, this, &QZvRecvConfig::OnPPSOK);
    connect(ui.LockWindow, &QTabWidget::currentChanged, this, &QZvRecvConfig::OnCurrentTabChanged);
    connect(ui.pNtripClient, &QRadioButton::clicked, this, &QZvRecvConfig::OnNtripSever);
    connect(ui.pNtripSever, &QRadioButton::clicked, this, &QZvRecvConfig::OnNtripSever);
    connect(ui.pNtripOK, &QPushButton::clicked, this, &QZvRecvConfig::OnNtripOK);
    connect(ui.pNtripCancel, &QPushButton::clicked, this, &QZvRecvConfig::OnRecvConfigClose);
    // The other system pages' Cancel closes the dialog as the GPS page's does.
    for (QPushButton* pCancel : {ui.pGLOGEOCancel, ui.pGalGEOCancel, ui.pBDSGEOCancel})
        connect(pCancel, &QPushButton::clicked, this, &QZvRecvConfig::OnRecvConfigClose);
}

QZvRecvConfig::~QZvRecvConfig() = default;

void QZvRecvConfig::FitSize()
{
    // The form's size, or more where the texts of the language in use need it.
    setFixedSize(QSize(539, 497).expandedTo(sizeHint()));
}

void QZvRecvConfig::OnLimit()
{
    Ui_RecvConfig& ui = m_Ui;
    auto* pOctet = new QIntValidator(0, 255, this);
    for (QLineEdit* pEdit :
         {ui.pNetIdAddress1, ui.pNetIdAddress2, ui.pNetIdAddress3, ui.pNetIdAddress4, ui.pNetMask1, ui.pNetMask2,
          ui.pNetMask3, ui.pNetMask4, ui.pNetGatway1, ui.pNetGatway2, ui.pNetGatway3, ui.pNetGatway4})
        pEdit->setValidator(pOctet);
    auto pattern = [this](const char* pPattern)
    { return new QRegularExpressionValidator(QRegularExpression(QLatin1String(pPattern)), this); };
    ui.pElevMask->setValidator(pattern("^-?(90|[1-8]?\\d(\\.\\d{1,4})?)$"));
    ui.pRTKElevMask->setValidator(pattern("^([0-9])?\\d(\\.\\d{1,4})?$"));
    ui.pPpsconfigPeriod->setValidator(pattern("^(1000|[1-9]?[0]?[0]?[0])|([2]?[0]?[0]?[0]?[0])$"));
    // At most 30 characters of NTRIP user name and 80 of mount point.
    ui.pUsernameText->setValidator(pattern("^(.){0,30}$"));
    ui.pNtripMountPoint->setValidator(pattern("^(.){0,80}$"));
}

// ---- Opening, refreshing, language ----

void QZvRecvConfig::OnShowDialog()
{
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID != m_PortID)
        ResetPages();
    m_PortID = uPortID;
    SetWindowTitleForPort();
    show();
    raise();
    activateWindow();
}

void QZvRecvConfig::ResetPages()
{
    Ui_RecvConfig& ui = m_Ui;
    for (QLineEdit* pEdit : findChildren<QLineEdit*>())
        pEdit->clear();
    for (QComboBox* pWords : {ui.pPpsconfigTimeref, ui.pPpsconfigSwitch, ui.pPpsconfigPolarity})
        DropOwnWord(pWords, 2);
    for (QComboBox* pCombo : findChildren<QComboBox*>())
        pCombo->setCurrentIndex(0);
    m_eNetModeSource = NET_MODE_UNKNOWN;
    for (int i = 0; i < Ui_RecvConfig::SAT_PAGE_COUNT; ++i)
        SetCheckBoxes(i, 0);
    m_SatPagesSet = 0;
    ui.pNtripEnable->setChecked(false);
    for (QRadioButton* pRole : {ui.pNtripSever, ui.pNtripClient})
    {
        pRole->setAutoExclusive(false);
        pRole->setChecked(false);
        pRole->setAutoExclusive(true);
    }
    ui.pUsernamelabel->show();
    ui.pUsernameText->show();
    ui.pRefLatNorth->setChecked(true);
    ui.pRefLonEast->setChecked(true);
    m_LockoutMaskList.clear();
    m_ElevMaskList.clear();
    m_RtkElevMaskList.clear();
    // The default texts of the edits and the empty position labels.
    ui.retranslateUi(this);
    OnNetMode();
}

void QZvRecvConfig::SetWindowTitleForPort()
{
    QString sTitle = QCoreApplication::translate("RecvConfig", "Configure");
    const QString sTab = m_pPortTab && m_PortID != 0 ? m_pPortTab->GetPortInfo(m_PortID).TabText : QString();
    if (!sTab.isEmpty())
        sTitle += QStringLiteral(" - ") + sTab;
    setWindowTitle(sTitle);
}

void QZvRecvConfig::OnLanguageUpdate()
{
    // The form puts its default texts back into the edits; what was read
    // from the receiver or typed stays, so that a language change never turns
    // the next command into the defaults.
    QHash<QLineEdit*, QString> edits;
    for (QLineEdit* pEdit : findChildren<QLineEdit*>())
        edits.insert(pEdit, pEdit->text());
    const Ui_RecvConfig& ui = m_Ui;
    QLabel* const positions[] = {ui.pPosLatDeg,        ui.pPosLatMinute,   ui.pPosLatSecond,
                                 ui.pPosLatNorthSouth, ui.pPosLonDeg,      ui.pPosLonMinute,
                                 ui.pPosLonSecond,     ui.pPosLonEastWest, ui.pPosHeight};
    QStringList shown;
    for (QLabel* pLabel : positions)
        shown << pLabel->text();
    m_Ui.retranslateUi(this);
    for (auto it = edits.cbegin(); it != edits.cend(); ++it)
        it.key()->setText(it.value());
    for (int i = 0; i < shown.size(); ++i)
        positions[i]->setText(shown[i]);
    SetWindowTitleForPort();
    FitSize();
}

void QZvRecvConfig::OnUpdateDiag(void* pPortTab)
{
    const CPortTab* pTabs = PortTabPayload(pPortTab);
    // Only the reply of the port the dialog was opened on fills it.
    if (pTabs == nullptr || m_PortID == 0 || pTabs->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pStore = pTabs->GetStatusReplies(m_PortID);
    if (pStore == nullptr)
        return;
    QString sNtrip;
    bool bFixedPosition = false;
    for (const QString& sLine : pStore->m_UserConfigList)
    {
        if (sLine.contains(QLatin1String("NTRIPCONFIG NCOM1")))
            sNtrip = sLine;
        if (sLine.contains(QLatin1String("FIX")) && sLine.contains(QLatin1String("POSITION")))
            bFixedPosition = true;
    }
    if (!sNtrip.isEmpty())
        FillNtrip(sNtrip);
    FillNetwork(*pStore, pTabs->GetPortInfo(m_PortID).Property.NetConfigLine);
    // A reply without PPS settings is reported, and the other pages are
    // still filled: the satellite page must show this receiver's masks.
    FillPps(pStore->m_PpsConfigList);
    FillSatellites(*pStore);
    // The position record is the current port's: used only while that is the dialog's port.
    const POS_DATA_T* pPos = pTabs->GetCurPortID() == m_PortID ? pTabs->GetPosData() : nullptr;
    if (pPos != nullptr && static_cast<int8_t>(pPos->FixQuality) > 0)
    {
        OnPosCurPos(pPos->Latitude / kPi * 180.0, pPos->Longitude / kPi * 180.0, pPos->Height);
        if (bFixedPosition)
            OnRefCurPos();
    }
}

void QZvRecvConfig::FillNtrip(const QString& sLine)
{
    Ui_RecvConfig& ui = m_Ui;
    const QStringList f = sLine.split(QLatin1Char(' '));
    if (f.size() < 3)
        return;
    const QString sMode = f[2].toLower();
    const QString sVersion = f.value(3);
    const QStringList hostPort = f.value(4).split(QLatin1Char(':'));
    const bool bUser = f.size() > 7;
    const QString sUser = bUser ? f[6] : QString();
    const QString sPassword = bUser ? f[7] : QString();
    const QString sNoUser = QStringLiteral("\"\"");
    if (sUser != sNoUser)
        ui.pUsernameText->setText(sUser);
    ui.pPasswordText->setText(sPassword);
    ui.pNtripNameText->setText(hostPort.value(0));
    ui.pPortText->setText(hostPort.value(1));
    ui.pNtripMountPoint->setText(f.value(5));
    if (sMode == QLatin1String("client") || sMode == QLatin1String("server"))
    {
        const bool bServer = sMode == QLatin1String("server");
        (bServer ? ui.pNtripSever : ui.pNtripClient)->setChecked(true);
        ui.pUsernamelabel->setVisible(!bServer);
        ui.pUsernameText->setVisible(!bServer);
        ui.pNtripEnable->setChecked(true);
    }
    else if (sMode == QLatin1String("disabled"))
    {
        ui.pUsernameText->setText(sUser);
        ui.pNtripClient->setChecked(true);
        for (QWidget* p : {static_cast<QWidget*>(ui.pUsernamelabel), static_cast<QWidget*>(ui.pUsernameText)})
        {
            p->setEnabled(true);
            p->setVisible(true);
        }
        ui.pNtripEnable->setChecked(false);
    }
    if (sVersion.contains(QLatin1String("V1")))
        ui.pNtripFormat->setCurrentIndex(0);
    else if (sVersion.contains(QLatin1String("V2")))
        ui.pNtripFormat->setCurrentIndex(1);
}

void QZvRecvConfig::FillNetwork(const QStatusMsgParser& Store, const QString& sNetConfigReply)
{
    Ui_RecvConfig& ui = m_Ui;
    QString sLine = sNetConfigReply;
    for (const QString& s : Store.m_UserConfigList)
        if (s.contains(QLatin1String("NETCONFIG")))
            sLine = s.trimmed();
    const NET_CONFIG_T net = ReadNetConfigLine(sLine);
    const struct
    {
        const QStringList& Octets;
        QLineEdit* Edits[4];
    } rows[] = {
        {net.Ip, {ui.pNetIdAddress1, ui.pNetIdAddress2, ui.pNetIdAddress3, ui.pNetIdAddress4}},
        {net.Mask, {ui.pNetMask1, ui.pNetMask2, ui.pNetMask3, ui.pNetMask4}},
        {net.Gateway, {ui.pNetGatway1, ui.pNetGatway2, ui.pNetGatway3, ui.pNetGatway4}},
    };
    for (const auto& row : rows)
        for (int i = 0; i < 4; ++i)
        {
            if (!net.bKnown)
                row.Edits[i]->clear();
            else if (row.Octets.size() >= 4)
                row.Edits[i]->setText(row.Octets[i]);
        }
    ui.pNetHostname->setText(net.bKnown ? net.sHostName : QString());
    // The mode the receiver runs in, so that OK sends it back unless the user changes it.
    if (net.bKnown && !net.sMode.isEmpty() && m_eNetModeSource != NET_MODE_USER)
    {
        ui.pNetMode->setCurrentIndex(net.sMode == QLatin1String("DHCP") ? 0 : 1);
        m_eNetModeSource = NET_MODE_RECEIVER;
    }
}

void QZvRecvConfig::FillPps(const QStringList& Fields)
{
    Ui_RecvConfig& ui = m_Ui;
    if (Fields.isEmpty())
    {
        // Reached from the port's parser: a box that does not wait, one at a time.
        if (!m_bPpsBoxOpen)
        {
            m_bPpsBoxOpen = true;
            QPointer<QZvRecvConfig> pThis(this);
            MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Error"), tr("Get PPSConfigList Fail!!"), tr("OK"),
                                    QString(),
                                    [pThis](bool)
                                    {
                                        if (pThis)
                                            pThis->m_bPpsBoxOpen = false;
                                    });
        }
        return;
    }
    if (Fields.size() < 8)
        return;
    ShowWord(ui.pPpsconfigTimeref, kPpsTimeref, 2, Fields[1]);
    ShowWord(ui.pPpsconfigSwitch, kPpsSwitch, 2, Fields[2]);
    ShowWord(ui.pPpsconfigPolarity, kPpsPolarity, 2, Fields[3]);
    ui.pPpsconfigWidth->setText(Fields[4]);
    ui.pPpsconfigPeriod->setEditText(Fields[5]);
    ui.pPpsconfigRfDelay->setText(Fields[6]);
    ui.pPpsconfigUserDelay->setText(Fields[7]);
}

void QZvRecvConfig::FillSatellites(const QStatusMsgParser& Store)
{
    m_LockoutMaskList = Store.m_LockoutMaskList;
    m_ElevMaskList = Store.m_ElevMaskList;
    m_RtkElevMaskList = Store.m_RtkElevMaskList;
    // A system the reply has no LOCKOUT line for has nothing locked out, so
    // that OK on its page unlocks rather than locks out every satellite.
    for (int i = 0; i < Ui_RecvConfig::SAT_PAGE_COUNT; ++i)
        SetCheckBoxes(i, 0xFFFFFFFFu);
    m_SatPagesSet = (1u << Ui_RecvConfig::SAT_PAGE_COUNT) - 1;
    // Each LOCKOUT line names its system: its mask goes to that system's
    // page, whatever order and number of lines the receiver gives.
    for (const QString& sLine : Store.m_UserConfigList)
    {
        const QStringList f = sLine.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 3 || f[0] != QLatin1String("LOCKOUT"))
            continue;
        const QByteArray word = f[1].toLatin1();
        const uint32_t iSystem = SatelliteSystemIndex(word.constData(), static_cast<uint32_t>(word.size()));
        static const QRegularExpression kMask(QStringLiteral("^0[Xx][0-9A-Fa-f]{1,8}$"));
        const int iHex = f.indexOf(kMask);
        if (iSystem >= Ui_RecvConfig::SAT_PAGE_COUNT || iHex < 0)
            continue;
        // A checked box is a satellite in use: the complement of the mask.
        SetCheckBoxes(static_cast<int>(iSystem), ~f[iHex].mid(2).toUInt(nullptr, 16));
    }
    const int i = m_Ui.LockWindow->currentIndex();
    if (i >= 0 && m_ElevMaskList.size() > i)
        m_Ui.pElevMask->setText(m_ElevMaskList[i]);
    if (i >= 0 && m_RtkElevMaskList.size() > i)
        m_Ui.pRTKElevMask->setText(m_RtkElevMaskList[i]);
}

void QZvRecvConfig::OnCurrentTabChanged(int Index)
{
    if (m_ElevMaskList.isEmpty() || m_RtkElevMaskList.isEmpty() || Index < 0)
        return;
    if (m_ElevMaskList.size() > Index)
        m_Ui.pElevMask->setText(m_ElevMaskList[Index]);
    if (m_RtkElevMaskList.size() > Index)
        m_Ui.pRTKElevMask->setText(m_RtkElevMaskList[Index]);
}

// ---- Position ----

QList<double> QZvRecvConfig::OnFormatDeg(double value) { return FormatDeg(value); }

double QZvRecvConfig::OnPosCurPos(double RefLatitude, double RefLongitude, double RefHeight)
{
    Ui_RecvConfig& ui = m_Ui;
    const DEG_TEXT_T lat = SplitDegrees(RefLatitude, 5);
    ui.pPosLatNorthSouth->setText(RefLatitude < 0 ? QStringLiteral("S") : QStringLiteral("N"));
    ui.pPosLatDeg->setText(lat.sDegrees);
    ui.pPosLatMinute->setText(lat.sMinutes);
    ui.pPosLatSecond->setText(lat.sSeconds);
    const DEG_TEXT_T lon = SplitDegrees(RefLongitude, 5);
    ui.pPosLonEastWest->setText(RefLongitude < 0 ? QStringLiteral("W") : QStringLiteral("E"));
    ui.pPosLonDeg->setText(lon.sDegrees);
    ui.pPosLonMinute->setText(lon.sMinutes);
    ui.pPosLonSecond->setText(lon.sSeconds);
    ui.pPosHeight->setText(QString::number(RefHeight, 'f', 3));
    return 0;
}

void QZvRecvConfig::ClearPositionLabels()
{
    const Ui_RecvConfig& ui = m_Ui;
    for (QLabel* pLabel : {ui.pPosLatDeg, ui.pPosLatMinute, ui.pPosLatSecond, ui.pPosLatNorthSouth, ui.pPosLonDeg,
                           ui.pPosLonMinute, ui.pPosLonSecond, ui.pPosLonEastWest, ui.pPosHeight})
        pLabel->clear();
}

void QZvRecvConfig::OnUpdateRefCurPos(void* pData)
{
    // The record is the current port's; another receiver's position is not shown.
    if (m_pPortTab != nullptr && m_pPortTab->GetCurPortID() != m_PortID)
    {
        ClearPositionLabels();
        return;
    }
    const POS_DATA_T* pPos = PosDataPayload(pData);
    if (pPos != nullptr)
        OnPosCurPos(pPos->Latitude / kPi * 180.0, pPos->Longitude / kPi * 180.0, pPos->Height);
}

// ---- Commands ----

QString QZvRecvConfig::Refuse(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), sText);
    return QString();
}

bool QZvRecvConfig::SendToReceiver(const QString& sCommand)
{
    if (m_PortID == 0 || m_pPortTab == nullptr || m_pPortTab->GetTabIndexByPortID(m_PortID) < 0)
    {
        Refuse(tr("The port of this receiver is not open: nothing was sent."));
        return false;
    }
    emit SignalSendRecvConfig(sCommand);
    emit SignalSendRecvConfigToPort(m_PortID, sCommand.toUtf8());
    OnRecvConfigClose();
    return true;
}

void QZvRecvConfig::OnRecvConfigClose() { close(); }

QString QZvRecvConfig::OnNetMode()
{
    const Ui_RecvConfig& ui = m_Ui;
    const QString sMode = ui.pNetMode->currentText();
    QLineEdit* const edits[] = {ui.pNetIdAddress1, ui.pNetIdAddress2, ui.pNetIdAddress3, ui.pNetIdAddress4,
                                ui.pNetMask1,      ui.pNetMask2,      ui.pNetMask3,      ui.pNetMask4,
                                ui.pNetGatway1,    ui.pNetGatway2,    ui.pNetGatway3,    ui.pNetGatway4};
    if (sMode.contains(QLatin1String("DHCP")))
        for (QLineEdit* pEdit : edits)
            pEdit->setEnabled(false);
    if (sMode.contains(QLatin1String("STATIC")))
        for (QLineEdit* pEdit : edits)
            pEdit->setEnabled(true);
    return sMode;
}

QString QZvRecvConfig::OnChangeNet()
{
    const Ui_RecvConfig& ui = m_Ui;
    QString sHost = ui.pNetHostname->text();
    if (sHost.isEmpty())
        sHost = kDefaultHostName;
    // Neither reported nor chosen, the box's first item would switch a static receiver to DHCP.
    if (m_eNetModeSource == NET_MODE_UNKNOWN)
        return Refuse(tr("The receiver's network mode is not known: choose DHCP or STATIC."));
    QString sCommand;
    if (ui.pNetMode->currentIndex() == 0)
        sCommand = QStringLiteral("netconfig dhcp\r\n");
    else
    {
        const struct
        {
            const QLabel* pCaption;
            const QLineEdit* Octets[4];
        } rows[] = {
            {ui.label_22, {ui.pNetIdAddress1, ui.pNetIdAddress2, ui.pNetIdAddress3, ui.pNetIdAddress4}},
            {ui.label_16, {ui.pNetMask1, ui.pNetMask2, ui.pNetMask3, ui.pNetMask4}},
            {ui.label_27, {ui.pNetGatway1, ui.pNetGatway2, ui.pNetGatway3, ui.pNetGatway4}},
        };
        static const QRegularExpression kOctet(QStringLiteral("^\\d{1,3}$"));
        QStringList addresses;
        for (const auto& row : rows)
        {
            QStringList octets;
            for (const QLineEdit* pEdit : row.Octets)
            {
                const QString s = pEdit->text();
                if (!kOctet.match(s).hasMatch() || s.toInt() > 255)
                    return Refuse(tr("%1 needs four numbers from 0 to 255.").arg(row.pCaption->text()));
                octets << s;
            }
            addresses << octets.join(QLatin1Char('.'));
        }
        if (HasSeparator(sHost))
            return Refuse(tr("%1 must be one word, without blanks.").arg(ui.label_31->text()));
        sCommand = QStringLiteral("netconfig static ") + addresses.join(QLatin1Char(' ')) + QLatin1Char(' ') + sHost +
                   QStringLiteral("\r\n");
    }
    sCommand += QStringLiteral("saveconfig\r\n");
    return SendToReceiver(sCommand) ? sCommand : QString();
}

void QZvRecvConfig::OnRefCurPos()
{
    Ui_RecvConfig& ui = m_Ui;
    // No position shown: the reference fields keep what they hold.
    if (ui.pPosLatDeg->text().isEmpty())
        return;
    const QString sLat = ui.pPosLatNorthSouth->text();
    if (sLat.contains(QLatin1Char('S')))
        ui.pRefLatSouth->setChecked(true);
    else if (sLat.contains(QLatin1Char('N')))
        ui.pRefLatNorth->setChecked(true);
    const QString sLon = ui.pPosLonEastWest->text();
    if (sLon.contains(QLatin1Char('W')))
        ui.pRefLonWest->setChecked(true);
    else if (sLon.contains(QLatin1Char('E')))
        ui.pRefLonEast->setChecked(true);
    ui.pRefLatDeg->setText(ui.pPosLatDeg->text());
    ui.pRefLatMinute->setText(ui.pPosLatMinute->text());
    ui.pRefLatSecond->setText(ui.pPosLatSecond->text());
    ui.pRefLonDeg->setText(ui.pPosLonDeg->text());
    ui.pRefLonMinute->setText(ui.pPosLonMinute->text());
    ui.pRefLonSecond->setText(ui.pPosLonSecond->text());
    ui.pRefHeight->setText(ui.pPosHeight->text());
}

QString QZvRecvConfig::OnRefGetLat(QString RefGetDeg, QString RefGetMinute, QString RefGetSec)
{
    const double dDeg = RefGetDeg.toDouble();
    const double dMin = RefGetMinute.toDouble();
    const double dSec = RefGetSec.toDouble();
    return QString::number(dSec / 3600.0 + dDeg + dMin / 60.0, 'f', 12);
}

QString QZvRecvConfig::OnRefFix()
{
    const Ui_RecvConfig& ui = m_Ui;
    // Degrees, minutes and seconds carry no sign (the N/S and E/W choice
    // gives it), minutes and seconds stay below 60 and the angle in range.
    const struct
    {
        const QLabel* pCaption;
        const QLineEdit* Parts[3];
        double dMax;
    } angles[] = {
        {ui.label, {ui.pRefLatDeg, ui.pRefLatMinute, ui.pRefLatSecond}, 90.0},
        {ui.label_7, {ui.pRefLonDeg, ui.pRefLonMinute, ui.pRefLonSecond}, 180.0},
    };
    for (const auto& angle : angles)
    {
        double d = 0, m = 0, s = 0;
        if (!IsDecimal(angle.Parts[0]->text(), false, &d) || !IsDecimal(angle.Parts[1]->text(), false, &m) ||
            !IsDecimal(angle.Parts[2]->text(), false, &s) || m >= 60.0 || s >= 60.0 ||
            d + m / 60.0 + s / 3600.0 > angle.dMax)
            return Refuse(tr("%1 needs degrees from 0 to %2, and minutes and seconds from 0 to below 60, without a "
                             "sign (N/S and E/W give the hemisphere).")
                              .arg(angle.pCaption->text())
                              .arg(angle.dMax));
    }
    if (!IsDecimal(ui.pRefHeight->text(), true))
        return Refuse(tr("%1 must be a number.").arg(ui.label_9->text()));
    QString sLat = OnRefGetLat(ui.pRefLatDeg->text(), ui.pRefLatMinute->text(), ui.pRefLatSecond->text());
    if (ui.pRefLatSouth->isChecked())
        sLat.prepend(QLatin1Char('-'));
    QString sLon = OnRefGetLat(ui.pRefLonDeg->text(), ui.pRefLonMinute->text(), ui.pRefLonSecond->text());
    if (ui.pRefLonWest->isChecked())
        sLon.prepend(QLatin1Char('-'));
    const QString sCommand = QStringLiteral("fix position ") + sLat + QLatin1Char(' ') + sLon + QLatin1Char(' ') +
                             ui.pRefHeight->text() + QStringLiteral("\r\nsaveconfig\r\n");
    return SendToReceiver(sCommand) ? sCommand : QString();
}

QString QZvRecvConfig::OnPPSOK()
{
    Ui_RecvConfig& ui = m_Ui;
    const QString sWidth = ui.pPpsconfigWidth->text();
    const QString sPeriod = ui.pPpsconfigPeriod->currentText();
    const QString sRfDelay = ui.pPpsconfigRfDelay->text();
    const QString sUserDelay = ui.pPpsconfigUserDelay->text();
    auto refuseWidth = [&](const QString& sText)
    {
        ui.pPpsconfigWidth->setText(QStringLiteral("1000"));
        Refuse(sText);
        return QString();
    };
    double dWidth = 0;
    if (sWidth.isEmpty())
        return refuseWidth(tr("Please input PPSconfig Width!"));
    if (!IsDecimal(sWidth, false, &dWidth))
        return refuseWidth(tr("%1 must be a number from %2 to %3.").arg(tr("PPSconfig Width")).arg(0).arg(1000));
    if (static_cast<float>(dWidth) > 1000.0f)
        return refuseWidth(tr("PPSconfig Width is More than 1000 us!"));
    if (!IsDecimal(sPeriod, false))
        return Refuse(tr("%1 must be a number.").arg(tr("PPSconfig Period")));
    if (!IsDecimal(sRfDelay, true))
        return Refuse(tr("%1 must be a number.").arg(tr("PPSconfig RF Delay")));
    if (!IsDecimal(sUserDelay, true))
        return Refuse(tr("%1 must be a number.").arg(tr("PPSconfig User Delay")));
    const QString sCommand = QStringLiteral("PPSCONFIG ") + ChosenWord(ui.pPpsconfigTimeref, kPpsTimeref) +
                             QLatin1Char(' ') + ChosenWord(ui.pPpsconfigSwitch, kPpsSwitch) + QLatin1Char(' ') +
                             ChosenWord(ui.pPpsconfigPolarity, kPpsPolarity) + QLatin1Char(' ') + sWidth +
                             QLatin1Char(' ') + sPeriod + QLatin1Char(' ') + sRfDelay + QLatin1Char(' ') + sUserDelay +
                             QStringLiteral("\r\nsaveconfig\r\n");
    return SendToReceiver(sCommand) ? sCommand : QString();
}

// ---- Satellites ----

void QZvRecvConfig::SetCheckBoxes(int iPage, uint Mask)
{
    const Ui_RecvConfig::SAT_PAGE_T& page = m_Ui.SatPages[iPage];
    for (int k = 1; k <= page.nSatellites; ++k)
        page.Boxes[k - 1]->setChecked(((Mask >> (k - 1)) & 1u) != 0);
}

void QZvRecvConfig::SetPage(int iPage, uint Mask)
{
    SetCheckBoxes(iPage, Mask);
    m_SatPagesSet |= 1u << iPage;
}

QString QZvRecvConfig::OnElevMask(QString System)
{
    return QStringLiteral("ECUTOFF ") + System + QLatin1Char(' ') + m_Ui.pElevMask->text() +
           QStringLiteral("\r\nRTKECUTOFF ") + System + QLatin1Char(' ') + m_Ui.pRTKElevMask->text() +
           QStringLiteral("\r\n");
}

QString QZvRecvConfig::OnSatGEOK(int iPage)
{
    const Ui_RecvConfig& ui = m_Ui;
    double dElev = 0, dRtk = 0;
    if (!IsDecimal(ui.pElevMask->text(), true, &dElev) || dElev < -90.0 || dElev > 90.0)
        return Refuse(tr("%1 must be a number from %2 to %3.").arg(ui.label_33->text()).arg(-90).arg(90));
    if (!IsDecimal(ui.pRTKElevMask->text(), false, &dRtk) || dRtk > 90.0)
        return Refuse(tr("%1 must be a number from %2 to %3.").arg(ui.label_34->text()).arg(0).arg(90));
    // The blank form's boxes are all unchecked: sent, they would lock out every satellite.
    if ((m_SatPagesSet & (1u << iPage)) == 0)
        return Refuse(tr("The satellites in use on the %1 page have not been read from the receiver yet: nothing "
                         "was sent. Wait for its reply, or choose %2 or %3 first.")
                          .arg(ui.LockWindow->tabText(iPage), ui.SatPages[iPage].pEnableAll->text(),
                               ui.SatPages[iPage].pDisableAll->text()));
    // The lockout lines name the system by its short name; the cut-off lines
    // write GPS in lower case.
    const QString sWord = QLatin1String(SatelliteSystemName(static_cast<uint32_t>(iPage)));
    const Ui_RecvConfig::SAT_PAGE_T& page = ui.SatPages[iPage];
    QString sCommand;
    for (int k = 1; k <= page.nSatellites; ++k)
        sCommand += (page.Boxes[k - 1]->isChecked() ? QStringLiteral("UNLOCKOUT ") : QStringLiteral("LOCKOUT ")) +
                    sWord + QLatin1Char(' ') + QString::number(k) + QStringLiteral("\r\n");
    sCommand += OnElevMask(iPage == Ui_RecvConfig::SAT_PAGE_GPS ? QStringLiteral("gps") : sWord);
    return SendToReceiver(sCommand) ? sCommand : QString();
}

void QZvRecvConfig::OnGPSEnableAll() { SetGPSCheckBoxEnable(0xFFFFFFFFu); }
void QZvRecvConfig::OnGPSDisableAll() { SetGPSCheckBoxEnable(0); }
void QZvRecvConfig::SetGPSCheckBoxEnable(uint Mask) { SetPage(Ui_RecvConfig::SAT_PAGE_GPS, Mask); }
QString QZvRecvConfig::OnGPSGEOK() { return OnSatGEOK(Ui_RecvConfig::SAT_PAGE_GPS); }
void QZvRecvConfig::OnGLOEnableAll() { SetGLOCheckBoxEnable(0xFFFFFFFFu); }
void QZvRecvConfig::OnGLODisableAll() { SetGLOCheckBoxEnable(0); }
void QZvRecvConfig::SetGLOCheckBoxEnable(uint Mask) { SetPage(Ui_RecvConfig::SAT_PAGE_GLONASS, Mask); }
QString QZvRecvConfig::OnGLOGEOK() { return OnSatGEOK(Ui_RecvConfig::SAT_PAGE_GLONASS); }
void QZvRecvConfig::OnGalEnableAll() { SetGalCheckBoxEnable(0xFFFFFFFFu); }
void QZvRecvConfig::OnGalDisableAll() { SetGalCheckBoxEnable(0); }
void QZvRecvConfig::SetGalCheckBoxEnable(uint Mask) { SetPage(Ui_RecvConfig::SAT_PAGE_GALILEO, Mask); }
QString QZvRecvConfig::OnGalGEOK() { return OnSatGEOK(Ui_RecvConfig::SAT_PAGE_GALILEO); }
void QZvRecvConfig::OnBDSEnableAll() { SetBDSCheckBoxEnable(0xFFFFFFFFu); }
void QZvRecvConfig::OnBDSDisableAll() { SetBDSCheckBoxEnable(0); }
void QZvRecvConfig::SetBDSCheckBoxEnable(uint Mask) { SetPage(Ui_RecvConfig::SAT_PAGE_BDS, Mask); }
QString QZvRecvConfig::OnBDSGEOK() { return OnSatGEOK(Ui_RecvConfig::SAT_PAGE_BDS); }

// ---- NTRIP ----

void QZvRecvConfig::OnNtripSever()
{
    Ui_RecvConfig& ui = m_Ui;
    if (ui.pNtripSever->isChecked())
    {
        ui.pUsernamelabel->hide();
        ui.pUsernameText->hide();
    }
    else if (ui.pNtripClient->isChecked())
    {
        ui.pUsernamelabel->show();
        ui.pUsernameText->show();
    }
}

void QZvRecvConfig::OnNtripOK()
{
    const QString sCommand = NtripCommand();
    if (!sCommand.isEmpty())
        SendToReceiver(sCommand);
}

QString QZvRecvConfig::NtripCommand()
{
    const Ui_RecvConfig& ui = m_Ui;
    const QString sHost = ui.pNtripNameText->text();
    const QString sPort = ui.pPortText->text();
    const QString sVersion = ui.pNtripFormat->currentIndex() == 0   ? QStringLiteral("v1")
                             : ui.pNtripFormat->currentIndex() == 1 ? QStringLiteral("v2")
                                                                    : QString();
    const QString sPassword = ui.pPasswordText->text();
    const QString sMount = ui.pNtripMountPoint->text();
    if (!ui.pNtripEnable->isChecked())
        return QStringLiteral("ntripconfig ncom1  disable\r\n");
    if (sPort.isEmpty())
        return Refuse(tr("Please input Port"));
    if (sPassword.isEmpty())
        return Refuse(tr("Please input Password"));
    if (sMount.isEmpty())
        return Refuse(tr("Please input Mount Point"));
    if (sHost.isEmpty())
        return Refuse(tr("Please input Server Name"));
    QString sRole, sUser;
    if (ui.pNtripSever->isChecked())
        sRole = QStringLiteral("server"), sUser = QStringLiteral("\"\"");
    else if (ui.pNtripClient->isChecked())
    {
        sUser = ui.pUsernameText->text();
        if (sUser.isEmpty())
            return Refuse(tr("Please input Username "));
        sRole = QStringLiteral("client");
    }
    else
        return Refuse(tr("Please choose Server or Client."));
    // Each is one field of the command: a blank would split it.
    const struct
    {
        const QString& sText;
        const QLabel* pCaption;
    } fields[] = {{sHost, ui.pNtripName},
                  {sPort, ui.label_196},
                  {sUser, ui.pUsernamelabel},
                  {sPassword, ui.label_198},
                  {sMount, ui.pMountPointText}};
    for (const auto& field : fields)
        if (HasSeparator(field.sText))
            return Refuse(tr("%1 must be one word, without blanks.").arg(field.pCaption->text()));
    if (sHost.contains(QLatin1Char(':')))
        return Refuse(tr("%1 must not contain \":\".").arg(ui.pNtripName->text()));
    static const QRegularExpression kPort(QStringLiteral("^\\d{1,5}$"));
    if (!kPort.match(sPort).hasMatch() || sPort.toInt() < 1 || sPort.toInt() > 65535)
        return Refuse(tr("%1 must be a number from %2 to %3.").arg(ui.label_196->text()).arg(1).arg(65535));
    return QStringLiteral("NTRIPCONFIG ncom1 ") + sRole + QLatin1Char(' ') + sVersion + QLatin1Char(' ') + sHost +
           QLatin1Char(':') + sPort + QLatin1Char(' ') + sMount + QLatin1Char(' ') + sUser + QLatin1Char(' ') +
           sPassword + QStringLiteral("\r\n");
}
