#include "MonthFixture.h"
#include "payrunreports/PeriodDbEx.h"
#include "payrunreports/tests/ReadableView.h"

#include <filesystem>

namespace kelo::monthlyreturns::testing {
namespace {

namespace fs = std::filesystem;

struct MonthDbTest : MonthFixture {
    MONTHFILE read(const std::string& path) {
        MONTHFILE file;
        EXPECT_TRUE(readMonthFile(ui, folder, path, org, file)) << messages();
        return file;
    }
    std::string resolved(const std::string& path) const { return folder.resolve(path); }
};

TEST_F(MonthDbTest, FileNamesFollowTheWizardsRule) {
    EXPECT_EQ(MONTHDB::monthFilePath(2025, 2), "2025/Febret.dbf");
    EXPECT_EQ(MONTHDB::monthFilePath(2024, 9), "2024/Sepret.dbf");
    EXPECT_EQ(MONTHDB::interimFilePath(2025, 4), "2025/Aprret.int");
    EXPECT_EQ(MONTHDB::reportFilePath(2025, 4, org), "2025/Aprret.int");
    EXPECT_EQ(MONTHDB::reportFilePath(2025, 3, org), "2025/Marret.dbf");
}

TEST_F(MonthDbTest, EachClosedPeriodIsKeptInItsMonthInFrequencyAndDateOrder) {
    const MONTHFILE feb = read("2025/Febret.dbf");
    EXPECT_EQ(feb.year, 2025);
    EXPECT_EQ(feb.month, 2);
    EXPECT_EQ(feb.employer.name, "Kilimo Traders Ltd");
    EXPECT_EQ(feb.employer.tin, "100-200-300");
    EXPECT_EQ(feb.employer.nssfNum, "NSSF-0042");
    struct Expected {
        common::PAYFREQ payFreq;
        int day;
        const char* title;
        const char* source;
        std::size_t employees;
    };
    const std::vector<Expected> expected{
        {common::MONTHLY, 0, "February 2025", "2025/mon02.dbf", 2},
        {common::WEEKLY, 21, "Week ending 21 February 2025", "2025/wk0221.dbf", 2},
        {common::WEEKLY, 28, "Week ending 28 February 2025", "2025/wk0228.dbf", 2}};
    ASSERT_EQ(feb.periods.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MONTHPERIOD& p = feb.periods[i];
        EXPECT_EQ(p.payFreq, expected[i].payFreq) << i;
        EXPECT_EQ(p.period, (common::date{2025, static_cast<std::uint8_t>(expected[i].day), 2}))
            << i;
        EXPECT_EQ(p.title, expected[i].title) << i;
        EXPECT_EQ(p.source, expected[i].source) << i;
        EXPECT_EQ(p.sdlRate, 4) << i;
        EXPECT_EQ(p.employees.size(), expected[i].employees) << i;
    }
    const MONTHEMP& njau = feb.periods[2].employees[1];
    EXPECT_EQ(njau.empNum, "W002");
    EXPECT_EQ(njau.name, "Njau, Rehema Anna");
    EXPECT_EQ(njau.grossPay, 137503);
    EXPECT_EQ(njau.nssfEmployee, 13750);
    EXPECT_EQ(njau.chargeablePay, 123753);
    EXPECT_EQ(njau.sdl, 5500);
    EXPECT_EQ(njau.stationName, "Dar es Salaam");
    EXPECT_EQ(read("2025/Marret.dbf").periods.size(), 2u);
}

// The file's bytes are fixed: months closed years ago must still read.
TEST_F(MonthDbTest, TheMonthsFileAsWritten) {
    expectGoldenFile(payrunreports::testing::readableView(bytesOf(resolved("2025/Febret.dbf"))),
                     "Febret.txt");
}

TEST_F(MonthDbTest, ClosingAPeriodAgainReplacesItsCopy) {
    org.month = "March";
    org.weekEndDay = 28;
    closePeriod(common::WEEKLY, {kKileo, kNjau1});
    const MONTHFILE mar = read("2025/Marret.dbf");
    ASSERT_EQ(mar.periods.size(), 2u);
    EXPECT_EQ(mar.periods[1].employees.size(), 2u);
}

// The month's PAYE read back through the period files themselves, apart
// from the store.
TEST_F(MonthDbTest, PayeTotalIsTheSumOfThePeriodFilesPaye) {
    payrunreports::PERIODDBEX reader(owner, code, folder);
    double paye = 0;
    for (const char* path : {"2025/mon02.dbf", "2025/wk0221.dbf", "2025/wk0228.dbf"}) {
        ASSERT_TRUE(reader.open(ui, path, org)) << messages();
        payrunreports::REPORTREC rec;
        while (reader.readRecord(ui, rec))
            paye += rec.paye;
        reader.close();
    }
    EXPECT_EQ(paye, 132700); // 125,500 + 7,200
    auto report = open(common::kReportPayeReturn, 2);
    ASSERT_TRUE(report) << messages();
    EXPECT_EQ(report->totalsThrough(report->pageCount()).at(10), paye);
}

TEST_F(MonthDbTest, NssfIsTwentyPercentOfTheMembersWagesEachShareRoundedDown) {
    // Wage, then 10 % of it rounded down, worked by hand for each member.
    struct Member {
        double wage, share;
    };
    const std::vector<Member> members{
        {400000, 40000}, {1100000, 110000}, {125000, 12500}, {137503, 13750}};
    double wages = 0, total = 0;
    for (const Member& m : members) {
        wages += m.wage;
        total += 2 * m.share;
    }
    EXPECT_EQ(wages, 1762503);
    EXPECT_EQ(total, 352500); // 20 % of the wages is 352,500.60
    auto report = open(common::kReportNssfReturn, 2);
    ASSERT_TRUE(report) << messages();
    const std::vector<double> totals = report->totalsThrough(report->pageCount());
    EXPECT_EQ(totals.at(5), wages);
    EXPECT_EQ(totals.at(6) + totals.at(7), total);
    EXPECT_EQ(totals.at(8), total);
}

TEST_F(MonthDbTest, SdlIsTheRateOfEachEmployeesGrossRoundedDown) {
    // Gross pay of each employee's period and 4 % of it rounded down.
    struct Levy {
        double gross, sdl;
    };
    const std::vector<Levy> levies{{1100000, 44000}, {400000, 16000}, {150000, 6000},
                                   {125000, 5000},   {150000, 6000},  {137503, 5500}};
    double gross = 0, sdl = 0;
    for (const Levy& l : levies) {
        gross += l.gross;
        sdl += l.sdl;
    }
    EXPECT_EQ(gross, 2062503);
    EXPECT_EQ(sdl, 82500); // 4 % of the whole is 82,500.12
    auto report = open(common::kReportSdlReturn, 2);
    ASSERT_TRUE(report) << messages();
    const auto& rows = report->rows();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[3].cells[0], "Gross emoluments");
    EXPECT_EQ(rows[3].figures[1], gross);
    EXPECT_EQ(rows[6].cells[1], "4.00");
    EXPECT_EQ(rows[7].cells[0], "SDL due");
    EXPECT_EQ(rows[7].figures[1], sdl);
}

TEST_F(MonthDbTest, AMonthWithNoClosedPeriodHasNoData) {
    for (const int month : {1, 4}) {
        EXPECT_FALSE(open(common::kReportPayeReturn, month));
        ASSERT_EQ(ui.messages.size(), 1u) << messages();
        EXPECT_EQ(ui.messages[0].text,
                  "There is no pay data for " + common::monthName(month) + " 2025.");
        EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Information);
        ui.clear();
    }
}

