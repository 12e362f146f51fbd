#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

const std::vector<Field4Info> kEmployeeFields = {
    {"EmpNo", 'C', 19, 0}, {"LastName", 'C', 20, 0}, {"Salary", 'N', 12, 2}, {"Rate", 'F', 8, 3},
    {"Active", 'L', 1, 0}, {"Born", 'D', 8, 0},      {"Grade", 'I', 4, 0},   {"Balance", 'B', 8, 2},
    {"Notes", 'M', 4, 0},  {"Photo", 'X', 4, 0},
};

class TableTest : public ::testing::Test {
protected:
    std::unique_ptr<Data4> create(const std::string& name = "staff.dbf") {
        auto table = Data4::create(code, dir.file(name), kEmployeeFields);
        EXPECT_NE(table, nullptr) << code.errorText();
        return table;
    }

    void appendEmployee(Data4& table, const std::string& empNo, const std::string& lastName,
                        double salary) {
        ASSERT_EQ(table.appendStart(), r4success);
        table.blank();
        table.field("EMPNO")->assign(empNo);
        table.field("LASTNAME")->assign(lastName);
        table.field("SALARY")->assignDouble(salary);
        ASSERT_EQ(table.append(), r4success) << code.errorText();
    }

    TempDir dir;
    Code4 code;
};

TEST_F(TableTest, EveryFieldTypeRoundTripsThroughTheFile) {
    {
        auto table = create();
        ASSERT_EQ(table->appendStart(), r4success);
        table->blank();
        table->field("EmpNo")->assign("e001");
        table->field("LastName")->assign("Mwakyusa");
        table->field("Salary")->assignDouble(1234567.895);
        table->field("Rate")->assign("1.5");
        table->field("Active")->assignLogical(true);
        table->field("Born")->assign("19800229");
        table->field("Grade")->assignLong(-42);
        table->field("Balance")->assignDouble(-0.1);
        table->field("Notes")->memoAssign("Joined from the regional office.\nTransferred 2024.");
        const std::string photo("\x00\x01\xFF\x1A binary", 11);
        table->field("Photo")->memoAssign(photo.data(), photo.size());
        ASSERT_EQ(table->append(), r4success);
        ASSERT_EQ(table->close(), r4success);
    }
    auto table = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(table, nullptr) << code.errorText();
    ASSERT_EQ(table->recCount(), 1);
    EXPECT_EQ(table->recNo(), 1);
    EXPECT_EQ(table->field(1)->trimmed(), "e001");
    EXPECT_EQ(table->field("EMPNO")->str().size(), 19u);
    EXPECT_EQ(table->field("lastname")->trimmed(), "Mwakyusa");
    EXPECT_EQ(table->field("Salary")->str(), "  1234567.90");
    EXPECT_DOUBLE_EQ(table->field("Salary")->getDouble(), 1234567.90);
    EXPECT_EQ(table->field("Rate")->str(), "   1.500");
    EXPECT_TRUE(table->field("Active")->getLogical());
    EXPECT_EQ(table->field("Born")->str(), "19800229");
    EXPECT_EQ(table->field("Grade")->getInt(), -42);
    EXPECT_EQ(table->field("Grade")->str(), "-42");
    EXPECT_DOUBLE_EQ(table->field("Balance")->getDouble(), -0.1);
    EXPECT_EQ(table->field("Notes")->str(), "Joined from the regional office.\nTransferred 2024.");
    EXPECT_EQ(table->field("Notes")->memoLen(), 50u);
    EXPECT_EQ(table->field("Photo")->str(), std::string("\x00\x01\xFF\x1A binary", 11));
    EXPECT_EQ(table->field("Photo")->type(), 'X');
    EXPECT_EQ(table->field("Notes")->type(), 'M');
    EXPECT_EQ(table->field(11), nullptr);
    EXPECT_EQ(table->field("Missing"), nullptr);
}

TEST_F(TableTest, NumbersAreStoredRoundedHalfAwayFromZero) {
    struct Case {
        double value;
        const char* stored;
    };
    const Case cases[] = {
        {2.675, "        2.68"}, {-2.675, "       -2.68"}, {0.005, "        0.01"},
        {36000, "    36000.00"}, {-0.004, "        0.00"}, {999999999.995, "************"},
    };
    auto table = create();
    for (const Case& c : cases) {
        table->field("Salary")->assignDouble(c.value);
        EXPECT_EQ(table->field("Salary")->str(), c.stored) << c.value;
    }
}

