// The debug window and the About dialog: text joined as it arrives and kept
// within bounds, the About texts in both languages on the same dialog, its
// link opened through the monitor's prompt; both rendered in both languages
// (kept under ZV_UI_SHOTS when that is set).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTextBrowser>
#include <QTextDocument>

#include "monitor/shell/about_dialog.h"
#include "monitor/shell/debug_window.h"
#include "monitor/shell/monitor_translations.h"
#include "support/scripted_prompt.h"
#include "support/window_layout.h"

namespace
{
QImage Shoot(QWidget* pWindow, const QString& sName)
{
    pWindow->show();
    QCoreApplication::processEvents();
    const QImage image = pWindow->grab().toImage();
    const QByteArray sShots = qgetenv("ZV_UI_SHOTS");
    if (!sShots.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(sShots)).filePath(sName + ".png"));
    return image;
}

QTextBrowser* DebugView(FDebugWindowDialog& window)
{
    return window.findChild<QTextBrowser*>(QStringLiteral("pDebugTxBrowser"));
}

class LanguageTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(GetParam())), 0); }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};
} // namespace

TEST(DebugWindow, TextsJoinAsTheyArriveAndTheOldestLinesGoFirst)
{
    FDebugWindowDialog window;
    QTextBrowser* pView = DebugView(window);
    ASSERT_NE(pView, nullptr);
    window.OnInsertContentToDebugWindow(QStringLiteral("a"));
    window.OnInsertContentToDebugWindow(QStringLiteral("b\n"));
    window.OnInsertContentToDebugWindow(QStringLiteral("CurrentTab COM1\n"));
    EXPECT_EQ(pView->toPlainText(), QStringLiteral("ab\nCurrentTab COM1\n"));
    // The user's cursor elsewhere does not split the text: it goes to the end.
    pView->moveCursor(QTextCursor::Start);
    window.OnInsertContentToDebugWindow(QStringLiteral("c"));
    EXPECT_TRUE(pView->toPlainText().endsWith(QStringLiteral("COM1\nc")));

    // A long run's output is bounded; the newest lines stay.
    QString sMany;
    for (int i = 0; i < FDebugWindowDialog::MAX_LINES + 500; ++i)
        sMany += QStringLiteral("line %1\n").arg(i);
    window.OnInsertContentToDebugWindow(sMany);
    EXPECT_LE(pView->document()->blockCount(), FDebugWindowDialog::MAX_LINES);
    EXPECT_TRUE(pView->toPlainText().endsWith(QStringLiteral("line %1\n").arg(FDebugWindowDialog::MAX_LINES + 499)));
    EXPECT_TRUE(pView->isReadOnly());
}

TEST(AboutDialog, ItsLinkOpensThroughThePrompt)
{
    CScriptedPrompt prompt;
    CZvAboutDiag about;
    EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
    auto* pCredit = about.findChild<QLabel*>(QStringLiteral("label_2"));
    ASSERT_NE(pCredit, nullptr);
    EXPECT_TRUE(pCredit->text().contains(QLatin1String(CZvAboutDiag::MAKER_URL)));
    emit pCredit->linkActivated(QLatin1String(CZvAboutDiag::MAKER_URL));
    ASSERT_EQ(prompt.OpenedUrls.size(), 1);
    EXPECT_EQ(prompt.OpenedUrls[0], QUrl(QLatin1String(CZvAboutDiag::MAKER_URL)));
}

TEST_P(LanguageTest, DebugWindowAndAboutShowTheirTexts)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    FDebugWindowDialog window;
    window.OnInsertContentToDebugWindow(QStringLiteral("CurrentTab COM1\nScript: log version\n"));
    EXPECT_EQ(window.windowTitle(), sLanguage == "zh" ? QStringLiteral("调试") : QStringLiteral("Debug"));
    EXPECT_TRUE(HasOneGlyphWidth(DebugView(window)->font()));
    EXPECT_FALSE(Shoot(&window, "debug_window_" + sLanguage).isNull());

    CZvAboutDiag about;
    EXPECT_EQ(about.windowTitle(), sLanguage == "zh" ? QStringLiteral("关于") : QStringLiteral("About"));
    auto* pCredit = about.findChild<QLabel*>(QStringLiteral("label_2"));
    const QString sCredit = pCredit->text();
    // The credit fits its label.
    EXPECT_LE(pCredit->heightForWidth(pCredit->width()), pCredit->height());
    EXPECT_FALSE(Shoot(&about, "about_" + sLanguage).isNull());

    // The other language on the same dialog.
    InstallMonitorTranslations(sLanguage == "zh" ? QStringLiteral("en") : QStringLiteral("zh"));
    about.OnLanguageUpdate();
    EXPECT_NE(about.windowTitle(), sLanguage == "zh" ? QStringLiteral("关于") : QStringLiteral("About"));
    EXPECT_NE(pCredit->text(), sCredit);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, ::testing::Values("en", "zh"));
