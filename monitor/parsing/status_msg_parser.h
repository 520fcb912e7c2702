// Status queries to a receiver and the parsing of their replies: a bit mask
// becomes query commands, the port's received text is watched until each
// query's reply is complete, the parsed answers are kept for the dialogs, and
// each finished query is reported by its bit. A query that gets no answer in
// time is given up and reported as such.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>

#include "monitor/parsing/ins_config.h"

enum STATUS_MSG_MASK_E : uint32_t
{
    STATUS_MSG_USERCONFIG = 0x1,
    STATUS_MSG_VERSION = 0x2,
    STATUS_MSG_LOGLIST = 0x4,
    STATUS_MSG_POSFREQ = 0x10,
    STATUS_MSG_UPNP = 0x20,
    STATUS_MSG_TQ = 0x40,
    STATUS_MSG_CONFIG_CHECK = 0x80,
    STATUS_MSG_FRESET = 0x100,
    STATUS_MSG_RESET = 0x400,
    STATUS_MSG_NVMDUMP = 0x800,
    STATUS_MSG_INSCONFIG = 0x1000,
    STATUS_MSG_HWINFO = 0x2000,
};

// Tracking quality of one antenna: per signal code, the maximum CN0, the
// number of valid satellites and the error count.
struct TQ_LISTS_T
{
    QStringList SigNameList;
    QList<double> MaxCN0List;
    QList<double> ValidSvNumList;
    QList<int> ErrList;
};

// The command-file rate that a position rate selects, as the configuration
// check names its files: "1HZ" for 1 Hz, "5HZ" for 5 Hz, "10HZ" for 10, 20 or
// 200 Hz (the rate truncated to a whole number); null for any other rate, and
// for one that is no number or too large for a whole number.
const char* PosFreqFileRate(double dPosFreq);

// A receiver's network settings as its NETCONFIG line gives them, in its user
// configuration or as the reply to "netconfig": "NETCONFIG <mode> <address>
// <mask> <gateway> [<host name>]".
struct NET_CONFIG_T
{
    bool bKnown = false; // false for a line that says the settings are incomplete or invalid
    QString sMode;       // "DHCP" or "STATIC"; empty when the line names neither
    QString sHostName;
    QStringList Ip, Mask, Gateway; // octets; an address with an octet above 255 makes the line unknown
};
NET_CONFIG_T ReadNetConfigLine(const QString& sLine);

class QStatusMsgParser;
// The log list as the configuration check compares it with its command
// files: "<port> <name> <trigger>", and " <period>" (up to 6 significant
// digits) unless the trigger is ONCHANGED.
QStringList LogListLines(const QStatusMsgParser& Replies);

class QStatusMsgParser : public QObject
{
    Q_OBJECT

public:
    explicit QStatusMsgParser(QObject* pParent = nullptr);
    ~QStatusMsgParser() override;

    // The commands of the mask's bits, each ended by CR LF, in bit order; each
    // bit becomes pending and anything collected for it before is dropped.
    QString SendStatusQuery(uint Mask);
    // Parses received text; emits SignalParseStatusMsgFinished once per bit
    // finished. Returns the bits still pending.
    uint ParseStatusMsg(const char* pText, int nLength);
    uint ParseStatusMsg(const QByteArray& Text) { return ParseStatusMsg(Text.constData(), Text.size()); }
    // Forgets the pending bits and every reply in progress, and stops following
    // the tracking-quality output.
    void ResetFlags();
    void ClearText();
    // "USERCONFIG Enable\n" ... for each pending bit that has a name, in bit order.
    QString MaskDescription() const;
    uint PendingMask() const { return m_uPendingMask; }
    // The bits whose last reply held a value out of its range or no value
    // where one belongs: the reply was finished, but its results are empty
    // (0, -1), and the window says that it could not read it. A bit leaves
    // this mask when it is queried again or a good reply arrives.
    uint FailedMask() const { return m_uFailedMask; }

    // How long a query may wait for its reply (60 s by default), and the clock
    // that measures it (milliseconds; a monotonic clock by default).
    void SetQueryTimeout(int nMs) { m_nTimeoutMs = nMs; }
    void SetClock(std::function<qint64()> fnNowMs);

public slots:
    // Gives up the queries whose time has run out, each with SignalStatusQueryTimeout.
    void OnCheckTimeouts();

signals:
    void SignalParseStatusMsgFinished(uint Mask);
    void SignalStatusQueryTimeout(uint Mask);

public:
    QString m_sQueryText;
    bool m_bIncomplete = false;
    // Text received since the last query: at least its newest REPLY_TEXT_MAX
    // characters, at most twice that (it is cut back in steps, not on every call).
    QString m_sReplyText;

