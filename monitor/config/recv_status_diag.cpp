#include "monitor/config/recv_status_diag.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>

#include "monitor/config/deg_format.h"
#include "monitor/shell/view_payload.h"

namespace
{
constexpr double kPi = 3.141592653589793;
constexpr int kValueCount = 12;

QLabel* NewLabel(QWidget* pParent, const QFont& Font, const char* pStyle)
{
    auto* pLabel = new QLabel(pParent);
    pLabel->setFont(Font);
    if (pStyle != nullptr)
        pLabel->setStyleSheet(QLatin1String(pStyle));
    return pLabel;
}

QString Metres(double dValue, const QString& sUnit) { return QString::number(dValue, 'f', 3) + QLatin1Char(' ') + sUnit; }
} // namespace

void Ui_QZvRecvStatusDialog::setupUi(QDialog* pDialog)
{
    if (pDialog->objectName().isEmpty())
        pDialog->setObjectName(QStringLiteral("QZvRecvStatusDialog"));
    pDialog->resize(301, 340);
    pDialog->setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Status.png")));
    retranslateUi(pDialog);
}

void Ui_QZvRecvStatusDialog::retranslateUi(QDialog* pDialog)
{
    pDialog->setWindowTitle(QCoreApplication::translate("QZvRecvStatusDialog", "Receiver Status"));
}

QZvRecvStatusDiag::QZvRecvStatusDiag(QWidget* pParent) : QDialog(pParent)
{
    m_Ui.setupUi(this);

    const QFont positionFont(QStringLiteral("PMingLiU-ExtB"), 11, 61);
    const QFont smallFont(QStringLiteral("Arial"), 8, 30);
    const char* const pGray = "color:gray;";
    auto* pGrid = new QGridLayout(this);
    auto* pStack = new QVBoxLayout;
    pGrid->addLayout(pStack, 0, 0);
    // At least 230 x 280, and wide enough for every value shown: a value is never cut.
    pGrid->setSizeConstraint(QLayout::SetMinimumSize);
    const QMargins margins = pGrid->contentsMargins();
    pGrid->setColumnMinimumWidth(0, 230 - margins.left() - margins.right());
    pGrid->setRowMinimumHeight(0, 280 - margins.top() - margins.bottom());

    // Group 1: five rows of title and value, the values right-aligned.
    QList<QLabel*> positionTitles, statusTitles, boardTitles;
    auto* pPosition = new QGroupBox(this);
    auto* pPositionRows = new QGridLayout(pPosition);
    for (int r = 0; r < 5; ++r)
    {
        QLabel* pTitle = NewLabel(pPosition, positionFont, nullptr);
        QLabel* pValue = NewLabel(pPosition, positionFont, nullptr);
        pValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pPositionRows->addWidget(pTitle, r, 0);
        pPositionRows->addWidget(pValue, r, 1);
        positionTitles << pTitle;
        m_ValueLabels << pValue;
    }
    pPositionRows->setColumnStretch(1, 1);
    // Group 2: two rows of two title and value pairs.
    auto* pStatus = new QGroupBox(this);
    auto* pStatusRows = new QGridLayout(pStatus);
    for (int i = 0; i < 4; ++i)
    {
        QLabel* pTitle = NewLabel(pStatus, smallFont, pGray);
        QLabel* pValue = NewLabel(pStatus, smallFont, pGray);
        pStatusRows->addWidget(pTitle, i / 2, i % 2 * 2);
        pStatusRows->addWidget(pValue, i / 2, i % 2 * 2 + 1);
        statusTitles << pTitle;
        m_ValueLabels << pValue;
    }
    pStatusRows->setColumnStretch(1, 1);
    pStatusRows->setColumnStretch(3, 1);
    // Group 3: board type and firmware version.
    auto* pBoard = new QGroupBox(this);
    auto* pBoardRows = new QGridLayout(pBoard);
    for (int r = 0; r < 2; ++r)
    {
        QLabel* pTitle = NewLabel(pBoard, smallFont, pGray);
        QLabel* pValue = NewLabel(pBoard, smallFont, pGray);
        pBoardRows->addWidget(pTitle, r, 0);
        pBoardRows->addWidget(pValue, r, 1);
        boardTitles << pTitle;
        m_ValueLabels << pValue;
    }
    pBoardRows->setColumnStretch(1, 1);
    // The UTC row: a fixed caption, the time and a stretch.
    auto* pUtc = new QHBoxLayout;
    m_pUtcCaption = NewLabel(this, smallFont, nullptr);
    QLabel* pUtcValue = NewLabel(this, smallFont, nullptr);
    pUtc->addWidget(m_pUtcCaption);
    pUtc->addWidget(pUtcValue);
    pUtc->addStretch();
    m_ValueLabels << pUtcValue;
    for (QWidget* pGroup : std::initializer_list<QWidget*>{pPosition, pStatus, pBoard})
        pStack->addWidget(pGroup);
    pStack->addLayout(pUtc);
    pStack->addStretch();
    m_TitleLabels << positionTitles << statusTitles << boardTitles;
    for (int i = 0; i < m_ValueLabels.size(); ++i)
        m_ValueLabels[i]->setObjectName(QStringLiteral("StatusValue%1").arg(i));
    for (int i = 0; i < m_TitleLabels.size(); ++i)
        m_TitleLabels[i]->setObjectName(QStringLiteral("StatusTitle%1").arg(i));
    OnLanguageUpdate();
}

