#include "monitor/tools/hex_to_bin.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>

namespace
{
// What each byte is to the scanner: a digit's value, or a class.
enum : int8_t
{
    CH_SEPARATOR = -1,
    CH_PASS = -2, // "X" of "0X41"
    CH_GARBLED = -3,
};

constexpr std::array<int8_t, 256> MakeClasses()
{
    std::array<int8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = CH_GARBLED;
    for (int i = 0; i < 10; ++i)
        t['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i)
    {
        t['a' + i] = static_cast<int8_t>(10 + i);
        t['A' + i] = static_cast<int8_t>(10 + i);
    }
    t[' '] = t['\r'] = t['\n'] = CH_SEPARATOR;
    t['X'] = CH_PASS;
    return t;
}
constexpr std::array<int8_t, 256> kClass = MakeClasses();
} // namespace

size_t CHexPairScanner::Feed(const char* pText, size_t n, uint8_t* pOut)
{
    uint8_t* p = pOut;
    int nHigh = m_nHigh;
    for (size_t i = 0; i < n; ++i)
    {
        const uint8_t c = static_cast<uint8_t>(pText[i]);
        const int8_t k = kClass[c];
        if (k >= 0)
        {
            if (nHigh < 0)
                nHigh = k;
            else
            {
                *p++ = static_cast<uint8_t>(nHigh << 4 | k);
                nHigh = -1;
            }
            continue;
        }
        // Whatever is not a digit ends a pair begun before it.
        nHigh = -1;
        if (c == '\n')
            ++m_nLineEnds;
        else if (k == CH_GARBLED)
        {
            if (m_nGarbled++ == 0)
            {
                m_nFirstGarbledLine = m_nLineEnds + 1;
                m_nFirstGarbledChar = c;
            }
        }
    }
    m_nHigh = nHigh;
    if (n != 0)
        m_bMidLine = pText[n - 1] != '\n';
    return static_cast<size_t>(p - pOut);
}

HEX_TO_BIN_RESULT_T ConvertHexToBinary(const QString& sInput, const QString& sOutput, const HexProgressFn& progress,
                                       const HexCancelFn& cancelled)
{
    HEX_TO_BIN_RESULT_T r;
    QFile in(sInput);
    if (!QFileInfo(sInput).isFile() || !in.open(QIODevice::ReadOnly))
    {
        r.Status = HEX_TO_BIN_INPUT_NOT_OPENED;
        r.Error = in.errorString();
        return r;
    }
    const QFileInfo outInfo(sOutput);
    if (outInfo.exists() && outInfo.canonicalFilePath() == QFileInfo(sInput).canonicalFilePath())
    {
        r.Status = HEX_TO_BIN_SAME_FILE;
        return r;
    }
    QSaveFile out(sOutput);
    if (!out.open(QIODevice::WriteOnly))
    {
        r.Status = HEX_TO_BIN_OUTPUT_NOT_CREATED;
        r.Error = out.errorString();
        return r;
    }
    const uint64_t nTotal = static_cast<uint64_t>(in.size());
    CHexPairScanner scanner;
    char block[HEX_TO_BIN_BLOCK];
    uint8_t bytes[HEX_TO_BIN_BLOCK / 2 + 1];
    for (;;)
    {
        if (cancelled && cancelled())
        {
            r.Status = HEX_TO_BIN_CANCELLED;
            break;
        }
        const qint64 nRead = in.read(block, sizeof block);
        if (nRead < 0)
        {
            r.Status = HEX_TO_BIN_READ_FAILED;
            r.Error = in.errorString();
            break;
        }
        if (nRead == 0)
            break;
        const size_t nBytes = scanner.Feed(block, static_cast<size_t>(nRead), bytes);
        r.BytesRead += static_cast<uint64_t>(nRead);
        if (nBytes != 0 && out.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(nBytes)) !=
                               static_cast<qint64>(nBytes))
        {
            r.Status = HEX_TO_BIN_WRITE_FAILED;
            r.Error = out.errorString();
            break;
        }
        r.BytesWritten += nBytes;
        if (progress)
            progress(r.BytesRead, nTotal);
    }
    r.Lines = scanner.Lines();
    r.GarbledCount = scanner.GarbledCount();
    r.FirstGarbledLine = scanner.FirstGarbledLine();
    r.FirstGarbledChar = scanner.FirstGarbledChar();
    if (r.Status != HEX_TO_BIN_OK)
    {
        out.cancelWriting();
        return r;
    }
    if (!out.commit())
    {
        r.Status = HEX_TO_BIN_WRITE_FAILED;
        r.Error = out.errorString();
    }
    return r;
}
