#include "database/PayeParamDb.h"

namespace kelo::database {

PAYEPARAMDB::PAYEPARAMDB(engine::Code4& code, const common::WorkingFolder& folder)
    : StatutoryTable(code, folder, kFileName) {}

Schema PAYEPARAMDB::tableSchema() {
    return {{{kMaxPension, 'N', 12, 0}, {kRateJulDec, 'N', 6, 2}, {kRateJanJun, 'N', 6, 2}}, {}};
}

PAYEPARAMREC PAYEPARAMDB::load(const engine::Data4& table) {
    return {wholeShillings(*table.field(kMaxPension)), percentage(*table.field(kRateJulDec)),
            percentage(*table.field(kRateJanJun))};
}

void PAYEPARAMDB::store(engine::Data4& table, const PAYEPARAMREC& params) {
    table.field(kMaxPension)->assignDouble(static_cast<double>(params.maxPension));
    table.field(kRateJulDec)->assignDouble(params.statRateJulDec);
    table.field(kRateJanJun)->assignDouble(params.statRateJanJun);
}

bool PAYEPARAMDB::readParams(int year, PAYEPARAMREC& params) const {
    params = {};
    return readYearRecord(year, [&](const engine::Data4& table) { params = load(table); });
}

bool PAYEPARAMDB::initRec(PAYEPARAMREC& params) const {
    params = {};
    return readOpenRecord([&](const engine::Data4& table) { params = load(table); });
}

bool PAYEPARAMDB::updateRec(const PAYEPARAMREC& params) {
    return storeOpenRecord([&](engine::Data4& table) { store(table, params); });
}

} // namespace kelo::database
