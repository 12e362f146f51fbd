#include "dataexchange/ImportPreview.h"

#include "common/Text.h"
#include "database/TableUse.h"
#include "engine/Data4.h"

#include <set>

namespace kelo::dataexchange {

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string refusalLine(const ImportRefusal& refusal) {
    if (refusal.row == 0)
        return refusal.message;
    std::string line = "Row " + std::to_string(refusal.row);
    if (!refusal.column.empty())
        line += ", " + refusal.column;
    return line + ": " + refusal.message;
}

std::vector<std::size_t> matchHeader(const CsvRecord& header,
                                     const std::vector<LayoutColumn>& layout,
                                     ImportPreview& preview) {
    std::vector<std::size_t> columnOf;
    std::set<std::size_t> seen;
    for (const std::string& field : header.fields) {
        const std::string name = common::trim(field);
        std::size_t index = layout.size();
        for (std::size_t i = 0; i < layout.size(); ++i) {
            if (common::equalsIgnoreCase(name, layout[i].header))
                index = i;
        }
        if (index == layout.size())
            preview.refusals.push_back(
                {header.row, name, quoted(name) + " is not a column of this list."});
        else if (!seen.insert(index).second)
            preview.refusals.push_back(
                {header.row, name, "The column " + quoted(name) + " appears twice."});
        columnOf.push_back(index);
    }
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].required && !seen.contains(i))
            preview.refusals.push_back({header.row, layout[i].header,
                                        "The column " + quoted(layout[i].header) + " is missing."});
    }
    return columnOf;
}

std::vector<std::string> fieldsByColumn(const CsvRecord& record,
                                        const std::vector<std::size_t>& columnOf,
                                        std::size_t layoutSize, ImportPreview& preview) {
    std::vector<std::string> fields(layoutSize);
    if (record.fields.size() > columnOf.size())
        preview.refusals.push_back(
            {record.row, "", "This row has more fields than the header row."});
    for (std::size_t f = 0; f < record.fields.size() && f < columnOf.size(); ++f) {
        if (columnOf[f] < layoutSize)
            fields[columnOf[f]] = record.fields[f];
    }
    return fields;
}

bool tablesFree(common::Ui& ui, engine::Code4& code, const std::vector<database::DbTable*>& tables,
                const char* lockedText) {
    // Off, so that no lock taken on the way lets the others go.
    const bool autoUnlock = code.autoUnlock;
    code.autoUnlock = false;
    for (database::DbTable* table : tables)
        code.lockAddAll(*table->data());
    const int rc = code.lockGroup();
    const bool free = rc == engine::r4success;
    if (!free) {
        if (rc == engine::r4locked || database::isLockedByOther(code))
            ui.warning(lockedText);
        else
            ui.error(database::TableUse::cantUpdateMessage(*tables.front()));
    }
    for (database::DbTable* table : tables)
        table->data()->unlock();
    code.autoUnlock = autoUnlock;
    code.setErrorCode(0);
    return free;
}

} // namespace kelo::dataexchange
