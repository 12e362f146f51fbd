#include "payrunreports/BankRep.h"

#include "payrunreports/BankDetails.h"
#include "payrunreports/SummaryTable.h"

#include <utility>

namespace kelo::payrunreports {

namespace {

using common::align::Left;
using common::align::Right;

constexpr double kTopMargin = 10;
constexpr double kLeftMargin = 15;
constexpr double kPrintableWidth = 265;
constexpr double kPrintableHeight = 190;
constexpr double kColumnGap = 3;
constexpr double kFooter = 175;
constexpr int kRowsPerPage = 23;
constexpr std::size_t kAmountColumn = 6;

ListLayout bankLayout() {
    ListLayout layout;
    layout.headingFont = arial(8, true);
    layout.textFont = arialNarrow(8);
    layout.figureFont = arialNarrow(8);
    layout.labelFont = arial(8, true);
    layout.signOffFont = arial(8);
    layout.labelColumns = 2;
    layout.checkedBy = false;
    layout.signOffLabels = {"NAME:", "SIGNATURE:", "DESIGNATION:"};
    return layout;
}

} // namespace

BANKREP::BANKREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param)
    : PaymentList(ui, code, folder, param, bankLayout()) {
    // The bank wants the list in name order, whatever the sort option says.
    setSortKey(1);
    setGeometry(common::PageGeometry::landscape(kTopMargin, kLeftMargin, kPrintableWidth,
                                                kPrintableHeight, kColumnGap));
    setRowsPerPage(kRowsPerPage);
    setFooterOffset(kFooter);
    std::vector<ListCell> kinds(kAmountColumn, ListCell::Text);
    kinds.push_back(ListCell::Amount);
    setTable({{"", 8, Right},
              {"Name", 46, Left},
              {"ID Number", 31, Left},
              {"Bank", 39, Left},
              {"Branch", 39, Left},
              {"Account Number", 39, Left},
              {"Amount", 26, Right}},
             std::move(kinds), 2);
}

std::string BANKREP::titleLine() const {
    std::string title = param().fieldName + " Bank Transfer Report - " + header().periodTitle;
    if (param().groupBy != common::kGroupByNone)
        title += " : " + param().groupTitle;
    return title;
}

common::ReportRow BANKREP::recordRow(const REPORTREC& rec, int number) const {
    const BankDetails payment = bankDetails(rec, param().fieldName);
    common::ReportRow row{{numberText(number), rec.name, rec.idNum, payment.bankName,
                           payment.branchName, payment.accountNum, amountText(payment.amount)},
                          std::vector<double>(kAmountColumn, 0.0)};
    row.figures.push_back(payment.amount);
    return row;
}

bool BANKREP::writeText(common::TextExport& out) const {
    out.fields({header().orgName});
    out.fields({titleLine()});
    out.emptyLine();
    writeHeadings(out);
    writeRows(out);
    const std::vector<double> totals = totalsThrough(pageCount());
    const double total = kAmountColumn < totals.size() ? totals[kAmountColumn] : 0;
    out.fields({"", "", "", "", "", "Total", amountText(total)});
    return true;
}

} // namespace kelo::payrunreports
