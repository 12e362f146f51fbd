#include "dataexchange/BalanceImport.h"

#include "common/AtomicFile.h"
#include "common/Calendar.h"
#include "common/Money.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/PayFieldsFile.h"
#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "payrunreports/PeriodFormat.h"
#include "staffrecords/StatFrmLookups.h"
#include "staffrecords/VarFrm.h"
#include "yeartodate/YtdDb.h"
#include "yeartodate/YtdFormat.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

namespace kelo::dataexchange {

namespace {

namespace choices = staffrecords::statfrmlists;

std::optional<std::string> bytesOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    common::TaggedReader reader;
    if (!reader.open(path))
        return std::nullopt;
    return std::string(reader.bytes());
}

enum Col : std::size_t {
    kEmpNum,
    kItem,
    kBalance,
    kPaymentsLeft,
    kInterestRate,
    kTaxableBenefit,
    kEmployerContribution,
    kEmployeeBalance,
    kEmployerBalance,
    kBank,
    kBranch,
    kLoanNumber,
    kMonth,
    kAmount,
    kColumnCount
};

// The columns each kind of item takes, beside the number and the item.
const std::map<staffrecords::ParamDialog, std::set<std::size_t>>& columnsOfKind() {
    using staffrecords::ParamDialog;
    static const std::map<ParamDialog, std::set<std::size_t>> kinds{
        {ParamDialog::Loan, {kBalance, kPaymentsLeft, kInterestRate, kTaxableBenefit}},
        {ParamDialog::Savings, {kBalance, kInterestRate}},
        {ParamDialog::PensionFund, {kEmployerContribution, kEmployeeBalance, kEmployerBalance}},
        {ParamDialog::CoopBalance, {kBalance}},
        {ParamDialog::BankLoan, {kPaymentsLeft, kBank, kBranch, kLoanNumber}},
        {ParamDialog::CostRecovery, {kBalance}},
    };
    return kinds;
}

struct Employee {
    common::PAYFREQ payFreq = common::MONTHLY;
    bool separated = false;
    std::string name; // "last name, other names", as the tax returns name him
    std::string tin;
};

std::optional<std::map<std::string, Employee>> employeesByKey(engine::Code4& code,
                                                              const common::WorkingFolder& folder) {
    database::STATDB staff(code, folder);
    if (!staff.openFile()) {
        code.setErrorCode(0);
        return std::nullopt;
    }
    std::map<std::string, Employee> all;
    engine::Data4& data = *staff.data();
    for (int rc = data.top(); rc == engine::r4success && !data.eof(); rc = data.skip()) {
        common::STATICREC rec;
        database::PERSONNELREC personnel;
        if (!data.deleted() && staff.initRec(rec) && staff.initRec(personnel))
            all[common::employeeKey(common::trim(rec.empNum))] = {
                rec.payFreq, rec.separated != 0, rec.lastName + ", " + rec.otherNames,
                personnel.tin};
    }
    staff.closeFile();
    return all;
}

// The month of a year-to-date row, "July" or "July 2026": a month of the
// current fiscal year before the current pay period. A month without its
// year is the last one of that name up to the period.
std::optional<std::pair<int, int>> paidMonth(const std::string& text, const common::ORGREC& org,
                                             std::string& fault) {
    std::string name = text;
    int year = 0;
    if (const std::size_t blank = text.find_last_of(' '); blank != std::string::npos) {
        name = common::trim(text.substr(0, blank));
        const std::string digits = common::trim(text.substr(blank + 1));
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), year);
        if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
            name.clear();
    }
    const int month = common::monthNumber(name);
    if (month == 0) {
        fault = dataexchange::quoted(text) + " is not a month such as \"July\" or \"July 2026\".";
        return std::nullopt;
    }
    const int current = common::monthNumber(org.month);
    if (year == 0)
        year = month <= current ? org.year : org.year - 1;
    const std::string named = common::monthName(month) + " " + std::to_string(year);
    if (year * 12 + month >= org.year * 12 + current) {
        fault = named + " has not been paid yet: the current pay period is " + org.month + " " +
                std::to_string(org.year) + ".";
        return std::nullopt;
    }
    if (common::fiscalYearOf(month, year) != common::fiscalYearOf(current, org.year)) {
        fault = named + " is not in the fiscal year of the current pay period.";
        return std::nullopt;
    }
    return std::pair{year, month};
}

} // namespace

