#include "app/ports/WidgetDialogView.h"

#include "app/ports/QtText.h"
#include "app/ports/RowList.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace kelo::app {

namespace {

constexpr int kNoTextLimit = std::numeric_limits<int>::max();

// A spin box's edit is filled only once it is shown, so the value is
// formatted here as the box would show it, without prefix and suffix.
template <class SpinBox> QString spinText(const SpinBox& spin, QString formatted) {
    if (!spin.specialValueText().isEmpty() && spin.value() == spin.minimum())
        return spin.specialValueText();
    if (spin.isGroupSeparatorShown())
        return formatted;
    return formatted.remove(spin.locale().groupSeparator());
}

QString widgetText(const QWidget* widget) {
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<const QTextEdit*>(widget))
        return rich->toPlainText();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (auto* spin = qobject_cast<const QSpinBox*>(widget))
        return spinText(*spin, spin->locale().toString(spin->value()));
    if (auto* spin = qobject_cast<const QDoubleSpinBox*>(widget))
        return spinText(*spin, spin->locale().toString(spin->value(), 'f', spin->decimals()));
    if (auto* spin = qobject_cast<const QAbstractSpinBox*>(widget))
        return spin->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (auto* header = qobject_cast<const QHeaderView*>(widget)) {
        if (auto* tree = qobject_cast<const QTreeWidget*>(header->parentWidget())) {
            QStringList titles;
            for (int column = 0; column < tree->columnCount(); ++column)
                titles.push_back(tree->headerItem()->text(column));
            return titles.join('\t');
        }
    }
    return {};
}

void setWidgetText(QWidget* widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
        // A text longer than the box shows its beginning, not its end.
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
        rich->setPlainText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // A drop-down list shows one of its items or nothing.
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(
                combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    } else if (auto* whole = qobject_cast<QSpinBox*>(widget)) {
        bool ok = false;
        const int value = whole->locale().toInt(text.trimmed(), &ok);
        if (ok)
            whole->setValue(value);
    } else if (auto* decimal = qobject_cast<QDoubleSpinBox*>(widget)) {
        bool ok = false;
        const double value = decimal->locale().toDouble(text.trimmed(), &ok);
        if (ok)
            decimal->setValue(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    } else if (auto* header = qobject_cast<QHeaderView*>(widget)) {
        // A list view's headings, separated by tabs; the columns follow them.
        if (auto* tree = qobject_cast<QTreeWidget*>(header->parentWidget())) {
            const QStringList titles = text.split('\t');
            tree->setColumnCount(static_cast<int>(titles.size()));
            tree->setHeaderLabels(titles);
        }
    }
}

// Exclusive radio buttons refuse to be unchecked, but a form may clear them all.
void uncheck(QAbstractButton& button) {
    QButtonGroup* group = button.group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button.autoExclusive();
    if (groupExclusive)
        group->setExclusive(false);
    button.setAutoExclusive(false);
    button.setChecked(false);
    button.setAutoExclusive(autoExclusive);
    if (groupExclusive)
        group->setExclusive(true);
}

} // namespace

WidgetDialogView::WidgetDialogView(QWidget* root) : root_(root) {}

WidgetDialogView::~WidgetDialogView() = default;

QWidget* WidgetDialogView::control(std::string_view name) const {
    if (!root_)
        return nullptr;
    const QString objectName = toQString(name);
    QWidget* found =
        root_->objectName() == objectName ? root_.data() : root_->findChild<QWidget*>(objectName);
    if (!found && warned_.insert(std::string(name)).second)
        qWarning("WidgetDialogView: no control named \"%s\" in \"%s\"", std::string(name).c_str(),
                 qPrintable(root_->objectName()));
    return found;
}

void WidgetDialogView::setCaption(std::string_view text) {
    if (root_)
        root_->setWindowTitle(toQString(text));
}

std::string WidgetDialogView::caption() const {
    return root_ ? toStdString(root_->windowTitle()) : std::string();
}

