#include "staffreports/PersonnelLists.h"

#include "common/Calendar.h"
#include "payrunreports/PeriodRep.h"
#include "payrunreports/SummaryTable.h"
#include "staffreports/ListPage.h"

#include <utility>

namespace kelo::staffreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;
using payrunreports::arial;
using namespace listpage;

constexpr int kRowsPerPage = 26;

std::string numberText(int number) {
    return std::to_string(number) + ".";
}

std::string yearsText(common::date from, int month, int year) {
    const std::optional<int> years = yearsAt(from, month, year);
    return years ? std::to_string(*years) : std::string();
}

} // namespace

std::optional<int> yearsAt(common::date from, int month, int year) {
    if (from.year == 0 || from.year > year || (from.year == year && from.month > month))
        return std::nullopt;
    return year - from.year - (month < from.month ? 1 : 0);
}

StaffList::StaffList(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::REPORTPARAM& param, double printableWidth,
                     const std::vector<Column>& columns, std::vector<double> rules, bool numbered)
    : STATICREP(ui, code, folder, param),
      rules_(std::move(rules)),
      numbered_(numbered) {
    setGeometry(listGeometry(printableWidth));
    setRowsPerPage(kRowsPerPage);
    setFooterOffset(kFooterTop);
    std::vector<common::ReportColumn> placed;
    double left = kNumberLeft;
    if (numbered) {
        placed.push_back({"", kNumberWidth, Left, true, kNumberLeft});
        left = kFirstColumn;
    }
    for (const Column& column : columns) {
        placed.push_back({column.heading, column.width, Left, true, left});
        left += column.width + kColumnGap;
    }
    setColumns(std::move(placed));
}

std::string StaffList::periodText() const {
    return common::monthName(param().period.month) + " " + std::to_string(param().period.year);
}

void StaffList::layOutRows() {
    for (const PERSREPREC& rec : records()) {
        common::ReportRow row;
        if (numbered_)
            row.cells.push_back(numberText(rec.seqNum));
        for (std::string& cell : cellsOf(rec))
            row.cells.push_back(std::move(cell));
        addRow(std::move(row));
    }
}

std::vector<common::HeadingLine> StaffList::headingLines(const common::ReportPage&) const {
    return {{orgName(), arial(14, true), 8, Center | SingleLine},
            {subtitle(), arial(11), 8, Center | SingleLine}};
}

void StaffList::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    const common::PageGeometry& g = geometry();
    drawListFrame(canvas, g, rules_);
    canvas.setFont(arial(10, true));
    drawHeadings(canvas, g.y(kHeadingTop), kHeadingHeight, WordWrap);

    canvas.setFont(arial(10));
    const std::size_t first = numbered_ ? 1 : 0;
    double top = g.y(kRowsTop);
    for (std::size_t r = page.firstRow; r < page.endRow(); ++r, top += kRowHeight) {
        const std::vector<std::string>& cells = rows()[r].cells;
        const double indent = indentOf(records()[r]);
        for (std::size_t c = 0; c < columns().size() && c < cells.size(); ++c) {
            const common::ReportColumn& column = columns()[c];
            const double shift = c == first ? indent : 0;
            canvas.drawText({g.x(column.left + shift), top, column.width - shift, kRowHeight},
                            cells[c], Left | VCenter | SingleLine);
        }
    }
}

bool StaffList::writeText(common::TextExport& out) const {
    out.fields({orgName()});
    out.fields({subtitle()});
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    return true;
}

EMPLIST::EMPLIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param)
    : StaffList(ui, code, folder, param, 230.5,
                {{"Employee\nNumber", 28.5},
                 {"Name", 58.5},
                 {"Job Title", 38.5},
                 {"Administrative\nUnit", 38.5},
                 {"Station", 38.5}},
                {40.5, 62.5, 42.5, 42.5}, true) {
    setSortKey(sortKeyOption());
}

std::string EMPLIST::subtitle() const {
    return "Employees Roll as at " + periodText() + " - " + param().groupTitle;
}

std::vector<std::string> EMPLIST::cellsOf(const PERSREPREC& rec) const {
    return {rec.empNum, fullName(rec), rec.jobTitle, payrunreports::ownUnit(rec.unitPath),
            rec.stationName};
}

LEAVERSLIST::LEAVERSLIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         const common::REPORTPARAM& param)
    : StaffList(ui, code, folder, param, 250,
                {{"Employee Number", 28},
                 {"Name", 56},
                 {"Job Title", 36},
                 {"Administrative Unit", 36},
                 {"Date Left", 26},
                 {"Reason for Leaving", 36}},
                {40, 60, 40, 40, 30}, true) {
    setSortKey(sortKeyOption());
}

std::string LEAVERSLIST::subtitle() const {
    return "Leavers Roll for " + std::to_string(fileYear()) + " - " + param().groupTitle;
}

std::vector<std::string> LEAVERSLIST::cellsOf(const PERSREPREC& rec) const {
    return {rec.empNum,
            fullName(rec),
            rec.jobTitle,
            payrunreports::ownUnit(rec.unitPath),
            dateText(rec.dateLeft),
            rec.reasonLeft};
}

SERVICEREP::SERVICEREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : StaffList(ui, code, folder, param, 247,
                {{"Employee\nNumber", 28},
                 {"Name", 56},
                 {"Job Title", 39},
                 {"Date of\nBirth", 26},
                 {"Age", 18},
                 {"Date\nEmployed", 26},
                 {"Years of\nService", 18}},
                {40, 60, 43, 30, 22, 30}, true) {
    setSortKey(sortKeyOption());
}

std::string SERVICEREP::subtitle() const {
    return "Employee Length of Service as at " + periodText() + " - " + param().groupTitle;
}

std::vector<std::string> SERVICEREP::cellsOf(const PERSREPREC& rec) const {
    const int month = param().period.month;
    const int year = param().period.year;
    return {rec.empNum,
            fullName(rec),
            rec.jobTitle,
            dateText(rec.birthDate),
            yearsText(rec.birthDate, month, year),
            dateText(rec.startDate),
            yearsText(rec.startDate, month, year)};
}

HIERARCHY::HIERARCHY(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::REPORTPARAM& param)
    : StaffList(ui, code, folder, param, 203.5,
                {{"Employee Name", 72},
                 {"Job Title", 38.5},
                 {"Administrative Unit", 38.5},
                 {"Station", 38.5}},
                {76, 42.5, 42.5}, false) {
    // Subordinates of one supervisor stand in name order.
    setSortKey(1);
}

std::string HIERARCHY::subtitle() const {
    return "Employee Hierarchy as at " + periodText() + " - " + param().groupTitle;
}

std::vector<std::string> HIERARCHY::cellsOf(const PERSREPREC& rec) const {
    return {fullName(rec), rec.jobTitle, payrunreports::ownUnit(rec.unitPath), rec.stationName};
}

double HIERARCHY::indentOf(const PERSREPREC& rec) const {
    return kIndentPerLevel * rec.depth;
}

bool HIERARCHY::writeText(common::TextExport& out) const {
    out.fields({orgName()});
    out.fields({subtitle()});
    out.emptyLine();
    writeHeadings(out);
    // The levels as the page indents them: four blanks a level.
    for (std::size_t r = 0; r < rows().size(); ++r) {
        std::vector<std::string> cells = rows()[r].cells;
        if (!cells.empty())
            cells.front().insert(0, static_cast<std::size_t>(4 * records()[r].depth), ' ');
        out.fields(cells);
    }
    return true;
}

} // namespace kelo::staffreports
