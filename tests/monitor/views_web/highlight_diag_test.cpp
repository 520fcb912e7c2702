// The help pages window: the page of the user's language, reloaded when the
// language changes while it is open; a view only while it is open; every
// menu entry and link of both pages works without a network.
#include <QCloseEvent>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "monitor/shell/monitor_translations.h"
#include "monitor/views/web/highlight_diag.h"
#include "web_test_util.h"

namespace
{
class HelpWindow : public ::testing::Test
{
protected:
    // Waits until the view shows the page at Url.
    bool Shows(const QUrl& Url)
    {
        return WaitUntil(
            [&]
            {
                return m_Window.View() != nullptr && m_Window.View()->url() == Url &&
                       RunScript(m_Window.View(),
                                 QStringLiteral("document.readyState === 'complete' && typeof ZvShowPart")) ==
                           QStringLiteral("function");
            },
            kWebWaitMs);
    }
    // The number of the part shown, and of the active menu entry.
    QString Shown()
    {
        return RunScript(
                   m_Window.View(),
                   QStringLiteral("var shown = Array.from(document.querySelectorAll('.part'))"
                                  ".filter(function (p) { return p.style.display === 'block'; });"
                                  "var active = document.querySelectorAll('#menu a.active');"
                                  "shown.map(function (p) { return p.id; }).join() + '/' + "
                                  "Array.from(active).map(function (a) { return a.getAttribute('href'); }).join()"))
            .toString();
    }

    QWidget m_Main;
    QFHighLightDiag m_Window{&m_Main};
};

const QUrl kEnglish(QStringLiteral("qrc:/Web/HighLight2/QHighLight_en.html"));
const QUrl kChinese(QStringLiteral("qrc:/Web/HighLight2/QHighLight_zh.html"));
} // namespace

TEST_F(HelpWindow, OpensThePageOfTheLanguageAndFollowsItWhileOpen)
{
    EXPECT_EQ(m_Window.View(), nullptr);
    EXPECT_EQ(m_Window.windowTitle(), QStringLiteral("Highlight"));
    EXPECT_EQ(m_Window.size(), QSize(1168, 802));

    // Before any language is set: English.
    m_Window.OnShowDialog();
    ASSERT_TRUE(Shows(kEnglish));
    m_Window.OnLanguageUpdate(QStringLiteral("zh"));
    EXPECT_TRUE(Shows(kChinese));
    m_Window.OnLanguageUpdate(QStringLiteral("fr"));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Window.View()->url(), kChinese);

    // Closed, the view goes; the next opening shows the language set meanwhile, from its first part.
    RunScript(m_Window.View(), QStringLiteral("ZvShowPart(4)"));
    QPointer<QWebEngineView> pView = m_Window.View();
    m_Window.close();
    EXPECT_EQ(m_Window.View(), nullptr);
    EXPECT_TRUE(pView.isNull());
    m_Window.OnLanguageUpdate(QStringLiteral("en"));
    m_Window.OnShowDialog();
    ASSERT_TRUE(Shows(kEnglish));
    EXPECT_EQ(Shown(), QStringLiteral("part1/#part1"));

    // Escape hides the dialog: the view goes as well.
    m_Window.reject();
    EXPECT_EQ(m_Window.View(), nullptr);

    // The page area follows the window, 10 pixels short each way.
    m_Window.OnShowDialog();
    m_Window.resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Window.findChild<QWidget*>(QStringLiteral("HighLightWidget"))->size(), QSize(590, 390));
}

class HelpPages : public HelpWindow, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(HelpPages, EveryEntryShowsItsPartAndEveryLinkLeadsSomewhereOffline)
{
    const QString sLanguage = QLatin1String(GetParam());
    InstallMonitorTranslations(sLanguage);
    m_Window.OnLanguageUpdate(sLanguage);
    m_Window.OnShowDialog();
    // Small enough that a part scrolls.
    m_Window.resize(640, 360);
    ASSERT_TRUE(Shows(QFHighLightDiag::PageUrl(sLanguage)));
    QWebEngineView* pView = m_Window.View();
    EXPECT_EQ(Shown(), QStringLiteral("part1/#part1"));

    // Nine entries, each a click away from its part, shown from its top.
    ASSERT_EQ(RunScript(pView, QStringLiteral("document.querySelectorAll('#menu a').length")).toInt(), 9);
    for (int k = 1; k <= 9; ++k)
    {
        RunScript(pView, QStringLiteral("var content = document.getElementById('content'); content.scrollTop = 500; "
                                        "document.querySelectorAll('#menu a')[%1].click()")
                             .arg(k - 1));
        EXPECT_EQ(Shown(), QStringLiteral("part%1/#part%1").arg(k));
        EXPECT_EQ(RunScript(pView, QStringLiteral("document.getElementById('content').scrollTop")).toInt(), 0);
    }
    // A link inside a part leads to the part it names.
    RunScript(pView, QStringLiteral("document.querySelector('#part7 a[href=\"#part9\"]').click()"));
    EXPECT_EQ(Shown(), QStringLiteral("part9/#part9"));

    // Every address in the page is a part of it or a file beside it in the program.
    QFile page(QStringLiteral(":/Web/HighLight2/QHighLight_%1.html").arg(sLanguage));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString sHtml = QString::fromUtf8(page.readAll());
    int nLinks = 0;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("(?:href|src)=\"([^\"]*)\"")).globalMatch(sHtml);
    while (it.hasNext())
    {
        const QString sLink = it.next().captured(1);
        ++nLinks;
        if (sLink.startsWith(QLatin1Char('#')))
            EXPECT_TRUE(sHtml.contains(QStringLiteral("id=\"%1\"").arg(sLink.mid(1)))) << qPrintable(sLink);
        else
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/Web/HighLight2/") + sLink)) << qPrintable(sLink);
    }
    EXPECT_GT(nLinks, 11);
    EXPECT_TRUE(
        WaitForScript(pView, QStringLiteral("document.images.length > 0 && Array.from(document.images)"
                                            ".every(function (i) { return i.complete && i.naturalWidth > 0; })")));
    // The style sheet applied: the menu is a column of its own.
    EXPECT_EQ(RunScript(pView, QStringLiteral("getComputedStyle(document.getElementById('menu')).display + ' ' + "
                                              "getComputedStyle(document.getElementById('page')).display"))
                  .toString(),
              QStringLiteral("block flex"));

    // Looked at in its own size: the menu's column reaches the bottom once the page is drawn anew.
    m_Window.resize(1168, 802);
    RunScript(pView, QStringLiteral("ZvShowPart(9)"));
    EXPECT_TRUE(WaitUntil([&] { return Picture(pView).pixelColor(10, 770) == QColor(0xf2, 0xf4, 0xf7); }, kWebWaitMs));
    m_Window.grab().toImage().save(ShotPath(QStringLiteral("help_window_") + sLanguage));
    InstallMonitorTranslations(QStringLiteral("en"));
}

INSTANTIATE_TEST_SUITE_P(Languages, HelpPages, ::testing::Values("en", "zh"));
