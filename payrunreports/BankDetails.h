#pragma once

#include "payrunreports/PeriodRecords.h"

#include <string>
#include <string_view>

namespace kelo::payrunreports {

// Where one employee's payment goes and how much it is.
struct BankDetails {
    std::string bankName;
    std::string branchName;
    std::string accountNum;
    double amount = 0;

    friend bool operator==(const BankDetails&, const BankDetails&) = default;
};

// The payment of `fieldName` to the employee: net pay for "Net Pay", else
// the named deduction (0 when he has none) paid into his own account; a
// bank loan payment goes to the loan's bank, branch and loan number instead.
BankDetails bankDetails(const REPORTREC& rec, std::string_view fieldName);

} // namespace kelo::payrunreports
