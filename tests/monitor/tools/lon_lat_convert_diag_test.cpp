// The conversion window as a user drives it: positions typed or pasted (a
// position log, an NMEA sentence), XYZ both ways, GPS time both ways, and the
// warnings that leave the outputs as they were.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "monitor/tools/lon_lat_convert_diag.h"
#include "support/scripted_prompt.h"

namespace
{
class LonLatWindow : public ::testing::Test
{
protected:
    void SetUp() override { m_Dialog.OnShowDialog(); }
    template <class T> T* Child(const char* pName) { return m_Dialog.findChild<T*>(QLatin1String(pName)); }
    void ShowPage(int nPage) { Child<QTabWidget>("pConvertTab")->setCurrentIndex(nPage); }
    QString Text(const char* pName) { return Child<QLineEdit>(pName)->text(); }
    void Type(const char* pName, const QString& sText) { Child<QLineEdit>(pName)->setText(sText); }
    // Presses a button; the warning it gave, if any.
    QString Press(const char* pButton)
    {
        const int nBefore = m_Prompt.Messages.size();
        Child<QPushButton>(pButton)->click();
        return m_Prompt.Messages.size() > nBefore ? m_Prompt.Messages.last() : QString();
    }

    CScriptedPrompt m_Prompt;
    QLonAndLatConvertDiag m_Dialog;
};
} // namespace

TEST_F(LonLatWindow, PositionsInEveryForm)
{
    QComboBox* pIn = Child<QComboBox>("qInputFormatcomboBox");
    QComboBox* pOut = Child<QComboBox>("qOutFormatcomboBox");
    ASSERT_EQ(pIn->count(), 3);
    EXPECT_EQ(pOut->itemText(2), QStringLiteral("Degree Min Sec"));

    // One pair: NMEA in, degrees-minutes-seconds out; only that row is shown.
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_NMEA);
    pOut->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DMS);
    EXPECT_FALSE(Child<QLineEdit>("pOutLatDegreeEdit")->isVisibleTo(&m_Dialog));
    EXPECT_TRUE(Child<QLineEdit>("pOutLatDmsEdit")->isVisibleTo(&m_Dialog));
    Type("pInputLatlineEdit", QStringLiteral("3129.0"));
    Type("pInputLonlineEdit", QStringLiteral("-11402.2995"));
    EXPECT_EQ(Press("pConvertButton"), QString());
    EXPECT_EQ(Text("pOutLatDmsEdit"), QStringLiteral("31Degree 29' 0.0000'' "));
    EXPECT_EQ(Text("pOutLonDmsEdit"), QStringLiteral("-114Degree 2' 17.9700'' "));

    // Degrees-minutes-seconds in, with the sign on the degrees.
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DMS);
    pOut->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DEGREE);
    Type("pInputLatDegEdit", QStringLiteral("-0"));
    Type("pInputLatMinEdit", QStringLiteral("30"));
    Type("pInputLonDegEdit", QStringLiteral("10"));
    Type("pInputLonMinEdit", QStringLiteral("6"));
    EXPECT_EQ(Press("pConvertButton"), QString());
    EXPECT_EQ(Text("pOutLatDegreeEdit"), QStringLiteral("-0.500000Degree"));
    EXPECT_EQ(Text("pOutLonDegreeEdit"), QStringLiteral("10.100000Degree"));

    // All three forms from a sentence of the southern and eastern hemispheres.
    Child<QCheckBox>("pThreeFormatCheckBox")->setChecked(true);
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_NMEA);
    EXPECT_TRUE(Child<QLineEdit>("pInputlineEdit")->isVisibleTo(&m_Dialog));
    EXPECT_EQ(Child<QWidget>("pOutputGroup")->property("title").toString(), QStringLiteral("Degree Min Sec"));
    Type("pInputlineEdit",
         QStringLiteral("$GNGGA,081220.00,3352.12800,S,15112.55800,E,4,24,0.6,58.0,M,22.1,M,1.0,0001*5C"));
    EXPECT_EQ(Press("pConvertButton"), QString());
    EXPECT_EQ(Text("pOutLatDegreeEdit"), QStringLiteral("-33.868800Degree"));
    EXPECT_EQ(Text("pOutLatNmeaEdit"), QStringLiteral("-3352.128000Degree '"));
    EXPECT_EQ(Text("pOutLatDmsEdit"), QStringLiteral("-33Degree 52' 7.6800'' "));
    EXPECT_EQ(Text("pOutLonDmsEdit"), QStringLiteral("151Degree 12' 33.4800'' "));

    // From a position log.
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DEGREE);
    Type("pInputlineEdit", QStringLiteral("#BESTPOSA,COM1,0,55.0,FINESTEERING,1930,0.000,00000020,0000,16809;"
                                          "SOL_COMPUTED,SINGLE,51.11636418888,-114.03832502118,1064.9520,-16.2712"));
    EXPECT_EQ(Press("pConvertButton"), QString());
    EXPECT_EQ(Text("pOutLatNmeaEdit"), QStringLiteral("5106.981851Degree '"));
    EXPECT_EQ(Text("pOutLonDegreeEdit"), QStringLiteral("-114.038325Degree"));

    // What cannot be read is said, and the outputs stay.
    const struct
    {
        int Form;
        const char* Line;
        const char* Message;
        bool Cleared;
    } bad[] = {
        {QLonAndLatConvertDiag::POS_FORM_DEGREE, "#BESTPOSA,COM1;SOL_COMPUTED",
         "Error|The input format is not correct, please enter the complete Pos information!", false},
        {QLonAndLatConvertDiag::POS_FORM_NMEA, "$GPGGA,123519,,,,,0,00",
         "Error|The input format is not correct, please enter the complete NMEA information!", true},
    };
    for (const auto& b : bad)
    {
        pIn->setCurrentIndex(b.Form);
        Type("pInputlineEdit", QString::fromLatin1(b.Line));
        EXPECT_EQ(Press("pConvertButton"), QString::fromLatin1(b.Message));
        EXPECT_EQ(Text("pInputlineEdit").isEmpty(), b.Cleared);
        EXPECT_EQ(Text("pOutLonDegreeEdit"), QStringLiteral("-114.038325Degree"));
    }
    Child<QCheckBox>("pThreeFormatCheckBox")->setChecked(false);
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_NMEA);
    Type("pInputLatlineEdit", QStringLiteral("3160.5"));
    EXPECT_EQ(Press("pConvertButton"), QStringLiteral("Error|The minutes and seconds must be below 60!"));
    Type("pInputLatlineEdit", QStringLiteral("31,5"));
    EXPECT_EQ(Press("pConvertButton"), QStringLiteral("Error|\"31,5\" is not a number!"));
}