struct BadFile {
    const char* name;
    std::string (*spoil)(const std::string& bytes);
    const char* message;
};

TEST_F(MonthDbTest, ADamagedOrForeignFileIsToldByNameAndKept) {
    const std::vector<BadFile> cases{
        {"cut short", [](const std::string& b) { return b.substr(0, b.size() / 2); },
         "File \"%s\" has invalid terminator."},
        {"another organisation",
         [](const std::string& b) {
             std::string out = b;
             out.replace(out.find("../org01"), 8, "../org02");
             return out;
         },
         "File \"2025/Marret.dbf\" was written for another organisation (../org02)."}};
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = resolved("2025/Marret.dbf");
        const std::string good = bytesOf(path);
        const std::string bad = c.spoil(good);
        writeBytes(path, bad);
        std::string message = c.message;
        if (const auto at = message.find("%s"); at != std::string::npos)
            message.replace(at, 2, path);
        org.month = "March";
        org.weekEndDay = 28;
        MONTHDB store(owner, code, folder);
        EXPECT_FALSE(store.checkFiles(ui, org));
        EXPECT_FALSE(store.updateFile(ui, common::MONTHLY, org, true));
        ASSERT_EQ(ui.messages.size(), 2u) << messages();
        for (const auto& m : ui.messages) {
            EXPECT_EQ(m.text, message);
            EXPECT_EQ(m.icon, common::MessageIcon::Error);
        }
        EXPECT_EQ(bytesOf(path), bad);
        ui.clear();
        org.month = "April";
        EXPECT_FALSE(open(common::kReportNssfReturn, 3));
        ASSERT_EQ(ui.messages.size(), 1u) << messages();
        EXPECT_EQ(ui.messages[0].text, message);
        ui.clear();
        writeBytes(path, good);
    }
}

