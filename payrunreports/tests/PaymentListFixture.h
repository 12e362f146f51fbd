#pragma once

#include "ReportFixture.h"
#include "payrunreports/BankRep.h"
#include "payrunreports/CashList.h"
#include "payrunreports/ChequeList.h"
#include "payrunreports/CoinageRep.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace kelo::payrunreports::testing {

using Texts = std::vector<std::string>;

// Where a text is drawn and in which type.
struct Placed {
    const char* text;
    double left, top, width, height;
    const char* face;
    double points;
    int weight;
    int flags;
};

inline void expectPlaced(const testsupport::RecordingCanvas& canvas, const Placed& p,
                         int page = 1) {
    for (const auto& e : canvas.findText(p.text)) {
        if (e.page != page)
            continue;
        EXPECT_DOUBLE_EQ(e.rect.left, p.left) << p.text;
        EXPECT_DOUBLE_EQ(e.rect.top, p.top) << p.text;
        EXPECT_DOUBLE_EQ(e.rect.width, p.width) << p.text;
        EXPECT_DOUBLE_EQ(e.rect.height, p.height) << p.text;
        EXPECT_EQ(e.font.face, p.face) << p.text;
        EXPECT_EQ(e.font.pointSize, p.points) << p.text;
        EXPECT_EQ(e.font.weight, p.weight) << p.text;
        EXPECT_EQ(e.flags, p.flags) << p.text;
        return;
    }
    ADD_FAILURE() << "\"" << p.text << "\" is not on page " << page;
}

// Lines of a page in one pen style, as "x1 y1 x2 y2".
inline Texts linesOf(const testsupport::RecordingCanvas& canvas, common::PenStyle style,
                     int page = 1) {
    Texts lines;
    char buffer[64];
    for (const auto& e : canvas.elements) {
        if (e.kind != testsupport::RecordingCanvas::Kind::Line || e.page != page ||
            e.pen.style != style)
            continue;
        std::snprintf(buffer, sizeof buffer, "%g %g %g %g", e.rect.left, e.rect.top, e.rect.right(),
                      e.rect.bottom());
        lines.push_back(buffer);
    }
    return lines;
}

// The whole text of a page's line of dots to sign on: the label and two
// runs of 45 dots.
inline std::string signLine(const std::string& label) {
    return label + std::string(90, '.');
}

// A report with the time of reading fixed, so that footers compare.
template <class Report> struct Stamped : Report {
    using common::REPORTBASE::setReadStamp;
    using Report::Report;
};

// The worked payroll, whose employees are paid one each way: MH001 by bank
// (net 870,450; CRDB Loan 30,000 to CRDB Bank, Mbeya, LN-77), MH002 in cash
// (net 360,000) and MH003 by cheque (net 188,238).
struct PaymentListFixture : ReportFixture {
    common::REPORTPARAM listParam(std::int32_t type, const std::string& field,
                                  std::int32_t groupBy = 0, const std::string& group = {}) const {
        common::REPORTPARAM param = common::newReportParam(type, org);
        param.fieldName = field;
        common::setGroup(param, groupBy, group);
        return param;
    }

    // Read, ordered and laid out as the main program does.
    template <class Report, class... Extra>
    std::unique_ptr<Stamped<Report>> read(const common::REPORTPARAM& param, Extra&&... extra) {
        auto report = std::make_unique<Stamped<Report>>(ui, code, folder, param,
                                                        std::forward<Extra>(extra)...);
        if (!report->readFile(org))
            return nullptr;
        report->setReadStamp(common::ReadStamp::at({2025, 14, 3}, 9, 5));
        report->sort();
        report->layOut();
        return report;
    }

    void setListOption(std::int32_t report, std::string_view key, int value) {
        database::OPTIONSDB options(code, folder);
        ASSERT_TRUE(options.openFile());
        ASSERT_TRUE(options.setValue(report, key, value));
        options.closeFile();
    }

    // Another employee paid by bank transfer: his salary is all his net pay.
    void addBankEmployee(const std::string& empNum, const std::string& lastName,
                         const std::string& otherNames, const std::string& idNum,
                         const std::string& bank, const std::string& branch,
                         const std::string& account, double salary) {
        addEmployee(empNum, lastName, otherNames);
        Employee e = salim();
        e.rec.empNum = empNum;
        e.rec.lastName = lastName;
        e.rec.otherNames = otherNames;
        e.rec.idNum = idNum;
        e.rec.hoursPerDay = 8;
        e.rec.hoursPerMonth = 176;
        e.rec.salary = salary;
        e.rec.payMethod = common::kPayByBankTransfer;
        e.rec.bankName = bank;
        e.rec.branchName = branch;
        e.rec.accountNum = account;
        hire(e);
    }

    // The CRDB Loan keyed for an employee, paid to the loan's own account.
    void payBankLoan(const std::string& empNum, double amount, const std::string& bank,
                     const std::string& branch, const std::string& loanNumber) {
        edit(empNum, [&](common::VARIATIONSREC& rec) {
            common::PayItem& loan = rec.deductions[deduction::kCrdbLoan];
            loan.active = 1;
            loan.amount = amount;
            loan.params = common::BankLoanParams{5, 0, bank, branch, loanNumber};
        });
    }

    static std::vector<std::string> cellsOf(const common::REPORTBASE& report, std::size_t row) {
        return report.rows().at(row).cells;
    }
};

} // namespace kelo::payrunreports::testing
