#include "app/main/ReportPreview.h"

#include "app/main/DialogHost.h"
#include "app/main/FormDialog.h"
#include "app/main/HelpViewer.h"
#include "app/main/ReportPrinting.h"
#include "app/main/Session.h"
#include "app/ports/ImageCanvas.h"
#include "app/ports/QtText.h"
#include "app/shell/Commands.h"
#include "common/ReportBase.h"
#include "common/ReportGeometry.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kelo::app {

namespace {

// Reports whose pages are not turned one by one: their paging commands do
// nothing.
bool pagesOneByOne(int code) {
    return code != 62 && code != 81 && (code < 204 || code > 206);
}

constexpr double kMinimumDpi = 24;

} // namespace

ReportPreview::ReportPreview(const DialogContext& context,
                             std::unique_ptr<common::REPORTBASE> report, int reportCode,
                             std::string caption,
                             std::function<void(const std::string&)> showPageCaption)
    : DocumentWindow(context),
      report_(std::move(report)),
      code_(reportCode),
      showPageCaption_(std::move(showPageCaption)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(toQString(caption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("PreviewArea"));
    // Both bars always there, so that drawing to the width never changes it.
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area_->setBackgroundRole(QPalette::Base);
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    page_ = new QLabel;
    page_->setObjectName(QStringLiteral("PreviewPage"));
    page_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    area_->setWidget(page_);
    area_->setWidgetResizable(false);
    layout->addWidget(area_);
    area_->viewport()->installEventFilter(this);
    setMinimumSize(320, 240);
    resize(800, 600);
}

ReportPreview::~ReportPreview() = default;

bool ReportPreview::open(const common::ORGREC&) {
    render();
    if (showPageCaption_)
        showPageCaption_(report_->pageCaption());
    return true;
}

QScrollBar* ReportPreview::verticalBar() const {
    return area_->verticalScrollBar();
}

QScrollBar* ReportPreview::horizontalBar() const {
    return area_->horizontalScrollBar();
}

void ReportPreview::focusFirstField() {
    area_->setFocus();
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_->viewport() && event->type() == QEvent::Resize)
        render();
    return DocumentWindow::eventFilter(watched, event);
}

void ReportPreview::render() {
    const common::PageGeometry& paper = report_->geometry();
    const int width = area_->viewport()->width();
    dpi_ = std::max(kMinimumDpi, width / (paper.paperWidth / 25.4));
    ImageCanvas canvas(dpi_, paper.paperWidth, paper.paperHeight);
    common::PRINTERREC preview;
    preview.preview = 1;
    report_->print(canvas, preview);
    if (canvas.pageCount() > 0) {
        page_->setPixmap(QPixmap::fromImage(canvas.page(0)));
        page_->resize(page_->pixmap().size());
    }
    const int line =
        static_cast<int>(std::lround(dpi_ * common::DeviceScale::kInchesPerMm * kLineMm));
    verticalBar()->setSingleStep(std::max(1, line));
    horizontalBar()->setSingleStep(std::max(1, line));
}

bool ReportPreview::runCommand(int id) {
    switch (id) {
    case cmd::Next:
    case cmd::Previous:
    case cmd::Last:
    case cmd::First:
        return pages(id);
    case 1118:
        goToPage();
        return true;
    case cmd::Print:
        print();
        return true;
    case cmd::SaveAsText:
        report_->saveAsTxt(context_.session.folder());
        return true;
    case cmd::SaveAsPdf:
        saveReportAsPdf(*report_, context_.session.ui(), context_.session.folder());
        return true;
    case cmd::SavePayslipPdfs:
        // The files take the report's pages apart; the preview starts again
        // at the first page of the usual ones.
        savePdfPerEmployee(*report_, context_.session.ui(), context_.session.folder());
        afterPageMove();
        return true;
    case cmd::SaveAsCsv:
        report_->saveAsCsv(context_.session.folder());
        return true;
    case cmd::HelpContents:
        context_.help.show(kHelpContext);
        return true;
    default:
        if (id >= cmd::ScrollFirst && id <= cmd::ScrollLast) {
            scroll(id);
            return true;
        }
        return false;
    }
}

bool ReportPreview::pages(int id) {
    if (!pagesOneByOne(code_))
        return true;
    const bool moved = id == cmd::Next       ? report_->nextPage()
                       : id == cmd::Previous ? report_->previousPage()
                       : id == cmd::Last     ? report_->lastPage()
                                             : report_->firstPage();
    if (moved)
        afterPageMove();
    return true;
}

void ReportPreview::afterPageMove() {
    render();
    verticalBar()->setValue(0);
    horizontalBar()->setValue(0);
    if (showPageCaption_)
        showPageCaption_(report_->pageCaption());
}

void ReportPreview::updateItem(int id, QAction& item) {
    const bool first = report_->currentPage() == 1;
    const bool last = report_->currentPage() == report_->pageCount();
    if (id == cmd::First || id == cmd::Previous)
        item.setEnabled(item.isEnabled() && !first);
    else if (id == cmd::Next || id == cmd::Last)
        item.setEnabled(item.isEnabled() && !last);
}

bool ReportPreview::goToPage() {
    FormDialog dialog(this, "GoToPageDialog", QStringLiteral("Go to Page Number"));
    dialog.addStatic("Prompt", QString())->setText(QStringLiteral("Enter Page Number"));
    QLineEdit* text = dialog.addEdit("PageNumber", QString(), 9);
    text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 30);
    dialog.addButtons(QStringLiteral("OK"),
                      [&] { return report_->gotoPageNum(toStdString(text->text())); });
    text->setFocus();
    if (context_.host.exec(dialog) != QDialog::Accepted)
        return false;
    afterPageMove();
    return true;
}

void ReportPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<common::PRINTERREC> pages =
        runPrintDialog(context_.host, printer, *report_, this);
    if (pages)
        printReport(*report_, printer, *pages);
}

void ReportPreview::scroll(int id) {
    QScrollBar* vertical = verticalBar();
    QScrollBar* horizontal = horizontalBar();
    switch (id) {
    case 1701:
        vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case 1702:
        vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case 1703:
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case 1704:
        horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case 1705:
        vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case 1706:
        vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case 1707:
        horizontal->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    default:
        horizontal->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    }
}

} // namespace kelo::app
