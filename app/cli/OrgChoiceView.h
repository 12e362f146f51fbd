#pragma once

#include "common/DialogView.h"

#include <string>
#include <vector>

namespace kelo::app::cli {

// The organisation list as the command line fills it: the rows the list
// dialog would show, with the row of the organisation numbered `orgNum`
// selected, so that the library opens it as the dialog's OK does. Every
// other control is absent.
class OrgChoiceView final : public common::DialogView {
public:
    explicit OrgChoiceView(long orgNum) : orgNum_(orgNum) {}

    int addItem(std::string_view, std::string_view text, long code) override {
        rows_.push_back({std::string(text), code});
        return static_cast<int>(rows_.size()) - 1;
    }
    void clearItems(std::string_view) override { rows_.clear(); }
    int itemCount(std::string_view) const override { return static_cast<int>(rows_.size()); }
    std::string itemText(std::string_view, int row) const override {
        return inside(row) ? rows_[static_cast<std::size_t>(row)].text : std::string();
    }
    long itemCode(std::string_view, int row) const override {
        return inside(row) ? rows_[static_cast<std::size_t>(row)].code : 0;
    }
    int selectedRow(std::string_view) const override {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].code == orgNum_)
                return static_cast<int>(i);
        return -1;
    }

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
    void insertItem(std::string_view, int, std::string_view, long) override {}
    void removeItem(std::string_view, int) override {}
    void setItemText(std::string_view, int, std::string_view) override {}
    int findItem(std::string_view, std::string_view) const override { return -1; }
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

private:
    struct Row {
        std::string text;
        long code = 0;
    };
    bool inside(int row) const { return row >= 0 && static_cast<std::size_t>(row) < rows_.size(); }

    long orgNum_;
    std::vector<Row> rows_;
};

} // namespace kelo::app::cli
