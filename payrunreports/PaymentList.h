#pragma once

#include "payrunreports/PeriodRep.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelo::payrunreports {

// The amount a payment list pays an employee: the net pay for "Net Pay",
// otherwise the named deduction (an advance).
double paymentAmount(const REPORTREC& rec, std::string_view fieldName);

// What a column of a payment list holds, which decides its font and
// whether the totals row adds it up.
enum class ListCell {
    Text,    // in the text font
    Figure,  // in the figure font, not added up
    Count,   // notes or coins, added up as "%d"; a run of counts is one band
    Amount,  // shillings, added up with thousands separators
    WriteIn, // a dotted line for the employee to write on
};

// Where a payment list's page puts its bands, in millimetres below the top
// margin, and the type it uses.
struct ListLayout {
    double tableTop = 17; // the grid's top rule
    double headingTop = 18;
    double headingBottom = 28.5;
    double headingRule = 27;
    double rowsTop = 29;
    double rowHeight = 5;
    int rowFlags = common::align::VCenter;
    double totalsGap = 1; // after the last row's place
    double totalsHeight = 6;
    double signOffGap = 4;
    double signOffLine = 5;
    common::Font headingFont;
    common::Font textFont;
    common::Font figureFont;
    common::Font labelFont;
    common::Font signOffFont;
    std::size_t labelColumns = 2;  // the totals label spans these first columns
    bool checkedBy = true;         // "Checked by" over the signatures
    bool totalsFollowRows = false; // a single page: totals right under the rows
    std::vector<std::string> signOffLabels{"NAME:", "SIGNATURE:", "DESIGNATION:", "DATE:"};
};

// Columns laid one after another from `start`, `gap` apart; the counts of
// a run touch, since they share one band.
std::vector<common::ReportColumn> placeListColumns(std::vector<common::ReportColumn> columns,
                                                   const std::vector<ListCell>& kinds, double start,
                                                   double gap);

// The page every payment list draws: the organisation and the title
// centred, the column headings, the rows, "Total C/F" or "Grand Total" with
// the page's running totals, the grid and the signatures.
class PaymentList : public PERIODREP {
public:
    const std::vector<ListCell>& cellKinds() const { return kinds_; }
    const ListLayout& layout() const { return layout_; }

protected:
    PaymentList(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                const common::REPORTPARAM& param, ListLayout layout);

    // The columns and what each holds, placed from `start` to the right of
    // the left margin, a column gap apart; set the geometry first.
    void setTable(std::vector<common::ReportColumn> columns, std::vector<ListCell> kinds,
                  double start);

    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    // The lists print for the paying officer; only the bank report exports.
    bool writeText(common::TextExport&) const override { return false; }

    // "%d" for counts, thousands separators for amounts.
    std::string totalText(std::size_t column, double total) const;
    // The grid's vertical rules, from the left margin.
    std::vector<double> ruleOffsets() const;
    // The right edge of the totals label's cell, from the left margin.
    double labelEnd() const;

private:
    double totalsTop(const common::ReportPage& page) const;
    void drawRows(common::Canvas& canvas, const common::ReportPage& page) const;
    void drawTotals(common::Canvas& canvas, const common::ReportPage& page, double top) const;
    void drawGrid(common::Canvas& canvas, double totalsTop) const;
    void drawSignOff(common::Canvas& canvas, double top) const;
    std::vector<std::string> cellsOfKind(const std::vector<std::string>& cells, bool figures) const;

    ListLayout layout_;
    std::vector<ListCell> kinds_;
};

} // namespace kelo::payrunreports
