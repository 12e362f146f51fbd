#pragma once

#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "procedures/EmpNumChange.h"

namespace kelo::procedures {

// Gives the employee the new number in the personnel file (his own row and
// every row naming him as supervisor), in the transactions table of
// `change.payFreq` and in the absence and leave tables, under whole-table
// locks on all four taken at once. A table another user holds is named and
// nothing changes; should a write fail half way, what was written is put
// back. The employee must be in the personnel file and the new number in
// nobody's use; no transactions, absence or leave rows is no failure.
// Failures are told to `ui`; automatic unlocking is left as it was.
bool renumberEmployeeFiles(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::EMPNUMREC& change);

// The number change's calls on the program's files.
class LiveEmpNumStores final : public EmpNumStores {
public:
    // `ui` is the window's and the status bar's.
    LiveEmpNumStores(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder);

    bool checkFiles() override;
    bool findEmployee(const std::string& empNum, std::optional<EmpNumEmployee>& found) override;
    bool renumberEmployeeFiles(const common::EMPNUMREC& change) override;
    bool renumberMonthReturns(const common::EMPNUMREC& change, const common::ORGREC& org) override;
    bool renumberAnnualReturns(const common::EMPNUMREC& change, const common::ORGREC& org) override;
    bool renumberTaxReports(const common::EMPNUMREC& change, const common::ORGREC& org) override;
    bool renumberYearToDate(const common::EMPNUMREC& change, const common::ORGREC& org) override;
    bool renumberLeaveReports(const common::EMPNUMREC& change, const common::ORGREC& org) override;
    bool renumberFormerEmployees(const common::EMPNUMREC& change,
                                 const common::ORGREC& org) override;

private:
    common::Ui& ui_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

} // namespace kelo::procedures
