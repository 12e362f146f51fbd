#include "database/PostsDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

class PostsDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        ASSERT_TRUE(posts.createFile(ui));
        ASSERT_TRUE(posts.openFile());
    }
    void addSome() {
        for (const POSTREC& p : rows)
            ASSERT_TRUE(posts.appendRecord(p));
    }
    // Unit 12 has two jobs; job 3 is found in two units.
    const std::vector<POSTREC> rows{
        {12, 3, {2, 0, 0, 1}}, {4, 3, {1, 1, 1, 1}}, {12, 1, {0, 5, 0, 0}}, {100, 7, {0, 0, 0, 9}}};

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    POSTSDB posts{code, folder};
};

TEST_F(PostsDbTest, SchemaHoldsUnitJobAndFourCounts) {
    std::vector<std::string> names;
    for (const auto& f : posts.schema().fields)
        names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"UNIT", "JOB", "PERMANENT", "CONTRACT", "TEMPORARY",
                                               "CASUAL"}));
    EXPECT_EQ(posts.path(), dir.file("org01/settings/posts.dbf"));
}

TEST_F(PostsDbTest, CountsTheRowsOfAUnitOrAJob) {
    addSome();
    struct Case {
        int kind;
        long code;
        long count;
    };
    const Case cases[] = {
        {POSTSDB::ByUnit, 12, 2},
        {POSTSDB::ByUnit, 4, 1},
        {POSTSDB::ByUnit, 3, 0},
        {POSTSDB::ByJob, 3, 2},
        {POSTSDB::ByJob, 7, 1},
        {POSTSDB::ByJob, 12, 0},
        {0, 12, 0},
        {3, 12, 0}, // no such kind
    };
    for (const Case& c : cases)
        EXPECT_EQ(posts.getMemberCnt(c.kind, c.code), c.count) << c.kind << "/" << c.code;
}

TEST_F(PostsDbTest, FindsRowsByUnitAndJob) {
    addSome();
    POSTREC rec;
    ASSERT_TRUE(posts.getPostRec(12, 3, rec));
    EXPECT_EQ(rec, rows[0]);
    EXPECT_EQ(rec.total(), 3);
    EXPECT_FALSE(posts.getPostRec(12, 7, rec));
    EXPECT_FALSE(posts.getPostRec(1, 2, rec)); // 1 and 2 are parts of other keys' digits
    EXPECT_EQ(rec, rows[0]);

    EXPECT_EQ(posts.unitPosts(12), (std::vector<POSTREC>{rows[2], rows[0]}));
    EXPECT_EQ(posts.unitPosts(100), (std::vector<POSTREC>{rows[3]}));
    EXPECT_TRUE(posts.unitPosts(1).empty());
    ASSERT_TRUE(posts.orderByUnit());
    ASSERT_TRUE(posts.gotoPost(100, 7));
    EXPECT_EQ(posts.allPosts(), (std::vector<POSTREC>{rows[1], rows[2], rows[0], rows[3]}));
    // Still on the row gone to, in unit order.
    EXPECT_EQ(posts.currentRec(), rows[3]);
    EXPECT_EQ(posts.data()->skip(-1), engine::r4success);
    EXPECT_EQ(posts.currentRec(), rows[0]);
    EXPECT_FALSE(posts.gotoPost(4, 7));
    EXPECT_TRUE(posts.data()->eof());
}

TEST_F(PostsDbTest, UpdatesCountsUnlessAnotherUserHoldsTheRow) {
    addSome();
    ASSERT_TRUE(posts.gotoPost(4, 3));
    POSTREC changed = rows[1];
    changed.count[POSTREC::Casual] = 0;
    changed.count[POSTREC::Permanent] = 6;
    ASSERT_TRUE(posts.updateRecord(changed));
    POSTREC rec;
    ASSERT_TRUE(posts.getPostRec(4, 3, rec));
    EXPECT_EQ(rec, changed);

    POSTSDB other(code, folder);
    ASSERT_TRUE(other.openFile());
    ASSERT_TRUE(other.gotoPost(4, 3));
    ASSERT_EQ(other.data()->lock(other.data()->recNo()), engine::r4success);
    ASSERT_TRUE(posts.gotoPost(4, 3));
    EXPECT_FALSE(posts.updateRecord(rows[1]));
    code.setErrorCode(0);
    ASSERT_TRUE(posts.getPostRec(4, 3, rec));
    EXPECT_EQ(rec, changed);

    ASSERT_EQ(other.data()->lockAll(), engine::r4success);
    EXPECT_FALSE(posts.appendRecord({5, 5, {1, 0, 0, 0}}));
    code.setErrorCode(0);
    EXPECT_EQ(posts.getMemberCnt(POSTSDB::ByUnit, 5), 0);
}

TEST_F(PostsDbTest, ClosedTable) {
    addSome();
    posts.closeFile();
    POSTREC rec;
    EXPECT_EQ(posts.getMemberCnt(POSTSDB::ByUnit, 12), 0);
    EXPECT_FALSE(posts.getPostRec(12, 3, rec));
    EXPECT_FALSE(posts.appendRecord(rec));
    EXPECT_TRUE(posts.allPosts().empty());
    EXPECT_FALSE(posts.orderByUnit());
}

} // namespace
} // namespace kelo::database