const std::vector<LayoutColumn>& balanceColumns() {
    static const std::vector<LayoutColumn> columns{
        {"Employee Number", true},
        {"Item", true},
        {"Balance", false},
        {"Payments Left", false},
        {"Interest Rate", false},
        {"Taxable Benefit", false},
        {"Employer Contribution", false},
        {"Employee Balance", false},
        {"Employer Balance", false},
        {"Bank", false},
        {"Branch", false},
        {"Loan Number", false},
        {"Month", false},
        {"Amount", false},
    };
    return columns;
}

BalanceImport::BalanceImport(engine::Code4& code, const common::WorkingFolder& folder)
    : code_(code),
      folder_(folder) {}

BalanceImport::BalanceImport(engine::Code4& code, const common::WorkingFolder& folder,
                             const common::ORGREC& org)
    : code_(code),
      folder_(folder),
      org_(org) {}

bool BalanceImport::readRow(const CsvRecord& record, const std::vector<std::string>& fields,
                            BalanceRow& row) {
    const auto& columns = balanceColumns();
    bool ok = true;
    const auto refuse = [&](std::size_t column, std::string message) {
        preview_.refusals.push_back({record.row, columns[column].header, std::move(message)});
        ok = false;
    };
    const auto amount = [&](std::size_t column) {
        double value = 0;
        if (!common::parseAmount(common::trim(fields[column]), value))
            refuse(column,
                   dataexchange::quoted(common::trim(fields[column])) + " is not a number.");
        return value;
    };
    const auto kinds = columnsOfKind();
    const auto kind = staffrecords::dialogOf(common::PayItem{nullptr, row.params, 0, 0});
    const std::set<std::size_t>& taken = kinds.at(kind);
    for (std::size_t c = kBalance; c < kColumnCount; ++c) {
        if (!taken.contains(c) && !common::trim(fields[c]).empty())
            refuse(c, dataexchange::quoted(columns[c].header) + " does not apply to " +
                          dataexchange::quoted(row.item) + ".");
    }
    if (!ok)
        return false;
    const auto payments = [&] {
        const double left = amount(kPaymentsLeft);
        if (ok && (left != std::floor(left) || left > 1e6))
            refuse(kPaymentsLeft, dataexchange::quoted(common::trim(fields[kPaymentsLeft])) +
                                      " is not a whole number of payments.");
        return static_cast<std::int32_t>(left);
    };
    if (auto* loan = std::get_if<common::LoanParams>(&row.params)) {
        loan->balance = amount(kBalance);
        loan->paymentsLeft = payments();
        loan->interestRate = static_cast<float>(amount(kInterestRate));
        // An outstanding loan, not a new one keyed as principal.
        loan->newLoan = 0;
        const std::string taxable = common::trim(fields[kTaxableBenefit]);
        if (common::equalsIgnoreCase(taxable, "Yes"))
            loan->taxableBenefit = 1;
        else if (taxable.empty() || common::equalsIgnoreCase(taxable, "No"))
            loan->taxableBenefit = 0;
        else
            refuse(kTaxableBenefit, dataexchange::quoted(taxable) + " is not one of: No, Yes.");
    } else if (auto* savings = std::get_if<common::SavingsParams>(&row.params)) {
        savings->balance = amount(kBalance);
        savings->interestRate = static_cast<float>(amount(kInterestRate));
    } else if (auto* pension = std::get_if<common::PensionParams>(&row.params)) {
        pension->employerContribution = amount(kEmployerContribution);
        pension->employeeBalance = amount(kEmployeeBalance);
        pension->employerBalance = amount(kEmployerBalance);
    } else if (auto* coop = std::get_if<common::CoopParams>(&row.params)) {
        coop->balance = amount(kBalance);
    } else if (auto* bank = std::get_if<common::BankLoanParams>(&row.params)) {
        bank->paymentsLeft = payments();
        // A loan under way, as for a company loan.
        bank->newLoan = 0;
        bank->bankName = common::trim(fields[kBank]);
        bank->branchName = common::trim(fields[kBranch]);
        bank->loanNumber = common::trim(fields[kLoanNumber]);
    } else if (auto* recovery = std::get_if<common::CostRecoveryParams>(&row.params)) {
        recovery->balance = amount(kBalance);
    }
    return ok;
}

