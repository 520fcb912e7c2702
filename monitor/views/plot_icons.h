// The images of the plots' tool buttons (":/QZorvikMonitor/Icon/clear.png"
// and the like), with the monitor's own images. They live in a static
// library, so the windows that use them make sure they are registered.
#pragma once

// Registers the plots' images and the monitor's once; later calls do nothing.
void InitPlotIcons();
