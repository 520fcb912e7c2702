// The command window as a user types into it: line endings, hexadecimal
// bytes (a garbled text is refused whole), the history with Up and Down and
// its log file, local commands without a port, the send-to-all choice of its
// context menu, a factory reset's baud rate, and completion of names.
// Ports are in-memory controllers in a port tab set.
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

#include "monitor/shell/cmd_input.h"
#include "monitor/shell/cmd_interface.h"
#include "monitor/shell/port_tab.h"
#include "support/context_menu.h"
#include "support/fifo_guard.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"

namespace
{
class TestPort : public CMemoryPortCtrl
{
public:
    using CMemoryPortCtrl::CMemoryPortCtrl;
    using QZvPortCtrlBase::SetUpgrading;
};

class CmdInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(QCMDInput::HistoryLogPath());
        m_pInput = std::make_unique<QCMDInput>();
        m_pInput->SetPortTab(&m_Tabs);
        m_pInput->show();
    }
    TestPort* AddPort(QZvPortCtrlBase::PORT_TYPE_E eType = QZvPortCtrlBase::PORT_TYPE_UART,
                      const QString& sName = QStringLiteral("/dev/ttyUSB0"))
    {
        m_Ports.push_back(std::make_unique<TestPort>(eType, sName));
        TestPort* pPort = m_Ports.back().get();
        m_Tabs.OnAddPort(pPort->UniquePortID, eType, pPort);
        m_Tabs.setCurrentIndex(m_Tabs.count() - 1);
        return pPort;
    }
    // Types the text (line breaks as they stand) and presses Enter.
    void Send(const QString& sText, Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        m_pInput->setPlainText(sText);
        m_pInput->moveCursor(QTextCursor::End);
        QTest::keyClick(m_pInput.get(), Qt::Key_Return, Mods);
    }
    void Choose(const QString& sEntry) { ChooseFromContextMenu(m_pInput->viewport(), sEntry); }
    QByteArray LastSent(const QSignalSpy& Spy) const { return Spy.last().at(1).toByteArray(); }

    CScriptedPrompt m_Prompt;
    std::vector<std::unique_ptr<TestPort>> m_Ports;
    CPortTab m_Tabs;
    std::unique_ptr<QCMDInput> m_pInput;
};
} // namespace

TEST_F(CmdInput, EachLineModeEndsTheTextAsChosen)
{
    TestPort* pPort = AddPort();
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    const struct
    {
        const char* Mode;
        const char* Text;
        QByteArray Bytes;
    } cases[] = {
        {"\\r\\n", "log version", "log version\r\n"},
        {"\\r\\n", "log version\nlog bestposa ontime 1\n\n", "log version\r\nlog bestposa ontime 1\r\n"},
        {"\\r\\n", "", ""},
        {"\\n", "", "\n"},
        {"\\n", "a\nb", "a\nb\n"},
        {"None", "$PASHS,NME,GGA", "$PASHS,NME,GGA"},
    };
    for (const auto& c : cases)
    {
        Choose(QString::fromLatin1(c.Mode));
        Send(QString::fromLatin1(c.Text));
        ASSERT_FALSE(sent.isEmpty()) << c.Text;
        EXPECT_EQ(sent.last().at(0).toUInt(), pPort->UniquePortID);
        EXPECT_EQ(LastSent(sent), c.Bytes) << c.Mode << " " << c.Text;
        EXPECT_TRUE(m_pInput->toPlainText().isEmpty());
    }
}

