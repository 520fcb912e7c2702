// The RINEX observation reader on arbitrary files: headers, epochs of every
// flag, satellite lists and observation fields of any shape must come to the
// end of the file without a crash, a hang or a read past the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    FILE* pSrc = fmemopen(const_cast<uint8_t*>(pData), nSize, "rb");
    FILE* pOut = std::fopen("/dev/null", "wb");
    if (!pSrc || !pOut)
        std::abort();
    CConvertContext context;
    context.SetRinexToLogFile(pOut);
    ConvertRinexObsToRange(pSrc, nSize & 1, &context);
    std::fclose(pSrc);
    std::fclose(pOut);
    return 0;
}
