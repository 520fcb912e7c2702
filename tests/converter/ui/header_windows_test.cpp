// The observation and navigation header windows: saved copy from the settings
// file or the defaults, opened, edited, cancelled and saved, kept through a
// language switch, and handed to the engine's header records.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/ui/field_text.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "window_test_support.h"

namespace
{
class HeaderWindowTest : public ConverterUiTest
{
protected:
    void SetUp() override { ConverterUiTest::SetUp(); }
    void MakeWindow()
    {
        m_pWindow = std::make_unique<CMoxelinMainWindow>();
        DeliverLanguageChange();
        m_pObs = m_pWindow->ObsHeaderWindow();
        m_pNav = m_pWindow->NavHeaderWindow();
    }
    void TearDown() override
    {
        m_pWindow.reset();
        ConverterUiTest::TearDown();
    }
    QLineEdit* ObsField(const char* pName) { return Find<QLineEdit>(m_pObs, pName); }
    QLineEdit* NavField(const char* pName) { return Find<QLineEdit>(m_pNav, pName); }
    RinexObsHeader* GetRinexObsHeader() { return m_pWindow->JobContext().GetRinexObsHeader(); }
    RinexNavHeader* GetRinexNavHeader() { return m_pWindow->JobContext().GetRinexNavHeader(); }
    // Fills the job's record the way a conversion start does.
    RinexObsHeader* FillObsRecord(int32_t nVersion)
    {
        GetRinexObsHeader()->nVersion = nVersion;
        emit m_pWindow->RinexObsHeader_GetData();
        return GetRinexObsHeader();
    }

    std::unique_ptr<CMoxelinMainWindow> m_pWindow;
    CObsHeaderWindow* m_pObs = nullptr;
    CNavHeaderWindow* m_pNav = nullptr;
};

QString Line(const QString& sContent, const char* pLabel) { return sContent.leftJustified(60, ' ') + pLabel + "\n"; }
} // namespace

TEST_F(HeaderWindowTest, ObsWindowStartsFromItsDefaultsWithoutASettingsFile)
{
    MakeWindow();
    const RinexObsHeader* pSaved = m_pObs->SavedHeader();
    EXPECT_STREQ(pSaved->szProgram, "ZorvikMoxelin");
    EXPECT_STREQ(pSaved->szRecVersion, "Halvorne QT47R");
    EXPECT_STREQ(pSaved->szMarkerNumber, "Ant001");
    EXPECT_EQ(pSaved->aApproxPos[0], 0.0);
    // The form shows the saved copy from the start.
    EXPECT_EQ(ObsField("MarkerNum")->text(), "Ant001");
    EXPECT_EQ(ObsField("ApproxX")->text(), "0.000000");
    EXPECT_EQ(Find<QComboBox>(m_pObs, "MarkerType")->currentText(), "GEODETIC");
}