TEST_F(CmdInput, HexadecimalTextIsSentAsItsBytesAndAGarbledOneIsRefusedWhole)
{
    AddPort();
    Choose(QStringLiteral("Hex Send"));
    ASSERT_TRUE(m_pInput->IsHexSend());
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    const struct
    {
        const char* Text;
        QByteArray Bytes; // empty: refused
    } cases[] = {
        {"AA 44 12", QByteArray::fromHex("AA4412")},
        {"aa4412 0d0a", QByteArray::fromHex("AA44120D0A")},
        {"0XAA 0X12", QByteArray::fromHex("AA12")},
        {"0x12", {}}, // a lower-case x is no digit
        {"AA4", {}},  // the last digit has no partner
        {"AA 4 12", {}},
        {"AG", {}},
    };
    for (const auto& c : cases)
    {
        sent.clear();
        m_Prompt.Messages.clear();
        Send(QString::fromLatin1(c.Text));
        if (c.Bytes.isEmpty())
        {
            EXPECT_TRUE(sent.isEmpty()) << c.Text;
            EXPECT_EQ(m_Prompt.Messages, QStringList(QStringLiteral("Error|The hexadecimal data is garbled!")));
            // The text stays to be mended.
            EXPECT_EQ(m_pInput->toPlainText(), QString::fromLatin1(c.Text));
            continue;
        }
        ASSERT_EQ(sent.count(), 1) << c.Text;
        EXPECT_EQ(LastSent(sent), c.Bytes) << c.Text;
        EXPECT_TRUE(m_Prompt.Messages.isEmpty());
    }
}

