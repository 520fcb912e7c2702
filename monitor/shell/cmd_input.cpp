#include "monitor/shell/cmd_input.h"

#include <algorithm>
#include <cstring>

#include <QAbstractItemView>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTextBlock>

#include "monitor/ports/config_file.h"
#include "monitor/ports/port_ctrl_base.h"
#include "monitor/shell/cmd_interface.h"
#include "monitor/shell/edit_menu.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/shell_log.h"

namespace
{
const char* const kCmdList = ":/Completer/Completer/CmdList.txt";
const char* const kMsgList = ":/Completer/Completer/MsgList.txt";
const char* const kLocalSeparator = "###";
const uint kFresetBaudRate = 115200;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
} // namespace

// ---- Completer ----

QCMDCompleter::QCMDCompleter(QObject* pParent)
    : QCompleter(pParent), m_pCmdModel(new QStringListModel), m_pMsgModel(new QStringListModel)
{
    InitMonitorResources();
    // Only the names that begin with the typed word are offered.
    setCompletionMode(QCompleter::PopupCompletion);
    setFilterMode(Qt::MatchStartsWith);
    setMaxVisibleItems(5);
    setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    setCaseSensitivity(Qt::CaseInsensitive);
    setWrapAround(false);
    QStringList commands = ReadWordList(QString::fromLatin1(kCmdList));
    QStringList messages = ReadWordList(QString::fromLatin1(kMsgList));
    // The model is declared sorted without regard to case.
    const auto byName = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    std::sort(commands.begin(), commands.end(), byName);
    std::sort(messages.begin(), messages.end(), byName);
    m_pCmdModel->setStringList(commands);
    m_pMsgModel->setStringList(messages);
    m_bEnabled = true;
    setModel(m_pCmdModel);
    qCDebug(lcConsole, "AutoComplete:CMD %p %p", static_cast<void*>(m_pCmdModel), static_cast<void*>(m_pMsgModel));
}

QCMDCompleter::~QCMDCompleter()
{
    setModel(nullptr);
    delete m_pCmdModel;
    delete m_pMsgModel;
}

QStringList QCMDCompleter::ReadWordList(const QString& sPath)
{
    QFile file(sPath);
    QStringList words;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return words;
    while (!file.atEnd())
    {
        const QString sWord = QString::fromUtf8(file.readLine()).trimmed();
        // A blank line would offer an empty completion.
        if (!sWord.isEmpty())
            words.append(sWord);
    }
    return words;
}

// ---- Command window ----

QCMDInput::QCMDInput(QWidget* pParent)
    : QTextEdit(pParent), m_LogPath(HistoryLogPath()), m_pCmdInterface(new QZvCmdInterface(this)),
      m_pCompleter(new QCMDCompleter(this)), m_pNote(new QLabel(this))
{
    setObjectName(QStringLiteral("QCMDInput"));
    setAcceptRichText(false);
    m_pCompleter->setWidget(this);
    m_pNote->setObjectName(QStringLiteral("CmdNotSentNote"));
    m_pNote->setWordWrap(true);
    m_pNote->setStyleSheet(QStringLiteral("QLabel { color: #b00000; padding: 1px 4px; }"));
    m_pNote->hide();
    connect(this, &QTextEdit::textChanged, this,
            [this]
            {
                // An emptied field browses the history again.
                if (document()->isEmpty())
                    m_KeyState = 0;
                // The note speaks of the text that was not sent.
                HideNotSentNote();
            });
    connect(m_pCompleter, QOverload<const QString&>::of(&QCompleter::activated), this, &QCMDInput::insertCompletion);
    if (OnOpenFile())
    {
        const QByteArray banner = QByteArray(42, '-') + "\n[" + Now().toUtf8() + "] ZorvikMonitor Start...\n";
        WriteHistoryLog(banner.constData(), banner.size());
    }
}

QCMDInput::~QCMDInput()
{
    if (m_bLogOpen)
    {
        const QByteArray banner = "[" + Now().toUtf8() + "] ZorvikMonitor Exit...\n" + QByteArray(42, '-') + "\n";
        WriteHistoryLog(banner.constData(), banner.size());
    }
    OnCloseFile();
}

void QCMDInput::SetPortTab(CPortTab* pPortTab)
{
    m_pPortTab = pPortTab;
    m_pCmdInterface->SetPortTab(pPortTab);
}

QString QCMDInput::HistoryLogPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("CmdHistory.log"));
}

QString QCMDInput::NotSentNote() const { return m_pNote->isHidden() ? QString() : m_pNote->text(); }

QString QCMDInput::Now() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hh:mm:ss")); }

