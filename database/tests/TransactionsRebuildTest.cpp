#include "database/TransactionsRebuild.h"

#include "database/VarDb.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/stat.h>

namespace kelo::database {
namespace {

namespace fs = std::filesystem;
using common::PayItemDef;
using common::PayItemDefs;
using testsupport::RecordingUi;

std::shared_ptr<const PayItemDef> def(std::string name, std::string type, std::string function,
                                      std::int32_t id) {
    auto d = std::make_shared<PayItemDef>();
    d->itemName = std::move(name);
    d->itemType = std::move(type);
    d->itemFunction = std::move(function);
    d->id = id;
    return d;
}

PayItemDefs baseDefs() {
    PayItemDefs d;
    d.basicPay = def("Basic Pay", "Basic Pay", "Use Built-In Function", 1);
    d.overtime = def("Overtime", "Overtime", "Use Built-In Function", 2);
    d.rent = def("Rent", "Rent", "Defined in Master File", 1);
    d.earnings = {def("Acting", "Default", "Key in", 3),
                  def("Casual Hours", "Hourly Pay", "Based on Hours Worked", 4)};
    d.deductions = {def("Staff Loan", "Company Loan Payment", "Amortise", 2),
                    def("Savings", "Savings Plan Deposit", "Key in", 3),
                    def("Bank Loan", "Bank Loan Payment", "Key in", 5)};
    d.benefits = {def("Car", "Default", "Key in", 1)};
    return d;
}

// Every column of every row, as stored.
using Rows = std::vector<std::map<std::string, std::string>>;

Rows readRows(engine::Code4& code, const std::string& path) {
    Rows rows;
    auto table = engine::Data4::open(code, path);
    EXPECT_TRUE(table);
    if (!table)
        return rows;
    for (table->top(); !table->eof(); table->skip()) {
        auto& row = rows.emplace_back();
        for (int i = 1; i <= table->fieldCount(); ++i)
            row[table->field(i)->name()] =
                std::string(table->field(i)->ptr(), table->field(i)->len());
    }
    return rows;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The file's inode: whether a path still names the very file it named.
ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

struct TransactionsRebuildTest : ::testing::Test {
    testsupport::TempDir dir;
    common::WorkingFolder folder{dir.path()};
    engine::Code4 code;
    RecordingUi ui;
    std::string table = dir.file("org01/database/monpay.dbf");

    TransactionsRebuildTest() {
        fs::create_directories(dir.file("org01/database"));
        folder.moveTo("../org01");
    }

    // `rows` records whose every item holds values of its own.
    void fill(int rows) {
        VARDB vardb(code, folder);
        ASSERT_TRUE(vardb.setDefinitions(baseDefs()));
        ASSERT_TRUE(vardb.createFile(ui, common::MONTHLY));
        ASSERT_TRUE(vardb.openFile(common::MONTHLY, true));
        for (int n = 0; n < rows; ++n) {
            common::VARIATIONSREC rec = common::newVariationsRec(vardb.definitions());
            rec.empNum = "E" + std::to_string(n);
            rec.lastName = "Name" + std::to_string(n % 97);
            rec.basicPay = 1000.0 * n;
            for (auto kind : common::kFieldsTables) {
                int k = 0;
                for (common::PayItem& item : *rec.items(kind)) {
                    item.active = (n + k) % 2;
                    item.amount = n * 10.0 + ++k;
                    if (auto* loan = std::get_if<common::LoanParams>(&item.params)) {
                        loan->balance = 50000.0 + n;
                        loan->interestRate = 12.5f;
                        loan->paymentsLeft = n % 24;
                        loan->newLoan = 0;
                    } else if (auto* bank = std::get_if<common::BankLoanParams>(&item.params)) {
                        bank->bankName = "CRDB";
                        bank->loanNumber = "LN" + std::to_string(n);
                    } else if (auto* hours = std::get_if<common::HourlyParams>(&item.params)) {
                        hours->hoursWorked = static_cast<float>(n % 40);
                        hours->hourlyRate = 1500;
                    }
                }
            }
            ASSERT_TRUE(vardb.appendRec(rec));
        }
    }
};

TEST_F(TransactionsRebuildTest, AddingItemsKeepsEveryValueAndDefaultsTheNewColumns) {
    fill(5000);
    const Rows before = readRows(code, table);
    PayItemDefs next = baseDefs();
    next.deductions.push_back(def("Coop Loan", "Co-op Loan Payment", "Use Reducing Balance", 6));
    next.deductions.push_back(def("Uniform", "Cost Recovery", "Key in", 7));
    next.refunds.push_back(def("Fare Refund", "Default", "Key in", 1));
    ui.clear();
    ASSERT_TRUE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.statusTexts.front(), "Updating database/monpay.dbf...");
    EXPECT_EQ(ui.statusTexts.back(), "");
    const Rows after = readRows(code, table);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t r = 0; r < before.size(); ++r) {
        for (const auto& [name, value] : before[r])
            ASSERT_EQ(after[r].at(name), value) << "row " << r << " column " << name;
    }
    // A new item as newVariationsRec makes it: inactive, loans with one
    // payment and a new loan to key, recoveries with both flags set.
    VARDB vardb(code, folder);
    ASSERT_TRUE(vardb.setDefinitions(next));
    ASSERT_TRUE(vardb.openFile(common::MONTHLY));
    vardb.orderByEmpNum1();
    ASSERT_TRUE(vardb.seekEmpNum("E4321"));
    common::VARIATIONSREC rec;
    ASSERT_TRUE(vardb.initRec(rec));
    EXPECT_EQ(rec.basicPay, 4321000);
    const common::PayItem& coopLoan = rec.deductions[3];
    EXPECT_EQ(coopLoan.active, 0);
    EXPECT_EQ(std::get<common::LoanParams>(coopLoan.params).paymentsLeft, 1);
    EXPECT_EQ(std::get<common::LoanParams>(coopLoan.params).newLoan, 1);
    EXPECT_EQ(std::get<common::CostRecoveryParams>(rec.deductions[4].params).newRecovery, 1);
    EXPECT_EQ(rec.refunds[0].amount, 0);
    EXPECT_FALSE(fs::exists(dir.file("org01/database/variat.dbf")));
    EXPECT_FALSE(fs::exists(dir.file("org01/database/variat.cdx")));
}

TEST_F(TransactionsRebuildTest, DeletingAnItemDropsOnlyItsColumns) {
    fill(50);
    const Rows before = readRows(code, table);
    PayItemDefs next = baseDefs();
    next.deductions.erase(next.deductions.begin()); // the staff loan, D2
    ASSERT_TRUE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
    const Rows after = readRows(code, table);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t r = 0; r < before.size(); ++r) {
        for (const auto& [name, value] : before[r]) {
            if (name.rfind("D2", 0) == 0)
                EXPECT_EQ(after[r].count(name), 0u) << name;
            else
                EXPECT_EQ(after[r].at(name), value) << name;
        }
    }
}

