#include "database/VarDb.h"

#include "common/Text.h"
#include "database/RecordColumns.h"
#include "database/TableSupport.h"

#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace kelo::database {

namespace {

using common::VARIATIONSREC;
using namespace columns;
using V = VARIATIONSREC;
using VW = common::VariationsWidths;

const std::vector<Column<V>>& fixedColumns() {
    static const std::vector<Column<V>> list{
        text<V, &V::empNum>(VARDB::kEmpNum, VW::kEmpNumWidth),
        text<V, &V::lastName>("LASTNAME", VW::kLastNameWidth),
        text<V, &V::otherNames>("OTHERNAMES", VW::kOtherNamesWidth),
        flag<V, &V::openingPeriod>("OPENPERIOD"),
        flag<V, &V::removed>(VARDB::kRemoved),
        flag<V, &V::payeApplies>("PAYEAPPLY"),
        flag<V, &V::useTopTaxRate>("TOPTAXRATE"),
        flag<V, &V::nssfMember>("NSSFMEMBER"),
        flag<V, &V::housed>("HOUSED"),
        integer<V, &V::payFreq>("PAYFREQ"),
        integer<V, &V::payMethod>("PAYMETHOD"),
        integer<V, &V::coop1>("COOP1"),
        integer<V, &V::coop2>("COOP2"),
        integer<V, &V::pensionFund1>("PENSION1"),
        integer<V, &V::pensionFund2>("PENSION2"),
        integer<V, &V::payBasis>("PAYBASIS"),
        money<V, &V::payRate>("PAYRATE"),
        money<V, &V::fullPay>("FULLPAY"),
        decimal<V, &V::hoursPerDay>("HRSPERDAY"),
        decimal<V, &V::hoursPerMonth>("HRSPERMON"),
        integer<V, &V::timeBasis>("TIMEBASIS"),
        decimal<V, &V::timeWorked>("TIMEWORKED"),
        money<V, &V::basicPay>("BASICPAY"),
        flag<V, &V::overtimeEligible>("OTELIGIBLE"),
        money<V, &V::normalOvertimeRate>("NORMOTRATE"),
        decimal<V, &V::normalOvertimeHours>("NORMOTHRS"),
        money<V, &V::doubleOvertimeRate>("DBLOTRATE"),
        decimal<V, &V::doubleOvertimeHours>("DBLOTHRS"),
        money<V, &V::overtimePay>("OTPAY"),
        flag<V, &V::rentDeducted>("RENTDEDUCT"),
        money<V, &V::rent>("RENT"),
        money<V, &V::deficitBF>("DEFICITBF"),
        money<V, &V::roundingCF>("ROUNDINGCF"),
        money<V, &V::housingValue>("HOUSEVALUE"),
        money<V, &V::housingExpense>("HOUSEEXP"),
        money<V, &V::housingBenefit>("HOUSEBEN"),
        money<V, &V::employerPensionBenefit>("EMPRPENBEN"),
        money<V, &V::loanBenefit>("LOANBEN"),
        money<V, &V::roundingBF>("ROUNDINGBF"),
        money<V, &V::lumpSumTax>(VARDB::kLumpSumTax),
        money<V, &V::pensionRelief>("PENRELIEF"),
        money<V, &V::paye>("PAYE"),
        money<V, &V::nssfEmployee>("NSSFEMPEE"),
        money<V, &V::nssfEmployer>("NSSFEMPER"),
        money<V, &V::sdl>("SDL"),
        money<V, &V::statutoryDeductions>("STATDEDUCT"),
        money<V, &V::taxableEarnings>("TAXEARNING"),
        money<V, &V::grossPay>("GROSSPAY"),
        money<V, &V::totalBenefits>("TOTBENEFIT"),
        money<V, &V::taxablePay>("TAXABLEPAY"),
        money<V, &V::pensionDeduction>("PENSIONDED"),
        money<V, &V::chargeablePay>("CHARGEPAY"),
        money<V, &V::otherDeductions>("OTHERDEDUC"),
        money<V, &V::totalLumpSums>("TOTLUMPSUM"),
        money<V, &V::totalRefunds>("TOTREFUNDS"),
        money<V, &V::totalPay>("TOTALPAY"),
        money<V, &V::totalDeductions>("TOTALDEDUC"),
        money<V, &V::deficit>("DEFICIT"),
        money<V, &V::netPay>("NETPAY"),
        money<V, &V::monthTaxable>("MONTAXABLE"),
        money<V, &V::monthPaye>("MONPAYE"),
        money<V, &V::monthGross>("MONGROSS"),
        money<V, &V::monthBasic>("MONBASIC"),
        element<V, &V::halfYearMonths, 0>("HYMONTHS1", 'I', 4),
        element<V, &V::halfYearMonths, 1>("HYMONTHS2", 'I', 4),
        element<V, &V::halfYearTaxable, 0>("HYTAXABLE1", 'B', 8, 2),
        element<V, &V::halfYearTaxable, 1>("HYTAXABLE2", 'B', 8, 2),
        element<V, &V::halfYearPaye, 0>("HYPAYE1", 'B', 8, 2),
        element<V, &V::halfYearPaye, 1>("HYPAYE2", 'B', 8, 2),
    };
    return list;
}

constexpr std::array<char, common::kFieldsTableCount> kTableLetters{'E', 'D', 'B', 'L', 'R'};

// The item's amount is stored unless its function computes it.
bool storesAmount(const common::PayItemDef& def) {
    const common::ItemFunction function = common::itemFunctionOf(def);
    return function == common::ItemFunction::KeyIn || function == common::ItemFunction::Amortise;
}

const engine::Field4Info kMoney{"", 'B', 8, 2};
const engine::Field4Info kRate{"", 'F', 8, 2};
const engine::Field4Info kCount{"", 'I', 4, 0};
const engine::Field4Info kFlag{"", 'L', 1, 0};
const engine::Field4Info kName{"", 'C', common::PayItemWidths::kBankNameWidth, 0};

// The parameter column kinds of each kind of PayItemParams, in member order.
std::vector<engine::Field4Info> parameterKinds(const common::PayItemParams& params) {
    using namespace common;
    return std::visit(
        [](const auto& p) -> std::vector<engine::Field4Info> {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, HourlyParams>)
                return {kRate, kMoney};
            else if constexpr (std::is_same_v<T, PensionParams>)
                return {kMoney, kMoney, kMoney};
            else if constexpr (std::is_same_v<T, CoopParams>)
                return {kMoney};
            else if constexpr (std::is_same_v<T, LoanParams>)
                return {kMoney, kRate, kCount, kFlag, kFlag};
            else if constexpr (std::is_same_v<T, BankLoanParams>)
                return {kCount, kFlag, kName, kName, kName};
            else if constexpr (std::is_same_v<T, SavingsParams>)
                return {kMoney, kRate};
            else if constexpr (std::is_same_v<T, CostRecoveryParams>)
                return {kMoney, kCount, kFlag};
            else
                return {};
        },
        params);
}

