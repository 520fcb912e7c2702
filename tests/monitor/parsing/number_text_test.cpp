// Numbers as windows show them: plain decimals and floats without binary noise.
#include <gtest/gtest.h>

#include "monitor/parsing/number_text.h"

TEST(NumberText, PlainNumbersHaveNoExponentAndNoTrailingZeros)
{
    const struct
    {
        double Value;
        int Decimals;
        const char* Text;
    } cases[] = {
        {1.0, 6, "1"},           {0.05, 6, "0.05"},   {1234567.0, 6, "1234567"}, {0.2, 6, "0.2"},
        {-0.0000001, 6, "0"},    {2.5e-5, 6, "0.000025"}, {12.3456789, 3, "12.346"}, {86400.0, 6, "86400"},
        {-42.126, 2, "-42.13"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlainNumber(c.Value, c.Decimals), QString::fromLatin1(c.Text)) << c.Value;
}

TEST(NumberText, FloatsReadAsTheDecimalsTheyWereWrittenAs)
{
    const struct
    {
        float Value;
        int Decimals;
        const char* Text;
    } cases[] = {
        {0.1f, 9, "0.100000000"},    {0.03f, 9, "0.030000000"},   {-0.25f, 9, "-0.250000000"},
        {90.0f, 3, "90.000"},        {1.0f / 3.0f, 9, "0.333333340"}, {16777217.0f, 1, "16777216.0"},
        {-1.2345678f, 7, "-1.2345678"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatDecimals(c.Value, c.Decimals), QString::fromLatin1(c.Text)) << c.Value;
}
