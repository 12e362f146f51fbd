#pragma once

#include "common/Canvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPen>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>
#include <string>

class QFontMetricsF;
class QPaintDevice;
class QPainter;

namespace kelo::app {

// The family drawn for a face that reports name. Where the Windows faces are
// missing, Liberation stands in with the same metrics, so that layouts do not
// change from machine to machine.
QString fontFamilyFor(const std::string& face);

// The Canvas port over a QPainter: millimetres become device units at the
// device's logical DPI. Subclasses own the device and say what a document
// and a page are; between pages drawing is ignored.
class QtCanvas : public common::Canvas {
public:
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    double dpiX() const override { return dpiX_; }
    double dpiY() const override { return dpiY_; }

    void setFont(const common::Font& font) override;
    common::TextMetrics metrics() const override;
    double textWidth(std::string_view text) const override;
    double textHeight(double width, std::string_view text, int flags) const override;
    void setTextColor(const common::Color& color) override;
    double drawText(const common::RectMm& rect, std::string_view text, int flags) override;

    void setPen(const common::Pen& pen) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRect(const common::RectMm& rect) override;
    void fillRect(const common::RectMm& rect, const common::Color& fill) override;
    bool drawImage(const common::RectMm& rect, const std::string& path) override;

protected:
    QtCanvas(double dpiX, double dpiY);

    // Starts drawing on a device whose logical DPI is the canvas's.
    bool beginPainting(QPaintDevice& device);
    // Subclasses call this before their device goes away.
    void endPainting();
    bool painting() const;

private:
    double toPixelsX(double mm) const { return mm * dpiX_ / 25.4; }
    double toPixelsY(double mm) const { return mm * dpiY_ / 25.4; }
    double toMmX(double pixels) const { return pixels * 25.4 / dpiX_; }
    double toMmY(double pixels) const { return pixels * 25.4 / dpiY_; }
    QRectF toPixels(const common::RectMm& rect) const;
    const QFontMetricsF& fontMetrics() const;
    QString shaped(std::string_view text, double widthPixels, int flags) const;

    double dpiX_;
    double dpiY_;
    QFont font_;
    std::optional<common::Font> lastFont_;
    // The metrics of font_ on the device in use, made when first asked:
    // reports measure far more often than they change font.
    mutable std::optional<QFontMetricsF> metrics_;
    // One line's height in the font, in pixels: the same for any text.
    mutable std::optional<double> lineHeight_;
    QPen pen_;
    QColor textColor_{Qt::black};
    // Text is measured here when no page is being drawn.
    QImage measureDevice_;
    std::unique_ptr<QPainter> painter_;
};

} // namespace kelo::app
