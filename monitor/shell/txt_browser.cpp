#include "monitor/shell/txt_browser.h"
#include "monitor/shell/shell_log.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
#include <limits>

#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "monitor/shell/port_view_host.h"
#include "monitor/shell/script_process.h"

namespace
{
const uint kMenuBaudRates[] = {9600, 115200, 230400, 460800, 921600};

std::function<qint64()>& HandOverClock()
{
    static std::function<qint64()> fnNowMs;
    return fnNowMs;
}

qint64 HandOverNowMs()
{
    if (HandOverClock())
        return HandOverClock()();
    static QElapsedTimer steady = []
    {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return steady.elapsed();
}

// The baud rate to propose when a serial port reads nothing but noise.
uint ProposedBaudRate(uint nCurrent) { return nCurrent == 115200 ? 460800 : nCurrent == 460800 ? 115200 : 460800; }

} // namespace

CZvTxtBrowser::CZvTxtBrowser(QWidget* pParent)
    : QPlainTextEdit(pParent), m_pReceiver(new CPortReceiver(this)), m_pRangeData(m_pReceiver->Store()),
      m_pRtcmParser(m_pReceiver->RtcmParser()), m_pBinaryMsgParser(m_pReceiver->BinaryParser()),
      m_pStatusMsgParser(m_pReceiver->StatusParser()), m_pScriptProcess(new QScriptProcess(this)),
      m_bRescueModem(m_pReceiver->m_bRescueModem), m_bNvmDump(m_pReceiver->m_bNvmDump),
      m_LastData(m_pReceiver->m_LastData), m_sDisplayMode(QStringLiteral("Auto Detection")),
      m_sAutoResult(m_pReceiver->m_sAutoResult), m_AutoUpdateCount(m_pReceiver->m_AutoUpdateCount),
      m_AutoMode(m_pReceiver->m_AutoMode), m_StoreData(m_pReceiver->m_StoreData),
      m_bAutoDecided(m_pReceiver->m_bAutoDecided)
{
    m_pScriptProcess->m_pTxView = this;
    m_pReceiver->SetDisplay([this](const char* pText, int nLength) { ShowText(pText, nLength); });
    m_pReceiver->SetSampleFeed([this](const QByteArray& Batch) { m_pScriptProcess->AppendSampleData(Batch); });
    connect(m_pReceiver, &CPortReceiver::SignalUnreadable, this, &CZvTxtBrowser::OnUnreadable);
    connect(m_pReceiver, &CPortReceiver::SignalUpdateOutMsg, this, &CZvTxtBrowser::SignalUpdateOutMsg);
    connect(m_pReceiver, &CPortReceiver::SignalNVMComplete, this, &CZvTxtBrowser::SignalNVMComplete);
    connect(m_pReceiver, &CPortReceiver::SignalRescueModemReady, this,
            [this] { emit SignalRescueModemBoardReset(m_RescuePortID); });
    connect(m_pReceiver, &CPortReceiver::SignalAutoReadAgain, this, &CZvTxtBrowser::DropProvisional);
    document()->setMaximumBlockCount(MAX_BLOCKS);
    document()->setUndoRedoEnabled(false);
    // Columns of logs and hex dumps line up.
    // Logs are Latin text: laying them out needs no shaping, which would
    // take a third of the time their text takes to show.
    QFont Font = MonitorFixedFont();
    Font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(Font);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Wrapped as a terminal wraps, at the last column: finding word breaks
    // in long logs would double the time the text takes to lay out.
    setWordWrapMode(QTextOption::WrapAnywhere);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setReadOnly(true);
    connect(this, &QWidget::customContextMenuRequested, this, &CZvTxtBrowser::OnContextMenuRequesred);
}

CZvTxtBrowser::~CZvTxtBrowser() = default;

bool CZvTxtBrowser::ScriptRunning() const { return m_pScriptProcess->m_bRunning; }

qint64 CZvTxtBrowser::MsSinceHandOver() const
{
    return m_nHandOverMs < 0 ? -1 : std::max<qint64>(0, HandOverNowMs() - m_nHandOverMs);
}

void CZvTxtBrowser::SetClock(std::function<qint64()> fnNowMs) { HandOverClock() = std::move(fnNowMs); }

// ---- Receive road ----

void CZvTxtBrowser::OnUpdateData(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E, QByteArray ReadData)
{
    m_RescuePortID = UniquePortID;
    m_nHandOverMs = HandOverNowMs();
    if (m_pPortCtrl != nullptr)
        m_nQueueSkipped += m_pPortCtrl->TakeSkippedUiBytes();
    // What does not fit behind the bytes still waiting is skipped, and counted.
    const bool bWaited = m_nQueueAt < m_Queue.size();
    const int nRoom = std::max(0, READ_QUEUE_MAX - (m_Queue.size() - m_nQueueAt));
    if (ReadData.size() > nRoom)
        m_nQueueSkipped += static_cast<quint64>(ReadData.size() - nRoom);
    const int nTake = std::min(ReadData.size(), nRoom);
    if (!bWaited)
    {
        // Nothing waits: the batch itself is the queue, shared, not copied.
        m_Queue = nTake == ReadData.size() ? ReadData : ReadData.left(nTake);
        m_nQueueAt = 0;
    }
    else
    {
        // What was read goes first, so that the queue holds what waits only.
        m_Queue.remove(0, m_nQueueAt);
        m_nQueueAt = 0;
        m_Queue.append(ReadData.constData(), nTake);
    }
    // Bytes behind others that wait (or handed over while a slice is being
    // read) are read in their turn; else at once, and the text they make goes
    // into the document now unless a later turn is to put it there.
    if (!bWaited && !m_bReading)
        ReadTurn(!m_bReadPosted);
}

void CZvTxtBrowser::ReadQueued()
{
    m_bReadPosted = false;
    ReadTurn(true);
}

void CZvTxtBrowser::ReadTurn(bool bShowWaiting)
{
    if (m_bReading)
        return;
    m_bReading = true;
    // A few slices a turn of the event loop, and a share of the text waiting
    // for the document: the window's work per turn stays small however much a
    // port hands over at once, and the rest follows in the next turns.
    int nRead = 0;
    while (m_nQueueAt < m_Queue.size() && nRead < TURN_READ_BYTES)
    {
        const QByteArray Slice = m_Queue.mid(m_nQueueAt, READ_SLICE_BYTES);
        m_nQueueAt += Slice.size();
        nRead += Slice.size();
        ReadSlice(Slice);
    }
    // What waits stays where it is, behind what was read: moving it to the
    // front would copy it once a turn.
    if (m_nQueueAt >= m_Queue.size())
    {
        m_Queue.clear();
        m_nQueueAt = 0;
    }
    if (bShowWaiting)
        ShowWaiting(m_Queue.isEmpty() ? TURN_SHOW_ALL_MAX : TURN_SHOW_MAX);
    m_bReading = false;
    if ((!m_Queue.isEmpty() || !m_Waiting.isEmpty()) && !m_bReadPosted)
    {
        m_bReadPosted = true;
        QMetaObject::invokeMethod(this, &CZvTxtBrowser::ReadQueued, Qt::QueuedConnection);
    }
}

void CZvTxtBrowser::ReadSlice(const QByteArray& Slice)
{
    uint nCurrentPort = 0;
    if (m_pPortTab != nullptr)
        if (CZvTxtBrowser* pCurrent = m_pPortTab->GetCurTxView())
            nCurrentPort = pCurrent->m_pPortCtrl != nullptr ? pCurrent->m_pPortCtrl->UniquePortID : 0;
    CPortReceiver::BATCH_T How;
    How.Mode = m_DisplayMode;
    How.bShow = !m_bPause;
    How.bStable = m_pPortTab != nullptr && m_pPortTab->IsStableMode();
    if (m_pPortTab != nullptr && nCurrentPort != 0 && nCurrentPort == m_RescuePortID)
        How.pPosParser = m_pPortTab->GetPosDataParser();
    // Text is made only where somebody sees it: in a visible view or its screen log.
    How.bFormat = isVisible() || m_bLogScreen;
    How.Skipped = m_nQueueSkipped;
    // What does not fit beside the text still waiting for the document is not shown.
    How.nShowRoom = std::max(0, SHOW_WAITING_MAX - m_Waiting.size());
    m_nQueueSkipped = 0;
    if (m_DisplayMode == DISPLAY_AUTO && !m_bAutoDecided && m_nProvisionalAt < 0)
    {
        m_nProvisionalAt = m_nTailCut + m_ShownTail.size();
        // Where it will stand in the document once the text waiting is in.
        m_nProvisionalDocAt = isVisible() ? document()->characterCount() - 1 + m_Waiting.size() : -1;
    }
    m_pReceiver->Receive(Slice, How);
    if (m_bAutoDecided)
        m_nProvisionalAt = m_nProvisionalDocAt = -1;
    if (!How.bShow)
        return;
    m_sDisplayMode = m_pReceiver->m_sReadMode;
    if (!How.bFormat)
    {
        // Only the newest bytes are read to text when the view is shown.
        m_HiddenBytes.Append(Slice);
        return;
    }
    // Received bytes whose text found no room, and those that could not be
    // read at all.
    const quint64 nNotShown = m_pReceiver->m_BatchNotShown + m_pReceiver->m_BatchSkipped;
    if (nNotShown > 0)
        ShowNotice(QStringLiteral("[%1]").arg(tr("%1 bytes not shown").arg(nNotShown)));
}

void CZvTxtBrowser::ShowNotice(const QString& sNotice)
{
    // On a line of its own, as text in the interface's language: it is no
    // received text, so it takes no part in the Latin-1 text that is kept.
    const QString sLine = (m_nLineChars > 0 ? QStringLiteral("\r\n") : QString()) + sNotice + QStringLiteral("\r\n");
    m_nLineChars = 0;
    if (m_bLogScreen && m_pLogScreenFile)
        m_pLogScreenFile->write(sLine.toUtf8());
    if (isVisible())
        m_Waiting += sLine;
}

void CZvTxtBrowser::ShowWaiting(int nMax)
{
    if (m_Waiting.isEmpty())
        return;
    // Cut after a line end where there is one near the share's end.
    int n = std::min(nMax, m_Waiting.size());
    if (n < m_Waiting.size())
    {
        const int nLf = m_Waiting.lastIndexOf(QLatin1Char('\n'), n - 1);
        if (nLf >= n / 2)
            n = nLf + 1;
    }
    // A share of more lines than the view has rows replaces the whole page in
    // sight: the page is painted anew once, instead of first moving the old
    // page's pixels and then painting over all of them.
    const bool bNewPage = !m_bPause && m_Waiting.leftRef(n).count(QLatin1Char('\n')) >= RowsInSight();
    if (bNewPage)
        viewport()->setUpdatesEnabled(false);
    // The cursor goes to the end first, while the block it is in is still
    // laid out: the text goes in behind it and takes it along. Left where it
    // was, putting it on the last line afterwards would lay out that block
    // again, by then pushed out of sight, only to find where it had been.
    if (!m_bPause && !textCursor().atEnd())
    {
        QTextCursor end = textCursor();
        end.movePosition(QTextCursor::End);
        setTextCursor(end);
    }
    AppendToDocument(n == m_Waiting.size() ? m_Waiting : m_Waiting.left(n));
    m_Waiting.remove(0, n);
    if (!m_bPause)
    {
        QTextCursor end = textCursor();
        end.movePosition(QTextCursor::End);
        end.movePosition(QTextCursor::StartOfLine);
        setTextCursor(end);
    }
    if (bNewPage)
        viewport()->setUpdatesEnabled(true); // and asks for the page's paint
}

int CZvTxtBrowser::RowsInSight() const
{
    return viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 1;
}

void CZvTxtBrowser::AppendToDocument(const QString& sText, const QTextCharFormat* pFormat)
{
    // The document's own block limit would lay out each line it drops, only
    // to drop it: the oldest lines go here, in the same edit, unlaid. Inside
    // an edit block a cursor's position needs no layout either.
    QTextDocument* pDoc = document();
    QTextCursor c(pDoc);
    c.beginEditBlock();
    c.setPosition(pDoc->characterCount() - 1);
    if (pFormat != nullptr)
        c.insertText(sText, *pFormat);
    else
        c.insertText(sText);
    const int nExcess = pDoc->blockCount() - MAX_BLOCKS;
    if (nExcess > 0)
    {
        c.setPosition(0);
        c.setPosition(pDoc->findBlockByNumber(nExcess).position(), QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    c.endEditBlock();
}

void CZvTxtBrowser::DropProvisional()
{
    if (m_nProvisionalAt < 0)
        return;
    const qint64 nKeep = m_nProvisionalAt - m_nTailCut;
    if (nKeep >= 0 && nKeep <= m_ShownTail.size())
        m_ShownTail.truncate(static_cast<int>(nKeep));
    m_nLineChars = m_ShownTail.size() - (m_ShownTail.lastIndexOf('\n') + 1);
    if (m_nProvisionalDocAt >= 0 && isVisible())
    {
        // The provisional text is in the document, or waiting for it, or both.
        const int nDoc = document()->characterCount() - 1;
        if (m_nProvisionalDocAt >= nDoc)
            m_Waiting.truncate(m_nProvisionalDocAt - nDoc);
        else
        {
            m_Waiting.clear();
            QTextCursor c(document());
            c.setPosition(m_nProvisionalDocAt);
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
    }
    m_nProvisionalAt = m_nProvisionalDocAt = -1;
}

QByteArray CZvTxtBrowser::QString2Hex(QByteArray ReadData) { return CPortReceiver::HexText(ReadData); }

QByteArray CZvTxtBrowser::Bin2AsciiDisplay(const QByteArray& ReadData)
{
    return m_pReceiver->Bin2Ascii(ReadData, m_DisplayMode);
}

void CZvTxtBrowser::OnUnreadable()
{
    if (!m_bBaudPromptShown)
        AskBaudRate();
}

void CZvTxtBrowser::AskBaudRate()
{
    m_bBaudPromptShown = true;
    auto* pUart = qobject_cast<QZvUartPortCtrl*>(m_pPortCtrl);
    if (pUart == nullptr || pUart->PortType != QZvPortCtrlBase::PORT_TYPE_UART || pUart->IsLogging())
        return;
    ConnectBaudRate();
    const uint nRate = ProposedBaudRate(pUart->GetBaudRate());
    QString sTab;
    if (m_pPortTab != nullptr)
        for (int i = 0; i < m_pPortTab->GetTabCount(); ++i)
            if (m_pPortTab->GetTxView(i) == this)
                sTab = m_pPortTab->GetTabText(i);
    m_pBinaryMsgParser->bReadable = true;
    // The question must not wait here: batches keep arriving while it is open.
    QPointer<CZvTxtBrowser> self(this);
    MonitorPrompt()->Ask(this, tr("BaudRate Err"),
                         sTab + tr(" Baud rate mismatch\r\nDetermine to switch baud rate to ") + QString::number(nRate),
                         [self, nRate](bool bYes)
                         {
                             if (self && bYes)
                                 emit self->SignalSetUartBaudrate(nRate);
                         });
}

void CZvTxtBrowser::ConnectBaudRate()
{
    if (auto* pUart = qobject_cast<QZvUartPortCtrl*>(m_pPortCtrl))
        connect(this, &CZvTxtBrowser::SignalSetUartBaudrate, pUart, &QZvUartPortCtrl::OnSetBaudrate,
                Qt::UniqueConnection);
}

// ---- Showing text ----

void CZvTxtBrowser::ShowText(const char* pText, int nLength)
{
    if (nLength <= 0)
        return;
    if (m_bLogScreen && m_pLogScreenFile)
        m_pLogScreenFile->write(pText, nLength);
    const QByteArray Text = BreakLongLines(pText, nLength);
    KeepShown(Text);
    if (!isVisible())
        return;
    m_Waiting += QString::fromLatin1(Text.constData(), Text.size());
    // Text shown outside a read goes into the document with the next one.
    if (!m_bReading && !m_bReadPosted)
    {
        m_bReadPosted = true;
        QMetaObject::invokeMethod(this, &CZvTxtBrowser::ReadQueued, Qt::QueuedConnection);
    }
}

QByteArray CZvTxtBrowser::BreakLongLines(const char* pText, int nLength)
{
    QByteArray Out;
    Out.reserve(nLength + nLength / LINE_CHARS_MAX + 2);
    const char* p = pText;
    const char* const pEnd = pText + nLength;
    while (p < pEnd)
    {
        const auto* pLf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(pEnd - p)));
        const int nRun = static_cast<int>((pLf != nullptr ? pLf : pEnd) - p);
        const int nRoom = LINE_CHARS_MAX - m_nLineChars;
        if (nRun >= nRoom && !(pLf != nullptr && nRun == nRoom))
        {
            // The line has reached its length: the rest goes on a new line.
            Out.append(p, nRoom).append('\n');
            p += nRoom;
            m_nLineChars = 0;
            continue;
        }
        if (pLf != nullptr)
        {
            Out.append(p, nRun + 1);
            p = pLf + 1;
            m_nLineChars = 0;
        }
        else
        {
            Out.append(p, nRun);
            p = pEnd;
            m_nLineChars += nRun;
        }
    }
    return Out;
}

void CZvTxtBrowser::KeepShown(const QByteArray& Text)
{
    // The tail lives in storage of 2 * SHOWN_TAIL_MAX characters, reserved
    // once: text that would not fit makes room at the front first, so that
    // the storage never grows (grown, it would be kept at twice the size by
    // every tab that was once shown).
    if (m_ShownTail.capacity() < 2 * SHOWN_TAIL_MAX)
        m_ShownTail.reserve(2 * SHOWN_TAIL_MAX);
    const char* pText = Text.constData();
    const int nText = Text.size();
    // Cuts fall at a line start, so that the tail begins with a whole line.
    auto lineStartFrom = [](const char* p, int nFrom, int nSize)
    {
        const auto* pLf = static_cast<const char*>(std::memchr(p + nFrom, '\n', static_cast<size_t>(nSize - nFrom)));
        return pLf != nullptr && pLf < p + nSize - 1 ? static_cast<int>(pLf - p) + 1 : nFrom;
    };
    if (nText > SHOWN_TAIL_MAX)
    {
        // Only the newest part of the text stays.
        const int nSkip = lineStartFrom(pText, nText - SHOWN_TAIL_MAX, nText);
        m_nTailCut += m_ShownTail.size() + nSkip;
        m_ShownTail.resize(0);
        m_ShownTail.append(pText + nSkip, nText - nSkip);
        return;
    }
    if (m_ShownTail.size() + nText > 2 * SHOWN_TAIL_MAX)
    {
        const int nCut =
            lineStartFrom(m_ShownTail.constData(), m_ShownTail.size() + nText - SHOWN_TAIL_MAX, m_ShownTail.size());
        m_ShownTail.remove(0, nCut);
        m_nTailCut += nCut;
    }
    m_ShownTail.append(pText, nText);
}

void CZvTxtBrowser::FlushHidden()
{
    if (!m_HiddenBytes.IsEmpty())
    {
        // The bytes received while hidden, read by the view's mode in a road
        // of their own (the port's store and replies have them already).
        CPortReceiver Reader;
        Reader.m_AutoMode = m_AutoMode;
        Reader.m_bAutoDecided = m_bAutoDecided;
        QByteArray Text;
        Reader.SetDisplay([&Text](const char* p, int n) { Text.append(p, n); });
        connect(&Reader, &CPortReceiver::SignalAutoReadAgain, this, [&Text] { Text.clear(); });
        CPortReceiver::BATCH_T How;
        How.Mode = m_DisplayMode;
        const bool bCut = m_HiddenBytes.bCut;
        Reader.Receive(m_HiddenBytes.Take(), How);
        // Bytes cut from the front begin in the middle of something.
        if (bCut)
            Text.remove(0, Text.indexOf('\n') + 1);
        m_HiddenBytes.bCut = false;
        if (!Text.isEmpty())
            KeepShown(BreakLongLines(Text.constData(), Text.size()));
    }
    if (document()->isEmpty() && !m_ShownTail.isEmpty())
    {
        // Only the newest lines go in: a view shows at once.
        int nFrom = std::max(0, m_ShownTail.size() - SHOWN_TAIL_MAX);
        if (nFrom > 0)
            nFrom = m_ShownTail.indexOf('\n', nFrom) + 1;
        AppendToDocument(QString::fromLatin1(m_ShownTail.constData() + nFrom, m_ShownTail.size() - nFrom));
    }
}

void CZvTxtBrowser::HIDDEN_BYTES_T::Append(const QByteArray& Slice)
{
    if (Slice.isEmpty())
        return;
    Slices.push_back(Slice);
    nHeld += Slice.size();
    nKept += Slice.size();
    if (nKept > 2 * HIDDEN_BYTES_MAX)
    {
        nKept = HIDDEN_BYTES_MAX;
        bCut = true;
    }
    // Slices wholly older than the bytes that count go.
    while (nHeld - Slices.front().size() >= nKept)
    {
        nHeld -= Slices.front().size();
        Slices.pop_front();
    }
}

QByteArray CZvTxtBrowser::HIDDEN_BYTES_T::Take()
{
    QByteArray Kept;
    if (Slices.size() == 1 && nHeld == nKept)
        Kept = Slices.front();
    else
    {
        Kept.reserve(nHeld);
        for (const QByteArray& s : Slices)
            Kept.append(s);
        Kept.remove(0, nHeld - nKept);
    }
    Clear();
    return Kept;
}

void CZvTxtBrowser::showEvent(QShowEvent* pEvent)
{
    QPlainTextEdit::showEvent(pEvent);
    if (!document()->isEmpty() || (m_ShownTail.isEmpty() && m_HiddenBytes.IsEmpty()))
        return;
    FlushHidden();
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::StartOfLine);
    setTextCursor(c);
}

void CZvTxtBrowser::hideEvent(QHideEvent* pEvent)
{
    QPlainTextEdit::hideEvent(pEvent);
    // A hidden view holds no document: what it showed is kept in its tail.
    if (!document()->isEmpty())
        clear();
    m_Waiting.clear();
    m_nProvisionalDocAt = -1;
}

void CZvTxtBrowser::HighlighingStrAppendStr(char* pHighlightReadData)
{
    if (pHighlightReadData == nullptr)
        return;
    KeepShown(QByteArray(pHighlightReadData));
    if (!isVisible())
        return;
    // After the text shown before it.
    ShowWaiting(std::numeric_limits<int>::max());
    QTextCharFormat f;
    f.setBackground(QColor(255, 255, 0));
    AppendToDocument(QString::fromLatin1(pHighlightReadData), &f);
    if (m_bLogScreen && m_pLogScreenFile)
        m_pLogScreenFile->write(pHighlightReadData);
}

void CZvTxtBrowser::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    qCDebug(lcShell, "CZvTxtBrowser::mouseDoubleClickEvent");
    if (m_pPortTab != nullptr)
        m_pPortTab->OnTriggerCurTxViewStopShow();
    pEvent->accept();
}

