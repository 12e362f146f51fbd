#pragma once

#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/LookupTable.h"
#include "database/PostsDb.h"
#include "database/UnitsDb.h"
#include "staffrecords/StatFrm.h"

#include <map>
#include <string>
#include <vector>

namespace kelo::staffrecords {

// The organisation's lists the employee master form shows names from,
// read when the form opens.
struct STATFRM::Lookups {
    std::vector<database::LookupEntry> stations, payGroups, coops, funds;
    std::vector<database::UNITREC> units;
    std::map<long, database::JOBREC> jobs;
    std::map<long, database::GRADEREC> grades;

    std::string nameIn(const std::vector<database::LookupEntry>& list, long code) const {
        for (const database::LookupEntry& entry : list) {
            if (entry.code == code)
                return entry.name;
        }
        return {};
    }
    std::string unitName(long code) const {
        for (const database::UNITREC& unit : units) {
            if (unit.code == code)
                return unit.name;
        }
        return {};
    }
    const database::JOBREC* job(long code) const {
        const auto found = jobs.find(code);
        return found == jobs.end() ? nullptr : &found->second;
    }
    const database::GRADEREC* grade(long code) const {
        const auto found = grades.find(code);
        return found == grades.end() ? nullptr : &found->second;
    }
};

// Names of the form's choice lists, in stored-value order.
namespace statfrmlists {
inline const std::vector<std::string> kTitles{"Mr.", "Mrs.", "Miss", "Ms.", "Dr.", "Prof."};
inline const std::vector<std::string> kGenders{"Male", "Female"};
inline const std::vector<std::string> kMaritalStatuses{"Single", "Married", "Divorced", "Widowed",
                                                       "Separated"};
inline const std::vector<std::string> kNationalities{
    "Tanzanian", "Kenyan",  "Ugandan",  "Rwandan",    "Burundian",
    "Congolese", "Zambian", "Malawian", "Mozambican", "Other"};
inline const std::vector<std::string> kTerms{"Permanent", "Contract", "Temporary", "Casual"};
inline const std::vector<std::string> kPayFreqs{"Monthly", "Weekly", "Biweekly", "Irregular"};
inline const std::vector<std::string> kPayMethods{"Cash", "Cheque", "Bank Transfer"};
inline const std::vector<std::string> kTimeBases{"Full Period", "Days Absent", "Hours Absent",
                                                 "Days Present", "Hours Present"};
inline const std::vector<std::string> kTerminationReasons{
    "Resignation", "Retirement",      "End of Contract", "Dismissal", "Redundancy",
    "Death",       "Medical Grounds", "Transfer",        "Other"};
} // namespace statfrmlists

} // namespace kelo::staffrecords
