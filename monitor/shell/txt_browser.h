// The data view of one port tab: everything the port receives, shown as text,
// as hex or with binary logs and RTCM3 frames turned into text. Each batch a
// port controller hands over (SignalUpdateUI, queued from the port's thread)
// enters the port's receive road (CPortReceiver, monitor/parsing/), which
// reads it by the display mode and feeds the port's framing, latest-log store,
// status-reply parser and script runner, and for the current port the tab
// set's position parser and the message filter; the view shows what the road
// gives it to show. The view's parser members point into its road.
//
// The document keeps the newest MAX_BLOCKS lines, so hours of streaming keep
// its memory flat, and a line longer than LINE_CHARS_MAX is broken for the
// display (the log file and the parsers get every byte). Only a visible view
// has a document: a view that is hidden drops it, and its port's bytes are
// parsed without being turned into text; it keeps the newest text it showed
// and the newest bytes received meanwhile, and shows them read by its mode
// when it becomes visible again. A batch is read a few slices in a turn of the
// event loop, and its text goes into the document a share at a turn, the rest
// in the next turns: whatever a port sends, the window answers. The received
// bytes whose text found no room, and those that the port or the view could
// not take, are said in the view ("N bytes not shown", in received bytes
// whatever the mode). Nothing on the receive road waits on the user: the
// baud-rate question goes through the monitor's prompt without a nested
// event loop.
//
// It is a plain text view, which lays out only the lines in sight: a batch of
// a hundred long logs costs the layout of the screenful shown, not of every
// line it adds.
//
// GUI thread only. The tab set sets m_pPortCtrl, m_pPortTab and the property
// "PortUniqueID" right after construction.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPlainTextEdit>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "monitor/parsing/port_receiver.h"
#include "monitor/ports/port_ctrl_base.h"

class CPortViewHost;
class QAction;
class QBinaryMsgParser;
class QFile;
class QMenu;
class QRTCMParser;
class QRangeData;
class QScriptProcess;
class QStatusMsgParser;
class QTextCharFormat;

class CZvTxtBrowser : public QPlainTextEdit
{
    Q_OBJECT

public:
    enum DISPLAY_MODE_E : uint32_t
    {
        DISPLAY_AUTO = 0,
        DISPLAY_ASCII = 1,
        DISPLAY_HEX = 2,
        DISPLAY_BIN_2_ASCII = 3,
    };
    static constexpr int MAX_BLOCKS = 512;
    // A displayed line is broken after this many characters without a line end.
    static constexpr int LINE_CHARS_MAX = 16384;
    // Received bytes are read in slices of READ_SLICE_BYTES, TURN_READ_BYTES
    // in a turn of the event loop, and the text they make goes into the
    // document TURN_SHOW_MAX characters a turn while more bytes wait; the rest
    // follows in the next turns. A turn that read all that was handed over
    // puts up to TURN_SHOW_ALL_MAX characters in whole, so that what the port
    // in sight hands over at 200 KB/s (some 50 K characters a fifth of a
    // second) is laid out and painted once, not once per share, each share's
    // page covered by the next at once. At most READ_QUEUE_MAX bytes wait to
    // be read, and SHOW_WAITING_MAX characters to be shown: received bytes
    // beyond the one are skipped (neither shown nor parsed), and text beyond
    // the other is not shown; both are counted and said.
    static constexpr int READ_SLICE_BYTES = 16 * 1024;
    static constexpr int TURN_READ_BYTES = 64 * 1024;
    static constexpr int TURN_SHOW_MAX = 16 * 1024;
    static constexpr int TURN_SHOW_ALL_MAX = 64 * 1024;
    static constexpr int READ_QUEUE_MAX = 1 << 20;
    static constexpr int SHOW_WAITING_MAX = 256 * 1024;
    // What a hidden view keeps: the newest text shown, and the newest bytes
    // received while it was hidden.
    static constexpr int SHOWN_TAIL_MAX = 32 * 1024;
    static constexpr int HIDDEN_BYTES_MAX = 32 * 1024;
    static constexpr int AUTO_STORE_BYTES = CPortReceiver::AUTO_STORE_BYTES;
    static constexpr int AUTO_BATCH_BYTES = CPortReceiver::AUTO_BATCH_BYTES;
    static constexpr int AUTO_BINARY_COUNT = CPortReceiver::AUTO_BINARY_COUNT;
    static constexpr int MAX_REDIRECT_ACTIONS = 17;

