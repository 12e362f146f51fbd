#include "app/ports/ImageCanvas.h"
#include "app/ports/PdfCanvas.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <gtest/gtest.h>

namespace kelo::app {
namespace {

using common::Color;
using common::Font;
using common::Pen;
using common::PenStyle;
using common::RectMm;
namespace align = common::align;

// 127 dots per inch: exactly 5 pixels to the millimetre.
constexpr double kDpi = 127;
constexpr int kPixelsPerMm = 5;

const Color kBlack{0, 0, 0};
const Color kRed{220, 0, 0};

int px(double mm) {
    return static_cast<int>(std::lround(mm * kPixelsPerMm));
}

// The pixel covering the point (x, y) given in millimetres.
QRgb at(const QImage& page, double xMm, double yMm) {
    return page.pixel(static_cast<int>(std::floor(xMm * kPixelsPerMm)),
                      static_cast<int>(std::floor(yMm * kPixelsPerMm)));
}

bool dark(QRgb pixel) {
    return qGray(pixel) < 100;
}

bool white(QRgb pixel) {
    return qRed(pixel) > 250 && qGreen(pixel) > 250 && qBlue(pixel) > 250;
}

// How many pixels of the area given in millimetres are not white.
int inkIn(const QImage& page, const RectMm& area) {
    int ink = 0;
    for (int y = px(area.top); y < px(area.bottom()); ++y) {
        for (int x = px(area.left); x < px(area.right()); ++x)
            ink += white(page.pixel(x, y)) ? 0 : 1;
    }
    return ink;
}

// The leftmost and rightmost inked columns of an area, in millimetres.
std::pair<double, double> inkSpan(const QImage& page, const RectMm& area) {
    int first = -1;
    int last = -1;
    for (int x = px(area.left); x < px(area.right()); ++x) {
        for (int y = px(area.top); y < px(area.bottom()); ++y) {
            if (!white(page.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first / double(kPixelsPerMm), last / double(kPixelsPerMm)};
}

QString writeRedImage(const testsupport::TempDir& dir) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(kRed.red, kRed.green, kRed.blue));
    const QString path = QString::fromStdString(dir.file("logo.png"));
    image.save(path, "PNG");
    return path;
}

// A payslip-like page: a title, a ruled table, a thick rule, a dotted rule,
// a framed box, a filled box and a logo.
class SamplePage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.beginDocument("Sample"));
        canvas.beginPage();
        canvas.setTextColor(kBlack);
        canvas.setFont({"Arial", 16, 700, false, false});
        canvas.drawText({20, 10, 170, 12}, "Payroll Summary", align::Center | align::VCenter);

        canvas.setFont({"Arial", 9, 400, false, false});
        canvas.setPen({PenStyle::Solid, 0.3, kBlack});
        const char* rows[] = {"Asha Said", "Baraka Mussa", "Neema Juma"};
        for (int row = 0; row <= 3; ++row)
            canvas.drawLine(20, 30 + row * 8, 190, 30 + row * 8);
        for (double x : {20.0, 100.0, 190.0})
            canvas.drawLine(x, 30, x, 54);
        for (int row = 0; row < 3; ++row) {
            canvas.drawText({22, 30.0 + row * 8, 76, 8}, rows[row], align::VCenter);
            canvas.drawText({102, 30.0 + row * 8, 86, 8}, "450,000.00",
                            align::Right | align::VCenter);
        }

        canvas.setPen({PenStyle::Solid, 1.0, kBlack});
        canvas.drawLine(20, 100, 120, 100);
        canvas.setPen({PenStyle::Dot, 0.4, kBlack});
        canvas.drawLine(20, 180, 190, 180);
        canvas.setPen({PenStyle::Solid, 0.4, kBlack});
        canvas.drawLine(20, 190, 190, 190);
        canvas.setPen({PenStyle::Solid, 0.5, kBlack});
        canvas.drawRect({30, 130, 60, 40});
        canvas.fillRect({100, 130, 40, 20}, kRed);
        EXPECT_TRUE(canvas.drawImage({120, 200, 40, 20}, writeRedImage(dir).toStdString()));
        EXPECT_FALSE(canvas.drawImage({20, 200, 40, 20}, dir.file("missing.png")));
        canvas.endPage();
        canvas.endDocument();
        ASSERT_EQ(canvas.pageCount(), 1);
    }

