#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::staffrecords {

// What may be chosen for a pay item, and the checks made on one, apart from
// any window.

// The types a new or edited item of `table` may take on `payFreq`'s payroll.
std::vector<std::string> typesOffered(common::FIELDSTABLE table, common::PAYFREQ payFreq);
// The functions an item of `table` with type `itemType` may take.
std::vector<std::string> functionsOffered(common::FIELDSTABLE table, std::string_view itemType);
// The functions of a pension fund's employer contribution.
std::vector<std::string> employerFunctions();

// A new item of `table`: type "Default", function "Key in", taxable.
common::PayItemDef newItemDef(std::int32_t position, std::int32_t id);

// The item after its type changed to `itemType`: "Hourly Pay" brings
// "Based on Hours Worked" at the basic pay rate times 0 and is never
// static; leaving it goes back to "Key in"; leaving a co-operative or
// pension type drops the link.
void changeType(common::PayItemDef& def, std::string_view itemType);

// Whether saving `changed` over the saved item `saved` gives the values the
// employees hold for it a new meaning, so that they must start again as a
// new item's: any change of type (a balance of one kind would be read as a
// balance of another), and a change to "Amortise" or "Use Reducing Balance"
// from a function that does not count payments down (the count left from
// before would be read as the payments left). Renaming, the flags, limits and
// percentages keep the meaning.
bool valuesChangeMeaning(const common::PayItemDef& saved, const common::PayItemDef& changed);

// "The %s must not be blank. Please enter a value." and "This is not a
// valid value for the %s."
std::string blankMessage(std::string_view fieldName);
std::string invalidMessage(std::string_view fieldName);

// The message refusing `def` as item `index` of `items` (the table being
// edited, `def` standing in for the item at `index`, or appended when
// `index` is the list's size), or nullopt when it may be saved.
std::optional<std::string> validateItem(const std::vector<common::PayItemDef>& items,
                                        std::size_t index, const common::PayItemDef& def);

// "The lower limit must not exceed the upper limit." when it does.
std::optional<std::string> limitsFault(double lower, double upper);

// The message the parameter dialogs would give for `def`'s percentage,
// limits, hourly rate factor and employer contribution, or nullopt when
// they pass: for callers that give an item whole, without the dialogs.
std::optional<std::string> parameterFault(const common::PayItemDef& def);

// Reads a required, non-negative number from a dialog's text: nullopt when
// the text is blank or not such a number; `message` gets the message.
std::optional<double> requiredAmount(std::string_view text, std::string_view fieldName,
                                     std::string& message);

} // namespace kelo::staffrecords
