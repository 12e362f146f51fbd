#include "engine/Code4.h"
#include "paycalc/CalcFields.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kelo;

std::shared_ptr<common::PayItemDef> def(const char* type, const char* function, float percent = 0) {
    auto d = std::make_shared<common::PayItemDef>();
    d->itemType = type;
    d->itemFunction = function;
    d->funcParams.percentage = percent;
    d->upperLimit = 1e9;
    d->taxable = 1;
    return d;
}

common::PayItem item(std::shared_ptr<common::PayItemDef> d, double amount,
                     common::PayItemParams params = {}) {
    common::PayItem it;
    it.definition = std::move(d);
    it.amount = amount;
    it.active = 1;
    it.params = std::move(params);
    return it;
}

// One employee as the issue sets it: 5 earnings, 6 deductions (company loan,
// co-op loan, pension contribution, reducing balance, two keyed), 2 benefits,
// 1 lump sum, housing and PAYE averaging.
void BM_ComputeFields(benchmark::State& state) {
    engine::Code4 code;
    const common::WorkingFolder folder("/nonexistent");
    paycalc::CALCFIELDS calc(code, folder);
    paycalc::CalcSettings settings;
    settings.currentMonth = "March";
    settings.nssfRates = {10, 10};
    settings.payeParams = {999'999'999, 6.0f, 5.75f};
    settings.sdlRate.rate = 3.5f;
    settings.taxAverage = 1;
    const unsigned long limits[] = {270'000, 520'000, 760'000, 1'000'000, 1'000'000};
    const float rates[] = {0, 8, 20, 25, 30};
    calc.load(settings, limits, rates, 5);

    common::STATICREC staff;
    staff.salary = 1'250'000;
    staff.hoursPerDay = 8;
    staff.hoursPerMonth = 176;
    staff.payeApplies = staff.nssfMember = staff.housed = staff.overtimeEligible = 1;
    staff.housingValue = 300'000;
    staff.housingExpense = 150'000;
    staff.rent = 20'000;
    staff.normalOvertimeRate = 10'000;

    auto pension = def("Pension Contribution", "Percentage of Salary", 5);
    common::PayItemLink link;
    link.id = 1;
    link.employer = common::EmployerContribution{"Percentage of Gross Pay", 0, 0, 0, 10};
    pension->link = link;
    auto hourly = def("Hourly Pay", "Based on Hours Worked");
    hourly->funcParams.rateKind = common::kBasicPayRateKind;
    hourly->funcParams.factor = 1.5f;

    common::VARIATIONSREC rec;
    rec.earnings = {item(def("", "Percentage of Salary", 3.6f), 0),
                    item(def("", "Percentage of Basic Pay", 10), 0),
                    item(hourly, 0, common::HourlyParams{12, 0}), item(def("", "Key in"), 50'000),
                    item(def("", "Key in"), 25'000)};
    rec.deductions = {
        item(def("Company Loan Payment", "Percentage of Salary", 10), 0,
             common::LoanParams{2'000'000, 3, 20, 0, 1}),
        item(def("Co-op Loan Payment", "Key in"), 40'000,
             common::LoanParams{500'000, 12, 12, 0, 0}),
        item(pension, 0, common::PensionParams{}),
        item(def("", "Use Reducing Balance"), 0, common::LoanParams{600'000, 15, 24, 0, 0}),
        item(def("", "Key in"), 10'000),
        item(def("", "Key in"), 5'000)};
    rec.benefits = {item(def("", "Percentage of Salary", 2), 0), item(def("", "Key in"), 30'000)};
    rec.lumpSums = {item(def("", "Key in"), 100'000)};
    rec.normalOvertimeHours = 4;
    rec.halfYearMonths = {2, 0};
    rec.halfYearTaxable = {2'000'000, 0};
    rec.halfYearPaye = {250'000, 0};

    for (auto _ : state) {
        paycalc::CALCFIELDS::copyStatFields(rec, staff);
        calc.computeFields(rec);
        benchmark::DoNotOptimize(rec.netPay);
    }
}
BENCHMARK(BM_ComputeFields);

} // namespace

BENCHMARK_MAIN();
