#include "app/main/LeaveWindow.h"

#include "app/main/EmployeeDialogs.h"
#include "app/main/HelpViewer.h"
#include "app/main/LeaveDialogs.h"
#include "app/main/PageBuilder.h"
#include "app/shell/Commands.h"
#include "staffrecords/LeaveFrmControls.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <span>

namespace kelo::app {

namespace {

namespace lf = staffrecords::leavefrm;
using staffrecords::LEAVEFRM;

constexpr int kDaysCharacters = 8;

// Column widths are given in dialog units: a quarter of the average
// character's width.
int fromDialogUnits(const QWidget& widget, int units) {
    return units * widget.fontMetrics().averageCharWidth() / 4;
}

std::span<const lf::Column> columnsTitled(const QStringList& titles) {
    for (std::span<const lf::Column> columns : {std::span<const lf::Column>(lf::kAbsenceColumns),
                                                std::span<const lf::Column>(lf::kLeaveColumns),
                                                std::span<const lf::Column>(lf::kBookedColumns)}) {
        if (static_cast<qsizetype>(columns.size()) != titles.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < columns.size(); ++i)
            same = same && titles[static_cast<qsizetype>(i)] == QLatin1String(columns[i].title);
        if (same)
            return columns;
    }
    return {};
}

QStringList headings(const QTreeWidget& list) {
    QStringList titles;
    for (int column = 0; column < list.columnCount(); ++column)
        titles.push_back(list.headerItem()->text(column));
    return titles;
}

// The leave account: what the balance is made of, and what it comes to.
QGroupBox* accountBox(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Annual leave (days)"), parent);
    box->setObjectName(QStringLiteral("LeaveAccount"));
    auto* grid = new QGridLayout(box);
    const struct {
        const char* name;
        const char* label;
        const char* tip;
    } figures[] = {
        {lf::kEntitlement, "Entitlement:", "Days of annual leave a year"},
        {lf::kBalanceBF, "Balance B/F:", "Days brought forward from last year"},
        {lf::kEarned, "Earned:", "Days earned this year"},
        {lf::kSold, "Sold:", "Days sold back this year"},
        {lf::kForfeited, "Forfeited:", "Days forfeited this year"},
        {lf::kTaken, "Taken:", "Days of annual leave taken this year"},
        {lf::kBalance, "Balance:", "Days due now"},
        {lf::kBooked, "Booked:", "Days booked and not yet taken"},
        {lf::kAvailable, "Available:", "Days left once the booked leave is taken"},
    };
    for (int i = 0; i < static_cast<int>(std::size(figures)); ++i) {
        const int row = i % 3;
        const int column = (i / 3) * 3;
        auto* label = new QLabel(QString::fromLatin1(figures[i].label), box);
        QLineEdit* value = shownBox(box, figures[i].name, kDaysCharacters);
        value->setAlignment(Qt::AlignRight);
        value->setToolTip(QString::fromLatin1(figures[i].tip));
        label->setToolTip(value->toolTip());
        grid->addWidget(label, row, column);
        grid->addWidget(value, row, column + 1);
        if (column > 0)
            grid->setColumnMinimumWidth(column - 1, box->fontMetrics().averageCharWidth() * 3);
    }
    grid->setColumnStretch(8, 1);
    return box;
}

QWidget* header(QWidget* parent) {
    auto* line = new QWidget(parent);
    line->setObjectName(QStringLiteral("RecordHeader"));
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Employee:"), line));
    layout->addWidget(shownBox(line, lf::kEmployee, 48));
    layout->addStretch(1);
    auto* readOnly = new QLabel(line);
    readOnly->setObjectName(QString::fromLatin1(lf::kReadOnly));
    QPalette palette = readOnly->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x20, 0x20));
    readOnly->setPalette(palette);
    layout->addWidget(readOnly);
    layout->addSpacing(line->fontMetrics().averageCharWidth() * 2);
    auto* position = new QLabel(line);
    position->setObjectName(QString::fromLatin1(lf::kPosition));
    position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The window is sized before the first employee shows his place.
    position->setMinimumWidth(
        position->fontMetrics().horizontalAdvance(QStringLiteral("Record 00000 of 00000")));
    layout->addWidget(position);
    return line;
}

} // namespace