bool QCMDInput::OnOpenFile()
{
    OnCloseFile();
    // Only a regular file is appended to: opening a FIFO would wait for a reader.
    const int nStatus = OpenConfigFileForAppend(m_LogPath, &m_LogFile);
    m_bLogOpen = nStatus == CONFIG_FILE_OK;
    if (!m_bLogOpen)
        NoteHistoryLogFailure(nStatus);
    return m_bLogOpen;
}

void QCMDInput::NoteHistoryLogFailure(int nStatus)
{
    if (m_bLogFailShown)
        return;
    m_bLogFailShown = true;
    // Sending goes on without the log; the note does not wait.
    MonitorPrompt()->Inform(
        this, QMessageBox::Warning, tr("Warning"),
        tr("The command history cannot be written to %1: %2.").arg(m_LogPath, ConfigFileReason(nStatus)), tr("OK"),
        QString(), {});
}

void QCMDInput::OnCloseFile()
{
    if (m_LogFile.isOpen())
        m_LogFile.close();
    m_bLogOpen = false;
}

int QCMDInput::WriteHistoryLog(const char* pBuf, int n)
{
    if (!m_bLogOpen)
        return -1;
    const qint64 written = m_LogFile.write(pBuf, n);
    if (!m_LogFile.flush() || written != n)
        NoteHistoryLogFailure(CONFIG_FILE_WRITE_FAILED);
    return static_cast<int>(written);
}

char QCMDInput::OnHextoBin(char ConData)
{
    if (ConData >= '0' && ConData <= '9')
        return static_cast<char>(ConData - '0');
    if (ConData >= 'a' && ConData <= 'f')
        return static_cast<char>(ConData - 'a' + 10);
    if (ConData >= 'A' && ConData <= 'F')
        return static_cast<char>(ConData - 'A' + 10);
    return static_cast<char>(0xFF);
}

QByteArray QCMDInput::HexTextToBytes(const QByteArray& Text, bool* pGarbled)
{
    QByteArray bytes;
    bool bGarbled = false;
    int first = -1; // the first digit of a pair, while its partner is awaited
    for (const char c : Text)
    {
        const char v = OnHextoBin(c);
        if (first < 0)
        {
            if (IsBlank(c))
                continue;
            if (v == static_cast<char>(0xFF))
                bGarbled = bGarbled || c != 'X';
            else
                first = v;
            continue;
        }
        if (IsBlank(c))
        {
            // A lone digit before a blank has no partner.
            bGarbled = true;
            first = -1;
            continue;
        }
        if (v == static_cast<char>(0xFF))
        {
            // "0X" prefixes a byte and is dropped; anything else is no digit.
            bGarbled = bGarbled || c != 'X' || first != 0;
            first = -1;
            continue;
        }
        bytes.append(static_cast<char>(first * 16 + v));
        first = -1;
    }
    if (first >= 0)
        bGarbled = true;
    if (pGarbled)
        *pGarbled = bGarbled;
    return bytes;
}

bool QCMDInput::IsLocalCommand(const QString& sText)
{
    const QString sTrimmed = sText.trimmed();
    // A local command is one line: a text of several lines goes to the receiver as typed.
    if (sTrimmed.contains(QLatin1Char('\n')) || sTrimmed.contains(QLatin1Char('\r')))
        return false;
    for (const char* pWord : {"open", "save"})
    {
        const QLatin1String word(pWord);
        if (sTrimmed.startsWith(word) && (sTrimmed.size() == word.size() || sTrimmed.at(word.size()).isSpace()))
            return true;
    }
    return false;
}

void QCMDInput::Remember(const QString& sText, const QString& sPortName)
{
    const QByteArray line = "[" + Now().toUtf8() + "] Port:" + sPortName.toUtf8() + ",CMD:" + sText.toUtf8() + " \n";
    WriteHistoryLog(line.constData(), line.size());
    if (m_History.isEmpty() || m_History.last() != sText)
    {
        m_History.append(sText);
        while (m_History.size() > m_MaxHistory)
            m_History.removeFirst();
        m_HistoryIndex = m_History.size() - 1;
    }
}

QString QCMDInput::TakeLocalCommands(const QString& sText, QStringList* pLocal)
{
    pLocal->clear();
    if (!sText.contains(QLatin1String(kLocalSeparator)))
    {
        if (!IsLocalCommand(sText))
            return sText;
        pLocal->append(sText.trimmed());
        return QString();
    }
    QStringList rest;
    for (const QString& sPiece : sText.split(QLatin1String(kLocalSeparator)))
    {
        if (IsLocalCommand(sPiece))
            pLocal->append(sPiece.trimmed());
        else if (!sPiece.trimmed().isEmpty())
            rest.append(sPiece);
    }
    // Without a local command the text goes as it was typed.
    return pLocal->isEmpty() ? sText : rest.join(QLatin1String(kLocalSeparator));
}

