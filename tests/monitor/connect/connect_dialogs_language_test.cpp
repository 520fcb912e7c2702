// The connection windows in both languages: every text the user sees comes
// from the translations, and switching back restores the English texts. With
// ZV_UI_SHOTS set, each window is also saved as a picture per language.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "monitor/connect/port_list_connect_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/connect/replay_cfg_diag.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb_receiver_id_file.h"
#include "monitor/shell/monitor_translations.h"
#include "support/usb/usb_mem_backend.h"

namespace
{
void Shot(QWidget& Window, const QString& sName)
{
    const QString sDir = qEnvironmentVariable("ZV_UI_SHOTS");
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
    EXPECT_EQ("Connected", header(5));
    for (int page = 0; page < 4; ++page)
    {
        quick.findChild<QTabWidget*>("PortConnectTab")->setCurrentIndex(page);
        Shot(quick, QStringLiteral("quick_connect_%1_en").arg(page));
    }
    Shot(replay, QStringLiteral("replay_en"));
    Shot(ports, QStringLiteral("port_list_en"));
}

// The USB page's text under the lists in both languages: devices that are no
// known receiver with a skipped line of the IDs file, then a receiver that
// cannot be opened for want of permission.
TEST_F(ConnectDialogsLanguage, TheUsbPageSaysWhatItSeesInEitherLanguage)
{
    auto backend = std::make_shared<CUsbMemBackend>();
    backend->Add(std::make_shared<CUsbMemDevice>("USB Ethernet Adapter", "0001"))->SetIds(0xe7d2, 0x0150);
    backend->Add(std::make_shared<CUsbMemDevice>("ZR-480 GNSS", "ZR4800110"))->SetIds(0xe5a1, 0x0480);
    backend->Add(std::make_shared<CUsbMemDevice>("", ""))->SetIds(0xe912, 0x00b4);
    auto denied = backend->Add(std::make_shared<CUsbMemDevice>("ZR-482 GNSS", "ZR4820007"));
    denied->SetNoAccess(true);
    denied->SetPlugged(false);
    ASSERT_EQ(0, UsbLinkSetBackend(backend));
    const QString sIds = UsbReceiverIdFilePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(sIds).absolutePath()));
    QFile file(sIds);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("e5a1 0480\n");
    file.close();

    QuickConnectDiag quick;
    quick.findChild<QTabWidget*>("PortConnectTab")->setCurrentIndex(QZvPortCtrlBase::PORT_TYPE_USB);
    const auto status = [&quick] { return quick.findChild<QPlainTextEdit*>("USBStatusText")->toPlainText(); };
    for (const char* pLanguage : {"zh", "en"})
    {
        ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(pLanguage)), 0);
        quick.OnLanguageUpdate();
        quick.ShowDiag();
        if (QLatin1String(pLanguage) == QLatin1String("zh"))
        {
            EXPECT_TRUE(status().startsWith(QString::fromUtf8("未找到 USB 接收机。"))) << qPrintable(status());
            EXPECT_TRUE(status().contains(QString::fromUtf8("（无产品名称）")));
        }
        else
        {
            EXPECT_TRUE(status().startsWith("No USB receiver found.")) << qPrintable(status());
        }
        EXPECT_TRUE(status().contains("e7d2:0150  USB Ethernet Adapter"));
        Shot(quick, QStringLiteral("quick_connect_usb_unknown_%1").arg(QLatin1String(pLanguage)));

        denied->SetPlugged(true);
        quick.ShowDiag();
        EXPECT_TRUE(status().contains(pLanguage == std::string("zh") ? QString::fromUtf8("权限") : "permission"))
            << qPrintable(status());
        Shot(quick, QStringLiteral("quick_connect_usb_denied_%1").arg(QLatin1String(pLanguage)));
        denied->SetPlugged(false);

        // An IDs file that is no regular file: why it is not read.
        QFile::remove(sIds);
        ASSERT_TRUE(QDir().mkpath(sIds));
        quick.ShowDiag();
        EXPECT_TRUE(status().contains(pLanguage == std::string("zh") ? QString::fromUtf8("它不是普通文件。未从中添加")
                                                                     : "it is not a regular file. No receiver ID"))
            << qPrintable(status());
        Shot(quick, QStringLiteral("quick_connect_usb_id_file_%1").arg(QLatin1String(pLanguage)));
        QDir().rmdir(sIds);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("e5a1 0480\n");
        file.close();
    }
    QFile::remove(sIds);
    UsbLinkSetBackend(std::make_shared<CUsbMemBackend>());
}
} // namespace
