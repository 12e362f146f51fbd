#include "monthlyreturns/MonthRep.h"

#include "common/Calendar.h"
#include "common/CsvExport.h"
#include "common/Money.h"
#include "monthlyreturns/MonthControl.h"
#include "monthlyreturns/MonthMuster.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>
#include <tuple>
#include <utility>

namespace kelo::monthlyreturns {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;

constexpr int kBold = 700;
// The footer stands this far above the paper's bottom edge.
constexpr double kFooterAboveBottom = 25;
constexpr int kLandscapeRows = 18;
constexpr const char* kSequenceHeading = "No.";
constexpr int kPortraitRows = 30;

const common::Font kOrgFont{"Arial", 14, kBold};
const common::Font kTitleFont{"Arial", 11};
const common::Font kHeadingFont{"Arial", 8, kBold};
const common::Font kRowFont{"Arial Narrow", 8};
const common::Font kTotalsFont{"Arial", 8, kBold};

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool isMember(const MONTHEMP& e) {
    return e.nssfEmployee != 0 || e.nssfEmployer != 0;
}

// A row whose amount cells carry their figures at the same index.
class Row {
public:
    explicit Row(int number) { text(std::to_string(number) + "."); }
    Row& text(std::string value) {
        row_.cells.push_back(std::move(value));
        row_.figures.push_back(0);
        return *this;
    }
    Row& amount(double value) {
        row_.cells.push_back(common::withThousands(value));
        row_.figures.push_back(value);
        return *this;
    }
    common::ReportRow done() { return std::move(row_); }

private:
    common::ReportRow row_;
};

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : ", ") + part;
    return out;
}

} // namespace

std::vector<MONTHEMP> monthTotals(const MONTHFILE& file) {
    std::vector<MONTHEMP> out;
    std::map<std::string, std::size_t> index;
    for (const MONTHPERIOD& period : file.periods) {
        for (const MONTHEMP& e : period.employees) {
            const auto [at, added] = index.try_emplace(upper(trimmed(e.empNum)), out.size());
            if (added) {
                out.push_back(e);
                continue;
            }
            MONTHEMP& sum = out[at->second];
            const MONTHEMP earlier = sum;
            sum = e; // the latest period's master data
            sum.basicPay += earlier.basicPay;
            sum.grossPay += earlier.grossPay;
            sum.pensionDeduction += earlier.pensionDeduction;
            sum.chargeablePay += earlier.chargeablePay;
            sum.paye += earlier.paye;
            sum.nssfEmployee += earlier.nssfEmployee;
            sum.nssfEmployer += earlier.nssfEmployer;
            sum.sdl += earlier.sdl;
            sum.totalDeductions += earlier.totalDeductions;
            sum.netPay += earlier.netPay;
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const MONTHEMP& a, const MONTHEMP& b) {
        return std::tie(a.name, a.empNum) < std::tie(b.name, b.empNum);
    });
    return out;
}

SplitName splitName(const std::string& name) {
    SplitName out;
    const auto comma = name.find(',');
    out.last = trimmed(name.substr(0, comma));
    if (comma == std::string::npos)
        return out;
    const std::string others = trimmed(name.substr(comma + 1));
    const auto blank = others.find(' ');
    out.first = others.substr(0, blank);
    if (blank != std::string::npos)
        out.middle = trimmed(others.substr(blank + 1));
    return out;
}