// ---- Context menu ----

void CZvTxtBrowser::OnContextMenuRequesred(QPoint Pos)
{
    if (m_bMenuOpen)
        return;
    m_bMenuOpen = true;
    auto* pMenu = new QMenu(this);
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    m_pMenu = pMenu;
    connect(pMenu, &QMenu::aboutToHide, this,
            [this]
            {
                m_bMenuOpen = false;
                m_pMenu = nullptr;
            });

    AddDisplayModeMenu(pMenu);
    QAction* pWrap = pMenu->addAction(lineWrapMode() == QPlainTextEdit::NoWrap ? tr("Wrap line") : tr("No wrap line"));
    connect(pWrap, &QAction::triggered, this,
            [this] {
                setLineWrapMode(lineWrapMode() == QPlainTextEdit::NoWrap ? QPlainTextEdit::WidgetWidth
                                                                         : QPlainTextEdit::NoWrap);
            });
    if (m_DisplayMode == DISPLAY_AUTO || m_DisplayMode == DISPLAY_ASCII)
    {
        pMenu->addSeparator();
        AddRefPosMenu(pMenu);
    }
    pMenu->addSeparator();
    AddRedirectMenu(pMenu);
    QAction* pPause = pMenu->addAction(m_bPause ? tr("Resume") : tr("Pause"));
    connect(pPause, &QAction::triggered, this,
            [this]
            {
                if (m_pPortTab != nullptr)
                    m_pPortTab->OnTriggerCurTxViewStopShow();
            });
    pMenu->addSeparator();
    connect(pMenu->addAction(tr("Copy")), &QAction::triggered, this, &QPlainTextEdit::copy);
    connect(pMenu->addAction(tr("Copy All")), &QAction::triggered, this,
            [this]
            {
                FlushHidden();
                selectAll();
                copy();
            });
    connect(pMenu->addAction(tr("Clear")), &QAction::triggered, this,
            [this]
            {
                m_ShownTail.clear();
                m_HiddenBytes.Clear();
                m_nLineChars = 0;
                clear();
            });
    pMenu->addSeparator();
    // Nothing records here yet; the entry is shown for the layout users know.
    pMenu->addAction(tr("Stop Record"))->setEnabled(false);
    if (m_DisplayMode != DISPLAY_ASCII)
        connect(pMenu->addAction(m_bLogScreen ? tr("Unlog screen") : tr("Set log screen path")), &QAction::triggered,
                this, &CZvTxtBrowser::SetLogScreen);
    pMenu->addSeparator();
    const bool bLogging = m_pPortCtrl != nullptr && m_pPortCtrl->IsLogging();
    connect(pMenu->addAction(bLogging ? tr("Unlog") : tr("Log")), &QAction::triggered, this,
            [this, bLogging]
            {
                if (bLogging && m_pPortCtrl != nullptr)
                    QMetaObject::invokeMethod(m_pPortCtrl, &QZvPortCtrlBase::OnUnLogFile);
                else if (!bLogging && m_pPortTab != nullptr)
                    m_pPortTab->OnSetLogFilename();
                emit SignalSetNormalLogMmode();
            });
    if (m_pPortCtrl != nullptr && m_pPortCtrl->PortType == QZvPortCtrlBase::PORT_TYPE_UART)
        AddBaudRateActions(pMenu);
    connect(pMenu->addAction(m_bPortLock ? tr("Unlock") : tr("Lock")), &QAction::triggered, this,
            [this]
            {
                if (m_pPortTab != nullptr)
                    m_pPortTab->OnLockTabOne();
            });
    connect(pMenu->addAction(tr("Rename")), &QAction::triggered, this,
            [this]
            {
                if (m_pPortTab != nullptr)
                    m_pPortTab->OnRenameTabDiag();
            });
    connect(pMenu->addAction(tr("Session Option")), &QAction::triggered, this,
            [this]
            {
                if (m_pPortTab != nullptr)
                    m_pPortTab->EmitCurPortConfig();
            });
    // The menu does not run an event loop of its own: batches go on arriving.
    pMenu->popup(mapToGlobal(Pos));
}

