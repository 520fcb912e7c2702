#include "converter/ui/sample_extract_window.h"

#include <QDoubleValidator>
#include <QLineEdit>
#include <QStringList>

#include <algorithm>
#include <cmath>

#include "codec/gnss_time.h"
#include "converter/engine/convert_context.h"
#include "converter/engine/source_scan.h"
#include "converter/ui/field_text.h"
#include "converter/ui/window_fit.h"
#include "ui_SampleExtract.h"

namespace
{
const QSize kDesignedSize(492, 308);
const double kRates[] = {0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 15};

// The number between the first ':' of a part and the next ':'.
uint32_t ValueAfterColon(const QString& sPart)
{
    uint32_t n = 0;
    QStringToInt(sPart.section(':', 1, 1), &n);
    return n;
}

uint32_t Number(const QString& sText)
{
    uint32_t n = 0;
    QStringToInt(sText, &n);
    return n;
}

// Digits after the decimal point as milliseconds: ".5" is 500 ms.
uint32_t FractionMs(const QString& sDigits) { return Number((sDigits + "000").left(3)); }
} // namespace

CSampleExtractWindow::CSampleExtractWindow(QWidget* parent, const CConvertContext* pContext)
    : QDialog(parent), m_pUi(new Ui::SampleExtract), m_pContext(pContext)
{
    InitMoxelinResources();
    m_pUi->setupUi(this);
    auto* pValidator = new QDoubleValidator(SAMPLE_INTERVAL_MIN, 86400.0, 3, this);
    pValidator->setLocale(QLocale::c());
    pValidator->setNotation(QDoubleValidator::StandardNotation);
    m_pUi->SampleRate->setValidator(pValidator);

    using W = CSampleExtractWindow;
    connect(m_pUi->StartTimeSlider, &QSlider::sliderMoved, this, &W::StartTimeSlider_sliderMoved);
    connect(m_pUi->StartTimeSlider, &QSlider::sliderReleased, this, &W::StartTimeSlider_sliderReleased);
    connect(m_pUi->ExtractStartTime, &QLineEdit::editingFinished, this, &W::ExtractStartTime_editingFinished);
    connect(m_pUi->ExtractEndTime, &QLineEdit::editingFinished, this, &W::ExtractEndTime_editingFinished);
    connect(m_pUi->SampleRate, &QComboBox::currentTextChanged, this, &W::SampleRate_currentTextChanged);
    connect(m_pUi->SampleRateEnable, &QCheckBox::stateChanged, this, &W::SampleRateEnable_stateChanged);
    connect(m_pUi->SampleExtractSaveChange, &QPushButton::clicked, this, &W::SampleExtractSaveChange_clicked);
    connect(m_pUi->SampleExtractChangeCannel, &QPushButton::clicked, this, &W::SampleExtractChangCannel_clicked);
    connect(m_pUi->GPSTimeType, &QRadioButton::toggled, this, &W::GPSTimeType_toggled);
    connect(m_pUi->UTCTimeType, &QRadioButton::toggled, this, &W::UTCTimeType_toggled);
    FixWindowSize(this, kDesignedSize);
}

CSampleExtractWindow::~CSampleExtractWindow() = default;

// The job's leap value; its 0 ("default") is resolved here, so that both
// directions of the UTC conversion use the same offset.
int32_t CSampleExtractWindow::LeapMs() const { return m_pContext->LeapMsOrDefault(); }

double CSampleExtractWindow::DefaultInterval() const
{
    return m_dDefaultInterval >= SAMPLE_INTERVAL_MIN ? m_dDefaultInterval : SAMPLE_INTERVAL_FALLBACK;
}

// An interval the engine cannot round to (empty or zero text, below 1 ms)
// falls back to the source's own interval.
void CSampleExtractWindow::SetInterval(double dInterval)
{
    m_Settings.dInterval =
        (std::isfinite(dInterval) && dInterval >= SAMPLE_INTERVAL_MIN) ? dInterval : DefaultInterval();
}

int64_t CSampleExtractWindow::Position(uint32_t nWeek, uint32_t nMs) const
{
    return (static_cast<int64_t>(nWeek) - m_nFileFirstWeek) * GNSS_MS_PER_WEEK - m_nFileFirstMs + nMs;
}