TEST_F(CmdInput, TheHistoryKeepsDistinctCommandsAndIsBrowsedWithTheArrowKeys)
{
    AddPort();
    Send(QStringLiteral("log version"));
    Send(QStringLiteral("log version"));
    Send(QStringLiteral("unlogall"));
    EXPECT_EQ(m_pInput->History(), QStringList({QStringLiteral("log version"), QStringLiteral("unlogall")}));
    QTest::keyClick(m_pInput.get(), Qt::Key_Up);
    EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("unlogall"));
    QTest::keyClick(m_pInput.get(), Qt::Key_Up);
    EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("log version"));
    QTest::keyClick(m_pInput.get(), Qt::Key_Down);
    QTest::keyClick(m_pInput.get(), Qt::Key_Down);
    EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("log version"));

    for (int i = 0; i < QCMDInput::MAX_HISTORY + 1; ++i)
        Send(QStringLiteral("log range%1").arg(i));
    ASSERT_EQ(m_pInput->History().size(), QCMDInput::MAX_HISTORY);
    EXPECT_EQ(m_pInput->History().first(), QStringLiteral("log range1"));

    // Shift+Enter starts a new line; Ctrl+Enter sends.
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    m_pInput->clear();
    QTest::keyClicks(m_pInput.get(), QStringLiteral("log a"));
    QTest::keyClick(m_pInput.get(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(m_pInput.get(), QStringLiteral("log b"));
    EXPECT_TRUE(sent.isEmpty());
    QTest::keyClick(m_pInput.get(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(LastSent(sent), QByteArray("log a\r\nlog b\r\n"));
}

TEST_F(CmdInput, SentCommandsAreLoggedToTheHistoryFileBetweenStartAndExit)
{
    AddPort();
    Send(QStringLiteral("log version"));
    m_pInput.reset();
    QFile file(QCMDInput::HistoryLogPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 6) << lines.join('|').toStdString();
    const QString sTime = QStringLiteral("\\[\\d{8}-\\d\\d:\\d\\d:\\d\\d\\] ");
    EXPECT_EQ(lines.at(0), QString(42, QLatin1Char('-')));
    EXPECT_TRUE(QRegularExpression("^" + sTime + "ZorvikMonitor Start\\.\\.\\.$").match(lines.at(1)).hasMatch());
    EXPECT_TRUE(QRegularExpression("^" + sTime + "Port:/dev/ttyUSB0,CMD:log version $").match(lines.at(2)).hasMatch())
        << lines.at(2).toStdString();
    EXPECT_TRUE(QRegularExpression("^" + sTime + "ZorvikMonitor Exit\\.\\.\\.$").match(lines.at(3)).hasMatch());
    EXPECT_EQ(lines.at(4), QString(42, QLatin1Char('-')));
}

TEST_F(CmdInput, AHistoryFileThatCannotBeOpenedOrWrittenIsToldOnceAndSendingGoesOn)
{
    const QString sPath = QCMDInput::HistoryLogPath();
    m_pInput.reset();
    QFile::remove(sPath);
    std::unique_ptr<CFifoGuard> pFifo;
    // A file that cannot grow, as on a full disk; the limit holds for this process until restored.
    struct rlimit saved = {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto restore = [&] { setrlimit(RLIMIT_FSIZE, &saved); };
    const struct
    {
        const char* Name;
        std::function<void()> Block;
        const char* Why;
    } cases[] = {
        {"a folder", [&] { QDir().mkpath(sPath); }, "it is not a regular file"},
        // Opened for writing, a FIFO would wait for a reader for ever.
        {"a FIFO", [&] { pFifo = std::make_unique<CFifoGuard>(sPath.toStdString()); }, "it is not a regular file"},
        {"a device", [&] { QFile::link(QStringLiteral("/dev/full"), sPath); }, "it is not a regular file"},
        {"a full disk",
         [&]
         {
             std::signal(SIGXFSZ, SIG_IGN);
             struct rlimit none = saved;
             none.rlim_cur = 0;
             setrlimit(RLIMIT_FSIZE, &none);
         },
         "writing to it failed"},
    };
    AddPort();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        c.Block();
        m_Prompt.Messages.clear();
        m_pInput = std::make_unique<QCMDInput>();
        m_pInput->SetPortTab(&m_Tabs);
        QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
        Send(QStringLiteral("log version"));
        Send(QStringLiteral("log bestposa once"));
        restore();
        EXPECT_EQ(sent.count(), 2);
        EXPECT_EQ(
            m_Prompt.Messages,
            QStringList(QStringLiteral("Warning|The command history cannot be written to %1: %2.").arg(sPath, c.Why)));
        m_pInput.reset();
        pFifo.reset();
        QDir(sPath).removeRecursively();
        QFile::remove(sPath);
    }
}

TEST_F(CmdInput, ACommandNoPortTakesStaysUnsentSaysWhyAndIsNotJoinedToTheNextOne)
{
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    TestPort* pFailed = nullptr;
    const struct
    {
        const char* Name;
        std::function<void()> Arrange;
        const char* Why;
    } cases[] = {
        {"no port", [] {}, "no port is open"},
        {"a failed connection",
         [&]
         {
             pFailed = AddPort(QZvPortCtrlBase::PORT_TYPE_UART, QStringLiteral("/dev/ttyUSB0"));
             m_Tabs.OnAddPortFail(pFailed->UniquePortID, pFailed->PortType, PORT_FAIL_NO_DEVICE,
                                  pFailed->GetPortName());
         },
         "the connection of /dev/ttyUSB0 failed (Can not open Port)"},
        {"a disconnected port",
         [&] { AddPort(QZvPortCtrlBase::PORT_TYPE_TCP, QStringLiteral("10.0.0.7"))->SetDisconnected(true); },
         "10.0.0.7 is disconnected"},
        {"all sessions, none connected", [&] { Choose(QStringLiteral("Send Commands to All Sessions")); },
         "no port is connected"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        c.Arrange();
        Send(QStringLiteral("log bestposa ontime 1"));
        EXPECT_TRUE(sent.isEmpty());
        EXPECT_EQ(m_pInput->NotSentNote(), QStringLiteral("No port takes this command: %1.").arg(c.Why));
        EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("log bestposa ontime 1"));
        // What the user types next replaces the unsent text, and the note goes.
        QTest::keyClicks(m_pInput.get(), QStringLiteral("open -t COM2"));
        EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("open -t COM2"));
        EXPECT_TRUE(m_pInput->NotSentNote().isEmpty());
    }
    // The failed port's tab shows why until the port is connected again; then it takes commands.
    const int iFailed = m_Tabs.GetTabIndexByPortID(pFailed->UniquePortID);
    EXPECT_EQ(m_Tabs.tabToolTip(iFailed), QStringLiteral("Can not open Port"));
    m_Tabs.OnSetPortIcon(iFailed, pFailed->PortType, 0);
    EXPECT_TRUE(m_Tabs.tabToolTip(iFailed).isEmpty());
    Send(QStringLiteral("log version"));
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), QZvPortCtrlBase::ANY_PORT_ID);
    EXPECT_TRUE(m_pInput->NotSentNote().isEmpty());
}

