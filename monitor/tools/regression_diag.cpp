#include "monitor/tools/regression_diag.h"

QRegressionDiag::QRegressionDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Regression"), pParent)
{
    setObjectName(QStringLiteral("QRegressionDiag"));
}
