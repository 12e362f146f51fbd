#pragma once

#include "common/DialogView.h"
#include "database/OptionsDb.h"

namespace kelo::setup {

namespace payoptionsdlg {
// The payroll's own option in the Payroll Options dialog.
inline constexpr const char* TaxAverage = "TaxAverage"; // "Tax average monthly pay"
} // namespace payoptionsdlg

// The open organisation's report and payroll options as the dialogs show
// them. The Payroll Options dialog's "Tax average monthly pay" box lives
// here; the organisation's other payroll options belong to ORGS.
class OPTIONSDLG : public database::OPTIONSDB {
public:
    OPTIONSDLG(engine::Code4& code, const common::WorkingFolder& folder)
        : OPTIONSDB(code, folder) {}

    // The box shows the stored option; it is disabled when the options
    // table cannot be opened, and then nothing is stored.
    void displayPayOptions(common::DialogView& dialog);
    // False when the value could not be stored (another user holds it).
    bool getPayOptions(const common::DialogView& dialog);
};

} // namespace kelo::setup
