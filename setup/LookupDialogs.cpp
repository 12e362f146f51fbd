#include "setup/LookupDialogs.h"

#include "common/Text.h"
#include "database/PostsDb.h"
#include "database/StaticDb.h"
#include "database/TableUse.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

namespace kelo::setup {

using common::DialogView;
using common::Ui;
using database::GRADEREC;
using database::JOBREC;
using database::LookupEntry;
using database::TableUse;

namespace {

constexpr const char* kStaticPath = database::STATDB::kPath;
// The limit columns hold 12 digits.
constexpr double kLimitCeiling = 1e12;
constexpr int kRankDigits = 5;
constexpr int kLimitChars = 15; // 12 digits and their group commas

std::string withoutCommas(std::string_view text) {
    std::string out;
    for (char c : common::trim(text))
        if (c != ',')
            out += c;
    return out;
}

// Not a number when the text does not read as one.
double readAmount(std::string_view text) {
    const std::string s = withoutCommas(text);
    char* end = nullptr;
    errno = 0;
    const double value = s.empty() ? 0 : std::strtod(s.c_str(), &end);
    if (s.empty() || errno != 0 || *end != '\0')
        return std::numeric_limits<double>::quiet_NaN();
    return value;
}

// 0, which no rank may be, when the text does not read as a whole number.
int readRank(std::string_view text) {
    const std::string s = withoutCommas(text);
    char* end = nullptr;
    errno = 0;
    const long value = s.empty() ? 0 : std::strtol(s.c_str(), &end, 10);
    if (s.empty() || errno != 0 || *end != '\0' || value > 99999 || value < -99999)
        return 0;
    return static_cast<int>(value);
}

std::string amountText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0lf", value);
    return buf;
}

std::string invalidField(const char* label) {
    return std::string("The value entered for the \"") + label + "\" field is invalid.";
}

} // namespace

// ---------------------------------------------------------------------------
// LookupList

LookupList::LookupList(database::LookupTable& table, const LookupWords& words)
    : table_(table),
      words_(words) {}

std::string LookupList::inUseText(const char* subject, long count, const char* object,
                                  const char* conclusion) {
    return std::string(subject) + " " + std::to_string(count) + " " + object + " " + conclusion;
}

bool LookupList::refuse(Ui& ui, LookupField field, const std::string& text) {
    fault_ = field;
    ui.warning(text);
    return false;
}

bool LookupList::checkName(Ui& ui, std::string& name, long ownCode) {
    name = common::trim(common::fitText(common::trim(name), database::LookupTable::kNameWidth));
    if (name.empty())
        return refuse(ui, LookupField::Name,
                      std::string("The \"") + words_.nameLabel + "\" field must not be blank." +
                          " " + "Please enter a value for this field.");
    if (table_.gotoName(name) &&
        table_.data()->field(database::LookupTable::kCode)->getLong() != ownCode)
        return refuse(ui, LookupField::Name, words_.nameExists);
    return true;
}

void LookupList::tellWriteFailure(Ui& ui, const std::string& name, const char* what) {
    const bool locked = database::isLockedByOther(table_.code());
    const std::string reason = table_.code().errorText();
    table_.code().setErrorCode(0);
    if (locked)
        ui.warning(TableUse::inUseMessage(table_) + " " + name + " has not been " + what + ".");
    else
        ui.error(TableUse::cantUpdateMessage(table_) + ": " + name + " has not been " + what + "." +
                 (reason.empty() ? "" : " (" + reason + ")"));
}

bool LookupList::lockRow(Ui& ui, long code) {
    if (!table_.isOpen() || !table_.gotoCode(code)) {
        ui.beep();
        return false;
    }
    engine::Data4& data = *table_.data();
    const int rc = data.lock(data.recNo());
    if (rc == engine::r4locked) {
        table_.code().setErrorCode(0);
        fault_ = LookupField::None;
        ui.warning(words_.rowLocked);
        return false;
    }
    if (rc != engine::r4success) {
        tellWriteFailure(ui, std::to_string(code), "changed");
        return false;
    }
    // Another user may have deleted and packed meanwhile: the record number
    // then belongs to another row.
    if (data.deleted() || data.field(database::LookupTable::kCode)->getLong() != code) {
        data.unlock();
        ui.beep();
        return false;
    }
    return true;
}

