#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::common {

// Geometry on a canvas is in millimetres from the top-left corner of the page.
struct RectMm {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

struct Font {
    std::string face = "Arial"; // "Arial", "Arial Narrow", "Times New Roman"
    double pointSize = 10;
    int weight = 400; // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class PenStyle { Solid, Dot, Dash, None };

struct Pen {
    PenStyle style = PenStyle::Solid;
    double widthMm = 0; // 0: the thinnest line the device draws
    Color color{};
    friend bool operator==(const Pen&, const Pen&) = default;
};

// Measures of the current font, in millimetres.
struct TextMetrics {
    double height = 0; // ascent + descent
    double ascent = 0;
    double descent = 0;
    double externalLeading = 0;
    double averageCharWidth = 0;
};

// How text sits in its rectangle; combine with |.
namespace align {
inline constexpr int Left = 0;
inline constexpr int Center = 1;
inline constexpr int Right = 2;
inline constexpr int Top = 0;
inline constexpr int VCenter = 4;
inline constexpr int Bottom = 8;
inline constexpr int WordWrap = 16;   // break lines at blanks to fit the width
inline constexpr int SingleLine = 32; // newlines are not line breaks
inline constexpr int NoClip = 64;     // text may spill outside the rectangle
inline constexpr int EndEllipsis = 128;
} // namespace align

// What a report draws on: the preview, the printer, a PDF or an image in the
// Qt program, a recording canvas in tests. Reports never know which.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Logical pixels per inch of the device, for reports that lay out in
    // device units; 25.4 mm to the inch.
    virtual double dpiX() const = 0;
    virtual double dpiY() const = 0;
    // The page of the device (paper size when printing).
    virtual double pageWidthMm() const = 0;
    virtual double pageHeightMm() const = 0;

    virtual void setFont(const Font& font) = 0;
    virtual TextMetrics metrics() const = 0;
    virtual double textWidth(std::string_view text) const = 0;
    // Height the text takes in a rectangle `width` wide with these flags.
    virtual double textHeight(double width, std::string_view text, int flags) const = 0;
    virtual void setTextColor(const Color& color) = 0;
    // Draws and returns the height of the text drawn.
    virtual double drawText(const RectMm& rect, std::string_view text, int flags) = 0;

    virtual void setPen(const Pen& pen) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    // Outline with the current pen.
    virtual void drawRect(const RectMm& rect) = 0;
    virtual void fillRect(const RectMm& rect, const Color& fill) = 0;
    // An image file scaled into the rectangle; false when it cannot be read.
    virtual bool drawImage(const RectMm& rect, const std::string& path) = 0;

    // A document of pages. beginDocument fails when the device is unusable.
    virtual bool beginDocument(const std::string& title) = 0;
    virtual void endDocument() = 0;
    virtual void beginPage() = 0;
    virtual void endPage() = 0;

    double pixelsPerMmX() const { return dpiX() / 25.4; }
    double pixelsPerMmY() const { return dpiY() / 25.4; }
};

} // namespace kelo::common
