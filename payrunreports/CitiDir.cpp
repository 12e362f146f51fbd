#include "common/Text.h"
#include "payrunreports/BankFiles.h"

namespace kelo::payrunreports {

using namespace bankfile;

namespace {
constexpr std::size_t kMaxOrgDigits = 10;
constexpr std::size_t kMaxAccountDigits = 16;
constexpr std::size_t kPayFields = 74;
constexpr std::size_t kAmountWidth = 16;
constexpr std::size_t kEmpNumWidth = 10;
constexpr std::size_t kNameWidth = 35;
constexpr std::size_t kDetailsWidth = 35;
} // namespace

BANKFILE::Dialog CITIDIR::dialog() const {
    return {"Save Citidirect File", "Text Files (*.txt)", "txt"};
}

bool CITIDIR::checkOrganisation(const common::ORGREC& org) {
    return checkOrgAccount(org, kMaxOrgDigits);
}

std::string CITIDIR::payLine(const Payee& payee, const common::ORGREC& org) const {
    std::vector<std::string> fields(kPayFields);
    // Numbered as the bank's layout numbers its fields, from 1.
    auto field = [&fields](std::size_t number) -> std::string& { return fields[number - 1]; };
    std::string amount = amountWithCents(payee.details.amount);
    if (amount.size() < kAmountWidth)
        amount.append(kAmountWidth - amount.size(), ' ');
    field(2) = "KE";
    field(3) = "DFT";
    field(4) = yearMonthDay(param().processDate);
    field(9) = "TZS";
    field(10) = amount;
    field(12) = leftInWidth(accountDigits(org.accountNum), kMaxOrgDigits);
    field(22) = "OUR";
    field(25) = leftInWidth(payee.rec->empNum, kEmpNumWidth);
    field(27) = "Y";
    field(44) = leftInWidth(payee.account, kMaxAccountDigits);
    // This bank takes the name as it is stored, comma and all.
    field(45) = leftInWidth(payee.rec->name, kNameWidth);
    field(51) = payee.code;
    field(72) = leftInWidth(
        param().fieldName + " for " + org.month + " " + std::to_string(org.year), kDetailsWidth);
    return fileLine(fields, '#');
}

std::string CITIDIR::fileBytes(const common::ORGREC& org) {
    std::string bytes;
    for (const Payee& payee : payees(kMaxAccountDigits, true))
        bytes += payLine(payee, org);
    return bytes;
}

} // namespace kelo::payrunreports
