#include "monitor/ports/usb/usb_receiver_ids.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "codec/text_helpers.h"

namespace
{
std::mutex g_AddedLock;
std::vector<USB_RECEIVER_ID_T> g_Added;

bool SameId(const USB_RECEIVER_ID_T& a, const USB_RECEIVER_ID_T& b)
{
    return a.VendorId == b.VendorId && a.ProductId == b.ProductId;
}

// Exactly four hexadecimal digits.
bool ParseHex4(const std::string& Text, size_t Start, uint16_t* pValue)
{
    uint32_t value = 0;
    for (size_t i = Start; i < Start + 4; ++i)
    {
        const int32_t digit = HexDigitValue(static_cast<unsigned char>(Text[i]));
        if (digit < 0 || digit > 15)
        {
            return false;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    *pValue = static_cast<uint16_t>(value);
    return true;
}

std::string Trimmed(const std::string& Text)
{
    const char* const blanks = " \t\r\v\f";
    const size_t first = Text.find_first_not_of(blanks);
    if (first == std::string::npos)
    {
        return {};
    }
    return Text.substr(first, Text.find_last_not_of(blanks) - first + 1);
}
} // namespace

bool UsbIsReceiverId(uint16_t VendorId, uint16_t ProductId)
{
    const USB_RECEIVER_ID_T id{VendorId, ProductId};
    if (std::any_of(std::begin(kUsbReceiverIds), std::end(kUsbReceiverIds),
                    [&id](const USB_RECEIVER_ID_T& known) { return SameId(known, id); }))
    {
        return true;
    }
    std::lock_guard<std::mutex> lock(g_AddedLock);
    return std::any_of(g_Added.begin(), g_Added.end(),
                       [&id](const USB_RECEIVER_ID_T& added) { return SameId(added, id); });
}

void UsbSetAddedReceiverIds(std::vector<USB_RECEIVER_ID_T> Ids)
{
    std::lock_guard<std::mutex> lock(g_AddedLock);
    g_Added = std::move(Ids);
}

std::vector<USB_RECEIVER_ID_T> UsbGetAddedReceiverIds()
{
    std::lock_guard<std::mutex> lock(g_AddedLock);
    return g_Added;
}

std::string UsbFormatId(uint16_t VendorId, uint16_t ProductId)
{
    char text[10];
    std::snprintf(text, sizeof(text), "%04x:%04x", VendorId, ProductId);
    return text;
}

void UsbParseReceiverIds(const std::string& Text, std::vector<USB_RECEIVER_ID_T>* pIds,
                         std::vector<USB_ID_LINE_T>* pMalformed)
{
    size_t start = 0;
    int lineNumber = 0;
    while (start < Text.size())
    {
        size_t end = Text.find('\n', start);
        if (end == std::string::npos)
        {
            end = Text.size();
        }
        const std::string line = Text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        const std::string id = Trimmed(line.substr(0, line.find('#')));
        if (id.empty())
        {
            continue;
        }
        USB_RECEIVER_ID_T parsed{};
        if (id.size() != 9 || id[4] != ':' || !ParseHex4(id, 0, &parsed.VendorId) ||
            !ParseHex4(id, 5, &parsed.ProductId))
        {
            pMalformed->push_back({lineNumber, Trimmed(line)});
            continue;
        }
        if (std::none_of(pIds->begin(), pIds->end(),
                         [&parsed](const USB_RECEIVER_ID_T& known) { return SameId(known, parsed); }))
        {
            pIds->push_back(parsed);
        }
    }
}