bool BalanceImport::readOpening(const CsvRecord& record, const std::vector<std::string>& fields,
                                common::PAYFREQ payFreq, yeartodate::YtdOpening& opening) {
    const auto& columns = balanceColumns();
    const auto refuse = [&](std::size_t column, std::string message) {
        preview_.refusals.push_back({record.row, columns[column].header, std::move(message)});
        return false;
    };
    if (!namesOf_.contains(payFreq)) {
        KeptMessages quiet;
        database::PayFieldTables tables;
        if (!database::readPayFields(quiet, folder_, payFreq, tables)) {
            preview_.refusals.push_back({record.row, "", quiet.all()});
            return false;
        }
        yeartodate::mergeNames(namesOf_[payFreq], tables);
    }
    const std::optional<std::string> field =
        yeartodate::fieldNamed(namesOf_[payFreq], common::trim(fields[kItem]));
    if (!field)
        return refuse(kItem, "There is no pay field named " +
                                 dataexchange::quoted(common::trim(fields[kItem])) + " on the " +
                                 choices::kPayFreqs.at(static_cast<std::size_t>(payFreq)) +
                                 " payroll.");
    opening.field = *field;
    for (std::size_t c = kBalance; c < kMonth; ++c) {
        if (!common::trim(fields[c]).empty())
            return refuse(c, dataexchange::quoted(columns[c].header) +
                                 " does not apply to a month's amount.");
    }
    if (!org_)
        return refuse(kMonth, "The months already paid are not known here.");
    std::string fault;
    const auto month = paidMonth(common::trim(fields[kMonth]), *org_, fault);
    if (!month)
        return refuse(kMonth, fault);
    opening.year = month->first;
    opening.month = month->second;
    const std::string amount = common::trim(fields[kAmount]);
    if (amount.empty())
        return refuse(kAmount, "The month's amount is missing.");
    if (!common::parseAmount(amount, opening.amount))
        return refuse(kAmount, dataexchange::quoted(amount) + " is not a number.");
    // The store keeps whole shillings.
    opening.amount = common::roundShillings(opening.amount);
    return true;
}

