#include "monitor/ports/mdns/mdns_log.h"

Q_LOGGING_CATEGORY(lcMdns, "zv.ports.mdns", QtWarningMsg)
