#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QTabWidget>

#include <functional>
#include <vector>

namespace kelo::app {

// The tab control of a record window. One page widget exists at a time,
// built when its tab is shown and dropped when another is; a tab is left
// only when the window's form finds the page valid, whether the clerk
// clicks a tab (the tab bar's mouse press is filtered), uses the keyboard
// on the tab bar (the tab is put back, then asked for) or PgUp/PgDn
// (changeTab). Every tab is as large as the largest page, so that the
// window keeps its size from tab to tab.
class RecordTabs : public QTabWidget {
public:
    struct Hooks {
        // Builds the page of a tab; it is also asked for each page once,
        // to size the tabs.
        std::function<QWidget*(int tab, QWidget* parent)> build;
        // The page of `tab` is in place: the form takes it and shows it.
        std::function<void(int tab, QWidget* page)> shown;
        // Whether the page shown may be left.
        std::function<bool()> mayLeave;
        // The page is about to go: the form lets it go first.
        std::function<void()> dropping;
    };

    RecordTabs(const QStringList& titles, Hooks hooks, QWidget* parent);
    ~RecordTabs() override;

    // Moves to the tab when the page shown may be left; false when it stays.
    bool changeTab(int index);
    // Shows the tab's page without asking.
    void showTab(int index);
    // Drops the page shown, telling the form first.
    void dropPage();
    // The page now shown; null while none is.
    QWidget* page() const { return page_; }
    int shownTab() const { return shownTab_; }

    // Puts the cursor in the page's first field.
    void focusFirstField();
    // Back to the last field of the page the clerk was in, or the first.
    void restoreFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Hooks hooks_;
    std::vector<QWidget*> holders_;
    QPointer<QWidget> page_;
    QPointer<QWidget> lastField_;
    QMetaObject::Connection focusWatch_;
    int shownTab_ = -1;
    bool switching_ = false;
};

} // namespace kelo::app
