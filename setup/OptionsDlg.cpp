#include "setup/OptionsDlg.h"

namespace kelo::setup {

void OPTIONSDLG::displayPayOptions(common::DialogView& dialog) {
    const bool opened = openFile();
    dialog.setEnabled(payoptionsdlg::TaxAverage, opened);
    dialog.setChecked(payoptionsdlg::TaxAverage,
                      opened && getValue(database::kPayrollOptionsId, database::kOptionAverage));
    closeFile();
}

bool OPTIONSDLG::getPayOptions(const common::DialogView& dialog) {
    if (!dialog.isEnabled(payoptionsdlg::TaxAverage))
        return true;
    if (!openFile())
        return false;
    const bool stored = setValue(database::kPayrollOptionsId, database::kOptionAverage,
                                 dialog.isChecked(payoptionsdlg::TaxAverage) ? 1 : 0);
    closeFile();
    return stored;
}

} // namespace kelo::setup
