// The bytes a port handed to its view, as a spy on SignalUpdateUI recorded them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QSignalSpy>
#include <QVariant>

inline QByteArray Joined(const QSignalSpy& Spy)
{
    QByteArray all;
    for (const QList<QVariant>& args : Spy)
    {
        all += args.at(2).toByteArray();
    }
    return all;
}
