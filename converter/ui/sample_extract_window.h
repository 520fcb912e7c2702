// Sample extraction: cuts a range log to RINEX conversion to a time window
// within the source's first and last observation and thins it to a coarser
// interval. Times are shown as GPS week and milliseconds or as UTC.
#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui
{
class SampleExtract;
}

// What a conversion takes from the window. The interval is always at least
// SAMPLE_INTERVAL_MIN: the engine rounds times to it and divides by it.
struct SampleExtractSettings
{
    double dInterval;     // seconds
    uint32_t nRateEnable; // 1 when "Sample Rate" is checked
    uint32_t nStartWeek;
    uint32_t nStartMs;
    uint32_t nEndWeek;
    uint32_t nEndMs;
};

inline constexpr double SAMPLE_INTERVAL_MIN = 0.001;
// Interval used while neither a rate nor the source's own interval is known.
inline constexpr double SAMPLE_INTERVAL_FALLBACK = 1.0;

class CConvertContext;

class CSampleExtractWindow : public QDialog
{
    Q_OBJECT

public:
    // pContext: the conversion context whose leap value converts UTC times.
    CSampleExtractWindow(QWidget* parent, const CConvertContext* pContext);
    ~CSampleExtractWindow() override;

    // Takes the file times and interval below as the whole range.
    void SetTimeRange();
    const SampleExtractSettings& Settings() const { return m_Settings; }

    // The source's first and last observation and its observation interval
    // (seconds), stored by the source load before it calls SetTimeRange.
    uint32_t m_nFileFirstWeek = 0;
    uint32_t m_nFileFirstMs = 0;
    uint32_t m_nFileLastWeek = 0;
    uint32_t m_nFileLastMs = 0;
    double m_dFileInterval = 0.0;

public slots:
    void OnLanguageUpdate();
    void StartTimeSlider_sliderMoved();
    void StartTimeSlider_sliderReleased();
    void ExtractStartTime_editingFinished();
    void ExtractEndTime_editingFinished();
    void SampleRate_currentTextChanged();
    void SampleRateEnable_stateChanged();
    void SampleExtractSaveChange_clicked();
    void SampleExtractChangCannel_clicked();
    void GPSTimeType_toggled(bool bChecked);
    void UTCTimeType_toggled(bool bChecked);

private:
    enum DISPLAY_MODE_E
    {
        DISPLAY_GPS = 0,
        DISPLAY_UTC = 1
    };

    // Milliseconds from the file's first observation; negative before it.
    int64_t Position(uint32_t nWeek, uint32_t nMs) const;
    // Milliseconds from the file's first observation to its last; 0 when the
    // last comes first.
    int64_t Span() const;
    // Week and ms from a "Week:W Ms:M" or "yyyy-MM-dd hh:mm:ss.zzz" text.
    void ParseTime(const QString& sText, uint32_t* pWeek, uint32_t* pMs) const;
    QString TimeText(uint32_t nWeek, uint32_t nMs) const;
    void ShowTimes();
    void SetInterval(double dInterval);
    double DefaultInterval() const;
    int32_t LeapMs() const;

    std::unique_ptr<Ui::SampleExtract> m_pUi;
    const CConvertContext* m_pContext;
    SampleExtractSettings m_Settings{SAMPLE_INTERVAL_FALLBACK, 0, 0, 0, 0, 0};
    double m_dDefaultInterval = 0.0;
    DISPLAY_MODE_E m_eDisplayMode = DISPLAY_GPS;
};
