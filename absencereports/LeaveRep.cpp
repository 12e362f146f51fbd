#include "absencereports/LeaveRep.h"

#include "absencereports/LeaveRepDb.h"
#include "absencereports/LeaveRepFormat.h"
#include "common/Calendar.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/OptionsDb.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace kelo::absencereports {

namespace {

using namespace common::align;

constexpr double kTopMargin = 10;
constexpr double kPortraitLeft = 12;
constexpr double kPortraitWidth = 186;
constexpr double kPortraitHeight = 277;
constexpr double kLandscapeLeft = 15;
constexpr double kLandscapeWidth = 267;
constexpr double kLandscapeHeight = 190;
constexpr double kColumnGap = 2.5;
constexpr double kHeadingBand = 9;
constexpr double kLineHeight = 5;
// Organisation, title and the space under them.
constexpr double kTitleBands = 16;
constexpr int kPortraitRows = 46;
constexpr int kLandscapeRows = 30;

common::Font arial(double points, bool bold) {
    return common::Font{"Arial", points, bold ? 700 : 400, false, false};
}

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool onUnitPath(std::string_view unitPath, std::string_view unit) {
    std::size_t start = 0;
    while (start <= unitPath.size()) {
        const std::size_t dot = unitPath.find('.', start);
        const std::string_view name = unitPath.substr(start, dot - start);
        if (!name.empty() && common::equalsIgnoreCase(name, unit))
            return true;
        if (dot == std::string_view::npos)
            return false;
        start = dot + 1;
    }
    return false;
}

} // namespace

bool isSelected(const LeaveEmployee& employee, std::int32_t groupBy, std::string_view groupName) {
    switch (groupBy) {
    case common::kGroupByUnit:
        return onUnitPath(employee.unitPath, groupName);
    case common::kGroupByStation:
        return employee.stationName == groupName;
    case common::kGroupByPayGroup:
        return employee.payGroupName == groupName;
    case common::kGroupByBank:
        return employee.bankName == groupName;
    default:
        return true;
    }
}

std::string daysText(double days) {
    return common::fixedText(days, 2);
}

LEAVEREP::LEAVEREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      code_(code),
      folder_(folder),
      param_(param) {}

LEAVEREP::~LEAVEREP() = default;

void LEAVEREP::setPage(bool landscape) {
    if (landscape) {
        setGeometry(common::PageGeometry::landscape(kTopMargin, kLandscapeLeft, kLandscapeWidth,
                                                    kLandscapeHeight, kColumnGap));
        setRowsPerPage(kLandscapeRows);
        setFooterOffset(kLandscapeHeight - 5);
    } else {
        setGeometry(common::PageGeometry::portrait(kTopMargin, kPortraitLeft, kPortraitWidth,
                                                   kPortraitHeight, kColumnGap));
        setRowsPerPage(kPortraitRows);
        setFooterOffset(kPortraitHeight - 5);
    }
}

bool LEAVEREP::requireFile(const common::ORGREC& org) const {
    return LEAVEREPDB::requireFile(folder_, param_, org);
}

bool LEAVEREP::readFile(const common::ORGREC& org) {
    LEAVEREPDB store(ui(), code_, folder_);
    LeaveYear year;
    if (!store.readFile(ui(), LEAVEREPDB::reportFilePath(param_, org), org, year))
        return false;
    setReadStamp(common::ReadStamp::now());
    data_ = std::move(year);
    entriesByEmployee_.clear();
    for (const LeaveEntry& entry : data_.entries)
        entriesByEmployee_[common::employeeKey(entry.empNum)].push_back(&entry);
    for (auto& [key, entries] : entriesByEmployee_) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const LeaveEntry* a, const LeaveEntry* b) {
                             return dateKey(a->fromDate) < dateKey(b->fromDate);
                         });
    }
    employees_.clear();
    for (const LeaveEmployee& employee : data_.employees) {
        if (isSelected(employee, param_.groupBy, param_.groupName))
            employees_.push_back(employee);
    }
    if (!hasRecords()) {
        ui().error("Sorry, report has no records\nand will not be printed.");
        return false;
    }
    return true;
}

