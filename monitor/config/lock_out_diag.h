// The satellite lock-out form: one tab per satellite system (GPS, GLO, GAL,
// BDS) with a check box per satellite number, built in code. Nothing shows it,
// reads its boxes or sends from it; the satellites are locked out from the
// receiver configuration dialog's "Sat Enable" page.
#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QTabWidget;

class QLockOutDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QLockOutDiag(QWidget* pParent = nullptr);
    ~QLockOutDiag() override;

public slots:
    // Re-applies the texts in the current language.
    void OnLanguageUpdate();

private:
    void BuildSystemTab(int iSystem, int nColumns, int nSatellites);

    QTabWidget* m_pTabs;
    QList<QLabel*> m_EnableHeaders;
};