TEST_F(TableTest, FieldConversionsAndAssignFromAnotherField) {
    auto table = create();
    appendEmployee(*table, "E1", "Lema", 5000);
    table->field("Grade")->assign("17");
    table->field("Balance")->assignField(*table->field("Salary"));
    table->field("LastName")->assignField(*table->field("Grade"));
    EXPECT_EQ(table->field("Grade")->getLong(), 17);
    EXPECT_DOUBLE_EQ(table->field("Balance")->getDouble(), 5000);
    EXPECT_EQ(table->field("LastName")->trimmed(), "17");
    EXPECT_EQ(table->field("Salary")->getLong(), 5000);
    table->field("Salary")->assign("1,250.50");
    EXPECT_DOUBLE_EQ(table->field("Salary")->getDouble(), 1250.5);
    table->field("Active")->assign("F");
    EXPECT_FALSE(table->field("Active")->getLogical());
    table->field("LastName")->assign("A name far longer than the twenty characters");
    EXPECT_EQ(table->field("LastName")->str(), "A name far longer th");
    EXPECT_TRUE(table->changed());
}

TEST_F(TableTest, NavigationInRecordOrder) {
    auto table = create();
    for (int i = 1; i <= 5; ++i)
        appendEmployee(*table, "E" + std::to_string(i), "Name" + std::to_string(i), i * 100.0);
    EXPECT_EQ(table->recCount(), 5);
    EXPECT_EQ(table->top(), r4success);
    EXPECT_EQ(table->recNo(), 1);
    EXPECT_EQ(table->skip(2), r4success);
    EXPECT_EQ(table->recNo(), 3);
    EXPECT_EQ(table->skip(-5), r4bof);
    EXPECT_TRUE(table->bof());
    EXPECT_EQ(table->recNo(), 1);
    EXPECT_EQ(table->bottom(), r4success);
    EXPECT_EQ(table->recNo(), 5);
    EXPECT_EQ(table->skip(), r4eof);
    EXPECT_TRUE(table->eof());
    EXPECT_EQ(table->recNo(), 6);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "");
    EXPECT_EQ(table->skip(-1), r4success);
    EXPECT_EQ(table->recNo(), 5);
    EXPECT_EQ(table->go(2), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "E2");
    EXPECT_EQ(table->go(9), e4parm);
    EXPECT_TRUE(table->eof());
    code.setErrorCode(0);
}

TEST_F(TableTest, EmptyTableIsAtBothEnds) {
    auto table = create();
    EXPECT_EQ(table->recCount(), 0);
    EXPECT_EQ(table->top(), r4eof);
    EXPECT_TRUE(table->eof());
    EXPECT_TRUE(table->bof());
    EXPECT_EQ(table->bottom(), r4eof);
    EXPECT_EQ(table->skip(), r4eof);
}

TEST_F(TableTest, ChangesAreWrittenOnMoveFlushAndClose) {
    {
        auto table = create();
        appendEmployee(*table, "E1", "Old", 1);
        appendEmployee(*table, "E2", "Old", 2);
        appendEmployee(*table, "E3", "Old", 3);
        table->go(1);
        EXPECT_FALSE(table->changed());
        table->field("LASTNAME")->assign("Moved");
        EXPECT_TRUE(table->changed());
        table->skip();
        EXPECT_FALSE(table->changed());
        table->field("LASTNAME")->assign("Flushed");
        table->flush();
        table->go(3);
        table->field("LASTNAME")->assign("Closed");
    }
    auto table = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(table, nullptr);
    const char* expected[] = {"Moved", "Flushed", "Closed"};
    for (long r = 1; r <= 3; ++r) {
        table->go(r);
        EXPECT_EQ(table->field("LASTNAME")->trimmed(), expected[r - 1]);
    }
}

