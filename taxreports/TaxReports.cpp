#include "taxreports/TaxReports.h"

#include "common/Calendar.h"
#include "common/CsvExport.h"
#include "common/Money.h"
#include "common/Text.h"
#include "yeartodate/EmpPaySum.h"
#include "yeartodate/YtdDb.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <tuple>
#include <utility>

namespace kelo::taxreports {

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
constexpr int kRowsPerPage = 36;

const common::Font kOrgFont{"Arial", 14, kBold};
const common::Font kTitleFont{"Arial", 11};
const common::Font kHeadingFont{"Arial", 8, kBold};
const common::Font kRowFont{"Arial Narrow", 8};
const common::Font kTotalsFont{"Arial", 8, kBold};

std::string key(std::string_view empNum) {
    return common::toUpper(common::trim(empNum));
}

bool byName(const P9YEAR& a, const P9YEAR& b) {
    const std::string an = common::toUpper(a.name), bn = common::toUpper(b.name);
    return std::tie(an, a.empNum) < std::tie(bn, b.empNum);
}

double sum(const std::array<double, 12>& months) {
    double total = 0;
    for (double amount : months)
        total += amount;
    return common::decimalValue(total);
}

std::string amountText(double value) {
    return common::withThousands(value, 2);
}

std::string limitText(unsigned long value) {
    return common::withThousands(static_cast<double>(value));
}

} // namespace

std::string rangeTitle(int year, int fromMonth, int toMonth) {
    const std::string yearText = std::to_string(year);
    if (fromMonth == toMonth)
        return common::monthName(fromMonth) + " " + yearText;
    return common::monthName(fromMonth) + " to " + common::monthName(toMonth) + " " + yearText;
}

double P9YEAR::totalGross() const {
    return sum(grossPay);
}
double P9YEAR::totalTaxable() const {
    return sum(taxablePay);
}
double P9YEAR::totalPaye() const {
    return sum(paye);
}

std::vector<P9YEAR> employeeYears(const TAXFILE& file, int fromMonth, int toMonth) {
    std::vector<P9YEAR> out;
    std::map<std::string, std::size_t> index;
    for (const TAXPERIOD& p : file.periods) {
        if (p.month < fromMonth || p.month > toMonth || p.month < 1 || p.month > 12)
            continue;
        const auto m = static_cast<std::size_t>(p.month - 1);
        for (const P9EMP& e : p.employees) {
            const auto [at, added] = index.try_emplace(key(e.empNum), out.size());
            if (added)
                out.push_back(P9YEAR{});
            P9YEAR& y = out[at->second];
            y.empNum = common::trim(e.empNum);
            y.name = e.name;
            y.tin = e.tin;
            y.paid[m] = true;
            y.grossPay[m] = common::decimalValue(y.grossPay[m] + e.grossPay);
            y.taxablePay[m] = common::decimalValue(y.taxablePay[m] + e.taxablePay);
            y.paye[m] = common::decimalValue(y.paye[m] + e.paye);
        }
    }
    std::stable_sort(out.begin(), out.end(), byName);
    return out;
}

// ---------------------------------------------------------------------------
// The page shared by the three returns

