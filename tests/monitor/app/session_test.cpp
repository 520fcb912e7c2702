// The monitor against fake receivers, as a user works with it: a port opened
// by typing "open" with its device path, the decoded stream in its tab,
// commands typed to the receiver (to one, to all, as hexadecimal bytes, from
// a preset button) and its replies, a dialog's status request answered, a
// removed adapter noticed, and the program closed while ports stream.
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "monitor/config/msg_config.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/port_records.h"
#include "monitor/app/device_monitor.h"
#include "monitor/shell/button_bar.h"
#include "monitor/shell/button_edit.h"
#include "monitor/shell/cmd_interface.h"
#include "monitor/shell/debug_window.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/preset_file.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor_fixture.h"
#include "support/context_menu.h"
#include "support/monitor/fake_receiver.h"

TEST_F(MonitorTest, APortOpenedByTypingShowsItsStreamAndTheRepliesToTypedCommands)
{
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = TypeOpen(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    EXPECT_EQ(pPort->GetPortName(), QString::fromStdString(rx.Rx().Name()));
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    // The typed "open" went to no receiver.
    EXPECT_FALSE(Shown(0).contains(QStringLiteral("open -t")));
    EXPECT_TRUE(W().pCmdInput->toPlainText().isEmpty());

    rx.StartStream(STREAM_TEXT_LOGS | STREAM_NMEA, 20000);
    ASSERT_TRUE(WaitUntil([&] { return Shown(0).contains(QStringLiteral("$GPGGA")); })) << Shown(0).toStdString();
    ASSERT_TRUE(WaitUntil([&] { return Shown(0).contains(QStringLiteral("#BESTPOSA")); }));
    rx.StopStream();

    EXPECT_FALSE(Shown(0).contains(QStringLiteral("PPS ENABLE GPS POSITIVE")));
    Type(QStringLiteral("USERCONFIG"));
    ASSERT_TRUE(WaitUntil([&] { return Shown(0).contains(QStringLiteral("PPS ENABLE GPS POSITIVE")); }))
        << Shown(0).toStdString();
    EXPECT_EQ(W().pCmdInput->History().last(), QStringLiteral("USERCONFIG"));

    // The message window asks for the log list when it opens; the reply reaches it.
    QSignalSpy msgConfigUpdates(&Window(), &QZorvikMonitor::SignalUpdateMsgConfigDiag);
    Form().actionMessageView->trigger();
    EXPECT_TRUE(W().pMsgConfig->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return !msgConfigUpdates.isEmpty(); }))
        << Shown(0).right(2000).toStdString();

    // The tick shows the current port in the status bar and the command window's title.
    EXPECT_TRUE(WaitUntil([&] { return Window().TickCount() > 0; }));
    const QString sTitle = FlexManager::instance()->dockWidget(W().pCmdContainer)->windowTitle();
    EXPECT_EQ(sTitle, QStringLiteral("Command Window->[%1]").arg(Tabs().tabText(0)));
}

TEST_F(MonitorTest, ARemovedSerialAdapterIsDisconnectedWhenItsDeviceGoes)
{
    QTemporaryDir dir;
    const std::string link = dir.filePath(QStringLiteral("ttyUSB0")).toStdString();
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug(link));
    QZvPortCtrlBase* pPort = TypeOpen(link);
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    QSignalSpy lost(&Tabs(), &CPortTab::SignalDisconnectPort);

    // Another device comes and goes: this port keeps its own.
    W().pDeviceMonitor->OnDeviceEvent(QStringLiteral("remove"), QStringLiteral("tty"), QStringLiteral("/dev/ttyUSB7"));
    W().pDeviceMonitor->OnDeviceEvent(QStringLiteral("add"), QStringLiteral("tty"), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(lost.count(), 0);

    rx.Unplug();
    // Events of subsystems no port stands on change nothing.
    W().pDeviceMonitor->OnDeviceEvent(QStringLiteral("remove"), QStringLiteral("block"), QStringLiteral("/dev/sdb"));
    EXPECT_EQ(lost.count(), 0);
    W().pDeviceMonitor->OnDeviceEvent(QStringLiteral("remove"), QStringLiteral("tty"), QString::fromStdString(link));
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost.at(0).at(1).toUInt(), pPort->UniquePortID);
    EXPECT_TRUE(WaitUntil([pPort] { return pPort->IsDisconnected(); }));
}

TEST_F(MonitorTest, ACommandToAPortWhoseConnectionFailedIsKeptAndTheWindowSaysWhy)
{
    QTemporaryDir dir;
    QZvPortCtrlBase* pPort = TypeOpen(dir.filePath(QStringLiteral("ttyUSB9")).toStdString());
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !Tabs().GetPortFailText(0).isEmpty() && !pPort->isRunning(); }));
    EXPECT_EQ(Tabs().tabToolTip(0), QStringLiteral("Can not open Port"));

    Type(QStringLiteral("log bestposa ontime 1"));
    EXPECT_EQ(W().pCmdInput->toPlainText(), QStringLiteral("log bestposa ontime 1"));
    EXPECT_EQ(W().pCmdInput->NotSentNote(),
              QStringLiteral("No port takes this command: the connection of %1 failed (Can not open Port).")
                  .arg(Tabs().tabText(0)));
    // The next command is typed over it and served on its own.
    QSignalSpy connects(W().pCmdInput->CmdInterface(), &QZvCmdInterface::SignalConnect);
    Type(QStringLiteral("open -t /dev/ttyUSB9"));
    EXPECT_EQ(connects.count(), 1);
    EXPECT_TRUE(W().pCmdInput->toPlainText().isEmpty());
}

