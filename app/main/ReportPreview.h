#pragma once

#include "app/main/DocumentWindow.h"

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QScrollArea;
class QScrollBar;

namespace kelo::common {
class REPORTBASE;
} // namespace kelo::common

namespace kelo::app {

class MainWindow;
class ScreenshotHost;

// The Report Preview window: the current page of a report that has read its
// data and been laid out, drawn to fit the window's width, with paging, Go
// to Page, scrolling, printing and saving as text or PDF. It owns the report
// and destroys it as it goes.
class ReportPreview : public DocumentWindow {
public:
    static constexpr int kHelpContext = 140;
    // One scroll line: 10 millimetres.
    static constexpr double kLineMm = 10;

    // `showPageCaption` writes "Page %d of %d" where the status bar shows it.
    ReportPreview(const DialogContext& context, std::unique_ptr<common::REPORTBASE> report,
                  int reportCode, std::string caption,
                  std::function<void(const std::string&)> showPageCaption);
    ~ReportPreview() override;

    bool open(const common::ORGREC& org) override;
    bool runCommand(int id) override;
    bool closeForm() override { return true; }
    int helpContext() const override { return kHelpContext; }
    // First and Previous off on the first page, Next and Last on the last.
    void updateItem(int id, QAction& item) override;
    void focusFirstField() override;
    void restoreFocus() override {}

    const common::REPORTBASE& report() const { return *report_; }
    int reportCode() const { return code_; }
    // Pixels per inch the page is drawn at to fit the width.
    double zoomDpi() const { return dpi_; }
    QScrollBar* verticalBar() const;
    QScrollBar* horizontalBar() const;
    // The drawn page, for the tests and the screenshot run.
    const QLabel* pageView() const { return page_; }

protected:
    // Draws the page again whenever the visible width changes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool pages(int id);
    bool goToPage();
    void print();
    void scroll(int id);
    // Draws the current page again at the window's width.
    void render();
    void afterPageMove();

    std::unique_ptr<common::REPORTBASE> report_;
    int code_;
    std::function<void(const std::string&)> showPageCaption_;
    QScrollArea* area_ = nullptr;
    QLabel* page_ = nullptr;
    double dpi_ = 96;
};

// The screenshot run's pictures of the preview, on the payslips of the
// current period.
void pictureReportPreview(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
