// The automatic logging list: a stand-in until the window is built. It has what the main
// window uses of it and says that it is not built yet.
#pragma once

#include <QDateTime>
#include <QString>

#include "monitor/shell/stand_in_window.h"

class CPortTab;

class QAutoLogList : public CStandInWindow
{
    Q_OBJECT

public:
    explicit QAutoLogList(QWidget* pParent = nullptr);

    CPortTab* m_pPortTab = nullptr; // set by the main window

signals:
    void SignalLogNewFile(int Index, QString sFileName);
    void SignalStoplogFile(int index);
    void SignalCloseFile(int Index);
    void SignalSetFileName(int Index, QString sFileName);
    void SignalOpenFile(int Index);
    void SignalLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime);

public slots:
    void OnShowDiag();
    void OnPortCloseEvent(int Index);
    void OnRefreshAutoLogList();
};