void LookupList::finishWrite() {
    table_.data()->flush();
    table_.data()->unlock();
    table_.code().setErrorCode(0);
}

bool LookupList::deleteRow(Ui& ui, long code, const std::string& inUse) {
    if (!inUse.empty()) {
        ui.information(inUse);
        return false;
    }
    engine::Data4& data = *table_.data();
    if (data.lockAll() != engine::r4success) {
        table_.code().setErrorCode(0);
        ui.warning(words_.tableLocked);
        return false;
    }
    bool deleted = false;
    if (table_.gotoCode(code)) {
        data.deleteRec();
        deleted = data.pack() == engine::r4success;
    } else {
        ui.beep();
        data.unlock();
        return false;
    }
    if (!deleted) {
        const std::string reason = table_.code().errorText();
        ui.error(TableUse::cantUpdateMessage(table_) + (reason.empty() ? "" : " (" + reason + ")"));
    }
    data.unlock();
    table_.code().setErrorCode(0);
    return deleted;
}

void LookupList::remember() {
    std::error_code ec;
    stamp_ = std::filesystem::last_write_time(table_.path(), ec);
}

void LookupList::fillList(DialogView& list, const std::string& name, int fallbackRow) {
    using namespace lookuplistdlg;
    list.clearItems(List);
    table_.orderByName();
    for (const LookupEntry& e : table_.entries())
        list.addItem(List, e.name, e.code);
    const int count = list.itemCount(List);
    int row = name.empty() ? -1 : list.findItem(List, name);
    if (row < 0)
        row = count == 0 ? -1 : std::min(std::max(fallbackRow, 0), count - 1);
    list.selectRow(List, row);
    list.setEnabled(Delete, count > 0);
    list.setEnabled(Properties, count > 0);
    remember();
}

bool LookupList::initDlg(Ui& ui, DialogView& list) {
    if (!table_.isOpen()) {
        if (!table_.openFile()) {
            ui.error(database::openFailureText(table_.code(), table_.relativePath()));
            table_.code().setErrorCode(0);
            return false;
        }
        opened_ = true;
    }
    if (!openMore(ui)) {
        closeDlg();
        return false;
    }
    list.setCaption(words_.caption);
    fillList(list, {}, 0);
    return true;
}

bool LookupList::refreshIfChanged(DialogView& list) {
    if (!table_.isOpen())
        return false;
    std::error_code ec;
    const auto now = std::filesystem::last_write_time(table_.path(), ec);
    if (ec || now == stamp_)
        return false;
    const int row = list.selectedRow(lookuplistdlg::List);
    const std::string name = row < 0 ? std::string() : list.itemText(lookuplistdlg::List, row);
    fillList(list, name, row);
    return true;
}

void LookupList::closeDlg() {
    cancelPrptsDlg();
    closeMore();
    if (opened_)
        table_.closeFile();
    opened_ = false;
}

long LookupList::getSelCode(const DialogView& list) {
    const int row = list.selectedRow(lookuplistdlg::List);
    if (row < 0)
        return 0;
    TableUse use(table_, nullptr);
    if (!use || !table_.gotoName(list.itemText(lookuplistdlg::List, row)))
        return 0;
    return table_.data()->field(database::LookupTable::kCode)->getLong();
}

long LookupList::selectedCodeOrBeep(Ui& ui, const DialogView& list) {
    const long code = getSelCode(list);
    if (code == 0)
        ui.beep();
    return code;
}

bool LookupList::deleteSelected(Ui& ui, DialogView& list, const std::function<bool(long)>& remove) {
    const int row = list.selectedRow(lookuplistdlg::List);
    const long selected = selectedCodeOrBeep(ui, list);
    if (selected == 0 || !remove(selected))
        return false;
    fillList(list, {}, row - 1);
    return true;
}

void LookupList::cancelPrptsDlg() {
    if (editedCode_ != 0 && table_.isOpen())
        table_.data()->unlock();
    editedCode_ = 0;
}

