// The lowest layer of a port's receive road: a fixed ring that collects the
// port's bytes and a frame extractor that takes out of it, one at a time,
// complete RTCM3 frames and binary receiver logs (long or short header) whose
// checksums hold; every other byte is handed on as text, exactly once and in
// order. Bytes that do not fit beside the unread ones wait behind the ring and
// move in as extraction makes room, so no batch size loses a byte.
//
// Status convention of the parsing: routines that take a log or a line return
// 1 (taken), 0 (refused: checksum, header or body) or -1 (not theirs); those
// that fill an output return its length, 0 for none; the parsers' passes
// return named results (PARSE_*); parsed state is read from the records and
// stores, and the Qt classes report to the windows by signals.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

enum : uint32_t
{
    RING_SIZE = 65536,             // a power of two: positions wrap with a mask
    RING_CAPACITY = RING_SIZE - 1, // one slot stays free so that full and empty differ
    RING_PARSE_THRESHOLD = 500,
    FRAME_AREA_SIZE = 65536, // each work area the extractor writes holds this much
    RTCM3_SYNC = 0xD3,
    RTCM3_OVERHEAD = 6, // 3 header bytes + 3 CRC-24Q bytes
    RTCM3_MAX_FRAME = 1023 + RTCM3_OVERHEAD,
};

// The RTCM3 header rule, from the bytes after the sync byte: byte 1 has its six
// high bits (reserved) clear, the 10-bit body length is long enough to carry
// the 12-bit message number, and that number is 63 or 1000 and up.
constexpr bool Rtcm3ReservedClear(uint8_t b1) { return b1 <= 3; }
// Bytes 1-4 of a candidate: its body length, or 0 when they cannot start a frame.
constexpr uint32_t Rtcm3HeaderLength(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4)
{
    const uint32_t nLength = uint32_t{b1} << 8 | b2;
    const uint32_t nMessage = uint32_t{b3} << 4 | b4 >> 4;
    return Rtcm3ReservedClear(b1) && nLength >= 2 && (nMessage == 63 || nMessage >= 1000) ? nLength : 0;
}

struct RING_BUFFER_T
{
    uint32_t Size;
    uint32_t WritePos;    // next byte to write
    uint32_t ReadPos;     // next unread byte
    uint32_t OverrunFlag; // bit 0: unread bytes were overwritten, or a consume passed the writer
    uint8_t* pBuffer;
    uint32_t ParseThreshold;
    uint32_t PendingParseCount; // appends that left more than ParseThreshold bytes unread
    uint32_t WriteWraps;
    uint32_t ReadWraps;
    uint32_t LastFrameLength; // length field of the last accepted frame header
};

// nSize must be a power of two; the storage must hold nSize bytes.
void InitRing(RING_BUFFER_T* pRing, uint32_t nSize, uint8_t* pStorage);
uint32_t RingUnread(const RING_BUFFER_T* pRing);
uint32_t RingFree(const RING_BUFFER_T* pRing);
// Copies up to nLength unread bytes from nOffset past ReadPos, across the
// ring's end, without consuming them. Returns the count copied.
uint32_t PeekRing(const RING_BUFFER_T* pRing, uint32_t nOffset, uint8_t* pOut, uint32_t nLength);
// Consumes nLength bytes; asking for more than is unread sets OverrunFlag,
// prints a debug line and consumes what there is.
void ConsumeRing(RING_BUFFER_T* pRing, uint32_t nLength);

// Results of ExtractFrames besides a consumed count.
enum : int
{
    EXTRACT_NO_FRAME = -1,   // nothing more, or a candidate whose header is not yet complete
    EXTRACT_INCOMPLETE = -2, // a valid header whose frame is not yet all buffered
};

class QRTCMParser : public QObject
{
    Q_OBJECT

public:
    explicit QRTCMParser(QObject* pParent = nullptr);
    ~QRTCMParser() override;

