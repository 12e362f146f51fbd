#pragma once

#include "common/Canvas.h"
#include "common/ReportGeometry.h"
#include "common/ReportRecords.h"
#include "common/TextExport.h"
#include "common/Ui.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::common {

class WorkingFolder;

// When a report's data were read, as its page footer shows it:
// "Fri, 14 Mar 2025" and "9:05 AM".
struct ReadStamp {
    std::string dateText;
    std::string timeText;

    static ReadStamp now();
    static ReadStamp at(date day, int hour, int minute);
};

// One column of a tabular report. `left` is measured from the left margin.
struct ReportColumn {
    std::string heading; // "\n" breaks it on the page; the export writes a blank
    double width = 0;
    int align = align::Left;
    bool visible = true; // a hidden column takes no room and is not exported
    double left = 0;
};

// One laid-out row: its text per column and, where a column is totalled,
// the figure per column that the page totals add up.
struct ReportRow {
    std::vector<std::string> cells;
    std::vector<double> figures;
};

// The rows one page shows.
struct ReportPage {
    int number = 1;
    std::size_t firstRow = 0;
    std::size_t rowCount = 0;
    std::size_t endRow() const { return firstRow + rowCount; }
};

// Pages `fromPage` to `toPage` that belong to one employee, named by him.
struct PagePart {
    std::string name;
    int fromPage = 1;
    int toPage = 1;
    friend bool operator==(const PagePart&, const PagePart&) = default;
};

// A band of the page heading, centred over the printable width.
struct HeadingLine {
    std::string text;
    Font font;
    double height = 0;
    int flags = align::Center | align::VCenter | align::SingleLine;
};

// The base of every report. The main program drives a report through the
// same steps: construct it, let it read its data, layOut() once, show
// caption() and pageCaption(), draw pages with print() (preview and printer
// alike), move between pages, and saveAsTxt(). A report supplies its rows
// (layOutRows), its heading and the body of a page; this base divides the
// rows into pages, draws the heading and the footer with "Page %d of %d" and
// the time the data were read, runs the print protocol and writes the text
// export to the file the user chooses.
class REPORTBASE {
public:
    explicit REPORTBASE(Ui& ui);
    virtual ~REPORTBASE();
    REPORTBASE(const REPORTBASE&) = delete;
    REPORTBASE& operator=(const REPORTBASE&) = delete;

    // The preview window's caption.
    virtual std::string caption() const { return {}; }
    Orientation orientation() const { return geometry_.orientation(); }
    const PageGeometry& geometry() const { return geometry_; }

    // Lays the rows out and divides them into pages; the first page becomes
    // the current one. A report without rows still has one page.
    void layOut();

