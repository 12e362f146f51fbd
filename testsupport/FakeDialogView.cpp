#include "testsupport/FakeDialogView.h"

#include <algorithm>
#include <cctype>

namespace kelo::testsupport {

namespace {
const FakeDialogView::Control kEmpty{};

std::string lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
} // namespace

const FakeDialogView::Control* FakeDialogView::find(std::string_view name) const {
    const auto it = controls_.find(std::string(name));
    return it == controls_.end() ? &kEmpty : &it->second;
}

const FakeDialogView::Row* FakeDialogView::row(std::string_view control, int index) const {
    const Control* c = find(control);
    if (index < 0 || index >= static_cast<int>(c->rows.size()))
        return nullptr;
    return &c->rows[static_cast<std::size_t>(index)];
}

const FakeDialogView::Node* FakeDialogView::node(std::string_view control, TreeItem item) const {
    const Control* c = find(control);
    const auto it = c->nodes.find(item);
    return it == c->nodes.end() ? nullptr : &it->second;
}

std::string FakeDialogView::text(std::string_view control) const {
    return find(control)->text;
}

void FakeDialogView::setText(std::string_view name, std::string_view text) {
    Control& c = control(name);
    c.text = text;
    if (c.textLimit > 0 && c.text.size() > static_cast<std::size_t>(c.textLimit))
        c.text.resize(static_cast<std::size_t>(c.textLimit));
}

void FakeDialogView::setTextLimit(std::string_view name, int characters) {
    control(name).textLimit = characters;
}

bool FakeDialogView::isChecked(std::string_view control) const {
    return find(control)->checked;
}

void FakeDialogView::setChecked(std::string_view name, bool checked) {
    control(name).checked = checked;
}

bool FakeDialogView::isEnabled(std::string_view control) const {
    return find(control)->enabled;
}

void FakeDialogView::setEnabled(std::string_view name, bool enabled) {
    control(name).enabled = enabled;
}

bool FakeDialogView::isVisible(std::string_view control) const {
    return find(control)->visible;
}

void FakeDialogView::setVisible(std::string_view name, bool visible) {
    control(name).visible = visible;
}

void FakeDialogView::clearItems(std::string_view name) {
    Control& c = control(name);
    c.rows.clear();
    c.selectedRow = -1;
}

int FakeDialogView::addItem(std::string_view name, std::string_view text, long code) {
    Control& c = control(name);
    c.rows.push_back({std::string(text), code, false});
    return static_cast<int>(c.rows.size()) - 1;
}

void FakeDialogView::insertItem(std::string_view name, int at, std::string_view text, long code) {
    Control& c = control(name);
    at = std::clamp(at, 0, static_cast<int>(c.rows.size()));
    c.rows.insert(c.rows.begin() + at, {std::string(text), code, false});
    if (c.selectedRow >= at)
        ++c.selectedRow;
}

void FakeDialogView::removeItem(std::string_view name, int at) {
    Control& c = control(name);
    if (at < 0 || at >= static_cast<int>(c.rows.size()))
        return;
    c.rows.erase(c.rows.begin() + at);
    if (c.selectedRow == at)
        c.selectedRow = -1;
    else if (c.selectedRow > at)
        --c.selectedRow;
}

int FakeDialogView::itemCount(std::string_view control) const {
    return static_cast<int>(find(control)->rows.size());
}

std::string FakeDialogView::itemText(std::string_view control, int index) const {
    const Row* r = row(control, index);
    return r ? r->text : std::string();
}

void FakeDialogView::setItemText(std::string_view name, int index, std::string_view text) {
    if (row(name, index))
        control(name).rows[static_cast<std::size_t>(index)].text = text;
}

long FakeDialogView::itemCode(std::string_view control, int index) const {
    const Row* r = row(control, index);
    return r ? r->code : 0;
}

int FakeDialogView::findItem(std::string_view control, std::string_view text) const {
    const auto& rows = find(control)->rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].text == text)
            return static_cast<int>(i);
    }
    return -1;
}

