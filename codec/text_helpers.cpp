#include "codec/text_helpers.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
char g_configDir[LOG_FILE_PATH_MAX] = "";
FILE* g_debugLog = nullptr;

inline int LowerAscii(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(int c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
inline unsigned char Byte(const char* p, size_t i) { return static_cast<unsigned char>(p[i]); }

// A descriptor on pPath opened with nFlags only when a regular file stands
// there; opened without waiting, so that a FIFO or a device there holds
// nothing up; -1 otherwise.
int OpenRegular(const char* pPath, int nFlags)
{
    int fd;
    do
        fd = ::open(pPath, nFlags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

FILE* StreamOf(int fd, const char* pMode)
{
    if (fd < 0)
        return nullptr;
    FILE* f = ::fdopen(fd, pMode);
    if (f == nullptr)
        ::close(fd);
    return f;
}

// Empties (or creates) a regular file and keeps it open for appending and reading.
FILE* OpenEmptiedForAppend(const char* pPath)
{
    const int fd = OpenRegular(pPath, O_RDWR | O_APPEND | O_CREAT);
    if (fd >= 0 && ::ftruncate(fd, 0) != 0)
    {
        ::close(fd);
        return nullptr;
    }
    return StreamOf(fd, "a+");
}
} // namespace

// ---- Output and system ----

int32_t FormatStringV(char* pOut, size_t nCapacity, const char* pFormat, va_list Args)
{
    if (pOut == nullptr || pFormat == nullptr || nCapacity == 0)
        return -1;
    const int n = std::vsnprintf(pOut, nCapacity, pFormat, Args);
    if (n < 0 || static_cast<size_t>(n) >= nCapacity)
    {
        pOut[0] = '\0';
        return -1;
    }
    return n;
}

int32_t FormatString(char* pOut, size_t nCapacity, const char* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    const int32_t n = FormatStringV(pOut, nCapacity, pFormat, args);
    va_end(args);
    return n;
}

int AppendFormat(char* pOut, uint32_t nCapacity, uint32_t* pLength, const char* pFormat, ...)
{
    if (pOut == nullptr || pLength == nullptr || pFormat == nullptr || *pLength >= nCapacity)
        return 0;
    const uint32_t nUsed = *pLength;
    va_list args;
    va_start(args, pFormat);
    const int n = std::vsnprintf(pOut + nUsed, nCapacity - nUsed, pFormat, args);
    va_end(args);
    if (n < 0 || static_cast<uint32_t>(n) >= nCapacity - nUsed)
    {
        pOut[nUsed] = '\0';
        return 0;
    }
    *pLength = nUsed + static_cast<uint32_t>(n);
    return 1;
}

namespace
{
constexpr uint32_t kFixedMaxDecimals = 9;
constexpr uint32_t kFixedMaxWidth = 64;

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// The decimal digits of n written backwards from pEnd, two at a time; returns their start.
template <typename Unsigned> char* PutNumber(Unsigned n, char* pEnd)
{
    char* p = pEnd;
    while (n >= 100)
    {
        const uint32_t r = static_cast<uint32_t>(n % 100);
        n /= 100;
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * r, 2);
    }
    if (n >= 10)
    {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * n, 2);
    }
    else
        *--p = static_cast<char>('0' + n);
    return p;
}

// Exactly nCount digits of n (leading zeros kept), backwards from pEnd.
char* PutDigits(uint32_t n, uint32_t nCount, char* pEnd)
{
    char* p = pEnd;
    for (; nCount >= 2; nCount -= 2)
    {
        const uint32_t r = n % 100;
        n /= 100;
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * r, 2);
    }
    if (nCount)
        *--p = static_cast<char>('0' + n % 10);
    return p;
}

// The digits of "%.*f" of dValue written backwards from pEnd, rounded as
// printf rounds: to the nearest, an exact tie to the even digit. Returns
// their start, or null for what is left to printf (not finite, 2^63 or more,
// more than 9 decimals).
char* FixedDigits(double dValue, uint32_t nDecimals, char* pEnd)
{
    static constexpr uint64_t kPow5[] = {1, 5, 25, 125, 625, 3125, 15625, 78125, 390625, 1953125};
    static constexpr uint64_t kPow10[] = {1,      10,      100,      1000,      10000,
                                          100000, 1000000, 10000000, 100000000, 1000000000};
    const double dAbs = std::fabs(dValue);
    if (!(dAbs < 9.2e18) || nDecimals > kFixedMaxDecimals)
        return nullptr;
    const double dWhole = std::floor(dAbs);
    const double dFraction = dAbs - dWhole; // exact
    uint64_t nWhole = static_cast<uint64_t>(dWhole);
    uint64_t nFraction = 0;
    if (dFraction != 0.0)
    {
        // fraction = m * 2^(e - 1075) from its bits (subnormal: m * 2^-1074),
        // so fraction * 10^d = m * 5^d / 2^nShift exactly, in integers.
        uint64_t nBits = 0;
        std::memcpy(&nBits, &dFraction, sizeof nBits);
        const int nBiased = static_cast<int>((nBits >> 52) & 0x7FF);
        const uint64_t m = (nBits & ((uint64_t(1) << 52) - 1)) | (nBiased ? uint64_t(1) << 52 : 0);
        // At least 44: the fraction is below 1.
        const int nShift = (nBiased ? 1075 - nBiased : 1074) - static_cast<int>(nDecimals);
        if (nShift < 128)
        {
            const unsigned __int128 nScaled = static_cast<unsigned __int128>(m) * kPow5[nDecimals];
            const unsigned __int128 nHalf = static_cast<unsigned __int128>(1) << (nShift - 1);
            const unsigned __int128 nRest = nScaled & ((nHalf << 1) - 1);
            nFraction = static_cast<uint64_t>(nScaled >> nShift);
            const uint64_t nLast = nDecimals ? nFraction : nWhole;
            if (nRest > nHalf || (nRest == nHalf && (nLast & 1)))
                ++nFraction;
        }
        if (nFraction >= kPow10[nDecimals])
        {
            nFraction -= kPow10[nDecimals];
            ++nWhole;
        }
    }
    char* p = pEnd;
    if (nDecimals)
    {
        p = PutDigits(static_cast<uint32_t>(nFraction), nDecimals, p);
        *--p = '.';
    }
    p = nWhole <= UINT32_MAX ? PutNumber(static_cast<uint32_t>(nWhole), p) : PutNumber(nWhole, p);
    if (std::signbit(dValue))
        *--p = '-';
    return p;
}
} // namespace

