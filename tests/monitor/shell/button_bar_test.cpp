// The command button bar driven from its context menu and its editor: groups
// made, refused and deleted; buttons made and edited, kept in the preset file
// and read back by the next bar; a click sends the button's text to the
// current port, or runs the script a "$$" text names.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "monitor/shell/button_bar.h"
#include "monitor/shell/button_edit.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/preset_file.h"
#include "support/context_menu.h"
#include "support/fifo_guard.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"

namespace
{
class ButtonBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(PresetFilePath());
        m_Tabs.OnAddPort(m_Port.UniquePortID, m_Port.PortType, &m_Port);
        Restart();
    }
    // A bar as the next start of the monitor makes it, from the preset file.
    void Restart()
    {
        m_pBar = std::make_unique<QButtonBar>();
        m_pBar->SetPortTab(&m_Tabs);
        m_pBar->resize(800, 40);
        m_pBar->show();
    }
    void ChooseOnEmptySpace(const QString& sEntry)
    {
        ChooseFromContextMenu(m_pBar.get(), sEntry, QPoint(m_pBar->width() - 5, m_pBar->height() / 2));
    }
    void ChooseOnButton(int i, const QString& sEntry)
    {
        // New buttons are placed once the bar is laid out.
        QCoreApplication::processEvents();
        QWidget* pButton = m_pBar->widgetForAction(m_pBar->Buttons().at(i));
        ChooseFromContextMenu(m_pBar.get(), sEntry, pButton->geometry().center());
    }
    // Fills the editor the bar opened and presses "OK".
    void Edit(const QString& sLabel, const QString& sSend)
    {
        QButtonEdit* pEdit = m_pBar->ButtonEdit();
        ASSERT_TRUE(pEdit->isVisible());
        pEdit->findChild<QLineEdit*>(QStringLiteral("pLabelName"))->setText(sLabel);
        pEdit->findChild<QPlainTextEdit*>(QStringLiteral("pSendString"))->setPlainText(sSend);
        pEdit->findChild<QPushButton*>(QStringLiteral("pOKButton"))->click();
    }
    QStringList Labels() const
    {
        QStringList labels;
        for (QAction* pAction : m_pBar->Buttons())
            labels << pAction->text();
        return labels;
    }

    CScriptedPrompt m_Prompt;
    CMemoryPortCtrl m_Port{QZvPortCtrlBase::PORT_TYPE_TCP};
    CPortTab m_Tabs;
    std::unique_ptr<QButtonBar> m_pBar;
};
} // namespace

TEST_F(ButtonBar, AGroupMadeInTheBarIsSavedReadBackAndItsButtonsSend)
{
    EXPECT_EQ(m_pBar->GroupCombo()->currentText(), QStringLiteral("Default"));
    m_Prompt.Texts = {QStringLiteral("Receiver")};
    ChooseOnEmptySpace(QStringLiteral("Add Group"));
    EXPECT_EQ(m_pBar->GroupCombo()->currentText(), QStringLiteral("Receiver"));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Ver"), QStringLiteral("log version\nlog bestposa once"));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("测试"), QStringLiteral("$$check_fix.py"));
    ChooseOnButton(0, QStringLiteral("Edit Button"));
    Edit(QStringLiteral("Version"), QStringLiteral("log version\nlog bestposa once"));
    EXPECT_EQ(Labels(), QStringList({QStringLiteral("Version"), QStringLiteral("测试")}));

    QFile file(PresetFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(
        QStringLiteral("Receiver:::Version,,,log version@LFlog bestposa once;;;测试,,,$$check_fix.py;;;\r\n").toUtf8()));

    Restart();
    m_pBar->GroupCombo()->setCurrentText(QStringLiteral("Receiver"));
    ASSERT_EQ(Labels(), QStringList({QStringLiteral("Version"), QStringLiteral("测试")}));
    QSignalSpy sent(m_pBar.get(), &QButtonBar::SignalSendCMD);
    QSignalSpy scripts(m_pBar.get(), &QButtonBar::SignalRunScript);
    qobject_cast<QToolButton*>(m_pBar->widgetForAction(m_pBar->Buttons().at(0)))->click();
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), m_Port.UniquePortID);
    EXPECT_EQ(sent.at(0).at(1).toByteArray(), QByteArray("log version\nlog bestposa once\r\n"));
    // A "$$" button runs its script in the current tab and sends nothing.
    qobject_cast<QToolButton*>(m_pBar->widgetForAction(m_pBar->Buttons().at(1)))->click();
    EXPECT_EQ(sent.count(), 1);
    ASSERT_EQ(scripts.count(), 1);
    EXPECT_EQ(scripts.at(0).at(0).toString(), QStringLiteral("check_fix.py"));

    ChooseOnButton(1, QStringLiteral("Delete Button"));
    EXPECT_EQ(Labels(), QStringList(QStringLiteral("Version")));
    Restart();
    m_pBar->GroupCombo()->setCurrentText(QStringLiteral("Receiver"));
    EXPECT_EQ(Labels(), QStringList(QStringLiteral("Version")));
}

