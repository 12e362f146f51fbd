#pragma once

#include "absencereports/LeaveRepRecords.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <string>
#include <vector>

namespace kelo::absencereports {

// The leave report store: one file per calendar year ("2025/leaverep.dbf")
// holding the absence events, leave bookings and leave account events of the
// year's closed months, so that the leave reports of a year can be run once
// the absence and leave tables have moved on (the year end replaces the leave
// events by one balance and purges the absence events). Each month end
// rewrites the year from the live tables, which hold the whole current year,
// and records the month as closed; an employee gone from the personnel file
// keeps what the file held of him. The current year's reports read an interim
// file ("2025/leaverep.int") made the same way with the open month and the
// bookings still to come. Files are written beside the old one and renamed
// over it, so a failure keeps the old file.
class LEAVEREPDB {
public:
    // `owner` shows the progress texts.
    LEAVEREPDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    static std::string yearFilePath(int year);    // "2025/leaverep.dbf"
    static std::string interimFilePath(int year); // "2025/leaverep.int"
    // The tables the files are made from, relative to the organisation folder.
    static std::vector<std::string> sourceFiles();

    // True when the personnel, absence and leave tables and the unit and
    // station lists can be read; otherwise the first that cannot is told.
    bool checkFiles(common::Ui& ui);
    // Writes the year of `org` again with the organisation's month, and with
    // `closeMonth` records that month as closed. A month already closed
    // changes nothing. False after a message (among them a year file that
    // fails the identity check, was written for another organisation or is
    // damaged), with the file as it was.
    bool updateFile(common::Ui& ui, const common::ORGREC& org, bool closeMonth);
    // The interim file of the organisation's year: the closed months and the
    // open one, with every entry of the year however late. False after a
    // message.
    bool writeInterimFile(common::Ui& ui, const common::ORGREC& org);
    void delInterimFile(const common::ORGREC& org);
    // Moves the employee's entries and record to his new number in the year
    // file and the interim file of the organisation's year; a missing file
    // is no failure. False after a message.
    bool updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change, const common::ORGREC& org);

    // Reads the file at `path` (relative to the organisation folder) after
    // the identity check; false after a message, with `out` unchanged.
    bool readFile(common::Ui& ui, const std::string& path, const common::ORGREC& org,
                  LeaveYear& out);

    // The file a report on `param`'s year reads: the interim file for the
    // organisation's year, the year file for another.
    static std::string reportFilePath(const common::REPORTPARAM& param, const common::ORGREC& org);
    // Whether the interim file must be written before a report on `param`'s
    // year: it is the organisation's year and the file is missing or older
    // than a table it is made from or the year file.
    static bool requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                            const common::ORGREC& org);

private:
    // The year file of `org`, or an empty year when there is none yet.
    bool readYear(common::Ui& ui, const common::ORGREC& org, LeaveYear& out);
    // The live tables' employees and entries of `org.year` dated up to the
    // end of `lastMonth`, over what `stored` keeps of employees gone since.
    bool merge(common::Ui& ui, const common::ORGREC& org, int lastMonth, const LeaveYear& stored,
               LeaveYear& out);
    bool write(common::Ui& ui, const std::string& path, const common::ORGREC& org,
               const LeaveYear& year, const std::string& failure);

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

// Whether `change` moves `empNum`: the same employee, ignoring case and
// blanks at the end.
bool isRenumbered(const std::string& empNum, const common::EMPNUMREC& change);

} // namespace kelo::absencereports
