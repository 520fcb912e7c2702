#include "codec/log_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/crc.h"
#include "codec/text_helpers.h"

namespace
{
// A text header never needs more than this; longer input is cut before scanning.
constexpr size_t kHeaderScanMax = 511;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void WriteU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

int WriteHeaderText(const char* pName, const BinaryLogHeader* pHeader, const char* pSuffix, char* pOut,
                    uint32_t nCapacity, uint32_t* pOutLength)
{
    if (pName == nullptr || pHeader == nullptr || pOut == nullptr || pOutLength == nullptr)
        return 0;
    char port[16];
    PortCodeToName(pHeader->Port, port, sizeof port);
    char statusNumber[8];
    const char* pStatus = TimeStatusName(pHeader->TimeStatus);
    if (pStatus == nullptr)
    {
        std::snprintf(statusNumber, sizeof statusNumber, "%u", static_cast<unsigned>(pHeader->TimeStatus));
        pStatus = statusNumber;
    }
    const unsigned nSeq = pHeader->Sequence, nWeek = pHeader->Week, nVersion = pHeader->SoftwareVersion;
    const unsigned nStatus = pHeader->ReceiverStatus, nReserved = pHeader->Reserved;
    const double dIdle = pHeader->IdleTime * 0.5;
    const double dSeconds = pHeader->Milliseconds * 0.001;
    int32_t n;
    if (LogTextForm(pHeader->MessageType) != LOG_TEXT_ABBREV)
        n = FormatString(pOut, nCapacity, "#%sA%s,%s,%u,%.1f,%s,%u,%.3lf,%08x,%04x,%u;", pName, pSuffix, port, nSeq,
                         dIdle, pStatus, nWeek, dSeconds, nStatus, nReserved, nVersion);
    else if (IsMonitorProfile())
        n = FormatString(pOut, nCapacity, "<%s%s %s %u %f %s %u %05lf %08x %u %u\r\n", pName, pSuffix, port, nSeq,
                         dIdle, pStatus, nWeek, dSeconds, nStatus, nReserved, nVersion);
    else
        n = FormatString(pOut, nCapacity, "<%s%s %s %u %.1f %s %u %03lf %08x %04x %u\r\n", pName, pSuffix, port, nSeq,
                         dIdle, pStatus, nWeek, dSeconds, nStatus, nReserved, nVersion);
    if (n < 0)
        return 0;
    *pOutLength = static_cast<uint32_t>(n);
    return 1;
}

bool InRange(long long v, long long lo, long long hi) { return v >= lo && v <= hi; }

// Milliseconds of the week from a seconds field; false when it does not fit 32 bits.
bool SecondsToMs(double dSeconds, uint32_t* pMs)
{
    const double dMs = dSeconds * 1000.0 + 0.5;
    if (!(dMs >= 0.0 && dMs < 4294967296.0))
        return false;
    *pMs = static_cast<uint32_t>(dMs);
    return true;
}

uint8_t TimeStatusFromText(const char* pText)
{
    const uint8_t v = TimeStatusValue(pText);
    if (v != 0)
        return v;
    // A status without a name is written as its number.
    unsigned n = 0;
    size_t i = 0;
    for (; pText[i] >= '0' && pText[i] <= '9' && i < 3; ++i)
        n = n * 10 + static_cast<unsigned>(pText[i] - '0');
    return (i > 0 && pText[i] == '\0' && n <= 255) ? static_cast<uint8_t>(n) : 0;
}

bool IsPassCom(const uint8_t* p, int32_t nAvailable) { return nAvailable >= 8 && std::memcmp(p, "#PASSCOM", 8) == 0; }
} // namespace

LOG_TEXT_FORM_E LogTextForm(uint8_t uMessageType)
{
    const uint8_t uForm = uMessageType & LOG_FORM_MASK;
    if (uForm == LOG_FORM_BINARY)
        return LOG_TEXT_BINARY;
    return uForm == AbbrevFormMarker() ? LOG_TEXT_ABBREV : LOG_TEXT_FULL;
}

int WriteAsciiHeader(const char* pName, const BinaryLogHeader* pHeader, char* pOut, uint32_t nCapacity,
                     uint32_t* pOutLength)
{
    return WriteHeaderText(pName, pHeader, "", pOut, nCapacity, pOutLength);
}

int WriteAsciiHeaderEx(const char* pName, const BinaryLogHeader* pHeader, int32_t nSuffix, char* pOut,
                       uint32_t nCapacity, uint32_t* pOutLength)
{
    return WriteHeaderText(pName, pHeader, nSuffix == 1 ? "_1" : "", pOut, nCapacity, pOutLength);
}

