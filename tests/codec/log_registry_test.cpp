// The registry of log types against the catalogue's own name tables, and a log
// type added by one row that the dispatch then reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/catalogue.h"
#include "codec/log_dispatch.h"
#include "codec/log_format.h"
#include "codec/log_registry.h"
#include "support/added_log_type.h"
#include "support/profile_fixture.h"

namespace
{
// The ID of the first row of a catalogue table with exactly this name, or LOG_TYPE_NO_ID.
uint16_t CatalogueId(LOG_NAME_TABLE_T Table, const char* pName)
{
    for (uint32_t i = 0; i < Table.Count; ++i)
        if (std::strcmp(Table.Rows[i].Name, pName) == 0)
            return static_cast<uint16_t>(Table.Rows[i].Id);
    return LOG_TYPE_NO_ID;
}

using LogRegistry = ProfileTest;

TEST_P(LogRegistry, IdsAgreeWithTheCatalogueWhereItNamesTheLog)
{
    const LOG_REGISTRY_T& registry = CodecLogRegistry();
    const LOG_NAME_TABLE_T receiver = GetLogNameTable(LOG_TABLE_RECEIVER);
    for (uint32_t i = 0; i < registry.Count; ++i)
    {
        const LOG_TYPE_T& type = registry.Rows[i];
        SCOPED_TRACE(type.Name);
        const uint16_t nCatalogue = CatalogueId(receiver, type.Name);
        if (nCatalogue != LOG_TYPE_NO_ID)
        {
            EXPECT_EQ(LogTypeId(type), nCatalogue);
        }
        // A decoder that looks its ID up by name needs a name the converter's catalogue has.
        if ((type.Uses & LOG_ID_FROM_CATALOGUE) && !Monitor())
        {
            EXPECT_NE(nCatalogue, LOG_TYPE_NO_ID);
        }
    }
}
ZV_BOTH_PROFILES(LogRegistry);

TEST(LogRegistryRows, EachUseHasItsFunctionAndTheStoreCountsWhatItKeeps)
{
    const LOG_REGISTRY_T& registry = CodecLogRegistry();
    uint32_t nSlots = 0;
    const LOG_SLOT_ROW_T* pSlots = GetStoreSlotList(&nSlots);
    for (uint32_t i = 0; i < registry.Count; ++i)
    {
        const LOG_TYPE_T& type = registry.Rows[i];
        SCOPED_TRACE(type.Name);
        if (type.Uses & (LOG_USE_DECODE | LOG_USE_STORE_TEXT))
        {
            EXPECT_NE(type.Decode, nullptr);
        }
        if (type.Uses & (LOG_USE_SHOW_TEXT | LOG_USE_CONVERT))
        {
            EXPECT_NE(type.Format, nullptr);
        }
        if (type.Uses & LOG_USE_CONVERT)
        {
            EXPECT_NE(type.Copy, nullptr);
        }
        if (type.BodyRule == LOG_BODY_NONE)
        {
            EXPECT_FALSE(type.Uses & LOG_USE_STORE_TEXT);
            continue;
        }
        EXPECT_LE(type.MinBody, type.KeepBody);
        EXPECT_LE(LOG_HEADER_LENGTH + type.KeepBody, LOG_MAX_BINARY_LENGTH);
        // The store counts a log by its slot list before it keeps the body.
        bool bCounted = false;
        for (uint32_t k = 0; k < nSlots; ++k)
            bCounted |= std::strcmp(pSlots[k].Name, type.Name) == 0 && pSlots[k].Id == type.MonitorId;
        EXPECT_TRUE(bCounted);
    }
}

TEST(LogRegistryRows, ALogAddedByOneRowIsDecoded)
{
    const LOG_REGISTRY_T& added = RegistryWithAddedLog();
    const std::string sLine = AddedLogText();
    const std::vector<uint8_t> binary = AddedLogBinary();
    std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH);
    int32_t n = 0;
    const auto Decode = [&](const std::string& s, const LOG_REGISTRY_T* pRegistry)
    { return DecodeLog(reinterpret_cast<const uint8_t*>(s.data()), int32_t(s.size()), out.data(), &n, pRegistry); };

    EXPECT_EQ(Decode(sLine, nullptr), 0) << "the codec's own registry has no such log";
    EXPECT_EQ(TextDecoderForId(ADDED_LOG_ID), nullptr);
    ASSERT_EQ(Decode(sLine, &added), 1);
    EXPECT_NE(TextDecoderForId(ADDED_LOG_ID, &added), nullptr);
    EXPECT_NE(TextDecoderForName("mark3pva", 8, &added), nullptr);

    // Text and binary form give the same record: header fields and body.
    ASSERT_EQ(n, int32_t(binary.size() - 4));
    const InsPvaBody body = AddedLogBody();
    EXPECT_EQ(std::memcmp(out.data() + LOG_HEADER_LENGTH, &body, sizeof body), 0);
    const BinaryLogHeader* h = reinterpret_cast<const BinaryLogHeader*>(out.data());
    EXPECT_EQ(h->MessageId, ADDED_LOG_ID);
    EXPECT_EQ(h->Week, 2295);
    EXPECT_EQ(h->Milliseconds, 79218000u);
    EXPECT_EQ(h->TimeStatus, 180);
}
} // namespace