void LEAVEREP::sort() {
    database::OPTIONSDB options(code_, folder_);
    int key = 0;
    if (options.openFile()) {
        key = options.getValue(param_.reportType, "Sort Key");
        options.closeFile();
    }
    if (key != 1)
        return;
    std::stable_sort(employees_.begin(), employees_.end(),
                     [](const LeaveEmployee& a, const LeaveEmployee& b) {
                         return lessIgnoringCase(a.name(), b.name());
                     });
}

std::string LEAVEREP::titleLine() const {
    std::string title = caption() + " - " + common::monthName(param_.fromMonth) + " to " +
                        common::monthName(param_.toMonth) + " " +
                        std::to_string(param_.period.year);
    if (param_.groupBy != common::kGroupByNone)
        title += " : " + param_.groupTitle;
    return title;
}

bool LEAVEREP::inRange(common::date day) const {
    return day.year == param_.period.year && day.month >= param_.fromMonth &&
           day.month <= param_.toMonth;
}

const std::vector<const LeaveEntry*>& LEAVEREP::entriesOf(std::string_view empNum) const {
    static const std::vector<const LeaveEntry*> none;
    const auto found = entriesByEmployee_.find(common::employeeKey(empNum));
    return found == entriesByEmployee_.end() ? none : found->second;
}

std::vector<const LeaveEntry*> LEAVEREP::entriesInRange(std::string_view empNum) const {
    std::vector<const LeaveEntry*> entries;
    for (const LeaveEntry* entry : entriesOf(empNum)) {
        if (inRange(entry->fromDate))
            entries.push_back(entry);
    }
    return entries;
}

void LEAVEREP::addLine(std::vector<std::string> cells, std::vector<double> figures,
                       LineStyle style) {
    addRow({std::move(cells), std::move(figures)});
    styles_.push_back(style);
}

void LEAVEREP::layOutRows() {
    styles_.clear();
    layOutLines();
}

std::vector<common::HeadingLine> LEAVEREP::headingLines(const common::ReportPage&) const {
    const int centred = Center | VCenter | SingleLine;
    return {{data_.orgName, arial(12, true), 7, centred},
            {titleLine(), arial(10, true), 6, centred},
            {{}, arial(8, false), kTitleBands - 13, centred}};
}

void LEAVEREP::drawBody(common::Canvas& canvas, const common::ReportPage& page, double top) const {
    const common::PageGeometry& g = geometry();
    const common::Pen rule{common::PenStyle::Solid, 0, common::Color{}};
    canvas.setPen(rule);
    double y = top;
    canvas.drawLine(g.leftMargin, y, g.right(), y);
    canvas.setFont(arial(8, true));
    drawHeadings(canvas, y + 0.5, kHeadingBand - 1, Bottom | WordWrap);
    y += kHeadingBand;
    canvas.drawLine(g.leftMargin, y, g.right(), y);
    for (std::size_t r = page.firstRow; r < page.endRow() && r < rows().size(); ++r) {
        const LineStyle style = r < styles_.size() ? styles_[r] : LineStyle::Detail;
        if (style == LineStyle::Total)
            canvas.drawLine(g.leftMargin, y, g.right(), y);
        canvas.setFont(style == LineStyle::Detail
                           ? common::Font{"Arial Narrow", 8, 400, false, false}
                           : arial(8, true));
        drawCells(canvas, rows()[r].cells, y, kLineHeight, VCenter | SingleLine);
        y += kLineHeight;
    }
    canvas.drawLine(g.leftMargin, y, g.right(), y);
}

bool LEAVEREP::writeText(common::TextExport& out) const {
    out.fields({data_.orgName});
    out.fields({titleLine()});
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    return true;
}

} // namespace kelo::absencereports
