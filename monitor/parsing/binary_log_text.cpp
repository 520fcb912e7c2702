#include "monitor/parsing/binary_log_text.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/text_helpers.h"

int BinaryLogToRecord(const uint8_t* pFrame, uint32_t nFrameLength, uint8_t* pRecord, uint32_t nCapacity,
                      uint32_t* pRecordLength)
{
    if (!pFrame || !pRecord || !pRecordLength || nFrameLength < 3 || pFrame[0] != LOG_SYNC_0 || pFrame[1] != LOG_SYNC_1)
        return 0;
    BinaryLogHeader h{};
    uint32_t nHeader = 0;
    if (pFrame[2] == LOG_SYNC_LONG)
    {
        if (nFrameLength < LOG_HEADER_LENGTH)
            return 0;
        std::memcpy(&h, pFrame, sizeof h);
        if (h.HeaderLength != LOG_HEADER_LENGTH)
            return 0;
        h.Port = static_cast<uint8_t>(PortAddressToCode(h.Port));
        nHeader = LOG_HEADER_LENGTH;
    }
    else if (pFrame[2] == LOG_SYNC_SHORT)
    {
        if (nFrameLength < SHORT_LOG_HEADER_LENGTH)
            return 0;
        ShortBinaryLogHeader s;
        std::memcpy(&s, pFrame, sizeof s);
        ShortToLongHeader(&s, &h);
        nHeader = SHORT_LOG_HEADER_LENGTH;
    }
    else
        return 0;
    const uint32_t nRecord = LOG_HEADER_LENGTH + h.MessageLength;
    if (nHeader + h.MessageLength + LOG_CRC_LENGTH != nFrameLength || nRecord > nCapacity)
        return 0;
    std::memcpy(pRecord, &h, sizeof h);
    std::memcpy(pRecord + LOG_HEADER_LENGTH, pFrame + nHeader, h.MessageLength);
    *pRecordLength = nRecord;
    return 1;
}

uint32_t BinaryRecordToText(uint8_t* pRecord, char* pOut, uint32_t nCapacity, const LOG_REGISTRY_T* pRegistry)
{
    if (!pRecord || !pOut || nCapacity == 0)
        return 0;
    BinaryLogHeader* h = reinterpret_cast<BinaryLogHeader*>(pRecord);
    if (h->Sync[2] == LOG_SYNC_SHORT || h->MessageId == MSG_ID_RAWIMUSX)
        h->MessageType = static_cast<uint8_t>(LOG_FORM_ASCII | ShortHeaderFlag());
    else
        h->MessageType |= LOG_FORM_ASCII;

    const LOG_TYPE_T* pType = FindLogType(LogRegistryOr(pRegistry), h->MessageId, LOG_USE_SHOW_TEXT);
    if (pType == nullptr || pType->Format == nullptr)
    {
        pOut[0] = '\0';
        return 0;
    }
    const uint32_t nRoom = nCapacity < LOG_TEXT_MAX ? nCapacity : static_cast<uint32_t>(LOG_TEXT_MAX);
    int32_t nText = 0;
    if (pType->Format(*pType, pRecord, static_cast<int32_t>(nRoom), pOut, &nText) && nText > 0 &&
        static_cast<uint32_t>(nText) < nRoom)
        return static_cast<uint32_t>(nText);
    const int32_t n = FormatString(pOut, nCapacity, "Binary Log: ID %u, Length %u\r\n", unsigned(h->MessageId),
                                   unsigned(h->MessageLength));
    return n > 0 ? static_cast<uint32_t>(n) : 0;
}
