#include "app/main/ReportPreview.h"

#include "app/main/DocumentWindow.h"
#include "app/main/ReportPrinting.h"
#include "app/tests/DemoWindowFixture.h"
#include "common/ReportBase.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>

#include <cmath>

namespace kelo::app::testing {
namespace {

using common::align::Left;

// 25 rows, ten to a page: three pages, the last with five rows.
class TinyReport : public common::REPORTBASE {
public:
    TinyReport(common::Ui& ui, bool landscape, bool* destroyed)
        : REPORTBASE(ui),
          destroyed_(destroyed) {
        setGeometry(landscape ? common::PageGeometry::landscape(10, 15, 267, 180)
                              : common::PageGeometry::portrait(10, 15, 180, 267));
        setRowsPerPage(10);
        setFooterOffset(landscape ? 170 : 257);
        setColumns({{"Name", 40, Left}, {"Amount", 25, common::align::Right}});
        placeColumns(0, 3);
        setReadStamp(common::ReadStamp::at({2025, 14, 3}, 9, 5));
    }
    ~TinyReport() override {
        if (destroyed_)
            *destroyed_ = true;
    }
    std::string caption() const override { return "Tiny Report"; }
    // Page 1 is one employee's, pages 2 and 3 another's, as payslips are.
    std::vector<common::PagePart> layOutPerEmployee() override {
        layOut();
        return {{"E/001", 1, 1}, {"E002", 2, 3}};
    }

protected:
    void layOutRows() override {
        for (int i = 1; i <= 25; ++i)
            addRow({{"Row " + std::to_string(i), std::to_string(100 * i) + ".00"}, {}});
    }
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override {
        canvas.setFont(common::Font{"Arial", 10});
        double y = top + 10;
        for (std::size_t r = page.firstRow; r < page.endRow(); ++r, y += 6)
            drawCells(canvas, rows()[r].cells, y, 6, common::align::SingleLine);
    }
    bool writeText(common::TextExport& out) const override {
        out.fields({"Tiny Report"});
        writeRows(out);
        return true;
    }

private:
    bool* destroyed_;
};

std::string readFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

// The page objects of a PDF that QPdfWriter wrote: "/Type /Page" and not
// "/Type /Pages".
int pdfPageCount(const std::string& path) {
    const QString text = QString::fromLatin1(readFile(path));
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

std::string pdfInfo(const std::string& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool, {QString::fromStdString(path)});
    process.waitForFinished(-1);
    return process.readAllStandardOutput().toStdString();
}

class ReportPreviewTest : public DemoWindowFixture {
protected:
    // Opens the tiny report as code 31 (the summary report) unless told.
    ReportPreview* openTiny(int code = 31, bool landscape = false) {
        window->resize(1000, 800);
        window->show();
        auto report = std::make_unique<TinyReport>(*ui, landscape, &destroyed);
        report->layOut();
        EXPECT_TRUE(window->openReport(std::move(report), code, "Tiny Report"));
        QApplication::processEvents();
        return dynamic_cast<ReportPreview*>(window->documentWindow());
    }
    QString pageCaption() const { return window->statusPart(1)->text(); }
    QStringList menuTitles() const {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles << action->text();
        return titles;
    }
    bool enabled(int id) const {
        QAction* item = window->menuAction(id);
        return item && item->isEnabled();
    }
    // The page buttons are on the toolbar.
    bool buttonOn(int id) const {
        QAction* button = window->toolbarAction(id);
        return button && button->isEnabled();
    }