void LookupList::focusFault(DialogView& prpts) const {
    switch (fault_) {
    case LookupField::Name:
        prpts.setFocus(table_.nameColumn() == database::JOBSDB::kTitle ? jobdlg::Title
                                                                       : lookupnamedlg::Name);
        break;
    case LookupField::Rank:
        prpts.setFocus(gradedlg::Rank);
        break;
    case LookupField::LowerLimit:
        prpts.setFocus(gradedlg::LowerLimit);
        break;
    case LookupField::UpperLimit:
        prpts.setFocus(gradedlg::UpperLimit);
        break;
    case LookupField::Grade:
        prpts.setFocus(jobdlg::Grade);
        break;
    case LookupField::None:
        break;
    }
}

void LookupList::showStored(DialogView& list, const std::string& name) {
    if (table_.isOpen())
        fillList(list, name, list.selectedRow(lookuplistdlg::List));
}

// ---------------------------------------------------------------------------
// NameListDlg

template <class Table>
NameListDlg<Table>::NameListDlg(engine::Code4& code, const common::WorkingFolder& folder,
                                const LookupWords& words)
    : Table(code, folder),
      LookupList(static_cast<database::LookupTable&>(*this), words) {}

template <class Table> long NameListDlg<Table>::addEntry(Ui& ui, const LookupEntry& entry) {
    fault_ = LookupField::None;
    TableUse use(*this, &ui);
    if (!use)
        return 0;
    std::string name = entry.name;
    if (!checkName(ui, name, 0))
        return 0;
    const long code =
        this->appendWithNextCode([&] { this->field(this->nameColumn()).assign(name); });
    if (code == 0) {
        tellWriteFailure(ui, name, "added");
        return 0;
    }
    finishWrite();
    return code;
}

template <class Table> bool NameListDlg<Table>::changeEntry(Ui& ui, const LookupEntry& entry) {
    fault_ = LookupField::None;
    TableUse use(*this, &ui);
    if (!use)
        return false;
    std::string name = entry.name;
    if (!checkName(ui, name, entry.code) || !lockRow(ui, entry.code))
        return false;
    if (!this->updateCurrent([&] { this->field(this->nameColumn()).assign(name); })) {
        tellWriteFailure(ui, name, "changed");
        this->data()->unlock();
        return false;
    }
    finishWrite();
    return true;
}

template <class Table> void NameListDlg<Table>::initNewDlg(DialogView& prpts) {
    prpts.setCaption(words_.propertiesCaption);
    prpts.setText(lookupnamedlg::Name, "");
    prpts.setTextLimit(lookupnamedlg::Name, static_cast<int>(database::LookupTable::kNameWidth));
}

template <class Table>
bool NameListDlg<Table>::closeNewDlg(Ui& ui, DialogView& prpts, DialogView& list) {
    const long code = addEntry(ui, {0, prpts.text(lookupnamedlg::Name)});
    if (code == 0) {
        focusFault(prpts);
        return false;
    }
    showStored(list, this->nameOf(code));
    return true;
}

template <class Table>
bool NameListDlg<Table>::initPrptsDlg(Ui& ui, DialogView& list, DialogView& prpts) {
    const long code = selectedCodeOrBeep(ui, list);
    if (code == 0 || !lockRow(ui, code))
        return false;
    editedCode_ = code;
    initNewDlg(prpts);
    prpts.setText(lookupnamedlg::Name, this->nameOf(code));
    return true;
}

template <class Table>
bool NameListDlg<Table>::closePrptsDlg(Ui& ui, DialogView& prpts, DialogView& list) {
    if (editedCode_ == 0)
        return false;
    if (!changeEntry(ui, {editedCode_, prpts.text(lookupnamedlg::Name)})) {
        focusFault(prpts);
        return false;
    }
    const long code = editedCode_;
    editedCode_ = 0;
    showStored(list, this->nameOf(code));
    return true;
}

namespace {

// The in-use text of a co-operative or pension fund; empty when unused.
std::string fundInUse(long employees, long items, const char* employeesText, const char* itemsText,
                      const char* conclusion) {
    if (employees > 0)
        return std::string("The payroll master file has ") + std::to_string(employees) + " " +
               employeesText + " " + conclusion;
    if (items > 0)
        return std::string("The payroll files have ") + std::to_string(items) + " " + itemsText +
               " " + conclusion;
    return {};
}

} // namespace

template <class Table>
bool NameListDlg<Table>::deleteFund(Ui& ui, long entryCode, long employees, long items,
                                    const char* employeesText, const char* itemsText) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    if (!this->gotoCode(entryCode)) {
        ui.beep();
        return false;
    }
    return deleteRow(ui, entryCode,
                     fundInUse(employees, items, employeesText, itemsText, words_.cannotDelete));
}

