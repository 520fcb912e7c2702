// Binary logs to text. Byte 0 chooses the mode:
//   even: the rest is a received stream for a port's receive road, fed in two
//         batches for the current port: read in Auto mode (bit 1 of byte 0)
//         or as binary logs to text; whatever it shows must be a text that
//         never runs past what was handed over;
//   odd:  bytes 1-2 are a message ID and the rest a body, sent as a long-header
//         log with a valid CRC (bit 1 of byte 0: marked for the abbreviated
//         form; bit 2: a short header), so that every formatter sees
//         arbitrary bodies.
// Every text must stay within its area, NUL-terminated, and end with CR LF
// (a log without a text form gives none).
#include <algorithm>
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
#include "monitor/parsing/port_receiver.h"
#include "monitor/parsing/pos_data_parser.h"

namespace
{
std::vector<uint8_t> g_record(LOG_RECORD_MAX);
std::vector<char> g_text(LOG_TEXT_MAX);

void ParseStream(uint8_t uMode, const uint8_t* pData, size_t nSize)
{
    CPortReceiver road;
    QPosDataParser position;
    size_t nShown = 0;
    // Each text in a block of its own size, so that a read past it is caught.
    road.SetDisplay(
        [&nShown](const char* pText, int nLength)
        {
            if (nLength <= 0)
                std::abort();
            std::vector<char> copy(pText, pText + nLength);
            nShown += static_cast<size_t>(std::count(copy.begin(), copy.end(), '\n'));
        });
    QObject::connect(&road, &CPortReceiver::SignalUnreadable, [&road] { road.BinaryParser()->bReadable = true; });
    CPortReceiver::BATCH_T how;
    how.Mode = (uMode & 2) ? CPortReceiver::READ_AUTO : CPortReceiver::READ_BIN_2_ASCII;
    how.pPosParser = &position;
    const size_t nFirst = nSize / 2;
    road.Receive(QByteArray(reinterpret_cast<const char*>(pData), static_cast<int>(nFirst)), how);
    road.Receive(QByteArray(reinterpret_cast<const char*>(pData + nFirst), static_cast<int>(nSize - nFirst)), how);
    // Whatever the batches gave was handed over before the calls returned.
    const QBinaryMsgParser& parser = *road.BinaryParser();
    if (parser.TextLen != 0 || parser.HexLen != 0 || parser.StreamTextLen != 0)
        std::abort();
    (void)nShown;
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
        ParseStream(pData[0], pData + 1, nSize - 1);
    return 0;
}
