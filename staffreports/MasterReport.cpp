#include "staffreports/MasterReport.h"

#include "common/Money.h"
#include "common/OrgRecords.h"
#include "payrunreports/SummaryTable.h"

#include <algorithm>
#include <array>

namespace kelo::staffreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::SingleLine;
using common::align::WordWrap;
using payrunreports::arial;
using Kind = MasterLine::Kind;

constexpr double kTopMargin = 14;
constexpr double kLeftMargin = 15;
constexpr double kPrintableWidth = 173;
constexpr double kPrintableHeight = 260;
constexpr double kColumnGap = 15;
constexpr double kFooterTop = 255;
constexpr double kBodyTop = 12;
constexpr double kLineHeight = 5;
constexpr double kHeadingHeight = 6;
constexpr double kLabelWidth = 36;

constexpr std::array<const char*, 4> kTerms{"Permanent", "Contract", "Temporary", "Casual"};
constexpr std::array<const char*, 3> kPayMethods{"Cash", "Cheque", "Bank Transfer"};
constexpr std::array<const char*, 5> kTimeBases{"Assume Standard Hours", "Enter Days Absent",
                                                "Enter Hours Absent", "Enter Days Present",
                                                "Enter Hours Present"};
constexpr std::array<const char*, 3> kBases{"Salary", "Daily", "Hourly"};
constexpr std::array<const char*, 3> kRateLabels{"Salary:", "Daily Rate:", "Hourly Rate:"};

template <std::size_t N> std::string nameOf(const std::array<const char*, N>& names, int value) {
    return value >= 0 && static_cast<std::size_t>(value) < N
               ? names[static_cast<std::size_t>(value)]
               : std::string();
}

std::string tsh(double amount) {
    return "Tsh " + common::withThousands(amount);
}

class Lines {
public:
    Lines& heading(std::string text) {
        lines_.push_back({Kind::Heading, std::move(text), {}});
        return *this;
    }
    Lines& field(std::string label, std::string value) {
        lines_.push_back({Kind::Field, std::move(label), std::move(value)});
        return *this;
    }
    Lines& text(std::string value) {
        lines_.push_back({Kind::Text, {}, std::move(value)});
        return *this;
    }
    Lines& more(std::string value) {
        lines_.push_back({Kind::More, {}, std::move(value)});
        return *this;
    }
    std::vector<MasterLine> take() { return std::move(lines_); }

private:
    std::vector<MasterLine> lines_;
};

std::vector<MasterLine> personLines(const PERSREPREC& r, bool leaver) {
    Lines l;
    l.heading("Personal Details")
        .field("Last Name:", r.lastName)
        .field("Other Names:", r.otherNames)
        .field("Title:", r.title)
        .field("Gender:", r.gender)
        .field("Marital Status:", r.maritalStatus)
        .field("Date of Birth:", dateText(r.birthDate))
        .field("Nationality:", r.nationality)
        .field("ID No.:", r.idNum);
    l.heading("Contact Info")
        .field("Office:", r.officeName)
        .field("Office Phone:", r.officePhone)
        .field("E-mail:", r.email)
        .field("Home Phone:", r.homePhone)
        .field("Mobile:", r.mobile)
        .field("Postal Address:", r.poBox.empty() ? std::string() : "P.O. Box " + r.poBox);
    if (!r.town.empty() || !r.postCode.empty())
        l.more(r.town + " " + r.postCode);
    bool first = true;
    for (const std::string& line : r.resAddress) {
        if (line.empty())
            continue;
        if (first)
            l.field("Residential Addr:", line);
        else
            l.more(line);
        first = false;
    }
    if (first)
        l.field("Residential Addr:", {});
    l.heading("Employment Details")
        .field("Employee No.:", r.empNum)
        .field("Start Date:", dateText(r.startDate))
        .field("Job Title:", r.jobTitle)
        .field("Terms:", nameOf(kTerms, r.terms))
        .field("Grade:", r.gradeName)
        .field("Admin. Unit:", r.unitPath)
        .field("Station:", r.stationName);
    if (!r.supervisorNum.empty())
        l.heading("Reports To:")
            .text("  Employee No. " + r.supervisorNum)
            .text("  " + r.supervisorName);
    l.field("Leave Entitlement:",
            common::fixedText(common::decimalOf(r.leaveEntitlement), 2) + " days");
    if (r.terminated) {
        l.heading("Termination")
            .field(leaver ? "Date Left:" : "Active Until:", dateText(r.dateLeft))
            .field(leaver ? "Reason Left:" : "Reason Leaving:", r.reasonLeft)
            .field("Remarks:", r.remarks);
    } else {
        l.heading("Active");
    }
    return l.take();
}

