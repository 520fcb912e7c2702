// The map window: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include "monitor/shell/stand_in_window.h"

class QFMapWindow : public CStandInWindow
{
    Q_OBJECT

public:
    QFMapWindow();

public slots:
    void OnUpdateMap(void* pPosition);
    void OnShow();
    void OnWindowVisible();
};
