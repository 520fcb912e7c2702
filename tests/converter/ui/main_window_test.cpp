// The main window: pages, menus, file choosers, the enable rules of page 1,
// proposed output names, Clear, Help, About, and closing while a job runs.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QUrl>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstring>

#include "conversion_test_support.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/work_thread.h"
#include "converter/ui/about_moxelin_dialog.h"
#include "converter/ui/moxelin_main_window.h"
#include "zv_version.h"

namespace
{
class MainWindowTest : public ConverterUiTest
{
protected:
    void SetUp() override
    {
        ConverterUiTest::SetUp();
        m_pWindow = std::make_unique<CMoxelinMainWindow>();
        DeliverLanguageChange();
    }
    void TearDown() override
    {
        m_pWindow.reset();
        ConverterUiTest::TearDown();
    }
    template <typename T> T* W(const char* pName) { return Find<T>(m_pWindow.get(), pName); }
    void Invoke(const char* pSlot) { ASSERT_TRUE(QMetaObject::invokeMethod(m_pWindow.get(), pSlot)); }
    QString MakeFile(const QString& sRelative)
    {
        const QString sPath = m_ConfigDir.filePath(sRelative);
        QFile file(sPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#RANGEA,COM1,0,0.0,FINESTEERING,2100,0.000,0,0,0;0*00000000\r\n");
        return sPath;
    }

    std::unique_ptr<CMoxelinMainWindow> m_pWindow;
};

// Whether a file chooser filter is "Name(pattern pattern ...)" entries
// separated by ";;", with blank-separated glob patterns.
bool FilterWellFormed(const QString& sFilter)
{
    static const QRegularExpression entry("^[A-Za-z]+\\(([^();]+)\\)$");
    for (const QString& sEntry : sFilter.split(";;"))
    {
        const QRegularExpressionMatch m = entry.match(sEntry);
        if (!m.hasMatch())
            return false;
        for (const QString& sPattern : m.captured(1).split(' '))
            if (sPattern.isEmpty() || sPattern.contains(';'))
                return false;
    }
    return true;
}

// Whether the first entry of the filter (the one the chooser shows) matches.
bool FirstEntryMatches(const QString& sFilter, const QString& sName)
{
    const QString sEntry = sFilter.section(";;", 0, 0);
    const QString sPatterns = sEntry.section('(', 1).chopped(1);
    for (const QString& sPattern : sPatterns.split(' '))
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(sPattern)).match(sName).hasMatch())
            return true;
    return false;
}
} // namespace

TEST_F(MainWindowTest, StartsOnTheFirstOfThreePagesWithItsMenus)
{
    auto* pTabs = W<QTabWidget>("RangeRnxTab");
    ASSERT_EQ(pTabs->count(), 3);
    EXPECT_EQ(pTabs->currentIndex(), 0);
    EXPECT_EQ(pTabs->tabText(0), "Log Trans Rinex ");
    EXPECT_EQ(pTabs->tabText(1), "Rinex Trans Log  ");
    EXPECT_EQ(pTabs->tabText(2), "Log Trans Log");
    QStringList menus;
    for (QAction* pAction : m_pWindow->menuBar()->actions())
        menus << pAction->text();
    EXPECT_EQ(menus, QStringList({"FILE", "LANGUAGE", "HELP"}));
    // The title and the About box show the one version the build sets.
    EXPECT_EQ(m_pWindow->windowTitle(), QString("Halvorne Moxelin (Ver:%1)").arg(ZV_VERSION_TEXT));

    EXPECT_EQ(W<QComboBox>("RnxVersion")->currentText(), "3.01");
    EXPECT_EQ(W<QComboBox>("Range2RinexMsgID")->currentText(), "RANGE");
    for (const char* pBox : {"ObsTypeC", "ObsTypeL", "ObsTypeD", "ObsTypeS", "GPSValidFlag", "GLOValidFlag",
                             "GALValidFlag", "BDSValidFlag", "QzssValidFlag"})
        EXPECT_TRUE(W<QCheckBox>(pBox)->isChecked()) << pBox;
    for (const char* pBox : {"ObsTypeI", "ObsTypeX"})
        EXPECT_FALSE(W<QCheckBox>(pBox)->isEnabled()) << pBox;
    for (const char* pRow : {"Range2RnxGALNavFilePath", "Range2RnxBDSNavFilePath", "Range2RnxQZSNavFilePath"})
        EXPECT_TRUE(W<QLineEdit>(pRow)->isEnabled()) << pRow;
    for (const char* pRow : {"Rnx2RangeGPSNavFilePath", "Rnx2RangeBDSNavFilePath"})
        EXPECT_FALSE(W<QLineEdit>(pRow)->isEnabled()) << pRow;
    // Nothing can be started before a source is chosen, from a button or a menu.
    for (const char* pButton : {"Range2RnxMoxelinBtn", "Rnx2RangeMoxelinBtn", "Log2LogMoxelinBtn"})
        EXPECT_FALSE(W<QPushButton>(pButton)->isEnabled()) << pButton;
    for (const char* pAction : {"actionLog_Trans_Rinex", "actionRinex_Trans_Log", "actionLog_Trans_Log"})
        EXPECT_FALSE(W<QAction>(pAction)->isEnabled()) << pAction;
    EXPECT_TRUE(W<QRadioButton>("LogTransBinexFlag")->isHidden());
    EXPECT_FALSE(W<QRadioButton>("BinexTransLogFlag")->isHidden()) << "BINEX records are read";
    EXPECT_FALSE(W<QWidget>("Log2LogOutputFormatGroup")->isEnabled());
    W<QRadioButton>("LogTransLogFlag")->setChecked(true);
    EXPECT_TRUE(W<QWidget>("Log2LogOutputFormatGroup")->isEnabled());
}