// Calls `f` with each parameter member in column order (P1, P2, ...).
template <class Params, class F> void forEachParameter(Params& params, F&& f) {
    std::visit(
        [&](auto& p) {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, common::HourlyParams>) {
                f(p.hoursWorked);
                f(p.hourlyRate);
            } else if constexpr (std::is_same_v<T, common::PensionParams>) {
                f(p.employerContribution);
                f(p.employeeBalance);
                f(p.employerBalance);
            } else if constexpr (std::is_same_v<T, common::CoopParams>) {
                f(p.balance);
            } else if constexpr (std::is_same_v<T, common::LoanParams>) {
                f(p.balance);
                f(p.interestRate);
                f(p.paymentsLeft);
                f(p.newLoan);
                f(p.taxableBenefit);
            } else if constexpr (std::is_same_v<T, common::BankLoanParams>) {
                f(p.paymentsLeft);
                f(p.newLoan);
                f(p.bankName);
                f(p.branchName);
                f(p.loanNumber);
            } else if constexpr (std::is_same_v<T, common::SavingsParams>) {
                f(p.balance);
                f(p.interestRate);
            } else if constexpr (std::is_same_v<T, common::CostRecoveryParams>) {
                f(p.balance);
                f(p.paidOff);
                f(p.newRecovery);
            }
        },
        params);
}

