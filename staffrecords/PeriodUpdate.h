#pragma once

#include "common/PayRecords.h"

#include <string_view>

namespace kelo::staffrecords {

// The rules that carry a transactions record from one pay period to the
// next. Each works on a record that has just been computed for the period
// being closed (except resetYear, which computes nothing).

// End of a pay period: balances of loans, savings, co-operatives, pension
// funds, bank loans and cost recoveries move on by this period's payment
// and a month's interest; loans and recoveries that are paid off are
// cleared; keyed amounts of items that are not static go back to their
// lower limit; the deficit and rounding are brought forward; the month's
// and half year's totals take this period's pay. `afterJune` is the
// current half year (0 January to June, 1 July to December).
void rollPeriod(common::VARIATIONSREC& rec, int afterJune);
// End of a month: a month with pay counts towards its half year, and the
// month's totals start again. `newMonth` is the month now beginning
// ("January" .. "December", compared exactly).
void closeMonth(common::VARIATIONSREC& rec, std::string_view newMonth, int afterJune);
// A new year: every month and half-year total starts again.
void resetYear(common::VARIATIONSREC& rec);

// Copies what survives a period update from the stored record into the
// fresh one: the keyed and carried fields, every item whole (definition,
// active flag, amount and parameters) and the month and half-year totals.
// The lists of both records must come from the same definitions.
void carryFields(const common::VARIATIONSREC& from, common::VARIATIONSREC& to);

// After a change to the master record: co-operative and pension items of a
// co-operative or fund the employee no longer belongs to are switched off
// and emptied, and tax on lump sums goes when PAYE no longer applies. True
// when anything changed.
bool followMasterRecord(common::VARIATIONSREC& rec, const common::STATICREC& employee);

// A month's interest on a loan balance at a yearly rate in percent, added
// and rounded to the shilling.
double withMonthsInterest(double balance, float yearlyRate);
// The equal monthly instalment that repays `principal` with interest at
// `yearlyRate` percent in `payments` payments, to the shilling; the whole
// principal for fewer than one payment.
double amortisedInstalment(double principal, float yearlyRate, int payments);

} // namespace kelo::staffrecords
