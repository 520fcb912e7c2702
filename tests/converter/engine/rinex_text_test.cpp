#include <gtest/gtest.h>

#include <string>

#include "converter/engine/rinex_text.h"

namespace
{
std::string Fixed(double d, uint32_t nWidth, uint32_t nDecimals)
{
    char buf[128];
    RinexText out(buf, sizeof buf);
    out.Fixed(d, nWidth, nDecimals);
    return std::string(out.Data(), out.Length());
}

TEST(RinexText, FixedPointStopsAtTheCapacity)
{
    char buf[10];
    RinexText out(buf, sizeof buf);
    out.Fixed(1.5, 8, 3);
    EXPECT_FALSE(out.Full());
    out.Fixed(1.5, 8, 3);
    EXPECT_TRUE(out.Full());
    EXPECT_EQ(std::string(out.Data()), "   1.500");
    EXPECT_EQ(Fixed(-21000000.12349, 14, 3), " -21000000.123");
}
} // namespace