TAXREP::TAXREP(common::Ui& ui, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      folder_(folder),
      param_(param),
      year_(param.period.year),
      fromMonth_(param.fromMonth),
      toMonth_(param.toMonth) {}

bool TAXREP::readTaxFile(const common::ORGREC& org, TaxFile kind, TAXFILE& out) {
    std::string path = TAXREPDB::reportFilePath(kind, param_, org);
    std::error_code error;
    if (!std::filesystem::is_regular_file(folder_.resolve(path), error))
        path = TAXREPDB::filePath(kind, year_);
    TAXFILE file;
    if (!taxreports::readTaxFile(ui(), folder_, kind, path, org, file))
        return false;
    bool any = false;
    for (const TAXPERIOD& p : file.periods) {
        if (p.month >= fromMonth_ && p.month <= toMonth_) {
            employer_ = p.header;
            any = true;
        }
    }
    if (!any) {
        ui().information("There is no pay data for " + periodTitle() + ".");
        return false;
    }
    out = std::move(file);
    setReadStamp(common::ReadStamp::now());
    return true;
}

common::ReportRow TAXREP::row(std::vector<std::string> texts, std::vector<double> amounts) {
    common::ReportRow r;
    for (std::string& t : texts) {
        r.cells.push_back(std::move(t));
        r.figures.push_back(0);
    }
    for (double a : amounts) {
        r.cells.push_back(amountText(a));
        r.figures.push_back(a);
    }
    return r;
}

std::string TAXREP::orMissing(const std::string& number) {
    const std::string text = common::trim(number);
    return text.empty() ? kMissing : text;
}

void TAXREP::layOutRows() {
    std::vector<common::ReportColumn> placed;
    edges_.assign(1, 0);
    amounts_.clear();
    for (const TaxColumn& c : taxColumns()) {
        placed.push_back({c.heading, c.width, c.amount || c.count ? Right : Left, true,
                          edges_.back() + kColumnGap / 2});
        amounts_.push_back(c.amount);
        edges_.push_back(edges_.back() + c.width + kColumnGap);
    }
    setColumns(std::move(placed));
    const double height = common::kA4LongSideMm - 2 * kTopMargin;
    setGeometry(
        common::PageGeometry::portrait(kTopMargin, kLeftMargin, edges_.back(), height, kColumnGap));
    setFooterOffset(common::kA4LongSideMm - kFooterAboveBottom - kTopMargin);
    setRowsPerPage(kRowsPerPage);
    addRows();
}

std::vector<common::HeadingLine> TAXREP::headingLines(const common::ReportPage& page) const {
    std::vector<common::HeadingLine> lines{{employer_.orgName, kOrgFont, kBandHeight}};
    for (std::string& title : titles(page))
        lines.push_back({std::move(title), kTitleFont, kBandHeight});
    return lines;
}

double TAXREP::tableTop(const common::ReportPage& page) const {
    return kBandHeight * static_cast<double>(1 + titles(page).size());
}

std::vector<std::string> TAXREP::totalCells(int pageNumber) const {
    const std::vector<double> totals = totalsThrough(pageNumber);
    std::vector<std::string> cells(columns().size());
    for (std::size_t c = 0; c < cells.size() && c < totals.size(); ++c)
        if (amounts_[c])
            cells[c] = amountText(totals[c]);
    return cells;
}

void TAXREP::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    const common::PageGeometry& g = geometry();
    const double top = g.y(tableTop(page));
    canvas.setFont(kHeadingFont);
    drawHeadings(canvas, top, kHeadingBand, WordWrap | VCenter);
    canvas.setFont(kRowFont);
    double y = top + kHeadingBand;
    for (std::size_t r = page.firstRow; r < page.endRow() && r < rows().size(); ++r) {
        drawCells(canvas, rows()[r].cells, y, kRowHeight, SingleLine | VCenter);
        y += kRowHeight;
    }
    if (hasTotals()) {
        canvas.setFont(kTotalsFont);
        std::vector<std::string> cells = totalCells(page.number);
        cells[0] = std::string(totalLabel(page));
        drawCells(canvas, cells, y, kRowHeight, SingleLine | VCenter);
        y += kRowHeight;
    }
    canvas.setPen(common::Pen{});
    for (const double line : {top, top + kHeadingBand, y})
        canvas.drawLine(g.leftMargin, line, g.x(edges_.back()), line);
    for (const double edge : edges_)
        canvas.drawLine(g.x(edge), top, g.x(edge), y);
}

bool TAXREP::writeText(common::TextExport& out) const {
    out.text(employer_.orgName);
    for (const std::string& title : titles(pages().front()))
        out.text(title);
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    if (hasTotals()) {
        std::vector<std::string> cells = totalCells(pageCount());
        cells[0] = "Total";
        out.fields(visibleCells(cells));
    }
    return true;
}

