// The INS configuration check: the table of a configuration record, row by
// row, bounded by what the record keeps; the mounting angles and pictures of
// each board orientation; and, against fake receivers, the table filled from
// the INS configuration log of the port asked and of no other.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "ins_bench.h"
#include "monitor/parsing/ins_config.h"

namespace
{
INS_OFFSET_T Offset(uint32_t nSource, float x, float y, float z, uint32_t nState)
{
    return INS_OFFSET_T{nSource, 0, {x, y, z}, {0.01f, 0.02f, 0.03f}, nState};
}
} // namespace

TEST(InsConfigCheck, TheTableHoldsSevenRowsAndNinePerEntry)
{
    INS_CONFIG_T c{};
    c.ImuType = 2; // no name
    c.AlignVelocity = 25;
    c.Profile = 33;
    c.AlignMode = 5;
    c.StatusWord = 0xFF;
    c.SeedMode = 1;
    c.SeedValidation = 7;
    QStringList names, values;
    QINSConfigCheckDiag::ConfigRows(c, &names, &values);
    EXPECT_EQ(names, (QStringList{"IMU Type", "Initial Alignment Velocity(m/s)", "Profile", "Alignment Mode",
                                  "INS Receiver Status", "INS Seed Mode", "INS Seed Validation"}));
    EXPECT_EQ(values, (QStringList{"", "2.5", "LAND_PLUS", "EX_HEADING", "4294967295", "ENABLE", "7"}));

    c.TranslationCount = 2;
    c.Translations[0] = Offset(1, 0.1f, -0.25f, 1.5f, 1);
    c.Translations[1] = Offset(2, 1, 0, 0, 99);
    c.RotationCount = 1;
    c.Rotations[0] = Offset(11, 0, 0, -90, 4);
    QINSConfigCheckDiag::ConfigRows(c, &names, &values);
    ASSERT_EQ(names.size(), 7 + 18 + 9);
    ASSERT_EQ(values.size(), names.size());
    EXPECT_EQ(names.mid(7, 9), (QStringList{"Translation", "Frame", "X Offset", "Y Offset", "Z Offset",
                                            "X Uncertainty", "Y Uncertainty", "Z Uncertainty", "Translation Source"}));
    // The values as they were written, free of the floats' binary noise.
    EXPECT_EQ(values.mid(7, 9), (QStringList{"ANT1", "IMUBODY", "0.100000000", "-0.250000000", "1.500000000",
                                             "0.010000000", "0.020000000", "0.030000000", "FROM_NVM"}));
    EXPECT_EQ(values.at(7 + 9 + 8), QString()) << "a state without a name";
    EXPECT_EQ(names.at(25), QStringLiteral("Rotation"));
    EXPECT_EQ(values.at(25), QStringLiteral("RBV"));
    EXPECT_EQ(values.at(25 + 4), QStringLiteral("-90.000000000"));
    EXPECT_EQ(values.at(25 + 8), QStringLiteral("FROM_COMMAND"));

    // Counts beyond what the record keeps read no further than it.
    c.TranslationCount = 1000;
    c.RotationCount = INS_CONFIG_MAX_OFFSETS + 1;
    QINSConfigCheckDiag::ConfigRows(c, &names, &values);
    EXPECT_EQ(names.size(), 7 + 2 * 9 * static_cast<int>(INS_CONFIG_MAX_OFFSETS));
}

