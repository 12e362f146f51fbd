#include "payrunreports/PeriodFormat.h"

#include "common/Calendar.h"
#include "common/Money.h"
#include "common/WorkingFolder.h"

#include <charconv>
#include <system_error>
#include <type_traits>
#include <utility>

namespace kelo::payrunreports {

using common::TagKind;

namespace {

// Money as whole shillings; a zero that came out of a subtraction is
// written "0", not "-0".
std::string moneyText(double value) {
    return common::fixedText(value == 0 ? 0.0 : value, 0);
}

std::string twoDecimals(double value) {
    return common::fixedText(value == 0 ? 0.0 : value, 2);
}

// Values written one after another into the group being written.
class Out {
public:
    explicit Out(common::TaggedWriter& w) : w_(w) {}
    Out& text(std::string_view value) {
        ok_ = ok_ && w_.writeValue(value);
        return *this;
    }
    Out& integer(long value) { return text(std::to_string(value)); }
    Out& money(double value) { return text(moneyText(value)); }
    Out& rate(double value) { return text(twoDecimals(value)); }
    // Hours and percentages are floats keyed with two decimals at most.
    Out& hours(float value) { return text(twoDecimals(common::decimalOf(value))); }
    bool ok() const { return ok_; }

private:
    common::TaggedWriter& w_;
    bool ok_ = true;
};

// Values read in the order they were written; any failure sticks.
class In {
public:
    explicit In(common::TaggedReader& r) : r_(r) {}
    In& text(std::string& out) {
        ok_ = ok_ && r_.readValue(out);
        return *this;
    }
    template <class Number> In& number(Number& out) {
        std::string value;
        if (!ok_ || !r_.readValue(value)) {
            ok_ = false;
            return *this;
        }
        std::string_view v = value;
        while (!v.empty() && v.front() == ' ')
            v.remove_prefix(1);
        while (!v.empty() && v.back() == ' ')
            v.remove_suffix(1);
        if constexpr (std::is_floating_point_v<Number>) {
            double parsed = 0;
            const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), parsed);
            ok_ = !v.empty() && error == std::errc() && end == v.data() + v.size();
            out = static_cast<Number>(parsed);
        } else {
            long parsed = 0;
            const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), parsed);
            ok_ = !v.empty() && error == std::errc() && end == v.data() + v.size();
            out = static_cast<Number>(parsed);
        }
        return *this;
    }
    bool ok() const { return ok_; }

private:
    common::TaggedReader& r_;
    bool ok_ = true;
};

void writeFigures(Out& out, const ItemFigures& figures) {
    if (const auto* f = std::get_if<HourlyFigures>(&figures)) {
        out.hours(f->hoursWorked).rate(f->hourlyRate);
    } else if (const auto* c = std::get_if<CoopFigures>(&figures)) {
        out.money(c->closingBalance);
    } else if (const auto* p = std::get_if<PensionFigures>(&figures)) {
        out.money(p->employerContribution).money(p->employeeBalance).money(p->employerBalance);
    } else if (const auto* l = std::get_if<LoanFigures>(&figures)) {
        out.money(l->openingBalance)
            .money(l->interest)
            .money(l->interestPaid)
            .money(l->principalPaid)
            .money(l->closingBalance)
            .rate(l->interestRate)
            .integer(l->paymentsLeft)
            .rate(l->statutoryRate)
            .money(l->lowInterestBenefit);
    } else if (const auto* b = std::get_if<BankLoanFigures>(&figures)) {
        out.integer(b->paymentsLeft).text(b->bankName).text(b->branchName).text(b->loanNumber);
    } else if (const auto* s = std::get_if<SavingsFigures>(&figures)) {
        out.money(s->openingBalance)
            .money(s->interest)
            .money(s->closingBalance)
            .rate(s->interestRate);
    } else if (const auto* r = std::get_if<CostRecoveryFigures>(&figures)) {
        out.money(r->balance).integer(r->paidOff);
    }
}

void readFigures(In& in, ItemFigures& figures) {
    if (auto* f = std::get_if<HourlyFigures>(&figures)) {
        in.number(f->hoursWorked).number(f->hourlyRate);
    } else if (auto* c = std::get_if<CoopFigures>(&figures)) {
        in.number(c->closingBalance);
    } else if (auto* p = std::get_if<PensionFigures>(&figures)) {
        in.number(p->employerContribution).number(p->employeeBalance).number(p->employerBalance);
    } else if (auto* l = std::get_if<LoanFigures>(&figures)) {
        in.number(l->openingBalance)
            .number(l->interest)
            .number(l->interestPaid)
            .number(l->principalPaid)
            .number(l->closingBalance)
            .number(l->interestRate)
            .number(l->paymentsLeft)
            .number(l->statutoryRate)
            .number(l->lowInterestBenefit);
    } else if (auto* b = std::get_if<BankLoanFigures>(&figures)) {
        in.number(b->paymentsLeft).text(b->bankName).text(b->branchName).text(b->loanNumber);
    } else if (auto* s = std::get_if<SavingsFigures>(&figures)) {
        in.number(s->openingBalance)
            .number(s->interest)
            .number(s->closingBalance)
            .number(s->interestRate);
    } else if (auto* r = std::get_if<CostRecoveryFigures>(&figures)) {
        in.number(r->balance).number(r->paidOff);
    }
}

