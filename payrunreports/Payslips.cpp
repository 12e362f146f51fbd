#include "payrunreports/Payslips.h"

#include "common/MeasuringCanvas.h"
#include "common/ReportGeometry.h"
#include "database/OptionsDb.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace kelo::payrunreports {

namespace {

using common::align::Bottom;
using common::align::Center;
using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;
using Kind = PayslipLine::Kind;

constexpr double kTopMargin = 13;
constexpr double kLeftMargin = 15;
constexpr double kPrintableWidth = 175;
constexpr double kPrintableHeight = 255;
constexpr double kColumnGap = 30;
constexpr double kLogoWidth = 40;
constexpr double kLogoHeight = 15;
// Rates, hours and days stand in a column of their own inside the amounts.
constexpr double kDetailIndent = 5;
constexpr double kDetailFigureInset = 20;
// Room left for a figure beside its label.
constexpr double kAmountRoom = 22;
constexpr double kDetailRoom = 18;

const std::string kDots(45, '.');

common::Font times(double points = 10, bool bold = false) {
    return common::Font{"Times New Roman", points, bold ? 700 : 400};
}

// A line `factor` times its type's height keeps `extra` of what it has
// beyond one line; a signature line keeps at least half a line to write on.
double spaced(double factor, double extra) {
    return 1 + (factor - 1) * extra;
}
double signatureLine(double extra) {
    return 1.5 + 0.5 * extra;
}
// The gaps above the signature blocks shrink to a quarter at most.
double gap(double mm, double extra) {
    return mm * (0.25 + 0.75 * extra);
}
// How far the type may have to shrink before a payslip fits, step by step.
constexpr double kScaleStep = 0.97;
constexpr int kScaleTries = 20;

bool indented(const std::string& label) {
    return label.rfind("  ", 0) == 0;
}

std::int32_t littleEndian32(const unsigned char* bytes) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

// The export's text of a body line.
std::string exportLine(const PayslipLine& line) {
    switch (line.kind) {
    case Kind::Heading:
        return line.label + ":";
    case Kind::Amount:
    case Kind::Total:
        return line.label + "\t\t" + line.figure;
    case Kind::Detail:
        return line.label + "\t" + line.figure;
    case Kind::Subtotal:
        return "\t\t" + line.figure;
    case Kind::End:
        return {};
    default:
        return line.label;
    }
}

} // namespace

std::optional<std::pair<int, int>> bitmapSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[26] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' ||
        header[1] != 'M')
        return std::nullopt;
    const int width = littleEndian32(header + 18);
    // A negative height marks a bitmap stored top row first.
    const int height = std::abs(littleEndian32(header + 22));
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return std::pair{width, height};
}

PAYSLIPSREP::PAYSLIPSREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         const common::REPORTPARAM& param)
    : PERIODREP(ui, code, folder, param) {
    options_.separator = option(database::kOptionSeparator) != 0;
    options_.duplicate = option(database::kOptionDuplicate) != 0;
    options_.employerPension = option(database::kOptionEmployerPension) != 0;
    options_.pensionBalance = option(database::kOptionPensionBalance) != 0;
    options_.loanBreakdown = option(database::kOptionLoanBreakdown) != 0;
    options_.leaveBalance = option(database::kOptionLeaveBalance) != 0;
    options_.footer = option(database::kOptionFooter);
    options_.sortKey = option(database::kOptionSortKey);
    setSortKey(options_.sortKey);
    setGeometry(common::PageGeometry::portrait(kTopMargin, kLeftMargin, kPrintableWidth,
                                               kPrintableHeight, kColumnGap));
    setRowsPerPage(options_.duplicate ? 1 : 2);
    setFooterOffset(kPrintableHeight);

    const std::string logo = folder.resolve("graphics/logo.bmp");
    if (const auto size = bitmapSize(logo)) {
        const double scale = std::min(kLogoWidth / size->first, kLogoHeight / size->second);
        logoPath_ = logo;
        logoWidth_ = size->first * scale;
        logoHeight_ = size->second * scale;
    }
}

