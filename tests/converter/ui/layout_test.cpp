// Every window at its default size, in both languages: rendered to an image,
// and no label, button, group title, combo box or tab shows less than its text
// needs.
#include <QAction>
#include <QMenu>
#include <QTabWidget>

#include "converter/ui/about_moxelin_dialog.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "converter/ui/sample_extract_window.h"
#include "support/window_layout.h"
#include "window_test_support.h"

namespace
{
class LayoutTest : public ConverterUiTest, public ::testing::WithParamInterface<const char*>
{
};
} // namespace

TEST_P(LayoutTest, EveryWindowShowsItsTextsUncut)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    if (sLanguage == "zh")
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    CMoxelinMainWindow window;
    DeliverLanguageChange();
    ASSERT_EQ(window.CurrentLanguage(), sLanguage);

    auto* pTabs = Find<QTabWidget>(&window, "RangeRnxTab");
    for (int nPage = 0; nPage < pTabs->count(); ++nPage)
    {
        pTabs->setCurrentIndex(nPage);
        EXPECT_EQ(RenderAndCheck(&window, QString("main_%1_page%2").arg(sLanguage).arg(nPage + 1)), "");
    }
    // Mixed navigation relabels the GPS row with a text of its own.
    pTabs->setCurrentIndex(0);
    Find<QAbstractButton>(&window, "Range2RnxMixedNavEnable")->setChecked(true);
    EXPECT_EQ(RenderAndCheck(&window, "main_" + sLanguage + "_mixed"), "");
    // RINEX 2: no mixed file, a navigation row per system.
    Find<QComboBox>(&window, "RnxVersion")->setCurrentText("2.11");
    EXPECT_EQ(RenderAndCheck(&window, "main_" + sLanguage + "_rinex2"), "");
    Find<QComboBox>(&window, "RnxVersion")->setCurrentText("3.01");

    const std::pair<QWidget*, const char*> children[] = {{window.ObsHeaderWindow(), "obs_header"},
                                                         {window.NavHeaderWindow(), "nav_header"},
                                                         {window.SampleExtractWindow(), "sample_extract"},
                                                         {window.AboutDialog(), "about"}};
    for (const auto& child : children)
        EXPECT_EQ(RenderAndCheck(child.first, QString("%1_%2").arg(child.second, sLanguage)), "") << child.second;
}

INSTANTIATE_TEST_SUITE_P(Languages, LayoutTest, ::testing::Values("en", "zh"));
