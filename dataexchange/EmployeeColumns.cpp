#include "dataexchange/EmployeeColumns.h"

#include "common/CsvExport.h"
#include "common/DateText.h"
#include "common/Money.h"
#include "common/Text.h"
#include "database/BanksDb.h"
#include "database/CoopsDb.h"
#include "database/JobsDb.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "dataexchange/ImportPreview.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/StatFrmLookups.h"

#include <charconv>
#include <functional>

namespace kelo::dataexchange {

namespace {

namespace choices = staffrecords::statfrmlists;
using database::LookupEntry;
using Fault = std::optional<std::string>;

const std::vector<std::string> kPayBases{"Salary", "Daily Rate", "Hourly Rate"};
const std::vector<std::string> kYesNo{"No", "Yes"};

struct Column {
    EmployeeColumn info;
    std::function<std::string(const EmployeeRow&, const EmployeeLists&)> write;
    std::function<Fault(std::string_view, const EmployeeLists&, EmployeeRow&)> read;
};

std::string joined(const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& name : names)
        all += (all.empty() ? "" : ", ") + name;
    return all;
}

template <typename Member>
Column textColumn(const char* header, const char* field, Member member, std::size_t width,
                  bool required = false) {
    return {{header, field, required},
            [member](const EmployeeRow& r, const EmployeeLists&) { return member(r); },
            [member, width](std::string_view t, const EmployeeLists&, EmployeeRow& r) -> Fault {
                member(r) = common::trim(t);
                // The form takes no more than the stored column holds.
                if (common::fitText(member(r), width).size() < member(r).size())
                    return quoted(member(r)) + " is longer than the " + std::to_string(width) +
                           " characters the field holds.";
                return std::nullopt;
            }};
}

#define REC_TEXT(header, name, width, ...)                                                         \
    textColumn(                                                                                    \
        header, #name, [](auto& r) -> auto& { return r.rec.name; },                                \
        common::StaticWidths::width __VA_OPT__(, ) __VA_ARGS__)

Column amount(const char* header, const char* field, double common::STATICREC::*member) {
    return {{header, field, false},
            [member](const EmployeeRow& r, const EmployeeLists&) {
                return common::plainAmount(r.rec.*member);
            },
            [member](std::string_view t, const EmployeeLists&, EmployeeRow& r) -> Fault {
                if (!common::parseAmount(common::trim(t), r.rec.*member))
                    return quoted(common::trim(t)) + " is not a number.";
                return std::nullopt;
            }};
}

Column hours(const char* header, const char* field, float common::STATICREC::*member) {
    return {{header, field, false},
            [member](const EmployeeRow& r, const EmployeeLists&) {
                return common::fixedText(common::decimalOf(r.rec.*member), 2);
            },
            [member](std::string_view t, const EmployeeLists&, EmployeeRow& r) -> Fault {
                double value = 0;
                if (!common::parseAmount(common::trim(t), value))
                    return quoted(common::trim(t)) + " is not a number.";
                r.rec.*member = static_cast<float>(value);
                return std::nullopt;
            }};
}

// A field the form chooses from a fixed list: stored as its position, or
// (`asText`) as the chosen text; blank is the first choice.
template <typename Member>
Column choice(const char* header, const char* field, const std::vector<std::string>& names,
              Member member, bool required = false) {
    return {{header, field, required},
            [&names, member](const EmployeeRow& r, const EmployeeLists&) {
                const auto index = static_cast<std::size_t>(member(r));
                return index < names.size() ? names[index] : std::string();
            },
            [&names, member, header, required](std::string_view t, const EmployeeLists&,
                                               EmployeeRow& r) -> Fault {
                const std::string wanted = common::trim(t);
                for (std::size_t i = 0; i < names.size(); ++i) {
                    if (common::equalsIgnoreCase(wanted, names[i])) {
                        member(r) = static_cast<std::remove_reference_t<decltype(member(r))>>(i);
                        return std::nullopt;
                    }
                }
                if (wanted.empty())
                    return required ? std::optional(staffrecords::blankMessage(header))
                                    : std::nullopt;
                return quoted(wanted) + " is not one of: " + joined(names) + ".";
            }};
}

// A text the form chooses from a list: kept as the list spells it.
Column listedText(const char* header, const char* field, const std::vector<std::string>& names,
                  std::string common::STATICREC::*member) {
    return {{header, field, false},
            [member](const EmployeeRow& r, const EmployeeLists&) { return r.rec.*member; },
            [&names, member](std::string_view t, const EmployeeLists&, EmployeeRow& r) -> Fault {
                const std::string wanted = common::trim(t);
                r.rec.*member = wanted;
                if (wanted.empty())
                    return std::nullopt;
                for (const std::string& name : names) {
                    if (common::equalsIgnoreCase(wanted, name)) {
                        r.rec.*member = name;
                        return std::nullopt;
                    }
                }
                return quoted(wanted) + " is not one of: " + joined(names) + ".";
            }};
}

std::string nameIn(const std::vector<LookupEntry>& list, long code) {
    for (const LookupEntry& entry : list) {
        if (entry.code == code)
            return entry.name;
    }
    return {};
}

// A code of one of the organisation's lists, by name; blank for none.
template <typename Member>
Column lookup(const char* header, const char* field, const char* what,
              std::vector<LookupEntry> EmployeeLists::*list, Member member, bool required = false) {
    return {
        {header, field, required},
        [list, member](const EmployeeRow& r, const EmployeeLists& l) {
            return nameIn(l.*list, member(r));
        },
        [what, list, member](std::string_view t, const EmployeeLists& l, EmployeeRow& r) -> Fault {
            const std::string wanted = common::trim(t);
            member(r) = 0;
            if (wanted.empty())
                return std::nullopt;
            for (const LookupEntry& entry : l.*list) {
                if (common::equalsIgnoreCase(common::trim(entry.name), wanted)) {
                    member(r) = static_cast<std::int32_t>(entry.code);
                    return std::nullopt;
                }
            }
            return "There is no " + std::string(what) + " named " + quoted(wanted) + ".";
        }};
}

#define REC_CODE(name)                                                                             \
    [](auto& r) -> auto& {                                                                         \
        return r.rec.name;                                                                         \
    }
#define PERSONNEL(name)                                                                            \
    [](auto& r) -> auto& {                                                                         \
        return r.personnel.name;                                                                   \
    }

Column dateColumn(const char* header, const char* field, common::date common::STATICREC::*member) {
    return {{header, field, false},
            [member](const EmployeeRow& r, const EmployeeLists&) {
                return common::formatDate(r.rec.*member);
            },
            [member](std::string_view t, const EmployeeLists&, EmployeeRow& r) -> Fault {
                if (!common::parseDate(t, r.rec.*member))
                    return quoted(common::trim(t)) + " is not a date (dd/mm/yyyy).";
                return std::nullopt;
            }};
}

bool readYear(std::string_view text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && text.size() == 4;
}

// A birth date may lack its day, or day and month, as the form allows.
Fault readBirthDate(std::string_view t, const EmployeeLists&, EmployeeRow& r) {
    const std::string text = common::trim(t);
    common::date& out = r.personnel.birthDate;
    if (common::parseDate(text, out))
        return std::nullopt;
    int year = 0, month = 0;
    if (readYear(text, year) && year >= 1900 && year <= 3000) {
        out = common::date{year, 0, 0};
        return std::nullopt;
    }
    const auto slash = text.find('/');
    if (slash != std::string::npos && readYear(text.substr(slash + 1), year) && year >= 1900 &&
        year <= 3000) {
        const std::string_view m = std::string_view(text).substr(0, slash);
        const auto [end, ec] = std::from_chars(m.data(), m.data() + m.size(), month);
        if (ec == std::errc() && end == m.data() + m.size() && month >= 1 && month <= 12) {
            out = common::date{year, 0, static_cast<std::uint8_t>(month)};
            return std::nullopt;
        }
    }
    return quoted(text) + " is not a date (dd/mm/yyyy, mm/yyyy or yyyy).";
}

// An overtime rate: blank when it is worked out from the basic pay rate.
Column overtimeRate(const char* header, const char* field, double common::STATICREC::*member,
                    std::int32_t database::PERSONNELREC::*choiceMember, std::int32_t fromBasic,
                    std::int32_t keyed) {
    return {{header, field, false},
            [=](const EmployeeRow& r, const EmployeeLists&) {
                return r.personnel.*choiceMember == fromBasic ? std::string()
                                                              : common::plainAmount(r.rec.*member);
            },
            [=](std::string_view t, const EmployeeLists&, EmployeeRow& r) -> Fault {
                const std::string text = common::trim(t);
                r.personnel.*choiceMember = text.empty() ? fromBasic : keyed;
                r.rec.*member = 0;
                if (!common::parseAmount(text, r.rec.*member))
                    return quoted(text) + " is not a number.";
                return std::nullopt;
            }};
}

Column bank() {
    return {{"Bank", "bankName", false},
            [](const EmployeeRow& r, const EmployeeLists&) { return r.rec.bankName; },
            [](std::string_view t, const EmployeeLists& l, EmployeeRow& r) -> Fault {
                r.rec.bankName = common::trim(t);
                if (r.rec.bankName.empty())
                    return std::nullopt;
                for (const auto& [name, branches] : l.banks) {
                    if (common::equalsIgnoreCase(common::trim(name), r.rec.bankName)) {
                        r.rec.bankName = common::trim(name);
                        return std::nullopt;
                    }
                }
                return "There is no bank named " + quoted(r.rec.bankName) + ".";
            }};
}

// Read after the bank, whose branches it is sought among.
Column branch() {
    return {{"Branch", "branchName", false},
            [](const EmployeeRow& r, const EmployeeLists&) { return r.rec.branchName; },
            [](std::string_view t, const EmployeeLists& l, EmployeeRow& r) -> Fault {
                r.rec.branchName = common::trim(t);
                if (r.rec.branchName.empty() || r.rec.bankName.empty())
                    return std::nullopt;
                for (const auto& [name, branches] : l.banks) {
                    if (!common::equalsIgnoreCase(common::trim(name), r.rec.bankName))
                        continue;
                    for (const std::string& b : branches) {
                        if (common::equalsIgnoreCase(common::trim(b), r.rec.branchName)) {
                            r.rec.branchName = common::trim(b);
                            return std::nullopt;
                        }
                    }
                }
                return quoted(r.rec.bankName) + " has no branch named " + quoted(r.rec.branchName) +
                       ".";
            }};
}

Column address(const char* header, std::size_t line) {
    return textColumn(
        header,
        "residentialAddress", [line](auto& r) -> auto& { return r.rec.residentialAddress[line]; },
        common::StaticWidths::kResidentialAddressWidth);
}

const std::vector<Column>& columns() {
    using S = common::STATICREC;
    using P = database::PERSONNELREC;
    static const std::vector<Column> all{
        REC_TEXT("Employee Number", empNum, kEmpNumWidth, true),
        REC_TEXT("Last Name", lastName, kLastNameWidth, true),
        REC_TEXT("Other Names", otherNames, kOtherNamesWidth, true),
        listedText("Title", "title", choices::kTitles, &S::title),
        listedText("Gender", "gender", choices::kGenders, &S::gender),
        listedText("Marital Status", "maritalStatus", choices::kMaritalStatuses, &S::maritalStatus),
        listedText("Nationality", "nationality", choices::kNationalities, &S::nationality),
        REC_TEXT("ID Number", idNum, kIdNumWidth),
        {{"Birth Date", "birthDate", false},
         [](const EmployeeRow& r, const EmployeeLists&) {
             return common::formatDate(r.personnel.birthDate);
         },
         readBirthDate},
        lookup("Unit", "post", "unit", &EmployeeLists::units, PERSONNEL(unit), true),
        lookup("Job", "post", "job", &EmployeeLists::jobs, PERSONNEL(job), true),
        lookup("Grade", "grade", "grade", &EmployeeLists::grades, PERSONNEL(grade)),
        choice("Terms", "terms", choices::kTerms, PERSONNEL(terms)),
        lookup("Station", "station", "station", &EmployeeLists::stations, REC_CODE(station), true),
        lookup("Pay Group", "payGroup", "pay group", &EmployeeLists::payGroups,
               PERSONNEL(payGroup)),
        textColumn("Supervisor", "supervisor", PERSONNEL(supervisor),
                   database::PersonnelWidths::kSupervisorWidth),
        dateColumn("Start Date", "startDate", &S::startDate),
        hours("Leave Entitlement", "leaveEntitlement", &S::leaveEntitlement),
        REC_TEXT("Office", office, kOfficeWidth),
        REC_TEXT("Office Phone", officePhone, kOfficePhoneWidth),
        REC_TEXT("Email", email, kEmailWidth),
        REC_TEXT("Home Phone", homePhone, kHomePhoneWidth),
        REC_TEXT("Mobile", mobile, kMobileWidth),
        REC_TEXT("P.O. Box", poBox, kPoBoxWidth),
        REC_TEXT("Town", town, kTownWidth),
        REC_TEXT("Post Code", postCode, kPostCodeWidth),
        address("Address Line 1", 0),
        address("Address Line 2", 1),
        address("Address Line 3", 2),
        address("Address Line 4", 3),
        choice("Pay Frequency", "payFreq", choices::kPayFreqs, REC_CODE(payFreq), true),
        choice("Payment Mode", "payMethod", choices::kPayMethods, REC_CODE(payMethod)),
        bank(),
        branch(),
        REC_TEXT("Account Number", accountNum, kAccountNumWidth),
        choice("Pay Basis", "payBasis", kPayBases, REC_CODE(payBasis), true),
        amount("Salary", "salary", &S::salary),
        amount("Daily Rate", "dailyRate", &S::dailyRate),
        amount("Hourly Rate", "hourlyRate", &S::hourlyRate),
        hours("Hours per Day", "hoursPerDay", &S::hoursPerDay),
        hours("Hours per Month", "hoursPerMonth", &S::hoursPerMonth),
        choice("Time Worked", "timeBasis", choices::kTimeBases, REC_CODE(timeBasis)),
        choice("Overtime", "overtimeEligible", kYesNo, REC_CODE(overtimeEligible)),
        overtimeRate("Normal Overtime Rate", "normalOvertimeRate", &S::normalOvertimeRate,
                     &P::normalOvertimeChoice, database::kNormalOvertimeFromBasic,
                     database::kNormalOvertimeKeyed),
        overtimeRate("Double Overtime Rate", "doubleOvertimeRate", &S::doubleOvertimeRate,
                     &P::doubleOvertimeChoice, database::kDoubleOvertimeFromBasic,
                     database::kDoubleOvertimeKeyed),
        choice("Housed", "housed", kYesNo, REC_CODE(housed)),
        amount("Value of Housing", "housingValue", &S::housingValue),
        amount("Employer's Expense", "housingExpense", &S::housingExpense),
        amount("Rent to Employer", "rent", &S::rent),
        choice("Deduct PAYE", "payeApplies", kYesNo, REC_CODE(payeApplies)),
        choice("Use Top Tax Rate", "useTopTaxRate", kYesNo, REC_CODE(useTopTaxRate)),
        choice("Deduct NSSF", "nssfMember", kYesNo, REC_CODE(nssfMember)),
        textColumn("TIN", "tin", PERSONNEL(tin), database::PersonnelWidths::kTinWidth),
        textColumn("NSSF Number", "nssfNum", PERSONNEL(nssfNum),
                   database::PersonnelWidths::kNssfNumWidth),
        lookup("Co-operative 1", "coop1", "co-operative", &EmployeeLists::coops, REC_CODE(coop1)),
        textColumn(
            "Co-operative 1 Member Number", "coopMemberNum",
            [](auto& r) -> auto& { return r.personnel.coopMemberNum[0]; },
            database::PersonnelWidths::kMemberNumWidth),
        lookup("Co-operative 2", "coop2", "co-operative", &EmployeeLists::coops, REC_CODE(coop2)),
        textColumn(
            "Co-operative 2 Member Number", "coopMemberNum",
            [](auto& r) -> auto& { return r.personnel.coopMemberNum[1]; },
            database::PersonnelWidths::kMemberNumWidth),
        lookup("Pension Fund 1", "pensionFund1", "pension fund", &EmployeeLists::funds,
               REC_CODE(pensionFund1)),
        textColumn(
            "Pension Fund 1 Member Number", "pensionMemberNum",
            [](auto& r) -> auto& { return r.personnel.pensionMemberNum[0]; },
            database::PersonnelWidths::kMemberNumWidth),
        lookup("Pension Fund 2", "pensionFund2", "pension fund", &EmployeeLists::funds,
               REC_CODE(pensionFund2)),
        textColumn(
            "Pension Fund 2 Member Number", "pensionMemberNum",
            [](auto& r) -> auto& { return r.personnel.pensionMemberNum[1]; },
            database::PersonnelWidths::kMemberNumWidth),
    };
    return all;
}

template <typename Table>
bool readList(engine::Code4& code, const common::WorkingFolder& folder,
              std::vector<LookupEntry>& out) {
    auto rows = Table(code, folder).entriesByName();
    if (rows)
        out = std::move(*rows);
    return rows.has_value();
}

} // namespace