int FakeDialogView::selectedRow(std::string_view control) const {
    return find(control)->selectedRow;
}

void FakeDialogView::selectRow(std::string_view name, int index) {
    Control& c = control(name);
    c.selectedRow = index >= 0 && index < static_cast<int>(c.rows.size()) ? index : -1;
}

std::vector<int> FakeDialogView::selectedRows(std::string_view control) const {
    std::vector<int> selected;
    const auto& rows = find(control)->rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].selected)
            selected.push_back(static_cast<int>(i));
    }
    return selected;
}

void FakeDialogView::setRowSelected(std::string_view name, int index, bool selected) {
    if (row(name, index))
        control(name).rows[static_cast<std::size_t>(index)].selected = selected;
}

void FakeDialogView::clearTree(std::string_view name) {
    Control& c = control(name);
    c.nodes.clear();
    c.selectedTreeItem = kRoot;
}

FakeDialogView::TreeItem FakeDialogView::addTreeItem(std::string_view name, TreeItem parent,
                                                     std::string_view text, long code) {
    Control& c = control(name);
    if (parent != kRoot && !c.nodes.count(parent))
        return kRoot;
    const TreeItem item = nextTreeItem_++;
    c.nodes[item] = {std::string(text), code, parent, {}, false};
    c.nodes[parent].children.push_back(item);
    return item;
}

void FakeDialogView::removeTreeItem(std::string_view name, TreeItem item) {
    Control& c = control(name);
    const auto it = c.nodes.find(item);
    if (item == kRoot || it == c.nodes.end())
        return;
    for (TreeItem child : std::vector<TreeItem>(it->second.children))
        removeTreeItem(name, child);
    auto& siblings = c.nodes[it->second.parent].children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    if (c.selectedTreeItem == item)
        c.selectedTreeItem = kRoot;
    c.nodes.erase(item);
}

std::string FakeDialogView::treeItemText(std::string_view control, TreeItem item) const {
    const Node* n = node(control, item);
    return n ? n->text : std::string();
}

void FakeDialogView::setTreeItemText(std::string_view name, TreeItem item, std::string_view text) {
    if (node(name, item))
        control(name).nodes[item].text = text;
}

long FakeDialogView::treeItemCode(std::string_view control, TreeItem item) const {
    const Node* n = node(control, item);
    return n ? n->code : 0;
}

FakeDialogView::TreeItem FakeDialogView::treeParent(std::string_view control, TreeItem item) const {
    const Node* n = node(control, item);
    return n ? n->parent : kRoot;
}

std::vector<FakeDialogView::TreeItem> FakeDialogView::treeChildren(std::string_view control,
                                                                   TreeItem parent) const {
    const Node* n = node(control, parent);
    return n ? n->children : std::vector<TreeItem>{};
}

FakeDialogView::TreeItem FakeDialogView::selectedTreeItem(std::string_view control) const {
    return find(control)->selectedTreeItem;
}

void FakeDialogView::selectTreeItem(std::string_view name, TreeItem item) {
    if (item == kRoot || node(name, item))
        control(name).selectedTreeItem = item;
}

void FakeDialogView::expandTreeItem(std::string_view name, TreeItem item) {
    if (node(name, item))
        control(name).nodes[item].expanded = true;
}

void FakeDialogView::sortTreeChildren(std::string_view name, TreeItem parent) {
    Control& c = control(name);
    if (!node(name, parent))
        return;
    auto& children = c.nodes[parent].children;
    std::stable_sort(children.begin(), children.end(), [&c](TreeItem a, TreeItem b) {
        return lower(c.nodes[a].text) < lower(c.nodes[b].text);
    });
}

std::vector<std::string> FakeDialogView::itemTexts(std::string_view control) const {
    std::vector<std::string> texts;
    for (const Row& r : find(control)->rows)
        texts.push_back(r.text);
    return texts;
}

} // namespace kelo::testsupport
