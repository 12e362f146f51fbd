#include "payrunreports/BankDetails.h"
#include "payrunreports/BankFiles.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::payrunreports {
namespace {

using namespace bankfile;

struct TextCase {
    std::string in;
    std::string out;
};

TEST(BankFormat, AccountNumbersKeepTheDigitsOfTheirFirst25Characters) {
    for (const TextCase& c : std::vector<TextCase>{
             {"01-234 567", "01234567"},
             {"LN-77", "77"},
             {"A/C no.", ""},
             {"", ""},
             {"1234567890 1234567890 1234567890", "12345678901234567890123"},
         })
        EXPECT_EQ(accountDigits(c.in), c.out) << c.in;
}

TEST(BankFormat, NamesLoseTheirCommasWithin55Characters) {
    const std::string longName = "Mwakyusa, " + std::string(44, 'E') + ", Jr, Sr";
    for (const TextCase& c : std::vector<TextCase>{
             {"Mwakyusa, Emmanuel", "Mwakyusa Emmanuel"},
             {"O,Brien, Pat", "OBrien Pat"},
             {"Njau", "Njau"},
             {longName, "Mwakyusa " + std::string(44, 'E')},
         })
        EXPECT_EQ(nameWithoutCommas(c.in), c.out) << c.in;
}

TEST(BankFormat, StanbicAccountsAreThirteenCharactersWithLeadingZeros) {
    for (const TextCase& c : std::vector<TextCase>{
             {"01234567", "0000001234567"},
             {"1", "0000000000001"},
             {"1234567890123", "1234567890123"},
         })
        EXPECT_EQ(stanbicAccount(c.in), c.out) << c.in;
}

TEST(BankFormat, StanbicAmountsAreInCents) {
    EXPECT_EQ(centsText(150000.50), "15000050");
    EXPECT_EQ(centsText(870450), "87045000");
    EXPECT_EQ(centsText(0.29), "29");
    EXPECT_EQ(centsText(1234.57), "123457");
}

TEST(BankFormat, FieldsDatesAndCodes) {
    EXPECT_EQ(fileLine({"T", "3", "1647239.00"}, ','), "T,3,1647239.00\r\n");
    EXPECT_EQ(fileLine({"", "KE", ""}, '#'), "#KE#\r\n");
    EXPECT_EQ(amountWithCents(870450), "870450.00");
    EXPECT_EQ(amountWithCents(0.5), "0.50");
    EXPECT_EQ(leftInWidth("MH001", 10), "MH001     ");
    EXPECT_EQ(leftInWidth("MH0012345678", 10), "MH00123456");
    const common::date day{2025, 8, 3};
    EXPECT_EQ(dayMonthYear(day, "/"), "08/03/2025");
    EXPECT_EQ(dayMonthYear(day), "08032025");
    EXPECT_EQ(yearMonthDay(day), "20250308");
    EXPECT_EQ(zeroPadded(5, 2), "05");
    EXPECT_EQ(bankCodeOf("03101"), "03");
    EXPECT_EQ(branchCodeOf("03101"), "101");
    EXPECT_EQ(bankCodeOf("7 101"), "7 ");
    EXPECT_EQ(bankCodeOf("7"), " 7");
    EXPECT_EQ(branchCodeOf("7"), "");
}

std::shared_ptr<const ReportItemDef> deductionDef(std::string name, std::string type) {
    auto def = std::make_shared<ReportItemDef>();
    def->name = std::move(name);
    def->reportType = std::move(type);
    return def;
}

REPORTREC employee() {
    REPORTREC rec;
    rec.empNum = "MH001";
    rec.name = "Mwakyusa, Emmanuel";
    rec.payMethod = common::kPayByBankTransfer;
    rec.bankName = "CRDB Bank";
    rec.branchName = "Mbeya";
    rec.accountNum = "0152000001";
    rec.netPay = 870450;
    auto& deductions = rec.itemsOf(common::DEDUCTIONS);
    deductions.push_back({deductionDef("Salary Advance", "Advance"), 40000, {}});
    deductions.push_back({deductionDef("CRDB Loan", "Bank Loan Payment"), 30000,
                          BankLoanFigures{4, "NMB Bank", "Tukuyu", "LN-77"}});
    return rec;
}

TEST(BankDetailsOfARecord, FollowThePayField) {
    struct Case {
        std::string field;
        BankDetails details;
    };
    for (const Case& c : std::vector<Case>{
             {"Net Pay", {"CRDB Bank", "Mbeya", "0152000001", 870450}},
             {"Salary Advance", {"CRDB Bank", "Mbeya", "0152000001", 40000}},
             {"CRDB Loan", {"NMB Bank", "Tukuyu", "LN-77", 30000}},
             {"Staff Savings", {"CRDB Bank", "Mbeya", "0152000001", 0}},
         })
        EXPECT_EQ(bankDetails(employee(), c.field), c.details) << c.field;
}

} // namespace
} // namespace kelo::payrunreports
