#pragma once

#include "engine/Code4.h"
#include "paycalc/CalcFields.h"

#include <memory>

namespace kelo::paycalc::testing {

// The 2025/26 figures of Tanzania mainland: PAYE bands, NSSF 10 % + 10 %,
// SDL 3.5 %, a pension maximum that never caps.
inline CalcSettings tanzania2025(const char* month = "March") {
    CalcSettings s;
    s.currentMonth = month;
    s.nssfRates = {10, 10};
    s.payeParams.maxPension = 999'999'999;
    s.payeParams.statRateJanJun = 5.75f;
    s.payeParams.statRateJulDec = 6.0f;
    s.sdlRate.rate = 3.5f;
    s.taxAverage = 0;
    return s;
}

inline constexpr unsigned long kLimits[] = {270'000, 520'000, 760'000, 1'000'000, 1'000'000};
inline constexpr float kRates[] = {0, 8, 20, 25, 30};

// A pay engine loaded without tables.
struct Engine {
    engine::Code4 code;
    common::WorkingFolder folder{"/nonexistent"};
    CALCFIELDS calc{code, folder};
    explicit Engine(const CalcSettings& settings = tanzania2025()) {
        calc.load(settings, kLimits, kRates, 5);
    }
};

inline std::shared_ptr<common::PayItemDef> itemDef(std::string_view type, std::string_view function,
                                                   float percentage = 0) {
    auto def = std::make_shared<common::PayItemDef>();
    def->itemName = std::string(type) + " item";
    def->itemType = type;
    def->itemFunction = function;
    def->funcParams.percentage = percentage;
    def->upperLimit = 1e12;
    return def;
}

inline common::PayItem item(std::shared_ptr<common::PayItemDef> def, double amount = 0,
                            int active = 1, common::PayItemParams params = {}) {
    common::PayItem it;
    it.definition = std::move(def);
    it.amount = amount;
    it.active = active;
    it.params = std::move(params);
    return it;
}

// A salaried employee paid monthly in cash, with PAYE and NSSF.
inline common::STATICREC employee(double salary) {
    common::STATICREC e;
    e.payBasis = common::kPayBasisSalary;
    e.salary = salary;
    e.hoursPerDay = 8;
    e.hoursPerMonth = 176;
    e.payeApplies = 1;
    e.nssfMember = 1;
    return e;
}

} // namespace kelo::paycalc::testing