int32_t FormatFixed(char* pOut, size_t nCapacity, double dValue, uint32_t nWidth, uint32_t nDecimals)
{
    if (pOut == nullptr || nCapacity == 0)
        return -1;
    char szDigits[40];
    const char* p = nWidth <= kFixedMaxWidth ? FixedDigits(dValue, nDecimals, szDigits + sizeof szDigits) : nullptr;
    if (p == nullptr)
        return FormatString(pOut, nCapacity, "%*.*f", static_cast<int>(nWidth), static_cast<int>(nDecimals), dValue);
    const size_t nText = static_cast<size_t>(szDigits + sizeof szDigits - p);
    const size_t nPad = nText < nWidth ? nWidth - nText : 0;
    if (nPad + nText >= nCapacity)
    {
        pOut[0] = '\0';
        return -1;
    }
    std::memset(pOut, ' ', nPad);
    std::memcpy(pOut + nPad, p, nText);
    pOut[nPad + nText] = '\0';
    return static_cast<int32_t>(nPad + nText);
}

int AppendFixed(char* pOut, uint32_t nCapacity, uint32_t* pLength, double dValue, uint32_t nWidth, uint32_t nDecimals)
{
    if (pOut == nullptr || pLength == nullptr || *pLength >= nCapacity)
        return 0;
    const int32_t n = FormatFixed(pOut + *pLength, nCapacity - *pLength, dValue, nWidth, nDecimals);
    if (n < 0)
        return 0;
    *pLength += static_cast<uint32_t>(n);
    return 1;
}