void CZvTxtBrowser::AddDisplayModeMenu(QMenu* pMenu)
{
    QMenu* pModes = pMenu->addMenu(tr("Display Mode"));
    auto* pGroup = new QActionGroup(pModes);
    const char* const kNames[] = {QT_TR_NOOP("AutoDetection"), QT_TR_NOOP("ASCII"), QT_TR_NOOP("Hex"),
                                  QT_TR_NOOP("Bin2ASC")};
    for (uint i = 0; i < 4; ++i)
    {
        QAction* p = pModes->addAction(tr(kNames[i]));
        p->setCheckable(true);
        p->setChecked(m_DisplayMode == i);
        p->setData(i);
        pGroup->addAction(p);
    }
    connect(pGroup, &QActionGroup::triggered, this, &CZvTxtBrowser::SetDisplayMode);
}

void CZvTxtBrowser::AddRefPosMenu(QMenu* pMenu)
{
    QMenu* pRef = pMenu->addMenu(tr("Ref Pos Msg"));
    auto* pGroup = new QActionGroup(pRef);
    QPosDataParser* pParser = m_pPortTab != nullptr ? m_pPortTab->GetPosDataParser() : nullptr;
    for (uint32_t i = REF_POS_GGA; i <= REF_POS_INSPVAX; ++i)
    {
        QAction* p = pRef->addAction(QString::fromLatin1(RefPosMsgTypeName(i)));
        p->setCheckable(true);
        p->setChecked(pParser != nullptr && pParser->m_PosData.RefPosMsgType == i);
        p->setData(i);
        pGroup->addAction(p);
    }
    connect(pGroup, &QActionGroup::triggered, this, &CZvTxtBrowser::SetRefPosMsgType);
}

