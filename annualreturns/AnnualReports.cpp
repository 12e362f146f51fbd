#include "annualreturns/AnnualReports.h"

#include "common/Calendar.h"

#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

namespace kelo::annualreturns {

namespace {

using payrunreports::ReportItemDefs;

// An employee's sums while the periods are added up: the items by their
// place in the summed definitions, after the built-in ones.
struct EmployeeSums {
    payrunreports::REPORTREC rec;
    std::array<std::vector<double>, common::kFieldsTableCount> items;
};

void addAmounts(payrunreports::REPORTREC& r, const ANNUALEMP& e) {
    r.basicPay += e.basicPay;
    r.overtimePay += e.overtimePay;
    r.rent += e.rent;
    r.deficitBF += e.deficitBF;
    r.roundingCF += e.roundingCF;
    r.lumpSumTax += e.lumpSumTax;
    r.roundingBF += e.roundingBF;
    r.paye += e.paye;
    r.nssfEmployee += e.nssfEmployee;
    r.nssfEmployer += e.nssfEmployer;
    r.sdl += e.sdl;
    r.grossPay += e.grossPay;
    r.taxablePay += e.taxablePay;
    r.totalLumpSums += e.totalLumpSums;
    r.totalRefunds += e.totalRefunds;
    r.totalPay += e.totalPay;
    r.totalDeductions += e.totalDeductions;
    r.deficit += e.deficit;
    r.netPay += e.netPay;
}

void takeMasterData(payrunreports::REPORTREC& r, const ANNUALEMP& e) {
    r.empNum = e.empNum;
    r.name = e.name;
    r.unitPath = e.unitPath;
    r.stationName = e.stationName;
    r.payGroupName = e.payGroupName;
    r.bankName = e.bankName;
    r.coopName = e.coopName;
    r.pensionFundName = e.pensionFundName;
}

// For each of the period's items after the built-in ones, its place among
// the summed items of the table, adding those not met before.
std::vector<std::size_t> placeItems(ReportItemDefs& sums, const ReportItemDefs& defs,
                                    std::size_t table) {
    const std::size_t builtIn =
        payrunreports::builtInCount(static_cast<common::FIELDSTABLE>(table));
    auto& summed = sums[table];
    const auto& own = defs[table];
    if (summed.empty()) {
        for (std::size_t i = 0; i < builtIn && i < own.size(); ++i)
            summed.push_back(own[i]);
    }
    std::vector<std::size_t> places;
    for (std::size_t i = builtIn; i < own.size(); ++i) {
        std::size_t place = builtIn;
        while (place < summed.size() && summed[place]->name != own[i]->name)
            ++place;
        if (place == summed.size())
            summed.push_back(own[i]);
        places.push_back(place - builtIn);
    }
    return places;
}

} // namespace

std::string rangeTitle(int year, int fromMonth, int toMonth) {
    const std::string yearText = std::to_string(year);
    if (fromMonth == toMonth)
        return common::monthName(fromMonth) + " " + yearText;
    return common::monthName(fromMonth) + " to " + common::monthName(toMonth) + " " + yearText;
}

payrunreports::PeriodFile sumPeriods(const ANNUALFILE& file, int fromMonth, int toMonth) {
    payrunreports::PeriodFile out;
    std::map<std::string, EmployeeSums> employees;
    for (const ANNUALPERIOD& p : file.periods) {
        if (p.month < fromMonth || p.month > toMonth)
            continue;
        out.header = p.header;
        std::array<std::vector<std::size_t>, common::kFieldsTableCount> places;
        for (std::size_t t = 0; t < places.size(); ++t)
            places[t] = placeItems(out.definitions, p.definitions, t);
        for (const ANNUALEMP& e : p.employees) {
            EmployeeSums& sums = employees[e.empNum];
            takeMasterData(sums.rec, e);
            addAmounts(sums.rec, e);
            for (std::size_t t = 0; t < places.size(); ++t) {
                for (std::size_t k = 0; k < e.items[t].size() && k < places[t].size(); ++k) {
                    std::vector<double>& items = sums.items[t];
                    if (items.size() <= places[t][k])
                        items.resize(places[t][k] + 1, 0.0);
                    items[places[t][k]] += e.items[t][k];
                }
            }
        }
    }
    out.header.periodTitle = rangeTitle(file.year, fromMonth, toMonth);
    for (auto& [empNum, sums] : employees) {
        for (std::size_t t = 0; t < sums.items.size(); ++t) {
            const auto& defs = out.definitions[t];
            const std::size_t builtIn =
                payrunreports::builtInCount(static_cast<common::FIELDSTABLE>(t));
            for (std::size_t i = builtIn; i < defs.size(); ++i) {
                const std::size_t k = i - builtIn;
                sums.rec.items[t].push_back(
                    {defs[i], k < sums.items[t].size() ? sums.items[t][k] : 0.0, {}});
            }
        }
        out.records.push_back(std::move(sums.rec));
    }
    return out;
}

bool readRange(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param, const common::ORGREC& org,
               payrunreports::PeriodFile& out) {
    ANNUALDB db(ui, code, folder);
    std::string path = ANNUALDB::reportFilePath(param, org);
    std::error_code error;
    if (!std::filesystem::is_regular_file(folder.resolve(path), error))
        path = ANNUALDB::storeFilePath(param.period.year);
    ANNUALFILE file;
    if (!db.readFile(ui, path, org, file))
        return false;
    file.year = param.period.year;
    out = sumPeriods(file, param.fromMonth, param.toMonth);
    return true;
}

MUSTERROLL::MUSTERROLL(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : payrunreports::MUSTERROLL(ui, code, folder, param),
      code_(code) {}

bool MUSTERROLL::requireFile(const common::ORGREC& org) const {
    return ANNUALDB::requireFile(folder(), param(), org);
}

bool MUSTERROLL::readFile(const common::ORGREC& org) {
    payrunreports::PeriodFile file;
    return readRange(ui(), code_, folder(), param(), org, file) && takeFile(std::move(file));
}

CONTROLACREP::CONTROLACREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::REPORTPARAM& param)
    : payrunreports::CONTROLACREP(ui, code, folder, param),
      code_(code) {}

bool CONTROLACREP::requireFile(const common::ORGREC& org) const {
    return ANNUALDB::requireFile(folder(), param(), org);
}

bool CONTROLACREP::readFile(const common::ORGREC& org) {
    payrunreports::PeriodFile file;
    return readRange(ui(), code_, folder(), param(), org, file) && takeFile(std::move(file));
}

namespace {

template <class Report>
std::unique_ptr<payrunreports::PERIODREP>
prepareAndRead(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param, const common::ORGREC& org) {
    auto report = std::make_unique<Report>(ui, code, folder, param);
    if (report->requireFile(org)) {
        ANNUALDB db(ui, code, folder);
        if (!db.checkFiles(ui, org) || !db.writeInterimFile(ui, org))
            return nullptr;
    }
    if (!report->readFile(org))
        return nullptr;
    return report;
}

} // namespace

std::unique_ptr<payrunreports::PERIODREP> openAnnualReport(common::Ui& ui, engine::Code4& code,
                                                           const common::WorkingFolder& folder,
                                                           const common::REPORTPARAM& param,
                                                           const common::ORGREC& org) {
    if (param.reportType == common::kReportYearMusterRoll)
        return prepareAndRead<MUSTERROLL>(ui, code, folder, param, org);
    if (param.reportType == common::kReportYearControlAccount)
        return prepareAndRead<CONTROLACREP>(ui, code, folder, param, org);
    return nullptr;
}

} // namespace kelo::annualreturns
