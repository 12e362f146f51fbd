#include "database/PayLogDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

using common::BIWEEKLY;
using common::date;
using common::IRREGULAR;
using common::MONTHLY;
using common::ORGREC;
using common::PAYFREQ;
using common::WEEKLY;

ORGREC orgIn(const std::string& month, int year, int weekEnd = 7, int fortnightEnd = 14,
             int irregular = 2) {
    ORGREC org = common::newOrgRec(1);
    org.name = "Acme Ltd";
    org.month = month;
    org.year = year;
    org.weekEndDay = weekEnd;
    org.fortnightEndDay = fortnightEnd;
    org.irregEndDay = irregular;
    return org;
}

class PayLogDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(log.createFile(ui));
        ui.clear();
    }
    std::vector<date> periods(PAYFREQ payFreq) {
        std::vector<date> out;
        EXPECT_TRUE(log.closedPeriods(payFreq, out));
        return out;
    }
    long rows() {
        auto table = engine::Data4::open(code, log.path());
        return table ? table->recCount() : -1;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    PAYLOGDB log{code, folder};
};

TEST_F(PayLogDbTest, LivesInTheOrganisationSettings) {
    EXPECT_EQ(log.path(), dir.file("org01/settings/paylog.dbf"));
    EXPECT_TRUE(isValid(code, folder, PAYLOGDB::kPath));
}

