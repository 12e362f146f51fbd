#include "YtdFixture.h"
#include "common/Text.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::yeartodate::testing {
namespace {

namespace fs = std::filesystem;

struct YtdDbTest : YtdFixture {
    YtdFile read(const std::string& path) {
        YtdFile file;
        EXPECT_TRUE(readYtdFile(ui, folder, path, org, file)) << messages();
        return file;
    }

    static const YTDREC* find(const YtdFile& file, const std::string& empNum) {
        for (const YTDREC& rec : file.records)
            if (common::equalsIgnoreCase(rec.empNum, empNum))
                return &rec;
        return nullptr;
    }

    static std::vector<std::string> empNums(const YtdFile& file) {
        std::vector<std::string> nums;
        for (const YTDREC& rec : file.records)
            nums.push_back(rec.empNum);
        return nums;
    }
};

// Read line by line against the worked payroll. January: MH001 basic
// 1,000,000, overtime 75,000, transport 100,000; NSSF 117,500; chargeable
// 1,063,500, PAYE 20,000 + 48,000 + 60,000 + 63,500 x 30 % = 147,050; net
// 870,450. February without the overtime: NSSF 110,000, chargeable 996,000,
// PAYE 20,000 + 48,000 + 236,000 x 25 % = 127,000, net 823,000. March adds
// the night allowance of 7,000: NSSF 118,200, chargeable 1,069,800, PAYE
// 148,940, net 874,860. MH002 every month: basic 20 days at 20,000, casual
// hours 31,256, rounding C/F 81, housing 50,000, net 360,000; MH003 188,238
// net. MH006 is paid 162,000 in February and March only.
TEST_F(YtdDbTest, ThreeMonthEndsOfTwoPayrollsGiveTheYearsFile) {
    threeMonths();
    const std::string bytes = bytesOf(yearFile());
    expectGolden(bytes, "ytd.dbf");
    expectGolden(readableView(bytes), "ytd.txt");
    EXPECT_EQ(bytes.rfind("# YTD report file for 2025\n# [../org01/2025/ytd.dbf]\n# \n", 0), 0u);
    EXPECT_FALSE(fs::exists(interimFile()));
    EXPECT_EQ(owner.statusTexts.front(), "Updating 2025/ytd.dbf...");
    EXPECT_EQ(owner.statusTexts.back(), "");
}

TEST_F(YtdDbTest, TheInterimFileAddsTheOpenMonthOfEveryPayroll) {
    threeMonths();
    const std::string year = bytesOf(yearFile());
    org.month = "April";
    YTDDB db(owner, code, folder);
    ASSERT_TRUE(db.checkFiles(ui, org)) << messages();
    ASSERT_TRUE(db.writeInterimFile(ui, org)) << messages();
    EXPECT_TRUE(ui.messages.empty()) << messages();
    const std::string bytes = bytesOf(interimFile());
    expectGolden(bytes, "ytd.int");
    expectGolden(readableView(bytes), "ytd-int.txt");
    EXPECT_EQ(bytesOf(yearFile()), year);
    db.delInterimFile(org);
    EXPECT_FALSE(fs::exists(interimFile()));
    EXPECT_EQ(owner.statusTexts.back(), "");
    EXPECT_NE(
        std::find(owner.statusTexts.begin(), owner.statusTexts.end(), "Deleting 2025/ytd.int..."),
        owner.statusTexts.end());
}

TEST_F(YtdDbTest, TheFirstMonthEndMakesOneBlockPerPaidEmployee) {
    monthEnd("January");
    const YtdFile file = read("2025/ytd.dbf");
    // MH004 is off the payroll and MH005 has no master row.
    EXPECT_EQ(empNums(file), (std::vector<std::string>{"MH001", "MH002", "MH003"}));
    EXPECT_EQ(file.header.yearText, "2025");
    EXPECT_EQ(file.header.orgName, "Kilimo Traders Ltd");
    EXPECT_EQ(file.names[common::EARNINGS],
              (std::vector<std::string>{"Transport Allowance", "Casual Hours", "Shift Allowance"}));
    EXPECT_EQ(file.names[common::DEDUCTIONS].size(), 6u);
    const YTDREC& m = *find(file, "MH001");
    EXPECT_EQ(m.unitPath, "Finance.Head Office");
    EXPECT_EQ(m.jobTitle, "Manager");
    EXPECT_EQ(m.stationName, "Mbeya");
    EXPECT_EQ(m.monthFlags, (std::array<int, kMonths>{1}));
}

TEST_F(YtdDbTest, AnEmployeeWithoutATransactionsRecordKeepsHisBlock) {
    monthEnd("January");
    const YTDREC before = *find(read("2025/ytd.dbf"), "MH003");
    edit("MH003", [](common::VARIATIONSREC& rec) { rec.removed = 1; });
    monthEnd("February");
    const YtdFile file = read("2025/ytd.dbf");
    EXPECT_EQ(*find(file, "MH003"), before);
    EXPECT_EQ(find(file, "MH001")->monthFlags, (std::array<int, kMonths>{1, 1}));
}

TEST_F(YtdDbTest, AnItemDefinedMidYearIsInEveryBlockWithEarlierMonthsZero) {
    threeMonths();
    const YtdFile file = read("2025/ytd.dbf");
    // The weekly payroll's earning came first, in January.
    ASSERT_EQ(file.names[common::EARNINGS].size(), 4u);
    EXPECT_EQ(file.names[common::EARNINGS][3], "Night Allowance");
    const YtdRow& night = find(file, "MH001")->lists[common::EARNINGS][3].row;
    EXPECT_EQ(night.flag, 1);
    EXPECT_EQ(night.amounts, (std::array<double, kMonths>{0, 0, 7000}));
    // MH006 is no monthly employee, yet his block has the row, empty.
    const YtdNamedRow& weekly = find(file, "MH006")->lists[common::EARNINGS][3];
    EXPECT_EQ(weekly, (YtdNamedRow{"Night Allowance", YtdRow{}}));
}

struct Renumbering {
    const char* from;
    const char* to;
    std::vector<std::string> order;
};

struct YtdRenumberTest : YtdDbTest, ::testing::WithParamInterface<Renumbering> {};

TEST_P(YtdRenumberTest, TheBlockTakesItsNewNumberAndPlace) {
    threeMonths();
    const YTDREC before = *find(read("2025/ytd.dbf"), GetParam().from);
    YTDDB db(owner, code, folder);
    ASSERT_TRUE(db.updateEmpNum(ui, common::EMPNUMREC{GetParam().from, GetParam().to}, org));
    EXPECT_TRUE(ui.messages.empty()) << messages();
    const YtdFile file = read("2025/ytd.dbf");
    EXPECT_EQ(empNums(file), GetParam().order);
    YTDREC after = *find(file, GetParam().to);
    after.empNum = before.empNum;
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    Renumberings, YtdRenumberTest,
    ::testing::Values(Renumbering{"MH001", "ZZ001", {"MH002", "MH003", "MH006", "ZZ001"}},
                      Renumbering{"MH006", "AA006", {"AA006", "MH001", "MH002", "MH003"}},
                      Renumbering{"mh002", "MH0025", {"MH001", "MH0025", "MH003", "MH006"}}));

TEST_F(YtdDbTest, RenumberingBackGivesTheSameBytes) {
    threeMonths();
    const std::string before = bytesOf(yearFile());
    YTDDB db(owner, code, folder);
    ASSERT_TRUE(db.updateEmpNum(ui, common::EMPNUMREC{"MH002", "ZZ002"}, org));
    EXPECT_NE(bytesOf(yearFile()), before);
    ASSERT_TRUE(db.updateEmpNum(ui, common::EMPNUMREC{"ZZ002", "MH002"}, org));
    EXPECT_EQ(bytesOf(yearFile()), before);
}

TEST_F(YtdDbTest, RenumberingAnEmployeeWithoutABlockChangesNothing) {
    YTDDB db(owner, code, folder);
    // No file yet this year.
    EXPECT_TRUE(db.updateEmpNum(ui, common::EMPNUMREC{"MH001", "MH100"}, org));
    EXPECT_FALSE(fs::exists(yearFile()));
    monthEnd("January");
    const std::string before = bytesOf(yearFile());
    const auto written = fs::last_write_time(yearFile());
    EXPECT_TRUE(db.updateEmpNum(ui, common::EMPNUMREC{"MH006", "MH106"}, org));
    EXPECT_EQ(bytesOf(yearFile()), before);
    EXPECT_EQ(fs::last_write_time(yearFile()), written);
    EXPECT_TRUE(ui.messages.empty()) << messages();
}

TEST_F(YtdDbTest, RenumberingWorksOnlyInTheCurrentYearsFile) {
    monthEnd("January");
    fs::create_directories(folder.resolve("2024"));
    fs::copy_file(yearFile(), folder.resolve("2024/ytd.dbf"));
    org.year = 2024;
    YTDDB db(owner, code, folder);
    // Last year's file names itself 2025/ytd.dbf: it is not this year's.
    EXPECT_FALSE(db.updateEmpNum(ui, common::EMPNUMREC{"MH001", "MH100"}, org));
    EXPECT_EQ(ui.messages.size(), 1u);
    ui.clear();
    org.year = 2025;
    ASSERT_TRUE(db.updateEmpNum(ui, common::EMPNUMREC{"MH001", "MH100"}, org));
    EXPECT_EQ(bytesOf(folder.resolve("2024/ytd.dbf")).find("MH100"), std::string::npos);
}

// A year's file that cannot be trusted is refused with the message of its
// fault, and nothing is written over it.
struct BadFile {
    const char* name;
    std::string (*spoil)(const std::string& bytes);
    const char* message;
};

struct YtdBadFileTest : YtdDbTest, ::testing::WithParamInterface<BadFile> {
    void spoilYearFile() {
        monthEnd("January");
        writeBytes(yearFile(), GetParam().spoil(bytesOf(yearFile())));
        spoiled = bytesOf(yearFile());
        org.month = "February";
    }
    // "@" in the message stands for the file's full path.
    std::string message() const {
        std::string text = GetParam().message;
        const auto at = text.find('@');
        return at == std::string::npos ? text : text.replace(at, 1, yearFile());
    }
    void expectRefused() {
        expectOneError(message());
        EXPECT_EQ(bytesOf(yearFile()), spoiled);
    }
    std::string spoiled;
};

TEST_P(YtdBadFileTest, TheMonthEndRefusesIt) {
    spoilYearFile();
    YTDDB db(owner, code, folder);
    EXPECT_FALSE(db.updateFile(ui, common::MONTHLY, org, true));
    expectRefused();
}

TEST_P(YtdBadFileTest, TheChecksRefuseIt) {
    spoilYearFile();
    YTDDB db(owner, code, folder);
    // A damaged block is found only when the file is read.
    if (std::string(GetParam().name) == "DamagedBlock") {
        EXPECT_TRUE(db.checkFiles(ui, org)) << messages();
        return;
    }
    EXPECT_FALSE(db.checkFiles(ui, org));
    expectRefused();
}

TEST_P(YtdBadFileTest, RenumberingRefusesIt) {
    spoilYearFile();
    YTDDB db(owner, code, folder);
    EXPECT_FALSE(db.updateEmpNum(ui, common::EMPNUMREC{"MH001", "MH100"}, org));
    expectRefused();
}

TEST_P(YtdBadFileTest, TheInterimFileRefusesIt) {
    spoilYearFile();
    YTDDB db(owner, code, folder);
    EXPECT_FALSE(db.writeInterimFile(ui, org));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.front().text, message());
    EXPECT_EQ(bytesOf(yearFile()), spoiled);
    EXPECT_FALSE(fs::exists(interimFile()));
}

