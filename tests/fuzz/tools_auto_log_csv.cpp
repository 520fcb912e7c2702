// The automatic logging board list: any file is read (UTF-8, or Latin-1),
// saved as the list window saves it, and read again; the second reading
// gives back exactly the header and the boards of the first.
#include <QByteArray>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "monitor/tools/auto_log_csv.h"
#include "monitor/tools/tool_paths.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

QStringList Fields(const AUTO_LOG_ENTRY_T& e)
{
    return {e.Computer, e.PortName, e.DisplayName,   e.PortTag,       e.EVK,       e.Antenna,
            e.Base,     e.Version,  e.MAntLinkChain, e.SAntLinkChain, e.ProductID, e.SN};
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const QByteArray bytes(reinterpret_cast<const char*>(pData), static_cast<int>(nSize & 0xFFFFF));
    QStringList header;
    QList<AUTO_LOG_ENTRY_T> entries;
    ReadAutoLogCsv(DecodeToolText(bytes), &header, &entries);
    for (const AUTO_LOG_ENTRY_T& e : entries)
        Check(!e.PortName.isEmpty());

    // The window writes its twelve labels, the file's own when it had twelve.
    const QStringList written =
        header.size() == 12
            ? header
            : QStringList{"Computer",         "Board",     "EVK", "Antenna",    "Base", "version", "M-Ant Link Chain",
                          "S-Ant Link Chain", "ProductID", "SN",  "Log Status", "Time"};
    const QByteArray saved = AutoLogCsvText(written, entries);
    QStringList header2;
    QList<AUTO_LOG_ENTRY_T> entries2;
    ReadAutoLogCsv(DecodeToolText(saved), &header2, &entries2);
    Check(header2 == written);
    Check(entries2.size() == entries.size());
    for (int i = 0; i < entries.size(); ++i)
        Check(Fields(entries2.at(i)) == Fields(entries.at(i)));
    return 0;
}
