#pragma once

#include "database/StatutoryTable.h"

namespace kelo::database {

// NSSF contribution rates, percentages of monthly pay.
struct NSSFREC {
    float employeeRate = 0;
    float employerRate = 0;
};

// The NSSF rates of a fiscal year ("../system/<year>/nssf.dbf"): one record.
class NSSFDB : public StatutoryTable {
public:
    static constexpr const char* kFileName = "nssf.dbf";
    static constexpr const char* kEmployeeRate = "EMPLOYEE";
    static constexpr const char* kEmployerRate = "EMPLOYER";

    NSSFDB(engine::Code4& code, const common::WorkingFolder& folder);

    static Schema tableSchema();
    Schema schema() const override { return tableSchema(); }

    // The year's rates; false, with the record zeroed, when the year has no
    // table or it is empty.
    bool readFile(int year, NSSFREC& rates) const;
    // The rates of the open table's record; zero when it has none.
    bool initRec(NSSFREC& rates) const;
    // Stores the rates in the open table's record under its lock; false,
    // storing nothing, when another user holds the lock.
    bool updateRec(const NSSFREC& rates);

    static NSSFREC load(const engine::Data4& table);
    static void store(engine::Data4& table, const NSSFREC& rates);
};

} // namespace kelo::database
