#include "common/WorkingFolder.h"

#include <gtest/gtest.h>

namespace kelo::common {
namespace {

TEST(WorkingFolder, ResolvesFromTheSystemFolderAndFromAnOrganisation) {
    WorkingFolder folder("/data/kelo/");
    EXPECT_EQ(folder.current(), "/data/kelo/system");
    EXPECT_EQ(folder.resolve("settings/org.dbf"), "/data/kelo/system/settings/org.dbf");
    const std::string orgTable = folder.resolve("..\\system\\settings\\org.dbf");
    EXPECT_EQ(orgTable, "/data/kelo/system/settings/org.dbf");
    folder.moveTo("../org03");
    EXPECT_EQ(folder.current(), "/data/kelo/org03");
    // The same system path names the same table from any organisation.
    EXPECT_EQ(folder.resolve("..\\system\\settings\\org.dbf"), orgTable);
    EXPECT_EQ(folder.resolve("database/static.dbf"), "/data/kelo/org03/database/static.dbf");
    EXPECT_EQ(folder.yearFile(2026, "ytd.dbf"), "/data/kelo/org03/2026/ytd.dbf");
    EXPECT_EQ(folder.statutoryFile(2025, "paye.dbf"), "/data/kelo/system/2025/paye.dbf");
    EXPECT_EQ(folder.resolve("/elsewhere/./x/../y.dbf"), "/elsewhere/y.dbf");
    folder.moveToSystem();
    EXPECT_EQ(folder.current(), "/data/kelo/system");
}

TEST(WorkingFolder, StoredPathsCompareIgnoringCaseAndSlashKind) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"database\\monpay.dat", "DATABASE/MonPay.dat", true},
        {"../org01/x", "..\\ORG01\\X", true},
        {"../org01/x", "../org02/x", false},
        {"a", "a/", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WorkingFolder::samePath(c.a, c.b), c.same) << c.a << " ~ " << c.b;
}

} // namespace
} // namespace kelo::common
