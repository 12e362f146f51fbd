#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "database/DbTable.h"
#include "database/GradesDb.h"
#include "database/LeaveRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelo::database {

// Most characters each text field of PERSONNELREC holds.
struct PersonnelWidths {
    static constexpr std::size_t kSupervisorWidth = common::employeeNumberWidth;
    static constexpr std::size_t kTinWidth = 14;
    static constexpr std::size_t kNssfNumWidth = 14;
    static constexpr std::size_t kMemberNumWidth = 14;
};

// PERSONNELREC::normalOvertimeChoice and doubleOvertimeChoice: the rate is
// worked out from the basic pay rate ("Basic Pay Rate x 1.5", "Basic Pay
// Rate x 2") or keyed ("Enter Rate:").
inline constexpr std::int32_t kNormalOvertimeFromBasic = 0;
inline constexpr std::int32_t kNormalOvertimeKeyed = 1;
inline constexpr std::int32_t kDoubleOvertimeFromBasic = 2;
inline constexpr std::int32_t kDoubleOvertimeKeyed = 3;

// The personnel fields of an employee master row beyond STATICREC: the
// post, the lookup codes the personnel reports turn into names, and the
// form's overtime rate choices. Codes are 0 for none.
struct PERSONNELREC {
    common::date birthDate; // month and day may be 0 (not given)
    std::int32_t unit = 0;  // the post: a job in an administrative unit
    std::int32_t job = 0;
    std::int32_t grade = 0; // the job's grade, kept with the post
    std::int32_t terms = 0; // 0 permanent, 1 contract, 2 temporary, 3 casual
    std::int32_t payGroup = 0;
    std::string supervisor; // the supervisor's employee number; empty for none
    std::string tin, nssfNum;
    std::array<std::string, 2> coopMemberNum, pensionMemberNum; // by slot
    std::int32_t normalOvertimeChoice = kNormalOvertimeFromBasic;
    std::int32_t doubleOvertimeChoice = kDoubleOvertimeFromBasic;
    // The former employees file takes a terminated, separated employee only
    // while this is set as well.
    int newLeaver = 0;

    friend bool operator==(const PERSONNELREC&, const PERSONNELREC&) = default;
};

// The personnel file (database/static.dbf): one row per employee, holding
// the employee master record (STATICREC) and its personnel fields
// (PERSONNELREC). Employee numbers are compared without regard to case.
class STATDB : public DbTable {
public:
    static constexpr const char* kPath = "database/static.dbf";
    static constexpr const char* kEmpNum = "EMPNO";
    // UPPER(EMPNO), sought with the employee key; and last name, then other
    // names, without regard to case.
    static constexpr const char* kEmpNumTag = "EmpNoTag";
    static constexpr const char* kNameTag = "NameTag";

    // What getMemberCnt counts the employees of.
    enum MemberKind {
        ByUnit = 1,
        ByJob = 2,
        ByStation = 3,
        ByPayGroup = 4,
        ByCoop = 5,
        ByPensionFund = 6
    };
    // getPostsCnt's counts, by PERSONNELREC::terms.
    static constexpr std::size_t kTermsCount = 4;
    using PostCounts = std::array<long, kTermsCount>;

    STATDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    // Sort-order selectors; false when the table is not open.
    bool orderByEmpNum() const { return order(kEmpNumTag); }
    bool orderByName() const { return order(kNameTag); }
    // By ORGREC::formSortKey (common::kSortByEmpNum, kSortByLastName); false
    // for any other key.
    bool orderFile(std::int32_t sortKey) const;

    // Moves to the employee (the order stays as selected); false, at end of
    // file, when there is none.
    bool seekEmpNum(std::string_view empNum);
    // The employee's record number, 0 when there is none; the table stays
    // where it was.
    long recNum(std::string_view empNum);

