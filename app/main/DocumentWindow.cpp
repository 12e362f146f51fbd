#include "app/main/DocumentWindow.h"

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

} // namespace kelo::app
