// Port controllers on a fake receiver's line, started as the port manager
// starts them and closed and deleted as it does, for the tests of everything
// above the port layer (views, tabs, dialogs).
#pragma once

#include <functional>
#include <memory>

#include "fake_receiver.h"
#include "monitor/ports/port_ctrl_base.h"

struct PortCloser
{
    void operator()(QZvPortCtrlBase* pCtrl) const;
};
using PortPtr = std::unique_ptr<QZvPortCtrlBase, PortCloser>;

// Called with a new controller before it starts, to connect to it.
using BeforeStart = std::function<void(QZvPortCtrlBase*)>;

// A serial port on the receiver's pseudo-terminal at Rate (0 detects the
// rate), with waits short enough for a pseudo-terminal; started.
PortPtr OpenUartPort(FakeReceiver& Rx, uint32_t Rate = 115200, const BeforeStart& Connect = {});
// A TCP port on the receiver's listening socket; started.
PortPtr OpenTcpPort(FakeReceiver& Rx, const BeforeStart& Connect = {});

// Runs the event loop until Done() holds; false after Ms milliseconds.
bool WaitUntil(const std::function<bool()>& Done, int Ms = 20000);
