// The message output configuration: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QString>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QFMsgConfig : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QFMsgConfig(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendMsg(QString Msg);

public slots:
    void OnUpdateDiag(void* pPortTab);
};
