#include "monitor/ins/ins_config_check_diag.h"
#include "monitor/parsing/number_text.h"

#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/port_tab.h"

namespace
{
// The mounting angles of a board orientation: [board towards][antenna towards]
// (front, left, end, right of the car) for X, Y and Z.
const char* const kAngles[3][2][4] = {
    {{"0", "0", "0", "0"}, {"180", "180", "180", "180"}},
    {{"0", "0", "0", "0"}, {"0", "0", "0", "0"}},
    {{"-90", "180", "90", "0"}, {"90", "180", "-90", "0"}},
};
const char* const kOrientationPictures[2][4] = {
    {":/QZorvikMonitor/Icon/RihgtSideUpAntennaRight.png", ":/QZorvikMonitor/Icon/RihgtSideUpAntennaUp.png",
     ":/QZorvikMonitor/Icon/RihgtSideUpAntennaDown.png", ":/QZorvikMonitor/Icon/RihgtSideUpAntennaLeft.png"},
    {":/QZorvikMonitor/Icon/ComingUpTailsAntennaRight.png", ":/QZorvikMonitor/Icon/ComingUpTailsAntennaUp.png",
     ":/QZorvikMonitor/Icon/ComingUpTailsAntennaLeft.png", ":/QZorvikMonitor/Icon/ComingUpTailsAntennaDown.png"},
};
const char* const kBoardPictures[] = {":/QZorvikMonitor/Icon/Board.png", ":/QZorvikMonitor/Icon/NANO.png",
                                      ":/QZorvikMonitor/Icon/VX.png"};

const char* const kBoardTypes[] = {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Board"),
                                   QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "NANO Receive"),
                                   QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "VX Receive")};
const char* const kBoardTowards[] = {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Right Side Up"),
                                     QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Coming Up Tails")};
const char* const kAntennaTowards[] = {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Toward the front of car"),
                                       QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Toward the left of car"),
                                       QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Toward the end of car"),
                                       QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Toward the right of car")};

// The rows of one lever arm or rotation: its source, frame, three values,
// three uncertainties and calibration state.
const char* const kTranslationRows[] = {
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Translation"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Frame"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "X Offset"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Y Offset"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Z Offset"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "X Uncertainty"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Y Uncertainty"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Z Uncertainty"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Translation Source"),
};
const char* const kRotationRows[] = {
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Rotation"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Rotation Frame"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "X Rotation"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Y Rotation"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Z Rotation"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "X Rotation Std"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Y Rotation Std"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Z Rotation Std"),
    QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Rotation Source"),
};

// The rows of an entry that hold its three values, from the entry's first row.
constexpr int kFirstValueRow = 2;
constexpr int kHeadRows = 7;
constexpr int kEntryRows = 9;

// Two angles in degrees name one direction: equal to a thousandth of a degree,
// whole turns apart (180 and -180) alike.
bool SameAngle(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d < 1e-3 || 360.0 - d < 1e-3;
}

QString Tr(const char* pText) { return QCoreApplication::translate("QINSConfigCheckDiag", pText); }

QString Name(const char* pName) { return pName != nullptr ? QLatin1String(pName) : QString(); }

template <typename T> T* Make(QWidget* pParent, const char* pName)
{
    auto* p = new T(pParent);
    p->setObjectName(QLatin1String(pName));
    return p;
}

void AddEntries(QStringList* pNames, QStringList* pValues, const char* const* pRows, const INS_OFFSET_T& e)
{
    const QString values[9] = {
        Name(InsOffsetSourceName(e.Source)),
        Name(InsFrameName(e.Frame)),
        FloatDecimals(e.Value[0], 9),
        FloatDecimals(e.Value[1], 9),
        FloatDecimals(e.Value[2], 9),
        FloatDecimals(e.StdDev[0], 9),
        FloatDecimals(e.StdDev[1], 9),
        FloatDecimals(e.StdDev[2], 9),
        Name(InsCalibrationStateName(e.CalibrationState)),
    };
    for (int i = 0; i < 9; ++i)
    {
        *pNames << Tr(pRows[i]);
        *pValues << values[i];
    }
}
} // namespace

