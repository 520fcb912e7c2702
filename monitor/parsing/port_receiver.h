// The receive road of one port, apart from its display: every batch a port
// controller hands over is read by the port's reading mode (Auto, ASCII, hex,
// binary logs to text), framed, its binary logs kept in the port's latest-log
// store, its status replies parsed, its text handed to the script runner and,
// for the current port, to the position parser and the message filter. What
// is to be shown leaves through a display sink as text; the data view only
// shows it. One object per port, owned by the port's data view.
//
// The store, the status replies and the position record that the windows read
// (through the port tab set) are filled here. Tests, benchmarks and fuzz
// targets drive this class as the data view does.
//
// GUI thread only.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "monitor/parsing/port_fix_watch.h"

class QBinaryMsgParser;
class QPosDataParser;
class QRTCMParser;
class QRangeData;
class QStatusMsgParser;

class CPortReceiver : public QObject
{
    Q_OBJECT

public:
    // How the bytes are read: the data view's display modes.
    enum READ_MODE_E : uint32_t
    {
        READ_AUTO = 0,
        READ_ASCII = 1,
        READ_HEX = 2,
        READ_BIN_2_ASCII = 3,
    };
    // Auto decides once this much has been collected, or on a batch this long.
    static constexpr int AUTO_STORE_BYTES = 6000;
    static constexpr int AUTO_BATCH_BYTES = 10001;
    // Bytes in the collected store that make Auto decide for binary.
    static constexpr int AUTO_BINARY_COUNT = 50;
    // The most of one batch that is read; the rest is counted as skipped, so
    // that a flood never holds up the thread that reads.
    static constexpr int BATCH_READ_MAX = 1 << 20;

    // Takes the text to show (nLength characters, Latin-1).
    using TextSink = std::function<void(const char* pText, int nLength)>;

    // How one batch is read.
    struct BATCH_T
    {
        uint32_t Mode = READ_AUTO;
        // False while the display is paused: nothing is shown or parsed, and
        // the batch itself is the text of the steps after the display.
        bool bShow = true;
        // Stable mode: neither the markers nor the position parser nor the filter run.
        bool bStable = false;
        // The position parser of the current port (null for the other ports):
        // it gets the stream's own text, and the message filter the text shown.
        QPosDataParser* pPosParser = nullptr;
        // False when nobody would see the text (a hidden view): binary logs
        // and RTCM3 frames are kept and parsed but not turned into text, and
        // nothing is shown. Everything else runs as usual.
        bool bFormat = true;
        // Bytes the port could not hand over before this batch (its backlog
        // was full): they are neither shown nor parsed, and are counted.
        quint64 Skipped = 0;
        // The characters the batch may put on show (-1: no bound). From the
        // first text that does not fit on, nothing more of the batch is shown
        // and the received bytes it stands for are counted (m_BatchNotShown);
        // everything else runs as usual.
        qint64 nShowRoom = -1;
    };

    explicit CPortReceiver(QObject* pParent = nullptr);
    ~CPortReceiver() override;

    QRangeData* Store() const { return m_pStore; }
    QStatusMsgParser* StatusParser() const { return m_pStatusParser; }
    // The port's own fix, kept while watched (null otherwise); see port_fix_watch.h.
    void WatchFix(bool bOn);
    const CPortFixWatch* FixWatch() const { return m_pFixWatch.get(); }
    QBinaryMsgParser* BinaryParser() const { return m_pBinaryParser; }
    // A parser the road itself does not use.
    QRTCMParser* RtcmParser() const { return m_pRtcmParser; }

    void SetDisplay(TextSink Sink) { m_fnShow = std::move(Sink); }
    // The bytes that Auto mode shows in hex, as received; without this sink
    // they reach the display as their hex text (HexText).
    void SetHexDisplay(std::function<void(const uint8_t* pBytes, int nLength)> Sink) { m_fnShowHex = std::move(Sink); }
    // Every batch as received, first of all (the script runner's sample buffer).
    void SetSampleFeed(std::function<void(const QByteArray&)> Feed) { m_fnSample = std::move(Feed); }

    // One received batch, read by How.
    void Receive(const QByteArray& Batch, const BATCH_T& How);
    // Auto mode starts over: the next bytes are collected and decided on anew.
    void ResetAuto();

    // The binary-to-text reading of a batch: each log kept in the store and
    // shown as text, RTCM3 frames as their lines, the status replies parsed,
    // and in Auto mode the bytes that are not printable shown in hex. Returns
    // the text it showed when the caller keeps texts (the current port), else
    // nothing.
    QByteArray Bin2Ascii(const QByteArray& Batch, uint32_t Mode);