template class NameListDlg<database::STATIONSDB>;
template class NameListDlg<database::COOPSDB>;
template class NameListDlg<database::PENSIONSDB>;

// ---------------------------------------------------------------------------
// Stations, co-operatives, pension funds

const LookupWords STATIONSDLG::kWords{
    "Stations",
    "Station Properties",
    "Station Name",
    "Station with this name already exists. Please enter a different name.",
    "This station is currently locked by another user.",
    "Cannot delete this station because another user has locked\nsome of the records in the "
    "Stations file. Try again later.",
    "The station can therefore not be deleted."};

const LookupWords COOPSDLG::kWords{
    "Co-operatives",
    "Co-operative Properties",
    "Coop Name",
    "Coop with this name already exists. Please enter a different name.",
    "This coop is currently locked by another user.",
    "Cannot delete this coop because another user has locked\nsome of the records in the Coops "
    "file. Try again later.",
    "The co-operative can therefore not be deleted."};

const LookupWords PENSIONSDLG::kWords{
    "Pension Funds",
    "Pension Fund Properties",
    "Pension Fund Name",
    "Pension fund with this name already exists. Please enter a different name.",
    "This pension fund is currently locked by another user.",
    "Cannot delete this pension fund because another user has locked\nsome of the records in "
    "the Pension Funds file. Try again later.",
    "The pension fund can therefore not be deleted."};

const LookupWords GRADESDLG::kWords{
    "Grades",
    "Grade Properties",
    "Grade Name",
    "Grade with this name already exists. Please enter a different name.",
    "This grade is currently locked by another user.",
    "Cannot delete this grade because another user has locked\nsome of the records in the "
    "Grades file. Try again later.",
    "The grade can therefore not be deleted."};

const LookupWords JOBSDLG::kWords{
    "Jobs",
    "Job Properties",
    "Job Title",
    "Job with this title already exists. Please enter a different title.",
    "This job is currently locked by another user.",
    "Cannot delete this job because another user has locked\nsome of the records in the Jobs "
    "file. Try again later.",
    "The job can therefore not be deleted."};

STATIONSDLG::STATIONSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : NameListDlg(code, folder, kWords) {}

bool STATIONSDLG::checkFiles(Ui& ui) {
    return database::allValid(ui, code(), folder(), {kPath, kStaticPath});
}

bool STATIONSDLG::deleteEntry(Ui& ui, long entryCode) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    if (!gotoCode(entryCode)) {
        ui.beep();
        return false;
    }
    database::STATDB personnel(code(), folder());
    const std::optional<long> employees =
        personnel.getMemberCnt(database::STATDB::ByStation, entryCode);
    code().setErrorCode(0);
    // Without the count the station may be in use: it stays.
    if (!employees) {
        ui.error("Can't open " + std::string(kStaticPath));
        return false;
    }
    return deleteRow(ui, entryCode,
                     *employees > 0
                         ? inUseText("The personnel file has", *employees,
                                     "employee(s) assigned to this station.", kWords.cannotDelete)
                         : std::string());
}

bool STATIONSDLG::deleteStation(Ui& ui, DialogView& list) {
    return deleteSelected(ui, list, [&](long selected) { return deleteEntry(ui, selected); });
}

COOPSDLG::COOPSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : NameListDlg(code, folder, kWords) {}

bool COOPSDLG::checkFiles(Ui& ui) {
    return database::allValid(ui, code(), folder(), {kPath, kStaticPath});
}

bool COOPSDLG::deleteEntry(Ui& ui, long entryCode, long employees, long items) {
    return deleteFund(ui, entryCode, employees, items,
                      "employee(s) belonging to this co-operative.",
                      "deduction(s) relating to this co-operative.");
}

bool COOPSDLG::deleteCoop(Ui& ui, DialogView& list, long employees, long items) {
    return deleteSelected(
        ui, list, [&](long selected) { return deleteEntry(ui, selected, employees, items); });
}

PENSIONSDLG::PENSIONSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : NameListDlg(code, folder, kWords) {}

bool PENSIONSDLG::checkFiles(Ui& ui) {
    return database::allValid(ui, code(), folder(), {kPath, kStaticPath});
}