TEST_F(CmdInput, NothingGoesToAPortThatUpgrades)
{
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    TestPort* pPort = AddPort();
    pPort->SetUpgrading(true);
    Send(QStringLiteral("log version"));
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(m_Prompt.Messages,
              QStringList(QStringLiteral("Updating|The board card in the upgrade, do not enter the command!!")));
    EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("log version"));
}

TEST_F(CmdInput, LocalCommandsOpenPortsWithoutATabAndReachNoReceiver)
{
    QSignalSpy connects(m_pInput->CmdInterface(), &QZvCmdInterface::SignalConnect);
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    Send(QStringLiteral("open -t /dev/serial/by-id/usb-Zv-if00-port0 -b 460800"));
    ASSERT_EQ(connects.count(), 1);
    EXPECT_EQ(m_pInput->CmdInterface()->m_UartConfig.PortName, QStringLiteral("/dev/serial/by-id/usb-Zv-if00-port0"));
    EXPECT_EQ(m_pInput->CmdInterface()->m_UartConfig.BaudRate, 460800u);
    EXPECT_TRUE(m_pInput->toPlainText().isEmpty());

    // Between "###" separators, with a port: served, and the text goes to the port as typed.
    TestPort* pPort = AddPort();
    Send(QStringLiteral("log version###open -t /dev/ttyUSB3###"));
    EXPECT_EQ(connects.count(), 2);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), pPort->UniquePortID);
    Send(QStringLiteral("save"));
    EXPECT_EQ(sent.count(), 1);
}

TEST_F(CmdInput, EachPieceBetweenSeparatorsIsServedAsALocalCommandOrSentToThePort)
{
    TestPort* pPort = AddPort();
    QStringList opened;
    QObject::connect(m_pInput->CmdInterface(), &QZvCmdInterface::SignalConnect, m_pInput.get(),
                     [&](QZvPortCtrlBase::PORT_TYPE_E, void* pConfig) {
                         opened << static_cast<UART_CONFIG_T*>(pConfig)->PortName;
                     });
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    const struct
    {
        const char* Text;
        QStringList Opened;
        QByteArray Bytes; // empty: nothing sent
    } cases[] = {
        {"open -t COM1###log version", {"/dev/ttyS0"}, "log version\r\n"},
        {"open -t /dev/ttyUSB5###open -t /dev/ttyUSB6", {"/dev/ttyUSB5", "/dev/ttyUSB6"}, {}},
        {"log version###open -t /dev/ttyUSB7###log bestposa once", {"/dev/ttyUSB7"},
         "log version###log bestposa once\r\n"},
        // Without a local command the text goes as it was typed.
        {"log version###unlogall", {}, "log version###unlogall\r\n"},
        {"openall###log version", {}, "openall###log version\r\n"},
        // A text of several lines is no local command: it goes whole, opening nothing.
        {"open -t /dev/ttyUSB8\nlog version", {}, "open -t /dev/ttyUSB8\r\nlog version\r\n"},
    };
    for (const auto& c : cases)
    {
        opened.clear();
        sent.clear();
        Send(QString::fromLatin1(c.Text));
        EXPECT_EQ(opened, c.Opened) << c.Text;
        // The history keeps the text as typed.
        EXPECT_EQ(m_pInput->History().last(), QString::fromLatin1(c.Text));
        if (c.Bytes.isEmpty())
        {
            EXPECT_TRUE(sent.isEmpty()) << c.Text;
            continue;
        }
        ASSERT_EQ(sent.count(), 1) << c.Text;
        EXPECT_EQ(sent.at(0).at(0).toUInt(), pPort->UniquePortID);
        EXPECT_EQ(LastSent(sent), c.Bytes) << c.Text;
    }
}