LeaveWindow::LeaveWindow(const DialogContext& context, std::unique_ptr<LEAVEFRM> form)
    : DocumentWindow(context),
      form_(std::move(form)),
      view_(this) {
    setObjectName(QStringLiteral("Leave Window"));
    setWindowTitle(QStringLiteral("Absence and Leave File"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header(this));
    layout->addWidget(accountBox(this));

    auto* viewLine = new QHBoxLayout;
    auto* viewLabel = new QLabel(QStringLiteral("&View:"), this);
    views_ = new QComboBox(this);
    views_->setObjectName(QString::fromLatin1(lf::kView));
    views_->setMinimumContentsLength(14);
    viewLabel->setBuddy(views_);
    viewLine->addWidget(viewLabel);
    viewLine->addWidget(views_);
    viewLine->addStretch(1);
    layout->addLayout(viewLine);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QString::fromLatin1(lf::kList));
    list_->header()->setObjectName(QString::fromLatin1(lf::kColumns));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setAlternatingRowColors(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionsMovable(false);
    // Each column keeps its width; a short view leaves room at the right.
    list_->header()->setStretchLastSection(false);
    int widest = 0;
    for (const lf::Column& column : lf::kAbsenceColumns)
        widest += fromDialogUnits(*list_, column.width);
    list_->setMinimumSize(widest + list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                              fromDialogUnits(*list_, 20),
                          list_->fontMetrics().height() * 14);
    list_->installEventFilter(this);
    layout->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* name, const QString& text, int id) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setAutoDefault(false);
        connect(pushButton, &QPushButton::clicked, this, [this, id] { runCommand(id); });
        buttons->addWidget(pushButton);
        return pushButton;
    };
    add_ = button("AddEventButton", QStringLiteral("&Add Event..."), cmd::Add);
    edit_ = button("EditEventButton", QStringLiteral("&Edit Event..."), cmd::EditEvent);
    delete_ = button("DeleteEventButton", QStringLiteral("&Delete Event"), cmd::Delete);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(views_, &QComboBox::activated, this, [this] {
        form_->switchView();
        showButtons();
    });
    connect(list_, &QTreeWidget::doubleClicked, this, [this] { runCommand(cmd::EditEvent); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { showButtons(); });
    connect(list_->model(), &QAbstractItemModel::headerDataChanged, this, [this] {
        fitColumns();
        alignDays();
    });
    connect(list_->model(), &QAbstractItemModel::rowsInserted, this, [this] { alignDays(); });
}

LeaveWindow::~LeaveWindow() {
    stopRefresh();
    form_->detach();
}

int LeaveWindow::helpContext() const {
    return helpctx::Leave;
}

bool LeaveWindow::open(const common::ORGREC& org) {
    form_->attach(view_);
    if (!form_->open(org))
        return false;
    showButtons();
    startRefresh([this] { refresh(); });
    return true;
}

void LeaveWindow::refresh() {
    if (form_->refreshRecord())
        showButtons();
}

void LeaveWindow::focusFirstField() {
    list_->setFocus(Qt::OtherFocusReason);
}

void LeaveWindow::fitColumns() {
    const std::span<const lf::Column> columns = columnsTitled(headings(*list_));
    for (std::size_t i = 0; i < columns.size(); ++i)
        list_->setColumnWidth(static_cast<int>(i), fromDialogUnits(*list_, columns[i].width));
}

void LeaveWindow::alignDays() {
    const int days = static_cast<int>(headings(*list_).indexOf(QStringLiteral("Days")));
    if (days < 0)
        return;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    list_->headerItem()->setTextAlignment(days, right);
    for (int row = 0; row < list_->topLevelItemCount(); ++row)
        list_->topLevelItem(row)->setTextAlignment(days, right);
}

void LeaveWindow::showButtons() {
    const bool any = form_->hasRecord();
    const bool chosen = any && !list_->selectedItems().isEmpty();
    add_->setEnabled(any);
    edit_->setEnabled(chosen);
    delete_->setEnabled(chosen);
}

void LeaveWindow::updateItem(int id, QAction& item) {
    if (id == cmd::Add)
        item.setEnabled(item.isEnabled() && add_->isEnabled());
    else if (id == cmd::EditEvent || id == cmd::Delete)
        item.setEnabled(item.isEnabled() && edit_->isEnabled());
}

bool LeaveWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            runCommand(cmd::EditEvent);
            return true;
        }
    }
    return DocumentWindow::eventFilter(watched, event);
}

bool LeaveWindow::runCommand(int id) {
    // Message boxes wait in their own loop too: the rows stay as the clerk
    // saw them until the command is done.
    const bool taken = paused([&] { return dispatch(id); });
    if (taken)
        showButtons();
    return taken;
}

bool LeaveWindow::dispatch(int id) {
    switch (id) {
    case cmd::Save:
        form_->saveCurrentRec();
        break;
    case cmd::Add:
        editEvent(false);
        break;
    case cmd::EditEvent:
        editEvent(true);
        break;
    case cmd::Delete:
        form_->deleteRow();
        break;
    default:
        return runBrowseCommand(id);
    }
    return true;
}

void LeaveWindow::editEvent(bool edit) {
    if (runEventDialog(context_, *form_, edit))
        list_->setFocus(Qt::OtherFocusReason);
}

void LeaveWindow::moveRecord(int id) {
    (form_.get()->*recordStep<staffrecords::LEAVEFRM>(id))();
}

void LeaveWindow::turnPage(int step) {
    if (step < 0)
        form_->pageUp();
    else
        form_->pageDown();
}

void LeaveWindow::find(int id) {
    if (!form_->saveCurrentRec())
        return;
    runFind(context_, finderOf(*form_), findByCommand(id));
}

bool LeaveWindow::closeForm() {
    stopRefresh();
    if (!form_->close()) {
        resumeRefresh();
        return false;
    }
    form_->detach();
    return true;
}

} // namespace kelo::app
