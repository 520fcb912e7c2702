// Reads a receiver log file once, in 64 KB blocks, and hands out its logs one
// at a time: full text logs ("#" to LF) and long-header binary logs (AA 44 12
// to the CRC), both checked against their CRC-32. A file may mix the two.
// Whatever is not a good log (garbage, logs with a wrong CRC, a last log cut
// short) is skipped and counted; the search goes on one byte behind the start
// of a log that failed, so no good log next to a bad one is lost.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

enum LOG_SOURCE_FORM_E : uint8_t
{
    LOG_SOURCE_TEXT = 1,
    LOG_SOURCE_BINARY = 2,
};

// One good log as it stands in the source. Valid until the next call of Next.
struct LogSourceFrame
{
    const uint8_t* pData; // text through its LF, or the binary log with its CRC
    uint32_t nLength;
    uint16_t nMessageId;  // 0xFFFF for a text log whose name the catalogue does not know
    uint8_t nForm;        // LOG_SOURCE_FORM_E
};

struct LogSourceCounts
{
    uint64_t nBytesRead;
    uint64_t nLogBytes;     // bytes of the good logs
    uint32_t nLogs;         // good logs handed out
    uint32_t nBadCrcLogs;   // logs of a known form whose CRC did not hold
    uint32_t nTruncatedLogs; // a log cut short by the end of the source
    // Bytes that belonged to no good log (garbage, bad and truncated logs).
    uint64_t SkippedBytes() const { return nBytesRead - nLogBytes; }
};

// Called after every block read with the total bytes read so far; a non-zero
// result stops the reading (Next then reports the end of the source).
using LogSourceProgressFn = int (*)(void* pContext, uint64_t nBytesRead);

class LogSourceReader
{
public:
    enum : uint32_t
    {
        BLOCK_SIZE = 65536,
        // Longest text log taken: a RANGE log of 1489 observations in text form.
        MAX_TEXT_LOG = 256 * 1024,
    };

    // Reads pFile from where it stands; the file stays the caller's.
    explicit LogSourceReader(FILE* pFile, LogSourceProgressFn pProgress = nullptr, void* pContext = nullptr);

    // The next good log; false at the end of the source or when stopped.
    bool Next(LogSourceFrame* pFrame);

    const LogSourceCounts& Counts() const { return m_Counts; }
    bool Stopped() const { return m_bStopped; }

private:
    // Reads one more block behind what is left from the current position.
    // False when nothing more comes.
    bool Refill();
    // 1: a good log of nLength bytes at m_nPos; 0: no log starts there;
    // -1: more bytes are needed to decide.
    int TryText(uint32_t* pLength, uint16_t* pMessageId, bool* pBad);
    int TryBinary(uint32_t* pLength, bool* pBad);

    FILE* m_pFile;
    LogSourceProgressFn m_pProgress;
    void* m_pContext;
    std::vector<uint8_t> m_Buffer;
    uint32_t m_nPos = 0;
    uint32_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bStopped = false;
    LogSourceCounts m_Counts{};
};

// The frame as a binary log record (header and body, no CRC): a binary log
// where it stands, a text log decoded into pDecoded (room for
// LOG_MAX_BINARY_LENGTH bytes). False when the text log does not decode.
bool LogSourceRecord(const LogSourceFrame& frame, uint8_t* pDecoded, const uint8_t** ppLog, uint32_t* pLength);
