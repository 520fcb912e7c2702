#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

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

std::string Printf(double d, uint32_t nWidth, uint32_t nDecimals)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%*.*f", int(nWidth), int(nDecimals), d);
    return buf;
}

// The fast path must give printf's text byte for byte, ties and signs included.
TEST(RinexText, FixedPointIsPrintfsText)
{
    const double aEdges[] = {
        0.0,           -0.0,           0.0005,         -0.0005,        0.0015, 1.0625,         -0.0004, 0.9995,
        0.99949999,    999999999.9995, 9999999999.999, -999999999.999, 1e15,   -3e16,          NAN,     INFINITY,
        21000000.1235, 125616570.3305, -1781.477,      45.2f,          38.5,   123456.0004999, 0.5,     2.5};
    for (double d : aEdges)
        for (uint32_t nDecimals : {0u, 1u, 3u, 7u, 9u})
            EXPECT_EQ(Fixed(d, 14, nDecimals), Printf(d, 14, nDecimals)) << d << " " << nDecimals;

    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> range(-3e8, 3e8);
    std::uniform_int_distribution<int> milli(-2000000, 2000000);
    for (int i = 0; i < 200000; ++i)
    {
        // Random doubles, and values on or next to whole thousandths (and their halves).
        const double d = i % 2 ? range(rng) : milli(rng) / 2000.0 + (i % 4 == 0 ? 1e-12 : 0.0);
        ASSERT_EQ(Fixed(d, 14, 3), Printf(d, 14, 3)) << d;
    }
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
}
} // namespace