int32_t FormatUnsigned(char* pOut, size_t nCapacity, uint32_t nValue, uint32_t nWidth, char cPad)
{
    if (pOut == nullptr || nCapacity == 0)
        return -1;
    char szDigits[10];
    const char* p = PutNumber(nValue, szDigits + sizeof szDigits);
    const size_t nText = static_cast<size_t>(szDigits + sizeof szDigits - p);
    const size_t nPad = nText < nWidth ? nWidth - nText : 0;
    if (nPad + nText >= nCapacity)
    {
        pOut[0] = '\0';
        return -1;
    }
    std::memset(pOut, cPad, nPad);
    std::memcpy(pOut + nPad, p, nText);
    pOut[nPad + nText] = '\0';
    return static_cast<int32_t>(nPad + nText);
}

int AppendUnsigned(char* pOut, uint32_t nCapacity, uint32_t* pLength, uint32_t nValue)
{
    if (pOut == nullptr || pLength == nullptr || *pLength >= nCapacity)
        return 0;
    const int32_t n = FormatUnsigned(pOut + *pLength, nCapacity - *pLength, nValue, 0, ' ');
    if (n < 0)
        return 0;
    *pLength += static_cast<uint32_t>(n);
    return 1;
}

int AppendHex8(char* pOut, uint32_t nCapacity, uint32_t* pLength, uint32_t nValue)
{
    static const char kDigits[] = "0123456789abcdef";
    char szDigits[8];
    for (int i = 7; i >= 0; --i, nValue >>= 4)
        szDigits[i] = kDigits[nValue & 15];
    return AppendChars(pOut, nCapacity, pLength, szDigits, 8);
}

int AppendChars(char* pOut, uint32_t nCapacity, uint32_t* pLength, const char* pText, uint32_t nCount)
{
    if (pOut == nullptr || pLength == nullptr || *pLength >= nCapacity || nCapacity - *pLength <= nCount)
        return 0;
    std::memcpy(pOut + *pLength, pText, nCount);
    *pLength += nCount;
    pOut[*pLength] = '\0';
    return 1;
}

int ScanString(const char* pText, int32_t nLength, const char* pFormat, ...)
{
    if (pText == nullptr || pFormat == nullptr || nLength < 0)
        return -1;
    char work[SCAN_STRING_MAX + 1];
    const size_t n = std::min<size_t>(static_cast<size_t>(nLength), SCAN_STRING_MAX);
    std::memcpy(work, pText, n);
    work[n] = '\0';
    va_list args;
    va_start(args, pFormat);
    const int r = std::vsscanf(work, pFormat, args);
    va_end(args);
    return r;
}

namespace
{
std::atomic<DebugPrintSink> g_debugSink{nullptr};

void PrintToSink(const char* pFormat, va_list args)
{
    const DebugPrintSink sink = g_debugSink.load();
    if (sink == nullptr)
    {
        std::vprintf(pFormat, args);
        return;
    }
    // Traces are lines; a longer one is cut.
    char text[1024];
    std::vsnprintf(text, sizeof text, pFormat, args);
    sink(text);
}
} // namespace

void SetDebugPrintSink(DebugPrintSink pSink) { g_debugSink.store(pSink); }

void DebugPrintf(const char* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    PrintToSink(pFormat, args);
    va_end(args);
}

void SetCodecConfigDir(const char* pDir)
{
    if (pDir == nullptr)
        pDir = "";
    std::snprintf(g_configDir, sizeof g_configDir, "%s", pDir);
}

const char* GetCodecConfigDir() { return g_configDir; }

FILE* OpenRegularFileForReading(const char* pPath)
{
    return pPath != nullptr ? StreamOf(OpenRegular(pPath, O_RDONLY), "rb") : nullptr;
}

