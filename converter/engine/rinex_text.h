// Text building shared by the RINEX writers: appending to a caller buffer
// with a capacity, 80-column header lines whose label always stands in
// columns 61-80, text fields cut to their columns, and the calendar of a GPS
// time shifted into another time system.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "codec/gnss_time.h"
#include "codec/text_helpers.h"

class RinexText
{
public:
    RinexText(char* pBuffer, uint32_t nCapacity) : m_pBuffer(pBuffer), m_nCapacity(nCapacity) {}

    // printf-style append; once something does not fit, nothing more is added.
    void Append(const char* pFormat, ...) ZV_PRINTF_LIKE(2, 3);
    // The text printf's "%*.*f" gives, through FormatFixed.
    void Fixed(double dValue, uint32_t nWidth, uint32_t nDecimals);
    // printf's "%*u" (cPad ' ') or "%0*u" (cPad '0'), through FormatUnsigned.
    void Unsigned(uint32_t nValue, uint32_t nWidth, char cPad = ' ');
    void Spaces(uint32_t nCount);
    void Char(char c)
    {
        if (m_bFull)
            return;
        if (m_nLength + 1 >= m_nCapacity)
        {
            m_bFull = true;
            return;
        }
        m_pBuffer[m_nLength++] = c;
        m_pBuffer[m_nLength] = 0;
    }
    // One header line: the content cut or padded to 60 columns, then the label.
    void HeaderLine(const char* pLabel, const char* pFormat, ...) ZV_PRINTF_LIKE(3, 4);

    // Drops what was appended after the first nLength characters.
    void Truncate(uint32_t nLength);

    uint32_t Length() const { return m_nLength; }
    const char* Data() const { return m_pBuffer; }
    bool Full() const { return m_bFull; }
    // Result of a writer: the length, or -1 when the text did not fit.
    int Result() const { return m_bFull ? -1 : static_cast<int>(m_nLength); }

private:
    char* m_pBuffer;
    uint32_t m_nCapacity;
    uint32_t m_nLength = 0;
    bool m_bFull = false;
};

// A fixed char field of a record as text: up to its NUL, never past its size.
template <size_t N> std::string FieldText(const char (&field)[N]) { return std::string(field, strnlen(field, N)); }

// Calendar of GPS week and ms of week minus nOffsetMs (the offset may carry
// into the previous or next week). Returns 1, or 0 when the time cannot be
// converted.
int GpsTimeToShiftedCalendar(uint32_t nWeek, uint32_t nMsOfWeek, int64_t nOffsetMs, CalendarTime* pTime);

// The current UTC time as "yyyymmdd hhmmss UTC" (20 characters and a NUL).
void RinexCreationDate(char szDate[24]);
