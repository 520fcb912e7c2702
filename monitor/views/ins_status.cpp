#include "monitor/views/ins_status.h"

QINStatus::QINStatus(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "INS status"), pParent)
{
    setObjectName(QStringLiteral("QINStatus"));
}

void QINStatus::OnUpdateINSStatus(void*) { Note("OnUpdateINSStatus"); }

void QINStatus::OnPortTabChange(int) { Note("OnPortTabChange"); }
