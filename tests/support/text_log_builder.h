// Builds full text logs for tests: "#NAMEA,<header>;<body>" plus the CRC trailer.
#pragma once

#include <cstdio>
#include <string>

#include "codec/crc.h"

// Appends "*%08x\r\n" with the CRC-32 of everything after the leading "#".
inline std::string WithTextCrc(const std::string& sText)
{
    char trailer[16];
    snprintf(trailer, sizeof trailer, "*%08x\r\n",
             Crc32Compute(sText.data() + 1, static_cast<int32_t>(sText.size() - 1)));
    return sText + trailer;
}

// The header used by the codec's golden lines: every field away from its default.
inline const char* GoldenHeaderFields() { return "COM1,7,63.5,SATTIME,2295,79218.000,02000020,b1f6,16809"; }

inline std::string FullTextLog(const std::string& sName, const std::string& sBody)
{
    return WithTextCrc("#" + sName + "A," + GoldenHeaderFields() + ";" + sBody);
}