    int rowsPerPage() const { return rowsPerPage_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    int currentPage() const { return currentPage_; }
    const std::vector<ReportPage>& pages() const { return pages_; }
    const std::vector<ReportRow>& rows() const { return rows_; }
    const std::vector<ReportColumn>& columns() const { return columns_; }
    const ReadStamp& readStamp() const { return stamp_; }

    // Page moves of the preview: false when there is no page that way.
    // firstPage and lastPage answer whether they moved.
    bool nextPage();
    bool previousPage();
    bool firstPage();
    bool lastPage();
    // The page whose number the text gives; "Page not found." otherwise.
    bool gotoPageNum(std::string_view text);
    // "Page %d of %d" of the current page, for the status bar.
    std::string pageCaption() const;

    // Draws page `number` (1-based): heading, body and footer.
    void drawPage(Canvas& canvas, int number) const;
    // The print protocol: the preview draws the current page once with the
    // paper's edge; printing draws the pages and copies `printer` asks for.
    // False after "Printer Error! Printing aborted." when the canvas cannot
    // start a document.
    virtual bool print(Canvas& canvas, PRINTERREC printer);

    // The text export's bytes; none when the report has no text export.
    std::optional<std::string> exportText() const;
    // Writes the text export to a file the user chooses; false when the
    // report has none, the user cancels or the file cannot be written.
    bool saveAsTxt(const WorkingFolder& folder);

    // The CSV export's bytes: the visible columns' headings, then one line
    // per row with its visible cells; in a column where some row has a
    // figure, the figure as a plain amount. None when the report has no
    // columns.
    virtual std::optional<std::string> exportCsv() const;
    // Writes the CSV export to a file the user chooses; false as saveAsTxt.
    bool saveAsCsv(const WorkingFolder& folder);

    // Reports that hand each employee his own pages lay themselves out again
    // with every employee's pages apart and name each run by the employee's
    // number; the others answer none. layOut() returns to the usual pages.
    virtual std::vector<PagePart> layOutPerEmployee() { return {}; }

    // Sums of each column's figures from the first row to the end of the
    // page: the "Total C/F" of that page, or on the last the grand total.
    std::vector<double> totalsThrough(int number) const;

protected:
    // Fills the rows with addRow, in report order.
    virtual void layOutRows() = 0;
    // Pages of rowsPerPage rows each; reports with other breaks override it.
    virtual std::vector<ReportPage> splitPages() const;
    // The bands at the top of every page, drawn from the top margin down.
    virtual std::vector<HeadingLine> headingLines(const ReportPage& page) const;
    // The page below the heading; `top` is where the heading ends.
    virtual void drawBody(Canvas& canvas, const ReportPage& page, double top) const = 0;
    // False: the report has no text export.
    virtual bool writeText(TextExport& out) const;

    Ui& ui() const { return ui_; }
    void setGeometry(const PageGeometry& geometry) { geometry_ = geometry; }
    void setRowsPerPage(int rows) { rowsPerPage_ = rows > 0 ? rows : 1; }
    // The footer line's distance below the top margin; none: no footer.
    void setFooterOffset(std::optional<double> belowTop) { footerOffset_ = belowTop; }
    // A report stamps ReadStamp::now() as it reads its data.
    void setReadStamp(ReadStamp stamp) { stamp_ = std::move(stamp); }
    void addRow(ReportRow row) { rows_.push_back(std::move(row)); }
    const ReportPage* pageAt(int number) const;
    // "Grand Total" on the last page, "Total C/F" before it.
    std::string_view totalLabel(const ReportPage& page) const;

    // Tabular reports: columns, placed one after another.
    void setColumns(std::vector<ReportColumn> columns) { columns_ = std::move(columns); }
    void setColumnVisible(std::size_t column, bool visible);
    // Visible columns from `start` to the right of the left margin, `gap`
    // apart; hidden ones take no room.
    void placeColumns(double start, double gap);
    // Each visible column's heading (or cell) in its column's rectangle,
    // aligned as the column is, with `flags` added.
    void drawHeadings(Canvas& canvas, double top, double height, int flags) const;
    void drawCells(Canvas& canvas, const std::vector<std::string>& cells, double top, double height,
                   int flags) const;
    // The visible columns' headings and every row's visible cells.
    void writeHeadings(TextExport& out) const;
    void writeRows(TextExport& out) const;
    std::vector<std::string> visibleCells(const std::vector<std::string>& cells) const;

private:
    void drawFooter(Canvas& canvas, int number) const;

    Ui& ui_;
    PageGeometry geometry_;
    int rowsPerPage_ = 1;
    int currentPage_ = 1;
    std::optional<double> footerOffset_;
    ReadStamp stamp_;
    std::vector<ReportColumn> columns_;
    std::vector<ReportRow> rows_;
    std::vector<ReportPage> pages_;
};

// The footer's texts.
std::string pageOfText(int page, int pageCount);   // "Page 2 of 3"
std::string readStampText(const ReadStamp& stamp); // "[Fri, 14 Mar 2025  9:05 AM]"

// The footer's font: 8-point "Arial", normal weight.
Font footerFont();

} // namespace kelo::common