void CZvTxtBrowser::AddRedirectMenu(QMenu* pMenu)
{
    QMenu* pRedirect = pMenu->addMenu(tr("Redirect"));
    if (m_pPortTab == nullptr)
        return;
    int nActions = 0;
    for (int i = 0; i < m_pPortTab->GetTabCount() && nActions < MAX_REDIRECT_ACTIONS; ++i)
    {
        CZvTxtBrowser* pView = m_pPortTab->GetTxView(i);
        if (pView == nullptr || pView == this || pView->m_pPortCtrl == nullptr)
            continue;
        const QZvPortCtrlBase* pCtrl = pView->m_pPortCtrl;
        if (pCtrl->PortType == QZvPortCtrlBase::PORT_TYPE_NTRIP || pCtrl->PortType == QZvPortCtrlBase::PORT_TYPE_REPLAY)
            continue;
        QAction* p = pRedirect->addAction(pCtrl->GetPortName() + QStringLiteral(" (") + m_pPortTab->GetTabText(i) +
                                          QStringLiteral(")"));
        p->setCheckable(true);
        p->setChecked(m_RedirectPortIDs.contains(pCtrl->UniquePortID));
        p->setData(pCtrl->UniquePortID);
        ++nActions;
    }
    connect(pRedirect, &QMenu::triggered, this, &CZvTxtBrowser::SetReDirectPort);
}

