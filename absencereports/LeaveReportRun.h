#pragma once

#include "absencereports/LeaveRep.h"
#include "absencereports/LeaveRepDb.h"

#include <memory>

namespace kelo::absencereports {

// The report object of a leave report code: LEAVEANALYSIS for 22 and 23,
// LEAVEDETAILS for 24, LEAVEBOOKED for 25; none for another code.
std::unique_ptr<LEAVEREP> makeLeaveReport(common::Ui& ui, engine::Code4& code,
                                          const common::WorkingFolder& folder,
                                          const common::REPORTPARAM& param);

// What the main program does between the wizard and the preview: when the
// report needs the interim file written (requireFile), checkFiles and
// writeInterimFile; then readFile, sort and lay the pages out. False after
// one message, when no preview should open.
bool prepareLeaveReport(common::Ui& ui, LEAVEREPDB& store, LEAVEREP& report,
                        const common::ORGREC& org);

// Both: the report ready for the preview, or none after a message.
std::unique_ptr<LEAVEREP> openLeaveReport(common::Ui& ui, LEAVEREPDB& store, engine::Code4& code,
                                          const common::WorkingFolder& folder,
                                          const common::REPORTPARAM& param,
                                          const common::ORGREC& org);

} // namespace kelo::absencereports
