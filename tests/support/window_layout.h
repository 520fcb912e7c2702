// Whether a window shows every text it holds: a label, button, group title,
// combo box, tab, item view cell or header section whose text needs more room
// than its own geometry gives it is cut. RenderAndCheck also renders the window to an image, kept under
// ZV_UI_SHOTS when that is set, so that it can be looked at. Whether a font
// lines text up in columns.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

// Whether every glyph of a log or hex dump takes one width, so that columns
// line up (what counts, whatever the font calls itself).
inline bool HasOneGlyphWidth(const QFont& Font)
{
    const QFontMetricsF metrics(Font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar c : QStringLiteral("iWm.,:;|_ AF9#*"))
    {
        if (metrics.horizontalAdvance(c) != width)
            return false;
    }
    return width > 0;
}

inline QString Describe(const QWidget* p, const QString& sText, QSize need)
{
    return QString("%1 \"%2\": needs %3x%4, has %5x%6")
        .arg(p->objectName(), sText)
        .arg(need.width())
        .arg(need.height())
        .arg(p->width())
        .arg(p->height());
}

inline QString DescribeCell(const QWidget* p, const QString& sWhere, const QString& sText, QSize need, QSize has)
{
    return QString("%1 %2 \"%3\": needs %4x%5, has %6x%7")
        .arg(p->objectName(), sWhere, sText)
        .arg(need.width())
        .arg(need.height())
        .arg(has.width())
        .arg(has.height());
}

// The header sections in sight whose text needs more room than the section has.
inline void ClippedSections(QHeaderView* pHeader, QStringList& clipped)
{
    const QAbstractItemModel* pModel = pHeader->model();
    if (pModel == nullptr)
        return;
    const bool bHorizontal = pHeader->orientation() == Qt::Horizontal;
    const int nExtent = bHorizontal ? pHeader->viewport()->width() : pHeader->viewport()->height();
    for (int i = 0; i < pHeader->count(); ++i)
    {
        const int iLogical = pHeader->logicalIndex(i);
        const int nPos = pHeader->sectionViewportPosition(iLogical);
        const int nSize = pHeader->sectionSize(iLogical);
        if (pHeader->isSectionHidden(iLogical) || nSize <= 0 || nPos + nSize <= 0 || nPos >= nExtent)
            continue;
        const QString sText = pModel->headerData(iLogical, pHeader->orientation(), Qt::DisplayRole).toString();
        if (sText.isEmpty())
            continue;
        QStyleOptionHeader option;
        option.initFrom(pHeader);
        const QVariant font = pModel->headerData(iLogical, pHeader->orientation(), Qt::FontRole);
        if (font.canConvert<QFont>())
            option.fontMetrics = QFontMetrics(font.value<QFont>());
        option.text = sText;
        option.section = iLogical;
        option.orientation = pHeader->orientation();
        option.textAlignment = pHeader->defaultAlignment();
        if (pHeader->isSortIndicatorShown() && pHeader->sortIndicatorSection() == iLogical)
            option.sortIndicator = QStyleOptionHeader::SortDown;
        const QSize need = pHeader->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), pHeader);
        const QSize has = bHorizontal ? QSize(nSize, pHeader->height()) : QSize(pHeader->width(), nSize);
        if (need.width() > has.width() || need.height() > has.height())
            clipped << DescribeCell(pHeader->parentWidget() ? pHeader->parentWidget() : pHeader,
                                    QString("header section %1").arg(iLogical), sText, need, has);
    }
}

// The cells in sight of an item view whose text, with its icon and check box,
// needs more room than the cell has (wrapped where the view wraps its text).
inline void ClippedCells(QAbstractItemView* pView, QStringList& clipped)
{
    const QAbstractItemModel* pModel = pView->model();
    if (pModel == nullptr)
        return;
    const QRect viewport = pView->viewport()->rect();
    auto* pTable = qobject_cast<QTableView*>(pView);
    auto* pTree = qobject_cast<QTreeView*>(pView);
    auto* pList = qobject_cast<QListView*>(pView);
    const bool bWrap = (pTable && pTable->wordWrap()) || (pTree && pTree->wordWrap()) || (pList && pList->wordWrap());
    QStyleOptionViewItem base;
    base.initFrom(pView->viewport());
    base.font = pView->font();
    base.fontMetrics = QFontMetrics(base.font);
    base.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    base.decorationAlignment = Qt::AlignCenter;
    base.decorationPosition = QStyleOptionViewItem::Left;
    const int nIcon = pView->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, pView);
    base.decorationSize = pView->iconSize().isValid() ? pView->iconSize() : QSize(nIcon, nIcon);
    base.textElideMode = pView->textElideMode();
    if (bWrap)
        base.features |= QStyleOptionViewItem::WrapText;
    const auto check = [&](const QModelIndex& index)
    {
        const QRect rect = pView->visualRect(index);
        if (rect.isEmpty() || !rect.intersects(viewport) || pView->indexWidget(index) != nullptr)
            return;
        const QString sText = index.data(Qt::DisplayRole).toString();
        if (sText.isEmpty())
            return;
        QStyleOptionViewItem option = base;
        option.rect = rect;
        const QSize need = pView->itemDelegate(index)->sizeHint(option, index);
        if (need.width() > rect.width() || need.height() > rect.height())
            clipped << DescribeCell(pView, QString("cell %1,%2").arg(index.row()).arg(index.column()), sText, need,
                                    rect.size());
    };
    const int nColumns = pModel->columnCount(pView->rootIndex());
    if (pTree != nullptr)
    {
        // The rows in sight, from the top one down, expanded children included.
        for (QModelIndex row = pTree->indexAt(QPoint(0, 0)); row.isValid(); row = pTree->indexBelow(row))
        {
            if (pTree->visualRect(row).top() > viewport.bottom())
                break;
            for (int c = 0; c < pModel->columnCount(row.parent()); ++c)
                check(row.siblingAtColumn(c));
        }
        return;
    }
    int iFirst = 0, iLast = pModel->rowCount(pView->rootIndex()) - 1;
    if (pTable != nullptr)
    {
        iFirst = qMax(0, pTable->rowAt(0));
        const int iBottom = pTable->rowAt(viewport.height() - 1);
        if (iBottom >= 0)
            iLast = iBottom;
    }
    for (int r = iFirst; r <= iLast; ++r)
        for (int c = 0; c < nColumns; ++c)
            check(pModel->index(r, c, pView->rootIndex()));
}

