#include "app/ports/PdfCanvas.h"

#include "app/ports/QtText.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace kelo::app {

namespace {
QSizeF a4Mm() {
    return QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
}
} // namespace

PdfCanvas::PdfCanvas(std::string path, int resolution, common::Orientation orientation)
    : QtCanvas(resolution, resolution),
      path_(std::move(path)),
      resolution_(resolution),
      orientation_(orientation) {}

PdfCanvas::~PdfCanvas() {
    endDocument();
}

double PdfCanvas::pageWidthMm() const {
    return orientation_ == common::Orientation::Landscape ? a4Mm().height() : a4Mm().width();
}

double PdfCanvas::pageHeightMm() const {
    return orientation_ == common::Orientation::Landscape ? a4Mm().width() : a4Mm().height();
}

bool PdfCanvas::beginDocument(const std::string& title) {
    endDocument();
    auto writer = std::make_unique<QPdfWriter>(toQString(path_));
    writer->setResolution(resolution_);
    // No margins: the canvas measures from the paper's corner.
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      orientation_ == common::Orientation::Landscape
                                          ? QPageLayout::Landscape
                                          : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer->setTitle(toQString(title));
    writer->setCreator(QStringLiteral("Kelo Roster"));
    if (!beginPainting(*writer))
        return false;
    writer_ = std::move(writer);
    pagesStarted_ = 0;
    return true;
}

void PdfCanvas::endDocument() {
    endPainting();
    writer_.reset();
}

// The painter opened the first page; each later one needs a new page.
void PdfCanvas::beginPage() {
    if (!writer_ || !painting())
        return;
    if (pagesStarted_++ > 0)
        writer_->newPage();
}

} // namespace kelo::app