TEST_F(HeaderWindowTest, ObsWindowReadsTheHeaderSettingsFile)
{
    ASSERT_TRUE(QDir(m_ConfigDir.path()).mkpath("Settings"));
    QFile file(QString::fromStdString(RinexObsHeaderSettingsPath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        (Line(QString::asprintf("%9.2f%11c%-20s%c", 3.04, ' ', "OBSERVATION DATA", 'M'), "RINEX VERSION / TYPE") +
         Line("SITE01", "MARKER NAME") +
         Line(QString::asprintf("%-20s%s", "Jane Roe", "Survey Office"), "OBSERVER / AGENCY") +
         Line(QString::asprintf("%14.4f%14.4f%14.4f", -2148744.123, 4426641.256, 4044655.895), "APPROX POSITION XYZ") +
         Line("", "END OF HEADER"))
            .toLatin1());
    file.close();
    MakeWindow();
    const RinexObsHeader* pSaved = m_pObs->SavedHeader();
    EXPECT_STREQ(pSaved->szMarkerName, "SITE01");
    EXPECT_STREQ(pSaved->szObserver, "Jane Roe");
    EXPECT_STREQ(pSaved->szAgency, "Survey Office");
    EXPECT_DOUBLE_EQ(pSaved->aApproxPos[0], -2148744.123);
    EXPECT_EQ(ObsField("MarkerName")->text(), "SITE01");
    EXPECT_EQ(ObsField("ApproxY")->text(), "4426641.256000");
    // What the file leaves out stays empty.
    EXPECT_STREQ(pSaved->szProgram, "");
}

TEST_F(HeaderWindowTest, ObsWindowSavesOnOkAndDiscardsOnCancel)
{
    MakeWindow();
    emit m_pWindow->OpenObsSettingWindow();
    ASSERT_TRUE(m_pObs->isVisible());
    ObsField("CreatProgramName")->setText("ABCDEFGHIJ");
    ObsField("ApproxX")->setText("-2148744.5");
    ObsField("AntDeltaH")->setText("1.5x");
    Find<QPushButton>(m_pObs, "ObsHeaderSaveChange")->click();
    EXPECT_FALSE(m_pObs->isVisible());
    emit m_pWindow->OpenObsSettingWindow();
    ObsField("CreatProgramName")->setText("XY");
    Find<QPushButton>(m_pObs, "ObsHeaderSaveChange")->click();
    const RinexObsHeader* pSaved = m_pObs->SavedHeader();
    // The shorter name leaves nothing of the longer one behind.
    const char expected[24] = "XY";
    EXPECT_EQ(std::memcmp(pSaved->szProgram, expected, sizeof expected), 0);
    EXPECT_DOUBLE_EQ(pSaved->aApproxPos[0], -2148744.5);
    EXPECT_DOUBLE_EQ(pSaved->aAntDeltaHen[0], 1.5);

    // Edits dropped by Cancel neither reach a conversion nor show again.
    emit m_pWindow->OpenObsSettingWindow();
    ObsField("CreatProgramName")->setText("Unsaved");
    ObsField("MarkerName")->setText("Unsaved marker");
    Find<QPushButton>(m_pObs, "ObsHeaderChangeCannel")->click();
    EXPECT_FALSE(m_pObs->isVisible());
    const RinexObsHeader* pRecord = FillObsRecord(304);
    EXPECT_STREQ(pRecord->szProgram, "XY");
    EXPECT_STREQ(pRecord->szMarkerName, "Halvorne Ant001");
    EXPECT_STREQ(pRecord->szFileType, "OBSERVATION DATA");
    EXPECT_DOUBLE_EQ(pRecord->aApproxPos[0], -2148744.5);
    emit m_pWindow->OpenObsSettingWindow();
    EXPECT_EQ(ObsField("CreatProgramName")->text(), "XY");
    EXPECT_EQ(ObsField("MarkerName")->text(), "Halvorne Ant001");
    EXPECT_EQ(ObsField("AntDeltaH")->text(), "1.5");
}

TEST_F(HeaderWindowTest, EditsAndSavedValuesSurviveALanguageSwitch)
{
    MakeWindow();
    emit m_pWindow->OpenObsSettingWindow();
    ObsField("MarkerName")->setText("Saved marker");
    Find<QPushButton>(m_pObs, "ObsHeaderSaveChange")->click();
    emit m_pWindow->OpenNavSettingWindow();
    NavField("BDSLeapSecond")->setText("5");
    Find<QPushButton>(m_pNav, "NavHeaderSaveChange")->click();

    // Open with an edit under way while the language changes.
    emit m_pWindow->OpenObsSettingWindow();
    ObsField("Observer")->setText("Typing");
    SwitchLanguage(m_pWindow.get(), "zh");
    EXPECT_NE(Find<QLabel>(m_pObs, "ObserverLabel")->text(), "Observer:");
    EXPECT_EQ(ObsField("Observer")->text(), "Typing");
    EXPECT_EQ(ObsField("MarkerName")->text(), "Saved marker");
    EXPECT_EQ(NavField("BDSLeapSecond")->text(), "5");

    // Without reopening, a conversion gets the saved values, not the form's
    // first texts.
    EXPECT_STREQ(FillObsRecord(302)->szMarkerName, "Saved marker");
    EXPECT_STREQ(GetRinexObsHeader()->szObserver, "Halvorne-001");
    emit m_pWindow->RinexNavHeader_GetData();
    EXPECT_EQ(GetRinexNavHeader()->nBdsLeapSeconds, 5);
    EXPECT_EQ(GetRinexNavHeader()->nGpsLeapSeconds, 18);

    SwitchLanguage(m_pWindow.get(), "en");
    EXPECT_EQ(Find<QLabel>(m_pObs, "ObserverLabel")->text(), "Observer:");
    Find<QPushButton>(m_pObs, "ObsHeaderSaveChange")->click();
    EXPECT_STREQ(m_pObs->SavedHeader()->szObserver, "Typing");
}

TEST_F(HeaderWindowTest, OptionalRecordsFollowTheirBoxesAndTheVersion)
{
    MakeWindow();
    emit m_pWindow->OpenObsSettingWindow();
    auto* pAzimuthBox = Find<QCheckBox>(m_pObs, "AziofZeroDirFlag");
    EXPECT_FALSE(ObsField("AziofZeroDir")->isEnabled());
    pAzimuthBox->setChecked(true);
    EXPECT_TRUE(ObsField("AziofZeroDir")->isEnabled());
    ObsField("AziofZeroDir")->setText("12.5");
    Find<QCheckBox>(m_pObs, "AntZeroDirFlag")->setChecked(false);
    ObsField("ZeroDirX")->setText("7");
    Find<QPushButton>(m_pObs, "ObsHeaderSaveChange")->click();

    RinexObsHeader* pRecord = GetRinexObsHeader();
    pRecord->aZeroDirXyz[0] = 99.0;
    FillObsRecord(304);
    EXPECT_DOUBLE_EQ(pRecord->dZeroDirAzimuth, 12.5);
    EXPECT_DOUBLE_EQ(pRecord->aZeroDirXyz[0], 99.0);

    pRecord->dZeroDirAzimuth = 3.0;
    FillObsRecord(211);
    EXPECT_DOUBLE_EQ(pRecord->dZeroDirAzimuth, 3.0);

    // RINEX 2 closes the marker type and the optional records.
    Find<QComboBox>(m_pWindow.get(), "RnxVersion")->setCurrentText("2.11");
    EXPECT_FALSE(Find<QComboBox>(m_pObs, "MarkerType")->isEnabled());
    EXPECT_FALSE(pAzimuthBox->isEnabled());
    EXPECT_FALSE(ObsField("AziofZeroDir")->isEnabled());
    Find<QComboBox>(m_pWindow.get(), "RnxVersion")->setCurrentText("3.03");
    EXPECT_TRUE(pAzimuthBox->isEnabled());
    EXPECT_TRUE(ObsField("AziofZeroDir")->isEnabled());
    EXPECT_FALSE(ObsField("ArpX")->isEnabled());
}

TEST_F(HeaderWindowTest, NavAgencyFollowsTheObsWindowAsItIsTyped)
{
    MakeWindow();
    ObsField("CreatAgencyName")->setText("ACME");
    EXPECT_EQ(NavField("NavAgencyName")->text(), "ACME");
    EXPECT_STREQ(m_pNav->SavedHeader()->szAgency, "ACME");
    EXPECT_FALSE(m_pNav->isVisible());
}

TEST_F(HeaderWindowTest, NavWindowSavesLeapSecondsOnlyOnOk)
{
    MakeWindow();
    EXPECT_EQ(m_pNav->GetGPSLeapSecond(), 18u);
    EXPECT_EQ(NavField("BDSLeapSecond")->text(), "4");
    EXPECT_FALSE(NavField("NavProgrameName")->isEnabled());

    emit m_pWindow->OpenNavSettingWindow();
    NavField("GPSLeapSecond")->setText("19");
    Find<QPushButton>(m_pNav, "NavHeaderChangeCannel")->click();
    EXPECT_EQ(m_pNav->GetGPSLeapSecond(), 18u);
    emit m_pWindow->OpenNavSettingWindow();
    EXPECT_EQ(NavField("GPSLeapSecond")->text(), "18");

    // Leap seconds are whole numbers; an empty or zero GPS value cannot be
    // saved (0 would select the time routines' default).
    auto* pOk = Find<QPushButton>(m_pNav, "NavHeaderSaveChange");
    for (const char* pText : {"", "0"})
    {
        NavField("GPSLeapSecond")->setText(pText);
        EXPECT_FALSE(pOk->isEnabled()) << pText;
    }
    NavField("GPSLeapSecond")->setText("19");
    EXPECT_TRUE(pOk->isEnabled());
    pOk->click();
    EXPECT_EQ(m_pNav->GetGPSLeapSecond(), 19u);

    emit m_pWindow->RinexNavHeader_GetData();
    const RinexNavHeader* pRecord = GetRinexNavHeader();
    EXPECT_STREQ(pRecord->szProgram, "ZorvikMoxelin");
    EXPECT_STREQ(pRecord->szAgency, "Halvorne");
    EXPECT_EQ(pRecord->nGpsLeapSeconds, 19);
    EXPECT_EQ(pRecord->nBdsLeapSeconds, 4);
}

TEST(FieldText, TextIsCutToTheFieldAndNumbersReadFromTheStart)
{
    char field[8];
    std::memset(field, 'x', sizeof field);
    QStringToCharBuf("ABCDEFGHIJ", field);
    EXPECT_STREQ(field, "ABCDEFG");
    QStringToCharBuf("XY", field);
    EXPECT_EQ(std::memcmp(field, "XY\0\0\0\0\0\0", 8), 0);
    EXPECT_EQ(CharBufToQString(field), "XY");

    double d = -1.0;
    QStringToDouble("12.5 m", &d);
    EXPECT_DOUBLE_EQ(d, 12.5);
    QStringToDouble("abc", &d);
    EXPECT_EQ(d, 0.0);
    int32_t n = -1;
    QStringToInt("18s", &n);
    EXPECT_EQ(n, 18);
}
