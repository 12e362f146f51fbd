#include "common/Calendar.h"
#include "common/DateText.h"
#include "common/Text.h"

#include <gtest/gtest.h>

namespace kelo::common {
namespace {

TEST(Calendar, MonthsLengthsAndFiscalYears) {
    EXPECT_EQ(monthName(1), "January");
    EXPECT_EQ(monthName(12), "December");
    EXPECT_EQ(monthName(0), "");
    EXPECT_EQ(monthName(13), "");
    EXPECT_EQ(monthNumber("july"), 7);
    EXPECT_EQ(monthNumber("Jul"), 0);
    struct Case {
        int month, year, days, fiscal;
        bool firstHalf;
    };
    const Case cases[] = {
        {2, 2024, 29, 2023, true}, {2, 2100, 28, 2099, true},  {2, 2000, 29, 1999, true},
        {6, 2025, 30, 2024, true}, {7, 2025, 31, 2025, false}, {12, 2025, 31, 2025, false},
        {1, 2026, 31, 2025, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(daysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
        EXPECT_EQ(fiscalYearOf(c.month, c.year), c.fiscal) << c.month << "/" << c.year;
        EXPECT_EQ(isFirstHalfYear(c.month), c.firstHalf) << c.month;
    }
}

TEST(Text, EmployeeKeysAndTrimming) {
    EXPECT_EQ(employeeKey("e001"), "E001               ");
    EXPECT_EQ(employeeKey("abcdefghijklmnopqrstuvwxyz"), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(employeeKey("").size(), 19u);
    EXPECT_EQ(trim("  Dar es Salaam \t"), "Dar es Salaam");
    EXPECT_EQ(trimRight("  x  "), "  x");
    EXPECT_EQ(trim("   "), "");
    EXPECT_TRUE(equalsIgnoreCase("Supervisor", "SUPERVISOR"));
    EXPECT_FALSE(equalsIgnoreCase("Supervisor", "Supervisors"));
    // Bytes of UTF-8 letters are compared as they are.
    EXPECT_TRUE(equalsIgnoreCase("J\xC3\x89R\xC3\x94ME", "j\xC3\x89r\xC3\x94me"));
    EXPECT_FALSE(equalsIgnoreCase("\xC3\x89", "\xC3\xA9"));
}

} // namespace
} // namespace kelo::common

namespace kelo::common {
namespace {

TEST(DateText, ReadsAndWritesDayMonthYear) {
    struct Case {
        const char* text;
        bool ok;
        date expected;
    };
    const Case cases[] = {
        {"", true, date{}},
        {"  ", true, date{}},
        {"14/03/1968", true, date{1968, 14, 3}},
        {"1-7-2026", true, date{2026, 1, 7}},
        {"29.02.2024", true, date{2024, 29, 2}},
        {"29/02/2023", false, {}},
        {"31/04/2026", false, {}},
        {"00/01/2026", false, {}},
        {"01/13/2026", false, {}},
        {"01/01/1899", false, {}},
        {"01/01/3001", false, {}},
        {"01/01/26x", false, {}},
        {"01/2026", false, {}},
        {"1/1/2026/1", false, {}},
    };
    for (const Case& c : cases) {
        date out{1, 1, 1};
        EXPECT_EQ(parseDate(c.text, out), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(out, c.expected) << c.text;
        }
    }
    EXPECT_EQ(formatDate(date{1968, 14, 3}), "14/03/1968");
    EXPECT_EQ(formatDate(date{1968, 0, 3}), "03/1968");
    EXPECT_EQ(formatDate(date{1968, 0, 0}), "1968");
    EXPECT_EQ(formatDate(date{}), "");
}

} // namespace
} // namespace kelo::common
