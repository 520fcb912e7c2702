// The small dialog that edits one command button: its label and the string
// it sends. Owned by the button bar, hidden (never destroyed) between uses.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui
{
class QButtonBarEditDialog;
}

class QButtonEdit : public QDialog
{
    Q_OBJECT

public:
    explicit QButtonEdit(QWidget* pParent = nullptr);
    ~QButtonEdit() override;

    bool eventFilter(QObject* pObj, QEvent* pEvent) override;

signals:
    // "OK" with both texts filled in.
    void SignalSendString(QString& Label, QString& SendString);

public slots:
    // Shows the dialog with these texts.
    void OnOpenButtonEditWindow(QString& Label, QString& SendString);
    // "OK": hands the texts on when both are filled in and hides the dialog; a
    // text the preset file could not keep is refused with a warning and the
    // dialog stays open.
    void OnSendString();
    // "Clear": empties both fields.
    void OnClearContent();
    void OnLanguageUpdate();

private:
    std::unique_ptr<Ui::QButtonBarEditDialog> m_pUi;
};