// Walks the columns of one item in order, remembering the first that the
// table lacks.
class ColumnCursor {
public:
    ColumnCursor(const engine::Data4& table, const std::vector<engine::Field4Info>& columns,
                 int firstPosition)
        : table_(table),
          columns_(columns),
          firstPosition_(firstPosition) {}

    engine::Field4* next() {
        if (index_ >= columns_.size())
            return nullptr;
        const std::string& name = columns_[index_].name;
        engine::Field4* f = columnAt(table_, firstPosition_ + static_cast<int>(index_), name);
        ++index_;
        if (!f && missing_.empty())
            missing_ = name;
        return f;
    }
    const std::string& missing() const { return missing_; }

private:
    const engine::Data4& table_;
    const std::vector<engine::Field4Info>& columns_;
    int firstPosition_;
    std::size_t index_ = 0;
    std::string missing_;
};

template <class T> void readInto(ColumnCursor& cursor, T& value) {
    if (const engine::Field4* f = cursor.next())
        get(*f, value);
}

template <class T> void writeFrom(ColumnCursor& cursor, const T& value) {
    if (engine::Field4* f = cursor.next())
        put(*f, value);
}

int fixedCount() {
    return static_cast<int>(fixedColumns().size());
}

bool missingColumn(engine::Code4& code, const std::string& path, const std::string& name) {
    code.error(engine::e4field, path + " has no column " + name);
    return false;
}

} // namespace

PayItemIds positionalItemIds(const common::PayItemDefs& defs) {
    PayItemIds ids;
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        std::int32_t next = 1;
        if (table == common::EARNINGS)
            next += (defs.basicPay ? 1 : 0) + (defs.overtime ? 1 : 0);
        if (table == common::DEDUCTIONS)
            next += defs.rent ? 1 : 0;
        auto& list = ids[static_cast<std::size_t>(table)];
        for (std::size_t i = 0; i < defs.list(table)->size(); ++i)
            list.push_back(next++);
    }
    return ids;
}

PayItemIds itemIdsOf(const common::PayItemDefs& defs) {
    PayItemIds ids = positionalItemIds(defs);
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto t = static_cast<std::size_t>(table);
        const common::PayItemDefs::List& list = *defs.list(table);
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i] && list[i]->id > 0)
                ids[t][i] = list[i]->id;
    }
    return ids;
}

std::vector<engine::Field4Info> payItemColumns(common::FIELDSTABLE table, std::int32_t id,
                                               const common::PayItemDef& def) {
    const std::string prefix = kTableLetters[static_cast<std::size_t>(table)] + std::to_string(id);
    std::vector<engine::Field4Info> columns{{prefix + "Act", 'L', 1, 0}};
    if (storesAmount(def))
        columns.push_back({prefix + "Amt", 'B', 8, 2});
    // What newPayItem gives the item decides its parameter columns, so that
    // a record's items and the table's columns always agree.
    const common::PayItem fresh =
        common::newPayItem(std::make_shared<const common::PayItemDef>(def), table);
    int n = 0;
    for (engine::Field4Info column : parameterKinds(fresh.params)) {
        column.name = prefix + "P" + std::to_string(++n);
        columns.push_back(std::move(column));
    }
    return columns;
}

VARDB::VARDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, std::string(common::transactionsTablePath(common::MONTHLY))) {
    setDefinitions({});
}

