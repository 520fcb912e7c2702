// A port's received bytes as readable text for its data view: binary logs
// become their full or abbreviated text (and fill the port's latest-log
// store), RTCM3 frames one line each, printable text passes through, and the
// bytes that are not printable are set aside for a hex display. It also tells
// the view when the stream reads as neither text nor frames, which is how a
// wrong serial baud rate shows.
//
// The data view's road for one received batch, of any size:
//
//   Parser.ParseBatch(pBytes, nBytes, pStore, 1, [&](QBinaryMsgParser& p) {
//       if (!p.bReadable) { ...ask about the baud rate once...; p.bReadable = true; }
//       show p.TextArea() (p.TextLen chars), hand it to the status-reply parser
//       and the message filter; show p.HexArea() (p.HexLen bytes) in Auto mode;
//       for the current port: PosParser.ParsePosData(p.StreamTextArea(),
//           p.StreamTextLen, pPos, pStore);
//       p.TextLen = p.HexLen = p.StreamTextLen = 0;
//   });
//
// Binary logs reach the store here, once each. The position parser must get
// the stream's own text (StreamTextArea), never TextArea: the text made from
// a binary log would be counted and kept a second time, as a rounded text
// decode. Nothing of the batch is dropped: the sink is called whenever the
// areas fill, after a wrong-baud judgement and once at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "monitor/parsing/binary_log_text.h"
#include "monitor/parsing/frame_extractor.h"
#include "monitor/parsing/rtcm3_decode.h"

class QRangeData;

enum : uint32_t
{
    // Text one extraction can hand out (text bytes before a frame) plus the
    // longest text of the frame itself; a pass converts no further frame once
    // less than this is left in the converted-text area.
    CONVERT_RESERVE = FRAME_AREA_SIZE + LOG_TEXT_MAX,
    CONVERTED_TEXT_SIZE = 163840 + CONVERT_RESERVE,
    HEX_AREA_SIZE = 163840 + FRAME_AREA_SIZE,
    STREAM_TEXT_SIZE = 163840 + FRAME_AREA_SIZE,
    // The wrong-baud judgement looks at this many text bytes in a row without
    // a sign of a readable stream (a frame, a line of ASCII text, the header
    // of a long log whose checksum failed) and trips when a quarter of them
    // are not ASCII text. That is at most 1.6 s at 9600 baud, and more than a
    // damaged frame among good ones leaves behind: an RTCM3 frame holds at
    // most 1029 bytes, and the bytes of a damaged frame whose header is seen
    // are not counted at all. A window's verdict waits for what the framer
    // finds behind its text, since the rest of a log whose header was never
    // seen (the port opened part-way through it, an overrun took the header)
    // arrives as text too: a frame there, or any other sign of a readable
    // stream, drops it, and text that runs to the end of the bytes received
    // so far gives it. At a wrong rate no frame ever follows.
    UNREADABLE_WINDOW = 1536,
    READABLE_RUN = 32, // ASCII text bytes in a row that read as a text line
};

// ParseData results.
enum : int
{
    PARSE_DONE = 0,       // every complete frame of the ring has been taken out
    PARSE_AREAS_FULL = 1, // stopped for room: empty the areas and call again
    PARSE_UNREADABLE = 2, // stopped after the pass that gave a wrong-baud verdict (bReadable cleared); call again
};

class QBinaryMsgParser : public QRTCMParser
{
    Q_OBJECT

public:
    explicit QBinaryMsgParser(QObject* pParent = nullptr);
    ~QBinaryMsgParser() override;

    // The printable bytes of the text display: 8, 9, 10, 13, 32-126 and the
    // upper-half bytes of the receivers' Chinese texts.
    static bool IsPrintable(uint8_t c);

    // Extraction passes over the unread bytes. Text bytes go to the
    // converted-text area (printable) or the non-printable area, and all of
    // them, as received, to the stream-text area; each binary log is stored in
    // pStore (when given) and, when bText is non-zero, written as text; with
    // bText, each RTCM3 frame becomes its line. Returns PARSE_DONE when everything
    // appended has been parsed, PARSE_AREAS_FULL when the areas have too
    // little room for another frame (the rest waits for the next call), or
    // PARSE_UNREADABLE after the pass that gave a wrong-baud verdict
    // (bReadable cleared; the rest waits for the next call).
    int ParseData(QRangeData* pStore, uint32_t bText);

