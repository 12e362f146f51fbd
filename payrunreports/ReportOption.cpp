#include "payrunreports/ReportOption.h"

#include "common/ReportRecords.h"
#include "database/OptionsDb.h"

namespace kelo::payrunreports {

int reportOption(engine::Code4& code, const common::WorkingFolder& folder, std::int32_t id,
                 std::string_view key) {
    database::OPTIONSDB options(code, folder);
    if (!options.openFile())
        return 0;
    const int value = options.getValue(id, key);
    options.closeFile();
    return value;
}

Denominations paidDenominations(engine::Code4& code, const common::WorkingFolder& folder) {
    return chosenDenominations(
        reportOption(code, folder, common::kReportCashList, database::kOptionDenominations));
}

} // namespace kelo::payrunreports
