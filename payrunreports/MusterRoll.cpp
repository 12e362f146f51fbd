#include "payrunreports/MusterRoll.h"

#include "database/OptionsDb.h"
#include "payrunreports/ReportOption.h"
#include "payrunreports/SummaryTable.h"

namespace kelo::payrunreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;

constexpr double kMargin = 10;
constexpr double kColumnGap = 3;
// Right of the left margin: the rules stand in the middle of the gaps.
constexpr double kNumberRule = 36;
constexpr double kNameRule = 90;
constexpr double kAmountWidth = 19;
constexpr double kTotalLabelWidth = kNameRule - kColumnGap / 2;

// The bands the page is made of, in millimetres.
constexpr double kTitleBand = 8;
constexpr double kGroupBand = 7;
constexpr double kHeadingBand = 10.5;
constexpr double kRowHeight = 5;
constexpr double kSpaceBeforeTotal = 2;
constexpr double kSpaceBetweenGroups = 6;
// The footer sits in the bottom margin, under the last band.
constexpr double kFooterSpace = 2;

const common::Pen kGridPen{common::PenStyle::Solid, 0, common::Color{}};

std::string definitionName(const ReportItemDefs& defs, common::FIELDSTABLE table, std::size_t index,
                           const char* fallback) {
    const auto& list = defs[static_cast<std::size_t>(table)];
    return index < list.size() && list[index] ? list[index]->name : fallback;
}

void addItemHeadings(std::vector<MusterColumn>& columns, const ReportItemDefs& defs,
                     common::FIELDSTABLE table) {
    const auto& list = defs[static_cast<std::size_t>(table)];
    for (std::size_t i = builtInCount(table); i < list.size(); ++i)
        columns.push_back({list[i] ? list[i]->name : std::string(), false});
}

// The employee's items by the period's definitions: a missing one counts 0.
void addItemAmounts(std::vector<double>& amounts, const REPORTREC& rec, const ReportItemDefs& defs,
                    common::FIELDSTABLE table) {
    const std::size_t builtIn = builtInCount(table);
    const std::size_t count = defs[static_cast<std::size_t>(table)].size();
    const std::vector<ReportItem>& items = rec.itemsOf(table);
    for (std::size_t i = builtIn; i < count; ++i)
        amounts.push_back(i - builtIn < items.size() ? items[i - builtIn].amount : 0);
}

} // namespace

std::vector<MusterColumn> musterColumns(const ReportItemDefs& defs) {
    using namespace common;
    std::vector<MusterColumn> columns{{definitionName(defs, EARNINGS, 0, "Basic Pay"), true},
                                      {definitionName(defs, EARNINGS, 1, "Overtime"), false}};
    addItemHeadings(columns, defs, EARNINGS);
    addItemHeadings(columns, defs, LUMPSUMS);
    addItemHeadings(columns, defs, REFUNDS);
    for (const MusterColumn& column :
         {MusterColumn{"Rounding B/F"}, MusterColumn{"Overdraft"}, MusterColumn{"Gross Pay", true},
          MusterColumn{"PAYE"}, MusterColumn{"NSSF"}, MusterColumn{"Lump Sums Tax"},
          MusterColumn{"Overdraft Recovery"}, MusterColumn{"Rounding C/F"}})
        columns.push_back(column);
    columns.push_back({definitionName(defs, DEDUCTIONS, 0, "Rent"), false});
    addItemHeadings(columns, defs, DEDUCTIONS);
    columns.push_back({"Total Deductions", true});
    columns.push_back({"Net Pay", true});
    return columns;
}

