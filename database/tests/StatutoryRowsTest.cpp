#include "database/IncomesDb.h"
#include "database/PayeDb.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {

bool operator==(const PAYEREC& a, const PAYEREC& b) {
    return a.lowerLimit == b.lowerLimit && a.upperLimit == b.upperLimit && a.rate == b.rate;
}
bool operator==(const INCOMEREC& a, const INCOMEREC& b) {
    return a.lowerLimit == b.lowerLimit && a.upperLimit == b.upperLimit;
}
void PrintTo(const PAYEREC& b, std::ostream* os) {
    *os << "{" << b.lowerLimit << ", " << b.upperLimit << ", " << b.rate << "}";
}
void PrintTo(const INCOMEREC& b, std::ostream* os) {
    *os << "{" << b.lowerLimit << ", " << b.upperLimit << "}";
}

namespace {

using Bands = std::vector<PAYEREC>;
using Brackets = std::vector<INCOMEREC>;

class StatutoryRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        folder = common::WorkingFolder(dir.path());
    }
    // A year's PAYE table holding `bands`, open shared.
    void makeBands(const Bands& bands) {
        std::filesystem::create_directories(dir.file("system/2025"));
        const Schema s = PAYEDB::tableSchema();
        auto table = engine::Data4::create(code, dir.file("system/2025/paye.dbf"), s.fields);
        ASSERT_NE(table, nullptr);
        for (const PAYEREC& band : bands) {
            table->appendStart();
            table->blank();
            PAYEDB::store(*table, band);
            ASSERT_EQ(table->append(), engine::r4success);
        }
        table->close();
        ASSERT_TRUE(paye.openFile(2025, false));
    }
    void makeBrackets(const Brackets& brackets) {
        const Schema s = INCOMESDB::tableSchema();
        auto table = engine::Data4::create(code, dir.file("system/settings/incomes.dbf"), s.fields);
        ASSERT_NE(table, nullptr);
        for (const INCOMEREC& bracket : brackets) {
            table->appendStart();
            table->blank();
            INCOMESDB::store(*table, bracket);
            ASSERT_EQ(table->append(), engine::r4success);
        }
        table->close();
        ASSERT_TRUE(incomes.openFile(false));
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    PAYEDB paye{code, folder};
    INCOMESDB incomes{code, folder};
};

const Bands kThreeBands = {{0, 100, 0}, {101, 200, 10}, {201, 201, 20}};

