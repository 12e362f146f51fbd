#pragma once

#include "engine/Code4.h"
#include "monthlyreturns/MonthRep.h"
#include "payrunreports/ControlTotals.h"
#include "payrunreports/PeriodRecords.h"

#include <string>
#include <vector>

namespace kelo::monthlyreturns {

// A period's report file read whole, after the identity and organisation
// checks. False after a message naming the file.
bool readPeriodFile(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const std::string& path, const common::ORGREC& org,
                    payrunreports::PeriodFile& out);

// Adds one period's control total into the month's: the amounts field by
// field, each item under its name, a name met first in a later period (or
// another frequency's definitions) added after the others of its table.
void addControlTotal(payrunreports::ControlTotal& month, const payrunreports::ControlTotal& period);

// The payroll control account of a month (202): the pay of every period
// the month holds, read again from each period's report file and summed
// into the "Pay" and "Disbursements" sections of the pay period's control
// account, on one portrait page with its note and sign-off block.
class MONTHCONTROLACREP : public MONTHREP {
public:
    MONTHCONTROLACREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                      const common::REPORTPARAM& param);
    std::string caption() const override { return "Payroll Control Account"; }
    const payrunreports::ControlTotal& total() const { return total_; }

protected:
    bool readPeriods(const common::ORGREC& org) override;
    std::vector<MonthColumn> monthColumns() const override;
    std::vector<std::string> titles() const override;
    void addRows() override;
    std::vector<std::string> footLines() const override;
    bool hasTotals() const override { return false; }
    common::Orientation paperOrientation() const override { return common::Orientation::Portrait; }

private:
    engine::Code4& code_;
    const common::WorkingFolder& periodFolder_;
    payrunreports::ControlTotal total_;
};

} // namespace kelo::monthlyreturns