TEST(InsConfigCheck, EachBoardOrientationHasItsAnglesAndPicture)
{
    struct CASE_T
    {
        int Toward, Antenna;
        const char *X, *Y, *Z, *Picture;
    };
    const CASE_T cases[] = {
        {0, 0, "0", "0", "-90", "RihgtSideUpAntennaRight"}, {0, 1, "0", "0", "180", "RihgtSideUpAntennaUp"},
        {0, 2, "0", "0", "90", "RihgtSideUpAntennaDown"},   {0, 3, "0", "0", "0", "RihgtSideUpAntennaLeft"},
        {1, 0, "180", "0", "90", "ComingUpTailsAntennaRight"}, {1, 1, "180", "0", "180", "ComingUpTailsAntennaUp"},
        {1, 2, "180", "0", "-90", "ComingUpTailsAntennaLeft"}, {1, 3, "180", "0", "0", "ComingUpTailsAntennaDown"},
    };
    QINSConfigCheckDiag dialog;
    auto label = [&](const char* pName) { return dialog.findChild<QLabel*>(QLatin1String(pName)); };
    auto box = [&](const char* pName) { return dialog.findChild<QComboBox*>(QLatin1String(pName)); };
    // As the dialog opens.
    EXPECT_EQ(label("pXMountAngleLable")->text() + label("pYMountAngleLable")->text() + " " +
                  label("pZMountAngleLable")->text(),
              QStringLiteral("00 -90"));
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Picture);
        box("pBoardTowardComboBox")->setCurrentIndex(c.Toward);
        box("pAntenatowardCombobox")->setCurrentIndex(c.Antenna);
        EXPECT_EQ(label("pXMountAngleLable")->text(), QLatin1String(c.X));
        EXPECT_EQ(label("pYMountAngleLable")->text(), QLatin1String(c.Y));
        EXPECT_EQ(label("pZMountAngleLable")->text(), QLatin1String(c.Z));
        EXPECT_EQ(dialog.OrientationPicture(), QStringLiteral(":/QZorvikMonitor/Icon/") + c.Picture + ".png");
        EXPECT_FALSE(label("pBoardPhotoLable")->pixmap(Qt::ReturnByValue).isNull());
    }
    // The board type chooses its picture only.
    for (int b = 0; b < 3; ++b)
    {
        box("pBoardTypeCombobox")->setCurrentIndex(b);
        EXPECT_FALSE(label("pBoardTypeLable")->pixmap(Qt::ReturnByValue).isNull()) << b;
        EXPECT_EQ(label("pZMountAngleLable")->text(), QStringLiteral("0"));
        EXPECT_EQ(dialog.OrientationPicture(), QStringLiteral(":/QZorvikMonitor/Icon/ComingUpTailsAntennaDown.png"));
    }
}

TEST(InsConfigCheck, ShowsTheConfigurationOfThePortAskedOnly)
{
    InsBench bench;
    RECEIVER_RULES_T rulesB;
    rulesB.InsConfig = "STIM300,5,40,300,RAIL_BASIC,0000001F,DYNAMIC,ROVER,FALSE,000000FE,2,1,3,4,5,6,7,8,9,0,0";
    FakeReceiver rxA, rxB(rulesB);
    QZvPortCtrlBase* pA = bench.OpenTcp(rxA);
    QZvPortCtrlBase* pB = bench.OpenTcp(rxB);
    ASSERT_TRUE(pA && pB);
    QINSConfigCheckDiag& dialog = bench.InsCheck;
    auto* pTable = dialog.findChild<QTableWidget*>(QStringLiteral("pINSConfigCheckWidget"));
    auto* pPortName = dialog.findChild<QLabel*>(QStringLiteral("pBoardShowLable"));
    ASSERT_TRUE(pTable && pPortName);
    auto cell = [pTable](int r, int c) { return pTable->item(r, c) ? pTable->item(r, c)->text() : QString(); };

    bench.MakeCurrent(pB);
    dialog.OnShowDialog();
    EXPECT_EQ(pPortName->text(), bench.Shell.Tabs.tabText(1));
    ASSERT_TRUE(WaitUntil([&] { return pTable->rowCount() == 7; }));
    EXPECT_EQ(cell(0, 1), QStringLiteral("STIM300"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("4.0"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("RAIL_BASIC"));
    EXPECT_EQ(cell(3, 1), QStringLiteral("DYNAMIC"));
    EXPECT_EQ(cell(4, 1), QStringLiteral("4294967294"));
    EXPECT_EQ(cell(5, 1), QStringLiteral("CLEAR"));
    EXPECT_EQ(pTable->horizontalHeaderItem(0)->text(), QStringLiteral("Configuration item"));

    // A's configuration, asked by another road, leaves the table as it is;
    // "Refresh" on A asks A and shows A's.
    bench.Shell.Tabs.OnRequestItem(0, STATUS_MSG_INSCONFIG);
    ASSERT_TRUE(WaitUntil([&] { return bench.Answered(pA); }));
    EXPECT_EQ(pTable->rowCount(), 7);
    bench.MakeCurrent(pA);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("pRefreshButton")), Qt::LeftButton);
    EXPECT_EQ(dialog.PortID(), pA->UniquePortID);
    ASSERT_TRUE(WaitUntil([&] { return pTable->rowCount() == 7 + 9 + 9; }));
    EXPECT_EQ(cell(0, 1), QStringLiteral("ADIS16488"));
    EXPECT_EQ(cell(7, 0) + "=" + cell(7, 1), QStringLiteral("Translation=ANT1"));
    EXPECT_EQ(cell(16 + 4, 1), QStringLiteral("90.000000000"));

    // The angles shown go to the current port as its rotation.
    dialog.findChild<QComboBox*>(QStringLiteral("pAntenatowardCombobox"))->setCurrentIndex(2);
    EXPECT_EQ(bench.Received(rxA.Net(), pA, [&] { dialog.OnOKBtnClick(); }), "setinsrotation  RBV 0 0 90\r\n");
}

