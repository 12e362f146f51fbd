#include "procedures/RecoveryPoint.h"

#include "FolderSnapshot.h"
#include "procedures/MonthEndRecovery.h"
#include "procedures/RecoveryMarker.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace kelo::procedures::testing {
namespace {

namespace fs = std::filesystem;

common::ORGREC sampleOrg() {
    common::ORGREC org;
    org.orgNum = 3;
    org.name = "Kilimanjaro Coffee Ltd";
    org.itNum = "100-200-300";
    org.nssfNum = "N 42";
    org.regionalCode = "07";
    org.poBox = "1234";
    org.town = "Moshi";
    org.postCode = "25101";
    org.telephone = "+255 27 275 0000";
    org.folder = "../org03";
    org.weekEndDay = 28;
    org.fortnightEndDay = 21;
    org.irregEndDay = 2;
    org.month = "June";
    org.year = 2025;
    org.fiscalYear = 2024;
    org.monthEditable = 0;
    org.weekEndEditable = 1;
    org.fortnightEndEditable = 1;
    org.bankName = "CRDB Bank";
    org.branchName = "Moshi";
    org.accountNum = "0150 1234 5678";
    org.sfiSenderId = "KCL01";
    org.bTrFileID = 17;
    org.payFreq = common::BIWEEKLY;
    org.formSortKey = 1;
    org.purgeReports = 1;
    org.purgeAge = 3;
    org.taxEmployerPension = 1;
    org.paySdl = 1;
    org.roundNetPay = 1;
    org.roundingUnit = 100;
    return org;
}

void expectSameOrg(const common::ORGREC& a, const common::ORGREC& b) {
    EXPECT_EQ(a.orgNum, b.orgNum);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.itNum, b.itNum);
    EXPECT_EQ(a.nssfNum, b.nssfNum);
    EXPECT_EQ(a.regionalCode, b.regionalCode);
    EXPECT_EQ(a.poBox, b.poBox);
    EXPECT_EQ(a.town, b.town);
    EXPECT_EQ(a.postCode, b.postCode);
    EXPECT_EQ(a.telephone, b.telephone);
    EXPECT_EQ(a.folder, b.folder);
    EXPECT_EQ(a.weekEndDay, b.weekEndDay);
    EXPECT_EQ(a.fortnightEndDay, b.fortnightEndDay);
    EXPECT_EQ(a.irregEndDay, b.irregEndDay);
    EXPECT_EQ(a.month, b.month);
    EXPECT_EQ(a.year, b.year);
    EXPECT_EQ(a.fiscalYear, b.fiscalYear);
    EXPECT_EQ(a.monthEditable, b.monthEditable);
    EXPECT_EQ(a.weekEndEditable, b.weekEndEditable);
    EXPECT_EQ(a.fortnightEndEditable, b.fortnightEndEditable);
    EXPECT_EQ(a.bankName, b.bankName);
    EXPECT_EQ(a.branchName, b.branchName);
    EXPECT_EQ(a.accountNum, b.accountNum);
    EXPECT_EQ(a.sfiSenderId, b.sfiSenderId);
    EXPECT_EQ(a.bTrFileID, b.bTrFileID);
    EXPECT_EQ(a.payFreq, b.payFreq);
    EXPECT_EQ(a.formSortKey, b.formSortKey);
    EXPECT_EQ(a.purgeReports, b.purgeReports);
    EXPECT_EQ(a.purgeAge, b.purgeAge);
    EXPECT_EQ(a.taxEmployerPension, b.taxEmployerPension);
    EXPECT_EQ(a.paySdl, b.paySdl);
    EXPECT_EQ(a.roundNetPay, b.roundNetPay);
    EXPECT_EQ(a.roundingUnit, b.roundingUnit);
}

class RecoveryPointTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(org("database/static.dbf"), std::string("\x30\x00\x01personnel", 12));
        writeFile(org("database/monpay.dat"), "Payroll Fields\r\n");
        writeFile(org("2025/mon05.dbf"), "May's period");
        writeFile(data("system/2024/paye.dbf"), "bands");
        before = snapshot(org(""));
    }
    std::string data(const std::string& path) const { return dir.file("data/" + path); }
    std::string org(const std::string& path) const { return data("org03/" + path); }
    RecoveryPoint point() const { return RecoveryPoint(data(""), data("org03")); }
    RecoveryPoint::Marker marker() const { return {sampleOrg(), data("system/2025"), false, {}}; }
    // What the month end's steps do to the folder.
    void changeEverything() {
        writeFile(org("database/static.dbf"), "rolled");
        fs::remove(org("database/monpay.dat"));
        writeFile(org("2025/mon06.dbf"), "June's period");
        writeFile(org("2026/ytd.dbf"), "next year");
        writeFile(data("system/2025/paye.dbf"), "new bands");
    }

    testsupport::TempDir dir;
    testsupport::RecordingUi ui;
    std::map<std::string, std::string> before;
};

TEST_F(RecoveryPointTest, MarkerKeepsTheWholeRecord) {
    const auto text = writeMarker(marker());
    writeFile(dir.file("marker.txt"), text);
    const auto read = readMarker(dir.file("marker.txt"));
    ASSERT_TRUE(read);
    expectSameOrg(read->org, sampleOrg());
    EXPECT_EQ(read->newStatutoryFolder, data("system/2025"));
    EXPECT_FALSE(read->statutoryFolderExisted);
}

