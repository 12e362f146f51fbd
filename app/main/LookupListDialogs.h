#pragma once

#include "app/main/DialogContext.h"

namespace kelo::app {

// Help contexts of the lookup lists, one page each although they share one
// dialog layout (760); the numbers pass over the tree dialogs' 763 and 765.
namespace helpctx {
inline constexpr int Grades = 761; // with "Grade Properties"
inline constexpr int Jobs = 762;   // with "Job Properties"
inline constexpr int Stations = 764;
inline constexpr int Coops = 767;
inline constexpr int PensionFunds = 768;
} // namespace helpctx

// The Organisation menu's lookup lists over the setup library's
// STATIONSDLG, COOPSDLG, PENSIONSDLG, GRADESDLG and JOBSDLG: the list with
// Add, Delete, Properties and Close, re-read on a timer, and the properties
// dialog of one entry. A table that does not pass its check is told by the
// setup class and no dialog shows.
void runGrades(const DialogContext& context);
void runJobs(const DialogContext& context);
void runStations(const DialogContext& context);
void runCoops(const DialogContext& context);
void runPensionFunds(const DialogContext& context);

} // namespace kelo::app
