#include "database/OptionsDb.h"

#include "common/ReportRecords.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace kelo::database {
namespace {

class OptionsDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.file("org01/settings"));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
    }
    void createAndOpen() {
        ASSERT_TRUE(options.createFile(ui));
        ASSERT_TRUE(options.openFile());
    }

    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    OPTIONSDB options{code, folder};
};

TEST_F(OptionsDbTest, EveryListedReportHasASortKeyAndEveryOptionADefault) {
    std::set<std::int32_t> sorted;
    for (const OptionValue& o : OPTIONSDB::defaults()) {
        if (o.key == kOptionSortKey)
            sorted.insert(o.id);
    }
    EXPECT_EQ(sorted,
              (std::set<std::int32_t>{11, 12, 13, 14, 15, 22, 23, 24, 25, 31, 32, 33, 34, 37, 41,
                                      42, 43, 44, 45, 51, 52, 53, 54, 57, 61, 63, 76, 82, 85}));
    struct Case {
        std::int32_t id;
        std::string_view key;
        int value;
    };
    const Case others[] = {
        {34, "Separator", 1},       {34, "Duplicate", 0},      {34, "Employer Pension", 0},
        {34, "Pension Balance", 1}, {34, "Loan Breakdown", 1}, {34, "Leave Balance", 1},
        {34, "Footer", 2},          {33, "Breakdown", 0},      {32, "Grouping", 0},
        {501, "Average", 0},
    };
    EXPECT_EQ(OPTIONSDB::defaults().size(), sorted.size() + std::size(others));

    createAndOpen();
    EXPECT_EQ(options.data()->recCount(), static_cast<long>(OPTIONSDB::defaults().size()));
    for (std::int32_t id : sorted)
        EXPECT_EQ(options.getValue(id, "Sort Key"), 0) << id;
    for (const Case& c : others)
        EXPECT_EQ(options.getValue(c.id, c.key), c.value) << c.id << " " << c.key;
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{"Creating options.dbf...", ""}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OptionsDbTest, ValuesRoundTripAndStayWithTheirReport) {
    createAndOpen();
    ASSERT_TRUE(options.setValue(common::kReportCashList, "Sort Key", 1));
    EXPECT_EQ(options.getValue(common::kReportCashList, "Sort Key"), 1);
    EXPECT_EQ(options.getValue(common::kReportChequeList, "Sort Key"), 0);
    // Keys compare without regard to case or trailing blanks.
    EXPECT_EQ(options.getValue(common::kReportCashList, "SORT KEY "), 1);
    ASSERT_TRUE(options.setValue(34, "footer", 3));
    EXPECT_EQ(options.getValue(34, "Footer"), 3);
    // A key not there yet is added; values other than 0 and 1 are kept.
    const long rows = options.data()->recCount();
    ASSERT_TRUE(options.setValue(90, "Columns", -12));
    EXPECT_EQ(options.data()->recCount(), rows + 1);
    EXPECT_EQ(options.getValue(90, "Columns"), -12);
    // Unknown options read as 0.
    EXPECT_EQ(options.getValue(90, "Rows"), 0);
    EXPECT_EQ(options.getValue(35, "Separator"), 0);
    EXPECT_EQ(options.getValue(34, "Sep"), 0);
    // A key too long to store is refused rather than cut.
    EXPECT_FALSE(options.setValue(90, "A key much longer than the column", 1));

    options.closeFile();
    ASSERT_TRUE(options.openFile());
    EXPECT_EQ(options.getValue(common::kReportCashList, "Sort Key"), 1);
    EXPECT_EQ(options.getValue(90, "Columns"), -12);
}

TEST_F(OptionsDbTest, LookUpsKeepTheTablePlace) {
    createAndOpen();
    options.data()->select(nullptr);
    ASSERT_EQ(options.data()->go(3), engine::r4success);
    EXPECT_EQ(options.getValue(34, "Footer"), 2);
    ASSERT_TRUE(options.setValue(34, "Footer", 1));
    ASSERT_TRUE(options.setValue(91, "New", 1));
    EXPECT_EQ(options.data()->recNo(), 3);
    EXPECT_EQ(options.data()->selected(), nullptr);
}

TEST_F(OptionsDbTest, LockedRowKeepsItsValue) {
    createAndOpen();
    auto other = engine::Data4::open(code, options.path());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->select("OPTION"), engine::r4success);
    ASSERT_EQ(other->seek("   34FOOTER"), engine::r4success);
    ASSERT_EQ(other->lock(other->recNo()), engine::r4success);

    EXPECT_FALSE(options.setValue(34, "Footer", 3));
    EXPECT_EQ(code.errorCode(), engine::e4lock);
    code.setErrorCode(0);
    EXPECT_EQ(options.getValue(34, "Footer"), 2);
    // Other rows are still written.
    EXPECT_TRUE(options.setValue(34, "Duplicate", 1));
    other->unlock();
    EXPECT_TRUE(options.setValue(34, "Footer", 3));
    EXPECT_EQ(options.getValue(34, "Footer"), 3);
}

TEST_F(OptionsDbTest, MissingClosedOrLockedTable) {
    EXPECT_FALSE(options.checkFile());
    EXPECT_EQ(options.getValue(34, "Footer"), 0);
    EXPECT_FALSE(options.setValue(34, "Footer", 1));
    EXPECT_FALSE(options.openFile());
    EXPECT_EQ(code.errorCode(), engine::e4open);
    code.setErrorCode(0);

    OPTIONSDB elsewhere(code, folder);
    folder.moveTo("../org02"); // no such folder
    EXPECT_FALSE(elsewhere.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create settings/options.dbf");
    folder.moveTo("../org01");

    ui.clear();
    createAndOpen();
    EXPECT_TRUE(options.checkFile());
    OPTIONSDB second(code, folder);
    EXPECT_FALSE(second.openFile(true));
    EXPECT_EQ(code.errorCode(), engine::e4access);
    code.setErrorCode(0);
    options.closeFile();
    // An existing table keeps its values.
    ASSERT_TRUE(second.openFile(true));
    ASSERT_TRUE(second.setValue(501, "Average", 1));
    second.closeFile();
    EXPECT_FALSE(options.createFile(ui));
    EXPECT_EQ(ui.lastMessage(), "Can't create settings/options.dbf");
    ASSERT_TRUE(options.openFile());
    EXPECT_EQ(options.getValue(501, "Average"), 1);
}

} // namespace
} // namespace kelo::database