MONTHREP::MONTHREP(common::Ui& ui, const common::WorkingFolder& folder,
                   const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      folder_(folder),
      year_(param.period.year),
      month_(param.period.month) {}

std::string MONTHREP::monthTitle() const {
    return common::monthName(month_) + " " + std::to_string(year_);
}

bool MONTHREP::readFile(const common::ORGREC& org) {
    const std::string path = MONTHDB::reportFilePath(year_, month_, org);
    std::error_code error;
    MONTHFILE file;
    if (std::filesystem::is_regular_file(folder_.resolve(path), error) &&
        !readMonthFile(ui(), folder_, path, org, file))
        return false;
    if (file.empty()) {
        ui().information("There is no pay data for " + monthTitle() + ".");
        return false;
    }
    file_ = std::move(file);
    employees_ = monthTotals(file_);
    if (!readPeriods(org))
        return false;
    setReadStamp(common::ReadStamp::now());
    return true;
}

std::vector<std::string> MONTHREP::missingOf(const MONTHEMP&) const {
    return {};
}

std::vector<std::string> MONTHREP::missingNumbers() const {
    std::vector<std::string> lines;
    for (const MONTHEMP& e : employees_) {
        const std::vector<std::string> missing = missingOf(e);
        if (!missing.empty())
            lines.push_back(trimmed(e.empNum) + "  " + e.name + ": " + joined(missing));
    }
    if (!lines.empty())
        lines.insert(lines.begin(),
                     "Numbers missing from the employees' records, to be filled in before filing:");
    return lines;
}

std::string MONTHREP::orMissing(const std::string& number) {
    const std::string text = trimmed(number);
    return text.empty() ? kMissing : text;
}

double MONTHREP::tableTop() const {
    return kBandHeight * static_cast<double>(1 + titles().size());
}

void MONTHREP::layOutRows() {
    const std::vector<MonthColumn> columns = monthColumns();
    std::vector<common::ReportColumn> placed;
    edges_.assign(1, 0);
    amounts_.clear();
    for (const MonthColumn& c : columns) {
        const bool amount = c.kind == MonthColumn::Kind::Amount;
        placed.push_back(
            {c.heading, c.width, amount ? Right : Left, true, edges_.back() + kColumnGap / 2});
        amounts_.push_back(amount);
        edges_.push_back(edges_.back() + c.width + kColumnGap);
    }
    setColumns(std::move(placed));
    const bool landscape = paperOrientation() == common::Orientation::Landscape;
    const double paperHeight = landscape ? common::kA4ShortSideMm : common::kA4LongSideMm;
    const double height = paperHeight - 2 * kTopMargin;
    const double width = edges_.back();
    setGeometry(
        landscape
            ? common::PageGeometry::landscape(kTopMargin, kLeftMargin, width, height, kColumnGap)
            : common::PageGeometry::portrait(kTopMargin, kLeftMargin, width, height, kColumnGap));
    setFooterOffset(paperHeight - kFooterAboveBottom - kTopMargin);
    setRowsPerPage(landscape ? kLandscapeRows : kPortraitRows);
    addRows();
}

std::vector<common::HeadingLine> MONTHREP::headingLines(const common::ReportPage&) const {
    std::vector<common::HeadingLine> lines{{file_.employer.name, kOrgFont, kBandHeight}};
    for (std::string& title : titles())
        lines.push_back({std::move(title), kTitleFont, kBandHeight});
    return lines;
}

std::vector<std::string> MONTHREP::totalCells(int pageNumber) const {
    const std::vector<double> totals = totalsThrough(pageNumber);
    std::vector<std::string> cells(columns().size());
    for (std::size_t c = 0; c < cells.size() && c < totals.size(); ++c)
        if (amounts_[c])
            cells[c] = common::withThousands(totals[c]);
    return cells;
}

void MONTHREP::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    const common::PageGeometry& g = geometry();
    canvas.setFont(kHeadingFont);
    drawHeadings(canvas, g.y(tableTop()), kHeadingBand, WordWrap | VCenter);
    canvas.setFont(kRowFont);
    double y = g.y(rowsTop());
    for (std::size_t r = page.firstRow; r < page.endRow() && r < rows().size(); ++r) {
        drawCells(canvas, rows()[r].cells, y, kRowHeight, SingleLine | VCenter);
        y += kRowHeight;
    }
    if (hasTotals()) {
        const auto first = std::find(amounts_.begin(), amounts_.end(), true);
        const double labelWidth = edges_[static_cast<std::size_t>(first - amounts_.begin())];
        canvas.setFont(kTotalsFont);
        canvas.drawText({g.leftMargin, y, labelWidth, kTotalsHeight}, std::string(totalLabel(page)),
                        Center | VCenter | SingleLine);
        drawCells(canvas, totalCells(page.number), y, kTotalsHeight, SingleLine | VCenter);
        y += kTotalsHeight;
    }
    drawGrid(canvas, page);
    if (page.number != pageCount())
        return;
    // The missing numbers, as many as the room above the footer holds.
    const double footer = g.y(g.paperHeight - kFooterAboveBottom - kTopMargin);
    std::vector<std::string> notes = footLines();
    for (std::string& line : missingNumbers())
        notes.push_back(std::move(line));
    const auto room = static_cast<std::size_t>(std::max(0.0, (footer - y - 4) / kRowHeight));
    if (notes.size() > room && room > 0) {
        const std::size_t left = notes.size() - room + 1;
        notes.resize(room - 1);
        notes.push_back("... and " + std::to_string(left) + " more in the text export");
    }
    canvas.setFont(kRowFont);
    y += 4;
    for (std::size_t i = 0; i < notes.size() && i < room; ++i) {
        canvas.drawText({g.leftMargin, y, g.printableWidth, kRowHeight}, notes[i],
                        Left | VCenter | SingleLine);
        y += kRowHeight;
    }
}

