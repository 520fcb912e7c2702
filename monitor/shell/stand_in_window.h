// How every window of the views, configuration, INS and tools reaches a port
// (the real windows that replace these stand-ins start here):
// - Reading: only through the port tab set's read API (CPortTab: GetPosData,
//   GetCurPortID, GetCurRangeData / GetRangeData, GetCurStatusReplies /
//   GetStatusReplies, GetCurPortInfo / GetPortInfo, GetStatusReplyPortID), in
//   the GUI thread, during the call that hands the window the tab set or the
//   position record. The `void*` of a tick or fan-out signal becomes a typed
//   const pointer once, at the slot (monitor/shell/view_payload.h). Nothing is
//   kept across ticks and nothing is written back. No window reaches into a
//   data view's members.
// - Sending: a `(UniquePortID, QByteArray)` signal wired to the port
//   manager's OnSendPortData1Port, with the port ID captured when the user
//   acted (a tab switch before the send changes nothing), or a whole command
//   text to the main window's OnSendMsgConfig, which addresses the current port.
//
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
