#include "engine/Data4.h"
#include "engine/IndexFile.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

const std::vector<Field4Info> kFields = {
    {"EMPNO", 'C', 19, 0}, {"NAME", 'C', 12, 0}, {"PAY", 'N', 10, 2},
    {"START", 'D', 8, 0},  {"GRADE", 'I', 4, 0}, {"REMOVED", 'L', 1, 0},
};

const std::vector<Tag4Info> kTags = {
    {"EmpNoTag", "UPPER(EMPNO)", "", false, false},
    {"NameTag", "UPPER(NAME)+DTOS(START)", "", false, false},
    {"PayTag", "PAY", "", false, true},
    {"GradeTag", "GRADE", "", true, false},
    {"EmpNoTag2", "UPPER(EMPNO)", ".NOT. REMOVED .AND. .NOT. DELETED()", false, false},
};

struct Row {
    const char* empNo;
    const char* name;
    double pay;
    const char* start;
    int grade;
    bool removed;
};

const Row kRows[] = {
    {"e010", "Swai", 900000, "20200115", 3, false},
    {"E002", "Kimaro", 1500000, "20190301", 5, false},
    {"e007", "swai", 450000, "20180701", 3, true},
    {"E001", "Mushi", -250.5, "20210110", 1, false},
    {"E020", "Ally", 1500000, "20220501", 5, false},
};

class TagTest : public ::testing::Test {
protected:
    void SetUp() override {
        table = Data4::create(code, dir.file("trans.dbf"), kFields, kTags);
        ASSERT_NE(table, nullptr) << code.errorText();
        for (const Row& row : kRows)
            append(row);
    }

    void append(const Row& row) {
        table->appendStart();
        table->blank();
        table->field("EMPNO")->assign(row.empNo);
        table->field("NAME")->assign(row.name);
        table->field("PAY")->assignDouble(row.pay);
        table->field("START")->assign(row.start);
        table->field("GRADE")->assignLong(row.grade);
        table->field("REMOVED")->assignLogical(row.removed);
        ASSERT_EQ(table->append(), r4success);
    }

    std::vector<std::string> walk(const char* tagName, bool backwards = false) {
        table->select(table->tag(tagName));
        std::vector<std::string> seen;
        for (int rc = backwards ? table->bottom() : table->top(); rc == r4success;
             rc = table->skip(backwards ? -1 : 1))
            seen.push_back(table->field("EMPNO")->trimmed());
        return seen;
    }

    TempDir dir;
    Code4 code;
    std::unique_ptr<Data4> table;
};

using Names = std::vector<std::string>;

TEST_F(TagTest, EachTagWalksInItsOrder) {
    EXPECT_EQ(walk("EmpNoTag"), (Names{"E001", "E002", "e007", "e010", "E020"}));
    EXPECT_EQ(walk("EMPNOTAG", true), (Names{"E020", "e010", "e007", "E002", "E001"}));
    EXPECT_EQ(walk("NameTag"), (Names{"E020", "E002", "E001", "e007", "e010"}));
    // Descending; equal keys keep record order.
    EXPECT_EQ(walk("PayTag"), (Names{"E002", "E020", "e010", "e007", "E001"}));
    // Unique: the first record of each grade only.
    EXPECT_EQ(walk("GradeTag"), (Names{"E001", "e010", "E002"}));
    EXPECT_EQ(walk("GradeTag", true), (Names{"E002", "e010", "E001"}));
    // Filtered: removed and deleted records stay out.
    table->select(nullptr);
    table->go(2);
    table->deleteRec();
    EXPECT_EQ(walk("EmpNoTag2"), (Names{"E001", "e010", "E020"}));
}

TEST_F(TagTest, SeekExactPartialAfterAndEof) {
    table->select(table->tag("EmpNoTag"));
    struct Case {
        const char* key;
        int rc;
        const char* at;
    };
    const Case cases[] = {
        {"E007", r4success, "e007"}, {"E007               ", r4success, "e007"},
        {"E00", r4success, "E001"},  {"E003", r4after, "e007"},
        {"A", r4after, "E001"},      {"Z", r4eof, ""},
        {"e007", r4eof, ""}, // keys are upper case, so lower case sorts last
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table->seek(c.key), c.rc) << c.key;
        EXPECT_EQ(table->field("EMPNO")->trimmed(), c.at) << c.key;
    }
}