    const QImage& page() const { return canvas.page(0); }

    testsupport::TempDir dir;
    ImageCanvas canvas{kDpi};
};

TEST_F(SamplePage, IsAnA4ImageAtTheRequestedResolution) {
    EXPECT_EQ(page().width(), 1050);
    EXPECT_EQ(page().height(), 1485);
    EXPECT_DOUBLE_EQ(canvas.pixelsPerMmX(), 5.0);
    EXPECT_TRUE(white(at(page(), 5, 5)));
    EXPECT_TRUE(white(at(page(), 200, 290)));
}

TEST_F(SamplePage, ThickLineIsDarkWhereItLiesAndNowhereNear) {
    for (double x : {21.0, 70.0, 119.0}) {
        EXPECT_TRUE(dark(at(page(), x, 100.0))) << x;
        EXPECT_TRUE(dark(at(page(), x, 99.6))) << x;
        EXPECT_TRUE(dark(at(page(), x, 100.3))) << x;
        EXPECT_TRUE(white(at(page(), x, 98.5))) << x;
        EXPECT_TRUE(white(at(page(), x, 101.5))) << x;
    }
    EXPECT_TRUE(white(at(page(), 125, 100)));
    EXPECT_TRUE(white(at(page(), 15, 100)));
}

TEST_F(SamplePage, RectangleIsAnOutline) {
    EXPECT_TRUE(dark(at(page(), 30, 150)));  // left edge
    EXPECT_TRUE(dark(at(page(), 90, 150)));  // right edge
    EXPECT_TRUE(dark(at(page(), 60, 130)));  // top edge
    EXPECT_TRUE(dark(at(page(), 60, 170)));  // bottom edge
    EXPECT_TRUE(white(at(page(), 60, 150))); // inside stays paper
    EXPECT_TRUE(white(at(page(), 28, 150)));
    EXPECT_TRUE(white(at(page(), 60, 172)));
}

TEST_F(SamplePage, FilledBoxAndImageHaveTheirColour) {
    for (const auto& [x, y] : {std::pair{120.0, 140.0}, std::pair{140.0, 210.0}}) {
        const QRgb pixel = at(page(), x, y);
        EXPECT_EQ(qRed(pixel), kRed.red) << x << "," << y;
        EXPECT_EQ(qGreen(pixel), 0) << x << "," << y;
        EXPECT_EQ(qBlue(pixel), 0) << x << "," << y;
    }
    EXPECT_TRUE(white(at(page(), 162, 210)));
    EXPECT_EQ(inkIn(page(), {20, 200, 40, 20}), 0); // the missing image drew nothing
}

TEST_F(SamplePage, DottedLineHasGapsWhereTheSolidOneHasNone) {
    int dotted = 0;
    int gaps = 0;
    for (int x = px(25); x < px(185); ++x) {
        const bool ink = !white(page().pixel(x, px(180)));
        dotted += ink ? 1 : 0;
        gaps += ink ? 0 : 1;
        EXPECT_TRUE(dark(page().pixel(x, px(190)))) << x;
    }
    EXPECT_GT(dotted, 100);
    EXPECT_GT(gaps, 100);
}