TEST_F(LonLatWindow, NumbersOutsideTheirRangeAreRefusedAndTheOutputsStay)
{
    QComboBox* pIn = Child<QComboBox>("qInputFormatcomboBox");
    Child<QComboBox>("qOutFormatcomboBox")->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DMS);
    Type("pInputLatlineEdit", QStringLiteral("31.5"));
    Type("pInputLonlineEdit", QStringLiteral("-114.25"));
    EXPECT_EQ(Press("pConvertButton"), QString());
    const QString sLat = Text("pOutLatDmsEdit");
    const QString sLatitude = QStringLiteral("Error|The latitude must lie between -90 and 90!");
    const QString sLongitude = QStringLiteral("Error|The longitude must lie between -180 and 180!");
    const struct
    {
        int Form;
        const char* Lat;
        const char* Lon;
        QString Message;
    } cases[] = {
        {QLonAndLatConvertDiag::POS_FORM_DEGREE, "1e20", "0", sLatitude},
        {QLonAndLatConvertDiag::POS_FORM_DEGREE, "1e309", "0", sLatitude},
        {QLonAndLatConvertDiag::POS_FORM_DEGREE, "-90.000001", "0", sLatitude},
        {QLonAndLatConvertDiag::POS_FORM_DEGREE, "0", "180.5", sLongitude},
        {QLonAndLatConvertDiag::POS_FORM_DEGREE, "0", "-99999999999999999999", sLongitude},
        {QLonAndLatConvertDiag::POS_FORM_NMEA, "9030.0", "0", sLatitude},
        {QLonAndLatConvertDiag::POS_FORM_NMEA, "0", "-1e20", sLongitude},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.Lat) + " " + c.Lon);
        pIn->setCurrentIndex(c.Form);
        Type("pInputLatlineEdit", QString::fromLatin1(c.Lat));
        Type("pInputLonlineEdit", QString::fromLatin1(c.Lon));
        EXPECT_EQ(Press("pConvertButton"), c.Message);
        EXPECT_EQ(Text("pOutLatDmsEdit"), sLat);
    }
    // The limits themselves are taken.
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DEGREE);
    Type("pInputLatlineEdit", QStringLiteral("-90"));
    Type("pInputLonlineEdit", QStringLiteral("180"));
    EXPECT_EQ(Press("pConvertButton"), QString());
    EXPECT_EQ(Text("pOutLatDmsEdit"), QStringLiteral("-90Degree 0' 0.0000'' "));
    // Degrees, minutes and seconds that add up beyond the range.
    pIn->setCurrentIndex(QLonAndLatConvertDiag::POS_FORM_DMS);
    Type("pInputLonDegEdit", QStringLiteral("179"));
    Type("pInputLonMinEdit", QStringLiteral("59"));
    Type("pInputLonSecEdit", QStringLiteral("60.5"));
    EXPECT_EQ(Press("pConvertButton"), QStringLiteral("Error|The minutes and seconds must be below 60!"));
    Type("pInputLonDegEdit", QStringLiteral("180"));
    Type("pInputLonSecEdit", QStringLiteral("1"));
    EXPECT_EQ(Press("pConvertButton"), sLongitude);
    Type("pInputLonDegEdit", QStringLiteral("1e20"));
    EXPECT_EQ(Press("pConvertButton"), sLongitude);

    ShowPage(1);
    Type("pCoorIn1Edit", QStringLiteral("181"));
    Type("pCoorIn2Edit", QStringLiteral("0"));
    Type("pCoorIn3Edit", QStringLiteral("0"));
    EXPECT_EQ(Press("pCoorTransButton"), sLongitude);
    Type("pCoorIn1Edit", QStringLiteral("0"));
    Type("pCoorIn3Edit", QStringLiteral("1e300"));
    const QString sMetres = QStringLiteral("Error|X, Y, Z and the height must lie between -1000000000 and 1000000000 m!");
    EXPECT_EQ(Press("pCoorTransButton"), sMetres);
    Child<QComboBox>("pCoorTransModeComboBox")->setCurrentIndex(1);
    Type("pCoorIn3Edit", QStringLiteral("-1e309"));
    EXPECT_EQ(Press("pCoorTransButton"), sMetres);
}

