#include "payrunreports/PaymentList.h"

#include "payrunreports/SummaryTable.h"

#include <utility>

namespace kelo::payrunreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::NoClip;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;

bool isFigure(ListCell kind) {
    return kind == ListCell::Figure || kind == ListCell::Count || kind == ListCell::Amount;
}

void setRulePen(common::Canvas& canvas) {
    canvas.setPen(common::Pen{common::PenStyle::Solid, 0, common::Color{}});
}

} // namespace

double paymentAmount(const REPORTREC& rec, std::string_view fieldName) {
    if (fieldName == "Net Pay")
        return rec.netPay;
    const ReportItem* item = namedItem(rec, common::DEDUCTIONS, fieldName);
    return item ? item->amount : 0;
}

std::vector<common::ReportColumn> placeListColumns(std::vector<common::ReportColumn> columns,
                                                   const std::vector<ListCell>& kinds, double start,
                                                   double gap) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i == 0) {
            columns[i].left = start;
            continue;
        }
        const bool band =
            i < kinds.size() && kinds[i - 1] == ListCell::Count && kinds[i] == ListCell::Count;
        columns[i].left = columns[i - 1].left + columns[i - 1].width + (band ? 0 : gap);
    }
    return columns;
}

PaymentList::PaymentList(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         const common::REPORTPARAM& param, ListLayout layout)
    : PERIODREP(ui, code, folder, param),
      layout_(std::move(layout)) {}

void PaymentList::setTable(std::vector<common::ReportColumn> columns, std::vector<ListCell> kinds,
                           double start) {
    kinds_ = std::move(kinds);
    setColumns(placeListColumns(std::move(columns), kinds_, start, geometry().columnGap));
}

std::vector<common::HeadingLine> PaymentList::headingLines(const common::ReportPage&) const {
    return {{header().orgName, arial(14, true), 8}, {titleLine(), arial(11), 8}};
}

std::string PaymentList::totalText(std::size_t column, double total) const {
    if (column < kinds_.size() && kinds_[column] == ListCell::Count)
        return std::to_string(static_cast<long long>(total));
    return amountText(total);
}

std::vector<double> PaymentList::ruleOffsets() const {
    const std::vector<common::ReportColumn>& all = columns();
    std::vector<double> rules{0};
    for (std::size_t i = 1; i < all.size(); ++i) {
        // The sequence number shares the cell of the column after it.
        const bool band =
            i < kinds_.size() && kinds_[i - 1] == ListCell::Count && kinds_[i] == ListCell::Count;
        if (i == 1 || band)
            continue;
        rules.push_back((all[i - 1].left + all[i - 1].width + all[i].left) / 2);
    }
    if (!all.empty())
        rules.push_back(all.back().left + all.back().width + geometry().columnGap / 2);
    return rules;
}

double PaymentList::labelEnd() const {
    const std::vector<common::ReportColumn>& all = columns();
    const std::size_t n = layout_.labelColumns;
    if (n == 0 || n >= all.size())
        return 0;
    return (all[n - 1].left + all[n - 1].width + all[n].left) / 2;
}

double PaymentList::totalsTop(const common::ReportPage& page) const {
    const double slots = layout_.totalsFollowRows ? static_cast<double>(page.rowCount)
                                                  : static_cast<double>(rowsPerPage());
    return layout_.rowsTop + slots * layout_.rowHeight + layout_.totalsGap;
}

std::vector<std::string> PaymentList::cellsOfKind(const std::vector<std::string>& cells,
                                                  bool figures) const {
    std::vector<std::string> chosen(cells.size());
    for (std::size_t c = 0; c < cells.size() && c < kinds_.size(); ++c) {
        const bool figure = isFigure(kinds_[c]);
        if (figure == figures && kinds_[c] != ListCell::WriteIn)
            chosen[c] = cells[c];
    }
    return chosen;
}