void MONTHREP::drawGrid(common::Canvas& canvas, const common::ReportPage& page) const {
    const common::PageGeometry& g = geometry();
    const double top = g.y(tableTop());
    const double rowsEnd = g.y(rowsTop()) + static_cast<double>(page.rowCount) * kRowHeight;
    const double bottom = rowsEnd + (hasTotals() ? kTotalsHeight : 0);
    canvas.setPen(common::Pen{});
    for (const double y : {top, g.y(rowsTop()), rowsEnd, bottom})
        canvas.drawLine(g.leftMargin, y, g.x(edges_.back()), y);
    const auto firstAmount = std::find(amounts_.begin(), amounts_.end(), true);
    const double labelEnd =
        hasTotals() ? edges_[static_cast<std::size_t>(firstAmount - amounts_.begin())] : 0;
    for (std::size_t i = 0; i < edges_.size(); ++i) {
        const bool inLabel = i > 0 && edges_[i] < labelEnd;
        canvas.drawLine(g.x(edges_[i]), top, g.x(edges_[i]), inLabel ? rowsEnd : bottom);
    }
}

bool MONTHREP::writeText(common::TextExport& out) const {
    out.text(file_.employer.name);
    for (const std::string& title : titles())
        out.text(title);
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    if (hasTotals()) {
        std::vector<std::string> cells = totalCells(pageCount());
        if (cells.size() > 1)
            cells[1] = "Total";
        out.fields(visibleCells(cells));
    }
    for (const std::vector<std::string>& lines : {footLines(), missingNumbers()}) {
        if (!lines.empty())
            out.emptyLine();
        for (const std::string& line : lines)
            out.text(line);
    }
    return true;
}

std::optional<std::string> MONTHREP::exportCsv() const {
    const std::vector<common::ReportColumn>& cols = columns();
    const auto kept = [&](std::size_t c) { return cols[c].heading != kSequenceHeading; };
    common::CsvExport out;
    std::vector<std::string> fields;
    for (std::size_t c = 0; c < cols.size(); ++c)
        if (kept(c))
            fields.push_back(common::oneLineHeading(cols[c].heading));
    out.row(fields);
    for (const common::ReportRow& row : rows()) {
        fields.clear();
        for (std::size_t c = 0; c < cols.size() && c < row.cells.size(); ++c) {
            if (!kept(c))
                continue;
            const std::string& cell = row.cells[c];
            if (amounts_[c] && !cell.empty())
                fields.push_back(common::plainAmount(row.figures[c]));
            else
                fields.push_back(cell == kMissing ? std::string() : cell);
        }
        out.row(fields);
    }
    return out.bytes();
}

// ---------------------------------------------------------------------------
// PAYE

std::vector<MonthColumn> PAYEREP::monthColumns() const {
    using K = MonthColumn::Kind;
    return {{kSequenceHeading, 8, K::Text},
            {"Name", 40, K::Text},
            {"T.I.N.", 22, K::Text},
            {"National ID No.", 26, K::Text},
            {"NSSF No.", 20, K::Text},
            {"Basic Pay", 22, K::Amount},
            {"Other\nAllowances", 20, K::Amount},
            {"Gross Pay", 22, K::Amount},
            {"Pension\n(Exempt)", 20, K::Amount},
            {"Taxable Pay", 22, K::Amount},
            {"PAYE", 20, K::Amount}};
}

std::vector<std::string> PAYEREP::titles() const {
    return {"PAYE Monthly Return for " + monthTitle(),
            "Employer's T.I.N.: " + orMissing(file().employer.tin)};
}

