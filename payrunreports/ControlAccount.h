#pragma once

#include "payrunreports/ControlTotals.h"
#include "payrunreports/PeriodRep.h"

#include <string>
#include <utility>
#include <vector>

namespace kelo::payrunreports {

// One line of a control account page.
struct ControlLine {
    enum class Kind { Heading, Amount, Total };
    Kind kind = Kind::Amount;
    std::string label;
    double amount = 0;
    friend bool operator==(const ControlLine&, const ControlLine&) = default;
};

// The "Pay" and "Disbursements" sections of one total, each closed by its
// total; "Overdraft" only when there is one.
std::vector<ControlLine> controlLines(const ControlTotal& total);

// The line under the title naming the period and whose payroll a page sums.
std::string controlGroupLine(const std::string& periodTitle, const common::REPORTPARAM& param,
                             int breakdown, const std::string& key, bool onePage);

// The payroll control account: where the period's pay went, one portrait
// page per unit or station of the "Breakdown" option (or one page), with a
// note and a sign-off block.
class CONTROLACREP : public PERIODREP {
public:
    CONTROLACREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param);

    std::string caption() const override { return "Payroll Control Account"; }
    int breakdown() const { return breakdown_; }
    // Sums the records into one total per page; call it before layOut().
    void controlTotals();
    void arrange() override { controlTotals(); }
    const std::vector<ControlTotal>& totals() const { return totals_; }

protected:
    void layOutRows() override;
    std::vector<common::ReportPage> splitPages() const override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;

private:
    std::string groupLine(std::size_t total) const;
    double drawNote(common::Canvas& canvas, double y) const;
    void drawSignOff(common::Canvas& canvas, double y) const;

    int breakdown_ = 0;
    std::vector<ControlTotal> totals_;
    std::vector<ControlLine> lines_;                            // one per row
    std::vector<std::pair<std::size_t, std::size_t>> pageRows_; // first row, count
};

} // namespace kelo::payrunreports