TEST_F(StatutoryRowsTest, BandsAreReadInOrder) {
    makeBands(kThreeBands);
    EXPECT_EQ(paye.rowCount(), 3);
    EXPECT_EQ(paye.readRows(), kThreeBands);
    PAYEREC band;
    ASSERT_TRUE(paye.readRow(2, band));
    EXPECT_EQ(band, (PAYEREC{101, 200, 10}));
    EXPECT_FALSE(paye.readRow(4, band));
    EXPECT_FALSE(paye.readRow(0, band));
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(StatutoryRowsTest, InsertPutsTheBandAfterTheSelectedOne) {
    const struct {
        long after;
        Bands expected;
    } cases[] = {
        {1, {{0, 100, 0}, {101, 150, 5}, {101, 200, 10}, {201, 201, 20}}},
        {2, {{0, 100, 0}, {101, 200, 10}, {101, 150, 5}, {201, 201, 20}}},
        {3, {{0, 100, 0}, {101, 200, 10}, {201, 201, 20}, {101, 150, 5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        paye.closeFile();
        std::filesystem::remove_all(dir.file("system/2025"));
        makeBands(kThreeBands);
        ASSERT_TRUE(paye.insertRow(c.after, {101, 150, 5}));
        EXPECT_EQ(paye.data()->recNo(), c.after + 1);
        EXPECT_EQ(paye.readRows(), c.expected);
        EXPECT_FALSE(paye.data()->lockTestAll());
    }
    EXPECT_FALSE(paye.insertRow(9, {1, 2, 3}));
}

TEST_F(StatutoryRowsTest, EditStoresUnderTheRowLock) {
    makeBands(kThreeBands);
    ASSERT_TRUE(paye.lockRow(2));
    EXPECT_TRUE(paye.data()->lockTest(2));
    ASSERT_TRUE(paye.updateRow(2, {101, 300, 12.5f}));
    EXPECT_FALSE(paye.data()->lockTest(2));
    PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(2025, false));
    EXPECT_EQ(other.readRows()[1], (PAYEREC{101, 300, 12.5f}));
    // A cancelled edit lets go of the row.
    ASSERT_TRUE(paye.lockRow(3));
    paye.unlockRows();
    EXPECT_FALSE(other.data()->lockedByOther(3));
    EXPECT_TRUE(other.lockRow(3));
}

TEST_F(StatutoryRowsTest, AnotherUsersLockRefusesEveryChangeAndLosesNothing) {
    makeBands(kThreeBands);
    PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(2025, false));
    ASSERT_TRUE(other.lockRow(2));

    EXPECT_FALSE(paye.lockRow(2));
    EXPECT_FALSE(paye.updateRow(2, {101, 999, 50}));
    EXPECT_FALSE(paye.insertRow(1, {101, 150, 5}));
    EXPECT_FALSE(paye.deleteRow(2));
    EXPECT_EQ(code.errorCode(), 0);
    // Moving on writes nothing that was refused.
    EXPECT_TRUE(paye.lockRow(3));
    paye.unlockRows();
    other.unlockRows();
    EXPECT_EQ(paye.readRows(), kThreeBands);
    EXPECT_EQ(other.readRows(), kThreeBands);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StatutoryRowsTest, DeleteRemovesTheBandAndPacks) {
    makeBands(kThreeBands);
    ASSERT_TRUE(paye.deleteRow(2));
    EXPECT_EQ(paye.readRows(), (Bands{{0, 100, 0}, {201, 201, 20}}));
    EXPECT_EQ(paye.rowCount(), 2);
    EXPECT_FALSE(paye.deleteRow(3));
    PAYEDB other(code, folder);
    ASSERT_TRUE(other.openFile(2025, false));
    EXPECT_EQ(other.rowCount(), 2);
}

TEST_F(StatutoryRowsTest, TheChainOfLimitsIsChecked) {
    const struct {
        const char* name;
        Brackets limits;
        long payeBreak;
        long incomesBreak;
    } cases[] = {
        {"one more", {{0, 100}, {101, 200}, {201, 201}}, 0, 0},
        {"equal", {{0, 100}, {100, 200}}, 2, 0},
        {"gap", {{0, 100}, {102, 200}}, 2, 2},
        {"overlap", {{0, 100}, {101, 200}, {150, 150}}, 3, 3},
        {"one row", {{0, 0}}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        paye.closeFile();
        incomes.closeFile();
        std::filesystem::remove_all(dir.file("system/2025"));
        std::filesystem::remove(dir.file("system/settings/incomes.dbf"));
        Bands bands;
        for (const INCOMEREC& l : c.limits)
            bands.push_back({l.lowerLimit, l.upperLimit, 10});
        makeBands(bands);
        makeBrackets(c.limits);
        EXPECT_EQ(paye.firstBrokenLink(), c.payeBreak);
        EXPECT_EQ(incomes.firstBrokenLink(), c.incomesBreak);
    }
}

TEST_F(StatutoryRowsTest, RowsNeedAnOpenTable) {
    PAYEREC band;
    INCOMEREC bracket;
    EXPECT_EQ(paye.rowCount(), 0);
    EXPECT_TRUE(paye.readRows().empty());
    EXPECT_FALSE(paye.readRow(1, band));
    EXPECT_FALSE(paye.lockRow(1));
    EXPECT_FALSE(paye.updateRow(1, band));
    EXPECT_FALSE(paye.insertRow(0, band));
    EXPECT_FALSE(paye.deleteRow(1));
    EXPECT_EQ(paye.firstBrokenLink(), 0);
    EXPECT_EQ(incomes.rowCount(), 0);
    EXPECT_FALSE(incomes.readRow(1, bracket));
    EXPECT_FALSE(incomes.updateRow(1, bracket));
    EXPECT_FALSE(incomes.insertRow(0, bracket));
    EXPECT_FALSE(incomes.deleteRow(1));
}

TEST_F(StatutoryRowsTest, IncomeBracketsAreEditedLikeBands) {
    makeBrackets({{0, 100}, {100, 200}, {200, 200}});
    ASSERT_TRUE(incomes.insertRow(1, {100, 150}));
    ASSERT_TRUE(incomes.lockRow(3));
    ASSERT_TRUE(incomes.updateRow(3, {150, 200}));
    EXPECT_EQ(incomes.readRows(), (Brackets{{0, 100}, {100, 150}, {150, 200}, {200, 200}}));
    EXPECT_EQ(incomes.firstBrokenLink(), 0);
    ASSERT_TRUE(incomes.deleteRow(2));
    EXPECT_EQ(incomes.rowCount(), 3);
    INCOMEREC bracket;
    ASSERT_TRUE(incomes.readRow(2, bracket));
    EXPECT_EQ(bracket, (INCOMEREC{150, 200}));

    INCOMESDB other(code, folder);
    ASSERT_TRUE(other.openFile(false));
    ASSERT_TRUE(other.lockRow(1));
    EXPECT_FALSE(incomes.lockRow(1));
    EXPECT_FALSE(incomes.insertRow(1, {1, 1}));
    EXPECT_FALSE(incomes.deleteRow(2));
    other.unlockRows();
    EXPECT_EQ(incomes.rowCount(), 3);
}

TEST_F(StatutoryRowsTest, TheShippedIncomeBracketsAreCopiedAndRead) {
    EXPECT_FALSE(incomes.checkFile());
    EXPECT_TRUE(incomes.readBrackets().empty());
    ASSERT_TRUE(incomes.newFile(ui, KELO_SOURCE_FOLDER));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating incomes.dbf...", ""}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(incomes.checkFile());
    EXPECT_TRUE(std::filesystem::exists(dir.file("system/settings/incomes.dbf")));
    const Brackets expected = {{0, 270000},       {270001, 520000},   {520001, 760000},
                               {760001, 1000000}, {1000001, 2000000}, {2000001, 5000000},
                               {5000001, 5000001}};
    EXPECT_EQ(incomes.readBrackets(), expected);
    ASSERT_TRUE(incomes.openFile(false));
    EXPECT_EQ(incomes.firstBrokenLink(), 0);
    // A second call keeps the table the user may have edited.
    ASSERT_TRUE(incomes.updateRow(1, {0, 250000}));
    incomes.closeFile();
    EXPECT_TRUE(incomes.newFile(ui, KELO_SOURCE_FOLDER));
    EXPECT_EQ(incomes.readBrackets().front(), (INCOMEREC{0, 250000}));
}

TEST_F(StatutoryRowsTest, IncomeBracketsFromAMissingSourceAreToldAndNotMade) {
    EXPECT_FALSE(incomes.newFile(ui, dir.file("nowhere")));
    EXPECT_EQ(ui.lastMessage(), "Can't open " + dir.file("nowhere/incomes.dbf"));
    EXPECT_FALSE(incomes.checkFile());
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(StatutoryRowsTest, TheShippedBandsFollowTheDialogsRules) {
    ASSERT_TRUE(paye.newFile(ui, KELO_SOURCE_FOLDER, 2025));
    ASSERT_TRUE(paye.openFile(2025, false));
    const Bands bands = paye.readRows();
    ASSERT_EQ(bands.size(), 5u);
    EXPECT_EQ(bands.front().lowerLimit, 0u);
    EXPECT_EQ(bands.back(), (PAYEREC{1000001, 1000001, 30}));
    EXPECT_EQ(paye.firstBrokenLink(), 0);
}

} // namespace
} // namespace kelo::database
