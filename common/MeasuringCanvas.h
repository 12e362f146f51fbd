#pragma once

#include "common/Canvas.h"

namespace kelo::common {

// Measures as the canvas it wraps does and draws nothing, so that a report
// can find how much room a block takes before it places it.
class MeasuringCanvas : public Canvas {
public:
    explicit MeasuringCanvas(Canvas& device) : device_(device) {}

    double dpiX() const override { return device_.dpiX(); }
    double dpiY() const override { return device_.dpiY(); }
    double pageWidthMm() const override { return device_.pageWidthMm(); }
    double pageHeightMm() const override { return device_.pageHeightMm(); }
    void setFont(const Font& font) override { device_.setFont(font); }
    TextMetrics metrics() const override { return device_.metrics(); }
    double textWidth(std::string_view text) const override { return device_.textWidth(text); }
    double textHeight(double width, std::string_view text, int flags) const override {
        return device_.textHeight(width, text, flags);
    }
    void setTextColor(const Color&) override {}
    double drawText(const RectMm& rect, std::string_view text, int flags) override {
        return device_.textHeight(rect.width, text, flags);
    }
    void setPen(const Pen&) override {}
    void drawLine(double, double, double, double) override {}
    void drawRect(const RectMm&) override {}
    void fillRect(const RectMm&, const Color&) override {}
    bool drawImage(const RectMm&, const std::string&) override { return true; }
    bool beginDocument(const std::string&) override { return true; }
    void endDocument() override {}
    void beginPage() override {}
    void endPage() override {}

private:
    Canvas& device_;
};

} // namespace kelo::common
