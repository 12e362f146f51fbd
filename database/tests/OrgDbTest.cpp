#include "database/OrgDb.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelo::database {
namespace {

using common::ORGREC;
using W = common::OrgWidths;

// Every field set, none to its default.
ORGREC fullOrg() {
    ORGREC org;
    org.name = "Kilimanjaro Coffee Growers";
    org.itNum = "100-200-300";
    org.nssfNum = "NSSF-778899";
    org.regionalCode = "KLM-07";
    org.poBox = "3021";
    org.town = "Moshi";
    org.postCode = "25101";
    org.telephone = "+255 27 275 0000";
    org.folder = "../org01";
    org.weekEndDay = 28;
    org.fortnightEndDay = 21;
    org.irregEndDay = 3;
    org.month = "November";
    org.year = 2024;
    org.fiscalYear = 2024;
    org.monthEditable = 0;
    org.weekEndEditable = 1;
    org.fortnightEndEditable = 0;
    org.bankName = "CRDB Bank";
    org.branchName = "Moshi Branch";
    org.accountNum = "0150-1234567-00";
    org.sfiSenderId = "KCG01";
    org.bTrFileID = 417;
    org.payFreq = common::BIWEEKLY;
    org.formSortKey = common::kSortByLastName;
    org.purgeReports = 1;
    org.purgeAge = 5;
    org.taxEmployerPension = 0;
    org.paySdl = 1;
    org.roundNetPay = 1;
    org.roundingUnit = 500;
    return org;
}

void expectSameOrg(const ORGREC& a, const ORGREC& b) {
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

class OrgDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("system/settings"));
        std::filesystem::create_directories(dir.file("org01"));
        folder = common::WorkingFolder(dir.path());
        ASSERT_TRUE(orgs.createFile(ui));
        ASSERT_TRUE(orgs.openFile());
    }
    void append(const ORGREC& org) {
        ASSERT_EQ(orgs.data()->appendStart(), engine::r4success);
        orgs.data()->blank();
        orgs.storeRec(org);
        ASSERT_EQ(orgs.data()->append(), engine::r4success);
    }
    ORGREC named(const std::string& name, std::int32_t orgNum) {
        ORGREC org = common::newOrgRec(orgNum);
        org.name = name;
        org.month = "July";
        org.year = 2024;
        org.fiscalYear = 2024;
        return org;
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    ORGDB orgs{code, folder};
};

TEST_F(OrgDbTest, LivesInTheSystemSettingsFromEveryFolder) {
    EXPECT_EQ(orgs.path(), dir.file("system/settings/org.dbf"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("system/settings/org.dbf")));
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating org.dbf...", ""}));
    append(named("Acme Ltd", 1));
    orgs.closeFile();
    folder.moveTo("../org01");
    EXPECT_EQ(orgs.path(), dir.file("system/settings/org.dbf"));
    ASSERT_TRUE(orgs.openFile());
    EXPECT_EQ(orgs.orgCount(), 1);
    ASSERT_NE(orgs.data()->tag(ORGDB::kNameTag), nullptr);
    EXPECT_EQ(orgs.data()->tag(ORGDB::kNameTag)->info().expression, "UPPER(NAME)");
}

TEST_F(OrgDbTest, EveryFieldSurvivesARoundTripAndOrgNumIsTheRecordNumber) {
    append(named("Acme Ltd", 1));
    ORGREC stored = fullOrg();
    append(stored);
    orgs.closeFile();
    ASSERT_TRUE(orgs.openFile());
    ASSERT_EQ(orgs.data()->go(2), engine::r4success);
    ORGREC loaded;
    loaded.orgNum = 77; // replaced by the record number
    orgs.loadRec(loaded);
    stored.orgNum = 2;
    expectSameOrg(loaded, stored);

    // A row written back from a loaded record reads the same again.
    orgs.storeRec(loaded);
    ASSERT_EQ(orgs.data()->flush(), engine::r4success);
    ORGREC again;
    orgs.loadRec(again);
    expectSameOrg(again, stored);
}

TEST_F(OrgDbTest, NewOrganisationDefaultsRoundTrip) {
    ORGREC fresh = named("Baobab Traders", 1);
    append(fresh);
    ORGREC loaded;
    orgs.loadRec(loaded);
    expectSameOrg(loaded, fresh);
    EXPECT_EQ(loaded.folder, "../org01");
}

TEST_F(OrgDbTest, FlagsAreWrittenAsTAndF) {
    ORGREC org = fullOrg();
    append(org);
    const std::vector<std::pair<const char*, int>> flags{
        {"MONTHEDIT", org.monthEditable},       {"WEEKEDIT", org.weekEndEditable},
        {"FORTEDIT", org.fortnightEndEditable}, {"PURGEREP", org.purgeReports},
        {"TAXEMPPEN", org.taxEmployerPension},  {"PAYSDL", org.paySdl},
        {"ROUNDNET", org.roundNetPay}};
    for (const auto& [column, value] : flags) {
        SCOPED_TRACE(column);
        ASSERT_NE(orgs.data()->field(column), nullptr);
        EXPECT_EQ(orgs.data()->field(column)->str(), value ? "T" : "F");
    }
}

