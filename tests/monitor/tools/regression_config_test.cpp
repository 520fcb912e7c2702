// The regression configuration as a user fills it in: the lists it sends,
// the one warning that names every empty field, the baud-rate choice joined
// into its text, the pre-fill from a board's row (an image list path that
// holds ";" included), file choices that a cancel leaves alone, fields that
// take only numbers, and Cancel buttons that close.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "monitor/tools/regression_config.h"
#include "support/scripted_prompt.h"

namespace
{
template <class T> T* Child(QWidget* pWindow, const char* pName)
{
    T* p = pWindow->findChild<T*>(QLatin1String(pName));
    EXPECT_NE(p, nullptr) << pName;
    return p;
}

struct ConfigForm
{
    CScriptedPrompt Prompt;
    QRegressionConfig Config;
    QSignalSpy Sent{&Config, &QRegressionConfig::SignalRegressionConfig};

    QCheckBox* Box(const char* p) { return Child<QCheckBox>(&Config, p); }
    QLineEdit* Edit(const char* p) { return Child<QLineEdit>(&Config, p); }
    void Click(QWidget* pWindow, const char* p) { Child<QPushButton>(pWindow, p)->click(); }
    QList<bool> Flags() const { return Sent.last().at(0).value<QList<bool>>(); }
    QList<QString> Values() const { return Sent.last().at(1).value<QList<QString>>(); }
};

QStringList Row(const QString& sReset, const QString& sUpdate, const QString& sCommand)
{
    return {"COM1", sReset, "", "", sUpdate, sCommand, "", "", "ID1", "v1", "", "", ""};
}
} // namespace

TEST(RegressionConfig, OkSendsEveryItemAndItsValueOrNothingWhenUnchecked)
{
    ConfigForm f;
    f.Config.OnShowDiag({});
    f.Click(&f.Config, "m_pOkButton");
    ASSERT_EQ(f.Sent.count(), 1);
    EXPECT_EQ(f.Flags(), QList<bool>({false, false, false, false, false}));
    EXPECT_EQ(f.Values(), QList<QString>({"", "", "", "", ""}));
    EXPECT_FALSE(f.Config.isVisible());

    f.Config.OnShowDiag({});
    f.Box("m_pResetCheckBox")->setChecked(true);
    QTest::keyClicks(f.Edit("m_pResetLineEdit"), "12");
    f.Box("m_pRecaqCheckBox")->setChecked(true);
    QTest::keyClicks(f.Edit("m_pReaqLineEdit"), "1.5");
    f.Box("m_pSerialUpdateBox")->setChecked(true);
    f.Edit("m_pSerialPathLineEdit")->setText("/img/list.txt");
    f.Edit("m_pSeiUptBaReEdit")->setText("9600\\115200\\");
    f.Edit("m_pCommandLineEdit")->setText("/cmd.txt"); // filled, not checked
    f.Click(&f.Config, "m_pOkButton");
    ASSERT_EQ(f.Sent.count(), 2);
    EXPECT_EQ(f.Flags(), QList<bool>({true, false, true, true, false}));
    EXPECT_EQ(f.Values(), QList<QString>({"12", "", "1.5", "/img/list.txt;9600\\115200\\", ""}));
    EXPECT_TRUE(f.Prompt.Messages.isEmpty());
}

TEST(RegressionConfig, EmptyFieldsOfCheckedItemsAreNamedInOneWarningAndNothingIsSent)
{
    struct CASE_T
    {
        std::vector<const char*> Checked;
        const char* Path; // the image list path, when SerialUpdate is checked
        const char* Warning;
    } const cases[] = {
        {{"m_pResetCheckBox", "m_pCommandCheckBox"},
         "",
         "Reset Cycle Index is Empty!!\r\nCommand File Path is Empty!!\r\n"},
        {{"m_pSerialUpdateBox"}, "/img/list.txt", "Serial update BaudRate is Empty!!\r\n"},
        {{"m_pFresetCheckBox", "m_pRecaqCheckBox", "m_pSerialUpdateBox"},
         "",
         "Freset Cycle Index is Empty!!\r\nReacq Cycle Index is Empty!!\r\nSerial update Path is Empty!!\r\n"
         "Serial update BaudRate is Empty!!\r\n"},
    };
    for (const CASE_T& c : cases)
    {
        ConfigForm f;
        f.Config.OnShowDiag({});
        for (const char* p : c.Checked)
            f.Box(p)->setChecked(true);
        f.Edit("m_pSerialPathLineEdit")->setText(QString::fromLatin1(c.Path));
        f.Click(&f.Config, "m_pOkButton");
        EXPECT_EQ(f.Prompt.Messages, QStringList({QStringLiteral("Warning|") + QString::fromLatin1(c.Warning)}));
        EXPECT_EQ(f.Sent.count(), 0);
        EXPECT_TRUE(f.Config.isVisible());
    }
}

