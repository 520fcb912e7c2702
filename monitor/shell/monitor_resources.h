// The monitor's embedded images (":/QZorvikMonitor/...") and the command
// window's word lists (":/Completer/..."). They live in a static library, so
// windows that use them make sure they are registered.
#pragma once

// Registers the images once; later calls do nothing.
void InitMonitorResources();