VARDB::Layouts VARDB::layoutsFor(const common::PayItemDefs& defs, const PayItemIds& ids) {
    Layouts layouts;
    int position = fixedCount() + 1;
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto t = static_cast<std::size_t>(table);
        const common::PayItemDefs::List& list = *defs.list(table);
        for (std::size_t i = 0; i < list.size(); ++i) {
            ItemLayout layout;
            layout.columns = payItemColumns(table, ids[t][i], *list[i]);
            layout.firstPosition = position;
            layout.hasAmount = storesAmount(*list[i]);
            layout.fresh = common::newPayItem(list[i], table).params;
            position += static_cast<int>(layout.columns.size());
            layouts[t].push_back(std::move(layout));
        }
    }
    return layouts;
}

Schema VARDB::schema() const {
    Schema s;
    for (const auto& c : fixedColumns())
        s.fields.push_back(c.info);
    for (const auto& list : layouts_)
        for (const ItemLayout& item : list)
            s.fields.insert(s.fields.end(), item.columns.begin(), item.columns.end());
    s.tags = {tagInfo(kEmpNumTag, "UPPER(EMPNO)"),
              {kEmpNumTag2, "UPPER(EMPNO)", kPayrollFilter, false, false}};
    return s;
}

bool VARDB::setDefinitions(common::PayItemDefs defs) {
    PayItemIds ids = itemIdsOf(defs);
    return setDefinitions(std::move(defs), std::move(ids));
}

bool VARDB::setDefinitions(common::PayItemDefs defs, PayItemIds ids) {
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto& list = ids[static_cast<std::size_t>(table)];
        std::set<std::int32_t> seen;
        bool valid = list.size() == defs.list(table)->size();
        for (std::size_t i = 0; valid && i < list.size(); ++i)
            valid = list[i] > 0 && seen.insert(list[i]).second && (*defs.list(table))[i];
        if (!valid) {
            code().error(engine::e4parm,
                         std::string("pay item identifiers or definitions do not match the ") +
                             kTableLetters[static_cast<std::size_t>(table)] + " definitions");
            return false;
        }
    }
    Layouts layouts = layoutsFor(defs, ids);
    if (data() && !hasColumns(layouts))
        return false;
    defs_ = std::move(defs);
    ids_ = std::move(ids);
    layouts_ = std::move(layouts);
    return true;
}

bool VARDB::hasColumns(const Layouts& layouts) const {
    for (const auto& list : layouts) {
        for (const ItemLayout& item : list) {
            for (std::size_t i = 0; i < item.columns.size(); ++i) {
                const engine::Field4Info& wanted = item.columns[i];
                const engine::Field4* f =
                    columnAt(*data(), item.firstPosition + static_cast<int>(i), wanted.name);
                if (!f || f->type() != wanted.type)
                    return missingColumn(code(), relativePath(), wanted.name);
            }
        }
    }
    return true;
}

bool VARDB::openFile(common::PAYFREQ payFreq, bool exclusive) {
    closeFile();
    if (!common::isValidPayFreq(payFreq)) {
        code().error(engine::e4parm, "no transactions table for pay frequency " +
                                         std::to_string(static_cast<int>(payFreq)));
        return false;
    }
    payFreq_ = payFreq;
    setRelativePath(std::string(common::transactionsTablePath(payFreq)));
    return DbTable::openFile(exclusive);
}

bool VARDB::createFile(common::Ui& ui, common::PAYFREQ payFreq) {
    closeFile();
    if (!common::isValidPayFreq(payFreq)) {
        ui.error("Can't create the transactions table of pay frequency " +
                 std::to_string(static_cast<int>(payFreq)));
        return false;
    }
    payFreq_ = payFreq;
    setRelativePath(std::string(common::transactionsTablePath(payFreq)));
    return DbTable::createFile(ui);
}

bool VARDB::seekEmpNum(std::string_view empNum) {
    if (!data())
        return false;
    TablePlace place(data());
    order(kEmpNumTag);
    const bool found = seekExact(*data(), upperKey(empNum, VW::kEmpNumWidth));
    if (!found)
        data()->goEof();
    place.keepPosition();
    return found;
}

