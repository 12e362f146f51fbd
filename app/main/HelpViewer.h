#pragma once

#include <QPointer>
#include <QString>

class QTextBrowser;
class QWidget;

namespace kelo::app {

// The help window: HTML pages named by context number ("165.html") in the
// help folder, "index.html" for the contents. A missing folder switches
// help off for the rest of the run; requests then do nothing. Asked from a
// modal dialog, the window belongs to that dialog, so that it can be used
// while the dialog waits.
class HelpViewer {
public:
    HelpViewer(QString folder, QWidget* parent);
    ~HelpViewer();

    // 0 shows the contents.
    void show(int context);
    // A page named by file ("importpreview.html"), for windows beyond the
    // numbered contexts.
    void showPage(const QString& page);
    bool isOn() const { return on_; }
    int currentContext() const { return context_; }
    QString currentPage() const;
    QWidget* window() const;

private:
    QString folder_;
    QWidget* parent_;
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
    bool on_ = true;
    int context_ = 0;
};

} // namespace kelo::app