std::optional<std::string> TAXREP::exportCsv() const {
    common::CsvExport out;
    std::vector<std::string> fields;
    for (const common::ReportColumn& c : columns())
        fields.push_back(common::oneLineHeading(c.heading));
    out.row(fields);
    for (const common::ReportRow& r : rows()) {
        fields.clear();
        for (std::size_t c = 0; c < r.cells.size() && c < amounts_.size(); ++c) {
            const bool amount = amounts_[c] && !r.cells[c].empty();
            fields.push_back(amount                   ? common::plainAmount(r.figures[c])
                             : r.cells[c] == kMissing ? std::string()
                                                      : r.cells[c]);
        }
        out.row(fields);
    }
    return out.bytes();
}

// ---------------------------------------------------------------------------
// P9

bool P9REP::readFile(const common::ORGREC& org) {
    TAXFILE file;
    if (!readTaxFile(org, TaxFile::P9, file))
        return false;
    employees_ = employeeYears(file, fromMonth(), toMonth());
    return true;
}

std::vector<TaxColumn> P9REP::taxColumns() const {
    return {{"Month", 40, false},
            {"Gross Pay", 35, true},
            {"Taxable Pay", 35, true},
            {"PAYE", 35, true}};
}

std::vector<std::string> P9REP::titles(const common::ReportPage& page) const {
    std::vector<std::string> lines{"P9 for " + periodTitle(),
                                   "Employer's T.I.N.: " + orMissing(employer().itNum)};
    const auto at = std::upper_bound(firstRows_.begin(), firstRows_.end(), page.firstRow);
    if (at != firstRows_.begin() && !employees_.empty()) {
        const P9YEAR& e = employees_[static_cast<std::size_t>(at - firstRows_.begin()) - 1];
        lines.push_back(e.name + "  (No. " + e.empNum + ")  T.I.N.: " + orMissing(e.tin));
    }
    return lines;
}

void P9REP::addRows() {
    firstRows_.clear();
    for (const P9YEAR& e : employees_) {
        firstRows_.push_back(rows().size());
        for (int m = fromMonth(); m <= toMonth(); ++m) {
            const auto i = static_cast<std::size_t>(m - 1);
            if (e.paid[i])
                addRow(row({common::monthName(m)}, {e.grossPay[i], e.taxablePay[i], e.paye[i]}));
            else
                addRow(row({common::monthName(m), "", "", ""}, {}));
        }
        addRow(row({"Total"}, {e.totalGross(), e.totalTaxable(), e.totalPaye()}));
    }
}

// Each employee on a page of his own.
std::vector<common::ReportPage> P9REP::splitPages() const {
    std::vector<common::ReportPage> pages;
    for (std::size_t i = 0; i < firstRows_.size(); ++i) {
        const std::size_t end = i + 1 < firstRows_.size() ? firstRows_[i + 1] : rows().size();
        pages.push_back({static_cast<int>(i + 1), firstRows_[i], end - firstRows_[i]});
    }
    return pages;
}

bool P9REP::writeText(common::TextExport& out) const {
    for (const common::ReportPage& page : pages()) {
        out.text(employer().orgName);
        for (const std::string& title : titles(page))
            out.text(title);
        out.emptyLine();
        writeHeadings(out);
        for (std::size_t r = page.firstRow; r < page.endRow(); ++r)
            out.fields(visibleCells(rows()[r].cells));
        out.emptyLine();
    }
    return true;
}

std::optional<std::string> P9REP::exportCsv() const {
    common::CsvExport out;
    out.row({"Employee No.", "Name", "TIN", "Month", "Gross Pay", "Taxable Pay", "PAYE"});
    for (const P9YEAR& e : employees_) {
        for (int m = fromMonth(); m <= toMonth(); ++m) {
            const auto i = static_cast<std::size_t>(m - 1);
            if (e.paid[i])
                out.row({e.empNum, e.name, common::trim(e.tin), common::monthName(m),
                         common::plainAmount(e.grossPay[i]), common::plainAmount(e.taxablePay[i]),
                         common::plainAmount(e.paye[i])});
        }
    }
    return out.bytes();
}

// ---------------------------------------------------------------------------
// P10