int64_t CSampleExtractWindow::Span() const { return std::max<int64_t>(0, Position(m_nFileLastWeek, m_nFileLastMs)); }

void CSampleExtractWindow::SetTimeRange()
{
    // The range is shown in GPS time; the buttons say so too.
    m_pUi->GPSTimeType->setChecked(true);
    m_eDisplayMode = DISPLAY_GPS;
    m_Settings.nStartWeek = m_nFileFirstWeek;
    m_Settings.nStartMs = m_nFileFirstMs;
    m_Settings.nEndWeek = m_nFileLastWeek;
    m_Settings.nEndMs = m_nFileLastMs;
    m_pUi->ExtractStartTime->setText(TimeText(m_nFileFirstWeek, m_nFileFirstMs));
    m_pUi->ExtractEndTime->setText(TimeText(m_nFileLastWeek, m_nFileLastMs));

    // The sliders only show the positions, in whole seconds so that long
    // files stay within their range.
    const int nSpanSeconds = static_cast<int>(Span() / 1000);
    for (QSlider* pSlider : {m_pUi->StartTimeSlider, m_pUi->EndTimeSlider})
    {
        pSlider->setRange(0, nSpanSeconds);
        pSlider->setSingleStep(std::max(1, static_cast<int>(m_dFileInterval)));
    }
    m_pUi->StartTimeSlider->setValue(0);
    m_pUi->EndTimeSlider->setValue(nSpanSeconds);

    m_dDefaultInterval = m_dFileInterval;
    SetInterval(m_dFileInterval);
    m_pUi->SampleRate->clear();
    bool bFound = false;
    for (double dRate : kRates)
    {
        bFound = bFound || std::fabs(dRate - m_dFileInterval) < 0.001;
        if (bFound)
            m_pUi->SampleRate->addItem(QString::number(dRate));
    }
    if (bFound || !(m_dFileInterval >= SAMPLE_INTERVAL_MIN))
        return;
    // An interval outside the list (30 s data): that interval and the common
    // intervals that are whole multiples of it.
    const int64_t nFileMs = std::llround(m_dFileInterval * 1000.0);
    m_pUi->SampleRate->addItem(QString::number(nFileMs / 1000.0));
    for (uint32_t nMs : SCAN_COMMON_INTERVALS_MS)
        if (nMs > nFileMs && nMs % nFileMs == 0)
            m_pUi->SampleRate->addItem(QString::number(nMs / 1000.0));
}

QString CSampleExtractWindow::TimeText(uint32_t nWeek, uint32_t nMs) const
{
    if (m_eDisplayMode == DISPLAY_GPS)
        return QString("Week:%1 Ms:%2").arg(nWeek).arg(nMs);
    const int32_t nLeap = LeapMs();
    CalendarTime utc{};
    if (!GpsTimeToUtc(nWeek, nMs, &nLeap, &utc))
        return QString();
    return QString::asprintf("%04u-%02u-%02u %02u:%02u:%02u.%03u", utc.Year, utc.Month, utc.Day, utc.Hour, utc.Minute,
                             utc.Second, utc.Millisecond);
}

void CSampleExtractWindow::ShowTimes()
{
    m_pUi->ExtractStartTime->setText(TimeText(m_Settings.nStartWeek, m_Settings.nStartMs));
    m_pUi->ExtractEndTime->setText(TimeText(m_Settings.nEndWeek, m_Settings.nEndMs));
}

