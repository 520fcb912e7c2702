// The receiver configuration dialog: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QString>

#include "monitor/shell/stand_in_window.h"

class QZvRecvConfig : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QZvRecvConfig(QWidget* pParent = nullptr);

signals:
    void SignalSendRecvConfig(QString Msg);

public slots:
    void OnUpdateDiag(void* pPortTab);
    void OnUpdateRefCurPos(void* pData);
};
