#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::payrunreports {

// What becomes of a file whose path comment names no folder: the returns
// stores refuse it, the other stores take it as their own.
enum class UnnamedFolder { Refused, Accepted };

// What every report store asks of a file before reading or adding to it:
// the identity check, then the organisation its path comment names, so that
// a file copied from another organisation's folder is neither read nor
// written over. On success `reader` holds the file open at its start. False
// after a message naming the file.
bool checkStoreFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                    const common::ORGREC& org, common::TaggedReader& reader,
                    UnnamedFolder unnamed = UnnamedFolder::Refused);

// The stores that keep a calendar year's closed periods (annual returns,
// P9, P10) open alike: `title` and the identity of a file of `kind`, then
// the year.
bool writeYearPreamble(common::TaggedWriter& w, const char* kind, const std::string& title,
                       std::string_view orgFolder, const std::string& path, int year);

// Which periods a year's store holds, so that an update need not read them all.
struct PeriodKey {
    int month = 0;
    int payFreq = 0;
    std::string title;
};

template <class Period> PeriodKey periodKey(const Period& p) {
    return {p.month, static_cast<int>(p.header.payFreq), p.header.periodTitle};
}

bool writePeriodIndex(common::TaggedWriter& w, const std::vector<PeriodKey>& keys);
bool readPeriodIndex(common::TaggedReader& r, int& year, std::vector<PeriodKey>& keys);

// A year's store written whole: its opening, the index, then each period
// through `writePeriod`.
template <class Period, class WritePeriod>
bool writeYearFile(common::TaggedWriter& w, const char* kind, const std::string& title,
                   std::string_view orgFolder, const std::string& path, int year,
                   const std::vector<Period>& periods, WritePeriod writePeriod) {
    std::vector<PeriodKey> keys;
    for (const Period& p : periods)
        keys.push_back(periodKey(p));
    if (!writeYearPreamble(w, kind, title, orgFolder, path, year) || !writePeriodIndex(w, keys))
        return false;
    for (const Period& p : periods) {
        if (!writePeriod(w, p))
            return false;
    }
    return w.writeEof();
}

// Gives the employee `change` renumbers his new number in every period,
// matching the old one with case and trailing blanks aside. Whether any
// record changed.
template <class Period>
bool renumberEmployee(std::vector<Period>& periods, const common::EMPNUMREC& change) {
    const auto upper = [](std::string_view text) {
        return common::toUpper(common::trimRight(text));
    };
    const std::string from = upper(change.oldEmpNum);
    bool changed = false;
    for (Period& p : periods) {
        for (auto& e : p.employees) {
            if (upper(e.empNum) == from) {
                e.empNum = change.newEmpNum;
                changed = true;
            }
        }
    }
    return changed;
}

// Adds the period `key` names to the year's store at `path`, unless it is
// there already. The periods stored are copied byte for byte: an update
// costs one pass over the file, not a reading of every record in it.
// `writePeriod` writes the new one; the file is written beside itself and
// renamed over the old. False after a message naming the file.
bool addStoredPeriod(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                     const common::ORGREC& org, const char* kind, const std::string& title,
                     const PeriodKey& key,
                     const std::function<bool(common::TaggedWriter&)>& writePeriod);

// Whether `payFreq` has a payroll: its definitions and transactions.
bool hasPayroll(const common::WorkingFolder& folder, common::PAYFREQ payFreq);

// The open period of `payFreq` as a report of `reportType` asks for it.
common::REPORTPARAM currentPeriodParam(std::int32_t reportType, common::PAYFREQ payFreq,
                                       const common::ORGREC& org);

// Writes the open period's file again when the report `param` asks for
// needs it (PERIODDB::requireFile); true when it was up to date.
bool refreshOpenPeriodFile(common::Ui& owner, engine::Code4& code,
                           const common::WorkingFolder& folder, common::Ui& ui,
                           const common::REPORTPARAM& param, const common::ORGREC& org);

} // namespace kelo::payrunreports
