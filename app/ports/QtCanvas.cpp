#include "app/ports/QtCanvas.h"

#include "app/ports/QtText.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>

namespace kelo::app {

namespace {

struct Substitute {
    const char* face;
    const char* family;
};

constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
};

constexpr const char* kFallbackFamily = "Liberation Sans";

int qtFlags(int flags) {
    namespace align = common::align;
    int qt = 0;
    if (flags & align::Right)
        qt |= Qt::AlignRight;
    else if (flags & align::Center)
        qt |= Qt::AlignHCenter;
    else
        qt |= Qt::AlignLeft;
    if (flags & align::Bottom)
        qt |= Qt::AlignBottom;
    else if (flags & align::VCenter)
        qt |= Qt::AlignVCenter;
    else
        qt |= Qt::AlignTop;
    if (flags & align::WordWrap)
        qt |= Qt::TextWordWrap;
    if (flags & align::SingleLine)
        qt |= Qt::TextSingleLine;
    if (flags & align::NoClip)
        qt |= Qt::TextDontClip;
    return qt;
}

QColor toQColor(const common::Color& color) {
    return {color.red, color.green, color.blue};
}

// A device-independent QImage: its dots per metre carry the canvas's DPI.
QImage measureImage(double dpiX, double dpiY) {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpiX / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpiY / 0.0254)));
    return image;
}

QString lookUpFamily(const std::string& face) {
    const QString wanted = toQString(face);
    if (!wanted.isEmpty() && QFontDatabase::hasFamily(wanted))
        return wanted;
    for (const Substitute& substitute : kSubstitutes) {
        if (wanted.compare(QLatin1String(substitute.face), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(substitute.family);
    }
    return QString::fromLatin1(kFallbackFamily);
}

} // namespace

QString fontFamilyFor(const std::string& face) {
    // Asking the font database is slow, and a report asks at every change
    // of font; the answer holds while the program runs.
    static std::map<std::string, QString> known;
    if (const auto found = known.find(face); found != known.end())
        return found->second;
    QString family = lookUpFamily(face);
    known.emplace(face, family);
    return family;
}

QtCanvas::QtCanvas(double dpiX, double dpiY)
    : dpiX_(dpiX),
      dpiY_(dpiY),
      measureDevice_(measureImage(dpiX, dpiY)) {
    setFont(common::Font{});
    setPen(common::Pen{});
}

QtCanvas::~QtCanvas() = default;

bool QtCanvas::beginPainting(QPaintDevice& device) {
    endPainting();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device))
        return false;
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                            QPainter::SmoothPixmapTransform);
    painter->setFont(font_);
    painter->setPen(pen_);
    painter->setBrush(Qt::NoBrush);
    painter_ = std::move(painter);
    metrics_.reset();
    lineHeight_.reset();
    return true;
}

void QtCanvas::endPainting() {
    if (painter_)
        painter_->end();
    painter_.reset();
    metrics_.reset();
    lineHeight_.reset();
}

bool QtCanvas::painting() const {
    return painter_ && painter_->isActive();
}

QRectF QtCanvas::toPixels(const common::RectMm& rect) const {
    return {toPixelsX(rect.left), toPixelsY(rect.top), toPixelsX(rect.width),
            toPixelsY(rect.height)};
}

const QFontMetricsF& QtCanvas::fontMetrics() const {
    if (!metrics_)
        metrics_.emplace(font_, painting() ? painter_->device() : &measureDevice_);
    return *metrics_;
}

void QtCanvas::setFont(const common::Font& font) {
    if (lastFont_ == font)
        return;
    lastFont_ = font;
    metrics_.reset();
    lineHeight_.reset();
    QFont qt(fontFamilyFor(font.face));
    qt.setPointSizeF(font.pointSize > 0 ? font.pointSize : 10);
    qt.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
    qt.setItalic(font.italic);
    qt.setUnderline(font.underline);
    font_ = qt;
    if (painting())
        painter_->setFont(font_);
}

common::TextMetrics QtCanvas::metrics() const {
    const QFontMetricsF& metrics = fontMetrics();
    common::TextMetrics result;
    result.ascent = toMmY(metrics.ascent());
    result.descent = toMmY(metrics.descent());
    result.height = toMmY(metrics.height());
    result.externalLeading = toMmY(std::max(0.0, metrics.leading()));
    result.averageCharWidth = toMmX(metrics.averageCharWidth());
    return result;
}

