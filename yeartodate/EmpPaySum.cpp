#include "yeartodate/EmpPaySum.h"

#include "common/Money.h"
#include "common/Text.h"
#include "payrunreports/PeriodRep.h"
#include "payrunreports/ReportOption.h"

#include <algorithm>
#include <array>

namespace kelo::yeartodate {

namespace {

constexpr std::array<const char*, kMonths> kMonthTitles{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// Captions of the fixed rows by number less one; the totals have none.
constexpr std::array<const char*, kFixedRows> kRowCaptions{"Basic Pay",
                                                           "Overtime",
                                                           "Rent",
                                                           "Overdraft Recovery",
                                                           "Rounding C/F",
                                                           "Housing Benefit",
                                                           "Lump Sums Tax",
                                                           "Rounding B/F",
                                                           "PAYE",
                                                           "NSSF",
                                                           "",
                                                           "",
                                                           "",
                                                           "Overdraft",
                                                           "Net Pay",
                                                           ""};

// Distances below the top margin and widths, in millimetres.
constexpr double kGridTop = 27;
constexpr double kGridBottom = 172;
constexpr double kTitleRule = 8;
constexpr double kColumnTitlesTop = 29;
constexpr double kColumnTitlesHeight = 10.5;
constexpr double kBodyTop = 36.5;
constexpr double kFooterTop = 175;
constexpr double kJobTitleLeft = 171;
constexpr double kSectionIndent = 1.5;
constexpr double kCaptionWidth = 20;
constexpr double kFigureInset = 1;
constexpr double kTotalLineHeight = 7;

common::Font arial(double points, bool bold = false, bool italic = false) {
    common::Font font;
    font.pointSize = points;
    font.weight = bold ? 700 : 400;
    font.italic = italic;
    return font;
}

std::string amountText(double amount) {
    return common::withThousands(amount, 0);
}

bool inUnit(std::string_view unitPath, std::string_view unit) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = unitPath.find('.', start);
        if (common::equalsIgnoreCase(unitPath.substr(start, dot - start), unit))
            return true;
        if (dot == std::string_view::npos)
            return false;
        start = dot + 1;
    }
}

std::string sortName(const YTDREC& rec) {
    return common::toUpper(rec.lastName + ", " + rec.otherNames);
}

} // namespace

std::vector<SummaryLine> summaryLines(const YTDREC& rec) {
    using Kind = SummaryLine::Kind;
    std::vector<SummaryLine> lines;
    const auto fixed = [&](FixedRow row, Kind kind = Kind::Item) {
        if (rec.rows[row].flag)
            lines.push_back(SummaryLine{kind, kRowCaptions[row], &rec.rows[row]});
    };
    const auto list = [&](common::FIELDSTABLE table) {
        for (const YtdNamedRow& named : rec.lists[table])
            if (named.row.flag)
                lines.push_back(SummaryLine{Kind::Item, named.name, &named.row});
    };
    lines.push_back(SummaryLine{Kind::Section, "Payments:", nullptr});
    fixed(kBasicPayRow);
    fixed(kOvertimeRow);
    list(common::EARNINGS);
    list(common::LUMPSUMS);
    fixed(kRoundingBFRow);
    list(common::REFUNDS);
    fixed(kOverdraftRow);
    fixed(kTotalPaymentsRow, Kind::Total);
    if (rec.rows[kTotalDeductionsRow].flag) {
        lines.push_back(SummaryLine{Kind::Section, "Deductions:", nullptr});
        for (FixedRow row :
             {kPayeRow, kNssfRow, kLumpSumTaxRow, kRentRow, kOverdraftRecoveryRow, kRoundingCFRow})
            fixed(row);
        list(common::DEDUCTIONS);
        fixed(kTotalDeductionsRow, Kind::Total);
    }
    fixed(kNetPayRow, Kind::Total);
    if (rec.rows[kTotalBenefitsRow].flag) {
        lines.push_back(SummaryLine{Kind::Section, "Benefits:", nullptr});
        fixed(kHousingBenefitRow);
        list(common::BENEFITS);
        fixed(kTotalBenefitsRow, Kind::Total);
    }
    return lines;
}

