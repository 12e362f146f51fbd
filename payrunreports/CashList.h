#pragma once

#include "payrunreports/CoinCount.h"
#include "payrunreports/PaymentList.h"

#include <string>
#include <vector>

namespace kelo::payrunreports {

// The cash list the paying officer pays from: per employee the notes and
// coins of the amount, the amount, and dotted lines for the identity number
// and the signature; twelve employees to a landscape page.
class CASHLIST : public PaymentList {
public:
    CASHLIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             const common::REPORTPARAM& param,
             Denominations denominations = defaultDenominations());

    std::string caption() const override { return "Cash List"; }
    const Denominations& denominations() const { return denominations_; }
    // Each employee's counts, in list order, as the last layOut made them.
    const std::vector<std::vector<int>>& coinCounts() const { return counts_; }

protected:
    void layOutRows() override;
    std::string titleLine() const override;

private:
    Denominations denominations_;
    std::vector<std::vector<int>> counts_;
};

} // namespace kelo::payrunreports