void CZvTxtBrowser::AddBaudRateActions(QMenu* pMenu)
{
    pMenu->addSeparator();
    auto* pGroup = new QActionGroup(pMenu);
    const auto* pUart = qobject_cast<const QZvUartPortCtrl*>(m_pPortCtrl);
    for (uint nRate : kMenuBaudRates)
    {
        QAction* p = pMenu->addAction(QString::number(nRate));
        p->setCheckable(true);
        p->setChecked(pUart != nullptr && pUart->GetBaudRate() == nRate);
        p->setData(nRate);
        pGroup->addAction(p);
    }
    connect(pGroup, &QActionGroup::triggered, this, &CZvTxtBrowser::OnSetBaudrateRightMenu);
    pMenu->addSeparator();
}

void CZvTxtBrowser::SetDisplayMode(QAction* pActDisplayMode)
{
    const uint nMode = pActDisplayMode->data().toUInt();
    if (nMode > DISPLAY_BIN_2_ASCII)
        return;
    m_DisplayMode = nMode;
    UpdateModeText();
    m_sAutoResult.clear();
    // Auto chosen again decides anew from the bytes that come.
    if (nMode == DISPLAY_AUTO)
        m_pReceiver->ResetAuto();
    m_nProvisionalAt = m_nProvisionalDocAt = -1;
    qCDebug(lcShell, "DisplayMode:%d", static_cast<int>(nMode));
}

