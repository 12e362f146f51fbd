#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/NssfDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"
#include "engine/Code4.h"
#include "paycalc/CalcPaye.h"

#include <string>

namespace kelo::paycalc {

// What the calculation needs of the organisation's period, loaded by
// initCalcFields (tests may set it directly with load()).
struct CalcSettings {
    std::string currentMonth;    // "January" .. "December", any case
    database::NSSFREC nssfRates; // employee and employer percentages
    database::PAYEPARAMREC payeParams;
    database::SDLREC sdlRate;   // percentage of gross pay
    int taxAverage = 1;         // tax the half year's average monthly pay
    int taxEmployerPension = 1; // employer pension contributions are a taxable benefit
    int paySdl = 1;
    int roundNetPay = 0; // cash net pay is brought down to roundingUnit
    int roundingUnit = 0;
};

// The pay engine: fills every computed field of an employee's period record
// from the copied, keyed and carried ones, for the organisation's current
// period and fiscal year. Callers run copyStatFields, then computeFields.
class CALCFIELDS : public CALCPAYE {
public:
    CALCFIELDS(engine::Code4& code, const common::WorkingFolder& folder);

    // 1 when the PAYE parameters, PAYE bands and NSSF rates of the
    // organisation's fiscal year exist, else 0. Shows nothing.
    int checkCalcFiles(const common::ORGREC& org);
    // Loads the period's month, options and statutory figures. False, with
    // a message naming the file, when the options table cannot be read: pay
    // computed without its options would be wrong without a word.
    bool initCalcFields(common::Ui& ui, const common::ORGREC& org);
    // The same from given figures and bands, without tables.
    void load(const CalcSettings& settings, const unsigned long* limits, const float* rates,
              int bandCount);

    // Refreshes the copied fields of the period record from the master record.
    static void copyStatFields(common::VARIATIONSREC& rec, const common::STATICREC& employee);
    // Computes every computed field of the record in place.
    void computeFields(common::VARIATIONSREC& rec) const;

    const CalcSettings& settings() const { return settings_; }
    // Statutory interest rate of the current half year (percent per year).
    float statutoryRate() const { return statutoryRate_; }
    // 1 from July to December (and for a month name not found), else 0.
    int afterJune() const { return afterJune_; }

private:
    void applyMonth();

    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    CalcSettings settings_;
    float statutoryRate_ = 0;
    int afterJune_ = 0;
};

} // namespace kelo::paycalc
