#include "monitor/ports/ports_log.h"

#include "monitor/ports/usb/usb_device.h"

Q_LOGGING_CATEGORY(lcPorts, "zv.ports", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPortsData, "zv.ports.data", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPortsUsb, "zv.ports.usb", QtWarningMsg)

namespace
{
// The USB library has no Qt: its traces reach zv.ports.usb through its sink,
// installed with the port layer.
const bool kUsbTraces =
    (UsbSetTraceSink([](const char* pText) { qCDebug(lcPortsUsb, "%s", QByteArray(pText).trimmed().constData()); }),
     true);
} // namespace
