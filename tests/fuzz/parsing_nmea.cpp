// The position parser on arbitrary port text. NMEA checksums are made to hold
// so that the sentence parsers are reached; byte 0 picks the position source
// and how the text is cut into batches. The satellite table must stay
// consistent: an entry holds its own number or none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codec/profile.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"

namespace
{
void FixNmeaChecksums(std::vector<char>* pText)
{
    std::vector<char>& s = *pText;
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] != '$')
            continue;
        unsigned x = 0;
        size_t j = i + 1;
        for (; j < s.size() && s[j] != '*' && s[j] != '\r' && s[j] != '\n' && s[j] != '$' && s[j] != '#'; ++j)
            x ^= static_cast<unsigned char>(s[j]);
        if (j + 2 < s.size() && s[j] == '*')
        {
            static const char kHex[] = "0123456789ABCDEF";
            s[j + 1] = kHex[(x >> 4) & 15];
            s[j + 2] = kHex[x & 15];
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    static QRangeData* const pStore = new QRangeData;
    QPosDataParser Parser;
    POS_DATA_T& pos = Parser.m_PosData;
    pos.RefPosMsgType = pData[0] % 10;
    const size_t nStep = 1 + (pData[0] >> 4) * 11;
    std::vector<char> text(pData + 1, pData + nSize);
    FixNmeaChecksums(&text);
    for (size_t i = 0; i < text.size(); i += nStep)
        Parser.ParsePosData(text.data() + i, static_cast<int32_t>(std::min(nStep, text.size() - i)), &pos, pStore);
    for (uint32_t k = 0; k < POS_SAT_TABLE_SIZE; ++k)
        if (pos.SatInfo[k].SatNumber != 0 && pos.SatInfo[k].SatNumber != k + 1)
            std::abort();
    for (uint32_t v : pos.InView)
        if (v > POS_SAT_TABLE_SIZE)
            std::abort();
    return 0;
}