bool PENSIONSDLG::deleteEntry(Ui& ui, long entryCode, long employees, long items) {
    return deleteFund(ui, entryCode, employees, items,
                      "employee(s) belonging to this pension fund.",
                      "deduction(s) relating to this pension fund.");
}

bool PENSIONSDLG::deletePension(Ui& ui, DialogView& list, long employees, long items) {
    return deleteSelected(
        ui, list, [&](long selected) { return deleteEntry(ui, selected, employees, items); });
}

// ---------------------------------------------------------------------------
// Grades

GRADESDLG::GRADESDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : GRADESDB(code, folder),
      LookupList(static_cast<database::LookupTable&>(*this), kWords) {}

bool GRADESDLG::checkFiles(Ui& ui) {
    return database::allValid(ui, code(), folder(), {kPath, database::JOBSDB::kPath});
}

bool GRADESDLG::checkGrade(Ui& ui, GRADEREC& rec, long ownCode) {
    if (!checkName(ui, rec.name, ownCode))
        return false;
    if (rec.rank <= 0)
        return refuse(ui, LookupField::Rank, "Rank must be greater than 0.");
    // NaN, a text that did not read as a number, fails both comparisons.
    const auto fits = [](double v) { return v >= 0 && v < kLimitCeiling; };
    for (common::PAYFREQ f : common::kPayFreqs) {
        if (!fits(rec.lowerLimit[f]))
            return refuse(ui, LookupField::LowerLimit, invalidField("Lower Limit"));
        if (!fits(rec.upperLimit[f]))
            return refuse(ui, LookupField::UpperLimit, invalidField("Upper Limit"));
        if (rec.lowerLimit[f] > rec.upperLimit[f])
            return refuse(ui, LookupField::LowerLimit,
                          "The \"Lower Limit\" must not exceed the \"Upper Limit\".");
    }
    return true;
}

long GRADESDLG::addEntry(Ui& ui, GRADEREC rec) {
    fault_ = LookupField::None;
    TableUse use(*this, &ui);
    if (!use || !checkGrade(ui, rec, 0))
        return 0;
    if (!appendRecord(rec)) {
        tellWriteFailure(ui, rec.name, "added");
        return 0;
    }
    finishWrite();
    return rec.code;
}

bool GRADESDLG::changeEntry(Ui& ui, const GRADEREC& changed) {
    fault_ = LookupField::None;
    TableUse use(*this, &ui);
    GRADEREC rec = changed;
    if (!use || !checkGrade(ui, rec, rec.code) || !lockRow(ui, rec.code))
        return false;
    const GRADEREC before = currentRec();
    if (!updateRecord(rec)) {
        tellWriteFailure(ui, rec.name, "changed");
        data()->unlock();
        return false;
    }
    finishWrite();
    if (before.lowerLimit != rec.lowerLimit || before.upperLimit != rec.upperLimit)
        limitsChanged_ = true;
    return true;
}

bool GRADESDLG::deleteEntry(Ui& ui, long entryCode) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    if (!gotoCode(entryCode)) {
        ui.beep();
        return false;
    }
    database::JOBSDB jobs(code(), folder());
    TableUse jobsUse(jobs, &ui);
    if (!jobsUse)
        return false;
    const long count = jobs.getGradeCnt(entryCode);
    return deleteRow(ui, entryCode,
                     count > 0 ? inUseText("The jobs file has", count,
                                           "job(s) belonging to this grade.", kWords.cannotDelete)
                               : std::string());
}

void GRADESDLG::initNewGradeDlg(DialogView& prpts) {
    prpts.setCaption(kWords.propertiesCaption);
    prpts.setText(gradedlg::Name, "");
    prpts.setTextLimit(gradedlg::Name, static_cast<int>(kNameWidth));
    prpts.setText(gradedlg::Rank, "1");
    prpts.setTextLimit(gradedlg::Rank, kRankDigits);
    for (const char* limit : {gradedlg::LowerLimit, gradedlg::UpperLimit}) {
        prpts.setText(limit, "0");
        prpts.setTextLimit(limit, kLimitChars);
    }
}

