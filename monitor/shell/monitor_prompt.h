// Everything through which the monitor's windows wait on the user or hand
// something to the desktop: message boxes, questions, file and folder
// choosers, a line of input and opening a link or document. Windows call
// MonitorPrompt(); tests install a scripted stand-in with SetMonitorPrompt so
// that nothing blocks.
//
// Slots on the receive road (a port's data arriving, a script's output) must
// never run a nested event loop: a modal box there would handle the next
// batches of the same port re-entrantly. They use Ask(), which returns at once
// and calls back when the user has answered.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

class CMonitorPrompt
{
public:
    virtual ~CMonitorPrompt() = default;

    // A modal box with one "OK" button.
    virtual void Message(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText);
    // A modal question with "Yes" and "No"; true for Yes. Not for the receive road.
    virtual bool Question(QWidget* pParent, const QString& sTitle, const QString& sText);
    // The same question without waiting: onAnswer runs later, in the GUI thread,
    // with the user's answer (false when the box is closed).
    virtual void Ask(QWidget* pParent, const QString& sTitle, const QString& sText, std::function<void(bool)> onAnswer);
    // A box that does not wait, for reports that reach a window from a port
    // (a port may report again before the user has answered): one button
    // sAccept, or two when sReject is not empty. onAnswer (may be empty) runs
    // later, in the GUI thread, with true for sAccept and false for sReject or
    // when the box is closed.
    virtual void Inform(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText,
                        const QString& sAccept, const QString& sReject, std::function<void(bool)> onAnswer);
    // A line of text; bOk tells whether the user accepted.
    virtual QString Text(QWidget* pParent, const QString& sTitle, const QString& sLabel, const QString& sDefault,
                         bool* pOk);
    // The same without waiting, for a request that arrives on a stream (a
    // script's output): onAnswer runs later, in the GUI thread, with whether
    // the user accepted and the text.
    virtual void AskText(QWidget* pParent, const QString& sTitle, const QString& sLabel,
                         std::function<void(bool, QString)> onAnswer);
    // The chosen path, or an empty text when the user cancelled.
    virtual QString OpenFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                 const QString& sFilter);
    virtual QString SaveFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                 const QString& sFilter);
    virtual QString ExistingDirectory(QWidget* pParent, const QString& sCaption, const QString& sDir);
    // A colour chosen from colInitial on; an invalid colour when the user cancelled.
    virtual QColor Colour(QWidget* pParent, const QColor& colInitial, const QString& sTitle);
    // Hands a link or document to the desktop's default handler.
    virtual bool OpenUrl(const QUrl& url);
};

// The prompt in use; never null.
CMonitorPrompt* MonitorPrompt();
// Installs pPrompt (not owned); null restores the real dialogs.
void SetMonitorPrompt(CMonitorPrompt* pPrompt);
