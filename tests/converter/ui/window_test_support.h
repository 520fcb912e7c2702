// Shared pieces of the converter window tests: a scripted stand-in for every
// modal dialog, a fixture that gives each test its own configuration folder
// and an English start, and widget look-ups by object name.
#pragma once

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "codec/text_helpers.h"
#include "converter/ui/user_prompt.h"

// Records every dialog the windows ask for and answers from a queue of paths
// (an empty answer stands for a cancelled dialog).
class CFakePrompt : public CUserPrompt
{
public:
    struct Call
    {
        QString sKind; // "message", "open", "save", "url"
        QString sTitle;
        QString sText; // message text, or the filter of a file chooser
        QMessageBox::Icon eIcon = QMessageBox::NoIcon;
    };

    void Message(QWidget*, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText) override
    {
        m_Calls.push_back({"message", sTitle, sText, eIcon});
    }
    QString OpenFileName(QWidget*, const QString& sCaption, const QString&, const QString& sFilter) override
    {
        m_Calls.push_back({"open", sCaption, sFilter});
        return NextAnswer();
    }
    QString SaveFileName(QWidget*, const QString& sCaption, const QString&, const QString& sFilter) override
    {
        m_Calls.push_back({"save", sCaption, sFilter});
        return NextAnswer();
    }
    bool OpenUrl(const QUrl& url) override
    {
        m_Calls.push_back({"url", QString(), url.toString()});
        return m_bDesktopOpens;
    }

    std::deque<QString> m_Answers;
    std::vector<Call> m_Calls;
    bool m_bDesktopOpens = true; // whether the desktop can open what it is handed

private:
    QString NextAnswer()
    {
        if (m_Answers.empty())
            return QString();
        const QString s = m_Answers.front();
        m_Answers.pop_front();
        return s;
    }
};

class ConverterUiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_ConfigDir.isValid());
        SetCodecConfigDir(m_ConfigDir.path().toLocal8Bit().constData());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetUserPrompt(&m_Prompt);
    }
    void TearDown() override
    {
        SetUserPrompt(nullptr);
        SetCodecConfigDir("");
        QLocale::setDefault(QLocale::c());
    }

    QTemporaryDir m_ConfigDir;
    CFakePrompt m_Prompt;
};

// Runs the event loop until fnDone holds or nMs have passed; whether it held.
// (QTest's QTRY macros report a timeout to QTest, which GoogleTest never
// hears of: a wait that failed would pass unseen.)
template <typename Done> bool WaitFor(Done fnDone, int nMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!fnDone())
    {
        if (timer.elapsed() > nMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

template <typename T> T* Find(const QObject* pParent, const char* pName)
{
    T* p = pParent->findChild<T*>(QString::fromLatin1(pName));
    EXPECT_NE(p, nullptr) << pName;
    return p;
}

// Delivers the language-change events that installing a translator posts.
inline void DeliverLanguageChange() { QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange); }

// Chooses a language from the window's LANGUAGE menu, as the user does.
template <typename Window> void SwitchLanguage(Window* pWindow, const QString& sCode)
{
    auto* pMenu = Find<QMenu>(pWindow, "LanguageMenu");
    for (QAction* pAction : pMenu->actions())
        if (pAction->iconText() == sCode)
            pAction->trigger();
    DeliverLanguageChange();
}
