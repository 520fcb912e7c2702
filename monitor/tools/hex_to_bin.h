// Hex to binary: a text of hexadecimal digit pairs (a saved hex dump of
// receiver output, for example) becomes the bytes the pairs spell. Blanks, CR
// and LF separate pairs; an upper-case "X" (as in "0X41") is passed over;
// anything else is garbled text, noted with the line it stands on and passed
// over. A digit without its partner (before a separator, a garbled character
// or the end) is dropped.
//
// The scanner keeps its state between calls, so the text can come in blocks
// of any size and a pair may straddle two blocks; the file conversion streams
// the input in 4096-byte blocks and needs no more memory for a larger file.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

class CHexPairScanner
{
public:
    // Scans n bytes and writes the bytes they complete to pOut, which must
    // hold n / 2 + 1 bytes. Returns how many were written.
    size_t Feed(const char* pText, size_t n, uint8_t* pOut);

    bool Garbled() const { return m_nGarbled != 0; }
    // Garbled characters met so far, and the first one with its line (from 1).
    uint64_t GarbledCount() const { return m_nGarbled; }
    uint64_t FirstGarbledLine() const { return m_nFirstGarbledLine; }
    uint8_t FirstGarbledChar() const { return m_nFirstGarbledChar; }
    // Lines scanned so far: those an LF ends, and one more while text follows the last LF.
    uint64_t Lines() const { return m_nLineEnds + (m_bMidLine ? 1 : 0); }

private:
    int m_nHigh = -1; // the first digit of a pair, or -1
    uint64_t m_nLineEnds = 0;
    bool m_bMidLine = false;
    uint64_t m_nGarbled = 0;
    uint64_t m_nFirstGarbledLine = 0;
    uint8_t m_nFirstGarbledChar = 0;
};

enum HEX_TO_BIN_STATUS_E : int
{
    HEX_TO_BIN_OK = 0,
    HEX_TO_BIN_INPUT_NOT_OPENED = 1,
    HEX_TO_BIN_OUTPUT_NOT_CREATED = 2,
    HEX_TO_BIN_READ_FAILED = 3,  // the input could not be read to its end
    HEX_TO_BIN_WRITE_FAILED = 4, // the output could not be written whole
    HEX_TO_BIN_CANCELLED = 5,
    HEX_TO_BIN_SAME_FILE = 6, // the output would replace the input
};

struct HEX_TO_BIN_RESULT_T
{
    int Status = HEX_TO_BIN_OK;
    uint64_t BytesRead = 0;
    uint64_t BytesWritten = 0;
    uint64_t Lines = 0;
    uint64_t GarbledCount = 0;
    uint64_t FirstGarbledLine = 0;
    uint8_t FirstGarbledChar = 0;
    QString Error; // the system's reason when a file failed
};

// Progress after each block: the input bytes read so far and the input's size.
using HexProgressFn = std::function<void(uint64_t nRead, uint64_t nTotal)>;
// Asked before each block; true stops the conversion.
using HexCancelFn = std::function<bool()>;

enum : size_t
{
    HEX_TO_BIN_BLOCK = 4096,
};

// Converts the whole input file into the output file. The output is written
// beside its place and put there only when the conversion has read the input
// to its end, so a failed or cancelled run leaves what stood there before.
HEX_TO_BIN_RESULT_T ConvertHexToBinary(const QString& sInput, const QString& sOutput, const HexProgressFn& progress,
                                       const HexCancelFn& cancelled);
