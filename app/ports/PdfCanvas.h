#pragma once

#include "app/ports/QtCanvas.h"
#include "common/ReportGeometry.h"

#include <memory>
#include <string>

class QPdfWriter;

namespace kelo::app {

// Writes a document as an A4 PDF file, turned as the report's paper is, so
// that a landscape page is not cut off. The file is written when the
// document ends; beginDocument fails when it cannot be created.
class PdfCanvas : public QtCanvas {
public:
    explicit PdfCanvas(std::string path, int resolution = 600,
                       common::Orientation orientation = common::Orientation::Portrait);
    ~PdfCanvas() override;

    double pageWidthMm() const override;
    double pageHeightMm() const override;

    bool beginDocument(const std::string& title) override;
    void endDocument() override;
    void beginPage() override;
    void endPage() override {}

    int pagesStarted() const { return pagesStarted_; }

private:
    std::string path_;
    int resolution_;
    common::Orientation orientation_;
    std::unique_ptr<QPdfWriter> writer_;
    int pagesStarted_ = 0;
};

} // namespace kelo::app
