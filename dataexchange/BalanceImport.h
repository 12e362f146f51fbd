#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "dataexchange/ImportPreview.h"
#include "engine/Code4.h"
#include "taxreports/TaxRepDb.h"
#include "yeartodate/YtdDb.h"
#include "yeartodate/YtdFormat.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelo::dataexchange {

// One opening balance: the employee, the deduction of his payroll that
// keeps it, and its parameters as the item's dialog takes them.
struct BalanceRow {
    std::string empNum;
    common::PAYFREQ payFreq = common::MONTHLY;
    std::size_t index = 0; // among the payroll's deductions
    std::string item;
    // LoanParams, SavingsParams, PensionParams, CoopParams, BankLoanParams
    // or CostRecoveryParams
    common::PayItemParams params;
};

// The columns of the opening balances file, in this order.
const std::vector<LayoutColumn>& balanceColumns();

// The message when another user holds a transactions table the import writes.
inline constexpr const char* kBalancesLockedText =
    "Cannot import the balances because another user has locked some of the payroll records. "
    "Try again later.";

// Import of the opening balances of employees who exist: a company loan's
// outstanding balance, payments left and interest rate, a savings plan's
// balance and interest rate, a pension fund's balances and employer
// contribution, a co-operative contribution's balance, a bank loan's bank,
// branch, loan number and payments left, a cost recovery's balance; and
// the year-to-date amounts of the months of the fiscal year already paid
// before the program was used (a row with a month). One row per item or
// per pay field and month; read() checks without writing against the
// organisation's current pay period, commit() sets every balance through
// the transactions form's own operations and every amount in the
// year-to-date store, whose total payments, chargeable pay and PAYE also
// go to the P9 and P10 as opening periods, or none.
class BalanceImport {
public:
    // Without the organisation, whose current pay period tells the months
    // already paid, a row with a month is refused.
    BalanceImport(engine::Code4& code, const common::WorkingFolder& folder);
    BalanceImport(engine::Code4& code, const common::WorkingFolder& folder,
                  const common::ORGREC& org);

    const ImportPreview& read(std::string_view bytes);
    const ImportPreview& preview() const { return preview_; }
    const std::vector<BalanceRow>& balances() const { return rows_; }
    const std::vector<yeartodate::YtdOpening>& openings() const { return openings_; }

    // Only after a preview without refusals. When the form refuses a
    // balance, the payroll records already changed are put back as they
    // were and the preview names the row; a locked table and a year-to-date
    // file that cannot be written are told to `ui`, the records put back.
    bool commit(common::Ui& ui, const common::ORGREC& org);

private:
    bool readRow(const CsvRecord& record, const std::vector<std::string>& fields, BalanceRow& row);
    // The P9 and P10 periods of the year-to-date rows.
    std::vector<std::pair<int, taxreports::TAXPERIOD>> taxPeriods(const common::ORGREC& org) const;
    bool readOpening(const CsvRecord& record, const std::vector<std::string>& fields,
                     common::PAYFREQ payFreq, yeartodate::YtdOpening& opening);

    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    std::optional<common::ORGREC> org_;
    ImportPreview preview_;
    std::vector<BalanceRow> rows_;
    std::vector<long> rowNumbers_;
    std::vector<yeartodate::YtdOpening> openings_;
    struct OpeningPerson {
        common::PAYFREQ payFreq = common::MONTHLY;
        std::string name, tin;
    };
    std::vector<OpeningPerson> openingPeople_; // beside openings_

    std::map<common::PAYFREQ, yeartodate::YtdNames> namesOf_;
};

} // namespace kelo::dataexchange
