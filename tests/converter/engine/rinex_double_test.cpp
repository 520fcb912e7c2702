#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "converter/engine/rinex_nav.h"

namespace
{
std::string Format(double d, int nWidth = 19, int nDigits = 12, int nExp = 2, char cLetter = 'D')
{
    char sz[80] = "unchanged";
    const int n = FormatRinexDouble(d, nWidth, nDigits, nExp, cLetter, sz);
    return n == 0 ? std::string(sz) : "error";
}

// Reads a field back as a RINEX reader does: the exponent letter taken as E.
double ReadBack(std::string s)
{
    for (char& c : s)
        if (c == 'D')
            c = 'E';
    return std::strtod(s.c_str(), nullptr);
}
} // namespace

TEST(FormatRinexDouble, WritesTheFieldOfEachValue)
{
    struct Case
    {
        double dValue;
        int nWidth, nDigits;
        const char* pExpected;
    };
    const Case cases[] = {
        {1.5, 19, 12, "  .150000000000D+01"},
        {-1.5, 19, 12, " -.150000000000D+01"},
        {0.0, 19, 12, "  .000000000000D+00"},
        {-0.0, 19, 12, "  .000000000000D+00"},
        {1e-120, 19, 12, "  .000000000000D+00"}, // below the smallest exponent: zero
        // Powers of ten stand as .1 with the exponent one above.
        {1.0, 19, 12, "  .100000000000D+01"},
        {10.0, 19, 12, "  .100000000000D+02"},
        {0.1, 19, 12, "  .100000000000D+00"},
        {1e-9, 19, 12, "  .100000000000D-08"},
        {604800.0, 19, 12, "  .604800000000D+06"},
        {-1e22, 19, 12, " -.100000000000D+23"},
        // Rounding that carries into a new digit moves into the exponent.
        {9.9999999999999, 19, 12, "  .100000000000D+02"},
        {-9.9999999999999, 19, 12, " -.100000000000D+02"},
        {0.99999999999999, 19, 12, "  .100000000000D+01"},
        {999999.99999999, 19, 12, "  .100000000000D+07"},
        {9.99999999999e-5, 19, 12, "  .999999999999D-04"}, // no carry: all twelve nines stay
        {123456789012.6, 19, 12, "  .123456789013D+12"},
        // The header fields.
        {1.5e-8, 12, 4, "   .1500D-07"},
        {9.99999e-9, 12, 4, "   .1000D-07"},
        {-1.5e-8, 17, 10, " -.1500000000D-07"},
        {7.45058059692e-9, 16, 9, "  .745058060D-08"},
    };
    for (const Case& c : cases)
    {
        const std::string s = Format(c.dValue, c.nWidth, c.nDigits);
        EXPECT_EQ(s, c.pExpected) << c.dValue;
        EXPECT_EQ(s.size(), static_cast<size_t>(c.nWidth)) << c.dValue;
    }
}

TEST(FormatRinexDouble, ReadsBackWithinTheLastDigitAcrossMagnitudes)
{
    // Values next to powers of ten, where a carry is most likely.
    for (int e = -30; e <= 30; ++e)
        for (double f : {1.0, 0.99999999999995, 0.999999999999949, 1.00000000000005, 5.5, 9.99999999999951})
            for (double sign : {1.0, -1.0})
            {
                const double d = sign * f * std::pow(10.0, e);
                const std::string s = Format(d);
                ASSERT_EQ(s.size(), 19u) << d;
                ASSERT_EQ(s[2], '.') << s;
                EXPECT_NEAR(ReadBack(s), d, std::fabs(d) * 1e-12) << s;
            }
}

TEST(FormatRinexDouble, RefusesWhatCannotMakeAField)
{
    char sz[80];
    EXPECT_EQ(FormatRinexDouble(1.0, 19, 12, 2, 'D', nullptr), -1);
    EXPECT_EQ(FormatRinexDouble(1.0, 18, 12, 2, 'D', sz), -1); // no room for the leading blank
    EXPECT_EQ(FormatRinexDouble(1.0, 19, 12, 2, 0, sz), -1);
    EXPECT_EQ(FormatRinexDouble(NAN, 19, 12, 2, 'D', sz), -1);
    EXPECT_EQ(FormatRinexDouble(INFINITY, 19, 12, 2, 'D', sz), -1);
    EXPECT_EQ(FormatRinexDouble(1e100, 19, 12, 2, 'D', sz), -1); // exponent +101 needs three digits
    EXPECT_STREQ(sz, "");
    EXPECT_EQ(Format(1e100, 20, 12, 3), "  .100000000000D+101");
    EXPECT_EQ(Format(2.5, 19, 12, 2, 'E'), "  .250000000000E+01");
}