void PaymentList::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    canvas.setFont(layout_.headingFont);
    drawHeadings(canvas, geometry().y(layout_.headingTop),
                 layout_.headingBottom - layout_.headingTop, WordWrap | VCenter | NoClip);
    drawRows(canvas, page);
    const double totals = totalsTop(page);
    drawTotals(canvas, page, totals);
    drawGrid(canvas, totals);
    drawSignOff(canvas, totals + layout_.totalsHeight + layout_.signOffGap);
}

void PaymentList::drawRows(common::Canvas& canvas, const common::ReportPage& page) const {
    const int flags = layout_.rowFlags | SingleLine;
    for (std::size_t r = page.firstRow; r < page.endRow() && r < rows().size(); ++r) {
        const double top = geometry().y(layout_.rowsTop +
                                        static_cast<double>(r - page.firstRow) * layout_.rowHeight);
        const std::vector<std::string>& cells = rows()[r].cells;
        canvas.setFont(layout_.textFont);
        drawCells(canvas, cellsOfKind(cells, false), top, layout_.rowHeight, flags);
        canvas.setFont(layout_.figureFont);
        drawCells(canvas, cellsOfKind(cells, true), top, layout_.rowHeight, flags);
        canvas.setPen(common::Pen{common::PenStyle::Dot, 0, common::Color{}});
        for (std::size_t c = 0; c < kinds_.size() && c < columns().size(); ++c) {
            if (kinds_[c] != ListCell::WriteIn)
                continue;
            // Just above the row's foot, where the text of the row stands.
            const double x = geometry().x(columns()[c].left);
            const double y = top + layout_.rowHeight - 1;
            canvas.drawLine(x, y, x + columns()[c].width, y);
        }
    }
}

void PaymentList::drawTotals(common::Canvas& canvas, const common::ReportPage& page,
                             double top) const {
    const double y = geometry().y(top);
    canvas.setFont(layout_.labelFont);
    canvas.drawText({geometry().leftMargin, y, labelEnd(), layout_.totalsHeight},
                    std::string(totalLabel(page)), Center | VCenter | SingleLine);
    const std::vector<double> totals = totalsThrough(page.number);
    std::vector<std::string> cells(columns().size());
    for (std::size_t c = 0; c < cells.size() && c < kinds_.size() && c < totals.size(); ++c) {
        if (kinds_[c] == ListCell::Count || kinds_[c] == ListCell::Amount)
            cells[c] = totalText(c, totals[c]);
    }
    canvas.setFont(layout_.figureFont);
    drawCells(canvas, cells, y, layout_.totalsHeight, VCenter | SingleLine);
}

void PaymentList::drawGrid(common::Canvas& canvas, double totalsTop) const {
    const common::PageGeometry& g = geometry();
    const std::vector<double> rules = ruleOffsets();
    const double bottom = totalsTop + layout_.totalsHeight;
    setRulePen(canvas);
    for (const double below : {layout_.tableTop, layout_.headingRule, totalsTop, bottom})
        canvas.drawLine(g.leftMargin, g.y(below), g.x(rules.back()), g.y(below));
    const double label = labelEnd();
    for (const double x : rules) {
        // Inside the totals label's cell the rules stop above the totals.
        const double end = x > 0 && x < label ? totalsTop : bottom;
        canvas.drawLine(g.x(x), g.y(layout_.tableTop), g.x(x), g.y(end));
    }
}

void PaymentList::drawSignOff(common::Canvas& canvas, double top) const {
    const common::PageGeometry& g = geometry();
    canvas.setFont(layout_.signOffFont);
    double y = g.y(top);
    const auto line = [&](const std::string& text) {
        canvas.drawText({g.leftMargin, y, g.printableWidth, layout_.signOffLine}, text,
                        Left | VCenter | SingleLine);
        y += layout_.signOffLine;
    };
    if (layout_.checkedBy)
        line("Checked by");
    for (const std::string& label : layout_.signOffLabels)
        line(signOffLine(label.c_str()));
}

} // namespace kelo::payrunreports