void CZvTxtBrowser::UpdateModeText()
{
    static const char* const kModes[] = {"Auto Detection", "ASCII", "Hex", "BIN_2_ASCII"};
    m_sDisplayMode = QString::fromLatin1(kModes[m_DisplayMode]);
}

void CZvTxtBrowser::SetRefPosMsgType(QAction* pActPosMsgType)
{
    QPosDataParser* pParser = m_pPortTab != nullptr ? m_pPortTab->GetPosDataParser() : nullptr;
    if (pParser == nullptr)
        return;
    const uint nType = pActPosMsgType->data().toUInt();
    pParser->m_PosData.RefPosMsgType = nType;
    qCDebug(lcShell, "Ref Pos Msg Type:%s", RefPosMsgTypeName(nType));
}

void CZvTxtBrowser::SetReDirectPort(QAction* pActRedirectPort)
{
    const uint nTarget = pActRedirectPort->data().toUInt();
    QZvPortCtrlBase* pTarget = nullptr;
    if (m_pPortTab != nullptr)
        for (int i = 0; i < m_pPortTab->GetTabCount() && pTarget == nullptr; ++i)
            if (CZvTxtBrowser* pView = m_pPortTab->GetTxView(i))
                if (pView->m_pPortCtrl != nullptr && pView->m_pPortCtrl->UniquePortID == nTarget)
                    pTarget = pView->m_pPortCtrl;
    if (pTarget == nullptr || m_pPortCtrl == nullptr)
        return;
    if (m_RedirectPortIDs.contains(nTarget) && !pActRedirectPort->isChecked())
    {
        m_RedirectPortIDs.removeAll(nTarget);
        disconnect(m_pPortCtrl, &QZvPortCtrlBase::SignalUpdateUI, pTarget, &QZvPortCtrlBase::OnReDirectPort);
        pActRedirectPort->setChecked(false);
    }
    else if (!m_RedirectPortIDs.contains(nTarget) && pActRedirectPort->isChecked())
    {
        m_RedirectPortIDs.append(nTarget);
        connect(m_pPortCtrl, &QZvPortCtrlBase::SignalUpdateUI, pTarget, &QZvPortCtrlBase::OnReDirectPort,
                Qt::UniqueConnection);
        // A target port that closes leaves the list with its connection.
        connect(pTarget, &QObject::destroyed, this, [this, nTarget] { RemoveRedirect(nTarget); });
        pActRedirectPort->setChecked(true);
    }
}