TEST_F(MainWindowTest, FileChoosersOpenOrSaveWithFiltersThatMatchWhatTheyName)
{
    struct Case
    {
        const char* pSlot;
        const char* pKind;
        const char* pField;
        const char* pMatches;
        const char* pOther;
    };
    const Case cases[] = {
        {"Range2RnxOpenBtn_Click", "open", "Range2RnxSrcFilePath", "site.log", "site.21O"},
        {"Range2RnxObsFileSaveBtn_Click", "save", "Range2RnxObsFilePath", "site_rnx3.21o", "site.21N"},
        {"Range2RnxGPSNavFileSaveBtn_Click", "save", "Range2RnxGPSNavFilePath", "site_rnx3.21N", "site.21O"},
        {"Range2RnxGLONavFileSaveBtn_Click", "save", "Range2RnxGLONavFilePath", "site_rnx3.21g", "site.21N"},
        {"Range2RnxGALNavFileSaveBtn_Click", "save", "Range2RnxGALNavFilePath", "site_rnx3.21L", "site.21N"},
        {"Range2RnxBDSNavFileSaveBtn_Click", "save", "Range2RnxBDSNavFilePath", "site_rnx3.21C", "site.21N"},
        {"Range2RnxQZSNavFileSaveBtn_Click", "save", "Range2RnxQZSNavFilePath", "site_rnx3.21J", "site.21N"},
        {"Rnx2RangeOpenBtn_Click", "open", "Rnx2RangeSrcFilePath", "abcd0010.21o", "abcd.log"},
        {"Rnx2RangeOpenBtn_Click", "open", "Rnx2RangeSrcFilePath", "site_rnx3.21G", "site.21X"},
        {"Rnx2RangeGPSNavOpenBtn_Click", "open", "Rnx2RangeGPSNavFilePath", "abcd0010.21n", "abcd.21o"},
        {"Rnx2RangeGLONavOpenBtn_Click", "open", "Rnx2RangeGLONavFilePath", "abcd0010.21G", "abcd.21o"},
        {"Rnx2RangeGALNavOpenBtn_Click", "open", "Rnx2RangeGALNavFilePath", "abcd0010.21l", "abcd.21o"},
        {"Rnx2RangeBDSNavOpenBtn_Click", "open", "Rnx2RangeBDSNavFilePath", "abcd0010.21c", "abcd.21o"},
        {"Rnx2RangeOutputFileSaveBtn_Click", "save", "Rnx2RangeOutputFilePath", "Range.log", "Range.21O"},
        {"Log2LogSrcFileOpenBtn_Click", "open", "Log2LogSrcFilePath", "a.LOG", "a.21O"},
        {"Log2LogOutputFileSaveBtn_Click", "save", "Log2LogOutputFilePath", "a.log", "a.21O"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pSlot);
        m_Prompt.m_Calls.clear();
        m_Prompt.m_Answers = {"/data/chosen.file"};
        Invoke(c.pSlot);
        ASSERT_EQ(m_Prompt.m_Calls.size(), 1u);
        const CFakePrompt::Call& call = m_Prompt.m_Calls[0];
        EXPECT_EQ(call.sKind, c.pKind);
        EXPECT_TRUE(FilterWellFormed(call.sText)) << call.sText.toStdString();
        EXPECT_TRUE(FirstEntryMatches(call.sText, c.pMatches)) << call.sText.toStdString();
        EXPECT_FALSE(FirstEntryMatches(call.sText, c.pOther)) << call.sText.toStdString();
        EXPECT_EQ(W<QLineEdit>(c.pField)->text(), "/data/chosen.file");

        // A cancelled chooser leaves the field as it was.
        m_Prompt.m_Answers = {QString()};
        Invoke(c.pSlot);
        EXPECT_EQ(W<QLineEdit>(c.pField)->text(), "/data/chosen.file");
    }

    // The buttons and menu entries reach the same choosers.
    m_Prompt.m_Calls.clear();
    W<QPushButton>("Range2RnxObsFileSaveBtn")->click();
    W<QAction>("actionOpen_Rinex_Obs_File")->trigger();
    ASSERT_EQ(m_Prompt.m_Calls.size(), 2u);
    EXPECT_EQ(m_Prompt.m_Calls[0].sKind, "save");
    EXPECT_EQ(m_Prompt.m_Calls[1].sKind, "open");
}

