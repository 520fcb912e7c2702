// Hex to binary on a dump of received bytes ("48 65 6C " and CR LF every 16
// bytes), the text's bytes per second: the scanner alone in memory, and the
// whole conversion from file to file in 4096-byte blocks as the tool runs it.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "monitor/tools/hex_to_bin.h"

namespace
{
QByteArray DumpText(int nBytes)
{
    static const char s_digits[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(nBytes * 3 + nBytes / 8);
    uint32_t x = 12345;
    for (int i = 0; i < nBytes; ++i)
    {
        x = x * 1103515245u + 12345u;
        const uint8_t b = static_cast<uint8_t>(x >> 16);
        text += s_digits[b >> 4];
        text += s_digits[b & 15];
        text += ' ';
        if (i % 16 == 15)
            text += "\r\n";
    }
    return text;
}

void BM_HexScanner(benchmark::State& state)
{
    const QByteArray text = DumpText(8 << 20);
    std::vector<uint8_t> out(HEX_TO_BIN_BLOCK / 2 + 1);
    for (auto _ : state)
    {
        CHexPairScanner scanner;
        size_t n = 0;
        for (int at = 0; at < text.size(); at += HEX_TO_BIN_BLOCK)
            n += scanner.Feed(text.constData() + at, qMin<size_t>(HEX_TO_BIN_BLOCK, text.size() - at), out.data());
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}
BENCHMARK(BM_HexScanner)->Unit(benchmark::kMillisecond);

void BM_HexFileToBinary(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString sIn = dir.filePath(QStringLiteral("dump.txt")), sOut = dir.filePath(QStringLiteral("dump.bin"));
    const QByteArray text = DumpText(32 << 20);
    {
        QFile f(sIn);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        {
            state.SkipWithError("cannot write the input");
            return;
        }
    }
    for (auto _ : state)
    {
        const HEX_TO_BIN_RESULT_T r = ConvertHexToBinary(sIn, sOut, {}, {});
        if (r.Status != HEX_TO_BIN_OK)
            state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}
BENCHMARK(BM_HexFileToBinary)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
