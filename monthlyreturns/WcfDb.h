#pragma once

#include "database/StatutoryTable.h"

namespace kelo::monthlyreturns {

// The Workers Compensation Fund levy on private employers, percent of gross
// emoluments, until a year's table says otherwise.
inline constexpr double kDefaultWcfRate = 0.5;

// The WCF rate of a fiscal year ("../system/<year>/wcf.dbf", one record),
// kept beside the SDL rate.
class WCFDB : public database::StatutoryTable {
public:
    static constexpr const char* kFileName = "wcf.dbf";
    static constexpr const char* kRate = "RATE";

    WCFDB(engine::Code4& code, const common::WorkingFolder& folder);
    database::Schema schema() const override { return tableSchema(); }
    static database::Schema tableSchema();

    // The year's rate; kDefaultWcfRate when the year has no table or record.
    double rateOf(int year) const;
    static void store(engine::Data4& table, double rate);
};

} // namespace kelo::monthlyreturns
