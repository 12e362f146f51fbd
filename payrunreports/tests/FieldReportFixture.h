#pragma once

#include "ReportFixture.h"
#include "payrunreports/FieldReport.h"
#include "payrunreports/PeriodFormat.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::payrunreports::testing {

// A report with the time of reading fixed, so that footers compare.
template <class Report> struct Stamped : Report {
    using common::REPORTBASE::setReadStamp;
    using Report::Report;
};

using Cells = std::vector<std::string>;

// The worked payroll's period file, which a test may change before the
// report reads it: items the payroll does not have, more employees.
struct FieldReportFixture : ReportFixture {
    PeriodFile readBack() {
        PeriodFile file;
        PERIODDBEX reader(owner, code, folder);
        EXPECT_TRUE(reader.readFile(ui, currentParam(), org, file)) << messages();
        return file;
    }

    void writeBack(const PeriodFile& file) {
        common::TaggedWriter w(workingFile(), common::TaggedWriter::Mode::Replace);
        ASSERT_TRUE(
            writePreamble(w, "Report file for March 2025", org.folder, "2025/monperiod.int") &&
            writeHeader(w, file.header) && writeDefinitions(w, file.definitions) &&
            w.writeTag(kRecordsBlock, common::TagKind::BlockStart));
        for (const REPORTREC& rec : file.records)
            ASSERT_TRUE(writeRecord(w, rec));
        ASSERT_TRUE(w.writeTag(kRecordsBlock, common::TagKind::BlockEnd) && w.writeEof() &&
                    w.close());
    }

    static REPORTREC& employee(PeriodFile& file, const std::string& empNum) {
        for (REPORTREC& rec : file.records) {
            if (rec.empNum == empNum)
                return rec;
        }
        ADD_FAILURE() << "no " << empNum;
        return file.records.front();
    }

    static ReportItem& item(REPORTREC& rec, const std::string& name) {
        for (ReportItem& i : rec.itemsOf(common::DEDUCTIONS)) {
            if (i.definition->name == name)
                return i;
        }
        ADD_FAILURE() << "no " << name;
        return rec.itemsOf(common::DEDUCTIONS).front();
    }

    // A deduction the payroll did not have, nil for every employee.
    static void addDeduction(PeriodFile& file, const std::string& name, std::string_view reportType,
                             const std::string& group) {
        auto def = std::make_shared<ReportItemDef>();
        def->id = static_cast<std::int32_t>(file.definitions[common::DEDUCTIONS].size() + 1);
        def->name = name;
        def->reportType = std::string(reportType);
        def->groupName = group;
        def->function = "Key in";
        def->upperLimit = 1e9;
        def->taxable = 1;
        file.definitions[common::DEDUCTIONS].push_back(def);
        for (REPORTREC& rec : file.records)
            rec.itemsOf(common::DEDUCTIONS)
                .push_back({def, 0, figuresFor(common::DEDUCTIONS, def->reportType)});
    }

    common::REPORTPARAM fieldParam(std::int32_t type, const std::string& field,
                                   std::int32_t groupBy = 0, const std::string& group = {}) const {
        common::REPORTPARAM p = common::newReportParam(type, org);
        p.fieldName = field;
        common::setGroup(p, groupBy, group);
        return p;
    }

    // Read, ordered and laid out as the main program does: by name for the
    // pension fund and co-operative reports, by the "Sort Key" otherwise.
    template <class Report>
    std::unique_ptr<Stamped<Report>> open(const common::REPORTPARAM& param, bool byName = false) {
        auto report = std::make_unique<Stamped<Report>>(ui, code, folder, param);
        if (!report->readFile(org))
            return nullptr;
        report->setReadStamp(common::ReadStamp::at({2025, 14, 3}, 9, 5));
        if (byName)
            report->sortByName();
        else
            report->sort();
        report->layOut();
        return report;
    }

    void setReportOption(std::int32_t reportType, std::string_view key, int value) {
        database::OPTIONSDB options(code, folder);
        ASSERT_TRUE(options.openFile());
        ASSERT_TRUE(options.setValue(reportType, key, value));
        options.closeFile();
    }

    static std::vector<std::string> headings(const common::REPORTBASE& report) {
        std::vector<std::string> out;
        for (const common::ReportColumn& c : report.columns())
            out.push_back(c.heading);
        return out;
    }

    static std::vector<Cells> cells(const common::REPORTBASE& report) {
        std::vector<Cells> out;
        for (const common::ReportRow& row : report.rows())
            out.push_back(row.cells);
        return out;
    }

    static testsupport::RecordingCanvas drawn(const common::REPORTBASE& report, int page) {
        testsupport::RecordingCanvas canvas;
        canvas.beginPage();
        report.drawPage(canvas, page);
        return canvas;
    }
};

} // namespace kelo::payrunreports::testing
