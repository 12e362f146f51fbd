#pragma once

#include "database/StatutoryTable.h"

namespace kelo::database {

// The Workers Compensation Fund levy on private employers, percent of gross
// emoluments, for a year whose folder has no WCF table (folders made before
// the table existed) and for a new year with none to copy.
inline constexpr float kDefaultWcfRate = 0.5f;

// The Workers Compensation Fund levy: the employer's rate, a percentage of
// gross emoluments.
struct WCFREC {
    float rate = 0;
};

// The WCF rate of a fiscal year ("../system/<year>/wcf.dbf"): one record,
// kept beside the SDL rate.
class WCFDB : public StatutoryTable {
public:
    static constexpr const char* kFileName = "wcf.dbf";
    static constexpr const char* kRate = "RATE";

    WCFDB(engine::Code4& code, const common::WorkingFolder& folder);

    static Schema tableSchema();
    Schema schema() const override { return tableSchema(); }

    // The year's rate; false, with the record zeroed, when the year has no
    // table or it is empty.
    bool readFile(int year, WCFREC& rate) const;
    // The year's rate, kDefaultWcfRate when the year has no table or record.
    double rateOf(int year) const;
    // The rate of the open table's record; zero when it has none.
    bool initRec(WCFREC& rate) const;
    // Stores the rate in the open table's record under its lock; false,
    // storing nothing, when another user holds the lock.
    bool updateRec(const WCFREC& rate);

    // As StatutoryTable::newFile, but a source folder without a usable WCF
    // table (an older year, an older program's source folder) gives a table
    // of the default rate instead of a refusal.
    bool newFile(common::Ui& ui, std::string_view sourceFolder, int year);

    static WCFREC load(const engine::Data4& table);
    static void store(engine::Data4& table, const WCFREC& rate);
};

} // namespace kelo::database