TEST_F(MainWindowTest, RinexVersionDecidesWhichSystemsAndRowsAreOpen)
{
    QSignalSpy version2(m_pWindow.get(), &CMoxelinMainWindow::Signal_RinexVersion2);
    QSignalSpy version3(m_pWindow.get(), &CMoxelinMainWindow::Signal_RinexVersion3);
    auto* pVersion = W<QComboBox>("RnxVersion");
    auto* pMixed = W<QCheckBox>("Range2RnxMixedNavEnable");
    struct Case
    {
        const char* pVersion;
        bool bGal;
        bool bBdsQzss;
        bool bVersion3;
        bool bMixed; // RINEX 3 only: RINEX 2 has no mixed navigation file
    };
    const Case cases[] = {{"3.04", true, true, true, true},    {"2.10", false, false, false, false},
                          {"2.11", true, false, false, false}, {"2.12", true, false, false, false},
                          {"3.02", true, true, true, true},    {"2.XX", true, true, true, false},
                          {"3.04", true, true, true, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pVersion);
        version2.clear();
        version3.clear();
        // A mixed file chosen before a 2.xx version is chosen goes.
        pMixed->setChecked(pMixed->isEnabled() && !c.bMixed);
        W<QLineEdit>("Range2RnxGPSNavFilePath")->setText(pMixed->isChecked() ? "a.24M" : "a.24N");
        pVersion->setCurrentText(c.pVersion);
        EXPECT_EQ(pMixed->isEnabled(), c.bMixed);
        EXPECT_EQ(pMixed->toolTip().isEmpty(), c.bMixed);
        if (!c.bMixed)
        {
            EXPECT_FALSE(pMixed->isChecked());
            EXPECT_EQ(m_pWindow->WorkThread()->m_bMixedNav, 0u);
            EXPECT_EQ(W<QLineEdit>("Range2RnxGPSNavFilePath")->text(), "a.24N");
            EXPECT_EQ(W<QLabel>("GPSNavFileLabel")->text(), "GPS Nav File");
            EXPECT_TRUE(W<QLineEdit>("Range2RnxGLONavFilePath")->isEnabled());
        }
        EXPECT_EQ(W<QCheckBox>("GALValidFlag")->isChecked(), c.bGal);
        EXPECT_EQ(W<QCheckBox>("GALValidFlag")->isEnabled(), c.bGal);
        EXPECT_EQ(W<QLineEdit>("Range2RnxGALNavFilePath")->isEnabled(), c.bGal);
        for (const char* pBox : {"BDSValidFlag", "QzssValidFlag"})
        {
            EXPECT_EQ(W<QCheckBox>(pBox)->isChecked(), c.bBdsQzss) << pBox;
            EXPECT_EQ(W<QCheckBox>(pBox)->isEnabled(), c.bBdsQzss) << pBox;
        }
        EXPECT_EQ(W<QPushButton>("Range2RnxBDSNavFileSaveBtn")->isEnabled(), c.bBdsQzss);
        EXPECT_EQ(W<QLineEdit>("Range2RnxQZSNavFilePath")->isEnabled(), c.bBdsQzss);
        EXPECT_EQ(version3.count(), c.bVersion3 ? 1 : 0);
        EXPECT_EQ(version2.count(), c.bVersion3 ? 0 : 1);
    }

    // With one mixed navigation file only the GPS row stays open, whatever
    // the system boxes do; without it each row follows its box.
    W<QCheckBox>("Range2RnxMixedNavEnable")->setChecked(true);
    W<QCheckBox>("GALValidFlag")->setChecked(false);
    W<QCheckBox>("GALValidFlag")->setChecked(true);
    for (const char* pRow :
         {"Range2RnxGLONavFilePath", "Range2RnxGALNavFilePath", "Range2RnxBDSNavFilePath", "Range2RnxQZSNavFilePath"})
        EXPECT_FALSE(W<QLineEdit>(pRow)->isEnabled()) << pRow;
    EXPECT_TRUE(W<QLineEdit>("Range2RnxGPSNavFilePath")->isEnabled());
    W<QCheckBox>("GLOValidFlag")->setChecked(false);
    W<QCheckBox>("Range2RnxMixedNavEnable")->setChecked(false);
    EXPECT_FALSE(W<QLineEdit>("Range2RnxGLONavFilePath")->isEnabled());
    EXPECT_TRUE(W<QLineEdit>("Range2RnxGALNavFilePath")->isEnabled());
    W<QCheckBox>("GPSValidFlag")->setChecked(false);
    EXPECT_FALSE(W<QPushButton>("Range2RnxGPSNavFileSaveBtn")->isEnabled());
}