GRADEREC GRADESDLG::readDlg(const DialogView& prpts) const {
    GRADEREC rec; // the other frequencies' limits stay 0
    rec.code = editedCode_;
    rec.name = prpts.text(gradedlg::Name);
    rec.rank = readRank(prpts.text(gradedlg::Rank));
    rec.lowerLimit[common::MONTHLY] = readAmount(prpts.text(gradedlg::LowerLimit));
    rec.upperLimit[common::MONTHLY] = readAmount(prpts.text(gradedlg::UpperLimit));
    return rec;
}

bool GRADESDLG::closeNewGradeDlg(Ui& ui, DialogView& prpts, DialogView& list) {
    const long newCode = addEntry(ui, readDlg(prpts));
    if (newCode == 0) {
        focusFault(prpts);
        return false;
    }
    showStored(list, getGradeName(newCode));
    return true;
}

bool GRADESDLG::initPrptsDlg(Ui& ui, DialogView& list, DialogView& prpts) {
    const long selected = selectedCodeOrBeep(ui, list);
    if (selected == 0 || !lockRow(ui, selected))
        return false;
    editedCode_ = selected;
    const GRADEREC rec = currentRec();
    initNewGradeDlg(prpts);
    prpts.setText(gradedlg::Name, rec.name);
    prpts.setText(gradedlg::Rank, std::to_string(rec.rank));
    prpts.setText(gradedlg::LowerLimit, amountText(rec.lowerLimit[common::MONTHLY]));
    prpts.setText(gradedlg::UpperLimit, amountText(rec.upperLimit[common::MONTHLY]));
    return true;
}

bool GRADESDLG::closePrptsDlg(Ui& ui, DialogView& prpts, DialogView& list) {
    if (editedCode_ == 0)
        return false;
    if (!changeEntry(ui, readDlg(prpts))) {
        focusFault(prpts);
        return false;
    }
    const long edited = editedCode_;
    editedCode_ = 0;
    showStored(list, getGradeName(edited));
    return true;
}

bool GRADESDLG::deleteGrade(Ui& ui, DialogView& list) {
    return deleteSelected(ui, list, [&](long selected) { return deleteEntry(ui, selected); });
}

// ---------------------------------------------------------------------------
// Jobs

JOBSDLG::JOBSDLG(engine::Code4& code, const common::WorkingFolder& folder)
    : JOBSDB(code, folder),
      LookupList(static_cast<database::LookupTable&>(*this), kWords),
      grades_(code, folder) {}

bool JOBSDLG::checkFiles(Ui& ui) {
    return database::allValid(
               ui, code(), folder(),
               {kPath, database::GRADESDB::kPath, database::POSTSDB::kPath, kStaticPath}) &&
           database::hasData(ui, code(), folder(), database::GRADESDB::kPath, "Job Grades");
}

bool JOBSDLG::openFiles() {
    if (!openFile(true) || !grades_.openFile(false)) {
        const int error = code().errorCode();
        closeFiles();
        code().setErrorCode(error);
        return false;
    }
    orderByTitle();
    grades_.orderByName();
    return true;
}

void JOBSDLG::closeFiles() {
    closeFile();
    grades_.closeFile();
}

bool JOBSDLG::openMore(Ui& ui) {
    if (grades_.isOpen())
        return true;
    if (!grades_.openFile()) {
        ui.error(database::openFailureText(code(), grades_.relativePath()));
        code().setErrorCode(0);
        return false;
    }
    gradesOpened_ = true;
    return true;
}

void JOBSDLG::closeMore() {
    if (gradesOpened_)
        grades_.closeFile();
    gradesOpened_ = false;
}

bool JOBSDLG::checkJob(Ui& ui, JOBREC& rec, long ownCode) {
    if (!checkName(ui, rec.title, ownCode))
        return false;
    TableUse gradesUse(grades_, &ui);
    if (!gradesUse)
        return false;
    if (rec.gradeCode == 0 || grades_.getGradeName(rec.gradeCode).empty())
        return refuse(ui, LookupField::Grade, invalidField("Grade"));
    rec.description = std::string(common::fitText(rec.description, kDescriptionWidth));
    return true;
}

long JOBSDLG::addEntry(Ui& ui, JOBREC rec) {
    fault_ = LookupField::None;
    TableUse use(*this, &ui);
    if (!use || !checkJob(ui, rec, 0))
        return 0;
    if (!appendRecord(rec)) {
        tellWriteFailure(ui, rec.title, "added");
        return 0;
    }
    finishWrite();
    return rec.code;
}

