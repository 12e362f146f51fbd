#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/PeriodRecords.h"

#include <string>
#include <utility>
#include <vector>

namespace kelo::taxreports {

// What the tax returns need of one employee in one pay period, copied from
// the period's report file as the pay engine wrote it.
struct P9EMP {
    std::string empNum;
    std::string name; // "last name, other names"
    std::string tin;
    double grossPay = 0;
    double taxablePay = 0; // what PAYE is worked on: the chargeable pay
    double paye = 0;

    static P9EMP of(const payrunreports::REPORTREC& rec);
    friend bool operator==(const P9EMP&, const P9EMP&) = default;
};

// The employer's figures of one pay period: the period file's sums.
struct P10TOTALS {
    int employees = 0;
    double grossPay = 0;
    double taxablePay = 0;
    double paye = 0;
    friend bool operator==(const P10TOTALS&, const P10TOTALS&) = default;
};

// The employer's figures: the sums of the employees' own, so that the P10
// and the P9 of the same months agree to the cent.
P10TOTALS totalsOf(const std::vector<P9EMP>& employees);

// One closed pay period of one frequency (or, in an interim file, an open
// one). The P9 file keeps its employees, the P10 file its totals.
struct TAXPERIOD {
    int month = 0; // 1-12, the organisation's month when the period closed
    payrunreports::PeriodHeader header;
    std::vector<P9EMP> employees;
    P10TOTALS totals;

    // Known by its frequency and title: each is added once.
    bool samePeriod(const TAXPERIOD& other) const;
};

// A calendar year of one of the two files, its periods in the order added.
struct TAXFILE {
    int year = 0;
    std::vector<TAXPERIOD> periods;
};

enum class TaxFile { P9, P10 };

// Reads a whole P9 or P10 file: identity, organisation and every period; a
// missing file reads as a year with no periods. False after a message
// naming the file, with `out` unchanged.
bool readTaxFile(common::Ui& ui, const common::WorkingFolder& folder, TaxFile kind,
                 const std::string& path, const common::ORGREC& org, TAXFILE& out);

// The tax returns' store of an organisation: per calendar year "p9.dbf"
// (each employee's pay, taxable pay and PAYE of every closed period) and
// "p10.dbf" (the employer's totals of every closed period), to which the
// month end adds each closed period of each frequency once; "p9.int" and
// "p10.int" add the open periods for returns that reach the current month.
// Every write goes to a scratch file renamed over the target, so a failure
// leaves the old file whole.
class TAXREPDB {
public:
    // `owner` shows the progress texts.
    TAXREPDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // Relative to the organisation folder: "2025/p9.dbf", "2025/p10.int" ...
    static std::string filePath(TaxFile kind, int year);
    static std::string interimPath(TaxFile kind, int year);

    // True when both files of the organisation's year, where they exist,
    // are whole and of this organisation. Otherwise the fault has been told,
    // naming the file.
    bool checkFiles(common::Ui& ui, const common::ORGREC& org);
    // Adds the frequency's period being closed (its kept period file, or the
    // working file without `current`) to both files of the organisation's
    // year under its current month. A period already there is left as it
    // is. False after a message; the files are then as they were.
    bool updateFiles(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                     bool current);
    // Both files of the organisation's year with the open period of every
    // frequency that has a payroll (its working period file, written again
    // when stale) added under the current month.
    bool writeInterimFiles(common::Ui& ui, const common::ORGREC& org);
    void delInterimFiles(const common::ORGREC& org);
    // Opening periods, for an organisation that starts mid-year: each
    // month paid before, of one pay frequency, as a period of both files of
    // its year named `openingTitle`. One already there is replaced, so a
    // corrected file can be imported again. Every file is written whole or
    // none is changed. False after a message.
    bool writeOpeningPeriods(common::Ui& ui, const common::ORGREC& org,
                             const std::vector<std::pair<int, TAXPERIOD>>& periods);
    // "July 2026 (opening)".
    static std::string openingTitle(int year, int month);

    // Renumbers the employee in the P9 files of the organisation's year and
    // the year before; the interim files go.
    bool updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change, const common::ORGREC& org);

    // The file a return of `param` (its year, fromMonth..toMonth) reads: the
    // interim file when the range reaches the organisation's current month,
    // else the year's file.
    static std::string reportFilePath(TaxFile kind, const common::REPORTPARAM& param,
                                      const common::ORGREC& org);
    // Whether the interim files must be written before a return of `param`
    // is read: the range reaches the current month and an interim file is
    // missing or older than its store or an open period's sources.
    static bool requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                            const common::ORGREC& org);

    bool readFile(common::Ui& ui, TaxFile kind, const std::string& path, const common::ORGREC& org,
                  TAXFILE& out) const {
        return readTaxFile(ui, folder_, kind, path, org, out);
    }
    bool writeFile(common::Ui& ui, TaxFile kind, const std::string& path, const common::ORGREC& org,
                   const TAXFILE& file) const;

    const common::WorkingFolder& folder() const { return folder_; }

private:
    bool checkFile(common::Ui& ui, const std::string& path, const common::ORGREC& org) const;
    bool readPeriodFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                        TAXPERIOD& out) const;
    bool addPeriod(common::Ui& ui, TaxFile kind, const common::ORGREC& org,
                   const TAXPERIOD& period);

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

} // namespace kelo::taxreports
