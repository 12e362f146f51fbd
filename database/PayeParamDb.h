#pragma once

#include "database/StatutoryTable.h"

namespace kelo::database {

// The PAYE parameters of a fiscal year.
struct PAYEPARAMREC {
    // "Maximum Allowable Pension Fund": the most pension contributions that
    // relieve a month's pay from PAYE, in whole shillings.
    unsigned long maxPension = 0;
    // "Statutory Interest Rate (%)" of the low-interest loan benefit, for
    // "July to December" and for "January to June".
    float statRateJulDec = 0;
    float statRateJanJun = 0;
};

// The PAYE parameters of a fiscal year ("../system/<year>/payepara.dbf"):
// one record.
class PAYEPARAMDB : public StatutoryTable {
public:
    static constexpr const char* kFileName = "payepara.dbf";
    static constexpr const char* kMaxPension = "MAXPENSION";
    static constexpr const char* kRateJulDec = "RATEJULDEC";
    static constexpr const char* kRateJanJun = "RATEJANJUN";

    PAYEPARAMDB(engine::Code4& code, const common::WorkingFolder& folder);

    static Schema tableSchema();
    Schema schema() const override { return tableSchema(); }

    // The year's parameters; false, with the record zeroed, when the year has
    // no table or it is empty.
    bool readParams(int year, PAYEPARAMREC& params) const;
    // The parameters of the open table's record; zero when it has none.
    bool initRec(PAYEPARAMREC& params) const;
    // Stores the parameters in the open table's record under its lock;
    // false, storing nothing, when another user holds the lock.
    bool updateRec(const PAYEPARAMREC& params);

    static PAYEPARAMREC load(const engine::Data4& table);
    static void store(engine::Data4& table, const PAYEPARAMREC& params);
};

} // namespace kelo::database
