#include "PeriodFixture.h"
#include "payrunreports/PeriodFormat.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

namespace fs = std::filesystem;

// Compares with the golden file beside this test; KELO_UPDATE_GOLDEN=1
// accepts the output as the new golden file.
void expectGolden(const std::string& actual, const std::string& name) {
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / name;
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::create_directories(golden.parent_path());
        writeBytes(golden.string(), actual);
    }
    const std::string expected = bytesOf(golden.string());
    if (actual != expected) {
        writeBytes((fs::current_path() / name).string(), actual);
        ADD_FAILURE() << "differs from " << golden << "; the output is in "
                      << (fs::current_path() / name) << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    }
}

struct PeriodDbTest : PeriodFixture {
    void write(bool current = false) {
        PERIODDB db(owner, code, folder);
        ASSERT_TRUE(db.checkFiles(ui, common::MONTHLY, org)) << messages();
        ASSERT_TRUE(db.writeFile(ui, common::MONTHLY, org, current)) << messages();
        EXPECT_TRUE(ui.messages.empty()) << messages();
    }
};

// The golden file holds the payroll worked by hand below; the readable
// golden beside it shows the same bytes with the values unscrambled.
//
// MH001: basic 1,000,000; overtime 10 x 7,500 = 75,000; gross 1,175,000
// with the transport allowance. NSSF 10 % = 117,500 each side. Benefits
// 50,000 + loan benefit (12 - 6) % x 1,200,000 / 12 = 6,000 = 56,000;
// taxable 1,231,000. PSSSF 5 % of basic = 50,000; relief 117,500 + 50,000
// = 167,500; chargeable 1,063,500; PAYE 63,500 x 30 % + 240,000 x 25 % +
// 240,000 x 20 % + 250,000 x 8 % = 19,050 + 60,000 + 48,000 + 20,000 =
// 147,050. Statutory 20,000 + 147,050 + 117,500 = 284,550; other
// deductions 100,000 + 20,000 + 50,000 + 30,000 + 10,000 + 15,000 =
// 225,000; total 509,550 (489,550 less lump sum tax). Pay 1,175,000 +
// 200,000 + 5,000 = 1,380,000; net 870,450. SDL 4 % = 47,000.
// Loan: interest 1,200,000 x 6 / 1200 = 6,000, all paid; principal
// 94,000; closing 1,106,000; 11 payments left. Co-operative 180,000 +
// 20,000 = 200,000. Pension 400,000 + 50,000 each side. Bank loan 4
// payments left. Savings interest 100,000 x 6 / 1200 = 500, closing
// 110,500. Uniform paid off: balance 0, flag 1.
// MH002: full pay 20,000 x 176 / 8 = 440,000; basic (22 - 2) x 20,000 =
// 400,000; casual hours 12.5 x 2,500.50 = 31,256.25 -> 31,256; gross
// 431,256; NSSF 43,125 each side. Housing 15 % of 431,256 = 64,688.40, at
// most 60,000, less rent 10,000 = 50,000; taxable 481,256; chargeable
// 481,256 - 43,125 = 438,131; PAYE 168,131 x 8 % = 13,450.48 -> 13,450.
// Statutory 56,575; other deductions 5,000 + 10,000 = 15,000. Pay
// 431,256 + 400 = 431,656; less 71,575 = 360,081, rounded down to 360,000
// with 81 carried (total deductions 71,656). SDL 17,250.24 -> 17,250.
// MH003: 150.5 x 1,250.75 = 188,237.875 -> 188,238, all of it net; SDL
// 7,529.52 -> 7,529.
TEST_F(PeriodDbTest, WritesThePeriodFileByteForByte) {
    write();
    const std::string bytes = bytesOf(workingFile());
    expectGolden(bytes, "monperiod.int");
    expectGolden(readableView(bytes), "monperiod.txt");
    EXPECT_EQ(bytes.rfind("# Report file for March 2025\n# [../org01/2025/monperiod.int]\n# \n", 0),
              0u);
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Creating 2025/monperiod.int...", ""}));
}

} // namespace
} // namespace kelo::payrunreports::testing
