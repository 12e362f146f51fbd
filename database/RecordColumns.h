#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Text.h"
#include "engine/Data4.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Binds the members of an in-memory record to the columns of its table, so
// that a table class lists each column once (name, type, width, member) and
// reads and writes every column the same way.
namespace kelo::database::columns {

using common::fitText;

// Dates are stored as "YYYYMMDD" (blank for no date); a part not given is 00.
inline std::string dateText(const common::date& d) {
    if (d.year == 0)
        return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", static_cast<int>(d.year),
                  static_cast<int>(d.month), static_cast<int>(d.day));
    return buffer;
}

inline common::date parseDate(std::string_view text) {
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return {};
    const auto number = [&](std::size_t pos, std::size_t count) {
        int value = 0;
        for (std::size_t i = pos; i < pos + count; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    const int month = number(4, 2);
    const int day = number(6, 2);
    if (month > 12 || day > 31)
        return {};
    return {number(0, 4), static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

inline void put(engine::Field4& f, const std::string& value) {
    f.assign(fitText(value, f.length()));
}
inline void put(engine::Field4& f, int value) {
    f.assignLong(value);
}
inline void put(engine::Field4& f, double value) {
    f.assignDouble(value);
}
inline void put(engine::Field4& f, float value) {
    f.assignDouble(static_cast<double>(value));
}
inline void put(engine::Field4& f, common::PAYFREQ value) {
    f.assignLong(value);
}
inline void put(engine::Field4& f, const common::date& value) {
    f.assign(dateText(value));
}

inline void get(const engine::Field4& f, std::string& value) {
    value = f.trimmed();
}
inline void get(const engine::Field4& f, int& value) {
    value = static_cast<int>(f.getLong());
}
inline void get(const engine::Field4& f, double& value) {
    value = f.getDouble();
}
inline void get(const engine::Field4& f, float& value) {
    value = static_cast<float>(f.getDouble());
}
inline void get(const engine::Field4& f, common::PAYFREQ& value) {
    value = static_cast<common::PAYFREQ>(f.getLong());
}
inline void get(const engine::Field4& f, common::date& value) {
    value = parseDate(f.trimmed());
}

// One column of a record's table and how its member is written and read.
template <class Rec> struct Column {
    engine::Field4Info info;
    void (*store)(engine::Field4&, const Rec&);
    void (*load)(const engine::Field4&, Rec&);
};

template <class Rec, auto Member>
Column<Rec> column(const char* name, char type, unsigned length = 0, unsigned decimals = 0) {
    return {{name, type, length, decimals},
            [](engine::Field4& f, const Rec& r) { put(f, r.*Member); },
            [](const engine::Field4& f, Rec& r) { get(f, r.*Member); }};
}

// Element `I` of an array member.
template <class Rec, auto Member, std::size_t I>
Column<Rec> element(const char* name, char type, unsigned length = 0, unsigned decimals = 0) {
    return {{name, type, length, decimals},
            [](engine::Field4& f, const Rec& r) { put(f, (r.*Member)[I]); },
            [](const engine::Field4& f, Rec& r) { get(f, (r.*Member)[I]); }};
}

// The usual column kinds.
template <class Rec, auto Member> Column<Rec> text(const char* name, std::size_t width) {
    return column<Rec, Member>(name, 'C', static_cast<unsigned>(width));
}
template <class Rec, auto Member> Column<Rec> flag(const char* name) {
    return column<Rec, Member>(name, 'L', 1);
}
template <class Rec, auto Member> Column<Rec> integer(const char* name) {
    return column<Rec, Member>(name, 'I', 4);
}
// Shillings.
template <class Rec, auto Member> Column<Rec> money(const char* name) {
    return column<Rec, Member>(name, 'B', 8, 2);
}
// Hours, days and percentages (floats), to two decimals.
template <class Rec, auto Member> Column<Rec> decimal(const char* name) {
    return column<Rec, Member>(name, 'F', 8, 2);
}
template <class Rec, auto Member> Column<Rec> dateColumn(const char* name) {
    return column<Rec, Member>(name, 'D', 8);
}

// The column `name` of `table`, looked for first at `position` (1-based),
// where the table's schema puts it: a table of another column order is still
// read by name. nullptr when the table has no such column.
inline engine::Field4* columnAt(const engine::Data4& table, int position, std::string_view name) {
    engine::Field4* f = table.field(position);
    if (f && (f->name() == name || common::equalsIgnoreCase(f->name(), name)))
        return f;
    return table.field(name);
}

// Writes (or reads) every listed column of the current record, the first
// expected at `firstPosition`; false when the table lacks one of them.
template <class Rec>
bool storeAll(engine::Data4& table, const std::vector<Column<Rec>>& list, const Rec& rec,
              int firstPosition = 1) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        engine::Field4* f = columnAt(table, firstPosition + static_cast<int>(i), list[i].info.name);
        if (!f)
            return false;
        list[i].store(*f, rec);
    }
    return true;
}

template <class Rec>
bool loadAll(const engine::Data4& table, const std::vector<Column<Rec>>& list, Rec& rec,
             int firstPosition = 1) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        const engine::Field4* f =
            columnAt(table, firstPosition + static_cast<int>(i), list[i].info.name);
        if (!f)
            return false;
        list[i].load(*f, rec);
    }
    return true;
}

} // namespace kelo::database::columns