TEST_F(TableTest, DeleteRecallAndPack) {
    auto table = create();
    for (int i = 1; i <= 6; ++i)
        appendEmployee(*table, "E" + std::to_string(i), "N", i);
    table->go(2);
    table->field("NOTES")->memoAssign("memo of E2");
    table->go(4);
    table->field("NOTES")->memoAssign("memo of E4");
    for (long r : {1L, 3L, 6L}) {
        table->go(r);
        table->deleteRec();
    }
    table->go(3);
    EXPECT_TRUE(table->deleted());
    table->recall();
    EXPECT_FALSE(table->deleted());
    table->go(1);
    EXPECT_TRUE(table->deleted());
    ASSERT_EQ(table->pack(), r4success) << code.errorText();
    EXPECT_EQ(table->recCount(), 4);
    std::vector<std::string> kept;
    for (int rc = table->top(); rc == r4success; rc = table->skip())
        kept.push_back(table->field("EMPNO")->trimmed() + ":" + table->field("NOTES")->str());
    EXPECT_EQ(kept, (std::vector<std::string>{"E2:memo of E2", "E3:", "E4:memo of E4", "E5:"}));
    table.reset();
    auto reopened = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->recCount(), 4);
}

TEST_F(TableTest, AppendStartKeepsTheCurrentValuesUntilBlanked) {
    auto table = create();
    appendEmployee(*table, "E1", "Copy", 10);
    table->field("NOTES")->memoAssign("not copied");
    table->flush();
    ASSERT_EQ(table->appendStart(), r4success);
    table->field("EMPNO")->assign("E2");
    ASSERT_EQ(table->append(), r4success);
    EXPECT_EQ(table->recNo(), 2);
    EXPECT_EQ(table->field("LASTNAME")->trimmed(), "Copy");
    EXPECT_EQ(table->field("NOTES")->str(), "");
}

TEST_F(TableTest, CreateRefusesToOverwriteUnlessSafetyIsOff) {
    create();
    code.setErrorCode(0);
    EXPECT_EQ(Data4::create(code, dir.file("staff.dbf"), kEmployeeFields), nullptr);
    EXPECT_EQ(code.errorCode(), e4exists);
    code.setErrorCode(0);
    code.safety = false;
    auto replaced = Data4::create(code, dir.file("staff.dbf"), {{"ONLY", 'C', 5, 0}});
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->fieldCount(), 1);
}

TEST_F(TableTest, InvalidFieldListsAreRefused) {
    const std::vector<std::vector<Field4Info>> bad = {
        {},
        {{"", 'C', 5, 0}},
        {{"NAME_TOO_LONG", 'C', 5, 0}},
        {{"9LIVES", 'C', 5, 0}},
        {{"A", 'C', 0, 0}},
        {{"A", 'C', 255, 0}},
        {{"A", 'N', 21, 0}},
        {{"A", 'N', 5, 4}},
        {{"A", 'Q', 5, 0}},
        {{"A", 'C', 5, 0}, {"a", 'N', 5, 0}},
    };
    int i = 0;
    for (const auto& fields : bad) {
        code.setErrorCode(0);
        EXPECT_EQ(Data4::create(code, dir.file("bad" + std::to_string(i) + ".dbf"), fields),
                  nullptr)
            << "case " << i;
        EXPECT_EQ(code.errorCode(), e4field) << "case " << i;
        ++i;
    }
}

TEST_F(TableTest, MissingFileAndMissingMemoFileFailToOpen) {
    EXPECT_EQ(Data4::open(code, dir.file("none.dbf")), nullptr);
    EXPECT_EQ(code.errorCode(), e4open);
    code.setErrorCode(0);
    create().reset();
    std::filesystem::remove(dir.file("staff.fpt"));
    EXPECT_EQ(Data4::open(code, dir.file("staff.dbf")), nullptr);
    EXPECT_EQ(code.errorCode(), e4memo);
}

TEST_F(TableTest, ErrorReporterHearsFailures) {
    std::vector<int> heard;
    code.setErrorReporter([&](int c, const std::string&) { heard.push_back(c); });
    EXPECT_EQ(Data4::open(code, dir.file("none.dbf")), nullptr);
    EXPECT_EQ(heard, std::vector<int>{e4open});
    EXPECT_EQ(code.setErrorCode(0), e4open);
    EXPECT_EQ(code.errorCode(), 0);
    EXPECT_EQ(code.indexFormat(), r4cdx);
}

