#pragma once

// Control names of "Administrative Units" (UNITSDLG) and its "Unit
// Properties" dialogs. A Qt dialog is laid out from them: each constant is
// the object name of one control, the comment says what it is and its label.

namespace kelo::setup {

namespace unitsdlg {
inline constexpr const char* Tree = "UnitTree";       // tree view: units, codes as item codes
inline constexpr const char* Add = "AddButton";       // "&Add"
inline constexpr const char* Delete = "DeleteButton"; // "&Delete"
inline constexpr const char* Properties = "PropertiesButton"; // "&Properties..."
inline constexpr const char* Close = "CloseButton";           // "&Close"
// Milliseconds between two refreshDlg calls while the dialog is open.
inline constexpr int RefreshInterval = 5000;
} // namespace unitsdlg

// "Unit Properties": a new unit (initNewUnitDlg) shows all of them, a rename
// (initPrptsDlg) only Name ("Name").
namespace unitprptsdlg {
inline constexpr const char* Name = "Name";                 // edit "Name:", 24 characters
inline constexpr const char* InsertAt = "InsertAt";         // group box "Insert at:" around:
inline constexpr const char* ThisLevel = "ThisLevel";       // radio button "This level"
inline constexpr const char* OneLevelDown = "OneLevelDown"; // radio button "One level down"
} // namespace unitprptsdlg

} // namespace kelo::setup
