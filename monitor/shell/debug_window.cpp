#include "monitor/shell/debug_window.h"

#include <QEvent>

#include "monitor/shell/monitor_resources.h"
#include "ui_FDebugWindow.h"

FDebugWindowDialog::FDebugWindowDialog(QWidget* pParent) : QDialog(pParent), m_pUi(new Ui::FDebugWindow)
{
    m_pUi->setupUi(this);
    m_pUi->pDebugTxBrowser->setFont(MonitorFixedFont());
    m_pUi->pDebugTxBrowser->setReadOnly(true);
    // A chatty script over a long run would otherwise grow the view without end.
    m_pUi->pDebugTxBrowser->document()->setMaximumBlockCount(MAX_LINES);
}

FDebugWindowDialog::~FDebugWindowDialog() = default;

void FDebugWindowDialog::OnInsertContentToDebugWindow(QString sContent)
{
    QTextBrowser* pView = m_pUi->pDebugTxBrowser;
    pView->moveCursor(QTextCursor::End);
    pView->insertPlainText(sContent);
    pView->moveCursor(QTextCursor::End);
}

void FDebugWindowDialog::ShowDebugWindow() { show(); }

void FDebugWindowDialog::OnCurrentTabChanged(int TabIndex) { Q_UNUSED(TabIndex); }

void FDebugWindowDialog::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        m_pUi->retranslateUi(this);
    QDialog::changeEvent(pEvent);
}
