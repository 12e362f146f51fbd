#include "database/StationsDb.h"

namespace kelo::database {

STATIONSDB::STATIONSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath) {}

} // namespace kelo::database
