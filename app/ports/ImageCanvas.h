#pragma once

#include "app/ports/QtCanvas.h"

#include <QImage>

#include <string>
#include <vector>

namespace kelo::app {

// Renders each page to an image on white paper, for the preview and for
// checking reports pixel by pixel.
class ImageCanvas : public QtCanvas {
public:
    explicit ImageCanvas(double dpi = 96, double pageWidthMm = 210, double pageHeightMm = 297);
    ~ImageCanvas() override;

    double pageWidthMm() const override { return pageWidth_; }
    double pageHeightMm() const override { return pageHeight_; }

    bool beginDocument(const std::string& title) override;
    void endDocument() override;
    void beginPage() override;
    void endPage() override;

    // Finished pages, first page at index 0.
    int pageCount() const { return static_cast<int>(pages_.size()); }
    const QImage& page(int index) const;
    bool savePng(int index, const std::string& path) const;
    const std::string& title() const { return title_; }

private:
    double dpi_;
    double pageWidth_;
    double pageHeight_;
    std::string title_;
    QImage current_;
    bool inPage_ = false;
    std::vector<QImage> pages_;
};

} // namespace kelo::app
