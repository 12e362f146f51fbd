#include "payrunreports/ControlAccount.h"

#include "database/OptionsDb.h"
#include "payrunreports/ReportOption.h"
#include "payrunreports/SummaryTable.h"

namespace kelo::payrunreports {

namespace {

using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using Kind = ControlLine::Kind;

constexpr double kTopMargin = 15;
constexpr double kLeftMargin = 25;
constexpr double kPrintableWidth = 160;
constexpr double kPrintableHeight = 267;

// Distances right of the left margin.
constexpr double kLabelIndent = 5;
constexpr double kLabelWidth = 120;
constexpr double kAmountLeft = 125;
constexpr double kAmountWidth = 35;

// Heights and spaces of the body, in millimetres.
constexpr double kBandHeight = 8;
constexpr double kSpaceAboveTable = 6;
constexpr double kHeadingHeight = 6;
constexpr double kLineHeight = 5;
constexpr double kSectionSpace = 4;
constexpr double kNoteSpace = 6;
constexpr double kSignOffSpace = 8;
constexpr double kSignatureHeight = 8;
constexpr double kFooterTop = 265;

void addLine(std::vector<ControlLine>& lines, std::string label, double amount) {
    lines.push_back({Kind::Amount, std::move(label), amount});
}

void addItems(std::vector<ControlLine>& lines, const std::vector<ReportItem>& items) {
    for (const ReportItem& item : items)
        addLine(lines, item.definition ? item.definition->name : std::string(), item.amount);
}

} // namespace

std::vector<ControlLine> controlLines(const ControlTotal& t) {
    std::vector<ControlLine> lines{{Kind::Heading, "Pay", 0}};
    addLine(lines, "Basic Pay", t.basicPay);
    addLine(lines, "Overtime", t.overtimePay);
    addItems(lines, t.itemsOf(common::EARNINGS));
    addItems(lines, t.itemsOf(common::LUMPSUMS));
    addLine(lines, "Rounding B/F", t.roundingBF);
    addItems(lines, t.itemsOf(common::REFUNDS));
    if (t.deficit != 0)
        addLine(lines, "Overdraft", t.deficit);
    lines.push_back({Kind::Total, {}, t.totalPay});

    lines.push_back({Kind::Heading, "Disbursements", 0});
    addLine(lines, "PAYE", t.paye);
    addLine(lines, "NSSF", t.nssfEmployee);
    addLine(lines, "Rent", t.rent);
    addLine(lines, "Overdraft Recovery", t.deficitBF);
    addLine(lines, "Rounding C/F", t.roundingCF);
    addItems(lines, t.itemsOf(common::DEDUCTIONS));
    addLine(lines, "Tax on Lump Sum(s)", t.lumpSumTax);
    addLine(lines, "Net Pay", t.netPay);
    lines.push_back({Kind::Total, {}, t.totalDeductions + t.netPay});
    return lines;
}

std::string controlGroupLine(const std::string& periodTitle, const common::REPORTPARAM& param,
                             int breakdown, const std::string& key, bool onePage) {
    const std::string start = periodTitle + " : ";
    const bool unitChosen = param.groupBy == common::kGroupByUnit;
    if (breakdown == 1) {
        if (unitChosen)
            return onePage ? start + param.groupTitle
                           : start + param.groupTitle + ", " + key + " Sub-Unit";
        if (param.groupBy == common::kGroupByStation)
            return start + param.groupTitle + ", " + key + " Unit";
        return start + key + " Unit";
    }
    if (breakdown == 2)
        return unitChosen ? start + param.groupTitle + ", " + key + " Station"
                          : start + key + " Station";
    return start + param.groupTitle;
}

CONTROLACREP::CONTROLACREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::REPORTPARAM& param)
    : PERIODREP(ui, code, folder, param) {
    breakdown_ =
        reportOption(code, folder, common::kReportControlAccount, database::kOptionBreakdown);
    setGeometry(
        common::PageGeometry::portrait(kTopMargin, kLeftMargin, kPrintableWidth, kPrintableHeight));
    setRowsPerPage(1);
    setFooterOffset(kFooterTop);
    setColumns({{"", kLabelWidth, Left, true, 0}, {"Sh.", kAmountWidth, Right, true, kAmountLeft}});
}

void CONTROLACREP::controlTotals() {
    totals_ = payrunreports::controlTotals(*this, breakdown_);
}