QINSConfigCheckDiag::QINSConfigCheckDiag(QWidget* pParent) : QDialog(pParent)
{
    BuildForm();
    setWindowFlags(Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    RetranslateForm();
    m_pBoardTowardComboBox->setCurrentIndex(0);
    m_pAntenatowardCombobox->setCurrentIndex(0);
    OnChangeLableIcon();
    for (QComboBox* pBox : {m_pBoardTypeCombobox, m_pBoardTowardComboBox, m_pAntenatowardCombobox})
        connect(pBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &QINSConfigCheckDiag::OnChangeLableIcon);
    connect(m_pRefreshButton, &QPushButton::clicked, this, &QINSConfigCheckDiag::OnInsconfigRefressh);
}

QINSConfigCheckDiag::~QINSConfigCheckDiag() = default;

void QINSConfigCheckDiag::BuildForm()
{
    setObjectName(QStringLiteral("pINSConfigCheckDiag"));
    resize(548, 668);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/INSConfigcheck.png")));
    auto* pMain = new QVBoxLayout(this);
    m_pTabs = Make<QTabWidget>(this, "tabWidget");
    pMain->addWidget(m_pTabs);

    auto* pConfigPage = Make<QWidget>(m_pTabs, "pINSConfigPage");
    m_pTabs->addTab(pConfigPage, QString());
    auto* pConfig = new QVBoxLayout(pConfigPage);
    auto* pTop = new QHBoxLayout;
    m_pBoardShowLable = Make<QLabel>(pConfigPage, "pBoardShowLable");
    m_pRefreshButton = Make<QPushButton>(pConfigPage, "pRefreshButton");
    pTop->addWidget(m_pBoardShowLable, 1);
    pTop->addWidget(m_pRefreshButton);
    pConfig->addLayout(pTop);
    m_pTable = Make<QTableWidget>(pConfigPage, "pINSConfigCheckWidget");
    m_pTable->setColumnCount(2);
    // The item names take the room they need, the values the rest.
    m_pTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_pTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setAlternatingRowColors(true);
    m_pTable->verticalHeader()->hide();
    pConfig->addWidget(m_pTable);

    auto* pAnglePage = Make<QWidget>(m_pTabs, "pMountAnglePage");
    m_pTabs->addTab(pAnglePage, QString());
    auto* pAngle = new QVBoxLayout(pAnglePage);
    auto* pBoardGroup = Make<QGroupBox>(pAnglePage, "pBoardConfigGroup");
    auto* pBoardGrid = new QGridLayout(pBoardGroup);
    m_pBoardTypeTitle = Make<QLabel>(pBoardGroup, "pBoardTypeTitle");
    m_pBoardTowardTitle = Make<QLabel>(pBoardGroup, "pBoardTowardTitle");
    m_pAntennaTowardTitle = Make<QLabel>(pBoardGroup, "pAntennaTowardTitle");
    m_pBoardTypeCombobox = Make<QComboBox>(pBoardGroup, "pBoardTypeCombobox");
    m_pBoardTowardComboBox = Make<QComboBox>(pBoardGroup, "pBoardTowardComboBox");
    m_pAntenatowardCombobox = Make<QComboBox>(pBoardGroup, "pAntenatowardCombobox");
    m_pBoardTypeCombobox->addItems({QString(), QString(), QString()});
    m_pBoardTowardComboBox->addItems({QString(), QString()});
    m_pAntenatowardCombobox->addItems({QString(), QString(), QString(), QString()});
    QLabel* titles[] = {m_pBoardTypeTitle, m_pBoardTowardTitle, m_pAntennaTowardTitle};
    QComboBox* boxes[] = {m_pBoardTypeCombobox, m_pBoardTowardComboBox, m_pAntenatowardCombobox};
    for (int i = 0; i < 3; ++i)
    {
        pBoardGrid->addWidget(titles[i], i, 0);
        pBoardGrid->addWidget(boxes[i], i, 1);
        boxes[i]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    pBoardGrid->setColumnStretch(2, 1);

    auto* pAngleGroup = Make<QGroupBox>(pAnglePage, "pMountAngleGroup");
    auto* pAngleGrid = new QGridLayout(pAngleGroup);
    const char* const kAxisNames[] = {"pXMountAngleLable", "pYMountAngleLable", "pZMountAngleLable"};
    const char* const kAxisTitles[] = {"X :", "Y :", "Z :"};
    for (int i = 0; i < 3; ++i)
    {
        auto* pTitle = new QLabel(QLatin1String(kAxisTitles[i]), pAngleGroup);
        m_pAngleLabels[i] = Make<QLabel>(pAngleGroup, kAxisNames[i]);
        m_pAngleLabels[i]->setMinimumWidth(40);
        m_pAngleLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pAngleGrid->addWidget(pTitle, 0, i * 4);
        pAngleGrid->addWidget(m_pAngleLabels[i], 0, i * 4 + 1);
        pAngleGrid->addWidget(new QLabel(QStringLiteral("\u00b0"), pAngleGroup), 0, i * 4 + 2);
        pAngleGrid->setColumnMinimumWidth(i * 4 + 3, 30);
    }
    pAngleGrid->setColumnStretch(12, 1);

    auto* pPictures = new QHBoxLayout;
    m_pBoardTypeLable = Make<QLabel>(pAnglePage, "pBoardTypeLable");
    m_pBoardPhotoLable = Make<QLabel>(pAnglePage, "pBoardPhotoLable");
    for (QLabel* pPicture : {m_pBoardTypeLable, m_pBoardPhotoLable})
    {
        pPicture->setFixedSize(240, 240);
        pPicture->setScaledContents(true);
        pPictures->addWidget(pPicture);
    }
    pAngle->addWidget(pBoardGroup);
    pAngle->addWidget(pAngleGroup);
    pAngle->addLayout(pPictures);
    pAngle->addStretch();
    m_pTabs->setCurrentIndex(0);
}

void QINSConfigCheckDiag::RetranslateForm()
{
    setWindowTitle(tr("INS Config Check"));
    m_pTabs->setTabText(0, tr("INS Config"));
    m_pTabs->setTabText(1, tr("Mount Angle Config"));
    m_pRefreshButton->setText(tr("Refresh"));
    findChild<QGroupBox*>(QStringLiteral("pBoardConfigGroup"))->setTitle(tr("Board Config"));
    findChild<QGroupBox*>(QStringLiteral("pMountAngleGroup"))->setTitle(tr("Mount Angle"));
    m_pBoardTypeTitle->setText(tr("Board Type"));
    m_pBoardTowardTitle->setText(tr("Board towards"));
    m_pAntennaTowardTitle->setText(tr("Antenna towards"));
    for (int i = 0; i < 3; ++i)
        m_pBoardTypeCombobox->setItemText(i, Tr(kBoardTypes[i]));
    for (int i = 0; i < 2; ++i)
        m_pBoardTowardComboBox->setItemText(i, Tr(kBoardTowards[i]));
    for (int i = 0; i < 4; ++i)
        m_pAntenatowardCombobox->setItemText(i, Tr(kAntennaTowards[i]));
    SetHeader();
}

void QINSConfigCheckDiag::SetHeader()
{
    m_pTable->setHorizontalHeaderLabels({tr("Configuration item"), tr("Config")});
}

void QINSConfigCheckDiag::OnLanguageUpdate()
{
    RetranslateForm();
    MarkDifferences();
    if (m_bUnreadable && m_PortID != 0 && m_pPortTab != nullptr)
        m_pBoardShowLable->setText(tr("%1: the receiver's INS configuration could not be read")
                                       .arg(m_pPortTab->GetPortInfo(m_PortID).TabText));
}

// ---- Requests and the table ----

void QINSConfigCheckDiag::OnShowDialog()
{
    OnChangeLableIcon();
    OnInsconfigRefressh();
    show();
    raise();
    activateWindow();
}

void QINSConfigCheckDiag::SendInsconfigaCmd() { OnInsconfigRefressh(); }

void QINSConfigCheckDiag::OnInsconfigRefressh()
{
    m_pBoardShowLable->clear();
    m_bUnreadable = false;
    const uint uPortID = m_pPortTab != nullptr ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID == 0)
        return;
    m_PortID = uPortID;
    emit SignalSendINSConfigMask(static_cast<uint>(m_pPortTab->GetTabIndexByPortID(uPortID)), STATUS_MSG_INSCONFIG);
    m_pBoardShowLable->setText(m_pPortTab->GetPortInfo(uPortID).TabText);
}

void QINSConfigCheckDiag::ConfigRows(const INS_CONFIG_T& c, QStringList* pNames, QStringList* pValues)
{
    pNames->clear();
    pValues->clear();
    // The status is a signed byte, shown as its 32-bit two's complement.
    const auto status = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c.StatusWord & 0xFFu)));
    const struct
    {
        const char* pName;
        QString sValue;
    } head[] = {
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "IMU Type"), Name(ImuTypeName(c.ImuType))},
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Initial Alignment Velocity(m/s)"),
         QString::asprintf("%.1f", c.AlignVelocity * 0.1)},
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Profile"), Name(InsProfileName(c.Profile))},
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "Alignment Mode"), Name(InsAlignModeName(c.AlignMode))},
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "INS Receiver Status"), QString::asprintf("%u", status)},
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "INS Seed Mode"), Name(InsSwitchName(c.SeedMode))},
        {QT_TRANSLATE_NOOP("QINSConfigCheckDiag", "INS Seed Validation"),
         QString::asprintf("%u", static_cast<unsigned>(static_cast<uint8_t>(c.SeedValidation)))},
    };
    for (const auto& row : head)
    {
        *pNames << Tr(row.pName);
        *pValues << row.sValue;
    }
    // The record keeps at most INS_CONFIG_MAX_OFFSETS of each.
    const uint32_t nTranslations = std::min<uint32_t>(c.TranslationCount, INS_CONFIG_MAX_OFFSETS);
    const uint32_t nRotations = std::min<uint32_t>(c.RotationCount, INS_CONFIG_MAX_OFFSETS);
    for (uint32_t i = 0; i < nTranslations; ++i)
        AddEntries(pNames, pValues, kTranslationRows, c.Translations[i]);
    for (uint32_t i = 0; i < nRotations; ++i)
        AddEntries(pNames, pValues, kRotationRows, c.Rotations[i]);
}