int OpenDebugLog()
{
    CloseDebugLog();
    char path[LOG_FILE_PATH_MAX + 64];
    if (g_configDir[0] == '\0')
        std::snprintf(path, sizeof path, "DebugOutput/MoxelinLog.log");
    else
        std::snprintf(path, sizeof path, "%s/DebugOutput/MoxelinLog.log", g_configDir);
    g_debugLog = OpenEmptiedForAppend(path);
    return g_debugLog != nullptr ? 1 : 0;
}

FILE* DebugLogFile() { return g_debugLog; }

void DebugLogPrintf(const char* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    va_list copy;
    va_copy(copy, args);
    PrintToSink(pFormat, args);
    if (g_debugLog != nullptr)
        std::vfprintf(g_debugLog, pFormat, copy);
    va_end(copy);
    va_end(args);
}

void FlushDebugLog()
{
    if (g_debugLog != nullptr)
        std::fflush(g_debugLog);
}

void CloseDebugLog()
{
    if (g_debugLog != nullptr)
        std::fclose(g_debugLog);
    g_debugLog = nullptr;
}

int OpenLogFile(LOG_FILE_T* pLog)
{
    if (pLog == nullptr)
        return 0;
    const void* pPathEnd = std::memchr(pLog->Path, '\0', sizeof pLog->Path);
    const void* pPrefixEnd = std::memchr(pLog->Prefix, '\0', sizeof pLog->Prefix);
    if (pPathEnd == nullptr || pPrefixEnd == nullptr)
        return 0;
    if (pLog->pFile == nullptr)
    {
        pLog->pFile = OpenEmptiedForAppend(pLog->Path);
        if (pLog->pFile == nullptr)
            return 0;
    }
    const uint32_t nPrefix = static_cast<uint32_t>(static_cast<const char*>(pPrefixEnd) - pLog->Prefix);
    if (nPrefix > 0)
        pLog->PrefixLength = nPrefix;
    return 1;
}

void SleepMs(uint32_t nMilliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds)); }

// ---- Comparison and classification ----

int StrEqualNoCase(const char* pA, const char* pB, size_t n)
{
    if (pA == nullptr || pB == nullptr)
        return 0;
    for (size_t i = 0; i < n; ++i)
    {
        const int a = Byte(pA, i), b = Byte(pB, i);
        if (LowerAscii(a) != LowerAscii(b))
            return 0;
        if (a == '\0')
            return 1;
    }
    return 1;
}

int StrStartsWithNoCase(const char* pA, const char* pB)
{
    if (pA == nullptr || pB == nullptr)
        return 0;
    return StrEqualNoCase(pA, pB, std::strlen(pB));
}

int StrEqualLenNoCase(const char* pA, const char* pB, size_t nLengthA, size_t nLengthB)
{
    if (pA == nullptr || pB == nullptr || nLengthA != nLengthB)
        return 0;
    for (size_t i = 0; i < nLengthA; ++i)
        if (LowerAscii(Byte(pA, i)) != LowerAscii(Byte(pB, i)))
            return 0;
    return 1;
}

int IsAsciiLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int32_t HexDigitValue(int c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return -1;
}

char HexDigitChar(uint32_t v) { return "0123456789ABCDEF"[v & 0xF]; }

int IsBinaryText(const char* pText, int32_t n)
{
    if (n < 1)
        return 1;
    if (pText == nullptr)
        return 0;
    for (int32_t i = 0; i < n; ++i)
        if (pText[i] != '0' && pText[i] != '1')
            return 0;
    return 1;
}

int IsHexText(const char* pText, int32_t n)
{
    if (n < 1)
        return 1;
    if (pText == nullptr)
        return 0;
    for (int32_t i = 0; i < n; ++i)
    {
        const int c = Byte(pText, static_cast<size_t>(i));
        if (i == 1 && n >= 3 && pText[0] == '0' && (c == 'x' || c == 'X'))
            continue;
        if (!IsHexDigit(c))
            return 0;
    }
    return 1;
}

