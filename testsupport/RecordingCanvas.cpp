#include "testsupport/RecordingCanvas.h"

#include <cmath>

namespace kelo::testsupport {

using common::RectMm;

double RecordingCanvas::em() const {
    return font_.pointSize * 25.4 / 72.0;
}

common::TextMetrics RecordingCanvas::metrics() const {
    common::TextMetrics m;
    m.ascent = em() * 0.8;
    m.descent = em() * 0.2;
    m.height = em();
    m.externalLeading = em() * 0.2;
    m.averageCharWidth = em() * 0.5;
    return m;
}

double RecordingCanvas::textWidth(std::string_view text) const {
    return static_cast<double>(text.size()) * em() * 0.5;
}

int RecordingCanvas::lineCount(double width, std::string_view text, int flags) const {
    if (flags & common::align::SingleLine)
        return 1;
    const double charWidth = em() * 0.5;
    const auto perLine = static_cast<std::size_t>(
        charWidth > 0 && width > 0 ? std::max(1.0, std::floor(width / charWidth)) : 1.0);
    int lines = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        const std::size_t length = (end == std::string_view::npos ? text.size() : end) - start;
        lines += (flags & common::align::WordWrap) && length > 0
                     ? static_cast<int>((length + perLine - 1) / perLine)
                     : 1;
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

double RecordingCanvas::textHeight(double width, std::string_view text, int flags) const {
    return lineCount(width, text, flags) * lineHeight();
}

double RecordingCanvas::drawText(const RectMm& rect, std::string_view text, int flags) {
    elements.push_back(
        {Kind::Text, page_, rect, std::string(text), flags, font_, pen_, textColor_});
    return textHeight(rect.width, text, flags);
}

void RecordingCanvas::drawLine(double x1, double y1, double x2, double y2) {
    elements.push_back({Kind::Line, page_, {x1, y1, x2 - x1, y2 - y1}, {}, 0, font_, pen_, {}});
}

void RecordingCanvas::drawRect(const RectMm& rect) {
    elements.push_back({Kind::Rect, page_, rect, {}, 0, font_, pen_, {}});
}

void RecordingCanvas::fillRect(const RectMm& rect, const common::Color& fill) {
    elements.push_back({Kind::Fill, page_, rect, {}, 0, font_, pen_, fill});
}

bool RecordingCanvas::drawImage(const RectMm& rect, const std::string& path) {
    elements.push_back({Kind::Image, page_, rect, path, 0, font_, pen_, {}});
    return !path.empty();
}

bool RecordingCanvas::beginDocument(const std::string& title) {
    if (failDocument)
        return false;
    documentTitles.push_back(title);
    return true;
}

void RecordingCanvas::beginPage() {
    ++pagesStarted;
    page_ = pagesStarted;
}

std::vector<RecordingCanvas::Element> RecordingCanvas::findText(std::string_view text) const {
    std::vector<Element> found;
    for (const Element& e : elements) {
        if (e.kind == Kind::Text && e.text == text)
            found.push_back(e);
    }
    return found;
}

std::optional<RecordingCanvas::Element>
RecordingCanvas::findTextContaining(std::string_view part) const {
    for (const Element& e : elements) {
        if (e.kind == Kind::Text && e.text.find(part) != std::string::npos)
            return e;
    }
    return std::nullopt;
}

std::vector<std::string> RecordingCanvas::textsOnPage(int page) const {
    std::vector<std::string> texts;
    for (const Element& e : elements) {
        if (e.kind == Kind::Text && e.page == page)
            texts.push_back(e.text);
    }
    return texts;
}

} // namespace kelo::testsupport
