// A stand-in for the monitor's prompt in tests: it records every box, question
// and chooser the windows open and answers from queues the test fills, so
// nothing waits on a user. Header-only, so suites that link no Qt need not
// know it.
#pragma once

#include <QStringList>
#include <deque>

#include "monitor/shell/monitor_prompt.h"

class CScriptedPrompt : public CMonitorPrompt
{
public:
    CScriptedPrompt() { SetMonitorPrompt(this); }
    ~CScriptedPrompt() override { SetMonitorPrompt(nullptr); }

    // What was shown, as "title|text" (messages and questions) or the caption (choosers).
    QStringList Messages, Questions, Choosers;
    QList<QUrl> OpenedUrls;
    std::deque<bool> Answers;  // answers to Question, Ask and two-button Inform; "No" when empty
    std::deque<QString> Paths; // answers to the choosers; cancel when empty
    std::deque<QString> Texts; // answers to Text and AskText; cancel when empty
    std::deque<QColor> Colours; // answers to Colour; cancel when empty
    bool UrlOpens = true;
    // With DeferAsks the questions that must not wait stay unanswered in
    // Deferred until the test calls them, as a user answers later.
    bool DeferAsks = false;
    std::deque<std::function<void(bool)>> Deferred;

    void Message(QWidget*, QMessageBox::Icon, const QString& sTitle, const QString& sText) override
    {
        Messages << sTitle + "|" + sText;
    }
    bool Question(QWidget*, const QString& sTitle, const QString& sText) override
    {
        Questions << sTitle + "|" + sText;
        return Next(Answers, false);
    }
    void Ask(QWidget*, const QString& sTitle, const QString& sText, std::function<void(bool)> onAnswer) override
    {
        Questions << sTitle + "|" + sText;
        if (DeferAsks)
            Deferred.push_back(std::move(onAnswer));
        else
            onAnswer(Next(Answers, false));
    }
    // One button: recorded with the messages; two: with the questions, answered from Answers.
    void Inform(QWidget*, QMessageBox::Icon, const QString& sTitle, const QString& sText, const QString&,
                const QString& sReject, std::function<void(bool)> onAnswer) override
    {
        bool bAnswer = true;
        if (sReject.isEmpty())
            Messages << sTitle + "|" + sText;
        else
        {
            Questions << sTitle + "|" + sText;
            bAnswer = Next(Answers, false);
        }
        if (onAnswer)
            onAnswer(bAnswer);
    }
    QString Text(QWidget*, const QString& sTitle, const QString&, const QString&, bool* pOk) override
    {
        Choosers << sTitle;
        const bool bAnswered = !Texts.empty();
        if (pOk)
            *pOk = bAnswered;
        return Next(Texts, QString());
    }
    void AskText(QWidget*, const QString& sTitle, const QString&, std::function<void(bool, QString)> onAnswer) override
    {
        Choosers << sTitle;
        const bool bAnswered = !Texts.empty();
        onAnswer(bAnswered, Next(Texts, QString()));
    }
    QString OpenFileName(QWidget*, const QString& sCaption, const QString&, const QString&) override
    {
        return Choose(sCaption);
    }
    QString SaveFileName(QWidget*, const QString& sCaption, const QString&, const QString&) override
    {
        return Choose(sCaption);
    }
    QString ExistingDirectory(QWidget*, const QString& sCaption, const QString&) override { return Choose(sCaption); }
    QColor Colour(QWidget*, const QColor&, const QString& sTitle) override
    {
        Choosers << sTitle;
        return Next(Colours, QColor());
    }
    bool OpenUrl(const QUrl& url) override
    {
        OpenedUrls << url;
        return UrlOpens;
    }

private:
    template <typename T> static T Next(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
    QString Choose(const QString& sCaption)
    {
        Choosers << sCaption;
        return Next(Paths, QString());
    }
};