TEST_F(MainWindowTest, MixedNavigationRenamesTheGpsRow)
{
    auto* pGps = W<QLineEdit>("Range2RnxGPSNavFilePath");
    auto* pMixed = W<QCheckBox>("Range2RnxMixedNavEnable");
    pGps->setText("a.21N");
    pMixed->setChecked(true);
    EXPECT_EQ(pGps->text(), "a.21M");
    EXPECT_EQ(W<QLabel>("GPSNavFileLabel")->text(), "Nav File");
    EXPECT_EQ(m_pWindow->WorkThread()->m_bMixedNav, 1u);
    pMixed->setChecked(false);
    EXPECT_EQ(pGps->text(), "a.21N");
    EXPECT_EQ(W<QLabel>("GPSNavFileLabel")->text(), "GPS Nav File");
    EXPECT_EQ(m_pWindow->WorkThread()->m_bMixedNav, 0u);
    pGps->clear();
    pMixed->setChecked(true);
    EXPECT_EQ(pGps->text(), "");
}

TEST_F(MainWindowTest, RinexOutputNamesCarryATwoDigitYear)
{
    struct Case
    {
        const char* pSource;
        int nYear;
        const char* pVersion;
        const char* pObsName;
    };
    const Case cases[] = {
        {"D:/data/site.log", 2021, "3.04", "D:/data/site_rnx3.21O"},
        {"/data/site.log", 2005, "3.01", "/data/site_rnx3.05O"},
        {"/data/site.log", 2000, "2.11", "/data/site_rnx2.00O"},
        {"/data/site.log", 2021, "2.XX", "/data/site_rnx2.21O"},
        {"D:\\data\\site.log", 2021, "3.02", "D:/data/site_rnx3.21O"},
        // Only the file name's extension goes; folders keep their dots.
        {"/data/v1.2/site", 2021, "3.02", "/data/v1.2/site_rnx3.21O"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pSource);
        W<QComboBox>("RnxVersion")->setCurrentText(c.pVersion);
        W<QLineEdit>("Range2RnxSrcFilePath")->setText(c.pSource);
        m_pWindow->JobContext().GetRinexObsHeader()->FirstObs.nYear = c.nYear;
        m_pWindow->SetRinexOutputFileNames();
        QCoreApplication::processEvents();
        const QString sObs = c.pObsName;
        const QString sNav = sObs.chopped(1);
        EXPECT_EQ(W<QLineEdit>("Range2RnxObsFilePath")->text(), sObs);
        EXPECT_EQ(W<QLineEdit>("Range2RnxGPSNavFilePath")->text(), sNav + "N");
        EXPECT_EQ(W<QLineEdit>("Range2RnxGLONavFilePath")->text(), sNav + "G");
        EXPECT_EQ(W<QLineEdit>("Range2RnxGALNavFilePath")->text(), sNav + "L");
        EXPECT_EQ(W<QLineEdit>("Range2RnxBDSNavFilePath")->text(), sNav + "C");
        EXPECT_EQ(W<QLineEdit>("Range2RnxQZSNavFilePath")->text(), sNav + "J");
        EXPECT_FALSE(sObs.contains(' '));
        EXPECT_TRUE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());
        EXPECT_TRUE(W<QAction>("actionLog_Trans_Rinex")->isEnabled());
    }
    W<QCheckBox>("Range2RnxMixedNavEnable")->setChecked(true);
    m_pWindow->SetRinexOutputFileNames();
    EXPECT_TRUE(W<QLineEdit>("Range2RnxGPSNavFilePath")->text().endsWith(".21M"));
}

