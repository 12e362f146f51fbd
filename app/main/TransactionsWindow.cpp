#include "app/main/TransactionsWindow.h"

#include "app/main/EmployeeDialogs.h"
#include "app/main/HelpViewer.h"
#include "app/main/RecordTabs.h"
#include "app/main/TransactionsPages.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "staffrecords/VarFrmControls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace kelo::app {

namespace {

namespace vf = staffrecords::varfrm;
using staffrecords::ScrollCode;
using staffrecords::VARFRM;

std::optional<common::FIELDSTABLE> tableOf(staffrecords::VARPAGE page) {
    switch (page) {
    case staffrecords::EARNINGS_PAGE:
        return common::EARNINGS;
    case staffrecords::DEDUCTIONS_PAGE:
        return common::DEDUCTIONS;
    case staffrecords::BENEFITS_PAGE:
        return common::BENEFITS;
    case staffrecords::LUMP_SUMS_PAGE:
        return common::LUMPSUMS;
    case staffrecords::REFUNDS_PAGE:
        return common::REFUNDS;
    default:
        return std::nullopt;
    }
}

// The items of the page shown beyond the five rows: the scroll bar's range.
int hiddenItems(const VARFRM& form) {
    const auto table = tableOf(form.getPage());
    const std::vector<common::PayItem>* items =
        table ? form.getCurrentRec().items(*table) : nullptr;
    return items ? std::max(0, static_cast<int>(items->size()) - vf::kRows) : 0;
}

// An item row's fields, left to right.
constexpr int kRowFields = 3;
const char* fieldName(int row, int column) {
    const char* const* columns[kRowFields] = {vf::kItemActive, vf::kItemAmount, vf::kItemButton};
    return columns[column][row];
}

struct RowPlace {
    int row = -1;
    int column = -1;
};

RowPlace placeOf(const QObject& field) {
    const QByteArray name = field.objectName().toLatin1();
    for (int row = 0; row < vf::kRows; ++row)
        for (int column = 0; column < kRowFields; ++column)
            if (name == fieldName(row, column))
                return {row, column};
    return {};
}

bool usable(const QWidget* field, const QWidget& page) {
    return field && field->isEnabled() && field->isVisibleTo(&page) &&
           (field->focusPolicy() & Qt::TabFocus);
}

// The cursor arrives as Tab brings it: a figure is chosen whole, so that
// what the clerk types replaces it.
void focusOn(QWidget& field) {
    field.setFocus(Qt::TabFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(&field))
        box->selectAll();
}

bool isEnter(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter ||
            key.key() == Qt::Key_Tab) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

void TransactionsView::setText(std::string_view control, std::string_view text) {
    QWidget* top = root();
    if (top && control == vf::kScroll) {
        if (auto* bar = top->findChild<QScrollBar*>(QString::fromLatin1(vf::kScroll))) {
            const QSignalBlocker hold(bar);
            bar->setRange(0, hiddenItems(form_));
            bar->setValue(toQString(text).toInt());
        }
        return;
    }
    for (int row = 0; top && row < vf::kRows; ++row) {
        if (control != vf::kItemName[row])
            continue;
        const QString whole = toQString(text);
        if (auto* label = top->findChild<QLabel*>(QString::fromLatin1(vf::kItemName[row]))) {
            const QString shown =
                label->fontMetrics().elidedText(whole, Qt::ElideRight, label->minimumWidth());
            label->setText(shown);
            label->setToolTip(shown == whole ? QString() : whole);
        }
        // The tick and the amount have no text of their own to be read out.
        for (const char* field : {vf::kItemActive[row], vf::kItemAmount[row]})
            if (auto* widget = top->findChild<QWidget*>(QString::fromLatin1(field)))
                widget->setAccessibleName(whole);
        return;
    }
    WidgetDialogView::setText(control, text);
}

void TransactionsView::setVisible(std::string_view control, bool visible) {
    QWidget* top = root();
    for (int row = 0; top && row < vf::kRows; ++row) {
        if (control == vf::kItemName[row]) {
            if (auto* line = top->findChild<QWidget*>(QStringLiteral("ItemRow%1").arg(row + 1)))
                line->setVisible(visible);
            break;
        }
    }
    WidgetDialogView::setVisible(control, visible);
}

TransactionsWindow::TransactionsWindow(const DialogContext& context, std::unique_ptr<VARFRM> form)
    : DocumentWindow(context),
      form_(std::move(form)),
      view_(this, *form_) {
    setObjectName(QStringLiteral("Variations Window"));
    setWindowTitle(QStringLiteral("Payroll Transactions File"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTransactionsHeader(this));
    QStringList titles;
    for (const TransactionsTab& tab : transactionsTabs())
        titles << tab.title;
    RecordTabs::Hooks hooks;
    hooks.build = [this](int tab, QWidget* parent) {
        return buildTransactionsPage(transactionsTabs()[static_cast<std::size_t>(tab)].page,
                                     itemActions(), parent);
    };
    hooks.shown = [this](int tab, QWidget* page) { pageShown(tab, page); };
    hooks.mayLeave = [this] { return form_->validatePage(); };
    hooks.dropping = [this] { form_->clearPage(); };
    tabs_ = new RecordTabs(titles, std::move(hooks), this);
    layout->addWidget(tabs_, 1);
}

TransactionsWindow::~TransactionsWindow() {
    stopRefresh();
    tabs_->dropPage();
}

bool TransactionsWindow::open(const common::ORGREC& org) {
    if (!form_->open(org))
        return false;
    form_->displayRecord();
    tabs_->showTab(0);
    startRefresh([this] { refresh(); });
    return true;
}

QWidget* TransactionsWindow::page() const {
    return tabs_->page();
}

bool TransactionsWindow::changeTab(int index) {
    return tabs_->changeTab(index);
}

void TransactionsWindow::focusFirstField() {
    tabs_->focusFirstField();
}

void TransactionsWindow::restoreFocus() {
    tabs_->restoreFocus();
}

ItemActions TransactionsWindow::itemActions() {
    ItemActions actions;
    actions.toggle = [this](int row) { toggle(row); };
    actions.parameters = [this](int row) { itemParameters(row); };
    actions.timeWorked = [this] { paused([&] { return runTimeWorked(context_, *form_); }); };
    actions.overtime = [this] { paused([&] { return runOvertime(context_, *form_); }); };
    actions.keyed = [this] { keyed(); };
    actions.scrolled = [this](int first) { scrolled(first); };
    return actions;
}

void TransactionsWindow::pageShown(int tab, QWidget* page) {
    form_->setPage(view_, transactionsTabs()[static_cast<std::size_t>(tab)].page);
    form_->displayPage();
    if (auto* body = page->findChild<QWidget*>(QString::fromLatin1(vf::kPageBody)))
        body->installEventFilter(this);
    for (int row = 0; row < vf::kRows; ++row)
        for (int column = 0; column < kRowFields; ++column)
            if (auto* field =
                    page->findChild<QWidget*>(QString::fromLatin1(fieldName(row, column))))
                field->installEventFilter(this);
}

template <class Op> void TransactionsWindow::keepingPlace(Op op) {
    QPointer<QLineEdit> box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (box && !(page() && page()->isAncestorOf(box)))
        box = nullptr;
    const QString before = box ? box->text() : QString();
    const bool whole = box && box->selectedText() == box->text();
    const int cursor = box ? box->cursorPosition() : 0;
    op();
    if (!box || QApplication::focusWidget() != box)
        return;
    if (whole)
        box->selectAll();
    else if (box->text() == before)
        box->setCursorPosition(cursor);
    else
        box->end(false);
}

void TransactionsWindow::keyed() {
    keepingPlace([&] { form_->amountChanged(); });
}

void TransactionsWindow::toggle(int row) {
    keepingPlace([&] { form_->resetField(row); });
}

void TransactionsWindow::scrolled(int first) {
    keepingPlace([&] { form_->scrollFields(ScrollCode::Position, first); });
}

void TransactionsWindow::itemParameters(int row) {
    if (!form_->setCurrentField(row))
        return;
    const staffrecords::ParamDialog which = form_->currentDialog();
    paused([&] { return runItemParameters(context_, *form_, which); });
}

void TransactionsWindow::refresh() {
    keepingPlace([&] { form_->refreshRecord(); });
}

bool TransactionsWindow::eventFilter(QObject* watched, QEvent* event) {
    QWidget* shown = page();
    if (!shown)
        return DocumentWindow::eventFilter(watched, event);
    if (event->type() == QEvent::Wheel && watched->objectName() == QLatin1String(vf::kPageBody)) {
        // The wheel over the rows moves the items, as over the bar itself.
        auto* bar = shown->findChild<QScrollBar*>(QString::fromLatin1(vf::kScroll));
        if (bar && bar->isVisibleTo(shown)) {
            QApplication::sendEvent(bar, event);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* field = qobject_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (field && shown->isAncestorOf(field)) {
            if (isEnter(*key) && rowKey(field, Qt::Key_Return))
                return true;
            if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
                key->modifiers() == Qt::NoModifier && rowKey(field, key->key()))
                return true;
        }
    }
    return DocumentWindow::eventFilter(watched, event);
}

bool TransactionsWindow::rowKey(QWidget* field, int key) {
    const RowPlace place = placeOf(*field);
    if (place.row < 0)
        return false;
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        moveRow(place.row, place.column, key == Qt::Key_Up ? -1 : 1);
        return true;
    }
    // Enter past the last field of the last row shown brings the next item
    // the clerk may use into it, while there is one.
    if (place.row != vf::kRows - 1 || form_->scrollPosition() >= hiddenItems(*form_))
        return false;
    for (int column = place.column + 1; column < kRowFields; ++column)
        if (usable(page()->findChild<QWidget*>(QString::fromLatin1(fieldName(place.row, column))),
                   *page()))
            return false;
    if (!moveRow(place.row, 0, 1))
        tabs_->focusFirstField();
    return true;
}

bool TransactionsWindow::moveRow(int row, int column, int step) {
    // Rows the clerk can do nothing in are passed by; past the first or
    // last row the items scroll.
    for (int target = row + step;; target += step) {
        if (target < 0 || target >= vf::kRows) {
            const int before = form_->scrollPosition();
            form_->scrollFields(step > 0 ? ScrollCode::LineDown : ScrollCode::LineUp);
            if (form_->scrollPosition() == before)
                return false;
            target -= step;
        }
        if (focusInRow(target, column))
            return true;
    }
}

bool TransactionsWindow::focusInRow(int row, int column) {
    QWidget* shown = page();
    if (!shown)
        return false;
    // The same field of the row if the clerk may use it, else its first.
    auto* same = shown->findChild<QWidget*>(QString::fromLatin1(fieldName(row, column)));
    if (usable(same, *shown)) {
        focusOn(*same);
        return true;
    }
    for (int other = 0; other < kRowFields; ++other) {
        auto* field = shown->findChild<QWidget*>(QString::fromLatin1(fieldName(row, other)));
        if (usable(field, *shown)) {
            focusOn(*field);
            return true;
        }
    }
    return false;
}

bool TransactionsWindow::move(bool (VARFRM::*step)()) {
    if (!(form_.get()->*step)())
        return false;
    // The clerk keys the same field for the next employee.
    tabs_->restoreFocus();
    if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        box->selectAll();
    return true;
}

void TransactionsWindow::moveRecord(int id) {
    move(recordStep<staffrecords::VARFRM>(id));
}

void TransactionsWindow::turnPage(int step) {
    changeTab(tabs_->shownTab() + step);
}

void TransactionsWindow::find(int id) {
    if (!form_->saveCurrentRec())
        return;
    const FindBy by = id == cmd::GoTo         ? FindBy::RecordNumber
                      : id == cmd::FindEmpNum ? FindBy::EmployeeNumber
                                              : FindBy::LastName;
    RecordFinder finder;
    finder.gotoRec = [this](long recNo) { return form_->gotoRec(std::to_string(recNo)); };
    finder.findEmpNum = [this](const std::string& text) { return form_->findEmpNum(text); };
    finder.findName = [this](const std::string& text) { return form_->findFirstName(text); };
    if (paused([&] { return runFind(context_, finder, by); }))
        tabs_->restoreFocus();
}

void TransactionsWindow::addEmployees() {
    if (paused([&] { return runAddEmployees(context_, *form_); }))
        tabs_->restoreFocus();
}

bool TransactionsWindow::runCommand(int id) {
    switch (id) {
    case cmd::Save:
        keepingPlace([&] { form_->saveCurrentRec(); });
        break;
    case cmd::Undo:
        keepingPlace([&] { form_->undoCurrentRec(); });
        break;
    case cmd::Add:
        addEmployees();
        break;
    case cmd::Delete:
        if (form_->deleteRecord())
            tabs_->restoreFocus();
        break;
    default:
        return runBrowseCommand(id);
    }
    return true;
}

bool TransactionsWindow::closeForm() {
    stopRefresh();
    if (!form_->close()) {
        resumeRefresh();
        return false;
    }
    tabs_->dropPage();
    return true;
}

} // namespace kelo::app
