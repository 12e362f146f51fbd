#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/PeriodRecords.h"

#include <array>
#include <string>
#include <vector>

namespace kelo::annualreturns {

// What the year's reports need of one employee in one pay period, copied
// from the period's report file as the pay engine wrote it.
struct ANNUALEMP {
    std::string empNum;
    std::string name;
    // Kept for the selection and grouping of employees.
    std::string unitPath;
    std::string stationName;
    std::string payGroupName;
    std::string bankName;
    std::array<std::string, 2> coopName;
    std::array<std::string, 2> pensionFundName;
    double basicPay = 0;
    double overtimePay = 0;
    double rent = 0;
    double deficitBF = 0;
    double roundingCF = 0;
    double lumpSumTax = 0;
    double roundingBF = 0;
    double paye = 0;
    double nssfEmployee = 0;
    double nssfEmployer = 0;
    double sdl = 0;
    double grossPay = 0;
    double taxablePay = 0;
    double totalLumpSums = 0;
    double totalRefunds = 0;
    double totalPay = 0;
    double totalDeductions = 0;
    double deficit = 0;
    double netPay = 0;
    // Per table, the amounts of the period's definitions after the built-in
    // ones, in definition order.
    std::array<std::vector<double>, common::kFieldsTableCount> items;

    static ANNUALEMP of(const payrunreports::REPORTREC& rec);
    friend bool operator==(const ANNUALEMP&, const ANNUALEMP&) = default;
};

// One closed pay period of one frequency (or, in the interim file, an open
// one): the period file's header and definitions and its employees.
struct ANNUALPERIOD {
    int month = 0; // 1-12, the organisation's month when the period closed
    payrunreports::PeriodHeader header;
    payrunreports::ReportItemDefs definitions;
    std::vector<ANNUALEMP> employees;

    // A period is known by its frequency and title ("Week ending 7 March
    // 2025"): each is added once.
    bool samePeriod(const ANNUALPERIOD& other) const;
};

// A calendar year's store in memory: its periods in the order added.
struct ANNUALFILE {
    int year = 0;
    std::vector<ANNUALPERIOD> periods;
};

// The annual store of an organisation: one tagged file per calendar year
// ("2025/annualreturns.dbf") to which the month end adds each closed period
// of each frequency once, and an interim file ("2025/annualreturns.int")
// that adds the open periods for reports that reach the current month.
// Every write goes to a scratch file renamed over the target, so a failure
// leaves the old file whole.
class ANNUALDB {
public:
    // `owner` shows the progress texts.
    ANNUALDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // Relative to the organisation folder.
    static std::string storeFilePath(int year);
    static std::string interimFilePath(int year);

    // True when the store of the organisation's year can be added to: its
    // file, if there is one, is whole and of this organisation. Otherwise
    // the fault has been told, naming the file.
    bool checkFiles(common::Ui& ui, const common::ORGREC& org);
    // Adds the frequency's period being closed (its kept period file, or
    // the working file without `current`) to the store of the
    // organisation's year under its current month. A period already in the
    // store is left as it is. False after a message; the store is then as
    // it was.
    bool updateFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                    bool current);
    // The store of the organisation's year with the open period of every
    // frequency that has a payroll (its working period file, written again
    // when stale) added under the current month.
    bool writeInterimFile(common::Ui& ui, const common::ORGREC& org);
    void delInterimFile(const common::ORGREC& org);
    // Renumbers the employee in the stores of the organisation's year and
    // the year before; the interim file goes.
    bool updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change, const common::ORGREC& org);

    // The file a report of `param` (its year, fromMonth..toMonth) reads:
    // the interim file when the range reaches the organisation's current
    // month, else the year's store.
    static std::string reportFilePath(const common::REPORTPARAM& param, const common::ORGREC& org);
    // Whether the interim file must be written before a report of `param`
    // is read: the range reaches the current month and the interim file is
    // missing or older than the store or an open period's sources.
    static bool requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                            const common::ORGREC& org);

    // A store or interim file whole. A missing file reads as a year with no
    // periods. False after a message naming the file, `out` unchanged.
    bool readFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                  ANNUALFILE& out) const;
    // Writes a whole file in place of the old one once complete.
    bool writeFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                   const ANNUALFILE& file) const;

    const common::WorkingFolder& folder() const { return folder_; }

private:
    bool checkFile(common::Ui& ui, const std::string& path, const common::ORGREC& org) const;
    bool readPeriodFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                        int month, ANNUALPERIOD& out) const;

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

} // namespace kelo::annualreturns
