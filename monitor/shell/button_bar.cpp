#include "monitor/shell/button_bar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QIcon>
#include <QMenu>

#include "monitor/ports/config_file.h"
#include "monitor/shell/button_edit.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/shell_log.h"

namespace
{
const char* const kButtonIcon = ":/QZorvikMonitor/Icon/BtnIcon.png";
const char* const kScriptPrefix = "$$";
} // namespace

QButtonBar::QButtonBar(QWidget* pParent)
    : QToolBar(pParent), m_pButtonEdit(new QButtonEdit(this)), m_pPresetFile(new QFile(PresetFilePath(), this)),
      m_pGroupCombo(new QComboBox(this))
{
    InitMonitorResources();
    setObjectName(QStringLiteral("QButtonBar"));
    setIconSize(QSize(15, 15));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_pGroupCombo->setObjectName(QStringLiteral("ButtonGroupCombo"));
    m_pGroupCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pGroupAction = addWidget(m_pGroupCombo);
    connect(this, &QButtonBar::SignalOpenButtonEditWindow, m_pButtonEdit, &QButtonEdit::OnOpenButtonEditWindow);
    connect(m_pButtonEdit, &QButtonEdit::SignalSendString, this, &QButtonBar::OnGetButtonInfo);
    connect(this, &QToolBar::actionTriggered, this, &QButtonBar::OnTriggerdAction);
    int nFileStatus = CONFIG_FILE_OK;
    if (ReadPresetFile(m_pPresetFile->fileName(), &m_Set, &nFileStatus) == PRESET_UNREADABLE)
    {
        m_bKeepPresetFile = true;
        // The monitor is starting: the box does not wait.
        MonitorPrompt()->Inform(
            this, QMessageBox::Warning, tr("Warning"),
            tr("The command presets cannot be read from %1: %2. Changes to them are not saved "
               "while the monitor runs, so that the file stays as it is.")
                .arg(m_pPresetFile->fileName(), ConfigFileReason(nFileStatus, PRESET_FILE_MAX_BYTES)),
            tr("OK"), QString(), {});
    }
    m_pGroupCombo->addItems(m_Set.GroupNames);
    connect(m_pGroupCombo, &QComboBox::currentTextChanged, this, &QButtonBar::OnGroupContentChanged);
    ShowGroup();
    OnLanguageUpdate();
}

QButtonBar::~QButtonBar() = default;

void QButtonBar::OnLanguageUpdate()
{
    setWindowTitle(tr("Command Preset"));
    // The group the monitor names itself reads in the user's language; the
    // file keeps its name.
    for (int i = 0; i < m_Set.GroupNames.size() && i < m_pGroupCombo->count(); ++i)
        if (m_Set.GroupNames.at(i) == QLatin1String(PRESET_DEFAULT_GROUP))
            m_pGroupCombo->setItemText(i, tr("Default"));
}

void QButtonBar::OnGroupContentChanged(QString sCurText)
{
    qCDebug(lcConsole, "Current Group Name %s", qUtf8Printable(sCurText));
    ShowGroup();
}

void QButtonBar::ShowGroup()
{
    for (QAction* pAction : qAsConst(m_Actions))
    {
        removeAction(pAction);
        delete pAction;
    }
    m_Actions.clear();
    m_Labels.clear();
    m_SendStrings.clear();
    m_pCurAction = nullptr;
    const int i = m_pGroupCombo->currentIndex();
    if (i < 0 || i >= m_Set.GroupNames.size())
        return;
    m_Labels = m_GroupLabels.at(i);
    m_SendStrings = m_GroupSendStrings.at(i);
    const QIcon icon(QString::fromLatin1(kButtonIcon));
    for (int k = 0; k < m_Labels.size(); ++k)
    {
        QAction* pAction = addAction(icon, m_Labels.at(k));
        pAction->setToolTip(m_SendStrings.at(k));
        m_Actions.append(pAction);
    }
}

