#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "database/BanksDb.h"
#include "payrunreports/BankDetails.h"
#include "payrunreports/PeriodRep.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::payrunreports {

// The texts the bank files are made of.
namespace bankfile {

// The digits among the first 25 characters of a stored account number, in
// order: banks take account numbers without the blanks and hyphens people
// key.
std::string accountDigits(std::string_view accountNum);
// The name text without its commas (of its first 55 characters), for files
// whose fields commas would split.
std::string nameWithoutCommas(std::string_view name);
// The fields in order, a separator after each but the last, then CR LF.
std::string fileLine(const std::vector<std::string>& fields, char separator);
// `text` cut to `width` bytes and padded with blanks to it: "%-w.ws".
std::string leftInWidth(std::string_view text, std::size_t width);

// "%0*d": `value` padded with zeros to `width` digits.
std::string zeroPadded(int value, int width);
// A date as "%02d%02d%04d" (day, month, year) with `separator` between the
// parts, or as "%04d%02d%02d" (year, month, day).
std::string dayMonthYear(common::date day, std::string_view separator = {});
std::string yearMonthDay(common::date day);
// An amount as "%.2lf".
std::string amountWithCents(double amount);

// A bank's code text holds the bank code (2 characters), then the branch
// code: "%2.2s" of it, and the rest.
std::string bankCodeOf(std::string_view code);
std::string branchCodeOf(std::string_view code);

} // namespace bankfile

// One employee the file pays: the payment and its bank's code text.
struct Payee {
    const REPORTREC* rec = nullptr;
    BankDetails details;
    std::string code;
    std::string account; // accountDigits of the account number
};

// The base of the bank transfer files: the period's payments to the banks,
// one file in the layout a bank takes for bulk salary credits. A file is
// read and ordered as every pay-run report is, then saved; it has no
// preview.
class BANKFILE : public PERIODREP {
public:
    BANKFILE(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             const common::REPORTPARAM& param);
    ~BANKFILE() override;

    // Checks the organisation's bank data, asks for the file and writes it,
    // leaving out each employee whose bank or account will not do after a
    // message naming him. True when a file was written. The bytes go to a
    // scratch file beside the chosen one that replaces it only when whole,
    // so that a failure leaves an old file of that name as it was.
    bool save(const common::ORGREC& org);

protected:
    struct Dialog {
        const char* title;
        const char* filter;
        const char* extension;
    };
    virtual Dialog dialog() const = 0;
    // False after a message when the organisation's data will not do.
    virtual bool checkOrganisation(const common::ORGREC& org) = 0;
    virtual std::string fileBytes(const common::ORGREC& org) = 0;

    // The employees whose bank and branch are known and whose account has
    // 1 to `maxDigits` digits, in report order; with `tell`, one message
    // for each employee left out.
    std::vector<Payee> payees(std::size_t maxDigits, bool tell);
    // The organisation's account has 1 to `maxDigits` digits; its bank and
    // branch are known, giving `code`. Each tells the user when not.
    bool checkOrgAccount(const common::ORGREC& org, std::size_t maxDigits);
    bool checkOrgBank(const common::ORGREC& org, std::string& code);
    // "%.3s %.*s": the period title's first three characters and the pay
    // field's first `fieldWidth`.
    std::string reference(std::size_t fieldWidth) const;

    void drawBody(common::Canvas&, const common::ReportPage&, double) const override {}

private:
    void refuse(const common::ORGREC& org, std::string_view why);

    database::BANKSDB banks_;
};

} // namespace kelo::payrunreports
