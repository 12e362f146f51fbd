#include "database/PayGroupDb.h"

namespace kelo::database {

PAYGROUPDB::PAYGROUPDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath) {}

} // namespace kelo::database
