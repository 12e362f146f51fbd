#include "staffrecords/FieldsFrm.h"

#include "database/CoopsDb.h"
#include "database/DbTable.h"
#include "database/PensionsDb.h"
#include "database/TransactionsRebuild.h"
#include "database/VarDb.h"
#include "staffrecords/FieldsFrmControls.h"
#include "staffrecords/FieldsRules.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace kelo::staffrecords {

namespace ff = fieldsfrm;
using common::PayItemDef;

namespace {

// Fills a list with `choices`, adding `current` when it is not among them
// (a built-in item's own type), and selects `current`.
void fillChoices(common::DialogView& view, std::string_view control,
                 const std::vector<std::string>& choices, const std::string& current) {
    view.clearItems(control);
    for (const std::string& choice : choices)
        view.addItem(control, choice);
    int row = view.findItem(control, current);
    if (row < 0 && !current.empty())
        row = view.addItem(control, current);
    view.selectRow(control, row);
}

bool sameColumns(common::FIELDSTABLE table, const PayItemDef& a, const PayItemDef& b) {
    if (a.builtIn && b.builtIn)
        return true;
    const auto before = database::payItemColumns(table, a.id, a);
    const auto after = database::payItemColumns(table, b.id, b);
    return std::equal(before.begin(), before.end(), after.begin(), after.end(),
                      [](const engine::Field4Info& x, const engine::Field4Info& y) {
                          return x.name == y.name && x.type == y.type && x.length == y.length;
                      });
}

constexpr const char* kRestartQuestion =
    "Changing the type or function of this field changes what its payroll values mean. "
    "Each employee's amounts and balances for this item will start again from zero. "
    "The item will be switched off for every employee. Do you want to continue?";

void renumber(std::vector<PayItemDef>& items) {
    std::int32_t position = 0;
    for (PayItemDef& def : items)
        def.position = ++position;
}

} // namespace

FIELDSFRM::FIELDSFRM(common::Ui& ui, common::DialogView& form, engine::Code4& code,
                     const common::WorkingFolder& folder)
    : ui_(ui),
      form_(form),
      code_(code),
      folder_(folder) {}

FIELDSFRM::FIELDSFRM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder)
    : ui_(ui),
      form_(noForm_),
      code_(code),
      folder_(folder) {}

bool FIELDSFRM::addItem(common::Ui& ui, const PayItemDef& wanted) {
    PayItemDef item = wanted;
    item.position = static_cast<std::int32_t>(list().size()) + 1;
    item.id = database::nextItemId(tables_, table_);
    item.builtIn = false;
    item.itemName =
        common::fitText(common::trim(item.itemName), common::PayItemWidths::kItemNameWidth);
    const auto links = common::isCoopType(item.itemType) ? &coops_ : &funds_;
    const bool linked =
        common::isCoopType(item.itemType) || item.itemType == common::kTypePensionContribution;
    const bool linkKnown =
        !linked || (item.link && std::any_of(links->begin(), links->end(), [&](const auto& e) {
                        return e.code == item.link->id;
                    }));
    std::optional<std::string> fault = parameterFault(item);
    if (!fault && !linkKnown && item.link)
        fault = blankMessage(common::isCoopType(item.itemType) ? "co-ooerative name"
                                                               : "pension fund name");
    if (!fault)
        fault = validateItem(list(), list().size(), item);
    if (fault) {
        ui.warning(*fault);
        return false;
    }
    database::PayFieldTables next = tables_;
    next[static_cast<std::size_t>(table_)].push_back(item);
    if (!commit(ui, std::move(next), true))
        return false;
    isNew_ = false;
    index_ = list().size() - 1;
    display();
    return true;
}

bool FIELDSFRM::checkFiles(common::Ui& ui, const common::ORGREC&) {
    for (const char* path : {database::COOPSDB::kPath, database::PENSIONSDB::kPath}) {
        if (!database::isValid(code_, folder_, path)) {
            ui.error(std::string("Unable to open ") + path);
            return false;
        }
    }
    return true;
}

bool FIELDSFRM::readLookups(common::Ui& ui) {
    database::COOPSDB coops(code_, folder_);
    database::PENSIONSDB funds(code_, folder_);
    const auto read = [&](database::LookupTable& table, std::vector<database::LookupEntry>& out) {
        auto rows = table.entriesByName();
        if (!rows) {
            ui.error("Unable to open " + table.relativePath());
            return false;
        }
        out = std::move(*rows);
        return true;
    };
    return read(coops, coops_) && read(funds, funds_);
}