bool writeDefinition(common::TaggedWriter& w, const ReportItemDef& def) {
    if (!w.writeTag(kItemGroup, TagKind::GroupStart, 1))
        return false;
    Out out(w);
    out.integer(def.id).text(def.name).text(def.reportType);
    if (namesGroup(def.reportType))
        out.text(def.groupName);
    out.text(def.function);
    if (common::isPercentFunction(def.function))
        out.hours(def.percentage);
    else if (def.function == common::kFuncBasedOnHours)
        out.integer(def.rateKind).hours(def.factor);
    out.money(def.defaultAmount)
        .money(def.upperLimit)
        .integer(def.isStatic)
        .integer(def.taxable)
        .integer(def.builtIn);
    return out.ok() && w.writeTag({}, TagKind::GroupEnd);
}

bool readDefinition(common::TaggedReader& r, ReportItemDef& def) {
    In in(r);
    in.number(def.id).text(def.name).text(def.reportType);
    if (in.ok() && namesGroup(def.reportType))
        in.text(def.groupName);
    in.text(def.function);
    if (in.ok() && common::isPercentFunction(def.function))
        in.number(def.percentage);
    else if (in.ok() && def.function == common::kFuncBasedOnHours)
        in.number(def.rateKind).number(def.factor);
    in.number(def.defaultAmount)
        .number(def.upperLimit)
        .number(def.isStatic)
        .number(def.taxable)
        .number(def.builtIn);
    return in.ok() && r.findTag({}, TagKind::GroupEnd);
}

} // namespace

std::string periodTitle(common::PAYFREQ payFreq, int day, std::string_view month, int year) {
    const std::string rest =
        std::to_string(day) + " " + std::string(month) + " " + std::to_string(year);
    switch (payFreq) {
    case common::WEEKLY:
        return "Week ending " + rest;
    case common::BIWEEKLY:
        return "Fortnight ending " + rest;
    case common::IRREGULAR:
        return "Pay period ending " + rest;
    default:
        return std::string(month) + " " + std::to_string(year);
    }
}

std::string periodTitle(common::PAYFREQ payFreq, const common::ORGREC& org) {
    const int day = payFreq == common::WEEKLY     ? org.weekEndDay
                    : payFreq == common::BIWEEKLY ? org.fortnightEndDay
                                                  : org.irregEndDay;
    return periodTitle(payFreq, day, org.month, org.year);
}

std::string periodTitle(common::PAYFREQ payFreq, common::date period) {
    return periodTitle(payFreq, period.day, common::monthName(period.month), period.year);
}

PeriodHeader periodHeader(std::string title, common::PAYFREQ payFreq, const common::ORGREC& org) {
    return PeriodHeader{std::move(title), payFreq,      org.name, org.itNum,    org.nssfNum,
                        org.poBox,        org.postCode, org.town, org.telephone};
}

std::string fileTitle(common::PAYFREQ payFreq, const common::ORGREC& org) {
    const std::string title = periodTitle(payFreq, org);
    if (payFreq == common::MONTHLY || title.empty())
        return "Report file for " + title;
    // "Week ending ..." reads "week ending ..." inside the sentence.
    return "Report file for " + std::string(1, static_cast<char>(title[0] - 'A' + 'a')) +
           title.substr(1);
}

std::string birthDateText(common::date birthDate) {
    if (birthDate.year == 0)
        return {};
    const std::string year = std::to_string(birthDate.year);
    const std::string month = common::monthName(birthDate.month).substr(0, 3);
    if (month.empty())
        return year;
    if (birthDate.day == 0)
        return month + " " + year;
    return std::to_string(birthDate.day) + " " + month + " " + year;
}

std::string leaveBalanceText(float days) {
    std::string text = twoDecimals(common::decimalOf(days));
    // Left-justified in at least four characters.
    if (text.size() < 4)
        text.append(4 - text.size(), ' ');
    return text;
}

