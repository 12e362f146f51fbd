#include "database/PayeDb.h"

#include "database/OrderedRows.h"

#include <algorithm>

namespace kelo::database {

PAYEDB::PAYEDB(engine::Code4& code, const common::WorkingFolder& folder)
    : StatutoryTable(code, folder, kFileName) {}

Schema PAYEDB::tableSchema() {
    return {{{kLowerLimit, 'N', 12, 0}, {kUpperLimit, 'N', 12, 0}, {kRate, 'N', 6, 2}}, {}};
}

PAYEREC PAYEDB::load(const engine::Data4& table) {
    PAYEREC band;
    band.lowerLimit = wholeShillings(*table.field(kLowerLimit));
    band.upperLimit = wholeShillings(*table.field(kUpperLimit));
    band.rate = percentage(*table.field(kRate));
    return band;
}

void PAYEDB::store(engine::Data4& table, const PAYEREC& band) {
    table.field(kLowerLimit)->assignDouble(static_cast<double>(band.lowerLimit));
    table.field(kUpperLimit)->assignDouble(static_cast<double>(band.upperLimit));
    table.field(kRate)->assignDouble(band.rate);
}

int PAYEDB::readBrackets(int year, std::span<unsigned long> limits, std::span<float> rates,
                         int maximum) const {
    auto table = openForReading(year);
    if (!table)
        return 0;
    const auto room = static_cast<int>(std::min(limits.size(), rates.size()));
    const int wanted = std::min(maximum, room);
    int count = 0;
    for (int rc = table->top(); rc == engine::r4success && count < wanted; rc = table->skip()) {
        if (table->deleted())
            continue;
        const PAYEREC band = load(*table);
        limits[static_cast<std::size_t>(count)] = band.upperLimit;
        rates[static_cast<std::size_t>(count)] = band.rate;
        ++count;
    }
    table->close();
    code().setErrorCode(0);
    return count;
}

long PAYEDB::rowCount() const {
    return data() ? data()->recCount() : 0;
}

std::vector<PAYEREC> PAYEDB::readRows() const {
    std::vector<PAYEREC> bands;
    if (!data())
        return bands;
    for (int rc = data()->top(); rc == engine::r4success; rc = data()->skip())
        bands.push_back(load(*data()));
    code().setErrorCode(0);
    return bands;
}

bool PAYEDB::readRow(long recNo, PAYEREC& band) const {
    if (!data() || recNo < 1 || recNo > data()->recCount() ||
        data()->go(recNo) != engine::r4success) {
        code().setErrorCode(0);
        return false;
    }
    band = load(*data());
    return true;
}

bool PAYEDB::lockRow(long recNo) {
    return data() && orderedrows::lockRecord(*data(), recNo);
}

bool PAYEDB::updateRow(long recNo, const PAYEREC& band) {
    return data() && orderedrows::storeRecord(*data(), recNo,
                                              [&](engine::Data4& table) { store(table, band); });
}

void PAYEDB::unlockRows() {
    if (data())
        data()->unlock();
}

bool PAYEDB::insertRow(long recNo, const PAYEREC& band) {
    return data() && orderedrows::insertAfter(*data(), recNo,
                                              [&](engine::Data4& table) { store(table, band); });
}

bool PAYEDB::deleteRow(long recNo) {
    return data() && orderedrows::removeRecord(*data(), recNo);
}

long PAYEDB::firstBrokenLink() const {
    const std::vector<PAYEREC> bands = readRows();
    for (std::size_t i = 1; i < bands.size(); ++i) {
        if (bands[i].lowerLimit != bands[i - 1].upperLimit + 1)
            return static_cast<long>(i + 1);
    }
    return 0;
}

} // namespace kelo::database
