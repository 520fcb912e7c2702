// The button editor: "OK" hands on a label and a send string the preset file
// can keep and refuses one it cannot; "Clear" and "Cancel"; the right-click
// menu of its fields in the monitor's language; rendered in both languages.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "monitor/shell/button_edit.h"
#include "monitor/shell/monitor_translations.h"
#include "support/scripted_prompt.h"

namespace
{
struct EDITOR_T
{
    QButtonEdit Dialog;
    QLineEdit* pLabel = Dialog.findChild<QLineEdit*>(QStringLiteral("pLabelName"));
    QPlainTextEdit* pSend = Dialog.findChild<QPlainTextEdit*>(QStringLiteral("pSendString"));
    QPushButton* Button(const char* pName) const { return Dialog.findChild<QPushButton*>(QLatin1String(pName)); }
    void Open(QString sLabel, QString sSend) { Dialog.OnOpenButtonEditWindow(sLabel, sSend); }
};
} // namespace

TEST(ButtonEdit, OkHandsOnTextsThePresetFileCanKeep)
{
    CScriptedPrompt prompt;
    EDITOR_T editor;
    ASSERT_TRUE(editor.pLabel && editor.pSend);
    QStringList handed;
    QObject::connect(&editor.Dialog, &QButtonEdit::SignalSendString,
                     [&](QString& Label, QString& Send) { handed << Label + "|" + Send; });

    editor.Open("Ver", "log version");
    EXPECT_TRUE(editor.Dialog.isVisible());
    EXPECT_EQ(editor.pLabel->text(), "Ver");
    editor.pSend->setPlainText("log version\nlog bestposa ontime 1");
    QTest::mouseClick(editor.Button("pOKButton"), Qt::LeftButton);
    EXPECT_EQ(handed, QStringList{"Ver|log version\nlog bestposa ontime 1"});
    EXPECT_FALSE(editor.Dialog.isVisible());

    // A separator of the file inside a text: refused with a warning, the dialog stays open.
    editor.Open("Two", "log a;;;log b");
    QTest::mouseClick(editor.Button("pOKButton"), Qt::LeftButton);
    EXPECT_EQ(handed.size(), 1);
    ASSERT_EQ(prompt.Messages.size(), 1);
    EXPECT_TRUE(prompt.Messages[0].startsWith("Warning|"));
    EXPECT_TRUE(editor.Dialog.isVisible());

    // An empty field: nothing handed on, the dialog closes.
    QTest::mouseClick(editor.Button("pClearButton"), Qt::LeftButton);
    EXPECT_TRUE(editor.pLabel->text().isEmpty() && editor.pSend->toPlainText().isEmpty());
    editor.pLabel->setText("Only label");
    QTest::mouseClick(editor.Button("pOKButton"), Qt::LeftButton);
    EXPECT_EQ(handed.size(), 1);
    EXPECT_FALSE(editor.Dialog.isVisible());

    editor.Open("Ver", "log version");
    QTest::mouseClick(editor.Button("pCancelButton"), Qt::LeftButton);
    EXPECT_EQ(handed.size(), 1);
    EXPECT_FALSE(editor.Dialog.isVisible());
}

class ButtonEditLanguage : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(GetParam())), 0); }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};

TEST_P(ButtonEditLanguage, TheDialogAndItsFieldMenusShowTheirTexts)
{
    const bool bZh = QLatin1String(GetParam()) == QLatin1String("zh");
    EDITOR_T editor;
    editor.Dialog.OnLanguageUpdate();
    editor.Open("Ver", "log version\r\nlog bestposa ontime 1");
    EXPECT_EQ(editor.Dialog.windowTitle(), bZh ? QStringLiteral("编辑按钮") : QStringLiteral("Edit Button"));
    QCoreApplication::processEvents();
    const QImage image = editor.Dialog.grab().toImage();
    if (!qgetenv("ZV_UI_SHOTS").isEmpty())
        image.save(
            QDir(qEnvironmentVariable("ZV_UI_SHOTS")).filePath(QStringLiteral("button_edit_%1.png").arg(GetParam())));

    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), editor.pSend->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(editor.pSend->viewport(), &event);
    QMenu* pMenu = editor.Dialog.findChild<QMenu*>();
    ASSERT_NE(pMenu, nullptr);
    ASSERT_GT(pMenu->actions().size(), 8);
    EXPECT_EQ(pMenu->actions()[0]->text(), bZh ? QStringLiteral("撤销") : QStringLiteral("Undo"));
    EXPECT_EQ(pMenu->actions()[8]->text(), bZh ? QStringLiteral("全选") : QStringLiteral("Select All"));
    pMenu->close();
}

INSTANTIATE_TEST_SUITE_P(Languages, ButtonEditLanguage, ::testing::Values("en", "zh"));
