#include "monitor/shell/button_edit.h"

#include <QContextMenuEvent>
#include <QMenu>

#include "monitor/shell/edit_menu.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/preset_file.h"
#include "monitor/shell/shell_log.h"
#include "ui_QButtonBarEditDialog.h"

QButtonEdit::QButtonEdit(QWidget* pParent) : QDialog(pParent), m_pUi(new Ui::QButtonBarEditDialog)
{
    m_pUi->setupUi(this);
    connect(m_pUi->pOKButton, &QPushButton::clicked, this, &QButtonEdit::OnSendString);
    connect(m_pUi->pClearButton, &QPushButton::clicked, this, &QButtonEdit::OnClearContent);
    connect(m_pUi->pCancelButton, &QPushButton::clicked, this, &QButtonEdit::hide);
    m_pUi->pLabelName->installEventFilter(this);
    m_pUi->pSendString->viewport()->installEventFilter(this);
}

QButtonEdit::~QButtonEdit() = default;

void QButtonEdit::OnOpenButtonEditWindow(QString& Label, QString& SendString)
{
    qCDebug(lcConsole, "Show Button Edit Dialog");
    m_pUi->pLabelName->setText(Label);
    m_pUi->pSendString->setPlainText(SendString);
    show();
    raise();
    activateWindow();
}

void QButtonEdit::OnSendString()
{
    QString sLabel = m_pUi->pLabelName->text();
    QString sSendString = m_pUi->pSendString->toPlainText();
    if (!sLabel.isEmpty() && !sSendString.isEmpty())
    {
        if (!IsPresetButtonStorable(sLabel, sSendString))
        {
            MonitorPrompt()->Message(
                this, QMessageBox::Warning, tr("Warning"),
                tr("The preset file cannot keep this label or send string: remove \":::\", \",,,\", \";;;\", "
                   "\"@CR\", \"@LF\" and \"#######\", and a \":\", \",\" or \";\" at its "
                   "ends."));
            return;
        }
        qCDebug(lcConsole, "SendString %s,%s", qUtf8Printable(sLabel), qUtf8Printable(sSendString));
        emit SignalSendString(sLabel, sSendString);
    }
    hide();
}

void QButtonEdit::OnClearContent()
{
    m_pUi->pLabelName->clear();
    m_pUi->pSendString->clear();
}

void QButtonEdit::OnLanguageUpdate() { m_pUi->retranslateUi(this); }

bool QButtonEdit::eventFilter(QObject* pObj, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::ContextMenu)
        return QDialog::eventFilter(pObj, pEvent);
    QMenu* pMenu = pObj == m_pUi->pLabelName ? m_pUi->pLabelName->createStandardContextMenu()
                                             : m_pUi->pSendString->createStandardContextMenu();
    RetitleEditMenu(pMenu);
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    pMenu->setParent(this, pMenu->windowFlags());
    pMenu->popup(static_cast<QContextMenuEvent*>(pEvent)->globalPos());
    return true;
}
