// The RINEX navigation reader on arbitrary files: byte 0 picks the letter
// the file name ends in, the rest is the file. Records of any shape, cut
// short or with fields that are no numbers, must come to the end of the file
// without a crash, a hang or a read past the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2)
        return 0;
    static const char kLetters[] = {'N', 'G', 'L', 'C', 'n', 'g', 'l', 'c'};
    FILE* pSrc = fmemopen(const_cast<uint8_t*>(pData + 1), nSize - 1, "rb");
    FILE* pOut = std::fopen("/dev/null", "wb");
    if (!pSrc || !pOut)
        std::abort();
    CConvertContext context;
    context.SetRinexToLogFile(pOut);
    context.SetBdsEphemStyle((pData[0] & 8) ? 1 : 2);
    ConvertRinexNavToLog(pSrc, kLetters[pData[0] & 7], &context);
    std::fclose(pSrc);
    std::fclose(pOut);
    return 0;
}
