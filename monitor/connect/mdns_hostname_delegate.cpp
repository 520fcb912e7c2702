#include "monitor/connect/mdns_hostname_delegate.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

QmDNSHostnameDelegate::QmDNSHostnameDelegate(QObject* pParent) : QStyledItemDelegate(pParent) {}

void QmDNSHostnameDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& Option,
                                  const QModelIndex& Index) const
{
    QStyleOptionViewItem option = Option;
    initStyleOption(&option, Index);
    const QVariant value = Index.data(Qt::DisplayRole);
    if (!value.isValid() || value.isNull())
        return;
    for (auto it = m_Buttons.begin(); it != m_Buttons.end();)
        it = it.key().isValid() ? std::next(it) : m_Buttons.erase(it);
    auto it = m_Buttons.find(QPersistentModelIndex(Index));
    if (it == m_Buttons.end())
    {
        QStyleOptionButton button;
        button.state |= QStyle::State_Enabled;
        it = m_Buttons.insert(QPersistentModelIndex(Index), button);
    }
    it->text = value.toString();
    it->rect = Option.rect;
    if (Option.state & QStyle::State_Selected)
        pPainter->fillRect(Option.rect, Option.palette.highlight());
    QApplication::style()->drawControl(QStyle::CE_PushButton, &it.value(), pPainter);
}

bool QmDNSHostnameDelegate::editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& Option,
                                        const QModelIndex& Index)
{
    const auto it = m_Buttons.find(QPersistentModelIndex(Index));
    if (it != m_Buttons.end() &&
        (pEvent->type() == QEvent::MouseButtonPress || pEvent->type() == QEvent::MouseButtonRelease))
    {
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (it->rect.contains(pMouse->pos()))
        {
            if (pEvent->type() == QEvent::MouseButtonPress)
            {
                it->state |= QStyle::State_Sunken;
            }
            else
            {
                it->state &= ~QStyle::State_Sunken;
                emit SignalOpenWeb(Index.row());
            }
        }
    }
    return QStyledItemDelegate::editorEvent(pEvent, pModel, Option, Index);
}

QSize QmDNSHostnameDelegate::sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    QStyleOptionViewItem option = Option;
    initStyleOption(&option, Index);
    return option.rect.size();
}
