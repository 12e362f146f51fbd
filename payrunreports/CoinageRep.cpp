#include "payrunreports/CoinageRep.h"

#include "payrunreports/SummaryTable.h"

#include <utility>

namespace kelo::payrunreports {

namespace {

using common::align::Right;

constexpr double kTopMargin = 10;
constexpr double kLeftMargin = 15;
constexpr double kPrintableWidth = 180;
constexpr double kPrintableHeight = 277;
constexpr double kColumnGap = 3;
constexpr double kFooter = 272;

ListLayout coinageLayout() {
    ListLayout layout;
    layout.rowHeight = 6;
    layout.totalsFollowRows = true;
    layout.signOffGap = 6;
    layout.signOffLine = 6;
    layout.headingFont = arial(9, true);
    layout.textFont = arial(9);
    layout.figureFont = arial(9);
    layout.labelFont = arial(9, true);
    layout.signOffFont = arial(9);
    layout.labelColumns = 3;
    return layout;
}

} // namespace

COINAGEREP::COINAGEREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                       const common::REPORTPARAM& param, Denominations denominations)
    : PaymentList(ui, code, folder, param, coinageLayout()),
      denominations_(std::move(denominations)) {
    setGeometry(common::PageGeometry::portrait(kTopMargin, kLeftMargin, kPrintableWidth,
                                               kPrintableHeight, kColumnGap));
    setFooterOffset(kFooter);
    std::vector<ListCell> kinds{ListCell::Text, ListCell::Figure, ListCell::Figure,
                                ListCell::Amount};
    setTable({{"", 8, Right},
              {"Denomination\n(Shs.)", 31, Right},
              {"Count", 34, Right},
              {"Value\n(Shs.)", 36, Right}},
             std::move(kinds), 2);
}

std::string COINAGEREP::titleLine() const {
    return param().fieldName + " Coinage Summary - " + header().periodTitle + " : " +
           param().groupTitle;
}

void COINAGEREP::countCoins() {
    std::vector<std::vector<int>> counts;
    counts.reserve(records().size());
    for (const REPORTREC& rec : records())
        counts.push_back(
            payrunreports::countCoins(paymentAmount(rec, param().fieldName), denominations_));
    summary_ = coinTotals(counts, denominations_);
}

void COINAGEREP::layOutRows() {
    countCoins();
    int number = 0;
    for (const CoinTotal& total : summary_) {
        if (total.count <= 0)
            continue;
        addRow({{numberText(++number), denominationText(total.denomination),
                 std::to_string(total.count), amountText(total.value)},
                {0, total.denomination, static_cast<double>(total.count), total.value}});
    }
}

std::vector<common::ReportPage> COINAGEREP::splitPages() const {
    return {common::ReportPage{1, 0, rows().size()}};
}

} // namespace kelo::payrunreports