    // The current row; false when there is none.
    bool initRec(common::STATICREC& rec) const;
    // Whether the current record is an employee of `payFreq` still on the
    // payroll, read from those two columns alone: a run over one
    // frequency's employees loads only theirs.
    bool isOnPayroll(common::PAYFREQ payFreq) const;
    bool initRec(PERSONNELREC& rec) const;
    // The employee part of a leave account: number, names, entitlement.
    bool initRec(LEAVEREC& rec) const;

    // Works out the overtime rates chosen as "Basic Pay Rate x 1.5" and
    // "Basic Pay Rate x 2": the basic pay rate per hour (salary / hours per
    // month, daily rate / hours per day, or the hourly rate) times 1.5 or 2,
    // to the cent. A keyed rate, and both rates of a pay basis out of range,
    // stay as they are; no hours give a rate of 0.
    static void computeFields(common::STATICREC& rec, const PERSONNELREC& personnel);

    // Writes the record into the current row, or appends it as a new row
    // (which becomes current). Without a PERSONNELREC the personnel fields
    // of an existing row stay as they are, and a new row gets those of a
    // default PERSONNELREC. False when the row cannot be written (another
    // user holds it, the table is locked or not open): the engine's error
    // code says why, the stored row is unchanged and the current row is read
    // again.
    bool updateFields(const common::STATICREC& rec, bool newRecord);
    bool updateFields(const common::STATICREC& rec, const PERSONNELREC& personnel, bool newRecord);

    // How many employees name this code (of a unit, job, station, pay group,
    // or either co-operative or pension fund slot), terminated ones
    // included: a code in use must not be deleted. The table is opened
    // shared when it is not open; nullopt when it cannot be read or the kind
    // is none of MemberKind.
    std::optional<long> getMemberCnt(int kind, long code);
    // The current occupants of the posts of a job in a unit, by terms:
    // employees whose termination has gone through the payroll (separated)
    // occupy none.
    std::optional<PostCounts> getPostsCnt(long unit, long job);

    // Brings the pay rate of the employee's pay basis within the grade's
    // range for the employee's pay frequency: the salary within the limits,
    // a daily rate within them / hours per month x hours per day, an hourly
    // rate within them / hours per month (both limits to the cent). A grade
    // with no upper limit for the frequency, and a daily or hourly rate
    // without hours per month, set no range. True when the rate moved.
    static bool updateSalary(common::STATICREC& rec, const GRADEREC& grade);

    // updateFile's frequency for every employee.
    static constexpr int kAllPayFreqs = -1;
    // The update of the whole file under an exclusive open, for the
    // employees of `payFreq` (or all):
    // - UPDATE_ON_CLOSE: each employee takes the grade of his job and a pay
    //   rate within it (updateSalary), and the overtime rates follow.
    // - UPDATE_PERIOD_END: a terminated employee whose termination date
    //   falls on or before the end of his frequency's current period (the
    //   week's or fortnight's end day of the organisation's month, else the
    //   month's last day) becomes a leaver: separated, and a new leaver for
    //   the former employees file.
    // - UPDATE_MONTH_END: leavers of earlier months (separated, no longer new
    //   leavers) are removed from the file.
    // - UPDATE_AFTER_MONTH_END: the new leavers, now in the former employees
    //   file, stop being new.
    // Any other mode changes nothing. Separated employees keep their row as
    // it was. The table is left closed. Shows "Updating database/static.dbf..." while it works and
    // tells the user of every failure; false with the file unchanged when it
    // is in use or a table it needs cannot be read.
    bool updateFile(common::Ui& ui, const common::ORGREC& org, common::UPDATEMODE mode,
                    int payFreq);

private:
    bool write(const common::STATICREC& rec, const PERSONNELREC* personnel, bool newRecord);
    bool openExclusive(common::Ui& ui);
    bool followGrades(common::Ui& ui, int payFreq);
    bool separateLeavers(common::Ui& ui, const common::ORGREC& org, int payFreq);
    bool removeLeavers(common::Ui& ui, int payFreq);
    bool clearNewLeavers(common::Ui& ui, int payFreq);
};

} // namespace kelo::database
