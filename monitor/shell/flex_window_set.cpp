#include "monitor/shell/flex_window_set.h"

QFlexWindowSet::QFlexWindowSet(QWidget* pParent) : QTabWidget(pParent) {}

QString QFlexWindowSet::CurPortText() const
{
    const int i = currentIndex();
    return i >= 0 ? tabText(i) : QString();
}

void QFlexWindowSet::setCurPortText(const QString& sText)
{
    const int i = currentIndex();
    if (i >= 0)
        setTabText(i, sText);
}
