// The port tab set and port manager as the main window joins them, with a
// fake receiver on loopback TCP, for the plot and table tests that run
// against a receiver: Open() connects to it and waits for its description.
#pragma once

#include "monitor/ports/port_manager.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"

// The port's description must name the receiver's port (its prompt): a
// query whose reply came in two pieces may have been taken without it, and
// is then asked again.
inline QZvPortCtrlBase* OpenReceiver(ShellStandIn& Shell, FakeReceiver& Rx)
{
    if (Rx.Net().Port() == 0 && Rx.Listen() == 0)
        return nullptr;
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = Rx.Net().Port();
    if (Shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp) != 0)
        return nullptr;
    QZvPortCtrlBase* pCtrl = Shell.Tabs.GetPortCtrl(Shell.Tabs.count() - 1);
    for (int i = 0; i < 10; ++i)
    {
        if (!WaitUntil([pCtrl] { return pCtrl->IsPropertyValid(); }))
            return nullptr;
        if (!pCtrl->Property.Get().Port.isEmpty())
            return pCtrl;
        Shell.Manager.RefreshProperty(0, pCtrl->UniquePortID);
        WaitUntil([pCtrl] { return !pCtrl->Property.Get().Port.isEmpty(); }, 2000);
    }
    return pCtrl->Property.Get().Port.isEmpty() ? nullptr : pCtrl;
}