void CONTROLACREP::layOutRows() {
    lines_.clear();
    pageRows_.clear();
    for (const ControlTotal& total : totals_) {
        const std::vector<ControlLine> lines = controlLines(total);
        pageRows_.emplace_back(lines_.size(), lines.size());
        for (const ControlLine& line : lines) {
            if (line.kind == Kind::Heading)
                addRow({{line.label, {}}, {}});
            else
                addRow({{line.label, amountText(line.amount)}, {0, line.amount}});
            lines_.push_back(line);
        }
    }
}

std::vector<common::ReportPage> CONTROLACREP::splitPages() const {
    std::vector<common::ReportPage> pages;
    for (const auto& [first, count] : pageRows_)
        pages.push_back({static_cast<int>(pages.size() + 1), first, count});
    return pages;
}

std::string CONTROLACREP::groupLine(std::size_t total) const {
    const std::string key = total < totals_.size() ? totals_[total].key : std::string();
    return controlGroupLine(header().periodTitle, param(), breakdown_, key, totals_.size() == 1);
}

std::vector<common::HeadingLine> CONTROLACREP::headingLines(const common::ReportPage& page) const {
    return {{header().orgName, arial(14, true), kBandHeight},
            {"Payroll Control Account", arial(12, true), kBandHeight},
            {groupLine(static_cast<std::size_t>(page.number - 1)), arial(11), kBandHeight}};
}

void CONTROLACREP::drawBody(common::Canvas& canvas, const common::ReportPage& page,
                            double top) const {
    const common::PageGeometry& g = geometry();
    double y = top + kSpaceAboveTable;
    canvas.setFont(arial(10, true));
    drawHeadings(canvas, y, kHeadingHeight, SingleLine | VCenter);
    y += kHeadingHeight;
    const common::Pen rule{common::PenStyle::Solid, 0, common::Color{}};
    for (std::size_t i = page.firstRow; i < page.endRow() && i < lines_.size(); ++i) {
        const ControlLine& line = lines_[i];
        const bool bold = line.kind != Kind::Amount;
        const double height = bold ? kHeadingHeight : kLineHeight;
        canvas.setFont(arial(10, bold));
        if (line.kind == Kind::Total) {
            canvas.setPen(rule);
            canvas.drawLine(g.x(kAmountLeft), y, g.x(kAmountLeft + kAmountWidth), y);
        }
        const double indent = line.kind == Kind::Amount ? kLabelIndent : 0;
        if (!line.label.empty())
            canvas.drawText({g.x(indent), y, kLabelWidth - indent, height}, line.label,
                            Left | VCenter | SingleLine);
        if (line.kind != Kind::Heading)
            canvas.drawText({g.x(kAmountLeft), y, kAmountWidth, height}, rows()[i].cells[1],
                            Right | VCenter | SingleLine);
        y += height + (line.kind == Kind::Total ? kSectionSpace : 0);
    }
    drawSignOff(canvas, drawNote(canvas, y + kNoteSpace));
}

double CONTROLACREP::drawNote(common::Canvas& canvas, double y) const {
    const common::PageGeometry& g = geometry();
    canvas.setFont(arial(10));
    for (const char* text :
         {"Please note that this report:", "1. includes refunds paid to employees, if any;",
          "2. does not include the employer's contribution to NSSF and "
          "pension/provident funds."}) {
        canvas.drawText({g.leftMargin, y, g.printableWidth, kLineHeight}, text,
                        Left | VCenter | SingleLine);
        y += kLineHeight;
    }
    return y;
}

void CONTROLACREP::drawSignOff(common::Canvas& canvas, double y) const {
    const common::PageGeometry& g = geometry();
    y += kSignOffSpace;
    canvas.setFont(arial(10, true));
    canvas.drawText({g.leftMargin, y, g.printableWidth, kHeadingHeight}, "Checked by",
                    Left | VCenter | SingleLine);
    y += kHeadingHeight;
    canvas.setFont(arial(10));
    for (const char* label : {"NAME:", "SIGNATURE:", "DESIGNATION:", "DATE:"}) {
        canvas.drawText({g.leftMargin, y, g.printableWidth, kSignatureHeight}, signOffLine(label),
                        Left | common::align::Bottom | SingleLine);
        y += kSignatureHeight;
    }
}

bool CONTROLACREP::writeText(common::TextExport& out) const {
    out.fields({header().orgName});
    out.fields({"Payroll Control Account"});
    for (std::size_t p = 0; p < pageRows_.size(); ++p) {
        out.emptyLine();
        out.fields({groupLine(p)});
        writeHeadings(out);
        const auto [first, count] = pageRows_[p];
        for (std::size_t i = first; i < first + count && i < rows().size(); ++i)
            out.fields(rows()[i].cells);
    }
    return true;
}

} // namespace kelo::payrunreports
