// The debug window: a read-only view in a fixed-pitch font that collects the
// debug text of scripts and the port tabs' notes, newest text in view. Created
// once by the main window and shown (or docked) on demand; closing it only
// hides it.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class FDebugWindow;
}

class FDebugWindowDialog : public QDialog
{
    Q_OBJECT

public:
    // Lines kept: the oldest go once a long run's scripts have written more.
    static constexpr int MAX_LINES = 50000;

    explicit FDebugWindowDialog(QWidget* pParent = nullptr);
    ~FDebugWindowDialog() override;

public slots:
    // Appends sContent as it stands (no line break added).
    void OnInsertContentToDebugWindow(QString sContent);
    void ShowDebugWindow();
    void OnCurrentTabChanged(int TabIndex);

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    std::unique_ptr<Ui::FDebugWindow> m_pUi;
};
