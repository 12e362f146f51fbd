#pragma once

#include "app/main/DialogContext.h"
#include "common/DialogView.h"

#include <functional>

namespace kelo::app {

// The organisation dialogs over ORGS. Each returns true when the dialog
// ended with OK and its change was made.
enum class OrgListPurpose { Open, Delete };
bool runOrgList(const DialogContext& context, OrgListPurpose purpose);
bool runNewOrg(const DialogContext& context);
bool runBasicInfo(const DialogContext& context);
bool runPayrollInfo(const DialogContext& context);
bool runPayrollOptions(const DialogContext& context);
bool runGeneralOptions(const DialogContext& context);
// Pay Frequency: the payroll the clerk works on.
bool runPayFrequency(const DialogContext& context);
// The Caution dialog before a dangerous procedure: `init` sets its caption
// and text; OK checks the user's password.
bool runCaution(const DialogContext& context, const std::function<void(common::DialogView&)>& init,
                int helpContext);

} // namespace kelo::app
