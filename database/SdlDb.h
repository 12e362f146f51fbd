#pragma once

#include "database/StatutoryTable.h"

namespace kelo::database {

// The Skills and Development Levy: the employer's rate, a percentage of
// gross pay.
struct SDLREC {
    float rate = 0;
};

// The SDL rate of a fiscal year ("../system/<year>/sdl.dbf"): one record.
class SDLDB : public StatutoryTable {
public:
    static constexpr const char* kFileName = "sdl.dbf";
    static constexpr const char* kRate = "RATE";

    SDLDB(engine::Code4& code, const common::WorkingFolder& folder);

    static Schema tableSchema();
    Schema schema() const override { return tableSchema(); }

    // The year's rate; false, with the record zeroed, when the year has no
    // table or it is empty.
    bool readFile(int year, SDLREC& rate) const;
    // The rate of the open table's record; zero when it has none.
    bool initRec(SDLREC& rate) const;
    // Stores the rate in the open table's record under its lock; false,
    // storing nothing, when another user holds the lock.
    bool updateRec(const SDLREC& rate);

    static SDLREC load(const engine::Data4& table);
    static void store(engine::Data4& table, const SDLREC& rate);
};

} // namespace kelo::database
