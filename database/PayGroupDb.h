#pragma once

#include "database/LookupTable.h"

namespace kelo::database {

// The pay groups employees are put in (settings/paygroup.dbf).
class PAYGROUPDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/paygroup.dbf";

    PAYGROUPDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override { return lookupSchema(); }

    // Empty for an unknown code (0 is none).
    std::string getPayGrpName(long code) { return nameOf(code); }
    // 0 for an unknown name; names compare without regard to case.
    long getPayGrpCode(std::string_view name) { return codeOf(name); }
};

} // namespace kelo::database