int IsDecimalText(const char* pText, int32_t n, int bAllowPoint)
{
    if (pText == nullptr || n < 1)
        return 0;
    bool bDigit = false;
    for (int32_t i = 0; i < n; ++i)
    {
        const int c = Byte(pText, static_cast<size_t>(i));
        if (IsDigit(c))
            bDigit = true;
        else if (c == '.' && bAllowPoint)
            continue;
        else if (i == 0 && (c == '+' || c == '-'))
            continue;
        else
            return 0;
    }
    return bDigit ? 1 : 0;
}

int IsInfinite(double d) { return std::isinf(d) ? (d > 0 ? 1 : -1) : 0; }

int IsNaN(double d) { return std::isnan(d) ? 1 : 0; }

// ---- Bytes <-> digit text ----

int32_t BytesToHex(const void* pBytes, char* pText, size_t nTextCapacity, size_t n)
{
    if (pBytes == nullptr || pText == nullptr)
        return -1;
    if (nTextCapacity < 2 * n + 1)
        return -2;
    const uint8_t* p = static_cast<const uint8_t*>(pBytes);
    for (size_t i = 0; i < n; ++i)
    {
        pText[2 * i] = HexDigitChar(p[i] >> 4);
        pText[2 * i + 1] = HexDigitChar(p[i]);
    }
    pText[2 * n] = '\0';
    return 0;
}

int32_t HexToBytes(const char* pText, void* pBytes, size_t nCapacity, int32_t n)
{
    if (pText == nullptr || pBytes == nullptr)
        return HEX_TO_BYTES_NULL;
    if (n < 0 || n % 2 != 0)
        return HEX_TO_BYTES_ODD_LENGTH;
    if (static_cast<size_t>(n / 2) > nCapacity)
        return HEX_TO_BYTES_NO_ROOM;
    uint8_t* pOut = static_cast<uint8_t*>(pBytes);
    for (int32_t i = 0; i < n; i += 2)
    {
        const int hi = Byte(pText, static_cast<size_t>(i));
        const int lo = Byte(pText, static_cast<size_t>(i) + 1);
        if (!IsHexDigit(hi) || !IsHexDigit(lo))
        {
            pOut[i / 2] = 0;
            return HEX_TO_BYTES_BAD_CHAR - (IsHexDigit(hi) ? i + 1 : i);
        }
        pOut[i / 2] = static_cast<uint8_t>(HexDigitValue(hi) * 16 + HexDigitValue(lo));
    }
    return 0;
}

