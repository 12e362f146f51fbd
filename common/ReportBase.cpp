#include "common/ReportBase.h"

#include "common/Calendar.h"
#include "common/CsvExport.h"
#include "common/Text.h"
#include "common/WorkingFolder.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace kelo::common {

namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// The paper's edge in the preview: light grey down the right, along the bottom.
constexpr Color kPaperEdge{211, 211, 211};

// The page number in a text as the Go to Page box gives it: leading blanks,
// a sign and the digits up to the first other character; 0 when none.
long pageNumberOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 100'000'000)
            return 0;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

} // namespace

ReadStamp ReadStamp::now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return at(date{local.tm_year + 1900, static_cast<std::uint8_t>(local.tm_mday),
                   static_cast<std::uint8_t>(local.tm_mon + 1)},
              local.tm_hour, local.tm_min);
}

ReadStamp ReadStamp::at(date day, int hour, int minute) {
    namespace chrono = std::chrono;
    const chrono::year_month_day ymd{chrono::year{day.year}, chrono::month{day.month},
                                     chrono::day{day.day}};
    ReadStamp stamp;
    if (ymd.ok()) {
        const chrono::weekday weekday{chrono::sys_days{ymd}};
        stamp.dateText = std::string(kDayNames[weekday.c_encoding()]) + ", " +
                         std::to_string(day.day) + " " + monthName(day.month).substr(0, 3) + " " +
                         std::to_string(day.year);
    }
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    stamp.timeText = std::to_string(hour12) + ":" + (minute < 10 ? "0" : "") +
                     std::to_string(minute) + (hour < 12 ? " AM" : " PM");
    return stamp;
}

std::string pageOfText(int page, int pageCount) {
    return "Page " + std::to_string(page) + " of " + std::to_string(pageCount);
}

std::string readStampText(const ReadStamp& stamp) {
    return "[" + stamp.dateText + "  " + stamp.timeText + "]";
}

Font footerFont() {
    Font font;
    font.face = "Arial";
    font.pointSize = 8;
    font.weight = 400;
    return font;
}

REPORTBASE::REPORTBASE(Ui& ui) : ui_(ui), pages_{ReportPage{}} {}

REPORTBASE::~REPORTBASE() = default;

void REPORTBASE::layOut() {
    rows_.clear();
    layOutRows();
    pages_ = splitPages();
    if (pages_.empty())
        pages_.push_back(ReportPage{});
    for (std::size_t i = 0; i < pages_.size(); ++i)
        pages_[i].number = static_cast<int>(i + 1);
    currentPage_ = 1;
}

std::vector<ReportPage> REPORTBASE::splitPages() const {
    std::vector<ReportPage> pages;
    const auto perPage = static_cast<std::size_t>(rowsPerPage_);
    for (std::size_t first = 0; first < rows_.size(); first += perPage) {
        pages.push_back(ReportPage{static_cast<int>(pages.size() + 1), first,
                                   std::min(perPage, rows_.size() - first)});
    }
    return pages;
}

std::vector<HeadingLine> REPORTBASE::headingLines(const ReportPage&) const {
    return {};
}

bool REPORTBASE::writeText(TextExport&) const {
    return false;
}

const ReportPage* REPORTBASE::pageAt(int number) const {
    if (number < 1 || number > pageCount())
        return nullptr;
    return &pages_[static_cast<std::size_t>(number - 1)];
}

std::string_view REPORTBASE::totalLabel(const ReportPage& page) const {
    return page.number >= pageCount() ? "Grand Total" : "Total C/F";
}

bool REPORTBASE::nextPage() {
    if (currentPage_ >= pageCount())
        return false;
    ++currentPage_;
    return true;
}

bool REPORTBASE::previousPage() {
    if (currentPage_ <= 1)
        return false;
    --currentPage_;
    return true;
}

bool REPORTBASE::firstPage() {
    bool moved = false;
    while (previousPage())
        moved = true;
    return moved;
}

bool REPORTBASE::lastPage() {
    bool moved = false;
    while (nextPage())
        moved = true;
    return moved;
}

bool REPORTBASE::gotoPageNum(std::string_view text) {
    const long number = pageNumberOf(text);
    if (number < 1 || number > pageCount()) {
        ui_.information("Page not found.");
        return false;
    }
    currentPage_ = static_cast<int>(number);
    return true;
}

std::string REPORTBASE::pageCaption() const {
    return pageOfText(currentPage_, pageCount());
}

void REPORTBASE::drawPage(Canvas& canvas, int number) const {
    const ReportPage* page = pageAt(number);
    if (!page)
        return;
    canvas.setTextColor(Color{});
    double top = geometry_.topMargin;
    for (const HeadingLine& line : headingLines(*page)) {
        canvas.setFont(line.font);
        canvas.drawText({geometry_.leftMargin, top, geometry_.printableWidth, line.height},
                        line.text, line.flags);
        top += line.height;
    }
    drawBody(canvas, *page, top);
    if (footerOffset_)
        drawFooter(canvas, number);
}

void REPORTBASE::drawFooter(Canvas& canvas, int number) const {
    canvas.setFont(footerFont());
    canvas.setTextColor(Color{});
    const RectMm band{geometry_.leftMargin, geometry_.y(*footerOffset_), geometry_.printableWidth,
                      lineHeight(canvas, 1.2)};
    canvas.drawText(band, pageOfText(number, pageCount()), align::Right | align::SingleLine);
    canvas.drawText(band, readStampText(stamp_), align::Left | align::SingleLine);
}

