// The replay window as a user drives it: the file chosen or typed, the start
// point, speed and position message read into the record, the warnings that
// keep the window open, and a replay started through the port manager.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

#include "monitor/ports/port_manager.h"
#include "monitor/connect/replay_cfg_diag.h"
#include "support/monitor/shell_stand_in.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"

namespace
{
class ReplayDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<QZvPortCtrlBase::PORT_TYPE_E>();
        m_Dialog.ShowDiag();
    }

    QString WriteLog(const QString& sRelative, int nSize)
    {
        const QString sPath = m_Dir.filePath(sRelative);
        QDir().mkpath(QFileInfo(sPath).path());
        QFile f(sPath);
        f.open(QIODevice::WriteOnly);
        QByteArray data;
        for (int i = 0; data.size() < nSize; ++i)
            data +=
                "$GPGGA,0" + QByteArray::number(10000 + i) + ".00,3029.4,N,11423.6,E,1,12,0.8,30.1,M,-12.0,M,,*5A\r\n";
        f.write(data.left(nSize));
        return sPath;
    }
    template <typename T> T* Widget(const char* pName) { return m_Dialog.findChild<T*>(QLatin1String(pName)); }
    void TypePath(const QString& sPath)
    {
        Widget<QLineEdit>("ReplayFilePathEdit")->clear();
        QTest::keyClicks(Widget<QLineEdit>("ReplayFilePathEdit"), sPath);
    }
    void ClickReplay() { QTest::mouseClick(Widget<QPushButton>("ReplayButton"), Qt::LeftButton); }

    QTemporaryDir m_Dir;
    CScriptedPrompt m_Prompt;
    QReplayCfgDiag m_Dialog;
};

TEST_F(ReplayDialog, ReplayFillsTheRecordFromTheFormAndCloses)
{
    // A Linux path keeps its case and its slashes.
    const QString sPath = WriteLog(QStringLiteral("Rover A/Day 1.LOG"), 1001);
    QSignalSpy connects(&m_Dialog, &QReplayCfgDiag::SignalConnect);
    struct
    {
        int nSlider;
        int nPosition;
        const char* pSpeed;
        qint64 nOffset;
    } const cases[] = {{50, 4, "1000", 500}, {0, 0, "50", 0}, {100, 8, "200", 990}};
    for (const auto& c : cases)
    {
        m_Dialog.ShowDiag();
        TypePath(sPath);
        Widget<QSlider>("ReplayStartPoint")->setValue(c.nSlider);
        Widget<QComboBox>("ComboPosMsgType")->setCurrentIndex(c.nPosition);
        Widget<QComboBox>("ComboReplaySpeed")->setCurrentText(QString::fromLatin1(c.pSpeed));
        const auto check = QObject::connect(&m_Dialog, &QReplayCfgDiag::SignalConnect,
                                            [&](QZvPortCtrlBase::PORT_TYPE_E eType, void* pData)
                                            {
                                                EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_REPLAY, eType);
                                                const auto* pConfig = static_cast<const REPLAY_CONFIG_T*>(pData);
                                                EXPECT_EQ(sPath, pConfig->FilePath);
                                                EXPECT_EQ("Day 1.LOG", pConfig->FileName);
                                                EXPECT_EQ(c.nOffset, pConfig->StartOffset) << c.nSlider;
                                                EXPECT_EQ(uint32_t(c.nPosition), pConfig->PositionMessageType);
                                                EXPECT_EQ(QByteArray(c.pSpeed).toUInt(), pConfig->Speed);
                                            });
        ClickReplay();
        QObject::disconnect(check);
        EXPECT_FALSE(m_Dialog.isVisible());
        EXPECT_EQ(1001, m_Dialog.m_FileSize);
    }
    EXPECT_EQ(3, connects.count());
    EXPECT_TRUE(m_Prompt.Messages.isEmpty());
}

TEST_F(ReplayDialog, APathThatIsNoFileWarnsAndKeepsTheWindowOpen)
{
    QSignalSpy connects(&m_Dialog, &QReplayCfgDiag::SignalConnect);
    // Cancelling the chooser empties the path.
    TypePath(WriteLog(QStringLiteral("rover.log"), 10));
    QTest::mouseClick(Widget<QPushButton>("ReplayFileBrowser"), Qt::LeftButton);
    EXPECT_EQ(QStringList{"Log file config"}, m_Prompt.Choosers);
    EXPECT_TRUE(Widget<QLineEdit>("ReplayFilePathEdit")->text().isEmpty());
    ClickReplay();
    TypePath(m_Dir.filePath(QStringLiteral("missing.log")));
    ClickReplay();
    TypePath(m_Dir.path());
    ClickReplay();
    EXPECT_EQ(
        QStringList({"Open replay file error|File path can not be empty!",
                     "Open replay file error|the File does not exist!", "Open replay file error|it is not a file!"}),
        m_Prompt.Messages);
    EXPECT_EQ(0, connects.count());
    EXPECT_TRUE(m_Dialog.isVisible());

    // A chosen file lands in the field and its tool tip.
    const QString sPath = WriteLog(QStringLiteral("base.bin"), 10);
    m_Prompt.Paths.push_back(sPath);
    QTest::mouseClick(Widget<QPushButton>("ReplayFileBrowser"), Qt::LeftButton);
    EXPECT_EQ(sPath, Widget<QLineEdit>("ReplayFilePathEdit")->text());
    EXPECT_EQ(sPath, Widget<QLineEdit>("ReplayFilePathEdit")->toolTip());
}

