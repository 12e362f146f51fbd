#include "StaffReportsFixture.h"

#include <chrono>
#include <thread>

namespace kelo::staffreports::testing {
namespace {

using Items = std::vector<std::pair<int, std::string>>;

struct StaticRepDbTest : StaffReportsFixture {
    bool writeActive() {
        STATICREPDB store(owner, code, folder);
        return store.checkFiles(ui, DB_ACTIVE, org) && store.writeFile(ui, DB_ACTIVE, org);
    }

    std::vector<PERSREPREC> recordsOf(DB db) {
        common::TaggedReader r(resolved(personnelFilePath(db, 2025)));
        int year = 0;
        std::string name;
        EXPECT_TRUE(r.skipFileId() && readHeader(r, year, name) &&
                    r.findTag("records", common::TagKind::BlockStart));
        EXPECT_EQ(year, 2025);
        EXPECT_EQ(name, "Kilimo Traders Ltd");
        std::vector<PERSREPREC> records;
        PERSREPREC rec;
        bool damaged = false;
        while (readRecord(r, rec, damaged))
            records.push_back(rec);
        EXPECT_FALSE(damaged);
        return records;
    }
};

TEST_F(StaticRepDbTest, TheActiveFileNamesEveryCodeInEmployeeNumberOrder) {
    ASSERT_TRUE(writeActive());
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Creating 2025/active.dbf...", ""}));
    const std::string path = personnelFilePath(DB_ACTIVE, 2025);
    EXPECT_EQ(path, "2025/active.dbf");
    EXPECT_TRUE(common::checkFileId(ui, resolved(path), path)) << ui.lastMessage();
    const std::vector<std::string> lines = linesOf(bytesOf(resolved(path)));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "# Active employees report file");
    EXPECT_EQ(lines[1], "# [../org01/2025/active.dbf]");
    EXPECT_EQ(lines[2], "# ");

