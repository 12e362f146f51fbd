#include "app/main/RecordTabs.h"

#include "app/main/PageBuilder.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTabBar>
#include <QVBoxLayout>

#include <memory>

namespace kelo::app {

RecordTabs::RecordTabs(const QStringList& titles, Hooks hooks, QWidget* parent)
    : QTabWidget(parent),
      hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Tabs"));
    setUsesScrollButtons(false);
    for (const QString& title : titles) {
        auto* holder = new QWidget(this);
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        holders_.push_back(holder);
        addTab(holder, title);
    }
    QSize room;
    for (int tab = 0; tab < count(); ++tab) {
        std::unique_ptr<QWidget> sample(hooks_.build(tab, holders_.front()));
        room = room.expandedTo(sample->sizeHint());
    }
    for (QWidget* holder : holders_)
        holder->setMinimumSize(room);
    tabBar()->installEventFilter(this);
    // Other ways of changing tabs (the keyboard on the tab bar, Ctrl+Tab)
    // are taken back, then asked for as a click would.
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (switching_ || index == shownTab_)
            return;
        switching_ = true;
        setCurrentIndex(shownTab_);
        switching_ = false;
        changeTab(index);
    });
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && page_ && page_->isAncestorOf(now))
            lastField_ = now;
    });
}

RecordTabs::~RecordTabs() {
    // Widgets losing the focus as they go must not reach a half-destroyed
    // control.
    disconnect(focusWatch_);
}

bool RecordTabs::changeTab(int index) {
    if (index == shownTab_)
        return true;
    if (index < 0 || index >= count())
        return false;
    if (page_ && hooks_.mayLeave && !hooks_.mayLeave())
        return false;
    showTab(index);
    return true;
}

void RecordTabs::showTab(int index) {
    dropPage();
    switching_ = true;
    setCurrentIndex(index);
    switching_ = false;
    shownTab_ = index;
    QWidget* holder = holders_[static_cast<std::size_t>(index)];
    page_ = hooks_.build(index, holder);
    holder->layout()->addWidget(page_);
    page_->show();
    if (hooks_.shown)
        hooks_.shown(index, page_);
    focusFirstField();
}

void RecordTabs::dropPage() {
    if (!page_)
        return;
    if (hooks_.dropping)
        hooks_.dropping();
    delete page_.data();
}

void RecordTabs::focusFirstField() {
    if (!page_)
        return;
    // As Tab brings it: a box's text is chosen, so that typing replaces it.
    if (QWidget* first = firstField(*page_))
        first->setFocus(Qt::TabFocusReason);
}

void RecordTabs::restoreFocus() {
    if (lastField_ && page_ && page_->isAncestorOf(lastField_) && lastField_->isEnabled() &&
        lastField_->isVisibleTo(page_))
        lastField_->setFocus(Qt::OtherFocusReason);
    else
        focusFirstField();
}

bool RecordTabs::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabBar() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = tabBar()->tabAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && index >= 0 && index != shownTab_) {
            changeTab(index);
            return true;
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

} // namespace kelo::app