TEST_F(MainWindowTest, LogAndRinexSourcesProposeTheirOutputNames)
{
    const QString sLog = MakeFile("obs.log");
    const QString sStem = sLog.chopped(4);
    struct Case
    {
        const char* pKind;
        bool bBinary;
        const char* pSuffix;
    };
    const Case cases[] = {{"Range2RangecmpFlag", false, ".Rangecmp"},   {"Rangecmp2RangeFlag", false, ".range"},
                          {"Range2Rangecmp4Flag", false, ".Rangecmp4"}, {"Rangecmp42RangeFlag", false, ".range"},
                          {"LogTransLogFlag", false, ".Asc"},           {"LogTransLogFlag", true, ".Bin"}};
    W<QLineEdit>("Log2LogSrcFilePath")->setText(sLog);
    EXPECT_TRUE(W<QPushButton>("Log2LogMoxelinBtn")->isEnabled());
    EXPECT_TRUE(W<QAction>("actionLog_Trans_Log")->isEnabled());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pKind);
        W<QRadioButton>(c.pKind)->click();
        W<QRadioButton>(c.bBinary ? "LogOutputBinaryFlag" : "LogOutputASCIIFlag")->click();
        EXPECT_EQ(W<QLineEdit>("Log2LogOutputFilePath")->text(), sStem + c.pSuffix);
    }

    const QString sRinex = MakeFile("abcd0010.21o");
    W<QLineEdit>("Rnx2RangeSrcFilePath")->setText(sRinex);
    EXPECT_EQ(W<QLineEdit>("Rnx2RangeOutputFilePath")->text(), m_ConfigDir.path() + "/Range.log");
    EXPECT_TRUE(W<QPushButton>("Rnx2RangeMoxelinBtn")->isEnabled());

    // A folder or a missing file is no source.
    W<QLineEdit>("Rnx2RangeOutputFilePath")->clear();
    W<QLineEdit>("Rnx2RangeSrcFilePath")->setText(m_ConfigDir.path());
    W<QLineEdit>("Rnx2RangeSrcFilePath")->setText(m_ConfigDir.filePath("missing.21o"));
    EXPECT_EQ(W<QLineEdit>("Rnx2RangeOutputFilePath")->text(), "");
}

TEST_F(MainWindowTest, ClearEmptiesEveryFileFieldAndStopsEveryStart)
{
    const QString sLog = MakeFile("obs.log");
    W<QLineEdit>("Log2LogSrcFilePath")->setText(sLog);
    m_pWindow->JobContext().GetRinexObsHeader()->FirstObs.nYear = 2021;
    W<QLineEdit>("Range2RnxSrcFilePath")->setText("/data/site.log");
    m_pWindow->SetRinexOutputFileNames();
    QCoreApplication::processEvents();
    W<QAction>("actionClear")->trigger();
    for (QLineEdit* pField : m_pWindow->findChildren<QLineEdit*>())
    {
        if (pField->window() != m_pWindow.get())
            continue;
        EXPECT_EQ(pField->text(), "") << pField->objectName().toStdString();
    }
    for (const char* pButton : {"Range2RnxMoxelinBtn", "Rnx2RangeMoxelinBtn", "Log2LogMoxelinBtn"})
        EXPECT_FALSE(W<QPushButton>(pButton)->isEnabled()) << pButton;
    for (const char* pAction : {"actionLog_Trans_Rinex", "actionRinex_Trans_Log", "actionLog_Trans_Log"})
        EXPECT_FALSE(W<QAction>(pAction)->isEnabled()) << pAction;
}

