#include "database/UnitsDb.h"

#include "common/Text.h"
#include "database/TableSupport.h"

#include <map>
#include <set>
#include <utility>

namespace kelo::database {

UNITSDB::UNITSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath, kName) {}

Schema UNITSDB::schema() const {
    Schema s = lookupSchema();
    s.fields.push_back({kParent, 'N', kCodeWidth, 0});
    s.tags.push_back(tagInfo(kParentTag, kParent));
    return s;
}

bool UNITSDB::getUnitRec(long code, UNITREC& rec) {
    return readCode(code, [&] { rec = currentRec(); });
}

std::vector<UNITREC> UNITSDB::units() {
    std::vector<UNITREC> rows;
    if (!data())
        return rows;
    TablePlace place(data());
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (!data()->deleted())
            rows.push_back(currentRec());
    }
    return rows;
}

bool UNITSDB::hasSubUnits(long code) {
    if (!data())
        return false;
    TablePlace place(data());
    order(kParentTag);
    return seekExactNumber(*data(), static_cast<double>(code));
}

std::string UNITSDB::getUnitPath(long code) {
    if (!data())
        return {};
    TablePlace place(data());
    UNITREC unit;
    if (!getUnitRec(code, unit))
        return {};
    std::string path = unit.name;
    std::set<long> seen{unit.code};
    while (unit.parent != 0 && seen.insert(unit.parent).second && getUnitRec(unit.parent, unit))
        path += "." + unit.name;
    return path;
}

bool UNITSDB::isChildUnit(long unit, long ancestor) {
    if (!data() || ancestor == 0)
        return false;
    TablePlace place(data());
    UNITREC rec;
    if (!getUnitRec(unit, rec))
        return false;
    std::set<long> seen;
    while (seen.insert(rec.code).second) {
        if (rec.code == ancestor)
            return true;
        if (rec.parent == 0 || !getUnitRec(rec.parent, rec))
            return false;
    }
    return false;
}

void UNITSDB::displayUnits(common::DialogView& view, std::string_view control) {
    view.clearTree(control);
    if (!data())
        return;
    std::vector<UNITREC> all;
    {
        TablePlace place(data());
        orderByName();
        all = units();
    }
    std::set<long> known;
    for (const UNITREC& u : all)
        known.insert(u.code);
    // Children in name order, since `all` is.
    std::map<long, std::vector<const UNITREC*>> children;
    std::vector<const UNITREC*> roots;
    for (const UNITREC& u : all) {
        if (u.parent == 0 || !known.count(u.parent) || u.parent == u.code)
            roots.push_back(&u);
        else
            children[u.parent].push_back(&u);
    }

    std::set<long> shown;
    int topLevel = 0;
    common::DialogView::TreeItem onlyTop = common::DialogView::kRoot;
    auto showSubtree = [&](const UNITREC* top) {
        // Depth first with an explicit stack: trees may be deep.
        std::vector<std::pair<const UNITREC*, common::DialogView::TreeItem>> stack{
            {top, common::DialogView::kRoot}};
        while (!stack.empty()) {
            const auto [unit, parentItem] = stack.back();
            stack.pop_back();
            if (!shown.insert(unit->code).second)
                continue;
            const auto item = view.addTreeItem(control, parentItem, unit->name, unit->code);
            if (parentItem == common::DialogView::kRoot) {
                ++topLevel;
                onlyTop = item;
            }
            const auto found = children.find(unit->code);
            if (found == children.end())
                continue;
            for (auto child = found->second.rbegin(); child != found->second.rend(); ++child)
                stack.emplace_back(*child, item);
        }
    };
    for (const UNITREC* root : roots)
        showSubtree(root);
    // Units caught in a loop never hang below a root: show them at the top.
    for (const UNITREC& u : all) {
        if (!shown.count(u.code))
            showSubtree(&u);
    }
    if (topLevel > 1)
        view.sortTreeChildren(control, common::DialogView::kRoot);
    if (topLevel == 1)
        view.expandTreeItem(control, onlyTop);
}

long UNITSDB::getSelUnitCode(const common::DialogView& view, std::string_view control) {
    const auto item = view.selectedTreeItem(control);
    return item == common::DialogView::kRoot ? 0 : view.treeItemCode(control, item);
}

bool UNITSDB::gotoSelUnit(const common::DialogView& view, std::string_view control) {
    const long code = getSelUnitCode(view, control);
    return code != 0 && gotoCode(code);
}

bool UNITSDB::selectUnit(common::DialogView& view, std::string_view control, long code) {
    std::vector<common::DialogView::TreeItem> pending =
        view.treeChildren(control, common::DialogView::kRoot);
    while (!pending.empty()) {
        const auto item = pending.back();
        pending.pop_back();
        if (view.treeItemCode(control, item) == code) {
            view.selectTreeItem(control, item);
            return true;
        }
        const auto children = view.treeChildren(control, item);
        pending.insert(pending.end(), children.begin(), children.end());
    }
    return false;
}

UNITREC UNITSDB::currentRec() const {
    UNITREC rec;
    if (!data() || data()->eof())
        return rec;
    rec.code = field(kCode).getLong();
    rec.name = field(kName).trimmed();
    rec.parent = field(kParent).getLong();
    return rec;
}

bool UNITSDB::appendRecord(UNITREC& rec) {
    const long code = appendWithNextCode([&] {
        field(kName).assign(common::trim(rec.name));
        field(kParent).assignLong(rec.parent);
    });
    if (code == 0)
        return false;
    rec.code = code;
    return true;
}

} // namespace kelo::database