P10REP::P10REP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param)
    : TAXREP(ui, folder, param),
      code_(code) {}

bool P10REP::readFiles(const common::ORGREC& org) {
    TAXFILE file;
    if (!readTaxFile(org, TaxFile::P10, file))
        return false;
    months_ = {};
    closed_ = {};
    for (const TAXPERIOD& p : file.periods) {
        if (p.month < fromMonth() || p.month > toMonth())
            continue;
        const auto m = static_cast<std::size_t>(p.month - 1);
        P10TOTALS& t = months_[m];
        closed_[m] = true;
        t.employees += p.totals.employees;
        t.grossPay = common::decimalValue(t.grossPay + p.totals.grossPay);
        t.taxablePay = common::decimalValue(t.taxablePay + p.totals.taxablePay);
        t.paye = common::decimalValue(t.paye + p.totals.paye);
    }

    // The brackets sort the employees by what the pay engine put in the
    // year-to-date store, the file the pay summary reads.
    const std::string ytdPath = year() == org.year ? yeartodate::YTDDB::interimPath(year())
                                                   : yeartodate::YTDDB::filePath(year());
    yeartodate::YtdFile ytd;
    if (!yeartodate::readYtdFile(ui(), folder(), ytdPath, org, ytd))
        return false;
    brackets_.clear();
    const std::vector<database::INCOMEREC> limits =
        database::INCOMESDB(code_, folder()).readBrackets();
    for (std::size_t i = 0; i < limits.size(); ++i)
        brackets_.push_back({limits[i], i + 1 == limits.size(), 0, 0, 0});
    for (const yeartodate::YTDREC& rec : ytd.records) {
        int paidMonths = 0;
        double taxable = 0, paye = 0;
        for (int m = fromMonth(); m <= toMonth(); ++m) {
            const auto i = static_cast<std::size_t>(m - 1);
            if (!rec.monthFlags[i])
                continue;
            ++paidMonths;
            taxable += rec.rows[yeartodate::kChargeablePayRow].amounts[i];
            paye += rec.rows[yeartodate::kPayeRow].amounts[i];
        }
        if (paidMonths == 0)
            continue;
        const double average = common::roundShillings(taxable / paidMonths);
        for (P10BRACKET& b : brackets_) {
            if (average < static_cast<double>(b.limits.lowerLimit) ||
                (!b.last && average > static_cast<double>(b.limits.upperLimit)))
                continue;
            ++b.employees;
            b.taxablePay = common::decimalValue(b.taxablePay + taxable);
            b.paye = common::decimalValue(b.paye + paye);
            break;
        }
    }
    return true;
}

std::vector<TaxColumn> P10REP::taxColumns() const {
    return {{"Particulars", 62, false},
            {"Employees", 18, false, true},
            {"Gross Pay", 30, true},
            {"Taxable Pay", 30, true},
            {"PAYE", 30, true}};
}

std::vector<std::string> P10REP::titles(const common::ReportPage&) const {
    return {"P10 Employer's Summary for " + periodTitle(),
            "Employer's T.I.N.: " + orMissing(employer().itNum)};
}

void P10REP::addRows() {
    const auto count = [](int n) { return std::to_string(n); };
    P10TOTALS total;
    for (int m = fromMonth(); m <= toMonth(); ++m) {
        const auto i = static_cast<std::size_t>(m - 1);
        if (!closed_[i]) {
            addRow(row({common::monthName(m), "", "", "", ""}, {}));
            continue;
        }
        const P10TOTALS& t = months_[i];
        addRow(row({common::monthName(m), count(t.employees)}, {t.grossPay, t.taxablePay, t.paye}));
        total.grossPay = common::decimalValue(total.grossPay + t.grossPay);
        total.taxablePay = common::decimalValue(total.taxablePay + t.taxablePay);
        total.paye = common::decimalValue(total.paye + t.paye);
    }
    addRow(row({"Total", ""}, {total.grossPay, total.taxablePay, total.paye}));
    addRow(row({"", "", "", "", ""}, {}));
    addRow(row({"Income brackets (average monthly taxable pay)", "", "", "", ""}, {}));
    int employees = 0;
    double taxable = 0, paye = 0;
    for (const P10BRACKET& b : brackets_) {
        const std::string label =
            b.last ? limitText(b.limits.lowerLimit) + " and over"
                   : limitText(b.limits.lowerLimit) + " - " + limitText(b.limits.upperLimit);
        addRow(row({label, count(b.employees), ""}, {b.taxablePay, b.paye}));
        employees += b.employees;
        taxable = common::decimalValue(taxable + b.taxablePay);
        paye = common::decimalValue(paye + b.paye);
    }
    addRow(row({"Total", count(employees), ""}, {taxable, paye}));
}