std::vector<common::PagePart> PAYSLIPSREP::layOutPerEmployee() {
    setRowsPerPage(1);
    layOut();
    setRowsPerPage(options_.duplicate ? 1 : 2);
    std::vector<common::PagePart> parts;
    for (const common::ReportPage& page : pages())
        if (page.rowCount > 0 && page.firstRow < records().size())
            parts.push_back({records()[page.firstRow].empNum, page.number, page.number});
    return parts;
}

void PAYSLIPSREP::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    const common::PageGeometry& g = geometry();
    if (options_.separator) {
        const double middle = g.leftMargin + kColumnWidth + g.columnGap / 2;
        canvas.setPen(common::Pen{common::PenStyle::Dot, 0, common::Color{}});
        canvas.drawLine(middle, g.topMargin, middle, g.bottom());
    }
    const double right = g.leftMargin + kColumnWidth + g.columnGap;
    for (std::size_t i = page.firstRow; i < page.endRow() && i < records().size(); ++i) {
        const bool leftColumn = (i - page.firstRow) % 2 == 0;
        const REPORTREC& rec = records()[i];
        const std::vector<PayslipLine> lines = payslipLines(rec, options_);
        drawPayslip(canvas, rec, lines, leftColumn ? g.leftMargin : right, true,
                    fit(canvas, rec, lines, true));
        if (options_.duplicate)
            drawPayslip(canvas, rec, lines, right, false, fit(canvas, rec, lines, false));
    }
}

PAYSLIPSREP::Spacing PAYSLIPSREP::fit(common::Canvas& canvas, const REPORTREC& rec,
                                      const std::vector<PayslipLine>& lines,
                                      bool withFooter) const {
    common::MeasuringCanvas measure(canvas);
    const double bottom = geometry().bottom();
    const auto end = [&](const Spacing& spacing) {
        return drawPayslip(measure, rec, lines, 0, withFooter, spacing);
    };
    Spacing spacing;
    const double loose = end(spacing);
    if (loose <= bottom)
        return spacing;
    // The end moves in proportion to the room kept between lines.
    const double tight = end({0, 1});
    if (tight <= bottom) {
        spacing.extra = (bottom - tight) / (loose - tight);
        while (spacing.extra > 0 && end(spacing) > bottom)
            spacing.extra = std::max(0.0, spacing.extra - 0.05);
        return spacing;
    }
    spacing.extra = 0;
    for (int i = 0; i < kScaleTries && end(spacing) > bottom; ++i)
        spacing.scale *= kScaleStep;
    return spacing;
}

double PAYSLIPSREP::drawPayslip(common::Canvas& canvas, const REPORTREC& rec,
                                const std::vector<PayslipLine>& lines, double left, bool withFooter,
                                const Spacing& spacing) const {
    const double s = spacing.scale;
    double y = geometry().topMargin;
    if (hasLogo() &&
        canvas.drawImage({left + (kColumnWidth - logoWidth_) / 2, y, logoWidth_, logoHeight_},
                         logoPath_))
        y += logoHeight_;

    canvas.setFont(times(14 * s, true));
    const int orgFlags = Center | WordWrap;
    const double orgHeight = canvas.textHeight(kColumnWidth, header().orgName, orgFlags);
    y += canvas.drawText({left, y, kColumnWidth, orgHeight}, header().orgName, orgFlags);
    const double titleHeight =
        common::lineHeight(canvas, times(12 * s, true), spaced(1.5, spacing.extra));
    canvas.drawText({left, y, kColumnWidth, titleHeight}, "Payslip", Center | VCenter | SingleLine);
    y += titleHeight;
    for (const std::string& text : {"Employee No. " + rec.empNum, rec.name, header().periodTitle,
                                    "Unit: " + ownUnit(rec.unitPath)})
        y = drawLine(canvas, {Kind::Label, text, {}}, left, y, spacing);

    for (const PayslipLine& line : lines)
        y = drawLine(canvas, line, left, y, spacing);
    if (withFooter)
        y = drawFooter(canvas, left, y, spacing);
    return y;
}