TEST_F(ButtonBar, AnEditLandsOnTheButtonItWasOpenedOnWhateverIsClickedBeforeOk)
{
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Ver"), QStringLiteral("log version"));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Pos"), QStringLiteral("log bestposa"));
    m_Prompt.Texts = {QStringLiteral("Base")};
    ChooseOnEmptySpace(QStringLiteral("Add Group"));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Ref"), QStringLiteral("log refstation"));
    m_pBar->GroupCombo()->setCurrentIndex(0);
    const auto sends = [this](int g) { return m_pBar->Presets().GroupSendStrings.at(g); };

    // Another button clicked while the editor is open.
    ChooseOnButton(0, QStringLiteral("Edit Button"));
    qobject_cast<QToolButton*>(m_pBar->widgetForAction(m_pBar->Buttons().at(1)))->click();
    Edit(QStringLiteral("Version"), QStringLiteral("log version once"));
    EXPECT_EQ(Labels(), QStringList({QStringLiteral("Version"), QStringLiteral("Pos")}));
    EXPECT_EQ(sends(0), QStringList({QStringLiteral("log version once"), QStringLiteral("log bestposa")}));

    // Another group shown: the edit and a new button stay in the group they were opened in.
    ChooseOnButton(1, QStringLiteral("Edit Button"));
    m_pBar->GroupCombo()->setCurrentIndex(1);
    Edit(QStringLiteral("Position"), QStringLiteral("log bestposa once"));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    m_pBar->GroupCombo()->setCurrentIndex(0);
    Edit(QStringLiteral("Ant"), QStringLiteral("log antenna"));
    EXPECT_EQ(Labels(), QStringList({QStringLiteral("Version"), QStringLiteral("Position")}));
    EXPECT_EQ(m_pBar->Presets().GroupLabels.at(1), QStringList({QStringLiteral("Ref"), QStringLiteral("Ant")}));

    // A button deleted before its neighbour's edit is done; the edit of a deleted one is dropped.
    ChooseOnButton(1, QStringLiteral("Edit Button"));
    ChooseOnButton(0, QStringLiteral("Delete Button"));
    Edit(QStringLiteral("Pos"), QStringLiteral("log bestposa"));
    EXPECT_EQ(Labels(), QStringList(QStringLiteral("Pos")));
    ChooseOnButton(0, QStringLiteral("Edit Button"));
    ChooseOnButton(0, QStringLiteral("Delete Button"));
    Edit(QStringLiteral("Lost"), QStringLiteral("log lost"));
    EXPECT_TRUE(Labels().isEmpty());
    EXPECT_EQ(m_pBar->Presets().GroupLabels.at(1).size(), 2);

    // What was saved is what the bar shows.
    Restart();
    EXPECT_TRUE(Labels().isEmpty());
    m_pBar->GroupCombo()->setCurrentIndex(1);
    EXPECT_EQ(Labels(), QStringList({QStringLiteral("Ref"), QStringLiteral("Ant")}));
}

TEST_F(ButtonBar, GroupsAreRefusedWhenTakenAndTheFirstIsNeverDeleted)
{
    m_Prompt.Texts = {QStringLiteral("Base"), QStringLiteral("Base"), QStringLiteral("base")};
    ChooseOnEmptySpace(QStringLiteral("Add Group"));
    ChooseOnEmptySpace(QStringLiteral("Add Group"));
    EXPECT_EQ(m_Prompt.Messages, QStringList(QStringLiteral("Warning|Group Already Exist !")));
    ChooseOnEmptySpace(QStringLiteral("Add Group"));
    EXPECT_EQ(m_pBar->GroupCombo()->count(), 3);

    m_pBar->GroupCombo()->setCurrentIndex(0);
    ChooseOnEmptySpace(QStringLiteral("Delete Group"));
    EXPECT_EQ(m_pBar->GroupCombo()->count(), 3);
    m_pBar->GroupCombo()->setCurrentIndex(1);
    ChooseOnEmptySpace(QStringLiteral("Delete Group"));
    EXPECT_EQ(m_pBar->GroupCombo()->count(), 2);
    EXPECT_EQ(m_pBar->GroupCombo()->currentText(), QStringLiteral("base"));
    Restart();
    EXPECT_EQ(m_pBar->GroupCombo()->count(), 2);
}