QZvRecvStatusDiag::~QZvRecvStatusDiag() = default;

void QZvRecvStatusDiag::FillTitles()
{
    m_BoardTitles = QStringList{tr("Board Type:"), tr("Firmware Version:")};
    m_PositionTitles =
        QStringList{tr("Solution:"), tr("Lon:"), tr("Lat:"), tr("Height:"), tr("Orthometric Height")};
    m_StatusTitles = QStringList{tr("DiffAge:"), tr("Base ID :"), tr("Velocity:"), tr("Satellite:")};
    const QStringList flat = m_PositionTitles + m_StatusTitles + m_BoardTitles;
    for (int i = 0; i < m_TitleLabels.size() && i < flat.size(); ++i)
        m_TitleLabels[i]->setText(flat[i]);
}

void QZvRecvStatusDiag::OnLanguageUpdate()
{
    FillTitles();
    m_Ui.retranslateUi(this);
    m_pUtcCaption->setText(tr("UTC Time"));
}

QList<double> QZvRecvStatusDiag::OnFormatDeg(double value) { return FormatDeg(value); }

void QZvRecvStatusDiag::OnPortTabChange(int)
{
    for (QLabel* pValue : qAsConst(m_ValueLabels))
        pValue->setText(QStringLiteral(" "));
}

void QZvRecvStatusDiag::OnShowDiag()
{
    // Shown by this call, showEvent sends the request; already shown, it goes from here.
    if (isVisible())
        RequestGga();
    show();
}

void QZvRecvStatusDiag::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (!pEvent->spontaneous())
        RequestGga();
}

void QZvRecvStatusDiag::RequestGga()
{
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID != 0)
        emit SignalSendNMEAMsg(uPortID, QByteArrayLiteral("log gpgga ontime 1\r\n"));
}

void QZvRecvStatusDiag::OnUpdateRecvStatus(void* pTab)
{
    const QString solutions[8] = {tr("INSUFFICIENT "), tr("SINGLE"),       tr("PSR_DIFF"), QString(),
                                  tr("NARROW_INT"),    tr("NARROW_FLOAT"), QString(),      tr("Fixed Position")};
    const CPortTab* pTabs = PortTabPayload(pTab);
    if (pTabs == nullptr)
        return;
    // One copy of what the receiver said of itself, taken under its port's lock.
    const PORT_INFO_T info = pTabs->GetCurPortInfo();
    const POS_DATA_T* pPos = pTabs->GetPosData();
    if (info.UniquePortID == 0 || pPos == nullptr)
        return;
    const int nQuality = static_cast<int8_t>(pPos->FixQuality);
    if (nQuality < 0 || nQuality >= 8)
        return;
    const double dLat = pPos->Latitude * 180.0 / kPi;
    const double dLon = pPos->Longitude * 180.0 / kPi;
    if (!(std::fabs(dLat) >= 0.0001) || m_ValueLabels.size() < kValueCount)
        return;
    // Seconds are rounded at the four decimals shown before the split.
    auto angle = [this](double dValue, const char* pPositive, const char* pNegative)
    {
        const DEG_TEXT_T t = SplitDegrees(dValue, 4);
        return t.sDegrees + tr("Degree ") + t.sMinutes + QStringLiteral("' ") + t.sSeconds + QStringLiteral("'' ") +
               QLatin1String(dValue < 0 ? pNegative : pPositive);
    };
    const QString values[kValueCount] = {
        solutions[nQuality],
        angle(dLon, "E", "W"),
        angle(dLat, "N", "S"),
        Metres(pPos->Height, tr("[m]")),
        Metres(pPos->Height - pPos->Undulation, tr("[m]")),
        QString::number(static_cast<int32_t>(pPos->DiffAge)),
        QString::number(static_cast<int32_t>(pPos->BaseStationID)),
        Metres(pPos->Speed, tr("[m/s]")),
        QString::number(static_cast<int32_t>(pPos->SatsUsed)),
        info.Property.BoardName,
        info.Property.FirmwareVersion,
        QString::asprintf("%02u:%02u:%02u", pPos->Utc.Hour, pPos->Utc.Minute, pPos->Utc.Second),
    };
    for (int i = 0; i < kValueCount; ++i)
        m_ValueLabels[i]->setText(values[i]);
}
