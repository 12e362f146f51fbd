#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/TaggedFile.h"
#include "payrunreports/PeriodRecords.h"

#include <array>
#include <string>
#include <string_view>

namespace kelo::payrunreports {

// The bytes of a period file: the blocks it holds and how each value is
// written. Reports of closed periods read files written years before, so
// the layout is fixed.

inline constexpr std::array<const char*, common::kFieldsTableCount> kDefinitionBlocks{
    "earnings", "deductions", "benefits", "lumpsums", "refunds"};
inline constexpr const char* kHeaderGroup = "header";
inline constexpr const char* kRecordsBlock = "records";
inline constexpr const char* kItemGroup = "item";

// "March 2025", "Week ending 7 March 2025", "Fortnight ending 14 March
// 2025", "Pay period ending 2 March 2025"; `day` is the week's or
// fortnight's end day or the irregular period's number.
std::string periodTitle(common::PAYFREQ payFreq, int day, std::string_view month, int year);
// The organisation's current period of the frequency.
std::string periodTitle(common::PAYFREQ payFreq, const common::ORGREC& org);
// A period as the pay log names it.
std::string periodTitle(common::PAYFREQ payFreq, common::date period);
// A period file's header under `title`, naming the organisation as its
// record now stands.
PeriodHeader periodHeader(std::string title, common::PAYFREQ payFreq, const common::ORGREC& org);
// The file's first comment: "Report file for March 2025", "Report file for
// week ending 7 March 2025" ...
std::string fileTitle(common::PAYFREQ payFreq, const common::ORGREC& org);

// A birth date as the reports print it: "14 Mar 1968", "Mar 1968" when the
// day is not known, "1968" when only the year is; empty without a year.
std::string birthDateText(common::date birthDate);

// The three comments (title, "[orgFolder/path]", empty) and the fileid group.
bool writePreamble(common::TaggedWriter& w, std::string_view title, std::string_view orgFolder,
                   std::string_view path);
bool writeHeader(common::TaggedWriter& w, const PeriodHeader& header);
// The five definition blocks.
bool writeDefinitions(common::TaggedWriter& w, const ReportItemDefs& defs);
// One `item` group of the records block.
bool writeRecord(common::TaggedWriter& w, const REPORTREC& rec);
// The leave balance as the last value of a record holds it.
std::string leaveBalanceText(float days);

// The organisation folder named by the second comment ("[../org01/...]"
// gives "../org01"), given the file's own path; empty when the comment is
// not there.
std::string writtenForFolder(std::string_view fileBytes, std::string_view path);

// Readers, from just after the fileid group on. Each leaves the reader
// after what it read; false for a damaged file.
bool readHeader(common::TaggedReader& r, PeriodHeader& header);
bool readDefinitions(common::TaggedReader& r, ReportItemDefs& defs);
// The next `item` group of the records block; false at the block's end or
// for a damaged record (`damaged` tells which).
bool readRecord(common::TaggedReader& r, const ReportItemDefs& defs, REPORTREC& rec, bool& damaged);

} // namespace kelo::payrunreports