std::vector<MasterLine> payLines(const PERSREPREC& r) {
    Lines l;
    l.heading("Payment Details")
        .field("Pay Frequency:",
               std::string(common::payFreqLabel(static_cast<common::PAYFREQ>(r.payFreq))))
        .field("Payment Mode:", nameOf(kPayMethods, r.payMethod))
        .field("Bank:", r.bankName)
        .field("Branch:", r.branchName)
        .field("Account Number:", r.accountNum);
    l.heading("Basic Pay")
        .field("Payment Basis:", nameOf(kBases, r.payBasis))
        .field(nameOf(kRateLabels, r.payBasis), tsh(r.payRate))
        .text("Standard Working Hours")
        .field("  Per Day:", common::fixedText(common::decimalOf(r.hoursPerDay), 2))
        .field("  Per Pay Period:", common::fixedText(common::decimalOf(r.hoursPerMonth), 2))
        .field("Time Worked:", nameOf(kTimeBases, r.timeBasis));
    l.heading("Overtime");
    if (r.overtimeEligible)
        l.field("Normal Rate:", tsh(r.normalOvertimeRate) + " per hour")
            .field("Double Rate:", tsh(r.doubleOvertimeRate) + " per hour");
    else
        l.text("Not paid overtime");
    l.heading("Housing");
    if (r.housed)
        l.text("Housed by Employer")
            .field("Value of Housing:", tsh(r.housingValue))
            .field("Housing Expense:", tsh(r.housingExpense))
            .field("Rent to Employer:", tsh(r.rent));
    else
        l.text("Not Housed by Employer");
    l.heading("Co-operatives");
    bool any = false;
    for (std::size_t i = 0; i < 2; ++i) {
        if (r.coopName[i].empty())
            continue;
        l.field("Co-operative:", r.coopName[i]).field("Membership No.:", r.coopMemberNum[i]);
        any = true;
    }
    if (!any)
        l.text("Not a co-operative member");
    l.heading("Pension Funds");
    any = false;
    for (std::size_t i = 0; i < 2; ++i) {
        if (r.pensionName[i].empty())
            continue;
        l.field("Pension Fund:", r.pensionName[i]).field("Membership No.:", r.pensionMemberNum[i]);
        any = true;
    }
    if (!any)
        l.text("Not a pension fund member");
    l.heading("Statutory Deductions");
    if (r.payeApplies) {
        l.text("Deduct PAYE");
        if (r.useTopTaxRate)
            l.text("Use top tax rate");
    } else {
        l.text("Do not deduct PAYE");
    }
    l.field("TIN:", r.tin)
        .text(r.nssfMember ? "Deduct NSSF" : "Do not deduct NSSF")
        .field("NSSF Number:", r.nssfNum);
    return l.take();
}

} // namespace

MasterPage masterPage(const PERSREPREC& rec, bool leaver) {
    return {personLines(rec, leaver), payLines(rec)};
}

MASTERREPORT::MASTERREPORT(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           const common::REPORTPARAM& param)
    : STATICREP(ui, code, folder, param) {
    setGeometry(common::PageGeometry::portrait(kTopMargin, kLeftMargin, kPrintableWidth,
                                               kPrintableHeight, kColumnGap));
    setRowsPerPage(1);
    setFooterOffset(kFooterTop);
    setSortKey(sortKeyOption());
}

std::string MASTERREPORT::caption() const {
    return leavers() ? "Leaver Master Reports" : "Employee Master Reports";
}

void MASTERREPORT::layOutRows() {
    for (const PERSREPREC& rec : records())
        addRow({{rec.empNum}, {}});
}

std::vector<common::HeadingLine> MASTERREPORT::headingLines(const common::ReportPage&) const {
    return {{orgName(), arial(14, true), 8, Center | SingleLine}};
}

void MASTERREPORT::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    if (page.rowCount == 0 || page.firstRow >= records().size())
        return;
    const common::PageGeometry& g = geometry();
    const MasterPage content = masterPage(records()[page.firstRow], leavers());
    const double half = (g.printableWidth - g.columnGap) / 2;
    const auto drawColumn = [&](const std::vector<MasterLine>& lines, double left) {
        double top = g.y(kBodyTop);
        for (const MasterLine& line : lines) {
            switch (line.kind) {
            case Kind::Heading:
                top += kLineHeight / 2;
                canvas.setFont(arial(10, true));
                canvas.drawText({left, top, half, kHeadingHeight}, line.label,
                                Left | common::align::Bottom | SingleLine);
                top += kHeadingHeight;
                break;
            case Kind::Field: {
                canvas.setFont(arial(10));
                canvas.drawText({left, top, kLabelWidth, kLineHeight}, line.label,
                                Left | SingleLine);
                const double width = half - kLabelWidth;
                const double height =
                    std::max(kLineHeight, canvas.textHeight(width, line.value, Left | WordWrap));
                canvas.drawText({left + kLabelWidth, top, width, height}, line.value,
                                Left | WordWrap);
                top += height;
                break;
            }
            case Kind::Text:
                canvas.setFont(arial(10));
                canvas.drawText({left, top, half, kLineHeight}, line.value, Left | SingleLine);
                top += kLineHeight;
                break;
            case Kind::More:
                canvas.setFont(arial(10));
                canvas.drawText({left + kLabelWidth, top, half - kLabelWidth, kLineHeight},
                                line.value, Left | SingleLine);
                top += kLineHeight;
                break;
            }
        }
    };
    drawColumn(content.left, g.leftMargin);
    drawColumn(content.right, g.leftMargin + half + g.columnGap);
}

} // namespace kelo::staffreports
