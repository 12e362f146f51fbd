#pragma once

#include "common/Money.h"
#include "common/ReportBase.h"
#include "testsupport/RecordingCanvas.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::common::reporttest {

using testsupport::RecordingCanvas;

// 8-point text on the recording canvas: 1 em = 8 × 25.4 / 72 mm; text is
// 1 em high with 0.2 em external leading, so the footer's band is
// 1.2 × (1 + 0.2) em = 1.44 em high.
constexpr double kEm8 = 8 * 25.4 / 72;
constexpr double kFooterHeight = 1.44 * kEm8;

// A report of `rowCount` employees, ten to a page, laid out like the
// pay-run tables: top margin 10 mm, left margin 15 mm, two 8 mm heading
// bands, column headings from 28 mm, rows 5 mm high from 38 mm, the totals
// at 90 mm and the footer 250 mm below the top margin (260 mm).
class SampleReport : public REPORTBASE {
public:
    SampleReport(Ui& ui, int rowCount) : REPORTBASE(ui), rowCount_(rowCount) {
        setGeometry(PageGeometry::portrait(10, 15, 180, 270, 3));
        setRowsPerPage(10);
        setFooterOffset(250);
        setColumns({{"", 8, align::Right},
                    {"Employee\nNumber", 20},
                    {"Name", 40},
                    {"Amount", 25, align::Right}});
        placeColumns(1.5, 3);
        setReadStamp(ReadStamp::at({2025, 14, 3}, 9, 5));
    }

    std::string caption() const override { return "Sample Report"; }

    void hideColumn(std::size_t column) {
        setColumnVisible(column, false);
        placeColumns(1.5, 3);
    }

protected:
    void layOutRows() override {
        for (int i = 1; i <= rowCount_; ++i) {
            char number[16];
            std::snprintf(number, sizeof number, "E%03d", i);
            const std::string name = i == 3 ? "Mwangi, Zoë" : "Employee " + std::to_string(i);
            addRow({{std::to_string(i) + ".", number, name, withThousands(1000.0 * i)},
                    {0, 0, 0, 1000.0 * i}});
        }
    }

    std::vector<HeadingLine> headingLines(const ReportPage&) const override {
        return {{"Sample Organisation", Font{"Arial", 14, 700}, 8},
                {"Sample Report - March 2025 : All Units", Font{"Arial", 11}, 8}};
    }

    void drawBody(Canvas& canvas, const ReportPage& page, double top) const override {
        canvas.setFont(Font{"Arial", 8, 700});
        drawHeadings(canvas, top + 2, 10, align::WordWrap | align::VCenter);
        canvas.setFont(Font{"Arial Narrow", 8});
        double y = geometry().y(28);
        for (std::size_t r = page.firstRow; r < page.endRow(); ++r, y += 5)
            drawCells(canvas, rows()[r].cells, y, 5, align::SingleLine | align::VCenter);
        drawCells(canvas, totalCells(page.number, totalLabel(page)), geometry().y(80), 6,
                  align::SingleLine | align::VCenter);
    }

    bool writeText(TextExport& out) const override {
        out.fields({"Sample Organisation"});
        out.fields({"Sample Report - March 2025 : All Units"});
        out.emptyLine();
        writeHeadings(out);
        writeRows(out);
        out.fields(visibleCells(totalCells(pageCount(), "Total")));
        return true;
    }

private:
    std::vector<std::string> totalCells(int page, std::string_view label) const {
        return {"", "", std::string(label), withThousands(totalsThrough(page)[3])};
    }

    int rowCount_;
};

// A report without a text export.
class PlainReport : public REPORTBASE {
public:
    using REPORTBASE::REPORTBASE;

protected:
    void layOutRows() override {}
    void drawBody(Canvas&, const ReportPage&, double) const override {}
};

// Every page of `report` drawn on one recording canvas, page n as page n.
inline RecordingCanvas printAll(SampleReport& report) {
    RecordingCanvas canvas;
    EXPECT_TRUE(report.print(canvas, PRINTERREC{}));
    return canvas;
}

// The page a text was drawn on, or 0 when it was not drawn.
inline int pageOf(const RecordingCanvas& canvas, std::string_view text) {
    const auto found = canvas.findText(text);
    return found.size() == 1 ? found.front().page : 0;
}

} // namespace kelo::common::reporttest
