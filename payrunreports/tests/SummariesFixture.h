#pragma once

#include "ReportFixture.h"
#include "payrunreports/ControlAccount.h"
#include "payrunreports/MusterRoll.h"
#include "payrunreports/Summary.h"

#include <memory>
#include <string>

namespace kelo::payrunreports::testing {

// The reports with the time of reading fixed, so that footers compare.
struct TestSummary : SUMMARYREP {
    using REPORTBASE::setReadStamp;
    using SUMMARYREP::SUMMARYREP;
};
struct TestMusterRoll : MUSTERROLL {
    using MUSTERROLL::MUSTERROLL;
    using REPORTBASE::setReadStamp;
};
struct TestControlAccount : CONTROLACREP {
    using CONTROLACREP::CONTROLACREP;
    using REPORTBASE::setReadStamp;
};

// The worked payroll's period file (see PeriodFixture and the payslip tests
// for its figures) and the summaries read from it in the main program's
// order of calls.
struct SummariesFixture : ReportFixture {
    void setReportOption(std::int32_t id, std::string_view key, int value) {
        database::OPTIONSDB options(code, folder);
        ASSERT_TRUE(options.openFile());
        ASSERT_TRUE(options.setValue(id, key, value));
        options.closeFile();
    }

    common::REPORTPARAM paramOf(std::int32_t type, std::int32_t groupBy = 0,
                                const std::string& name = {}) const {
        common::REPORTPARAM param = common::newReportParam(type, org);
        common::setGroup(param, groupBy, name);
        return param;
    }

    template <class Report> bool read(Report& report) {
        if (!report.readFile(org))
            return false;
        report.setReadStamp(common::ReadStamp::at({2025, 14, 3}, 9, 5));
        return true;
    }

    std::unique_ptr<TestSummary> summary(std::int32_t groupBy = 0, const std::string& name = {}) {
        auto report = std::make_unique<TestSummary>(
            ui, code, folder, paramOf(common::kReportPayrollSummary, groupBy, name));
        if (!read(*report))
            return nullptr;
        report->sort();
        report->layOut();
        report->hideColumns();
        return report;
    }

    std::unique_ptr<TestMusterRoll> musterRoll(std::int32_t groupBy = 0,
                                               const std::string& name = {}) {
        auto report = std::make_unique<TestMusterRoll>(
            ui, code, folder, paramOf(common::kReportPeriodMusterRoll, groupBy, name));
        if (!read(*report))
            return nullptr;
        report->sort();
        report->groupRecords();
        report->hideColumns();
        report->layOut();
        return report;
    }

    std::unique_ptr<TestControlAccount> controlAccount(std::int32_t groupBy = 0,
                                                       const std::string& name = {}) {
        auto report = std::make_unique<TestControlAccount>(
            ui, code, folder, paramOf(common::kReportPeriodControlAccount, groupBy, name));
        if (!read(*report))
            return nullptr;
        report->controlTotals();
        report->layOut();
        return report;
    }

    // A salaried employee with basic pay of 300,000 and nothing else, in
    // unit `unit` (0: none).
    void addEmployeeIn(const std::string& empNum, const std::string& lastName, long unit) {
        Employee e = salim();
        e.rec.empNum = empNum;
        e.rec.lastName = lastName;
        e.rec.otherNames = "Test";
        e.rec.hoursPerDay = 8;
        e.rec.hoursPerMonth = 176;
        e.personnel.unit = static_cast<std::int32_t>(unit);
        hire(e);
        database::VARDB pay(code, folder);
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, defs));
        ASSERT_TRUE(pay.setDefinitions(defs) && pay.openFile(common::MONTHLY));
        common::VARIATIONSREC rec = common::newVariationsRec(pay.definitions());
        rec.empNum = empNum;
        ASSERT_TRUE(pay.appendRec(rec));
        pay.closeFile();
    }

    long addUnit(const std::string& name, long parent) {
        database::UNITSDB units(code, folder);
        EXPECT_TRUE(units.openFile());
        database::UNITREC unit{0, name, parent};
        EXPECT_TRUE(units.appendRecord(unit));
        units.closeFile();
        return unit.code;
    }
};

// The lines of an export without their CR LF ends.
inline std::vector<std::string> exportLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        lines.push_back(bytes.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return lines;
}

} // namespace kelo::payrunreports::testing
