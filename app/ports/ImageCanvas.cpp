#include "app/ports/ImageCanvas.h"

#include "app/ports/QtText.h"

#include <algorithm>
#include <cmath>

namespace kelo::app {

namespace {
const QImage kNoPage;

int pixels(double mm, double dpi) {
    return std::max(1, static_cast<int>(std::lround(mm * dpi / 25.4)));
}
} // namespace

ImageCanvas::ImageCanvas(double dpi, double pageWidthMm, double pageHeightMm)
    : QtCanvas(dpi, dpi),
      dpi_(dpi),
      pageWidth_(pageWidthMm),
      pageHeight_(pageHeightMm) {}

ImageCanvas::~ImageCanvas() {
    endPainting();
}

bool ImageCanvas::beginDocument(const std::string& title) {
    if (dpi_ <= 0 || pageWidth_ <= 0 || pageHeight_ <= 0)
        return false;
    endDocument();
    title_ = title;
    pages_.clear();
    return true;
}

void ImageCanvas::endDocument() {
    endPage();
}

void ImageCanvas::beginPage() {
    endPage();
    current_ = QImage(pixels(pageWidth_, dpi_), pixels(pageHeight_, dpi_), QImage::Format_RGB32);
    if (current_.isNull())
        return;
    // The image's resolution sets the pixel size of point-sized fonts.
    current_.setDotsPerMeterX(static_cast<int>(std::lround(dpi_ / 0.0254)));
    current_.setDotsPerMeterY(static_cast<int>(std::lround(dpi_ / 0.0254)));
    current_.fill(Qt::white);
    inPage_ = beginPainting(current_);
}

void ImageCanvas::endPage() {
    if (!inPage_)
        return;
    endPainting();
    pages_.push_back(current_);
    current_ = QImage();
    inPage_ = false;
}

const QImage& ImageCanvas::page(int index) const {
    return index >= 0 && index < pageCount() ? pages_[static_cast<std::size_t>(index)] : kNoPage;
}

bool ImageCanvas::savePng(int index, const std::string& path) const {
    const QImage& image = page(index);
    return !image.isNull() && image.save(toQString(path), "PNG");
}

} // namespace kelo::app