    // Two lower-case hex digits and a blank per byte, CR LF after every 64
    // bytes and at the end.
    static QByteArray HexText(const QByteArray& Bytes);

    // Auto mode's collected bytes and decision. Until its first decision Auto
    // reads the bytes as text, provisionally; when it decides for binary logs
    // (on the 50th byte that is not printable, or once 6000 bytes are in with
    // fewer), the bytes collected so far are read again as binary logs (into
    // the store, and shown once SignalAutoReadAgain has let the display drop
    // their provisional text). Later decisions, one per 6000 bytes, change the
    // reading from then on.
    QByteArray m_StoreData; // kept only while Auto has not decided
    uint32_t m_AutoUpdateCount = 0;
    uint32_t m_AutoMode = READ_ASCII;
    bool m_bAutoDecided = false;
    QString m_sAutoResult; // "ASCII" or "BIN_2_ASCII" once Auto has decided (Auto mode only)
    QString m_sReadMode;   // the mode the last batch was read in: "Auto Detection", "ASCII", "Hex", "BIN_2_ASCII"
    QByteArray m_LastData; // the last batch received
    // Markers: the NVM dump's completion text and the boot loader's "CCCC".
    bool m_bNvmDump = false;
    bool m_bRescueModem = false;
    // Bytes neither shown nor parsed: those the port could not hand over and
    // those beyond BATCH_READ_MAX of a batch.
    quint64 m_SkippedBytes = 0;
    // Of those, the ones of the last batch.
    quint64 m_BatchSkipped = 0;
    // Received bytes of the last batch that were read but whose text did not
    // fit in its show room.
    quint64 m_BatchNotShown = 0;

signals:
    // The stream reads as neither text nor frames: a serial port's rate may be wrong.
    void SignalUnreadable();
    // The text of a batch for the message filter (current port only).
    void SignalUpdateOutMsg(QByteArray OutData);
    void SignalNVMComplete();
    void SignalRescueModemReady();
    // Auto's first decision is for binary logs: what was shown of the bytes
    // collected so far, provisionally as text, is to be dropped; they are
    // shown again as binary logs read to text right after.
    void SignalAutoReadAgain();

private:
    // Shows text that nBytes received bytes make, if it fits in the room left.
    void Show(const char* pText, int nLength, qint64 nBytes);
    void Show(const QByteArray& Text, qint64 nBytes) { Show(Text.constData(), Text.size(), nBytes); }
    // Shows bytes as their hex text, made only when it fits in the room left.
    void ShowHex(const char* pBytes, int nLength);
    void ReadAscii(const QByteArray& Batch);
    // Counts the bytes of a batch that are not printable into the window.
    void CountForAuto(const QByteArray& Batch);
    // Decides Auto's reading; true when the first decision is for binary logs.
    bool AutoDecide(bool bFirstOnly);
    // Whether the NVM dump's completion line is complete with this text.
    bool NvmDumpDone(const QByteArray& Text);

    QRangeData* m_pStore;
    std::unique_ptr<CPortFixWatch> m_pFixWatch;
    QRTCMParser* m_pRtcmParser;
    QBinaryMsgParser* m_pBinaryParser;
    QStatusMsgParser* m_pStatusParser;
    TextSink m_fnShow;
    std::function<void(const uint8_t*, int)> m_fnShowHex;
    std::function<void(const QByteArray&)> m_fnSample;
    // Whether the texts of this batch are kept for the position parser and
    // the filter, and the stream's own text (outside frames) kept for the
    // position parser in binary-to-text reading.
    bool m_bKeepTexts = false;
    QByteArray m_StreamText;
    // Whether text is made and shown for this batch, and whether a replay of
    // collected bytes is running (the status parser read them already).
    bool m_bFormat = true;
    bool m_bReplay = false;
    // The characters the batch may still put on show; -1: no bound.
    qint64 m_nShowRoom = -1;
    // Bytes of Auto's current window (m_StoreData holds them until the first
    // decision), and of those, the ones that are not printable.
    int m_nAutoWindow = 0;
    int m_nAutoUnprintable = 0;
    // The last bytes received, for a boot loader's "CCCC" that straddles two batches.
    QByteArray m_RescueTail;
    QByteArray m_NvmTail;       // the end of the text before, while the NVM dump's line is watched for
};
