// A port's received bytes as readable text for its data view: binary logs
// become their full or abbreviated text (and fill the port's latest-log
// store), RTCM3 frames one line each, printable text passes through, and the
// bytes that are not printable are set aside for a hex display. It also tells
// the view when the stream reads as neither text nor frames, which is how a
// wrong serial baud rate shows.
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
};

// ParseData results.
enum : int
{
    PARSE_DONE = 0,       // every complete frame of the ring has been taken out
    PARSE_AREAS_FULL = 1, // stopped for room: empty the areas and call again
    PARSE_UNREADABLE = 2, // stopped after a pass of unreadable bytes (bReadable cleared); call again to go on
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

    // Extraction passes over the unread bytes of the ring. Text bytes go to
    // the converted-text area (printable) or the non-printable area; each
    // binary log is stored in pStore (when given) and, when bText is non-zero,
    // written as text; each RTCM3 frame becomes its line. Returns PARSE_DONE,
    // or PARSE_AREAS_FULL when the areas have too little room for another
    // frame: the rest stays in the ring. A pass that finds only unreadable
    // bytes clears bReadable and ends the call with PARSE_UNREADABLE.
    int ParseData(QRangeData* pStore, uint32_t bText);

    // Takes the areas (and must empty them: TextLen and HexLen 0).
    using AreaSink = std::function<void(QBinaryMsgParser&)>;
    // A received batch of any length: appended in pieces that fit beside the
    // unread bytes, each followed by ParseData; whenever ParseData stops
    // early, Sink takes the areas before parsing goes on, so nothing is given
    // up. What the last pass wrote stays in the areas.
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
    // Cleared by a pass that found only unreadable bytes; the view sets it
    // again once it has dealt with that.
    bool bReadable = true;

protected:
    // FeedData's parse after each piece: ParseData with the store and text
    // choice of the last call. FeedData cannot empty the areas between
    // pieces; ParseBatch can.
    void ParseRing() override;

private:
    bool HasRoom() const;
    void SplitText(const uint8_t* pText, uint32_t nLength, uint32_t* pRun);

    std::unique_ptr<char[]> m_pText;
    std::unique_ptr<uint8_t[]> m_pHex;
    std::unique_ptr<uint8_t[]> m_pRecord;
    RTCM3_DECODE_STATE_T m_RtcmState;
    QRangeData* m_pStore = nullptr;
    uint32_t m_bText = 1;
};