void QButtonBar::Save()
{
    if (!m_bKeepPresetFile && WritePresetFile(m_pPresetFile->fileName(), FormatPresetText(m_Set)) == PRESET_OK)
        return;
    if (m_bSaveFailShown)
        return;
    m_bSaveFailShown = true;
    const QString sText = m_bKeepPresetFile
                              ? tr("The command presets are not saved: %1 could not be read, and saving would "
                                   "replace it.")
                              : tr("The command presets cannot be saved to %1");
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), sText.arg(m_pPresetFile->fileName()));
}

bool QButtonBar::FitsPresetFile(const PRESET_SET_T& Set)
{
    if (IsPresetSetStorable(Set))
        return true;
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                             tr("The preset file cannot hold this change: it would grow beyond %1 KB.")
                                 .arg(PRESET_FILE_MAX_BYTES / 1024));
    return false;
}

void QButtonBar::OnTriggerdAction(QAction* pAction)
{
    qCDebug(lcConsole, "OnTriggerdAction");
    m_pCurAction = pAction;
    const int i = ButtonIndex(pAction);
    if (i < 0)
        return;
    const QString sText = m_SendStrings.at(i) + QStringLiteral("\r\n");
    qCDebug(lcConsole, "Send %s", qUtf8Printable(sText));
    if (sText.startsWith(QLatin1String(kScriptPrefix)))
    {
        // The script runner takes a path; the line ending is no part of it.
        emit SignalRunScript(sText.mid(2).trimmed());
        return;
    }
    uint uid = 0;
    if (m_pPortTab != nullptr)
        uid = m_pPortTab->GetPortUniqueID(m_pPortTab->currentIndex());
    emit SignalSendCMD(uid, sText.toUtf8());
}

void QButtonBar::contextMenuEvent(QContextMenuEvent* pEvent)
{
    QAction* pAt = actionAt(pEvent->pos());
    m_pCurAction = ButtonIndex(pAt) >= 0 ? pAt : nullptr;
    qCDebug(lcConsole, "right clicked %p", static_cast<void*>(m_pCurAction));
    const bool bOnButton = m_pCurAction != nullptr;
    if (!m_pMenu.isNull())
        m_pMenu->close();
    m_pMenu = new QMenu(this);
    // The menu runs in the window's own event loop and goes once it is closed.
    m_pMenu->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_pMenu->addAction(tr("Add Group")), &QAction::triggered, this, &QButtonBar::OnAddButtonGroup);
    connect(m_pMenu->addAction(tr("Delete Group")), &QAction::triggered, this, &QButtonBar::OnDeleteButtonGroup);
    QAction* pNew = m_pMenu->addAction(tr("New Button"));
    QAction* pEdit = m_pMenu->addAction(tr("Edit Button"));
    QAction* pDelete = m_pMenu->addAction(tr("Delete Button"));
    QAction* pCopy = m_pMenu->addAction(tr("Copy Content"));
    pNew->setEnabled(!bOnButton);
    pEdit->setEnabled(bOnButton);
    pDelete->setEnabled(bOnButton);
    pCopy->setEnabled(bOnButton);
    connect(pNew, &QAction::triggered, this, &QButtonBar::OnNewButton);
    connect(pEdit, &QAction::triggered, this, &QButtonBar::OnEditButton);
    connect(pDelete, &QAction::triggered, this, &QButtonBar::OnDeleteButton);
    connect(pCopy, &QAction::triggered, this, &QButtonBar::OnCopyContent);
    m_pMenu->popup(pEvent->globalPos());
}

void QButtonBar::OnAddButtonGroup()
{
    qCDebug(lcConsole, "OnAddButtonGroup");
    bool bOk = false;
    const QString sName =
        MonitorPrompt()->Text(this, tr("Group Name"), tr("please input Group Name:"), QString(), &bOk);
    if (!bOk || sName.isEmpty())
        return;
    if (m_Set.GroupNames.contains(sName))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), tr("Group Already Exist !"));
        return;
    }
    if (!IsPresetNameStorable(sName))
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                                 tr("The preset file cannot keep this group name: remove \":::\", \"#######\", "
                                    "\"@CR\" and \"@LF\", and a \":\" at its end."));
        return;
    }
    PRESET_SET_T next = m_Set;
    next.GroupNames.append(sName);
    next.GroupLabels.append(QStringList());
    next.GroupSendStrings.append(QStringList());
    if (!FitsPresetFile(next))
        return;
    m_Set = next;
    Save();
    m_pGroupCombo->addItem(sName);
    m_pGroupCombo->setCurrentIndex(m_pGroupCombo->count() - 1);
}

