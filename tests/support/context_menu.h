// A right click on a widget and the choice of one entry of the context menu
// that opens, as a user makes it: the menu runs its own loop, so the entry is
// chosen from inside it. An entry of a submenu is found too; with no such
// entry the menu closes and the test fails.
#pragma once

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

inline void ChooseFromContextMenu(QWidget* pTarget, const QString& sEntry, QPoint At = QPoint(5, 5))
{
    QTimer::singleShot(0, [sEntry] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr) << "no context menu for " << sEntry.toStdString();
        QAction* pChosen = nullptr;
        for (QAction* pAction : pMenu->findChildren<QAction*>())
        {
            if (pAction->text() == sEntry && pAction->isEnabled())
                pChosen = pAction;
        }
        EXPECT_NE(pChosen, nullptr) << "no entry " << sEntry.toStdString();
        pMenu->close();
        if (pChosen != nullptr)
            pChosen->trigger();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, At, pTarget->mapToGlobal(At));
    QApplication::sendEvent(pTarget, &event);
}
