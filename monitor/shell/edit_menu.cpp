#include "monitor/shell/edit_menu.h"

#include <QCoreApplication>
#include <QMenu>

void RetitleEditMenu(QMenu* pMenu)
{
    const QList<QAction*> actions = pMenu->actions();
    if (actions.size() <= 8)
        return;
    // Entries 2 and 7 are separators.
    const struct
    {
        int Index;
        const char* Text;
    } titles[] = {
        {0, QT_TRANSLATE_NOOP("EditMenu", "Undo")},       {1, QT_TRANSLATE_NOOP("EditMenu", "Redo")},
        {3, QT_TRANSLATE_NOOP("EditMenu", "Cut")},        {4, QT_TRANSLATE_NOOP("EditMenu", "Copy")},
        {5, QT_TRANSLATE_NOOP("EditMenu", "Paste")},      {6, QT_TRANSLATE_NOOP("EditMenu", "Delete")},
        {8, QT_TRANSLATE_NOOP("EditMenu", "Select All")},
    };
    for (const auto& title : titles)
        actions[title.Index]->setText(QCoreApplication::translate("EditMenu", title.Text));
}