std::string cutShort(const std::string& bytes) {
    return bytes.substr(0, bytes.size() / 2);
}
std::string foreign(const std::string& bytes) {
    std::string out = bytes;
    out.replace(out.find("[../org01/"), 10, "[../org07/");
    return out;
}
std::string moved(const std::string& bytes) {
    std::string out = bytes;
    const std::string written = common::scramble("2025/ytd.dbf");
    out.replace(out.find(written), written.size(), common::scramble("2025/ytd.old"));
    return out;
}
std::string damagedBlock(const std::string& bytes) {
    std::string out = bytes;
    out.erase(out.find("\\end{YTD}"), 9);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, YtdBadFileTest,
    ::testing::Values(BadFile{"CutShort", cutShort, "File \"@\" has invalid terminator."},
                      BadFile{
                          "Foreign", foreign,
                          "File \"2025/ytd.dbf\" was written for another organisation (../org07)."},
                      BadFile{"Moved", moved,
                              "File  \"@\" has been renamed or moved. Its original name and "
                              "location were \"2025/ytd.old\""},
                      BadFile{"DamagedBlock", damagedBlock, "Unable to open 2025/ytd.dbf"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(YtdDbTest, ChecksPassForAWholeFolderAndNameAMissingList) {
    YTDDB db(owner, code, folder);
    EXPECT_TRUE(db.checkFiles(ui, org)) << messages();
    fs::remove(folder.resolve("database/irrpay.dat"));
    EXPECT_FALSE(db.checkFiles(ui, org));
    expectOneError("Can't find \"" + folder.resolve("database/irrpay.dat") + "\"");
}

TEST_F(YtdDbTest, AMonthEndWithoutDefinitionsLeavesTheFile) {
    monthEnd("January");
    const std::string before = bytesOf(yearFile());
    fs::remove(folder.resolve("database/wkpay.dat"));
    org.month = "February";
    YTDDB db(owner, code, folder);
    EXPECT_FALSE(db.updateFile(ui, common::WEEKLY, org, true));
    expectOneError("Unable to open database/wkpay.dat");
    EXPECT_EQ(bytesOf(yearFile()), before);
}

} // namespace
} // namespace kelo::yeartodate::testing
