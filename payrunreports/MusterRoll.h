#pragma once

#include "payrunreports/PeriodRep.h"

#include <string>
#include <vector>

namespace kelo::payrunreports {

// The muster roll's amount columns for the period's definitions: headings
// and which are shown whatever the figures.
struct MusterColumn {
    std::string heading;
    bool always = false;
};
std::vector<MusterColumn> musterColumns(const ReportItemDefs& definitions);
// The record's amounts in the order of musterColumns.
std::vector<double> musterAmounts(const REPORTREC& rec, const ReportItemDefs& definitions);

// The muster roll: every employee's pay item by item, grouped by unit or
// station under the "Grouping" option, each group with its total. It is one
// page as large as its content, printed once.
class MUSTERROLL : public PERIODREP {
public:
    MUSTERROLL(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);

    std::string caption() const override { return "Payroll Muster Roll"; }
    int grouping() const { return grouping_; }

    using PERIODREP::groupRecords;
    // Orders the records into the groups of the "Grouping" option.
    void groupRecords();
    const std::vector<RecordGroup>& groups() const { return groups_; }
    // Shows the amount columns some employee has a nonzero figure in, and
    // those always shown; the page narrows to fit.
    void hideColumns();
    void arrange() override;

    // The single page once, whatever pages and copies are asked for.
    bool print(common::Canvas& canvas, common::PRINTERREC printer) override;

    static constexpr std::size_t kFirstAmount = 3;

protected:
    void layOutRows() override;
    std::vector<common::ReportPage> splitPages() const override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;
    std::string titleLine() const override;

private:
    std::vector<RecordGroup> groupsOrAll() const;
    std::string groupHeading(const RecordGroup& group) const;
    void applyShown();
    void fitPage();
    double drawGroup(common::Canvas& canvas, const RecordGroup& group, double top) const;

    int grouping_ = 0;
    std::vector<RecordGroup> groups_;
    std::vector<bool> shown_; // per amount column, once hideColumns has run
};

} // namespace kelo::payrunreports