const ImportPreview& BalanceImport::read(std::string_view bytes) {
    preview_ = ImportPreview{};
    rows_.clear();
    rowNumbers_.clear();
    openings_.clear();
    openingPeople_.clear();
    namesOf_.clear();
    CsvFault fault;
    const std::optional<CsvTable> table = readCsv(bytes, fault);
    if (!table) {
        preview_.refusals.push_back({0, "", fault.message});
        return preview_;
    }
    const auto& columns = balanceColumns();
    const std::vector<std::size_t> columnOf =
        matchHeader(table->records.front(), columns, preview_);
    if (!preview_.refusals.empty())
        return preview_;
    if (table->records.size() == 1) {
        preview_.refusals.push_back({0, "", "The file holds no balances."});
        return preview_;
    }
    const auto employees = employeesByKey(code_, folder_);
    if (!employees) {
        preview_.refusals.push_back({0, "", "Can't open " + std::string(database::STATDB::kPath)});
        return preview_;
    }
    std::map<common::PAYFREQ, common::PayItemDefs> defsOf;
    std::map<std::pair<std::string, std::size_t>, long> firstRow;
    std::map<std::string, long> firstMonthRow;
    for (std::size_t r = 1; r < table->records.size(); ++r) {
        const CsvRecord& record = table->records[r];
        const std::size_t before = preview_.refusals.size();
        const std::vector<std::string> fields =
            fieldsByColumn(record, columnOf, columns.size(), preview_);
        if (preview_.refusals.size() != before)
            continue;
        BalanceRow row;
        row.empNum = common::trim(fields[kEmpNum]);
        row.item = common::trim(fields[kItem]);
        const auto employee = employees->find(common::employeeKey(row.empNum));
        if (employee == employees->end()) {
            preview_.refusals.push_back(
                {record.row, columns[kEmpNum].header,
                 "There is no employee numbered " + dataexchange::quoted(row.empNum) + "."});
            continue;
        }
        if (!common::trim(fields[kMonth]).empty()) {
            // A leaver's months before he left count as well.
            yeartodate::YtdOpening opening;
            opening.empNum = row.empNum;
            if (!readOpening(record, fields, employee->second.payFreq, opening))
                continue;
            const std::string key = common::employeeKey(row.empNum) + '\n' +
                                    common::toUpper(opening.field) + '\n' +
                                    std::to_string(opening.year * 100 + opening.month);
            if (const auto first = firstMonthRow.find(key); first != firstMonthRow.end()) {
                preview_.refusals.push_back({record.row, columns[kMonth].header,
                                             dataexchange::quoted(opening.field) + " of " +
                                                 dataexchange::quoted(row.empNum) + " for " +
                                                 common::monthName(opening.month) + " " +
                                                 std::to_string(opening.year) + " is also on row " +
                                                 std::to_string(first->second) + "."});
                continue;
            }
            firstMonthRow[key] = record.row;
            openings_.push_back(std::move(opening));
            openingPeople_.push_back(
                {employee->second.payFreq, employee->second.name, employee->second.tin});
            continue;
        }
        if (employee->second.separated) {
            preview_.refusals.push_back(
                {record.row, columns[kEmpNum].header,
                 "The employee " + dataexchange::quoted(row.empNum) + " has left the payroll."});
            continue;
        }
        row.payFreq = employee->second.payFreq;
        if (!defsOf.contains(row.payFreq)) {
            KeptMessages quiet;
            common::PayItemDefs defs;
            if (!database::loadPayItemDefs(quiet, folder_, row.payFreq, defs)) {
                preview_.refusals.push_back({record.row, "", quiet.all()});
                continue;
            }
            defsOf[row.payFreq] = std::move(defs);
        }
        const common::PayItemDefs& defs = defsOf[row.payFreq];
        std::optional<std::size_t> index;
        for (std::size_t i = 0; i < defs.deductions.size(); ++i) {
            if (common::equalsIgnoreCase(common::trim(defs.deductions[i]->itemName), row.item))
                index = i;
        }
        const std::string payroll = choices::kPayFreqs.at(static_cast<std::size_t>(row.payFreq));
        if (!index) {
            preview_.refusals.push_back({record.row, columns[kItem].header,
                                         "There is no deduction named " +
                                             dataexchange::quoted(row.item) + " on the " + payroll +
                                             " payroll."});
            continue;
        }
        row.index = *index;
        row.item = common::trim(defs.deductions[*index]->itemName);
        row.params = common::newPayItem(defs.deductions[*index], common::DEDUCTIONS).params;
        if (!columnsOfKind().contains(
                staffrecords::dialogOf(common::PayItem{nullptr, row.params, 0, 0}))) {
            preview_.refusals.push_back({record.row, columns[kItem].header,
                                         dataexchange::quoted(row.item) + " keeps no balance."});
            continue;
        }
        if (!readRow(record, fields, row))
            continue;
        const std::pair<std::string, std::size_t> key{
            common::employeeKey(row.empNum) + std::to_string(row.payFreq), row.index};
        if (const auto first = firstRow.find(key); first != firstRow.end()) {
            preview_.refusals.push_back({record.row, columns[kItem].header,
                                         dataexchange::quoted(row.item) + " of " +
                                             dataexchange::quoted(row.empNum) + " is also on row " +
                                             std::to_string(first->second) + "."});
            continue;
        }
        firstRow[key] = record.row;
        rows_.push_back(std::move(row));
        rowNumbers_.push_back(record.row);
    }
    preview_.rows = table->records.size() - 1;
    return preview_;
}

