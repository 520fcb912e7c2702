// A right click on a widget and the choice of one entry of the context menu
// that opens, as a user makes it, once the menu is up (whether it runs a loop
// of its own or not). An entry of a submenu is found too; with no such entry
// the menu closes and the test fails.
#pragma once

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

inline void ChooseFromContextMenu(QWidget* pTarget, const QString& sEntry, QPoint At = QPoint(5, 5))
{
    auto pChosen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [sEntry, pChosen] {
        *pChosen = true;
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr) << "no context menu for " << sEntry.toStdString();
        QAction* pEntry = nullptr;
        for (QAction* pAction : pMenu->findChildren<QAction*>())
        {
            if (pAction->text() == sEntry && pAction->isEnabled())
                pEntry = pAction;
        }
        EXPECT_NE(pEntry, nullptr) << "no entry " << sEntry.toStdString();
        pMenu->close();
        if (pEntry != nullptr)
            pEntry->trigger();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, At, pTarget->mapToGlobal(At));
    QApplication::sendEvent(pTarget, &event);
    while (!*pChosen)
        QCoreApplication::processEvents();
}