    explicit CZvTxtBrowser(QWidget* pParent = nullptr);
    ~CZvTxtBrowser() override;

    void TogglePause() { m_bPause = !m_bPause; }
    bool ScriptRunning() const;
    // The binary-to-text display of a batch; returns the text it showed.
    QByteArray Bin2AsciiDisplay(const QByteArray& ReadData);
    // The context menu while it is open, else null.
    QMenu* ContextMenu() const { return m_pMenu; }
    // The port's receive road.
    CPortReceiver* Receiver() const { return m_pReceiver; }
    // Whether received bytes, or text made of them, still wait to be read or
    // shown (a flood's, taken over the next turns of the event loop).
    bool IsCatchingUp() const { return !m_Queue.isEmpty() || !m_Waiting.isEmpty(); }
    // Milliseconds since the port last handed bytes over to this view, -1
    // before the first batch: the main window keeps its views' refreshes off
    // the instant the port in sight's page is laid out and painted.
    qint64 MsSinceHandOver() const;
    // The clock of the hand-overs, a steady one in milliseconds; tests and
    // benchmarks that hand bytes over on a clock of their own set theirs
    // (an empty function restores the steady clock).
    static void SetClock(std::function<qint64()> fnNowMs);

    QList<uint> m_RedirectPortIDs;
    bool m_bPause = false;
    bool m_bMenuOpen = false;
    bool m_bPortLock = false;
    uint32_t m_DisplayMode = DISPLAY_AUTO;
    bool m_bLogScreen = false;
    QString m_sLogScreenPath;
    QZvPortCtrlBase* m_pPortCtrl = nullptr;

private:
    CPortReceiver* m_pReceiver; // owned; the members below point into it

public:
    QRangeData* const m_pRangeData;
    QRTCMParser* const m_pRtcmParser; // not on the receive road
    QBinaryMsgParser* const m_pBinaryMsgParser;
    QStatusMsgParser* const m_pStatusMsgParser;
    QScriptProcess* m_pScriptProcess;
    CPortViewHost* m_pPortTab = nullptr;
    bool& m_bRescueModem;
    bool& m_bNvmDump;
    QByteArray& m_LastData;
    // Read by the status bar: "Auto Detection", "ASCII", "Hex" or "BIN_2_ASCII",
    // and what Auto decided ("ASCII", "BIN_2_ASCII", or empty).
    QString m_sDisplayMode;
    QString& m_sAutoResult;
    uint32_t& m_AutoUpdateCount;
    uint32_t& m_AutoMode;
    QByteArray& m_StoreData;
    bool& m_bAutoDecided;
    bool m_bBaudPromptShown = false;

public slots:
    void OnContextMenuRequesred(QPoint Pos);
    void OnSetBaudrateRightMenu(QAction* pActBaudrate);
    void OnUpdateData(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, QByteArray ReadData);
    // Appends a text (NUL-terminated) marked out from the received data.
    void HighlighingStrAppendStr(char* pHighlightReadData);
    void SetDisplayMode(QAction* pActDisplayMode);
    void SetRefPosMsgType(QAction* pActPosMsgType);
    void SetReDirectPort(QAction* pActRedirectPort);
    void SetLogScreen();
    void OnSelectScriptFile();
    // Two lower-case hex digits and a blank per byte, CR LF after every 64
    // bytes and at the end.
    static QByteArray QString2Hex(QByteArray ReadData);

signals:
    void SignalSetLogFolder1Port(QString sLogDefaultFolder);
    void SignalClearLogFolder1Port();
    void SignalSetFileName1Port(QString sFileName);
    void SignalLogConfig(uint Mode, bool bLoop, QDateTime DateTime);
    void SignalOpenFile1Port();
    void SignalCloseFile1Port();
    void SignalUnlogFile1Port();
    void SignalSetUartBaudrate(uint BaudRate);
    void SignalLogNewFile(QString sFileName);
    void SignalSetNormalLogMmode();
    void SignalUpdateOutMsg(QByteArray OutData);
    void SignalSendScriptDebugInfo(QString sContent);
    void SignalSetPortLockStatus(bool bLock);
    void SignalNVMComplete();
    void SignalRescueModemBoardReset(uint UniquePortID);
    void SignalRescueModemOn();
    void SignalRescueModemTimerStop();

protected:
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    // Reads the bytes waiting and shows the text waiting, a turn's share
    // (see READ_SLICE_BYTES); ReadQueued is the posted turn.
    void ReadQueued();
    void ReadTurn(bool bShowWaiting);
    void ReadSlice(const QByteArray& Slice);
    // Puts at most nMax characters of the waiting text into the document.
    void ShowWaiting(int nMax);
    // The rows of text the view has room for, the last one in part.
    int RowsInSight() const;
    // Shows text at the end of the document (as Latin-1) and writes it to the
    // screen log.
    void ShowText(const char* pText, int nLength);
    // A notice of the view's own on a line of its own, shown and in the screen log.
    void ShowNotice(const QString& sNotice);
    void ShowText(const QByteArray& Text) { ShowText(Text.constData(), Text.size()); }
    // Puts text at the end of the document, which keeps its newest MAX_BLOCKS lines.
    void AppendToDocument(const QString& sText, const QTextCharFormat* pFormat = nullptr);
    // Text as the document takes it: lines longer than LINE_CHARS_MAX broken.
    QByteArray BreakLongLines(const char* pText, int nLength);
    // Keeps shown text in the tail a hidden view shows again.
    void KeepShown(const QByteArray& Text);
    // Fills the document of a view that has become visible: the text it
    // showed last and the bytes received while it was hidden, read by its mode.
    void FlushHidden();
    // Auto's first decision was binary: the text shown provisionally goes.
    void DropProvisional();
    void OnUnreadable();
    void AskBaudRate();
    void ConnectBaudRate();
    void UpdateModeText();
    void AddDisplayModeMenu(QMenu* pMenu);
    void AddRefPosMenu(QMenu* pMenu);
    void AddRedirectMenu(QMenu* pMenu);
    void AddBaudRateActions(QMenu* pMenu);
    void RemoveRedirect(uint UniquePortID);