// The summary is one page, whatever its length.
std::vector<common::ReportPage> P10REP::splitPages() const {
    return {{1, 0, rows().size()}};
}

// ---------------------------------------------------------------------------
// ITX215

bool ITX215REP::readFile(const common::ORGREC& org) {
    TAXFILE file;
    if (!readTaxFile(org, TaxFile::P9, file))
        return false;
    employees_ = employeeYears(file, fromMonth(), toMonth());
    return true;
}

void ITX215REP::sort() {
    std::stable_sort(employees_.begin(), employees_.end(), byName);
}

std::vector<TaxColumn> ITX215REP::taxColumns() const {
    return {{"Employee No.", 22, false}, {"Name", 40, false},       {"T.I.N.", 24, false},
            {"Gross Pay", 28, true},     {"Taxable Pay", 28, true}, {"PAYE\nWithheld", 26, true}};
}

std::vector<std::string> ITX215REP::titles(const common::ReportPage&) const {
    return {"Statement of PAYE Withheld (ITX215) for " + periodTitle(),
            "Employer's T.I.N.: " + orMissing(employer().itNum)};
}

void ITX215REP::addRows() {
    for (const P9YEAR& e : employees_)
        addRow(row({e.empNum, e.name, orMissing(e.tin)},
                   {e.totalGross(), e.totalTaxable(), e.totalPaye()}));
}

// ---------------------------------------------------------------------------

namespace {

bool prepareTaxFiles(common::Ui& ui, common::Ui& owner, engine::Code4& code,
                     const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                     const common::ORGREC& org) {
    if (!TAXREPDB::requireFile(folder, param, org))
        return true;
    TAXREPDB store(owner, code, folder);
    return store.checkFiles(ui, org) && store.writeInterimFiles(ui, org);
}

} // namespace

std::unique_ptr<TAXREP> prepareTaxReturn(common::Ui& ui, common::Ui& owner, engine::Code4& code,
                                         const common::WorkingFolder& folder,
                                         const common::REPORTPARAM& param,
                                         const common::ORGREC& org) {
    switch (param.reportType) {
    case common::kReportP9: {
        auto report = std::make_unique<P9REP>(ui, folder, param);
        if (!prepareTaxFiles(ui, owner, code, folder, param, org) || !report->readFile(org))
            return nullptr;
        report->layOut();
        return report;
    }
    case common::kReportP10: {
        {
            yeartodate::EMPPAYSUM summary(ui, code, folder, param);
            yeartodate::YTDDB ytd(owner, code, folder);
            if (summary.requireFile(org) &&
                (!ytd.checkFiles(ui, org) || !ytd.writeInterimFile(ui, org)))
                return nullptr;
        }
        auto report = std::make_unique<P10REP>(ui, code, folder, param);
        if (!prepareTaxFiles(ui, owner, code, folder, param, org) || !report->readFiles(org))
            return nullptr;
        report->layOut();
        return report;
    }
    case common::kReportItx215: {
        if (!prepareTaxFiles(ui, owner, code, folder, param, org))
            return nullptr;
        auto report = std::make_unique<ITX215REP>(ui, folder, param);
        if (!report->readFile(org))
            return nullptr;
        report->sort();
        report->layOut();
        return report;
    }
    default:
        return nullptr;
    }
}

} // namespace kelo::taxreports