TEST_F(CmdInput, SendingToAllSessionsAddressesEveryPortAndAFactoryResetReturnsSerialPortsTo115200)
{
    AddPort(QZvPortCtrlBase::PORT_TYPE_TCP, QStringLiteral("10.0.0.5"));
    TestPort* pSerial = AddPort();
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    QSignalSpy bauds(m_pInput.get(), &QCMDInput::SignalFresetChangedBaudRate);
    Send(QStringLiteral("FRESET"));
    ASSERT_EQ(bauds.count(), 1);
    EXPECT_EQ(bauds.at(0).at(0).toUInt(), 115200u);
    EXPECT_EQ(bauds.at(0).at(1).toInt(), 1);
    EXPECT_EQ(sent.last().at(0).toUInt(), pSerial->UniquePortID);
    m_Tabs.setCurrentIndex(0);
    Send(QStringLiteral("freset"));
    EXPECT_EQ(bauds.count(), 1); // not a serial port

    QSignalSpy all(m_pInput.get(), &QCMDInput::SignalSendAll);
    QSignalSpy titles(m_pInput.get(), &QCMDInput::SignalSendCMD2AllWinChanged);
    Choose(QStringLiteral("Send Commands to All Sessions"));
    ASSERT_EQ(all.count(), 1);
    EXPECT_TRUE(all.at(0).at(0).toBool());
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.at(0).at(0).toInt(), 0);
    Send(QStringLiteral("log version"));
    EXPECT_EQ(sent.last().at(0).toUInt(), QZvPortCtrlBase::ANY_PORT_ID);
    // Every serial port that got the reset follows its receiver, whichever tab is current.
    bauds.clear();
    Send(QStringLiteral("FRESET"));
    ASSERT_EQ(bauds.count(), 1);
    EXPECT_EQ(bauds.at(0).at(1).toInt(), 1);
    // A current port that takes none does not stop it while another port does.
    m_Tabs.setCurrentIndex(0);
    m_Ports.front()->SetDisconnected(true);
    sent.clear();
    Send(QStringLiteral("log version"));
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.last().at(0).toUInt(), QZvPortCtrlBase::ANY_PORT_ID);
    Choose(QStringLiteral("Send Commands to All Sessions"));
    EXPECT_FALSE(m_pInput->IsSendToAll());
}

TEST_F(CmdInput, TypedWordsAreCompletedWithCommandOrLogNames)
{
    AddPort();
    m_pInput->setFocus();
    QTest::keyClicks(m_pInput.get(), QStringLiteral("log bestp"));
    QAbstractItemView* pPopup = m_pInput->findChild<QCMDCompleter*>()->popup();
    ASSERT_TRUE(pPopup->isVisible());
    EXPECT_EQ(pPopup->currentIndex().data().toString(), QStringLiteral("BESTPOS"));
    QTest::keyClick(pPopup, Qt::Key_Down);
    QTest::keyClick(pPopup, Qt::Key_Return);
    EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("log bestpOSA "));

    // A command name at the start of the line; a word-ending character closes the list.
    m_pInput->clear();
    QTest::keyClicks(m_pInput.get(), QStringLiteral("fre"));
    ASSERT_TRUE(pPopup->isVisible());
    EXPECT_EQ(pPopup->currentIndex().data().toString(), QStringLiteral("FRESET"));
    QTest::keyClicks(m_pInput.get(), QStringLiteral("-"));
    EXPECT_FALSE(pPopup->isVisible());
    // A word that is a whole name offers nothing, and Enter sends it.
    m_pInput->clear();
    QSignalSpy sent(m_pInput.get(), &QCMDInput::SignalSendCMD);
    QTest::keyClicks(m_pInput.get(), QStringLiteral("log version"));
    EXPECT_FALSE(pPopup->isVisible());
    QTest::keyClick(m_pInput.get(), Qt::Key_Return);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(LastSent(sent), QByteArray("log version\r\n"));
    // With an untouched field the arrow keys browse the history, not the list.
    QTest::keyClick(m_pInput.get(), Qt::Key_Up);
    EXPECT_EQ(m_pInput->toPlainText(), QStringLiteral("log version"));
}
