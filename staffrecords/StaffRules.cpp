#include "staffrecords/StaffRules.h"

#include "common/Money.h"
#include "common/Text.h"
#include "staffrecords/FieldsRules.h"

#include <algorithm>

namespace kelo::staffrecords {

namespace {

StaffFault refuse(std::string message, std::string_view field) {
    return StaffRefusal{std::move(message), std::string(field)};
}

bool isBlank(std::string_view value) {
    return common::trim(value).empty();
}

// NaN, which an import may bring, fails every comparison and so is refused.
bool within(double value, double lowest, double highest) {
    return value >= lowest && value <= highest;
}

bool notNegative(double value) {
    return value >= 0;
}

bool isSet(const common::date& d) {
    return d != common::date{};
}

StaffFault bankFieldBlank(std::string_view value, std::string_view label, std::string_view field) {
    if (!isBlank(value))
        return std::nullopt;
    return refuse(std::string("For bank transfer, the \"") + std::string(label) +
                      "\" field must not be blank." + " " + "Please enter a value for this field.",
                  field);
}

bool hoursValid(const common::STATICREC& rec) {
    return within(rec.hoursPerDay, 1, 24) && within(rec.hoursPerMonth, rec.hoursPerDay, 999);
}

StaffFault rateRangeFault(double rate, double lowest, double highest, std::string_view what,
                          int decimals, std::string_view field) {
    if (!(rate >= lowest))
        return refuse("The " + std::string(what) + " must be at least " +
                          common::fixedText(lowest, decimals) + ".",
                      field);
    if (!(rate <= highest))
        return refuse("The " + std::string(what) + " must not exceed " +
                          common::fixedText(highest, decimals) + ".",
                      field);
    return std::nullopt;
}

// The grade holds monthly salaries; a daily or hourly rate is measured
// against them through the employee's working hours.
StaffFault gradeFault(const common::STATICREC& rec, const SalaryRange& grade) {
    const double perMonth = common::decimalOf(rec.hoursPerMonth);
    const double perDay = common::decimalOf(rec.hoursPerDay);
    switch (rec.payBasis) {
    case common::kPayBasisSalary:
        return rateRangeFault(rec.salary, grade.lowest, grade.highest, "salary", 0, "salary");
    case common::kPayBasisDaily:
        return rateRangeFault(rec.dailyRate, common::roundCents(grade.lowest / perMonth * perDay),
                              common::roundCents(grade.highest / perMonth * perDay), "daily rate",
                              2, "dailyRate");
    case common::kPayBasisHourly:
        return rateRangeFault(rec.hourlyRate, common::roundCents(grade.lowest / perMonth),
                              common::roundCents(grade.highest / perMonth), "hourly rate", 2,
                              "hourlyRate");
    default:
        return std::nullopt;
    }
}

} // namespace

SalaryRange salaryRangeOf(const database::GRADEREC& grade, common::PAYFREQ payFreq) {
    const auto f = static_cast<std::size_t>(payFreq);
    if (f >= common::kPayFreqCount)
        return {};
    return {grade.lowerLimit[f], grade.upperLimit[f]};
}

StaffFault checkPersonalDetails(const common::STATICREC& rec) {
    if (isBlank(rec.lastName))
        return refuse(blankMessage("Last Name"), "lastName");
    if (isBlank(rec.otherNames))
        return refuse(blankMessage("Other Names"), "otherNames");
    return std::nullopt;
}

StaffFault checkEmploymentDetails(const common::STATICREC& rec, const PostFacts& post) {
    if (!post.attached)
        return refuse("This employee is not attached to any post.", kPostField);
    // An active employee has no termination date to compare with.
    if (rec.terminated && !isSet(rec.terminationDate))
        return refuse(blankMessage("Termination Date"), "terminationDate");
    if (isSet(rec.terminationDate) && rec.startDate > rec.terminationDate)
        return refuse("Start date cannot be later than termination date", "startDate");
    if (rec.station == 0)
        return refuse(blankMessage("Station"), "station");
    if (!within(rec.leaveEntitlement, 0, 366))
        return refuse(invalidMessage("Leave Entitlement"), "leaveEntitlement");
    return std::nullopt;
}

StaffFault checkContactInfo(const common::STATICREC&) {
    return std::nullopt;
}

StaffFault checkPayment(const common::STATICREC& rec) {
    if (rec.payFreq < common::MONTHLY || rec.payFreq > common::IRREGULAR)
        return refuse(invalidMessage("Pay Frequency"), "payFreq");
    if (rec.payMethod < common::kPayByCash || rec.payMethod > common::kPayByBankTransfer)
        return refuse(invalidMessage("Payment Mode"), "payMethod");
    if (rec.payMethod != common::kPayByBankTransfer)
        return std::nullopt;
    if (auto fault = bankFieldBlank(rec.bankName, "Bank", "bankName"))
        return fault;
    if (auto fault = bankFieldBlank(rec.branchName, "Branch", "branchName"))
        return fault;
    return bankFieldBlank(rec.accountNum, "Account Number", "accountNum");
}

StaffFault checkBasicPay(const common::STATICREC& rec, const std::optional<SalaryRange>& grade) {
    if (rec.payBasis < common::kPayBasisSalary || rec.payBasis > common::kPayBasisHourly)
        return refuse(invalidMessage("Pay Basis"), "payBasis");
    // Daily and hourly bounds divide by the working hours, so they are only
    // worked out from hours that pass their own checks.
    if (grade && (rec.payBasis == common::kPayBasisSalary || hoursValid(rec))) {
        if (auto fault = gradeFault(rec, *grade))
            return fault;
    }
    if (!within(rec.hoursPerDay, 1, 24))
        return refuse(invalidMessage("Hours per Day"), "hoursPerDay");
    if (!within(rec.hoursPerMonth, rec.hoursPerDay, 999))
        return refuse(invalidMessage("Hours per Month"), "hoursPerMonth");
    if (!notNegative(rec.salary))
        return refuse(invalidMessage("Salary"), "salary");
    if (!notNegative(rec.dailyRate))
        return refuse(invalidMessage("Daily Rate"), "dailyRate");
    if (!notNegative(rec.hourlyRate))
        return refuse(invalidMessage("Hourly Rate"), "hourlyRate");
    if (rec.timeBasis < common::kTimeFullPeriod || rec.timeBasis > common::kTimeHoursPresent)
        return refuse(invalidMessage("Time Worked"), "timeBasis");
    return std::nullopt;
}

StaffFault checkOvertime(const common::STATICREC& rec) {
    if (!notNegative(rec.normalOvertimeRate))
        return refuse(invalidMessage("Normal Overtime Rate"), "normalOvertimeRate");
    if (!notNegative(rec.doubleOvertimeRate))
        return refuse(invalidMessage("Double Overtime Rate"), "doubleOvertimeRate");
    return std::nullopt;
}

StaffFault checkHousing(const common::STATICREC& rec) {
    if (!notNegative(rec.housingValue))
        return refuse(invalidMessage("Value of Housing"), "housingValue");
    if (!notNegative(rec.housingExpense))
        return refuse(invalidMessage("Employer's Expense"), "housingExpense");
    if (!notNegative(rec.rent))
        return refuse(invalidMessage("Rent to Employer"), "rent");
    return std::nullopt;
}

StaffFault checkStatutoryDeductions(const common::STATICREC& rec) {
    // The form clears the top rate with PAYE; an import must not bring it back.
    if (rec.useTopTaxRate && !rec.payeApplies)
        return refuse("\"Use Top Tax Rate\" can only be set when \"Deduct PAYE\" is set.",
                      "useTopTaxRate");
    return std::nullopt;
}

StaffFault checkCoops(const common::STATICREC& rec) {
    if (auto message = common::checkCoopSlots(rec.coop1, rec.coop2))
        return refuse(*message, "coop2");
    return std::nullopt;
}

StaffFault checkPensionFunds(const common::STATICREC& rec) {
    if (auto message = common::checkPensionFundSlots(rec.pensionFund1, rec.pensionFund2))
        return refuse(*message, "pensionFund2");
    return std::nullopt;
}

StaffFault checkPage(STATPAGE page, const common::STATICREC& rec, const PostFacts& post) {
    switch (page) {
    case PERSONAL_DETAILS:
        return checkPersonalDetails(rec);
    case EMPLOYMENT_DETAILS:
        return checkEmploymentDetails(rec, post);
    case CONTACT_INFO:
        return checkContactInfo(rec);
    case PAYMENT:
        return checkPayment(rec);
    case BASIC_PAY:
        return checkBasicPay(rec, post.grade);
    case OVERTIME:
        return checkOvertime(rec);
    case HOUSING:
        return checkHousing(rec);
    case STATUTORY_DEDUCTIONS:
        return checkStatutoryDeductions(rec);
    case COOPERATIVES:
        return checkCoops(rec);
    case PENSION_FUNDS:
        return checkPensionFunds(rec);
    }
    return std::nullopt;
}

StaffFault checkRecord(const common::STATICREC& rec, const PostFacts& post) {
    if (isBlank(rec.empNum))
        return refuse(blankMessage("Employee Number"), "empNum");
    for (int page = PERSONAL_DETAILS; page <= PENSION_FUNDS; ++page) {
        if (auto fault = checkPage(static_cast<STATPAGE>(page), rec, post))
            return fault;
    }
    return std::nullopt;
}

StaffFault checkTermination(const common::STATICREC& rec, const common::date& terminationDate,
                            std::string_view reason) {
    if (terminationDate < rec.startDate)
        return refuse("Termination date cannot be earlier than start date", "terminationDate");
    if (isBlank(reason))
        return refuse(blankMessage("Reason"), "terminationReason");
    return std::nullopt;
}

StaffFault checkLumpSumTax(double lumpSumTax, double lumpSumTotal, bool payeApplies) {
    if (lumpSumTax != 0 && !payeApplies)
        return refuse("Tax on lump sum payments can only be keyed when PAYE is deducted.",
                      kLumpSumTaxField);
    if (!notNegative(lumpSumTax))
        return refuse("Tax on lump sum payments cannot be negative", kLumpSumTaxField);
    // The total is a sum of doubles: compared at its keyed decimal value so
    // that a tax equal to it is never refused for binary noise.
    if (common::decimalValue(lumpSumTax) > common::decimalValue(lumpSumTotal))
        return refuse("Tax on lump sum payments cannot exceed their total.", kLumpSumTaxField);
    return std::nullopt;
}

void PostVacancies::addPost(const database::POSTREC& post) {
    Counts& places = places_[{post.unit, post.job}];
    for (std::size_t t = 0; t < places.size(); ++t)
        places[t] += post.count[t];
}

void PostVacancies::addHolder(long unit, long job, long terms) {
    if (terms < 0 || terms >= static_cast<long>(database::POSTREC::kTermsCount))
        return;
    ++holders_[{unit, job}][static_cast<std::size_t>(terms)];
}

long PostVacancies::freeOf(const Counts& places, const Counts& holders) {
    long free = 0;
    for (std::size_t t = 0; t < places.size(); ++t)
        free += std::max(0L, places[t] - holders[t]);
    return free;
}

long PostVacancies::vacancies(long unit, long job) const {
    const auto post = places_.find({unit, job});
    if (post == places_.end())
        return 0;
    const auto held = holders_.find({unit, job});
    return freeOf(post->second, held == holders_.end() ? Counts{} : held->second);
}

bool PostVacancies::anyVacant() const {
    for (const auto& [post, places] : places_) {
        if (vacancies(post.first, post.second) > 0)
            return true;
    }
    return false;
}

std::map<std::pair<long, long>, long> PostVacancies::all() const {
    std::map<std::pair<long, long>, long> free;
    for (const auto& [post, places] : places_)
        free[post] = vacancies(post.first, post.second);
    return free;
}

StaffFault checkVacancy(const PostVacancies& posts, long unit, long job) {
    if (!posts.anyVacant())
        return refuse(kNoVacantPostsText, kPostField);
    if (posts.vacancies(unit, job) <= 0)
        return refuse(kNoVacancyInPostText, kPostField);
    return std::nullopt;
}

} // namespace kelo::staffrecords
