#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::common {

// A dialog or form as the logic behind it sees it: controls addressed by
// name. Edit boxes, static texts and buttons have a text; check boxes and
// radio buttons a checked state; list boxes, combo boxes and list views a list
// of rows (each with text and a numeric code); tree views a tree of items.
// The Qt program implements it over widgets found by object name; tests use
// a map of control states. Control names are constants in one header per
// dialog.
class DialogView {
public:
    // A tree item; 0 stands for the invisible root (and for "none").
    using TreeItem = std::int64_t;
    static constexpr TreeItem kRoot = 0;

    virtual ~DialogView() = default;

    // The dialog itself.
    virtual void setCaption(std::string_view text) = 0;
    virtual std::string caption() const = 0;
    virtual void setFocus(std::string_view control) = 0;
    virtual std::string focus() const = 0;

    // Any control.
    virtual std::string text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, std::string_view text) = 0;
    // Most characters an edit box accepts; 0 for no limit.
    virtual void setTextLimit(std::string_view control, int characters) = 0;
    virtual bool isChecked(std::string_view control) const = 0;
    virtual void setChecked(std::string_view control, bool checked) = 0;
    virtual bool isEnabled(std::string_view control) const = 0;
    virtual void setEnabled(std::string_view control, bool enabled) = 0;
    virtual bool isVisible(std::string_view control) const = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;

    // Lists. Rows are numbered from 0; -1 means no row. A list view row's
    // columns are separated by tabs in its text.
    virtual void clearItems(std::string_view control) = 0;
    virtual int addItem(std::string_view control, std::string_view text, long code = 0) = 0;
    virtual void insertItem(std::string_view control, int row, std::string_view text,
                            long code = 0) = 0;
    virtual void removeItem(std::string_view control, int row) = 0;
    virtual int itemCount(std::string_view control) const = 0;
    virtual std::string itemText(std::string_view control, int row) const = 0;
    virtual void setItemText(std::string_view control, int row, std::string_view text) = 0;
    virtual long itemCode(std::string_view control, int row) const = 0;
    // The first row whose text equals `text` exactly, or -1.
    virtual int findItem(std::string_view control, std::string_view text) const = 0;
    virtual int selectedRow(std::string_view control) const = 0;
    virtual void selectRow(std::string_view control, int row) = 0; // -1 clears
    // Lists that allow several rows to be chosen.
    virtual std::vector<int> selectedRows(std::string_view control) const = 0;
    virtual void setRowSelected(std::string_view control, int row, bool selected) = 0;

    // Trees.
    virtual void clearTree(std::string_view control) = 0;
    virtual TreeItem addTreeItem(std::string_view control, TreeItem parent, std::string_view text,
                                 long code = 0) = 0;
    virtual void removeTreeItem(std::string_view control, TreeItem item) = 0;
    virtual std::string treeItemText(std::string_view control, TreeItem item) const = 0;
    virtual void setTreeItemText(std::string_view control, TreeItem item,
                                 std::string_view text) = 0;
    virtual long treeItemCode(std::string_view control, TreeItem item) const = 0;
    virtual TreeItem treeParent(std::string_view control, TreeItem item) const = 0;
    virtual std::vector<TreeItem> treeChildren(std::string_view control, TreeItem parent) const = 0;
    virtual TreeItem selectedTreeItem(std::string_view control) const = 0;
    virtual void selectTreeItem(std::string_view control, TreeItem item) = 0;
    virtual void expandTreeItem(std::string_view control, TreeItem item) = 0;
    // Orders the children of `parent` by text, ignoring case.
    virtual void sortTreeChildren(std::string_view control, TreeItem parent) = 0;
};

} // namespace kelo::common
