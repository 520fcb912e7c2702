#include "monitor/views/cn0_bar_chart.h"

QCN0BarChart::QCN0BarChart(QWidget* pParent) : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "CN0 View"), pParent)
{
    setObjectName(QStringLiteral("QCN0BarChart"));
}

void QCN0BarChart::OnUpdateCN0BarChart(void*) { Note("OnUpdateCN0BarChart"); }

void QCN0BarChart::OnPortTabChange(int) { Note("OnPortTabChange"); }
