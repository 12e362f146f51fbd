#include "app/ports/RowList.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTreeWidget>

#include <algorithm>

namespace kelo::app {

namespace {

long codeOf(const QVariant& data) {
    return static_cast<long>(data.toLongLong());
}

class ComboRows : public RowList {
public:
    explicit ComboRows(QComboBox& combo) : combo_(combo) {}

    int count() const override { return combo_.count(); }
    QString text(int row) const override { return combo_.itemText(row); }
    void setText(int row, const QString& text) override { combo_.setItemText(row, text); }
    long code(int row) const override { return codeOf(combo_.itemData(row, kCodeRole)); }

    void insert(int row, const QString& text, long code) override {
        const int before = combo_.currentIndex();
        combo_.insertItem(row, text, QVariant::fromValue(static_cast<qlonglong>(code)));
        // A combo box selects the first item put into it; the logic did not.
        if (before < 0)
            combo_.setCurrentIndex(-1);
    }

    void remove(int row) override {
        const bool wasCurrent = combo_.currentIndex() == row;
        combo_.removeItem(row);
        if (wasCurrent)
            combo_.setCurrentIndex(-1);
    }

    void clear() override { combo_.clear(); }
    int current() const override { return combo_.currentIndex(); }
    void setCurrent(int row) override { combo_.setCurrentIndex(row); }

    std::vector<int> selected() const override {
        const int row = combo_.currentIndex();
        return row < 0 ? std::vector<int>{} : std::vector<int>{row};
    }

    void setSelected(int row, bool on) override {
        if (on)
            combo_.setCurrentIndex(row);
        else if (combo_.currentIndex() == row)
            combo_.setCurrentIndex(-1);
    }

private:
    QComboBox& combo_;
};

// Selection handling common to list widgets and flat tree widgets.
class ViewRows : public RowList {
public:
    explicit ViewRows(QAbstractItemView& view) : view_(view) {}

    int count() const override { return model().rowCount(); }

    void remove(int row) override {
        // Qt moves the current row to a neighbour and may select it; put back
        // exactly the rows that were selected.
        std::vector<int> keep;
        for (int selectedRow : selected()) {
            if (selectedRow != row)
                keep.push_back(selectedRow > row ? selectedRow - 1 : selectedRow);
        }
        const int current = view_.currentIndex().row();
        model().removeRow(row);
        selection().clear();
        for (int kept : keep)
            setSelected(kept, true);
        if (current >= 0 && current != row)
            selection().setCurrentIndex(index(current > row ? current - 1 : current),
                                        QItemSelectionModel::NoUpdate);
    }

    int current() const override {
        const QModelIndex at = view_.currentIndex();
        if (at.isValid() && selection().isRowSelected(at.row(), QModelIndex()))
            return at.row();
        const std::vector<int> rows = selected();
        return rows.empty() ? -1 : rows.front();
    }

    void setCurrent(int row) override {
        if (row < 0) {
            selection().clear();
            return;
        }
        selection().setCurrentIndex(index(row), QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
        view_.scrollTo(index(row));
    }

    std::vector<int> selected() const override {
        std::vector<int> rows;
        for (const QModelIndex& at : selection().selectedIndexes()) {
            if (!at.parent().isValid())
                rows.push_back(at.row());
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        return rows;
    }

    void setSelected(int row, bool on) override {
        selection().select(index(row),
                           (on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                               QItemSelectionModel::Rows);
    }

protected:
    QAbstractItemModel& model() const { return *view_.model(); }
    QItemSelectionModel& selection() const { return *view_.selectionModel(); }
    QModelIndex index(int row) const { return model().index(row, 0); }

private:
    QAbstractItemView& view_;
};

class ListWidgetRows : public ViewRows {
public:
    explicit ListWidgetRows(QListWidget& list) : ViewRows(list), list_(list) {}

    QString text(int row) const override { return list_.item(row)->text(); }
    void setText(int row, const QString& text) override { list_.item(row)->setText(text); }
    long code(int row) const override { return codeOf(list_.item(row)->data(kCodeRole)); }

    void insert(int row, const QString& text, long code) override {
        auto item = std::make_unique<QListWidgetItem>(text);
        item->setData(kCodeRole, QVariant::fromValue(static_cast<qlonglong>(code)));
        list_.insertItem(row, item.release());
    }

    void clear() override { list_.clear(); }

private:
    QListWidget& list_;
};

// A tree widget as a list view: top-level items only, a row's columns
// separated by tabs in its text. The number of columns given is kept so that
// trailing empty columns read back as they were written.
class ListViewRows : public ViewRows {
public:
    explicit ListViewRows(QTreeWidget& tree) : ViewRows(tree), tree_(tree) {}

    QString text(int row) const override {
        const QTreeWidgetItem* item = tree_.topLevelItem(row);
        const QVariant given = item->data(0, kColumnCountRole);
        const int columns = given.isValid() ? given.toInt() : std::max(1, item->columnCount());
        QStringList parts;
        for (int column = 0; column < columns; ++column)
            parts.push_back(item->text(column));
        return parts.join('\t');
    }

    void setText(int row, const QString& text) override { fill(*tree_.topLevelItem(row), text); }

    long code(int row) const override {
        return codeOf(tree_.topLevelItem(row)->data(0, kCodeRole));
    }

    void insert(int row, const QString& text, long code) override {
        auto item = std::make_unique<QTreeWidgetItem>();
        fill(*item, text);
        item->setData(0, kCodeRole, QVariant::fromValue(static_cast<qlonglong>(code)));
        tree_.insertTopLevelItem(row, item.release());
    }

    void clear() override { tree_.clear(); }

private:
    static void fill(QTreeWidgetItem& item, const QString& text) {
        const QStringList parts = text.split('\t');
        const int columns = std::max(item.columnCount(), static_cast<int>(parts.size()));
        for (int column = 0; column < columns; ++column)
            item.setText(column, column < parts.size() ? parts[column] : QString());
        item.setData(0, kColumnCountRole, static_cast<int>(parts.size()));
    }

    QTreeWidget& tree_;
};

} // namespace

std::unique_ptr<RowList> RowList::of(QWidget* widget) {
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return std::make_unique<ComboRows>(*combo);
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return std::make_unique<ListWidgetRows>(*list);
    if (auto* tree = qobject_cast<QTreeWidget*>(widget))
        return std::make_unique<ListViewRows>(*tree);
    return nullptr;
}

} // namespace kelo::app