double QtCanvas::textWidth(std::string_view text) const {
    return toMmX(fontMetrics().horizontalAdvance(toQString(text)));
}

// Lines that do not fit end in "..." when asked; wrapped text is left whole.
QString QtCanvas::shaped(std::string_view text, double widthPixels, int flags) const {
    QString qt = toQString(text);
    if (!(flags & common::align::EndEllipsis) || (flags & common::align::WordWrap))
        return qt;
    const QFontMetricsF& metrics = fontMetrics();
    if (flags & common::align::SingleLine)
        return metrics.elidedText(qt.replace('\n', ' '), Qt::ElideRight, widthPixels);
    QStringList lines = qt.split('\n');
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, widthPixels);
    return lines.join('\n');
}

double QtCanvas::textHeight(double width, std::string_view text, int flags) const {
    // Shaping text only to learn the height of its single line is the
    // costliest part of drawing a report.
    if ((flags & common::align::SingleLine) && !text.empty()) {
        if (!lineHeight_)
            lineHeight_ =
                fontMetrics()
                    .boundingRect(QRectF(0, 0, 1000, 0), Qt::TextSingleLine | Qt::TextDontClip,
                                  QStringLiteral("X"))
                    .height();
        return toMmY(*lineHeight_);
    }
    const double widthPixels = toPixelsX(std::max(0.0, width));
    const QRectF bounds =
        fontMetrics().boundingRect(QRectF(0, 0, widthPixels, 0), qtFlags(flags) | Qt::TextDontClip,
                                   shaped(text, widthPixels, flags));
    return toMmY(bounds.height());
}

void QtCanvas::setTextColor(const common::Color& color) {
    textColor_ = toQColor(color);
}

double QtCanvas::drawText(const common::RectMm& rect, std::string_view text, int flags) {
    const QRectF box = toPixels(rect);
    if (painting()) {
        // Qt clips to the box unless told Qt::TextDontClip.
        painter_->setPen(textColor_);
        painter_->drawText(box, qtFlags(flags), shaped(text, box.width(), flags));
        painter_->setPen(pen_);
    }
    return textHeight(rect.width, text, flags);
}

void QtCanvas::setPen(const common::Pen& pen) {
    QPen qt(toQColor(pen.color));
    switch (pen.style) {
    case common::PenStyle::Solid:
        qt.setStyle(Qt::SolidLine);
        break;
    case common::PenStyle::Dot:
        qt.setStyle(Qt::DotLine);
        break;
    case common::PenStyle::Dash:
        qt.setStyle(Qt::DashLine);
        break;
    case common::PenStyle::None:
        qt.setStyle(Qt::NoPen);
        break;
    }
    // Width 0 is Qt's cosmetic pen: one device pixel at any scale.
    qt.setWidthF(pen.widthMm > 0 ? toPixelsX(pen.widthMm) : 0.0);
    // Square ends close the corners of ruled tables; dots keep their length.
    qt.setCapStyle(pen.style == common::PenStyle::Solid ? Qt::SquareCap : Qt::FlatCap);
    qt.setJoinStyle(Qt::MiterJoin);
    pen_ = qt;
    if (painting())
        painter_->setPen(pen_);
}

void QtCanvas::drawLine(double x1, double y1, double x2, double y2) {
    if (painting())
        painter_->drawLine(QLineF(toPixelsX(x1), toPixelsY(y1), toPixelsX(x2), toPixelsY(y2)));
}

void QtCanvas::drawRect(const common::RectMm& rect) {
    if (painting())
        painter_->drawRect(toPixels(rect));
}

void QtCanvas::fillRect(const common::RectMm& rect, const common::Color& fill) {
    if (painting())
        painter_->fillRect(toPixels(rect), toQColor(fill));
}

bool QtCanvas::drawImage(const common::RectMm& rect, const std::string& path) {
    QImageReader reader(toQString(path));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    if (painting())
        painter_->drawImage(toPixels(rect), image);
    return true;
}

} // namespace kelo::app
