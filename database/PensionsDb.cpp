#include "database/PensionsDb.h"

namespace kelo::database {

PENSIONSDB::PENSIONSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath) {}

} // namespace kelo::database
