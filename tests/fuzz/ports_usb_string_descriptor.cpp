// String descriptors a USB device reports (product name, serial number):
// any bytes are refused exactly when they are no string descriptor, and
// otherwise give the UTF-8 of an independent UTF-16 reading (an unpaired
// surrogate as U+FFFD, a zero unit ending the text), cut on a character
// boundary at the bound. Input: the bound in bytes, then the descriptor.
#include <cstddef>
#include <cstdint>
#include <string>

#include "monitor/ports/usb/usb_device.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

// The whole text and where each character of it ends.
std::string Decode(const uint8_t* pDesc, int nLength, std::basic_string<size_t>* pEnds)
{
    std::string text;
    const int units = (nLength - 2) / 2;
    for (int i = 0; i < units; ++i)
    {
        uint32_t c = pDesc[2 + 2 * i] | pDesc[3 + 2 * i] << 8;
        if (c == 0)
            break;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units)
        {
            const uint32_t low = pDesc[4 + 2 * i] | pDesc[5 + 2 * i] << 8;
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
            else
                c = 0xFFFD;
        }
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80)
            text += static_cast<char>(c);
        else if (c < 0x800)
            text += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        else if (c < 0x10000)
            text += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        else
            text += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                     static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        pEnds->push_back(text.size());
    }
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1 || nSize > 1024)
        return 0;
    const size_t nMax = pData[0];
    // An exact-size copy, so that a read past the bytes received is caught.
    const std::basic_string<uint8_t> desc(pData + 1, nSize - 1);
    const int n = static_cast<int>(desc.size());
    std::string text = "left over";
    const bool bOk = UsbDevDecodeString(n > 0 ? desc.data() : nullptr, n, nMax, &text);
    const bool bDescriptor = n >= 2 && desc[0] >= 2 && desc[0] <= n && desc[1] == 3;
    Check(bOk == bDescriptor);
    if (!bOk)
    {
        Check(text.empty());
        return 0;
    }
    std::basic_string<size_t> ends;
    const std::string whole = Decode(desc.data(), desc[0], &ends);
    size_t nCut = 0;
    for (size_t end : ends)
        if (end <= nMax)
            nCut = end;
        else
            break;
    Check(text == whole.substr(0, nCut));
    return 0;
}