std::vector<std::pair<int, taxreports::TAXPERIOD>>
BalanceImport::taxPeriods(const common::ORGREC& org) const {
    using yeartodate::fixedRowNames;
    // One period for each month and pay frequency, one employee in it for
    // each who has any of the three figures the returns show.
    std::map<std::tuple<int, int, common::PAYFREQ>, std::map<std::string, taxreports::P9EMP>>
        months;
    for (std::size_t i = 0; i < openings_.size(); ++i) {
        const yeartodate::YtdOpening& opening = openings_[i];
        const OpeningPerson& person = openingPeople_[i];
        double taxreports::P9EMP::*figure = nullptr;
        if (opening.field == fixedRowNames()[yeartodate::kTotalPaymentsRow])
            figure = &taxreports::P9EMP::grossPay;
        else if (opening.field == fixedRowNames()[yeartodate::kChargeablePayRow])
            figure = &taxreports::P9EMP::taxablePay;
        else if (opening.field == fixedRowNames()[yeartodate::kPayeRow])
            figure = &taxreports::P9EMP::paye;
        if (!figure)
            continue;
        taxreports::P9EMP& e = months[{opening.year, opening.month, person.payFreq}]
                                     [common::employeeKey(opening.empNum)];
        e.empNum = opening.empNum;
        e.name = person.name;
        e.tin = person.tin;
        e.*figure += opening.amount;
    }
    std::vector<std::pair<int, taxreports::TAXPERIOD>> periods;
    for (const auto& [when, employees] : months) {
        const auto& [year, month, payFreq] = when;
        taxreports::TAXPERIOD p;
        p.month = month;
        p.header = payrunreports::periodHeader(taxreports::TAXREPDB::openingTitle(year, month),
                                               payFreq, org);
        for (const auto& [key, e] : employees)
            p.employees.push_back(e);
        p.totals = taxreports::totalsOf(p.employees);
        periods.emplace_back(year, std::move(p));
    }
    return periods;
}