void QCMDInput::SendText()
{
    const QString sTyped = toPlainText();
    QStringList local;
    const QString sText = TakeLocalCommands(sTyped, &local);
    QZvPortCtrlBase* pCtrl = m_pPortTab ? m_pPortTab->GetCurPortCtrl() : nullptr;
    if (!local.isEmpty() && sText.isEmpty())
    {
        // Only the monitor's own commands: no receiver gets them, and they need no port.
        Remember(sTyped, pCtrl ? pCtrl->GetPortName() : QString());
        for (const QString& sCmd : qAsConst(local))
            m_pCmdInterface->ParseCmd(sCmd);
        clear();
        m_KeyState = 0;
        return;
    }
    if (pCtrl != nullptr && pCtrl->UniquePortID == 0)
        pCtrl = nullptr;
    // A command that no port would take is kept, and the window says why.
    if (m_bSendToAll)
    {
        bool bTaken = false;
        for (int i = 0; m_pPortTab != nullptr && i < m_pPortTab->count() && !bTaken; ++i)
            bTaken = WhyPortTakesNone(i).isEmpty();
        if (!bTaken)
        {
            ShowNotSent(tr("no port is connected"));
            return;
        }
    }
    else
    {
        const QString sWhy = WhyPortTakesNone(m_pPortTab != nullptr ? m_pPortTab->currentIndex() : -1);
        if (!sWhy.isEmpty())
        {
            ShowNotSent(sWhy);
            return;
        }
    }
    if (pCtrl != nullptr && pCtrl->IsUpgrading())
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Updating"),
                                 tr("The board card in the upgrade, do not enter the command!!"));
        return;
    }
    const uint target = m_bSendToAll ? QZvPortCtrlBase::ANY_PORT_ID : pCtrl->UniquePortID;

    QByteArray bytes;
    if (m_bHexSend)
    {
        bool bGarbled = false;
        bytes = HexTextToBytes(sText.toLatin1(), &bGarbled);
        if (bGarbled)
        {
            // Half a binary command would reach the receiver as something else.
            MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), tr("The hexadecimal data is garbled!"));
            return;
        }
    }
    if (!sTyped.isEmpty())
    {
        Remember(sTyped, pCtrl ? pCtrl->GetPortName() : QString());
        for (const QString& sCmd : qAsConst(local))
            m_pCmdInterface->ParseCmd(sCmd);
    }
    if (!m_bHexSend)
    {
        QString sOut;
        if (m_LineMode == LINE_MODE_CRLF)
        {
            for (const QString& sLine : sText.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts))
                sOut += sLine + QStringLiteral("\r\n");
        }
        else if (m_LineMode == LINE_MODE_LF)
        {
            sOut = sText + QLatin1Char('\n');
        }
        else
        {
            sOut = sText;
        }
        bytes = m_pPortTab ? m_pPortTab->EncodeCmdText(sOut) : sOut.toUtf8();
    }
    emit SignalSendCMD(target, bytes);
    if (sText.contains(QLatin1String("freset"), Qt::CaseInsensitive) && m_pPortTab != nullptr)
    {
        // A factory reset returns a receiver to 115200 baud: every serial port
        // that got the command follows its receiver.
        for (int i = 0; i < m_pPortTab->count(); ++i)
        {
            QZvPortCtrlBase* pPort = m_pPortTab->GetPortCtrl(i);
            if (pPort != nullptr && pPort->PortType == QZvPortCtrlBase::PORT_TYPE_UART &&
                (m_bSendToAll || pPort == pCtrl))
                emit SignalFresetChangedBaudRate(kFresetBaudRate, i);
        }
    }
    clear();
    moveCursor(QTextCursor::Start);
    m_KeyState = 0;
}

QString QCMDInput::WhyPortTakesNone(int i) const
{
    QZvPortCtrlBase* pCtrl = m_pPortTab != nullptr ? m_pPortTab->GetPortCtrl(i) : nullptr;
    if (pCtrl == nullptr || pCtrl->UniquePortID == 0)
        return tr("no port is open");
    const QString sPort = m_pPortTab->tabText(i);
    if (pCtrl->IsDisconnected())
        return tr("%1 is disconnected").arg(sPort);
    // A port whose connection failed has ended its thread: it writes nothing
    // until it is connected again. One that still retries may connect anew.
    const QString sFail = m_pPortTab->GetPortFailText(i);
    if (!sFail.isEmpty() && !pCtrl->isRunning())
        return tr("the connection of %1 failed (%2)").arg(sPort, sFail.simplified());
    return QString();
}

