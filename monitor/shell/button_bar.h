// The command button bar ("Command Preset"): preset commands kept in named
// groups, one group shown at a time (chosen in the combo box at the bar's
// left). A click sends the button's text with CR LF to the current port, or
// runs a script in the current tab when the text begins with "$$". Groups and
// buttons are edited from the bar's context menu with the button editor and
// kept in the preset file (preset_file.h), written whenever they change.
//
// GUI thread only.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QToolBar>

#include "monitor/shell/preset_file.h"

class CPortTab;
class QAction;
class QButtonEdit;
class QComboBox;
class QFile;

class QButtonBar : public QToolBar
{
    Q_OBJECT

public:
    explicit QButtonBar(QWidget* pParent = nullptr);
    ~QButtonBar() override;

    // The port tab set; set by the main window, not owned.
    void SetPortTab(CPortTab* pPortTab) { m_pPortTab = pPortTab; }
    QButtonEdit* ButtonEdit() const { return m_pButtonEdit; }
    QComboBox* GroupCombo() const { return m_pGroupCombo; }
    // The buttons of the shown group, in order.
    const QList<QAction*>& Buttons() const { return m_Actions; }
    // The groups as they stand.
    const PRESET_SET_T& Presets() const { return m_Set; }

signals:
    void SignalSendCMD(uint UniquePortID, QByteArray WriteData);
    void SignalRunScript(QString ScriptName);
    void SignalOpenButtonEditWindow(QString& Label, QString& SendString);
    void SignalSendString(QString SendString);

public slots:
    void OnAddButtonGroup();
    void OnDeleteButtonGroup();
    void OnNewButton();
    void OnEditButton();
    void OnDeleteButton();
    void OnCopyContent();
    void OnGroupContentChanged(QString sCurText);
    void OnGetButtonInfo(QString& Label, QString& SendString);
    void OnTriggerdAction(QAction* pAction);
    void OnLanguageUpdate();

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    // Shows the buttons of the combo box's current group.
    void ShowGroup();
    // Writes the groups to the preset file; a failure is shown once per run.
    // A file that was there but could not be read is never replaced: its
    // groups would be lost.
    void Save();
    // Whether the preset file can hold Set; a warning says it cannot.
    bool FitsPresetFile(const PRESET_SET_T& Set);
    int ButtonIndex(const QAction* pAction) const { return m_Actions.indexOf(const_cast<QAction*>(pAction)); }
    // Opens the editor on a button of the current group, or on a new one (-1).
    void OpenEditor(int Button);

    // What the open editor's "OK" changes, fixed when the editor opens: a
    // button of a group, or a new one at the group's end (Button -1). Group
    // is -1 when there is nothing to change, also once the group or the
    // button has been deleted while the editor was open.
    struct EDIT_TARGET_T
    {
        int Group = -1;
        int Button = -1;
    };

    QButtonEdit* m_pButtonEdit;
    QFile* m_pPresetFile; // names the preset file; read and written through preset_file.h
    CPortTab* m_pPortTab = nullptr;
    QPointer<QMenu> m_pMenu; // while it is open
    QAction* m_pCurAction = nullptr;
    QAction* m_pGroupAction;
    QList<QAction*> m_Actions;
    QStringList m_Labels;
    QStringList m_SendStrings;
    QComboBox* m_pGroupCombo;
    PRESET_SET_T m_Set;
    // The labels and send strings of every group, parallel to the combo box:
    // the set's own lists under the bar's names.
    QList<QStringList>& m_GroupLabels = m_Set.GroupLabels;
    QList<QStringList>& m_GroupSendStrings = m_Set.GroupSendStrings;
    bool m_bSaveFailShown = false;
    bool m_bKeepPresetFile = false; // the file could not be read: it is not saved over
    EDIT_TARGET_T m_EditTarget;
};
