#include "procedures/RecoveryMarker.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <map>
#include <utility>
#include <vector>

namespace kelo::procedures {

namespace {

using common::ORGREC;

constexpr const char* kFirstLine = "Kelo Roster month end under way";
constexpr const char* kLastLine = "end";
constexpr const char* kStatutoryFolder = "newStatutoryFolder";
constexpr const char* kStatutoryExisted = "statutoryFolderExisted";
constexpr const char* kStatutoryFiles = "statutoryFiles"; // names separated by '|'
constexpr const char* kClosing = "closing"; // "period" for a period end; older markers lack it

const std::array<std::pair<const char*, std::string ORGREC::*>, 14> kTexts{{
    {"name", &ORGREC::name},
    {"itNum", &ORGREC::itNum},
    {"nssfNum", &ORGREC::nssfNum},
    {"regionalCode", &ORGREC::regionalCode},
    {"poBox", &ORGREC::poBox},
    {"town", &ORGREC::town},
    {"postCode", &ORGREC::postCode},
    {"telephone", &ORGREC::telephone},
    {"folder", &ORGREC::folder},
    {"month", &ORGREC::month},
    {"bankName", &ORGREC::bankName},
    {"branchName", &ORGREC::branchName},
    {"accountNum", &ORGREC::accountNum},
    {"sfiSenderId", &ORGREC::sfiSenderId},
}};

const std::array<std::pair<const char*, std::int32_t ORGREC::*>, 10> kNumbers{{
    {"orgNum", &ORGREC::orgNum},
    {"weekEndDay", &ORGREC::weekEndDay},
    {"fortnightEndDay", &ORGREC::fortnightEndDay},
    {"irregEndDay", &ORGREC::irregEndDay},
    {"year", &ORGREC::year},
    {"fiscalYear", &ORGREC::fiscalYear},
    {"bTrFileID", &ORGREC::bTrFileID},
    {"formSortKey", &ORGREC::formSortKey},
    {"purgeAge", &ORGREC::purgeAge},
    {"roundingUnit", &ORGREC::roundingUnit},
}};

const std::array<std::pair<const char*, int ORGREC::*>, 7> kFlags{{
    {"monthEditable", &ORGREC::monthEditable},
    {"weekEndEditable", &ORGREC::weekEndEditable},
    {"fortnightEndEditable", &ORGREC::fortnightEndEditable},
    {"purgeReports", &ORGREC::purgeReports},
    {"taxEmployerPension", &ORGREC::taxEmployerPension},
    {"paySdl", &ORGREC::paySdl},
    {"roundNetPay", &ORGREC::roundNetPay},
}};

// Record texts never hold a line break; one would end the line early.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

bool readNumber(const std::string& text, long& value) {
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end;
}

using Values = std::map<std::string, std::string>;

bool readAll(const std::string& path, Values& values) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kFirstLine)
        return false;
    while (std::getline(in, line)) {
        if (line == kLastLine)
            return true;
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            return false;
        values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return false; // cut short
}

template <typename T> bool takeNumber(const Values& values, const char* name, T& field) {
    const auto it = values.find(name);
    long value = 0;
    if (it == values.end() || !readNumber(it->second, value))
        return false;
    field = static_cast<T>(value);
    return true;
}

bool takeRecord(const Values& values, ORGREC& org) {
    for (const auto& [name, field] : kTexts) {
        const auto it = values.find(name);
        if (it == values.end())
            return false;
        org.*field = it->second;
    }
    bool ok = takeNumber(values, "payFreq", org.payFreq);
    for (const auto& [name, field] : kNumbers)
        ok = ok && takeNumber(values, name, org.*field);
    for (const auto& [name, field] : kFlags)
        ok = ok && takeNumber(values, name, org.*field);
    return ok;
}

std::vector<std::string> splitNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t bar = std::min(text.find('|', start), text.size());
        names.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    return names;
}

} // namespace

std::string writeMarker(const RecoveryPoint::Marker& marker) {
    std::string text = std::string(kFirstLine) + "\n";
    const auto line = [&text](const std::string& name, const std::string& value) {
        text += name + "=" + oneLine(value) + "\n";
    };
    for (const auto& [name, field] : kTexts)
        line(name, marker.org.*field);
    line("payFreq", std::to_string(marker.org.payFreq));
    for (const auto& [name, field] : kNumbers)
        line(name, std::to_string(marker.org.*field));
    for (const auto& [name, field] : kFlags)
        line(name, std::to_string(marker.org.*field));
    line(kStatutoryFolder, marker.newStatutoryFolder);
    line(kStatutoryExisted, marker.statutoryFolderExisted ? "1" : "0");
    std::string names;
    for (const std::string& name : marker.statutoryFiles)
        names += (names.empty() ? "" : "|") + name;
    line(kStatutoryFiles, names);
    line(kClosing, marker.periodEnd ? "period" : "month");
    return text + kLastLine + "\n";
}

std::optional<RecoveryPoint::Marker> readMarker(const std::string& path) {
    Values values;
    RecoveryPoint::Marker marker;
    int existed = 1;
    if (!readAll(path, values) || !takeRecord(values, marker.org) ||
        !takeNumber(values, kStatutoryExisted, existed) || !values.count(kStatutoryFolder))
        return std::nullopt;
    marker.newStatutoryFolder = values.at(kStatutoryFolder);
    marker.statutoryFolderExisted = existed != 0;
    marker.statutoryFiles = splitNames(values[kStatutoryFiles]);
    marker.periodEnd = values[kClosing] == "period";
    return marker;
}

} // namespace kelo::procedures
