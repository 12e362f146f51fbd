#pragma once

#include "payrunreports/PaymentList.h"

#include <string>

namespace kelo::payrunreports {

// What each employee paid by bank transfer is paid and into which account,
// in name order, twenty-three to a landscape page, with a text export.
class BANKREP : public PaymentList {
public:
    BANKREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
            const common::REPORTPARAM& param);

    std::string caption() const override { return "Bank Transfer Report"; }

protected:
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
    std::string titleLine() const override;
    bool writeText(common::TextExport& out) const override;
};

} // namespace kelo::payrunreports
