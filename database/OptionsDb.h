#pragma once

#include "database/DbTable.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kelo::database {

// The option keys the reports and the payroll read.
inline constexpr std::string_view kOptionSortKey = "Sort Key";
inline constexpr std::string_view kOptionSeparator = "Separator";
inline constexpr std::string_view kOptionDuplicate = "Duplicate";
inline constexpr std::string_view kOptionEmployerPension = "Employer Pension";
inline constexpr std::string_view kOptionPensionBalance = "Pension Balance";
inline constexpr std::string_view kOptionLoanBreakdown = "Loan Breakdown";
inline constexpr std::string_view kOptionLeaveBalance = "Leave Balance";
inline constexpr std::string_view kOptionFooter = "Footer";
inline constexpr std::string_view kOptionBreakdown = "Breakdown";
inline constexpr std::string_view kOptionGrouping = "Grouping";
inline constexpr std::string_view kOptionAverage = "Average";
// Kept under the cash list (61) and read by the coinage summary too: a bit
// per note and coin of the cash list's ten, bit 0 for the largest. No bit of
// the ten (as when the option is absent) stands for all ten, so that a
// table from before the option pays out as it always did.
inline constexpr std::string_view kOptionDenominations = "Denominations";
inline constexpr int kAllDenominations = (1 << 10) - 1;
// The id the payroll's own option ("Average") is kept under.
inline constexpr std::int32_t kPayrollOptionsId = 501;

// One stored option value.
struct OptionValue {
    std::int32_t id = 0;
    std::string_view key;
    int value = 0;
};

// An organisation's report and payroll options (settings/options.dbf):
// integer values addressed by a numeric report id and a key text (keys
// compare without regard to case).
class OPTIONSDB : public DbTable {
public:
    static constexpr const char* kPath = "settings/options.dbf";
    static constexpr const char* kReport = "REPORT";
    static constexpr const char* kOption = "OPTION";
    static constexpr const char* kValue = "VALUE";
    static constexpr const char* kOptionTag = "OPTION";
    static constexpr std::size_t kOptionWidth = 24;

    // The values a new table starts with: every option of every report the
    // options dialogs offer.
    static std::span<const OptionValue> defaults();

    OPTIONSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    // The table passes isValid; nothing is shown.
    bool checkFile() const;
    // Creates the table holding the defaults, announcing it in the status
    // bar; "Can't create settings/options.dbf" on failure. Left closed.
    bool createFile(common::Ui& ui);

    // The value of the option, 0 when the table holds none (or is closed).
    int getValue(std::int32_t id, std::string_view key);
    // Stores the value, adding the option when the table has none; false
    // when the table is closed or another user holds the row, which then
    // keeps its value.
    bool setValue(std::int32_t id, std::string_view key, int value);

private:
    bool seekOption(std::int32_t id, std::string_view key);
};

} // namespace kelo::database
