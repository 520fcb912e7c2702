#include "monitor/views/ins_status.h"
#include "monitor/shell/shell_log.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "codec/ins_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/shell/view_payload.h"
#include "monitor/views/ins_instruments.h"

namespace
{
const char kContext[] = "QINSDiag";
const char kInsRequest[] = "inscommand enable\r\nlog inspvaxa ontime 0.05 \r\n";

// The rows of the text grid: position (rows 0-4), velocity (5-9), attitude
// (10-13); the first row of each group is its heading.
const char* const kRowTexts[QINStatus::ROW_COUNT] = {"",
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Lat :"),
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Lon :"),
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Height :"),
                                                     " ",
                                                     "",
                                                     QT_TRANSLATE_NOOP("QINSDiag", "North :"),
                                                     QT_TRANSLATE_NOOP("QINSDiag", "East :"),
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Down :"),
                                                     " ",
                                                     " ",
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Roll :"),
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Pitch :"),
                                                     QT_TRANSLATE_NOOP("QINSDiag", "Yaw :")};
const int kGroupHeadRows[] = {0, 5, 10};
// Per row: the value label it holds (0-8), or the heading label (-1 - k).
const int kRowCell[QINStatus::ROW_COUNT] = {-1, 0, 1, 2, -2, -3, 3, 4, 5, -4, -5, 6, 7, 8};
const char* const kValueHeadings[QINStatus::HEADING_ROWS] = {QT_TRANSLATE_NOOP("QINSDiag", "Position"), " ",
                                                             QT_TRANSLATE_NOOP("QINSDiag", "Velocity"), " ",
                                                             QT_TRANSLATE_NOOP("QINSDiag", "Attitude (deg):")};
const char* const kErrorHeadings[QINStatus::HEADING_ROWS] = {QT_TRANSLATE_NOOP("QINSDiag", "Error Estimates(1):"), " ",
                                                             QT_TRANSLATE_NOOP("QINSDiag", "Error Estimates(1)"), " ",
                                                             QT_TRANSLATE_NOOP("QINSDiag", "Error Estimates(1)")};

struct INS_STATUS_NAME_T
{
    int Value;
    const char* Name;
};
const INS_STATUS_NAME_T kStatusNames[] = {
    {0, "INACTIVE"},
    {1, "ALIGNING"},
    {2, "HIGH_VARIANCE"},
    {3, "SOLUTION_GOOD"},
    {6, "SOLUTION_FREE"},
    {7, "ALIGNMENT_COMPLETE"},
    {8, "DETERMINING_ORIENTATION"},
    {9, "WAITING_INITIALPOS"},
    {10, "WAITING_AZIMUTH"},
    {11, "INITIALIZING_BIASES"},
    {12, "MOTION_DETECT"},
};

// A value is passed to an instrument when it moved by at least this much.
constexpr double kInstrumentStep = 1.0;

QString T(const char* pText) { return QCoreApplication::translate(kContext, pText); }

QString Fixed(double v, int nDecimals, const char* pUnit)
{
    return QString::asprintf("%.*f ", nDecimals, v) + T(pUnit);
}

// Whether an instrument value moved enough to be passed on; takes it as the last passed one.
// The value columns are at least 90 wide and never narrower than a text they
// showed, so that a value is not cut and the columns do not jump as values change.
void KeepRoom(QLabel* pLabel)
{
    // The sum of the characters' advances: at least the text's width, and
    // found without laying the text out, which a tick cannot afford 18 times.
    const QFontMetrics metrics = pLabel->fontMetrics();
    int nText = 2;
    for (const QChar c : pLabel->text())
        nText += metrics.horizontalAdvance(c);
    const int nWidth = std::max({90, pLabel->minimumWidth(), nText});
    if (nWidth != pLabel->minimumWidth())
        pLabel->setMinimumWidth(nWidth);
}

bool Passes(double v, double* pLast)
{
    if (!std::isfinite(v) || (!std::isnan(*pLast) && std::fabs(v - *pLast) < kInstrumentStep))
        return false;
    *pLast = v;
    return true;
}
} // namespace

