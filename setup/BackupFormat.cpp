#include "setup/BackupFormat.h"

#include <charconv>
#include <cstdint>
#include <system_error>
#include <type_traits>
#include <utility>

namespace kelo::setup::backupformat {

namespace {
std::string number(std::int64_t value) {
    return std::to_string(value);
}
} // namespace

std::vector<std::string> orgValues(const common::ORGREC& org) {
    return {number(org.orgNum),
            org.name,
            org.itNum,
            org.nssfNum,
            org.regionalCode,
            org.poBox,
            org.town,
            org.postCode,
            org.telephone,
            org.folder,
            number(org.weekEndDay),
            number(org.fortnightEndDay),
            number(org.irregEndDay),
            org.month,
            number(org.year),
            number(org.fiscalYear),
            number(static_cast<unsigned>(org.monthEditable)),
            number(static_cast<unsigned>(org.weekEndEditable)),
            number(static_cast<unsigned>(org.fortnightEndEditable)),
            org.bankName,
            org.branchName,
            org.accountNum,
            org.sfiSenderId,
            number(org.bTrFileID),
            number(org.payFreq),
            number(org.formSortKey),
            number(org.purgeReports),
            number(org.purgeAge),
            number(org.taxEmployerPension),
            number(org.paySdl),
            number(org.roundNetPay),
            number(org.roundingUnit)};
}

bool orgFromValues(const std::vector<std::string>& values, common::ORGREC& org) {
    if (values.size() != kOrgValueCount)
        return false;
    common::ORGREC read;
    std::size_t next = 0;
    bool ok = true;
    const auto text = [&](std::string& out) { out = values[next++]; };
    const auto whole = [&](auto& out) {
        int value = 0;
        ok = parseInt(values[next++], value) && ok;
        out = static_cast<std::remove_reference_t<decltype(out)>>(value);
    };
    whole(read.orgNum);
    text(read.name);
    text(read.itNum);
    text(read.nssfNum);
    text(read.regionalCode);
    text(read.poBox);
    text(read.town);
    text(read.postCode);
    text(read.telephone);
    text(read.folder);
    whole(read.weekEndDay);
    whole(read.fortnightEndDay);
    whole(read.irregEndDay);
    text(read.month);
    whole(read.year);
    whole(read.fiscalYear);
    whole(read.monthEditable);
    whole(read.weekEndEditable);
    whole(read.fortnightEndEditable);
    text(read.bankName);
    text(read.branchName);
    text(read.accountNum);
    text(read.sfiSenderId);
    whole(read.bTrFileID);
    int payFreq = 0;
    whole(payFreq);
    whole(read.formSortKey);
    whole(read.purgeReports);
    whole(read.purgeAge);
    whole(read.taxEmployerPension);
    whole(read.paySdl);
    whole(read.roundNetPay);
    whole(read.roundingUnit);
    // Every other part of the program relies on a known frequency.
    if (!ok || !common::isValidPayFreq(payFreq))
        return false;
    read.payFreq = static_cast<common::PAYFREQ>(payFreq);
    org = std::move(read);
    return true;
}

std::string storedPath(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '/')
            c = '\\';
    }
    return out;
}

bool isSafeRelativePath(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.front() == '\\' ||
        path.find(':') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find_first_of("/\\", start);
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
    }
}

std::string_view trimBlanks(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(' ');
    return text.substr(start, end - start + 1);
}

namespace {
template <typename Number> bool parseNumber(std::string_view text, Number& out) {
    const auto start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return false;
    const auto end = text.find_last_not_of(" \t");
    const std::string_view digits = text.substr(start, end - start + 1);
    // from_chars takes no leading '+', which printf-style readers accept.
    const std::string_view magnitude = digits.front() == '+' ? digits.substr(1) : digits;
    Number value{};
    const auto result =
        std::from_chars(magnitude.data(), magnitude.data() + magnitude.size(), value);
    if (result.ec != std::errc() || result.ptr != magnitude.data() + magnitude.size())
        return false;
    out = value;
    return true;
}
} // namespace

bool parseInt(std::string_view text, int& out) {
    return parseNumber(text, out);
}

bool parseDouble(std::string_view text, double& out) {
    return parseNumber(text, out);
}

} // namespace kelo::setup::backupformat