TEST_F(TableTest, ExclusiveOpenWithinOneProcessExcludesOtherHandles) {
    create().reset();
    auto shared = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(shared, nullptr);
    code.accessMode = OPEN4DENY_RW;
    EXPECT_EQ(Data4::open(code, dir.file("staff.dbf")), nullptr);
    EXPECT_EQ(code.errorCode(), e4access);
    code.setErrorCode(0);
    shared.reset();
    auto exclusive = Data4::open(code, dir.file("staff.dbf"));
    code.accessMode = OPEN4DENY_NONE;
    ASSERT_NE(exclusive, nullptr);
    EXPECT_TRUE(exclusive->isExclusive());
    EXPECT_EQ(Data4::open(code, dir.file("staff.dbf")), nullptr);
    EXPECT_EQ(code.errorCode(), e4access);
}

TEST_F(TableTest, RecordLocksBetweenTwoHandles) {
    auto first = create();
    for (int i = 1; i <= 3; ++i)
        appendEmployee(*first, "E" + std::to_string(i), "N", i);
    auto second = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(second, nullptr);

    ASSERT_EQ(first->lock(2), r4success);
    EXPECT_TRUE(first->lockTest(2));
    EXPECT_FALSE(second->lockTest(2));
    EXPECT_TRUE(second->lockedByOther(2));
    EXPECT_EQ(second->lock(2), r4locked);
    EXPECT_EQ(second->lockAll(), r4locked);
    EXPECT_EQ(second->lock(3), r4success);

    // A write of a record another handle holds fails and changes nothing.
    second->go(2);
    second->field("LASTNAME")->assign("Intruder");
    EXPECT_EQ(second->flush(), e4lock);
    code.setErrorCode(0);
    second->setChanged(false);
    first->go(2);
    EXPECT_EQ(first->field("LASTNAME")->trimmed(), "N");

    // Automatic unlocking: the next lock on a table drops its earlier ones.
    ASSERT_EQ(first->lock(1), r4success);
    EXPECT_FALSE(first->lockTest(2));
    EXPECT_EQ(second->lock(2), r4success);
    code.autoUnlock = false;
    ASSERT_EQ(first->lock(1), r4success); // already held: nothing changes
    EXPECT_EQ(second->unlock(), r4success);
    ASSERT_EQ(first->lock(2), r4success);
    EXPECT_TRUE(first->lockTest(1));
    EXPECT_TRUE(first->lockTest(2));
    code.autoUnlock = true;
    EXPECT_EQ(code.unlockAll(), r4success);
    EXPECT_FALSE(first->lockTest(1));
    EXPECT_EQ(second->lockAll(), r4success);
    EXPECT_EQ(first->lock(1), r4locked);
    second->unlock();
}

TEST_F(TableTest, LockGroupIsAllOrNothing) {
    auto first = create();
    for (int i = 1; i <= 3; ++i)
        appendEmployee(*first, "E" + std::to_string(i), "N", i);
    auto other = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(3), r4success);
    code.lockAdd(*first, 1);
    code.lockAdd(*first, 2);
    code.lockAdd(*first, 3);
    EXPECT_EQ(code.lockGroup(), r4locked);
    EXPECT_FALSE(first->lockTest(1));
    EXPECT_FALSE(first->lockTest(2));
    other->unlock();
    code.lockAdd(*first, 1);
    code.lockAddAll(*other);
    EXPECT_EQ(code.lockGroup(), r4locked); // record 1 is in the other's lock-all
    code.lockAdd(*first, 1);
    code.lockAdd(*first, 2);
    EXPECT_EQ(code.lockGroup(), r4success);
    EXPECT_TRUE(first->lockTest(1));
    EXPECT_TRUE(first->lockTest(2));
}

TEST_F(TableTest, AnotherHandlesChangesAreSeenAfterARead) {
    auto writer = create();
    appendEmployee(*writer, "E1", "First", 1);
    auto reader = Data4::open(code, dir.file("staff.dbf"));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->recCount(), 1);
    appendEmployee(*writer, "E2", "Second", 2);
    writer->go(1);
    writer->field("LASTNAME")->assign("Changed");
    writer->flush();
    EXPECT_EQ(reader->recCount(), 2);
    reader->top();
    EXPECT_EQ(reader->field("LASTNAME")->trimmed(), "Changed");
    reader->go(2);
    EXPECT_EQ(reader->field("LASTNAME")->trimmed(), "Second");
}

} // namespace
} // namespace kelo::engine