bool FIELDSFRM::open(common::Ui& ui, common::FIELDSTABLE table, const common::ORGREC& org) {
    database::PayFieldTables tables;
    if (!readLookups(ui) || !database::readPayFields(ui, folder_, org.payFreq, tables))
        return false;
    payFreq_ = org.payFreq;
    orgFolder_ = org.folder;
    table_ = table;
    tables_ = std::move(tables);
    index_ = 0;
    isNew_ = false;
    initFieldsWnd();
    display();
    return true;
}

void FIELDSFRM::initFieldsWnd() {
    form_.setTextLimit(ff::kName, static_cast<int>(common::PayItemWidths::kItemNameWidth));
}

void FIELDSFRM::display() {
    const bool any = shownCount() > 0;
    if (!isNew_)
        item_ = index_ < list().size() ? list()[index_] : PayItemDef{};
    form_.setText(ff::kPosition, "Field " + std::to_string(any ? index_ + 1 : 0) + " of " +
                                     std::to_string(shownCount()));
    form_.setText(ff::kName, item_.itemName);
    fillChoices(form_, ff::kType, any ? typesOffered(table_, payFreq_) : std::vector<std::string>{},
                item_.itemType);
    for (const char* control : {ff::kName, ff::kStatic, ff::kTaxable})
        form_.setEnabled(control, any);
    form_.setEnabled(ff::kType, any && !item_.builtIn);
    form_.setChecked(ff::kStatic, item_.isStatic != 0);
    displayButtons();
}

void FIELDSFRM::displayButtons() {
    const bool any = shownCount() > 0;
    fillChoices(form_, ff::kFunction,
                any && !item_.builtIn ? functionsOffered(table_, item_.itemType)
                                      : std::vector<std::string>{},
                item_.itemFunction);
    form_.setEnabled(ff::kFunction, any && !item_.builtIn);
    const bool isPension = item_.itemType == common::kTypePensionContribution;
    const bool linked = isPension || common::isCoopType(item_.itemType);
    form_.setVisible(ff::kTypeButton, linked);
    form_.setText(ff::kTypeButton, isPension ? "Pension Fund..." : "Co-operative...");
    form_.setText(ff::kTaxable, isPension ? "Pre-tax deduction" : "Taxable");
    // A taxable pension contribution is one that gets no relief, so the
    // "Pre-tax deduction" box shows the flag the other way round.
    form_.setChecked(ff::kTaxable, (item_.taxable != 0) != isPension);
    std::string parameters;
    if (!item_.builtIn) {
        if (common::isPercentFunction(item_.itemFunction))
            parameters = "Percentage...";
        else if (item_.itemFunction == common::kFuncKeyIn)
            parameters = "Limits...";
        else if (item_.itemFunction == common::kFuncBasedOnHours)
            parameters = "Hourly Rate...";
    }
    form_.setVisible(ff::kFunctionButton, !parameters.empty());
    form_.setText(ff::kFunctionButton, parameters);
    form_.setEnabled(ff::kDelete, any && !item_.builtIn);
    form_.setEnabled(ff::kFirst, index_ > 0);
    form_.setEnabled(ff::kPrevious, index_ > 0);
    form_.setEnabled(ff::kNext, index_ + 1 < shownCount());
    form_.setEnabled(ff::kLast, index_ + 1 < shownCount());
}

void FIELDSFRM::readForm() {
    if (shownCount() == 0)
        return;
    item_.itemName =
        common::fitText(common::trim(form_.text(ff::kName)), common::PayItemWidths::kItemNameWidth);
    item_.isStatic = form_.isChecked(ff::kStatic) ? 1 : 0;
    const bool isPension = item_.itemType == common::kTypePensionContribution;
    item_.taxable = form_.isChecked(ff::kTaxable) != isPension ? 1 : 0;
}

void FIELDSFRM::resetType() {
    const std::string chosen = getType();
    if (item_.builtIn || chosen.empty() || chosen == item_.itemType)
        return;
    readForm();
    changeType(item_, chosen);
    form_.setChecked(ff::kStatic, item_.isStatic != 0);
    displayButtons();
}

void FIELDSFRM::resetFunction() {
    const std::string chosen = getFunction();
    if (item_.builtIn || chosen.empty() || chosen == item_.itemFunction)
        return;
    readForm();
    item_.itemFunction = chosen;
    displayButtons();
}

std::string FIELDSFRM::getType() const {
    const int row = form_.selectedRow(ff::kType);
    return row < 0 ? std::string() : form_.itemText(ff::kType, row);
}

std::string FIELDSFRM::getFunction() const {
    const int row = form_.selectedRow(ff::kFunction);
    return row < 0 ? std::string() : form_.itemText(ff::kFunction, row);
}

bool FIELDSFRM::writeFile(common::Ui& ui, const database::PayFieldTables& tables) {
    if (database::writePayFields(folder_, orgFolder_, payFreq_,
                                 database::payFieldsComment(payFreq_), tables))
        return true;
    ui.error("Can't write to " + std::string(common::payFieldDefinitionsPath(payFreq_)));
    return false;
}

