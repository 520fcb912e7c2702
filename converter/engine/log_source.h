// Reads a receiver log file once, in 64 KB blocks, and hands out its logs one
// at a time: full text logs ("#" to LF) and long-header binary logs (AA 44 12
// to the CRC), both checked against their CRC-32; on request the short-header
// forms as well ("%" text, AA 44 13 binary), or BINEX records checked by their
// checksum instead. A file may mix the forms. Whatever is not a good log
// (garbage, logs with a wrong CRC, a last log cut short) is skipped and
// counted; the search goes on one byte behind the start of a log that failed,
// so no good log next to a bad one is lost.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

enum LOG_SOURCE_FORM_E : uint8_t
{
    LOG_SOURCE_TEXT = 1,
    LOG_SOURCE_BINARY = 2,
    LOG_SOURCE_BINEX = 3,
};

// What a reader looks for.
enum LOG_SOURCE_MODE_E : uint32_t
{
    LOG_SOURCE_LONG_HEADERS = 0,  // "#" text and AA 44 12 binary logs
    LOG_SOURCE_ALL_HEADERS = 1,   // those and the short-header forms
    LOG_SOURCE_BINEX_RECORDS = 2, // BINEX records only
};

// One good log as it stands in the source. Valid until the next call of Next.
struct LogSourceFrame
{
    const uint8_t* pData; // text through its LF, the binary log with its CRC, or the BINEX record
    uint32_t nLength;
    // 0xFFFF for a text log whose name the catalogue does not know; the
    // record ID of a BINEX record (0xFFFF for IDs above it).
    uint16_t nMessageId;
    uint8_t nForm; // LOG_SOURCE_FORM_E
};

struct LogSourceCounts
{
    uint64_t nBytesRead;
    uint64_t nLogBytes;   // bytes of the good logs
    uint32_t nLogs;       // good logs handed out
    uint32_t nBadCrcLogs; // logs of a known form whose CRC (BINEX: checksum) did not hold
    // A log cut short by the end of the source (BINEX records are not: there
    // a cut record is not told from garbage).
    uint32_t nTruncatedLogs;
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

    // Reads pFile from where it stands; the file stays the caller's. nMode:
    // LOG_SOURCE_MODE_E.
    explicit LogSourceReader(FILE* pFile, LogSourceProgressFn pProgress = nullptr, void* pContext = nullptr,
                             uint32_t nMode = LOG_SOURCE_LONG_HEADERS);

    // The next good log; false at the end of the source or when stopped.
    bool Next(LogSourceFrame* pFrame);

    const LogSourceCounts& Counts() const { return m_Counts; }
    bool Stopped() const { return m_bStopped; }
    // A read error, not the end of the file, ended the source.
    bool ReadFailed() const { return m_bReadFailed; }

private:
    // Reads one more block behind what is left from the current position.
    // False when nothing more comes.
    bool Refill();
    // 1: a good log of nLength bytes at m_nPos; 0: no log starts there;
    // -1: more bytes are needed to decide.
    int TryText(uint32_t* pLength, uint16_t* pMessageId, bool* pBad);
    int TryBinary(uint32_t* pLength, bool* pBad);
    int TryBinex(uint32_t* pLength, uint16_t* pRecordId, bool* pBad);

    FILE* m_pFile;
    LogSourceProgressFn m_pProgress;
    void* m_pContext;
    uint32_t m_nMode;
    bool m_aStart[256]; // the bytes that may open what the mode looks for
    std::vector<uint8_t> m_Buffer;
    uint32_t m_nPos = 0;
    uint32_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bStopped = false;
    bool m_bReadFailed = false;
    LogSourceCounts m_Counts{};
};

// The frame as a binary log record (header and body, no CRC): a binary log
// where it stands, a text log decoded into pDecoded (room for
// LOG_MAX_BINARY_LENGTH bytes). False when the text log does not decode.
bool LogSourceRecord(const LogSourceFrame& frame, uint8_t* pDecoded, const uint8_t** ppLog, uint32_t* pLength);
