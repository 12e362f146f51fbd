#pragma once

#include "payrunreports/PeriodRep.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::payrunreports {

// The fonts of a single-field page.
struct FieldFonts {
    common::Font organisation;
    common::Font title;
    common::Font headings;
    common::Font rows;
    common::Font totalLabel;
    common::Font totals;
};

// 10- and 11-point "Helvetica", for the portrait lists.
FieldFonts helveticaFonts();
// The payroll summary's "Arial": 14-point name, 11-point title, 8-point
// headings and "Arial Narrow" rows.
FieldFonts arialFonts();

// One column after the sequence number, `width` wide; the rules stand half
// a column gap outside it.
struct FieldColumn {
    enum class Kind {
        Text,   // left-aligned
        Number, // a rate or hours: right-aligned, not totalled
        Amount, // right-aligned and totalled at the foot of every page
    };
    std::string heading;
    double width = 0;
    Kind kind = Kind::Text;
};

// How a single-field report sits on its paper.
struct FieldPage {
    common::Orientation orientation = common::Orientation::Portrait;
    double topMargin = 10;
    double columnGap = 3;
    int rowsPerPage = 37;
    FieldFonts fonts = arialFonts();
};

// One row: its "%d." number, then the columns' texts; an amount cell
// carries its figure at the same index, for the totals and the exports.
class FieldRow {
public:
    explicit FieldRow(int number);
    FieldRow& text(std::string value);
    FieldRow& amount(double value);
    // A rate or hours: two decimals, no figure.
    FieldRow& decimal(double value);
    // A money rate: two decimals with thousands separators, no figure.
    FieldRow& rate(double value);
    common::ReportRow done() { return std::move(row_); }

private:
    common::ReportRow row_;
};

// The membership number beside the co-operative or pension fund named
// `group`: the first or the second, whichever names it; empty for neither.
std::string memberNumber(const std::array<std::string, 2>& names,
                         const std::array<std::string, 2>& numbers, std::string_view group);

// The page every single-field report draws: the organisation's name and the
// report's titles centred above a ruled table of one row per employee, the
// sequence number first, and a totals row at the foot that reads "Total
// C/F" on every page but the last, where it reads "Grand Total". Unless a
// report says otherwise the printable width is the table's, so that the
// titles centre over it. Only the reports that have a text export override
// writeText.
class SingleFieldReport : public PERIODREP {
public:
    SingleFieldReport(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                      const common::REPORTPARAM& param, const FieldPage& page);

    const FieldPage& page() const { return page_; }

    // Millimetres below the top margin: where the table's headings, its rows
    // and its totals row start.
    double tableTop() const;
    double rowsTop() const { return tableTop() + kHeadingBand + 1; }
    double totalsTop() const;
    // From the left margin to the last rule.
    double tableWidth() const { return edges_.back(); }

    static constexpr double kBandHeight = 8;
    static constexpr double kHeadingBand = 10;
    static constexpr double kRowHeight = 5;
    static constexpr double kTotalsHeight = 6;
    static constexpr double kSequenceWidth = 8;
    static constexpr double kLeftMargin = 15;

protected:
    // The columns after the sequence number, once the file is read.
    virtual std::vector<FieldColumn> fieldColumns() const = 0;
    // The lines under the organisation's name.
    virtual std::vector<std::string> titles() const = 0;
    // What the titles and the footer span, once the columns are placed.
    virtual double printableWidth() const;

    void layOutRows() override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;

    // "%s Report" with the chosen field.
    std::string fieldCaption() const { return param().fieldName + " Report"; }
    // "%s : %s" with the period and the selection's title.
    std::string periodAndGroup() const { return header().periodTitle + " : " + param().groupTitle; }

    // The column headings, the rows and "\t\tTotal" with the amounts' grand
    // totals.
    void writeTable(common::TextExport& out) const;

private:
    void placeFieldColumns(const std::vector<FieldColumn>& columns);
    void setPageGeometry(double width);
    void drawTotals(common::Canvas& canvas, const common::ReportPage& page) const;
    void drawGrid(common::Canvas& canvas) const;
    // The grand or running totals of the amount columns as text.
    std::vector<std::string> totalCells(int pageNumber) const;

    FieldPage page_;
    // Rules from the left margin, and where the first amount's cell starts.
    std::vector<double> edges_{0};
    double labelWidth_ = 0;
    // Per column of the table, the sequence number's included.
    std::vector<bool> amounts_;
};

} // namespace kelo::payrunreports
