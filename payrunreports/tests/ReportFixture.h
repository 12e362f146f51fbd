#pragma once

#include "PeriodFixture.h"
#include "payrunreports/Payslips.h"
#include "testsupport/RecordingCanvas.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::payrunreports::testing {

// Compares with the golden file under tests/golden; KELO_UPDATE_GOLDEN=1
// accepts the output as the new golden file.
inline void expectGoldenFile(const std::string& actual, const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / name;
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1")
        writeBytes(golden.string(), actual);
    if (actual != bytesOf(golden.string())) {
        writeBytes((fs::current_path() / name).string(), actual);
        ADD_FAILURE() << "differs from " << golden << "; the output is in "
                      << (fs::current_path() / name) << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    }
}

// The payslips with the time of reading fixed, so that footers compare.
struct TestPayslips : PAYSLIPSREP {
    using PAYSLIPSREP::PAYSLIPSREP;
    using REPORTBASE::setReadStamp;
};

// The worked payroll's period file written, and reports read from it.
struct ReportFixture : PeriodFixture {
    void SetUp() override {
        PeriodFixture::SetUp();
        if (HasFatalFailure())
            return;
        writePeriodFile();
    }

    void writePeriodFile() {
        PERIODDB db(owner, code, folder);
        ASSERT_TRUE(db.checkFiles(ui, common::MONTHLY, org)) << messages();
        ASSERT_TRUE(db.writeFile(ui, common::MONTHLY, org, false)) << messages();
        ui.clear();
    }

    // Another salaried employee on the payroll, with nothing but basic pay.
    void addEmployee(const std::string& empNum, const std::string& lastName,
                     const std::string& otherNames) {
        Employee e = salim();
        e.rec.empNum = empNum;
        e.rec.lastName = lastName;
        e.rec.otherNames = otherNames;
        e.rec.hoursPerDay = 8;
        e.rec.hoursPerMonth = 176;
        hire(e);
        database::VARDB pay(code, folder);
        common::PayItemDefs defs;
        ASSERT_TRUE(database::loadPayItemDefs(ui, folder, common::MONTHLY, defs));
        ASSERT_TRUE(pay.setDefinitions(defs) && pay.openFile(common::MONTHLY));
        common::VARIATIONSREC rec = common::newVariationsRec(pay.definitions());
        rec.empNum = empNum;
        ASSERT_TRUE(pay.appendRec(rec));
        pay.closeFile();
    }

    void setOption(std::string_view key, int value) {
        database::OPTIONSDB options(code, folder);
        ASSERT_TRUE(options.openFile());
        ASSERT_TRUE(options.setValue(common::kReportPayslips, key, value));
        options.closeFile();
    }

    common::REPORTPARAM selection(std::int32_t groupBy, const std::string& name) const {
        common::REPORTPARAM param = currentParam();
        common::setGroup(param, groupBy, name);
        return param;
    }

    // Payslips read, ordered and laid out as the main program does.
    std::unique_ptr<TestPayslips> payslips(const common::REPORTPARAM& param) {
        auto report = std::make_unique<TestPayslips>(ui, code, folder, param);
        if (!report->readFile(org))
            return nullptr;
        report->setReadStamp(common::ReadStamp::at({2025, 14, 3}, 9, 5));
        report->sort();
        report->layOut();
        return report;
    }
    std::unique_ptr<TestPayslips> payslips() { return payslips(currentParam()); }

    static std::vector<std::string> empNums(const PERIODREP& report) {
        std::vector<std::string> nums;
        for (const REPORTREC& rec : report.records())
            nums.push_back(rec.empNum);
        return nums;
    }
};

// Every element of a recording canvas as a line of text: kind, page,
// rectangle in millimetres, then the text with its font and flags, or the
// line's pen.
inline std::string canvasListing(const testsupport::RecordingCanvas& canvas) {
    using Kind = testsupport::RecordingCanvas::Kind;
    std::string out;
    char buffer[512];
    for (const auto& e : canvas.elements) {
        const char* kind = e.kind == Kind::Text   ? "text"
                           : e.kind == Kind::Line ? "line"
                           : e.kind == Kind::Rect ? "rect"
                           : e.kind == Kind::Fill ? "fill"
                                                  : "image";
        std::snprintf(buffer, sizeof buffer, "%-5s p%d %7.2f %7.2f %7.2f %7.2f", kind, e.page,
                      e.rect.left, e.rect.top, e.rect.width, e.rect.height);
        out += buffer;
        if (e.kind == Kind::Text) {
            std::snprintf(buffer, sizeof buffer, "  %s %.0f %d flags %d  \"", e.font.face.c_str(),
                          e.font.pointSize, e.font.weight, e.flags);
            out += buffer + e.text + "\"";
        } else if (e.kind == Kind::Line) {
            const char* style = e.pen.style == common::PenStyle::Dot ? "dot" : "solid";
            std::snprintf(buffer, sizeof buffer, "  %s %.2f rgb %d %d %d", style, e.pen.widthMm,
                          e.pen.color.red, e.pen.color.green, e.pen.color.blue);
            out += buffer;
        } else if (e.kind == Kind::Image) {
            out += "  " + std::filesystem::path(e.text).filename().string();
        }
        out += "\n";
    }
    return out;
}

} // namespace kelo::payrunreports::testing
