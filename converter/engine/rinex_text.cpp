#include "converter/engine/rinex_text.h"

#include <cmath>
#include <cstdarg>
#include <ctime>

void RinexText::Append(const char* pFormat, ...)
{
    if (m_bFull)
        return;
    va_list args;
    va_start(args, pFormat);
    const int32_t n = FormatStringV(m_pBuffer + m_nLength, m_nCapacity - m_nLength, pFormat, args);
    va_end(args);
    if (n < 0)
        m_bFull = true;
    else
        m_nLength += static_cast<uint32_t>(n);
}

void RinexText::Fixed(double dValue, uint32_t nWidth, uint32_t nDecimals)
{
    if (m_bFull)
        return;
    const int32_t n = FormatFixed(m_pBuffer + m_nLength, m_nCapacity - m_nLength, dValue, nWidth, nDecimals);
    if (n < 0)
        m_bFull = true;
    else
        m_nLength += static_cast<uint32_t>(n);
}

void RinexText::Unsigned(uint32_t nValue, uint32_t nWidth, char cPad)
{
    if (m_bFull)
        return;
    const int32_t n = FormatUnsigned(m_pBuffer + m_nLength, m_nCapacity - m_nLength, nValue, nWidth, cPad);
    if (n < 0)
        m_bFull = true;
    else
        m_nLength += static_cast<uint32_t>(n);
}

void RinexText::Spaces(uint32_t nCount)
{
    if (m_bFull)
        return;
    if (m_nLength + nCount >= m_nCapacity)
    {
        m_bFull = true;
        return;
    }
    std::memset(m_pBuffer + m_nLength, ' ', nCount);
    m_nLength += nCount;
    m_pBuffer[m_nLength] = 0;
}

void RinexText::HeaderLine(const char* pLabel, const char* pFormat, ...)
{
    char szContent[256];
    va_list args;
    va_start(args, pFormat);
    int32_t n = FormatStringV(szContent, sizeof(szContent), pFormat, args);
    va_end(args);
    if (n < 0)
        n = 0;
    Append("%-60.*s%-20.20s\n", n < 60 ? static_cast<int>(n) : 60, szContent, pLabel);
}

void RinexText::Truncate(uint32_t nLength)
{
    if (nLength < m_nLength)
    {
        m_nLength = nLength;
        m_pBuffer[m_nLength] = 0;
    }
}

int GpsTimeToShiftedCalendar(uint32_t nWeek, uint32_t nMsOfWeek, int64_t nOffsetMs, CalendarTime* pTime)
{
    const int64_t nTotal = static_cast<int64_t>(nWeek) * GNSS_MS_PER_WEEK + nMsOfWeek - nOffsetMs;
    if (nTotal < 0)
        return 0;
    const int32_t nZero = 0;
    return GpsTimeToCalendar(static_cast<uint32_t>(nTotal / GNSS_MS_PER_WEEK),
                             static_cast<uint32_t>(nTotal % GNSS_MS_PER_WEEK), &nZero, pTime);
}

void RinexCreationDate(char szDate[24])
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    FormatString(szDate, 24, "%04u%02u%02u %02u%02u%02u UTC", static_cast<unsigned>(utc.tm_year + 1900),
                 static_cast<unsigned>(utc.tm_mon + 1), static_cast<unsigned>(utc.tm_mday),
                 static_cast<unsigned>(utc.tm_hour), static_cast<unsigned>(utc.tm_min),
                 static_cast<unsigned>(utc.tm_sec));
}
