#include "database/IncomesDb.h"

#include "database/OrderedRows.h"
#include "database/StatutoryTable.h"

namespace kelo::database {

INCOMESDB::INCOMESDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema INCOMESDB::tableSchema() {
    return {{{kLowerLimit, 'N', 12, 0}, {kUpperLimit, 'N', 12, 0}}, {}};
}

INCOMEREC INCOMESDB::load(const engine::Data4& table) {
    return {wholeShillings(*table.field(kLowerLimit)), wholeShillings(*table.field(kUpperLimit))};
}

void INCOMESDB::store(engine::Data4& table, const INCOMEREC& bracket) {
    table.field(kLowerLimit)->assignDouble(static_cast<double>(bracket.lowerLimit));
    table.field(kUpperLimit)->assignDouble(static_cast<double>(bracket.upperLimit));
}

bool INCOMESDB::checkFile() {
    return openSharedTable(code(), path(), schema()) != nullptr;
}

bool INCOMESDB::newFile(common::Ui& ui, std::string_view sourceFolder) {
    closeFile();
    if (checkFile())
        return true;
    std::string source(sourceFolder);
    if (!source.empty() && source.back() != '/' && source.back() != '\\')
        source += '/';
    return copyTable(ui, *this, source + kFileName);
}

std::vector<INCOMEREC> INCOMESDB::readBrackets() const {
    std::vector<INCOMEREC> brackets;
    auto table = openSharedTable(code(), path(), schema());
    if (!table)
        return brackets;
    for (int rc = table->top(); rc == engine::r4success; rc = table->skip()) {
        if (!table->deleted())
            brackets.push_back(load(*table));
    }
    table->close();
    code().setErrorCode(0);
    return brackets;
}

long INCOMESDB::rowCount() const {
    return data() ? data()->recCount() : 0;
}

std::vector<INCOMEREC> INCOMESDB::readRows() const {
    std::vector<INCOMEREC> brackets;
    if (!data())
        return brackets;
    for (int rc = data()->top(); rc == engine::r4success; rc = data()->skip())
        brackets.push_back(load(*data()));
    code().setErrorCode(0);
    return brackets;
}

bool INCOMESDB::readRow(long recNo, INCOMEREC& bracket) const {
    if (!data() || recNo < 1 || recNo > data()->recCount() ||
        data()->go(recNo) != engine::r4success) {
        code().setErrorCode(0);
        return false;
    }
    bracket = load(*data());
    return true;
}

bool INCOMESDB::lockRow(long recNo) {
    return data() && orderedrows::lockRecord(*data(), recNo);
}

bool INCOMESDB::updateRow(long recNo, const INCOMEREC& bracket) {
    return data() && orderedrows::storeRecord(*data(), recNo,
                                              [&](engine::Data4& table) { store(table, bracket); });
}

void INCOMESDB::unlockRows() {
    if (data())
        data()->unlock();
}

bool INCOMESDB::insertRow(long recNo, const INCOMEREC& bracket) {
    return data() && orderedrows::insertAfter(*data(), recNo,
                                              [&](engine::Data4& table) { store(table, bracket); });
}

bool INCOMESDB::deleteRow(long recNo) {
    return data() && orderedrows::removeRecord(*data(), recNo);
}

long INCOMESDB::firstBrokenLink() const {
    const std::vector<INCOMEREC> brackets = readRows();
    for (std::size_t i = 1; i < brackets.size(); ++i) {
        const unsigned long previous = brackets[i - 1].upperLimit;
        if (brackets[i].lowerLimit != previous && brackets[i].lowerLimit != previous + 1)
            return static_cast<long>(i + 1);
    }
    return 0;
}

} // namespace kelo::database
