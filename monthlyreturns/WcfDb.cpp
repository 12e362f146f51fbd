#include "monthlyreturns/WcfDb.h"

#include "common/Money.h"
#include "engine/Data4.h"
#include "engine/Field4.h"

namespace kelo::monthlyreturns {

WCFDB::WCFDB(engine::Code4& code, const common::WorkingFolder& folder)
    : StatutoryTable(code, folder, kFileName) {}

database::Schema WCFDB::tableSchema() {
    return {{{kRate, 'N', 6, 2}}, {}};
}

double WCFDB::rateOf(int year) const {
    double rate = kDefaultWcfRate;
    readYearRecord(year, [&](const engine::Data4& table) {
        rate = common::decimalValue(table.field(kRate)->getDouble());
    });
    return rate;
}

void WCFDB::store(engine::Data4& table, double rate) {
    table.field(kRate)->assignDouble(rate);
}

} // namespace kelo::monthlyreturns
