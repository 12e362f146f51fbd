#include "staffreports/PersRepRec.h"

#include "common/Money.h"
#include "common/WorkingFolder.h"
#include "payrunreports/PeriodFormat.h"

namespace kelo::staffreports {

using common::TagKind;

namespace {

constexpr const char* kHeaderGroup = "header";
constexpr const char* kItemGroup = "item";

// A zero that came out of arithmetic is written "0", not "-0".
std::string wholeText(double value) {
    return common::fixedText(value == 0 ? 0.0 : value, 0);
}

std::string hoursText(float value) {
    return common::fixedText(common::decimalOf(value), 2);
}

class Out {
public:
    explicit Out(common::TaggedWriter& w) : w_(w) {}
    Out& text(std::string_view value) {
        ok_ = ok_ && w_.writeValue(value);
        return *this;
    }
    Out& integer(int value) { return text(std::to_string(value)); }
    Out& day(const common::date& d) { return integer(d.day).integer(d.month).integer(d.year); }
    bool ok() const { return ok_; }

private:
    common::TaggedWriter& w_;
    bool ok_ = true;
};

class In {
public:
    explicit In(common::TaggedReader& r) : r_(r) {}
    In& text(std::string& out) {
        ok_ = ok_ && r_.readValue(out);
        return *this;
    }
    In& integer(int& out) {
        ok_ = ok_ && r_.readInt(out);
        return *this;
    }
    In& number(double& out) {
        ok_ = ok_ && r_.readDouble(out);
        return *this;
    }
    In& number(float& out) {
        double value = 0;
        number(value);
        out = static_cast<float>(value);
        return *this;
    }
    In& day(common::date& out) {
        int d = 0, m = 0, y = 0;
        integer(d).integer(m).integer(y);
        ok_ = ok_ && d >= 0 && d <= 31 && m >= 0 && m <= 12;
        if (ok_)
            out = common::date{y, static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(m)};
        return *this;
    }
    bool ok() const { return ok_; }

private:
    common::TaggedReader& r_;
    bool ok_ = true;
};

} // namespace

std::string personnelFilePath(DB db, int year) {
    switch (db) {
    case DB_ACTIVE:
        return std::to_string(year) + "/" + kActiveFileName;
    case DB_LEAVERS:
        return std::to_string(year) + "/" + kLeaversFileName;
    }
    return {};
}

const char* fileKindOf(DB db) {
    return db == DB_LEAVERS ? common::fileKind::FormerEmployees : common::fileKind::ActiveEmployees;
}

bool writePreamble(common::TaggedWriter& w, DB db, std::string_view orgFolder,
                   std::string_view path) {
    const char* kind = fileKindOf(db);
    return w.writeComment(db == DB_LEAVERS ? "Former employees report file"
                                           : "Active employees report file") &&
           w.writeComment("[" + common::WorkingFolder::normalise(orgFolder) + "/" +
                          std::string(path) + "]") &&
           w.writeComment({}) && w.writeTag("fileid", TagKind::GroupStart) && w.writeValue(kind) &&
           w.writeValue(path) && w.writeValue(common::expectedVersion(kind)) &&
           w.writeTag({}, TagKind::GroupEnd);
}

bool writeHeader(common::TaggedWriter& w, int year, std::string_view orgName) {
    return w.writeTag(kHeaderGroup, TagKind::GroupStart) && w.writeInt(year) &&
           w.writeValue(orgName) && w.writeTag({}, TagKind::GroupEnd);
}

bool writeRecord(common::TaggedWriter& w, const PERSREPREC& rec, int seqNum) {
    if (!w.writeTag(kItemGroup, TagKind::GroupStart, 1))
        return false;
    Out out(w);
    out.integer(seqNum)
        .text(rec.empNum)
        .text(rec.lastName)
        .text(rec.otherNames)
        .text(rec.idNum)
        .text(rec.title)
        .text(rec.gender)
        .text(rec.maritalStatus)
        .text(rec.nationality)
        .day(rec.birthDate)
        .text(rec.jobTitle)
        .text(rec.gradeName)
        .integer(rec.terms)
        .text(rec.unitPath)
        .text(rec.stationName)
        .day(rec.startDate)
        .integer(rec.terminated)
        .day(rec.dateLeft)
        .text(rec.reasonLeft)
        .text(rec.remarks)
        .text(rec.supervisorNum)
        .text(rec.supervisorName)
        .text(payrunreports::leaveBalanceText(rec.leaveEntitlement))
        .text(rec.officeName)
        .text(rec.officePhone)
        .text(rec.email)
        .text(rec.homePhone)
        .text(rec.mobile)
        .text(rec.poBox)
        .text(rec.town)
        .text(rec.postCode);
    for (const std::string& line : rec.resAddress)
        out.text(line);
    out.integer(rec.payFreq)
        .integer(rec.payMethod)
        .text(rec.payGroupName)
        .text(rec.bankName)
        .text(rec.branchName)
        .text(rec.accountNum)
        .integer(rec.payBasis)
        .text(wholeText(rec.payRate))
        .text(hoursText(rec.hoursPerDay))
        .text(hoursText(rec.hoursPerMonth))
        .integer(rec.timeBasis)
        .integer(rec.overtimeEligible)
        .text(wholeText(rec.normalOvertimeRate))
        .text(wholeText(rec.doubleOvertimeRate))
        .integer(rec.housed)
        .text(wholeText(rec.housingValue))
        .text(wholeText(rec.housingExpense))
        .text(wholeText(rec.rent))
        .integer(rec.payeApplies)
        .integer(rec.useTopTaxRate)
        .integer(rec.nssfMember)
        .text(rec.tin)
        .text(rec.nssfNum);
    for (std::size_t i = 0; i < 2; ++i)
        out.text(rec.coopName[i]).text(rec.coopMemberNum[i]);
    for (std::size_t i = 0; i < 2; ++i)
        out.text(rec.pensionName[i]).text(rec.pensionMemberNum[i]);
    return out.ok() && w.writeTag({}, TagKind::GroupEnd);
}

bool readHeader(common::TaggedReader& r, int& year, std::string& orgName) {
    if (!r.findTag(kHeaderGroup, TagKind::GroupStart))
        return false;
    In in(r);
    in.integer(year).text(orgName);
    return in.ok() && r.findTag({}, TagKind::GroupEnd);
}

bool readRecord(common::TaggedReader& r, PERSREPREC& rec, bool& damaged) {
    damaged = false;
    if (!r.findTag(kItemGroup, TagKind::GroupStart))
        return false;
    rec = PERSREPREC();
    In in(r);
    in.integer(rec.seqNum)
        .text(rec.empNum)
        .text(rec.lastName)
        .text(rec.otherNames)
        .text(rec.idNum)
        .text(rec.title)
        .text(rec.gender)
        .text(rec.maritalStatus)
        .text(rec.nationality)
        .day(rec.birthDate)
        .text(rec.jobTitle)
        .text(rec.gradeName)
        .integer(rec.terms)
        .text(rec.unitPath)
        .text(rec.stationName)
        .day(rec.startDate)
        .integer(rec.terminated)
        .day(rec.dateLeft)
        .text(rec.reasonLeft)
        .text(rec.remarks)
        .text(rec.supervisorNum)
        .text(rec.supervisorName)
        .number(rec.leaveEntitlement)
        .text(rec.officeName)
        .text(rec.officePhone)
        .text(rec.email)
        .text(rec.homePhone)
        .text(rec.mobile)
        .text(rec.poBox)
        .text(rec.town)
        .text(rec.postCode);
    for (std::string& line : rec.resAddress)
        in.text(line);
    in.integer(rec.payFreq)
        .integer(rec.payMethod)
        .text(rec.payGroupName)
        .text(rec.bankName)
        .text(rec.branchName)
        .text(rec.accountNum)
        .integer(rec.payBasis)
        .number(rec.payRate)
        .number(rec.hoursPerDay)
        .number(rec.hoursPerMonth)
        .integer(rec.timeBasis)
        .integer(rec.overtimeEligible)
        .number(rec.normalOvertimeRate)
        .number(rec.doubleOvertimeRate)
        .integer(rec.housed)
        .number(rec.housingValue)
        .number(rec.housingExpense)
        .number(rec.rent)
        .integer(rec.payeApplies)
        .integer(rec.useTopTaxRate)
        .integer(rec.nssfMember)
        .text(rec.tin)
        .text(rec.nssfNum);
    for (std::size_t i = 0; i < 2; ++i)
        in.text(rec.coopName[i]).text(rec.coopMemberNum[i]);
    for (std::size_t i = 0; i < 2; ++i)
        in.text(rec.pensionName[i]).text(rec.pensionMemberNum[i]);
    if (!in.ok() || !r.findTag({}, TagKind::GroupEnd)) {
        damaged = true;
        return false;
    }
    return true;
}

std::string fullName(const PERSREPREC& rec) {
    return rec.lastName + ", " + rec.otherNames;
}

} // namespace kelo::staffreports
