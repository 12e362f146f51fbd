#include "payrunreports/BankTransfer.h"

#include "payrunreports/BankFiles.h"
#include "payrunreports/PeriodDb.h"
#include "payrunreports/PeriodDbEx.h"

namespace kelo::payrunreports {

std::unique_ptr<BANKFILE> newBankFile(common::Ui& ui, engine::Code4& code,
                                      const common::WorkingFolder& folder,
                                      const common::REPORTPARAM& param) {
    switch (param.reportType) {
    case common::kReportStandardCharteredFile:
        return std::make_unique<SCBCSV>(ui, code, folder, param);
    case common::kReportBarclaysFile:
        return std::make_unique<BARCLAYS>(ui, code, folder, param);
    case common::kReportCitibankFile:
        return std::make_unique<CITIDIR>(ui, code, folder, param);
    case common::kReportStanbicFile:
        return std::make_unique<STANBIC>(ui, code, folder, param);
    default:
        return nullptr;
    }
}

bool saveBankTransferFile(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                          const common::REPORTPARAM& param, const common::ORGREC& org,
                          const std::function<void()>& nextFileNumber) {
    const std::unique_ptr<BANKFILE> file = newBankFile(ui, code, folder, param);
    if (!file)
        return false;
    {
        // Not over the save dialog, which must show the user's own cursor.
        const common::WaitCursor wait(ui);
        PERIODDB writer(ui, code, folder);
        PERIODDBEX reader(ui, code, folder);
        // A stale file that cannot be written again is not read: its
        // figures would pay the wrong amounts.
        if (!preparePeriodFile(ui, writer, reader, param, org) || !file->readFile(org))
            return false;
        file->sortByName();
    }
    if (nextFileNumber)
        nextFileNumber();
    return file->save(org);
}

} // namespace kelo::payrunreports
