#include "monitor/views/range_view.h"

QRangeView::QRangeView(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Range Parser"), pParent)
{
    setObjectName(QStringLiteral("QRangeView"));
}

void QRangeView::OnUpdateData(void*) { Note("OnUpdateData"); }

void QRangeView::OnSendCommand() { Note("OnSendCommand"); }