std::optional<EmployeeLists> EmployeeLists::read(engine::Code4& code,
                                                 const common::WorkingFolder& folder,
                                                 std::string& failure) {
    EmployeeLists l;
    const auto failed = [&](const std::string& path) {
        failure = "Can't open " + path;
        code.setErrorCode(0);
        return std::nullopt;
    };
    if (!readList<database::STATIONSDB>(code, folder, l.stations))
        return failed(database::STATIONSDB::kPath);
    if (!readList<database::UNITSDB>(code, folder, l.units))
        return failed(database::UNITSDB::kPath);
    if (!readList<database::PAYGROUPDB>(code, folder, l.payGroups))
        return failed(database::PAYGROUPDB::kPath);
    if (!readList<database::COOPSDB>(code, folder, l.coops))
        return failed(database::COOPSDB::kPath);
    if (!readList<database::PENSIONSDB>(code, folder, l.funds))
        return failed(database::PENSIONSDB::kPath);
    database::JOBSDB jobs(code, folder);
    if (!jobs.openFile())
        return failed(database::JOBSDB::kPath);
    jobs.orderByName();
    l.jobs = jobs.entries();
    for (const LookupEntry& entry : l.jobs) {
        database::JOBREC job;
        if (jobs.getJobRec(entry.code, job))
            l.gradeOfJob[entry.code] = job.gradeCode;
    }
    jobs.closeFile();
    database::GRADESDB grades(code, folder);
    if (!grades.openFile())
        return failed(database::GRADESDB::kPath);
    grades.orderByName();
    l.grades = grades.entries();
    for (const LookupEntry& entry : l.grades) {
        database::GRADEREC grade;
        if (grades.getGradeRec(entry.code, grade))
            l.gradeRecs[entry.code] = grade;
    }
    grades.closeFile();
    // An organisation without a bank list pays nobody by transfer yet.
    database::BANKSDB banks(code, folder);
    if (banks.openFiles()) {
        for (const std::string& name : banks.bankNames())
            l.banks[name] = banks.branchNames(name);
        banks.closeFiles();
    }
    code.setErrorCode(0);
    return l;
}

const std::vector<EmployeeColumn>& employeeColumns() {
    static const std::vector<EmployeeColumn> infos = [] {
        std::vector<EmployeeColumn> out;
        for (const Column& column : columns())
            out.push_back(column.info);
        return out;
    }();
    return infos;
}

std::string columnOfField(std::string_view field) {
    for (const Column& column : columns()) {
        if (field == column.info.field)
            return column.info.header;
    }
    return {};
}

std::string columnText(std::size_t index, const EmployeeRow& row, const EmployeeLists& lists) {
    return columns().at(index).write(row, lists);
}

std::optional<std::string> readColumn(std::size_t index, std::string_view text,
                                      const EmployeeLists& lists, EmployeeRow& row) {
    return columns().at(index).read(text, lists, row);
}

std::optional<std::size_t> columnIndex(std::string_view header) {
    const std::string wanted = common::trim(header);
    const auto& all = columns();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (common::equalsIgnoreCase(wanted, all[i].info.header))
            return i;
    }
    return std::nullopt;
}

} // namespace kelo::dataexchange
