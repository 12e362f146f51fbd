#include "LeaveFixture.h"
#include "absencereports/LeaveRepFormat.h"

#include <algorithm>

namespace kelo::absencereports::testing {
namespace {

struct LeaveRepDbTest : LeaveFixture {
    LEAVEREPDB store{owner, code, folder};

    LeaveYear read(const std::string& path) {
        LeaveYear year;
        EXPECT_TRUE(store.readFile(ui, path, org, year)) << ui.lastMessage();
        return year;
    }

    static std::vector<const LeaveEntry*> entriesOf(const LeaveYear& year, const char* empNum) {
        std::vector<const LeaveEntry*> found;
        for (const LeaveEntry& e : year.entries)
            if (e.empNum == empNum)
                found.push_back(&e);
        return found;
    }
};

TEST_F(LeaveRepDbTest, ClosingAMonthKeepsTheYearUpToItsEnd) {
    ASSERT_TRUE(store.checkFiles(ui));
    ASSERT_TRUE(store.updateFile(ui, org, true));
    EXPECT_TRUE(ui.messages.empty());
    const LeaveYear year = read("2025/leaverep.dbf");
    EXPECT_EQ(year.orgName, "Kilimo Traders Ltd");
    EXPECT_EQ(year.year, 2025);
    EXPECT_EQ(year.months, std::vector<int>{3});
    ASSERT_EQ(year.employees.size(), 4u);
    EXPECT_EQ(year.employees[0].unitPath, "Finance.Head Office");
    EXPECT_EQ(year.employees[1].stationName, "Mbeya");
    EXPECT_TRUE(year.employees[2].left);
    EXPECT_DOUBLE_EQ(year.employees[3].leaveEntitlement, 12);
    // E001 up to the end of March: Balance B/F, two earned, the sick leave
    // and the annual leave of March; April on is not there yet.
    const auto e001 = entriesOf(year, "E001");
    ASSERT_EQ(e001.size(), 5u);
    for (const LeaveEntry* e : e001)
        EXPECT_LE(e->fromDate.month, 3) << e->reason;
    EXPECT_EQ(entriesOf(year, "E003").size(), 4u);
    EXPECT_EQ(owner.statusTexts.front(), "Updating 2025/leaverep.dbf...");
}

TEST_F(LeaveRepDbTest, ASecondCloseOfTheSameMonthChangesNothing) {
    ASSERT_TRUE(store.updateFile(ui, org, true));
    const std::string first = bytesOf(yearFile());
    absence("E001", ymd(2025, 3, 25), ymd(2025, 3, 25), 1, "Sick Leave");
    ASSERT_TRUE(store.updateFile(ui, org, true));
    EXPECT_EQ(bytesOf(yearFile()), first);
    EXPECT_TRUE(ui.messages.empty());
    // The next month takes the late event in.
    org.month = "April";
    ASSERT_TRUE(store.updateFile(ui, org, true));
    const LeaveYear year = read("2025/leaverep.dbf");
    EXPECT_EQ(year.months, (std::vector<int>{3, 4}));
    const auto e001 = entriesOf(year, "E001");
    EXPECT_TRUE(std::any_of(e001.begin(), e001.end(),
                            [](const LeaveEntry* e) { return e->fromDate == ymd(2025, 3, 25); }));
}

TEST_F(LeaveRepDbTest, TheInterimFileHoldsTheOpenMonthAndBookingsToCome) {
    closeMarchThenOctober();
    const LeaveYear year = read("2025/leaverep.int");
    EXPECT_EQ(year.months, (std::vector<int>{3, 10}));
    const auto e002 = entriesOf(year, "E002");
    EXPECT_TRUE(std::any_of(e002.begin(), e002.end(), [](const LeaveEntry* e) {
        return e->fromDate == ymd(2025, 10, 20) && e->source == EntrySource::Absence;
    }));
    EXPECT_TRUE(std::any_of(e002.begin(), e002.end(), [](const LeaveEntry* e) {
        return e->fromDate == ymd(2025, 11, 3) && e->source == EntrySource::Booking;
    }));
    // The year file still holds March only.
    EXPECT_EQ(read("2025/leaverep.dbf").months, std::vector<int>{3});
}

TEST_F(LeaveRepDbTest, AnEmployeeGoneFromThePersonnelFileKeepsWhatWasStored) {
    closeMarchThenOctober();
    const LeaveYear year = read("2025/leaverep.int");
    const LeaveEmployee* gone = year.employee("E004");
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(gone->left);
    EXPECT_EQ(gone->name(), "Salim, Juma");
    EXPECT_EQ(entriesOf(year, "E004").size(), 4u);
}

TEST_F(LeaveRepDbTest, RenumberingMovesTheEmployeeInBothFiles) {
    closeMarchThenOctober();
    const std::size_t before = entriesOf(read("2025/leaverep.int"), "E001").size();
    ASSERT_TRUE(store.updateEmpNum(ui, {"e001", "E101", common::MONTHLY}, org));
    for (const char* path : {"2025/leaverep.dbf", "2025/leaverep.int"}) {
        const LeaveYear year = read(path);
        EXPECT_EQ(year.employee("E001"), nullptr) << path;
        ASSERT_NE(year.employee("E101"), nullptr) << path;
        EXPECT_EQ(year.employee("E101")->name(), "Mushi, Anna");
        EXPECT_TRUE(entriesOf(year, "E001").empty()) << path;
    }
    EXPECT_EQ(entriesOf(read("2025/leaverep.int"), "E101").size(), before);
    EXPECT_EQ(entriesOf(read("2025/leaverep.dbf"), "E101").size(), 5u);
}

TEST_F(LeaveRepDbTest, RenumberingWithoutFilesSucceeds) {
    EXPECT_TRUE(store.updateEmpNum(ui, {"E001", "E101", common::MONTHLY}, org));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LeaveRepDbTest, AYearFileCutShortIsToldAndKept) {
    ASSERT_TRUE(store.updateFile(ui, org, true));
    ASSERT_TRUE(store.writeInterimFile(ui, org));
    std::string bytes = bytesOf(yearFile());
    bytes.resize(bytes.size() - 40);
    {
        std::ofstream out(yearFile(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    const std::string interim = bytesOf(interimFile());
    org.month = "April";
    ui.clear();
    EXPECT_FALSE(store.updateFile(ui, org, true));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "File \"" + yearFile() + "\" has invalid terminator.");
    EXPECT_EQ(bytesOf(yearFile()), bytes);
    EXPECT_EQ(bytesOf(interimFile()), interim);
    ui.clear();
    EXPECT_FALSE(store.writeInterimFile(ui, org));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(bytesOf(interimFile()), interim);
}

TEST_F(LeaveRepDbTest, AFileOfAnotherOrganisationIsRefused) {
    ASSERT_TRUE(store.updateFile(ui, org, true));
    org.folder = "../org02";
    org.month = "April";
    const std::string before = bytesOf(yearFile());
    EXPECT_FALSE(store.updateFile(ui, org, true));
    EXPECT_EQ(ui.lastMessage(),
              "File \"2025/leaverep.dbf\" was written for another organisation (../org01).");
    EXPECT_EQ(bytesOf(yearFile()), before);
}

TEST_F(LeaveRepDbTest, ADamagedFileIsToldAndKept) {
    ASSERT_TRUE(store.updateFile(ui, org, true));
    std::string bytes = bytesOf(yearFile());
    const std::size_t employees = bytes.find("\\begin{employees}");
    ASSERT_NE(employees, std::string::npos);
    bytes.replace(employees, 17, "\\begin{staff}    ");
    {
        std::ofstream out(yearFile(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    org.month = "April";
    EXPECT_FALSE(store.updateFile(ui, org, true));
    EXPECT_EQ(ui.lastMessage(), "Unable to open 2025/leaverep.dbf");
    EXPECT_EQ(bytesOf(yearFile()), bytes);
}

TEST_F(LeaveRepDbTest, AnUpdateThatClosesNoMonth) {
    ASSERT_TRUE(store.updateFile(ui, org, false));
    const LeaveYear year = read("2025/leaverep.dbf");
    EXPECT_TRUE(year.months.empty());
    EXPECT_EQ(entriesOf(year, "E001").size(), 5u);
    // Closing the month afterwards still records it.
    ASSERT_TRUE(store.updateFile(ui, org, true));
    EXPECT_EQ(read("2025/leaverep.dbf").months, std::vector<int>{3});
}

TEST_F(LeaveRepDbTest, DeletingTheInterimFile) {
    ASSERT_TRUE(store.writeInterimFile(ui, org));
    ASSERT_TRUE(std::filesystem::exists(interimFile()));
    store.delInterimFile(org);
    EXPECT_FALSE(std::filesystem::exists(interimFile()));
    EXPECT_EQ(owner.statusTexts.back(), "");
}

TEST_F(LeaveRepDbTest, AMissingTableFailsTheCheck) {
    std::filesystem::remove(folder.resolve(database::ABSENCEDB::kPath));
    EXPECT_FALSE(store.checkFiles(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't open database/absence.dbf");
}

// Cut anywhere before its entries end, the year does not read; nothing
// crashes on the way.
TEST_F(LeaveRepDbTest, EveryCutOfTheYearFailsToRead) {
    ASSERT_TRUE(store.updateFile(ui, org, true));
    const std::string bytes = bytesOf(yearFile());
    const std::size_t end = bytes.find("\\end{entries}");
    ASSERT_NE(end, std::string::npos);
    for (std::size_t size = 0; size < end; ++size) {
        common::TaggedReader reader = common::TaggedReader::fromBytes(bytes.substr(0, size));
        LeaveYear year;
        EXPECT_FALSE(reader.skipFileId() && readLeaveYear(reader, year)) << size;
    }
    common::TaggedReader whole = common::TaggedReader::fromBytes(bytes);
    LeaveYear year;
    EXPECT_TRUE(whole.skipFileId() && readLeaveYear(whole, year));
    EXPECT_EQ(year.employees.size(), 4u);
}

TEST(LeaveRepFormat, DateKeys) {
    const struct {
        const char* text;
        bool ok;
        common::date day;
    } cases[] = {{"20250314", true, ymd(2025, 3, 14)},
                 {"", true, {}},
                 {"2025031", false, {}},
                 {"20251314", false, {}},
                 {"2025a314", false, {}},
                 {"20250300", false, {}}};
    for (const auto& c : cases) {
        common::date day{};
        EXPECT_EQ(parseDateKey(c.text, day), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(day, c.day) << c.text;
            EXPECT_EQ(dateKey(day), c.text);
        }
    }
}

} // namespace
} // namespace kelo::absencereports::testing
