#pragma once

#include "payrunreports/FieldReport.h"

#include <string>

namespace kelo::payrunreports {

// The employee's membership number in the co-operative a co-op loan is owed
// to; empty for a company loan.
std::string loanMemberNumber(const REPORTREC& rec, const ReportItem& loan);

// A company or co-op loan: the balance it opened with, the interest charged,
// the payment split into interest and principal, and the closing balance.
class LOANREP : public SingleFieldReport {
public:
    LOANREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
            const common::REPORTPARAM& param);

    std::string caption() const override { return fieldCaption(); }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
};

// A savings plan: opening balance, interest earned, the deposit and the
// closing balance.
class SAVINGSREP : public SingleFieldReport {
public:
    SAVINGSREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);

    std::string caption() const override { return fieldCaption(); }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
};

// The taxable benefit of a company loan lent below the statutory rate.
class LOWINTRREP : public SingleFieldReport {
public:
    LOWINTRREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);

    std::string caption() const override { return "Low Interest Benefit Report"; }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
};

} // namespace kelo::payrunreports
