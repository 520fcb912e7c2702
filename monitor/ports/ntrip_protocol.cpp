#include "monitor/ports/ntrip_protocol.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// A text field of the record, read no further than its array.
struct TEXT_T
{
    const char* p;
    int n;
};

template <size_t N> TEXT_T Field(const char (&Text)[N]) { return {Text, static_cast<int>(strnlen(Text, N))}; }

TEXT_T Text(const char* p) { return {p, p != nullptr ? static_cast<int>(std::strlen(p)) : 0}; }

// Appends to a caller's buffer; once something does not fit, nothing more is added.
class CAppender
{
public:
    CAppender(char* pOut, int nCapacity) : m_pOut(pOut), m_Capacity(nCapacity) {}
    CAppender& operator<<(TEXT_T t)
    {
        if (m_bFits && t.n > 0)
        {
            if (m_Length + t.n >= m_Capacity)
            {
                m_bFits = false;
                return *this;
            }
            std::memcpy(m_pOut + m_Length, t.p, static_cast<size_t>(t.n));
            m_Length += t.n;
        }
        return *this;
    }
    CAppender& operator<<(const char* p) { return *this << Text(p); }
    // The length with a closing NUL, or -1 when something did not fit.
    int Finish()
    {
        if (!m_bFits || m_Capacity <= 0)
        {
            return -1;
        }
        m_pOut[m_Length] = '\0';
        return m_Length;
    }

private:
    char* m_pOut;
    int m_Capacity;
    int m_Length = 0;
    bool m_bFits = true;
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const char* p, int n, const char* pPrefix)
{
    const int len = static_cast<int>(std::strlen(pPrefix));
    if (n < len)
    {
        return false;
    }
    for (int i = 0; i < len; ++i)
    {
        if (Lower(p[i]) != Lower(pPrefix[i]))
        {
            return false;
        }
    }
    return true;
}

bool StartsWith(const char* p, int n, const char* pPrefix)
{
    const int len = static_cast<int>(std::strlen(pPrefix));
    return n >= len && std::memcmp(p, pPrefix, static_cast<size_t>(len)) == 0;
}

// Does the start of a reply (n bytes, perhaps cut short) agree with pPrefix?
bool MayStartWith(const char* p, int n, const char* pPrefix)
{
    const int len = static_cast<int>(std::strlen(pPrefix));
    return std::memcmp(p, pPrefix, static_cast<size_t>(n < len ? n : len)) == 0;
}

// A reason with an excerpt of what the caster sent, printable characters only.
template <class REPLY_T> int Refuse(REPLY_T* pReply, int nResult, const char* pWhat, const char* pText, int n)
{
    constexpr int kExcerpt = 64;
    char excerpt[kExcerpt + 4];
    int k = 0;
    for (; k < n && k < kExcerpt; ++k)
    {
        const unsigned char c = static_cast<unsigned char>(pText[k]);
        excerpt[k] = c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
    }
    if (n > kExcerpt)
    {
        std::memcpy(excerpt + k, "...", 3);
        k += 3;
    }
    excerpt[k] = '\0';
    if (pWhat == nullptr)
    {
        std::snprintf(pReply->Reason, sizeof(pReply->Reason), "%s", excerpt);
    }
    else if (n > 0)
    {
        std::snprintf(pReply->Reason, sizeof(pReply->Reason), "%s: %s", pWhat, excerpt);
    }
    else
    {
        std::snprintf(pReply->Reason, sizeof(pReply->Reason), "%s", pWhat);
    }
    return nResult;
}

// The value of a header field in the header lines between pBegin and pEnd,
// without surrounding blanks; false when the field is missing.
bool HeaderValue(const char* pBegin, const char* pEnd, const char* pName, TEXT_T* pValue)
{
    const int nameLength = static_cast<int>(std::strlen(pName));
    const char* pLine = pBegin;
    while (pLine < pEnd)
    {
        const char* pEol = static_cast<const char*>(std::memchr(pLine, '\n', static_cast<size_t>(pEnd - pLine)));
        if (pEol == nullptr)
        {
            pEol = pEnd;
        }
        const int lineLength = static_cast<int>(pEol - pLine);
        if (lineLength > nameLength && pLine[nameLength] == ':' && StartsWithNoCase(pLine, lineLength, pName))
        {
            const char* pValueBegin = pLine + nameLength + 1;
            const char* pValueEnd = pEol;
            while (pValueBegin < pValueEnd && (*pValueBegin == ' ' || *pValueBegin == '\t'))
            {
                ++pValueBegin;
            }
            while (pValueEnd > pValueBegin && (pValueEnd[-1] == '\r' || pValueEnd[-1] == ' ' || pValueEnd[-1] == '\t'))
            {
                --pValueEnd;
            }
            *pValue = {pValueBegin, static_cast<int>(pValueEnd - pValueBegin)};
            return true;
        }
        pLine = pEol + 1;
    }
    return false;
}

// Length of a header up to and with its blank line (CR LF or a bare LF),
// or -1; *pFieldsEnd is where that blank line begins.
int HeaderEnd(const char* p, int n, int* pFieldsEnd)
{
    for (int i = 0; i < n; ++i)
    {
        if (p[i] != '\n')
        {
            continue;
        }
        int j = i + 1;
        if (j < n && p[j] == '\r')
        {
            ++j;
        }
        if (j < n && p[j] == '\n')
        {
            *pFieldsEnd = i + 1;
            return j + 1;
        }
    }
    return -1;
}

