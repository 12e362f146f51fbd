#pragma once

#include "common/DialogView.h"

namespace kelo::common {

// A view with no controls, for a class with a form face whose operations run
// without a window (the demo builder, the command line, imports): what is
// shown goes nowhere and every read finds nothing. A view that must keep
// some controls derives from it and overrides just those.
class NoDialogView : public DialogView {
public:
    void setCaption(std::string_view) override {}
    std::string caption() const override { return {}; }
    void setFocus(std::string_view) override {}
    std::string focus() const override { return {}; }
    std::string text(std::string_view) const override { return {}; }
    void setText(std::string_view, std::string_view) override {}
    void setTextLimit(std::string_view, int) override {}
    bool isChecked(std::string_view) const override { return false; }
    void setChecked(std::string_view, bool) override {}
    bool isEnabled(std::string_view) const override { return false; }
    void setEnabled(std::string_view, bool) override {}
    bool isVisible(std::string_view) const override { return false; }
    void setVisible(std::string_view, bool) override {}
    void clearItems(std::string_view) override {}
    int addItem(std::string_view, std::string_view, long) override { return -1; }
    void insertItem(std::string_view, int, std::string_view, long) override {}
    void removeItem(std::string_view, int) override {}
    int itemCount(std::string_view) const override { return 0; }
    std::string itemText(std::string_view, int) const override { return {}; }
    void setItemText(std::string_view, int, std::string_view) override {}
    long itemCode(std::string_view, int) const override { return 0; }
    int findItem(std::string_view, std::string_view) const override { return -1; }
    int selectedRow(std::string_view) const override { return -1; }
    void selectRow(std::string_view, int) override {}
    std::vector<int> selectedRows(std::string_view) const override { return {}; }
    void setRowSelected(std::string_view, int, bool) override {}
    void clearTree(std::string_view) override {}
    TreeItem addTreeItem(std::string_view, TreeItem, std::string_view, long) override {
        return kRoot;
    }
    void removeTreeItem(std::string_view, TreeItem) override {}
    std::string treeItemText(std::string_view, TreeItem) const override { return {}; }
    void setTreeItemText(std::string_view, TreeItem, std::string_view) override {}
    long treeItemCode(std::string_view, TreeItem) const override { return 0; }
    TreeItem treeParent(std::string_view, TreeItem) const override { return kRoot; }
    std::vector<TreeItem> treeChildren(std::string_view, TreeItem) const override { return {}; }
    TreeItem selectedTreeItem(std::string_view) const override { return kRoot; }
    void selectTreeItem(std::string_view, TreeItem) override {}
    void expandTreeItem(std::string_view, TreeItem) override {}
    void sortTreeChildren(std::string_view, TreeItem) override {}
};

} // namespace kelo::common
