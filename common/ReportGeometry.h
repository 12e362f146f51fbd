#pragma once

#include "common/Canvas.h"

#include <cstdint>

namespace kelo::common {

// How the print dialog turns the paper for a report.
enum class Orientation : std::int16_t { Portrait = 1, Landscape = 2 };

inline constexpr double kA4ShortSideMm = 210;
inline constexpr double kA4LongSideMm = 297;

// Where a report draws on its paper, in millimetres from the paper's
// top-left corner. Each report gives its own margins and widths.
struct PageGeometry {
    double paperWidth = kA4ShortSideMm;
    double paperHeight = kA4LongSideMm;
    double topMargin = 0;
    double leftMargin = 0;
    double printableWidth = 0;
    double printableHeight = 0;
    double columnGap = 0;

    Orientation orientation() const {
        return paperWidth > paperHeight ? Orientation::Landscape : Orientation::Portrait;
    }
    double right() const { return leftMargin + printableWidth; }
    double bottom() const { return topMargin + printableHeight; }
    // A position given, as the layouts give them, as a distance below the top
    // margin or to the right of the left margin.
    double y(double belowTop) const { return topMargin + belowTop; }
    double x(double fromLeft) const { return leftMargin + fromLeft; }
    RectMm printable() const { return {leftMargin, topMargin, printableWidth, printableHeight}; }

    static PageGeometry portrait(double topMargin, double leftMargin, double printableWidth,
                                 double printableHeight, double columnGap = 0) {
        return {kA4ShortSideMm, kA4LongSideMm,   topMargin, leftMargin,
                printableWidth, printableHeight, columnGap};
    }
    static PageGeometry landscape(double topMargin, double leftMargin, double printableWidth,
                                  double printableHeight, double columnGap = 0) {
        return {kA4LongSideMm,  kA4ShortSideMm,  topMargin, leftMargin,
                printableWidth, printableHeight, columnGap};
    }
};

// Millimetres in a device's logical pixels and back, for what is counted
// in device units: scroll ranges, whole-pixel rules.
struct DeviceScale {
    static constexpr double kInchesPerMm = 0.03937007874015748;

    double pixelsPerMmX = 0;
    double pixelsPerMmY = 0;

    static DeviceScale of(const Canvas& canvas) {
        return {canvas.dpiX() * kInchesPerMm, canvas.dpiY() * kInchesPerMm};
    }
    double toPixelsX(double mm) const { return mm * pixelsPerMmX; }
    double toPixelsY(double mm) const { return mm * pixelsPerMmY; }
    double toMmX(double pixels) const { return pixelsPerMmX > 0 ? pixels / pixelsPerMmX : 0; }
    double toMmY(double pixels) const { return pixelsPerMmY > 0 ? pixels / pixelsPerMmY : 0; }
};

// The height of one line of the canvas's current font: `factor` times
// (text height + external leading), the unit the layouts count lines in.
inline double lineHeight(const Canvas& canvas, double factor = 1.0) {
    const TextMetrics metrics = canvas.metrics();
    return factor * (metrics.height + metrics.externalLeading);
}

// The same for `font`, which the canvas keeps as its current font.
inline double lineHeight(Canvas& canvas, const Font& font, double factor) {
    canvas.setFont(font);
    return lineHeight(canvas, factor);
}

} // namespace kelo::common