TEST_F(ReplayDialog, ShowingAgainWithoutAReplayPortResetsTheChoicesButKeepsThePath)
{
    TypePath(QStringLiteral("/data/rover.log"));
    Widget<QComboBox>("ComboPosMsgType")->setCurrentIndex(7);
    Widget<QComboBox>("ComboReplaySpeed")->setCurrentText(QStringLiteral("500"));
    m_Dialog.ShowDiag();
    EXPECT_EQ("GGA", Widget<QComboBox>("ComboPosMsgType")->currentText());
    EXPECT_EQ("100", Widget<QComboBox>("ComboReplaySpeed")->currentText());
    EXPECT_EQ("/data/rover.log", Widget<QLineEdit>("ReplayFilePathEdit")->text());
    EXPECT_TRUE(Widget<QLineEdit>("ReplayFilePathEdit")->isEnabled());
    EXPECT_EQ(9, Widget<QComboBox>("ComboPosMsgType")->count());
    EXPECT_EQ("INSPVAX", Widget<QComboBox>("ComboPosMsgType")->itemText(8));
}

TEST_F(ReplayDialog, ReplayStartsAPortWithItsTabAndShowsItsSettingsWhileCurrent)
{
    // Files whose lines tell where in the file they are.
    const QString sPath = WriteLog(QStringLiteral("rover.log"), 20000);
    QFile f(sPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray log = f.readAll();
    ShellStandIn shell;
    m_Dialog.m_pPortTab = &shell.Tabs;
    QObject::connect(&m_Dialog, &QReplayCfgDiag::SignalConnect, &shell.Manager, &QZvPortManager::AddPortCtrl);

    m_Dialog.ShowDiag();
    TypePath(sPath);
    Widget<QSlider>("ReplayStartPoint")->setValue(25);
    Widget<QComboBox>("ComboPosMsgType")->setCurrentIndex(7);
    Widget<QComboBox>("ComboReplaySpeed")->setCurrentText(QStringLiteral("50"));
    ClickReplay();
    ASSERT_EQ(1, shell.Tabs.count());
    QZvPortCtrlBase* pCtrl = shell.Tabs.GetCurPortCtrl();
    ASSERT_NE(nullptr, pCtrl);
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_REPLAY, pCtrl->PortType);
    EXPECT_EQ(QFileInfo(sPath).fileName(), shell.Tabs.tabText(0));

    // The tab shows the file from a quarter of it on: the line cut at byte
    // 5000, then the lines after it.
    const QByteArray first = log.mid(5000, log.indexOf("\r\n", 5000) - 5000);
    const int nNext = log.indexOf("$GPGGA", 5000);
    const QByteArray later = log.mid(nNext + 80 * 100, 20);
    ASSERT_TRUE(WaitUntil([&] { return shell.Tabs.GetTxView(0)->toPlainText().contains(later); }, 20000));
    const QString shown = shell.Tabs.GetTxView(0)->toPlainText();
    EXPECT_TRUE(shown.startsWith(QString::fromLatin1(first))) << qPrintable(shown.left(100));
    EXPECT_FALSE(shown.contains(QString::fromLatin1(log.mid(4800, 30))));

    // Opened again while the replay is current, the window shows its
    // settings with the file locked; "Replay" starts a second replay of it.
    m_Dialog.ShowDiag();
    EXPECT_EQ(sPath, Widget<QLineEdit>("ReplayFilePathEdit")->text());
    EXPECT_FALSE(Widget<QLineEdit>("ReplayFilePathEdit")->isEnabled());
    EXPECT_FALSE(Widget<QPushButton>("ReplayFileBrowser")->isEnabled());
    EXPECT_EQ("INSPVA", Widget<QComboBox>("ComboPosMsgType")->currentText());
    EXPECT_EQ("50", Widget<QComboBox>("ComboReplaySpeed")->currentText());
    ClickReplay();
    EXPECT_EQ(2, shell.Tabs.count());
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << qPrintable(shell.Prompt.Messages.join('\n'));
}

// Turns the speed entries into texts with a unit, as a translation may.
class CUnitTranslator : public QTranslator
{
public:
    QString translate(const char* pContext, const char* pSource, const char*, int) const override
    {
        bool bNumber = false;
        QByteArray(pSource).toUInt(&bNumber);
        if (bNumber && QByteArray(pContext) == "QReplayCfgDiag")
            return QString::fromLatin1(pSource) + QStringLiteral(" ms");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

TEST_F(ReplayDialog, ATranslatedSpeedEntryStillGivesItsTick)
{
    CUnitTranslator translator;
    QCoreApplication::installTranslator(&translator);
    m_Dialog.OnLanguageUpdate();
    QCoreApplication::removeTranslator(&translator);
    QSignalSpy connects(&m_Dialog, &QReplayCfgDiag::SignalConnect);
    uint32_t nSpeed = 0;
    QObject::connect(&m_Dialog, &QReplayCfgDiag::SignalConnect,
                     [&nSpeed](QZvPortCtrlBase::PORT_TYPE_E, void* pData)
                     { nSpeed = static_cast<const REPLAY_CONFIG_T*>(pData)->Speed; });
    m_Dialog.ShowDiag();
    EXPECT_EQ("100 ms", Widget<QComboBox>("ComboReplaySpeed")->currentText());
    TypePath(WriteLog(QStringLiteral("rover.log"), 100));
    Widget<QComboBox>("ComboReplaySpeed")->setCurrentText(QStringLiteral("300 ms"));
    ClickReplay();
    ASSERT_EQ(1, connects.count());
    EXPECT_EQ(300u, nSpeed);
}
} // namespace
