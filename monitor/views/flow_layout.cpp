#include "monitor/views/flow_layout.h"

#include <QWidget>
#include <algorithm>
#include <vector>

CFlowLayout::CFlowLayout(QWidget* pParent) : QLayout(pParent) {}

CFlowLayout::~CFlowLayout()
{
    while (QLayoutItem* pItem = takeAt(0))
        delete pItem;
}

void CFlowLayout::addItem(QLayoutItem* pItem) { m_Items.append(pItem); }

QLayoutItem* CFlowLayout::takeAt(int i) { return i >= 0 && i < m_Items.size() ? m_Items.takeAt(i) : nullptr; }

int CFlowLayout::heightForWidth(int nWidth) const { return Arrange(QRect(0, 0, nWidth, 0), false); }

QSize CFlowLayout::minimumSize() const
{
    QSize size;
    for (const QLayoutItem* pItem : m_Items)
    {
        if (!pItem->isEmpty())
            size = size.expandedTo(pItem->minimumSize());
    }
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize CFlowLayout::sizeHint() const
{
    // As narrow as the widest item: a docked window asks no more room than it needs.
    const int w = minimumSize().width();
    return QSize(w, heightForWidth(w));
}

void CFlowLayout::setGeometry(const QRect& Rect)
{
    QLayout::setGeometry(Rect);
    Arrange(Rect, true);
}

int CFlowLayout::Arrange(const QRect& Rect, bool bPlace) const
{
    const QRect area = Rect.marginsRemoved(contentsMargins());
    const int gap = std::max(spacing(), 0);
    // Lines of items that fit the width (at least one item each).
    std::vector<std::vector<QLayoutItem*>> lines(1);
    int x = 0;
    for (QLayoutItem* pItem : m_Items)
    {
        if (pItem->isEmpty() && pItem->spacerItem() == nullptr)
            continue;
        const int w = pItem->sizeHint().width();
        if (x > 0 && x + gap + w > area.width() && !lines.back().empty())
        {
            lines.emplace_back();
            x = 0;
        }
        x += (x > 0 ? gap : 0) + w;
        lines.back().push_back(pItem);
    }
    int y = area.top();
    for (const std::vector<QLayoutItem*>& line : lines)
    {
        int h = 0;
        for (const QLayoutItem* pItem : line)
            h = std::max(h, pItem->sizeHint().height());
        int left = area.left();
        // The room left on the line goes to its expanding items (spacers).
        int spare = area.width();
        int expanding = 0;
        for (const QLayoutItem* pItem : line)
        {
            spare -= pItem->sizeHint().width();
            expanding += (pItem->expandingDirections() & Qt::Horizontal) ? 1 : 0;
        }
        spare -= gap * std::max(static_cast<int>(line.size()) - 1, 0);
        for (QLayoutItem* pItem : line)
        {
            QSize s = pItem->sizeHint();
            if (expanding > 0 && spare > 0 && (pItem->expandingDirections() & Qt::Horizontal))
                s.rwidth() += spare / expanding;
            s.setWidth(std::min(s.width(), area.width()));
            if (bPlace)
                pItem->setGeometry(QRect(QPoint(left, y + (h - s.height()) / 2), s));
            left += s.width() + gap;
        }
        y += h + gap;
    }
    return y - gap - area.top() + contentsMargins().top() + contentsMargins().bottom();
}