bool writePreamble(common::TaggedWriter& w, std::string_view title, std::string_view orgFolder,
                   std::string_view path) {
    return w.writeComment(title) &&
           w.writeComment("[" + common::WorkingFolder::normalise(orgFolder) + "/" +
                          std::string(path) + "]") &&
           w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) &&
           w.writeValue(common::fileKind::PeriodReports) && w.writeValue(path) &&
           w.writeValue(common::expectedVersion(common::fileKind::PeriodReports)) &&
           w.writeTag({}, TagKind::GroupEnd);
}

bool writeHeader(common::TaggedWriter& w, const PeriodHeader& h) {
    if (!w.writeTag(kHeaderGroup, TagKind::GroupStart))
        return false;
    Out out(w);
    out.text(h.periodTitle)
        .integer(h.payFreq)
        .text(h.orgName)
        .text(h.itNum)
        .text(h.nssfNum)
        .text(h.poBox)
        .text(h.postCode)
        .text(h.town)
        .text(h.telephone);
    return out.ok() && w.writeTag({}, TagKind::GroupEnd);
}

bool writeDefinitions(common::TaggedWriter& w, const ReportItemDefs& defs) {
    for (std::size_t t = 0; t < defs.size(); ++t) {
        if (!w.writeTag(kDefinitionBlocks[t], TagKind::BlockStart))
            return false;
        for (const auto& def : defs[t])
            if (!writeDefinition(w, *def))
                return false;
        if (!w.writeTag(kDefinitionBlocks[t], TagKind::BlockEnd))
            return false;
    }
    return true;
}

bool writeRecord(common::TaggedWriter& w, const REPORTREC& rec) {
    if (!w.writeTag(kItemGroup, TagKind::GroupStart, 1))
        return false;
    Out out(w);
    out.text(rec.empNum)
        .text(rec.name)
        .text(rec.idNum)
        .text(rec.birthDate)
        .text(rec.jobTitle)
        .text(rec.unitPath)
        .text(rec.stationName)
        .text(rec.tin)
        .text(rec.nssfNum)
        .integer(rec.payMethod)
        .text(rec.payGroupName)
        .text(rec.bankName)
        .text(rec.branchName)
        .text(rec.accountNum);
    for (std::size_t i = 0; i < 2; ++i)
        out.text(rec.coopName[i]).text(rec.coopMemberNum[i]);
    for (std::size_t i = 0; i < 2; ++i)
        out.text(rec.pensionFundName[i]).text(rec.pensionMemberNum[i]);
    out.integer(rec.payBasis);
    if (rec.payBasis == common::kPayBasisSalary)
        out.money(rec.payRate);
    else
        out.rate(rec.payRate);
    out.hours(rec.hoursPerDay)
        .hours(rec.hoursPerMonth)
        .integer(rec.timeBasis)
        .hours(rec.timeWorked)
        .money(rec.basicPay)
        .rate(rec.normalOvertimeRate)
        .rate(rec.doubleOvertimeRate)
        .hours(rec.normalOvertimeHours)
        .hours(rec.doubleOvertimeHours)
        .money(rec.overtimePay)
        .money(rec.rent)
        .money(rec.deficitBF)
        .money(rec.roundingCF)
        .money(rec.lumpSumTax)
        .money(rec.employerPensionBenefit)
        .money(rec.loanBenefit)
        .money(rec.roundingBF)
        .money(rec.pensionRelief);
    for (const auto& list : rec.items) {
        for (const ReportItem& item : list) {
            out.money(item.amount);
            writeFigures(out, item.figures);
        }
    }
    out.money(rec.paye)
        .money(rec.nssfEmployee)
        .money(rec.nssfEmployer)
        .money(rec.sdl)
        .money(rec.statutoryDeductions)
        .money(rec.grossPay)
        .money(rec.totalBenefits)
        .money(rec.taxablePay)
        .money(rec.housingBenefit)
        .money(rec.pensionDeduction)
        .money(rec.chargeablePay)
        .money(rec.deductionsLessLumpSumTax)
        .money(rec.totalLumpSums)
        .money(rec.lumpSumsLessTax)
        .money(rec.totalRefunds)
        .money(rec.totalPay)
        .money(rec.totalDeductions)
        .money(rec.deficit)
        .money(rec.netPay)
        .text(leaveBalanceText(rec.leaveBalance));
    return out.ok() && w.writeTag({}, TagKind::GroupEnd);
}

std::string writtenForFolder(std::string_view bytes, std::string_view path) {
    const auto first = bytes.find('\n');
    if (first == std::string_view::npos)
        return {};
    const auto second = bytes.find('\n', first + 1);
    std::string_view line = bytes.substr(first + 1, second - first - 1);
    if (!line.starts_with("# [") || !line.ends_with("]"))
        return {};
    line = line.substr(3, line.size() - 4);
    if (line.size() <= path.size() ||
        !common::WorkingFolder::samePath(line.substr(line.size() - path.size()), path))
        return {};
    return std::string(line.substr(0, line.size() - path.size() - 1));
}

