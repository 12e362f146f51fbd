#include "staffreports/ListPage.h"

#include <algorithm>
#include <cctype>

namespace kelo::staffreports {

using namespace listpage;

common::PageGeometry listGeometry(double printableWidth) {
    return common::PageGeometry::landscape(kTopMargin, kLeftMargin, printableWidth,
                                           kPrintableHeight, kColumnGap);
}

void drawListFrame(common::Canvas& canvas, const common::PageGeometry& g,
                   std::span<const double> rules) {
    canvas.setPen(common::Pen{common::PenStyle::Solid, 0, common::Color{}});
    canvas.drawRect({g.leftMargin, g.y(kFrameTop), g.printableWidth, kFrameBottom - kFrameTop});
    canvas.drawLine(g.leftMargin, g.y(kHeadingRule), g.right(), g.y(kHeadingRule));
    double rule = 0;
    for (double step : rules) {
        rule += step;
        canvas.drawLine(g.x(rule), g.y(kFrameTop), g.x(rule), g.y(kFrameBottom));
    }
}

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace kelo::staffreports
