#pragma once

#include "database/DbTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::database {

// The banks and their branches, shared by all organisations: a bank has a
// name and a two-character code; a branch has its bank's name, its own name
// and a three-character code. Both tables are indexed by bank name. Names
// compare without regard to case.
class BANKSDB {
public:
    static constexpr const char* kBanksPath = "../system/settings/banks.dbf";
    static constexpr const char* kBranchesPath = "../system/settings/branches.dbf";
    // Columns: banks NAME, CODE; branches BANK, NAME, CODE.
    static constexpr const char* kName = "NAME";
    static constexpr const char* kCode = "CODE";
    static constexpr const char* kBank = "BANK";
    static constexpr std::size_t kNameWidth = 24;
    static constexpr std::size_t kBankCodeWidth = 2;
    static constexpr std::size_t kBranchCodeWidth = 3;
    // Tags: banks by UPPER(NAME); branches by UPPER(BANK)+UPPER(NAME).
    static constexpr const char* kBankTag = "NAME";
    static constexpr const char* kBranchTag = "BANK";

    BANKSDB(engine::Code4& code, const common::WorkingFolder& folder);
    virtual ~BANKSDB();
    BANKSDB(const BANKSDB&) = delete;
    BANKSDB& operator=(const BANKSDB&) = delete;

    // Both tables exist and open; nothing is shown.
    bool checkFiles() const;
    // Opens both tables (shared, or exclusively), ordered by name; when
    // either fails neither stays open and the engine's error code says why.
    bool openFiles(bool exclusive = false);
    void closeFiles();
    bool isOpen() const { return banks_.isOpen() && branches_.isOpen(); }
    // Create each table empty, announcing it in the status bar.
    bool newBankFile(common::Ui& ui);
    bool newBranchFile(common::Ui& ui);

    // The open tables, for the dialogs that maintain them.
    engine::Data4* bankData() const { return banks_.data(); }
    engine::Data4* branchData() const { return branches_.data(); }
    DbTable& bankTable() { return banks_; }
    DbTable& branchTable() { return branches_; }

    // Banks by name; branches by bank name, then branch name.
    bool orderByName() const;

    // True when the bank and its branch are known; `code` then holds the
    // bank code (2 characters) followed by the branch code (3), blank padded
    // so that the split stays at the same place. Otherwise `code` is emptied.
    bool getBankCode(std::string_view bank, std::string_view branch, std::string& code);

    // Bank names in the banks' current order.
    std::vector<std::string> bankNames();
    // The names of the bank's branches, by name.
    std::vector<std::string> branchNames(std::string_view bank);
    // Move to a bank's row, or to a branch's row; false, at end of file, when
    // there is none.
    bool gotoBank(std::string_view bank);
    bool gotoBranch(std::string_view bank, std::string_view branch);

private:
    class Banks : public DbTable {
    public:
        using DbTable::DbTable;
        using DbTable::field;
        using DbTable::order;
        Schema schema() const override;
    };
    class Branches : public DbTable {
    public:
        using DbTable::DbTable;
        using DbTable::field;
        using DbTable::order;
        Schema schema() const override;
    };
    static std::string branchKey(std::string_view bank, std::string_view branch);

    Banks banks_;
    Branches branches_;
};

} // namespace kelo::database
