#include "database/WcfDb.h"

#include "common/Money.h"

namespace kelo::database {

WCFDB::WCFDB(engine::Code4& code, const common::WorkingFolder& folder)
    : StatutoryTable(code, folder, kFileName) {}

Schema WCFDB::tableSchema() {
    return {{{kRate, 'N', 6, 2}}, {}};
}

WCFREC WCFDB::load(const engine::Data4& table) {
    return {percentage(*table.field(kRate))};
}

void WCFDB::store(engine::Data4& table, const WCFREC& rate) {
    table.field(kRate)->assignDouble(rate.rate);
}

bool WCFDB::readFile(int year, WCFREC& rate) const {
    rate = {};
    return readYearRecord(year, [&](const engine::Data4& table) { rate = load(table); });
}

double WCFDB::rateOf(int year) const {
    WCFREC rate;
    return common::decimalOf(readFile(year, rate) ? rate.rate : kDefaultWcfRate);
}

bool WCFDB::initRec(WCFREC& rate) const {
    rate = {};
    return readOpenRecord([&](const engine::Data4& table) { rate = load(table); });
}

bool WCFDB::updateRec(const WCFREC& rate) {
    return storeOpenRecord([&](engine::Data4& table) { store(table, rate); });
}

bool WCFDB::newFile(common::Ui& ui, std::string_view sourceFolder, int year) {
    if (sourceOpens(sourceFolder))
        return StatutoryTable::newFile(ui, sourceFolder, year);
    return newRecordFile(ui, year, [](engine::Data4& table) { store(table, {kDefaultWcfRate}); });
}

} // namespace kelo::database