void CZvTxtBrowser::RemoveRedirect(uint UniquePortID) { m_RedirectPortIDs.removeAll(UniquePortID); }

void CZvTxtBrowser::OnSetBaudrateRightMenu(QAction* pActBaudrate)
{
    uint nRate = 0;
    for (uint r : kMenuBaudRates)
        if (pActBaudrate != nullptr && pActBaudrate->data().toUInt() == r)
            nRate = r;
    qCDebug(lcShell, "BaudRate Right menu %u", nRate);
    ConnectBaudRate();
    emit SignalSetUartBaudrate(nRate);
}

void CZvTxtBrowser::SetLogScreen()
{
    if (m_bLogScreen)
    {
        m_bLogScreen = false;
        m_pLogScreenFile.reset();
        return;
    }
    const QString sPath = MonitorPrompt()->SaveFileName(this, tr("Log screen file config"), m_sLogScreenPath,
                                                        tr("Logs (*.log *.bin *.txt);;Any files(*.*)"));
    if (sPath.isEmpty())
        return;
    if (QFileInfo::exists(sPath) && !MonitorPrompt()->Question(this, tr("File exists"), tr("Do you wish to replace")))
        return;
    m_sLogScreenPath = sPath;
    auto pFile = std::make_unique<QFile>(sPath);
    if (!pFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    m_pLogScreenFile = std::move(pFile);
    m_bLogScreen = true;
}

void CZvTxtBrowser::OnSelectScriptFile()
{
    const QString sPath =
        MonitorPrompt()->OpenFileName(this, tr("Script File"), QString(), tr("py(*.py);;Any files(*.*)"));
    if (!sPath.isEmpty() && QFileInfo(sPath).isFile())
        m_pScriptProcess->m_sScriptPath = sPath;
}