// Widgets of the window whose text is cut by their own geometry.
inline QStringList ClippedTexts(QWidget* pWindow)
{
    QStringList clipped;
    for (QWidget* p : pWindow->findChildren<QWidget*>())
    {
        if (!p->isVisibleTo(pWindow) || p->window() != pWindow)
            continue;
        if (auto* pHeader = qobject_cast<QHeaderView*>(p))
            ClippedSections(pHeader, clipped);
        else if (auto* pView = qobject_cast<QAbstractItemView*>(p))
            ClippedCells(pView, clipped);
        else if (auto* pLabel = qobject_cast<QLabel*>(p))
        {
            if (pLabel->text().isEmpty() || pLabel->wordWrap())
                continue;
            const QSize need = pLabel->sizeHint();
            if (need.width() > p->width() || need.height() > p->height())
                clipped << Describe(p, pLabel->text(), need);
        }
        else if (auto* pButton = qobject_cast<QAbstractButton*>(p))
        {
            if (pButton->text().isEmpty())
                continue;
            QSize need = pButton->sizeHint();
            // The style makes push buttons at least about 80 pixels wide
            // whatever their text; a narrower one still shows a short text.
            if (qobject_cast<QPushButton*>(p) != nullptr)
            {
                const int nIcon = pButton->icon().isNull() ? 0 : pButton->iconSize().width() + 4;
                const int nText = pButton->fontMetrics().horizontalAdvance(pButton->text()) + nIcon +
                                  2 * p->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, p);
                need.setWidth(qMin(need.width(), nText));
            }
            if (need.width() > p->width() || need.height() > p->height())
                clipped << Describe(p, pButton->text(), need);
        }
        else if (auto* pGroup = qobject_cast<QGroupBox*>(p))
        {
            const QSize need = pGroup->minimumSizeHint();
            if (!pGroup->title().isEmpty() && need.width() > p->width())
                clipped << Describe(p, pGroup->title(), need);
        }
        else if (auto* pCombo = qobject_cast<QComboBox*>(p))
        {
            const int nText = pCombo->fontMetrics().horizontalAdvance(pCombo->currentText());
            if (!pCombo->isEditable() && nText + 24 > p->width())
                clipped << Describe(p, pCombo->currentText(), QSize(nText + 24, 0));
        }
        else if (auto* pTabs = qobject_cast<QTabBar*>(p))
        {
            for (int i = 0; i < pTabs->count(); ++i)
            {
                const QSize need(pTabs->fontMetrics().horizontalAdvance(pTabs->tabText(i)) + 16, 0);
                if (pTabs->tabRect(i).width() < need.width())
                    clipped << Describe(p, pTabs->tabText(i), need);
            }
        }
    }
    return clipped;
}

// Shows the window, renders it (kept under ZV_UI_SHOTS when that is set) and
// returns what is clipped.
inline std::string RenderAndCheck(QWidget* pWindow, const QString& sShotName)
{
    pWindow->show();
    QCoreApplication::processEvents();
    // On a display server (X) a shown window takes the size its layout asks
    // for once the server has answered; the picture and the check wait for it.
    QElapsedTimer clock;
    clock.start();
    while (pWindow->isWindow() && clock.elapsed() < 5000 &&
           pWindow->size() != pWindow->size().expandedTo(pWindow->minimumSize().expandedTo(pWindow->minimumSizeHint())))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QImage image = pWindow->grab().toImage();
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), pWindow->size() * pWindow->devicePixelRatioF());
    const QByteArray sShots = qgetenv("ZV_UI_SHOTS");
    if (!sShots.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(sShots)).filePath(sShotName + ".png"));
    const QStringList clipped = ClippedTexts(pWindow);
    pWindow->hide();
    return clipped.join('\n').toStdString();
}
