#include "monitor/shell/monitor_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void RegisterImages() { Q_INIT_RESOURCE(monitor_resources); }

void InitMonitorResources()
{
    static const bool bDone = (RegisterImages(), true);
    (void)bDone;
}
