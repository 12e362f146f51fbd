#include "app/main/ReportPrinting.h"

#include "app/main/DialogHost.h"
#include "app/ports/PdfCanvas.h"
#include "app/ports/QtText.h"
#include "common/ReportBase.h"
#include "common/TextExport.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace kelo::app {

namespace {

// Fine enough for print, small enough for a payroll of many pages.
constexpr int kPdfResolution = 300;

QPageLayout::Orientation pageOrientation(common::Orientation orientation) {
    return orientation == common::Orientation::Landscape ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait;
}

} // namespace

PrinterCanvas::PrinterCanvas(QPrinter& printer)
    : QtCanvas(printer.resolution(), printer.resolution()),
      printer_(printer) {}

PrinterCanvas::~PrinterCanvas() {
    endPainting();
}

double PrinterCanvas::pageWidthMm() const {
    return printer_.pageLayout().fullRect(QPageLayout::Millimeter).width();
}

double PrinterCanvas::pageHeightMm() const {
    return printer_.pageLayout().fullRect(QPageLayout::Millimeter).height();
}

bool PrinterCanvas::beginDocument(const std::string& title) {
    endDocument();
    printer_.setDocName(toQString(title));
    printer_.setCreator(QStringLiteral("Kelo Roster"));
    printer_.setFullPage(true);
    pagesStarted_ = 0;
    return beginPainting(printer_);
}

void PrinterCanvas::endDocument() {
    endPainting();
}

// The painter opened the first page; each later one needs a new page.
void PrinterCanvas::beginPage() {
    if (!painting())
        return;
    if (pagesStarted_++ > 0)
        printer_.newPage();
}

std::optional<common::PRINTERREC> runPrintDialog(DialogHost& host, QPrinter& printer,
                                                 const common::REPORTBASE& report,
                                                 QWidget* parent) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(pageOrientation(report.orientation()));
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, report.pageCount());
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCurrentPage |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, report.pageCount());
    if (host.exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    common::PRINTERREC pages;
    switch (printer.printRange()) {
    case QPrinter::CurrentPage:
        pages.pageRange = common::kPrintCurrentPage;
        break;
    case QPrinter::PageRange:
        pages.pageRange = common::kPrintPageSpan;
        pages.fromPage = static_cast<std::uint32_t>(std::max(1, printer.fromPage()));
        pages.toPage = static_cast<std::uint32_t>(std::max(printer.fromPage(), printer.toPage()));
        break;
    default:
        pages.pageRange = common::kPrintAllPages;
        break;
    }
    // A printer that makes the copies itself gets the pages once.
    pages.copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    return pages;
}

bool printReport(common::REPORTBASE& report, QPrinter& printer, common::PRINTERREC pages) {
    pages.preview = 0;
    PrinterCanvas canvas(printer);
    return report.print(canvas, pages);
}

bool savePdfParts(common::REPORTBASE& report, common::Ui& ui, const std::vector<PdfPart>& parts) {
    const common::WaitCursor wait(ui);
    for (const PdfPart& part : parts) {
        PdfCanvas canvas(part.path, kPdfResolution, report.orientation());
        // A file that cannot be written is the clerk's file, not a printer.
        if (!canvas.beginDocument(report.caption())) {
            ui.error("Can't save to " + part.path);
            return false;
        }
        canvas.endDocument();
        common::PRINTERREC pages;
        pages.pageRange = common::kPrintPageSpan;
        pages.fromPage = static_cast<std::uint32_t>(std::max(1, part.fromPage));
        pages.toPage = static_cast<std::uint32_t>(std::max(part.fromPage, part.toPage));
        if (!report.print(canvas, pages))
            return false;
    }
    return true;
}

bool saveReportAsPdf(common::REPORTBASE& report, common::Ui& ui,
                     const common::WorkingFolder& folder) {
    common::FileChoice choice = common::textExportChoice(folder);
    choice.title = "Save as PDF";
    choice.filter = "PDF Files (*.pdf)";
    choice.defaultExtension = "pdf";
    // The report's caption proposes the name; a slash would make it a folder.
    std::string name = report.caption();
    std::replace(name.begin(), name.end(), '/', '-');
    choice.fileName = name.empty() ? std::string() : name + ".pdf";
    const std::optional<std::string> path = ui.chooseSaveFile(choice);
    if (!path)
        return false;
    return savePdfParts(report, ui, {{*path, 1, report.pageCount()}});
}

std::string fileNameOf(const std::string& name) {
    std::string safe = name;
    for (char& c : safe)
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20)
            c = '-';
    if (safe.empty() || safe == "." || safe == "..")
        safe = "-" + safe;
    return safe;
}

bool savePdfPerEmployee(common::REPORTBASE& report, common::Ui& ui,
                        const common::WorkingFolder& folder) {
    const std::optional<std::string> chosen =
        ui.chooseFolder("Save Payslips as PDF Files", folder.resolve("../exports"));
    if (!chosen)
        return false;
    const std::vector<common::PagePart> parts = report.layOutPerEmployee();
    if (parts.empty()) {
        report.layOut();
        return false;
    }
    std::vector<PdfPart> files;
    files.reserve(parts.size());
    for (const common::PagePart& part : parts)
        files.push_back(
            {(std::filesystem::path(*chosen) / (fileNameOf(part.name) + ".pdf")).string(),
             part.fromPage, part.toPage});
    const bool saved = savePdfParts(report, ui, files);
    report.layOut();
    if (saved)
        ui.information(std::to_string(files.size()) + " payslips saved as PDF files in " + *chosen +
                       ".");
    return saved;
}

} // namespace kelo::app
