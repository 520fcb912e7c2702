// Line-by-line reading of a RINEX file for the RINEX-to-log readers: the
// file is read in 64 KB blocks (each adds to the engine's RINEX byte counter)
// and handed out one line at a time, without its line end (LF or CR LF; the
// last line may have none). Lines may be trimmed of their trailing blanks:
// the column helpers read what a line lacks as blanks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct RinexLine
{
    const char* p; // not NUL-terminated
    uint32_t n;

    // Column nColumn (counted from 1), or a blank past the end.
    char At(uint32_t nColumn) const { return nColumn >= 1 && nColumn <= n ? p[nColumn - 1] : ' '; }
    // Columns nFirst to nLast as text (what the line lacks is left out).
    std::string Cols(uint32_t nFirst, uint32_t nLast) const;
    // True when columns nFirst to nLast hold nothing but blanks.
    bool Blank(uint32_t nFirst, uint32_t nLast) const;
    // The header label (columns 61 to 80) starts with pLabel.
    bool HasLabel(const char* pLabel) const;
};

// Reads a number from columns nFirst to nLast: a decimal integer, or a finite
// floating-point value whose exponent letter may be D, d, E or e. Returns
// false (and 0) for blank columns or text that is not a number.
bool RinexInteger(const RinexLine& line, uint32_t nFirst, uint32_t nLast, long* pValue);
bool RinexNumber(const RinexLine& line, uint32_t nFirst, uint32_t nLast, double* pValue);

// One fixed-column field of a line: nLength bytes of pDst (which holds
// nLength + 1) are cleared and the field from offset nStart (counted from 0)
// is copied in. 0, with the field empty, when the line ends before the
// field's last column but one; else 1, with what the line holds of the field
// (a line one column short gives the field without its last character).
int CopyField(char* pDst, const RinexLine& line, uint32_t nStart, uint32_t nLength);

class CConvertContext;

class RinexLineReader
{
public:
    enum : uint32_t
    {
        BLOCK_SIZE = 65536,
        // A longer line is cut there; no RINEX record comes near it.
        MAX_LINE = 4096,
    };

    // With a context, the reader counts the bytes it reads there and asks its
    // stop request before each block.
    explicit RinexLineReader(FILE* pFile, CConvertContext* pContext = nullptr);
    // Lines of a text in memory (copied), as the lines of a file that holds it.
    RinexLineReader(const char* pText, uint32_t nLength);

    // The next line; false at the end of the file. Valid until the next call.
    bool Next(RinexLine* pLine);
    // Hands the line just read out once more on the next call.
    void PushBack() { m_bPushedBack = true; }
    // A read error or a stop request, not the end of the file, ended the lines.
    bool ReadFailed() const { return m_bReadFailed; }

private:
    bool Refill();

    FILE* m_pFile;
    CConvertContext* m_pContext;
    std::vector<char> m_Buffer;
    uint32_t m_nPos = 0;
    uint32_t m_nEnd = 0;
    bool m_bEof = false;
    bool m_bPushedBack = false;
    bool m_bReadFailed = false;
    RinexLine m_Last{nullptr, 0};
    std::string m_Held; // the last line when it had to be kept across a refill
};

// Reads the header lines up to END OF HEADER into pText, each ended by LF.
// pFileType, when given, receives column 21 (the file type) of the last
// RINEX VERSION / TYPE line, or 0 when there is none. False when the lines
// run out, or pass 1 MB, without END OF HEADER.
bool ReadRinexHeaderLines(RinexLineReader& lines, std::string* pText, char* pFileType = nullptr);
