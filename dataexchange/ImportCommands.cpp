#include "dataexchange/ImportCommands.h"

#include "common/AtomicFile.h"
#include "common/Calendar.h"
#include "common/CsvExport.h"
#include "common/Money.h"
#include "dataexchange/BalanceImport.h"
#include "dataexchange/EmployeeImport.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <variant>

namespace kelo::dataexchange {

namespace {

std::optional<std::string> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

common::FileChoice importChoice(const common::WorkingFolder& folder, const char* title) {
    common::FileChoice choice = common::csvExportChoice(folder);
    choice.title = title;
    choice.overwritePrompt = false;
    return choice;
}

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

ImportListing employeeListing(const EmployeeImport& import) {
    ImportListing listing;
    listing.headings = {"Employee Number", "Last Name", "Other Names"};
    for (const EmployeeRow& row : import.employees())
        listing.rows.push_back({row.rec.empNum, row.rec.lastName, row.rec.otherNames});
    return listing;
}

std::string amount(double value) {
    return common::withThousands(value, 2);
}

// The figures a row sets, as the item's dialog names them.
std::string balanceText(const common::PayItemParams& params) {
    if (const auto* loan = std::get_if<common::LoanParams>(&params))
        return amount(loan->balance) + ", " +
               counted(static_cast<std::size_t>(loan->paymentsLeft), "payment left",
                       "payments left");
    if (const auto* savings = std::get_if<common::SavingsParams>(&params))
        return amount(savings->balance);
    if (const auto* coop = std::get_if<common::CoopParams>(&params))
        return amount(coop->balance);
    if (const auto* pension = std::get_if<common::PensionParams>(&params))
        return "employee " + amount(pension->employeeBalance) + ", employer " +
               amount(pension->employerBalance);
    if (const auto* bank = std::get_if<common::BankLoanParams>(&params))
        return bank->bankName + ", " + bank->branchName + ", loan " + bank->loanNumber + ", " +
               counted(static_cast<std::size_t>(bank->paymentsLeft), "payment left",
                       "payments left");
    if (const auto* recovery = std::get_if<common::CostRecoveryParams>(&params))
        return amount(recovery->balance);
    return {};
}

ImportListing balanceListing(const BalanceImport& import) {
    ImportListing listing;
    listing.headings = {"Employee Number", "Item", "Balance"};
    for (const BalanceRow& row : import.balances())
        listing.rows.push_back({row.empNum, row.item, balanceText(row.params)});
    for (const yeartodate::YtdOpening& opening : import.openings())
        listing.rows.push_back({opening.empNum,
                                opening.field + ", " + common::monthName(opening.month) + " " +
                                    std::to_string(opening.year),
                                amount(opening.amount)});
    return listing;
}

// The words an import's messages count its rows in.
struct Nouns {
    const char* one;
    const char* many;
};

// Read, preview, commit: nothing is written unless the file is accepted
// and the clerk chooses Import.
template <class Import, class ListingOf>
bool importFromFile(common::Ui& ui, ImportPreviewHost& previews,
                    const common::WorkingFolder& folder, const common::ORGREC& org, Import& import,
                    const char* title, Nouns nouns, ListingOf listingOf) {
    const std::optional<std::string> path = ui.chooseOpenFile(importChoice(folder, title));
    if (!path)
        return false;
    const std::optional<std::string> bytes = bytesOf(*path);
    if (!bytes) {
        ui.error("Can't open " + *path);
        return false;
    }
    {
        const common::WaitCursor wait(ui);
        import.read(*bytes);
    }
    ImportListing listing;
    if (import.preview().accepted())
        listing = listingOf(import);
    listing.caption = title;
    listing.file = *path;
    if (!previews.confirmImport(import.preview(), listing) || !import.preview().accepted())
        return false;
    bool added = false;
    {
        const common::WaitCursor wait(ui);
        added = import.commit(ui, org);
    }
    if (!added) {
        // A row the final check refused: the preview shows it.
        if (!import.preview().refusals.empty())
            previews.confirmImport(import.preview(), listing);
        return false;
    }
    const std::size_t count = import.preview().rows;
    ui.information(counted(count, nouns.one, nouns.many) + (count == 1 ? " was" : " were") +
                   " imported.");
    return true;
}

} // namespace

bool importEmployeesFromFile(common::Ui& ui, ImportPreviewHost& previews, engine::Code4& code,
                             const common::WorkingFolder& folder, const common::ORGREC& org) {
    EmployeeImport import(code, folder);
    return importFromFile(ui, previews, folder, org, import, "Import Employees",
                          {"employee", "employees"}, employeeListing);
}

bool importBalancesFromFile(common::Ui& ui, ImportPreviewHost& previews, engine::Code4& code,
                            const common::WorkingFolder& folder, const common::ORGREC& org) {
    BalanceImport import(code, folder, org);
    return importFromFile(ui, previews, folder, org, import, "Import Opening Balances",
                          {"opening balance", "opening balances"}, balanceListing);
}

bool exportEmployeesToFile(common::Ui& ui, engine::Code4& code,
                           const common::WorkingFolder& folder) {
    common::FileChoice choice = common::csvExportChoice(folder);
    choice.title = "Export Employees";
    choice.fileName = "employees.csv";
    const std::optional<std::string> path = ui.chooseSaveFile(choice);
    if (!path)
        return false;
    std::string failure;
    std::optional<std::string> bytes;
    bool written = false;
    {
        const common::WaitCursor wait(ui);
        bytes = exportEmployees(code, folder, failure);
        written = bytes && common::replaceFileAtomically(*path, *bytes);
    }
    if (!bytes) {
        ui.error(failure);
        return false;
    }
    if (!written) {
        ui.error("Can't save to " + *path);
        return false;
    }
    return true;
}

} // namespace kelo::dataexchange
