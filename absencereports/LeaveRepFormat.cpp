#include "absencereports/LeaveRepFormat.h"

#include "common/Money.h"
#include "common/Text.h"
#include "common/WorkingFolder.h"

#include <algorithm>
#include <cstdio>

namespace kelo::absencereports {

using common::TagKind;

namespace {

constexpr const char* kHeaderGroup = "header";
constexpr const char* kMonthsGroup = "months";
constexpr const char* kEmployeesBlock = "employees";
constexpr const char* kEntriesBlock = "entries";
constexpr const char* kItemGroup = "item";

bool readText(common::TaggedReader& r, std::string& out) {
    return r.readValue(out);
}

bool readDate(common::TaggedReader& r, common::date& out) {
    std::string text;
    return r.readValue(text) && parseDateKey(text, out);
}

bool writeEmployee(common::TaggedWriter& w, const LeaveEmployee& e) {
    return w.writeTag(kItemGroup, TagKind::GroupStart, 1) && w.writeValue(e.empNum) &&
           w.writeValue(e.lastName) && w.writeValue(e.otherNames) && w.writeValue(e.unitPath) &&
           w.writeValue(e.stationName) && w.writeValue(e.payGroupName) &&
           w.writeValue(e.bankName) && w.writeValue(common::fixedText(e.leaveEntitlement, 2)) &&
           w.writeInt(e.left ? 1 : 0) && w.writeTag({}, TagKind::GroupEnd);
}

bool writeEntry(common::TaggedWriter& w, const LeaveEntry& e) {
    return w.writeTag(kItemGroup, TagKind::GroupStart, 1) &&
           w.writeInt(static_cast<int>(e.source)) && w.writeInt(e.id) && w.writeValue(e.empNum) &&
           w.writeValue(dateKey(e.fromDate)) && w.writeValue(dateKey(e.toDate)) &&
           w.writeInt(e.kind) && w.writeValue(common::fixedText(e.days, 2)) &&
           w.writeValue(e.reason) && w.writeTag({}, TagKind::GroupEnd);
}

bool readEmployee(common::TaggedReader& r, LeaveEmployee& e) {
    int left = 0;
    if (!readText(r, e.empNum) || !readText(r, e.lastName) || !readText(r, e.otherNames) ||
        !readText(r, e.unitPath) || !readText(r, e.stationName) || !readText(r, e.payGroupName) ||
        !readText(r, e.bankName) || !r.readDouble(e.leaveEntitlement) || !r.readInt(left) ||
        !r.findTag({}, TagKind::GroupEnd))
        return false;
    e.left = left != 0;
    return true;
}

bool readEntry(common::TaggedReader& r, LeaveEntry& e) {
    int source = 0;
    if (!r.readInt(source) || source < 0 || source > static_cast<int>(EntrySource::LeaveEvent))
        return false;
    e.source = static_cast<EntrySource>(source);
    return r.readInt(e.id) && readText(r, e.empNum) && readDate(r, e.fromDate) &&
           readDate(r, e.toDate) && r.readInt(e.kind) && r.readDouble(e.days) &&
           readText(r, e.reason) && r.findTag({}, TagKind::GroupEnd);
}

} // namespace

std::string LeaveEmployee::name() const {
    return otherNames.empty() ? lastName : lastName + ", " + otherNames;
}

bool LeaveYear::hasMonth(int month) const {
    return std::find(months.begin(), months.end(), month) != months.end();
}

const LeaveEmployee* LeaveYear::employee(std::string_view empNum) const {
    const std::string key = common::employeeKey(empNum);
    for (const LeaveEmployee& e : employees) {
        if (common::employeeKey(e.empNum) == key)
            return &e;
    }
    return nullptr;
}

std::string dateKey(common::date day) {
    if (day.year == 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", static_cast<int>(day.year),
                  static_cast<int>(day.month), static_cast<int>(day.day));
    return text;
}

bool parseDateKey(std::string_view text, common::date& day) {
    if (text.empty()) {
        day = {};
        return true;
    }
    if (text.size() != 8 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const auto number = [&](std::size_t from, std::size_t count) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    const int month = number(4, 2);
    const int dayOfMonth = number(6, 2);
    if (month < 1 || month > 12 || dayOfMonth < 1 || dayOfMonth > 31)
        return false;
    day = common::date{number(0, 4), static_cast<std::uint8_t>(dayOfMonth),
                       static_cast<std::uint8_t>(month)};
    return true;
}

bool writeLeaveYear(common::TaggedWriter& w, const LeaveYear& year, std::string_view orgFolder,
                    std::string_view path) {
    bool ok = w.writeComment("Leave report file for " + std::to_string(year.year)) &&
              w.writeComment("[" + common::WorkingFolder::normalise(orgFolder) + "/" +
                             std::string(path) + "]") &&
              w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) &&
              w.writeValue(common::fileKind::LeaveReport) && w.writeValue(path) &&
              w.writeValue(common::expectedVersion(common::fileKind::LeaveReport)) &&
              w.writeTag({}, TagKind::GroupEnd) && w.writeTag(kHeaderGroup, TagKind::GroupStart) &&
              w.writeValue(year.orgName) && w.writeInt(year.year) &&
              w.writeTag({}, TagKind::GroupEnd) && w.writeTag(kMonthsGroup, TagKind::GroupStart);
    for (int month : year.months)
        ok = ok && w.writeInt(month);
    ok =
        ok && w.writeTag({}, TagKind::GroupEnd) && w.writeTag(kEmployeesBlock, TagKind::BlockStart);
    for (const LeaveEmployee& e : year.employees)
        ok = ok && writeEmployee(w, e);
    ok = ok && w.writeTag(kEmployeesBlock, TagKind::BlockEnd) &&
         w.writeTag(kEntriesBlock, TagKind::BlockStart);
    for (const LeaveEntry& e : year.entries)
        ok = ok && writeEntry(w, e);
    return ok && w.writeTag(kEntriesBlock, TagKind::BlockEnd) && w.writeEof();
}

bool readLeaveYear(common::TaggedReader& r, LeaveYear& year) {
    LeaveYear read;
    if (!r.findTag(kHeaderGroup, TagKind::GroupStart) || !readText(r, read.orgName) ||
        !r.readInt(read.year) || !r.findTag({}, TagKind::GroupEnd) ||
        !r.findTag(kMonthsGroup, TagKind::GroupStart))
        return false;
    while (!r.findTag({}, TagKind::GroupEnd)) {
        int month = 0;
        if (!r.readInt(month) || month < 1 || month > 12)
            return false;
        read.months.push_back(month);
    }
    if (!r.findTag(kEmployeesBlock, TagKind::BlockStart))
        return false;
    while (r.findTag(kItemGroup, TagKind::GroupStart)) {
        LeaveEmployee e;
        if (!readEmployee(r, e))
            return false;
        read.employees.push_back(std::move(e));
    }
    if (!r.findTag(kEmployeesBlock, TagKind::BlockEnd) ||
        !r.findTag(kEntriesBlock, TagKind::BlockStart))
        return false;
    while (r.findTag(kItemGroup, TagKind::GroupStart)) {
        LeaveEntry e;
        if (!readEntry(r, e))
            return false;
        read.entries.push_back(std::move(e));
    }
    if (!r.findTag(kEntriesBlock, TagKind::BlockEnd))
        return false;
    year = std::move(read);
    return true;
}

} // namespace kelo::absencereports
