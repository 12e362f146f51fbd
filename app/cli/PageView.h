#pragma once

#include "common/DialogView.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace kelo::app::cli {

// A dialog held in memory, so that the command line can open a wizard page,
// choose in its lists as a clerk would and close it through the page's own
// logic. Controls come into being when first named.
class PageView final : public common::DialogView {
public:
    void setCaption(std::string_view text) override { caption_ = text; }
    std::string caption() const override { return caption_; }
    void setFocus(std::string_view control) override { focus_ = control; }
    std::string focus() const override { return focus_; }

    std::string text(std::string_view control) const override { return get(control).text; }
    void setText(std::string_view control, std::string_view text) override {
        at(control).text = text;
    }
    void setTextLimit(std::string_view, int) override {}
    bool isChecked(std::string_view control) const override { return get(control).checked; }
    void setChecked(std::string_view control, bool checked) override {
        at(control).checked = checked;
    }
    bool isEnabled(std::string_view control) const override { return get(control).enabled; }
    void setEnabled(std::string_view control, bool enabled) override {
        at(control).enabled = enabled;
    }
    bool isVisible(std::string_view control) const override { return get(control).visible; }
    void setVisible(std::string_view control, bool visible) override {
        at(control).visible = visible;
    }

    void clearItems(std::string_view control) override {
        at(control).rows.clear();
        at(control).selected = -1;
    }
    int addItem(std::string_view control, std::string_view text, long code) override {
        Control& c = at(control);
        c.rows.push_back({std::string(text), code, false});
        return static_cast<int>(c.rows.size()) - 1;
    }
    void insertItem(std::string_view control, int row, std::string_view text, long code) override {
        Control& c = at(control);
        const auto place =
            std::clamp<std::size_t>(static_cast<std::size_t>(std::max(row, 0)), 0, c.rows.size());
        c.rows.insert(c.rows.begin() + static_cast<std::ptrdiff_t>(place),
                      {std::string(text), code, false});
    }
    void removeItem(std::string_view control, int row) override {
        Control& c = at(control);
        if (inside(c, row))
            c.rows.erase(c.rows.begin() + row);
    }
    int itemCount(std::string_view control) const override {
        return static_cast<int>(get(control).rows.size());
    }
    std::string itemText(std::string_view control, int row) const override {
        const Control& c = get(control);
        return inside(c, row) ? c.rows[static_cast<std::size_t>(row)].text : std::string();
    }
    void setItemText(std::string_view control, int row, std::string_view text) override {
        Control& c = at(control);
        if (inside(c, row))
            c.rows[static_cast<std::size_t>(row)].text = text;
    }
    long itemCode(std::string_view control, int row) const override {
        const Control& c = get(control);
        return inside(c, row) ? c.rows[static_cast<std::size_t>(row)].code : 0;
    }
    int findItem(std::string_view control, std::string_view text) const override {
        const Control& c = get(control);
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            if (c.rows[i].text == text)
                return static_cast<int>(i);
        return -1;
    }
    int selectedRow(std::string_view control) const override { return get(control).selected; }
    void selectRow(std::string_view control, int row) override {
        Control& c = at(control);
        c.selected = inside(c, row) ? row : -1;
    }
    std::vector<int> selectedRows(std::string_view control) const override {
        std::vector<int> out;
        const Control& c = get(control);
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            if (c.rows[i].chosen || static_cast<int>(i) == c.selected)
                out.push_back(static_cast<int>(i));
        return out;
    }
    void setRowSelected(std::string_view control, int row, bool selected) override {
        Control& c = at(control);
        if (inside(c, row))
            c.rows[static_cast<std::size_t>(row)].chosen = selected;
    }

    void clearTree(std::string_view control) override {
        at(control).items.clear();
        at(control).treeSelected = kRoot;
    }
    TreeItem addTreeItem(std::string_view control, TreeItem parent, std::string_view text,
                         long code) override {
        Control& c = at(control);
        c.items.push_back({++lastItem_, parent, std::string(text), code});
        return lastItem_;
    }
    void removeTreeItem(std::string_view control, TreeItem item) override {
        std::vector<Item>& items = at(control).items;
        std::erase_if(items, [item](const Item& i) { return i.id == item; });
    }
    std::string treeItemText(std::string_view control, TreeItem item) const override {
        const Item* found = find(control, item);
        return found ? found->text : std::string();
    }
    void setTreeItemText(std::string_view control, TreeItem item, std::string_view text) override {
        for (Item& i : at(control).items)
            if (i.id == item)
                i.text = text;
    }
    long treeItemCode(std::string_view control, TreeItem item) const override {
        const Item* found = find(control, item);
        return found ? found->code : 0;
    }
    TreeItem treeParent(std::string_view control, TreeItem item) const override {
        const Item* found = find(control, item);
        return found ? found->parent : kRoot;
    }
    std::vector<TreeItem> treeChildren(std::string_view control, TreeItem parent) const override {
        std::vector<TreeItem> out;
        for (const Item& i : get(control).items)
            if (i.parent == parent)
                out.push_back(i.id);
        return out;
    }
    TreeItem selectedTreeItem(std::string_view control) const override {
        return get(control).treeSelected;
    }
    void selectTreeItem(std::string_view control, TreeItem item) override {
        at(control).treeSelected = item;
    }
    void expandTreeItem(std::string_view, TreeItem) override {}
    void sortTreeChildren(std::string_view control, TreeItem parent) override {
        std::vector<Item>& items = at(control).items;
        const auto lower = [](std::string text) {
            for (char& c : text)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return text;
        };
        // The children keep the places they hold among the other items.
        std::vector<std::size_t> places;
        std::vector<Item> children;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].parent == parent) {
                places.push_back(i);
                children.push_back(items[i]);
            }
        }
        std::stable_sort(children.begin(), children.end(), [&](const Item& a, const Item& b) {
            return lower(a.text) < lower(b.text);
        });
        for (std::size_t i = 0; i < places.size(); ++i)
            items[places[i]] = children[i];
    }

private:
    struct Row {
        std::string text;
        long code = 0;
        bool chosen = false;
    };
    struct Item {
        TreeItem id = kRoot;
        TreeItem parent = kRoot;
        std::string text;
        long code = 0;
    };
    struct Control {
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        std::vector<Row> rows;
        int selected = -1;
        std::vector<Item> items;
        TreeItem treeSelected = kRoot;
    };

    static bool inside(const Control& c, int row) {
        return row >= 0 && static_cast<std::size_t>(row) < c.rows.size();
    }
    Control& at(std::string_view control) { return controls_[std::string(control)]; }
    const Control& get(std::string_view control) const {
        static const Control kAbsent;
        const auto found = controls_.find(std::string(control));
        return found == controls_.end() ? kAbsent : found->second;
    }
    const Item* find(std::string_view control, TreeItem item) const {
        for (const Item& i : get(control).items)
            if (i.id == item)
                return &i;
        return nullptr;
    }

    std::string caption_;
    std::string focus_;
    std::map<std::string, Control> controls_;
    TreeItem lastItem_ = kRoot;
};

} // namespace kelo::app::cli