bool REPORTBASE::print(Canvas& canvas, PRINTERREC printer) {
    if (printer.preview) {
        printer.pageRange = kPrintCurrentPage;
        printer.copies = 1;
    }
    if (!canvas.beginDocument(caption())) {
        ui_.error("Printer Error! Printing aborted.");
        return false;
    }
    for (int copy = 0; copy < printer.copies; ++copy) {
        int number = printer.pageRange == kPrintCurrentPage ? currentPage_ : 1;
        for (; number <= pageCount(); ++number) {
            if (printer.pageRange == kPrintPageSpan) {
                const auto unsignedNumber = static_cast<std::uint32_t>(number);
                if (unsignedNumber > printer.toPage)
                    break;
                if (unsignedNumber < printer.fromPage)
                    continue;
            }
            canvas.beginPage();
            if (printer.preview) {
                canvas.setPen(Pen{PenStyle::Solid, 0, kPaperEdge});
                canvas.drawLine(geometry_.paperWidth, 0, geometry_.paperWidth,
                                geometry_.paperHeight);
                canvas.drawLine(0, geometry_.paperHeight, geometry_.paperWidth,
                                geometry_.paperHeight);
            }
            drawPage(canvas, number);
            canvas.endPage();
            if (printer.pageRange == kPrintCurrentPage)
                break;
        }
    }
    canvas.endDocument();
    return true;
}

std::optional<std::string> REPORTBASE::exportText() const {
    TextExport out;
    if (!writeText(out))
        return std::nullopt;
    return out.bytes();
}

bool REPORTBASE::saveAsTxt(const WorkingFolder& folder) {
    const std::optional<std::string> bytes = exportText();
    return bytes && saveTextExport(ui_, folder, *bytes);
}

std::optional<std::string> REPORTBASE::exportCsv() const {
    if (columns_.empty())
        return std::nullopt;
    std::vector<bool> figureColumn(columns_.size(), false);
    for (const ReportRow& row : rows_)
        for (std::size_t c = 0; c < row.figures.size() && c < columns_.size(); ++c)
            if (row.figures[c] != 0)
                figureColumn[c] = true;
    CsvExport out;
    std::vector<std::string> fields;
    for (const ReportColumn& column : columns_)
        if (column.visible)
            fields.push_back(oneLineHeading(column.heading));
    out.row(fields);
    for (const ReportRow& row : rows_) {
        fields.clear();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (!columns_[c].visible)
                continue;
            const std::string cell = c < row.cells.size() ? row.cells[c] : std::string();
            const bool figure = figureColumn[c] && !cell.empty() && c < row.figures.size();
            fields.push_back(figure ? plainAmount(row.figures[c]) : cell);
        }
        out.row(fields);
    }
    return out.bytes();
}

bool REPORTBASE::saveAsCsv(const WorkingFolder& folder) {
    const std::optional<std::string> bytes = exportCsv();
    return bytes && saveCsvExport(ui_, folder, *bytes);
}

std::vector<double> REPORTBASE::totalsThrough(int number) const {
    std::vector<double> totals(columns_.size(), 0.0);
    const ReportPage* page = pageAt(number);
    if (!page)
        return totals;
    for (std::size_t r = 0; r < page->endRow() && r < rows_.size(); ++r) {
        const std::vector<double>& figures = rows_[r].figures;
        if (figures.size() > totals.size())
            totals.resize(figures.size(), 0.0);
        for (std::size_t c = 0; c < figures.size(); ++c)
            totals[c] += figures[c];
    }
    return totals;
}

void REPORTBASE::setColumnVisible(std::size_t column, bool visible) {
    if (column < columns_.size())
        columns_[column].visible = visible;
}

void REPORTBASE::placeColumns(double start, double gap) {
    double left = start;
    for (ReportColumn& column : columns_) {
        if (!column.visible)
            continue;
        column.left = left;
        left += column.width + gap;
    }
}

void REPORTBASE::drawHeadings(Canvas& canvas, double top, double height, int flags) const {
    std::vector<std::string> headings;
    headings.reserve(columns_.size());
    for (const ReportColumn& column : columns_)
        headings.push_back(column.heading);
    drawCells(canvas, headings, top, height, flags);
}

void REPORTBASE::drawCells(Canvas& canvas, const std::vector<std::string>& cells, double top,
                           double height, int flags) const {
    for (std::size_t c = 0; c < columns_.size() && c < cells.size(); ++c) {
        const ReportColumn& column = columns_[c];
        if (!column.visible || cells[c].empty())
            continue;
        canvas.drawText({geometry_.x(column.left), top, column.width, height}, cells[c],
                        flags | column.align);
    }
}

std::vector<std::string> REPORTBASE::visibleCells(const std::vector<std::string>& cells) const {
    std::vector<std::string> visible;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].visible)
            visible.push_back(c < cells.size() ? cells[c] : std::string());
    }
    return visible;
}

void REPORTBASE::writeHeadings(TextExport& out) const {
    std::vector<std::string> headings;
    for (const ReportColumn& column : columns_) {
        std::string heading = column.heading;
        std::replace(heading.begin(), heading.end(), '\n', ' ');
        headings.push_back(trim(heading));
    }
    out.fields(visibleCells(headings));
}

void REPORTBASE::writeRows(TextExport& out) const {
    for (const ReportRow& row : rows_)
        out.fields(visibleCells(row.cells));
}

} // namespace kelo::common
