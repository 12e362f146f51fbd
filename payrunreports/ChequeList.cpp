#include "payrunreports/ChequeList.h"

#include "database/OptionsDb.h"
#include "payrunreports/SummaryTable.h"

#include <utility>

namespace kelo::payrunreports {

namespace {

using common::align::Left;
using common::align::Right;

constexpr double kTopMargin = 10;
constexpr double kLeftMargin = 15;
constexpr double kPrintableWidth = 180;
constexpr double kPrintableHeight = 277;
constexpr double kColumnGap = 3;
constexpr double kFooter = 272;
constexpr int kRowsPerPage = 20;

ListLayout chequeLayout() {
    ListLayout layout;
    // Room above each row's foot to sign on.
    layout.rowHeight = 9.5;
    layout.rowFlags = common::align::Bottom;
    layout.signOffGap = 5;
    layout.signOffLine = 6;
    layout.headingFont = arial(9, true);
    layout.textFont = arial(9);
    layout.figureFont = arialNarrow(9);
    layout.labelFont = arial(9, true);
    layout.signOffFont = arial(9);
    layout.labelColumns = 3;
    return layout;
}

} // namespace

CHEQUELIST::CHEQUELIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param)
    : PaymentList(ui, code, folder, param, chequeLayout()) {
    setSortKey(option(database::kOptionSortKey));
    setGeometry(common::PageGeometry::portrait(kTopMargin, kLeftMargin, kPrintableWidth,
                                               kPrintableHeight, kColumnGap));
    setRowsPerPage(kRowsPerPage);
    setFooterOffset(kFooter);
    std::vector<ListCell> kinds{ListCell::Text, ListCell::Text, ListCell::Text, ListCell::Amount,
                                ListCell::WriteIn};
    setTable({{"", 8, Right},
              {"Employee\nNumber", 28.5, Left},
              {"Name", 52, Left},
              {"Net Pay", 22.5, Right},
              {"Signature", 45, Left}},
             std::move(kinds), 2);
}

std::string CHEQUELIST::titleLine() const {
    return param().fieldName + " Cheque List - " + header().periodTitle + " : " +
           param().groupTitle;
}

common::ReportRow CHEQUELIST::recordRow(const REPORTREC& rec, int number) const {
    const double amount = paymentAmount(rec, param().fieldName);
    return {{numberText(number), rec.empNum, rec.name, amountText(amount)}, {0, 0, 0, amount}};
}

} // namespace kelo::payrunreports