    // Takes the areas (and must empty them: TextLen, HexLen, StreamTextLen 0).
    using AreaSink = std::function<void(QBinaryMsgParser&)>;
    // A received batch of any length: appended, then parsed by ParseData until
    // all of it is done. Sink takes the areas whenever ParseData stops early,
    // and once at the end when anything is waiting in them. A sink that does
    // not empty full areas ends the call; the rest waits for the next one.
    void ParseBatch(const uint8_t* pData, uint32_t nLength, QRangeData* pStore, uint32_t bText, const AreaSink& Sink);

    // Stores one binary log frame and, when bText is non-zero, writes its text
    // at pOut (nCapacity bytes, at least LOG_TEXT_MAX for the longest text).
    // Returns the characters written.
    uint32_t BinaryLogToAscii(const uint8_t* pLog, uint32_t nLength, QRangeData* pStore, uint32_t bText, char* pOut,
                              uint32_t nCapacity);

    uint32_t ConvertMode = 3;                        // frames are converted and stored only in mode 3
    char* TextArea() const { return m_pText.get(); } // NUL-terminated
    uint32_t TextLen = 0;
    const uint8_t* HexArea() const { return m_pHex.get(); }
    uint32_t HexLen = 0;
    // The bytes that were not part of a frame, as received (NUL-terminated).
    const char* StreamTextArea() const { return m_pStreamText.get(); }
    uint32_t StreamTextLen = 0;
    // False while nobody reads the stream-text area: it stays empty.
    bool bStreamText = true;
    // Cleared when the stream has read as neither text nor frames for
    // UNREADABLE_WINDOW bytes and nothing readable followed them; the view
    // sets it again once it has dealt with that.
    bool bReadable = true;

protected:
    // FeedData's parse: ParseData with the store and text choice of the last
    // call. FeedData cannot empty the areas; ParseBatch can.
    void ParseRing() override;

private:
    // What the wrong-baud judgement has seen since its last sign of a readable
    // stream. It runs over the text bytes in stream order, so batching changes
    // nothing but whether a frame behind a tripped window has arrived yet when
    // the bytes received end.
    struct READABILITY_T
    {
        uint32_t SinceGood;   // text bytes
        uint32_t Unprintable; // of those, not ASCII text
        uint32_t Run;         // ASCII text bytes in a row
        uint32_t Grace;       // bytes of a damaged frame still to come: not held against the stream
        bool bVerdictHeld;    // a window tripped; its verdict waits for what follows its text
        uint32_t HeldText;    // text bytes since then
        uint8_t Recent[16];   // the last text bytes, to spot a frame header among them
        uint64_t RecentCount;
        uint32_t TextRun;     // ASCII text bytes in a row among the recent ones
    };

    bool HasRoom() const;
    // Splits text into the areas and judges it; returns true when a held
    // verdict has waited past the longest log, whose tail the text could be.
    bool SplitText(const uint8_t* pText, uint32_t nLength);
    // Spots the header of a frame in the text: there it means a frame whose
    // checksum failed, so its bytes come from a readable stream and are not
    // held against it. A long log header (AA 44 12 1C, its length at bytes
    // 8-9) is spotted even with one sync byte damaged, and counts as a sign
    // of a readable stream; an RTCM3 header only excuses its frame's bytes.
    void FollowFrameHeader(uint8_t c);
    // A sign of a readable stream: the judgement starts again and a held verdict is dropped.
    void Readable()
    {
        m_Judge.SinceGood = m_Judge.Unprintable = 0;
        m_Judge.bVerdictHeld = false;
    }

    std::unique_ptr<char[]> m_pText;
    std::unique_ptr<uint8_t[]> m_pHex;
    std::unique_ptr<uint8_t[]> m_pRecord;
    std::unique_ptr<char[]> m_pStreamText;
    READABILITY_T m_Judge{};
    RTCM3_DECODE_STATE_T m_RtcmState;
    QRangeData* m_pStore = nullptr;
    uint32_t m_bText = 1;
};