double shownTotal(const YTDREC& rec, const YtdRow& row) {
    double total = 0;
    for (std::size_t m = 0; m < kMonths; ++m)
        if (rec.monthFlags[m])
            total += row.amounts[m];
    return total;
}

EMPPAYSUM::EMPPAYSUM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      folder_(folder),
      year_(param.period.year),
      groupBy_(param.groupBy),
      groupName_(param.groupName),
      sortKey_(payrunreports::reportOption(code, folder, common::kReportEmployeePaySummary,
                                           "Sort Key")) {
    setGeometry(common::PageGeometry::landscape(10, 10, 259, 190));
    setRowsPerPage(1);
    setFooterOffset(kFooterTop);
}

bool EMPPAYSUM::requireFile(const common::ORGREC& org) const {
    return year_ == org.year && YTDDB::interimIsStale(folder_, org);
}

bool EMPPAYSUM::readFile(const common::ORGREC& org) {
    const std::string path = year_ == org.year ? YTDDB::interimPath(year_) : YTDDB::filePath(year_);
    YtdFile file;
    if (!readYtdFile(ui(), folder_, path, org, file))
        return false;
    setReadStamp(common::ReadStamp::now());
    std::vector<YTDREC> kept;
    for (YTDREC& rec : file.records) {
        const bool selected = groupBy_ == common::kGroupByUnit ? inUnit(rec.unitPath, groupName_)
                              : groupBy_ == common::kGroupByStation ? rec.stationName == groupName_
                                                                    : true;
        if (selected)
            kept.push_back(std::move(rec));
    }
    if (kept.empty()) {
        ui().error("Sorry, there are no reports for selected unit(s).");
        return false;
    }
    header_ = std::move(file.header);
    names_ = std::move(file.names);
    records_ = std::move(kept);
    return true;
}

void EMPPAYSUM::sort() {
    if (sortKey_ != common::kSortByLastName)
        return;
    std::stable_sort(records_.begin(), records_.end(),
                     [](const YTDREC& a, const YTDREC& b) { return sortName(a) < sortName(b); });
}

void EMPPAYSUM::layOutRows() {
    for (const YTDREC& rec : records_)
        addRow(common::ReportRow{{rec.empNum, rec.lastName + ", " + rec.otherNames}, {}});
}

void EMPPAYSUM::drawBody(common::Canvas& canvas, const common::ReportPage& page, double top) const {
    if (page.firstRow >= records_.size())
        return;
    const YTDREC& rec = records_[page.firstRow];
    const common::PageGeometry& g = geometry();
    const double left = g.leftMargin;
    const double width = g.printableWidth;
    using namespace common::align;

    canvas.setFont(arial(14, true));
    canvas.drawText({left, top, width, 7}, header_.orgName, Center | VCenter | SingleLine);
    double y = top + 7;
    double height = common::lineHeight(canvas, arial(11), 1.2);
    canvas.drawText({left, y, width, height}, "Employee Pay Summary for " + header_.yearText,
                    Center | VCenter | SingleLine);
    y += height;
    height = common::lineHeight(canvas, arial(10), 1.2);
    const double right = width - kJobTitleLeft;
    canvas.drawText({left, y, kJobTitleLeft, height},
                    "Name: " + rec.lastName + ", " + rec.otherNames, Left | SingleLine);
    canvas.drawText({left + kJobTitleLeft, y, right, height}, "Job Title: " + rec.jobTitle,
                    Left | SingleLine);
    y += height;
    canvas.drawText({left, y, kJobTitleLeft, height}, "Employee Number: " + rec.empNum,
                    Left | SingleLine);
    canvas.drawText({left + kJobTitleLeft, y, right, height},
                    "Administrative Unit: " + payrunreports::ownUnit(rec.unitPath),
                    Left | SingleLine);

    canvas.setPen(common::Pen{});
    canvas.drawRect({left, g.y(kGridTop), width, kGridBottom - kGridTop});
    canvas.drawLine(left, g.y(kGridTop + kTitleRule), g.right(), g.y(kGridTop + kTitleRule));
    for (std::size_t m = 0; m <= kMonths; ++m) {
        const double x = left + kCaptionColumn + kMonthColumn * static_cast<double>(m);
        canvas.drawLine(x, g.y(kGridTop), x, g.y(kGridBottom));
    }

    canvas.setFont(arial(8, true));
    const double titlesTop = g.y(kColumnTitlesTop);
    canvas.drawText({left, titlesTop, kCaptionColumn, kColumnTitlesHeight}, "",
                    Center | SingleLine);
    for (std::size_t m = 0; m < kMonths; ++m)
        canvas.drawText({left + kCaptionColumn + kMonthColumn * static_cast<double>(m), titlesTop,
                         kMonthColumn, kColumnTitlesHeight},
                        kMonthTitles[m], Center | SingleLine);
    canvas.drawText({left + kCaptionColumn + kMonthColumn * kMonths, titlesTop, kTotalColumn,
                     kColumnTitlesHeight},
                    "TOTAL", Center | SingleLine);

    y = g.y(kBodyTop);
    for (const SummaryLine& line : summaryLines(rec))
        y = drawLine(canvas, rec, line, y);
}

