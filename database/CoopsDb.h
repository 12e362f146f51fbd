#pragma once

#include "database/LookupTable.h"

namespace kelo::database {

// The co-operatives employees belong to (settings/coops.dbf).
class COOPSDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/coops.dbf";

    COOPSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override { return lookupSchema(); }

    // Empty for an unknown code (0 is none).
    std::string getCoopName(long code) { return nameOf(code); }
    // 0 for an unknown name; names compare without regard to case.
    long getCoopCode(std::string_view name) { return codeOf(name); }
};

} // namespace kelo::database
