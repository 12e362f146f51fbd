#pragma once

#include "database/DbTable.h"

#include <string_view>
#include <vector>

namespace kelo::database {

// One income bracket of the P10 report, whole shillings. The last bracket
// has no upper limit; its record stores the lower limit there.
struct INCOMEREC {
    unsigned long lowerLimit = 0;
    unsigned long upperLimit = 0;
};

// The income brackets of the P10 report ("../system/settings/incomes.dbf"),
// shared by every organisation and not kept by year; one record per bracket
// in order from the lowest.
class INCOMESDB : public DbTable {
public:
    static constexpr const char* kFileName = "incomes.dbf";
    static constexpr const char* kPath = "../system/settings/incomes.dbf";
    static constexpr const char* kLowerLimit = "LOWERLIMIT";
    static constexpr const char* kUpperLimit = "UPPERLIMIT";

    INCOMESDB(engine::Code4& code, const common::WorkingFolder& folder);

    static Schema tableSchema();
    Schema schema() const override { return tableSchema(); }

    // The table exists and opens. Nothing is shown.
    bool checkFile();
    // Makes the table as a copy of "incomes.dbf" in `sourceFolder` (absolute,
    // or relative to the working folder); an existing usable table is kept.
    bool newFile(common::Ui& ui, std::string_view sourceFolder);
    // The brackets in order; none when the table is missing.
    std::vector<INCOMEREC> readBrackets() const;

    // What the income brackets dialog reads and writes on the open table.
    // Rows are record numbers, 1 for the first bracket.
    long rowCount() const;
    std::vector<INCOMEREC> readRows() const;
    bool readRow(long recNo, INCOMEREC& bracket) const;
    bool lockRow(long recNo);
    bool updateRow(long recNo, const INCOMEREC& bracket);
    void unlockRows();
    bool insertRow(long recNo, const INCOMEREC& bracket);
    bool deleteRow(long recNo);
    // The first bracket whose lower limit is neither the previous bracket's
    // upper limit nor one more, or 0 when the chain is whole.
    long firstBrokenLink() const;

    static INCOMEREC load(const engine::Data4& table);
    static void store(engine::Data4& table, const INCOMEREC& bracket);
};

} // namespace kelo::database