int ParseAsciiHeader(const char* pText, int32_t nLength, uint16_t nMessageId, BinaryLogHeader* pHeader)
{
    if (pText == nullptr || pHeader == nullptr || nLength < 1)
        return 0;
    char work[kHeaderScanMax + 1];
    const size_t n = static_cast<size_t>(nLength) < kHeaderScanMax ? static_cast<size_t>(nLength) : kHeaderScanMax;
    std::memcpy(work, pText, n);
    work[n] = '\0';

    char port[31] = "", status[31] = "";
    int nSeq = 0, nWeek = 0;
    float fIdle = 0;
    double dSeconds = 0;
    unsigned uRecvStatus = 0, uReserved = 0, uVersion = 0;
    int nRecvStatus = 0, nReserved = 0;
    long long llRecvStatus, llReserved;
    if (std::sscanf(work, "%*[^,],%30[^,],%d,%f,%30[^,],%d,%lf,%8x,%4x,%u", port, &nSeq, &fIdle, status, &nWeek,
                    &dSeconds, &uRecvStatus, &uReserved, &uVersion) == 9)
    {
        llRecvStatus = uRecvStatus;
        llReserved = uReserved;
    }
    else if (std::sscanf(work, " %*[^,],%30[^,],%d,%f,%30[^,],%d,%lf,%8x,%d,%u", port, &nSeq, &fIdle, status, &nWeek,
                         &dSeconds, &uRecvStatus, &nReserved, &uVersion) == 9)
    {
        llRecvStatus = uRecvStatus;
        llReserved = nReserved;
    }
    else if (std::sscanf(work, "%*[^,],%30[^,],%d,%f,%30[^,],%d,%lf,%d,%d,%u", port, &nSeq, &fIdle, status, &nWeek,
                         &dSeconds, &nRecvStatus, &nReserved, &uVersion) == 9)
    {
        llRecvStatus = static_cast<uint32_t>(nRecvStatus);
        llReserved = nReserved;
    }
    else
        return 0;

    const double dIdleBytes = std::floor(static_cast<double>(fIdle) * 2.0 + 0.5);
    uint32_t nMs = 0;
    if (!InRange(nSeq, 0, 0xFFFF) || !InRange(nWeek, 0, 0xFFFF) || !InRange(llReserved, 0, 0xFFFF) ||
        uVersion > 0xFFFF || !(dIdleBytes >= 0.0 && dIdleBytes <= 255.0) || !SecondsToMs(dSeconds, &nMs))
        return 0;

    pHeader->Sync[0] = LOG_SYNC_0;
    pHeader->Sync[1] = LOG_SYNC_1;
    pHeader->Sync[2] = LOG_SYNC_LONG;
    pHeader->HeaderLength = LOG_HEADER_LENGTH;
    pHeader->MessageId = nMessageId;
    pHeader->MessageType = 0;
    pHeader->Port = static_cast<uint8_t>(PortNameToCode(port));
    pHeader->Sequence = static_cast<uint16_t>(nSeq);
    pHeader->IdleTime = static_cast<uint8_t>(dIdleBytes);
    pHeader->TimeStatus = TimeStatusFromText(status);
    pHeader->Week = static_cast<uint16_t>(nWeek);
    pHeader->Milliseconds = nMs;
    pHeader->ReceiverStatus = static_cast<uint32_t>(llRecvStatus);
    pHeader->Reserved = static_cast<uint16_t>(llReserved);
    pHeader->SoftwareVersion = static_cast<uint16_t>(uVersion);
    return 1;
}

int WriteShortAsciiHeader(const char* pName, const ShortBinaryLogHeader* pHeader, char* pOut, uint32_t nCapacity,
                          uint32_t* pOutLength)
{
    if (pName == nullptr || pHeader == nullptr || pOut == nullptr || pOutLength == nullptr)
        return 0;
    const int32_t n = FormatString(pOut, nCapacity, "%%%sSA,%u,%.3lf;", pName, static_cast<unsigned>(pHeader->Week),
                                   pHeader->Milliseconds * 0.001);
    if (n < 0)
        return 0;
    *pOutLength = static_cast<uint32_t>(n);
    return 1;
}

