#pragma once

#include "payrunreports/PaymentList.h"

#include <string>

namespace kelo::payrunreports {

// The employees paid by cheque, each with a dotted line to sign for the
// cheque; twenty to a portrait page.
class CHEQUELIST : public PaymentList {
public:
    CHEQUELIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);

    std::string caption() const override { return "Cheque List"; }

protected:
    common::ReportRow recordRow(const REPORTREC& rec, int number) const override;
    std::string titleLine() const override;
};

} // namespace kelo::payrunreports