std::vector<double> musterAmounts(const REPORTREC& rec, const ReportItemDefs& defs) {
    using namespace common;
    std::vector<double> amounts{rec.basicPay, rec.overtimePay};
    addItemAmounts(amounts, rec, defs, EARNINGS);
    addItemAmounts(amounts, rec, defs, LUMPSUMS);
    addItemAmounts(amounts, rec, defs, REFUNDS);
    for (double amount : {rec.roundingBF, rec.deficit, rec.totalPay, rec.paye, rec.nssfEmployee,
                          rec.lumpSumTax, rec.deficitBF, rec.roundingCF, rec.rent})
        amounts.push_back(amount);
    addItemAmounts(amounts, rec, defs, DEDUCTIONS);
    amounts.push_back(rec.totalDeductions);
    amounts.push_back(rec.netPay);
    return amounts;
}

MUSTERROLL::MUSTERROLL(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : PERIODREP(ui, code, folder, param) {
    grouping_ = reportOption(code, folder, common::kReportMusterRoll, database::kOptionGrouping);
    setSortKey(reportOption(code, folder, common::kReportMusterRoll, database::kOptionSortKey));
    setRowsPerPage(1);
}

void MUSTERROLL::groupRecords() {
    groups_ = groupRecords(grouping_);
}

std::vector<RecordGroup> MUSTERROLL::groupsOrAll() const {
    if (!groups_.empty())
        return groups_;
    return {{{}, 0, records().size()}};
}

std::string MUSTERROLL::groupHeading(const RecordGroup& group) const {
    if (grouping_ == 1)
        return group.key + " Unit";
    if (grouping_ == 2)
        return group.key + " Station";
    return {};
}

void MUSTERROLL::arrange() {
    sort();
    groupRecords();
    hideColumns();
}

void MUSTERROLL::hideColumns() {
    const std::vector<MusterColumn> columns = musterColumns(definitions());
    shown_.assign(columns.size(), false);
    for (std::size_t c = 0; c < columns.size(); ++c)
        shown_[c] = columns[c].always;
    for (const REPORTREC& rec : records()) {
        const std::vector<double> amounts = musterAmounts(rec, definitions());
        for (std::size_t c = 0; c < amounts.size() && c < shown_.size(); ++c)
            shown_[c] = shown_[c] || amounts[c] != 0;
    }
    applyShown();
}

void MUSTERROLL::applyShown() {
    std::vector<common::ReportColumn> columns{
        {"", 8, Left, true, 1.5},
        {"Employee\nNumber", 25, Left, true, 9.5},
        {"Name", 51, Left, true, kNumberRule + kColumnGap / 2}};
    const std::vector<MusterColumn> amounts = musterColumns(definitions());
    for (std::size_t c = 0; c < amounts.size(); ++c) {
        const bool visible = c < shown_.size() ? shown_[c] : true;
        columns.push_back({amounts[c].heading, kAmountWidth, Right, visible, 0});
    }
    placeAmounts(columns, kFirstAmount, kNameRule + kColumnGap / 2, kColumnGap);
    setColumns(std::move(columns));
    fitPage();
}

void MUSTERROLL::fitPage() {
    const bool headed = grouping_ == 1 || grouping_ == 2;
    const std::vector<RecordGroup> groups = groupsOrAll();
    double height = 2 * kTitleBand + kSpaceBetweenGroups * static_cast<double>(groups.size() - 1);
    for (const RecordGroup& group : groups)
        height += (headed ? kGroupBand : 0) + kHeadingBand +
                  kRowHeight * static_cast<double>(group.count) + kSpaceBeforeTotal + kRowHeight;
    double width = kNameRule;
    for (std::size_t c = kFirstAmount; c < columns().size(); ++c) {
        if (columns()[c].visible)
            width += kAmountWidth + kColumnGap;
    }
    setGeometry(
        {width + 2 * kMargin, height + 2 * kMargin, kMargin, kMargin, width, height, kColumnGap});
    setFooterOffset(height + kFooterSpace);
}

void MUSTERROLL::layOutRows() {
    applyShown();
    for (const RecordGroup& group : groupsOrAll()) {
        for (std::size_t i = 0; i < group.count; ++i) {
            const REPORTREC& rec = records()[group.first + i];
            addRow(amountRow(numberText(static_cast<int>(i + 1)), rec.empNum, rec.name,
                             musterAmounts(rec, definitions())));
        }
    }
}

std::vector<common::ReportPage> MUSTERROLL::splitPages() const {
    return {{1, 0, rows().size()}};
}

bool MUSTERROLL::print(common::Canvas& canvas, common::PRINTERREC printer) {
    printer.pageRange = common::kPrintAllPages;
    printer.copies = 1;
    return REPORTBASE::print(canvas, printer);
}

std::string MUSTERROLL::titleLine() const {
    return "Payroll Muster Roll - " + header().periodTitle + " : " + param().groupTitle;
}

std::vector<common::HeadingLine> MUSTERROLL::headingLines(const common::ReportPage&) const {
    return {{header().orgName, arial(14, true), kTitleBand}, {titleLine(), arial(11), kTitleBand}};
}

void MUSTERROLL::drawBody(common::Canvas& canvas, const common::ReportPage&, double top) const {
    const std::vector<RecordGroup> groups = groupsOrAll();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (g > 0)
            top += kSpaceBetweenGroups;
        top = drawGroup(canvas, groups[g], top);
    }
}