QINStatus::QINStatus(QWidget* pParent)
    : QRequestingView(pParent), m_pADI(new QADI(this)), m_pCompass(new QCompass(this)),
      m_pStatusTitle(new QLabel(this)), m_pStatusValue(new QLabel(this))
{
    std::fill(std::begin(m_Last), std::end(m_Last), std::numeric_limits<double>::quiet_NaN());
    setObjectName(QStringLiteral("QINSDiag"));
    resize(400, 300);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/gyro.png")));

    QFont headFont(QStringLiteral("Arial"), 9);
    headFont.setWeight(80);
    QFont rowFont(QStringLiteral("Arial"), 8);
    rowFont.setWeight(50);

    auto* pLeft = new QVBoxLayout;
    auto* pTitleRow = new QHBoxLayout;
    m_pStatusTitle->setFont(headFont);
    m_pStatusValue->setFont(headFont);
    m_pStatusValue->setObjectName(QStringLiteral("InsStatusValue"));
    pTitleRow->addWidget(m_pStatusTitle);
    pTitleRow->addWidget(m_pStatusValue);
    pLeft->addLayout(pTitleRow);
    for (int r = 0; r < ROW_COUNT; ++r)
    {
        const bool bHead =
            std::find(std::begin(kGroupHeadRows), std::end(kGroupHeadRows), r) != std::end(kGroupHeadRows);
        auto* pRow = new QHBoxLayout;
        QLabel* pCells[3];
        for (QLabel*& pCell : pCells)
        {
            pCell = new QLabel(this);
            pCell->setAlignment(Qt::AlignHCenter);
            pCell->setFont(bHead ? headFont : rowFont);
            if (!bHead)
                pCell->setStyleSheet(QStringLiteral("color:gray;"));
            pRow->addWidget(pCell);
        }
        KeepRoom(pCells[1]);
        KeepRoom(pCells[2]);
        m_pRowLabels[r] = pCells[0];
        const int nCell = kRowCell[r];
        if (nCell >= 0)
        {
            m_pValues[nCell] = pCells[1];
            m_pErrors[nCell] = pCells[2];
            pCells[1]->setObjectName(QStringLiteral("InsValue%1").arg(nCell));
            pCells[2]->setObjectName(QStringLiteral("InsError%1").arg(nCell));
        }
        else
        {
            m_pValueHeadings[-1 - nCell] = pCells[1];
            m_pErrorHeadings[-1 - nCell] = pCells[2];
        }
        pLeft->addLayout(pRow);
    }
    auto* pRight = new QVBoxLayout;
    pRight->addWidget(m_pADI, 0, Qt::AlignTop | Qt::AlignHCenter);
    pRight->addWidget(m_pCompass, 0, Qt::AlignTop | Qt::AlignHCenter);
    auto* pBoth = new QHBoxLayout;
    pBoth->addLayout(pLeft);
    pBoth->addLayout(pRight);
    auto* pGrid = new QGridLayout(this);
    pGrid->addLayout(pBoth, 0, 0);

    ApplyTexts();
    setWindowTitle(T(QT_TRANSLATE_NOOP("QINSDiag", "INS Status:")));
}

void QINStatus::ApplyTexts()
{
    m_pStatusTitle->setText(T(QT_TRANSLATE_NOOP("QINSDiag", "INS Status:")));
    for (int r = 0; r < ROW_COUNT; ++r)
        m_pRowLabels[r]->setText(T(kRowTexts[r]));
    for (int i = 0; i < HEADING_ROWS; ++i)
    {
        m_pValueHeadings[i]->setText(T(kValueHeadings[i]));
        m_pErrorHeadings[i]->setText(T(kErrorHeadings[i]));
        KeepRoom(m_pValueHeadings[i]);
        KeepRoom(m_pErrorHeadings[i]);
    }
}

void QINStatus::OnLanguageUpdate()
{
    ApplyTexts();
    setWindowTitle(T(QT_TRANSLATE_NOOP("QINSDiag", "INS")));
}

QString QINStatus::GetINStatus(int Status)
{
    for (const INS_STATUS_NAME_T& s : kStatusNames)
        if (s.Value == Status)
            return QString::fromLatin1(s.Name);
    return QString();
}

QList<double> QINStatus::OnFormatDeg(double value)
{
    const double a = std::fabs(value);
    if (!std::isfinite(a) || a >= 2147483648.0)
        return {};
    const double dDeg = static_cast<int32_t>(a);
    const double dMinutes = static_cast<int32_t>((a - dDeg) * 60.0);
    const double dSeconds = ((a - dDeg) * 60.0 - dMinutes) * 60.0;
    return {dDeg, dMinutes, dSeconds};
}

QString QINStatus::FormatAngle(double dDegrees, char cPositive, char cNegative)
{
    const QList<double> dms = OnFormatDeg(dDegrees);
    if (dms.size() < 3)
        return QStringLiteral(" ");
    double d = dms[0], m = dms[1];
    QString sSeconds = QString::asprintf("%.4f", dms[2]);
    // Seconds just below 60 would read "60.0000" at four decimals: the minute is shown whole instead.
    if (sSeconds.startsWith(QLatin1String("60")))
    {
        sSeconds = QStringLiteral("0.0000");
        if (++m >= 60)
        {
            m = 0;
            ++d;
        }
    }
    return QString::number(d, 'g', 6) + T(QT_TRANSLATE_NOOP("QINSDiag", "Degree ")) + QString::number(m, 'g', 6) +
           QStringLiteral("' ") + sSeconds + QStringLiteral("'' ") + QLatin1Char(dDegrees < 0 ? cNegative : cPositive);
}

void QINStatus::SetValue(int nColumn, int i, const QString& sText)
{
    QLabel* pLabel = ValueLabel(nColumn, i);
    if (pLabel->text() == sText)
        return;
    pLabel->setText(sText);
    KeepRoom(pLabel);
}