void CSampleExtractWindow::ParseTime(const QString& sText, uint32_t* pWeek, uint32_t* pMs) const
{
    *pWeek = 0;
    *pMs = 0;
    const QStringList parts = sText.split(' ');
    if (m_eDisplayMode == DISPLAY_GPS)
    {
        *pWeek = ValueAfterColon(parts.first());
        *pMs = ValueAfterColon(parts.last());
    }
    else
    {
        const QStringList date = parts.first().split('-');
        const QStringList time = parts.last().split(':');
        CalendarTime utc{};
        utc.Year = Number(date.value(0));
        utc.Month = Number(date.value(1));
        utc.Day = Number(date.value(2));
        utc.Hour = Number(time.value(0));
        utc.Minute = Number(time.value(1));
        const QString sSeconds = time.value(2);
        utc.Second = Number(sSeconds.section('.', 0, 0));
        utc.Millisecond = FractionMs(sSeconds.section('.', 1, 1));
        const int32_t nLeap = LeapMs();
        if (UtcToGpsTime(&utc, &nLeap, pWeek, pMs) == GNSS_TIME_INVALID)
        {
            *pWeek = 0;
            *pMs = 0;
        }
    }
    // A millisecond count past the week carries into the following weeks.
    *pWeek += *pMs / GNSS_MS_PER_WEEK;
    *pMs %= GNSS_MS_PER_WEEK;
}

void CSampleExtractWindow::ExtractStartTime_editingFinished()
{
    uint32_t nWeek = 0, nMs = 0;
    ParseTime(m_pUi->ExtractStartTime->text(), &nWeek, &nMs);
    const int64_t nPos = Position(nWeek, nMs);
    if (nPos < 0)
    {
        m_Settings.nStartWeek = m_nFileFirstWeek;
        m_Settings.nStartMs = m_nFileFirstMs;
    }
    else if (nPos <= Position(m_Settings.nEndWeek, m_Settings.nEndMs))
    {
        m_Settings.nStartWeek = nWeek;
        m_Settings.nStartMs = nMs;
    }
    else
    {
        m_Settings.nStartWeek = m_Settings.nEndWeek;
        m_Settings.nStartMs = m_Settings.nEndMs;
    }
    ShowTimes();
    m_pUi->StartTimeSlider->setValue(static_cast<int>(Position(m_Settings.nStartWeek, m_Settings.nStartMs) / 1000));
}

void CSampleExtractWindow::ExtractEndTime_editingFinished()
{
    uint32_t nWeek = 0, nMs = 0;
    ParseTime(m_pUi->ExtractEndTime->text(), &nWeek, &nMs);
    const int64_t nPos = Position(nWeek, nMs);
    if (nPos < Position(m_Settings.nStartWeek, m_Settings.nStartMs))
    {
        m_Settings.nEndWeek = m_Settings.nStartWeek;
        m_Settings.nEndMs = m_Settings.nStartMs;
    }
    else if (nPos <= Span())
    {
        m_Settings.nEndWeek = nWeek;
        m_Settings.nEndMs = nMs;
    }
    else
    {
        m_Settings.nEndWeek = m_nFileLastWeek;
        m_Settings.nEndMs = m_nFileLastMs;
    }
    ShowTimes();
    m_pUi->EndTimeSlider->setValue(static_cast<int>(Position(m_Settings.nEndWeek, m_Settings.nEndMs) / 1000));
}

void CSampleExtractWindow::UTCTimeType_toggled(bool bChecked)
{
    if (!bChecked)
        return;
    m_eDisplayMode = DISPLAY_UTC;
    ShowTimes();
}

void CSampleExtractWindow::GPSTimeType_toggled(bool bChecked)
{
    if (!bChecked)
        return;
    m_eDisplayMode = DISPLAY_GPS;
    ShowTimes();
}

void CSampleExtractWindow::SampleRate_currentTextChanged()
{
    double d = 0.0;
    QStringToDouble(m_pUi->SampleRate->currentText(), &d);
    SetInterval(d);
}

void CSampleExtractWindow::SampleRateEnable_stateChanged()
{
    const bool bChecked = m_pUi->SampleRateEnable->isChecked();
    m_Settings.nRateEnable = bChecked ? 1 : 0;
    m_pUi->SampleRate->setEnabled(bChecked);
    if (bChecked)
        SampleRate_currentTextChanged();
    else
        SetInterval(m_dDefaultInterval);
}

void CSampleExtractWindow::StartTimeSlider_sliderMoved() {}
void CSampleExtractWindow::StartTimeSlider_sliderReleased() {}

void CSampleExtractWindow::SampleExtractSaveChange_clicked() { close(); }

void CSampleExtractWindow::SampleExtractChangCannel_clicked()
{
    SetTimeRange();
    close();
}

void CSampleExtractWindow::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    FixWindowSize(this, kDesignedSize);
}