TEST_F(MainWindowTest, SourceWithoutTimesWarnsAndEmptiesPageOne)
{
    W<QLineEdit>("Range2RnxSrcFilePath")->setText("/data/site.log");
    W<QLineEdit>("Range2RnxObsFilePath")->setText("/data/site_rnx3.21O");
    emit m_pWindow->SignalOpenFile(-2);
    ASSERT_EQ(m_Prompt.m_Calls.size(), 1u);
    EXPECT_EQ(m_Prompt.m_Calls[0].sTitle, "Warning");
    EXPECT_EQ(m_Prompt.m_Calls[0].sText, "Can not get start and end time!\nplease enter again!!!");
    EXPECT_EQ(m_Prompt.m_Calls[0].eIcon, QMessageBox::Warning);
    EXPECT_EQ(W<QLineEdit>("Range2RnxSrcFilePath")->text(), "");
    EXPECT_EQ(W<QLineEdit>("Range2RnxObsFilePath")->text(), "");
    EXPECT_FALSE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());
}

// "View Help" hands the help page beside the program to the desktop: it
// tells what each page does, with its formats and the names it proposes; the
// Chinese interface opens the Chinese page. A page the desktop cannot open,
// or one that is missing, is reported.
TEST_F(MainWindowTest, HelpAndAboutComeFromTheHelpMenu)
{
    for (const char* pLanguage : {"en", "zh"})
    {
        SCOPED_TRACE(pLanguage);
        SwitchLanguage(m_pWindow.get(), pLanguage);
        m_Prompt.m_Calls.clear();
        W<QAction>("ViewHelp")->trigger();
        ASSERT_EQ(m_Prompt.m_Calls.size(), 1u);
        EXPECT_EQ(m_Prompt.m_Calls[0].sKind, "url");
        const QUrl url(m_Prompt.m_Calls[0].sText);
        ASSERT_TRUE(url.isLocalFile());
        const QFileInfo page(url.toLocalFile());
        EXPECT_EQ(page.fileName(), QString(pLanguage) == "zh" ? "MoxelinHelp_zh.html" : "MoxelinHelp.html");
        EXPECT_EQ(page.absolutePath(), QCoreApplication::applicationDirPath());
        QFile file(page.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString sText = QString::fromUtf8(file.readAll());
        for (const char* pMention : {"Log Trans Rinex", "Rinex Trans Log", "Log Trans Log", "_rnx3.21O", "21N",
                                     "Range.log", ".Rangecmp4", ".Asc", ".Bin", "Binex to log", "GPSEPHEM.log",
                                     "MoxelinLog.log"})
            EXPECT_TRUE(sText.contains(pMention)) << pMention;
    }
    SwitchLanguage(m_pWindow.get(), "en");
    m_Prompt.m_Calls.clear();
    m_Prompt.m_bDesktopOpens = false;
    W<QAction>("ViewHelp")->trigger();
    ASSERT_EQ(m_Prompt.m_Calls.size(), 2u);
    EXPECT_EQ(m_Prompt.m_Calls[1].sKind, "message");
    EXPECT_EQ(m_Prompt.m_Calls[1].eIcon, QMessageBox::Warning);
    EXPECT_TRUE(m_Prompt.m_Calls[1].sText.startsWith("Can not open the help document:\n"));
    EXPECT_TRUE(m_Prompt.m_Calls[1].sText.endsWith("/MoxelinHelp.html"));
    m_Prompt.m_Calls.clear();

    W<QAction>("actionAbout_Moxelin")->trigger();
    CAboutMoxelinDialog* pAbout = m_pWindow->AboutDialog();
    EXPECT_TRUE(pAbout->isVisible());
    EXPECT_FALSE(pAbout->isModal());
    EXPECT_EQ(pAbout->windowTitle(), "About Moxelin");
    EXPECT_EQ(Find<QLabel>(pAbout, "AboutProgramName")->text(), "Halvorne Moxelin");
    EXPECT_EQ(Find<QLabel>(pAbout, "AboutVersion")->text(), QString("Version %1").arg(ZV_VERSION_TEXT));
    Find<QPushButton>(pAbout, "AboutOKBtn")->click();
    EXPECT_FALSE(pAbout->isVisible());
    W<QAction>("actionAbout_Moxelin")->trigger();
    EXPECT_EQ(m_pWindow->AboutDialog(), pAbout);
    EXPECT_TRUE(pAbout->isVisible());
}

// Closing the program while a job runs stops the worker and waits for it;
// the thread object is never destroyed while it runs.
// The help pages stand beside the program in a build tree and in the data
// folder of an installed program (ZV_MOXELIN_HELP_DIR from its folder): the
// page beside the program is preferred, the Chinese interface takes the
// Chinese page where there is one, and with no page at all the installed
// English page is named for the warning.
TEST(MoxelinHelpDocument, IsFoundBesideTheProgramOrWhereItIsInstalled)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QDir root(prefix.path());
    const QString sBin = root.filePath("bin");
    const QString sShare = QDir::cleanPath(sBin + "/" + ZV_MOXELIN_HELP_DIR);
    ASSERT_TRUE(sShare.startsWith(prefix.path() + "/")) << sShare.toStdString();
    const struct
    {
        QStringList pages; // relative to the prefix
        const char* pLanguage;
        QString sExpected;
    } cases[] = {
        {{}, "en", sShare + "/MoxelinHelp.html"},
        {{}, "zh", sShare + "/MoxelinHelp.html"},
        {{"bin/MoxelinHelp.html", "bin/MoxelinHelp_zh.html"}, "zh", sBin + "/MoxelinHelp_zh.html"},
        {{"share/MoxelinHelp.html", "share/MoxelinHelp_zh.html"}, "en", sShare + "/MoxelinHelp.html"},
        {{"share/MoxelinHelp.html", "share/MoxelinHelp_zh.html"}, "zh", sShare + "/MoxelinHelp_zh.html"},
        {{"share/MoxelinHelp.html"}, "zh", sShare + "/MoxelinHelp.html"},
        {{"bin/MoxelinHelp.html", "share/MoxelinHelp.html", "share/MoxelinHelp_zh.html"}, "en",
         sBin + "/MoxelinHelp.html"},
        {{"bin/MoxelinHelp.html", "share/MoxelinHelp.html", "share/MoxelinHelp_zh.html"}, "zh",
         sBin + "/MoxelinHelp.html"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE((c.pages.join(' ') + " " + c.pLanguage).toStdString());
        QDir(sBin).removeRecursively();
        QDir(sShare).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(sBin) && QDir().mkpath(sShare));
        for (const QString& sPage : c.pages)
        {
            QString sFile = sPage;
            sFile.replace(QRegularExpression("^share/"), sShare + "/").replace(QRegularExpression("^bin/"), sBin + "/");
            QFile file(sFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(CMoxelinMainWindow::HelpDocumentPath(sBin, c.pLanguage), c.sExpected);
    }
}

TEST_F(ConverterUiTest, ClosingDuringAJobStopsAndWaitsForTheWorker)
{
    for (bool bByDestructor : {false, true})
    {
        SCOPED_TRACE(bByDestructor ? "destroyed" : "closed");
        auto* pWorker = new CBlockingJobWorker;
        auto pWindow = std::make_unique<CMoxelinMainWindow>(nullptr, pWorker);
        pWindow->show();
        pWorker->start();
        emit pWindow->MoxelinLog2LogStart();
        for (int i = 0; i < 5000 && !pWorker->m_bRunning; ++i)
            QThread::msleep(1);
        ASSERT_TRUE(pWorker->m_bRunning);
        if (!bByDestructor)
        {
            Find<QAction>(pWindow.get(), "actionExit")->trigger();
            EXPECT_FALSE(pWindow->isVisible());
            EXPECT_TRUE(pWorker->isFinished());
        }
        pWindow.reset();
    }
}