double EMPPAYSUM::drawLine(common::Canvas& canvas, const YTDREC& rec, const SummaryLine& line,
                           double y) const {
    using namespace common::align;
    const double left = geometry().leftMargin;
    const bool italic = line.kind != SummaryLine::Kind::Item;
    const double height = line.kind == SummaryLine::Kind::Total
                              ? kTotalLineHeight
                              : common::lineHeight(canvas, arial(8, false, italic), 1.2);
    canvas.setFont(arial(8, false, italic));
    const int flags = VCenter | SingleLine;
    if (line.kind == SummaryLine::Kind::Section) {
        canvas.drawText({left + kSectionIndent, y, kCaptionColumn * 2, height}, line.caption,
                        Left | flags);
        return y + height;
    }
    canvas.drawText({left + kSectionIndent, y, kCaptionWidth, height}, line.caption, Left | flags);
    for (std::size_t m = 0; m < kMonths; ++m) {
        if (!rec.monthFlags[m])
            continue;
        canvas.drawText({left + kCaptionColumn + kMonthColumn * static_cast<double>(m), y,
                         kMonthColumn - kFigureInset, height},
                        amountText(line.row->amounts[m]), Right | flags);
    }
    canvas.drawText(
        {left + kCaptionColumn + kMonthColumn * kMonths, y, kTotalColumn - kFigureInset, height},
        amountText(shownTotal(rec, *line.row)), Right | flags);
    return y + height;
}

bool EMPPAYSUM::writeText(common::TextExport& out) const {
    std::vector<std::string> titles{""};
    titles.insert(titles.end(), kMonthTitles.begin(), kMonthTitles.end());
    titles.emplace_back("TOTAL");
    for (const YTDREC& rec : records_) {
        out.fields({header_.orgName});
        out.fields({"Employee Pay Summary for " + header_.yearText});
        out.fields({"Name: " + rec.lastName + ", " + rec.otherNames, "Job Title: " + rec.jobTitle});
        out.fields({"Employee Number: " + rec.empNum,
                    "Administrative Unit: " + payrunreports::ownUnit(rec.unitPath)});
        out.emptyLine();
        out.fields(titles);
        for (const SummaryLine& line : summaryLines(rec)) {
            if (line.kind == SummaryLine::Kind::Section) {
                out.fields({line.caption});
                continue;
            }
            std::vector<std::string> cells{line.caption};
            for (std::size_t m = 0; m < kMonths; ++m)
                cells.push_back(rec.monthFlags[m] ? amountText(line.row->amounts[m]) : "");
            cells.push_back(amountText(shownTotal(rec, *line.row)));
            out.fields(cells);
        }
        out.emptyLine();
    }
    return true;
}

bool preparePaySummary(common::Ui& ui, YTDDB& store, EMPPAYSUM& report, const common::ORGREC& org) {
    if (report.requireFile(org) && (!store.checkFiles(ui, org) || !store.writeInterimFile(ui, org)))
        return false;
    if (!report.readFile(org))
        return false;
    report.sort();
    report.layOut();
    return true;
}

} // namespace kelo::yeartodate
