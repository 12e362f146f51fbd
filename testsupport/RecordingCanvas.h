#pragma once

#include "common/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace kelo::testsupport {

// A canvas that keeps every element with its page and position, so a test
// can ask where "Grand Total" was drawn. Text is measured with a fixed rule:
// each character is 0.5 em wide and a line is 1.2 em high (1 em = the point
// size in millimetres), so layouts are the same on every machine.
class RecordingCanvas : public common::Canvas {
public:
    enum class Kind { Text, Line, Rect, Fill, Image };
    struct Element {
        Kind kind;
        int page; // 1-based; 0 outside any page
        common::RectMm rect;
        std::string text; // text, or the image path
        int flags = 0;
        common::Font font;
        common::Pen pen;
        common::Color color;
    };

    RecordingCanvas(double pageWidthMm = 210, double pageHeightMm = 297, double dpi = 600)
        : pageWidth_(pageWidthMm),
          pageHeight_(pageHeightMm),
          dpi_(dpi) {}

    double dpiX() const override { return dpi_; }
    double dpiY() const override { return dpi_; }
    double pageWidthMm() const override { return pageWidth_; }
    double pageHeightMm() const override { return pageHeight_; }
    void setFont(const common::Font& font) override { font_ = font; }
    common::TextMetrics metrics() const override;
    double textWidth(std::string_view text) const override;
    double textHeight(double width, std::string_view text, int flags) const override;
    void setTextColor(const common::Color& color) override { textColor_ = color; }
    double drawText(const common::RectMm& rect, std::string_view text, int flags) override;
    void setPen(const common::Pen& pen) override { pen_ = pen; }
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRect(const common::RectMm& rect) override;
    void fillRect(const common::RectMm& rect, const common::Color& fill) override;
    bool drawImage(const common::RectMm& rect, const std::string& path) override;
    bool beginDocument(const std::string& title) override;
    void endDocument() override { ++documentsEnded; }
    void beginPage() override;
    void endPage() override { ++pagesEnded; }

    // Makes beginDocument fail, as an unusable printer would.
    bool failDocument = false;

    std::vector<Element> elements;
    std::vector<std::string> documentTitles;
    int documentsEnded = 0;
    int pagesStarted = 0;
    int pagesEnded = 0;

    // Every text element whose text equals `text`.
    std::vector<Element> findText(std::string_view text) const;
    // The first text element containing `part`, if any.
    std::optional<Element> findTextContaining(std::string_view part) const;
    std::vector<std::string> textsOnPage(int page) const;

private:
    double em() const;
    double lineHeight() const { return em() * 1.2; }
    int lineCount(double width, std::string_view text, int flags) const;

    double pageWidth_;
    double pageHeight_;
    double dpi_;
    common::Font font_;
    common::Pen pen_;
    common::Color textColor_;
    int page_ = 0;
};

} // namespace kelo::testsupport
