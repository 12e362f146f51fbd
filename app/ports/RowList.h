#pragma once

#include <QString>
#include <Qt>

#include <memory>
#include <vector>

class QWidget;

namespace kelo::app {

// Item data roles shared by the list and tree adapters.
inline constexpr int kCodeRole = Qt::UserRole;            // the row's numeric code
inline constexpr int kColumnCountRole = Qt::UserRole + 1; // columns a list view row was given
inline constexpr int kTreeItemRole = Qt::UserRole + 2;    // a tree item's handle

// The rows of a list control, whichever widget shows them: combo boxes,
// list widgets and tree widgets used as flat list views. Rows are checked to
// be in range by the caller. Selection follows the rows it was on: inserting
// or removing other rows never moves it, removing a selected row drops it,
// and filling an empty list selects nothing.
class RowList {
public:
    virtual ~RowList() = default;

    // Null when the widget holds no rows.
    static std::unique_ptr<RowList> of(QWidget* widget);

    virtual int count() const = 0;
    virtual QString text(int row) const = 0;
    virtual void setText(int row, const QString& text) = 0;
    virtual long code(int row) const = 0;
    virtual void insert(int row, const QString& text, long code) = 0; // 0 <= row <= count
    virtual void remove(int row) = 0;
    virtual void clear() = 0;
    // The selected row of a single-choice list, or -1.
    virtual int current() const = 0;
    // Makes `row` the only selected row; -1 selects none.
    virtual void setCurrent(int row) = 0;
    // Every selected row, in order.
    virtual std::vector<int> selected() const = 0;
    virtual void setSelected(int row, bool selected) = 0;
};

} // namespace kelo::app