void QINSConfigCheckDiag::OnUpdateDiag()
{
    // Only the reply of the port asked fills the table.
    if (m_pPortTab == nullptr || m_PortID == 0 || m_pPortTab->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pStore = m_pPortTab->GetStatusReplies(m_PortID);
    if (pStore == nullptr)
        return;
    m_bUnreadable = !pStore->m_bInsConfigValid;
    if (m_bUnreadable)
    {
        m_NameList.clear();
        m_ValueList.clear();
        m_pBoardShowLable->setText(tr("%1: the receiver's INS configuration could not be read")
                                       .arg(m_pPortTab->GetPortInfo(m_PortID).TabText));
    }
    else
        ConfigRows(pStore->m_InsConfig, &m_NameList, &m_ValueList);
    m_bShown = !m_bUnreadable;
    if (m_bShown)
        m_Config = pStore->m_InsConfig;
    m_pTable->clearContents();
    m_pTable->setRowCount(m_NameList.size());
    for (int i = 0; i < m_NameList.size(); ++i)
    {
        m_pTable->setItem(i, 0, new QTableWidgetItem(m_NameList[i]));
        m_pTable->setItem(i, 1, new QTableWidgetItem(m_ValueList[i]));
    }
    MarkDifferences();
}

void QINSConfigCheckDiag::MarkDifferences()
{
    for (int i = 0; i < m_pTable->rowCount(); ++i)
        for (int c = 0; c < 2; ++c)
            if (QTableWidgetItem* pItem = m_pTable->item(i, c))
            {
                pItem->setData(Qt::BackgroundRole, QVariant());
                pItem->setToolTip(QString());
            }
    const int r = m_pBoardTowardComboBox->currentIndex();
    const int a = m_pAntenatowardCombobox->currentIndex();
    if (!m_bShown || r < 0 || r > 1 || a < 0 || a > 3)
        return;
    const int nTranslations = static_cast<int>(std::min<uint32_t>(m_Config.TranslationCount, INS_CONFIG_MAX_OFFSETS));
    const int nRotations = static_cast<int>(std::min<uint32_t>(m_Config.RotationCount, INS_CONFIG_MAX_OFFSETS));
    for (int k = 0; k < nRotations; ++k)
    {
        // The rotation from the IMU body to the vehicle is the mounting.
        const INS_OFFSET_T& e = m_Config.Rotations[k];
        if (Name(InsOffsetSourceName(e.Source)) != QLatin1String("RBV"))
            continue;
        const int iFirst = kHeadRows + (nTranslations + k) * kEntryRows + kFirstValueRow;
        for (int axis = 0; axis < 3; ++axis)
        {
            const QString sExpected = QLatin1String(kAngles[axis][r][a]);
            if (SameAngle(e.Value[axis], sExpected.toDouble()))
                continue;
            for (int c = 0; c < 2; ++c)
                if (QTableWidgetItem* pItem = m_pTable->item(iFirst + axis, c))
                {
                    pItem->setBackground(QColor(255, 205, 205));
                    pItem->setToolTip(tr("The board orientation chosen has a mounting angle of %1°.").arg(sExpected));
                }
        }
    }
}

// ---- Mounting angles ----

void QINSConfigCheckDiag::OnChangeLableIcon()
{
    const int b = m_pBoardTypeCombobox->currentIndex();
    const int r = m_pBoardTowardComboBox->currentIndex();
    const int a = m_pAntenatowardCombobox->currentIndex();
    if (b >= 0 && b < 3)
    {
        m_Pixmap.load(QLatin1String(kBoardPictures[b]));
        m_pBoardTypeLable->setPixmap(m_Pixmap);
    }
    if (r < 0 || r > 1 || a < 0 || a > 3)
        return;
    m_sOrientationPicture = QLatin1String(kOrientationPictures[r][a]);
    m_Pixmap.load(m_sOrientationPicture);
    for (int i = 0; i < 3; ++i)
        m_pAngleLabels[i]->setText(QLatin1String(kAngles[i][r][a]));
    m_pBoardPhotoLable->setPixmap(m_Pixmap);
    MarkDifferences();
}

void QINSConfigCheckDiag::OnOKBtnClick()
{
    const uint uPortID = m_pPortTab != nullptr ? m_pPortTab->GetCurPortID() : 0;
    const QString x = m_pAngleLabels[0]->text(), y = m_pAngleLabels[1]->text(), z = m_pAngleLabels[2]->text();
    if (uPortID == 0 || x.isEmpty() || y.isEmpty() || z.isEmpty())
        return;
    const QString sCommand = QStringLiteral("setinsrotation  RBV ") + x + QLatin1Char(' ') + y + QLatin1Char(' ') + z +
                             QStringLiteral("\r\n");
    emit SignalSendINSImuConfigCmd(uPortID, sCommand.toUtf8());
}