TEST_F(TagTest, SeekOnNumericDateAndDescendingTags) {
    table->select(table->tag("PayTag"));
    EXPECT_EQ(table->seekDouble(900000), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e010");
    EXPECT_EQ(table->seekDouble(1000000), r4after); // descending: next smaller pay
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e010");
    EXPECT_EQ(table->seek("-250.5"), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "E001");
    EXPECT_EQ(table->seekDouble(-1e9), r4eof);
    table->select(table->tag("NameTag"));
    EXPECT_EQ(table->seek("SWAI        20200115"), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e010");
}

TEST_F(TagTest, SeekNextWalksEqualKeys) {
    table->select(table->tag("NameTag"));
    EXPECT_EQ(table->seekNext("SWAI"), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e007");
    EXPECT_EQ(table->seekNext("SWAI"), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e010");
    EXPECT_EQ(table->seekNext("SWAI"), r4eof);
    EXPECT_EQ(table->seekNext("KIMARO"), r4success);
    EXPECT_EQ(table->seekNext("KIMARO"), r4after);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "E001");
}

TEST_F(TagTest, TagsFollowChangedKeysAppendsAndPack) {
    table->select(table->tag("EmpNoTag"));
    ASSERT_EQ(table->seek("E002"), r4success);
    table->field("EMPNO")->assign("E999");
    table->flush();
    EXPECT_EQ(table->seek("E002"), r4after);
    EXPECT_EQ(table->seek("E999"), r4success);
    append({"E000", "New", 1, "20250101", 9, false});
    EXPECT_EQ(walk("EmpNoTag"), (Names{"E000", "E001", "e007", "e010", "E020", "E999"}));
    table->select(nullptr);
    table->go(1);
    table->deleteRec();
    ASSERT_EQ(table->pack(), r4success);
    EXPECT_EQ(walk("EmpNoTag"), (Names{"E000", "E001", "e007", "E020", "E999"}));
    table.reset();
    table = Data4::open(code, dir.file("trans.dbf"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->tagCount(), 5);
    EXPECT_EQ(walk("EmpNoTag"), (Names{"E000", "E001", "e007", "E020", "E999"}));
}

TEST_F(TagTest, SkipFromARecordThatLeftTheFilter) {
    walk("EmpNoTag2");
    table->select(table->tag("EmpNoTag2"));
    ASSERT_EQ(table->seek("E002"), r4success);
    table->field("REMOVED")->assignLogical(true);
    ASSERT_EQ(table->skip(), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e010");
    EXPECT_EQ(walk("EmpNoTag2"), (Names{"E001", "e010", "E020"}));
}

TEST_F(TagTest, TagSelectionByNameAndInOrder) {
    EXPECT_EQ(table->select("NameTag"), r4success);
    EXPECT_EQ(table->selected()->name(), "NameTag");
    EXPECT_EQ(table->select("NoSuchTag"), r4noTag);
    code.setErrorCode(0);
    std::vector<std::string> names;
    for (Tag4* t = table->tagNext(nullptr); t; t = table->tagNext(t))
        names.push_back(t->name());
    EXPECT_EQ(names, (Names{"EmpNoTag", "NameTag", "PayTag", "GradeTag", "EmpNoTag2"}));
    table->select(nullptr);
    EXPECT_EQ(table->seek("E001"), r4noTag);
}

TEST_F(TagTest, ManyRandomKeysMatchASortedCopy) {
    std::mt19937 random(7);
    std::vector<std::string> keys;
    for (int i = 0; i < 3000; ++i) {
        std::string key = "K" + std::to_string(random() % 100000);
        keys.push_back(key);
        append({key.c_str(), "R", static_cast<double>(random() % 1000), "20200101", 0, false});
        if (i % 500 == 0) { // interleave ordered reads with appends
            table->select(table->tag("EmpNoTag"));
            table->seek(key);
            table->select(nullptr);
        }
    }
    for (const Row& row : kRows) {
        std::string k = row.empNo;
        std::transform(k.begin(), k.end(), k.begin(), ::toupper);
        keys.push_back(k);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> walked;
    table->select(table->tag("EmpNoTag"));
    for (int rc = table->top(); rc == r4success; rc = table->skip()) {
        std::string k = table->field("EMPNO")->trimmed();
        std::transform(k.begin(), k.end(), k.begin(), ::toupper);
        walked.push_back(k);
    }
    EXPECT_EQ(walked, keys);
}

TEST(TagDefinitions, BadExpressionsFailCreateWithAClearCode) {
    TempDir dir;
    Code4 code;
    const std::vector<Tag4Info> bad = {
        {"T", "UPPER(", "", false, false},   {"T", "NOSUCH", "", false, false},
        {"T", "EMPNO", "PAY", false, false}, // filter not logical
        {"", "EMPNO", "", false, false},     {"TOOLONGNAMEX", "EMPNO", "", false, false},
    };
    for (const Tag4Info& tag : bad) {
        code.setErrorCode(0);
        EXPECT_EQ(Data4::create(code, dir.file("t.dbf"), kFields, {tag}), nullptr)
            << tag.expression;
        EXPECT_EQ(code.errorCode(), e4expr) << tag.expression;
        EXPECT_FALSE(std::filesystem::exists(dir.file("t.dbf")));
    }
    code.setErrorCode(0);
    EXPECT_EQ(Data4::create(code, dir.file("t.dbf"), kFields,
                            {{"A", "EMPNO", "", false, false}, {"a", "NAME", "", false, false}}),
              nullptr);
    EXPECT_EQ(code.errorCode(), e4tagName);
}

TEST(TagDefinitions, DamagedIndexFileFailsOpen) {
    TempDir dir;
    Code4 code;
    ASSERT_NE(Data4::create(code, dir.file("t.dbf"), kFields, kTags), nullptr);
    struct Case {
        const char* contents;
        int code;
    };
    const Case cases[] = {
        {"", e4index},
        {"garbage\n", e4index},
        {"KELO-INDEX 1\nTAG\tA\t0\t0\tEMPNO\t\n", e4index}, // cut short
        {"KELO-INDEX 1\nTAG\tA\t0\t0\tUPPER(NOSUCH)\t\nEND\n", e4expr},
        {"KELO-INDEX 1\nTAG\tA\t2\t0\tEMPNO\t\nEND\n", e4index},
    };
    for (const Case& c : cases) {
        std::ofstream(dir.file("t.cdx"), std::ios::trunc) << c.contents;
        code.setErrorCode(0);
        EXPECT_EQ(Data4::open(code, dir.file("t.dbf")), nullptr) << c.contents;
        EXPECT_EQ(code.errorCode(), c.code) << c.contents;
        if (c.code == e4index) {
            EXPECT_NE(code.errorText().find(dir.file("t.cdx")), std::string::npos)
                << code.errorText();
        }
    }
}

// A missing index file is how a table without tags is kept, so a plain open
// cannot tell it from a lost one; a caller that knows the tags can.
TEST(TagDefinitions, OpenWithTagsWritesALostOrDamagedIndexFileAgain) {
    const std::vector<Tag4Info> wanted = {{"EMPNO", "UPPER(EMPNO)", "", false, false},
                                          {"NAME", "NAME", "", false, false}};
    struct Case {
        const char* name;
        std::optional<std::string> contents; // none: no index file
        std::vector<std::string> tagsAfter;
    };
    const std::vector<Case> cases = {
        {"missing", std::nullopt, {"EMPNO", "NAME"}},
        {"empty", "", {"EMPNO", "NAME"}},
        {"garbage", "garbage\n", {"EMPNO", "NAME"}},
        {"cut short", "KELO-INDEX 1\nTAG\tEMPNO\t0\t0\tEMPNO\t\n", {"EMPNO", "NAME"}},
        {"one tag short", "KELO-INDEX 1\nTAG\tNAME\t0\t0\tNAME\t\nEND\n", {"EMPNO", "NAME"}},
        {"another tag besides",
         "KELO-INDEX 1\nTAG\tSAL\t0\t1\tPAY\t\nEND\n",
         {"EMPNO", "NAME", "SAL"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Code4 code;
        {
            auto table = Data4::create(code, dir.file("t.dbf"), kFields, wanted);
            ASSERT_NE(table, nullptr);
            for (const char* empNo : {"E2", "E1", "E3"}) {
                ASSERT_EQ(table->appendStart(), r4success);
                table->blank();
                table->field("EMPNO")->assign(empNo);
                ASSERT_EQ(table->append(), r4success);
            }
        }
        std::filesystem::remove(dir.file("t.cdx"));
        if (c.contents)
            std::ofstream(dir.file("t.cdx"), std::ios::trunc) << *c.contents;

        auto table = Data4::openWithTags(code, dir.file("t.dbf"), wanted);
        ASSERT_NE(table, nullptr) << code.errorText();
        EXPECT_TRUE(table->isExclusive());
        ASSERT_EQ(table->select("EMPNO"), r4success);
        ASSERT_EQ(table->seek("E1"), r4success);
        EXPECT_EQ(table->recNo(), 2);
        table.reset();

        // Written to the file, for every later opener.
        auto again = Data4::open(code, dir.file("t.dbf"));
        ASSERT_NE(again, nullptr) << code.errorText();
        std::vector<std::string> names;
        for (Tag4* t = again->tagNext(nullptr); t; t = again->tagNext(t))
            names.push_back(t->name());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.tagsAfter);
        EXPECT_EQ(code.errorCode(), 0) << code.errorText();
    }
}

} // namespace
} // namespace kelo::engine