// A retyped item keeps its columns' names; when their meaning changes the
// rows start the item again as a new one instead of carrying its values.
TEST_F(TransactionsRebuildTest, RestartedItemsTakeANewItemsValues) {
    fill(30);
    const Rows before = readRows(code, table);
    PayItemDefs next = baseDefs();
    next.deductions[0] = def("Staff Loan", "Co-op Loan Payment", "Amortise", 2); // same columns
    PayItemIds restart;
    restart[common::DEDUCTIONS] = {2};
    ASSERT_TRUE(rebuildTransactions(ui, code, folder, common::MONTHLY, next, restart));
    const Rows after = readRows(code, table);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t r = 0; r < before.size(); ++r) {
        ASSERT_EQ(after[r].size(), before[r].size());
        for (const auto& [name, value] : before[r]) {
            if (name.rfind("D2", 0) == 0)
                continue;
            ASSERT_EQ(after[r].at(name), value) << "row " << r << " column " << name;
        }
    }
    VARDB vardb(code, folder);
    ASSERT_TRUE(vardb.setDefinitions(next));
    ASSERT_TRUE(vardb.openFile(common::MONTHLY));
    vardb.orderByEmpNum1();
    // E7's loan was active: 71 a month on 50,007 at 12.5 %, 7 payments left.
    ASSERT_TRUE(vardb.seekEmpNum("E7"));
    common::VARIATIONSREC rec;
    ASSERT_TRUE(vardb.initRec(rec));
    const common::PayItem& loan = rec.deductions[0];
    EXPECT_EQ(loan.active, 0);
    EXPECT_EQ(loan.amount, 0);
    const auto& params = std::get<common::LoanParams>(loan.params);
    EXPECT_EQ(params.balance, 0);
    EXPECT_EQ(params.interestRate, 0);
    EXPECT_EQ(params.paymentsLeft, 1);
    EXPECT_EQ(params.newLoan, 1);
    EXPECT_EQ(params.taxableBenefit, 0);
    // The next item carries on: "Savings", off for E7, amount 7 x 10 + 2.
    EXPECT_EQ(rec.deductions[1].active, 0);
    EXPECT_EQ(rec.deductions[1].amount, 72);
}

