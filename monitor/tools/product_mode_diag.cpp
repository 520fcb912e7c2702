#include "monitor/tools/product_mode_diag.h"

QProductModeDiag::QProductModeDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Product Mode"), pParent)
{
    setObjectName(QStringLiteral("QProductModeDiag"));
}

void QProductModeDiag::OnProductModeDiagShow()
{
    Note("OnProductModeDiagShow");
    OnShowDialog();
}

void QProductModeDiag::OnProductBoardReset(uint) { Note("OnProductBoardReset"); }
