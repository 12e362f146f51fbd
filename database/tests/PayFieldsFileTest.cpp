#include "database/PayFieldsFile.h"

#include "common/TaggedFile.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kelo::database {
namespace {

namespace fs = std::filesystem;
using common::PayItemDef;
using testsupport::RecordingUi;

PayItemDef item(std::string name, std::string type, std::string function) {
    PayItemDef d;
    d.itemName = std::move(name);
    d.itemType = std::move(type);
    d.itemFunction = std::move(function);
    d.taxable = 1;
    return d;
}

PayItemDef builtIn(std::string name, std::string function, double upper, int isStatic) {
    PayItemDef d = item(name, name, std::move(function));
    d.upperLimit = upper;
    d.isStatic = isStatic;
    d.builtIn = 1;
    return d;
}

// Every optional value the file holds: co-operative and pension links, the
// three percentage functions, hours at the basic rate or keyed, limits and
// flags; identifiers that no longer follow positions.
PayFieldTables everyKind() {
    PayFieldTables t;
    PayItemDef hours = item("Casual Hours", "Hourly Pay", "Based on Hours Worked");
    hours.funcParams.rateKind = 2;
    hours.funcParams.factor = 1.5f;
    PayItemDef keyedHours = item("Night Hours", "Hourly Pay", "Based on Hours Worked");
    keyedHours.funcParams.rateKind = 1;
    PayItemDef transport = item("Transport", "Default", "Percentage of Salary");
    transport.funcParams.percentage = 12.5f;
    transport.applyLimits = 1;
    transport.lowerLimit = 10000;
    transport.upperLimit = 150000;
    t[common::EARNINGS] = {builtIn("Basic Pay", "Use Built-In Function", 200000, 0),
                           builtIn("Overtime", "Use Built-In Function", 100000, 0), hours,
                           keyedHours, transport};
    PayItemDef pension = item("PSSF", "Pension Contribution", "Percentage of Basic Pay");
    pension.funcParams.percentage = 5;
    pension.taxable = 0;
    pension.link = common::PayItemLink{
        3, common::EmployerContribution{"Percentage of Gross Pay", 1, 500, 90000, 15}};
    PayItemDef coopLoan = item("Coop Loan", "Co-op Loan Payment", "Amortise");
    coopLoan.link = common::PayItemLink{7, std::nullopt};
    PayItemDef unlinked = item("Coop Fund", "Co-op Benevolent Fund", "Key in");
    PayItemDef gross = item("Union", "Default", "Percentage of Gross Pay");
    gross.funcParams.percentage = 2;
    gross.isStatic = 1;
    t[common::DEDUCTIONS] = {builtIn("Rent", "Defined in Master File", 50000, 1), pension, coopLoan,
                             unlinked, gross};
    t[common::BENEFITS] = {item("Car", "Default", "Key in")};
    t[common::REFUNDS] = {item("Refund", "Default", "Key in")};
    std::int32_t id = 1;
    for (auto& list : t) {
        std::int32_t position = 0;
        for (PayItemDef& d : list) {
            d.position = ++position;
            d.id = (id += 2);
        }
    }
    return t;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct PayFieldsFileTest : ::testing::Test {
    testsupport::TempDir dir;
    common::WorkingFolder folder{dir.path()};
    RecordingUi ui;
    std::string file = dir.file("org01/database/monpay.dat");
    PayFieldsFileTest() {
        fs::create_directories(dir.file("org01/database"));
        folder.moveTo("../org01");
    }
};

TEST_F(PayFieldsFileTest, EveryValueReadsBackAsWritten) {
    const PayFieldTables written = everyKind();
    ASSERT_TRUE(
        writePayFields(folder, "../org01", common::MONTHLY, "Monthly payroll file", written));
    PayFieldTables read;
    ASSERT_TRUE(readPayFields(ui, folder, common::MONTHLY, read));
    EXPECT_TRUE(ui.messages.empty());
    for (std::size_t t = 0; t < written.size(); ++t) {
        ASSERT_EQ(read[t].size(), written[t].size()) << t;
        for (std::size_t i = 0; i < written[t].size(); ++i)
            EXPECT_TRUE(read[t][i] == written[t][i]) << t << "/" << written[t][i].itemName;
    }
    common::PayItemDefs defs;
    ASSERT_TRUE(payItemDefsOf(read, defs));
    EXPECT_EQ(defs.basicPay->itemName, "Basic Pay");
    EXPECT_EQ(defs.rent->itemName, "Rent");
    ASSERT_EQ(defs.earnings.size(), 3u);
    EXPECT_EQ(defs.deductions[0]->link->employer->function, "Percentage of Gross Pay");
    for (const auto& entry : fs::directory_iterator(fs::path(file).parent_path()))
        EXPECT_EQ(entry.path().filename().string().rfind("monpay.dat.", 0), std::string::npos)
            << "scratch file left: " << entry.path();
}

TEST_F(PayFieldsFileTest, MatchesGoldenFile) {
    ASSERT_TRUE(writePayFields(folder, "../org01", common::MONTHLY,
                               payFieldsComment(common::MONTHLY), everyKind()));
    const std::string actual = readBytes(file);
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / "monpay.dat";
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::create_directories(golden.parent_path());
        std::ofstream(golden, std::ios::binary) << actual;
    }
    EXPECT_EQ(actual, readBytes(golden.string()))
        << "differs from " << golden << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    EXPECT_EQ(actual.rfind("# Monthly payroll file\n# [../org01/database/monpay.dat]\n", 0), 0u);
}

TEST_F(PayFieldsFileTest, DamagedFilesAreRefusedWithTheirMessage) {
    ASSERT_TRUE(
        writePayFields(folder, "../org01", common::MONTHLY, "Monthly payroll file", everyKind()));
    const std::string whole = readBytes(file);
    struct Case {
        const char* what;
        std::string bytes; // empty: no file
        std::string message;
    };
    const std::string at = dir.file("org01/database/monpay.dat");
    const Case cases[] = {
        {"missing", "", "Unable to open database/monpay.dat"},
        {"cut short", whole.substr(0, whole.size() / 2),
         "File \"" + at + "\" has invalid terminator."},
        {"not tagged", "garbage\n", "Format of " + at + " is unknown."},
        {"items but no built-ins",
         whole.substr(0, whole.find("\\begin{earnings}")) +
             "\\begin{earnings}\n\\end{earnings}\n\\begin{deductions}\n\\end{deductions}\n"
             "\\begin{benefits}\n\\end{benefits}\n\\begin{lumpsums}\n\\end{lumpsums}\n"
             "\\begin{refunds}\n\\end{refunds}\n" +
             whole.substr(whole.find("\\eof{")),
         "Unable to open database/monpay.dat"},
        {"highest identifiers not numbers",
         whole.substr(0, whole.find("\\highestids{")) + "\\highestids{" + common::scramble("x") +
             std::string(1, '\0') + "}\n\\eof{}\n",
         "Unable to open database/monpay.dat"},
    };
    for (const Case& c : cases) {
        fs::remove(file);
        if (!c.bytes.empty())
            std::ofstream(file, std::ios::binary) << c.bytes;
        ui.clear();
        PayFieldTables read;
        read[0].push_back(item("kept", "Default", "Key in"));
        EXPECT_FALSE(readPayFields(ui, folder, common::MONTHLY, read)) << c.what;
        EXPECT_EQ(ui.lastMessage(), c.message) << c.what;
        EXPECT_EQ(ui.messages.size(), 1u) << c.what;
        EXPECT_EQ(read[0].size(), 1u) << c.what; // untouched
    }
}

TEST_F(PayFieldsFileTest, AFailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(
        writePayFields(folder, "../org01", common::MONTHLY, "Monthly payroll file", everyKind()));
    const std::string before = readBytes(file);
    // The disk fills after a few bytes of the new file.
    const int status = testsupport::runWithFileSizeLimit(16, [&] {
        return writePayFields(folder, "../org01", common::MONTHLY, "Monthly payroll file", {}) ? 1
                                                                                               : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(file), before);
}

// Each table keeps the highest identifier it has given, so that deleting
// the last item does not free its identifier. Files written before that was
// kept have no highestids group and read as their highest identifier present.
TEST_F(PayFieldsFileTest, TheHighestIdentifiersGivenAreKept) {
    // everyKind's identifiers: earnings 3 to 11, deductions 13 to 21,
    // benefits 23, no lump sums, refunds 25.
    PayFieldTables deleted = everyKind();
    deleted[common::DEDUCTIONS].pop_back(); // identifier 21
    deleted.highestIds[common::DEDUCTIONS] = 21;
    PayFieldTables stale = everyKind();
    stale.highestIds[common::EARNINGS] = 4; // below the 11 present
    stale.highestIds[common::LUMPSUMS] = 6;
    const std::string highestLine = std::string("\\highestids{") + common::scramble("11") + '\0' +
                                    common::scramble("21") + '\0' + common::scramble("23") + '\0' +
                                    common::scramble("0") + '\0' + common::scramble("25") + '\0' +
                                    "}\n";
    const struct {
        const char* what;
        PayFieldTables tables;
        bool writtenBefore; // without the highestids group
        std::array<std::int32_t, 5> highest;
    } cases[] = {
        {"as they stand", everyKind(), false, {11, 21, 23, 0, 25}},
        {"written before", everyKind(), true, {11, 21, 23, 0, 25}},
        {"the last deduction deleted", deleted, false, {11, 21, 23, 0, 25}},
        {"the last deduction deleted, written before", deleted, true, {11, 19, 23, 0, 25}},
        {"kept values below an identifier present", stale, false, {11, 21, 23, 6, 25}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(
            writePayFields(folder, "../org01", common::MONTHLY, "Monthly payroll file", c.tables));
        if (c.writtenBefore) {
            std::string bytes = readBytes(file);
            const auto at = bytes.find("\\highestids{");
            ASSERT_NE(at, std::string::npos);
            bytes.erase(at, bytes.find('\n', at) + 1 - at);
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        }
        PayFieldTables read;
        ASSERT_TRUE(readPayFields(ui, folder, common::MONTHLY, read)) << ui.lastMessage();
        EXPECT_EQ(read.highestIds, c.highest);
        EXPECT_EQ(nextItemId(read, common::DEDUCTIONS), c.highest[1] + 1);
        for (std::size_t t = 0; t < read.size(); ++t)
            EXPECT_EQ(read[t].size(), c.tables[t].size()) << t;
    }
    ASSERT_TRUE(
        writePayFields(folder, "../org01", common::MONTHLY, "Monthly payroll file", everyKind()));
    const std::string bytes = readBytes(file);
    EXPECT_NE(bytes.find("\\end{refunds}\n" + highestLine + "\\eof{}\n"), std::string::npos);
}

TEST(PayFieldTables, PositionsAndIdentifiersFollowTheBuiltIns) {
    common::PayItemDefs defs;
    defs.basicPay =
        std::make_shared<PayItemDef>(builtIn("Basic Pay", "Use Built-In Function", 1, 0));
    defs.overtime =
        std::make_shared<PayItemDef>(builtIn("Overtime", "Use Built-In Function", 1, 0));
    defs.rent = std::make_shared<PayItemDef>(builtIn("Rent", "Defined in Master File", 1, 1));
    defs.earnings = {std::make_shared<PayItemDef>(item("Acting", "Default", "Key in"))};
    auto keepsId = std::make_shared<PayItemDef>(item("Loan", "Company Loan Payment", "Amortise"));
    keepsId->id = 9;
    defs.deductions = {keepsId};
    const PayFieldTables t = fieldTablesOf(defs);
    ASSERT_EQ(t[common::EARNINGS].size(), 3u);
    EXPECT_EQ(t[common::EARNINGS][2].position, 3);
    EXPECT_EQ(t[common::EARNINGS][2].id, 3);
    EXPECT_EQ(t[common::DEDUCTIONS][1].position, 2);
    EXPECT_EQ(t[common::DEDUCTIONS][1].id, 9);
    common::PayItemDefs back;
    ASSERT_TRUE(payItemDefsOf(t, back));
    EXPECT_EQ(back.earnings[0]->itemName, "Acting");
    EXPECT_EQ(back.deductions[0]->id, 9);
}

} // namespace
} // namespace kelo::database
