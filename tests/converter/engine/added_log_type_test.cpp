// A log type added by one row of a registry is converted by log-to-log
// conversion, text to binary and binary to text, with no other change.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "converter/engine/log_to_log.h"
#include "reader_streams.h"
#include "support/added_log_type.h"

namespace
{
std::string Convert(const std::string& sSource, LOG2LOG_KIND_E eKind, const LOG_REGISTRY_T* pRegistry)
{
    FILE* pSrc = OpenTextStream(sSource);
    FILE* pOut = std::tmpfile();
    EXPECT_EQ(ConvertLogToLog(pSrc, pOut, eKind, 0, nullptr, nullptr, pRegistry), 0);
    std::string sOut(static_cast<size_t>(std::ftell(pOut)), '\0');
    std::rewind(pOut);
    EXPECT_EQ(std::fread(sOut.data(), 1, sOut.size(), pOut), sOut.size());
    std::fclose(pSrc);
    std::fclose(pOut);
    return sOut;
}

TEST(AddedLogType, IsConvertedBothWays)
{
    const LOG_REGISTRY_T& added = RegistryWithAddedLog();
    const std::vector<uint8_t> bytes = AddedLogBinary();
    const std::string sBinary(bytes.begin(), bytes.end());
    const std::string sText = AddedLogText();

    EXPECT_EQ(Convert(sBinary, LOG2LOG_TO_TEXT, nullptr), "");
    EXPECT_EQ(Convert(sText, LOG2LOG_TO_BINARY, nullptr), "");
    EXPECT_EQ(Convert(sBinary, LOG2LOG_TO_TEXT, &added), sText);
    EXPECT_EQ(Convert(sText, LOG2LOG_TO_BINARY, &added), sBinary);
}
} // namespace
