// The long header of the golden lines of the solution, INS and header tests:
// COM1, sequence 0, idle byte 50 (25 %), FINESTEERING, week 2295, 79218.000 s,
// receiver status 0, reserved 0, version 0.
#pragma once

#include <cstdint>

#include "codec/log_format.h"

inline BinaryLogHeader GoldenLogHeader(uint16_t nId, uint16_t nLength, uint8_t uType)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nId, uType, nLength, 1, 0, &h);
    h.TimeStatus = 180;
    h.Week = 2295;
    h.Milliseconds = 79218000;
    return h;
}
