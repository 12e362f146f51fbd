#include "engine/Util4.h"

#include <gtest/gtest.h>

namespace kelo::engine {
namespace {

TEST(Util4, NumberTextConversions) {
    struct LongCase {
        long value;
        int width;
        const char* text;
    };
    for (const LongCase& c :
         {LongCase{42, 5, "   42"}, LongCase{42, -5, "00042"}, LongCase{-42, -5, "-0042"},
          LongCase{123456, 4, "****"}, LongCase{0, 1, "0"}})
        EXPECT_EQ(ltoa4(c.value, c.width), c.text) << c.value;
    struct DoubleCase {
        double value;
        int width;
        int decimals;
        const char* text;
    };
    for (const DoubleCase& c :
         {DoubleCase{1234.565, 10, 2, "   1234.57"}, DoubleCase{-0.5, 4, 0, "  -1"},
          DoubleCase{36000, 8, 0, "   36000"}, DoubleCase{99999.5, 5, 0, "*****"}})
        EXPECT_EQ(dtoa4(c.value, c.width, c.decimals), c.text) << c.value;
    EXPECT_EQ(atol4("  -17abc"), -17);
    EXPECT_EQ(atof4("  -1234.56  "), -1234.56);
    EXPECT_EQ(atof4("+0.5x"), 0.5);
    EXPECT_EQ(atof4(""), 0);
    EXPECT_EQ(atof4("--1"), 0);
    EXPECT_EQ(atof4("1e999"), 1); // exponents are not xBase numbers
    EXPECT_EQ(atol4("x"), 0);
}

TEST(Util4, TextHelpers) {
    std::string text = "Mwl. Äbc-9";
    upper4(text);
    EXPECT_EQ(text, "MWL. ÄBC-9");
    EXPECT_EQ(boundedCopy("supervisor", 5), "supe");
    EXPECT_EQ(boundedCopy("ab", 20), "ab");
    EXPECT_EQ(boundedCopy("ab", 0), "");
}

} // namespace
} // namespace kelo::engine