    const std::vector<PERSREPREC> records = recordsOf(DB_ACTIVE);
    ASSERT_EQ(records.size(), 5u);
    const PERSREPREC& alice = records[2];
    EXPECT_EQ(alice.seqNum, 3);
    EXPECT_EQ(alice.empNum, "E003");
    EXPECT_EQ(alice.jobTitle, "Clerk");
    EXPECT_EQ(alice.gradeName, "Support");
    EXPECT_EQ(alice.unitPath, "Stores.Finance.Head Office");
    EXPECT_EQ(alice.stationName, "Mbeya");
    EXPECT_EQ(alice.payGroupName, "Office Staff");
    EXPECT_EQ(alice.terms, 1);
    EXPECT_EQ(alice.birthDate, (common::date{1990, 10, 12}));
    EXPECT_EQ(alice.supervisorNum, "E002");
    EXPECT_EQ(alice.supervisorName, "Banda, Peter");
    EXPECT_EQ(alice.payRate, 500000);
    EXPECT_FLOAT_EQ(alice.hoursPerMonth, 176);
    EXPECT_FLOAT_EQ(alice.leaveEntitlement, 28);
    // The supervisor's number is sought without regard to case.
    EXPECT_EQ(records[3].supervisorName, "Banda, Peter");
    EXPECT_EQ(records[0].supervisorName, "");
    EXPECT_EQ(records[0].gradeName, "Senior Management");
    EXPECT_EQ(records[0].unitPath, "Head Office");
}

TEST_F(StaticRepDbTest, AnItemHoldsItsValuesInTheirOrderAndForms) {
    change("E001", [](common::STATICREC& m, database::PERSONNELREC& p) {
        m.payBasis = common::kPayBasisDaily;
        m.dailyRate = 22727.5;
        m.hoursPerDay = 7.5f;
        m.leaveEntitlement = 2.5f;
        m.residentialAddress = {"Plot 7", "", "", "Oysterbay"};
        m.terminated = 1;
        m.terminationDate = {2025, 31, 3};
        m.terminationReason = "Retirement";
        m.terminationComment = "Long service";
        m.coop2 = 1;
        p.coopMemberNum = {"", "W-17"};
        m.pensionFund1 = 1;
        p.pensionMemberNum = {"P-9", ""};
        p.tin = "123-456-789";
    });
    ASSERT_TRUE(writeActive());
    common::TaggedReader r(resolved("2025/active.dbf"));
    ASSERT_TRUE(r.skipFileId());
    ASSERT_TRUE(r.findTag("header", common::TagKind::GroupStart));
    std::string value;
    ASSERT_TRUE(r.readValue(value));
    EXPECT_EQ(value, "2025");
    ASSERT_TRUE(r.readValue(value));
    EXPECT_EQ(value, "Kilimo Traders Ltd");
    ASSERT_TRUE(r.findTag({}, common::TagKind::GroupEnd));
    ASSERT_TRUE(r.findTag("records", common::TagKind::BlockStart));
    ASSERT_TRUE(r.findTag("item", common::TagKind::GroupStart));
    std::vector<std::string> values;
    while (r.readValue(value)) {
        values.push_back(value);
        if (r.findTag({}, common::TagKind::GroupEnd))
            break;
    }
    const std::vector<std::string> expected{"1",
                                            "E001",
                                            "Mushi",
                                            "Anna",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "", // number, names, person
                                            "29",
                                            "2",
                                            "1972", // born
                                            "Director",
                                            "Senior Management",
                                            "0",
                                            "Head Office",
                                            "Dar es Salaam",
                                            "1",
                                            "7",
                                            "2001", // started
                                            "1",
                                            "31",
                                            "3",
                                            "2025",
                                            "Retirement",
                                            "Long service", // left
                                            "",
                                            "",     // no supervisor
                                            "2.50", // leave, at least four wide
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "", // office to post code
                                            "Plot 7",
                                            "",
                                            "",
                                            "Oysterbay", // residence
                                            "0",
                                            "0",
                                            "Office Staff",
                                            "",
                                            "",
                                            "", // monthly, cash
                                            "1",
                                            "22728",
                                            "7.50",
                                            "176.00", // daily rate in whole shillings
                                            "0",
                                            "0",
                                            "0",
                                            "0", // time, overtime
                                            "0",
                                            "0",
                                            "0",
                                            "0", // housing
                                            "0",
                                            "0",
                                            "0",
                                            "123-456-789",
                                            "", // statutory
                                            "",
                                            "",
                                            "Walimu SACCOS",
                                            "W-17", // co-operatives
                                            "PSSSF",
                                            "P-9",
                                            "",
                                            ""}; // pension funds
    EXPECT_EQ(values, expected);
}

TEST_F(StaticRepDbTest, ASupervisorMissingFromThePersonnelFileHasNoName) {
    change("E005", [](common::STATICREC&, database::PERSONNELREC& p) { p.supervisor = "X999"; });
    ASSERT_TRUE(writeActive());
    const std::vector<PERSREPREC> records = recordsOf(DB_ACTIVE);
    EXPECT_EQ(records[4].supervisorNum, "X999");
    EXPECT_EQ(records[4].supervisorName, "");
}

TEST_F(StaticRepDbTest, TheActiveFileIsWrittenAgainWhenItIsMissingOrOlderThanASource) {
    EXPECT_TRUE(STATICREPDB::needActiveFile(folder, 2025));
    ASSERT_TRUE(writeActive());
    EXPECT_FALSE(STATICREPDB::needActiveFile(folder, 2025));
    EXPECT_TRUE(STATICREPDB::needActiveFile(folder, 2024));
    for (const std::string& source : STATICREPDB::sourceFiles()) {
        SCOPED_TRACE(source);
        ASSERT_TRUE(writeActive());
        std::error_code error;
        const auto written = std::filesystem::last_write_time(resolved("2025/active.dbf"), error);
        ASSERT_FALSE(error);
        const std::string path = resolved(source);
        if (!std::filesystem::exists(path))
            writeBytes(path, "");
        std::filesystem::last_write_time(path, written + std::chrono::seconds(1));
        EXPECT_TRUE(STATICREPDB::needActiveFile(folder, 2025));
    }
}

TEST_F(StaticRepDbTest, DeletingTheActiveFileIsAnnounced) {
    ASSERT_TRUE(writeActive());
    owner.clear();
    STATICREPDB(owner, code, folder).delActiveFile(org);
    EXPECT_FALSE(std::filesystem::exists(resolved("2025/active.dbf")));
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Deleting 2025/active.dbf...", ""}));
}

TEST_F(StaticRepDbTest, TheFilesNeedEveryTableAndTheRequiredOnesHoldData) {
    struct Case {
        const char* path;
        bool empty; // else missing
        std::string message;
    };
    const std::vector<Case> cases{
        {"settings/grades.dbf", true, "Job Grades"},
        {"settings/stations.dbf", true, "Stations"},
        {"settings/pensions.dbf", false, "Can't open settings/pensions.dbf"},
        {"settings/paygroup.dbf", false, "Can't open settings/paygroup.dbf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TearDown();
        std::filesystem::remove_all(dir.file("org01"));
        SetUp();
        std::filesystem::remove(resolved(c.path));
        if (c.empty) {
            if (std::string(c.path) == "settings/grades.dbf") {
                database::GRADESDB grades(code, folder);
                ASSERT_TRUE(grades.createFile(ui));
            } else {
                database::STATIONSDB stations(code, folder);
                ASSERT_TRUE(stations.createFile(ui));
            }
        }
        ui.clear();
        STATICREPDB store(owner, code, folder);
        EXPECT_FALSE(store.checkFiles(ui, DB_ACTIVE, org));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.lastMessage().find(c.message), std::string::npos) << ui.lastMessage();
    }
}

TEST_F(StaticRepDbTest, LeaversEnterTheFormerEmployeesFileOnceAtTheMonthTheyGoThrough) {
    // Kileo's termination falls in April; Salim's in March.
    terminate("E004", {2025, 10, 4}, "Transfer");
    terminate("E005", {2025, 14, 3}, "Resignation");
    monthEnd("March");
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "E005"}}));
    monthEnd("April");
    EXPECT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "E004"}, {2, "E005"}}));
    // A month with no new leaver writes the same items again.
    monthEnd("May");
    EXPECT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "E004"}, {2, "E005"}}));
    const std::vector<PERSREPREC> leavers = recordsOf(DB_LEAVERS);
    EXPECT_EQ(leavers[1].dateLeft, (common::date{2025, 14, 3}));
    EXPECT_EQ(leavers[1].reasonLeft, "Resignation");
    EXPECT_EQ(leavers[1].terminated, 1);
    EXPECT_EQ(leavers[0].jobTitle, "Clerk");
}

