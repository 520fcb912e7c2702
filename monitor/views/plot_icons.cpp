#include "monitor/views/plot_icons.h"

#include <QtGlobal>

#include "monitor/shell/monitor_resources.h"

// Q_INIT_RESOURCE must stand outside any namespace.
static void RegisterPlotIcons() { Q_INIT_RESOURCE(plot_icons); }

void InitPlotIcons()
{
    static const bool bDone = (RegisterPlotIcons(), InitMonitorResources(), true);
    (void)bDone;
}