TEST_F(SamplePage, TextStaysInItsBoxesAndFollowsAlignment) {
    EXPECT_GT(inkIn(page(), {20, 10, 170, 12}), 200);
    EXPECT_EQ(inkIn(page(), {20, 22.5, 170, 7}), 0);
    const auto [titleLeft, titleRight] = inkSpan(page(), {20, 11, 170, 10});
    EXPECT_NEAR((titleLeft + titleRight) / 2, 105, 3); // centred on the page

    for (int row = 0; row < 3; ++row) {
        const double top = 30.0 + row * 8 + 1;
        const auto [nameLeft, nameRight] = inkSpan(page(), {21, top, 78, 6});
        EXPECT_NEAR(nameLeft, 22, 1) << row;
        EXPECT_LT(nameRight, 60) << row;
        const auto [amountLeft, amountRight] = inkSpan(page(), {101, top, 88, 6});
        EXPECT_NEAR(amountRight, 188, 1) << row;
        EXPECT_GT(amountLeft, 150) << row;
    }
}

TEST(ImageCanvasText, ClipsUnlessToldNotTo) {
    ImageCanvas canvas(kDpi, 100, 60);
    ASSERT_TRUE(canvas.beginDocument("Clip"));
    canvas.beginPage();
    canvas.setFont({"Arial", 14, 400, false, false});
    const std::string wide = "WWWWWWWWWWWWWWWWWWWW";
    canvas.drawText({10, 10, 20, 8}, wide, align::SingleLine);
    canvas.drawText({10, 30, 20, 8}, wide, align::SingleLine | align::NoClip);
    canvas.endPage();
    const QImage& page = canvas.page(0);
    EXPECT_GT(inkIn(page, {10, 10, 20, 8}), 0);
    EXPECT_EQ(inkIn(page, {31, 8, 60, 12}), 0);
    EXPECT_GT(inkIn(page, {31, 28, 60, 12}), 0);
}

TEST(ImageCanvasText, EllipsisShortensTheLine) {
    ImageCanvas canvas(kDpi, 100, 40);
    ASSERT_TRUE(canvas.beginDocument("Ellipsis"));
    canvas.beginPage();
    canvas.setFont({"Arial", 12, 400, false, false});
    const std::string text = "Employees of the Dar es Salaam branch";
    canvas.drawText({10, 10, 30, 8}, text, align::SingleLine | align::EndEllipsis);
    canvas.drawText({10, 25, 30, 8}, text, align::SingleLine);
    canvas.endPage();
    const QImage& page = canvas.page(0);
    // Elided text ends in dots low on the line, unclipped text runs to the edge.
    const auto elided = inkSpan(page, {10, 10, 30, 8});
    const auto clipped = inkSpan(page, {10, 25, 30, 8});
    EXPECT_LT(elided.second, clipped.second);
}

TEST(ImageCanvasMetrics, PositiveScaleWithPointSizeAndIndependentOfDpi) {
    ImageCanvas low(kDpi);
    ImageCanvas high(300);
    for (QtCanvas* canvas : {static_cast<QtCanvas*>(&low), static_cast<QtCanvas*>(&high)}) {
        canvas->setFont({"Arial", 10, 400, false, false});
        const common::TextMetrics small = canvas->metrics();
        const double smallWidth = canvas->textWidth("Gross pay");
        canvas->setFont({"Arial", 20, 400, false, false});
        const common::TextMetrics large = canvas->metrics();
        const double largeWidth = canvas->textWidth("Gross pay");

        EXPECT_GT(small.height, 3.0); // 10 pt is 3.5 mm
        EXPECT_LT(small.height, 5.5);
        EXPECT_GT(small.ascent, small.descent);
        EXPECT_GT(small.descent, 0);
        EXPECT_GE(small.externalLeading, 0);
        EXPECT_GT(small.averageCharWidth, 0);
        EXPECT_NEAR(small.ascent + small.descent, small.height, 0.2);
        EXPECT_GT(smallWidth, 10);
        EXPECT_NEAR(large.height / small.height, 2.0, 0.15);
        EXPECT_NEAR(largeWidth / smallWidth, 2.0, 0.15);
    }
    low.setFont({"Arial", 10, 400, false, false});
    high.setFont({"Arial", 10, 400, false, false});
    EXPECT_NEAR(low.metrics().height, high.metrics().height, 0.3);
    EXPECT_NEAR(low.textWidth("Gross pay"), high.textWidth("Gross pay"), 0.5);
}

