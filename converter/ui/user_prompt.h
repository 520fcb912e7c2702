// Everything through which the converter's windows wait on the user or hand
// something to the desktop: modal message boxes, file choosers and opening a
// document. The windows call UserPrompt(); tests install a scripted stand-in
// with SetUserPrompt so that nothing blocks.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>

class QWidget;

class CUserPrompt
{
public:
    virtual ~CUserPrompt() = default;

    // A modal box with one OK button; the button's text is translated as "OK".
    virtual void Message(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText);
    // The chosen path, or an empty text when the user cancelled.
    virtual QString OpenFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                 const QString& sFilter);
    virtual QString SaveFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                 const QString& sFilter);
    // Hands a document to the desktop's default handler.
    virtual bool OpenUrl(const QUrl& url);
};

// The prompt in use; never null.
CUserPrompt* UserPrompt();
// Installs pPrompt (not owned); null restores the real dialogs.
void SetUserPrompt(CUserPrompt* pPrompt);
