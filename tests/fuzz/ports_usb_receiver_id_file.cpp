// The USB receiver ID file a user writes: any bytes, read from a file as the
// monitor reads it, give the IDs an independent reading of the lines finds,
// once each in file order, and the lines that are none with their numbers;
// the IDs are then matched, and written back as lsusb shows them they read
// back the same.
#include <QFile>
#include <QTemporaryDir>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ports/usb_receiver_id_file.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The IDs and the numbers of the lines that hold something else.
void Oracle(const std::string& Text, std::vector<uint32_t>* pIds, std::vector<int>* pBadLines)
{
    int number = 0;
    size_t at = 0;
    while (at < Text.size())
    {
        size_t end = Text.find('\n', at);
        end = end == std::string::npos ? Text.size() : end;
        std::string line = Text.substr(at, end - at);
        at = end + 1;
        ++number;
        line = line.substr(0, line.find('#'));
        while (!line.empty() && Blank(line.back()))
            line.pop_back();
        size_t first = 0;
        while (first < line.size() && Blank(line[first]))
            ++first;
        line = line.substr(first);
        if (line.empty())
            continue;
        bool bId = line.size() == 9 && line[4] == ':';
        for (size_t i = 0; i < 9 && bId; ++i)
            bId = i == 4 || std::isxdigit(static_cast<unsigned char>(line[i]));
        if (!bId)
        {
            pBadLines->push_back(number);
            continue;
        }
        const uint32_t id = static_cast<uint32_t>(std::stoul(line.substr(0, 4), nullptr, 16) << 16 |
                                                  std::stoul(line.substr(5, 4), nullptr, 16));
        bool bSeen = false;
        for (uint32_t known : *pIds)
            bSeen = bSeen || known == id;
        if (!bSeen)
            pIds->push_back(id);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static QTemporaryDir dir;
    if (nSize > USB_ID_FILE_T::MAX_BYTES)
        return 0;
    const std::string text(reinterpret_cast<const char*>(pData), nSize);
    const QString sPath = dir.filePath(QStringLiteral("UsbReceiverIds.txt"));
    {
        QFile file(sPath);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        Check(file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()));
    }
    const USB_ID_FILE_T loaded = LoadUsbReceiverIdFile(sPath);
    Check(loaded.bFound && !loaded.bUnreadable);

    std::vector<uint32_t> ids;
    std::vector<int> badLines;
    Oracle(text, &ids, &badLines);
    Check(loaded.Ids.size() == ids.size() && loaded.Malformed.size() == badLines.size());
    for (size_t i = 0; i < ids.size(); ++i)
    {
        const USB_RECEIVER_ID_T& id = loaded.Ids[i];
        Check((static_cast<uint32_t>(id.VendorId) << 16 | id.ProductId) == ids[i]);
        Check(UsbIsReceiverId(id.VendorId, id.ProductId));
    }
    for (size_t i = 0; i < badLines.size(); ++i)
        Check(loaded.Malformed[i].LineNumber == badLines[i] && !loaded.Malformed[i].Text.empty());

    std::string written;
    for (const USB_RECEIVER_ID_T& id : loaded.Ids)
        written += UsbFormatId(id.VendorId, id.ProductId) + "\n";
    std::vector<USB_RECEIVER_ID_T> again;
    std::vector<USB_ID_LINE_T> none;
    UsbParseReceiverIds(written, &again, &none);
    Check(none.empty() && again.size() == loaded.Ids.size());
    for (size_t i = 0; i < again.size(); ++i)
        Check(again[i].VendorId == loaded.Ids[i].VendorId && again[i].ProductId == loaded.Ids[i].ProductId);
    return 0;
}
