#include "app/demo/DemoSteps.h"
#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/WorkingFolder.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "engine/Code4.h"
#include "staffrecords/StatFrm.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::demo::detail {

namespace {

using common::PAYFREQ;

constexpr common::date ymd(int year, int month, int day) {
    return common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

// PERSONNELREC::terms
constexpr std::int32_t kPermanent = 0, kContract = 1, kTemporary = 2, kCasual = 3;

struct Housing {
    double value = 0, expense = 0, rent = 0;
};

struct Hire {
    const char* empNum = "";
    const char* lastName = "";
    const char* otherNames = "";
    const char* title = "Mr."; // gives the gender
    const char* marital = "Married";
    common::date born{};
    common::date started{};
    PAYFREQ payFreq = common::MONTHLY;
    const char* job = "";
    const char* unit = "";
    const char* station = "";
    const char* payGroup = "";
    const char* supervisor = "";
    std::int32_t terms = kPermanent;
    int payBasis = common::kPayBasisSalary;
    double rate = 0; // salary, daily or hourly rate by payBasis
    int timeBasis = common::kTimeFullPeriod;
    bool overtime = false;
    double normalOvertimeRate = 0; // keyed; 0 works it out from the basic pay rate
    const char* bank = nullptr;    // with the branch; none pays in cash
    const char* branch = nullptr;
    bool cheque = false;
    Housing housing{}; // not housed while the value is 0
    const char* coop1 = nullptr;
    const char* coop2 = nullptr;
    const char* fund = nullptr;
    bool nssf = true;
};

constexpr int kDaily = common::kPayBasisDaily, kHourly = common::kPayBasisHourly;
constexpr int kDaysAbsent = common::kTimeDaysAbsent, kHoursAbsent = common::kTimeHoursAbsent,
              kDaysPresent = common::kTimeDaysPresent, kHoursPresent = common::kTimeHoursPresent;
constexpr PAYFREQ kWeekly = common::WEEKLY, kBiweekly = common::BIWEEKLY,
                  kIrregular = common::IRREGULAR;
constexpr const char *kHeadOffice = "Mbeya Head Office", *kKiwira = "Kiwira Estate",
                     *kIsangati = "Isangati Estate", *kFactory = "Tukuyu Factory";
constexpr const char *kTeaWorkers = "Mbeya Tea Workers SACCOS",
                     *kHighland = "Highland Staff SACCOS", *kRungwe = "Rungwe Tea Growers Coop";

// clang-format off
const std::vector<Hire>& demoHires() {
    static const std::vector<Hire> hires{
        // Monthly: management and office, estate and factory staff.
        {.empNum = "MH001", .lastName = "Mwakyusa", .otherNames = "Emmanuel Joseph", .born = ymd(1968, 3, 14), .started = ymd(2009, 7, 1), .job = "General Manager", .unit = "Head Office", .station = kHeadOffice, .payGroup = "Management", .rate = 6500000, .bank = "CRDB Bank", .branch = "Mbeya", .housing = {1500000, 800000, 100000}, .fund = "PSSSF", .nssf = false},
        {.empNum = "MH002", .lastName = "Mwaipopo", .otherNames = "Grace Anyelwisye", .title = "Mrs.", .born = ymd(1974, 8, 2), .started = ymd(2012, 1, 3), .job = "Finance Manager", .unit = "Finance", .station = kHeadOffice, .payGroup = "Management", .supervisor = "MH001", .rate = 4800000, .bank = "Stanbic Bank", .branch = "Mbeya", .fund = "PSSSF", .nssf = false},
        {.empNum = "MH003", .lastName = "Kalinga", .otherNames = "Daudi Lusekelo", .born = ymd(1976, 11, 21), .started = ymd(2011, 4, 1), .job = "Estate Manager", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Management", .supervisor = "MH001", .rate = 3200000, .bank = "NMB Bank", .branch = "Tukuyu", .housing = {900000, 400000, 50000}, .fund = "PSSSF", .nssf = false},
        {.empNum = "MH004", .lastName = "Mwansasu", .otherNames = "Rehema Tumaini", .title = "Ms.", .marital = "Single", .born = ymd(1981, 5, 9), .started = ymd(2015, 9, 1), .job = "Estate Manager", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Management", .supervisor = "MH001", .rate = 3000000, .bank = "NBC", .branch = "Mbeya", .housing = {850000, 380000, 50000}, .fund = "PSSSF", .nssf = false},
        {.empNum = "MH005", .lastName = "Sanga", .otherNames = "Frank Ezekiel", .born = ymd(1972, 12, 30), .started = ymd(2010, 2, 15), .job = "Factory Manager", .unit = "Factory", .station = kFactory, .payGroup = "Management", .supervisor = "MH001", .rate = 3400000, .bank = "CRDB Bank", .branch = "Tukuyu", .housing = {950000, 420000, 60000}, .fund = "PSSSF", .nssf = false},
        {.empNum = "MH006", .lastName = "Mbwilo", .otherNames = "Neema Atupele", .title = "Mrs.", .born = ymd(1979, 7, 17), .started = ymd(2014, 6, 2), .job = "Human Resources Manager", .unit = "Human Resources", .station = kHeadOffice, .payGroup = "Management", .supervisor = "MH001", .rate = 2600000, .bank = "CRDB Bank", .branch = "Mbeya", .fund = "PSSSF", .nssf = false},
        {.empNum = "MH007", .lastName = "Mwakalinga", .otherNames = "Baraka Yohana", .born = ymd(1985, 2, 11), .started = ymd(2016, 3, 1), .job = "Accountant", .unit = "Finance", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH002", .rate = 1650000, .bank = "NMB Bank", .branch = "Mbeya", .coop1 = kHighland, .fund = "NSSF Supplementary"},
        {.empNum = "MH008", .lastName = "Nyirenda", .otherNames = "Esther Lugano", .title = "Ms.", .marital = "Single", .born = ymd(1990, 10, 5), .started = ymd(2021, 8, 2), .job = "Accountant", .unit = "Finance", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH002", .terms = kContract, .rate = 1500000, .bank = "CRDB Bank", .branch = "Mbeya"},
        {.empNum = "MH009", .lastName = "Haonga", .otherNames = "Ramadhani Juma", .born = ymd(1988, 4, 23), .started = ymd(2018, 1, 8), .job = "Payroll Officer", .unit = "Finance", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH002", .rate = 1300000, .bank = "NMB Bank", .branch = "Mbeya", .coop1 = kHighland, .fund = "NSSF Supplementary"},
        {.empNum = "MH010", .lastName = "Kyando", .otherNames = "Upendo Furaha", .title = "Mrs.", .born = ymd(1987, 9, 12), .started = ymd(2017, 5, 2), .job = "Field Officer", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH003", .rate = 1150000, .bank = "NMB Bank", .branch = "Tukuyu", .coop1 = kRungwe},
        {.empNum = "MH011", .lastName = "Msigwa", .otherNames = "Elia Mathias", .born = ymd(1989, 1, 28), .started = ymd(2019, 2, 4), .job = "Field Officer", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Estate Workers", .supervisor = "MH004", .rate = 1100000, .bank = "NBC", .branch = "Mbeya"},
        {.empNum = "MH012", .lastName = "Mwasomola", .otherNames = "Happiness Tulinagwe", .title = "Ms.", .marital = "Single", .born = ymd(1991, 6, 19), .started = ymd(2020, 10, 1), .job = "Quality Controller", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .rate = 1250000, .bank = "Stanbic Bank", .branch = "Mbeya", .fund = "NSSF Supplementary"},
        {.empNum = "MH013", .lastName = "Ngonyani", .otherNames = "Peter Kassim", .born = ymd(1983, 3, 3), .started = ymd(2013, 11, 4), .job = "Accounts Clerk", .unit = "Finance", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH007", .rate = 780000, .bank = "CRDB Bank", .branch = "Mbeya", .coop1 = kTeaWorkers, .coop2 = kHighland},
        {.empNum = "MH014", .lastName = "Mwamba", .otherNames = "Agnes Tusekile", .title = "Mrs.", .born = ymd(1986, 12, 8), .started = ymd(2015, 1, 5), .job = "Personnel Clerk", .unit = "Human Resources", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH006", .rate = 720000, .bank = "NMB Bank", .branch = "Mbeya", .coop1 = kHighland},
        {.empNum = "MH015", .lastName = "Chaula", .otherNames = "Lucas Amosi", .born = ymd(1980, 8, 14), .started = ymd(2012, 7, 2), .job = "Storekeeper", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .rate = 690000, .bank = "NMB Bank", .branch = "Tukuyu", .coop1 = kTeaWorkers},
        {.empNum = "MH016", .lastName = "Mwaisaka", .otherNames = "Hamisi Shabani", .born = ymd(1978, 5, 25), .started = ymd(2011, 9, 1), .job = "Driver", .unit = "Head Office", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH006", .rate = 520000, .overtime = true, .bank = "CRDB Bank", .branch = "Mbeya", .coop1 = kHighland},
        {.empNum = "MH017", .lastName = "Kibona", .otherNames = "Stephano Andrea", .born = ymd(1982, 10, 10), .started = ymd(2014, 3, 3), .job = "Driver", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH003", .rate = 480000, .overtime = true, .bank = "NMB Bank", .branch = "Tukuyu", .coop1 = kTeaWorkers},
        {.empNum = "MH018", .lastName = "Mwakipesile", .otherNames = "Osward Gideon", .born = ymd(1977, 1, 6), .started = ymd(2010, 5, 3), .job = "Mechanic", .unit = "Engineering", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .payBasis = kDaily, .rate = 26000, .timeBasis = kDaysAbsent, .overtime = true, .bank = "CRDB Bank", .branch = "Tukuyu"},
        {.empNum = "MH019", .lastName = "Mwangosi", .otherNames = "Tumaini Eliud", .born = ymd(1984, 4, 30), .started = ymd(2016, 8, 1), .job = "Electrician", .unit = "Engineering", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .payBasis = kDaily, .rate = 25000, .timeBasis = kDaysAbsent, .overtime = true, .normalOvertimeRate = 5000, .bank = "NBC", .branch = "Mbeya"},
        {.empNum = "MH020", .lastName = "Kayombo", .otherNames = "Anthony Romanus", .born = ymd(1975, 2, 17), .started = ymd(2009, 10, 1), .job = "Security Guard", .unit = "Head Office", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH006", .rate = 280000, .overtime = true, .cheque = true},
        {.empNum = "MH021", .lastName = "Mlowe", .otherNames = "Yusufu Abdallah", .born = ymd(1983, 11, 11), .started = ymd(2013, 4, 2), .job = "Security Guard", .unit = "Factory", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .rate = 270000, .overtime = true, .bank = "NMB Bank", .branch = "Tukuyu", .coop1 = kTeaWorkers},
        {.empNum = "MH022", .lastName = "Mwakasege", .otherNames = "Rose Anna", .title = "Mrs.", .born = ymd(1992, 7, 7), .started = ymd(2022, 2, 1), .job = "Office Attendant", .unit = "Head Office", .station = kHeadOffice, .payGroup = "Office Staff", .supervisor = "MH006", .terms = kContract, .rate = 250000},
        {.empNum = "MH023", .lastName = "Lyimo", .otherNames = "Godfrey Elisante", .born = ymd(1979, 9, 9), .started = ymd(2008, 8, 4), .job = "Field Headman", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH010", .rate = 420000, .bank = "NMB Bank", .branch = "Tukuyu", .housing = {150000, 60000, 10000}, .coop1 = kTeaWorkers, .coop2 = kRungwe},
        {.empNum = "MH024", .lastName = "Mwakyembe", .otherNames = "Janeth Sophia", .title = "Mrs.", .born = ymd(1984, 2, 22), .started = ymd(2012, 3, 5), .job = "Field Headman", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Estate Workers", .supervisor = "MH011", .rate = 400000, .housing = {150000, 60000, 10000}, .coop1 = kTeaWorkers},
        // Weekly: tea pluckers on daily rates, one on an hourly rate.
        {.empNum = "MH025", .lastName = "Mwakilema", .otherNames = "Ester Nsajigwa", .title = "Mrs.", .born = ymd(1990, 3, 15), .started = ymd(2019, 7, 1), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH023", .payBasis = kDaily, .rate = 8500, .timeBasis = kDaysPresent},
        {.empNum = "MH026", .lastName = "Mwalyego", .otherNames = "Amani Yotham", .marital = "Single", .born = ymd(1996, 6, 1), .started = ymd(2021, 7, 5), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH023", .payBasis = kDaily, .rate = 8500, .timeBasis = kDaysPresent, .bank = "NMB Bank", .branch = "Tukuyu"},
        {.empNum = "MH027", .lastName = "Mbilinyi", .otherNames = "Sikujua Anyitike", .title = "Ms.", .marital = "Single", .born = ymd(1998, 12, 24), .started = ymd(2022, 7, 4), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH023", .terms = kTemporary, .payBasis = kDaily, .rate = 8500, .timeBasis = kDaysPresent, .bank = "NMB Bank", .branch = "Tukuyu"},
        {.empNum = "MH028", .lastName = "Kajela", .otherNames = "Mussa Athumani", .born = ymd(1987, 4, 4), .started = ymd(2016, 7, 4), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Estate Workers", .supervisor = "MH024", .payBasis = kDaily, .rate = 8500, .timeBasis = kDaysPresent},
        {.empNum = "MH029", .lastName = "Mwakapala", .otherNames = "Tumpale Edina", .title = "Mrs.", .born = ymd(1985, 10, 30), .started = ymd(2014, 7, 7), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Estate Workers", .supervisor = "MH024", .payBasis = kDaily, .rate = 9000, .timeBasis = kDaysPresent, .bank = "NMB Bank", .branch = "Mbeya"},
        {.empNum = "MH030", .lastName = "Ngole", .otherNames = "Ibrahimu Selemani", .born = ymd(1993, 1, 19), .started = ymd(2020, 7, 6), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Estate Workers", .supervisor = "MH024", .payBasis = kDaily, .rate = 9000, .timeBasis = kDaysPresent, .bank = "CRDB Bank", .branch = "Tukuyu"},
        {.empNum = "MH031", .lastName = "Mwankenja", .otherNames = "Lukelo Samweli", .marital = "Single", .born = ymd(1999, 5, 5), .started = ymd(2023, 7, 3), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Estate Workers", .supervisor = "MH023", .terms = kTemporary, .payBasis = kHourly, .rate = 1150, .timeBasis = kHoursPresent},
        {.empNum = "MH032", .lastName = "Sichalwe", .otherNames = "Damas Wilson", .born = ymd(1994, 8, 8), .started = ymd(2021, 7, 5), .payFreq = kWeekly, .job = "Tea Plucker", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Estate Workers", .supervisor = "MH024", .terms = kTemporary, .payBasis = kDaily, .rate = 8500, .timeBasis = kDaysPresent, .bank = "NMB Bank", .branch = "Tukuyu"},
        // Biweekly: the factory's shift workers.
        {.empNum = "MH033", .lastName = "Mwalukasa", .otherNames = "Christopher Ambakisye", .born = ymd(1986, 2, 2), .started = ymd(2015, 5, 4), .payFreq = kBiweekly, .job = "Machine Operator", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .payBasis = kHourly, .rate = 2400, .timeBasis = kHoursAbsent, .overtime = true, .bank = "CRDB Bank", .branch = "Tukuyu"},
        {.empNum = "MH034", .lastName = "Nzunda", .otherNames = "Mariamu Hassani", .title = "Mrs.", .born = ymd(1991, 9, 14), .started = ymd(2019, 5, 6), .payFreq = kBiweekly, .job = "Machine Operator", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .payBasis = kHourly, .rate = 2300, .timeBasis = kHoursAbsent, .overtime = true, .bank = "NMB Bank", .branch = "Tukuyu"},
        {.empNum = "MH035", .lastName = "Mwakibete", .otherNames = "Joseph Kenani", .born = ymd(1989, 12, 1), .started = ymd(2018, 5, 7), .payFreq = kBiweekly, .job = "Withering Attendant", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH015", .payBasis = kDaily, .rate = 10500, .timeBasis = kDaysAbsent, .overtime = true, .bank = "NMB Bank", .branch = "Tukuyu"},
        {.empNum = "MH036", .lastName = "Shitindi", .otherNames = "Devotha Mwajuma", .title = "Ms.", .marital = "Single", .born = ymd(1995, 3, 27), .started = ymd(2022, 5, 2), .payFreq = kBiweekly, .job = "Withering Attendant", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH015", .terms = kContract, .payBasis = kDaily, .rate = 10000, .timeBasis = kDaysAbsent, .overtime = true, .bank = "NBC", .branch = "Mbeya"},
        {.empNum = "MH037", .lastName = "Mwasongwe", .otherNames = "Erasto Fikiri", .born = ymd(1981, 7, 21), .started = ymd(2011, 5, 2), .payFreq = kBiweekly, .job = "Machine Operator", .unit = "Processing", .station = kFactory, .payGroup = "Factory Workers", .supervisor = "MH005", .rate = 480000, .overtime = true, .bank = "Stanbic Bank", .branch = "Mbeya"},
        // Irregular: casual labourers taken on for the season, paid in cash.
        {.empNum = "MH038", .lastName = "Mwandemele", .otherNames = "Abeli Tito", .marital = "Single", .born = ymd(2001, 4, 12), .started = ymd(2026, 10, 5), .payFreq = kIrregular, .job = "Casual Labourer", .unit = "Kiwira Estate", .station = kKiwira, .payGroup = "Casual Workers", .supervisor = "MH023", .terms = kCasual, .payBasis = kDaily, .rate = 9000, .timeBasis = kDaysPresent, .nssf = false},
        {.empNum = "MH039", .lastName = "Simbeye", .otherNames = "Paulina Asifiwe", .title = "Ms.", .marital = "Single", .born = ymd(2000, 9, 3), .started = ymd(2026, 10, 5), .payFreq = kIrregular, .job = "Casual Labourer", .unit = "Isangati Estate", .station = kIsangati, .payGroup = "Casual Workers", .supervisor = "MH024", .terms = kCasual, .payBasis = kDaily, .rate = 9000, .timeBasis = kDaysPresent, .nssf = false},
        {.empNum = "MH040", .lastName = "Mwasyeba", .otherNames = "Kelvin Noah", .marital = "Single", .born = ymd(2002, 1, 15), .started = ymd(2026, 11, 2), .payFreq = kIrregular, .job = "Casual Labourer", .unit = "Processing", .station = kFactory, .payGroup = "Casual Workers", .supervisor = "MH015", .terms = kCasual, .payBasis = kDaily, .rate = 9000, .timeBasis = kDaysPresent, .nssf = false},
    };
    return hires;
}
// clang-format on

// Posts beyond the current occupants: the vacancies the demo shows.
struct Vacancy {
    const char* unit;
    const char* job;
    std::int32_t terms;
    int count;
};

const std::vector<Vacancy> kVacancies{
    {"Kiwira Estate", "Tea Plucker", kTemporary, 4},
    {"Isangati Estate", "Tea Plucker", kTemporary, 3},
    {"Kiwira Estate", "Casual Labourer", kCasual, 6},
    {"Isangati Estate", "Casual Labourer", kCasual, 6},
    {"Finance", "Accounts Clerk", kPermanent, 1},
    {"Processing", "Machine Operator", kPermanent, 1},
};

std::string padded(long value, std::size_t width) {
    std::string text = std::to_string(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string firstWord(std::string_view text) {
    return std::string(text.substr(0, text.find(' ')));
}

// Account numbers in each bank's own length.
std::string accountNumber(std::string_view bank, long n) {
    if (bank == "CRDB Bank")
        return "0152" + padded(230100 + n * 7919, 9);
    if (bank == "NMB Bank")
        return "5120" + padded(41000 + n * 3301, 7);
    if (bank == "NBC")
        return "0110" + padded(760000 + n * 4409, 8);
    return "9120" + padded(5500000 + n * 6133, 9);
}

const Station& stationNamed(std::string_view name) {
    for (const Station& station : demoStations()) {
        if (name == station.name)
            return station;
    }
    return demoStations().front();
}

common::STATICREC masterRecord(const Hire& hire, long n, const Lists& lists) {
    common::STATICREC rec;
    rec.empNum = hire.empNum;
    rec.idNum = std::to_string(hire.born.year) + padded(hire.born.month, 2) +
                padded(hire.born.day, 2) + "-" + padded(53100 + n, 5);
    rec.lastName = hire.lastName;
    rec.otherNames = hire.otherNames;
    rec.title = hire.title;
    rec.gender = std::string_view(hire.title) == "Mr." ? "Male" : "Female";
    rec.maritalStatus = hire.marital;
    rec.nationality = "Tanzanian";
    rec.station = static_cast<std::int32_t>(lists.stations.at(hire.station));
    rec.startDate = hire.started;
    rec.leaveEntitlement = hire.terms == kCasual ? 0 : 28;
    const Station& station = stationNamed(hire.station);
    const bool office = std::string_view(hire.payGroup) == "Management" ||
                        std::string_view(hire.payGroup) == "Office Staff";
    if (office) {
        rec.office = hire.station;
        rec.officePhone = "+255 25 250 3120";
        rec.email = lowerCase(firstWord(hire.otherNames)) + "." + lowerCase(hire.lastName) +
                    "@mbeyatea.co.tz";
    }
    static constexpr std::array<const char*, 6> kNetworks{"0754", "0765", "0713",
                                                          "0784", "0622", "0755"};
    const long mobile = 210337 + n * 48611 % 789000;
    rec.mobile = std::string(kNetworks[static_cast<std::size_t>(n) % kNetworks.size()]) + " " +
                 padded(mobile / 1000, 3) + " " + padded(mobile % 1000, 3);
    rec.town = station.town;
    rec.residentialAddress[0] = "House No. " + std::to_string(10 + n * 7 % 90);
    rec.residentialAddress[1] = station.area;
    rec.residentialAddress[2] = station.town;
    rec.payFreq = hire.payFreq;
    if (hire.bank) {
        rec.payMethod = common::kPayByBankTransfer;
        rec.bankName = hire.bank;
        rec.branchName = hire.branch;
        rec.accountNum = accountNumber(hire.bank, n);
    } else {
        rec.payMethod = hire.cheque ? common::kPayByCheque : common::kPayByCash;
    }
    rec.payBasis = hire.payBasis;
    if (hire.payBasis == kDaily)
        rec.dailyRate = hire.rate;
    else if (hire.payBasis == kHourly)
        rec.hourlyRate = hire.rate;
    else
        rec.salary = hire.rate;
    rec.hoursPerDay = 8;
    rec.hoursPerMonth = 195; // 45 hours a week
    rec.timeBasis = hire.timeBasis;
    rec.overtimeEligible = hire.overtime ? 1 : 0;
    rec.normalOvertimeRate = hire.normalOvertimeRate;
    if (hire.housing.value > 0) {
        rec.housed = 1;
        rec.housingValue = hire.housing.value;
        rec.housingExpense = hire.housing.expense;
        rec.rent = hire.housing.rent;
    }
    rec.payeApplies = 1;
    rec.nssfMember = hire.nssf ? 1 : 0;
    const auto code = [](const Codes& codes, const char* name) {
        return name ? static_cast<std::int32_t>(codes.at(name)) : 0;
    };
    rec.coop1 = code(lists.coops, hire.coop1);
    rec.coop2 = code(lists.coops, hire.coop2);
    rec.pensionFund1 = code(lists.funds, hire.fund);
    return rec;
}

std::string memberNumber(const std::vector<Fund>& funds, const char* name, long n) {
    for (const Fund& fund : funds) {
        if (name && std::string_view(name) == fund.name)
            return fund.memberPrefix + padded(1200 + n * 37, 5);
    }
    return {};
}

database::PERSONNELREC personnelRecord(const Hire& hire, long n, const Lists& lists) {
    database::PERSONNELREC rec;
    rec.birthDate = hire.born;
    rec.unit = static_cast<std::int32_t>(lists.units.at(hire.unit));
    rec.job = static_cast<std::int32_t>(lists.jobs.at(hire.job));
    rec.grade = static_cast<std::int32_t>(lists.jobGrade.at(rec.job));
    rec.terms = hire.terms;
    rec.payGroup = static_cast<std::int32_t>(lists.payGroups.at(hire.payGroup));
    rec.supervisor = hire.supervisor;
    const std::string tin = std::to_string(112000000 + n * 37813);
    rec.tin = tin.substr(0, 3) + "-" + tin.substr(3, 3) + "-" + tin.substr(6, 3);
    if (hire.nssf)
        rec.nssfNum = std::to_string(200000000 + n * 48271);
    rec.coopMemberNum = {memberNumber(demoCoops(), hire.coop1, n),
                         memberNumber(demoCoops(), hire.coop2, n)};
    rec.pensionMemberNum[0] = memberNumber(demoPensionFunds(), hire.fund, n);
    if (hire.normalOvertimeRate > 0)
        rec.normalOvertimeChoice = database::kNormalOvertimeKeyed;
    return rec;
}

} // namespace

bool addPosts(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const Lists& lists) {
    std::map<std::pair<long, long>, database::POSTREC> posts;
    const auto post = [&](const char* unit, const char* job) -> database::POSTREC& {
        database::POSTREC& rec = posts[{lists.units.at(unit), lists.jobs.at(job)}];
        rec.unit = lists.units.at(unit);
        rec.job = lists.jobs.at(job);
        return rec;
    };
    for (const Hire& hire : demoHires())
        ++post(hire.unit, hire.job).count.at(static_cast<std::size_t>(hire.terms));
    for (const Vacancy& vacancy : kVacancies)
        post(vacancy.unit, vacancy.job).count.at(static_cast<std::size_t>(vacancy.terms)) +=
            vacancy.count;

    database::POSTSDB table(code, folder);
    const bool added = attempt(ui, std::string("Can't add to ") + table.relativePath(), [&] {
        if (!table.openFile(true))
            return false;
        for (const auto& [key, rec] : posts) {
            if (!table.appendRecord(rec))
                return false;
        }
        table.closeFile();
        return true;
    });
    code.setErrorCode(0);
    return added;
}

bool hireEmployees(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::ORGREC& org, const Lists& lists,
                   std::vector<common::STATICREC>& staff) {
    // As a clerk adds them: every check of the form, then the master,
    // transactions and leave records.
    staffrecords::STATFRM form(ui, code, folder);
    long n = 0;
    for (const Hire& hire : demoHires()) {
        const common::STATICREC rec = masterRecord(hire, ++n, lists);
        const database::PERSONNELREC personnel = personnelRecord(hire, n, lists);
        if (!attempt(ui, "Can't add the employee " + rec.empNum,
                     [&] { return form.addEmployee(org, rec, personnel); })) {
            code.setErrorCode(0);
            return false;
        }
        staff.push_back(form.getCurrentRec());
    }
    form.closeFile();
    return true;
}

} // namespace kelo::demo::detail
