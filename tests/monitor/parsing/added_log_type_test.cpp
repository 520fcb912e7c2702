// A log type added by one row of a registry is stored and shown as text by
// the monitor's parsing, with no other change.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "monitor/parsing/binary_log_text.h"
#include "monitor/parsing/latest_log_store.h"
#include "support/added_log_type.h"
#include "support/profile_fixture.h"

namespace
{
std::string ShowBinary(const std::vector<uint8_t>& frame, const LOG_REGISTRY_T* pRegistry)
{
    std::vector<uint8_t> record(LOG_RECORD_MAX);
    uint32_t nRecord = 0;
    EXPECT_EQ(BinaryLogToRecord(frame.data(), uint32_t(frame.size()), record.data(), LOG_RECORD_MAX, &nRecord), 1);
    std::vector<char> text(LOG_TEXT_MAX);
    const uint32_t n = BinaryRecordToText(record.data(), text.data(), LOG_TEXT_MAX, pRegistry);
    return std::string(text.data(), n);
}

TEST(AddedLogType, IsStoredFromTextAndBinaryAndShownAsText)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    const LOG_REGISTRY_T& added = RegistryWithAddedLog();
    const std::vector<uint8_t> binary = AddedLogBinary();
    const std::string sLine = AddedLogText();
    const InsPvaBody body = AddedLogBody();

    EXPECT_EQ(ShowBinary(binary, nullptr), "") << "a log the registry does not show has no text";
    EXPECT_EQ(ShowBinary(binary, &added), sLine);

    QRangeData plain;
    EXPECT_EQ(plain.StoreTextLog(sLine.data(), uint32_t(sLine.size())), 1);
    EXPECT_EQ(plain.Body<InsPvaBody>(ADDED_LOG_ID), nullptr) << "counted, but no body kept";

    QRangeData store(nullptr, &added);
    ASSERT_EQ(store.StoreTextLog(sLine.data(), uint32_t(sLine.size())), 1);
    const InsPvaBody* pKept = store.Body<InsPvaBody>(ADDED_LOG_ID);
    ASSERT_NE(pKept, nullptr);
    EXPECT_EQ(std::memcmp(pKept, &body, sizeof body), 0);
    ASSERT_EQ(store.StoreBinaryLog(binary.data(), uint32_t(binary.size())), 1);
    EXPECT_EQ(store.BodyUpdates(ADDED_LOG_ID), 2u);
    EXPECT_EQ(std::memcmp(store.Body<InsPvaBody>(ADDED_LOG_ID), &body, sizeof body), 0);
    EXPECT_EQ(store.Counts[CatalogueIndexOf(ADDED_LOG_ID)], 2u);
}
} // namespace