int ParseShortAsciiHeader(const char* pText, int32_t nLength, uint16_t nMessageId, ShortBinaryLogHeader* pHeader)
{
    if (pText == nullptr || pHeader == nullptr || nLength < 1)
        return 0;
    const char* pComma = static_cast<const char*>(std::memchr(pText, ',', static_cast<size_t>(nLength)));
    if (pComma == nullptr)
        return 0;
    const int32_t nRest = nLength - static_cast<int32_t>(pComma + 1 - pText);
    unsigned uWeek = 0;
    double dSeconds = 0;
    uint32_t nMs = 0;
    const int32_t nScan = nRest < 64 ? nRest : 64;
    if (ScanString(pComma + 1, nScan, "%u,%lf", &uWeek, &dSeconds) != 2 || uWeek > 0xFFFF ||
        !SecondsToMs(dSeconds, &nMs))
        return 0;
    pHeader->Sync[0] = LOG_SYNC_0;
    pHeader->Sync[1] = LOG_SYNC_1;
    pHeader->Sync[2] = LOG_SYNC_SHORT;
    pHeader->MessageId = nMessageId;
    pHeader->Week = static_cast<uint16_t>(uWeek);
    pHeader->Milliseconds = nMs;
    return 1;
}

int CheckTextLogCrc(const char* pText, int32_t nLength, uint32_t* pStarOffset)
{
    if (pText == nullptr || nLength < 1)
        return 0;
    const char* pStar = static_cast<const char*>(std::memchr(pText, '*', static_cast<size_t>(nLength)));
    if (pStar == nullptr)
        return 0;
    const int32_t nStar = static_cast<int32_t>(pStar - pText);
    if (nStar < 1 || nStar + 9 > nLength)
        return 0;
    uint32_t uStored = 0;
    for (int32_t i = 1; i <= 8; ++i)
    {
        const int c = static_cast<unsigned char>(pStar[i]);
        const int32_t v = HexDigitValue(c);
        if (v < 0 || v > 15)
            return 0;
        uStored = (uStored << 4) | static_cast<uint32_t>(v);
    }
    if (Crc32Compute(pText + 1, nStar - 1) != uStored)
        return 0;
    if (pStarOffset != nullptr)
        *pStarOffset = static_cast<uint32_t>(nStar);
    return 1;
}

int OpenTextLog(const char* pText, int32_t nLength, uint16_t nMessageId, BinaryLogHeader* pHeader,
                uint32_t* pBodyOffset, uint32_t* pBodyLength)
{
    if (pHeader == nullptr || pBodyOffset == nullptr || pBodyLength == nullptr)
        return 0;
    uint32_t nStar = 0;
    if (!CheckTextLogCrc(pText, nLength, &nStar))
        return 0;
    if (!ParseAsciiHeader(pText, static_cast<int32_t>(nStar), nMessageId, pHeader))
        return 0;
    const char* pSemi = static_cast<const char*>(std::memchr(pText, ';', nStar));
    if (pSemi == nullptr)
        return 0;
    *pBodyOffset = static_cast<uint32_t>(pSemi + 1 - pText);
    *pBodyLength = nStar - *pBodyOffset;
    return 1;
}

int AppendTextLogCrc(char* pText, uint32_t nCapacity, uint32_t* pLength, int bReplaceLastComma)
{
    if (pText == nullptr || pLength == nullptr || *pLength < 1 || *pLength > nCapacity)
        return 0;
    uint32_t nPos = *pLength;
    if (bReplaceLastComma && pText[nPos - 1] == ',')
        --nPos;
    if (nPos < 1)
        return 0;
    // "*", eight digits, CR LF and the NUL.
    if (nCapacity - nPos < 12)
        return 0;
    const uint32_t uCrc = Crc32Compute(pText + 1, static_cast<int32_t>(nPos - 1));
    const int32_t n = FormatString(pText + nPos, nCapacity - nPos, "*%08x\r\n", uCrc);
    *pLength = nPos + static_cast<uint32_t>(n);
    return 1;
}

int FillBinaryHeader(uint16_t nMessageId, uint8_t uMessageType, uint16_t nMessageLength, uint8_t uPort,
                     uint32_t uReceiverStatus, BinaryLogHeader* pHeader)
{
    if (pHeader == nullptr)
        return -1;
    pHeader->Sync[0] = LOG_SYNC_0;
    pHeader->Sync[1] = LOG_SYNC_1;
    pHeader->Sync[2] = LOG_SYNC_LONG;
    pHeader->HeaderLength = LOG_HEADER_LENGTH;
    pHeader->MessageId = nMessageId;
    pHeader->MessageType = uMessageType;
    pHeader->Port = uPort;
    pHeader->MessageLength = nMessageLength;
    pHeader->ReceiverStatus = uReceiverStatus;
    pHeader->IdleTime = LOG_IDLE_DEFAULT;
    return 0;
}