    bool destroyed = false;
};

TEST_F(ReportPreviewTest, OpensOnTheFirstPageWithThePageMenuAndCaption) {
    const QStringList before = menuTitles();
    ReportPreview* preview = openTiny();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(window->commandContext().document, DocumentKind::Report);
    EXPECT_EQ(window->commandContext().reportCode, 31);
    EXPECT_EQ(pageCaption(), QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Tiny Report"));
    const QStringList titles = menuTitles();
    ASSERT_EQ(titles.size(), before.size() + 1);
    EXPECT_EQ(titles[1], QStringLiteral("P&age"));
    EXPECT_FALSE(buttonOn(cmd::First));
    EXPECT_FALSE(buttonOn(cmd::Previous));
    EXPECT_TRUE(buttonOn(cmd::Next));
    EXPECT_TRUE(buttonOn(cmd::Last));
    EXPECT_TRUE(enabled(cmd::Print));
    EXPECT_TRUE(enabled(cmd::SaveAsText));
    EXPECT_TRUE(enabled(cmd::SaveAsPdf));
    EXPECT_FALSE(enabled(cmd::Save));
    // The page is drawn to the width of the window.
    const QPixmap page = preview->pageView()->pixmap();
    EXPECT_GT(page.width(), preview->width() - 40);
    EXPECT_LE(page.width(), preview->width());
    EXPECT_NEAR(preview->zoomDpi(), page.width() / (210 / 25.4), 1);
}

TEST_F(ReportPreviewTest, PagesThroughTheReport) {
    openTiny();
    struct Step {
        int command;
        const char* caption;
        bool firstOn;
        bool lastOn;
    };
    const Step steps[] = {
        {cmd::Next, "Page 2 of 3", true, true},   {cmd::Next, "Page 3 of 3", true, false},
        {cmd::Next, "Page 3 of 3", true, false},  {cmd::Previous, "Page 2 of 3", true, true},
        {cmd::First, "Page 1 of 3", false, true}, {cmd::Previous, "Page 1 of 3", false, true},
        {cmd::Last, "Page 3 of 3", true, false},
    };
    for (const Step& step : steps) {
        window->runCommand(step.command);
        EXPECT_EQ(pageCaption(), QString::fromLatin1(step.caption)) << step.command;
        EXPECT_EQ(buttonOn(cmd::First), step.firstOn) << step.command;
        EXPECT_EQ(buttonOn(cmd::Previous), step.firstOn) << step.command;
        EXPECT_EQ(buttonOn(cmd::Next), step.lastOn) << step.command;
        EXPECT_EQ(buttonOn(cmd::Last), step.lastOn) << step.command;
    }
}

TEST_F(ReportPreviewTest, ReportsNotTurnedPageByPageIgnoreThePageCommands) {
    ReportPreview* preview = openTiny(62);
    EXPECT_FALSE(menuTitles().contains(QStringLiteral("P&age")));
    window->runCommand(cmd::Next);
    window->runCommand(cmd::Last);
    EXPECT_EQ(preview->report().currentPage(), 1);
    EXPECT_EQ(pageCaption(), QStringLiteral("Page 1 of 3"));
}

TEST_F(ReportPreviewTest, GoesToAPageAndRefusesOneThatIsNotThere) {
    ReportPreview* preview = openTiny();
    host.then(QStringLiteral("GoToPageDialog"), [](QDialog& d) {
        type(d, "PageNumber", QStringLiteral("4"));
        click(d, "OkButton");
    });
    host.then(QStringLiteral("GoToPageDialog"), [](QDialog& d) {
        type(d, "PageNumber", QStringLiteral("3"));
        click(d, "OkButton");
    });
    window->runCommand(cmd::GoToPage);
    ASSERT_EQ(ui->texts.size(), 1U);
    EXPECT_EQ(ui->texts[0], "Page not found.");
    EXPECT_EQ(preview->report().currentPage(), 3);
    EXPECT_EQ(pageCaption(), QStringLiteral("Page 3 of 3"));
    EXPECT_FALSE(buttonOn(cmd::Last));

    host.then(QStringLiteral("GoToPageDialog"), [](QDialog& d) {
        type(d, "PageNumber", QStringLiteral("1"));
        click(d, "CancelButton");
    });
    window->runCommand(cmd::GoToPage);
    EXPECT_EQ(preview->report().currentPage(), 3);
}

TEST_F(ReportPreviewTest, ScrollsByTenMillimetreLinesAndByPages) {
    ReportPreview* preview = openTiny();
    QScrollBar* bar = preview->verticalBar();
    // 10 mm at the zoom: dpi / 25.4 × 10 pixels.
    const int line = static_cast<int>(std::lround(preview->zoomDpi() / 2.54));
    EXPECT_EQ(bar->singleStep(), line);
    ASSERT_GT(bar->maximum(), 2 * line);
    window->runCommand(1702);
    EXPECT_EQ(bar->value(), line);
    window->runCommand(1702);
    EXPECT_EQ(bar->value(), 2 * line);
    window->runCommand(1701);
    EXPECT_EQ(bar->value(), line);
    window->runCommand(1705);
    EXPECT_EQ(bar->value(), 0);
    window->runCommand(1706);
    EXPECT_EQ(bar->value(), std::min(bar->maximum(), bar->pageStep()));
    for (int i = 0; i < 50; ++i)
        window->runCommand(1706);
    EXPECT_EQ(bar->value(), bar->maximum());
    // A new page starts at its top.
    window->runCommand(cmd::Next);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(ReportPreviewTest, SavesTheReportAsText) {
    openTiny();
    const std::string path = dir.file("tiny.txt");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::SaveAsText);
    std::string expected = "Tiny Report\t\r\n";
    for (int i = 1; i <= 25; ++i)
        expected += "Row " + std::to_string(i) + "\t" + std::to_string(100 * i) + ".00\t\r\n";
    EXPECT_EQ(readFile(path), expected);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

TEST_F(ReportPreviewTest, SavesEveryPageAsAPdfTurnedAsTheReportIs) {
    ReportPreview* preview = openTiny(31, true);
    // The preview fits the turned paper's 297 mm to the width too.
    const QPixmap page = preview->pageView()->pixmap();
    EXPECT_NEAR(preview->zoomDpi(), page.width() / (297 / 25.4), 1);
    EXPECT_NEAR(page.height(), page.width() * 210 / 297.0, 2);
    const std::string path = dir.file("tiny.pdf");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::SaveAsPdf);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    EXPECT_EQ(pdfPageCount(path), 3);
    const std::string info = pdfInfo(path);
    if (info.empty())
        GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    EXPECT_NE(info.find("842 x 595 pts (A4)"), std::string::npos) << info;
}

TEST_F(ReportPreviewTest, APdfThatCannotBeWrittenIsTold) {
    openTiny();
    const std::string path = dir.file("no-such-folder/tiny.pdf");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::SaveAsPdf);
    EXPECT_EQ(ui->lastText(), "Can't save to " + path);
    EXPECT_NE(window->documentWindow(), nullptr);
}

TEST_F(ReportPreviewTest, WritesOnePdfPerPartForPayslips) {
    bool gone = false;
    TinyReport report(*ui, false, &gone);
    report.layOut();
    const std::string first = dir.file("E001.pdf");
    const std::string rest = dir.file("E002.pdf");
    ASSERT_TRUE(savePdfParts(report, *ui, {{first, 1, 1}, {rest, 2, 3}}));
    EXPECT_EQ(pdfPageCount(first), 1);
    EXPECT_EQ(pdfPageCount(rest), 2);
}

TEST_F(ReportPreviewTest, SavesEachEmployeesPayslipsAsAPdfOfHisOwn) {
    ReportPreview* preview = openTiny(34);
    ASSERT_TRUE(enabled(cmd::SavePayslipPdfs));
    window->runCommand(cmd::Next);
    ui->files.push_back(QString::fromStdString(dir.path()));
    window->runCommand(cmd::SavePayslipPdfs);
    // A slash in an employee number would make a folder of it.
    EXPECT_EQ(pdfPageCount(dir.file("E-001.pdf")), 1);
    EXPECT_EQ(pdfPageCount(dir.file("E002.pdf")), 2);
    EXPECT_EQ(ui->lastText(), "2 payslips saved as PDF files in " + dir.path() + ".");
    EXPECT_EQ(pageCaption(), QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(window->documentWindow(), preview);

    // Cancelling the folder writes nothing and says nothing.
    ui->texts.clear();
    window->runCommand(cmd::SavePayslipPdfs);
    EXPECT_TRUE(ui->texts.empty());

    // A folder that cannot be written is told by the file that failed.
    const std::string missing = dir.file("no-such-folder");
    ui->files.push_back(QString::fromStdString(missing));
    window->runCommand(cmd::SavePayslipPdfs);
    EXPECT_EQ(ui->lastText(), "Can't save to " + missing + "/E-001.pdf");
    EXPECT_EQ(window->documentWindow(), preview);
}

TEST_F(ReportPreviewTest, FilesPerEmployeeAndCsvOnlyForTheReportsThatHaveThem) {
    struct Case {
        int code;
        bool perEmployee, csv;
    };
    for (const Case c : {Case{34, true, false}, Case{31, false, true}, Case{41, false, true},
                         Case{62, false, true}, Case{201, false, false}}) {
        openTiny(c.code);
        EXPECT_EQ(enabled(cmd::SavePayslipPdfs), c.perEmployee) << c.code;
        EXPECT_EQ(enabled(cmd::SaveAsCsv), c.csv) << c.code;
        window->runCommand(cmd::Close);
    }
    EXPECT_FALSE(enabled(cmd::SavePayslipPdfs));
    EXPECT_FALSE(enabled(cmd::SaveAsCsv));
}

TEST_F(ReportPreviewTest, SavesTheTableAsCsv) {
    openTiny(31);
    const std::string path = dir.file("tiny.csv");
    ui->files.push_back(QString::fromStdString(path));
    window->runCommand(cmd::SaveAsCsv);
    std::string expected = "\xEF\xBB\xBFName,Amount\r\n";
    for (int i = 1; i <= 25; ++i)
        expected += "Row " + std::to_string(i) + "," + std::to_string(100 * i) + ".00\r\n";
    EXPECT_EQ(readFile(path), expected);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
}

// The print dialog answered as the clerk would: a span of pages and copies
// on a printer that writes a PDF file.
void choosePrinter(QDialog& dialog, const std::string& path, int from, int to, int copies) {
    QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    printer->setPrintRange(QPrinter::PageRange);
    printer->setFromTo(from, to);
    printer->setCopyCount(copies);
    dialog.done(QDialog::Accepted);
}

TEST_F(ReportPreviewTest, PrintsTheChosenPagesAndCopies) {
    openTiny();
    const std::string path = dir.file("printed.pdf");
    host.then(QStringLiteral("PrintDialog"),
              [&path](QDialog& d) { choosePrinter(d, path, 2, 3, 2); });
    window->runCommand(cmd::Print);
    EXPECT_TRUE(ui->texts.empty()) << ui->lastText();
    // Pages 2 and 3, twice.
    EXPECT_EQ(pdfPageCount(path), 4);
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QProcess process;
    process.start(pdftotext, {QString::fromStdString(path), QStringLiteral("-")});
    process.waitForFinished(-1);
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const auto rows = [&text](int number) {
        return text.count(QRegularExpression(QStringLiteral("Row %1(?!\\d)").arg(number)));
    };
    EXPECT_EQ(rows(11), 2) << text.toStdString();
    EXPECT_EQ(rows(25), 2);
    EXPECT_EQ(rows(10), 0);
    EXPECT_EQ(rows(1), 0);
    EXPECT_EQ(text.count(QStringLiteral("Page 2 of 3")), 2);
}

TEST_F(ReportPreviewTest, APrinterThatFailsIsToldAndThePreviewStays) {
    ReportPreview* preview = openTiny();
    const std::string path = dir.file("no-such-folder/printed.pdf");
    host.then(QStringLiteral("PrintDialog"),
              [&path](QDialog& d) { choosePrinter(d, path, 1, 3, 1); });
    window->runCommand(cmd::Print);
    EXPECT_EQ(ui->lastText(), "Printer Error! Printing aborted.");
    EXPECT_EQ(window->documentWindow(), preview);

    host.then(QStringLiteral("PrintDialog"), [](QDialog& d) { d.reject(); });
    ui->texts.clear();
    window->runCommand(cmd::Print);
    EXPECT_TRUE(ui->texts.empty());
    EXPECT_EQ(window->documentWindow(), preview);
}

TEST_F(ReportPreviewTest, HelpOpensTheReportPreviewPage) {
    openTiny();
    window->runCommand(cmd::HelpContents);
    EXPECT_EQ(window->help().currentContext(), 140);
}

TEST_F(ReportPreviewTest, CloseDestroysTheReportAndRestoresTheMenus) {
    const QStringList before = menuTitles();
    openTiny();
    window->runCommand(cmd::Close);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(window->documentWindow(), nullptr);
    EXPECT_EQ(window->commandContext().document, DocumentKind::None);
    EXPECT_EQ(window->commandContext().reportCode, 0);
    EXPECT_EQ(menuTitles(), before);
    EXPECT_TRUE(pageCaption().isEmpty());
    EXPECT_FALSE(enabled(cmd::Print));
    EXPECT_FALSE(enabled(cmd::SaveAsPdf));
}

TEST_F(ReportPreviewTest, NoSecondDocumentOpens) {
    openTiny();
    bool second = false;
    EXPECT_FALSE(
        window->openReport(std::make_unique<TinyReport>(*ui, false, &second), 11, "Second"));
    EXPECT_TRUE(second);
    EXPECT_EQ(window->commandContext().reportCode, 31);
}

} // namespace
} // namespace kelo::app::testing
