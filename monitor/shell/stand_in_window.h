// A window of the monitor that has not been built yet: the main window
// creates, wires and shows it like the real one, with the slots and signals
// the main window uses, and it tells the user that the window does not exist
// yet. It notes how often each of its slots was reached, so that the wiring
// can be checked before the real window replaces it.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

class QLabel;

class CStandInWindow : public QDialog
{
    Q_OBJECT

public:
    // pTitle: the window's title, a text of the context "CStandInWindow"
    // (QT_TRANSLATE_NOOP) so that it follows the language.
    CStandInWindow(const char* pTitle, QWidget* pParent);

    // How often the slot named pSlot was reached.
    int Calls(const char* pSlot) const { return m_Calls.value(QLatin1String(pSlot)); }

public slots:
    // Re-applies the texts in the current language.
    void OnLanguageUpdate();
    // Shows the window in front of the others.
    void OnShowDialog();

protected:
    // Counts a call of the slot pSlot.
    void Note(const char* pSlot);

private:
    const char* m_pTitle;
    QLabel* m_pTitleLabel;
    QLabel* m_pTextLabel;
    QHash<QString, int> m_Calls;
};
