// A window that is not built yet tells the user so, in the current language,
// and follows a language switch through its OnLanguageUpdate.
#include <gtest/gtest.h>

#include <QLabel>

#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/stand_in_window.h"

TEST(StandInWindow, SaysItIsNotBuiltInTheCurrentLanguage)
{
    ASSERT_GT(InstallMonitorTranslations(QStringLiteral("en")), 0);
    CStandInWindow window(QT_TRANSLATE_NOOP("CStandInWindow", "Sky Plot"), nullptr);
    auto* pText = window.findChild<QLabel*>(QStringLiteral("StandInText"));
    ASSERT_NE(pText, nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sky Plot"));
    EXPECT_EQ(pText->text(), QStringLiteral("This window is not built yet."));

    InstallMonitorTranslations(QStringLiteral("zh"));
    window.OnLanguageUpdate();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("星空图"));
    EXPECT_EQ(pText->text(), QStringLiteral("此窗口尚未实现。"));
    EXPECT_EQ(window.Calls("OnLanguageUpdate"), 1);

    InstallMonitorTranslations(QStringLiteral("en"));
    window.OnLanguageUpdate();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sky Plot"));
}