int FillShortBinaryHeader(uint16_t nMessageId, uint8_t nMessageLength, uint16_t nWeek, uint32_t nMilliseconds,
                          ShortBinaryLogHeader* pHeader)
{
    if (pHeader == nullptr)
        return -1;
    pHeader->Sync[0] = LOG_SYNC_0;
    pHeader->Sync[1] = LOG_SYNC_1;
    pHeader->Sync[2] = LOG_SYNC_SHORT;
    pHeader->MessageLength = nMessageLength;
    pHeader->MessageId = nMessageId;
    pHeader->Week = nWeek;
    pHeader->Milliseconds = nMilliseconds;
    return 0;
}

namespace
{
// Shared by both copiers: nTotal is header + body, the CRC follows it.
int CheckAndCopy(const uint8_t* p, int32_t nAvailable, uint32_t nTotal, void* pOut, int32_t nCapacity,
                 uint32_t* pOutLength)
{
    if (static_cast<int64_t>(nAvailable) < static_cast<int64_t>(nTotal) + LOG_CRC_LENGTH)
        return 0;
    if (Crc32Compute(p, static_cast<int32_t>(nTotal)) != ReadU32(p + nTotal))
        return 0;
    if (static_cast<int64_t>(nCapacity) < static_cast<int64_t>(nTotal))
        return 0;
    std::memmove(pOut, p, nTotal);
    *pOutLength = nTotal;
    return 1;
}
} // namespace

int CopyBinaryLog(const void* pLog, int32_t nAvailable, void* pOut, int32_t nCapacity, uint32_t* pOutLength)
{
    if (pLog == nullptr || pOut == nullptr || pOutLength == nullptr ||
        nAvailable < static_cast<int32_t>(LOG_HEADER_LENGTH))
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pLog);
    if (p[0] != LOG_SYNC_0 || p[1] != LOG_SYNC_1 || p[2] != LOG_SYNC_LONG || p[3] != LOG_HEADER_LENGTH)
        return 0;
    return CheckAndCopy(p, nAvailable, LOG_HEADER_LENGTH + ReadU16(p + 8), pOut, nCapacity, pOutLength);
}

int CopyShortBinaryLog(const void* pLog, int32_t nAvailable, void* pOut, int32_t nCapacity, uint32_t* pOutLength)
{
    if (pLog == nullptr || pOut == nullptr || pOutLength == nullptr ||
        nAvailable < static_cast<int32_t>(SHORT_LOG_HEADER_LENGTH))
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pLog);
    if (p[0] != LOG_SYNC_0 || p[1] != LOG_SYNC_1 || p[2] != LOG_SYNC_SHORT)
        return 0;
    return CheckAndCopy(p, nAvailable, SHORT_LOG_HEADER_LENGTH + p[3], pOut, nCapacity, pOutLength);
}

int CopyBinaryLogToWire(const void* pRecord, int32_t nCapacity, void* pOut, uint32_t* pOutLength, int32_t nMessageId)
{
    if (pRecord == nullptr || pOut == nullptr || pOutLength == nullptr || nCapacity < 0)
        return 0;
    BinaryLogHeader header;
    std::memcpy(&header, pRecord, sizeof header);
    if (header.HeaderLength != LOG_HEADER_LENGTH)
        return 0;
    const uint32_t nTotal = LOG_HEADER_LENGTH + header.MessageLength;
    if (static_cast<uint32_t>(nCapacity) < nTotal + LOG_CRC_LENGTH)
        return 0;
    uint8_t* pDst = static_cast<uint8_t*>(pOut);
    std::memmove(pDst, pRecord, nTotal);
    if (nMessageId != LOG_KEEP_MESSAGE_ID)
        header.MessageId = static_cast<uint16_t>(nMessageId);
    header.Port = PortCodeToAddress(header.Port);
    std::memcpy(pDst, &header, sizeof header);
    WriteU32(pDst + nTotal, Crc32Compute(pDst, static_cast<int32_t>(nTotal)));
    *pOutLength = nTotal + LOG_CRC_LENGTH;
    return 1;
}