TEST_F(StaticRepDbTest, NewLeaversAreMergedInEmployeeNumberOrderIgnoringCase) {
    terminate("E002", {2025, 1, 3}, "Retirement");
    monthEnd("March");
    add({{"e001a", "Lema", "Grace", kFinance, kClerk, kDar, {}, {2020, 1, 1}, "", 0},
         {"E009", "Zuberi", "Ali", kFinance, kClerk, kDar, {}, {2020, 1, 1}, "", 0}});
    terminate("e001a", {2025, 2, 4}, "Dismissal");
    terminate("E009", {2025, 3, 4}, "Death");
    monthEnd("April");
    EXPECT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "e001a"}, {2, "E002"}, {3, "E009"}}));
}

TEST_F(StaticRepDbTest, AMonthEndRunAgainListsALeaverOnce) {
    terminate("E005", {2025, 14, 3}, "Resignation");
    database::STATDB staff(code, folder);
    ASSERT_TRUE(staff.updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
    STATICREPDB store(owner, code, folder);
    ASSERT_TRUE(store.addLeavers(ui, org));
    ASSERT_TRUE(store.addLeavers(ui, org));
    EXPECT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "E005"}}));
}

struct RefusedFile {
    const char* what;
    std::string bytes;
    std::string message;
};

TEST_F(StaticRepDbTest, ACutOrForeignFormerEmployeesFileIsRefusedAndLeftAsItIs) {
    terminate("E005", {2025, 14, 3}, "Resignation");
    monthEnd("March");
    const std::string path = resolved("2025/leavers.dbf");
    const std::string good = bytesOf(path);
    // The same file written in the second organisation's folder.
    std::string foreign = good;
    const std::string own = "# [../org01/2025/leavers.dbf]";
    foreign.replace(foreign.find(own), own.size(), "# [../org02/2025/leavers.dbf]");
    std::string badVersion = good;
    const std::string version = common::scramble("4.2");
    badVersion.replace(badVersion.find(version + '\0'), version.size(), common::scramble("4.1"));
    const std::vector<RefusedFile> cases{
        {"cut short", good.substr(0, good.size() - 12),
         "File \"" + path + "\" has invalid terminator."},
        {"foreign", foreign,
         "File \"2025/leavers.dbf\" was written for another organisation (../org02)."},
        {"old version", badVersion,
         "File \"" + path + "\" is of version 4.1 while version 4.2 is required."},
    };
    terminate("E004", {2025, 10, 4}, "Transfer");
    for (const RefusedFile& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path, c.bytes);
        ui.clear();
        org.month = "April";
        database::STATDB staff(code, folder);
        ASSERT_TRUE(staff.updateFile(ui, org, common::UPDATE_PERIOD_END, common::MONTHLY));
        STATICREPDB store(owner, code, folder);
        EXPECT_FALSE(store.addLeavers(ui, org));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.lastMessage(), c.message);
        EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
        EXPECT_EQ(bytesOf(path), c.bytes);
    }
}

