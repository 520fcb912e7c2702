#include "monitor/shell/fit_texts.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

namespace
{
// Pixels of room on each side of a header's text beyond the style's margins.
constexpr int kHeaderRoom = 8;
} // namespace

void FitTableColumns(QTableView* pTable)
{
    QHeaderView* pHeader = pTable->horizontalHeader();
    pTable->resizeColumnsToContents();
    for (int c = 0; c < pHeader->count(); ++c)
        if (!pHeader->isSectionHidden(c))
            pTable->setColumnWidth(c, qMax(pTable->columnWidth(c), pHeader->sectionSizeHint(c) + 2 * kHeaderRoom));
    // Sizing every column took the stretch off the last one; turning it on
    // again gives it the width left over.
    pHeader->setStretchLastSection(false);
    pHeader->setStretchLastSection(true);
}

void ShowPathText(QLineEdit* pEdit, const QString& sPath)
{
    pEdit->setText(sPath);
    pEdit->setCursorPosition(0);
    pEdit->setToolTip(sPath);
}
