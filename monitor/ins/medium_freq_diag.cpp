#include "monitor/ins/medium_freq_diag.h"

QMediumFreqDiag::QMediumFreqDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Medium Freq"), pParent)
{
    setObjectName(QStringLiteral("QMediumFreqDiag"));
}

void QMediumFreqDiag::OnMediumFreqDiagShow()
{
    Note("OnMediumFreqDiagShow");
    OnShowDialog();
}

void QMediumFreqDiag::OnUpdateDiag() { Note("OnUpdateDiag"); }
