#pragma once

#include "database/LookupTable.h"

namespace kelo::database {

// The stations where employees work (settings/stations.dbf).
class STATIONSDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/stations.dbf";

    STATIONSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override { return lookupSchema(); }

    // Empty for an unknown code (0 is none).
    std::string getStationName(long code) { return nameOf(code); }
    // 0 for an unknown name; names compare without regard to case.
    long getStationCode(std::string_view name) { return codeOf(name); }
};

} // namespace kelo::database
