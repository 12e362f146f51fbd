#include "absencereports/LeaveRep.h"
#include "absencereports/LeaveRepFormat.h"
#include "common/DateText.h"
#include "common/Text.h"
#include "database/LeaveRecords.h"
#include "payrunreports/PeriodRep.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace kelo::absencereports {

namespace {

using common::align::Left;
using common::align::Right;

constexpr std::size_t kReasonCount = database::kAbsenceReasons.size();

// "Annual\nLeave": a reason's heading on two lines.
std::string reasonHeading(std::string_view reason) {
    std::string heading(reason);
    const std::size_t blank = heading.find(' ');
    if (blank != std::string::npos)
        heading[blank] = '\n';
    return heading;
}

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string entryText(const LeaveEntry& entry) {
    switch (entry.source) {
    case EntrySource::Booking:
        return entry.reason + " (booked)";
    case EntrySource::LeaveEvent:
        return entry.kind >= 0 &&
                       entry.kind < static_cast<std::int32_t>(database::kLeaveKindLabels.size())
                   ? std::string(database::kLeaveKindLabels[static_cast<std::size_t>(entry.kind)])
                   : std::string();
    default:
        return entry.reason;
    }
}

// Blank for none, so that the days absent stand out.
std::string absentText(double days) {
    return days == 0 ? std::string() : daysText(days);
}

} // namespace

LEAVEANALYSIS::LEAVEANALYSIS(common::Ui& ui, engine::Code4& code,
                             const common::WorkingFolder& folder, const common::REPORTPARAM& param)
    : LEAVEREP(ui, code, folder, param) {
    setPage(true);
    std::vector<common::ReportColumn> columns{{"Emp. No.", 24, Left}, {"Name", 60, Left}};
    if (isAbsence()) {
        for (std::string_view reason : database::kAbsenceReasons)
            columns.push_back({reasonHeading(reason), 22, Right});
        columns.push_back({"Total", 22, Right});
    } else {
        for (const char* heading :
             {"Balance\nB/F", "Earned", "Sold", "Forfeited", "Taken", "Balance"})
            columns.push_back({heading, 22, Right});
    }
    setColumns(std::move(columns));
    placeColumns(0, geometry().columnGap);
}

bool LEAVEANALYSIS::isAbsence() const {
    return param().reportType == common::kReportAbsenceAnalysis;
}

std::string LEAVEANALYSIS::caption() const {
    return isAbsence() ? "Absence Analysis" : "Annual Leave Analysis";
}

std::vector<double> LEAVEANALYSIS::absenceOf(std::string_view empNum) const {
    std::vector<double> days(kReasonCount, 0.0);
    for (const LeaveEntry* entry : entriesInRange(empNum)) {
        if (entry->source != EntrySource::Absence)
            continue;
        const auto* reason = std::find(database::kAbsenceReasons.begin(),
                                       database::kAbsenceReasons.end(), entry->reason);
        if (reason != database::kAbsenceReasons.end())
            days[static_cast<std::size_t>(reason - database::kAbsenceReasons.begin())] +=
                entry->days;
    }
    return days;
}

LEAVEANALYSIS::Account LEAVEANALYSIS::accountOf(std::string_view empNum) const {
    Account account;
    const int from = param().fromMonth;
    const int to = param().toMonth;
    for (const LeaveEntry* dated : entriesOf(empNum)) {
        const LeaveEntry& entry = *dated;
        const common::date day = entry.fromDate;
        if (day.year != param().period.year || day.month > to)
            continue;
        const bool before = day.month < from;
        if (entry.source == EntrySource::Absence) {
            if (entry.reason != database::kAnnualLeave)
                continue;
            if (before)
                account.balanceBF -= entry.days;
            else
                account.taken += entry.days;
            continue;
        }
        if (entry.source != EntrySource::LeaveEvent)
            continue;
        switch (entry.kind) {
        case database::kBalanceBF:
            account.balanceBF += entry.days;
            break;
        case database::kLeaveEarned:
            (before ? account.balanceBF : account.earned) += entry.days;
            break;
        case database::kLeaveSold:
            if (before)
                account.balanceBF -= entry.days;
            else
                account.sold += entry.days;
            break;
        case database::kLeaveForfeited:
            if (before)
                account.balanceBF -= entry.days;
            else
                account.forfeited += entry.days;
            break;
        default:
            break;
        }
    }
    return account;
}

bool LEAVEANALYSIS::hasRecords() const {
    if (!isAbsence())
        return !employees().empty();
    return std::any_of(employees().begin(), employees().end(), [&](const LeaveEmployee& e) {
        const std::vector<double> days = absenceOf(e.empNum);
        return std::any_of(days.begin(), days.end(), [](double d) { return d != 0; });
    });
}

void LEAVEANALYSIS::layOutLines() {
    if (isAbsence())
        layOutAbsence();
    else
        layOutLeave();
}

