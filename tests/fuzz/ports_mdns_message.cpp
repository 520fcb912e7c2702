// DNS datagrams from the local network: any bytes decode or are refused,
// never read out of bounds or loop; a decoded message written again reads
// back to the same records.
#include <cstddef>
#include <cstdint>

#include "monitor/ports/mdns/mdns_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > MDNS_MAX_DATAGRAM)
        return 0;
    MDNS_MESSAGE_T message;
    if (MdnsDecodeMessage(reinterpret_cast<const char*>(pData), static_cast<int>(nSize), &message) != MDNS_OK)
        return 0;
    QByteArray datagram;
    if (MdnsEncodeMessage(message, &datagram) != MDNS_OK)
        return 0;
    MDNS_MESSAGE_T back;
    if (MdnsDecodeMessage(datagram.constData(), datagram.size(), &back) != MDNS_OK ||
        back.Records.size() != message.Records.size() || back.Queries.size() != message.Queries.size())
    {
        __builtin_trap();
    }
    for (int i = 0; i < message.Records.size(); ++i)
    {
        if (!message.Records[i].SameData(back.Records[i]))
            __builtin_trap();
    }
    for (int i = 0; i < message.Queries.size(); ++i)
    {
        if (message.Queries[i].Name != back.Queries[i].Name || message.Queries[i].Type != back.Queries[i].Type)
            __builtin_trap();
    }
    return 0;
}
