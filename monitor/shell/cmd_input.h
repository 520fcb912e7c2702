// The command window: the text field in the dock "CMDWinContainer" where the
// user types receiver commands. Enter sends the text to the current port (or
// to every port) with the chosen line ending, or as hexadecimal bytes; sent
// texts are kept in a history browsed with Up and Down and appended to
// "CmdHistory.log" in the monitor's configuration folder, when that is a
// regular file (or can be made one).
//
// While the user types a word, command names (or, after "log" and "unlog",
// log names) that begin with it are offered; Tab or Enter takes one.
//
// A command that no port takes (none is open, or the port is disconnected or
// its connection failed) is not sent: a note at the foot of the window says
// why, and the text stays selected, so that what is typed next replaces it
// instead of being joined to it.
//
// Local commands ("open ..." and "save ...", see cmd_interface.h) are served
// by the monitor itself and go to no receiver: "open" needs no port, so the
// first port can be opened before any tab exists. A text may hold several
// commands between "###" separators: the pieces that are local commands are
// served, and the rest goes to the port.
//
// GUI thread only.
#pragma once

#include <QByteArray>
#include <QCompleter>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextEdit>

class CPortTab;
class QAction;
class QLabel;
class QStringListModel;
class QZvCmdInterface;
class QZvPortManager;

// Completion of command and log names from the two embedded word lists.
class QCMDCompleter : public QCompleter
{
    Q_OBJECT

public:
    explicit QCMDCompleter(QObject* pParent = nullptr);
    ~QCMDCompleter() override;

    // The words of a list resource: every line, trimmed, in file order; an
    // unreadable list gives none.
    static QStringList ReadWordList(const QString& sPath);

    bool m_bEnabled = false;
    // Not the completer's children: QCompleter deletes a model it owns when
    // another takes its place.
    QStringListModel* m_pCmdModel;
    QStringListModel* m_pMsgModel;
};

class QCMDInput : public QTextEdit
{
    Q_OBJECT

public:
    // Line endings added to a text command.
    enum LINE_MODE_E
    {
        LINE_MODE_CRLF = 0, // every non-empty line ended by CR LF
        LINE_MODE_LF = 1,   // one LF after the text as it stands
        LINE_MODE_NONE = 2,
    };
    static constexpr int MAX_HISTORY = 48;
    // A word ends at one of these: typing one hides the completion list.
    static constexpr char WORD_END_CHARS[] = "~!@#$%^&*()_+{}|:\"<>?,./;'[]\\-=";
    // Letters typed before the completion list opens.
    static constexpr int COMPLETION_MIN = 3;

    explicit QCMDInput(QWidget* pParent = nullptr);
    ~QCMDInput() override;

    // The port tab set and the port manager; set by the main window, not owned.
    void SetPortTab(CPortTab* pPortTab);
    void SetPortManager(QZvPortManager* pPortManager) { m_pPortManager = pPortManager; }
    QZvCmdInterface* CmdInterface() const { return m_pCmdInterface; }

    const QStringList& History() const { return m_History; }
    bool IsSendToAll() const { return m_bSendToAll; }
    bool IsHexSend() const { return m_bHexSend; }
    int LineMode() const { return m_LineMode; }
    // The history file.
    static QString HistoryLogPath();
    // The note saying why the last command was not sent; empty once the text changed.
    QString NotSentNote() const;

    // Hexadecimal text as bytes: pairs of digits, blanks between pairs; a
    // character that is no digit where one belongs (an upper-case "X" after a
    // "0" is taken as the "0X" prefix) or a digit without its partner makes
    // the text garbled.
    static QByteArray HexTextToBytes(const QByteArray& Text, bool* pGarbled);
    // Whether a text is one of the monitor's local commands ("open", "save").
    static bool IsLocalCommand(const QString& sText);
    // Splits the monitor's local commands off a typed text: the text itself
    // when it is one, else each piece between "###" separators that is one.
    // Returns what is left for the receiver: the text as typed when it holds
    // no local command, else its other non-blank pieces joined by "###".
    static QString TakeLocalCommands(const QString& sText, QStringList* pLocal);
    // The value of one hexadecimal digit, 0xFF for any other character.
    static char OnHextoBin(char ConData);
    // Writes n bytes to the history file and flushes; -1 when it is not open.
    int WriteHistoryLog(const char* pBuf, int n);

signals:
    void SignalSendCMD(uint UniquePortID, QByteArray WriteData);
    void SignalSendCMD2CurPort(QByteArray WriteData);
    void SignalSendAll(bool m_bSendCmdtoAllPort);
    void SignalSendCMD2AllWinChanged(int PortIndex);
    void SignalFresetChangedBaudRate(uint Baudrate, int PortIndex);

public slots:
    void insertCompletion(QString completion);
    bool OnOpenFile();
    void OnCloseFile();
    void OnSendtoAllWindow(QAction* pActSelectAll);
    void OnSetLineMode(QAction* pActPosMsgType);
    void OnHexSend(QAction* pActSendHex);

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void focusInEvent(QFocusEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void SendText();
    // Why the port of tab i takes no command now; empty when it takes them.
    QString WhyPortTakesNone(int i) const;
    // Keeps the text, selected, and says why no port took it.
    void ShowNotSent(const QString& sReason);
    void HideNotSentNote();
    void PlaceNote();
    // Appends a sent text to the history and logs it.
    void Remember(const QString& sText, const QString& sPortName);
    void ShowHistoryEntry(int Index);
    // Tells the user once per run that the history file cannot be opened or
    // written, and why (a CONFIG_FILE_E).
    void NoteHistoryLogFailure(int nStatus);
    // Opens, moves or hides the completion list for the letter about to be typed.
    void Complete(QKeyEvent* pEvent);
    static QString Now();

    // 0 while the field holds no text typed since the last send or history
    // entry: Up and Down browse the history. Typing a letter sets it, which
    // lets the completion list open.
    int m_KeyState = 0;
    int m_LineMode = LINE_MODE_CRLF;
    CPortTab* m_pPortTab = nullptr;
    QStringList m_History;
    int m_HistoryIndex = -1;
    bool m_bLogOpen = false;
    QString m_LogPath;
    QFile m_LogFile;
    bool m_bLogFailShown = false;
    int m_MaxHistory = MAX_HISTORY;
    QZvCmdInterface* m_pCmdInterface;
    QZvPortManager* m_pPortManager = nullptr;
    // The context menu while it is open, and its entries.
    QPointer<QMenu> m_pMenu;
    QPointer<QAction> m_pActSendToAll;
    QPointer<QAction> m_pActHexSend;
    QList<QPointer<QAction>> m_LineModeActions;
    bool m_bSendToAll = false;
    bool m_bHexSend = false;
    QCMDCompleter* m_pCompleter;
    // At the window's foot while it says why a command was not sent.
    QLabel* m_pNote;
};
