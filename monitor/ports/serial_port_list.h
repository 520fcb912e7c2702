// The system's serial ports, as the kernel lists them under /sys/class/tty.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Fills List with the device paths of the serial ports (/dev/ttyS*, /dev/ttyUSB*,
// /dev/ttyACM*), sorted by name and number. A ttyS entry without a UART behind
// it is left out. Returns 0, or 1 with Error "Do not have valid Uart!" when the
// system's list cannot be read.
int EnumSerialPorts(QStringList& List, QString& Error);
// The same over another sysfs class folder and device folder.
int EnumSerialPortsIn(const QString& SysClassTty, const QString& DevDir, QStringList& List, QString& Error);
// Replaces the system's list that EnumSerialPorts reads (tests list
// pseudo-terminals); an empty function restores it.
void SetSerialPortLister(std::function<int(QStringList& List, QString& Error)> Lister);