bool FIELDSFRM::commit(common::Ui& ui, database::PayFieldTables next, bool rebuild,
                       const database::PayItemIds& restart) {
    // An identifier once given stays given, the deleted item's too.
    for (common::FIELDSTABLE table : common::kFieldsTables)
        next.highestIds[static_cast<std::size_t>(table)] =
            std::max(database::highestItemId(tables_, table), database::highestItemId(next, table));
    common::PayItemDefs before, after;
    if (!database::payItemDefsOf(tables_, before) || !database::payItemDefsOf(next, after))
        return false;
    const bool restarting =
        std::any_of(restart.begin(), restart.end(), [](const auto& ids) { return !ids.empty(); });
    if (restarting) {
        // Values started again cannot be rebuilt back, so the file goes
        // first and is put back when the rebuild fails.
        if (!writeFile(ui, next))
            return false;
        if (!database::rebuildTransactions(ui, code_, folder_, payFreq_, after, restart)) {
            writeFile(ui, tables_);
            return false;
        }
    } else {
        if (rebuild && !database::rebuildTransactions(ui, code_, folder_, payFreq_, after))
            return false;
        if (!writeFile(ui, next)) {
            // The table must again match the definitions that stay on file.
            if (rebuild)
                database::rebuildTransactions(ui, code_, folder_, payFreq_, before);
            return false;
        }
    }
    tables_ = std::move(next);
    return true;
}

bool FIELDSFRM::save(common::Ui& ui, const common::ORGREC&) {
    if (shownCount() == 0)
        return true;
    readForm();
    if (const auto message = validateItem(list(), index_, item_)) {
        ui.warning(*message);
        form_.setFocus(ff::kName);
        return false;
    }
    if (!isNew_ && item_ == list()[index_])
        return true;
    const bool restart = !isNew_ && valuesChangeMeaning(list()[index_], item_);
    if (restart && !ui.ask(kRestartQuestion, common::Answer::No))
        return false;
    database::PayFieldTables next = tables_;
    auto& items = next[static_cast<std::size_t>(table_)];
    const bool rebuild = isNew_ || restart || !sameColumns(table_, items[index_], item_);
    database::PayItemIds restartIds;
    if (restart)
        restartIds[static_cast<std::size_t>(table_)].push_back(item_.id);
    if (isNew_)
        items.push_back(item_);
    else
        items[index_] = item_;
    if (!commit(ui, std::move(next), rebuild, restartIds))
        return false;
    isNew_ = false;
    display();
    return true;
}

bool FIELDSFRM::moveTo(common::Ui& ui, const common::ORGREC& org, std::size_t index) {
    if (!save(ui, org))
        return false;
    if (index < list().size())
        index_ = index;
    display();
    return true;
}

bool FIELDSFRM::nextRecord(common::Ui& ui, const common::ORGREC& org) {
    return moveTo(ui, org, index_ + 1);
}

bool FIELDSFRM::previousRecord(common::Ui& ui, const common::ORGREC& org) {
    return moveTo(ui, org, index_ > 0 ? index_ - 1 : 0);
}

bool FIELDSFRM::firstRecord(common::Ui& ui, const common::ORGREC& org) {
    return moveTo(ui, org, 0);
}

bool FIELDSFRM::lastRecord(common::Ui& ui, const common::ORGREC& org) {
    return moveTo(ui, org, list().empty() ? 0 : list().size() - 1);
}

bool FIELDSFRM::addRecord(common::Ui& ui, const common::ORGREC& org) {
    if (!save(ui, org))
        return false;
    item_ = newItemDef(static_cast<std::int32_t>(list().size()) + 1,
                       database::nextItemId(tables_, table_));
    index_ = list().size();
    isNew_ = true;
    display();
    form_.setFocus(ff::kName);
    return true;
}

bool FIELDSFRM::deleteRecord(common::Ui& ui, const common::ORGREC&) {
    if (shownCount() == 0)
        return false;
    if (item_.builtIn) {
        ui.beep();
        return false;
    }
    if (!ui.ask("Are you sure you want to delete this field?", common::Answer::No))
        return false;
    if (!isNew_) {
        database::PayFieldTables next = tables_;
        auto& items = next[static_cast<std::size_t>(table_)];
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(index_));
        renumber(items);
        if (!commit(ui, std::move(next), true))
            return false;
    }
    isNew_ = false;
    if (index_ >= list().size())
        index_ = list().empty() ? 0 : list().size() - 1;
    display();
    return true;
}

bool FIELDSFRM::close(common::Ui& ui, const common::ORGREC& org) {
    return save(ui, org);
}

} // namespace kelo::staffrecords