TEST_F(LonLatWindow, TimesOutsideTheirRangeAreRefused)
{
    ShowPage(2);
    // Leap seconds whose milliseconds pass 32 bits still give the right date.
    Type("pWeekLineEdit", QStringLiteral("2100"));
    Type("pWeekSecondsLineEdit", QStringLiteral("345600"));
    Type("pLeapSecondLineEdit", QStringLiteral("2147484"));
    EXPECT_EQ(Press("pTimeConvertButton"), QString());
    EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("2020/3/15 3:28:36"));
    const struct
    {
        const char* Week;
        const char* Seconds;
        const char* Leap;
        const char* Message;
    } cases[] = {
        {"2100", "345600", "99999999999", "Error|The leap seconds must lie between -3786480000 and 3786480000!"},
        {"2100", "345600", "-99999999999999999999", "Error|The leap seconds must lie between -3786480000 and 3786480000!"},
        {"6261", "0", "18", "Error|The week must lie between 0 and 6260!"},
        {"99999999999999999999", "0", "18", "Error|The week must lie between 0 and 6260!"},
        {"-1", "0", "18", "Error|The week must lie between 0 and 6260!"},
        {"2100", "-1", "18", "Error|The week seconds must be below 604800!"},
        {"0", "0", "18", "Error|The date must lie between 1980/1/6 and 2099/12/31!"},
        {"6260", "604799", "0", "Error|The date must lie between 1980/1/6 and 2099/12/31!"},
        {"2100", "0", "3786480000", "Error|The date must lie between 1980/1/6 and 2099/12/31!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.Week) + " " + c.Seconds + " " + c.Leap);
        Type("pWeekLineEdit", QString::fromLatin1(c.Week));
        Type("pWeekSecondsLineEdit", QString::fromLatin1(c.Seconds));
        Type("pLeapSecondLineEdit", QString::fromLatin1(c.Leap));
        EXPECT_EQ(Press("pTimeConvertButton"), QString::fromLatin1(c.Message));
        EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("2020/3/15 3:28:36"));
    }

    Child<QComboBox>("pTimeTransModeComboBox")->setCurrentIndex(1);
    Child<QDateTimeEdit>("pDateTimeEdit")->setDateTime(QDateTime(QDate(2020, 3, 15), QTime(3, 28, 36), Qt::UTC));
    Type("pLeapSecondLineEdit", QStringLiteral("2147484"));
    EXPECT_EQ(Press("pTimeConvertButton"), QString());
    EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("2100"));
    EXPECT_EQ(Text("pTimeOut2Edit"), QStringLiteral("345600"));
    Type("pLeapSecondLineEdit", QStringLiteral("-2147484"));
    Child<QDateTimeEdit>("pDateTimeEdit")->setDateTime(QDateTime(QDate(1980, 1, 6), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(Press("pTimeConvertButton"), QStringLiteral("Error|The date must lie between 1980/1/6 and 2099/12/31!"));
}

TEST_F(LonLatWindow, XyzBothWays)
{
    ShowPage(1);
    QComboBox* pMode = Child<QComboBox>("pCoorTransModeComboBox");
    EXPECT_EQ(Child<QLabel>("pCoorIn1Label")->text(), QStringLiteral("Lon"));
    EXPECT_EQ(Child<QLabel>("pCoorOut3Label")->text(), QStringLiteral("Z"));
    EXPECT_EQ(Press("pCoorTransButton"), QStringLiteral("Error|Please enter the value of longitude or X!!!"));
    Type("pCoorIn1Edit", QStringLiteral("-75"));
    Type("pCoorIn2Edit", QStringLiteral("-33"));
    EXPECT_EQ(Press("pCoorTransButton"), QStringLiteral("Error|Please enter the value of Z!!!"));
    Type("pCoorIn3Edit", QStringLiteral("100"));
    EXPECT_EQ(Press("pCoorTransButton"), QString());
    EXPECT_EQ(Text("pCoorOut1Edit"), QStringLiteral("1385861.757759"));
    EXPECT_EQ(Text("pCoorOut2Edit"), QStringLiteral("-5172106.492223"));
    EXPECT_EQ(Text("pCoorOut3Edit"), QStringLiteral("-3454013.105081"));
    Type("pCoorIn2Edit", QStringLiteral("91"));
    EXPECT_EQ(Press("pCoorTransButton"), QStringLiteral("Error|The latitude must lie between -90 and 90!"));

    pMode->setCurrentIndex(1);
    EXPECT_EQ(Child<QLabel>("pCoorIn1Label")->text(), QStringLiteral("X"));
    EXPECT_EQ(Child<QLabel>("pCoorOut3Label")->text(), QStringLiteral("Hei"));
    EXPECT_EQ(Child<QLabel>("pCoorOut1Unit")->text(), QStringLiteral("Degree"));
    Type("pCoorIn1Edit", QStringLiteral("-2852954.569302"));
    Type("pCoorIn2Edit", QStringLiteral("4655598.727218"));
    Type("pCoorIn3Edit", QStringLiteral("3285432.000466"));
    EXPECT_EQ(Press("pCoorTransButton"), QString());
    EXPECT_EQ(Text("pCoorOut1Edit"), QStringLiteral("121.500000"));
    EXPECT_EQ(Text("pCoorOut2Edit"), QStringLiteral("31.205760"));
    EXPECT_EQ(Text("pCoorOut3Edit"), QStringLiteral("10.000000"));
}

TEST_F(LonLatWindow, GpsTimeBothWays)
{
    ShowPage(2);
    QComboBox* pMode = Child<QComboBox>("pTimeTransModeComboBox");
    EXPECT_EQ(Press("pTimeConvertButton"), QStringLiteral("Error|Please enter the value of Week!!!"));
    Type("pWeekLineEdit", QStringLiteral("2100"));
    EXPECT_EQ(Press("pTimeConvertButton"), QStringLiteral("Error|Please enter the value of Week Second!!!"));
    Type("pWeekSecondsLineEdit", QStringLiteral("345600"));
    Type("pLeapSecondLineEdit", QStringLiteral("18"));
    EXPECT_EQ(Press("pTimeConvertButton"), QString());
    EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("2020/4/8 23:59:42"));
    // Without a leap value, the one in force at that time: 13 s in 1999.
    Type("pLeapSecondLineEdit", QString());
    Type("pWeekLineEdit", QStringLiteral("1024"));
    Type("pWeekSecondsLineEdit", QStringLiteral("0"));
    EXPECT_EQ(Press("pTimeConvertButton"), QString());
    EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("1999/8/21 23:59:47"));
    Type("pWeekSecondsLineEdit", QStringLiteral("604800"));
    EXPECT_EQ(Press("pTimeConvertButton"), QStringLiteral("Error|The week seconds must be below 604800!"));
    Type("pWeekSecondsLineEdit", QStringLiteral("12.5"));
    EXPECT_EQ(Press("pTimeConvertButton"), QStringLiteral("Error|\"12.5\" is not a whole number!"));
    EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("1999/8/21 23:59:47"));

    pMode->setCurrentIndex(1);
    EXPECT_TRUE(Child<QDateTimeEdit>("pDateTimeEdit")->isVisibleTo(&m_Dialog));
    EXPECT_FALSE(Child<QLineEdit>("pWeekLineEdit")->isVisibleTo(&m_Dialog));
    EXPECT_EQ(Child<QLabel>("pTimeOut1Label")->text(), QStringLiteral("Week"));
    Child<QDateTimeEdit>("pDateTimeEdit")->setDateTime(QDateTime(QDate(2016, 12, 31), QTime(23, 59, 59), Qt::UTC));
    EXPECT_EQ(Press("pTimeConvertButton"), QString());
    EXPECT_EQ(Text("pTimeOut1Edit"), QStringLiteral("1930"));
    EXPECT_EQ(Text("pTimeOut2Edit"), QStringLiteral("16"));
    Type("pLeapSecondLineEdit", QStringLiteral("eighteen"));
    EXPECT_EQ(Press("pTimeConvertButton"), QStringLiteral("Error|\"eighteen\" is not a number!"));
}
