#include "monitor/config/recv_status_diag.h"

QZvRecvStatusDiag::QZvRecvStatusDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Receiver Status"), pParent)
{
    setObjectName(QStringLiteral("QZvRecvStatusDiag"));
}

void QZvRecvStatusDiag::OnUpdateRecvStatus(void*) { Note("OnUpdateRecvStatus"); }

void QZvRecvStatusDiag::OnPortTabChange(int) { Note("OnPortTabChange"); }