TEST_F(PayLogDbTest, PeriodFilePathsByFrequencyAndPeriod) {
    struct Case {
        PAYFREQ payFreq;
        ORGREC org;
        date period;
        std::string kept;
        std::string working;
    };
    const std::vector<Case> cases{
        {MONTHLY, orgIn("March", 2024), {2024, 0, 3}, "2024/mon03.dbf", "2024/monperiod.int"},
        {WEEKLY, orgIn("March", 2024), {2024, 7, 3}, "2024/wk0307.dbf", "2024/wkperiod.int"},
        {BIWEEKLY, orgIn("March", 2024), {2024, 14, 3}, "2024/bwk0314.dbf", "2024/bwkperiod.int"},
        {IRREGULAR, orgIn("March", 2024), {2024, 2, 3}, "2024/irr0302.dbf", "2024/irrperiod.int"},
        {WEEKLY,
         orgIn("december", 2023, 29),
         {2023, 29, 12},
         "2023/wk1229.dbf",
         "2023/wkperiod.int"},
        {BIWEEKLY,
         orgIn("October", 2025, 7, 31),
         {2025, 31, 10},
         "2025/bwk1031.dbf",
         "2025/bwkperiod.int"},
        {IRREGULAR,
         orgIn("January", 2026, 7, 14, 11),
         {2026, 11, 1},
         "2026/irr0111.dbf",
         "2026/irrperiod.int"},
        {MONTHLY, orgIn("Smarch", 2024), {}, "", "2024/monperiod.int"},
        {static_cast<PAYFREQ>(7), orgIn("March", 2024), {}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        EXPECT_EQ(PAYLOGDB::currentPeriod(c.payFreq, c.org), c.period);
        EXPECT_EQ(PAYLOGDB::getCurPeriodFile(c.payFreq, c.org), c.kept);
        EXPECT_EQ(PAYLOGDB::getTmpPeriodFile(c.payFreq, c.org.year), c.working);
    }
}

TEST_F(PayLogDbTest, ClosingAPeriodLogsItsKeptFile) {
    const ORGREC march = orgIn("March", 2024);
    EXPECT_EQ(log.getPeriodFile(WEEKLY, {2024, 7, 3}), std::nullopt);
    ASSERT_TRUE(log.updatePayLog(ui, WEEKLY, march));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Updating paylog.dbf...", ""}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(log.getPeriodFile(WEEKLY, {2024, 7, 3}), "2024/wk0307.dbf");
    // The same date of another frequency is another period.
    EXPECT_EQ(log.getPeriodFile(BIWEEKLY, {2024, 7, 3}), std::nullopt);
    EXPECT_EQ(log.getPeriodFile(WEEKLY, {2024, 14, 3}), std::nullopt);
    EXPECT_FALSE(log.isOpen());

    ASSERT_TRUE(log.updatePayLog(ui, WEEKLY, orgIn("March", 2024, 14)));
    ASSERT_TRUE(log.updatePayLog(ui, BIWEEKLY, march));
    ASSERT_TRUE(log.updatePayLog(ui, MONTHLY, march));
    ASSERT_TRUE(log.updatePayLog(ui, IRREGULAR, march));
    ASSERT_TRUE(log.updatePayLog(ui, WEEKLY, orgIn("February", 2024, 23)));
    EXPECT_EQ(log.getPeriodFile(MONTHLY, {2024, 0, 3}), "2024/mon03.dbf");
    EXPECT_EQ(log.getPeriodFile(BIWEEKLY, {2024, 14, 3}), "2024/bwk0314.dbf");
    EXPECT_EQ(log.getPeriodFile(IRREGULAR, {2024, 2, 3}), "2024/irr0302.dbf");
    EXPECT_EQ(periods(WEEKLY), (std::vector<date>{{2024, 23, 2}, {2024, 7, 3}, {2024, 14, 3}}));
    EXPECT_EQ(periods(MONTHLY), (std::vector<date>{{2024, 0, 3}}));
    EXPECT_EQ(rows(), 6);

    // Closing a logged period again replaces its row.
    ASSERT_TRUE(log.updatePayLog(ui, WEEKLY, march));
    EXPECT_EQ(rows(), 6);
    EXPECT_EQ(log.getPeriodFile(WEEKLY, {2024, 7, 3}), "2024/wk0307.dbf");
}

TEST_F(PayLogDbTest, TheRowNamesThePeriodAndTheDayItClosed) {
    ASSERT_TRUE(log.updatePayLog(ui, BIWEEKLY, orgIn("June", 2024, 7, 28)));
    ASSERT_TRUE(log.openFile());
    ASSERT_EQ(log.data()->go(1), engine::r4success);
    auto text = [&](const char* column) { return log.data()->field(column)->trimmed(); };
    auto number = [&](const char* column) { return log.data()->field(column)->getLong(); };
    EXPECT_EQ(number("PAYFREQ"), 2);
    EXPECT_EQ(number("YEAR"), 2024);
    EXPECT_EQ(number("MONTH"), 6);
    EXPECT_EQ(number("DAY"), 28);
    EXPECT_EQ(text("FILENAME"), "2024/bwk0628.dbf");
    const date today = date::today();
    char expected[16];
    std::snprintf(expected, sizeof expected, "%04d%02d%02d", static_cast<int>(today.year),
                  today.month, today.day);
    EXPECT_EQ(text("CLOSEDON"), expected);
}

TEST_F(PayLogDbTest, AnOpenLogKeepsItsOrder) {
    ASSERT_TRUE(log.openFile());
    log.data()->select(nullptr);
    ASSERT_TRUE(log.updatePayLog(ui, MONTHLY, orgIn("May", 2024)));
    EXPECT_EQ(log.getPeriodFile(MONTHLY, {2024, 0, 5}), "2024/mon05.dbf");
    EXPECT_TRUE(log.isOpen());
    EXPECT_EQ(log.data()->selected(), nullptr);
}

TEST_F(PayLogDbTest, PurgingForgetsTheYearsWhoseFoldersArePurged) {
    for (int year : {2018, 2019, 2020, 2021, 2022})
        ASSERT_TRUE(log.updatePayLog(ui, MONTHLY, orgIn("December", year)));
    ASSERT_TRUE(log.updatePayLog(ui, WEEKLY, orgIn("January", 2020)));
    ORGREC org = orgIn("January", 2023);
    org.purgeReports = 1;
    org.purgeAge = 2;
    ui.clear();
    ASSERT_TRUE(log.purgeLog(ui, org));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Updating paylog.dbf...", ""}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(periods(MONTHLY), (std::vector<date>{{2021, 0, 12}, {2022, 0, 12}}));
    EXPECT_TRUE(periods(WEEKLY).empty());
    EXPECT_EQ(rows(), 2);

    // Nothing older left: nothing changes.
    ASSERT_TRUE(log.purgeLog(ui, org));
    EXPECT_EQ(rows(), 2);
}

TEST_F(PayLogDbTest, AMissingLogIsToldAndGivesNoFiles) {
    std::filesystem::remove(log.path());
    EXPECT_FALSE(log.updatePayLog(ui, MONTHLY, orgIn("March", 2024)));
    EXPECT_EQ(ui.lastMessage(), "Can't open settings/paylog.dbf");
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
    EXPECT_EQ(ui.statusTexts.back(), "");
    EXPECT_FALSE(log.purgeLog(ui, orgIn("March", 2024)));
    EXPECT_EQ(ui.messages.size(), 2u);
    ui.clear();
    std::vector<date> out{{2024, 0, 1}};
    EXPECT_FALSE(log.closedPeriods(MONTHLY, out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(log.getPeriodFile(MONTHLY, {2024, 0, 3}), std::nullopt);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(PayLogDbTest, AnInvalidPeriodIsRefused) {
    EXPECT_FALSE(log.updatePayLog(ui, MONTHLY, orgIn("Smarch", 2024)));
    EXPECT_EQ(ui.lastMessage(), "Can't update settings/paylog.dbf: the pay period is not valid.");
    EXPECT_FALSE(log.updatePayLog(ui, static_cast<PAYFREQ>(9), orgIn("March", 2024)));
    EXPECT_EQ(rows(), 0);
}

TEST_F(PayLogDbTest, ALockedRowOrLogIsLeftAsItWas) {
    ASSERT_TRUE(log.updatePayLog(ui, MONTHLY, orgIn("March", 2024)));
    ASSERT_TRUE(log.updatePayLog(ui, MONTHLY, orgIn("March", 2019)));
    auto other = engine::Data4::open(code, log.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(1), engine::r4success);
    other->field("FILENAME")->assign("kept/by/other.dbf");

    const std::string inUse = "Can't update settings/paylog.dbf because another user is using it.";
    ui.clear();
    EXPECT_FALSE(log.updatePayLog(ui, MONTHLY, orgIn("March", 2024)));
    EXPECT_EQ(ui.lastMessage(), inUse);
    EXPECT_EQ(ui.statusTexts.back(), "");
    ORGREC purging = orgIn("March", 2024);
    purging.purgeAge = 2;
    EXPECT_FALSE(log.purgeLog(ui, purging));
    EXPECT_EQ(ui.lastMessage(), inUse);
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(code.errorCode(), 0);
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(log.getPeriodFile(MONTHLY, {2019, 0, 3}), "2019/mon03.dbf");

    ASSERT_EQ(other->unlock(), engine::r4success);
    other.reset();
    EXPECT_EQ(log.getPeriodFile(MONTHLY, {2024, 0, 3}), "kept/by/other.dbf");
    ASSERT_TRUE(log.updatePayLog(ui, MONTHLY, orgIn("March", 2024)));
    EXPECT_EQ(log.getPeriodFile(MONTHLY, {2024, 0, 3}), "2024/mon03.dbf");
}

} // namespace
} // namespace kelo::database
