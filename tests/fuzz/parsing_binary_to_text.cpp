// Binary logs to text. Byte 0 chooses the mode:
//   even: the rest is a received stream for the parser (with a store), fed in
//         two batches; the areas are taken whenever the parser asks;
//   odd:  bytes 1-2 are a message ID and the rest a body, sent as a long-header
//         log with a valid CRC (bit 1 of byte 0: marked for the abbreviated
//         form; bit 2: a short header), so that every formatter sees
//         arbitrary bodies.
// Every text must stay within its area, NUL-terminated, and end with CR LF
// (a log without a text form gives none).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/crc.h"
#include "codec/profile.h"
#include "monitor/parsing/binary_log_text.h"
#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"

namespace
{
std::vector<uint8_t> g_record(LOG_RECORD_MAX);
std::vector<char> g_text(LOG_TEXT_MAX);

void Take(QBinaryMsgParser& p)
{
    if (p.TextLen >= CONVERTED_TEXT_SIZE || p.HexLen > HEX_AREA_SIZE || p.TextArea()[p.TextLen] != '\0' ||
        p.StreamTextLen >= STREAM_TEXT_SIZE || p.StreamTextArea()[p.StreamTextLen] != '\0')
        std::abort();
    p.TextLen = 0;
    p.HexLen = 0;
    p.StreamTextLen = 0;
    p.bReadable = true;
}

void ParseStream(const uint8_t* pData, size_t nSize)
{
    static QRangeData* pStore = new QRangeData;
    QBinaryMsgParser parser;
    const uint32_t nFirst = static_cast<uint32_t>(nSize / 2);
    parser.ParseBatch(pData, nFirst, pStore, 1, Take);
    parser.ParseBatch(pData + nFirst, static_cast<uint32_t>(nSize - nFirst), pStore, 1, Take);
    // Whatever the batch gave was handed to the sink before the call returned.
    if (parser.TextLen != 0 || parser.HexLen != 0 || parser.StreamTextLen != 0)
        std::abort();
}

void FormatOne(uint8_t uMode, const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return;
    const uint16_t nId = static_cast<uint16_t>(pData[0] | (pData[1] << 8));
    const bool bShort = uMode & 4;
    const size_t nBody = std::min<size_t>(nSize - 2, bShort ? 0xFF : 0xFFFF);
    std::vector<uint8_t> log;
    if (bShort)
    {
        ShortBinaryLogHeader h{};
        FillShortBinaryHeader(nId, static_cast<uint8_t>(nBody), 2295, 1000, &h);
        log.resize(sizeof h);
        std::memcpy(log.data(), &h, sizeof h);
    }
    else
    {
        BinaryLogHeader h{};
        FillBinaryHeader(nId, (uMode & 2) ? 0x40 : 0x00, static_cast<uint16_t>(nBody), 32, 0, &h);
        log.resize(sizeof h);
        std::memcpy(log.data(), &h, sizeof h);
    }
    log.insert(log.end(), pData + 2, pData + 2 + nBody);
    const uint32_t uCrc = Crc32Compute(log.data(), static_cast<int32_t>(log.size()));
    for (int k = 0; k < 4; ++k)
        log.push_back(static_cast<uint8_t>(uCrc >> (8 * k)));
    uint32_t nRecord = 0;
    if (!BinaryLogToRecord(log.data(), static_cast<uint32_t>(log.size()), g_record.data(), LOG_RECORD_MAX, &nRecord))
        std::abort();
    // The record in a block of its own size, so that reading past the body is caught.
    std::vector<uint8_t> record(g_record.begin(), g_record.begin() + nRecord);
    const uint32_t n = BinaryRecordToText(record.data(), g_text.data(), LOG_TEXT_MAX);
    if (n == 0)
        return;
    if (n < 2 || n >= LOG_TEXT_MAX || g_text[n] != '\0' || g_text[n - 2] != '\r' || g_text[n - 1] != '\n')
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const bool bInit = []
    {
        SetCodecProfile(CODEC_PROFILE_MONITOR);
        return true;
    }();
    (void)bInit;
    if (nSize == 0)
        return 0;
    if (pData[0] & 1)
        FormatOne(pData[0], pData + 1, nSize - 1);
    else
        ParseStream(pData + 1, nSize - 1);
    return 0;
}