TEST(RegressionConfig, BaudRatesChosenAreJoinedInAscendingOrder)
{
    struct CASE_T
    {
        std::vector<int> Rates;
        const char* Text;
    } const cases[] = {
        {{9600, 115200}, "9600\\115200"},
        {{460800, 19200}, "19200\\460800"},
        {{19200}, "19200"},
        {{}, ""},
    };
    for (const CASE_T& c : cases)
    {
        ConfigForm f;
        f.Config.OnShowDiag({});
        f.Click(&f.Config, "m_pSeiUptBaReBtn");
        QSelectBaudRateDiag* pBaud = f.Config.BaudRateDiag();
        ASSERT_TRUE(pBaud->isVisible());
        for (int n : c.Rates)
            Child<QCheckBox>(pBaud, qPrintable(QStringLiteral("m_p%1CheckBox").arg(n)))->setChecked(true);
        f.Click(pBaud, "m_pOkButton");
        EXPECT_FALSE(pBaud->isVisible());
        EXPECT_EQ(f.Edit("m_pSeiUptBaReEdit")->text(), QString::fromLatin1(c.Text));
    }
    // Select all, then the dialog keeps its boxes for the next opening.
    ConfigForm f;
    QSelectBaudRateDiag* pBaud = f.Config.BaudRateDiag();
    Child<QCheckBox>(pBaud, "m_pSelectAllCheckBox")->click();
    EXPECT_EQ(pBaud->BaudRateText(), QStringLiteral("4800\\9600\\14400\\19200\\38400\\57600\\115200\\230400\\460800"));
    pBaud->OnShowDiag();
    f.Click(pBaud, "m_pCancelCheckBox");
    EXPECT_FALSE(pBaud->isVisible());
    pBaud->OnShowDiag();
    EXPECT_TRUE(Child<QCheckBox>(pBaud, "m_p4800CheckBox")->isChecked());
}

TEST(RegressionConfig, TheFormIsFilledFromTheBoardsRowAndKeepsWhatTheRowLacks)
{
    ConfigForm f;
    f.Config.OnShowDiag(Row("4", "/img/list;a.txt;9600\\", ""));
    EXPECT_TRUE(f.Box("m_pResetCheckBox")->isChecked());
    EXPECT_EQ(f.Edit("m_pResetLineEdit")->text(), QStringLiteral("4"));
    EXPECT_EQ(f.Edit("m_pSerialPathLineEdit")->text(), QStringLiteral("/img/list;a.txt"));
    EXPECT_EQ(f.Edit("m_pSeiUptBaReEdit")->text(), QStringLiteral("9600\\"));
    EXPECT_FALSE(f.Box("m_pCommandCheckBox")->isChecked());

    // A value without ";" checks the item and leaves its fields; empty values leave theirs.
    f.Config.OnShowDiag(Row("", "list.txt", "/cmd.txt"));
    EXPECT_TRUE(f.Box("m_pSerialUpdateBox")->isChecked());
    EXPECT_EQ(f.Edit("m_pSerialPathLineEdit")->text(), QStringLiteral("/img/list;a.txt"));
    EXPECT_EQ(f.Edit("m_pResetLineEdit")->text(), QStringLiteral("4"));
    EXPECT_EQ(f.Edit("m_pCommandLineEdit")->text(), QStringLiteral("/cmd.txt"));
    // A short row only shows the form.
    f.Config.OnShowDiag({"COM1", "9"});
    EXPECT_EQ(f.Edit("m_pResetLineEdit")->text(), QStringLiteral("4"));
    EXPECT_TRUE(f.Config.isVisible());
    f.Click(&f.Config, "m_pCancelCheckBox");
    EXPECT_FALSE(f.Config.isVisible());
    EXPECT_EQ(f.Sent.count(), 0);
}

TEST(RegressionConfig, FileChoicesReplaceTheFieldAndACancelKeepsIt)
{
    ConfigForm f;
    f.Config.OnShowDiag({});
    f.Prompt.Paths = {QStringLiteral("/data/cmd.txt")};
    f.Click(&f.Config, "m_pOpenFileBtn");
    EXPECT_EQ(f.Edit("m_pCommandLineEdit")->text(), QStringLiteral("/data/cmd.txt"));
    f.Click(&f.Config, "m_pOpenFileBtn");
    EXPECT_EQ(f.Edit("m_pCommandLineEdit")->text(), QStringLiteral("/data/cmd.txt"));
    f.Prompt.Paths = {QStringLiteral("/data/images.txt")};
    f.Click(&f.Config, "m_OpenImagePath");
    EXPECT_EQ(f.Edit("m_pSerialPathLineEdit")->text(), QStringLiteral("/data/images.txt"));
    EXPECT_EQ(f.Prompt.Choosers, QStringList({"Command File", "Command File", "Image Store Path"}));
}

TEST(RegressionConfig, CycleAndHourFieldsTakeOnlyNumbers)
{
    ConfigForm f;
    struct CASE_T
    {
        const char* Edit;
        const char* Typed;
        const char* Kept;
    } const cases[] = {
        {"m_pResetLineEdit", "a1b2", "12"},
        {"m_pFresetLineEdit", "-3", "3"},
        {"m_pReaqLineEdit", "2,5h", "25"},
        {"m_pReaqLineEdit", "1.25", "1.25"},
    };
    for (const CASE_T& c : cases)
    {
        QLineEdit* p = f.Edit(c.Edit);
        p->clear();
        QTest::keyClicks(p, c.Typed);
        EXPECT_EQ(p->text(), QString::fromLatin1(c.Kept)) << c.Edit << " " << c.Typed;
    }
}
