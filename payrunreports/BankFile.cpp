#include "payrunreports/BankFile.h"

#include "common/AtomicFile.h"
#include "common/Money.h"
#include "common/Text.h"

#include <algorithm>
#include <cstdio>

namespace kelo::payrunreports {

namespace {
constexpr std::size_t kAccountChars = 25;
constexpr std::size_t kNameChars = 55;
constexpr std::size_t kBankCodeWidth = 2;
constexpr const char* kBadAccount = "Invalid account number for";
constexpr const char* kBadBank = "Invalid bank code for";
} // namespace

namespace bankfile {

std::string zeroPadded(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

std::string accountDigits(std::string_view accountNum) {
    std::string digits;
    for (char c : accountNum.substr(0, kAccountChars)) {
        if (c >= '0' && c <= '9')
            digits += c;
    }
    return digits;
}

std::string nameWithoutCommas(std::string_view name) {
    std::string text(name.substr(0, kNameChars));
    std::erase(text, ',');
    return text;
}

std::string fileLine(const std::vector<std::string>& fields, char separator) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += separator;
        line += fields[i];
    }
    return line + "\r\n";
}

std::string leftInWidth(std::string_view text, std::size_t width) {
    std::string cell(common::fitText(text, width));
    if (cell.size() < width)
        cell.append(width - cell.size(), ' ');
    return cell;
}

std::string dayMonthYear(common::date day, std::string_view separator) {
    const std::string sep(separator);
    return zeroPadded(day.day, 2) + sep + zeroPadded(day.month, 2) + sep + zeroPadded(day.year, 4);
}

std::string yearMonthDay(common::date day) {
    return zeroPadded(day.year, 4) + zeroPadded(day.month, 2) + zeroPadded(day.day, 2);
}

std::string amountWithCents(double amount) {
    return common::fixedText(amount, 2);
}

std::string bankCodeOf(std::string_view code) {
    std::string_view cell = code.substr(0, kBankCodeWidth);
    return std::string(kBankCodeWidth - cell.size(), ' ') + std::string(cell);
}

std::string branchCodeOf(std::string_view code) {
    return std::string(code.size() > kBankCodeWidth ? code.substr(kBankCodeWidth) : "");
}

} // namespace bankfile

using namespace bankfile;

BANKFILE::BANKFILE(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::REPORTPARAM& param)
    : PERIODREP(ui, code, folder, param),
      banks_(code, folder) {
    // Tables that will not open know no bank: every payment is then refused
    // with its message, rather than the file being written without codes.
    banks_.openFiles();
}

BANKFILE::~BANKFILE() {
    banks_.closeFiles();
}

bool BANKFILE::save(const common::ORGREC& org) {
    if (!checkOrganisation(org))
        return false;
    const Dialog texts = dialog();
    common::FileChoice choice;
    choice.title = texts.title;
    choice.filter = texts.filter;
    choice.defaultExtension = texts.extension;
    choice.initialFolder = folder().resolve("../exports");
    choice.overwritePrompt = true;
    const std::optional<std::string> path = ui().chooseSaveFile(choice);
    if (!path)
        return false;
    common::AtomicFile file;
    if (!file.open(*path)) {
        ui().error("Can't save to " + *path);
        return false;
    }
    if (!file.write(fileBytes(org)) || !file.commit()) {
        ui().error("Can't save to " + *path);
        return false;
    }
    ui().information("Bank transfer file saved");
    return true;
}

std::vector<Payee> BANKFILE::payees(std::size_t maxDigits, bool tell) {
    std::vector<Payee> out;
    for (const REPORTREC& rec : records()) {
        Payee payee{&rec, bankDetails(rec, param().fieldName), {}, {}};
        const char* fault = nullptr;
        if (!banks_.getBankCode(payee.details.bankName, payee.details.branchName, payee.code)) {
            fault = kBadBank;
        } else {
            payee.account = accountDigits(payee.details.accountNum);
            if (payee.account.empty() || payee.account.size() > maxDigits)
                fault = kBadAccount;
        }
        if (!fault)
            out.push_back(std::move(payee));
        else if (tell)
            ui().warning(std::string(fault) + " " + rec.name + "; record skipped");
    }
    return out;
}

bool BANKFILE::checkOrgAccount(const common::ORGREC& org, std::size_t maxDigits) {
    const std::string digits = accountDigits(org.accountNum);
    if (!digits.empty() && digits.size() <= maxDigits)
        return true;
    refuse(org, kBadAccount);
    return false;
}

bool BANKFILE::checkOrgBank(const common::ORGREC& org, std::string& code) {
    if (banks_.getBankCode(org.bankName, org.branchName, code))
        return true;
    refuse(org, kBadBank);
    return false;
}

void BANKFILE::refuse(const common::ORGREC& org, std::string_view why) {
    ui().warning(std::string(why) + " " + org.name + ". Bank transfer file not saved.");
}

std::string BANKFILE::reference(std::size_t fieldWidth) const {
    return std::string(common::fitText(header().periodTitle, 3)) + " " +
           std::string(common::fitText(param().fieldName, fieldWidth));
}

} // namespace kelo::payrunreports