bool ContainsNoCase(TEXT_T t, const char* pNeedle)
{
    const int len = static_cast<int>(std::strlen(pNeedle));
    for (int i = 0; i + len <= t.n; ++i)
    {
        if (StartsWithNoCase(t.p + i, t.n - i, pNeedle))
        {
            return true;
        }
    }
    return false;
}

enum REQUEST_E
{
    REQUEST_STREAM,
    REQUEST_SOURCE_TABLE,
    REQUEST_SERVER,
};

REQUEST_E RequestOf(const NTRIP_CONFIG_T* pConfig)
{
    if (pConfig->ServerMode != 0)
    {
        return REQUEST_SERVER;
    }
    return NtripWantsSourceTable(pConfig) ? REQUEST_SOURCE_TABLE : REQUEST_STREAM;
}

// ddmm.mmmm (nDegreeDigits 2) or dddmm.mmmm (3), rounded to 1e-4 minutes.
void FormatAngle(double dDegrees, int nDegreeDigits, char* pOut, size_t nCapacity)
{
    const long long total = std::llround(std::fabs(dDegrees) * 600000.0);
    std::snprintf(pOut, nCapacity, "%0*lld%02lld.%04lld", nDegreeDigits, total / 600000, total % 600000 / 10000,
                  total % 10000);
}

enum CHUNK_PHASE_E : uint32_t
{
    CHUNK_SIZE,
    CHUNK_EXTENSION,
    CHUNK_SIZE_LF,
    CHUNK_DATA,
    CHUNK_DATA_CR,
    CHUNK_DATA_LF,
    CHUNK_TRAILER_START,
    CHUNK_TRAILER_LINE,
    CHUNK_TRAILER_LF,
    CHUNK_DONE,
    CHUNK_FAILED,
};

constexpr uint32_t kMaxSizeDigits = 8;
constexpr uint32_t kMaxChunkLine = 1024;
} // namespace

int NtripBase64Encode(const void* pIn, int n, char* pOut, int nCapacity)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (n < 0 || pOut == nullptr || (n > 0 && pIn == nullptr))
    {
        return -1;
    }
    const int length = (n + 2) / 3 * 4;
    if (length >= nCapacity)
    {
        return -1;
    }
    const auto* p = static_cast<const uint8_t*>(pIn);
    int k = 0;
    for (int i = 0; i < n; i += 3)
    {
        const int left = n - i;
        const uint32_t v = (static_cast<uint32_t>(p[i]) << 16) | (left > 1 ? static_cast<uint32_t>(p[i + 1]) << 8 : 0) |
                           (left > 2 ? p[i + 2] : 0);
        pOut[k++] = kAlphabet[(v >> 18) & 63];
        pOut[k++] = kAlphabet[(v >> 12) & 63];
        pOut[k++] = left > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        pOut[k++] = left > 2 ? kAlphabet[v & 63] : '=';
    }
    pOut[k] = '\0';
    return k;
}

int NtripFindString(const char* pBuf, int n, const char* pNeedle)
{
    const int len = static_cast<int>(std::strlen(pNeedle));
    if (pBuf == nullptr || len == 0 || n < len)
    {
        return -1;
    }
    for (int i = 0; i + len <= n; ++i)
    {
        if (pBuf[i] == pNeedle[0] && std::memcmp(pBuf + i, pNeedle, static_cast<size_t>(len)) == 0)
        {
            return i;
        }
    }
    return -1;
}

int NtripEncodeLogin(char* pOut, int nCapacity, const char* pUser, const char* pPassword)
{
    const size_t userLength = std::strlen(pUser);
    const size_t passwordLength = std::strlen(pPassword);
    if (userLength > NTRIP_LOGIN_TEXT_MAX || userLength + 1 + passwordLength > NTRIP_LOGIN_TEXT_MAX)
    {
        return -1;
    }
    char login[NTRIP_LOGIN_TEXT_MAX + 1];
    std::memcpy(login, pUser, userLength);
    login[userLength] = ':';
    std::memcpy(login + userLength + 1, pPassword, passwordLength);
    const int result = NtripBase64Encode(login, static_cast<int>(userLength + 1 + passwordLength), pOut, nCapacity);
    // The joined text held the password in the clear.
    std::memset(login, 0, sizeof(login));
    return result;
}

