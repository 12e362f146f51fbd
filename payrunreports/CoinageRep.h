#pragma once

#include "payrunreports/CoinCount.h"
#include "payrunreports/PaymentList.h"

#include <string>
#include <vector>

namespace kelo::payrunreports {

// How many notes and coins of each kind to draw from the bank for the cash
// payments: one portrait page, whatever the number of employees.
class COINAGEREP : public PaymentList {
public:
    COINAGEREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param,
               Denominations denominations = defaultDenominations());

    std::string caption() const override { return "Coinage Summary"; }
    // Counts every employee's payment and adds the counts up per
    // denomination; layOut does it too.
    void countCoins();
    const std::vector<CoinTotal>& summary() const { return summary_; }

protected:
    void layOutRows() override;
    std::vector<common::ReportPage> splitPages() const override;
    std::string titleLine() const override;

private:
    Denominations denominations_;
    std::vector<CoinTotal> summary_;
};

} // namespace kelo::payrunreports
