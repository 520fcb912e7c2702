#include "receiver_ports.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "monitor/ports/tcp_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"

void PortCloser::operator()(QZvPortCtrlBase* pCtrl) const
{
    QMetaObject::invokeMethod(pCtrl, &QZvPortCtrlBase::OnCloseOnePort);
    pCtrl->RequestStop();
    pCtrl->wait(5000);
    delete pCtrl;
}

PortPtr OpenUartPort(FakeReceiver& Rx, uint32_t Rate, const BeforeStart& Connect)
{
    auto* pCtrl = new QZvUartPortCtrl();
    UART_CONFIG_T config;
    config.PortName = QString::fromStdString(Rx.Rx().Name());
    config.BaudRate = Rate;
    pCtrl->SetPortConfig(&config);
    UART_CTRL_TIMING_T t;
    t.Device = FastUartTiming();
    t.PropertyPoll = 20;
    t.PropertyPolls = 100; // ends at the reply; room for a loaded machine
    t.ReconnectFirstWait = 20;
    t.ReconnectSettle = 20;
    t.RateChangeWait = 10;
    t.RateSettle = 10;
    pCtrl->SetTiming(t);
    if (Connect)
        Connect(pCtrl);
    pCtrl->StartPortThread();
    return PortPtr(pCtrl);
}

PortPtr OpenTcpPort(FakeReceiver& Rx, const BeforeStart& Connect)
{
    auto* pCtrl = new QZvTCPPortCtrl();
    TCP_CONFIG_T config;
    config.IPAddress = QString::fromStdString(Rx.Net().Name());
    config.Port = Rx.Net().Port();
    pCtrl->SetPortConfig(&config);
    if (Connect)
        Connect(pCtrl);
    pCtrl->StartPortThread();
    return PortPtr(pCtrl);
}

bool WaitUntil(const std::function<bool()>& Done, int Ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!Done())
    {
        if (clock.elapsed() > Ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}
