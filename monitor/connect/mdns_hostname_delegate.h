// Draws the host-name cells of the discovered receivers' table as push
// buttons; a click on one asks for that receiver's web page.
#pragma once

#include <QHash>
#include <QPersistentModelIndex>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>

class QmDNSHostnameDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit QmDNSHostnameDelegate(QObject* pParent = nullptr);

    void paint(QPainter* pPainter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    bool editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& Option,
                     const QModelIndex& Index) override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

signals:
    void SignalOpenWeb(int Index);

private:
    // One button per painted cell. Persistent indexes follow their rows when
    // rows before them go, so a button never answers for another receiver.
    mutable QHash<QPersistentModelIndex, QStyleOptionButton> m_Buttons;
};
