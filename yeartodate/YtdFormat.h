#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/TaggedFile.h"
#include "database/PayFieldsFile.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::yeartodate {

// The year-to-date file: for every employee paid in the calendar year, each
// pay item's amount month by month. Month ends of past years wrote the files
// the pay summary still reads, so the layout is fixed.

inline constexpr std::size_t kMonths = 12;
inline constexpr std::size_t kFixedRows = 16;

inline constexpr const char* kHeaderGroup = "header";
inline constexpr const char* kItemGroup = "item";
inline constexpr const char* kEmployeeBlock = "YTD";
inline constexpr std::array<const char*, common::kFieldsTableCount> kNameBlocks{
    "earnings", "deductions", "benefits", "lumpsums", "refunds"};

// The fixed rows by number less one. The file writes rows 1 to 8, the five
// lists' rows, then rows 9 to 16.
enum FixedRow : std::size_t {
    kBasicPayRow,
    kOvertimeRow,
    kRentRow,
    kOverdraftRecoveryRow,
    kRoundingCFRow,
    kHousingBenefitRow,
    kLumpSumTaxRow,
    kRoundingBFRow,
    kPayeRow,
    kNssfRow,
    kTotalPaymentsRow,
    kTotalDeductionsRow,
    kTotalBenefitsRow,
    kOverdraftRow,
    kNetPayRow,
    kChargeablePayRow,
};
inline constexpr std::size_t kRowsBeforeLists = kPayeRow;

struct YtdRow {
    int flag = 0; // shown on the pay summary
    std::array<double, kMonths> amounts{};
    friend bool operator==(const YtdRow&, const YtdRow&) = default;
};

struct YtdNamedRow {
    std::string name;
    YtdRow row;
    friend bool operator==(const YtdNamedRow&, const YtdNamedRow&) = default;
};

// The pay items' names of the five lists, in the order the rows follow.
using YtdNames = std::array<std::vector<std::string>, common::kFieldsTableCount>;

// One employee's year.
struct YTDREC {
    std::string empNum, lastName, otherNames, jobTitle, unitPath, stationName;
    common::PAYFREQ payFreq = common::MONTHLY;
    std::array<int, kMonths> monthFlags{}; // paid in that month, January first
    std::array<YtdRow, kFixedRows> rows;
    std::array<std::vector<YtdNamedRow>, common::kFieldsTableCount> lists;
    friend bool operator==(const YTDREC&, const YTDREC&) = default;
};

// The file's header group.
struct YtdHeader {
    std::string yearText;
    std::string orgName;
};

// A new year: rows 1, 11, 15 and 16 shown, one empty list row per name.
YTDREC newYtdRec(const YtdNames& names);
// The list rows laid out as `names`: rows carried over by name (ignoring
// case), a row for each new name unshown and empty.
void fitLists(YTDREC& rec, const YtdNames& names);
// Adds a computed transactions record's amounts into month `month` (0 for
// January) and sets the flags they call for.
void addMonth(YTDREC& rec, const common::VARIATIONSREC& pay, std::size_t month);

// The names opening amounts are keyed by: a fixed row's (the pay
// summary's captions, and names for the rows it leaves uncaptioned), in row
// order.
const std::array<const char*, kFixedRows>& fixedRowNames();
// The spelling of `field` (ignoring case) among the fixed rows' names, then
// the lists'; none when no row has that name.
std::optional<std::string> fieldNamed(const YtdNames& names, std::string_view field);
// An amount paid before the store was kept: the month's amount of the row
// named `field` becomes `amount` (not added, so a corrected file can be
// imported again), the month counts as paid and the rows are shown as a
// month end would show them. False when no row has that name.
bool setMonthAmount(YTDREC& rec, std::string_view field, std::size_t month, double amount);

// The frequency's definitions merged into the lists: a name already there
// (ignoring case) takes the definition's spelling, a new one is appended;
// names of items since removed stay. Basic pay, overtime and rent are fixed
// rows, not list rows.
void mergeNames(YtdNames& names, const database::PayFieldTables& definitions);

// Employee numbers in the file's order: upper case, as the personnel
// file's index orders them.
bool empNumBefore(std::string_view a, std::string_view b);

// The comments ("YTD report file for %d", "[orgFolder/path]", empty) and
// the fileid group.
bool writePreamble(common::TaggedWriter& w, int year, std::string_view orgFolder,
                   std::string_view path);
bool writeHeader(common::TaggedWriter& w, const YtdHeader& header);
bool writeNames(common::TaggedWriter& w, const YtdNames& names);
bool writeBlock(common::TaggedWriter& w, const YTDREC& rec);

// Readers, from just after the fileid group on; each leaves the reader after
// what it read and answers false for a damaged file.
bool readHeader(common::TaggedReader& r, YtdHeader& header);
bool readNames(common::TaggedReader& r, YtdNames& names);
// The next employee block, its list rows named by `names`; false at the end
// of the blocks or for a damaged block (`damaged` tells which).
bool readBlock(common::TaggedReader& r, const YtdNames& names, YTDREC& rec, bool& damaged);

} // namespace kelo::yeartodate