void QCMDInput::ShowNotSent(const QString& sReason)
{
    m_pNote->setText(tr("No port takes this command: %1.").arg(sReason));
    m_pNote->show();
    PlaceNote();
    // Typing goes over the unsent text instead of being joined to it.
    selectAll();
}

void QCMDInput::HideNotSentNote()
{
    if (m_pNote->isHidden())
        return;
    m_pNote->hide();
    PlaceNote();
}

void QCMDInput::PlaceNote()
{
    if (m_pNote->isHidden())
    {
        setViewportMargins(0, 0, 0, 0);
        return;
    }
    const int nFrame = frameWidth();
    const int nWidth = width() - 2 * nFrame;
    const int nHeight = std::min(m_pNote->heightForWidth(nWidth), height() / 2);
    m_pNote->setGeometry(nFrame, height() - nFrame - nHeight, nWidth, nHeight);
    setViewportMargins(0, 0, 0, nHeight);
}

void QCMDInput::resizeEvent(QResizeEvent* pEvent)
{
    QTextEdit::resizeEvent(pEvent);
    PlaceNote();
}

void QCMDInput::ShowHistoryEntry(int Index)
{
    setPlainText(m_History.at(Index));
    moveCursor(QTextCursor::End);
    m_KeyState = 0;
}

