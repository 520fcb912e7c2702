// The bytes a port handed to its view, as a spy on SignalUpdateUI recorded them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSignalSpy>
#include <QVariant>

#include "monitor/ports/port_ctrl_base.h"

inline QByteArray Joined(const QSignalSpy& Spy)
{
    QByteArray all;
    for (const QList<QVariant>& args : Spy)
    {
        all += args.at(2).toByteArray();
    }
    return all;
}

// What a port running in its own thread hands to its view, recorded in the
// test's thread as the event loop runs. A QSignalSpy records in the emitting
// thread, so reading it while the port runs races with the port's appends.
class CHandedOver
{
public:
    explicit CHandedOver(QZvPortCtrlBase* pCtrl)
    {
        QObject::connect(pCtrl, &QZvPortCtrlBase::SignalUpdateUI, &m_Context,
                         [this](uint ID, QZvPortCtrlBase::PORT_TYPE_E Type, QByteArray Data)
                         {
                             m_Batches << QList<QVariant>{ID, QVariant::fromValue(Type), Data};
                             m_Bytes += Data;
                         });
    }
    int count() const { return m_Batches.size(); }
    // ID, port type and bytes of one hand-over.
    const QList<QVariant>& at(int i) const { return m_Batches.at(i); }
    const QByteArray& Bytes() const { return m_Bytes; }

private:
    QObject m_Context;
    QList<QList<QVariant>> m_Batches;
    QByteArray m_Bytes;
};

inline QByteArray Joined(const CHandedOver& Handed) { return Handed.Bytes(); }
