// The port tab set with the port manager, the "open" command and the status
// bar, wired as the monitor's main window wires them, for tests that drive the
// tabs as a user would against fake receivers. The scripted prompt answers
// every box.
#pragma once

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStringList>

#include "monitor/ports/port_manager.h"
#include "monitor/ports/port_records.h"
#include "monitor/shell/cmd_interface.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/status_bar.h"
#include "monitor/shell/txt_browser.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"

struct ShellStandIn
{
    CScriptedPrompt Prompt;
    QZvPortManager Manager;
    CPortTab Tabs;
    QZvCmdInterface Cmd;
    QZvStatusBar StatusBar;

    ShellStandIn()
    {
        // Views fill their documents while they are visible.
        Tabs.show();
        Tabs.SetPortManager(&Manager);
        Cmd.SetPortTab(&Tabs);
        StatusBar.SetPortTab(&Tabs);
        QObject::connect(&Cmd, &QZvCmdInterface::SignalConnect, &Manager, &QZvPortManager::AddPortCtrl);
        QObject::connect(&Manager, &QZvPortManager::SignalPostAddPort, &Tabs, &CPortTab::OnAddPort);
        QObject::connect(&Manager, &QZvPortManager::SignalAddPortFail, &Tabs, &CPortTab::OnAddPortFail);
        QObject::connect(&Manager, &QZvPortManager::SignalConnectStatus, &Tabs, &CPortTab::OnSetPortIcon);
        QObject::connect(&Manager, &QZvPortManager::SignalAutoReConnectStatus, &Tabs,
                         &CPortTab::OnSetAutoReconnectPortIcon);
        QObject::connect(&Manager, &QZvPortManager::SignalOpenFileFail, &Tabs, &CPortTab::OnOpenFileFail);
        QObject::connect(&Manager, &QZvPortManager::SignalUpgradeFWComplete, &Tabs, &CPortTab::OnUpgradeFWComplete);
        QObject::connect(&Manager, &QZvPortManager::SignalUpdateFail, &Tabs, &CPortTab::OnUpdateFail);
        QObject::connect(&Manager, &QZvPortManager::SignalUSBUpdateFail, &Tabs, &CPortTab::OnUsbUpdateFail);
        QObject::connect(&Tabs, &QTabWidget::tabCloseRequested, &Tabs, &CPortTab::OnClosePort);
        QObject::connect(&Tabs, &QTabWidget::currentChanged, &Tabs, &CPortTab::OnPortTabChange);
        QObject::connect(&Tabs, &CPortTab::SignalClosePort, &Manager, &QZvPortManager::DeletePortCtrl);
        QObject::connect(&Tabs, &CPortTab::SignalSetBaseCtrlTimeInterval, &Manager, &QZvPortManager::SetActivePortID);
        QObject::connect(&Tabs, &CPortTab::SignalDisconnectPort, &Manager, &QZvPortManager::DisconnectPort);
        QObject::connect(&Tabs, &CPortTab::SignalReconnectPort, &Manager, &QZvPortManager::ReconnectPort);
        QObject::connect(&Tabs, &CPortTab::SignalRefreshPortProperty, &Manager, &QZvPortManager::RefreshProperty);
        QObject::connect(&Tabs, &CPortTab::SignalSendCMD, &Manager, &QZvPortManager::OnSendPortData1Port);
        QObject::connect(&Tabs, &CPortTab::SignalUpgradeFWTab, &Manager, &QZvPortManager::OnSetUpgradeFW1Port);
        QObject::connect(&Tabs, &CPortTab::SignalCancelUpgradeFW, &Manager, &QZvPortManager::OnCancelUpgradeFW1Port);
        QObject::connect(&Tabs, &CPortTab::SignalUpdateStatusBar, &StatusBar, &QZvStatusBar::OnUpdateStatusBar);
        QObject::connect(&StatusBar, &QZvStatusBar::SignalRecheckPortProperty, &Tabs, &CPortTab::OnRefreshProperty);
    }

    // The main window's 100 ms tick, as far as the status bar goes.
    void Tick()
    {
        if (QZvPortCtrlBase* pCtrl = Tabs.GetCurPortCtrl())
        {
            StatusBar.OnUpdateStatusBar(pCtrl, QZvStatusBar::REFRESH_ALL);
            StatusBar.OnUpdateGUIStatus(nullptr, QZvStatusBar::REFRESH_PAUSE);
        }
    }

    // Opens a TCP port on the receiver's listening socket through the port
    // manager; the port once it has a tab and the receiver has described itself.
    QZvPortCtrlBase* OpenTcp(FakeReceiver& Rx)
    {
        TCP_CONFIG_T tcp;
        tcp.IPAddress = QStringLiteral("127.0.0.1");
        tcp.Port = Rx.Net().Port();
        if (Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp) != 0)
            return nullptr;
        QZvPortCtrlBase* pCtrl = Tabs.GetPortCtrl(Tabs.count() - 1);
        return WaitUntil([pCtrl] { return pCtrl->IsPropertyValid(); }) ? pCtrl : nullptr;
    }

    // Types "open" for a device and returns its port, once it has a tab.
    QZvPortCtrlBase* Open(const std::string& Device, uint Rate = 115200)
    {
        const int before = Tabs.count();
        Cmd.ParseCmd(QStringLiteral("open -t %1 -b %2").arg(QString::fromStdString(Device)).arg(Rate));
        return Tabs.count() > before ? Tabs.GetPortCtrl(Tabs.count() - 1) : nullptr;
    }
};
