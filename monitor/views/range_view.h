// The range observation table: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QByteArray>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QRangeView : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QRangeView(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalSendRangeMsg(uint UniquePortID, QByteArray WriteData);
    void SignalCheckConfigSendMask(uint Mask);

public slots:
    void OnUpdateData(void* pPortTab);
    void OnSendCommand();
};
