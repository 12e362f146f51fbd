#include "payrunreports/PeriodRep.h"

#include "ReportFixture.h"
#include "common/Money.h"

#include <gtest/gtest.h>

namespace kelo::payrunreports::testing {
namespace {

using common::align::Right;
using Nums = std::vector<std::string>;

// A pay-run list of net pay, two employees to a page, to drive the base.
class NetPayList : public PERIODREP {
public:
    NetPayList(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param)
        : PERIODREP(ui, code, folder, param) {
        setGeometry(common::PageGeometry::portrait(10, 15, 180, 270));
        setRowsPerPage(2);
        setFooterOffset(250);
        setColumns({{"", 8, Right}, {"Employee No.", 20}, {"Name", 40}, {"Net Pay", 25, Right}});
        placeColumns(0, 2);
    }
    using PERIODREP::setSortKey;
    using REPORTBASE::setReadStamp;

protected:
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override {
        return {{numberText(number), rec.empNum, rec.name, common::withThousands(rec.netPay)},
                {0, 0, 0, rec.netPay}};
    }
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override {
        for (std::size_t r = page.firstRow; r < page.endRow(); ++r, top += 5)
            drawCells(canvas, rows()[r].cells, top, 5, common::align::SingleLine);
    }
    std::string titleLine() const override {
        return "Net Pay List - " + header().periodTitle + " : " + param().groupTitle;
    }
};

struct PeriodRepTest : ReportFixture {
    std::unique_ptr<NetPayList> list(const common::REPORTPARAM& param, int sortKey = 0) {
        auto report = std::make_unique<NetPayList>(ui, code, folder, param);
        report->setSortKey(sortKey);
        if (!report->readFile(org))
            return nullptr;
        report->setReadStamp(common::ReadStamp::at({2025, 14, 3}, 9, 5));
        report->sort();
        report->layOut();
        return report;
    }
    common::REPORTPARAM param(std::int32_t type, const std::string& field, std::int32_t groupBy = 0,
                              const std::string& group = {}) const {
        common::REPORTPARAM p = common::newReportParam(type, org);
        p.fieldName = field;
        common::setGroup(p, groupBy, group);
        return p;
    }
};

TEST_F(PeriodRepTest, EachKindOfSelectionKeepsItsEmployees) {
    using namespace common;
    struct Case {
        std::int32_t groupBy;
        const char* name;
        Nums expected;
    };
    const Case cases[] = {
        {kGroupByNone, "", {"MH001", "MH002", "MH003"}},
        {kGroupByUnit, "Finance", {"MH001"}},              // own unit
        {kGroupByUnit, "head office", {"MH001", "MH002"}}, // any unit up the path, any case
        {kGroupByStation, "Mbeya", {"MH001"}},             //
        {kGroupByStation, "Dar es Salaam", {"MH002"}},     //
        {kGroupByPayGroup, "Office Staff", {"MH002"}},     //
        {kGroupByBank, "CRDB Bank", {"MH001"}},            //
        {kGroupByCoop, "Afya SACCOS", {"MH002"}},          // the second co-operative
        {kGroupByCoop, "Walimu SACCOS", {"MH001"}},        //
        {kGroupByPensionFund, "PSSSF", {"MH001"}},         //
        {kGroupByStation, "mbeya", {}},                    // stations compare exactly
        {kGroupByPayGroup, "Management ", {}},             //
        {kGroupByPensionFund, "NSSF Supplementary", {}},   //
    };
    for (const Case& c : cases) {
        ui.clear();
        const auto report = list(param(kReportPayrollSummary, "", c.groupBy, c.name));
        if (c.expected.empty()) {
            EXPECT_FALSE(report) << c.name;
            expectOneError("Sorry, report has no records\nand will not be printed.");
            continue;
        }
        ASSERT_TRUE(report) << c.name << messages();
        EXPECT_EQ(empNums(*report), c.expected) << c.groupBy << " " << c.name;
        EXPECT_TRUE(ui.messages.empty()) << messages();
    }
}

// Which employees each report's amount admits; a positive amount admits.
TEST_F(PeriodRepTest, EachReportAdmitsTheEmployeesWithAnAmount) {
    using namespace common;
    struct Case {
        std::int32_t type;
        const char* field;
        std::int32_t groupBy;
        const char* group;
        Nums expected;
    };
    const Nums all{"MH001", "MH002", "MH003"};
    const Case cases[] = {
        {kReportBasicPay, "", 0, "", all},
        {kReportPayslips, "", 0, "", all},
        {kReportPayrollSummary, "", 0, "", all},
        {kReportDeductions, "Rent", 0, "", {"MH002"}},
        {kReportDeductions, "Overdraft Recovery", 0, "", {"MH002"}},
        {kReportDeductions, "Rounding C/F", 0, "", {"MH002"}},
        {kReportDeductions, "Uniform", 0, "", {"MH001"}},
        {kReportEarnings, "Basic Pay", 0, "", all},
        {kReportEarnings, "Overtime", 0, "", {"MH001"}},
        {kReportEarnings, "Casual Hours", 0, "", {"MH002"}},
        {kReportBenefits, "Housing Benefit", 0, "", {"MH002"}},
        {kReportBenefits, "Motor Vehicle Benefit", 0, "", {"MH001"}},
        {kReportLumpSums, "Leave Bonus", 0, "", {"MH001"}},
        {kReportRefunds, "Rounding B/F", 0, "", {"MH002"}},
        {kReportRefunds, "Tax Refund", 0, "", {"MH001"}},
        {kReportHourlyPay, "Normal Overtime", 0, "", {"MH001"}},
        {kReportHourlyPay, "Casual Hours", 0, "", {"MH002"}},
        {kReportCompanyLoan, "Staff Loan", 0, "", {"MH001"}},
        {kReportSavingsPlan, "Staff Savings", 0, "", {"MH001"}},
        {kReportCoop, "", kGroupByCoop, "Walimu SACCOS", {"MH001"}},
        {kReportPensionFund, "", kGroupByPensionFund, "PSSSF", {"MH001"}},
        {kReportLumpSumTax, "", 0, "", {"MH001"}},
        // Net pay of those paid in cash, by cheque or by bank only.
        {kReportCashList, "Net Pay", 0, "", {"MH002"}},
        {kReportCoinage, "Net Pay", 0, "", {"MH002"}},
        {kReportChequeList, "Net Pay", 0, "", {"MH003"}},
        {kReportBankTransfer, "Net Pay", 0, "", {"MH001"}},
        {kReportBankTransfer, "CRDB Loan", 0, "", {"MH001"}},
        {kReportLowInterestBenefit, "Staff Loan", 0, "", {"MH001"}},
        {kReportHourlyPay, "Double Overtime", 0, "", {}},
        {kReportHourlyPay, "Transport Allowance", 0, "", {}}, // not hourly pay
        {kReportCoop, "", kGroupByCoop, "Afya SACCOS", {}},   // a member paying nothing
        {kReportCashList, "Uniform", 0, "", {}},              // paid by bank
    };
    for (const Case& c : cases) {
        ui.clear();
        const auto report = list(param(c.type, c.field, c.groupBy, c.group));
        if (c.expected.empty()) {
            EXPECT_FALSE(report) << c.type << " " << c.field;
            expectOneError("Sorry, report has no records\nand will not be printed.");
            continue;
        }
        ASSERT_TRUE(report) << c.type << " " << c.field << messages();
        EXPECT_EQ(empNums(*report), c.expected) << c.type << " " << c.field;
    }
}

TEST_F(PeriodRepTest, ABankFileWithoutRecordsIsNotSaved) {
    EXPECT_FALSE(list(param(common::kReportBarclaysFile, "Uniform")));
    expectOneError("Sorry, bank transfer file has no records\nand will not be saved.");
}

TEST_F(PeriodRepTest, AMissingFileIsToldOnceAndNothingIsRead) {
    std::filesystem::remove(workingFile());
    EXPECT_FALSE(list(currentParam()));
    ASSERT_EQ(ui.messages.size(), 1u) << messages();
}

TEST_F(PeriodRepTest, SortKeyOneOrdersByNameOtherwiseByNumber) {
    // A second "Banda, Grace" in other capitals comes after the first.
    addEmployee("MH006", "BANDA", "grace");
    writePeriodFile();
    EXPECT_EQ(empNums(*list(currentParam(), 0)), (Nums{"MH001", "MH002", "MH003", "MH006"}));
    EXPECT_EQ(empNums(*list(currentParam(), 2)), (Nums{"MH001", "MH002", "MH003", "MH006"}));
    const auto byName = list(currentParam(), 1);
    EXPECT_EQ(empNums(*byName), (Nums{"MH002", "MH006", "MH003", "MH001"}));
    // Numbers follow the new order.
    EXPECT_EQ(byName->rows()[0].cells[0], "1.");
    EXPECT_EQ(byName->rows()[3].cells[0], "4.");
    EXPECT_EQ(byName->rows()[3].cells[1], "MH001");
}

TEST_F(PeriodRepTest, PagesAreWalkedAndFound) {
    auto report = list(currentParam());
    ASSERT_EQ(report->pageCount(), 2);
    EXPECT_FALSE(report->previousPage());
    EXPECT_TRUE(report->nextPage());
    EXPECT_FALSE(report->nextPage());
    EXPECT_EQ(report->currentPage(), 2);
    EXPECT_TRUE(report->firstPage());
    EXPECT_FALSE(report->firstPage());
    EXPECT_TRUE(report->lastPage());
    EXPECT_TRUE(report->gotoPageNum("1"));
    EXPECT_EQ(report->pageCaption(), "Page 1 of 2");
    EXPECT_FALSE(report->gotoPageNum("3"));
    EXPECT_EQ(report->currentPage(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Page not found.");
    EXPECT_EQ(ui.messages[0].icon, common::MessageIcon::Information);

    testsupport::RecordingCanvas canvas;
    ASSERT_TRUE(report->print(canvas, common::PRINTERREC{}));
    EXPECT_EQ(canvas.textsOnPage(2), (Nums{"3.", "MH003", "Kileo, Ali Hassan", "188,238",
                                           "Page 2 of 2", "[Fri, 14 Mar 2025  9:05 AM]"}));
    // The footer 250 mm below the 10 mm margin.
    EXPECT_DOUBLE_EQ(canvas.findText("Page 2 of 2").front().rect.top, 260);
}

TEST_F(PeriodRepTest, TheTextExportListsTheRecordsAndTheirTotal) {
    const auto report = list(currentParam());
    // 870,450 + 360,000 + 188,238 = 1,418,688.
    EXPECT_EQ(report->exportText(), "Kilimo Traders Ltd\t\r\n"
                                    "Net Pay List - March 2025 : All Units\t\r\n"
                                    "\r\n"
                                    "\tEmployee No.\tName\tNet Pay\t\r\n"
                                    "1.\tMH001\tMwakyusa, Emmanuel\t870,450\t\r\n"
                                    "2.\tMH002\tBanda, Grace\t360,000\t\r\n"
                                    "3.\tMH003\tKileo, Ali Hassan\t188,238\t\r\n"
                                    "\t\tTotal\t1,418,688\t\r\n");
}

TEST_F(PeriodRepTest, RecordsAreGroupedByUnitOrStation) {
    struct Case {
        int grouping;
        std::int32_t groupBy;
        const char* unit;
        std::vector<RecordGroup> groups;
        Nums order;
    };
    // MH001 works in Finance under Head Office in Mbeya, MH002 at Head
    // Office in Dar es Salaam, MH003 in no unit nor station.
    const Case cases[] = {
        {0, 0, "", {{"", 0, 3}}, {"MH001", "MH002", "MH003"}},
        {1, 0, "", {{"", 0, 1}, {"Head Office", 1, 2}}, {"MH003", "MH001", "MH002"}},
        {1,
         common::kGroupByUnit,
         "Head Office",
         {{"Finance", 0, 1}, {"Head Office", 1, 1}},
         {"MH001", "MH002"}},
        {2,
         0,
         "",
         {{"", 0, 1}, {"Dar es Salaam", 1, 1}, {"Mbeya", 2, 1}},
         {"MH003", "MH002", "MH001"}},
    };
    for (const Case& c : cases) {
        auto report = list(param(common::kReportPayrollSummary, "", c.groupBy, c.unit));
        ASSERT_TRUE(report) << messages();
        EXPECT_EQ(report->groupRecords(c.grouping), c.groups) << c.grouping << " " << c.unit;
        EXPECT_EQ(empNums(*report), c.order) << c.grouping << " " << c.unit;
    }
}

TEST_F(PeriodRepTest, TheExportIsSavedToTheFileChosen) {
    const auto report = list(currentParam());
    const std::string path = dir.file("net pay.txt");
    ui.choices.push_back(path);
    ASSERT_TRUE(report->saveAsTxt(folder)) << messages();
    EXPECT_EQ(bytesOf(path), *report->exportText());
}

TEST(PeriodRepKeys, TheGroupKeyIsTheUnitBelowTheSelectedOne) {
    struct Case {
        const char* path;
        const char* selected;
        const char* key;
    };
    const Case cases[] = {
        {"Accounts.Finance.Head Office", "Finance", "Accounts"},
        {"Accounts.Finance.Head Office", "Accounts", "Accounts"},
        {"Accounts.Finance.Head Office", "", "Head Office"},
        {"Accounts.Finance.Head Office", "head office", "Finance"},
        {"Accounts.Finance.Head Office", "Stores", "Head Office"},
        {"Head Office", "", "Head Office"},
        {"", "Finance", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(groupKey(c.path, c.selected), c.key) << c.path << " / " << c.selected;
    EXPECT_EQ(ownUnit("Accounts.Finance.Head Office"), "Accounts");
    EXPECT_EQ(ownUnit(""), "");
}

} // namespace
} // namespace kelo::payrunreports::testing