TEST_F(OrgDbTest, TextsAreCutToTheirWidths) {
    struct Case {
        std::string ORGREC::*member;
        std::size_t width;
    };
    const std::vector<Case> cases{
        {&ORGREC::name, W::kNameWidth},
        {&ORGREC::itNum, W::kItNumWidth},
        {&ORGREC::nssfNum, W::kNssfNumWidth},
        {&ORGREC::regionalCode, W::kRegionalCodeWidth},
        {&ORGREC::poBox, W::kPoBoxWidth},
        {&ORGREC::town, W::kTownWidth},
        {&ORGREC::postCode, W::kPostCodeWidth},
        {&ORGREC::telephone, W::kTelephoneWidth},
        {&ORGREC::folder, W::kFolderWidth},
        {&ORGREC::month, W::kMonthWidth},
        {&ORGREC::bankName, W::kBankNameWidth},
        {&ORGREC::branchName, W::kBranchNameWidth},
        {&ORGREC::accountNum, W::kAccountNumWidth},
        {&ORGREC::sfiSenderId, W::kSfiSenderIdWidth},
    };
    ORGREC org = fullOrg();
    for (const Case& c : cases) {
        std::string text;
        for (std::size_t i = 0; i < c.width + 7; ++i)
            text += static_cast<char>('A' + i % 26);
        org.*c.member = text;
    }
    append(org);
    ORGREC loaded;
    orgs.loadRec(loaded);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(loaded.*c.member, (org.*c.member).substr(0, c.width));
    }
}

TEST_F(OrgDbTest, TrailingBlanksAreDroppedOnLoad) {
    ORGREC org = named("  Mwanza Fisheries   ", 1);
    org.town = "Mwanza   ";
    append(org);
    ORGREC loaded;
    orgs.loadRec(loaded);
    EXPECT_EQ(loaded.name, "  Mwanza Fisheries");
    EXPECT_EQ(loaded.town, "Mwanza");
}

TEST_F(OrgDbTest, FindsNamesWithoutRegardToCase) {
    append(named("Zanzibar Spice Co", 1));
    append(named("Acme Ltd", 2));
    append(named("baobab traders", 3));
    EXPECT_EQ(orgs.orgCount(), 3);

    struct Case {
        const char* wanted;
        bool found;
        long recNo;
    };
    for (const Case& c : std::vector<Case>{{"ACME LTD", true, 2},
                                           {"acme ltd", true, 2},
                                           {"  Baobab Traders  ", true, 3},
                                           {"zanzibar spice co", true, 1},
                                           {"Acme", false, 0},
                                           {"Acme Ltd.", false, 0},
                                           {"", false, 0}}) {
        SCOPED_TRACE(c.wanted);
        EXPECT_EQ(orgs.findByName(c.wanted), c.found);
        if (c.found) {
            EXPECT_EQ(orgs.data()->recNo(), c.recNo);
        }
    }
    EXPECT_EQ(code.errorCode(), 0);

    // The look-up leaves the table in name order.
    EXPECT_EQ(orgs.data()->selected(), orgs.data()->tag(ORGDB::kNameTag));
    ASSERT_EQ(orgs.data()->top(), engine::r4success);
    ORGREC first;
    orgs.loadRec(first);
    EXPECT_EQ(first.name, "Acme Ltd");
    EXPECT_EQ(first.orgNum, 2);
}

TEST_F(OrgDbTest, AOverlongNameIsFoundByItsStoredPart) {
    const std::string longName(W::kNameWidth + 10, 'k');
    append(named(longName, 1));
    EXPECT_TRUE(orgs.findByName(longName));
    EXPECT_TRUE(orgs.findByName(longName.substr(0, W::kNameWidth)));
}

TEST_F(OrgDbTest, MissingTableFailsToOpenAndCountsNothing) {
    orgs.closeFile();
    std::filesystem::remove(dir.file("system/settings/org.dbf"));
    EXPECT_FALSE(orgs.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);
    EXPECT_EQ(orgs.orgCount(), 0);
    EXPECT_FALSE(orgs.findByName("Acme Ltd"));
}

TEST_F(OrgDbTest, AnExistingTableIsNotReplaced) {
    append(named("Acme Ltd", 1));
    orgs.closeFile();
    ui.clear();
    EXPECT_FALSE(orgs.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create ../system/settings/org.dbf");
    EXPECT_EQ(ui.messages.back().caption, "Kelo Roster");
    ASSERT_TRUE(orgs.openFile());
    EXPECT_EQ(orgs.orgCount(), 1);
}

TEST_F(OrgDbTest, ARowLockedByAnotherUserIsNotOverwritten) {
    append(named("Acme Ltd", 1));
    orgs.closeFile();
    auto other = engine::Data4::open(code, orgs.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->lock(1), engine::r4success);

    ASSERT_TRUE(orgs.openFile());
    ASSERT_EQ(orgs.data()->go(1), engine::r4success);
    EXPECT_EQ(orgs.data()->lock(1), engine::r4locked);
    ORGREC changed = named("Renamed Ltd", 1);
    orgs.storeRec(changed);
    EXPECT_EQ(orgs.data()->flush(), engine::e4lock);
    code.setErrorCode(0);
    orgs.data()->setChanged(false);
    other->unlock();
    other.reset();

    orgs.closeFile();
    ASSERT_TRUE(orgs.openFile());
    ASSERT_EQ(orgs.data()->go(1), engine::r4success);
    ORGREC loaded;
    orgs.loadRec(loaded);
    EXPECT_EQ(loaded.name, "Acme Ltd");
}

} // namespace
} // namespace kelo::database