namespace
{
// Shared by the hex and binary number readers: bitsPerDigit 4 or 1.
int DigitTextToBytes(const char* pText, int32_t nLength, void* pBytes, size_t nCapacity, int nBitsPerDigit)
{
    if (pBytes == nullptr)
        return 0;
    uint8_t* pOut = static_cast<uint8_t*>(pBytes);
    std::memset(pOut, 0, nCapacity);
    if (pText == nullptr || nLength < 0)
        return 0;
    const size_t n = static_cast<size_t>(nLength);
    auto isDigit = [nBitsPerDigit](int c) { return nBitsPerDigit == 4 ? IsHexDigit(c) : (c == '0' || c == '1'); };
    size_t i = 0;
    while (i < n && (pText[i] == ' ' || pText[i] == '\t'))
        ++i;
    if (nBitsPerDigit == 4 && i + 1 < n && pText[i] == '0' && (pText[i + 1] == 'x' || pText[i + 1] == 'X'))
        i += 2;
    bool bZeros = false;
    while (i < n && pText[i] == '0')
    {
        ++i;
        bZeros = true;
    }
    const size_t nStart = i;
    while (i < n && isDigit(Byte(pText, i)))
        ++i;
    const size_t nDigits = i - nStart;
    if (nDigits == 0)
        return bZeros ? 1 : 0;
    const size_t nDigitsPerByte = 8 / static_cast<size_t>(nBitsPerDigit);
    if (nDigits > nDigitsPerByte * nCapacity)
        return 0;
    for (size_t k = 0; k < nDigits; ++k)
    {
        const uint32_t v = static_cast<uint32_t>(HexDigitValue(Byte(pText, nStart + nDigits - 1 - k)));
        pOut[k / nDigitsPerByte] |=
            static_cast<uint8_t>(v << ((k % nDigitsPerByte) * static_cast<size_t>(nBitsPerDigit)));
    }
    return 1;
}

int32_t BytesToDigitText(const void* pBytes, size_t n, char* pText, size_t nTextCapacity, int nBitsPerDigit)
{
    if (pBytes == nullptr || pText == nullptr)
        return -1;
    const uint8_t* p = static_cast<const uint8_t*>(pBytes);
    size_t nTop = n;
    while (nTop > 0 && p[nTop - 1] == 0)
        --nTop;
    if (nTop == 0)
    {
        if (nTextCapacity < 2)
            return -1;
        pText[0] = '0';
        pText[1] = '\0';
        return 1;
    }
    const size_t nDigitsPerByte = 8 / static_cast<size_t>(nBitsPerDigit);
    const size_t nChars = nTop * nDigitsPerByte;
    if (nTextCapacity < nChars + 1)
        return -1;
    size_t o = 0;
    for (size_t b = nTop; b-- > 0;)
        for (size_t d = nDigitsPerByte; d-- > 0;)
        {
            const uint32_t v = (p[b] >> (d * static_cast<size_t>(nBitsPerDigit))) & ((1u << nBitsPerDigit) - 1);
            pText[o++] = HexDigitChar(v);
        }
    pText[o] = '\0';
    return static_cast<int32_t>(o);
}
} // namespace

int HexTextToBytes(const char* pText, int32_t nLength, void* pBytes, size_t nCapacity)
{
    return DigitTextToBytes(pText, nLength, pBytes, nCapacity, 4);
}

int BinaryTextToBytes(const char* pText, int32_t nLength, void* pBytes, size_t nCapacity)
{
    return DigitTextToBytes(pText, nLength, pBytes, nCapacity, 1);
}

int32_t BytesToHexText(const void* pBytes, size_t n, char* pText, size_t nTextCapacity)
{
    return BytesToDigitText(pBytes, n, pText, nTextCapacity, 4);
}

int32_t BytesToBinaryText(const void* pBytes, size_t n, char* pText, size_t nTextCapacity)
{
    return BytesToDigitText(pBytes, n, pText, nTextCapacity, 1);
}

// ---- Numbers ----

int64_t SplitSignedFraction(double dValue, int64_t nScale, char* pSign, int64_t* pWhole, int64_t* pFraction)
{
    if (pSign != nullptr)
    {
        pSign[0] = dValue < 0 ? '-' : '\0';
        pSign[1] = '\0';
    }
    const double dMag = std::fabs(dValue);
    int64_t nWhole = 0, nFraction = 0;
    // Beyond 2^62 there is no fraction left to split and the cast would overflow.
    if (std::isfinite(dMag) && dMag < 4.6e18)
    {
        const double dWhole = std::trunc(dMag);
        nWhole = static_cast<int64_t>(dWhole);
        const double dFraction = (dMag - dWhole) * static_cast<double>(nScale);
        if (std::isfinite(dFraction) && std::fabs(dFraction) < 4.6e18)
            nFraction = static_cast<int64_t>(dFraction);
        if (nFraction < 0)
            nFraction = -nFraction;
    }
    if (pWhole != nullptr)
        *pWhole = nWhole;
    if (pFraction != nullptr)
        *pFraction = nFraction;
    return nFraction;
}