void QINStatus::BlankValues()
{
    for (int i = 0; i < VALUE_ROWS; ++i)
    {
        SetValue(0, i, QStringLiteral(" "));
        SetValue(1, i, QStringLiteral(" "));
    }
}

void QINStatus::OnPortTabChange(int) { BlankValues(); }

void QINStatus::ShowNoSolution()
{
    BlankValues();
    m_pStatusValue->setText(QString());
    std::fill(std::begin(m_Last), std::end(m_Last), std::numeric_limits<double>::quiet_NaN());
    m_pADI->m_pitch = m_pADI->m_roll = 0;
    m_pCompass->m_yaw = m_pCompass->m_alt = m_pCompass->m_h = 0;
    emit m_pADI->canvasReplot();
    emit m_pCompass->canvasReplot();
}

void QINStatus::OnUpdateINSStatus(void* pPortTab)
{
    const CPortTab* pTabs = PortTabPayload(pPortTab);
    const QRangeData* pStore = pTabs != nullptr ? pTabs->GetCurRangeData() : nullptr;
    const InspvaxBody* pBody = pStore != nullptr ? pStore->Body<InspvaxBody>(MSG_ID_INSPVAX) : nullptr;
    if (pBody == nullptr)
    {
        ShowNoSolution();
        return;
    }
    const InspvaxBody b = *pBody;
    const QString sStatus = GetINStatus(static_cast<int>(b.InsStatus));
    if (sStatus.isEmpty())
        return;
    if (m_pStatusValue->text() != sStatus)
        m_pStatusValue->setText(sStatus);

    const char* const kM = QT_TRANSLATE_NOOP("QINSDiag", "[m]");
    const char* const kMs = QT_TRANSLATE_NOOP("QINSDiag", "[m/s]");
    const char* const kDeg = QT_TRANSLATE_NOOP("QINSDiag", "Degree");
    // The receiver reports the up velocity; the row shows it downward.
    const double dDown = 0.0 - b.UpVel;
    const QString values[VALUE_ROWS] = {FormatAngle(b.Latitude, 'N', 'S'),
                                        FormatAngle(b.Longitude, 'E', 'W'),
                                        Fixed(b.Height, 3, kM),
                                        Fixed(b.NorthVel, 3, kMs),
                                        Fixed(b.EastVel, 3, kMs),
                                        Fixed(dDown, 3, kMs),
                                        Fixed(b.Roll, 3, kDeg),
                                        Fixed(b.Pitch, 3, kDeg),
                                        Fixed(b.Azimuth, 3, kDeg)};
    const QString errors[VALUE_ROWS] = {
        Fixed(b.LatitudeSd, 4, kM),  Fixed(b.LongitudeSd, 4, kM), Fixed(b.HeightSd, 4, kM),
        Fixed(b.NorthVelSd, 3, kMs), Fixed(b.EastVelSd, 3, kMs),  Fixed(b.UpVelSd, 3, kMs),
        Fixed(b.RollSd, 3, kDeg),    Fixed(b.PitchSd, 3, kDeg),   Fixed(b.AzimuthSd, 3, kDeg)};
    for (int i = 0; i < VALUE_ROWS; ++i)
    {
        SetValue(0, i, values[i]);
        SetValue(1, i, errors[i]);
    }

    // Taken out of the packed record first: its doubles may sit unaligned.
    const double dPitch = b.Pitch, dRoll = b.Roll;
    if (Passes(dPitch, &m_Last[0]))
    {
        m_pADI->m_pitch = std::clamp(dPitch, -90.0, 90.0);
        emit m_pADI->canvasReplot();
    }
    if (Passes(dRoll, &m_Last[1]))
    {
        m_pADI->m_roll = std::clamp(dRoll, -180.0, 180.0);
        emit m_pADI->canvasReplot();
    }
    if (Passes(b.Azimuth, &m_Last[2]))
    {
        double dHeading = b.Azimuth;
        if (dHeading < 0)
            dHeading += 360.0;
        if (dHeading > 360.0)
            dHeading -= 360.0;
        m_pCompass->m_yaw = dHeading;
        emit m_pCompass->canvasReplot();
    }
    if (Passes(b.Height, &m_Last[3]))
    {
        m_pCompass->m_alt = b.Height;
        emit m_pCompass->canvasReplot();
    }
    const double dSecondHeight = b.Height + static_cast<double>(b.Undulation);
    if (Passes(dSecondHeight, &m_Last[4]))
    {
        m_pCompass->m_h = dSecondHeight;
        emit m_pCompass->canvasReplot();
    }
}

void QINStatus::SendLogRequest(uint nPortID)
{
    qCDebug(lcWindows, "%s", kInsRequest);
    emit SignalSendInspvaxMsg(nPortID, QByteArray(kInsRequest));
}

void QINStatus::resizeEvent(QResizeEvent* pEvent)
{
    QRequestingView::resizeEvent(pEvent);
    const int n = (std::min(width(), height()) - 50) / 2;
    m_pADI->setMinimumSize(n, n);
    m_pCompass->setMinimumSize(n, n);
}
