// A row of controls that wraps onto further lines when its window is too
// narrow for it, so that a docked window never forces its width on the main
// window and never cuts a control's text. Items keep their size hints and are
// centred vertically in their line; a spacer item at the end of a line only
// adds room. Its size hint is its narrowest width.
#pragma once

#include <QLayout>
#include <QList>

class CFlowLayout : public QLayout
{
public:
    explicit CFlowLayout(QWidget* pParent = nullptr);
    ~CFlowLayout() override;

    void addItem(QLayoutItem* pItem) override;
    int count() const override { return m_Items.size(); }
    QLayoutItem* itemAt(int i) const override { return m_Items.value(i); }
    QLayoutItem* takeAt(int i) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int nWidth) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& Rect) override;

private:
    // Places the items in Rect (or only measures when bPlace is false);
    // returns the height used.
    int Arrange(const QRect& Rect, bool bPlace) const;

    QList<QLayoutItem*> m_Items;
};
