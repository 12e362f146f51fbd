#include "database/NssfDb.h"

namespace kelo::database {

NSSFDB::NSSFDB(engine::Code4& code, const common::WorkingFolder& folder)
    : StatutoryTable(code, folder, kFileName) {}

Schema NSSFDB::tableSchema() {
    return {{{kEmployeeRate, 'N', 6, 2}, {kEmployerRate, 'N', 6, 2}}, {}};
}

NSSFREC NSSFDB::load(const engine::Data4& table) {
    return {percentage(*table.field(kEmployeeRate)), percentage(*table.field(kEmployerRate))};
}

void NSSFDB::store(engine::Data4& table, const NSSFREC& rates) {
    table.field(kEmployeeRate)->assignDouble(rates.employeeRate);
    table.field(kEmployerRate)->assignDouble(rates.employerRate);
}

bool NSSFDB::readFile(int year, NSSFREC& rates) const {
    rates = {};
    return readYearRecord(year, [&](const engine::Data4& table) { rates = load(table); });
}

bool NSSFDB::initRec(NSSFREC& rates) const {
    rates = {};
    return readOpenRecord([&](const engine::Data4& table) { rates = load(table); });
}

bool NSSFDB::updateRec(const NSSFREC& rates) {
    return storeOpenRecord([&](engine::Data4& table) { store(table, rates); });
}

} // namespace kelo::database
