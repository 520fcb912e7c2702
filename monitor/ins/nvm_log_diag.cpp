#include "monitor/ins/nvm_log_diag.h"

QNvmLogDiag::QNvmLogDiag(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "NVM Log"), pParent)
{
    setObjectName(QStringLiteral("QNvmLogDiag"));
}
