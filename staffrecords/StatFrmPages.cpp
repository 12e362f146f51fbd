#include "common/DateText.h"
#include "common/Money.h"
#include "common/Text.h"
#include "staffrecords/FieldsRules.h"
#include "staffrecords/StatFrm.h"
#include "staffrecords/StatFrmControls.h"
#include "staffrecords/StatFrmLookups.h"

#include <array>
#include <cstdio>
#include <map>

namespace kelo::staffrecords {

namespace sf = statfrm;
namespace lists = statfrmlists;
using common::DialogView;
using common::STATICREC;

namespace {

constexpr std::size_t kNameWidth = 19;
constexpr std::size_t kOtherNamesWidth = 29;
constexpr std::size_t kShortWidth = 19;
constexpr std::size_t kBankWidth = 24;

// Lists whose stored value is the row's position.
void fillIndexed(DialogView& view, const char* control, const std::vector<std::string>& names,
                 int selected) {
    view.clearItems(control);
    for (std::size_t i = 0; i < names.size(); ++i)
        view.addItem(control, names[i], static_cast<long>(i));
    view.selectRow(control,
                   selected >= 0 && selected < static_cast<int>(names.size()) ? selected : -1);
}

// Lists whose stored value is the text; a stored text not among the
// choices is kept as a row of its own.
void fillTexts(DialogView& view, const char* control, const std::vector<std::string>& names,
               const std::string& current) {
    view.clearItems(control);
    for (const std::string& name : names)
        view.addItem(control, name);
    int row = view.findItem(control, current);
    if (row < 0 && !current.empty())
        row = view.addItem(control, current);
    view.selectRow(control, row);
}

void fillLookup(DialogView& view, const char* control,
                const std::vector<database::LookupEntry>& entries, long code, bool withNone) {
    view.clearItems(control);
    int selected = -1;
    if (withNone) {
        view.addItem(control, "(None)", 0);
        selected = 0;
    }
    for (const database::LookupEntry& entry : entries) {
        const int row = view.addItem(control, entry.name, entry.code);
        if (entry.code == code)
            selected = row;
    }
    view.selectRow(control, selected);
}

long selectedCode(const DialogView& view, const char* control, long none = 0) {
    const int row = view.selectedRow(control);
    return row < 0 ? none : view.itemCode(control, row);
}

std::string selectedText(const DialogView& view, const char* control) {
    const int row = view.selectedRow(control);
    return row < 0 ? std::string() : view.itemText(control, row);
}

std::string readText(const DialogView& view, const char* control, std::size_t width) {
    return std::string(common::fitText(common::trim(view.text(control)), width));
}

std::string moneyText(double amount) {
    return common::withThousands(amount, 2);
}

std::string hoursText(float hours) {
    return common::fixedText(common::decimalOf(hours), 2);
}

// The control that shows each field the record checks name.
const std::map<std::string, const char*>& controlOfField() {
    static const std::map<std::string, const char*> controls{
        {"lastName", sf::kLastName},
        {"otherNames", sf::kOtherNames},
        {"post", sf::kPostButton},
        {"startDate", sf::kStartDate},
        {"terminationDate", sf::kStartDate},
        {"station", sf::kStation},
        {"leaveEntitlement", sf::kLeaveEntitlement},
        {"payFreq", sf::kPayFreq},
        {"payMethod", sf::kPayMethod},
        {"bankName", sf::kBankButton},
        {"branchName", sf::kBankButton},
        {"accountNum", sf::kAccountNum},
        {"payBasis", sf::kBySalary},
        {"salary", sf::kSalary},
        {"dailyRate", sf::kDailyRate},
        {"hourlyRate", sf::kHourlyRate},
        {"hoursPerDay", sf::kHoursPerDay},
        {"hoursPerMonth", sf::kHoursPerMonth},
        {"timeBasis", sf::kTimeBasis},
        {"normalOvertimeRate", sf::kNormalRate},
        {"doubleOvertimeRate", sf::kDoubleRate},
        {"housingValue", sf::kMarketValue},
        {"housingExpense", sf::kHousingExpense},
        {"rent", sf::kRent},
        {"useTopTaxRate", sf::kTopTaxRate},
        {"coop2", sf::kFund[1]},
        {"pensionFund2", sf::kFund[1]},
    };
    return controls;
}

} // namespace

void STATFRM::setPage(DialogView& page, STATPAGE number) {
    page_ = &page;
    pageNumber_ = number;
}

void STATFRM::clearPage() {
    page_ = &noPage_;
}

bool STATFRM::refuse(const StaffRefusal& refusal) {
    ui_.information(refusal.message);
    const auto found = controlOfField().find(refusal.field);
    if (found != controlOfField().end())
        page_->setFocus(found->second);
    return false;
}

bool STATFRM::validatePage() {
    if (!hasRecord_ || isReadOnly())
        return true;
    readPage();
    if (readFault_) {
        const StaffRefusal fault = *readFault_;
        readFault_.reset();
        return refuse(fault);
    }
    const StaffFault fault = checkPage(pageNumber_, rec_, postFacts());
    return !fault || refuse(*fault);
}

void STATFRM::displayRecord() {
    displayPage();
}

void STATFRM::displayPage() {
    DialogView& page = *page_;
    page.setText(sf::kEmpNum, hasRecord_ ? rec_.empNum : std::string());
    page.setText(sf::kEmployee, hasRecord_ && !rec_.lastName.empty()
                                    ? rec_.lastName + ", " + rec_.otherNames
                                    : std::string());
    switch (pageNumber_) {
    case PERSONAL_DETAILS:
        return displayPersonal();
    case EMPLOYMENT_DETAILS:
        return displayEmployment();
    case CONTACT_INFO:
        return displayContact();
    case PAYMENT:
        return displayPayment();
    case BASIC_PAY:
        return displayBasicPay();
    case OVERTIME:
        return displayOvertime();
    case HOUSING:
        return displayHousing();
    case STATUTORY_DEDUCTIONS:
        return displayStatutory();
    case COOPERATIVES:
        return displayFunds(true);
    case PENSION_FUNDS:
        return displayFunds(false);
    }
}

void STATFRM::readPage() {
    if (!hasRecord_ || page_ == &noPage_)
        return;
    switch (pageNumber_) {
    case PERSONAL_DETAILS:
        return readPersonal();
    case EMPLOYMENT_DETAILS:
        return readEmployment();
    case CONTACT_INFO:
        return readContact();
    case PAYMENT:
        return readPayment();
    case BASIC_PAY:
        return readBasicPay();
    case OVERTIME:
        return readOvertime();
    case HOUSING:
        return readHousing();
    case STATUTORY_DEDUCTIONS:
        return readStatutory();
    case COOPERATIVES:
        return readFunds(true);
    case PENSION_FUNDS:
        return readFunds(false);
    }
}

void STATFRM::readAmount(const char* control, std::string_view label, double& value) {
    double amount = 0;
    if (common::parseAmount(page_->text(control), amount)) {
        value = amount;
    } else if (!readFault_) {
        for (const auto& [field, shown] : controlOfField()) {
            if (shown == control) {
                readFault_ = StaffRefusal{invalidMessage(label), field};
                break;
            }
        }
    }
}

void STATFRM::readHours(const char* control, std::string_view label, float& value) {
    double amount = common::decimalOf(value);
    readAmount(control, label, amount);
    value = static_cast<float>(amount);
}

// Page 1.
void STATFRM::displayPersonal() {
    DialogView& page = *page_;
    page.setText(sf::kLastName, rec_.lastName);
    page.setText(sf::kOtherNames, rec_.otherNames);
    page.setTextLimit(sf::kLastName, static_cast<int>(kNameWidth));
    page.setTextLimit(sf::kOtherNames, static_cast<int>(kOtherNamesWidth));
    fillTexts(page, sf::kTitle, lists::kTitles, rec_.title);
    fillTexts(page, sf::kGender, lists::kGenders, rec_.gender);
    fillTexts(page, sf::kMaritalStatus, lists::kMaritalStatuses, rec_.maritalStatus);
    fillTexts(page, sf::kNationality, lists::kNationalities, rec_.nationality);
    page.setText(sf::kBirthDate, common::formatDate(personnel_.birthDate));
    page.setText(sf::kIdNum, rec_.idNum);
    page.setTextLimit(sf::kIdNum, 14);
}

void STATFRM::readPersonal() {
    const DialogView& page = *page_;
    rec_.lastName = readText(page, sf::kLastName, kNameWidth);
    rec_.otherNames = readText(page, sf::kOtherNames, kOtherNamesWidth);
    rec_.title = std::string(common::fitText(selectedText(page, sf::kTitle), 5));
    rec_.gender = std::string(common::fitText(selectedText(page, sf::kGender), 7));
    rec_.maritalStatus = std::string(common::fitText(selectedText(page, sf::kMaritalStatus), 9));
    rec_.nationality = std::string(common::fitText(selectedText(page, sf::kNationality), 19));
    rec_.idNum = readText(page, sf::kIdNum, 14);
}

// Page 2.
std::string STATFRM::statusText() const {
    if (!rec_.terminated)
        return "Active";
    if (rec_.separated)
        return "Left on " + common::formatDate(rec_.terminationDate);
    return "Active until " + common::formatDate(rec_.terminationDate);
}

void STATFRM::displayEmployment() {
    DialogView& page = *page_;
    page.setText(sf::kStartDate, common::formatDate(rec_.startDate));
    const database::JOBREC* job = lookups_->job(personnel_.job);
    page.setText(sf::kJobTitle, job ? job->title : std::string());
    const database::GRADEREC* grade = job ? lookups_->grade(job->gradeCode) : nullptr;
    page.setText(sf::kGrade, grade ? grade->name : std::string());
    page.setText(sf::kUnit, lookups_->unitName(personnel_.unit));
    fillIndexed(page, sf::kTerms, lists::kTerms, personnel_.terms);
    fillLookup(page, sf::kStation, lookups_->stations, rec_.station, false);
    fillLookup(page, sf::kPayGroup, lookups_->payGroups, personnel_.payGroup, true);
    page.setText(sf::kLeaveEntitlement, hoursText(rec_.leaveEntitlement));
    page.setText(sf::kSupervisor, supervisorText());
    page.setText(sf::kStatus, statusText());
}

void STATFRM::readEmployment() {
    const DialogView& page = *page_;
    common::date start;
    if (common::parseDate(page.text(sf::kStartDate), start))
        rec_.startDate = start;
    else if (!readFault_)
        readFault_ = StaffRefusal{invalidMessage("Start Date"), "startDate"};
    personnel_.terms = static_cast<std::int32_t>(selectedCode(page, sf::kTerms, personnel_.terms));
    rec_.station = static_cast<std::int32_t>(selectedCode(page, sf::kStation));
    personnel_.payGroup = static_cast<std::int32_t>(selectedCode(page, sf::kPayGroup));
    readHours(sf::kLeaveEntitlement, "Leave Entitlement", rec_.leaveEntitlement);
}

// Page 3.
void STATFRM::displayContact() {
    DialogView& page = *page_;
    const std::array<std::pair<const char*, const std::string*>, 8> fields{{
        {sf::kOffice, &rec_.office},
        {sf::kOfficePhone, &rec_.officePhone},
        {sf::kEmail, &rec_.email},
        {sf::kHomePhone, &rec_.homePhone},
        {sf::kMobile, &rec_.mobile},
        {sf::kPoBox, &rec_.poBox},
        {sf::kTown, &rec_.town},
        {sf::kPostCode, &rec_.postCode},
    }};
    for (const auto& [control, value] : fields)
        page.setText(control, *value);
    for (std::size_t line = 0; line < rec_.residentialAddress.size(); ++line)
        page.setText(sf::kAddress[line], rec_.residentialAddress[line]);
}

void STATFRM::readContact() {
    const DialogView& page = *page_;
    rec_.office = readText(page, sf::kOffice, kShortWidth);
    rec_.officePhone = readText(page, sf::kOfficePhone, kShortWidth);
    rec_.email = readText(page, sf::kEmail, 39);
    rec_.homePhone = readText(page, sf::kHomePhone, kShortWidth);
    rec_.mobile = readText(page, sf::kMobile, kShortWidth);
    rec_.poBox = readText(page, sf::kPoBox, 9);
    rec_.town = readText(page, sf::kTown, kShortWidth);
    rec_.postCode = readText(page, sf::kPostCode, 9);
    for (std::size_t line = 0; line < rec_.residentialAddress.size(); ++line)
        rec_.residentialAddress[line] = readText(page, sf::kAddress[line], kBankWidth);
}

// Page 4.
void STATFRM::displayPayment() {
    DialogView& page = *page_;
    fillIndexed(page, sf::kPayFreq, lists::kPayFreqs, rec_.payFreq);
    fillIndexed(page, sf::kPayMethod, lists::kPayMethods, rec_.payMethod);
    page.setText(sf::kBank, rec_.bankName);
    page.setText(sf::kBranch, rec_.branchName);
    page.setText(sf::kAccountNum, rec_.accountNum);
    page.setTextLimit(sf::kAccountNum, static_cast<int>(kBankWidth));
}

void STATFRM::readPayment() {
    const DialogView& page = *page_;
    rec_.payFreq = static_cast<common::PAYFREQ>(selectedCode(page, sf::kPayFreq, rec_.payFreq));
    rec_.payMethod = static_cast<int>(selectedCode(page, sf::kPayMethod, rec_.payMethod));
    rec_.accountNum = readText(page, sf::kAccountNum, kBankWidth);
}

// Page 5.
void STATFRM::displayBasicPay() {
    DialogView& page = *page_;
    page.setChecked(sf::kBySalary, rec_.payBasis == common::kPayBasisSalary);
    page.setChecked(sf::kByDailyRate, rec_.payBasis == common::kPayBasisDaily);
    page.setChecked(sf::kByHourlyRate, rec_.payBasis == common::kPayBasisHourly);
    page.setText(sf::kSalary, moneyText(rec_.salary));
    page.setText(sf::kDailyRate, moneyText(rec_.dailyRate));
    page.setText(sf::kHourlyRate, moneyText(rec_.hourlyRate));
    page.setText(sf::kHoursPerMonth, hoursText(rec_.hoursPerMonth));
    page.setText(sf::kHoursPerDay, hoursText(rec_.hoursPerDay));
    fillIndexed(page, sf::kTimeBasis, lists::kTimeBases, rec_.timeBasis);
    const PostFacts facts = postFacts();
    page.setText(sf::kSalaryRange,
                 facts.grade
                     ? "Salary range of the grade: " + common::withThousands(facts.grade->lowest) +
                           " to " + common::withThousands(facts.grade->highest)
                     : std::string());
    enableBasicPay();
}

void STATFRM::enableBasicPay() {
    DialogView& page = *page_;
    page.setEnabled(sf::kSalary, rec_.payBasis == common::kPayBasisSalary);
    page.setEnabled(sf::kDailyRate, rec_.payBasis == common::kPayBasisDaily);
    page.setEnabled(sf::kHourlyRate, rec_.payBasis == common::kPayBasisHourly);
}

void STATFRM::readBasicPay() {
    const DialogView& page = *page_;
    if (page.isChecked(sf::kBySalary))
        rec_.payBasis = common::kPayBasisSalary;
    else if (page.isChecked(sf::kByDailyRate))
        rec_.payBasis = common::kPayBasisDaily;
    else if (page.isChecked(sf::kByHourlyRate))
        rec_.payBasis = common::kPayBasisHourly;
    readAmount(sf::kSalary, "Salary", rec_.salary);
    readAmount(sf::kDailyRate, "Daily Rate", rec_.dailyRate);
    readAmount(sf::kHourlyRate, "Hourly Rate", rec_.hourlyRate);
    readHours(sf::kHoursPerMonth, "Hours per Month", rec_.hoursPerMonth);
    readHours(sf::kHoursPerDay, "Hours per Day", rec_.hoursPerDay);
    rec_.timeBasis = static_cast<int>(selectedCode(page, sf::kTimeBasis, rec_.timeBasis));
}

void STATFRM::resetSalary() {
    const int before = rec_.payBasis;
    readPage();
    if (rec_.payBasis != before)
        rec_.salary = rec_.dailyRate = rec_.hourlyRate = 0;
    displayPage();
}

// Page 6.
void STATFRM::displayOvertime() {
    DialogView& page = *page_;
    // The rates worked out from the basic pay are shown as they will be saved.
    STATICREC shown = rec_;
    computeFields(shown, personnel_);
    page.setChecked(sf::kPayOvertime, rec_.overtimeEligible != 0);
    const bool normalKeyed = personnel_.normalOvertimeChoice == database::kNormalOvertimeKeyed;
    const bool doubleKeyed = personnel_.doubleOvertimeChoice == database::kDoubleOvertimeKeyed;
    page.setChecked(sf::kNormalFromBasic, !normalKeyed);
    page.setChecked(sf::kNormalKeyed, normalKeyed);
    page.setChecked(sf::kDoubleFromBasic, !doubleKeyed);
    page.setChecked(sf::kDoubleKeyed, doubleKeyed);
    page.setText(sf::kNormalRate, moneyText(shown.normalOvertimeRate));
    page.setText(sf::kDoubleRate, moneyText(shown.doubleOvertimeRate));
    enableOvertime();
}

void STATFRM::enableOvertime() {
    DialogView& page = *page_;
    const bool on = rec_.overtimeEligible != 0;
    for (const char* control :
         {sf::kNormalFromBasic, sf::kNormalKeyed, sf::kDoubleFromBasic, sf::kDoubleKeyed})
        page.setEnabled(control, on);
    page.setEnabled(sf::kNormalRate,
                    on && personnel_.normalOvertimeChoice == database::kNormalOvertimeKeyed);
    page.setEnabled(sf::kDoubleRate,
                    on && personnel_.doubleOvertimeChoice == database::kDoubleOvertimeKeyed);
}

void STATFRM::readOvertime() {
    const DialogView& page = *page_;
    rec_.overtimeEligible = page.isChecked(sf::kPayOvertime) ? 1 : 0;
    personnel_.normalOvertimeChoice = page.isChecked(sf::kNormalKeyed)
                                          ? database::kNormalOvertimeKeyed
                                          : database::kNormalOvertimeFromBasic;
    personnel_.doubleOvertimeChoice = page.isChecked(sf::kDoubleKeyed)
                                          ? database::kDoubleOvertimeKeyed
                                          : database::kDoubleOvertimeFromBasic;
    // A worked-out rate is the form's to set; only a keyed one is read.
    if (personnel_.normalOvertimeChoice == database::kNormalOvertimeKeyed)
        readAmount(sf::kNormalRate, "Normal Overtime Rate", rec_.normalOvertimeRate);
    if (personnel_.doubleOvertimeChoice == database::kDoubleOvertimeKeyed)
        readAmount(sf::kDoubleRate, "Double Overtime Rate", rec_.doubleOvertimeRate);
}

void STATFRM::resetOvertime() {
    readPage();
    if (!rec_.overtimeEligible) {
        personnel_.normalOvertimeChoice = database::kNormalOvertimeFromBasic;
        personnel_.doubleOvertimeChoice = database::kDoubleOvertimeFromBasic;
    }
    displayPage();
}

// Page 7.
void STATFRM::displayHousing() {
    DialogView& page = *page_;
    page.setChecked(sf::kHoused, rec_.housed != 0);
    page.setText(sf::kMarketValue, moneyText(rec_.housingValue));
    page.setText(sf::kHousingExpense, moneyText(rec_.housingExpense));
    page.setText(sf::kRent, moneyText(rec_.rent));
    enableHousing();
}

void STATFRM::enableHousing() {
    for (const char* control : {sf::kMarketValue, sf::kHousingExpense, sf::kRent})
        page_->setEnabled(control, rec_.housed != 0);
}

void STATFRM::readHousing() {
    rec_.housed = page_->isChecked(sf::kHoused) ? 1 : 0;
    readAmount(sf::kMarketValue, "Value of Housing", rec_.housingValue);
    readAmount(sf::kHousingExpense, "Employer's Expense", rec_.housingExpense);
    readAmount(sf::kRent, "Rent to Employer", rec_.rent);
}

void STATFRM::resetHousing() {
    readPage();
    if (!rec_.housed)
        rec_.housingValue = rec_.housingExpense = rec_.rent = 0;
    displayPage();
}

// Page 8.
void STATFRM::displayStatutory() {
    DialogView& page = *page_;
    page.setChecked(sf::kDeductPaye, rec_.payeApplies != 0);
    page.setChecked(sf::kTopTaxRate, rec_.useTopTaxRate != 0);
    page.setEnabled(sf::kTopTaxRate, rec_.payeApplies != 0);
    page.setChecked(sf::kDeductNssf, rec_.nssfMember != 0);
    page.setText(sf::kTin, personnel_.tin);
    page.setText(sf::kNssfNum, personnel_.nssfNum);
    page.setTextLimit(sf::kTin, static_cast<int>(database::PersonnelWidths::kTinWidth));
    page.setTextLimit(sf::kNssfNum, static_cast<int>(database::PersonnelWidths::kNssfNumWidth));
}

void STATFRM::readStatutory() {
    const DialogView& page = *page_;
    rec_.payeApplies = page.isChecked(sf::kDeductPaye) ? 1 : 0;
    rec_.useTopTaxRate = page.isChecked(sf::kTopTaxRate) ? 1 : 0;
    rec_.nssfMember = page.isChecked(sf::kDeductNssf) ? 1 : 0;
    personnel_.tin = readText(page, sf::kTin, database::PersonnelWidths::kTinWidth);
    personnel_.nssfNum = readText(page, sf::kNssfNum, database::PersonnelWidths::kNssfNumWidth);
}

void STATFRM::resetPAYE() {
    readPage();
    if (!rec_.payeApplies)
        rec_.useTopTaxRate = 0;
    displayPage();
}

// Pages 9 and 10.
void STATFRM::displayFunds(bool coops) {
    DialogView& page = *page_;
    const std::array<std::int32_t, 2> codes =
        coops ? std::array{rec_.coop1, rec_.coop2}
              : std::array{rec_.pensionFund1, rec_.pensionFund2};
    const auto& numbers = coops ? personnel_.coopMemberNum : personnel_.pensionMemberNum;
    for (std::size_t slot = 0; slot < 2; ++slot) {
        fillLookup(page, sf::kFund[slot], coops ? lookups_->coops : lookups_->funds, codes[slot],
                   true);
        page.setText(sf::kMemberNum[slot], numbers[slot]);
        page.setTextLimit(sf::kMemberNum[slot],
                          static_cast<int>(database::PersonnelWidths::kMemberNumWidth));
        page.setEnabled(sf::kMemberNum[slot], codes[slot] != 0);
    }
}

void STATFRM::readFunds(bool coops) {
    const DialogView& page = *page_;
    std::array<std::int32_t*, 2> codes = coops ? std::array{&rec_.coop1, &rec_.coop2}
                                               : std::array{&rec_.pensionFund1, &rec_.pensionFund2};
    auto& numbers = coops ? personnel_.coopMemberNum : personnel_.pensionMemberNum;
    for (std::size_t slot = 0; slot < 2; ++slot) {
        *codes[slot] = static_cast<std::int32_t>(selectedCode(page, sf::kFund[slot]));
        numbers[slot] =
            readText(page, sf::kMemberNum[slot], database::PersonnelWidths::kMemberNumWidth);
    }
}

void STATFRM::setCoopMember() {
    readPage();
    if (rec_.coop1 == 0)
        personnel_.coopMemberNum[0].clear();
    if (rec_.coop2 == 0)
        personnel_.coopMemberNum[1].clear();
    displayPage();
}

void STATFRM::setPensionMember() {
    readPage();
    if (rec_.pensionFund1 == 0)
        personnel_.pensionMemberNum[0].clear();
    if (rec_.pensionFund2 == 0)
        personnel_.pensionMemberNum[1].clear();
    displayPage();
}

} // namespace kelo::staffrecords
