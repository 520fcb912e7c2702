// Hex to binary: the scanner fed in blocks of any size (byte 0) gives the
// bytes, lines and garbled characters that a plain reading of the rules gives
// for the whole text at once (each run of digits spells its pairs, an odd
// last digit dropped; blanks, CR, LF and "X" end a run; anything else is
// garbled and ends a run too); each block's output fits the n / 2 + 1 bytes
// the caller provides (an exact-size heap buffer, so an overrun is caught);
// and the file conversion writes exactly those bytes.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "monitor/tools/hex_to_bin.h"

namespace
{
int Digit(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1 || nSize > 64 * 1024)
        return 0;
    const size_t nBlock = pData[0] == 0 ? 1 : pData[0];
    const uint8_t* pText = pData + 1;
    const size_t n = nSize - 1;

    // The rules, read plainly.
    std::vector<uint8_t> expected;
    uint64_t nGarbled = 0, nFirstLine = 0, nLineEnds = 0;
    uint8_t cFirst = 0;
    size_t nRun = 0;
    int nHigh = 0;
    for (size_t i = 0; i < n; ++i)
    {
        const uint8_t c = pText[i];
        const int d = Digit(c);
        if (d >= 0)
        {
            if (nRun++ % 2 == 0)
                nHigh = d;
            else
                expected.push_back(static_cast<uint8_t>(nHigh * 16 + d));
            continue;
        }
        nRun = 0;
        if (c == '\n')
            ++nLineEnds;
        else if (c != ' ' && c != '\r' && c != 'X' && nGarbled++ == 0)
        {
            nFirstLine = nLineEnds + 1;
            cFirst = c;
        }
    }
    const uint64_t nLines = nLineEnds + (n != 0 && pText[n - 1] != '\n' ? 1 : 0);

    CHexPairScanner scanner;
    std::vector<uint8_t> got;
    for (size_t at = 0; at < n; at += nBlock)
    {
        const size_t nThis = n - at < nBlock ? n - at : nBlock;
        std::vector<uint8_t> out(nThis / 2 + 1);
        const size_t nOut = scanner.Feed(reinterpret_cast<const char*>(pText + at), nThis, out.data());
        if (nOut > out.size())
            __builtin_trap();
        got.insert(got.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(nOut));
    }
    if (got != expected || scanner.GarbledCount() != nGarbled || scanner.Lines() != nLines ||
        (nGarbled != 0 && (scanner.FirstGarbledLine() != nFirstLine || scanner.FirstGarbledChar() != cFirst)))
        __builtin_trap();

    // The file conversion, in its own blocks.
    static QTemporaryDir dir;
    const QString sIn = QDir(dir.path()).filePath(QStringLiteral("dump.txt"));
    const QString sOut = QDir(dir.path()).filePath(QStringLiteral("image.bin"));
    QFile input(sIn);
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        input.write(reinterpret_cast<const char*>(pText), static_cast<qint64>(n)) != static_cast<qint64>(n))
        return 0;
    input.close();
    const HEX_TO_BIN_RESULT_T r = ConvertHexToBinary(sIn, sOut, nullptr, nullptr);
    QFile output(sOut);
    if (r.Status != HEX_TO_BIN_OK || !output.open(QIODevice::ReadOnly) ||
        output.readAll() != QByteArray(reinterpret_cast<const char*>(expected.data()), static_cast<int>(expected.size())) ||
        r.BytesRead != n || r.BytesWritten != expected.size() || r.GarbledCount != nGarbled || r.Lines != nLines)
        __builtin_trap();
    return 0;
}
