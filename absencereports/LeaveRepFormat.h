#pragma once

#include "absencereports/LeaveRepRecords.h"
#include "common/TaggedFile.h"

#include <string>
#include <string_view>

namespace kelo::absencereports {

// The bytes of a leave report file ("Leave Report"): the organisation and
// year, the months it holds, the employees and the entries. Files of past
// years are read long after they were written, so the layout is fixed.

// "20250314"; empty for a blank date.
std::string dateKey(common::date day);
// The reverse; false for a text that is neither empty nor eight digits.
bool parseDateKey(std::string_view text, common::date& day);

// The three comments ("Leave report file for 2025", "[orgFolder/path]",
// empty), the fileid group, then the whole year and the end mark.
bool writeLeaveYear(common::TaggedWriter& w, const LeaveYear& year, std::string_view orgFolder,
                    std::string_view path);
// From just after the fileid group; false for a damaged file.
bool readLeaveYear(common::TaggedReader& r, LeaveYear& year);

} // namespace kelo::absencereports