bool VARDB::initRec(VARIATIONSREC& rec) const {
    const engine::Data4* table = data();
    if (!table || table->eof())
        return false;
    VARIATIONSREC read = common::newVariationsRec(defs_);
    read.recNo = static_cast<std::int32_t>(table->recNo());
    if (!loadAll(*table, fixedColumns(), read)) {
        code().error(engine::e4field, relativePath() + " lacks a transactions column");
        return false;
    }
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        const auto& layouts = layouts_[static_cast<std::size_t>(t)];
        std::vector<common::PayItem>& items = *read.items(t);
        for (std::size_t i = 0; i < layouts.size(); ++i) {
            const ItemLayout& layout = layouts[i];
            common::PayItem& item = items[i];
            ColumnCursor cursor(*table, layout.columns, layout.firstPosition);
            readInto(cursor, item.active);
            if (layout.hasAmount)
                readInto(cursor, item.amount);
            item.params = layout.fresh;
            forEachParameter(item.params, [&](auto& member) { readInto(cursor, member); });
            if (!cursor.missing().empty())
                return missingColumn(code(), relativePath(), cursor.missing());
        }
    }
    rec = std::move(read);
    return true;
}

bool VARDB::listsMatch(const VARIATIONSREC& rec) const {
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        if (rec.items(t)->size() != layouts_[static_cast<std::size_t>(t)].size()) {
            code().error(engine::e4parm,
                         "the record's items do not match the definitions of " + relativePath());
            return false;
        }
    }
    return true;
}

bool VARDB::store(engine::Data4& table, const VARIATIONSREC& rec) const {
    if (!storeAll(table, fixedColumns(), rec)) {
        code().error(engine::e4field, relativePath() + " lacks a transactions column");
        return false;
    }
    for (common::FIELDSTABLE t : common::kFieldsTables) {
        const auto& layouts = layouts_[static_cast<std::size_t>(t)];
        const std::vector<common::PayItem>& items = *rec.items(t);
        for (std::size_t i = 0; i < layouts.size(); ++i) {
            const ItemLayout& layout = layouts[i];
            const common::PayItem& item = items[i];
            ColumnCursor cursor(table, layout.columns, layout.firstPosition);
            writeFrom(cursor, item.active);
            if (layout.hasAmount)
                writeFrom(cursor, item.amount);
            // Parameters of another kind than the columns' are written as a
            // new item's.
            const common::PayItemParams& params =
                item.params.index() == layout.fresh.index() ? item.params : layout.fresh;
            forEachParameter(params, [&](const auto& member) { writeFrom(cursor, member); });
            if (!cursor.missing().empty())
                return missingColumn(code(), relativePath(), cursor.missing());
        }
    }
    return true;
}

bool VARDB::storeInto(engine::Data4& table, const VARIATIONSREC& rec) const {
    return listsMatch(rec) && store(table, rec);
}

bool VARDB::appendRec(const VARIATIONSREC& rec) {
    engine::Data4* table = data();
    if (!table) {
        code().error(engine::e4parm, relativePath() + " is not open");
        return false;
    }
    if (!listsMatch(rec) || table->appendStart() != engine::r4success)
        return false;
    table->blank();
    if (!store(*table, rec)) {
        table->goEof();
        return false;
    }
    return appendNow(*table);
}

bool VARDB::updateFields(const VARIATIONSREC& rec) {
    engine::Data4* table = data();
    if (!table || table->eof()) {
        code().error(engine::e4parm,
                     relativePath() + (table ? " has no current record" : " is not open"));
        return false;
    }
    if (!listsMatch(rec))
        return false;
    if (!store(*table, rec)) {
        table->setChanged(false);
        table->go(table->recNo());
        return false;
    }
    return writeOrRevert(*table);
}

} // namespace kelo::database
