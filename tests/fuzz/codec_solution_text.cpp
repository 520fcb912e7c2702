// Text decoders of the position, INS/IMU and UTM families over arbitrary bytes:
// no read past the given length, no write past the record. Whatever decodes
// must format again in both text forms, and the full text must decode again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "codec/profile.h"
#include "codec/utm_logs.h"

namespace
{
using Formatter = int (*)(const BinaryLogHeader*, const void*, char*, int32_t, int32_t*);

int FormatBestPos(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    return FormatPosition(3, h, b, o, c, n);
}
int FormatBestVel(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    return FormatVelocity(3, h, b, o, c, n);
}
int FormatBestXyz(const BinaryLogHeader* h, const void* b, char* o, int32_t c, int32_t* n)
{
    return FormatXyz(3, h, b, o, c, n);
}

struct Target
{
    int (*Decode)(const char*, int32_t, uint8_t*, int32_t*);
    Formatter Format; // null: a short-header record
};

const Target kTargets[] = {
    {DecodePositionText, FormatBestPos},    {DecodeVelocityText, FormatBestVel}, {DecodeXyzText, FormatBestXyz},
    {DecodeHeadingText, FormatHeading},     {DecodeTimeText, FormatTime},        {DecodeInspvaxText, FormatInspvax},
    {DecodeInsStatusText, FormatInsStatus}, {DecodeRawImuText, FormatRawImu},    {DecodeRawImuXText, FormatRawImuX},
    {DecodeRawImuSxText, nullptr},          {DecodeTimedWheelDataText, nullptr},
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1)
        return 0;
    SetCodecProfile(pData[0] & 1 ? CODEC_PROFILE_MONITOR : CODEC_PROFILE_CONVERTER);
    // An exact-size copy, so that any read past the length is caught.
    std::vector<char> Text(pData + 1, pData + nSize);
    const int32_t nLength = static_cast<int32_t>(Text.size());
    for (const Target& t : kTargets)
    {
        uint8_t Record[28 + 256];
        int32_t nRecord = 0;
        if (!t.Decode(Text.data(), nLength, Record, &nRecord))
            continue;
        if (nRecord < 12 || nRecord > static_cast<int32_t>(sizeof(Record)))
            std::abort();
        if (!t.Format)
            continue;
        // Once through the formatter the text is stable: formatting what it
        // decodes to gives the same text again.
        BinaryLogHeader Header;
        std::memcpy(&Header, Record, sizeof(Header));
        static char Out[32768], Again[32768];
        int32_t nOut = 0, nAgain = 0;
        Header.MessageType = AbbrevFormMarker();
        t.Format(&Header, Record + 28, Out, sizeof(Out), &nOut);
        Header.MessageType = LOG_FORM_ASCII;
        if (!t.Format(&Header, Record + 28, Out, sizeof(Out), &nOut))
            std::abort();
        // A port name the catalogue does not know is kept as a code without a
        // name, which the header parser refuses on the way back.
        char szPort[16];
        if (PortCodeToName(Header.Port, szPort, sizeof(szPort)) <= 0)
            continue;
        uint8_t Record2[28 + 256];
        int32_t nRecord2 = 0;
        if (!t.Decode(Out, nOut, Record2, &nRecord2) || nRecord2 != nRecord)
            std::abort();
        std::memcpy(&Header, Record2, sizeof(Header));
        Header.MessageType = LOG_FORM_ASCII;
        if (!t.Format(&Header, Record2 + 28, Again, sizeof(Again), &nAgain) || nAgain != nOut ||
            std::memcmp(Out, Again, static_cast<size_t>(nOut)) != 0)
            std::abort();
    }
    return 0;
}
