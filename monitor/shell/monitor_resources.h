// The monitor's embedded images (":/QZorvikMonitor/...") and the command
// window's word lists (":/Completer/..."). They live in a static library, so
// windows that use them make sure they are registered. Also the fixed-pitch
// font of the windows that show receiver text.
#pragma once

#include <QFont>

// Registers the images once; later calls do nothing.
void InitMonitorResources();

// The desktop's fixed-pitch font, so that columns of logs and hex dumps line
// up; where the desktop's one is not fixed pitch, a family that is (DejaVu
// Sans Mono first), at the desktop's size.
QFont MonitorFixedFont();
