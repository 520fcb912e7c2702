// A port controller without a device or thread, for tests of what sits above
// the ports: it lives in the test's thread, hands bytes to the views with
// Receive (as a port's status tick does) and records what is written to it.
#pragma once

#include <QByteArray>
#include <QString>

#include "monitor/ports/port_ctrl_base.h"

class CMemoryPortCtrl : public QZvPortCtrlBase
{
public:
    explicit CMemoryPortCtrl(PORT_TYPE_E eType = PORT_TYPE_TCP, const QString& sName = QStringLiteral("127.0.0.1"))
        : QZvPortCtrlBase(eType), m_sName(sName)
    {
    }
    int SetPortConfig(void*) override { return 0; }
    int ClosePort() override { return 0; }
    QString GetPortName() const override { return m_sName; }
    void OnWritePort(uint ID, QByteArray WriteData) override
    {
        if (ID == UniquePortID || ID == ANY_PORT_ID)
            Written += WriteData;
    }
    // The bytes as the port's tick hands them to the user interface.
    void Receive(const QByteArray& Data) { emit SignalUpdateUI(UniquePortID, PortType, Data); }

    QByteArray Written;

private:
    QString m_sName;
};