TEST(ImageCanvasMetrics, TextHeightWrapsAndMatchesWhatIsDrawn) {
    ImageCanvas canvas(kDpi);
    canvas.setFont({"Arial", 10, 400, false, false});
    const double line = canvas.textHeight(100, "One line", 0);
    EXPECT_NEAR(line, canvas.metrics().height, 0.5);
    const std::string longText = "The employee was paid for overtime worked on public holidays";
    const double wrapped = canvas.textHeight(30, longText, align::WordWrap);
    EXPECT_GT(wrapped, 2.5 * line);
    EXPECT_NEAR(canvas.textHeight(30, longText, 0), line, 0.01);
    EXPECT_NEAR(canvas.textHeight(100, "First\nSecond", 0), 2 * line, 0.5);
    EXPECT_NEAR(canvas.textHeight(100, "First\nSecond", align::SingleLine), line, 0.01);

    ASSERT_TRUE(canvas.beginDocument("Heights"));
    canvas.beginPage();
    EXPECT_NEAR(canvas.drawText({10, 10, 30, 80}, longText, align::WordWrap), wrapped, 0.01);
    canvas.endPage();
}

// A single line's height is the font's, whatever the text, before and
// while a page is drawn and after the font changes.
TEST(ImageCanvasMetrics, ASingleLineIsAsHighAsTheFontWhateverItsText) {
    ImageCanvas canvas(kDpi);
    const auto check = [&canvas](const Font& font) {
        canvas.setFont(font);
        for (const char* text : {"X", "Mwangi, Zoë", "gjpqy 1,175,000", "Ünïcödé (Dar es Salaam)"})
            EXPECT_DOUBLE_EQ(canvas.textHeight(80, text, align::SingleLine),
                             canvas.textHeight(400, text, 0))
                << text << " " << font.face << " " << font.pointSize;
    };
    check({"Times New Roman", 10, 400, false, false});
    check({"Arial", 14, 700, false, false});
    ASSERT_TRUE(canvas.beginDocument("Heights"));
    canvas.beginPage();
    check({"Arial Narrow", 8, 400, false, false});
    check({"Times New Roman", 10, 400, false, false});
    canvas.endPage();
}

TEST(ImageCanvasPages, KeepsEachPageAndSavesPng) {
    testsupport::TempDir dir;
    ImageCanvas canvas(50);
    canvas.setPen({PenStyle::Solid, 2, kBlack});
    canvas.drawLine(0, 0, 100, 100); // outside any page: ignored
    ASSERT_TRUE(canvas.beginDocument("Two pages"));
    for (int page = 0; page < 2; ++page) {
        canvas.beginPage();
        canvas.fillRect({10.0 + page * 100, 10, 50, 50}, kRed);
        canvas.endPage();
    }
    canvas.endDocument();
    ASSERT_EQ(canvas.pageCount(), 2);
    EXPECT_EQ(canvas.title(), "Two pages");
    EXPECT_FALSE(white(canvas.page(0).pixel(60, 60)));
    EXPECT_TRUE(white(canvas.page(1).pixel(60, 60)));
    EXPECT_TRUE(canvas.page(5).isNull());

    ASSERT_TRUE(canvas.savePng(1, dir.file("page2.png")));
    const QImage saved(QString::fromStdString(dir.file("page2.png")));
    EXPECT_EQ(saved.size(), canvas.page(1).size());
    EXPECT_FALSE(canvas.savePng(2, dir.file("page3.png")));

    ASSERT_TRUE(canvas.beginDocument("Again"));
    EXPECT_EQ(canvas.pageCount(), 0);
    EXPECT_FALSE(ImageCanvas(0).beginDocument("No resolution"));
}