bool readHeader(common::TaggedReader& r, PeriodHeader& h) {
    if (!r.findTag(kHeaderGroup, TagKind::GroupStart))
        return false;
    In in(r);
    int payFreq = 0;
    in.text(h.periodTitle)
        .number(payFreq)
        .text(h.orgName)
        .text(h.itNum)
        .text(h.nssfNum)
        .text(h.poBox)
        .text(h.postCode)
        .text(h.town)
        .text(h.telephone);
    if (!in.ok() || !common::isValidPayFreq(payFreq))
        return false;
    h.payFreq = static_cast<common::PAYFREQ>(payFreq);
    return r.findTag({}, TagKind::GroupEnd);
}

bool readDefinitions(common::TaggedReader& r, ReportItemDefs& defs) {
    for (std::size_t t = 0; t < defs.size(); ++t) {
        defs[t].clear();
        if (!r.findTag(kDefinitionBlocks[t], TagKind::BlockStart))
            return false;
        while (r.findTag(kItemGroup, TagKind::GroupStart)) {
            auto def = std::make_shared<ReportItemDef>();
            if (!readDefinition(r, *def))
                return false;
            defs[t].push_back(std::move(def));
        }
        if (!r.findTag(kDefinitionBlocks[t], TagKind::BlockEnd))
            return false;
        if (defs[t].size() < builtInCount(static_cast<common::FIELDSTABLE>(t)))
            return false;
    }
    return true;
}

bool readRecord(common::TaggedReader& r, const ReportItemDefs& defs, REPORTREC& rec,
                bool& damaged) {
    damaged = false;
    if (!r.findTag(kItemGroup, TagKind::GroupStart))
        return false;
    damaged = true;
    rec = REPORTREC();
    In in(r);
    in.text(rec.empNum)
        .text(rec.name)
        .text(rec.idNum)
        .text(rec.birthDate)
        .text(rec.jobTitle)
        .text(rec.unitPath)
        .text(rec.stationName)
        .text(rec.tin)
        .text(rec.nssfNum)
        .number(rec.payMethod)
        .text(rec.payGroupName)
        .text(rec.bankName)
        .text(rec.branchName)
        .text(rec.accountNum);
    for (std::size_t i = 0; i < 2; ++i)
        in.text(rec.coopName[i]).text(rec.coopMemberNum[i]);
    for (std::size_t i = 0; i < 2; ++i)
        in.text(rec.pensionFundName[i]).text(rec.pensionMemberNum[i]);
    in.number(rec.payBasis)
        .number(rec.payRate)
        .number(rec.hoursPerDay)
        .number(rec.hoursPerMonth)
        .number(rec.timeBasis)
        .number(rec.timeWorked)
        .number(rec.basicPay)
        .number(rec.normalOvertimeRate)
        .number(rec.doubleOvertimeRate)
        .number(rec.normalOvertimeHours)
        .number(rec.doubleOvertimeHours)
        .number(rec.overtimePay)
        .number(rec.rent)
        .number(rec.deficitBF)
        .number(rec.roundingCF)
        .number(rec.lumpSumTax)
        .number(rec.employerPensionBenefit)
        .number(rec.loanBenefit)
        .number(rec.roundingBF)
        .number(rec.pensionRelief);
    for (common::FIELDSTABLE table : common::kFieldsTables) {
        const auto& tableDefs = defs[static_cast<std::size_t>(table)];
        auto& items = rec.itemsOf(table);
        for (std::size_t i = builtInCount(table); in.ok() && i < tableDefs.size(); ++i) {
            ReportItem& item = items.emplace_back();
            item.definition = tableDefs[i];
            item.figures = figuresFor(table, tableDefs[i]->reportType);
            in.number(item.amount);
            readFigures(in, item.figures);
        }
    }
    in.number(rec.paye)
        .number(rec.nssfEmployee)
        .number(rec.nssfEmployer)
        .number(rec.sdl)
        .number(rec.statutoryDeductions)
        .number(rec.grossPay)
        .number(rec.totalBenefits)
        .number(rec.taxablePay)
        .number(rec.housingBenefit)
        .number(rec.pensionDeduction)
        .number(rec.chargeablePay)
        .number(rec.deductionsLessLumpSumTax)
        .number(rec.totalLumpSums)
        .number(rec.lumpSumsLessTax)
        .number(rec.totalRefunds)
        .number(rec.totalPay)
        .number(rec.totalDeductions)
        .number(rec.deficit)
        .number(rec.netPay)
        .number(rec.leaveBalance);
    if (!in.ok() || !r.findTag({}, TagKind::GroupEnd))
        return false;
    damaged = false;
    return true;
}

} // namespace kelo::payrunreports
