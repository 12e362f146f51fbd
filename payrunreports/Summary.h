#pragma once

#include "payrunreports/PeriodRep.h"

#include <string>
#include <vector>

namespace kelo::payrunreports {

// The payroll summary: one landscape line per employee with his pay and
// deductions in nine amount columns, 23 to a page, each page closed by its
// running total ("Total C/F") or the grand total, under a grid, with a
// sign-off block. Amount columns nobody has a figure in are left out.
class SUMMARYREP : public PERIODREP {
public:
    SUMMARYREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);

    std::string caption() const override { return "Payroll Summary"; }
    // Shows each amount column some employee has a nonzero figure in, and
    // "Net Pay" always; the visible ones close up to the left.
    void hideColumns();
    void arrange() override;

    static constexpr std::size_t kFirstAmount = 3;
    static constexpr int kRowsPerPage = 23;

protected:
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
    bool writeText(common::TextExport& out) const override;
    std::string titleLine() const override;

private:
    void closeUp();
    void drawGrid(common::Canvas& canvas) const;
    void drawSignOff(common::Canvas& canvas) const;
    double tableWidth() const;
};

// The nine amounts of the summary's line for `rec`, in column order.
std::vector<double> summaryAmounts(const REPORTREC& rec);

} // namespace kelo::payrunreports
