// The log list dialog: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QLoglistDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QLoglistDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendLoglistMask(uint portindex, uint Mask);

public slots:
    void OnUpdateDiag();
};