bool JOBSDLG::changeEntry(Ui& ui, const JOBREC& changed) {
    fault_ = LookupField::None;
    TableUse use(*this, &ui);
    JOBREC rec = changed;
    if (!use || !checkJob(ui, rec, rec.code) || !lockRow(ui, rec.code))
        return false;
    const long gradeBefore = currentRec().gradeCode;
    if (!updateRecord(rec)) {
        tellWriteFailure(ui, rec.title, "changed");
        data()->unlock();
        return false;
    }
    finishWrite();
    if (gradeBefore != rec.gradeCode)
        gradeChanged_ = true;
    return true;
}

bool JOBSDLG::deleteEntry(Ui& ui, long entryCode) {
    TableUse use(*this, &ui);
    if (!use)
        return false;
    if (!gotoCode(entryCode)) {
        ui.beep();
        return false;
    }
    database::POSTSDB posts(code(), folder());
    TableUse postsUse(posts, &ui);
    if (!postsUse)
        return false;
    const long count = posts.getMemberCnt(database::POSTSDB::ByJob, entryCode);
    return deleteRow(ui, entryCode,
                     count > 0 ? inUseText("The posts file has", count, "post(s) of this type.",
                                           kWords.cannotDelete)
                               : std::string());
}

void JOBSDLG::initNewJobDlg(DialogView& prpts) {
    prpts.setCaption(kWords.propertiesCaption);
    prpts.setText(jobdlg::Title, "");
    prpts.setTextLimit(jobdlg::Title, static_cast<int>(kNameWidth));
    prpts.setText(jobdlg::Description, "");
    prpts.setTextLimit(jobdlg::Description, static_cast<int>(kDescriptionWidth));
    prpts.clearItems(jobdlg::Grade);
    TableUse gradesUse(grades_, nullptr);
    if (gradesUse) {
        grades_.orderByName();
        for (const database::LookupEntry& g : grades_.entries())
            prpts.addItem(jobdlg::Grade, g.name, g.code);
    }
    prpts.selectRow(jobdlg::Grade, -1);
}

JOBREC JOBSDLG::readDlg(const DialogView& prpts) {
    JOBREC rec;
    rec.code = editedCode_;
    rec.title = prpts.text(jobdlg::Title);
    const int row = prpts.selectedRow(jobdlg::Grade);
    if (row >= 0) {
        TableUse gradesUse(grades_, nullptr);
        rec.gradeCode = gradesUse ? grades_.getGradeCode(prpts.itemText(jobdlg::Grade, row)) : 0;
    }
    rec.description = prpts.text(jobdlg::Description);
    return rec;
}

bool JOBSDLG::closeNewJobDlg(Ui& ui, DialogView& prpts, DialogView& list) {
    const long newCode = addEntry(ui, readDlg(prpts));
    if (newCode == 0) {
        focusFault(prpts);
        return false;
    }
    showStored(list, getJobTitle(newCode));
    return true;
}

bool JOBSDLG::initPrptsDlg(Ui& ui, DialogView& list, DialogView& prpts) {
    const long selected = selectedCodeOrBeep(ui, list);
    if (selected == 0 || !lockRow(ui, selected))
        return false;
    editedCode_ = selected;
    const JOBREC rec = currentRec();
    initNewJobDlg(prpts);
    prpts.setText(jobdlg::Title, rec.title);
    prpts.setText(jobdlg::Description, rec.description);
    TableUse gradesUse(grades_, nullptr);
    const std::string grade = gradesUse ? grades_.getGradeName(rec.gradeCode) : std::string();
    prpts.selectRow(jobdlg::Grade, grade.empty() ? -1 : prpts.findItem(jobdlg::Grade, grade));
    return true;
}

bool JOBSDLG::closePrptsDlg(Ui& ui, DialogView& prpts, DialogView& list) {
    if (editedCode_ == 0)
        return false;
    if (!changeEntry(ui, readDlg(prpts))) {
        focusFault(prpts);
        return false;
    }
    const long edited = editedCode_;
    editedCode_ = 0;
    showStored(list, getJobTitle(edited));
    return true;
}

bool JOBSDLG::deleteJob(Ui& ui, DialogView& list) {
    return deleteSelected(ui, list, [&](long selected) { return deleteEntry(ui, selected); });
}

} // namespace kelo::setup
