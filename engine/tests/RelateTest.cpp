#include "engine/Data4.h"
#include "engine/Relate4.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

// Personnel as master in name order, transactions as slave on the employee number.
class RelateTest : public ::testing::Test {
protected:
    void SetUp() override {
        staff = Data4::create(code, dir.file("static.dbf"),
                              {{"EMPNO", 'C', 19, 0}, {"LAST", 'C', 10, 0}},
                              {{"LastTag", "UPPER(LAST)", "", false, false}});
        trans = Data4::create(code, dir.file("monpay.dbf"),
                              {{"EMPNO", 'C', 19, 0}, {"HOURS", 'N', 6, 1}},
                              {{"EmpNoTag2", "UPPER(EMPNO)", "", false, false}});
        ASSERT_TRUE(staff && trans);
        const std::pair<const char*, const char*> people[] = {
            {"E1", "Okello"}, {"e2", "Ali"}, {"E3", "Juma"}, {"E4", "Bakari"}};
        for (auto [no, last] : people) {
            staff->appendStart();
            staff->field("EMPNO")->assign(no);
            staff->field("LAST")->assign(last);
            staff->append();
        }
        for (auto [no, hours] : {std::pair{"E1", 8.0}, {"E2", 7.5}, {"E4", 6.0}}) {
            trans->appendStart();
            trans->field("EMPNO")->assign(no);
            trans->field("HOURS")->assignDouble(hours);
            trans->append();
        }
        staff->select(staff->tag("LastTag"));
        relation = Relate4::init(*staff);
        slave = relation->createSlave(*trans, "UPPER(EMPNO)", trans->tag("EmpNoTag2"));
        ASSERT_NE(slave, nullptr);
    }

    std::string current() {
        return staff->field("LAST")->trimmed() + "=" +
               (trans->eof() ? std::string("null")
                             : formatFixed(trans->field("HOURS")->getDouble(), 1));
    }

    std::vector<std::string> walk(bool backwards = false) {
        std::vector<std::string> seen;
        for (int rc = backwards ? relation->bottom() : relation->top(); rc == r4success;
             rc = relation->skip(backwards ? -1 : 1))
            seen.push_back(current());
        return seen;
    }

    TempDir dir;
    Code4 code;
    std::unique_ptr<Data4> staff;
    std::unique_ptr<Data4> trans;
    std::unique_ptr<Relate4> relation;
    Relate4* slave = nullptr;
};

using Seen = std::vector<std::string>;

TEST_F(RelateTest, BlankActionShowsMastersWithoutSlaves) {
    EXPECT_EQ(walk(), (Seen{"Ali=7.5", "Bakari=6.0", "Juma=null", "Okello=8.0"}));
}

TEST_F(RelateTest, BackwardSkipsNeedEnabling) {
    relation->bottom();
    EXPECT_EQ(relation->skip(-1), e4relate);
    code.setErrorCode(0);
    relation->skipEnable(true);
    EXPECT_EQ(walk(true), (Seen{"Okello=8.0", "Juma=null", "Bakari=6.0", "Ali=7.5"}));
}

TEST_F(RelateTest, SkipRecordActionPassesOverMastersWithoutSlaves) {
    slave->setErrorAction(Relate4::ErrorAction::SkipRecord);
    relation->skipEnable(true);
    EXPECT_EQ(walk(), (Seen{"Ali=7.5", "Bakari=6.0", "Okello=8.0"}));
    EXPECT_EQ(walk(true), (Seen{"Okello=8.0", "Bakari=6.0", "Ali=7.5"}));
}

TEST_F(RelateTest, TerminateActionFailsTheMove) {
    slave->setErrorAction(Relate4::ErrorAction::Terminate);
    ASSERT_EQ(relation->top(), r4success);
    ASSERT_EQ(relation->skip(), r4success);
    EXPECT_EQ(relation->skip(), e4relate);
    EXPECT_EQ(code.errorCode(), e4relate);
}

TEST_F(RelateTest, DoAllFollowsTheMasterAndBadExpressionsAreRefused) {
    staff->select(nullptr);
    staff->go(1);
    relation->doAll();
    EXPECT_EQ(current(), "Okello=8.0");
    EXPECT_EQ(relation->createSlave(*trans, "UPPER(NOSUCH)", trans->tag("EmpNoTag2")), nullptr);
    EXPECT_EQ(code.errorCode(), e4expr);
}

} // namespace
} // namespace kelo::engine
