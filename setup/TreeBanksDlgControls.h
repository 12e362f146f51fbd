#pragma once

// Control names of "Banks and Branches" (BANKSDLG) and its "Bank Properties"
// and "Branch Properties" dialogs. A Qt dialog is laid out from them: each
// constant is the object name of one control, the comment says what it is
// and its label.

namespace kelo::setup {

namespace banksdlg {
inline constexpr const char* Tree = "BankTree";         // tree view: banks, their branches beneath
inline constexpr const char* AddBank = "AddBankButton"; // "&Add Bank..."
inline constexpr const char* AddBranch = "AddBranchButton";   // "Add &Branch..."
inline constexpr const char* Delete = "DeleteButton";         // "&Delete"
inline constexpr const char* Properties = "PropertiesButton"; // "&Properties..."
inline constexpr const char* Close = "CloseButton";           // "&Close"
// Milliseconds between two refreshDlg calls while the dialog is open.
inline constexpr int RefreshInterval = 5000;
} // namespace banksdlg

// "Bank Properties" and "Branch Properties".
namespace bankprptsdlg {
inline constexpr const char* Name = "Name"; // edit "Name", 24 characters
inline constexpr const char* Code = "Code"; // edit "Code", 2 (bank) or 3 (branch) characters
} // namespace bankprptsdlg

} // namespace kelo::setup
