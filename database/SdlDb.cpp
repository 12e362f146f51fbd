#include "database/SdlDb.h"

namespace kelo::database {

SDLDB::SDLDB(engine::Code4& code, const common::WorkingFolder& folder)
    : StatutoryTable(code, folder, kFileName) {}

Schema SDLDB::tableSchema() {
    return {{{kRate, 'N', 6, 2}}, {}};
}

SDLREC SDLDB::load(const engine::Data4& table) {
    return {percentage(*table.field(kRate))};
}

void SDLDB::store(engine::Data4& table, const SDLREC& rate) {
    table.field(kRate)->assignDouble(rate.rate);
}

bool SDLDB::readFile(int year, SDLREC& rate) const {
    rate = {};
    return readYearRecord(year, [&](const engine::Data4& table) { rate = load(table); });
}

bool SDLDB::initRec(SDLREC& rate) const {
    rate = {};
    return readOpenRecord([&](const engine::Data4& table) { rate = load(table); });
}

bool SDLDB::updateRec(const SDLREC& rate) {
    return storeOpenRecord([&](engine::Data4& table) { store(table, rate); });
}

} // namespace kelo::database