TEST_F(MonitorTest, ClosingWhilePortsStreamEndsEveryPortPromptly)
{
    FakeReceiver serial1, serial2, net;
    ASSERT_TRUE(serial1.Plug());
    ASSERT_TRUE(serial2.Plug());
    const uint16_t nPort = net.Listen();
    ASSERT_NE(nPort, 0);
    ASSERT_NE(TypeOpen(serial1.Rx().Name()), nullptr);
    ASSERT_NE(TypeOpen(serial2.Rx().Name()), nullptr);
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = nPort;
    emit W().pQuickConnect->SignalConnect(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp);
    ASSERT_EQ(Tabs().count(), 3);
    for (FakeReceiver* pRx : {&serial1, &serial2, &net})
        pRx->StartStream(STREAM_ALL, 100000);
    for (int i = 0; i < 3; ++i)
    {
        // A view fills its text while it is in sight.
        Tabs().setCurrentIndex(i);
        ASSERT_TRUE(WaitUntil([&] { return Shown(i).contains(QStringLiteral("GPGGA")); })) << i;
    }

    Prompt.Answers = {true};
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(Window().close());
    RecordProperty("CloseMs", static_cast<int>(clock.elapsed()));
    // At most the port manager's bounded wait, with room for a loaded machine.
    EXPECT_LT(clock.elapsed(), QZvPortManager::DELETE_WAIT_MS + 1200);
    // A port still ending after the wait is destroyed as soon as its thread ends.
    EXPECT_TRUE(WaitUntil([] { return QZvPortCtrlBase::GetLiveCount() == 0; }, 20000));
    EXPECT_EQ(Tabs().count(), 0);
    // What the ports had queued for their views before they ended reaches nobody.
    QCoreApplication::processEvents();
    for (FakeReceiver* pRx : {&serial1, &serial2, &net})
        pRx->StopStream();
}

TEST_F(MonitorTest, ACommandForAllSessionsAndAHexadecimalCommandReachEveryReceiver)
{
    FakeReceiver first, second;
    ASSERT_TRUE(first.Plug());
    ASSERT_TRUE(second.Plug());
    QZvPortCtrlBase* pFirst = TypeOpen(first.Rx().Name());
    QZvPortCtrlBase* pSecond = TypeOpen(second.Rx().Name());
    ASSERT_TRUE(pFirst && pSecond);
    ASSERT_TRUE(WaitUntil([&] { return pFirst->IsPropertyValid() && pSecond->IsPropertyValid(); }));

    ChooseFromContextMenu(W().pCmdInput->viewport(), QStringLiteral("Send Commands to All Sessions"));
    EXPECT_EQ(FlexManager::instance()->dockWidget(W().pCmdContainer)->windowTitle(),
              QStringLiteral("Command Window->[Send Commands to All Sessions]"));
    Type(QStringLiteral("USERCONFIG"));
    for (int i : {1, 0})
    {
        Tabs().setCurrentIndex(i);
        EXPECT_TRUE(WaitUntil([&] { return Shown(i).contains(QStringLiteral("PPS ENABLE GPS POSITIVE")); })) << i;
    }
    ChooseFromContextMenu(W().pCmdInput->viewport(), QStringLiteral("Send Commands to All Sessions"));

    // "LOG BESTPOSA ONCE" and CR LF as bytes, to the current receiver only.
    ChooseFromContextMenu(W().pCmdInput->viewport(), QStringLiteral("Hex Send"));
    Tabs().setCurrentIndex(1);
    Type(QString::fromLatin1(QByteArray("LOG BESTPOSA ONCE\r\n").toHex(' ')));
    EXPECT_TRUE(WaitUntil([&] { return Shown(1).contains(QStringLiteral("#BESTPOSA")); })) << Shown(1).toStdString();
    Tabs().setCurrentIndex(0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Shown(0).contains(QStringLiteral("#BESTPOSA")));
}

TEST_F(MonitorTest, APresetButtonMadeInOneRunSendsItsCommandInTheNext)
{
    QFile::remove(PresetFilePath());
    QButtonBar* pBar = W().pButtonBar;
    Prompt.Texts = {QStringLiteral("Receiver")};
    ChooseFromContextMenu(pBar, QStringLiteral("Add Group"), QPoint(pBar->width() - 5, pBar->height() / 2));
    ChooseFromContextMenu(pBar, QStringLiteral("New Button"), QPoint(pBar->width() - 5, pBar->height() / 2));
    QButtonEdit* pEdit = pBar->ButtonEdit();
    ASSERT_TRUE(pEdit->isVisible());
    pEdit->findChild<QLineEdit*>(QStringLiteral("pLabelName"))->setText(QStringLiteral("Config"));
    pEdit->findChild<QPlainTextEdit*>(QStringLiteral("pSendString"))->setPlainText(QStringLiteral("USERCONFIG"));
    pEdit->findChild<QPushButton*>(QStringLiteral("pOKButton"))->click();
    Prompt.Answers = {true};
    ASSERT_TRUE(Window().close());

    StartMonitor();
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = TypeOpen(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    pBar = W().pButtonBar;
    pBar->GroupCombo()->setCurrentText(QStringLiteral("Receiver"));
    ASSERT_EQ(pBar->Buttons().size(), 1);
    EXPECT_EQ(pBar->Buttons().at(0)->text(), QStringLiteral("Config"));
    QCoreApplication::processEvents();
    qobject_cast<QToolButton*>(pBar->widgetForAction(pBar->Buttons().at(0)))->click();
    EXPECT_TRUE(WaitUntil([&] { return Shown(0).contains(QStringLiteral("PPS ENABLE GPS POSITIVE")); }));
}
