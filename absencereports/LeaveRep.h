#pragma once

#include "absencereports/LeaveRepRecords.h"
#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::absencereports {

// How a line of a leave report is set: an employee's line, the heading of
// a group, or a line of totals.
enum class LineStyle { Detail, Group, Total };

// Whether `employee` belongs to the selection `groupBy`/`groupName`: a unit
// anywhere on his unit path (ignoring case), his station, pay group or bank.
// The store keeps no co-operatives or pension funds: those selections, and
// none, take everyone.
bool isSelected(const LeaveEmployee& employee, std::int32_t groupBy, std::string_view groupName);

// Days as the leave reports print them: "2.50".
std::string daysText(double days);

// The base of the leave reports. It reads the leave report file of the
// REPORTPARAM's year (the interim file for the organisation's year), keeps
// the employees of the selection in the order of the report's "Sort Key",
// and lays out and exports the lines each report makes of the entries dated
// in the month range: the organisation and the title at the top of every
// page, ruled column headings, the lines, and the footer.
class LEAVEREP : public common::REPORTBASE {
public:
    LEAVEREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             const common::REPORTPARAM& param);
    ~LEAVEREP() override;

    // The interim file is missing or older than what it is made from.
    bool requireFile(const common::ORGREC& org) const;
    // Reads the file, stamping the time of reading. False after one
    // message: the file's own, or "Sorry, report has no records\nand will
    // not be printed." when the report has nothing to show.
    bool readFile(const common::ORGREC& org);
    // By name when the report's "Sort Key" is 1, else by employee number.
    void sort();

    const LeaveYear& data() const { return data_; }
    const std::vector<LeaveEmployee>& employees() const { return employees_; }
    const common::REPORTPARAM& param() const { return param_; }
    const std::vector<LineStyle>& styles() const { return styles_; }
    // "Absence Analysis - January to December 2025", then " : " and the
    // selection's title when there is one.
    std::string titleLine() const;

protected:
    // Whether the report has a line to show.
    virtual bool hasRecords() const = 0;
    // The lines, through addLine.
    virtual void layOutLines() = 0;

    bool inRange(common::date day) const;
    // The employee's entries of the year, in date order.
    const std::vector<const LeaveEntry*>& entriesOf(std::string_view empNum) const;
    // Those dated in the month range.
    std::vector<const LeaveEntry*> entriesInRange(std::string_view empNum) const;
    void addLine(std::vector<std::string> cells, std::vector<double> figures, LineStyle style);
    // Portrait or landscape A4 with the rows a page holds.
    void setPage(bool landscape);

    void layOutRows() final;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    // The organisation, the title, an empty line, the headings and the lines.
    bool writeText(common::TextExport& out) const override;

private:
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::REPORTPARAM param_;
    LeaveYear data_;
    std::vector<LeaveEmployee> employees_;
    // Each employee's entries by his key (common::employeeKey), so that a
    // line does not walk the whole year.
    std::map<std::string, std::vector<const LeaveEntry*>> entriesByEmployee_;
    std::vector<LineStyle> styles_;
};

// Reports 22 and 23. The absence analysis gives each employee's days absent
// by reason (absence events by their first day), grouped by station when
// the selection is a station and otherwise by unit (the unit below the one
// selected), with each group's totals and the grand total. The annual leave
// analysis gives each employee's account over the range: the balance
// brought forward (the "Balance B/F" events, and what the events and annual
// leave taken before the range left), leave earned, sold and forfeited,
// annual leave taken, and the balance, with the totals.
class LEAVEANALYSIS : public LEAVEREP {
public:
    LEAVEANALYSIS(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                  const common::REPORTPARAM& param);
    std::string caption() const override;

    // One employee's account over the range.
    struct Account {
        double balanceBF = 0;
        double earned = 0;
        double sold = 0;
        double forfeited = 0;
        double taken = 0;
        double balance() const { return balanceBF + earned - sold - forfeited - taken; }
    };
    Account accountOf(std::string_view empNum) const;
    // One employee's days absent in the range, by reason (the six reasons in
    // their order).
    std::vector<double> absenceOf(std::string_view empNum) const;

protected:
    bool hasRecords() const override;
    void layOutLines() override;

private:
    bool isAbsence() const;
    void layOutAbsence();
    void layOutLeave();
};

// Report 24: every absence event, leave booking and leave event of each
// employee dated in the range, in date order.
class LEAVEDETAILS : public LEAVEREP {
public:
    LEAVEDETAILS(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param);
    std::string caption() const override { return "Absence and Leave Details"; }

protected:
    bool hasRecords() const override;
    void layOutLines() override;
};

// Report 25: the leave bookings that start in the range, in date order, with
// their days and the total.
class LEAVEBOOKED : public LEAVEREP {
public:
    LEAVEBOOKED(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                const common::REPORTPARAM& param);
    std::string caption() const override { return "Leave Booked Report"; }

protected:
    bool hasRecords() const override;
    void layOutLines() override;

private:
    std::vector<std::pair<const LeaveEntry*, const LeaveEmployee*>> bookings() const;
};

} // namespace kelo::absencereports
