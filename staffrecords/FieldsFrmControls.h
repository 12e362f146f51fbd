#pragma once

// The control names of the pay fields window and its parameter dialogs.

namespace kelo::staffrecords::fieldsfrm {
inline constexpr const char* kPosition = "Position"; // "Field %d of %d"
inline constexpr const char* kName = "FieldName";
inline constexpr const char* kType = "FieldType";
inline constexpr const char* kTypeButton = "TypeButton";
inline constexpr const char* kFunction = "FieldFunction";
inline constexpr const char* kFunctionButton = "FunctionButton";
inline constexpr const char* kStatic = "Static";
inline constexpr const char* kTaxable = "Taxable";
inline constexpr const char* kFirst = "First";
inline constexpr const char* kPrevious = "Previous";
inline constexpr const char* kNext = "Next";
inline constexpr const char* kLast = "Last";
inline constexpr const char* kAdd = "Add";
inline constexpr const char* kDelete = "Delete";
inline constexpr const char* kSave = "Save";
} // namespace kelo::staffrecords::fieldsfrm

// "Percentage", "Limits" and the employer part of "Pension Fund Parameters".
namespace kelo::staffrecords::limitsdlg {
inline constexpr const char* kPercentage = "Percentage";
inline constexpr const char* kApplyLimits = "ApplyLimits";
inline constexpr const char* kLowerLimit = "LowerLimit";
inline constexpr const char* kUpperLimit = "UpperLimit";
} // namespace kelo::staffrecords::limitsdlg

namespace kelo::staffrecords::hourlyratedlg {
inline constexpr const char* kBasicPayRate = "BasicPayRate"; // "Basic Pay Rate x"
inline constexpr const char* kFactor = "Factor";
inline constexpr const char* kKeyInRate = "KeyInRate"; // "Key in rate for each employee "
} // namespace kelo::staffrecords::hourlyratedlg

// "Select Name" (co-operative) and "Pension Fund Parameters".
namespace kelo::staffrecords::fundsdlg {
inline constexpr const char* kName = "Name";
inline constexpr const char* kEmployerFunction = "EmployerFunction";
} // namespace kelo::staffrecords::fundsdlg
