// Trace categories of the port layer. Debug and info traces are off and
// warnings on unless QT_LOGGING_RULES says otherwise (see the README):
//   zv.ports       connections, reconnections, upgrades, the port manager
//   zv.ports.data  bytes exchanged with receivers (property replies, queries);
//                  they are formatted only while this category is on
//   zv.ports.usb   the USB link library's own traces
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPorts)
Q_DECLARE_LOGGING_CATEGORY(lcPortsData)
Q_DECLARE_LOGGING_CATEGORY(lcPortsUsb)