int NtripBuildGga(const NTRIP_POSITION_T* pPosition, char* pOut, int nCapacity)
{
    if (pPosition == nullptr || pPosition->PositionTime < 0 || !std::isfinite(pPosition->Latitude) ||
        !std::isfinite(pPosition->Longitude) || !std::isfinite(pPosition->Height) ||
        std::fabs(pPosition->Latitude) > 90.0 || std::fabs(pPosition->Longitude) > 180.0 ||
        std::fabs(pPosition->Height) >= 1e7)
    {
        return -1;
    }
    char time[32] = "";
    const int32_t ms = pPosition->UtcMsOfDay;
    if (ms >= 0 && ms < 86400000)
    {
        std::snprintf(time, sizeof(time), "%02d%02d%02d.%02d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                      ms % 1000 / 10);
    }
    else if (ms >= 86400000 && ms < 86401000)
    {
        // The leap second at the end of a UTC day.
        std::snprintf(time, sizeof(time), "235960.%02d", (ms - 86400000) / 10);
    }
    char latitude[32], longitude[32];
    FormatAngle(pPosition->Latitude, 2, latitude, sizeof(latitude));
    FormatAngle(pPosition->Longitude, 3, longitude, sizeof(longitude));
    const long long centimetres = std::llround(std::fabs(pPosition->Height) * 100.0);
    char body[NTRIP_GGA_MAX];
    const int bodyLength =
        std::snprintf(body, sizeof(body), "GPGGA,%s,%s,%c,%s,%c,1,10,0,%s%lld.%02lld,M,0,M,,", time, latitude,
                      pPosition->Latitude < 0 ? 'S' : 'N', longitude, pPosition->Longitude < 0 ? 'W' : 'E',
                      pPosition->Height < 0 && centimetres != 0 ? "-" : "", centimetres / 100, centimetres % 100);
    if (bodyLength <= 0 || bodyLength >= static_cast<int>(sizeof(body)))
    {
        return -1;
    }
    uint8_t checksum = 0;
    for (int i = 0; i < bodyLength; ++i)
    {
        checksum ^= static_cast<uint8_t>(body[i]);
    }
    const int length = std::snprintf(pOut, static_cast<size_t>(nCapacity > 0 ? nCapacity : 0), "$%s*%02X\r\n", body,
                                     static_cast<unsigned>(checksum));
    return length > 0 && length < nCapacity ? length : -1;
}

bool NtripWantsSourceTable(const NTRIP_CONFIG_T* pConfig)
{
    const TEXT_T mount = Field(pConfig->MountPoint);
    return pConfig->SourceTable != 0 || mount.n == 0 || mount.p[0] == '%';
}

int NtripBuildRequest(const NTRIP_CONFIG_T* pConfig, const char* pGga, char* pOut, int nCapacity)
{
    const int capacity = nCapacity < NTRIP_REQUEST_MAX ? nCapacity : NTRIP_REQUEST_MAX;
    const TEXT_T server = Field(pConfig->ServerName);
    const TEXT_T mount = Field(pConfig->MountPoint);
    const TEXT_T agent = Field(pConfig->Agent);
    const TEXT_T version = Field(pConfig->Version);
    const bool bVersion2 = pConfig->Mode != 1;
    // Over UDP the request goes to the caster itself, in one datagram.
    const bool bUdp = pConfig->Mode == 4;

    char port[12] = "";
    if (!bUdp && Field(pConfig->ProxyHost).n > 0)
    {
        std::snprintf(port, sizeof(port), ":%u", static_cast<unsigned>(pConfig->Port & 0xFFFFu));
    }
    const bool bProxy = port[0] != '\0';
    const TEXT_T proxyScheme = Text(bProxy ? "http://" : "");
    const TEXT_T proxyServer = bProxy ? server : Text("");

    // User and password are copied out of their arrays: a full array has no NUL.
    char user[sizeof(pConfig->User) + 1] = "", password[sizeof(pConfig->Password) + 1] = "";
    std::memcpy(user, pConfig->User, static_cast<size_t>(Field(pConfig->User).n));
    std::memcpy(password, pConfig->Password, static_cast<size_t>(Field(pConfig->Password).n));
    char login[NTRIP_LOGIN_TEXT_MAX * 4 / 3 + 8] = "";
    const bool bLogin = user[0] != '\0' || password[0] != '\0';
    if (bLogin && NtripEncodeLogin(login, sizeof(login), user, password) < 0)
    {
        return -NTRIP_REQUEST_TOO_LONG;
    }

    CAppender out(pOut, capacity);
    switch (RequestOf(pConfig))
    {
    case REQUEST_SERVER:
        if (!bVersion2)
        {
            out << "SOURCE " << Text(password) << " " << proxyScheme << proxyServer << port << "/" << mount
                << "\r\nSource-Agent: NTRIP " << agent << "/" << version << "\r\n\r\n";
            break;
        }
        out << "POST " << proxyScheme << proxyServer << port << "/" << mount << " HTTP/1.1\r\nHost: " << server
            << "\r\nNtrip-Version: Ntrip/2.0\r\nUser-Agent: NTRIP " << agent << "/" << version << "\r\n";
        if (bLogin)
        {
            out << "Authorization: Basic " << Text(login) << "\r\n";
        }
        out << "Connection: close\r\nTransfer-Encoding: chunked\r\n\r\n";
        break;
    case REQUEST_SOURCE_TABLE:
        out << "GET " << proxyScheme << proxyServer << port << "/ HTTP/1.1\r\nHost: " << server << "\r\n"
            << (bVersion2 ? "Ntrip-Version: Ntrip/2.0\r\n" : "") << "User-Agent: NTRIP " << agent << "/" << version
            << "\r\nConnection: close\r\n\r\n";
        break;
    case REQUEST_STREAM:
    {
        // The sentence without its line end, for the header line.
        TEXT_T gga = Text(pGga);
        while (gga.n > 0 && (gga.p[gga.n - 1] == '\r' || gga.p[gga.n - 1] == '\n'))
        {
            --gga.n;
        }
        out << "GET " << proxyScheme << proxyServer << port << "/" << mount << " HTTP/1.1\r\nHost: " << server << "\r\n"
            << (bVersion2 ? "Ntrip-Version: Ntrip/2.0\r\n" : "") << "User-Agent: NTRIP " << agent << "/" << version
            << "\r\n";
        if (gga.n > 0)
        {
            out << "Ntrip-GGA: " << gga << "\r\n";
        }
        out << "Connection: close\r\n";
        if (bLogin)
        {
            out << "Authorization: Basic " << Text(login) << "\r\n";
        }
        out << "\r\n";
        if (gga.n > 0 && !bUdp)
        {
            out << gga << "\r\n";
        }
        break;
    }
    }
    std::memset(login, 0, sizeof(login));
    std::memset(password, 0, sizeof(password));
    const int length = out.Finish();
    return length >= 0 ? length : -NTRIP_REQUEST_TOO_LONG;
}

int NtripCheckReply(const NTRIP_CONFIG_T* pConfig, const char* pData, int n, NTRIP_REPLY_T* pReply)
{
    std::memset(pReply, 0, sizeof(*pReply));
    const REQUEST_E request = RequestOf(pConfig);
    if (n <= 0)
    {
        return NTRIP_REPLY_INCOMPLETE;
    }
    // A client knows at once when a reply cannot be one a caster gives.
    if (request != REQUEST_SERVER)
    {
        bool bKnown = false;
        for (const char* pStart : {"ICY ", "HTTP/1.", "SOURCETABLE "})
        {
            bKnown = bKnown || MayStartWith(pData, n, pStart);
        }
        if (!bKnown)
        {
            return Refuse(pReply, NTRIP_REFUSED, "not a caster's reply", pData, n);
        }
    }
    const int scan = n < NTRIP_REPLY_HEADER_MAX ? n : NTRIP_REPLY_HEADER_MAX;
    const char* pEol = static_cast<const char*>(std::memchr(pData, '\n', static_cast<size_t>(scan)));
    if (pEol == nullptr)
    {
        return n >= NTRIP_REPLY_HEADER_MAX ? Refuse(pReply, NTRIP_REFUSED, "reply header too long", pData, n)
                                           : NTRIP_REPLY_INCOMPLETE;
    }
    const int lineEnd = static_cast<int>(pEol - pData) + 1;
    int lineLength = lineEnd - 1;
    if (lineLength > 0 && pData[lineLength - 1] == '\r')
    {
        --lineLength;
    }

    if (StartsWith(pData, lineLength, "HTTP/1."))
    {
        // "HTTP/1.x nnn reason"
        int status = -1;
        if (lineLength >= 12 && pData[8] == ' ' && pData[9] >= '0' && pData[9] <= '9' && pData[10] >= '0' &&
            pData[10] <= '9' && pData[11] >= '0' && pData[11] <= '9' && (lineLength == 12 || pData[12] == ' '))
        {
            status = (pData[9] - '0') * 100 + (pData[10] - '0') * 10 + (pData[11] - '0');
        }
        if (status < 0)
        {
            return Refuse(pReply, NTRIP_REFUSED, "unexpected reply", pData, lineLength);
        }
        pReply->Status = status;
        if (status != 200)
        {
            return Refuse(pReply, (status << 16) | NTRIP_HTTP_STATUS, nullptr, pData, lineLength);
        }
        int fieldsEnd = 0;
        const int headerEnd = HeaderEnd(pData, scan, &fieldsEnd);
        if (headerEnd < 0)
        {
            return n >= NTRIP_REPLY_HEADER_MAX
                       ? Refuse(pReply, NTRIP_REFUSED, "reply header too long", pData, lineLength)
                       : NTRIP_REPLY_INCOMPLETE;
        }
        const char* pFields = pData + lineEnd;
        const char* pFieldsEnd = pData + fieldsEnd;
        TEXT_T value{};
        if (request == REQUEST_STREAM)
        {
            if (!HeaderValue(pFields, pFieldsEnd, "Content-Type", &value) ||
                !StartsWithNoCase(value.p, value.n, "gnss/data"))
            {
                if (value.n > 0 && StartsWithNoCase(value.p, value.n, "gnss/sourcetable"))
                {
                    pReply->Chunked = HeaderValue(pFields, pFieldsEnd, "Transfer-Encoding", &value) &&
                                              ContainsNoCase(value, "chunked")
                                          ? 1
                                          : 0;
                    pReply->HeaderLength = headerEnd;
                    return Refuse(pReply, NTRIP_NO_MOUNT_POINT, "mount point not found", nullptr, 0);
                }
                return Refuse(pReply, NTRIP_REFUSED, "not a GNSS data stream, Content-Type", value.p, value.n);
            }
        }
        pReply->Chunked =
            HeaderValue(pFields, pFieldsEnd, "Transfer-Encoding", &value) && ContainsNoCase(value, "chunked") ? 1 : 0;
        pReply->HeaderLength = headerEnd;
        return 0;
    }

    switch (request)
    {
    case REQUEST_STREAM:
        if (lineLength == 10 && StartsWith(pData, lineLength, "ICY 200 OK"))
        {
            pReply->HeaderLength = lineEnd;
            return 0;
        }
        if (StartsWith(pData, lineLength, "SOURCETABLE"))
        {
            pReply->HeaderLength = lineEnd;
            return Refuse(pReply, NTRIP_NO_MOUNT_POINT, "mount point not found", nullptr, 0);
        }
        break;
    case REQUEST_SOURCE_TABLE:
        if (StartsWith(pData, lineLength, "SOURCETABLE 200"))
        {
            pReply->HeaderLength = lineEnd;
            return 0;
        }
        break;
    case REQUEST_SERVER:
        if (NtripFindString(pData, lineLength, "OK") >= 0)
        {
            pReply->HeaderLength = lineEnd;
            return 0;
        }
        break;
    }
    return Refuse(pReply, NTRIP_REFUSED, "unexpected reply", pData, lineLength);
}

int NtripTableMountPoint(const char* pLine, int n, const char** ppMount)
{
    if (!StartsWith(pLine, n, "STR;"))
    {
        return -1;
    }
    const char* pMount = pLine + 4;
    const char* pEnd = static_cast<const char*>(std::memchr(pMount, ';', static_cast<size_t>(n - 4)));
    *ppMount = pMount;
    return static_cast<int>((pEnd != nullptr ? pEnd : pLine + n) - pMount);
}

void NtripChunkDecoderInit(NTRIP_CHUNK_DECODER_T* pState) { std::memset(pState, 0, sizeof(*pState)); }

int NtripDechunk(NTRIP_CHUNK_DECODER_T* pState, const char* pIn, int n, char* pOut, int* pEnded)
{
    int produced = 0;
    for (int i = 0; i < n && pState->Phase != CHUNK_DONE && pState->Phase != CHUNK_FAILED; ++i)
    {
        const char c = pIn[i];
        switch (pState->Phase)
        {
        case CHUNK_SIZE:
        {
            int digit = -1;
            if (c >= '0' && c <= '9')
            {
                digit = c - '0';
            }
            else if (Lower(c) >= 'a' && Lower(c) <= 'f')
            {
                digit = Lower(c) - 'a' + 10;
            }
            if (digit >= 0 && pState->Digits < kMaxSizeDigits)
            {
                pState->Left = pState->Left * 16 + static_cast<uint64_t>(digit);
                ++pState->Digits;
            }
            else if (pState->Digits > 0 && (c == ';' || c == ' ' || c == '\t'))
            {
                pState->Phase = CHUNK_EXTENSION;
                pState->Digits = 1;
            }
            else if (pState->Digits > 0 && c == '\r')
            {
                pState->Phase = CHUNK_SIZE_LF;
            }
            else
            {
                pState->Phase = CHUNK_FAILED;
            }
            break;
        }
        case CHUNK_EXTENSION:
            if (c == '\r')
            {
                pState->Phase = CHUNK_SIZE_LF;
            }
            else if (++pState->Digits > kMaxChunkLine)
            {
                pState->Phase = CHUNK_FAILED;
            }
            break;
        case CHUNK_SIZE_LF:
            pState->Phase = c != '\n' ? CHUNK_FAILED : pState->Left == 0 ? CHUNK_TRAILER_START : CHUNK_DATA;
            break;
        case CHUNK_DATA:
        {
            const uint64_t take =
                static_cast<uint64_t>(n - i) < pState->Left ? static_cast<uint64_t>(n - i) : pState->Left;
            std::memcpy(pOut + produced, pIn + i, static_cast<size_t>(take));
            produced += static_cast<int>(take);
            pState->Left -= take;
            i += static_cast<int>(take) - 1;
            if (pState->Left == 0)
            {
                pState->Phase = CHUNK_DATA_CR;
            }
            break;
        }
        case CHUNK_DATA_CR:
            pState->Phase = c == '\r' ? CHUNK_DATA_LF : CHUNK_FAILED;
            break;
        case CHUNK_DATA_LF:
            pState->Phase = c == '\n' ? CHUNK_SIZE : CHUNK_FAILED;
            pState->Digits = 0;
            pState->Left = 0;
            break;
        case CHUNK_TRAILER_START:
            pState->Phase = c == '\r' ? CHUNK_TRAILER_LF : CHUNK_TRAILER_LINE;
            pState->Digits = 1;
            break;
        case CHUNK_TRAILER_LINE:
            if (c == '\n')
            {
                pState->Phase = CHUNK_TRAILER_START;
            }
            else if (++pState->Digits > kMaxChunkLine)
            {
                pState->Phase = CHUNK_FAILED;
            }
            break;
        case CHUNK_TRAILER_LF:
            pState->Phase = c == '\n' ? CHUNK_DONE : CHUNK_FAILED;
            break;
        default:
            break;
        }
    }
    if (pEnded != nullptr)
    {
        *pEnded = pState->Phase == CHUNK_DONE ? 1 : 0;
    }
    return pState->Phase == CHUNK_FAILED ? -NTRIP_BAD_CHUNK : produced;
}

int NtripChunkEncodedSize(int n)
{
    int size = 0;
    for (int left = n; left > 0; left -= NTRIP_CHUNK_PIECE)
    {
        const int piece = left < NTRIP_CHUNK_PIECE ? left : NTRIP_CHUNK_PIECE;
        size += (piece >= 16 ? 2 : 1) + 2 + piece + 2;
    }
    return size;
}

int NtripChunkEncode(const void* pData, int n, char* pOut, int nCapacity)
{
    if (n < 0 || NtripChunkEncodedSize(n) > nCapacity)
    {
        return -1;
    }
    const auto* p = static_cast<const char*>(pData);
    int length = 0;
    for (int done = 0; done < n;)
    {
        const int piece = n - done < NTRIP_CHUNK_PIECE ? n - done : NTRIP_CHUNK_PIECE;
        length += std::snprintf(pOut + length, static_cast<size_t>(nCapacity - length), "%x\r\n", piece);
        std::memcpy(pOut + length, p + done, static_cast<size_t>(piece));
        length += piece;
        pOut[length++] = '\r';
        pOut[length++] = '\n';
        done += piece;
    }
    return length;
}

namespace
{
void PutU16(char* p, uint32_t v)
{
    p[0] = static_cast<char>(v >> 8 & 0xFF);
    p[1] = static_cast<char>(v & 0xFF);
}

void PutU32(char* p, uint32_t v)
{
    PutU16(p, v >> 16);
    PutU16(p + 2, v & 0xFFFF);
}

uint32_t GetU16(const char* p)
{
    const auto* u = reinterpret_cast<const uint8_t*>(p);
    return static_cast<uint32_t>(u[0]) << 8 | u[1];
}

uint32_t GetU32(const char* p) { return GetU16(p) << 16 | GetU16(p + 2); }

// The decimal number at the start of a text, at most nMax; false when there
// is none or it is larger.
bool LeadingNumber(TEXT_T t, uint64_t nMax, uint64_t* pValue)
{
    uint64_t v = 0;
    int i = 0;
    for (; i < t.n && t.p[i] >= '0' && t.p[i] <= '9'; ++i)
    {
        v = v * 10 + static_cast<uint64_t>(t.p[i] - '0');
        if (v > nMax)
        {
            return false;
        }
    }
    *pValue = v;
    return i > 0;
}

// Where the header lines of a reply begin: after its first line.
const char* FieldsBegin(const char* pData, int n)
{
    const char* pEol = static_cast<const char*>(std::memchr(pData, '\n', static_cast<size_t>(n)));
    return pEol != nullptr ? pEol + 1 : pData + n;
}
} // namespace

int NtripParseRtp(const char* pData, int n, NTRIP_RTP_T* pPacket)
{
    if (pData == nullptr || n < NTRIP_RTP_HEADER || static_cast<uint8_t>(pData[0]) != 0x80)
    {
        return -1;
    }
    const auto type = static_cast<uint8_t>(pData[1]);
    pPacket->PayloadType = type & 0x7F;
    pPacket->Marker = type >> 7;
    pPacket->Sequence = static_cast<uint16_t>(GetU16(pData + 2));
    pPacket->Timestamp = GetU32(pData + 4);
    pPacket->Session = GetU32(pData + 8);
    pPacket->pPayload = pData + NTRIP_RTP_HEADER;
    pPacket->PayloadLength = n - NTRIP_RTP_HEADER;
    return 0;
}

void NtripBuildRtpHeader(int nPayloadType, uint16_t nSequence, uint32_t nTimestamp, uint32_t nSession, char* pOut)
{
    pOut[0] = static_cast<char>(0x80);
    pOut[1] = static_cast<char>(nPayloadType & 0x7F);
    PutU16(pOut + 2, nSequence);
    PutU32(pOut + 4, nTimestamp);
    PutU32(pOut + 8, nSession);
}

void NtripRtpTrackInit(NTRIP_RTP_TRACK_T* pTrack) { std::memset(pTrack, 0, sizeof(*pTrack)); }

int NtripRtpTake(NTRIP_RTP_TRACK_T* pTrack, uint16_t nSequence, uint32_t nTimestamp)
{
    if (pTrack->Started != 0)
    {
        const uint32_t ahead = static_cast<uint16_t>(nSequence - pTrack->Sequence);
        const bool bTimeBack = static_cast<int32_t>(nTimestamp - pTrack->Timestamp) < 0;
        if (ahead == 0 || ahead > NTRIP_RTP_SEQUENCE_WINDOW || bTimeBack)
        {
            ++pTrack->Stale;
            return 0;
        }
        pTrack->Lost += ahead - 1;
    }
    pTrack->Started = 1;
    pTrack->Sequence = nSequence;
    pTrack->Timestamp = nTimestamp;
    return 1;
}

int NtripCheckUdpReply(const NTRIP_CONFIG_T* pConfig, const char* pData, int n, NTRIP_UDP_REPLY_T* pReply)
{
    std::memset(pReply, 0, sizeof(*pReply));
    pReply->ContentLength = -1;
    // The same reply as over TCP, with the session and the table's length besides.
    NTRIP_CONFIG_T config = *pConfig;
    config.Mode = 5;
    NTRIP_REPLY_T reply;
    const int result = NtripCheckReply(&config, pData, n, &reply);
    std::memcpy(pReply->Reason, reply.Reason, sizeof(pReply->Reason));
    pReply->Status = reply.Status;
    if (result == NTRIP_REPLY_INCOMPLETE)
    {
        return result;
    }
    if (const int32_t status = NtripResultHttpStatus(result))
    {
        // Only a status of HTTP's range gives a result that reads back as one.
        return status >= 100 && status <= 599 ? NtripUdpStatusResult(status) : NTRIP_UDP_REFUSED;
    }
    if (result == NTRIP_NO_MOUNT_POINT)
    {
        return Refuse(pReply, NTRIP_UDP_REFUSED, "mount point not found, the caster answered with its source table",
                      nullptr, 0);
    }
    if (result != 0)
    {
        return NTRIP_UDP_REFUSED;
    }
    // Over UDP only NTRIP 2 is spoken: an NTRIP 1 answer ("ICY 200 OK", a
    // line holding "OK") is no answer to it.
    if (reply.Status == 0 && RequestOf(pConfig) != REQUEST_SOURCE_TABLE)
    {
        return Refuse(pReply, NTRIP_UDP_REFUSED, "not an NTRIP 2 reply", pData, reply.HeaderLength);
    }
    const int scan = n < NTRIP_REPLY_HEADER_MAX ? n : NTRIP_REPLY_HEADER_MAX;
    int fieldsEnd = 0;
    const int headerEnd = HeaderEnd(pData, scan, &fieldsEnd);
    if (headerEnd < 0)
    {
        // A "SOURCETABLE 200 OK" line is accepted before its header has ended.
        return n >= NTRIP_REPLY_HEADER_MAX ? Refuse(pReply, NTRIP_UDP_REFUSED, "reply header too long", pData, 0)
                                           : NTRIP_REPLY_INCOMPLETE;
    }
    const char* pFields = FieldsBegin(pData, headerEnd);
    const char* pFieldsEnd = pData + fieldsEnd;
    TEXT_T value{};
    uint64_t number = 0;
    if (HeaderValue(pFields, pFieldsEnd, "Session", &value) && LeadingNumber(value, 0xFFFFFFFFu, &number))
    {
        pReply->HasSession = 1;
        pReply->Session = static_cast<uint32_t>(number);
    }
    pReply->HeaderLength = headerEnd;
    switch (RequestOf(pConfig))
    {
    case REQUEST_STREAM:
        if (pReply->HasSession == 0)
        {
            return Refuse(pReply, NTRIP_UDP_NO_SESSION, "the reply names no session", nullptr, 0);
        }
        break;
    case REQUEST_SOURCE_TABLE:
        if (!HeaderValue(pFields, pFieldsEnd, "Content-Length", &value) || !LeadingNumber(value, 0x7FFFFFFF, &number))
        {
            return Refuse(pReply, NTRIP_UDP_NO_LENGTH, "the source table comes without its length", nullptr, 0);
        }
        pReply->ContentLength = static_cast<int64_t>(number);
        break;
    case REQUEST_SERVER:
        break;
    }
    return 0;
}

int NtripBuildRtspRequest(const NTRIP_CONFIG_T* pConfig, NTRIP_RTSP_REQUEST_E eRequest, int nCSeq, uint32_t nSession,
                          uint16_t nClientPort, const char* pGga, char* pOut, int nCapacity)
{
    const int capacity = nCapacity < NTRIP_RTSP_REQUEST_MAX ? nCapacity : NTRIP_RTSP_REQUEST_MAX;
    static const char* const kVerbs[] = {"SETUP ", "PLAY ", "GET_PARAMETER ", "TEARDOWN "};
    if (eRequest < NTRIP_RTSP_SETUP || eRequest > NTRIP_RTSP_TEARDOWN)
    {
        return -NTRIP_RTSP_REQUEST_TOO_LONG;
    }
    char port[12], cseq[16], session[16], clientPort[12];
    std::snprintf(port, sizeof(port), "%u", static_cast<unsigned>(pConfig->Port & 0xFFFFu));
    std::snprintf(cseq, sizeof(cseq), "%d", nCSeq);
    std::snprintf(session, sizeof(session), "%u", static_cast<unsigned>(nSession));
    std::snprintf(clientPort, sizeof(clientPort), "%u", static_cast<unsigned>(nClientPort));

    CAppender out(pOut, capacity);
    out << kVerbs[eRequest] << "rtsp://" << Field(pConfig->ServerName) << ":" << port << "/"
        << Field(pConfig->MountPoint) << " RTSP/1.0\r\nCSeq: " << cseq << "\r\n";
    if (eRequest != NTRIP_RTSP_SETUP)
    {
        out << "Session: " << session << "\r\n\r\n";
        const int length = out.Finish();
        return length >= 0 ? length : -NTRIP_RTSP_REQUEST_TOO_LONG;
    }

    char user[sizeof(pConfig->User) + 1] = "", password[sizeof(pConfig->Password) + 1] = "";
    std::memcpy(user, pConfig->User, static_cast<size_t>(Field(pConfig->User).n));
    std::memcpy(password, pConfig->Password, static_cast<size_t>(Field(pConfig->Password).n));
    char login[NTRIP_LOGIN_TEXT_MAX * 4 / 3 + 8] = "";
    const bool bLogin = user[0] != '\0' || password[0] != '\0';
    const bool bLoginFits = !bLogin || NtripEncodeLogin(login, sizeof(login), user, password) >= 0;
    std::memset(password, 0, sizeof(password));
    if (!bLoginFits)
    {
        return -NTRIP_RTSP_LOGIN_TOO_LONG;
    }
    TEXT_T gga = Text(pGga);
    while (gga.n > 0 && (gga.p[gga.n - 1] == '\r' || gga.p[gga.n - 1] == '\n'))
    {
        --gga.n;
    }
    out << "Ntrip-Version: Ntrip/2.0\r\nNtrip-Component: Ntripclient\r\nUser-Agent: " << Field(pConfig->Agent) << "/"
        << Field(pConfig->Version) << "\r\n";
    if (gga.n > 0)
    {
        out << "Ntrip-GGA: " << gga << "\r\n";
    }
    out << "Transport: RTP/GNSS;unicast;client_port=" << clientPort;
    if (bLogin)
    {
        out << "\r\nAuthorization: Basic " << Text(login);
    }
    out << "\r\n\r\n";
    std::memset(login, 0, sizeof(login));
    const int length = out.Finish();
    return length >= 0 ? length : bLogin ? -NTRIP_RTSP_LOGIN_TOO_LONG : -NTRIP_RTSP_REQUEST_TOO_LONG;
}

int NtripCheckRtspReply(const char* pData, int n, int bSetup, NTRIP_RTSP_REPLY_T* pReply)
{
    std::memset(pReply, 0, sizeof(*pReply));
    pReply->CSeq = -1;
    if (n <= 0)
    {
        return NTRIP_REPLY_INCOMPLETE;
    }
    if (!MayStartWith(pData, n, "RTSP/1.0 "))
    {
        return Refuse(pReply, NTRIP_RTSP_REFUSED, "not an RTSP reply", pData, n);
    }
    const int scan = n < NTRIP_REPLY_HEADER_MAX ? n : NTRIP_REPLY_HEADER_MAX;
    const char* pEol = static_cast<const char*>(std::memchr(pData, '\n', static_cast<size_t>(scan)));
    if (pEol == nullptr)
    {
        return n >= NTRIP_REPLY_HEADER_MAX ? Refuse(pReply, NTRIP_RTSP_BAD_REPLY, "reply header too long", pData, n)
                                           : NTRIP_REPLY_INCOMPLETE;
    }
    int lineLength = static_cast<int>(pEol - pData);
    if (lineLength > 0 && pData[lineLength - 1] == '\r')
    {
        --lineLength;
    }
    // "RTSP/1.0 nnn reason"
    if (lineLength >= 12 && pData[9] >= '0' && pData[9] <= '9' && pData[10] >= '0' && pData[10] <= '9' &&
        pData[11] >= '0' && pData[11] <= '9' && (lineLength == 12 || pData[12] == ' '))
    {
        pReply->Status = (pData[9] - '0') * 100 + (pData[10] - '0') * 10 + (pData[11] - '0');
    }
    if (pReply->Status != 200)
    {
        return Refuse(pReply, NTRIP_RTSP_REFUSED, nullptr, pData, lineLength);
    }
    int fieldsEnd = 0;
    const int headerEnd = HeaderEnd(pData, scan, &fieldsEnd);
    if (headerEnd < 0)
    {
        return n >= NTRIP_REPLY_HEADER_MAX
                   ? Refuse(pReply, NTRIP_RTSP_BAD_REPLY, "reply header too long", pData, lineLength)
                   : NTRIP_REPLY_INCOMPLETE;
    }
    const char* pFields = pEol + 1;
    const char* pFieldsEnd = pData + fieldsEnd;
    TEXT_T value{};
    uint64_t number = 0;
    if (HeaderValue(pFields, pFieldsEnd, "CSeq", &value) && LeadingNumber(value, 0x7FFFFFFF, &number))
    {
        pReply->CSeq = static_cast<int32_t>(number);
    }
    if (HeaderValue(pFields, pFieldsEnd, "Session", &value) && LeadingNumber(value, 0xFFFFFFFFu, &number))
    {
        pReply->HasSession = 1;
        pReply->Session = static_cast<uint32_t>(number);
    }
    if (HeaderValue(pFields, pFieldsEnd, "Transport", &value))
    {
        for (int i = 0; i + 12 <= value.n; ++i)
        {
            if (StartsWithNoCase(value.p + i, value.n - i, "server_port=") &&
                LeadingNumber({value.p + i + 12, value.n - i - 12}, 0xFFFF, &number) && number > 0)
            {
                pReply->ServerPort = static_cast<int32_t>(number);
                break;
            }
        }
    }
    pReply->HeaderLength = headerEnd;
    if (bSetup != 0 && pReply->HasSession == 0)
    {
        return Refuse(pReply, NTRIP_RTSP_BAD_REPLY, "the reply to SETUP names no session", nullptr, 0);
    }
    if (bSetup != 0 && pReply->ServerPort == 0)
    {
        return Refuse(pReply, NTRIP_RTSP_BAD_REPLY, "the reply to SETUP names no server_port", nullptr, 0);
    }
    return 0;
}

int NtripStartup()
{
    const int nSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (nSocket < 0)
        return 1;
    ::close(nSocket);
    return 0;
}