TEST_F(ButtonBar, WhatThePresetFileCannotHoldIsRefusedAndTheFileStaysReadable)
{
    // A set just under the bound the next start reads.
    const QString sLong(PRESET_FILE_MAX_BYTES - 4096, QLatin1Char('x'));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Long"), sLong);
    ASSERT_EQ(Labels(), QStringList(QStringLiteral("Long")));
    ASSERT_TRUE(m_Prompt.Messages.isEmpty());

    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("More"), QString(8192, QLatin1Char('y')));
    EXPECT_EQ(m_Prompt.Messages,
              QStringList(QStringLiteral("Warning|The preset file cannot hold this change: it would grow beyond 256 KB.")));
    EXPECT_EQ(Labels(), QStringList(QStringLiteral("Long")));
    Restart();
    EXPECT_EQ(Labels(), QStringList(QStringLiteral("Long")));
    EXPECT_EQ(m_pBar->Presets().GroupSendStrings.value(0), QStringList(sLong));
}

TEST_F(ButtonBar, AFileThatCannotBeWrittenIsReportedOnceAndTheBarKeepsItsButtons)
{
    // The preset folder's place is taken by a file.
    const QString sFolder = QFileInfo(PresetFilePath()).absolutePath();
    QDir(sFolder).removeRecursively();
    QDir().mkpath(QFileInfo(sFolder).absolutePath());
    QFile blocker(sFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Ver"), QStringLiteral("log version"));
    ChooseOnEmptySpace(QStringLiteral("New Button"));
    Edit(QStringLiteral("Pos"), QStringLiteral("log bestposa"));
    EXPECT_EQ(Labels(), QStringList({QStringLiteral("Ver"), QStringLiteral("Pos")}));
    ASSERT_EQ(m_Prompt.Messages.size(), 1);
    EXPECT_TRUE(m_Prompt.Messages.at(0).startsWith(QStringLiteral("Warning|The command presets cannot be saved")));
    QFile::remove(sFolder);
}

TEST_F(ButtonBar, APresetFileThatIsNotReadIsToldOnceAndNeverSavedOver)
{
    const QString sPath = PresetFilePath();
    QDir().mkpath(QFileInfo(sPath).absolutePath());
    // 2 million buttons on one line: read whole, they would keep the start from ending.
    QByteArray huge = "Huge:::";
    huge.reserve(16 * 1024 * 1024 + 16);
    for (int i = 0; i < 2000000; ++i)
        huge += "a,,,b;;;";
    huge += "\r\n";
    std::unique_ptr<CFifoGuard> pFifo;
    const struct
    {
        const char* Name;
        std::function<void()> Make;
        std::function<bool()> Unchanged;
        const char* Why;
    } cases[] = {
        {"a folder", [&] { QDir().mkpath(sPath); }, [&] { return QFileInfo(sPath).isDir(); },
         "it is not a regular file"},
        {"a FIFO", [&] { pFifo = std::make_unique<CFifoGuard>(sPath.toStdString()); },
         [&] { return QFileInfo(sPath).exists() && !QFileInfo(sPath).isFile() && !QFileInfo(sPath).isDir(); },
         "it is not a regular file"},
        {"an oversized file",
         [&]
         {
             QFile file(sPath);
             file.open(QIODevice::WriteOnly);
             file.write(huge);
         },
         [&] { return QFileInfo(sPath).size() == huge.size(); }, "it is larger than 256 KB"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        m_pBar.reset();
        m_Prompt.Messages.clear();
        c.Make();
        Restart();
        ASSERT_EQ(m_Prompt.Messages.size(), 1);
        EXPECT_EQ(m_Prompt.Messages.at(0), QStringLiteral("Warning|The command presets cannot be read from %1: %2. "
                                                          "Changes to them are not saved while the monitor runs, so "
                                                          "that the file stays as it is.")
                                               .arg(sPath, c.Why));
        EXPECT_EQ(m_pBar->GroupCombo()->currentText(), QStringLiteral("Default"));

        ChooseOnEmptySpace(QStringLiteral("New Button"));
        Edit(QStringLiteral("Ver"), QStringLiteral("log version"));
        ChooseOnEmptySpace(QStringLiteral("New Button"));
        Edit(QStringLiteral("Pos"), QStringLiteral("log bestposa"));
        // The bar keeps its buttons for the run; the refusal to save is told once.
        EXPECT_EQ(Labels(), QStringList({QStringLiteral("Ver"), QStringLiteral("Pos")}));
        ASSERT_EQ(m_Prompt.Messages.size(), 2);
        EXPECT_EQ(m_Prompt.Messages.at(1), "Warning|The command presets are not saved: " + sPath +
                                               " could not be read, and saving would replace it.");
        m_pBar.reset();
        EXPECT_TRUE(c.Unchanged());
        pFifo.reset();
        QDir(sPath).removeRecursively();
        QFile::remove(sPath);
    }
}
