#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/ReportRecords.h"
#include "database/GradesDb.h"
#include "database/PostsDb.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kelo::staffrecords {

// The checks of the employee master record, apart from any window: the
// employee master form runs one page's checks before it leaves the page, the
// import and the command line run the whole record.

// The pages of the employee master form: 1 to 3 in the "Personnel File"
// window, 4 to 10 in the "Payroll Master File" window.
enum STATPAGE : int {
    PERSONAL_DETAILS = 1,
    EMPLOYMENT_DETAILS,
    CONTACT_INFO,
    PAYMENT,
    BASIC_PAY,
    OVERTIME,
    HOUSING,
    STATUTORY_DEDUCTIONS,
    COOPERATIVES,
    PENSION_FUNDS
};

// Why a value is refused, and the STATICREC member it concerns ("lastName",
// "bankName", ...; "post" for the employee's post), so that a form can put
// the focus on that field's control.
struct StaffRefusal {
    std::string message;
    std::string field;

    friend bool operator==(const StaffRefusal&, const StaffRefusal&) = default;
};

using StaffFault = std::optional<StaffRefusal>;

// The lowest and highest monthly salary of a grade for one pay frequency,
// in whole shillings.
struct SalaryRange {
    double lowest = 0;
    double highest = 0;
};

SalaryRange salaryRangeOf(const database::GRADEREC& grade, common::PAYFREQ payFreq);

// What the record itself does not hold: whether the employee has a post,
// and the salary range of the grade of the post's job when there is one.
struct PostFacts {
    bool attached = false;
    std::optional<SalaryRange> grade;
};

// Field names of the refusals that are not STATICREC members.
inline constexpr std::string_view kPostField = "post";
inline constexpr std::string_view kLumpSumTaxField = "lumpSumTax";

// Page 1: last name and other names.
StaffFault checkPersonalDetails(const common::STATICREC& rec);
// Page 2: post, start date against the termination date, station, leave
// entitlement.
StaffFault checkEmploymentDetails(const common::STATICREC& rec, const PostFacts& post);
// Page 3 has no rules; kept so that every page has its check.
StaffFault checkContactInfo(const common::STATICREC& rec);
// Page 4: pay frequency, payment mode, and the bank details of a transfer.
StaffFault checkPayment(const common::STATICREC& rec);
// Page 5: pay basis, the pay rate within the grade's range (when `grade` is
// given), hours per day and per month, rates not negative, time basis.
StaffFault checkBasicPay(const common::STATICREC& rec, const std::optional<SalaryRange>& grade);
// Page 6: overtime rates not negative.
StaffFault checkOvertime(const common::STATICREC& rec);
// Page 7: housing value, employer's expense and rent not negative.
StaffFault checkHousing(const common::STATICREC& rec);
// Page 8: the top tax rate only with PAYE.
StaffFault checkStatutoryDeductions(const common::STATICREC& rec);
// Page 9: two different co-operatives.
StaffFault checkCoops(const common::STATICREC& rec);
// Page 10: two different pension funds.
StaffFault checkPensionFunds(const common::STATICREC& rec);

// The check of `page`; nothing for a value outside the ten pages.
StaffFault checkPage(STATPAGE page, const common::STATICREC& rec, const PostFacts& post);

// The whole record as it is about to be saved or imported: the employee
// number, then every page in order; the first refusal wins.
StaffFault checkRecord(const common::STATICREC& rec, const PostFacts& post);

// The messages of the vacancy rule: none of the posts has a free place, or
// the chosen one has none.
inline constexpr const char* kNoVacantPostsText =
    "Cannot add a new employee as there are no vacanct posts.";
inline constexpr const char* kNoVacancyInPostText = "There is no vacant position in this post.";

// The places of the organisation's posts and the employees who hold them:
// a post's free places are, terms by terms, its places less their holders,
// none below 0, all terms together. Holders of a post not established, and
// terms outside the four, hold nothing.
class PostVacancies {
public:
    void addPost(const database::POSTREC& post);
    // An employee not yet separated from the post (unit, job) on `terms`.
    void addHolder(long unit, long job, long terms);

    long vacancies(long unit, long job) const;
    bool anyVacant() const;
    // Every post with its free places, by (unit, job).
    std::map<std::pair<long, long>, long> all() const;

private:
    using Counts = std::array<long, database::POSTREC::kTermsCount>;
    static long freeOf(const Counts& places, const Counts& holders);

    std::map<std::pair<long, long>, Counts> places_, holders_;
};

// A new employee of the post (unit, job) as the form lets one in: some post
// must have a free place, then his own.
StaffFault checkVacancy(const PostVacancies& posts, long unit, long job);

// The terminate dialog: the date not before the start date, and a reason.
StaffFault checkTermination(const common::STATICREC& rec, const common::date& terminationDate,
                            std::string_view reason);

// The tax keyed on an employee's lump sums: not negative, not above their
// total, and nothing when the employee pays no PAYE.
StaffFault checkLumpSumTax(double lumpSumTax, double lumpSumTotal, bool payeApplies);

} // namespace kelo::staffrecords
