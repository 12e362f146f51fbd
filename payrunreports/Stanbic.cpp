#include "common/Money.h"
#include "payrunreports/BankFiles.h"

namespace kelo::payrunreports {

namespace {
constexpr std::size_t kAccountWidth = 13;
} // namespace

namespace bankfile {

std::string stanbicAccount(std::string_view digits) {
    std::string cell(digits);
    if (cell.size() < kAccountWidth)
        cell.insert(0, kAccountWidth - cell.size(), '0');
    return cell;
}

std::string centsText(double amount) {
    return common::fixedText(common::roundCents(amount) * 100, 0);
}

} // namespace bankfile

using namespace bankfile;

BANKFILE::Dialog STANBIC::dialog() const {
    return {"Save Stanbic Bank File", "CSV Files (*.csv)", "csv"};
}

std::string STANBIC::fileBytes(const common::ORGREC&) {
    std::string bytes = fileLine(
        {"Reference", "Name", "Bank Code", "Branch Code", "Account Number", "Amount"}, ',');
    for (const Payee& payee : payees(kAccountWidth, true)) {
        bytes += fileLine({payee.rec->empNum, nameWithoutCommas(payee.rec->name),
                           bankCodeOf(payee.code), branchCodeOf(payee.code),
                           stanbicAccount(payee.account), centsText(payee.details.amount)},
                          ',');
    }
    return bytes;
}

} // namespace kelo::payrunreports
