#include "converter/ui/window_fit.h"

#include <QLayout>
#include <QWidget>

void FixWindowSize(QWidget* pWindow, const QSize& designed)
{
    pWindow->ensurePolished();
    pWindow->setMinimumSize(0, 0);
    pWindow->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Nested layouts keep size hints from before the texts or the style
    // changed; all of them are worked out anew.
    for (QLayout* pLayout : pWindow->findChildren<QLayout*>())
        pLayout->invalidate();
    if (pWindow->layout())
    {
        pWindow->layout()->invalidate();
        pWindow->layout()->activate();
    }
    pWindow->setFixedSize(designed.expandedTo(pWindow->minimumSizeHint()));
}

// Q_INIT_RESOURCE must stand outside any namespace; the resources live in a
// static library, so nothing would pull them in otherwise.
static void InitResourcesOnce()
{
    Q_INIT_RESOURCE(moxelin);
    Q_INIT_RESOURCE(moxelin_translations);
}

void InitMoxelinResources()
{
    static const bool bDone = (InitResourcesOnce(), true);
    (void)bDone;
}
