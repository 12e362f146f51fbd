#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/PeriodRecords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::payrunreports {

// The employee's own unit: the first name of a "."-separated unit path.
std::string ownUnit(std::string_view unitPath);

// Whether `rec` belongs to the selection `groupBy`/`groupName` of a
// REPORTPARAM: a unit anywhere on its path (ignoring case), its station, pay
// group, bank, either co-operative or either pension fund (exactly). No
// selection takes everyone.
bool inGroup(const REPORTREC& rec, std::int32_t groupBy, std::string_view groupName);

// The key a grouped report files a record under when `groupName` is the unit
// selected: the unit directly below it on the record's path, the selected
// unit itself when it is the employee's own, and the top unit when it is not
// on the path or nothing is selected.
std::string groupKey(std::string_view unitPath, std::string_view groupName);

// A run of records filed under the same key, from `first` on.
struct RecordGroup {
    std::string key;
    std::size_t first = 0;
    std::size_t count = 0;
    friend bool operator==(const RecordGroup&, const RecordGroup&) = default;
};

// The amount that admits a selected record to a report of `param`'s type and
// pay field; a positive amount admits it. Reports that list every selected
// employee (payslips, summary, muster roll, control account) answer 1.
double admissionAmount(const REPORTREC& rec, const common::REPORTPARAM& param);

// The item of `table` named `name`, if the employee has it.
const ReportItem* namedItem(const REPORTREC& rec, common::FIELDSTABLE table, std::string_view name);

// The base of the pay-run reports. It keeps what the report needs of the
// REPORTPARAM, reads the period file of the frequency and period into the
// records of the employees the report is about, orders them by the report's
// "Sort Key", and lays one row out per record so that the base divides them
// into pages, draws the footer and moves between pages. A record's number
// (printed "%d.") is its place in the list, from 1.
class PERIODREP : public common::REPORTBASE {
public:
    PERIODREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const common::REPORTPARAM& param);
    ~PERIODREP() override;

    // The working file of the current period is missing or older than its
    // sources and must be written again before reading.
    bool requireFile(const common::ORGREC& org) const;
    // Reads the file and keeps the selected records the report admits,
    // stamping the time of reading. False after one message: the file's own,
    // or "Sorry, report has no records\nand will not be printed." when none
    // is kept.
    bool readFile(const common::ORGREC& org);

    // By name when the "Sort Key" is 1; else the file's employee number order.
    void sort();
    // Stable, ignoring case: employees of the same name keep their order.
    void sortByName();
    // Puts the records read into the report's order, with the groups,
    // totals and columns it needs; the main program calls it between
    // readFile and layOut. By the "Sort Key" unless the report says more.
    virtual void arrange() { sort(); }

    // Orders the records by their group key, stably and ignoring case, and
    // gives the runs of equal key: 1 by unit (groupKey under the selected
    // unit), 2 by station; any other grouping is one group of every record.
    std::vector<RecordGroup> groupRecords(int grouping);

    const PeriodHeader& header() const { return header_; }
    const ReportItemDefs& definitions() const { return definitions_; }
    const std::vector<REPORTREC>& records() const { return records_; }
    const common::REPORTPARAM& param() const { return param_; }
    int sortKey() const { return sortKey_; }

protected:
    // Keeps the selected records of `file` that the report admits, as
    // readFile does, for reports whose records are put together elsewhere
    // (the year's muster roll and control account). False after the same
    // "no records" message.
    bool takeFile(PeriodFile file);
    // Whether a selected record enters the report.
    virtual bool admits(const REPORTREC& rec) const;
    // The option of this report in the options table; 0 when it has none.
    int option(std::string_view key) const;
    void setSortKey(int key) { sortKey_ = key; }

    // One row per record; `recordRow` gives its cells and figures.
    void layOutRows() override;
    virtual common::ReportRow recordRow(const REPORTREC& rec, int number) const;
    // The tabular export: the organisation, titleLine(), an empty line, the
    // column headings, the rows and the totals line after two tabs.
    bool writeText(common::TextExport& out) const override;
    virtual std::string titleLine() const { return {}; }

    const common::WorkingFolder& folder() const { return folder_; }

private:
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::REPORTPARAM param_;
    int sortKey_ = 0;
    PeriodHeader header_;
    ReportItemDefs definitions_;
    std::vector<REPORTREC> records_;
};

// "%d." of a record's number.
std::string numberText(int number);

} // namespace kelo::payrunreports