double MUSTERROLL::drawGroup(common::Canvas& canvas, const RecordGroup& group, double top) const {
    const common::PageGeometry& g = geometry();
    if (grouping_ == 1 || grouping_ == 2) {
        canvas.setFont(arial(9, true));
        canvas.drawText({g.leftMargin, top, g.printableWidth, kGroupBand}, groupHeading(group),
                        Left | VCenter | SingleLine);
        top += kGroupBand;
    }
    const double tableTop = top;
    canvas.setFont(arial(8, true));
    drawHeadings(canvas, top + 0.5, kHeadingBand - 0.5, WordWrap);
    top += kHeadingBand;

    canvas.setFont(arialNarrow(8));
    for (std::size_t i = group.first; i < group.first + group.count && i < rows().size(); ++i) {
        drawCells(canvas, rows()[i].cells, top, kRowHeight, SingleLine | VCenter);
        top += kRowHeight;
    }
    top += kSpaceBeforeTotal;
    const double totalTop = top;
    canvas.setFont(arial(8, true));
    canvas.drawText({g.leftMargin, top, kTotalLabelWidth, kRowHeight}, "Total",
                    Center | VCenter | SingleLine);
    canvas.setFont(arialNarrow(8));
    const std::vector<double> sums = sumFigures(rows(), group.first, group.count, columns().size());
    drawCells(canvas, totalCells(sums, columns().size(), kFirstAmount, {}), top, kRowHeight,
              SingleLine | VCenter);
    top += kRowHeight;

    canvas.setPen(kGridPen);
    const auto rule = [&](double x, double bottom) {
        canvas.drawLine(g.x(x), tableTop, g.x(x), bottom);
    };
    rule(0, top);
    // The total's label spans the first two cells.
    rule(kNumberRule, totalTop);
    rule(kNameRule, top);
    for (std::size_t c = kFirstAmount; c < columns().size(); ++c) {
        if (columns()[c].visible)
            rule(columns()[c].left + kAmountWidth + kColumnGap / 2, top);
    }
    for (double y : {tableTop, tableTop + kHeadingBand, totalTop, top})
        canvas.drawLine(g.leftMargin, y, g.right(), y);
    return top;
}

bool MUSTERROLL::writeText(common::TextExport& out) const {
    out.fields({header().orgName});
    out.fields({titleLine()});
    out.emptyLine();
    writeHeadings(out);
    for (const RecordGroup& group : groupsOrAll()) {
        if (grouping_ == 1 || grouping_ == 2)
            out.fields({groupHeading(group)});
        for (std::size_t i = group.first; i < group.first + group.count && i < rows().size(); ++i)
            out.fields(visibleCells(rows()[i].cells));
        const std::vector<double> sums =
            sumFigures(rows(), group.first, group.count, columns().size());
        out.fields(visibleCells(totalCells(sums, columns().size(), kFirstAmount, "Total")));
    }
    return true;
}

} // namespace kelo::payrunreports
