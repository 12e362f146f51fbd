#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "dataexchange/ImportPreview.h"
#include "engine/Code4.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::dataexchange {

// One opening balance: the employee, the deduction of his payroll that
// keeps it, and its parameters as the item's dialog takes them.
struct BalanceRow {
    std::string empNum;
    common::PAYFREQ payFreq = common::MONTHLY;
    std::size_t index = 0; // among the payroll's deductions
    std::string item;
    common::PayItemParams params; // LoanParams, SavingsParams, PensionParams or CoopParams
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
// contribution, a co-operative contribution's balance. One row per item;
// read() checks without writing, commit() sets every balance through the
// transactions form's own operations, or none.
class BalanceImport {
public:
    BalanceImport(engine::Code4& code, const common::WorkingFolder& folder);

    const ImportPreview& read(std::string_view bytes);
    const ImportPreview& preview() const { return preview_; }
    const std::vector<BalanceRow>& balances() const { return rows_; }

    // Only after a preview without refusals. When the form refuses a
    // balance, the payroll records already changed are put back as they
    // were and the preview names the row; a locked table is told to `ui`.
    bool commit(common::Ui& ui, const common::ORGREC& org);

private:
    bool readRow(const CsvRecord& record, const std::vector<std::string>& fields, BalanceRow& row);

    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    ImportPreview preview_;
    std::vector<BalanceRow> rows_;
    std::vector<long> rowNumbers_;
};

} // namespace kelo::dataexchange