void LEAVEANALYSIS::layOutAbsence() {
    const bool byStation = param().groupBy == common::kGroupByStation;
    const std::string selectedUnit =
        param().groupBy == common::kGroupByUnit ? param().groupName : std::string();
    std::vector<std::pair<std::string, const LeaveEmployee*>> keyed;
    for (const LeaveEmployee& e : employees())
        keyed.emplace_back(
            byStation ? e.stationName : payrunreports::groupKey(e.unitPath, selectedUnit), &e);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return lessIgnoringCase(a.first, b.first);
    });

    std::vector<double> grand(kReasonCount + 1, 0.0);
    const auto totalCells = [](std::string label, const std::vector<double>& sums) {
        std::vector<std::string> cells{"", std::move(label)};
        for (double sum : sums)
            cells.push_back(daysText(sum));
        return cells;
    };
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t end = i;
        while (end < keyed.size() && common::equalsIgnoreCase(keyed[end].first, keyed[i].first))
            ++end;
        std::vector<double> sums(kReasonCount + 1, 0.0);
        bool heading = false;
        for (std::size_t k = i; k < end; ++k) {
            const LeaveEmployee& e = *keyed[k].second;
            std::vector<double> days = absenceOf(e.empNum);
            double total = 0;
            for (double d : days)
                total += d;
            if (total == 0)
                continue;
            if (!heading) {
                addLine({"", keyed[i].first.empty() ? "(None)" : keyed[i].first}, {},
                        LineStyle::Group);
                heading = true;
            }
            days.push_back(total);
            std::vector<std::string> cells{e.empNum, e.name()};
            std::vector<double> figures{0, 0};
            for (std::size_t c = 0; c < days.size(); ++c) {
                cells.push_back(absentText(days[c]));
                figures.push_back(days[c]);
                sums[c] += days[c];
                grand[c] += days[c];
            }
            addLine(std::move(cells), std::move(figures), LineStyle::Detail);
        }
        if (heading)
            addLine(totalCells("Total", sums), {}, LineStyle::Total);
        i = end;
    }
    addLine(totalCells("Grand Total", grand), {}, LineStyle::Total);
}

void LEAVEANALYSIS::layOutLeave() {
    std::vector<double> grand(6, 0.0);
    for (const LeaveEmployee& e : employees()) {
        const Account a = accountOf(e.empNum);
        const std::vector<double> figures{a.balanceBF, a.earned, a.sold,
                                          a.forfeited, a.taken,  a.balance()};
        std::vector<std::string> cells{e.empNum, e.name()};
        std::vector<double> rowFigures{0, 0};
        for (std::size_t c = 0; c < figures.size(); ++c) {
            cells.push_back(daysText(figures[c]));
            rowFigures.push_back(figures[c]);
            grand[c] += figures[c];
        }
        addLine(std::move(cells), std::move(rowFigures), LineStyle::Detail);
    }
    std::vector<std::string> cells{"", "Grand Total"};
    for (double sum : grand)
        cells.push_back(daysText(sum));
    addLine(std::move(cells), {}, LineStyle::Total);
}

LEAVEDETAILS::LEAVEDETAILS(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::REPORTPARAM& param)
    : LEAVEREP(ui, code, folder, param) {
    setPage(false);
    setColumns({{"Emp. No.", 20, Left},
                {"Name", 48, Left},
                {"From", 20, Left},
                {"To", 20, Left},
                {"Event", 46, Left},
                {"Days", 16, Right}});
    placeColumns(0, geometry().columnGap);
}

bool LEAVEDETAILS::hasRecords() const {
    return std::any_of(employees().begin(), employees().end(),
                       [&](const LeaveEmployee& e) { return !entriesInRange(e.empNum).empty(); });
}

void LEAVEDETAILS::layOutLines() {
    for (const LeaveEmployee& e : employees()) {
        bool first = true;
        for (const LeaveEntry* entry : entriesInRange(e.empNum)) {
            addLine({first ? e.empNum : std::string(), first ? e.name() : std::string(),
                     common::formatDate(entry->fromDate), common::formatDate(entry->toDate),
                     entryText(*entry), daysText(entry->days)},
                    {}, LineStyle::Detail);
            first = false;
        }
    }
}

LEAVEBOOKED::LEAVEBOOKED(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         const common::REPORTPARAM& param)
    : LEAVEREP(ui, code, folder, param) {
    setPage(false);
    setColumns({{"From", 20, Left},
                {"To", 20, Left},
                {"Emp. No.", 20, Left},
                {"Name", 54, Left},
                {"Type", 40, Left},
                {"Days", 16, Right}});
    placeColumns(0, geometry().columnGap);
}

std::vector<std::pair<const LeaveEntry*, const LeaveEmployee*>> LEAVEBOOKED::bookings() const {
    std::map<std::string, const LeaveEmployee*> selected;
    for (const LeaveEmployee& e : employees())
        selected.emplace(common::employeeKey(e.empNum), &e);
    std::vector<std::pair<const LeaveEntry*, const LeaveEmployee*>> found;
    for (const LeaveEntry& entry : data().entries) {
        if (entry.source != EntrySource::Booking || !inRange(entry.fromDate))
            continue;
        const auto e = selected.find(common::employeeKey(entry.empNum));
        if (e != selected.end())
            found.emplace_back(&entry, e->second);
    }
    // In date order; on one day in the report's order of employees.
    std::map<const LeaveEmployee*, std::size_t> place;
    for (std::size_t i = 0; i < employees().size(); ++i)
        place[&employees()[i]] = i;
    std::stable_sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
        const std::string da = dateKey(a.first->fromDate);
        const std::string db = dateKey(b.first->fromDate);
        return da != db ? da < db : place[a.second] < place[b.second];
    });
    return found;
}

bool LEAVEBOOKED::hasRecords() const {
    return !bookings().empty();
}

void LEAVEBOOKED::layOutLines() {
    double total = 0;
    for (const auto& [entry, employee] : bookings()) {
        addLine({common::formatDate(entry->fromDate), common::formatDate(entry->toDate),
                 employee->empNum, employee->name(), entry->reason, daysText(entry->days)},
                {0, 0, 0, 0, 0, entry->days}, LineStyle::Detail);
        total += entry->days;
    }
    addLine({"", "", "", "Total", "", daysText(total)}, {}, LineStyle::Total);
}

} // namespace kelo::absencereports
