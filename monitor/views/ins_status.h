// The INS status window: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QINStatus : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QINStatus(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendInspvaxMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    void OnUpdateINSStatus(void* pPortTab);
    void OnPortTabChange(int CurIndex);
};