TEST(CanvasFonts, WindowsFacesFallBackToLiberation) {
    const std::pair<const char*, const char*> faces[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Arial Narrow", "Liberation Sans Narrow"},
    };
    for (const auto& [face, substitute] : faces) {
        const QString family = fontFamilyFor(face);
        if (QFontDatabase::hasFamily(face))
            EXPECT_EQ(family, face);
        else
            EXPECT_EQ(family, substitute) << face;
        EXPECT_EQ(QFontInfo(QFont(family)).family(), family) << face;
    }
    EXPECT_EQ(fontFamilyFor("No Such Face"), "Liberation Sans");
    EXPECT_EQ(fontFamilyFor("Liberation Serif"), "Liberation Serif");
}

std::string runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput().toStdString();
}

TEST(PdfCanvas, WritesTwoA4Pages) {
    testsupport::TempDir dir;
    const std::string path = dir.file("payslips.pdf");
    {
        PdfCanvas canvas(path);
        EXPECT_NEAR(canvas.pageWidthMm(), 210, 0.5);
        EXPECT_NEAR(canvas.pageHeightMm(), 297, 0.5);
        ASSERT_TRUE(canvas.beginDocument("Payslips"));
        EXPECT_DOUBLE_EQ(canvas.dpiX(), 600);
        for (int page = 1; page <= 2; ++page) {
            canvas.beginPage();
            canvas.setFont({"Arial", 12, 700, false, false});
            canvas.drawText({20, 20, 170, 10}, "Payslip page " + std::to_string(page), align::Left);
            canvas.setPen({PenStyle::Solid, 0.5, kBlack});
            canvas.drawRect({20, 40, 170, 30});
            canvas.endPage();
        }
        EXPECT_EQ(canvas.pagesStarted(), 2);
        canvas.endDocument();
    }
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), "%PDF");
    file.close();

    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "pdfinfo is not installed";
    const std::string info = runTool(pdfinfo, {QString::fromStdString(path)});
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Payslips"), std::string::npos) << info;
    EXPECT_NE(info.find("(A4)"), std::string::npos) << info;

    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (!pdftotext.isEmpty()) {
        const std::string text = runTool(pdftotext, {QString::fromStdString(path), "-"});
        EXPECT_NE(text.find("Payslip page 1"), std::string::npos) << text;
        EXPECT_NE(text.find("Payslip page 2"), std::string::npos) << text;
    }
}

TEST(PdfCanvas, TurnsTheA4PaperForALandscapeReport) {
    testsupport::TempDir dir;
    const std::string path = dir.file("wide.pdf");
    {
        PdfCanvas canvas(path, 300, common::Orientation::Landscape);
        EXPECT_NEAR(canvas.pageWidthMm(), 297, 0.5);
        EXPECT_NEAR(canvas.pageHeightMm(), 210, 0.5);
        ASSERT_TRUE(canvas.beginDocument("Muster Roll"));
        canvas.beginPage();
        canvas.drawLine(280, 200, 290, 205);
        canvas.endPage();
        canvas.endDocument();
    }
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "pdfinfo is not installed";
    const std::string info = runTool(pdfinfo, {QString::fromStdString(path)});
    // A4 turned: 842 points wide, 595 high.
    EXPECT_NE(info.find("Page size:       842 x 595 pts (A4)"), std::string::npos) << info;
}

TEST(PdfCanvas, FailsWhereTheFileCannotBeWritten) {
    PdfCanvas canvas("/nonexistent-folder/out.pdf");
    EXPECT_FALSE(canvas.beginDocument("Nowhere"));
    canvas.beginPage();
    canvas.drawLine(0, 0, 10, 10);
    EXPECT_DOUBLE_EQ(canvas.drawText({0, 0, 50, 10}, "x", 0), canvas.textHeight(50, "x", 0));
    canvas.endPage();
    canvas.endDocument();
}

} // namespace
} // namespace kelo::app