int32_t PercentWithHundredths(uint32_t nPart, uint32_t nWhole, int32_t* pPercent, int32_t* pHundredths)
{
    int64_t nPct = 0, nHund = 0;
    if (nWhole != 0)
    {
        const int64_t part = nPart, whole = nWhole;
        if (whole <= 400000)
        {
            nPct = part * 100 / whole;
            nHund = part * 10000 / whole - nPct * 100;
        }
        else
        {
            nPct = part / (whole / 100);
            nHund = part / (whole / 10000) - nPct * 100;
        }
        if (nHund >= 100)
        {
            nPct += nHund / 100;
            nHund %= 100;
        }
        while (nHund < 0)
        {
            if (nPct <= 0)
            {
                nHund = 0;
                break;
            }
            --nPct;
            nHund += 100;
        }
        if (nPct > 99)
        {
            nPct = 100;
            nHund = 0;
        }
    }
    if (pPercent != nullptr)
        *pPercent = static_cast<int32_t>(nPct);
    if (pHundredths != nullptr)
        *pHundredths = static_cast<int32_t>(nHund);
    return static_cast<int32_t>(nHund);
}

const uint8_t* FindBytes(const void* pBuffer, int32_t nLength, const void* pPattern, int32_t nPatternLength)
{
    if (pBuffer == nullptr || pPattern == nullptr || nLength < 0 || nPatternLength < 1 || nPatternLength > nLength)
        return nullptr;
    const uint8_t* pBegin = static_cast<const uint8_t*>(pBuffer);
    const uint8_t* pEnd = pBegin + nLength;
    const uint8_t* pPat = static_cast<const uint8_t*>(pPattern);
    const uint8_t* pHit = std::search(pBegin, pEnd, pPat, pPat + nPatternLength);
    return pHit == pEnd ? nullptr : pHit + nPatternLength;
}

uint8_t* FillWithGuard(void* pBuffer, uint8_t uByte, size_t n)
{
    uint8_t* p = static_cast<uint8_t*>(pBuffer);
    if (p == nullptr)
        return nullptr;
    std::memset(p, uByte, n);
    if (n < 4)
        return p;
    const size_t nEnd = n & ~static_cast<size_t>(3);
    std::memcpy(p + nEnd - 4, "ZZZZ", 4);
    return p + nEnd;
}

double GeoidGridValue(uint32_t nRow, uint32_t nColumn, const int16_t* pGrid)
{
    if (pGrid == nullptr || nRow >= GEOID_GRID_ROWS || nColumn >= GEOID_GRID_COLUMNS)
        return std::numeric_limits<double>::quiet_NaN();
    return pGrid[nRow * GEOID_GRID_COLUMNS + nColumn] / 300.0;
}

double GeoidGridInterpolate(double dLatitudeDeg, double dLongitudeDeg, const int16_t* pGrid)
{
    if (pGrid == nullptr || !std::isfinite(dLatitudeDeg) || !std::isfinite(dLongitudeDeg))
        return std::numeric_limits<double>::quiet_NaN();
    const double dLat = std::min(90.0, std::max(-90.0, dLatitudeDeg));
    const double q = 90.0 - dLat;
    uint32_t r = static_cast<uint32_t>(q);
    if (r >= GEOID_GRID_ROWS - 1)
        r = GEOID_GRID_ROWS - 2;
    double dLon = std::fmod(dLongitudeDeg, 360.0);
    if (dLon < 0)
        dLon += 360.0;
    uint32_t c = static_cast<uint32_t>(dLon);
    if (c >= GEOID_GRID_COLUMNS - 1)
        c = GEOID_GRID_COLUMNS - 2;
    const uint32_t nodes[4][2] = {{r, c}, {r + 1, c}, {r + 1, c + 1}, {r, c + 1}};
    double dSum = 0, dWeights = 0;
    for (const auto& node : nodes)
    {
        const double dv = GeoidGridValue(node[0], node[1], pGrid);
        const double dr = node[0] - q, dc = node[1] - dLon;
        const double d = std::sqrt(dr * dr + dc * dc);
        if (d < 1e-5)
            return dv;
        dSum += dv / d;
        dWeights += 1.0 / d;
    }
    return dSum / dWeights;
}
