#include "common/Text.h"
#include "payrunreports/BankFiles.h"

namespace kelo::payrunreports {

using namespace bankfile;

namespace {
constexpr std::size_t kMaxAccountDigits = 34;
constexpr std::size_t kPayFields = 49;
constexpr std::size_t kReferenceFieldWidth = 12;
constexpr std::size_t kNameWidth = 35;
} // namespace

BANKFILE::Dialog SCBCSV::dialog() const {
    return {"Save Standard Chartered File", "Text Files (*.txt)", "txt"};
}

bool SCBCSV::checkOrganisation(const common::ORGREC& org) {
    std::string code;
    return checkOrgAccount(org, kMaxAccountDigits) && checkOrgBank(org, code);
}

std::string SCBCSV::payLine(const Payee& payee, const common::ORGREC& org) const {
    std::vector<std::string> fields(kPayFields);
    // Numbered as the bank's layout numbers its fields, from 1.
    auto field = [&fields](std::size_t number) -> std::string& { return fields[number - 1]; };
    field(1) = "P";
    field(2) = "PAY";
    field(3) = "BA";
    field(5) = reference(kReferenceFieldWidth);
    field(7) = "KE";
    field(8) = "NBO";
    field(9) = accountDigits(org.accountNum);
    field(10) = dayMonthYear(param().processDate, "/");
    field(11) = common::fitText(nameWithoutCommas(payee.rec->name), kNameWidth);
    field(16) = bankCodeOf(payee.code);
    field(18) = branchCodeOf(payee.code);
    field(20) = payee.account;
    field(37) = "4";
    field(38) = "TZS";
    field(39) = amountWithCents(payee.details.amount);
    field(49) = "O";
    return fileLine(fields, ',');
}

std::string SCBCSV::fileBytes(const common::ORGREC& org) {
    std::string bytes = fileLine({"H", "P"}, ',');
    double total = 0;
    const std::vector<Payee> paid = payees(kMaxAccountDigits, true);
    for (const Payee& payee : paid) {
        bytes += payLine(payee, org);
        total += payee.details.amount;
    }
    bytes += fileLine({"T", std::to_string(paid.size()), amountWithCents(total)}, ',');
    return bytes;
}

} // namespace kelo::payrunreports
