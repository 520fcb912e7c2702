#include "monitor/views/highlight_diag.h"

QFHighLightDiag::QFHighLightDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Highlight"), pParent)
{
    setObjectName(QStringLiteral("QFHighLightDiag"));
}

void QFHighLightDiag::OnLanguageUpdate(QString) { CStandInWindow::OnLanguageUpdate(); }
