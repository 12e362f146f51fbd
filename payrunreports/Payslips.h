#pragma once

#include "payrunreports/PeriodRep.h"

#include <optional>
#include <string>
#include <vector>

namespace kelo::payrunreports {

// The payslip options of the options table (report 34).
struct PayslipOptions {
    bool separator = false;       // "Separator": a dotted line between the two payslips
    bool duplicate = false;       // "Duplicate": each payslip twice, one employee a page
    bool employerPension = false; // "Employer Pension"
    bool pensionBalance = false;  // "Pension Balance"
    bool loanBreakdown = false;   // "Loan Breakdown": principal and interest
    bool leaveBalance = false;    // "Leave Balance"
    int footer = 0;               // "Footer": 1 "Checked by:", 2 "Received by:", 3 both
    int sortKey = 0;              // "Sort Key"

    bool checkedBy() const { return footer == 1 || footer == 3; }
    bool receivedBy() const { return footer == 2 || footer == 3; }
};

// One line of a payslip's body. A label starting with two blanks is a line
// under the one before it: the page indents it, the export keeps the blanks.
struct PayslipLine {
    enum class Kind {
        Heading,     // a section's heading ("Earnings"; the export adds ":")
        Label,       // a label alone
        SpacedLabel, // a label alone opening a block, a little apart
        Amount,      // label and amount in the right-hand column of figures
        Detail,      // label and a rate, hours or days in the inner column
        Subtotal,    // an amount under a rule
        Total,       // "Net Pay"
        End,         // the end of a section
    };
    Kind kind = Kind::Label;
    std::string label;
    std::string figure;

    friend bool operator==(const PayslipLine&, const PayslipLine&) = default;
};

// What a payslip shows below its header, from "Earnings" to "Other
// Information"; sections and lines with nothing in them are left out.
std::vector<PayslipLine> payslipLines(const REPORTREC& rec, const PayslipOptions& options);

// Width and height of a Windows bitmap file from its header; none when the
// file is missing or is not one.
std::optional<std::pair<int, int>> bitmapSize(const std::string& path);

// The payslips: one per employee, two side by side on an A4 page (one
// employee twice with "Duplicate"), the odd-numbered employee on the left,
// and the same content as text.
class PAYSLIPSREP : public PERIODREP {
public:
    PAYSLIPSREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                const common::REPORTPARAM& param);

    std::string caption() const override { return "Payslips"; }
    const PayslipOptions& options() const { return options_; }
    // The logo as it is placed: 40 mm wide and 15 mm high at most.
    bool hasLogo() const { return !logoPath_.empty(); }
    double logoWidth() const { return logoWidth_; }
    double logoHeight() const { return logoHeight_; }

    // One employee to a page (both copies with "Duplicate"), named by his
    // number, for a file of his own.
    std::vector<common::PagePart> layOutPerEmployee() override;

    static constexpr double kColumnWidth = 72.5;

protected:
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;

private:
    // How a payslip too long for the page is pressed together: `extra` of
    // the room between lines kept (1 all of it), and the type drawn `scale`
    // times its size.
    struct Spacing {
        double extra = 1;
        double scale = 1;
    };

    // The spacing at which the payslip ends above the footer line.
    Spacing fit(common::Canvas& canvas, const REPORTREC& rec, const std::vector<PayslipLine>& lines,
                bool withFooter) const;
    // Draws the payslip with its body `lines` and answers where it ends.
    double drawPayslip(common::Canvas& canvas, const REPORTREC& rec,
                       const std::vector<PayslipLine>& lines, double left, bool withFooter,
                       const Spacing& spacing) const;
    double drawLine(common::Canvas& canvas, const PayslipLine& line, double left, double y,
                    const Spacing& spacing) const;
    double drawFooter(common::Canvas& canvas, double left, double y, const Spacing& spacing) const;

    PayslipOptions options_;
    std::string logoPath_;
    double logoWidth_ = 0;
    double logoHeight_ = 0;
};

} // namespace kelo::payrunreports