    // USERCONFIG
    QStringList m_UserConfigList;
    QStringList m_PpsConfigList;
    bool m_bNetworkKnown = false;
    QString m_sNetHostName;
    QStringList m_NetIpList;
    QStringList m_NetMaskList;
    QStringList m_NetGatewayList;
    QList<uint> m_LockoutMaskList;
    QStringList m_ElevMaskList;
    QStringList m_RtkElevMaskList;
    bool m_bInsEnabled = false;
    QStringList m_InsRotationList;
    bool m_bInsRotationAuto = false;
    QStringList m_InsTranslationAnt1List;
    QStringList m_InsTranslationDualAntList;
    // VERSION
    QStringList m_VersionList;
    // LOG LOGLISTA
    QString m_sLogListPort; // the receiver port the list came out of (its header's port)
    QStringList m_LogNameList;
    QStringList m_LogPortList;
    QStringList m_LogTriggerList;
    QList<double> m_LogPeriodList;
    // posfreq: the receiver's position rate in Hz, within 0 .. POS_FREQ_MAX; 0 when unread
    double m_dPosFreq = 0.0;
    QStringList m_PosFreqLines;
    // SET UPNPEN
    QStringList m_UpnpList;
    // log tq: "$TQR" lines for the master antenna, "$TQH" for the slave. "log tq 1"
    // has the receiver output them every second: once asked, the parser keeps
    // taking each new output, until ResetFlags.
    TQ_LISTS_T m_TqMaster;
    TQ_LISTS_T m_TqSlave;
    // reset and factory reset; read by worker threads of the regression bench
    std::atomic<bool> m_bResetSeen{false};
    std::atomic<bool> m_bFresetSeen{false};
    // nvmdump show: bytes of the stored log, negative when there is none
    qint64 m_nNvmDumpSize = -1;
    // log insconfiga
    INS_CONFIG_T m_InsConfig{};
    bool m_bInsConfigValid = false;
    // hwinfo
    QStringList m_HwSignalList;
    QStringList m_HwShowifList;

    enum : int
    {
        REPLY_TEXT_MAX = 256 * 1024,
        REPLY_LINES_MAX = 4096, // lines one framed reply may hold
        REPLY_LINE_MAX = 32768, // characters of one line; a longer one is no reply's
        // Characters (line ends counted) one framed reply may hold: a receiver's
        // longest, its user configuration, is a few kilobytes.
        REPLY_BYTES_MAX = 64 * 1024,
    };
    // Ranges of the numbers read from the replies.
    static constexpr double POS_FREQ_MAX = 1000.0;          // Hz
    static constexpr double LOG_PERIOD_MAX = 1.0e8;         // s, about three years
    static constexpr double TQ_CN0_MAX = 100.0;             // dB-Hz
    static constexpr double TQ_SV_MAX = 1000.0;             // satellites
    static constexpr qint64 NVM_DUMP_MAX = qint64(1) << 40; // bytes

private:
    struct FRAMED_T
    {
        bool bOpen = false;
        QStringList Lines;
        int nBytes = 0; // the lines' characters, two more for each line end
    };

    void HandleLine(const QString& sRawLine);
    void HandleFramed(uint Bit, const QString& sLine, const char* pOpen, const char* pClose);
    void HandleTextLog(uint Bit, const QString& sLine);
    void HandleTq(const QString& sLine);
    // Looks for the start-up banner in sText from index nFrom on.
    void CheckBanner(const QString& sText, int nFrom = 0);
    void Finish(uint Bit);
    // Finishes a bit whose reply could (bOk) or could not be read.
    void FinishRead(uint Bit, bool bOk);
    void AppendReplyText(const QString& sNew);
    // False when a value of the configuration is out of its range (its list is left empty).
    bool ParseUserConfig(const QStringList& Lines);
    void ParseNetConfig(const QString& sLine);
    bool ParseLogList(const QString& sBody);
    // False when a value of the reply is out of its range.
    bool ParseFramedReply(uint Bit, const QStringList& Lines);
    FRAMED_T* Framed(uint Bit);
    void UpdateIncomplete();

    uint m_uPendingMask = 0;
    uint m_uFailedMask = 0;
    bool m_bTqFollow = false; // the receiver was asked for its tracking quality every second
    QString m_sPartial; // received text after the last line end
    FRAMED_T m_UserConfig, m_Version, m_PosFreq, m_Upnp, m_NvmDump, m_HwInfo;
    bool m_bTqMasterSeen = false;
    bool m_bTqSlaveSeen = false;
    qint64 m_Deadline[32] = {};
    int m_nTimeoutMs = 60000;
    std::function<qint64()> m_fnNowMs;
    QTimer m_TimeoutTimer;
};
