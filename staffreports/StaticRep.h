#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "staffreports/PersRepRec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::staffreports {

// Whether a record belongs to the selection `groupBy`/`groupName`: a unit
// anywhere on its unit path (ignoring case), its station, pay group, bank,
// either co-operative or either pension fund (exactly). No selection takes
// everyone.
bool inGroup(const PERSREPREC& rec, std::int32_t groupBy, std::string_view groupName);

// Stable, by "%s, %s" of last and other names ignoring case; renumbers.
void sortByName(std::vector<PERSREPREC>& records);

// An employee whose supervisor chain runs round in a loop.
struct SupervisorLoop {
    std::string lastName, otherNames;
};

// Puts every supervisor before his subordinates, depth first, subordinates
// in their present order, and sets each record's depth (links followed up
// to a record without a supervisor in the list). A loop of supervisors is
// broken at its member that comes first in the list, who then stands at
// the top, so that everyone is shown once; the loops broken are returned.
// Renumbers.
std::vector<SupervisorLoop> arrangeHierarchy(std::vector<PERSREPREC>& records);

// "There is a cyclic reference in the supervisors of %s, %s. Please check
// the Personnel file then try again."
std::string cyclicReferenceMessage(const SupervisorLoop& loop);

// The base of the personnel reports: it keeps what the report needs of the
// REPORTPARAM, reads a personnel report file into the records of the
// selected employees, orders them, and lets the report lay them out into
// pages. The file is the active employees or the former employees file of
// the period's year.
class STATICREP : public common::REPORTBASE {
public:
    STATICREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const common::REPORTPARAM& param);
    ~STATICREP() override;

    // The file this report reads.
    virtual DB fileDb() const { return DB_ACTIVE; }
    // The active employees file of the period's year must be written again
    // before an active employees report reads it.
    bool needActiveFile() const;
    // Reads the file and keeps the selected employees, numbered in file
    // order, stamping the time of reading. False after one message: the
    // identity check's, another organisation's file, a damaged file, or
    // "Sorry, report has no records\nand will not be printed.".
    bool openFile(DB db, const common::ORGREC& org);
    // By name with sort key 1; else the file's employee number order.
    void sortRecords();
    // The supervisor hierarchy; a loop of supervisors is told once and
    // broken, so the report still shows everyone once.
    bool createHierarchy();
    void paginate() { layOut(); }

    const std::vector<PERSREPREC>& records() const { return records_; }
    const std::string& orgName() const { return orgName_; }
    int fileYear() const { return fileYear_; }
    int sortKey() const { return sortKey_; }
    const common::REPORTPARAM& param() const { return param_; }

protected:
    void setSortKey(int key) { sortKey_ = key; }
    // The report's "Sort Key" option; 0 when it has none.
    int sortKeyOption() const;
    engine::Code4& code() const { return code_; }
    const common::WorkingFolder& folder() const { return folder_; }

private:
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::REPORTPARAM param_;
    int sortKey_ = 0;
    std::string orgName_;
    int fileYear_ = 0;
    std::vector<PERSREPREC> records_;
};

// A date as the personnel reports show it: "14 Mar 1968", "Mar 1968"
// without a day, "1968" without a month, empty without a year.
std::string dateText(common::date d);

} // namespace kelo::staffreports
