#include "payrunreports/Summary.h"

#include "database/OptionsDb.h"
#include "payrunreports/SummaryTable.h"

namespace kelo::payrunreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;

constexpr double kTopMargin = 10;
constexpr double kLeftMargin = 15;
constexpr double kPrintableWidth = 265;
constexpr double kPrintableHeight = 190;
constexpr double kColumnGap = 3;

// Distances below the top margin.
constexpr double kGridTop = 17;
constexpr double kHeadingTop = 18;
constexpr double kHeadingHeight = 10.5;
constexpr double kHeadingRule = 27;
constexpr double kRowsTop = 29;
constexpr double kRowHeight = 5;
constexpr double kTotalsTop = 145;
constexpr double kTotalsHeight = 6;
constexpr double kSignOffTop = 155;
constexpr double kSignOffLine = 4.5;
constexpr double kFooterTop = 175;

// Distances right of the left margin. The rules stand in the middle of the
// gaps, so each amount column's rule is its width plus the gap apart.
constexpr double kNumberRule = 31;
constexpr double kNameRule = 72;
constexpr double kFirstAmountLeft = kNameRule + kColumnGap / 2;
constexpr double kTotalLabelWidth = 70.5;

const common::Pen kGridPen{common::PenStyle::Solid, 0, common::Color{}};

std::vector<common::ReportColumn> summaryColumns() {
    std::vector<common::ReportColumn> columns{{"", 8, Left, true, 1.5},
                                              {"Employee\nNumber", 20, Left, true, 9.5},
                                              {"Name", 38, Left, true, 32.5}};
    const std::pair<const char*, double> amounts[] = {
        {"Earnings", 19},         {"Lump Sum Payments", 18}, {"Refunds", 18},
        {"Overdraft", 18},        {"Gross Pay", 19},         {"Statutory Deductions", 18},
        {"Other Deductions", 18}, {"Total Deductions", 19},  {"Net Pay", 19}};
    for (const auto& [heading, width] : amounts)
        columns.push_back({heading, width, Right, true, 0});
    return columns;
}

} // namespace

std::vector<double> summaryAmounts(const REPORTREC& rec) {
    double otherDeductions = rec.roundingCF + rec.deficitBF + rec.rent;
    for (const ReportItem& item : rec.itemsOf(common::DEDUCTIONS))
        otherDeductions += item.amount;
    return {rec.grossPay,    rec.totalLumpSums,   rec.totalRefunds,
            rec.deficit,     rec.totalPay,        rec.statutoryDeductions,
            otherDeductions, rec.totalDeductions, rec.netPay};
}

SUMMARYREP::SUMMARYREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : PERIODREP(ui, code, folder, param) {
    setSortKey(option(database::kOptionSortKey));
    setGeometry(common::PageGeometry::landscape(kTopMargin, kLeftMargin, kPrintableWidth,
                                                kPrintableHeight, kColumnGap));
    setRowsPerPage(kRowsPerPage);
    setFooterOffset(kFooterTop);
    setColumns(summaryColumns());
    closeUp();
}

void SUMMARYREP::arrange() {
    sort();
    hideColumns();
}

void SUMMARYREP::hideColumns() {
    const std::size_t last = columns().size() - 1;
    for (std::size_t c = kFirstAmount; c < last; ++c) {
        bool used = false;
        for (const REPORTREC& rec : records())
            used = used || summaryAmounts(rec)[c - kFirstAmount] != 0;
        setColumnVisible(c, used);
    }
    setColumnVisible(last, true);
    closeUp();
}

void SUMMARYREP::closeUp() {
    std::vector<common::ReportColumn> placed = columns();
    placeAmounts(placed, kFirstAmount, kFirstAmountLeft, kColumnGap);
    setColumns(std::move(placed));
}

double SUMMARYREP::tableWidth() const {
    std::vector<common::ReportColumn> placed = columns();
    return placeAmounts(placed, kFirstAmount, kFirstAmountLeft, kColumnGap) - kColumnGap / 2;
}

std::string SUMMARYREP::titleLine() const {
    return "Payroll Summary - " + header().periodTitle + " : " + param().groupTitle;
}

std::vector<common::HeadingLine> SUMMARYREP::headingLines(const common::ReportPage&) const {
    return {{header().orgName, arial(14, true), 8}, {titleLine(), arial(11), 8}};
}

common::ReportRow SUMMARYREP::recordRow(const REPORTREC& rec, int number) const {
    return amountRow(numberText(number), rec.empNum, rec.name, summaryAmounts(rec));
}

void SUMMARYREP::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    const common::PageGeometry& g = geometry();
    canvas.setFont(arial(8, true));
    drawHeadings(canvas, g.y(kHeadingTop), kHeadingHeight, WordWrap);

    canvas.setFont(arialNarrow(8));
    for (std::size_t i = page.firstRow; i < page.endRow() && i < rows().size(); ++i) {
        const double top = g.y(kRowsTop + kRowHeight * static_cast<double>(i - page.firstRow));
        drawCells(canvas, rows()[i].cells, top, kRowHeight, SingleLine | VCenter);
    }

    const double totalsTop = g.y(kTotalsTop);
    canvas.setFont(arial(8, true));
    canvas.drawText({g.leftMargin, totalsTop, kTotalLabelWidth, kTotalsHeight},
                    std::string(totalLabel(page)), Center | VCenter | SingleLine);
    canvas.setFont(arialNarrow(8));
    drawCells(canvas, totalCells(totalsThrough(page.number), columns().size(), kFirstAmount, {}),
              totalsTop, kTotalsHeight, SingleLine | VCenter);

    drawGrid(canvas);
    drawSignOff(canvas);
}

void SUMMARYREP::drawGrid(common::Canvas& canvas) const {
    const common::PageGeometry& g = geometry();
    canvas.setPen(kGridPen);
    const auto rule = [&](double x, double bottom) {
        canvas.drawLine(g.x(x), g.y(kGridTop), g.x(x), g.y(bottom));
    };
    rule(0, kTotalsTop + kTotalsHeight);
    // The totals label spans the first two cells.
    rule(kNumberRule, kTotalsTop);
    rule(kNameRule, kTotalsTop + kTotalsHeight);
    for (std::size_t c = kFirstAmount; c < columns().size(); ++c) {
        const common::ReportColumn& column = columns()[c];
        if (column.visible)
            rule(column.left + column.width + kColumnGap / 2, kTotalsTop + kTotalsHeight);
    }
    const double right = g.x(tableWidth());
    for (double y : {kGridTop, kHeadingRule, kTotalsTop, kTotalsTop + kTotalsHeight})
        canvas.drawLine(g.leftMargin, g.y(y), right, g.y(y));
}

void SUMMARYREP::drawSignOff(common::Canvas& canvas) const {
    const common::PageGeometry& g = geometry();
    canvas.setFont(arial(8));
    double top = g.y(kSignOffTop);
    for (const std::string& line : {std::string("Checked by"), signOffLine("NAME:"),
                                    signOffLine("SIGNATURE:"), signOffLine("DESIGNATION:")}) {
        canvas.drawText({g.leftMargin, top, g.printableWidth, kSignOffLine}, line,
                        Left | VCenter | SingleLine);
        top += kSignOffLine;
    }
}

bool SUMMARYREP::writeText(common::TextExport& out) const {
    out.fields({header().orgName});
    out.fields({titleLine()});
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    out.fields(visibleCells(
        totalCells(totalsThrough(pageCount()), columns().size(), kFirstAmount, "Total")));
    return true;
}

} // namespace kelo::payrunreports