void PAYEREP::addRows() {
    int n = 0;
    for (const MONTHEMP& e : employees()) {
        addRow(Row(++n)
                   .text(e.name)
                   .text(orMissing(e.tin))
                   .text(orMissing(e.idNum))
                   .text(isMember(e) ? orMissing(e.nssfNum) : trimmed(e.nssfNum))
                   .amount(e.basicPay)
                   .amount(common::decimalValue(e.grossPay - e.basicPay))
                   .amount(e.grossPay)
                   .amount(e.pensionDeduction)
                   .amount(e.chargeablePay)
                   .amount(e.paye)
                   .done());
    }
}

std::vector<std::string> PAYEREP::missingOf(const MONTHEMP& e) const {
    std::vector<std::string> missing;
    if (trimmed(e.tin).empty())
        missing.push_back("T.I.N.");
    if (trimmed(e.idNum).empty())
        missing.push_back("national ID number");
    if (isMember(e) && trimmed(e.nssfNum).empty())
        missing.push_back("NSSF number");
    return missing;
}

// The TRA portal's employee template, column for column; a missing number
// is left empty there rather than marked.
std::optional<std::string> PAYEREP::exportCsv() const {
    common::CsvExport out;
    out.row({"TIN", "National ID Number", "Name", "Residential Status", "Type of Employment",
             "Social Security Number", "Location", "Basic Pay", "Allowances", "Gross Pay",
             "Deductions"});
    for (const MONTHEMP& e : employees())
        out.row({trimmed(e.tin), trimmed(e.idNum), e.name, "Resident", "Primary",
                 trimmed(e.nssfNum), e.stationName, common::plainAmount(e.basicPay),
                 common::plainAmount(common::decimalValue(e.grossPay - e.basicPay)),
                 common::plainAmount(e.grossPay), common::plainAmount(e.pensionDeduction)});
    return out.bytes();
}

// ---------------------------------------------------------------------------
// NSSF

std::vector<MonthColumn> NSSFREP::monthColumns() const {
    using K = MonthColumn::Kind;
    return {{kSequenceHeading, 8, K::Text},
            {"Member No.", 24, K::Text},
            {"First Name", 28, K::Text},
            {"Middle Name", 28, K::Text},
            {"Last Name", 30, K::Text},
            {"Wage", 24, K::Amount},
            {"Employee\nShare", 22, K::Amount},
            {"Employer\nShare", 22, K::Amount},
            {"Total", 24, K::Amount}};
}

std::vector<std::string> NSSFREP::titles() const {
    return {"NSSF Monthly Contribution Schedule for " + monthTitle(),
            "Employer's NSSF No.: " + orMissing(file().employer.nssfNum)};
}

void NSSFREP::addRows() {
    int n = 0;
    for (const MONTHEMP& e : employees()) {
        if (!isMember(e))
            continue;
        const SplitName name = splitName(e.name);
        addRow(Row(++n)
                   .text(orMissing(e.nssfNum))
                   .text(name.first)
                   .text(name.middle)
                   .text(name.last)
                   .amount(e.grossPay)
                   .amount(e.nssfEmployee)
                   .amount(e.nssfEmployer)
                   .amount(common::decimalValue(e.nssfEmployee + e.nssfEmployer))
                   .done());
    }
}

std::vector<std::string> NSSFREP::missingOf(const MONTHEMP& e) const {
    if (isMember(e) && trimmed(e.nssfNum).empty())
        return {"NSSF number"};
    return {};
}

// ---------------------------------------------------------------------------
// SDL

std::vector<MonthColumn> SDLREP::monthColumns() const {
    return {{"Particulars", 90, MonthColumn::Kind::Text},
            {"Amount", 35, MonthColumn::Kind::Amount}};
}

std::vector<std::string> SDLREP::titles() const {
    return {"SDL Monthly Return for " + monthTitle(),
            "Employer's T.I.N.: " + orMissing(file().employer.tin)};
}

