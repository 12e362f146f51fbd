#pragma once

#include "common/DialogView.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <set>
#include <string>

class QTreeWidget;
class QTreeWidgetItem;

namespace kelo::app {

class RowList;

// The DialogView port over a widget tree: controls are the root's children
// found by object name. The header of a tree widget used as a list view,
// named in its own right, takes and gives the column headings separated by
// tabs. A name that matches no control, or a control of the
// wrong kind, reads as empty, false or -1 and ignores writes, so a form whose
// layout lags behind its logic still runs; each missing name is warned about
// once.
class WidgetDialogView : public common::DialogView {
public:
    explicit WidgetDialogView(QWidget* root);
    ~WidgetDialogView() override;

    QWidget* root() const { return root_.data(); }

    void setCaption(std::string_view text) override;
    std::string caption() const override;
    void setFocus(std::string_view control) override;
    std::string focus() const override;

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
    int addItem(std::string_view control, std::string_view text, long code = 0) override;
    void insertItem(std::string_view control, int row, std::string_view text,
                    long code = 0) override;
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
                         long code = 0) override;
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

private:
    QWidget* control(std::string_view name) const;
    // The rows of a list control, and whether `row` is one of them.
    std::unique_ptr<RowList> rows(std::string_view name) const;
    std::unique_ptr<RowList> rowsWith(std::string_view name, int row) const;
    QTreeWidget* tree(std::string_view name) const;
    QTreeWidgetItem* treeItem(QTreeWidget& tree, TreeItem item) const;
    // Items put in by other code get a handle when first seen.
    TreeItem handleOf(QTreeWidgetItem& item) const;
    void selectOnly(QTreeWidget& tree, TreeItem item) const;

    QPointer<QWidget> root_;
    mutable std::set<std::string, std::less<>> warned_;
    mutable TreeItem nextTreeItem_ = 1;
};

} // namespace kelo::app
