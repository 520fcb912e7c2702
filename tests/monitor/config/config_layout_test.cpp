// Every page of the receiver configuration dialog, each satellite system page
// with it, and every tab of the satellite lock-out form, rendered in each
// language with a position shown, show their texts uncut (images kept under
// ZV_UI_SHOTS when that is set).
#include <gtest/gtest.h>

#include <QTabWidget>

#include "monitor/config/lock_out_diag.h"
#include "monitor/config/recv_config.h"
#include "monitor/shell/monitor_translations.h"
#include "support/window_layout.h"

namespace
{
class ConfigLayoutTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(GetParam())), 0); }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
    QString Language() const { return QString::fromLatin1(GetParam()); }
};
} // namespace

TEST_P(ConfigLayoutTest, EveryPageOfTheReceiverConfigurationShowsItsTextsUncut)
{
    QZvRecvConfig dialog;
    dialog.OnLanguageUpdate();
    // A position far from zero and a height of four digits: the widest the labels hold.
    dialog.OnPosCurPos(-31.98765432, -121.01234567, -1234.567);
    auto* pPages = dialog.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    auto* pSystems = dialog.findChild<QTabWidget*>(QStringLiteral("LockWindow"));
    ASSERT_TRUE(pPages && pSystems);
    for (int i = 0; i < pPages->count(); ++i)
    {
        pPages->setCurrentIndex(i);
        const QString sPage = pPages->widget(i)->objectName();
        if (pPages->widget(i) != pSystems->parentWidget())
        {
            EXPECT_EQ(RenderAndCheck(&dialog, "recv_config_" + sPage + "_" + Language()), "") << sPage.toStdString();
            continue;
        }
        for (int s = 0; s < pSystems->count(); ++s)
        {
            pSystems->setCurrentIndex(s);
            const QString sName = "recv_config_" + sPage + "_" + pSystems->widget(s)->objectName() + "_" + Language();
            EXPECT_EQ(RenderAndCheck(&dialog, sName), "") << sName.toStdString();
        }
    }
}

TEST_P(ConfigLayoutTest, EveryTabOfTheLockOutFormShowsItsTextsUncut)
{
    QLockOutDiag dialog;
    dialog.OnLanguageUpdate();
    auto* pTabs = dialog.findChild<QTabWidget*>(QStringLiteral("LockOutSysTab"));
    ASSERT_NE(pTabs, nullptr);
    for (int i = 0; i < pTabs->count(); ++i)
    {
        pTabs->setCurrentIndex(i);
        const QString sName = "lock_out_" + pTabs->tabText(i) + "_" + Language();
        EXPECT_EQ(RenderAndCheck(&dialog, sName), "") << sName.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ConfigLayoutTest, ::testing::Values("en", "zh"));