bool BalanceImport::commit(common::Ui& ui, const common::ORGREC& org) {
    if (!preview_.accepted())
        return false;
    common::WaitCursor wait(ui);
    common::StatusText status(ui, "Importing balances...");

    // Each payroll's table with its definitions: for the lock check, and for
    // the records as they were, to put back should one balance be refused.
    struct Payroll {
        std::unique_ptr<database::VARDB> table;
        std::map<std::string, common::VARIATIONSREC> before;
    };
    std::map<common::PAYFREQ, Payroll> payrolls;
    std::vector<database::DbTable*> tables;
    for (const BalanceRow& row : rows_) {
        Payroll& payroll = payrolls[row.payFreq];
        if (!payroll.table) {
            KeptMessages quiet;
            common::PayItemDefs defs;
            payroll.table = std::make_unique<database::VARDB>(code_, folder_);
            if (!database::loadPayItemDefs(quiet, folder_, row.payFreq, defs) ||
                !payroll.table->setDefinitions(defs) || !payroll.table->openFile(row.payFreq)) {
                ui.error(
                    database::openFailureText(code_, common::transactionsTablePath(row.payFreq)));
                code_.setErrorCode(0);
                return false;
            }
            payroll.table->orderByEmpNum1();
            tables.push_back(payroll.table.get());
        }
        const std::string key = common::employeeKey(row.empNum);
        common::VARIATIONSREC rec;
        if (!payroll.before.contains(key) && payroll.table->seekEmpNum(row.empNum) &&
            payroll.table->initRec(rec))
            payroll.before[key] = rec;
    }
    if (!tablesFree(ui, code_, tables, kBalancesLockedText))
        return false;
    for (auto& [payFreq, payroll] : payrolls)
        payroll.table->closeFile();

    KeptMessages kept;
    bool ok = true;
    std::set<std::pair<common::PAYFREQ, std::string>> changed;
    for (auto& [payFreq, payroll] : payrolls) {
        common::ORGREC payrollOrg = org;
        payrollOrg.payFreq = payFreq;
        staffrecords::VARFRM form(kept, code_, folder_);
        if (!form.checkFiles(payrollOrg) || !form.open(payrollOrg)) {
            preview_.refusals.push_back({0, "", kept.all()});
            ok = false;
            break;
        }
        kept.texts.clear();
        for (std::size_t i = 0; i < rows_.size() && ok; ++i) {
            const BalanceRow& row = rows_[i];
            if (row.payFreq != payFreq)
                continue;
            changed.insert({payFreq, common::employeeKey(row.empNum)});
            bool set = false;
            if (const auto* loan = std::get_if<common::LoanParams>(&row.params))
                set = form.setLoan(row.empNum, row.index, *loan);
            else if (const auto* savings = std::get_if<common::SavingsParams>(&row.params))
                set = form.setSavings(row.empNum, row.index, *savings);
            else if (const auto* pension = std::get_if<common::PensionParams>(&row.params))
                set = form.setPensionParams(row.empNum, row.index, *pension);
            else if (const auto* coop = std::get_if<common::CoopParams>(&row.params))
                set = form.setCoopBalance(row.empNum, row.index, coop->balance);
            else if (const auto* bank = std::get_if<common::BankLoanParams>(&row.params))
                set = form.setBankLoan(row.empNum, row.index, *bank);
            else if (const auto* recovery = std::get_if<common::CostRecoveryParams>(&row.params))
                set = form.setRecoveryBalance(row.empNum, row.index, recovery->balance);
            if (!set || !kept.texts.empty()) {
                preview_.refusals.push_back(
                    {rowNumbers_[i], "",
                     kept.texts.empty() ? "Can't set this balance." : kept.all()});
                ok = false;
            }
        }
        form.close();
        if (!ok)
            break;
    }
    if (ok && !openings_.empty()) {
        // The year-to-date files as they were, should the tax returns' files
        // refuse their periods.
        std::map<std::string, std::optional<std::string>> before;
        for (const yeartodate::YtdOpening& opening : openings_) {
            const std::string path = yeartodate::YTDDB::filePath(opening.year);
            if (!before.contains(path))
                before[path] = bytesOf(folder_.resolve(path));
        }
        yeartodate::YTDDB ytd(ui, code_, folder_);
        taxreports::TAXREPDB tax(ui, code_, folder_);
        ok = ytd.writeOpeningAmounts(ui, org, openings_);
        if (ok && !tax.writeOpeningPeriods(ui, org, taxPeriods(org))) {
            ok = false;
            for (const auto& [path, bytes] : before) {
                std::error_code ignored;
                if (bytes)
                    common::replaceFileAtomically(folder_.resolve(path), *bytes);
                else
                    std::filesystem::remove(folder_.resolve(path), ignored);
            }
        }
    }
    if (!ok) {
        // All or none: the records changed go back as they were.
        for (auto& [payFreq, payroll] : payrolls) {
            if (!payroll.table->openFile(payFreq)) {
                ui.error(database::openFailureText(code_, payroll.table->relativePath()));
                continue;
            }
            payroll.table->orderByEmpNum1();
            for (const auto& [key, rec] : payroll.before) {
                if (changed.contains({payFreq, key}) &&
                    !(payroll.table->seekEmpNum(rec.empNum) && payroll.table->updateFields(rec)))
                    ui.error("Can't put back the payroll record of " + rec.empNum);
            }
            payroll.table->closeFile();
        }
    }
    code_.setErrorCode(0);
    return ok;
}

} // namespace kelo::dataexchange
