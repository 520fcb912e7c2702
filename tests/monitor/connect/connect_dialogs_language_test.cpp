// The connection windows in both languages: every text the user sees comes
// from the translations, and switching back restores the English texts. With
// ZV_SHOT_DIR set, each window is also saved as a picture per language.
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "monitor/shell/monitor_translations.h"
#include "monitor/connect/port_list_connect_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/connect/replay_cfg_diag.h"

namespace
{
void Shot(QWidget& Window, const QString& sName)
{
    const QString sDir = qEnvironmentVariable("ZV_SHOT_DIR");
    if (sDir.isEmpty())
        return;
    Window.show();
    QCoreApplication::processEvents(); // lays the window out in its new texts
    Window.grab().save(sDir + "/" + sName + ".png");
}

class ConnectDialogsLanguage : public ::testing::Test
{
protected:
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};

TEST_F(ConnectDialogsLanguage, EveryWindowFollowsTheLanguage)
{
    QuickConnectDiag quick;
    QReplayCfgDiag replay;
    QPortListConnectDiag ports;
    const auto update = [&](const char* pLanguage)
    {
        ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(pLanguage)), 0);
        quick.OnLanguageUpdate();
        replay.OnLanguageUpdate();
        ports.OnLanguageUpdate();
    };
    const auto header = [&ports](int c)
    { return ports.findChild<QTableWidget*>("m_pPortTableWidget")->horizontalHeaderItem(c)->text(); };

    // What the user typed survives a switch of language.
    quick.findChild<QLineEdit*>("Port")->setText(QStringLiteral("2102"));
    update("zh");
    EXPECT_EQ("2102", quick.findChild<QLineEdit*>("Port")->text());
    EXPECT_EQ(QString::fromUtf8("快速连接"), quick.windowTitle());
    EXPECT_EQ(QString::fromUtf8(" 自动检测 "), quick.findChild<QPushButton*>("m_BtnBaudAutoDetect")->text());
    EXPECT_EQ(QString::fromUtf8("偶校验"), quick.findChild<QComboBox*>("ParityListComboBox")->itemText(2));
    EXPECT_EQ(QString::fromUtf8("回放设置"), replay.windowTitle());
    EXPECT_EQ(QString::fromUtf8("端口连接"), ports.windowTitle());
    EXPECT_EQ(QString::fromUtf8("已连接"), header(5));
    for (int page = 0; page < 4; ++page)
    {
        quick.findChild<QTabWidget*>("PortConnectTab")->setCurrentIndex(page);
        Shot(quick, QStringLiteral("quick_connect_%1_zh").arg(page));
    }
    Shot(replay, QStringLiteral("replay_zh"));
    Shot(ports, QStringLiteral("port_list_zh"));

    update("en");
    EXPECT_EQ("Quick Connect", quick.windowTitle());
    EXPECT_EQ("Even", quick.findChild<QComboBox*>("ParityListComboBox")->itemText(2));
    EXPECT_EQ("Relay Settings", replay.windowTitle());
    EXPECT_EQ("Connnected", header(5));
    for (int page = 0; page < 4; ++page)
    {
        quick.findChild<QTabWidget*>("PortConnectTab")->setCurrentIndex(page);
        Shot(quick, QStringLiteral("quick_connect_%1_en").arg(page));
    }
    Shot(replay, QStringLiteral("replay_en"));
    Shot(ports, QStringLiteral("port_list_en"));
}
} // namespace