double PAYSLIPSREP::drawLine(common::Canvas& canvas, const PayslipLine& line, double left, double y,
                             const Spacing& spacing) const {
    const bool bold = line.kind == Kind::Heading || line.kind == Kind::Total;
    const double factor = line.kind == Kind::Heading || line.kind == Kind::Total          ? 2.0
                          : line.kind == Kind::Subtotal || line.kind == Kind::SpacedLabel ? 1.2
                                                                                          : 1.0;
    if (line.kind == Kind::End)
        return y;
    const double height =
        common::lineHeight(canvas, times(10 * spacing.scale, bold), spaced(factor, spacing.extra));
    const int flags = SingleLine | (bold ? VCenter : 0);
    const double inset = indented(line.label) ? kDetailIndent : 0;
    const std::string label = inset > 0 ? line.label.substr(2) : line.label;
    const double room = line.kind == Kind::Detail ? kDetailFigureInset + kDetailRoom
                        : line.figure.empty()     ? 0
                                                  : kAmountRoom;
    if (!label.empty())
        canvas.drawText({left + inset, y, kColumnWidth - inset - room, height}, label,
                        Left | flags);
    if (line.kind == Kind::Detail) {
        canvas.drawText({left, y, kColumnWidth - kDetailFigureInset, height}, line.figure,
                        Right | flags);
    } else if (!line.figure.empty()) {
        if (line.kind == Kind::Subtotal) {
            const double rule = canvas.textWidth(line.figure) * 1.1;
            canvas.setPen(common::Pen{common::PenStyle::Solid, 0, common::Color{}});
            canvas.drawLine(left + kColumnWidth - rule, y, left + kColumnWidth, y);
        }
        canvas.drawText({left, y, kColumnWidth, height}, line.figure, Right | flags);
    }
    return y + height;
}

double PAYSLIPSREP::drawFooter(common::Canvas& canvas, double left, double y,
                               const Spacing& spacing) const {
    const double points = 10 * spacing.scale;
    const auto block = [&](const char* title, std::initializer_list<const char*> fields) {
        const double titleHeight =
            common::lineHeight(canvas, times(points, true), spaced(1.2, spacing.extra));
        canvas.drawText({left, y, kColumnWidth, titleHeight}, title, Left | Bottom | SingleLine);
        y += titleHeight;
        const double height =
            common::lineHeight(canvas, times(points), signatureLine(spacing.extra));
        for (const char* field : fields) {
            canvas.drawText({left, y, kColumnWidth, height}, field + kDots + kDots,
                            Left | SingleLine);
            y += height;
        }
    };
    if (options_.checkedBy()) {
        y += gap(8, spacing.extra);
        block("Checked by:", {"NAME:", "SIGNATURE:", "DESIGNATION:", "DATE:"});
    }
    if (options_.receivedBy()) {
        y += gap(options_.checkedBy() ? 4 : 8, spacing.extra);
        block("Received by:", {"ID NUMBER:", "SIGNATURE:", "DATE:"});
    }
    return y;
}

bool PAYSLIPSREP::writeText(common::TextExport& out) const {
    for (const REPORTREC& rec : records()) {
        for (const std::string& text :
             {std::string("PAYSLIP"), header().orgName, "Employee No. " + rec.empNum, rec.name,
              header().periodTitle, ownUnit(rec.unitPath) + " Unit", std::string()})
            out.text(text);
        for (const PayslipLine& line : payslipLines(rec, options_))
            out.text(exportLine(line));
    }
    return true;
}

} // namespace kelo::payrunreports
