#include "database/CoopsDb.h"

namespace kelo::database {

COOPSDB::COOPSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath) {}

} // namespace kelo::database
