#pragma once

#include "database/StatutoryTable.h"

#include <span>
#include <vector>

namespace kelo::database {

// One PAYE band: monthly chargeable pay from `lowerLimit` to `upperLimit`
// (whole shillings) is taxed at `rate` percent. The last band has no upper
// limit; its record stores the lower limit there.
struct PAYEREC {
    unsigned long lowerLimit = 0;
    unsigned long upperLimit = 0;
    float rate = 0;
};

// The PAYE rate bands of a fiscal year ("../system/<year>/paye.dbf"), one
// record per band in order from the lowest.
class PAYEDB : public StatutoryTable {
public:
    static constexpr const char* kFileName = "paye.dbf";
    static constexpr const char* kLowerLimit = "LOWERLIMIT";
    static constexpr const char* kUpperLimit = "UPPERLIMIT";
    static constexpr const char* kRate = "TAXRATE";

    PAYEDB(engine::Code4& code, const common::WorkingFolder& folder);

    static Schema tableSchema();
    Schema schema() const override { return tableSchema(); }

    // Fills limits[k] with the upper limit of band k (the pay above which
    // band k + 1 applies) and rates[k] with its rate, for at most `maximum`
    // bands (and no more than the spans hold); returns the number filled.
    // 0 when the year has no table.
    int readBrackets(int year, std::span<unsigned long> limits, std::span<float> rates,
                     int maximum) const;

    // What the rates dialog reads and writes on the open table. Rows are
    // record numbers, 1 for the first band.
    long rowCount() const;
    std::vector<PAYEREC> readRows() const;
    bool readRow(long recNo, PAYEREC& band) const;
    // Locks a band for editing; false when another user holds it.
    bool lockRow(long recNo);
    // Stores a band (under its lock, taken here when not held) and unlocks.
    bool updateRow(long recNo, const PAYEREC& band);
    void unlockRows();
    // Inserts a band after `recNo` under a lock of the whole table.
    bool insertRow(long recNo, const PAYEREC& band);
    // Deletes a band under a lock of the whole table and packs the table.
    bool deleteRow(long recNo);
    // The first band whose lower limit is not one more than the previous
    // band's upper limit, or 0 when the chain is whole.
    long firstBrokenLink() const;

    // The band of the current record, and the band written into it.
    static PAYEREC load(const engine::Data4& table);
    static void store(engine::Data4& table, const PAYEREC& band);
};

} // namespace kelo::database
