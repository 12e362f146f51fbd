#include "payrunreports/FieldReport.h"

#include "common/Money.h"
#include "database/OptionsDb.h"

namespace kelo::payrunreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;

constexpr int kBold = 700;
constexpr int kNormal = 400;
// The footer stands this far above the paper's bottom edge.
constexpr double kFooterAboveBottom = 25;

common::Font font(const char* face, double points, int weight = kNormal) {
    return common::Font{face, points, weight};
}

} // namespace

std::string memberNumber(const std::array<std::string, 2>& names,
                         const std::array<std::string, 2>& numbers, std::string_view group) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!group.empty() && names[i] == group)
            return numbers[i];
    }
    return {};
}

FieldFonts helveticaFonts() {
    return {font("Helvetica", 11, kBold), font("Helvetica", 11),
            font("Helvetica", 10, kBold), font("Helvetica", 10),
            font("Helvetica", 10, kBold), font("Helvetica", 10)};
}

FieldFonts arialFonts() {
    return {font("Arial", 14, kBold), font("Arial", 11),       font("Arial", 8, kBold),
            font("Arial Narrow", 8),  font("Arial", 8, kBold), font("Arial Narrow", 8)};
}

FieldRow::FieldRow(int number) {
    row_.cells.push_back(numberText(number));
    row_.figures.push_back(0);
}

FieldRow& FieldRow::text(std::string value) {
    row_.cells.push_back(std::move(value));
    row_.figures.push_back(0);
    return *this;
}

FieldRow& FieldRow::amount(double value) {
    row_.cells.push_back(common::withThousands(value));
    row_.figures.push_back(value);
    return *this;
}

FieldRow& FieldRow::decimal(double value) {
    return text(common::fixedText(value, 2));
}

FieldRow& FieldRow::rate(double value) {
    return text(common::withThousands(value, 2));
}

SingleFieldReport::SingleFieldReport(common::Ui& ui, engine::Code4& code,
                                     const common::WorkingFolder& folder,
                                     const common::REPORTPARAM& param, const FieldPage& page)
    : PERIODREP(ui, code, folder, param),
      page_(page) {
    setSortKey(option(database::kOptionSortKey));
    setRowsPerPage(page.rowsPerPage);
    setPageGeometry(0);
}

double SingleFieldReport::tableTop() const {
    return kBandHeight * static_cast<double>(1 + titles().size());
}

double SingleFieldReport::totalsTop() const {
    return rowsTop() + rowsPerPage() * kRowHeight + 1;
}

double SingleFieldReport::printableWidth() const {
    return tableWidth();
}

void SingleFieldReport::layOutRows() {
    placeFieldColumns(fieldColumns());
    setPageGeometry(printableWidth());
    PERIODREP::layOutRows();
}

// As on the payroll summary: each text keeps half a gap from the rules
// either side, and the first cell holds the sequence number before the
// first column.
void SingleFieldReport::placeFieldColumns(const std::vector<FieldColumn>& columns) {
    const double inset = page_.columnGap / 2;
    std::vector<common::ReportColumn> placed{{"", kSequenceWidth, Left, true, inset}};
    edges_.assign(1, 0);
    labelWidth_ = 0;
    amounts_.assign(1, false);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const FieldColumn& c = columns[i];
        const double left = i == 0 ? inset + kSequenceWidth : edges_.back() + inset;
        const bool amount = c.kind == FieldColumn::Kind::Amount;
        const int align = c.kind == FieldColumn::Kind::Text ? Left : Right;
        placed.push_back({c.heading, c.width, align, true, left});
        amounts_.push_back(amount);
        if (amount && labelWidth_ == 0)
            labelWidth_ = edges_.back();
        edges_.push_back(left + c.width + inset);
    }
    if (labelWidth_ == 0)
        labelWidth_ = edges_.back();
    setColumns(std::move(placed));
}

