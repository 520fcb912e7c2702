// The hex to binary tool: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include "monitor/shell/stand_in_window.h"

class QHextoBinDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QHextoBinDiag(QWidget* pParent = nullptr);
};
