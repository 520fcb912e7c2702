// Trace category of mDNS receiver discovery, zv.ports.mdns: debug and info
// traces are off and warnings on unless QT_LOGGING_RULES says otherwise.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMdns)
