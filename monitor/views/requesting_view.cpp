#include "monitor/views/requesting_view.h"

#include <QShowEvent>

#include "monitor/shell/port_tab.h"

void QRequestingView::Request()
{
    const uint nPortID = m_pPortTab != nullptr ? m_pPortTab->GetCurPortID() : 0;
    if (nPortID != 0)
        SendLogRequest(nPortID);
}

void QRequestingView::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (!pEvent->spontaneous())
        Request();
}

void QRequestingView::OnShowDialog()
{
    // Showing asks from the show event; a window shown already asks here.
    if (isVisible())
    {
        Request();
        raise();
        activateWindow();
    }
    else
        show();
}