int AppendLogCrc(const void* pRecord, int32_t nCapacity, void* pOut, uint32_t* pOutLength)
{
    if (pRecord == nullptr || pOut == nullptr || pOutLength == nullptr || nCapacity < 0)
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pRecord);
    if (p[3] != LOG_HEADER_LENGTH)
        return 0;
    const uint32_t nTotal = LOG_HEADER_LENGTH + ReadU16(p + 8);
    if (static_cast<uint32_t>(nCapacity) < nTotal + LOG_CRC_LENGTH)
        return 0;
    uint8_t* pDst = static_cast<uint8_t*>(pOut);
    std::memmove(pDst, p, nTotal);
    WriteU32(pDst + nTotal, Crc32Compute(pDst, static_cast<int32_t>(nTotal)));
    *pOutLength = nTotal + LOG_CRC_LENGTH;
    return 1;
}

int32_t SplitLogFrame(const uint8_t* pBuffer, int32_t* pRemaining, const uint8_t** ppNext, uint8_t* pOut,
                      int32_t nCapacity, int32_t* pOutLength, int32_t* pKind)
{
    if (pBuffer == nullptr || pRemaining == nullptr || ppNext == nullptr || pOut == nullptr || pOutLength == nullptr ||
        pKind == nullptr || *pRemaining < 0 || nCapacity < 1)
        return SPLIT_BAD_ARGUMENT;
    const int32_t n = *pRemaining;
    *ppNext = pBuffer;
    *pOutLength = 0;
    auto consume = [&](int32_t nCount)
    {
        *ppNext = pBuffer + nCount;
        *pRemaining = n - nCount;
    };
    auto emit = [&](int32_t nStart, int32_t nLen, int32_t nKind)
    {
        std::memcpy(pOut, pBuffer + nStart, static_cast<size_t>(nLen));
        *pOutLength = nLen;
        *pKind = nKind;
    };

    int32_t nLineStart = -1;
    int32_t nLineKind = 0;
    for (int32_t i = 0; i < n; ++i)
    {
        const uint8_t c = pBuffer[i];
        if (c == '#' || c == '$')
        {
            if (nLineStart < 0)
            {
                nLineStart = i;
                nLineKind = c == '#' ? LOG_FRAME_HASH : LOG_FRAME_DOLLAR;
            }
            else if (!IsPassCom(pBuffer + nLineStart, n - nLineStart))
            {
                emit(nLineStart, i - nLineStart, nLineKind);
                consume(i);
                return SPLIT_DISCARDED;
            }
        }
        else if (c == '\n' || (c == '\r' && i + 1 < n && pBuffer[i + 1] == '\n'))
        {
            const int32_t nEnd = c == '\n' ? i : i + 1;
            if (nLineStart < 0)
            {
                consume(nEnd + 1);
                return SPLIT_DISCARDED;
            }
            const int32_t nLen = nEnd + 1 - nLineStart;
            if (nLen > nCapacity)
            {
                emit(nLineStart, nCapacity, nLineKind);
                consume(nEnd + 1);
                return SPLIT_DISCARDED;
            }
            emit(nLineStart, nLen, nLineKind);
            consume(nEnd + 1);
            return nLen;
        }
        else if (c == LOG_SYNC_0 && i + 2 < n && pBuffer[i + 1] == LOG_SYNC_1 && pBuffer[i + 2] == LOG_SYNC_LONG)
        {
            if (n - i < 4)
                return SPLIT_NEED_MORE;
            if (pBuffer[i + 3] == LOG_HEADER_LENGTH)
            {
                if (n - i < static_cast<int32_t>(LOG_HEADER_LENGTH))
                    return SPLIT_NEED_MORE;
                const int32_t nTotal =
                    static_cast<int32_t>(LOG_HEADER_LENGTH + ReadU16(pBuffer + i + 8) + LOG_CRC_LENGTH);
                if (nTotal > nCapacity)
                {
                    consume(i + 3);
                    *pKind = LOG_FRAME_BINARY;
                    return SPLIT_DISCARDED;
                }
                if (n - i < nTotal)
                    return SPLIT_NEED_MORE;
                emit(i, nTotal, LOG_FRAME_BINARY);
                consume(i + nTotal);
                return nTotal;
            }
        }
        if (nLineStart >= 0 && i + 1 - nLineStart >= nCapacity)
        {
            // No room for the rest of this line: hand out what fits and resynchronise.
            emit(nLineStart, nCapacity, nLineKind);
            consume(i + 1);
            return SPLIT_DISCARDED;
        }
    }
    return SPLIT_NEED_MORE;
}
