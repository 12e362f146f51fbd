#pragma once

#include "common/Canvas.h"
#include "common/ReportGeometry.h"

#include <span>
#include <string_view>

namespace kelo::staffreports {

// The landscape page the personnel lists and the posts report share, in
// millimetres below the top margin or right of the left margin.
namespace listpage {
inline constexpr double kTopMargin = 16;
inline constexpr double kLeftMargin = 20;
inline constexpr double kPrintableHeight = 170;
inline constexpr double kColumnGap = 4;
inline constexpr double kFrameTop = 18;
inline constexpr double kFrameBottom = 160;
inline constexpr double kHeadingRule = 28;
inline constexpr double kHeadingTop = 19;
inline constexpr double kHeadingHeight = 10.5;
inline constexpr double kRowsTop = 29.5;
inline constexpr double kRowHeight = 5;
inline constexpr double kFooterTop = 163;
// The sequence number's column.
inline constexpr double kNumberLeft = 2;
inline constexpr double kNumberWidth = 8;
inline constexpr double kFirstColumn = 10;
} // namespace listpage

// The page of a list `printableWidth` wide.
common::PageGeometry listGeometry(double printableWidth);

// The frame with the rule under the headings and the column rules, each
// `rules` step right of the one before, from the frame's top to its bottom.
void drawListFrame(common::Canvas& canvas, const common::PageGeometry& page,
                   std::span<const double> rules);

// Case-blind order of names.
bool lessIgnoringCase(std::string_view a, std::string_view b);

} // namespace kelo::staffreports
