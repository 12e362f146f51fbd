#include "app/demo/DemoSteps.h"
#include "common/WorkingFolder.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "engine/Code4.h"
#include "setup/LookupDialogs.h"
#include "setup/TreeDialogs.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelo::demo::detail {

const std::vector<Station>& demoStations() {
    static const std::vector<Station> stations{
        {"Mbeya Head Office", "Forest Area", "Mbeya"},
        {"Kiwira Estate", "Kiwira", "Tukuyu"},
        {"Isangati Estate", "Isangati", "Mbeya"},
        {"Tukuyu Factory", "Bulyaga", "Tukuyu"},
    };
    return stations;
}

const std::vector<Fund>& demoCoops() {
    static const std::vector<Fund> coops{
        {"Mbeya Tea Workers SACCOS", "MTW/"},
        {"Highland Staff SACCOS", "HSS/"},
        {"Rungwe Tea Growers Coop", "RTG/"},
    };
    return coops;
}

const std::vector<Fund>& demoPensionFunds() {
    static const std::vector<Fund> funds{
        {"PSSSF", "PSSSF-"},
        {"NSSF Supplementary", "NSUP-"},
    };
    return funds;
}

namespace {

// The table's own append under the next free code.
template <class Table> class ListTable : public Table {
public:
    using Table::Table;
    long add(std::string_view name) {
        return this->appendWithNextCode([&] { this->field(this->nameColumn()).assign(name); });
    }
};

const std::vector<const char*> kPayGroups{"Management", "Office Staff", "Estate Workers",
                                          "Factory Workers", "Casual Workers"};

struct Unit {
    const char* name;
    const char* parent; // "" at the top
};

const std::vector<Unit> kUnits{
    {"Head Office", ""}, {"Finance", "Head Office"},   {"Human Resources", "Head Office"},
    {"Estates", ""},     {"Kiwira Estate", "Estates"}, {"Isangati Estate", "Estates"},
    {"Factory", ""},     {"Processing", "Factory"},    {"Engineering", "Factory"},
};

struct Grade {
    const char* name;
    int rank;
    double lowest, highest; // monthly pay, on every frequency
};

const std::vector<Grade> kGrades{
    {"Grade A - Management", 1, 4000000, 9000000}, {"Grade B - Senior Staff", 2, 2000000, 4500000},
    {"Grade C - Officers", 3, 1000000, 2200000},   {"Grade D - Clerical", 4, 550000, 1100000},
    {"Grade E - Skilled", 5, 300000, 650000},      {"Grade F - General", 6, 150000, 350000},
};

struct Job {
    const char* title;
    const char* grade;
    const char* description;
};

const std::vector<Job> kJobs{
    {"General Manager", "Grade A - Management", "Runs the company for the board."},
    {"Finance Manager", "Grade A - Management", "Accounts, budgets, payroll and banking."},
    {"Estate Manager", "Grade B - Senior Staff", "Runs one tea estate: plucking, pruning, fields."},
    {"Factory Manager", "Grade B - Senior Staff", "Runs the processing factory and its plant."},
    {"Human Resources Manager", "Grade B - Senior Staff", "Staffing, welfare and relations."},
    {"Accountant", "Grade C - Officers", "Books of account and reports."},
    {"Payroll Officer", "Grade C - Officers", "Prepares the payrolls of all frequencies."},
    {"Field Officer", "Grade C - Officers", "Supervises the field work of an estate."},
    {"Quality Controller", "Grade C - Officers", "Tastes and grades the made tea."},
    {"Accounts Clerk", "Grade D - Clerical", "Keeps ledgers and vouchers."},
    {"Personnel Clerk", "Grade D - Clerical", "Keeps personnel files and attendance."},
    {"Storekeeper", "Grade D - Clerical", "Keeps the factory stores."},
    {"Driver", "Grade E - Skilled", "Drives company vehicles and the tea lorries."},
    {"Mechanic", "Grade E - Skilled", "Maintains vehicles and factory machinery."},
    {"Electrician", "Grade E - Skilled", "Maintains the power and lighting installations."},
    {"Field Headman", "Grade E - Skilled", "Leads a gang of pluckers."},
    {"Machine Operator", "Grade E - Skilled", "Runs the rolling, drying and sorting machines."},
    {"Security Guard", "Grade F - General", "Guards the premises by day and night."},
    {"Office Attendant", "Grade F - General", "Messages, cleaning and tea for the office."},
    {"Tea Plucker", "Grade F - General", "Plucks green leaf on the estates."},
    {"Withering Attendant", "Grade F - General", "Tends the withering troughs."},
    {"Casual Labourer", "Grade F - General", "Seasonal field and factory work."},
};

} // namespace

