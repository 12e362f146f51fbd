#pragma once

// Control names of "Posts" (POSTSDLG) and its "Edit Posts" dialog. A Qt
// dialog is laid out from them: each constant is the object name of one
// control, the comment says what it is and its label.

namespace kelo::setup {

namespace postsdlg {
inline constexpr const char* Tree = "UnitTree";         // tree view: units, codes as item codes
inline constexpr const char* PostsLabel = "PostsLabel"; // static text "Posts:", then "Posts in %s:"
inline constexpr const char* Posts = "PostsList";   // list box: "%s (%d)", job codes as row codes
inline constexpr const char* Edit = "EditButton";   // "&Edit...", the default
inline constexpr const char* Close = "CloseButton"; // "&Close"
// Milliseconds between two refreshDlg calls while the dialog is open.
inline constexpr int RefreshInterval = 5000;
} // namespace postsdlg

// "Edit Posts".
namespace editpostsdlg {
inline constexpr const char* Unit = "Unit";         // read-only edit "Administrative Unit"
inline constexpr const char* JobTitle = "JobTitle"; // drop-down list "Job Title": job codes
inline constexpr const char* NumberOfPosts = "NumberOfPosts"; // group box "Number of Posts":
inline constexpr const char* Permanent = "Permanent";         // edit "Permanent", 5 digits
inline constexpr const char* Contract = "Contract";           // edit "Contract", 5 digits
inline constexpr const char* Temporary = "Temporary";         // edit "Temporary", 5 digits
inline constexpr const char* Casual = "Casual";               // edit "Casual", 5 digits
} // namespace editpostsdlg

} // namespace kelo::setup
