// The monitor's own boxes in the user's language: the buttons of its
// questions and messages (the close question among them) and Qt's standard
// buttons of the input and file dialogs follow the language chosen.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_translations.h"

namespace
{
// The texts of the buttons of the modal box that Show opens, sorted; the box
// is closed without an answer as soon as it is up.
QStringList ModalButtons(const std::function<void()>& Show)
{
    QStringList texts;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout,
                     [&]
                     {
                         QWidget* pBox = QApplication::activeModalWidget();
                         if (pBox == nullptr)
                             return;
                         poll.stop();
                         for (const QAbstractButton* pButton : pBox->findChildren<QAbstractButton*>())
                             if (pButton->isVisible())
                                 texts << pButton->text();
                         pBox->close();
                     });
    poll.start(10);
    Show();
    texts.sort();
    return texts;
}
} // namespace

TEST(MonitorPrompt, ItsButtonsAndQtsOwnFollowTheLanguage)
{
    const struct
    {
        const char* Language;
        QStringList Question;
        QStringList Message;
        QStringList Input; // Qt's own texts
    } cases[] = {
        {"en", {"No", "Yes"}, {"OK"}, {"Cancel", "OK"}},
        {"zh", {"否", "是"}, {"确定"}, {"取消", "确定"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Language);
        ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(c.Language)), 0);
        EXPECT_EQ(
            ModalButtons([] { MonitorPrompt()->Question(nullptr, "Quit", "Do you wish to close all the ports"); }),
            c.Question);
        EXPECT_EQ(ModalButtons([] { MonitorPrompt()->Message(nullptr, QMessageBox::Warning, "Warning", "text"); }),
                  c.Message);
        EXPECT_EQ(ModalButtons(
                      []
                      {
                          bool bOk = false;
                          MonitorPrompt()->Text(nullptr, "Rename tab", "please input New Tab Name:", "COM1", &bOk);
                      }),
                  c.Input);
    }
    InstallMonitorTranslations(QStringLiteral("en"));
}

// A window's warning comes in its message box, by the name the windows give it.
TEST(MonitorPrompt, AWarningComesInTheWindowsMessageBox)
{
    QString sName;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout,
                     [&]
                     {
                         if (QWidget* pBox = QApplication::activeModalWidget())
                         {
                             poll.stop();
                             sName = pBox->objectName();
                             pBox->close();
                         }
                     });
    poll.start(10);
    MonitorPrompt()->Message(nullptr, QMessageBox::Warning, "IP Port", "IP Port is invalid");
    EXPECT_EQ(sName, QStringLiteral("m_MsgBox"));
}