TEST(InsConfigCheck, TheReceiversMountingIsMarkedWhereItDiffersFromTheOrientationChosen)
{
    InsBench bench;
    // The receiver's IMU rotation: X -180 (the same as 180), Y 5, Z -90.
    RECEIVER_RULES_T rules;
    rules.InsConfig = "ADIS16488,5,20,300,LAND_BASIC,0000001F,STATIC,ROVER,FALSE,00000003,1,2,3,4,5,6,7,8,9,"
                      "1,ANT1,IMUBODY,0.1000,0.2000,0.3000,0.0100,0.0200,0.0300,FROM_NVM,"
                      "1,RBV,IMUBODY,-180.0000,5.0000,-90.0000,1.0000,1.0000,1.0000,FROM_COMMAND";
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    QINSConfigCheckDiag& dialog = bench.InsCheck;
    auto* pTable = dialog.findChild<QTableWidget*>(QStringLiteral("pINSConfigCheckWidget"));
    auto* pToward = dialog.findChild<QComboBox*>(QStringLiteral("pBoardTowardComboBox"));
    auto* pAntenna = dialog.findChild<QComboBox*>(QStringLiteral("pAntenatowardCombobox"));
    ASSERT_TRUE(pTable && pToward && pAntenna);
    // The rows marked, by name; a marked row has both cells coloured and says the expected angle.
    auto marked = [pTable]
    {
        QStringList names;
        for (int i = 0; i < pTable->rowCount(); ++i)
        {
            const QTableWidgetItem* pName = pTable->item(i, 0);
            const QTableWidgetItem* pValue = pTable->item(i, 1);
            if (!pValue->toolTip().isEmpty())
            {
                EXPECT_EQ(pName->toolTip(), pValue->toolTip());
                EXPECT_NE(pValue->data(Qt::BackgroundRole), QVariant()) << pName->text().toStdString();
                names << pName->text();
            }
            else
                EXPECT_EQ(pValue->data(Qt::BackgroundRole), QVariant()) << pName->text().toStdString();
        }
        return names;
    };

    // Coming up tails, antenna toward the end of the car: 180, 0, -90.
    pToward->setCurrentIndex(1);
    pAntenna->setCurrentIndex(2);
    dialog.OnShowDialog();
    ASSERT_TRUE(WaitUntil([&] { return pTable->rowCount() == 7 + 9 + 9; }));
    EXPECT_EQ(marked(), QStringList(QStringLiteral("Y Rotation")));
    EXPECT_EQ(pTable->item(7 + 9 + 3, 1)->toolTip(),
              QStringLiteral("The board orientation chosen has a mounting angle of 0°."));

    // Each change of the orientation checks again.
    const struct
    {
        int Toward, Antenna;
        QStringList Marked;
    } cases[] = {
        {0, 2, {"X Rotation", "Y Rotation", "Z Rotation"}}, // 0, 0, 90
        {1, 0, {"Y Rotation", "Z Rotation"}},               // 180, 0, 90
        {1, 2, {"Y Rotation"}},                             // 180, 0, -90
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Marked.join(',').toStdString());
        pToward->setCurrentIndex(c.Toward);
        pAntenna->setCurrentIndex(c.Antenna);
        EXPECT_EQ(marked(), c.Marked);
    }
}