TEST_F(StaticRepDbTest, ARenumberedFormerEmployeeMovesToHisPlaceWithThoseHeSupervised) {
    terminate("E002", {2025, 3, 3}, "Retirement");
    terminate("E003", {2025, 4, 3}, "Resignation");
    terminate("E004", {2025, 5, 3}, "Transfer");
    monthEnd("March");
    ASSERT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "E002"}, {2, "E003"}, {3, "E004"}}));
    const std::vector<PERSREPREC> before = recordsOf(DB_LEAVERS);
    owner.clear();

    STATICREPDB store(owner, code, folder);
    ASSERT_TRUE(store.updateEmpNum(ui, {"e002", "E009", common::MONTHLY}, org));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Updating 2025/leavers.dbf...", ""}));
    EXPECT_EQ(itemsOf(DB_LEAVERS), (Items{{1, "E003"}, {2, "E004"}, {3, "E009"}}));
    const std::vector<PERSREPREC> after = recordsOf(DB_LEAVERS);
    ASSERT_EQ(after.size(), 3u);
    // E004 named his supervisor in lower case.
    EXPECT_EQ(after[0].supervisorNum, "E009");
    EXPECT_EQ(after[1].supervisorNum, "E009");
    EXPECT_EQ(after[0].supervisorName, "Banda, Peter");
    PERSREPREC moved = before[0];
    moved.seqNum = 3;
    moved.empNum = "E009";
    EXPECT_EQ(after[2], moved);
    EXPECT_TRUE(common::checkFileId(ui, resolved("2025/leavers.dbf"), "2025/leavers.dbf"))
        << ui.lastMessage();
}

TEST_F(StaticRepDbTest, AnEmployeeNotInTheFormerEmployeesFileLeavesItByteForByte) {
    STATICREPDB store(owner, code, folder);
    // No file yet: nothing to change, and none is made.
    EXPECT_TRUE(store.updateEmpNum(ui, {"E005", "E105", common::MONTHLY}, org));
    EXPECT_FALSE(std::filesystem::exists(resolved("2025/leavers.dbf")));

    terminate("E003", {2025, 4, 3}, "Resignation");
    monthEnd("March");
    const std::string before = bytesOf(resolved("2025/leavers.dbf"));
    owner.clear();
    // E005 is neither a former employee nor anyone's supervisor there.
    EXPECT_TRUE(store.updateEmpNum(ui, {"E005", "E105", common::MONTHLY}, org));
    EXPECT_TRUE(ui.messages.empty()) << ui.lastMessage();
    EXPECT_TRUE(owner.statusTexts.empty());
    EXPECT_TRUE(bytesOf(resolved("2025/leavers.dbf")) == before);
}

TEST_F(StaticRepDbTest, ADamagedFormerEmployeesFileIsToldAndLeftAsItIs) {
    terminate("E003", {2025, 4, 3}, "Resignation");
    terminate("E005", {2025, 14, 3}, "Resignation");
    monthEnd("March");
    const std::string path = resolved("2025/leavers.dbf");
    const std::string good = bytesOf(path);
    std::string foreign = good;
    const std::string own = "# [../org01/2025/leavers.dbf]";
    foreign.replace(foreign.find(own), own.size(), "# [../org02/2025/leavers.dbf]");
    // The second item's group ends before its first value.
    std::string badItem = good;
    const std::size_t second = badItem.find("item{", badItem.find("item{") + 1);
    ASSERT_NE(second, std::string::npos);
    badItem.insert(second + 5, "}\n");
    const std::vector<RefusedFile> cases{
        {"cut short", good.substr(0, good.size() - 12),
         "File \"" + path + "\" has invalid terminator."},
        {"foreign", foreign,
         "File \"2025/leavers.dbf\" was written for another organisation (../org02)."},
        {"damaged item", badItem, "Unable to open 2025/leavers.dbf"},
    };
    for (const RefusedFile& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path, c.bytes);
        ui.clear();
        STATICREPDB store(owner, code, folder);
        EXPECT_FALSE(store.updateEmpNum(ui, {"E003", "E103", common::MONTHLY}, org));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.lastMessage(), c.message);
        EXPECT_EQ(ui.messages.back().icon, common::MessageIcon::Error);
        EXPECT_TRUE(bytesOf(path) == c.bytes);
    }
}

TEST_F(StaticRepDbTest, AFileThatCannotBeCreatedLeavesTheOldOne) {
    ASSERT_TRUE(writeActive());
    const std::string before = bytesOf(resolved("2025/active.dbf"));
    common::ORGREC elsewhere = org;
    elsewhere.year = 2031; // no such year folder
    STATICREPDB store(owner, code, folder);
    EXPECT_FALSE(store.writeFile(ui, DB_ACTIVE, elsewhere));
    EXPECT_EQ(ui.lastMessage(), "Unable to create 2031/active.dbf");
    EXPECT_FALSE(store.writeFile(ui, static_cast<DB>(5), org));
    EXPECT_EQ(bytesOf(resolved("2025/active.dbf")), before);
}

} // namespace
} // namespace kelo::staffreports::testing
