#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "engine/Code4.h"
#include "paycalc/CalcFields.h"

#include <string_view>
#include <vector>

namespace kelo::staffrecords {

// The payroll transactions tables kept in step with the personnel file and
// carried from one pay period to the next. Every operation opens the table
// it needs and closes it before it returns, and loads the frequency's pay
// item definitions from its definitions file for as long as it builds
// records. Writers open the table exclusively.
class VARDBEX : public database::VARDB {
public:
    // `owner` receives the progress texts of period updates.
    VARDBEX(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // A record with default items for a new employee, in the table of the
    // employee's frequency.
    bool appendNewRec(common::Ui& ui, const common::STATICREC& employee);
    // The same for many employees of one frequency, in its table as the
    // caller keeps it open (shared and locked whole): the definitions are
    // loaded once and stay until the table is closed; an employee who
    // already has a record, or comes twice, gets one record.
    bool appendNewRecs(common::Ui& ui, const std::vector<const common::STATICREC*>& employees);
    // Removes the employee's record from that frequency's table; false when
    // it is not there or the table cannot be locked.
    bool deleteRec(std::string_view empNum, common::PAYFREQ payFreq);
    // How many employees are on that frequency's payroll (not removed);
    // false when the table cannot be opened.
    bool getNotProcdCnt(common::PAYFREQ payFreq, long& count);
    // Gives the employee's record the new number; true as well when the old
    // number has no record, false when the record cannot be locked.
    bool updateEmpNum(common::EMPNUMREC request);
    // Brings the employee's record in line with a changed master record
    // (memberships ended, PAYE no longer deducted).
    bool updateRecStatic(common::Ui& ui, const common::STATICREC& employee);
    // The period update of one frequency's table: UPDATE_PERIOD_END rolls
    // every record into the next period, UPDATE_MONTH_END closes the month
    // and drops records of employees who left the personnel file or the
    // frequency, UPDATE_YEAR_END starts the year's totals again; any other
    // mode only rebuilds the records. Employees without a record get one.
    bool updateFile(common::Ui& ui, const common::ORGREC& org, common::UPDATEMODE mode,
                    common::PAYFREQ payFreq);

    paycalc::CALCFIELDS& calcFields() { return calc_; }

private:
    // Closes the table and drops its definitions however an operation ends.
    class Held {
    public:
        explicit Held(VARDBEX& table) : table_(table) {}
        ~Held();
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        VARDBEX& table_;
    };

    // The frequency's table, exclusively, in employee-number order.
    bool openExclusive(common::PAYFREQ payFreq);
    bool loadDefinitions(common::Ui& ui, common::PAYFREQ payFreq);
    bool updateRecords(common::UPDATEMODE mode, common::PAYFREQ payFreq, std::string_view newMonth);
    bool dropLeavers(common::PAYFREQ payFreq);

    paycalc::CALCFIELDS calc_;
    common::Ui& owner_;
    database::STATDB staff_;
};

} // namespace kelo::staffrecords
