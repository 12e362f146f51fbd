#pragma once

#include "payrunreports/FieldReport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelo::payrunreports {

// Whether a deduction of this type is listed with its closing balance
// beside the amount.
bool listsBalance(std::string_view reportType);

// How a deductions, earnings, benefits, lump sums or refunds report names
// its field in the title. A deduction listed with its balance keeps its bare
// name; one without says "%s Deduction".
std::string fieldLabel(std::int32_t reportType, std::string_view fieldName, bool withBalance);

// The closing balance a deduction leaves: a co-op contribution's, the
// employee's pension balance, what a cost recovery still has to recover.
double closingBalance(const ReportItem& item);

// One earning, deduction, benefit, lump sum or refund: the amount each
// employee has in it, and for co-op contributions, pension contributions and
// cost recoveries the balance the period leaves.
class AMOUNTREP : public SingleFieldReport {
public:
    AMOUNTREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const common::REPORTPARAM& param);

    std::string caption() const override { return fieldCaption(); }
    // Known once the file is read: the chosen deduction's type decides.
    bool withBalance() const;

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
};

// Basic pay with the rate and the time it was paid for.
class BASICPAYREP : public SingleFieldReport {
public:
    BASICPAYREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                const common::REPORTPARAM& param);

    std::string caption() const override { return "Basic Pay Report"; }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
    bool writeText(common::TextExport& out) const override;
    std::string titleLine() const override;
};

// "Salary", "Daily" or "Hourly".
std::string payBasisText(int payBasis);
// The time basic pay was paid for, named as the payslip names it: the
// standard hours of a full period, or the days or hours absent or present.
std::string timeWorkedText(const REPORTREC& rec);

// Rate, hours and amount of normal or double overtime or an hourly earning.
struct HourlyPay {
    double rate = 0;
    double hours = 0;
    double amount = 0;
};
// None when the employee has no such field.
std::optional<HourlyPay> hourlyPay(const REPORTREC& rec, std::string_view fieldName);

// Overtime or an hourly earning: rate, hours and amount.
class HOURLYPAYREP : public SingleFieldReport {
public:
    HOURLYPAYREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param);

    std::string caption() const override { return fieldCaption(); }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
};

// The tax withheld on lump sums, with each employee's T.I.N. and the
// employer's.
class LUMPSUMTAXREP : public SingleFieldReport {
public:
    LUMPSUMTAXREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                  const common::REPORTPARAM& param);

    std::string caption() const override { return "Lump Sums Tax Report"; }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
};

} // namespace kelo::payrunreports
