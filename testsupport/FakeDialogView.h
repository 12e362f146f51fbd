#pragma once

#include "common/DialogView.h"

#include <map>
#include <string>
#include <vector>

namespace kelo::testsupport {

// A DialogView made of plain control states, so that form logic runs and is
// inspected without a window. Unknown controls spring into existence empty,
// enabled and visible.
class FakeDialogView : public common::DialogView {
public:
    struct Row {
        std::string text;
        long code = 0;
        bool selected = false;
    };
    struct Node {
        std::string text;
        long code = 0;
        TreeItem parent = kRoot;
        std::vector<TreeItem> children;
        bool expanded = false;
    };
    struct Control {
        std::string text;
        int textLimit = 0;
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        std::vector<Row> rows;
        int selectedRow = -1;
        std::map<TreeItem, Node> nodes; // kRoot holds the top-level items
        TreeItem selectedTreeItem = kRoot;
    };

    void setCaption(std::string_view text) override { caption_ = text; }
    std::string caption() const override { return caption_; }
    void setFocus(std::string_view control) override { focus_ = control; }
    std::string focus() const override { return focus_; }

    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    void setTextLimit(std::string_view control, int characters) override;
    bool isChecked(std::string_view control) const override;
    void setChecked(std::string_view control, bool checked) override;
    bool isEnabled(std::string_view control) const override;
    void setEnabled(std::string_view control, bool enabled) override;
    bool isVisible(std::string_view control) const override;
    void setVisible(std::string_view control, bool visible) override;

    void clearItems(std::string_view control) override;
    int addItem(std::string_view control, std::string_view text, long code) override;
    void insertItem(std::string_view control, int row, std::string_view text, long code) override;
    void removeItem(std::string_view control, int row) override;
    int itemCount(std::string_view control) const override;
    std::string itemText(std::string_view control, int row) const override;
    void setItemText(std::string_view control, int row, std::string_view text) override;
    long itemCode(std::string_view control, int row) const override;
    int findItem(std::string_view control, std::string_view text) const override;
    int selectedRow(std::string_view control) const override;
    void selectRow(std::string_view control, int row) override;
    std::vector<int> selectedRows(std::string_view control) const override;
    void setRowSelected(std::string_view control, int row, bool selected) override;

    void clearTree(std::string_view control) override;
    TreeItem addTreeItem(std::string_view control, TreeItem parent, std::string_view text,
                         long code) override;
    void removeTreeItem(std::string_view control, TreeItem item) override;
    std::string treeItemText(std::string_view control, TreeItem item) const override;
    void setTreeItemText(std::string_view control, TreeItem item, std::string_view text) override;
    long treeItemCode(std::string_view control, TreeItem item) const override;
    TreeItem treeParent(std::string_view control, TreeItem item) const override;
    std::vector<TreeItem> treeChildren(std::string_view control, TreeItem parent) const override;
    TreeItem selectedTreeItem(std::string_view control) const override;
    void selectTreeItem(std::string_view control, TreeItem item) override;
    void expandTreeItem(std::string_view control, TreeItem item) override;
    void sortTreeChildren(std::string_view control, TreeItem parent) override;

    // Direct access for tests.
    Control& control(std::string_view name) { return controls_[std::string(name)]; }
    bool hasControl(std::string_view name) const { return controls_.count(std::string(name)) > 0; }
    std::vector<std::string> itemTexts(std::string_view control) const;

private:
    const Control* find(std::string_view name) const;
    const Row* row(std::string_view control, int index) const;
    const Node* node(std::string_view control, TreeItem item) const;

    std::map<std::string, Control> controls_;
    std::string caption_;
    std::string focus_;
    TreeItem nextTreeItem_ = 1;
};

} // namespace kelo::testsupport