void SingleFieldReport::setPageGeometry(double width) {
    const bool landscape = page_.orientation == common::Orientation::Landscape;
    const double paperHeight = landscape ? common::kA4ShortSideMm : common::kA4LongSideMm;
    const double height = paperHeight - 2 * page_.topMargin;
    setGeometry(landscape ? common::PageGeometry::landscape(page_.topMargin, kLeftMargin, width,
                                                            height, page_.columnGap)
                          : common::PageGeometry::portrait(page_.topMargin, kLeftMargin, width,
                                                           height, page_.columnGap));
    setFooterOffset(paperHeight - kFooterAboveBottom - page_.topMargin);
}

std::vector<common::HeadingLine> SingleFieldReport::headingLines(const common::ReportPage&) const {
    std::vector<common::HeadingLine> lines{
        {header().orgName, page_.fonts.organisation, kBandHeight}};
    for (std::string& title : titles())
        lines.push_back({std::move(title), page_.fonts.title, kBandHeight});
    return lines;
}

void SingleFieldReport::drawBody(common::Canvas& canvas, const common::ReportPage& page,
                                 double) const {
    const common::PageGeometry& g = geometry();
    canvas.setFont(page_.fonts.headings);
    drawHeadings(canvas, g.y(tableTop()), kHeadingBand, WordWrap | VCenter);
    canvas.setFont(page_.fonts.rows);
    double y = g.y(rowsTop());
    for (std::size_t r = page.firstRow; r < page.endRow() && r < rows().size(); ++r) {
        drawCells(canvas, rows()[r].cells, y, kRowHeight, SingleLine | VCenter);
        y += kRowHeight;
    }
    drawTotals(canvas, page);
    drawGrid(canvas);
}

void SingleFieldReport::drawTotals(common::Canvas& canvas, const common::ReportPage& page) const {
    const common::PageGeometry& g = geometry();
    const double top = g.y(totalsTop());
    canvas.setFont(page_.fonts.totalLabel);
    canvas.drawText({g.leftMargin, top, labelWidth_, kTotalsHeight}, std::string(totalLabel(page)),
                    Center | VCenter | SingleLine);
    canvas.setFont(page_.fonts.totals);
    drawCells(canvas, totalCells(page.number), top, kTotalsHeight, SingleLine | VCenter);
}

std::vector<std::string> SingleFieldReport::totalCells(int pageNumber) const {
    const std::vector<double> totals = totalsThrough(pageNumber);
    std::vector<std::string> cells(columns().size());
    for (std::size_t c = 0; c < cells.size() && c < totals.size() && c < amounts_.size(); ++c) {
        if (amounts_[c])
            cells[c] = common::withThousands(totals[c]);
    }
    return cells;
}

// Rules round the headings, the rows and the totals; the rules between the
// cells left of the first amount stop above the totals row, whose label
// spans them.
void SingleFieldReport::drawGrid(common::Canvas& canvas) const {
    const common::PageGeometry& g = geometry();
    const double top = g.y(tableTop());
    const double totals = g.y(totalsTop());
    const double bottom = totals + kTotalsHeight;
    canvas.setPen(common::Pen{});
    for (const double y : {top, top + kHeadingBand, totals, bottom})
        canvas.drawLine(g.leftMargin, y, g.x(tableWidth()), y);
    for (std::size_t i = 0; i < edges_.size(); ++i) {
        const bool inLabel = i > 0 && i + 1 < edges_.size() && edges_[i] < labelWidth_;
        canvas.drawLine(g.x(edges_[i]), top, g.x(edges_[i]), inLabel ? totals : bottom);
    }
}

bool SingleFieldReport::writeText(common::TextExport&) const {
    return false;
}

void SingleFieldReport::writeTable(common::TextExport& out) const {
    writeHeadings(out);
    writeRows(out);
    std::vector<std::string> cells = totalCells(pageCount());
    if (cells.size() > 2)
        cells[2] = "Total";
    out.fields(visibleCells(cells));
}

} // namespace kelo::payrunreports