TEST_F(MonthDbTest, APeriodTheLogDoesNotKnowIsRefused) {
    org.month = "April";
    MONTHDB store(owner, code, folder);
    EXPECT_FALSE(store.updateFile(ui, common::MONTHLY, org, true));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The pay log keeps no report file for April 2025.");
    EXPECT_FALSE(fs::exists(resolved("2025/Aprret.dbf")));
}

TEST_F(MonthDbTest, RenumberingChangesEveryMonthOfTheYear) {
    common::EMPNUMREC change{"m001", "M100", common::MONTHLY};
    writeBytes(resolved("2025/Aprret.int"), "stale");
    MONTHDB store(owner, code, folder);
    EXPECT_TRUE(store.updateEmpNum(ui, change, org)) << messages();
    EXPECT_FALSE(fs::exists(resolved("2025/Aprret.int")));
    for (const char* path : {"2025/Febret.dbf", "2025/Marret.dbf"}) {
        const MONTHFILE file = read(path);
        ASSERT_FALSE(file.periods.empty());
        EXPECT_EQ(file.periods[0].employees[0].empNum, "M100") << path;
        EXPECT_EQ(file.periods[0].employees[1].empNum, "M002") << path;
    }
}

TEST_F(MonthDbTest, TheInterimFileHoldsTheOpenMonthAndGoesAtMonthEnd) {
    org.month = "March";
    const std::string interim = resolved("2025/Marret.int");
    EXPECT_TRUE(MONTHDB::requireFile(folder, 2025, 3, org));
    EXPECT_FALSE(MONTHDB::requireFile(folder, 2025, 2, org));
    MONTHDB store(owner, code, folder);
    ASSERT_TRUE(store.writeInterimFile(ui, org)) << messages();
    EXPECT_FALSE(MONTHDB::requireFile(folder, 2025, 3, org));
    const MONTHFILE file = read("2025/Marret.int");
    EXPECT_EQ(file.periods, read("2025/Marret.dbf").periods);
    // The month's file changing makes it stale.
    fs::last_write_time(resolved("2025/Marret.dbf"),
                        fs::last_write_time(interim) + std::chrono::seconds(5));
    EXPECT_TRUE(MONTHDB::requireFile(folder, 2025, 3, org));
    store.delInterimFile(org);
    EXPECT_FALSE(fs::exists(interim));
}

TEST(SplitNameTest, LastNameThenFirstAndTheRest) {
    struct Case {
        const char* name;
        const char* first;
        const char* middle;
        const char* last;
    };
    for (const Case& c :
         std::vector<Case>{{"Mwakyusa, Emmanuel John", "Emmanuel", "John", "Mwakyusa"},
                           {"Banda, Grace", "Grace", "", "Banda"},
                           {"Njau, Rehema Anna Mary", "Rehema", "Anna Mary", "Njau"},
                           {"Juma", "", "", "Juma"}}) {
        const SplitName s = splitName(c.name);
        EXPECT_EQ(s.first, c.first) << c.name;
        EXPECT_EQ(s.middle, c.middle) << c.name;
        EXPECT_EQ(s.last, c.last) << c.name;
    }
}

} // namespace
} // namespace kelo::monthlyreturns::testing
