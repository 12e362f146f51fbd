#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <optional>
#include <string>
#include <vector>

namespace kelo::payrunreports {
struct REPORTREC;
struct PeriodHeader;
} // namespace kelo::payrunreports

namespace kelo::monthlyreturns {

// What the monthly returns need of one employee in one pay period, copied
// from the period's report file as the pay engine wrote it: no figure is
// worked out again.
struct MONTHEMP {
    std::string empNum;
    std::string name; // "last name, other names"
    std::string idNum;
    std::string tin;
    std::string nssfNum;
    std::string birthDate;
    std::string jobTitle;
    std::string stationName;
    std::string gender; // from the personnel file when the period is added
    double basicPay = 0;
    double grossPay = 0;
    double pensionDeduction = 0; // exempt from PAYE
    double chargeablePay = 0;    // what PAYE is worked on
    double paye = 0;
    double nssfEmployee = 0;
    double nssfEmployer = 0;
    double sdl = 0;
    double totalDeductions = 0;
    double netPay = 0;

    static MONTHEMP of(const payrunreports::REPORTREC& rec);
    friend bool operator==(const MONTHEMP&, const MONTHEMP&) = default;
};

// One closed (or, in the interim file, open) pay period of the month.
struct MONTHPERIOD {
    common::PAYFREQ payFreq = common::MONTHLY;
    common::date period; // as the pay log names it
    std::string title;   // "March 2025", "Week ending 7 March 2025" ...
    std::string source;  // the period report file the figures come from
    double sdlRate = 0;  // percent, of the period's fiscal year
    double wcfRate = 0;  // percent, of the period's fiscal year
    std::vector<MONTHEMP> employees;
    friend bool operator==(const MONTHPERIOD&, const MONTHPERIOD&) = default;
};

// The employer as the returns head him.
struct MONTHORG {
    std::string name;
    std::string tin;
    std::string nssfNum;
    std::string poBox;
    std::string postCode;
    std::string town;
    std::string telephone;
    friend bool operator==(const MONTHORG&, const MONTHORG&) = default;
};

// A month's return file in memory: the periods in the order they were added.
struct MONTHFILE {
    int year = 0;
    int month = 0;
    MONTHORG employer;
    std::vector<MONTHPERIOD> periods;
    bool empty() const;
};

// Reads a store file: identity, organisation and every period. False after
// a message naming the file, with `out` unchanged.
bool readMonthFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                   const common::ORGREC& org, MONTHFILE& out);

// The monthly return store of an organisation: one tagged file per calendar
// month in the year folder ("2025/Marret.dbf"), to which the month end adds
// each frequency's closed period, and an interim file ("2025/Marret.int")
// made for the returns of the month still open.
class MONTHDB {
public:
    // `owner` shows the progress texts.
    MONTHDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // Relative to the organisation folder.
    static std::string monthFilePath(int year, int month);
    static std::string interimFilePath(int year, int month);

    // True when the store can take the organisation's current month: its
    // year folder exists or can be made and the month's file, if there is
    // one, is whole and of this organisation. Otherwise the fault has been
    // told, naming the file.
    bool checkFiles(common::Ui& ui, const common::ORGREC& org);
    // Adds the closed period of `payFreq` (the organisation's current one,
    // read through the pay log) to the current month's file, replacing an
    // earlier copy of the same period. False after a message; the file is
    // then as it was. `current` is kept for the month end's call; only the
    // closed period is ever added.
    bool updateFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                    bool current);
    // The current month as it would close now: its file's periods and the
    // open period of every frequency with a payroll, from their working
    // period files (written again when stale).
    bool writeInterimFile(common::Ui& ui, const common::ORGREC& org);
    void delInterimFile(const common::ORGREC& org);
    // Renumbers the employee in the month files of the organisation's year
    // and the year before; the interim file goes.
    bool updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change, const common::ORGREC& org);

    // The file a return of `year`/`month` reads: the interim file for the
    // organisation's current month, the month's file otherwise.
    static std::string reportFilePath(int year, int month, const common::ORGREC& org);
    // Whether the interim file must be written again before a return of
    // `year`/`month` is read: always false for a closed month.
    static bool requireFile(const common::WorkingFolder& folder, int year, int month,
                            const common::ORGREC& org);

    bool readFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                  MONTHFILE& out) const;
    // Writes a store file whole, in place of the old one only once complete.
    bool writeFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                   const MONTHFILE& file) const;

    const common::WorkingFolder& folder() const { return folder_; }

private:
    bool readPeriod(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                    MONTHPERIOD& out, MONTHORG& employer) const;
    double sdlRate(int fiscalYear) const;
    void fillGenders(std::vector<MONTHEMP>& employees) const;
    void setRates(MONTHPERIOD& period, int fiscalYear) const;

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

} // namespace kelo::monthlyreturns
