// The sample extraction window: the file's time range, clamped start and end
// times in GPS and UTC form, the offered rates, and an interval that never
// reaches the engine as 0.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include "converter/engine/convert_context.h"
#include "converter/ui/sample_extract_window.h"
#include "window_test_support.h"

namespace
{
class SampleExtractTest : public ConverterUiTest
{
protected:
    void SetRange(uint32_t nFirstWeek, uint32_t nFirstMs, uint32_t nLastWeek, uint32_t nLastMs, double dInterval)
    {
        m_Window.m_nFileFirstWeek = nFirstWeek;
        m_Window.m_nFileFirstMs = nFirstMs;
        m_Window.m_nFileLastWeek = nLastWeek;
        m_Window.m_nFileLastMs = nLastMs;
        m_Window.m_dFileInterval = dInterval;
        m_Window.SetTimeRange();
    }
    void Type(const char* pField, const QString& sText)
    {
        auto* pEdit = Find<QLineEdit>(&m_Window, pField);
        pEdit->setText(sText);
        emit pEdit->editingFinished();
    }
    QString Text(const char* pField) { return Find<QLineEdit>(&m_Window, pField)->text(); }
    QStringList Rates()
    {
        QStringList items;
        auto* pRate = Find<QComboBox>(&m_Window, "SampleRate");
        for (int i = 0; i < pRate->count(); ++i)
            items << pRate->itemText(i);
        return items;
    }

    // The context whose leap value the window uses.
    CConvertContext m_Context;
    CSampleExtractWindow m_Window{nullptr, &m_Context};
};
} // namespace

TEST_F(SampleExtractTest, TheWholeFileIsTheFirstSelection)
{
    SetRange(2100, 0, 2101, 1000, 1.0);
    EXPECT_EQ(Text("ExtractStartTime"), "Week:2100 Ms:0");
    EXPECT_EQ(Text("ExtractEndTime"), "Week:2101 Ms:1000");
    const SampleExtractSettings& s = m_Window.Settings();
    EXPECT_EQ(s.nStartWeek, 2100u);
    EXPECT_EQ(s.nEndWeek, 2101u);
    EXPECT_EQ(s.nEndMs, 1000u);
    auto* pEnd = Find<QSlider>(&m_Window, "EndTimeSlider");
    EXPECT_EQ(pEnd->maximum(), 604801);
    EXPECT_EQ(pEnd->value(), 604801);

    // Spans of many weeks stay exact (a 32-bit millisecond span would wrap).
    SetRange(2000, 5000, 2100, 0, 1.0);
    EXPECT_EQ(Text("ExtractEndTime"), "Week:2100 Ms:0");
    EXPECT_EQ(pEnd->maximum(), static_cast<int>((100ull * 604800000ull - 5000) / 1000));
    Type("ExtractEndTime", "Week:2099 Ms:7");
    EXPECT_EQ(m_Window.Settings().nEndWeek, 2099u);
    EXPECT_EQ(m_Window.Settings().nEndMs, 7u);
}

TEST_F(SampleExtractTest, TypedTimesAreKeptWithinTheFileAndEachOther)
{
    SetRange(2100, 1000, 2100, 100000, 1.0);
    struct Case
    {
        const char* pField;
        const char* pTyped;
        const char* pStart;
        const char* pEnd;
    };
    const Case cases[] = {
        {"ExtractStartTime", "Week:2100 Ms:5000", "Week:2100 Ms:5000", "Week:2100 Ms:100000"},
        {"ExtractEndTime", "Week:2100 Ms:3000", "Week:2100 Ms:5000", "Week:2100 Ms:5000"},
        {"ExtractEndTime", "Week:2100 Ms:90000", "Week:2100 Ms:5000", "Week:2100 Ms:90000"},
        {"ExtractStartTime", "Week:2100 Ms:95000", "Week:2100 Ms:90000", "Week:2100 Ms:90000"},
        {"ExtractStartTime", "garbage", "Week:2100 Ms:1000", "Week:2100 Ms:90000"},
        {"ExtractEndTime", "Week:2101 Ms:0", "Week:2100 Ms:1000", "Week:2100 Ms:100000"},
        {"ExtractStartTime", "Week:2099 Ms:604801000", "Week:2100 Ms:1000", "Week:2100 Ms:100000"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pTyped);
        Type(c.pField, c.pTyped);
        EXPECT_EQ(Text("ExtractStartTime"), c.pStart);
        EXPECT_EQ(Text("ExtractEndTime"), c.pEnd);
    }
}