bool addLookupLists(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    Lists& lists) {
    // Each list through its own operation, as its dialog would add it.
    const auto fill = [&](auto& list, const std::vector<std::string>& names, Codes& codes) {
        const std::string failure = "Can't add to " + list.relativePath();
        return attempt(ui, failure, [&] {
            for (const std::string& name : names) {
                database::LookupEntry entry;
                entry.name = name;
                const long added = list.addEntry(ui, entry);
                if (added == 0)
                    return false;
                codes[name] = added;
            }
            return true;
        });
    };
    std::vector<std::string> stations, coops, funds;
    for (const Station& station : demoStations())
        stations.emplace_back(station.name);
    for (const Fund& coop : demoCoops())
        coops.emplace_back(coop.name);
    for (const Fund& fund : demoPensionFunds())
        funds.emplace_back(fund.name);
    setup::STATIONSDLG stationsList(code, folder);
    setup::COOPSDLG coopsList(code, folder);
    setup::PENSIONSDLG fundsList(code, folder);
    // Pay groups have no maintenance window: the table's own append.
    ListTable<database::PAYGROUPDB> payGroups(code, folder);
    const bool payGroupsAdded = attempt(ui, "Can't add to " + payGroups.relativePath(), [&] {
        if (!payGroups.openFile(true))
            return false;
        for (const char* name : kPayGroups) {
            const long added = payGroups.add(name);
            if (added == 0)
                return false;
            lists.payGroups[name] = added;
        }
        payGroups.closeFile();
        return true;
    });
    const bool ok = fill(stationsList, stations, lists.stations) && payGroupsAdded &&
                    fill(coopsList, coops, lists.coops) && fill(fundsList, funds, lists.funds);
    code.setErrorCode(0);
    return ok;
}

bool addUnitsGradesAndJobs(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           Lists& lists) {
    setup::UNITSDLG units(code, folder);
    const bool unitsAdded = attempt(ui, std::string("Can't add to ") + units.relativePath(), [&] {
        for (const Unit& unit : kUnits) {
            const long parent = *unit.parent ? lists.units.at(unit.parent) : 0;
            const long added = units.addUnit(ui, unit.name, parent);
            if (added == 0)
                return false;
            lists.units[unit.name] = added;
        }
        return true;
    });
    setup::GRADESDLG grades(code, folder);
    const bool gradesAdded =
        unitsAdded && attempt(ui, std::string("Can't add to ") + grades.relativePath(), [&] {
            for (const Grade& grade : kGrades) {
                database::GRADEREC rec;
                rec.name = grade.name;
                rec.rank = grade.rank;
                rec.lowerLimit.fill(grade.lowest);
                rec.upperLimit.fill(grade.highest);
                const long added = grades.addEntry(ui, rec);
                if (added == 0)
                    return false;
                lists.grades[grade.name] = added;
            }
            return true;
        });
    setup::JOBSDLG jobs(code, folder);
    const bool jobsAdded =
        gradesAdded && attempt(ui, std::string("Can't add to ") + jobs.relativePath(), [&] {
            for (const Job& job : kJobs) {
                database::JOBREC rec;
                rec.title = job.title;
                rec.gradeCode = lists.grades.at(job.grade);
                rec.description = job.description;
                const long added = jobs.addEntry(ui, rec);
                if (added == 0)
                    return false;
                lists.jobs[job.title] = added;
                lists.jobGrade[added] = rec.gradeCode;
            }
            return true;
        });
    code.setErrorCode(0);
    return jobsAdded;
}

} // namespace kelo::demo::detail