void QButtonBar::OnDeleteButtonGroup()
{
    qCDebug(lcConsole, "OnDeleteButtonGroup");
    const int i = m_pGroupCombo->currentIndex();
    // The first group stays, so that the bar always has one.
    if (i <= 0 || i >= m_Set.GroupNames.size())
        return;
    m_Set.GroupNames.removeAt(i);
    m_GroupLabels.removeAt(i);
    m_GroupSendStrings.removeAt(i);
    // An editor open on a later group follows it; one on this group has nothing left to change.
    if (m_EditTarget.Group == i)
        m_EditTarget = EDIT_TARGET_T();
    else if (m_EditTarget.Group > i)
        --m_EditTarget.Group;
    Save();
    // Removing the current entry makes another current, which shows it.
    m_pGroupCombo->removeItem(i);
}

void QButtonBar::OnNewButton()
{
    qCDebug(lcConsole, "OnNewButton");
    m_pCurAction = nullptr;
    OpenEditor(-1);
}

void QButtonBar::OnEditButton()
{
    qCDebug(lcConsole, "OnEditButton");
    OpenEditor(ButtonIndex(m_pCurAction));
}

void QButtonBar::OpenEditor(int Button)
{
    // The editor does not wait: buttons may be clicked and groups switched
    // before "OK", so the button it edits is fixed now.
    m_EditTarget.Group = m_pGroupCombo->currentIndex();
    m_EditTarget.Button = Button;
    QString sLabel = Button >= 0 ? m_Labels.at(Button) : QString();
    QString sSend = Button >= 0 ? m_SendStrings.at(Button) : QString();
    emit SignalOpenButtonEditWindow(sLabel, sSend);
}

void QButtonBar::OnGetButtonInfo(QString& Label, QString& SendString)
{
    const EDIT_TARGET_T target = m_EditTarget;
    m_EditTarget = EDIT_TARGET_T();
    const int g = target.Group;
    if (g < 0 || g >= m_Set.GroupNames.size() || target.Button >= m_GroupLabels.at(g).size())
    {
        qCDebug(lcConsole, "The edited button is gone");
        return;
    }
    PRESET_SET_T next = m_Set;
    QStringList& labels = next.GroupLabels[g];
    QStringList& sends = next.GroupSendStrings[g];
    int i = target.Button;
    if (i < 0)
    {
        labels.append(Label);
        sends.append(SendString);
        i = labels.size() - 1;
    }
    else
    {
        labels[i] = Label;
        sends[i] = SendString;
    }
    if (!FitsPresetFile(next))
        return;
    m_Set = next;
    Save();
    if (g != m_pGroupCombo->currentIndex())
        return;
    ShowGroup();
    // The button just made or edited is the one the next edit acts on.
    m_pCurAction = m_Actions.value(i);
}

void QButtonBar::OnDeleteButton()
{
    qCDebug(lcConsole, "OnDeleteButton");
    const int i = ButtonIndex(m_pCurAction);
    const int g = m_pGroupCombo->currentIndex();
    if (i < 0 || g < 0 || g >= m_Set.GroupNames.size())
        return;
    m_GroupLabels[g].removeAt(i);
    m_GroupSendStrings[g].removeAt(i);
    // An editor open on this group's buttons follows them.
    if (m_EditTarget.Group == g && m_EditTarget.Button == i)
        m_EditTarget = EDIT_TARGET_T();
    else if (m_EditTarget.Group == g && m_EditTarget.Button > i)
        --m_EditTarget.Button;
    Save();
    ShowGroup();
}

void QButtonBar::OnCopyContent()
{
    qCDebug(lcConsole, "OnCopyContent");
    const int i = ButtonIndex(m_pCurAction);
    if (i >= 0)
        QApplication::clipboard()->setText(m_SendStrings.at(i));
}