TEST_F(SampleExtractTest, UtcTimesUseOneLeapValueBothWays)
{
    m_Context.SetLeapMs(18000);
    SetRange(2100, 0, 2101, 0, 1.0);
    Type("ExtractStartTime", "Week:2100 Ms:345600000");
    Find<QRadioButton>(&m_Window, "UTCTimeType")->setChecked(true);
    EXPECT_EQ(Text("ExtractStartTime"), "2020-04-08 23:59:42.000");
    // Digits after the point are a fraction of a second.
    Type("ExtractStartTime", "2020-04-08 23:59:42.5");
    EXPECT_EQ(m_Window.Settings().nStartMs, 345600500u);
    Find<QRadioButton>(&m_Window, "GPSTimeType")->setChecked(true);
    EXPECT_EQ(Text("ExtractStartTime"), "Week:2100 Ms:345600500");

    // With the engine's default leap value both directions use the same
    // offset, so a time shown in UTC reads back unchanged.
    m_Context.SetLeapMs(0);
    Find<QRadioButton>(&m_Window, "UTCTimeType")->setChecked(true);
    Type("ExtractStartTime", Text("ExtractStartTime"));
    EXPECT_EQ(m_Window.Settings().nStartWeek, 2100u);
    EXPECT_EQ(m_Window.Settings().nStartMs, 345600500u);
}

TEST_F(SampleExtractTest, RatesStartAtTheFileInterval)
{
    SetRange(2100, 0, 2100, 60000, 0.1);
    EXPECT_EQ(Rates(), QStringList({"0.1", "0.2", "0.5", "1", "2", "5", "10", "15"}));
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 0.1);
    SetRange(2100, 0, 2100, 60000, 1.0);
    EXPECT_EQ(Rates(), QStringList({"1", "2", "5", "10", "15"}));
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 1.0);
    // An interval the list does not hold: it and its multiples.
    SetRange(2100, 0, 2100, 3600000, 30.0);
    EXPECT_EQ(Rates(), QStringList({"30", "60", "120", "300", "600", "900", "1800", "3600"}));
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 30.0);
    SetRange(2100, 0, 2100, 60000, 0.25);
    EXPECT_EQ(Rates(), QStringList({"0.25", "0.5", "1", "2", "5", "10", "15", "30", "60", "120", "300", "600", "900",
                                    "1800", "3600"}));
    SetRange(2100, 0, 2100, 60000, 1.0);

    auto* pEnable = Find<QCheckBox>(&m_Window, "SampleRateEnable");
    auto* pRate = Find<QComboBox>(&m_Window, "SampleRate");
    pEnable->setChecked(true);
    EXPECT_TRUE(pRate->isEnabled());
    EXPECT_EQ(m_Window.Settings().nRateEnable, 1u);
    pRate->setCurrentText("5");
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 5.0);
    pEnable->setChecked(false);
    EXPECT_EQ(m_Window.Settings().nRateEnable, 0u);
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 1.0);
}

// The engine rounds the extraction times to the interval and thins epochs by
// it: whatever the window holds, the interval is at least 1 ms.
TEST_F(SampleExtractTest, TheIntervalIsNeverZero)
{
    EXPECT_GE(m_Window.Settings().dInterval, SAMPLE_INTERVAL_MIN);
    // A source whose interval is unknown, or matches no rate.
    for (double dFileInterval : {0.0, 0.03, -1.0})
    {
        SetRange(2100, 0, 2100, 60000, dFileInterval);
        EXPECT_GE(m_Window.Settings().dInterval, SAMPLE_INTERVAL_MIN) << dFileInterval;
    }
    SetRange(2100, 0, 2100, 60000, 0.03);
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 0.03);

    SetRange(2100, 0, 2100, 60000, 1.0);
    Find<QCheckBox>(&m_Window, "SampleRateEnable")->setChecked(true);
    auto* pRate = Find<QComboBox>(&m_Window, "SampleRate");
    for (const char* pText : {"", "0", "0.0004", "abc"})
    {
        pRate->setCurrentText(pText);
        EXPECT_GE(m_Window.Settings().dInterval, SAMPLE_INTERVAL_MIN) << pText;
    }
    // Cancel goes back to the whole file and its interval.
    pRate->setCurrentText("10");
    Type("ExtractStartTime", "Week:2100 Ms:3000");
    m_Window.SampleExtractChangCannel_clicked();
    EXPECT_EQ(Text("ExtractStartTime"), "Week:2100 Ms:0");
    EXPECT_DOUBLE_EQ(m_Window.Settings().dInterval, 1.0);
}
