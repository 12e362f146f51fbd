#include "database/OrgDb.h"

#include "common/Text.h"

namespace kelo::database {

namespace {

using W = common::OrgWidths;

unsigned width(std::size_t characters) {
    return static_cast<unsigned>(characters);
}

// Numeric column widths: days and small codes, years, and counters.
constexpr unsigned kSmall = 4;
constexpr unsigned kYear = 4;
constexpr unsigned kCounter = 11;

} // namespace

ORGDB::ORGDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema ORGDB::schema() const {
    return {{
                {"NAME", 'C', width(W::kNameWidth), 0},
                {"ITNUM", 'C', width(W::kItNumWidth), 0},
                {"NSSFNUM", 'C', width(W::kNssfNumWidth), 0},
                {"REGCODE", 'C', width(W::kRegionalCodeWidth), 0},
                {"POBOX", 'C', width(W::kPoBoxWidth), 0},
                {"TOWN", 'C', width(W::kTownWidth), 0},
                {"POSTCODE", 'C', width(W::kPostCodeWidth), 0},
                {"TELEPHONE", 'C', width(W::kTelephoneWidth), 0},
                {"FOLDER", 'C', width(W::kFolderWidth), 0},
                {"WEEKEND", 'N', kSmall, 0},
                {"FORTEND", 'N', kSmall, 0},
                {"IRREGEND", 'N', kSmall, 0},
                {"MONTH", 'C', width(W::kMonthWidth), 0},
                {"YEAR", 'N', kYear, 0},
                {"FISCALYEAR", 'N', kYear, 0},
                {"MONTHEDIT", 'L', 1, 0},
                {"WEEKEDIT", 'L', 1, 0},
                {"FORTEDIT", 'L', 1, 0},
                {"BANKNAME", 'C', width(W::kBankNameWidth), 0},
                {"BRANCHNAME", 'C', width(W::kBranchNameWidth), 0},
                {"ACCOUNTNUM", 'C', width(W::kAccountNumWidth), 0},
                {"SFISENDER", 'C', width(W::kSfiSenderIdWidth), 0},
                {"BTRFILEID", 'N', kCounter, 0},
                {"PAYFREQ", 'N', kSmall, 0},
                {"SORTKEY", 'N', kSmall, 0},
                {"PURGEREP", 'L', 1, 0},
                {"PURGEAGE", 'N', kSmall, 0},
                {"TAXEMPPEN", 'L', 1, 0},
                {"PAYSDL", 'L', 1, 0},
                {"ROUNDNET", 'L', 1, 0},
                {"ROUNDUNIT", 'N', kCounter, 0},
            },
            {{kNameTag, "UPPER(NAME)", "", false, false}}};
}

bool ORGDB::findByName(std::string_view name) const {
    if (!orderByName())
        return false;
    std::string key = common::toUpper(common::trim(name));
    key.resize(W::kNameWidth, ' ');
    const bool found = data()->seek(key) == engine::r4success;
    code().setErrorCode(0);
    return found;
}

std::int32_t ORGDB::orgCount() const {
    return data() ? static_cast<std::int32_t>(data()->recCount()) : 0;
}

void ORGDB::loadRec(common::ORGREC& org) const {
    const auto text = [&](const char* name) { return field(name).trimmed(); };
    const auto number = [&](const char* name) {
        return static_cast<std::int32_t>(field(name).getLong());
    };
    const auto flag = [&](const char* name) { return field(name).getLogical() ? 1 : 0; };
    org.orgNum = static_cast<std::int32_t>(data()->recNo());
    org.name = text("NAME");
    org.itNum = text("ITNUM");
    org.nssfNum = text("NSSFNUM");
    org.regionalCode = text("REGCODE");
    org.poBox = text("POBOX");
    org.town = text("TOWN");
    org.postCode = text("POSTCODE");
    org.telephone = text("TELEPHONE");
    org.folder = text("FOLDER");
    org.weekEndDay = number("WEEKEND");
    org.fortnightEndDay = number("FORTEND");
    org.irregEndDay = number("IRREGEND");
    org.month = text("MONTH");
    org.year = number("YEAR");
    org.fiscalYear = number("FISCALYEAR");
    org.monthEditable = flag("MONTHEDIT");
    org.weekEndEditable = flag("WEEKEDIT");
    org.fortnightEndEditable = flag("FORTEDIT");
    org.bankName = text("BANKNAME");
    org.branchName = text("BRANCHNAME");
    org.accountNum = text("ACCOUNTNUM");
    org.sfiSenderId = text("SFISENDER");
    org.bTrFileID = number("BTRFILEID");
    const std::int32_t payFreq = number("PAYFREQ");
    org.payFreq =
        common::isValidPayFreq(payFreq) ? static_cast<common::PAYFREQ>(payFreq) : common::MONTHLY;
    org.formSortKey = number("SORTKEY");
    org.purgeReports = flag("PURGEREP");
    org.purgeAge = number("PURGEAGE");
    org.taxEmployerPension = flag("TAXEMPPEN");
    org.paySdl = flag("PAYSDL");
    org.roundNetPay = flag("ROUNDNET");
    org.roundingUnit = number("ROUNDUNIT");
}

void ORGDB::storeRec(const common::ORGREC& org) const {
    const auto text = [&](const char* name, const std::string& value) {
        field(name).assign(value);
    };
    const auto number = [&](const char* name, long value) { field(name).assignLong(value); };
    const auto flag = [&](const char* name, int value) { field(name).assignLogical(value != 0); };
    text("NAME", org.name);
    text("ITNUM", org.itNum);
    text("NSSFNUM", org.nssfNum);
    text("REGCODE", org.regionalCode);
    text("POBOX", org.poBox);
    text("TOWN", org.town);
    text("POSTCODE", org.postCode);
    text("TELEPHONE", org.telephone);
    text("FOLDER", org.folder);
    number("WEEKEND", org.weekEndDay);
    number("FORTEND", org.fortnightEndDay);
    number("IRREGEND", org.irregEndDay);
    text("MONTH", org.month);
    number("YEAR", org.year);
    number("FISCALYEAR", org.fiscalYear);
    flag("MONTHEDIT", org.monthEditable);
    flag("WEEKEDIT", org.weekEndEditable);
    flag("FORTEDIT", org.fortnightEndEditable);
    text("BANKNAME", org.bankName);
    text("BRANCHNAME", org.branchName);
    text("ACCOUNTNUM", org.accountNum);
    text("SFISENDER", org.sfiSenderId);
    number("BTRFILEID", org.bTrFileID);
    number("PAYFREQ", org.payFreq);
    number("SORTKEY", org.formSortKey);
    flag("PURGEREP", org.purgeReports);
    number("PURGEAGE", org.purgeAge);
    flag("TAXEMPPEN", org.taxEmployerPension);
    flag("PAYSDL", org.paySdl);
    flag("ROUNDNET", org.roundNetPay);
    number("ROUNDUNIT", org.roundingUnit);
}

} // namespace kelo::database
