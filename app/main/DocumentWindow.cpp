#include "app/main/DocumentWindow.h"

#include "app/main/HelpViewer.h"

#include <QTimer>

namespace kelo::app {

DocumentWindow::DocumentWindow(const DialogContext& context) : context_(context) {
    // The window's dialogs belong to it.
    context_.parent = this;
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("RefreshTimer"));
    timer_->setInterval(kRefreshInterval);
}

DocumentWindow::~DocumentWindow() {
    timer_->stop();
}

void DocumentWindow::startRefresh(const std::function<void()>& refresh) {
    QObject::disconnect(timer_, &QTimer::timeout, nullptr, nullptr);
    connect(timer_, &QTimer::timeout, this, refresh);
    refreshes_ = true;
    timer_->start();
}

void DocumentWindow::stopRefresh() {
    timer_->stop();
}

void DocumentWindow::resumeRefresh() {
    if (refreshes_)
        timer_->start();
}

bool DocumentWindow::isRefreshing() const {
    return timer_->isActive();
}

bool DocumentWindow::runBrowseCommand(int id) {
    switch (id) {
    case cmd::Next:
    case cmd::Previous:
    case cmd::Last:
    case cmd::First:
        moveRecord(id);
        return true;
    case cmd::GoTo:
    case cmd::FindEmpNum:
    case cmd::FindName:
        find(id);
        return true;
    case cmd::PageUp:
        turnPage(-1);
        return true;
    case cmd::PageDown:
        turnPage(1);
        return true;
    case cmd::HelpContents:
        context_.help.show(helpContext());
        return true;
    default:
        return false;
    }
}

} // namespace kelo::app
