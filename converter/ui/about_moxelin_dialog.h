// The About dialog: program icon, maker's logo, program name with the
// version the build sets, and an OK button.
// Created once by the main window and shown modeless.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui
{
class MoxelinAboutWindow;
}

class CAboutMoxelinDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutMoxelinDialog(QWidget* parent = nullptr);
    ~CAboutMoxelinDialog() override;

public slots:
    void OnLanguageUpdate();
    void AboutDialogClose();

private:
    std::unique_ptr<Ui::MoxelinAboutWindow> m_pUi;
};
