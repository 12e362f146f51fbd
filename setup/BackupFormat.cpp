#include "setup/BackupFormat.h"

#include "common/Calendar.h"
#include "common/TaggedFile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <openssl/evp.h>
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

namespace {

bool allDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool dateFits(std::string_view value) {
    if (value.empty())
        return true;
    if (value.size() != 8 || !allDigits(value))
        return false;
    const auto number = [&](std::size_t at, std::size_t count) {
        int out = 0;
        for (std::size_t i = at; i < at + count; ++i)
            out = out * 10 + (value[i] - '0');
        return out;
    };
    const int year = number(0, 4);
    const int month = number(4, 2);
    const int day = number(6, 2);
    if (month > 12 || day > 31)
        return false;
    return month == 0 || day == 0 || day <= common::daysInMonth(month, year);
}

bool numberFits(const engine::Field4Info& field, std::string_view value) {
    // Blank, or the xBase mark a table keeps for a value that was too wide.
    if (value.empty() || (field.type == 'N' && value.size() == field.length &&
                          value.find_first_not_of('*') == std::string_view::npos))
        return true;
    double number = 0;
    if (!parseDouble(value, number) || !std::isfinite(number))
        return false;
    return engine::formatFixed(number, field.decimals).size() <= field.length;
}

} // namespace

bool valueFits(const engine::Field4Info& field, std::string_view value) {
    int whole = 0;
    double real = 0;
    switch (field.type) {
    case 'C':
        return value.size() <= field.length;
    case 'N':
    case 'F':
        return numberFits(field, value);
    case 'I':
        return parseInt(value, whole);
    case 'B':
        return parseDouble(value, real);
    case 'L':
        return value.empty() ||
               (value.size() == 1 &&
                std::string_view("TFYNtfyn?").find(value[0]) != std::string_view::npos);
    case 'D':
        return dateFits(value);
    case 'M':
    case 'X':
        return true;
    default:
        return value.size() <= field.length;
    }
}

namespace {

constexpr std::size_t kHexDigits = 64;

struct DigestFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Digest = std::unique_ptr<EVP_MD_CTX, DigestFree>;

Digest startDigest() {
    Digest context(EVP_MD_CTX_new());
    if (context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        context.reset();
    return context;
}

std::string finishDigest(const Digest& context) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1)
        return {};
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(digits[digest[i] >> 4]);
        hex.push_back(digits[digest[i] & 0xF]);
    }
    return hex;
}

} // namespace

std::string sha256Hex(std::string_view bytes) {
    const Digest context = startDigest();
    if (!context || EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1)
        return {};
    return finishDigest(context);
}

std::string fileSha256Hex(const std::string& path) {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    const Digest context = startDigest();
    if (!file || !context)
        return {};
    std::array<char, 65536> chunk{};
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        if (got > 0 && EVP_DigestUpdate(context.get(), chunk.data(), got) != 1)
            return {};
        if (got < chunk.size())
            break;
    }
    if (std::ferror(file.get()))
        return {};
    return finishDigest(context);
}

Seal checkSeal(std::string_view disk) {
    std::string_view body;
    for (const std::string_view end : {"\\eof{}\n", "\\eos{}\n", "\\eof{}\r\n", "\\eos{}\r\n"}) {
        if (disk.ends_with(end)) {
            body = disk.substr(0, disk.size() - end.size());
            break;
        }
    }
    if (body.empty())
        return Seal::Broken;
    if (body.ends_with("\\end{file}\n") || body.ends_with("\\end{file}\r\n"))
        return Seal::Missing;
    const std::string open = std::string("\\") + Checksum + "{";
    const std::string_view close("\0}\n", 3);
    const std::size_t groupSize = open.size() + kHexDigits + close.size();
    if (body.size() < groupSize)
        return Seal::Broken;
    const std::size_t at = body.size() - groupSize;
    const std::string_view group = body.substr(at);
    if (!group.starts_with(open) || !group.ends_with(close))
        return Seal::Broken;
    const std::string written = common::unscramble(group.substr(open.size(), kHexDigits));
    const std::string actual = sha256Hex(body.substr(0, at));
    return !actual.empty() && actual == written ? Seal::Valid : Seal::Broken;
}

} // namespace kelo::setup::backupformat
