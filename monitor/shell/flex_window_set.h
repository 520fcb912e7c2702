// The tab set of the docking layer: a tab widget whose tabs the program names
// after its ports, with the text of the current tab at hand. The port tab set
// derives from it.
#pragma once

#include <QString>
#include <QTabWidget>

class QFlexWindowSet : public QTabWidget
{
    Q_OBJECT

public:
    explicit QFlexWindowSet(QWidget* pParent = nullptr);

    // Text of the current tab; empty when there is no tab.
    QString CurPortText() const;
    // Sets the text of the current tab; nothing when there is no tab.
    void setCurPortText(const QString& sText);
};