TEST_F(TransactionsRebuildTest, FailuresLeaveTheTableAsItWas) {
    fill(20);
    const std::string bytes = bytesOf(table);
    PayItemDefs next = baseDefs();
    next.benefits.push_back(def("Phone", "Default", "Key in", 2));

    // Another user has the table open.
    {
        auto other = engine::Data4::open(code, table);
        ASSERT_TRUE(other);
        EXPECT_FALSE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
        EXPECT_EQ(ui.lastMessage(), "Unable to open database/monpay.dbf");
    }
    // The work table cannot be created.
    fs::create_directories(dir.file("org01/database/variat.dbf/blocked"));
    ui.clear();
    EXPECT_FALSE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
    EXPECT_EQ(ui.lastMessage(), "Unable to create database/variat.dbf");
    EXPECT_EQ(bytesOf(table), bytes);
    EXPECT_EQ(code.errorCode(), 0);
    VARDB vardb(code, folder);
    ASSERT_TRUE(vardb.setDefinitions(baseDefs()));
    EXPECT_TRUE(vardb.openFile(common::MONTHLY));
}

// The new table and index take their names one after the other; when a
// step fails, those already taken are given back, so the table never keeps
// an index that is not its own.
TEST_F(TransactionsRebuildTest, AFailedRenameLeavesTheTableWithItsOwnIndex) {
    fill(20);
    const std::string index = dir.file("org01/database/monpay.cdx");
    const Rows rows = readRows(code, table);
    const std::string tableBytes = bytesOf(table), indexBytes = bytesOf(index);
    const ino_t tableInode = inodeOf(table), indexInode = inodeOf(index);
    ASSERT_NE(tableInode, 0u);
    ASSERT_NE(indexInode, 0u);
    PayItemDefs next = baseDefs();
    next.benefits.push_back(def("Phone", "Default", "Key in", 2));
    const struct {
        const char* what;
        const char* blocked; // a folder where the old file would be kept
    } cases[] = {
        {"the old index cannot be moved aside", "org01/database/varold.cdx"},
        {"the old table cannot be moved aside after the new index took its name",
         "org01/database/varold.dbf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directories(dir.file(c.blocked) + "/blocked");
        ui.clear();
        EXPECT_FALSE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
        EXPECT_EQ(ui.lastMessage(), "Unable to create database/variat.dbf");
        EXPECT_EQ(code.errorCode(), 0);
        EXPECT_EQ(inodeOf(table), tableInode);
        EXPECT_EQ(inodeOf(index), indexInode);
        EXPECT_TRUE(bytesOf(table) == tableBytes);
        EXPECT_TRUE(bytesOf(index) == indexBytes);
        for (const char* left : {"variat.dbf", "variat.cdx", "varold.dbf", "varold.cdx"}) {
            const std::string path = dir.file(std::string("org01/database/") + left);
            EXPECT_TRUE(!fs::exists(path) || fs::is_directory(path)) << left;
        }
        EXPECT_TRUE(readRows(code, table) == rows);
        VARDB vardb(code, folder);
        ASSERT_TRUE(vardb.setDefinitions(baseDefs()));
        EXPECT_TRUE(vardb.openFile(common::MONTHLY, true));
        vardb.closeFile();
        fs::remove_all(dir.file(c.blocked));
    }

    // Once nothing is in the way the rebuild goes through and keeps no old files.
    ASSERT_TRUE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
    EXPECT_NE(inodeOf(table), tableInode);
    EXPECT_FALSE(fs::exists(dir.file("org01/database/varold.dbf")));
    EXPECT_FALSE(fs::exists(dir.file("org01/database/varold.cdx")));
    const Rows after = readRows(code, table);
    ASSERT_EQ(after.size(), rows.size());
    EXPECT_EQ(after[7].at("E3AMT"), rows[7].at("E3AMT"));
    EXPECT_EQ(after[7].at("B2ACT"), "F");
}

TEST_F(TransactionsRebuildTest, AnEncryptedTableStaysEncrypted) {
    const unsigned char key[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(code.encryptInit(key, sizeof key));
    code.encryptFile(true);
    fill(10);
    code.encryptFile(false);
    const Rows before = readRows(code, table);
    PayItemDefs next = baseDefs();
    next.lumpSums.push_back(def("Bonus", "Default", "Key in", 1));
    ASSERT_TRUE(rebuildTransactions(ui, code, folder, common::MONTHLY, next));
    auto reopened = engine::Data4::open(code, table);
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(reopened->isEncrypted());
    reopened.reset();
    const Rows after = readRows(code, table);
    ASSERT_EQ(after.size(), before.size());
    ASSERT_EQ(before.size(), 10u);
    ASSERT_EQ(before[7].count("E3AMT"), 1u);
    ASSERT_EQ(after[7].count("E3AMT"), 1u);
    EXPECT_EQ(after[7].at("E3AMT"), before[7].at("E3AMT"));
    EXPECT_FALSE(code.encrypting());
}

} // namespace
} // namespace kelo::database
