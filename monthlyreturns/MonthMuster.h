#pragma once

#include "engine/Code4.h"
#include "monthlyreturns/MonthRep.h"
#include "payrunreports/MusterRoll.h"

#include <string>
#include <vector>

namespace kelo::monthlyreturns {

// Merges a period's muster roll columns into the month's: a heading met
// before keeps its place, a new one comes after the heading it follows in
// the period, so that weekly items stand among the monthly ones.
void mergeMusterColumns(std::vector<payrunreports::MusterColumn>& month,
                        const std::vector<payrunreports::MusterColumn>& period);

// The muster roll of a month (205): every employee's pay of the month item
// by item, his periods added up under the columns of the pay period's
// muster roll, read again from each period's report file; the columns
// nobody has a figure in are left out but for those always shown. One
// table in name order with its total; the paper widens to the columns.
class MONTHMUSTERROLL : public MONTHREP {
public:
    MONTHMUSTERROLL(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const common::REPORTPARAM& param);
    std::string caption() const override { return "Payroll Muster Roll"; }

    struct Line {
        std::string empNum;
        std::string name;
        std::vector<double> amounts; // by the month's columns
    };
    const std::vector<payrunreports::MusterColumn>& musterColumns() const { return columns_; }
    const std::vector<Line>& lines() const { return lines_; }

protected:
    bool readPeriods(const common::ORGREC& org) override;
    std::vector<MonthColumn> monthColumns() const override;
    std::vector<std::string> titles() const override;
    void addRows() override;

private:
    engine::Code4& code_;
    const common::WorkingFolder& periodFolder_;
    std::vector<payrunreports::MusterColumn> columns_;
    std::vector<bool> shown_;
    std::vector<Line> lines_;
};

} // namespace kelo::monthlyreturns
