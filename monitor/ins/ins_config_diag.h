// The INS configuration dialog: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QString>

#include "monitor/shell/stand_in_window.h"

class QZvINSConfig : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QZvINSConfig(QWidget* pParent = nullptr);

signals:
    void SignalSendINSCommnadMsg(QString Msg);

public slots:
    void OnUpdateDiag(void* pPortTab);
};
