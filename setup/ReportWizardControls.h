#pragma once

// Control names of the report parameters wizard ("Open Report") and of its
// pages. A Qt dialog is laid out from these; each object name is the
// constant's value. The host shows one page at a time below its title.

namespace kelo::setup::reportwizarddlg {
// "&Next >" and "< &Back", hidden when the wizard has one page; Next is
// disabled on the last page and Back on the first.
inline constexpr const char* Next = "Next";
inline constexpr const char* Back = "Back";
inline constexpr const char* Ok = "OK";         // "OK"
inline constexpr const char* Cancel = "Cancel"; // "Cancel"
} // namespace kelo::setup::reportwizarddlg

// "Selection of employees".
namespace kelo::setup::selectionpage {
// Drop-down list "Select employees by:": "(None)", "Administrative Unit",
// "Station", "Pay Group", "Bank", "Co-operative", "Pension Fund"; a row's
// code is its groupBy value. A change of row calls selectionKindChanged.
inline constexpr const char* Kind = "SelectionKind";
// Static text above the names: "Which unit?" ... or "Which instance?".
inline constexpr const char* Prompt = "SelectionPrompt";
// The group box framing the prompt and the names.
inline constexpr const char* Frame = "SelectionFrame";
// Tree of names: the units as their tree, any other kind as one level; an
// item's code is the entry's code (0 for banks).
inline constexpr const char* Names = "SelectionNames";
} // namespace kelo::setup::selectionpage

// "Pay period".
namespace kelo::setup::payperiodpage {
// Drop-down list "Pay Frequency": "Monthly", "Weekly", "Biweekly",
// "Irregular", codes PAYFREQ. A change of row calls payFrequencyChanged.
inline constexpr const char* Frequency = "PayFrequency";
inline constexpr const char* Year = "PeriodYear";   // edit "Year", 4 digits
inline constexpr const char* Month = "PeriodMonth"; // drop-down list "Month", codes 1 to 12
// Static text naming the day list: "Week ending:", "Fortnight ending:",
// "Pay period:", or "Day:" (disabled) for monthly pay.
inline constexpr const char* DayLabel = "PeriodDayLabel";
// Drop-down list 1 to 31 (codes the same): the end day of a week or
// fortnight, the number of an irregular period; disabled for monthly pay.
inline constexpr const char* Day = "PeriodDay";
} // namespace kelo::setup::payperiodpage

// "Year and month range".
namespace kelo::setup::yearrangepage {
inline constexpr const char* Year = "RangeYear"; // edit "Year", 4 digits
// Drop-down lists "From:" ("January", "July") and "To:" ("June",
// "December"), codes the month numbers; enabled for the tax returns only.
inline constexpr const char* FromMonth = "FromMonth";
inline constexpr const char* ToMonth = "ToMonth";
} // namespace kelo::setup::yearrangepage

// "Month of return".
namespace kelo::setup::returnmonthpage {
inline constexpr const char* Year = "ReturnYear";   // edit "Year", 4 digits
inline constexpr const char* Month = "ReturnMonth"; // drop-down list "Month", codes 1 to 12
} // namespace kelo::setup::returnmonthpage

// "Pay field".
namespace kelo::setup::payfieldpage {
// Static text: "Earning", "Deduction", "Benefit", "Lump Sum Payment",
// "Refund" or "Payment".
inline constexpr const char* Label = "FieldLabel";
// List box of field names; a row's code is its place in fieldChoices().
inline constexpr const char* List = "FieldList";
} // namespace kelo::setup::payfieldpage

// "Co-operative" or "Pension fund" (reports 55 and 56).
namespace kelo::setup::fundpage {
inline constexpr const char* Label = "FundLabel"; // "Co-operative:" or "Pension Fund:"
inline constexpr const char* List = "FundList";   // list box of names, codes the entry codes
} // namespace kelo::setup::fundpage

// "Process date" of a bank transfer file, with the bank it is written for.
namespace kelo::setup::processdatepage {
// List box "Bank": "Standard Chartered Bank", "Barclays Bank", "Citibank",
// "Stanbic Bank"; a row's code is its report code (91 to 94).
inline constexpr const char* Bank = "TransferBank";
inline constexpr const char* Day = "ProcessDay";     // edit "Day", 2 digits
inline constexpr const char* Month = "ProcessMonth"; // drop-down list "Month", codes 1 to 12
inline constexpr const char* Year = "ProcessYear";   // edit "Year", 4 digits
} // namespace kelo::setup::processdatepage

// "Report kind" of the muster roll and the control account.
namespace kelo::setup::reportkindpage {
inline constexpr const char* PayPeriod = "KindPayPeriod"; // radio "&Pay period"
inline constexpr const char* Month = "KindMonth";         // radio "&Month"
inline constexpr const char* WholeYear = "KindYear";      // radio "&Year"
} // namespace kelo::setup::reportkindpage
