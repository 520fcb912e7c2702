#include "monitor/views/map_window.h"

QFMapWindow::QFMapWindow() : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Map Window"), nullptr)
{
    setObjectName(QStringLiteral("QFMapWindow"));
}

void QFMapWindow::OnUpdateMap(void*) { Note("OnUpdateMap"); }

void QFMapWindow::OnShow()
{
    Note("OnShow");
    OnShowDialog();
}

void QFMapWindow::OnWindowVisible() { Note("OnWindowVisible"); }
