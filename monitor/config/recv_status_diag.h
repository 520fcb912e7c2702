// The receiver status window: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QZvRecvStatusDiag : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QZvRecvStatusDiag(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendNMEAMsg(uint UniquePortID, QByteArray WriteData);

public slots:
    void OnUpdateRecvStatus(void* pTab);
    void OnPortTabChange(int CurIndex);
};
