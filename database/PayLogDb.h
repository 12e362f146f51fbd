#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "database/DbTable.h"

#include <optional>
#include <string>
#include <vector>

namespace kelo::database {

// The pay log of an organisation: one row for each closed pay period, naming
// the period report file kept for it. A period is a date: its year and month,
// and as day the period's end day (weekly, biweekly), its number within the
// month (irregular) or 0 (monthly), as the organisation record counts them.
// Paths are relative to the organisation's folder.
class PAYLOGDB : public DbTable {
public:
    static constexpr const char* kPath = "settings/paylog.dbf";
    // Frequency and period: STR(PAYFREQ,1)+STR(YEAR,4)+STR(MONTH,2)+STR(DAY,2).
    static constexpr const char* kPeriodTag = "PeriodTag";

    PAYLOGDB(engine::Code4& code, const common::WorkingFolder& folder);
    Schema schema() const override;

    // The organisation's current period of the frequency; a zero date for an
    // unknown frequency or month name.
    static common::date currentPeriod(common::PAYFREQ payFreq, const common::ORGREC& org);
    // The file kept for the current period of the frequency when it closes,
    // in the year folder ("2024/wk0307.dbf" for the week ending 7 March
    // 2024); empty for an unknown frequency or month name.
    static std::string getCurPeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org);
    // The working file of the frequency's current period in the year folder
    // of `year` ("2024/wkperiod.int"); empty for an unknown frequency.
    static std::string getTmpPeriodFile(common::PAYFREQ payFreq, int year);
    // The file kept for a closed period, as the log names it; nullopt when
    // the log has no such period or cannot be read (nothing is shown).
    std::optional<std::string> getPeriodFile(common::PAYFREQ payFreq, common::date period);
    // The closed periods of the frequency, oldest first; false when the log
    // cannot be read (nothing is shown).
    bool closedPeriods(common::PAYFREQ payFreq, std::vector<common::date>& periods);

    // Records the closing of the frequency's current period and its kept
    // file (getCurPeriodFile), replacing an earlier row of the same period.
    bool updatePayLog(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org);
    // Forgets the periods of the years whose report folders are purged: the
    // years before the organisation's year less its purgeAge.
    bool purgeLog(common::Ui& ui, const common::ORGREC& org);
};

} // namespace kelo::database