void WidgetDialogView::setFocus(std::string_view name) {
    if (QWidget* widget = control(name))
        widget->setFocus(Qt::OtherFocusReason);
}

std::string WidgetDialogView::focus() const {
    if (!root_)
        return {};
    // The focus may sit in a part of a control, such as a combo box's edit,
    // which Qt leaves unnamed or names "qt_...".
    QWidget* widget = root_->focusWidget();
    while (widget && widget != root_ &&
           (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
        widget = widget->parentWidget();
    if (!widget || !(widget == root_ || root_->isAncestorOf(widget)))
        return {};
    return toStdString(widget->objectName());
}

std::string WidgetDialogView::text(std::string_view name) const {
    return toStdString(widgetText(control(name)));
}

void WidgetDialogView::setText(std::string_view name, std::string_view text) {
    setWidgetText(control(name), toQString(text));
}

void WidgetDialogView::setTextLimit(std::string_view name, int characters) {
    QWidget* widget = control(name);
    QLineEdit* edit = qobject_cast<QLineEdit*>(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        edit = combo->lineEdit();
    if (edit)
        edit->setMaxLength(characters > 0 ? characters : kNoTextLimit);
}

bool WidgetDialogView::isChecked(std::string_view name) const {
    QWidget* widget = control(name);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isChecked();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->isCheckable() && group->isChecked();
    return false;
}

void WidgetDialogView::setChecked(std::string_view name, bool checked) {
    QWidget* widget = control(name);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (checked || !button->isChecked())
            button->setChecked(checked);
        else
            uncheck(*button);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setChecked(checked);
    }
}

// The control's own state, as it was set, whatever its parents' state.
bool WidgetDialogView::isEnabled(std::string_view name) const {
    const QWidget* widget = control(name);
    return widget && !widget->testAttribute(Qt::WA_ForceDisabled);
}

void WidgetDialogView::setEnabled(std::string_view name, bool enabled) {
    if (QWidget* widget = control(name))
        widget->setEnabled(enabled);
}

bool WidgetDialogView::isVisible(std::string_view name) const {
    const QWidget* widget = control(name);
    return widget && !widget->isHidden();
}

void WidgetDialogView::setVisible(std::string_view name, bool visible) {
    if (QWidget* widget = control(name))
        widget->setVisible(visible);
}

std::unique_ptr<RowList> WidgetDialogView::rows(std::string_view name) const {
    return RowList::of(control(name));
}

std::unique_ptr<RowList> WidgetDialogView::rowsWith(std::string_view name, int row) const {
    auto list = rows(name);
    return list && row >= 0 && row < list->count() ? std::move(list) : nullptr;
}

void WidgetDialogView::clearItems(std::string_view name) {
    if (auto list = rows(name))
        list->clear();
}

int WidgetDialogView::addItem(std::string_view name, std::string_view text, long code) {
    auto list = rows(name);
    if (!list)
        return -1;
    const int row = list->count();
    list->insert(row, toQString(text), code);
    return row;
}

void WidgetDialogView::insertItem(std::string_view name, int row, std::string_view text,
                                  long code) {
    if (auto list = rows(name))
        list->insert(std::clamp(row, 0, list->count()), toQString(text), code);
}

void WidgetDialogView::removeItem(std::string_view name, int row) {
    if (auto list = rowsWith(name, row))
        list->remove(row);
}

int WidgetDialogView::itemCount(std::string_view name) const {
    auto list = rows(name);
    return list ? list->count() : 0;
}

std::string WidgetDialogView::itemText(std::string_view name, int row) const {
    auto list = rowsWith(name, row);
    return list ? toStdString(list->text(row)) : std::string();
}

void WidgetDialogView::setItemText(std::string_view name, int row, std::string_view text) {
    if (auto list = rowsWith(name, row))
        list->setText(row, toQString(text));
}

long WidgetDialogView::itemCode(std::string_view name, int row) const {
    auto list = rowsWith(name, row);
    return list ? list->code(row) : 0;
}

int WidgetDialogView::findItem(std::string_view name, std::string_view text) const {
    auto list = rows(name);
    if (!list)
        return -1;
    const QString wanted = toQString(text);
    for (int row = 0; row < list->count(); ++row) {
        if (list->text(row) == wanted)
            return row;
    }
    return -1;
}

int WidgetDialogView::selectedRow(std::string_view name) const {
    auto list = rows(name);
    return list ? list->current() : -1;
}

void WidgetDialogView::selectRow(std::string_view name, int row) {
    if (auto list = rows(name))
        list->setCurrent(row >= 0 && row < list->count() ? row : -1);
}

std::vector<int> WidgetDialogView::selectedRows(std::string_view name) const {
    auto list = rows(name);
    return list ? list->selected() : std::vector<int>{};
}

void WidgetDialogView::setRowSelected(std::string_view name, int row, bool selected) {
    if (auto list = rowsWith(name, row))
        list->setSelected(row, selected);
}

QTreeWidget* WidgetDialogView::tree(std::string_view name) const {
    return qobject_cast<QTreeWidget*>(control(name));
}

WidgetDialogView::TreeItem WidgetDialogView::handleOf(QTreeWidgetItem& item) const {
    const QVariant handle = item.data(0, kTreeItemRole);
    if (handle.isValid())
        return handle.toLongLong();
    const TreeItem assigned = nextTreeItem_++;
    item.setData(0, kTreeItemRole, QVariant::fromValue(static_cast<qlonglong>(assigned)));
    return assigned;
}

QTreeWidgetItem* WidgetDialogView::treeItem(QTreeWidget& widget, TreeItem item) const {
    if (item == kRoot)
        return nullptr;
    for (QTreeWidgetItemIterator it(&widget); *it; ++it) {
        if (handleOf(**it) == item)
            return *it;
    }
    return nullptr;
}

void WidgetDialogView::selectOnly(QTreeWidget& widget, TreeItem item) const {
    QTreeWidgetItem* found = treeItem(widget, item);
    if (!found) {
        widget.selectionModel()->clear();
        return;
    }
    widget.setCurrentItem(found, 0, QItemSelectionModel::ClearAndSelect);
    widget.scrollToItem(found);
}

void WidgetDialogView::clearTree(std::string_view name) {
    if (QTreeWidget* widget = tree(name))
        widget->clear();
}

WidgetDialogView::TreeItem WidgetDialogView::addTreeItem(std::string_view name, TreeItem parent,
                                                         std::string_view text, long code) {
    QTreeWidget* widget = tree(name);
    if (!widget)
        return kRoot;
    QTreeWidgetItem* parentItem =
        parent == kRoot ? widget->invisibleRootItem() : treeItem(*widget, parent);
    if (!parentItem)
        return kRoot;
    const TreeItem handle = nextTreeItem_++;
    auto item = std::make_unique<QTreeWidgetItem>(QStringList{toQString(text)});
    item->setData(0, kCodeRole, QVariant::fromValue(static_cast<qlonglong>(code)));
    item->setData(0, kTreeItemRole, QVariant::fromValue(static_cast<qlonglong>(handle)));
    parentItem->addChild(item.release());
    return handle;
}

void WidgetDialogView::removeTreeItem(std::string_view name, TreeItem item) {
    QTreeWidget* widget = tree(name);
    QTreeWidgetItem* found = widget ? treeItem(*widget, item) : nullptr;
    if (!found)
        return;
    const TreeItem selected = selectedTreeItem(name);
    QTreeWidgetItem* parent = found->parent() ? found->parent() : widget->invisibleRootItem();
    std::unique_ptr<QTreeWidgetItem> removed(parent->takeChild(parent->indexOfChild(found)));
    removed.reset();
    // Qt hands the selection to a neighbour; the logic expects none or the old one.
    selectOnly(*widget, selected);
}

std::string WidgetDialogView::treeItemText(std::string_view name, TreeItem item) const {
    QTreeWidget* widget = tree(name);
    QTreeWidgetItem* found = widget ? treeItem(*widget, item) : nullptr;
    return found ? toStdString(found->text(0)) : std::string();
}

void WidgetDialogView::setTreeItemText(std::string_view name, TreeItem item,
                                       std::string_view text) {
    QTreeWidget* widget = tree(name);
    if (QTreeWidgetItem* found = widget ? treeItem(*widget, item) : nullptr)
        found->setText(0, toQString(text));
}

long WidgetDialogView::treeItemCode(std::string_view name, TreeItem item) const {
    QTreeWidget* widget = tree(name);
    QTreeWidgetItem* found = widget ? treeItem(*widget, item) : nullptr;
    return found ? static_cast<long>(found->data(0, kCodeRole).toLongLong()) : 0;
}

WidgetDialogView::TreeItem WidgetDialogView::treeParent(std::string_view name,
                                                        TreeItem item) const {
    QTreeWidget* widget = tree(name);
    QTreeWidgetItem* found = widget ? treeItem(*widget, item) : nullptr;
    return found && found->parent() ? handleOf(*found->parent()) : kRoot;
}

std::vector<WidgetDialogView::TreeItem> WidgetDialogView::treeChildren(std::string_view name,
                                                                       TreeItem parent) const {
    QTreeWidget* widget = tree(name);
    if (!widget)
        return {};
    QTreeWidgetItem* found =
        parent == kRoot ? widget->invisibleRootItem() : treeItem(*widget, parent);
    std::vector<TreeItem> children;
    for (int i = 0; found && i < found->childCount(); ++i)
        children.push_back(handleOf(*found->child(i)));
    return children;
}

WidgetDialogView::TreeItem WidgetDialogView::selectedTreeItem(std::string_view name) const {
    QTreeWidget* widget = tree(name);
    if (!widget)
        return kRoot;
    QTreeWidgetItem* current = widget->currentItem();
    if (current && current->isSelected())
        return handleOf(*current);
    const QList<QTreeWidgetItem*> selected = widget->selectedItems();
    return selected.isEmpty() ? kRoot : handleOf(*selected.first());
}

void WidgetDialogView::selectTreeItem(std::string_view name, TreeItem item) {
    QTreeWidget* widget = tree(name);
    if (widget && (item == kRoot || treeItem(*widget, item)))
        selectOnly(*widget, item);
}

void WidgetDialogView::expandTreeItem(std::string_view name, TreeItem item) {
    QTreeWidget* widget = tree(name);
    if (QTreeWidgetItem* found = widget ? treeItem(*widget, item) : nullptr)
        found->setExpanded(true);
}

void WidgetDialogView::sortTreeChildren(std::string_view name, TreeItem parent) {
    QTreeWidget* widget = tree(name);
    if (!widget)
        return;
    QTreeWidgetItem* found =
        parent == kRoot ? widget->invisibleRootItem() : treeItem(*widget, parent);
    if (!found)
        return;
    // Taking items out of the view forgets their expansion and the selection.
    const TreeItem selected = selectedTreeItem(name);
    std::unordered_set<TreeItem> expanded;
    for (QTreeWidgetItemIterator it(widget); *it; ++it) {
        if ((*it)->isExpanded())
            expanded.insert(handleOf(**it));
    }
    QList<QTreeWidgetItem*> children = found->takeChildren();
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         return a->text(0).compare(b->text(0), Qt::CaseInsensitive) < 0;
                     });
    found->addChildren(children);
    for (QTreeWidgetItemIterator it(widget); *it; ++it) {
        if (expanded.count(handleOf(**it)))
            (*it)->setExpanded(true);
    }
    selectOnly(*widget, selected);
}

} // namespace kelo::app