void SDLREP::addRows() {
    double basic = 0, gross = 0, exempt = 0, levy = 0;
    for (const MONTHEMP& e : employees()) {
        basic += e.basicPay;
        gross += e.grossPay;
        if (e.sdl == 0)
            exempt += e.grossPay;
        levy += e.sdl;
    }
    double rate = 0;
    for (const MONTHPERIOD& p : file().periods)
        if (!p.employees.empty()) {
            rate = p.sdlRate;
            break;
        }
    const auto line = [this](std::string label, std::string cell, double figure) {
        common::ReportRow row;
        row.cells = {std::move(label), std::move(cell)};
        row.figures = {0, figure};
        addRow(std::move(row));
    };
    const auto count = static_cast<double>(employees().size());
    line("Number of employees", std::to_string(employees().size()), count);
    line("Basic pay", common::withThousands(basic), basic);
    line("Other allowances", common::withThousands(common::decimalValue(gross - basic)),
         common::decimalValue(gross - basic));
    line("Gross emoluments", common::withThousands(gross), gross);
    line("Exempt emoluments", common::withThousands(exempt), exempt);
    line("Emoluments subject to SDL", common::withThousands(common::decimalValue(gross - exempt)),
         common::decimalValue(gross - exempt));
    line("Rate (%)", common::fixedText(rate, 2), rate);
    line("SDL due", common::withThousands(levy), levy);
}

// ---------------------------------------------------------------------------
// WCF

std::vector<MonthColumn> WCFREP::monthColumns() const {
    using K = MonthColumn::Kind;
    return {{kSequenceHeading, 8, K::Text}, {"Name", 50, K::Text},
            {"Gender", 16, K::Text},        {"Birth Date", 22, K::Text},
            {"Job Title", 45, K::Text},     {"Basic Pay", 26, K::Amount},
            {"Gross Pay", 26, K::Amount}};
}

std::vector<std::string> WCFREP::titles() const {
    return {"WCF Monthly Return for " + monthTitle(),
            "Employer's T.I.N.: " + orMissing(file().employer.tin)};
}

void WCFREP::addRows() {
    int n = 0;
    for (const MONTHEMP& e : employees())
        addRow(Row(++n)
                   .text(e.name)
                   .text(trimmed(e.gender))
                   .text(e.birthDate)
                   .text(e.jobTitle)
                   .amount(e.basicPay)
                   .amount(e.grossPay)
                   .done());
}

double WCFREP::grossEmoluments() const {
    double gross = 0;
    for (const MONTHEMP& e : employees())
        gross += e.grossPay;
    return gross;
}

double WCFREP::rate() const {
    for (const MONTHPERIOD& p : file().periods)
        if (!p.employees.empty())
            return p.wcfRate;
    return 0;
}

double WCFREP::levy() const {
    return common::floorShillings(common::percentOf(grossEmoluments(), rate()));
}

std::vector<std::string> WCFREP::footLines() const {
    return {"Gross emoluments: " + common::withThousands(grossEmoluments()),
            "Rate: " + common::fixedText(rate(), 2) + " %",
            "WCF levy due: " + common::withThousands(levy())};
}

// ---------------------------------------------------------------------------

std::unique_ptr<MONTHREP> newMonthReturn(common::Ui& ui, engine::Code4& code,
                                         const common::WorkingFolder& folder,
                                         const common::REPORTPARAM& param) {
    switch (param.reportType) {
    case common::kReportPayeReturn:
        return std::make_unique<PAYEREP>(ui, folder, param);
    case common::kReportNssfReturn:
        return std::make_unique<NSSFREP>(ui, folder, param);
    case common::kReportSdlReturn:
        return std::make_unique<SDLREP>(ui, folder, param);
    case kReportWcfReturn:
        return std::make_unique<WCFREP>(ui, folder, param);
    case common::kReportMonthControlAccount:
        return std::make_unique<MONTHCONTROLACREP>(ui, code, folder, param);
    case common::kReportMonthMusterRoll:
        return std::make_unique<MONTHMUSTERROLL>(ui, code, folder, param);
    default:
        return nullptr;
    }
}

std::unique_ptr<MONTHREP> prepareMonthReturn(common::Ui& ui, common::Ui& owner, engine::Code4& code,
                                             const common::WorkingFolder& folder,
                                             const common::REPORTPARAM& param,
                                             const common::ORGREC& org) {
    std::unique_ptr<MONTHREP> report = newMonthReturn(ui, code, folder, param);
    if (!report)
        return nullptr;
    if (report->requireFile(org)) {
        MONTHDB store(owner, code, folder);
        // A stale interim file is not shown in place of one that failed.
        if (!store.checkFiles(ui, org) || !store.writeInterimFile(ui, org))
            return nullptr;
    }
    if (!report->readFile(org))
        return nullptr;
    report->layOut();
    return report;
}

} // namespace kelo::monthlyreturns
