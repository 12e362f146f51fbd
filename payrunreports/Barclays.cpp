#include "common/Text.h"
#include "payrunreports/BankFiles.h"

#include <ctime>

namespace kelo::payrunreports {

using namespace bankfile;

namespace {
constexpr std::size_t kMaxAccountDigits = 13;
constexpr std::size_t kReferenceFieldWidth = 11;
constexpr std::size_t kOrgNameWidth = 25;
constexpr std::size_t kNameWidth = 35;
// The file header, the batch header and the trailer.
constexpr std::size_t kFramingLines = 3;

BARCLAYS::ClockTime localTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {common::date{local.tm_year + 1900, static_cast<std::uint8_t>(local.tm_mday),
                         static_cast<std::uint8_t>(local.tm_mon + 1)},
            local.tm_hour, local.tm_min, local.tm_sec};
}
} // namespace

BARCLAYS::BARCLAYS(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::REPORTPARAM& param)
    : BANKFILE(ui, code, folder, param),
      clock_(localTime) {}

BANKFILE::Dialog BARCLAYS::dialog() const {
    return {"Save Barclays Bank File", "Text Files (*.txt)", "csv"};
}

bool BARCLAYS::checkOrganisation(const common::ORGREC& org) {
    return checkOrgAccount(org, kMaxAccountDigits) && checkOrgBank(org, orgCode_);
}

std::string BARCLAYS::fileBytes(const common::ORGREC& org) {
    // The headers carry the batch total, so the payments are known first.
    const std::vector<Payee> paid = payees(kMaxAccountDigits, true);
    double total = 0;
    for (const Payee& payee : paid)
        total += payee.details.amount;
    const std::string valueDate = dayMonthYear(param().processDate);
    const std::string ref = reference(kReferenceFieldWidth);
    const std::string totalText = amountWithCents(total);
    const ClockTime now = clock_();
    std::string bytes =
        fileLine({"1", "LOCAL", "CR", dayMonthYear(now.day),
                  zeroPadded(now.hour, 2) + zeroPadded(now.minute, 2) + zeroPadded(now.second, 2)},
                 '\t');
    bytes += fileLine({"2", accountDigits(org.accountNum), bankCodeOf(orgCode_),
                       branchCodeOf(orgCode_), "TZS", valueDate, ref, "SALARYPAYT", totalText,
                       std::string(common::fitText(org.name, kOrgNameWidth)),
                       "P.O. Box " + org.poBox + " " + org.town},
                      '\t');
    for (const Payee& payee : paid) {
        bytes += fileLine(
            {"3", payee.account, "67" + payee.code, valueDate, "TZS",
             amountWithCents(payee.details.amount),
             std::string(common::fitText(nameWithoutCommas(payee.rec->name), kNameWidth)), ref},
            '\t');
    }
    bytes += fileLine({"9", std::to_string(paid.size() + kFramingLines), totalText}, '\t');
    return bytes;
}

} // namespace kelo::payrunreports
