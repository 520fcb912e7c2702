// The coordinate conversion tool: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include "monitor/shell/stand_in_window.h"

class QLonAndLatConvertDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QLonAndLatConvertDiag(QWidget* pParent = nullptr);
};
