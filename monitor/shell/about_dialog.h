// The About dialog: the maker's logo and a short credit with a link to the
// maker's web site, opened through the monitor's prompt. Created once by the
// main window, stays on top of other windows; closing it only hides it.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class CZvAboutDiag;
}

class CZvAboutDiag : public QDialog
{
    Q_OBJECT

public:
    // The maker's web site behind the link.
    static const char* const MAKER_URL;

    explicit CZvAboutDiag(QWidget* pParent = nullptr);
    ~CZvAboutDiag() override;

public slots:
    // Re-applies the title and the texts in the current language.
    void OnLanguageUpdate();

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    void OnLinkActivated(const QString& sLink);

    std::unique_ptr<Ui::CZvAboutDiag> m_pUi;
};
