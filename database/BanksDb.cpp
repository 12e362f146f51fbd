#include "database/BanksDb.h"

#include "database/TableSupport.h"

namespace kelo::database {

Schema BANKSDB::Banks::schema() const {
    return {{{kName, 'C', kNameWidth, 0}, {kCode, 'C', kBankCodeWidth, 0}},
            {tagInfo(kBankTag, "UPPER(NAME)")}};
}

Schema BANKSDB::Branches::schema() const {
    return {{{kBank, 'C', kNameWidth, 0},
             {kName, 'C', kNameWidth, 0},
             {kCode, 'C', kBranchCodeWidth, 0}},
            {tagInfo(kBranchTag, "UPPER(BANK)+UPPER(NAME)")}};
}

BANKSDB::BANKSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : banks_(code, folder, kBanksPath),
      branches_(code, folder, kBranchesPath) {}

BANKSDB::~BANKSDB() = default;

bool BANKSDB::checkFiles() const {
    return isValid(banks_.code(), banks_.folder(), kBanksPath) &&
           isValid(branches_.code(), branches_.folder(), kBranchesPath);
}

bool BANKSDB::openFiles(bool exclusive) {
    if (!banks_.openFile(exclusive) || !branches_.openFile(exclusive)) {
        // Closing must not hide why the open failed.
        const int error = banks_.code().errorCode();
        closeFiles();
        banks_.code().setErrorCode(error);
        return false;
    }
    orderByName();
    return true;
}

void BANKSDB::closeFiles() {
    banks_.closeFile();
    branches_.closeFile();
}

bool BANKSDB::newBankFile(common::Ui& ui) {
    return banks_.createFile(ui);
}

bool BANKSDB::newBranchFile(common::Ui& ui) {
    return branches_.createFile(ui);
}

bool BANKSDB::orderByName() const {
    const bool banks = banks_.order(kBankTag);
    const bool branches = branches_.order(kBranchTag);
    return banks && branches;
}

std::string BANKSDB::branchKey(std::string_view bank, std::string_view branch) {
    const std::string bankKey = upperKey(bank, kNameWidth);
    const std::string nameKey = upperKey(branch, kNameWidth);
    return bankKey.empty() || nameKey.empty() ? std::string() : bankKey + nameKey;
}

bool BANKSDB::getBankCode(std::string_view bank, std::string_view branch, std::string& code) {
    code.clear();
    if (!isOpen())
        return false;
    TablePlace bankPlace(bankData());
    TablePlace branchPlace(branchData());
    banks_.order(kBankTag);
    branches_.order(kBranchTag);
    if (!seekExact(*bankData(), upperKey(bank, kNameWidth)) ||
        !seekExact(*branchData(), branchKey(bank, branch)))
        return false;
    code = banks_.field(kCode).str() + branches_.field(kCode).str();
    return true;
}

std::vector<std::string> BANKSDB::bankNames() {
    std::vector<std::string> names;
    engine::Data4* table = bankData();
    if (!table)
        return names;
    TablePlace place(table);
    for (int rc = table->top(); rc == engine::r4success && !table->eof(); rc = table->skip()) {
        if (!table->deleted())
            names.push_back(banks_.field(kName).trimmed());
    }
    return names;
}

std::vector<std::string> BANKSDB::branchNames(std::string_view bank) {
    std::vector<std::string> names;
    engine::Data4* table = branchData();
    const std::string bankKey = upperKey(bank, kNameWidth);
    if (!table || bankKey.empty())
        return names;
    TablePlace place(table);
    branches_.order(kBranchTag);
    for (int rc = table->seek(bankKey); rc == engine::r4success && !table->eof();
         rc = table->skip()) {
        if (upperKey(branches_.field(kBank).str(), kNameWidth) != bankKey)
            break;
        if (!table->deleted())
            names.push_back(branches_.field(kName).trimmed());
    }
    return names;
}

bool BANKSDB::gotoBank(std::string_view bank) {
    engine::Data4* table = bankData();
    if (!table)
        return false;
    TablePlace place(table);
    banks_.order(kBankTag);
    const bool found = seekExact(*table, upperKey(bank, kNameWidth));
    if (!found)
        table->goEof();
    place.keepPosition();
    return found;
}

bool BANKSDB::gotoBranch(std::string_view bank, std::string_view branch) {
    engine::Data4* table = branchData();
    if (!table)
        return false;
    TablePlace place(table);
    branches_.order(kBranchTag);
    const bool found = seekExact(*table, branchKey(bank, branch));
    if (!found)
        table->goEof();
    place.keepPosition();
    return found;
}

} // namespace kelo::database
