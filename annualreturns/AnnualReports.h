#pragma once

#include "annualreturns/AnnualDb.h"
#include "payrunreports/ControlAccount.h"
#include "payrunreports/MusterRoll.h"

#include <memory>
#include <string>

namespace kelo::annualreturns {

// "March 2025" for a single month, "January to June 2025" for a range.
std::string rangeTitle(int year, int fromMonth, int toMonth);

// The periods of months fromMonth..toMonth summed per employee, in employee
// number order: each figure and each item (matched by its table and name
// across months and frequencies) added up, with the names, unit and the
// other memberships of his latest period. The definitions are every item
// any of those periods had, in the order they first appear; the header is
// the latest period's organisation under the range's title.
payrunreports::PeriodFile sumPeriods(const ANNUALFILE& file, int fromMonth, int toMonth);

// The year and months of `param` summed from the file reportFilePath names
// (the year's store when there is no interim file). False after a message.
bool readRange(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param, const common::ORGREC& org,
               payrunreports::PeriodFile& out);

// The year's muster roll (report 206): the pay-period roll's columns,
// grouping and page over the employees' pay summed across the months of the
// range.
class MUSTERROLL : public payrunreports::MUSTERROLL {
public:
    MUSTERROLL(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);
    // The interim file must be written before reading.
    bool requireFile(const common::ORGREC& org) const;
    bool readFile(const common::ORGREC& org);

private:
    engine::Code4& code_;
};

// The year's control account (report 203): the pay-period account's sections
// and pages over the pay of the months of the range.
class CONTROLACREP : public payrunreports::CONTROLACREP {
public:
    CONTROLACREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param);
    bool requireFile(const common::ORGREC& org) const;
    bool readFile(const common::ORGREC& org);

private:
    engine::Code4& code_;
};

// What the main program runs for report 206 or 203 once the wizard is done:
// builds the report, writes the interim file when requireFile asks for it
// (checkFiles first) and reads. The report then wants arrange() and layOut()
// like the pay-run reports. Null after a message, or for another code.
std::unique_ptr<payrunreports::PERIODREP> openAnnualReport(common::Ui& ui, engine::Code4& code,
                                                           const common::WorkingFolder& folder,
                                                           const common::REPORTPARAM& param,
                                                           const common::ORGREC& org);

} // namespace kelo::annualreturns
