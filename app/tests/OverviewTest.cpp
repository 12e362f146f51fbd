#include "app/shell/Overview.h"

#include "app/shell/Commands.h"

#include <gtest/gtest.h>

namespace kelo::app {
namespace {

TEST(PeriodOverview, NamesTheOrganisationItsMonthAndEveryFrequencysPeriod) {
    EXPECT_TRUE(periodOverview({}).empty());
    common::ORGREC org;
    org.name = "Mbeya Highland Tea Estates Ltd";
    org.month = "November";
    org.year = 2026;
    org.fiscalYear = 2026;
    org.weekEndDay = 7;
    org.fortnightEndDay = 14;
    org.irregEndDay = 1;
    const std::vector<std::string> expected{
        "Mbeya Highland Tea Estates Ltd",
        "Current month: November 2026 (fiscal year 2026/27)",
        "Monthly payroll: November 2026 (working on)",
        "Weekly payroll: week ending 7 November 2026",
        "Biweekly payroll: fortnight ending 14 November 2026",
        "Irregular payroll: period ending 1 November 2026",
    };
    EXPECT_EQ(periodOverview(org), expected);
    org.fiscalYear = 2008; // the century's turn keeps two digits
    EXPECT_EQ(periodOverview(org)[1], "Current month: November 2026 (fiscal year 2008/09)");
    org.payFreq = common::BIWEEKLY;
    const std::vector<std::string> biweekly = periodOverview(org);
    EXPECT_EQ(biweekly[2], "Monthly payroll: November 2026");
    EXPECT_EQ(biweekly[4], "Biweekly payroll: fortnight ending 14 November 2026 (working on)");
}

TEST(DocumentCaption, NamesTheFileAndMonthOrThePayrollAndItsPeriod) {
    common::ORGREC org;
    org.month = "November";
    org.year = 2026;
    org.weekEndDay = 7;
    org.fortnightEndDay = 14;
    org.irregEndDay = 2;
    const struct {
        DocumentKind document;
        common::PAYFREQ payFreq;
        std::string caption;
    } cases[] = {
        {DocumentKind::Personnel, common::WEEKLY, "Personnel file as at November 2026"},
        {DocumentKind::PayrollMaster, common::MONTHLY, "Payroll master file as at November 2026"},
        {DocumentKind::Leave, common::BIWEEKLY, "Absence and leave file as at November 2026"},
        {DocumentKind::PayFields, common::MONTHLY, "Payroll for November 2026"},
        {DocumentKind::PayFields, common::WEEKLY, "Payroll for week ending 7 November 2026"},
        {DocumentKind::PayFields, common::BIWEEKLY,
         "Payroll for fortnight ending 14 November 2026"},
        {DocumentKind::Transactions, common::IRREGULAR,
         "Payroll for pay period ending 2 November 2026"},
        {DocumentKind::Transactions, common::MONTHLY, "Payroll for November 2026"},
        {DocumentKind::Report, common::MONTHLY, ""},
        {DocumentKind::None, common::MONTHLY, ""},
    };
    for (const auto& c : cases) {
        org.payFreq = c.payFreq;
        EXPECT_EQ(documentCaption(c.document, org), c.caption) << c.caption;
    }
}

TEST(WhyGrayed, SaysWhichRightOrStateGraysACommand) {
    common::USERREC clerk;
    clerk.menuType = common::kFullMenu;
    clerk.exclusiveAccess = 1;
    clerk.manageUsers = 1;
    const struct {
        const char* what;
        int id;
        DocumentKind document;
        std::string reason;
    } cases[] = {
        {"enabled", cmd::About, DocumentKind::None, ""},
        {"right to set up", cmd::BasicInfo, DocumentKind::None,
         "Needs the right \"Set up open organisation\"."},
        {"right to restore", cmd::Restore, DocumentKind::None,
         "Needs the right \"Restore files\"."},
        {"right to add organisations", cmd::NewOrg, DocumentKind::None,
         "Needs the right \"Add and delete organisations\"."},
        {"nothing open to close", cmd::Close, DocumentKind::None, "Needs an open window."},
        {"a window open", cmd::OpenOrg, DocumentKind::Personnel, "Close the open window first."},
        {"not in this window", cmd::Add, DocumentKind::PayrollMaster, "Not in this window."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CommandContext context;
        context.user = clerk;
        context.document = c.document;
        EXPECT_EQ(whyGrayed(c.id, context), c.reason);
    }
}

} // namespace
} // namespace kelo::app
