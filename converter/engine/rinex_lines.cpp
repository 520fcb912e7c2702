#include "converter/engine/rinex_lines.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "converter/engine/convert_context.h"

namespace
{
// Whether strtol or strtod took a number from b up to e with only blanks behind it.
bool WholeNumber(const char* b, const char* e)
{
    if (e == b)
        return false;
    while (*e == ' ')
        ++e;
    return *e == '\0';
}
} // namespace

std::string RinexLine::Cols(uint32_t nFirst, uint32_t nLast) const
{
    if (nFirst < 1 || nFirst > n || nLast < nFirst)
        return std::string();
    return std::string(p + nFirst - 1, (nLast < n ? nLast : n) - nFirst + 1);
}

bool RinexLine::Blank(uint32_t nFirst, uint32_t nLast) const
{
    for (uint32_t c = nFirst; c <= nLast && c <= n; ++c)
        if (p[c - 1] != ' ' && p[c - 1] != '\t')
            return false;
    return true;
}

bool RinexLine::HasLabel(const char* pLabel) const
{
    const uint32_t nLabel = static_cast<uint32_t>(std::strlen(pLabel));
    return n >= 60 + nLabel && std::memcmp(p + 60, pLabel, nLabel) == 0;
}

bool RinexInteger(const RinexLine& line, uint32_t nFirst, uint32_t nLast, long* pValue)
{
    *pValue = 0;
    const std::string s = line.Cols(nFirst, nLast);
    char* e = nullptr;
    const long v = std::strtol(s.c_str(), &e, 10);
    if (!WholeNumber(s.c_str(), e))
        return false;
    *pValue = v;
    return true;
}

int CopyField(char* pDst, const RinexLine& line, uint32_t nStart, uint32_t nLength)
{
    std::memset(pDst, 0, static_cast<size_t>(nLength) + 1);
    if (static_cast<uint64_t>(line.n) + 1 < static_cast<uint64_t>(nStart) + nLength)
        return 0;
    // Never past the line's end: the column short of the field stays cleared.
    const uint32_t nHeld = nStart < line.n ? line.n - nStart : 0;
    if (nHeld != 0)
        std::memcpy(pDst, line.p + nStart, nHeld < nLength ? nHeld : nLength);
    return 1;
}

bool RinexNumber(const RinexLine& line, uint32_t nFirst, uint32_t nLast, double* pValue)
{
    *pValue = 0.0;
    std::string s = line.Cols(nFirst, nLast);
    for (char& c : s)
        if (c == 'D' || c == 'd')
            c = 'E';
    char* e = nullptr;
    const double v = std::strtod(s.c_str(), &e);
    // strtod also reads "nan" and "inf", which no RINEX field holds.
    if (!WholeNumber(s.c_str(), e) || !std::isfinite(v))
        return false;
    *pValue = v;
    return true;
}

bool ReadRinexHeaderLines(RinexLineReader& lines, std::string* pText, char* pFileType)
{
    const size_t kMaxBytes = 1u << 20;
    if (pFileType)
        *pFileType = 0;
    RinexLine line;
    while (pText->size() < kMaxBytes && lines.Next(&line))
    {
        pText->append(line.p, line.n);
        pText->push_back('\n');
        if (pFileType && line.HasLabel("RINEX VERSION / TYPE"))
            *pFileType = line.At(21);
        if (line.HasLabel("END OF HEADER"))
            return true;
    }
    return false;
}

RinexLineReader::RinexLineReader(FILE* pFile, CConvertContext* pContext)
    : m_pFile(pFile), m_pContext(pContext), m_Buffer(BLOCK_SIZE + MAX_LINE)
{
}

RinexLineReader::RinexLineReader(const char* pText, uint32_t nLength)
    : m_pFile(nullptr), m_pContext(nullptr), m_Buffer(pText, pText ? pText + nLength : pText),
      m_nEnd(pText ? nLength : 0), m_bEof(true)
{
}

bool RinexLineReader::Refill()
{
    if (m_bEof || !m_pFile)
        return false;
    // A job stopped part-way has not read its source.
    if (m_pContext && m_pContext->StopRequested())
    {
        m_bReadFailed = m_bEof = true;
        return false;
    }
    const uint32_t nRest = m_nEnd - m_nPos;
    std::memmove(m_Buffer.data(), m_Buffer.data() + m_nPos, nRest);
    m_nPos = 0;
    m_nEnd = nRest;
    if (m_Buffer.size() < nRest + BLOCK_SIZE)
        m_Buffer.resize(nRest + BLOCK_SIZE);
    const size_t n = std::fread(m_Buffer.data() + m_nEnd, 1, BLOCK_SIZE, m_pFile);
    // What a failing read still gave is taken; nothing is read after it.
    if (std::ferror(m_pFile))
        m_bReadFailed = m_bEof = true;
    if (n == 0)
    {
        m_bEof = true;
        return false;
    }
    m_nEnd += static_cast<uint32_t>(n);
    if (m_pContext)
        m_pContext->AddRinexBytesRead(n);
    return true;
}

bool RinexLineReader::Next(RinexLine* pLine)
{
    if (m_bPushedBack)
    {
        m_bPushedBack = false;
        *pLine = m_Last;
        return true;
    }
    for (;;)
    {
        const char* pStart = m_Buffer.data() + m_nPos;
        const uint32_t nAvail = m_nEnd - m_nPos;
        const uint32_t nScan = nAvail < MAX_LINE + 1 ? nAvail : MAX_LINE + 1;
        const char* pLf = static_cast<const char*>(std::memchr(pStart, '\n', nScan));
        uint32_t nLine = 0;
        if (pLf)
        {
            nLine = static_cast<uint32_t>(pLf - pStart);
            m_nPos += nLine + 1;
        }
        else if (nAvail <= MAX_LINE && Refill())
            continue;
        else if (nAvail == 0)
            return false;
        else if (nAvail <= MAX_LINE)
        {
            // The last line of a file that does not end with a line end.
            nLine = nAvail;
            m_nPos = m_nEnd;
        }
        else
        {
            // An overlong line is cut; the rest of it up to its end is dropped.
            m_Held.assign(pStart, MAX_LINE);
            m_nPos += MAX_LINE;
            for (;;)
            {
                const char* p = static_cast<const char*>(std::memchr(m_Buffer.data() + m_nPos, '\n', m_nEnd - m_nPos));
                if (p)
                {
                    m_nPos = static_cast<uint32_t>(p - m_Buffer.data()) + 1;
                    break;
                }
                m_nPos = m_nEnd;
                if (!Refill())
                    break;
            }
            pStart = m_Held.data();
            nLine = MAX_LINE;
        }
        if (nLine && pStart[nLine - 1] == '\r')
            --nLine;
        m_Last = RinexLine{pStart, nLine};
        *pLine = m_Last;
        return true;
    }
}
