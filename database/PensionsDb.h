#pragma once

#include "database/LookupTable.h"

namespace kelo::database {

// The pension funds employees belong to (settings/pensions.dbf).
class PENSIONSDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/pensions.dbf";

    PENSIONSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override { return lookupSchema(); }

    // Empty for an unknown code (0 is none).
    std::string getPensionName(long code) { return nameOf(code); }
    // 0 for an unknown name; names compare without regard to case.
    long getPensionCode(std::string_view name) { return codeOf(name); }
};

} // namespace kelo::database