    // Takes a chunk of any length. What fits beside the unread bytes goes into
    // the ring; the rest waits behind it, in order, and moves in whenever
    // ExtractFrames makes room, so unread bytes are never given up. Returns
    // 0 when the whole chunk is in the ring, 1 when part of it waits (parse
    // until ParseData or ParseRing has taken it), or -1 (nothing written) for
    // a null pointer with a length.
    int AppendData(const uint8_t* pData, uint32_t nLength);

    // Takes at most one frame out of the ring. Each area must hold
    // FRAME_AREA_SIZE bytes; the three lengths are set (0 when nothing went
    // there). Text bytes scanned before the frame (or before a candidate that
    // is not complete yet) are handed out and consumed with it. Returns the
    // bytes consumed when a frame was taken, else EXTRACT_NO_FRAME or
    // EXTRACT_INCOMPLETE. A candidate that cannot be a frame (its header fails,
    // its length cannot fit the ring, its checksum fails) goes out as text at once.
    int ExtractFrames(uint8_t* pBinary, uint32_t* pBinaryLength, uint8_t* pText, uint32_t* pTextLength, uint8_t* pRtcm,
                      uint32_t* pRtcmLength);

    // Takes a received batch of any length and parses it (ParseRing).
    void FeedData(const uint8_t* pData, uint32_t nLength);

    const RING_BUFFER_T& Ring() const { return m_Ring; }
    // Bytes appended and not yet handed out: the ring's unread bytes and those waiting behind it.
    uint64_t Unparsed() const { return RingUnread(&m_Ring) + Waiting(); }

protected:
    // One parse of the unread bytes. The default takes frames out until none is
    // complete and nothing waits behind the ring, and hands each call's output
    // to the three handlers below.
    virtual void ParseRing();
    virtual void HandleText(const uint8_t* pText, uint32_t nLength);
    virtual void HandleBinaryLog(const uint8_t* pLog, uint32_t nLength);
    virtual void HandleRtcmFrame(const uint8_t* pFrame, uint32_t nLength);

    RING_BUFFER_T m_Ring;
    std::unique_ptr<uint8_t[]> m_pRingStorage;
    std::unique_ptr<uint8_t[]> m_pBinaryArea;
    std::unique_ptr<uint8_t[]> m_pTextArea;
    std::unique_ptr<uint8_t[]> m_pRtcmArea;
    uint32_t m_uBinaryLength = 0;
    uint32_t m_uTextLength = 0;
    uint32_t m_uRtcmLength = 0;

    uint64_t Waiting() const { return m_Waiting.size() - m_nWaitingRead + (m_nBorrowed - m_nBorrowedRead); }

    // AppendData for a caller that parses before its bytes go away: what does
    // not fit into the ring waits where it is, not copied, until KeepBorrowed.
    void AppendBorrowed(const uint8_t* pData, uint32_t nLength);
    // The borrowed bytes not yet in the ring are copied to wait behind it.
    void KeepBorrowed();

private:
    // Moves waiting bytes into the ring's free room.
    void FillRing();
    void WriteRing(const uint8_t* pData, uint32_t nLength);

    enum CANDIDATE_E : int
    {
        CANDIDATE_TEXT = 0,
        CANDIDATE_FRAME = 1,
        CANDIDATE_SHORT = EXTRACT_NO_FRAME,
        CANDIDATE_WAIT = EXTRACT_INCOMPLETE,
    };
    CANDIDATE_E TryRtcm(uint32_t nAt, uint32_t nAvail, uint8_t* pOut, uint32_t* pTotal);
    CANDIDATE_E TryBinary(uint32_t nAt, uint32_t nAvail, uint8_t* pOut, uint32_t* pTotal);
    uint8_t At(uint32_t nOffset) const { return m_Ring.pBuffer[(m_Ring.ReadPos + nOffset) & (m_Ring.Size - 1)]; }

    std::vector<uint8_t> m_Waiting; // bytes behind the ring, from m_nWaitingRead on
    size_t m_nWaitingRead = 0;
    // Bytes of the caller behind those, from m_nBorrowedRead on.
    const uint8_t* m_pBorrowed = nullptr;
    uint32_t m_nBorrowed = 0;
    uint32_t m_nBorrowedRead = 0;
};
