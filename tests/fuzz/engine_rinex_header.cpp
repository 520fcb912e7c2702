// RINEX header text of any shape: the observation and navigation header
// parsers stay inside the text, and what they read writes back as a header.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "converter/engine/rinex_obs_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > RINEX_SETTINGS_MAX_BYTES * 4)
        return 0;
    const char* pText = reinterpret_cast<const char*>(pData);
    static RinexObsHeader header;
    header = RinexObsHeader{};
    if (ParseRinexHeaderText(pText, static_cast<uint32_t>(nSize), &header) > nSize)
        __builtin_trap();
    RinexNavInfo info{};
    if (ParseRinexNavHeaderText(pText, static_cast<uint32_t>(nSize), &info) > nSize)
        __builtin_trap();
    static std::vector<char> text(RINEX_HEADER_TEXT_CAPACITY);
    if (WriteRinexObsHeader(&header, 0, text.data(), static_cast<uint32_t>(text.size())) < 0)
        __builtin_trap();
    return 0;
}
