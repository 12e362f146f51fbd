#include "payrunreports/CashList.h"

#include "database/OptionsDb.h"
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
constexpr int kRowsPerPage = 12;
constexpr double kCountWidth = 8;

ListLayout cashLayout() {
    ListLayout layout;
    layout.rowHeight = 8.5;
    layout.rowFlags = common::align::Bottom;
    layout.signOffLine = 5.5;
    layout.headingFont = arial(9, true);
    layout.textFont = arial(9);
    layout.figureFont = arialNarrow(9);
    layout.labelFont = arial(9, true);
    layout.signOffFont = arial(9);
    layout.labelColumns = 3;
    return layout;
}

} // namespace

CASHLIST::CASHLIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::REPORTPARAM& param, Denominations denominations)
    : PaymentList(ui, code, folder, param, cashLayout()),
      denominations_(std::move(denominations)) {
    setSortKey(option(database::kOptionSortKey));
    setGeometry(common::PageGeometry::landscape(kTopMargin, kLeftMargin, kPrintableWidth,
                                                kPrintableHeight, kColumnGap));
    setRowsPerPage(kRowsPerPage);
    setFooterOffset(kFooter);

    std::vector<common::ReportColumn> columns{
        {"", 8, Right}, {"Employee\nNumber", 24.5, Left}, {"Name", 50, Left}};
    std::vector<ListCell> kinds{ListCell::Text, ListCell::Text, ListCell::Text};
    for (const double denomination : denominations_) {
        columns.push_back({denominationText(denomination) + " sh", kCountWidth, Right});
        kinds.push_back(ListCell::Count);
    }
    columns.push_back({"Amount", 20.5, Right});
    columns.push_back({"ID Number", 22, Left});
    columns.push_back({"Signature", 27, Left});
    kinds.insert(kinds.end(), {ListCell::Amount, ListCell::WriteIn, ListCell::WriteIn});
    setTable(std::move(columns), std::move(kinds), 2);
}

std::string CASHLIST::titleLine() const {
    return param().fieldName + " Cash List - " + header().periodTitle + " : " + param().groupTitle;
}

void CASHLIST::layOutRows() {
    counts_.clear();
    for (std::size_t i = 0; i < records().size(); ++i) {
        const REPORTREC& rec = records()[i];
        const double amount = paymentAmount(rec, param().fieldName);
        std::vector<int> counts = countCoins(amount, denominations_);
        common::ReportRow row;
        row.cells = {numberText(static_cast<int>(i + 1)), rec.empNum, rec.name};
        row.figures = {0, 0, 0};
        for (const int count : counts) {
            row.cells.push_back(std::to_string(count));
            row.figures.push_back(count);
        }
        row.cells.push_back(amountText(amount));
        row.figures.push_back(amount);
        counts_.push_back(std::move(counts));
        addRow(std::move(row));
    }
}

} // namespace kelo::payrunreports