    std::unique_ptr<QFile> m_pLogScreenFile;
    QMenu* m_pMenu = nullptr;
    uint m_RescuePortID = 0; // the port of the batch being read
    // The newest text shown (at most about 2 × SHOWN_TAIL_MAX characters),
    // how much has been cut from its front, and the characters after its last
    // line end.
    QByteArray m_ShownTail;
    // Text made and not yet in the document.
    QString m_Waiting;
    qint64 m_nTailCut = 0;
    int m_nLineChars = 0;
    // Bytes received while hidden, not yet read to text: the newest of them,
    // as if each slice were appended and, past 2 x HIDDEN_BYTES_MAX, all but
    // the newest HIDDEN_BYTES_MAX dropped (bCut once that happened). The
    // slices are kept as they came, shared, and joined only when the view is
    // shown: appending and dropping copied every byte of a hidden port twice.
    struct HIDDEN_BYTES_T
    {
        void Append(const QByteArray& Slice);
        // The bytes kept, which are then let go of.
        QByteArray Take();
        bool IsEmpty() const { return nKept == 0; }
        void Clear()
        {
            Slices.clear();
            nHeld = nKept = 0;
        }
        bool bCut = false;

    private:
        std::deque<QByteArray> Slices;
        int nHeld = 0; // bytes in Slices
        int nKept = 0; // of them, the newest that count
    };
    HIDDEN_BYTES_T m_HiddenBytes;
    // Bytes handed over, read up to m_nQueueAt; bytes skipped since the last
    // slice was read (the port's and the queue's); whether a slice is being
    // read, and whether a read is posted.
    QByteArray m_Queue;
    int m_nQueueAt = 0;
    quint64 m_nQueueSkipped = 0;
    bool m_bReading = false;
    bool m_bReadPosted = false;
    qint64 m_nHandOverMs = -1; // on the hand-overs' clock
    // Where Auto's provisional text began (in the tail's whole history and in
    // the document), while Auto has not decided; -1 when there is none.
    qint64 m_nProvisionalAt = -1;
    int m_nProvisionalDocAt = -1;
};