TEST_F(RecoveryPointTest, AMarkerCutShortIsNoMarker) {
    const std::string text = writeMarker(marker());
    writeFile(dir.file("marker.txt"), text.substr(0, text.size() - 4));
    EXPECT_FALSE(readMarker(dir.file("marker.txt")));
    EXPECT_FALSE(readMarker(dir.file("missing.txt")));
}

TEST_F(RecoveryPointTest, RestorePutsEveryByteBack) {
    ASSERT_TRUE(point().make(marker()));
    changeEverything();
    ASSERT_TRUE(point().restore(marker()));
    EXPECT_TRUE(snapshot(org("")) == before);
    EXPECT_FALSE(fs::exists(data("system/2025")));
    EXPECT_TRUE(fs::exists(data("system/2024/paye.dbf")));
}

TEST_F(RecoveryPointTest, AStatutoryYearThatExistedStays) {
    auto existed = marker();
    existed.statutoryFolderExisted = true;
    existed.statutoryFiles = {"paye.dbf"};
    writeFile(data("system/2025/paye.dbf"), "bands");
    ASSERT_TRUE(point().make(existed));
    changeEverything();
    ASSERT_TRUE(point().restore(existed));
    EXPECT_TRUE(fs::exists(data("system/2025/paye.dbf")));
}

TEST_F(RecoveryPointTest, OnlyTheStatutoryFilesTheMonthEndMadeGo) {
    writeFile(data("system/2025/readme.txt"), "kept");
    auto existed = marker();
    existed.statutoryFolderExisted = true;
    existed.statutoryFiles = {"readme.txt"};
    ASSERT_TRUE(point().make(existed));
    changeEverything();
    const auto read = point().marker();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->statutoryFiles, std::vector<std::string>{"readme.txt"});
    ASSERT_TRUE(point().restore(*read));
    EXPECT_FALSE(fs::exists(data("system/2025/paye.dbf")));
    EXPECT_TRUE(fs::exists(data("system/2025/readme.txt")));
}

TEST_F(RecoveryPointTest, DropRemovesMarkerAndCopy) {
    ASSERT_TRUE(point().make(marker()));
    EXPECT_TRUE(point().marker());
    point().drop();
    EXPECT_FALSE(point().marker());
    EXPECT_FALSE(fs::exists(point().path()));
}

TEST_F(RecoveryPointTest, InterruptedMonthEndIsUndoneAndTold) {
    ASSERT_TRUE(point().make(marker()));
    changeEverything();
    std::vector<common::ORGREC> saved;
    const bool recovered = recoverMonthEnd(ui, data(""), data("org03"), [&](const auto& row) {
        saved.push_back(row);
        return true;
    });
    EXPECT_TRUE(recovered);
    EXPECT_TRUE(snapshot(org("")) == before);
    ASSERT_EQ(saved.size(), 1u);
    expectSameOrg(saved[0], sampleOrg());
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(),
              "The month end of June 2025 for Kilimanjaro Coffee Ltd was interrupted before it "
              "finished. The organisation's files have been put back as they were before it "
              "started, so nothing is half done. Please run the month end again.");
    EXPECT_FALSE(fs::exists(point().path()));
}

TEST_F(RecoveryPointTest, ARowThatCannotBeWrittenKeepsTheMarkerForNextTime) {
    ASSERT_TRUE(point().make(marker()));
    changeEverything();
    EXPECT_FALSE(recoverMonthEnd(ui, data(""), data("org03"), [](const auto&) { return false; }));
    EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
    EXPECT_TRUE(point().marker());
    EXPECT_EQ(recoverMonthEnds(ui, data(""), [](const auto&) { return true; }), 1);
    EXPECT_TRUE(snapshot(org("")) == before);
}

TEST_F(RecoveryPointTest, ACopyWithoutMarkerIsThrownAwayQuietly) {
    ASSERT_TRUE(point().make(marker()));
    fs::remove(point().path() + "/marker.txt");
    writeFile(org("database/static.dbf"), "keyed since");
    const auto current = snapshot(org(""));
    EXPECT_FALSE(recoverMonthEnd(ui, data(""), data("org03"), [](const auto&) { return true; }));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(snapshot(org("")) == current);
    EXPECT_FALSE(fs::exists(point().path()));
}

TEST_F(RecoveryPointTest, AHeldRecoveryPointIsInUse) {
    RecoveryPoint running(data(""), data("org03"));
    ASSERT_TRUE(running.hold());
    ASSERT_TRUE(running.make(marker()));
    EXPECT_TRUE(point().heldElsewhere());
    EXPECT_FALSE(recoverMonthEnd(ui, data(""), data("org03"), [](const auto&) { return true; }));
    EXPECT_TRUE(running.marker());
    running.release();
    EXPECT_FALSE(point().heldElsewhere());
    EXPECT_EQ(recoverMonthEnds(ui, data(""), [](const auto&) { return true; }), 1);
}

TEST_F(RecoveryPointTest, NothingToRecoverIsQuiet) {
    EXPECT_EQ(recoverMonthEnds(ui, data(""), [](const auto&) { return true; }), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(snapshot(org("")) == before);
}

TEST_F(RecoveryPointTest, AMissingFolderMakesNoRecoveryPoint) {
    RecoveryPoint missing(data(""), data("org09"));
    EXPECT_FALSE(missing.make(marker()));
    EXPECT_FALSE(fs::exists(missing.path()));
}

} // namespace
} // namespace kelo::procedures::testing
