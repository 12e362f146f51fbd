#include "app/main/HelpViewer.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kelo::app {

HelpViewer::HelpViewer(QString folder, QWidget* parent)
    : folder_(std::move(folder)),
      parent_(parent) {}

HelpViewer::~HelpViewer() {
    delete window_.data();
}

void HelpViewer::show(int context) {
    showPage(context == 0 ? QStringLiteral("index.html") : QStringLiteral("%1.html").arg(context));
    if (on_)
        context_ = context;
}

void HelpViewer::showPage(const QString& page) {
    if (!on_)
        return;
    QString path = QDir(folder_).filePath(page);
    if (!QFileInfo::exists(path))
        path = QDir(folder_).filePath(QStringLiteral("index.html"));
    if (!QFileInfo::exists(path)) {
        on_ = false;
        return;
    }
    context_ = 0;
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner || owner == window_)
        owner = parent_;
    if (!window_ || !browser_) {
        auto* window = new QDialog(owner, Qt::Window);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(QStringLiteral("Kelo Roster Help"));
        window->resize(720, 560);
        auto* browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenExternalLinks(true);
        browser->setSearchPaths({folder_});
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        window_ = window;
        browser_ = browser;
    } else if (window_->parentWidget() != owner) {
        // Follows the dialog that asks; its geometry stays where the user put it.
        const QRect where = window_->geometry();
        window_->setParent(owner, Qt::Window);
        window_->setGeometry(where);
    }
    browser_->setSource(QUrl::fromLocalFile(path));
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QString HelpViewer::currentPage() const {
    return window_ && browser_ ? QFileInfo(browser_->source().toLocalFile()).fileName() : QString();
}

QWidget* HelpViewer::window() const {
    return window_.data();
}

} // namespace kelo::app
