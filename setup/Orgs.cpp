#include "setup/Orgs.h"

#include "common/Calendar.h"
#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/AbsenceDb.h"
#include "database/CoopsDb.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/LeaveDb.h"
#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/PayGroupDb.h"
#include "database/PayLogDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/PensionsDb.h"
#include "database/PostsDb.h"
#include "database/SdlDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "database/VarDb.h"

#include <charconv>
#include <ctime>
#include <filesystem>

namespace kelo::setup {

namespace fs = std::filesystem;
using common::DialogView;
using common::ORGREC;

namespace {

std::string limited(std::string text, std::size_t width) {
    if (text.size() > width)
        text.resize(width);
    return text;
}

std::string trimmedText(const DialogView& dialog, const char* control, std::size_t width) {
    return limited(common::trim(dialog.text(control)), width);
}

int monthLength(const ORGREC& org) {
    return common::daysInMonth(common::monthNumber(org.month), org.year);
}

std::string nextMonth(const std::string& month) {
    const int number = common::monthNumber(month);
    return common::monthName(number % 12 + 1);
}

bool readWhole(std::string_view text, long& value) {
    text = std::string_view(text).substr(0, text.find_last_not_of(' ') + 1);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::string selectedText(const DialogView& dialog, const char* control) {
    const int row = dialog.selectedRow(control);
    return row < 0 ? dialog.text(control) : dialog.itemText(control, row);
}

void fillMonths(DialogView& dialog, const std::string& selected) {
    dialog.clearItems(orgdlg::Month);
    for (int m = 1; m <= 12; ++m)
        dialog.addItem(orgdlg::Month, common::monthName(m), m);
    dialog.selectRow(orgdlg::Month, common::monthNumber(selected) - 1);
}

const char* fieldsFileComment(common::PAYFREQ payFreq) {
    switch (payFreq) {
    case common::WEEKLY:
        return "Weekly payroll fields file";
    case common::BIWEEKLY:
        return "Biweekly payroll fields file";
    case common::IRREGULAR:
        return "Irregular payroll fields file";
    default:
        return "Monthly payroll fields file";
    }
}

} // namespace

ORGS::ORGS(common::Ui& ui, engine::Code4& code, common::WorkingFolder& folder)
    : ORGDB(code, folder),
      ui_(ui),
      folder_(folder) {
    openFile(false);
    code.setErrorCode(0);
}

ORGS::~ORGS() {
    closeBankFiles();
    closeFile();
}

std::string ORGS::caption() const {
    return std::string(common::kMessageCaption) + " - " + open_.name;
}

int ORGS::orgCount() {
    return ORGDB::orgCount();
}

int ORGS::hasMaxOrg() {
    const int count = orgCount();
    if (count < kMaxOrganisations)
        return 0;
    ui_.information("You already have " + std::to_string(count) +
                    " organisations which is the maximum supported.");
    return 1;
}

void ORGS::initNewOrgDlg(DialogView& dialog) {
    dialog.setCaption("New Organisation");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    fillMonths(dialog, common::monthName(local.tm_mon + 1));
    dialog.setText(orgdlg::Year, std::to_string(local.tm_year + 1900));
    dialog.setText(orgdlg::Name, "");
}

bool ORGS::validate(DialogView& dialog, Purpose purpose) {
    const std::string name = trimmedText(dialog, orgdlg::Name, 99);
    if (name.empty()) {
        ui_.information("Please enter name of organisation.");
        dialog.setFocus(orgdlg::Name);
        return false;
    }
    if (isOpen() && findByName(name) &&
        (purpose == Purpose::Create || data()->recNo() != open_.orgNum)) {
        ui_.information("Organisation with this name already exists. Please enter a different "
                        "name.");
        dialog.setFocus(orgdlg::Name);
        return false;
    }
    long year = 0;
    if (!readWhole(dialog.text(orgdlg::Year), year) || year < 1900 || year > 3000) {
        ui_.information("Entry for year field is invalid.");
        dialog.setFocus(orgdlg::Year);
        return false;
    }
    return common::monthNumber(selectedText(dialog, orgdlg::Month)) != 0;
}

bool ORGS::writeDefaultFieldsFile(common::PAYFREQ payFreq) {
    const std::string path(common::payFieldDefinitionsPath(payFreq));
    common::StatusText status(ui_, "Creating " + path + "...");
    common::TaggedWriter w(folder_.resolve(path));
    bool ok = w.writeComment(fieldsFileComment(payFreq)) &&
              w.writeComment("[" + folder_.current() + "/" + path + "]") && w.writeComment("") &&
              w.writeTag("fileid", common::TagKind::GroupStart) &&
              w.writeValue(common::fileKind::PayrollFields) && w.writeValue(path) &&
              w.writeValue("4.2") && w.writeTag("", common::TagKind::GroupEnd);
    struct Item {
        const char* number;
        const char* name;
        const char* function;
        const char* limit;
        const char* flag;
    };
    auto writeBlock = [&w, &ok](const char* block, std::initializer_list<Item> items) {
        ok = ok && w.writeTag(block, common::TagKind::BlockStart);
        for (const Item& item : items) {
            ok = ok && w.writeTag("item", common::TagKind::GroupStart, 1);
            for (const char* value : {item.number, item.number, item.name, item.name, item.function,
                                      "0", "0", item.limit, item.flag, "1", "1"})
                ok = ok && w.writeValue(value);
            ok = ok && w.writeTag("", common::TagKind::GroupEnd);
        }
        ok = ok && w.writeTag(block, common::TagKind::BlockEnd);
    };
    writeBlock("earnings", {{"1", "Basic Pay", "Use Built-In Function", "200000", "0"},
                            {"2", "Overtime", "Use Built-In Function", "100000", "0"}});
    writeBlock("deductions", {{"1", "Rent", "Defined in Master File", "50000", "1"}});
    writeBlock("benefits", {});
    writeBlock("lumpsums", {});
    writeBlock("refunds", {});
    ok = w.writeEof() && w.close() && ok;
    if (!ok)
        ui_.error("Can't create " + path);
    return ok;
}

bool ORGS::createOrgFiles() {
    engine::Code4& engine = code();
    if (!database::STATDB(engine, folder_).createFile(ui_))
        return false;
    for (common::PAYFREQ f : common::kPayFreqs) {
        if (!writeDefaultFieldsFile(f))
            return false;
    }
    for (common::PAYFREQ f : common::kPayFreqs) {
        if (!database::VARDB(engine, folder_).createFile(ui_, f))
            return false;
    }
    const bool ok = database::ABSENCEDB(engine, folder_, ui_).createFile(ui_) &&
                    database::LEAVEDB(engine, folder_, ui_).createFile(ui_) &&
                    database::GRADESDB(engine, folder_).createFile(ui_) &&
                    database::UNITSDB(engine, folder_).createFile(ui_) &&
                    database::JOBSDB(engine, folder_).createFile(ui_) &&
                    database::POSTSDB(engine, folder_).createFile(ui_) &&
                    database::STATIONSDB(engine, folder_).createFile(ui_) &&
                    database::PAYGROUPDB(engine, folder_).createFile(ui_) &&
                    database::COOPSDB(engine, folder_).createFile(ui_) &&
                    database::PENSIONSDB(engine, folder_).createFile(ui_) &&
                    database::OPTIONSDB(engine, folder_).createFile(ui_) &&
                    database::PAYLOGDB(engine, folder_).createFile(ui_);
    return ok;
}

int ORGS::createNewOrg(DialogView& dialog) {
    const std::string previous = folder_.current();
    if (!validate(dialog, Purpose::Create))
        return 0;
    ORGREC org = common::newOrgRec(orgCount() + 1);
    org.name = trimmedText(dialog, orgdlg::Name, common::OrgWidths::kNameWidth);
    org.month = common::monthName(common::monthNumber(selectedText(dialog, orgdlg::Month)));
    long year = 0;
    readWhole(dialog.text(orgdlg::Year), year);
    org.year = static_cast<std::int32_t>(year);
    org.fiscalYear = common::fiscalYearOf(common::monthNumber(org.month), org.year);

    const std::string orgPath = folder_.resolve(org.folder);
    std::error_code error;
    if (fs::exists(orgPath, error))
        fs::remove_all(orgPath, error); // leftovers of an earlier organisation
    bool ok = fs::create_directories(orgPath, error) && !error;
    if (!ok) {
        ui_.error("Can't open " + org.folder);
        return 0;
    }
    folder_.moveTo(org.folder);
    const std::string yearFolder = std::to_string(org.year);
    for (const std::string& sub :
         {std::string("database"), std::string("settings"), std::string("graphics"), yearFolder})
        ok = ok && fs::create_directories(folder_.resolve(sub), error) && !error;
    ok = ok && createOrgFiles();
    // The row comes last: a creation that failed leaves nothing behind.
    engine::Data4* table = data();
    ok = ok && table && table->appendStart() == engine::r4success;
    if (ok) {
        table->blank();
        storeRec(org);
        ok = table->append() == engine::r4success;
        table->unlock();
    }
    if (!ok) {
        code().setErrorCode(0);
        folder_.moveTo(previous);
        fs::remove_all(orgPath, error);
        return 0;
    }
    loadOpenRec();
    return 1;
}

void ORGS::loadOpenRec() {
    loadRec(open_);
}

bool ORGS::saveOpenRec(const std::string& previousName) {
    if (!isOpen() || !findByName(previousName.empty() ? open_.name : previousName))
        return false;
    engine::Data4& table = *data();
    if (table.lock(table.recNo()) != engine::r4success)
        return false;
    storeRec(open_);
    const bool written = table.flush() == engine::r4success;
    table.unlock();
    if (!written)
        code().setErrorCode(0);
    return written;
}

int ORGS::initOrgList(DialogView& dialog, const std::string& caption) {
    dialog.setCaption(caption);
    dialog.clearItems(orglistdlg::List);
    if (isOpen()) {
        engine::Data4& table = *data();
        orderByName();
        for (int rc = table.top(); rc == engine::r4success; rc = table.skip()) {
            ORGREC row;
            loadRec(row);
            if (!table.deleted() && row.orgNum != open_.orgNum)
                dialog.addItem(orglistdlg::List, row.name, row.orgNum);
        }
    }
    if (dialog.itemCount(orglistdlg::List) == 0) {
        ui_.information("No other organisations were found.");
        return 0;
    }
    return 1;
}

int ORGS::openSelOrg(DialogView& dialog) {
    const int row = dialog.selectedRow(orglistdlg::List);
    if (row < 0 || !isOpen() || !findByName(dialog.itemText(orglistdlg::List, row)))
        return 0;
    loadOpenRec();
    folder_.moveTo(open_.folder);
    return 1;
}

void ORGS::initDelOrgDlg(DialogView& caution) {
    caution.setCaption("Delete Organisation");
    caution.setText(cautiontext::Text,
                    "Deleting an organisation will cause all its data files to be deleted. You "
                    "are strongly advised to back up these files before continuing.");
    ui_.beep();
}

bool ORGS::removeOrgFiles(const std::string& orgFolder, bool wholeTree) {
    const std::string prefix = orgFolder.substr(0, 6);
    if (!common::WorkingFolder::samePath(prefix, "../org")) {
        ui_.error("Cannot delete files in " + orgFolder +
                  " as it is not a valid organisation directory.");
        return false;
    }
    const fs::path root = folder_.resolve(orgFolder);
    std::error_code error;
    if (!fs::is_directory(root, error))
        return true;
    for (const auto& entry : fs::directory_iterator(root, error)) {
        if (!entry.is_directory(error))
            continue;
        for (const auto& file : fs::recursive_directory_iterator(entry.path(), error)) {
            if (!file.is_regular_file(error))
                continue;
            const std::string extension = file.path().extension().string();
            if (!wholeTree &&
                !(extension.size() == 4 && (extension[1] == 'd' || extension[1] == 'D')))
                continue;
            common::StatusText status(ui_, "Deleting " + file.path().filename().string() + "...");
            fs::remove(file.path(), error);
        }
        if (wholeTree)
            fs::remove_all(entry.path(), error);
    }
    if (wholeTree)
        fs::remove_all(root, error);
    return true;
}

int ORGS::deleteOrg(DialogView& dialog) {
    const int row = dialog.selectedRow(orglistdlg::List);
    if (row < 0 || !isOpen())
        return 0;
    const std::string name = dialog.itemText(orglistdlg::List, row);
    if (!findByName(name))
        return 0;
    ORGREC doomed;
    loadRec(doomed);
    if (doomed.orgNum == open_.orgNum && open_.orgNum != 0)
        return 0;
    dialog.setVisible(orglistdlg::List, false);
    if (ui_.message("Are you sure you want to delete " + name + " and all its data files?",
                    common::MessageIcon::Question,
                    common::MessageButtons::YesNo) != common::Answer::Yes ||
        ui_.message("Will now delete " + name + " and all its data files.",
                    common::MessageIcon::Warning,
                    common::MessageButtons::OkCancel) != common::Answer::Ok) {
        ui_.information(name + " has not been deleted.");
        return 0;
    }
    if (!removeOrgFiles(doomed.folder, true))
        return 0;
    engine::Data4& table = *data();
    if (table.lockAll() == engine::r4success) {
        if (findByName(name)) {
            table.deleteRec();
            table.pack();
        }
        table.unlock();
    }
    renumber();
    ui_.information(name + " has been deleted.");
    return 1;
}

void ORGS::renumber() {
    engine::Data4& table = *data();
    if (table.lockAll() != engine::r4success)
        return;
    table.select(nullptr);
    for (int rc = table.top(); rc == engine::r4success; rc = table.skip()) {
        ORGREC row;
        loadRec(row);
        const std::string expected = common::orgFolder(row.orgNum);
        if (common::WorkingFolder::samePath(row.folder, expected))
            continue;
        std::error_code error;
        fs::rename(folder_.resolve(row.folder), folder_.resolve(expected), error);
        if (error)
            continue; // the row keeps its folder
        const bool wasOpen = common::WorkingFolder::samePath(row.folder, open_.folder);
        row.folder = expected;
        storeRec(row);
        if (wasOpen) {
            open_.orgNum = row.orgNum;
            open_.folder = expected;
        }
    }
    table.flush();
    table.unlock();
    orderByName();
    if (open_.orgNum != 0) {
        folder_.moveToSystem();
        folder_.moveTo(open_.folder);
    }
}

void ORGS::displayBasicInfo(DialogView& dialog) {
    dialog.setText(orgdlg::Name, open_.name);
    dialog.setText(orgdlg::Folder, folder_.resolve(open_.folder));
    dialog.setText(orgdlg::PoBox, open_.poBox);
    dialog.setText(orgdlg::Town, open_.town);
    dialog.setText(orgdlg::PostCode, open_.postCode);
    dialog.setText(orgdlg::Telephone, open_.telephone);
    fillMonths(dialog, open_.month);
    dialog.setText(orgdlg::Year, std::to_string(open_.year));
    dialog.setEnabled(orgdlg::Month, open_.monthEditable != 0);
    dialog.setEnabled(orgdlg::Year, open_.monthEditable != 0);
}

int ORGS::saveBasicInfo(DialogView& dialog) {
    const std::string previousName = open_.name;
    if (!validate(dialog, Purpose::Edit))
        return 0;
    const std::string name = trimmedText(dialog, orgdlg::Name, common::OrgWidths::kNameWidth);
    if (name != open_.name)
        open_.name = name;
    open_.poBox = trimmedText(dialog, orgdlg::PoBox, common::OrgWidths::kPoBoxWidth);
    open_.postCode = trimmedText(dialog, orgdlg::PostCode, common::OrgWidths::kPostCodeWidth);
    open_.town = trimmedText(dialog, orgdlg::Town, common::OrgWidths::kTownWidth);
    open_.telephone = trimmedText(dialog, orgdlg::Telephone, common::OrgWidths::kTelephoneWidth);
    if (open_.monthEditable) {
        long year = open_.year;
        readWhole(dialog.text(orgdlg::Year), year);
        if (year != open_.year) {
            std::error_code error;
            fs::rename(folder_.resolve(std::to_string(open_.year)),
                       folder_.resolve(std::to_string(year)), error);
            open_.year = static_cast<std::int32_t>(year);
        }
        open_.month = common::monthName(common::monthNumber(selectedText(dialog, orgdlg::Month)));
        const int length = monthLength(open_);
        for (std::int32_t* day : {&open_.weekEndDay, &open_.fortnightEndDay, &open_.irregEndDay})
            *day = std::min(*day, length);
        open_.fiscalYear = common::fiscalYearOf(common::monthNumber(open_.month), open_.year);
    }
    saveOpenRec(previousName);
    return 1;
}

void ORGS::displayPayInfo(DialogView& dialog) {
    dialog.setText(payinfodlg::ItNum, open_.itNum);
    dialog.setText(payinfodlg::NssfNum, open_.nssfNum);
    dialog.setText(payinfodlg::RegionalCode, open_.regionalCode);
    banks_ = std::make_unique<database::BANKSDB>(code(), folder_);
    banks_->openFiles();
    code().setErrorCode(0);
    dialog.clearItems(payinfodlg::Bank);
    dialog.addItem(payinfodlg::Bank, "");
    for (const std::string& bank : banks_->bankNames())
        dialog.addItem(payinfodlg::Bank, bank);
    dialog.selectRow(payinfodlg::Bank,
                     std::max(0, dialog.findItem(payinfodlg::Bank, open_.bankName)));
    dialog.clearItems(payinfodlg::Branch);
    dialog.addItem(payinfodlg::Branch, "");
    for (const std::string& branch : banks_->branchNames(open_.bankName))
        dialog.addItem(payinfodlg::Branch, branch);
    dialog.selectRow(payinfodlg::Branch,
                     std::max(0, dialog.findItem(payinfodlg::Branch, open_.branchName)));
    dialog.setText(payinfodlg::AccountNum, open_.accountNum);
    dialog.setText(payinfodlg::SfiSenderId, open_.sfiSenderId);
}

void ORGS::resetBranches(DialogView& dialog) {
    dialog.clearItems(payinfodlg::Branch);
    dialog.addItem(payinfodlg::Branch, "");
    if (banks_) {
        for (const std::string& branch :
             banks_->branchNames(selectedText(dialog, payinfodlg::Bank)))
            dialog.addItem(payinfodlg::Branch, branch);
    }
    dialog.selectRow(payinfodlg::Branch, 0);
    dialog.setText(payinfodlg::AccountNum, "");
}

int ORGS::savePayInfo(DialogView& dialog) {
    open_.itNum = trimmedText(dialog, payinfodlg::ItNum, common::OrgWidths::kItNumWidth);
    open_.nssfNum = trimmedText(dialog, payinfodlg::NssfNum, common::OrgWidths::kNssfNumWidth);
    open_.regionalCode =
        trimmedText(dialog, payinfodlg::RegionalCode, common::OrgWidths::kRegionalCodeWidth);
    open_.bankName =
        limited(selectedText(dialog, payinfodlg::Bank), common::OrgWidths::kBankNameWidth);
    open_.branchName =
        limited(selectedText(dialog, payinfodlg::Branch), common::OrgWidths::kBranchNameWidth);
    open_.accountNum =
        trimmedText(dialog, payinfodlg::AccountNum, common::OrgWidths::kAccountNumWidth);
    open_.sfiSenderId =
        trimmedText(dialog, payinfodlg::SfiSenderId, common::OrgWidths::kSfiSenderIdWidth);
    saveOpenRec();
    closeBankFiles();
    return 1;
}

void ORGS::closeBankFiles() {
    if (banks_)
        banks_->closeFiles();
    banks_.reset();
}

void ORGS::displayPayOptions(DialogView& dialog) {
    dialog.setChecked(payoptionsdlg::TaxEmployerPension, open_.taxEmployerPension != 0);
    dialog.setChecked(payoptionsdlg::PaySdl, open_.paySdl != 0);
    dialog.setChecked(payoptionsdlg::RoundDown, open_.roundNetPay != 0);
    dialog.setChecked(payoptionsdlg::PayExact, open_.roundNetPay == 0);
    resetRounding(dialog);
}

void ORGS::resetRounding(DialogView& dialog) {
    const bool rounding = dialog.isChecked(payoptionsdlg::RoundDown);
    dialog.setText(payoptionsdlg::RoundingUnit, rounding ? std::to_string(open_.roundingUnit) : "");
    dialog.setEnabled(payoptionsdlg::RoundingUnit, rounding);
}

int ORGS::savePayOptions(DialogView& dialog) {
    const bool rounding = dialog.isChecked(payoptionsdlg::RoundDown);
    long unit = 0;
    if (rounding && (!readWhole(dialog.text(payoptionsdlg::RoundingUnit), unit) || unit <= 0 ||
                     unit > 1'000'000)) {
        ui_.information("Entry for rounding amount is invalid.");
        dialog.setFocus(payoptionsdlg::RoundingUnit);
        return 0;
    }
    open_.taxEmployerPension = dialog.isChecked(payoptionsdlg::TaxEmployerPension) ? 1 : 0;
    open_.paySdl = dialog.isChecked(payoptionsdlg::PaySdl) ? 1 : 0;
    open_.roundNetPay = rounding ? 1 : 0;
    if (rounding)
        open_.roundingUnit = static_cast<std::int32_t>(unit);
    saveOpenRec();
    return 1;
}

void ORGS::initGenOptnDlg(DialogView& dialog) {
    dialog.setChecked(genoptionsdlg::SortByLastName, open_.formSortKey == 1);
    dialog.setChecked(genoptionsdlg::SortByNumber, open_.formSortKey != 1);
    dialog.setChecked(genoptionsdlg::PurgeReports, open_.purgeReports != 0);
    dialog.setChecked(genoptionsdlg::RetainReports, open_.purgeReports == 0);
    resetGenOptnDlg(dialog);
}

void ORGS::resetGenOptnDlg(DialogView& dialog) {
    const bool purge = dialog.isChecked(genoptionsdlg::PurgeReports);
    dialog.setText(genoptionsdlg::PurgeAge, purge ? std::to_string(open_.purgeAge) : "");
    dialog.setEnabled(genoptionsdlg::PurgeAge, purge);
}

int ORGS::closeGenOptnDlg(DialogView& dialog) {
    const bool purge = dialog.isChecked(genoptionsdlg::PurgeReports);
    long age = 0;
    if (purge && (!readWhole(dialog.text(genoptionsdlg::PurgeAge), age) || age < 2 || age > 1000)) {
        ui_.information("Entry for age at which to purge reports is invalid.");
        dialog.setFocus(genoptionsdlg::PurgeAge);
        return 0;
    }
    open_.formSortKey = dialog.isChecked(genoptionsdlg::SortByLastName) ? 1 : 0;
    open_.purgeReports = purge ? 1 : 0;
    if (purge)
        open_.purgeAge = static_cast<std::int32_t>(age);
    saveOpenRec();
    return 1;
}

void ORGS::initPeriodEndDlg(DialogView& caution) {
    caution.setCaption("Period End Procedure");
    std::string text;
    int day = 0;
    switch (open_.payFreq) {
    case common::WEEKLY:
        text = "Running the period end procedure will close the payroll  for the week ending";
        day = open_.weekEndDay;
        break;
    case common::BIWEEKLY:
        text = "Running the period end procedure will close the payroll for the fortnight ending";
        day = open_.fortnightEndDay;
        break;
    default:
        text = "Running the period end procedure will close the irregular payroll for the period "
               "ending";
        day = open_.irregEndDay;
        break;
    }
    caution.setText(cautiontext::Text, text + " " + std::to_string(day) + " " + open_.month + " " +
                                           std::to_string(open_.year) + ".");
    ui_.beep();
}

void ORGS::initMonEndDlg(DialogView& caution) {
    caution.setCaption("Month End Procedure");
    const std::string next = nextMonth(open_.month);
    const int nextYear = open_.year + (common::monthNumber(next) == 1 ? 1 : 0);
    caution.setText(cautiontext::Text,
                    "Running the month end procedure will close data entry for " + open_.month +
                        " " + std::to_string(open_.year) +
                        ".  Subsequent payroll and personnel entries will appear in " + next + " " +
                        std::to_string(nextYear) + ".");
    ui_.beep();
}

void ORGS::incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) {
    const int length = monthLength(open_);
    auto advance = [length, atMonthEnd](std::int32_t& day, int step) {
        if (!atMonthEnd) {
            day += step;
            return;
        }
        while (day <= length)
            day += step;
        day %= length; // the first period end of the next month
    };
    switch (payFreq) {
    case common::WEEKLY:
        advance(open_.weekEndDay, 7);
        open_.weekEndEditable = 0;
        break;
    case common::BIWEEKLY:
        advance(open_.fortnightEndDay, 14);
        open_.fortnightEndEditable = 0;
        break;
    case common::IRREGULAR:
        open_.irregEndDay = atMonthEnd ? 1 : open_.irregEndDay + 1;
        break;
    default:
        break;
    }
    open_.monthEditable = 0;
    saveOpenRec();
}

void ORGS::incrMonth() {
    open_.month = nextMonth(open_.month);
    const int number = common::monthNumber(open_.month);
    if (number == 1) {
        ++open_.year;
        std::error_code error;
        fs::create_directories(folder_.resolve(std::to_string(open_.year)), error);
    }
    if (number == 7)
        ++open_.fiscalYear;
    open_.monthEditable = 0;
    saveOpenRec();
}

void ORGS::incrBTrFileID() {
    ++open_.bTrFileID;
    saveOpenRec();
}

void ORGS::delRepFiles() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_.current(), error)) {
        const std::string name = entry.path().filename().string();
        long year = 0;
        // Only a folder named exactly by a year: no sign, letters or leading zero.
        if (!entry.is_directory(error) || !readWhole(name, year) || std::to_string(year) != name ||
            year >= open_.year - open_.purgeAge)
            continue;
        for (const auto& file : fs::directory_iterator(entry.path(), error)) {
            if (file.path().extension() == ".dbf") {
                common::StatusText status(ui_,
                                          "Deleting " + file.path().filename().string() + "...");
                fs::remove(file.path(), error);
            }
        }
        fs::remove(entry.path(), error);
    }
}

int ORGS::newStatutoryFiles(const std::string& sourceFolder) {
    const int year = open_.fiscalYear;
    engine::Code4& engine = code();
    if (database::PAYEDB(engine, folder_).checkFile(year))
        return 0;
    const bool previousYear = database::PAYEDB(engine, folder_).checkFile(year - 1);
    const std::string source =
        previousYear ? folder_.resolve("../system/" + std::to_string(year - 1)) : sourceFolder;
    std::error_code error;
    fs::create_directories(folder_.resolve("../system/" + std::to_string(year)), error);
    database::PAYEDB(engine, folder_).newFile(ui_, source, year);
    database::NSSFDB(engine, folder_).newFile(ui_, source, year);
    database::PAYEPARAMDB(engine, folder_).newFile(ui_, source, year);
    database::SDLDB(engine, folder_).newFile(ui_, source, year);
    ui_.information("New PAYE, NSSF and SDL files for the year " + std::to_string(year) + "/" +
                    std::to_string(year + 1) +
                    " have just been created. Please review them and update if necessary.");
    return 1;
}

} // namespace kelo::setup
