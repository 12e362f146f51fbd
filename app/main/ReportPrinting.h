#pragma once

#include "app/ports/QtCanvas.h"
#include "common/ReportRecords.h"

#include <optional>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace kelo::common {
class REPORTBASE;
class Ui;
class WorkingFolder;
} // namespace kelo::common

namespace kelo::app {

class DialogHost;

// The Canvas port over a printer: the paper measured from its corner, so
// that reports place their margins themselves.
class PrinterCanvas : public QtCanvas {
public:
    explicit PrinterCanvas(QPrinter& printer);
    ~PrinterCanvas() override;

    double pageWidthMm() const override;
    double pageHeightMm() const override;

    bool beginDocument(const std::string& title) override;
    void endDocument() override;
    void beginPage() override;
    void endPage() override {}

private:
    QPrinter& printer_;
    int pagesStarted_ = 0;
};

// The print dialog on `printer`, turned as the report's paper is: all pages,
// the current page or a span, the copies and the printer's own setup. The
// pages and copies to print; none when the clerk cancels.
std::optional<common::PRINTERREC> runPrintDialog(DialogHost& host, QPrinter& printer,
                                                 const common::REPORTBASE& report, QWidget* parent);

// Prints through the report's print protocol; false after the report's
// message when the printer cannot start.
bool printReport(common::REPORTBASE& report, QPrinter& printer, common::PRINTERREC pages);

// Pages `fromPage` to `toPage` of a report, written to their own PDF file:
// for reports that hand each employee his own pages.
struct PdfPart {
    std::string path;
    int fromPage = 1;
    int toPage = 1;
};

// Writes each part as the printer would print it; stops at the first file
// that cannot be written, after "Can't save to %s".
bool savePdfParts(common::REPORTBASE& report, common::Ui& ui, const std::vector<PdfPart>& parts);

// Asks for a PDF file beside the text exports and writes every page to it;
// false when the clerk cancels or the file cannot be written.
bool saveReportAsPdf(common::REPORTBASE& report, common::Ui& ui,
                     const common::WorkingFolder& folder);

// Asks for a folder and writes each employee's pages of the report to a PDF
// file of his own there, named by his number ("MH001.pdf"), replacing a file
// of that name; tells how many were written. The report is laid out again
// as before, on its first page. False when the clerk cancels, the report
// has no pages per employee or a file cannot be written.
bool savePdfPerEmployee(common::REPORTBASE& report, common::Ui& ui,
                        const common::WorkingFolder& folder);

// A name made safe for a file of its own: characters that a file system
// refuses or reads as a folder become '-'.
std::string fileNameOf(const std::string& name);

} // namespace kelo::app