void QCMDInput::Complete(QKeyEvent* pEvent)
{
    if (!m_pCompleter->m_bEnabled || m_KeyState == 0)
        return;
    const Qt::KeyboardModifiers mods = pEvent->modifiers() & ~Qt::KeypadModifier;
    const QString sKey = pEvent->text();
    if ((mods & (Qt::ShiftModifier | Qt::ControlModifier)) && sKey.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    cursor.select(QTextCursor::WordUnderCursor);
    const QString sPrefix = cursor.selectedText() + sKey;
    qCDebug(lcConsole) << "Auto Complete " << sPrefix;
    QAbstractItemView* pPopup = m_pCompleter->popup();
    const bool bOtherModifier = (mods & ~(Qt::ShiftModifier | Qt::ControlModifier)) != 0;
    if (bOtherModifier || sKey.isEmpty() || sPrefix.size() < COMPLETION_MIN ||
        std::strchr(WORD_END_CHARS, sKey.back().toLatin1()) != nullptr)
    {
        pPopup->hide();
        return;
    }
    // Log names after "log" or "unlog", receiver commands otherwise.
    QTextCursor before = textCursor();
    before.movePosition(QTextCursor::StartOfWord);
    before.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    const QString sFirst = before.selectedText().trimmed().section(QLatin1Char(' '), 0, 0).toLower();
    QStringListModel* pModel = sFirst == QLatin1String("log") || sFirst == QLatin1String("unlog")
                                   ? m_pCompleter->m_pMsgModel
                                   : m_pCompleter->m_pCmdModel;
    if (m_pCompleter->model() != pModel)
        m_pCompleter->setModel(pModel);
    if (sPrefix != m_pCompleter->completionPrefix())
    {
        m_pCompleter->setCompletionPrefix(sPrefix);
        pPopup->setCurrentIndex(m_pCompleter->completionModel()->index(0, 0));
    }
    // Nothing to offer: no name begins so, or the word is a whole name already
    // (Enter then sends it).
    if (m_pCompleter->completionCount() == 0 ||
        m_pCompleter->currentCompletion().compare(sPrefix, Qt::CaseInsensitive) == 0)
    {
        pPopup->hide();
        return;
    }
    QRect rect = cursorRect();
    rect.setWidth(pPopup->sizeHintForColumn(0) + pPopup->verticalScrollBar()->sizeHint().width());
    m_pCompleter->complete(rect);
}

void QCMDInput::keyPressEvent(QKeyEvent* pEvent)
{
    const int key = pEvent->key();
    const bool bReturn = key == Qt::Key_Return || key == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = pEvent->modifiers() & ~Qt::KeypadModifier;
    if (bReturn && mods == Qt::ShiftModifier)
    {
        insertPlainText(QStringLiteral("\r\n"));
        return;
    }
    if (m_pCompleter->popup()->isVisible())
    {
        if (key == Qt::Key_Space)
        {
            m_pCompleter->popup()->hide();
        }
        else if (key == Qt::Key_Escape || key == Qt::Key_Tab || key == Qt::Key_Backtab || bReturn)
        {
            pEvent->ignore();
            return;
        }
    }
    if (m_KeyState == 0 && (key == Qt::Key_Up || key == Qt::Key_Down))
    {
        const bool bInside = m_HistoryIndex >= 0 && m_HistoryIndex < m_History.size();
        if (key == Qt::Key_Up)
        {
            if (bInside)
                ShowHistoryEntry(m_HistoryIndex--);
            else
                m_HistoryIndex = m_History.isEmpty() ? 0 : m_History.size() - 1;
        }
        else
        {
            if (bInside)
                ShowHistoryEntry(m_HistoryIndex++);
            else
                m_HistoryIndex = 0;
        }
    }
    if (bReturn)
    {
        SendText();
        return;
    }
    // A letter starts a typed word; any other character may end it.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        m_KeyState = 1;
    if (!pEvent->text().isEmpty() && pEvent->text().at(0).isPrint())
        Complete(pEvent);
    qCDebug(lcConsole, "key State %u, 0x%x", static_cast<uint>(m_KeyState), static_cast<uint>(key));
    QTextEdit::keyPressEvent(pEvent);
}

void QCMDInput::focusInEvent(QFocusEvent* pEvent)
{
    m_pCompleter->setWidget(this);
    QTextEdit::focusInEvent(pEvent);
}

void QCMDInput::insertCompletion(QString completion)
{
    if (m_pCompleter->widget() != this)
        return;
    QTextCursor cursor = textCursor();
    const int extra = completion.length() - m_pCompleter->completionPrefix().length();
    cursor.movePosition(QTextCursor::Left);
    cursor.movePosition(QTextCursor::EndOfWord);
    cursor.insertText(completion.right(extra) + QLatin1Char(' '));
    setTextCursor(cursor);
}

void QCMDInput::contextMenuEvent(QContextMenuEvent* pEvent)
{
    if (!m_pMenu.isNull())
        m_pMenu->close();
    m_pMenu = createStandardContextMenu();
    RetitleEditMenu(m_pMenu);
    m_pActSendToAll = m_pMenu->addAction(tr("Send Commands to All Sessions"));
    m_pActSendToAll->setCheckable(true);
    m_pActSendToAll->setChecked(m_bSendToAll);
    m_pMenu->addSeparator();
    QMenu* pLineMenu = m_pMenu->addMenu(tr("Line Mode"));
    auto* pGroup = new QActionGroup(pLineMenu);
    m_LineModeActions.clear();
    for (const QString& sText : {QStringLiteral("\\r\\n"), QStringLiteral("\\n"), tr("None")})
    {
        QAction* pAction = pLineMenu->addAction(sText);
        pAction->setCheckable(true);
        pGroup->addAction(pAction);
        m_LineModeActions.append(pAction);
    }
    m_LineModeActions.at(m_LineMode)->setChecked(true);
    m_pActHexSend = m_pMenu->addAction(tr("Hex Send"));
    m_pActHexSend->setCheckable(true);
    m_pActHexSend->setChecked(m_bHexSend);
    QAction* pSendToAll = m_pActSendToAll;
    QAction* pHexSend = m_pActHexSend;
    connect(pSendToAll, &QAction::triggered, this, [this, pSendToAll] { OnSendtoAllWindow(pSendToAll); });
    connect(pGroup, &QActionGroup::triggered, this, &QCMDInput::OnSetLineMode);
    connect(pHexSend, &QAction::triggered, this, [this, pHexSend] { OnHexSend(pHexSend); });
    // The menu runs in the window's own event loop and goes once it is closed.
    m_pMenu->setAttribute(Qt::WA_DeleteOnClose);
    m_pMenu->popup(pEvent->globalPos());
}

void QCMDInput::OnSendtoAllWindow(QAction* pActSelectAll)
{
    if (pActSelectAll == nullptr || pActSelectAll != m_pActSendToAll.data())
        return;
    m_bSendToAll = pActSelectAll->isChecked();
    emit SignalSendAll(m_bSendToAll);
    emit SignalSendCMD2AllWinChanged(m_pPortTab ? m_pPortTab->currentIndex() : -1);
}

void QCMDInput::OnSetLineMode(QAction* pActPosMsgType)
{
    int i = m_LineModeActions.size() - 1;
    while (i >= 0 && (pActPosMsgType == nullptr || m_LineModeActions.at(i).data() != pActPosMsgType))
        --i;
    if (i < 0)
        return;
    pActPosMsgType->setCheckable(true);
    pActPosMsgType->setChecked(true);
    m_LineMode = i;
}

void QCMDInput::OnHexSend(QAction* pActSendHex)
{
    if (pActSendHex != nullptr && pActSendHex == m_pActHexSend.data())
        m_bHexSend = pActSendHex->isChecked();
}
