#pragma once

#include "payrunreports/FieldReport.h"

#include <memory>
#include <string>
#include <vector>

namespace kelo::payrunreports {

// What an employee and the employer paid into one pension fund.
struct PensionPaid {
    double employee = 0;
    double employer = 0;
};
PensionPaid pensionPaid(const REPORTREC& rec, std::string_view fund);

// The contributions to the pension fund of the selection, for the fund's
// own records: names in alphabetical order with their membership numbers.
class PENSIONREP : public SingleFieldReport {
public:
    PENSIONREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);

    std::string caption() const override { return "Pension Fund Report"; }
    void arrange() override { sortByName(); }

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
    bool writeText(common::TextExport& out) const override;
};

// Whether a deduction of this type is owed to a co-operative.
bool owedToCoop(std::string_view reportType);

// The deductions owed to the co-operative of the selection, one column per
// item of the co-operative, for the co-operative's own records.
class COOPREP : public SingleFieldReport {
public:
    COOPREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
            const common::REPORTPARAM& param);

    std::string caption() const override { return "Co-operative Report"; }
    void arrange() override { sortByName(); }
    // The co-operative's deduction definitions, in definition order.
    std::vector<std::shared_ptr<const ReportItemDef>> coopItems() const;

protected:
    std::vector<FieldColumn> fieldColumns() const override;
    std::vector<std::string> titles() const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
    bool writeText(common::TextExport& out) const override;
};

} // namespace kelo::payrunreports
