#include "PeriodFixture.h"
#include "engine/TableFile.h"
#include "payrunreports/PeriodFormat.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace kelo::payrunreports::testing {
namespace {

namespace fs = std::filesystem;

// Every file of the organisation and the system folder with its bytes: a
// failure must leave them all as they were.
std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[entry.path().string()] = bytesOf(entry.path().string());
    return files;
}

// Puts every file back as the snapshot has it.
void restore(const std::map<std::string, std::string>& files) {
    for (const auto& [path, bytes] : files)
        writeBytes(path, bytes);
}

struct PeriodFailuresTest : PeriodFixture {
    void write() {
        PERIODDB db(owner, code, folder);
        ASSERT_TRUE(db.writeFile(ui, common::MONTHLY, org, false)) << messages();
        ui.clear();
    }

    // Reads with `param`, expecting the one message and nothing changed.
    void expectReadFails(const common::REPORTPARAM& param, const std::string& message) {
        const auto before = snapshot(dir.path());
        PERIODDBEX reader(owner, code, folder);
        PeriodFile file;
        file.header.orgName = "unchanged";
        EXPECT_FALSE(reader.readFile(ui, param, org, file));
        expectOneError(message);
        EXPECT_EQ(file.header.orgName, "unchanged");
        EXPECT_TRUE(file.records.empty());
        EXPECT_FALSE(reader.isOpen());
        EXPECT_TRUE(snapshot(dir.path()) == before);
    }

    common::REPORTPARAM closed(int month) const {
        common::REPORTPARAM param = currentParam();
        param.isCurrentPeriod = 0;
        param.period = common::date{2025, 0, static_cast<std::uint8_t>(month)};
        return param;
    }

    // The table made again without rows.
    template <class Table> std::function<void()> emptied() {
        return [this] {
            Table table(code, folder);
            fs::remove(table.path());
            fs::remove(engine::companionPath(table.path(), "cdx"));
            ASSERT_TRUE(table.createFile(ui));
            ui.clear();
        };
    }

    void replaceInFile(const std::string& path, const std::string& from, const std::string& to) {
        std::string bytes = bytesOf(path);
        const std::size_t at = bytes.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        bytes.replace(at, from.size(), to);
        writeBytes(path, bytes);
    }
};

TEST_F(PeriodFailuresTest, AMissingWorkingFileIsNamed) {
    expectReadFails(currentParam(), "Can't find \"" + workingFile() + "\"");
}

TEST_F(PeriodFailuresTest, AFileCutShortIsRefused) {
    write();
    std::string bytes = bytesOf(workingFile());
    writeBytes(workingFile(), bytes.substr(0, bytes.size() - 40));
    expectReadFails(currentParam(), "File \"" + workingFile() + "\" has invalid terminator.");
}

TEST_F(PeriodFailuresTest, AFileMovedToAnotherNameFailsTheIdentityCheck) {
    write();
    const std::string weekly = folder.resolve("2025/wkperiod.int");
    fs::copy_file(workingFile(), weekly);
    common::REPORTPARAM param = currentParam();
    param.payFreq = common::WEEKLY;
    expectReadFails(param, "File  \"" + weekly +
                               "\" has been renamed or moved. Its original name and location "
                               "were \"2025/monperiod.int\"");
}

TEST_F(PeriodFailuresTest, AFileOfAnotherVersionIsRefused) {
    common::TaggedWriter w(workingFile());
    ASSERT_TRUE(w.writePreamble("Period Reports", "2025/monperiod.int", "4.1") && w.writeEof() &&
                w.close());
    expectReadFails(currentParam(), "File \"" + workingFile() +
                                        "\" is of version 4.1 while version 4.2 is required.");
}

TEST_F(PeriodFailuresTest, AnotherOrganisationsFileIsRefused) {
    write();
    replaceInFile(workingFile(), "# [../org01/", "# [../org02/");
    expectReadFails(currentParam(),
                    "File \"2025/monperiod.int\" was written for another organisation (../org02).");
}

TEST_F(PeriodFailuresTest, ADamagedRecordIsRefused) {
    write();
    replaceInFile(workingFile(), common::scramble("870450"), common::scramble("87x450"));
    expectReadFails(currentParam(), "Unable to open 2025/monperiod.int");
}

TEST_F(PeriodFailuresTest, AClosedPeriodTheLogDoesNotKnowIsNamed) {
    expectReadFails(closed(2), "The pay log keeps no report file for February 2025.");
}

TEST_F(PeriodFailuresTest, APayLogEntryWhoseFileIsGoneNamesThePeriod) {
    ASSERT_TRUE(database::PAYLOGDB(code, folder).updatePayLog(ui, common::MONTHLY, org));
    ui.clear();
    expectReadFails(closed(3), "The report file of March 2025, 2025/mon03.dbf, is missing: it "
                               "has been deleted or moved.");
}

TEST_F(PeriodFailuresTest, AMissingYearFolderIsToldAndNothingIsWritten) {
    fs::remove_all(folder.resolve("2025"));
    const auto before = snapshot(dir.path());
    PERIODDB db(owner, code, folder);
    EXPECT_FALSE(db.writeFile(ui, common::MONTHLY, org, false));
    expectOneError("Unable to create 2025/monperiod.int");
    EXPECT_TRUE(snapshot(dir.path()) == before);
    EXPECT_EQ(owner.statusTexts, (std::vector<std::string>{"Creating 2025/monperiod.int...", ""}));
}

// A source that cannot be read leaves the file written before as it was.
TEST_F(PeriodFailuresTest, AFailedWriteKeepsTheOldFile) {
    write();
    struct Case {
        std::string remove;
        std::function<bool(const std::string&)> message;
    };
    const std::vector<Case> cases{
        {"database/monpay.dat",
         [](const std::string& m) { return m == "Unable to open database/monpay.dat"; }},
        {"database/monpay.dbf",
         [](const std::string& m) { return m.find("database/monpay.dbf") != std::string::npos; }},
        {"database/static.dbf",
         [](const std::string& m) { return m.find("database/static.dbf") != std::string::npos; }},
        {"settings/stations.dbf",
         [](const std::string& m) { return m.find("settings/stations.dbf") != std::string::npos; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remove);
        const auto saved = snapshot(dir.path());
        fs::remove(folder.resolve(c.remove));
        const auto before = snapshot(dir.path());
        PERIODDB db(owner, code, folder);
        EXPECT_FALSE(db.writeFile(ui, common::MONTHLY, org, false));
        ASSERT_EQ(ui.messages.size(), 1u) << messages();
        EXPECT_TRUE(c.message(ui.lastMessage())) << ui.lastMessage();
        ui.clear();
        EXPECT_TRUE(snapshot(dir.path()) == before);
        EXPECT_EQ(owner.statusTexts.back(), "");
        restore(saved);
    }
}

TEST_F(PeriodFailuresTest, CheckFilesNamesTheFirstSourceThatCannotBeRead) {
    const auto removed = [&](const std::string& path) {
        return [this, path] { fs::remove(folder.resolve(path)); };
    };
    struct Case {
        std::string name;
        std::function<void()> breakIt;
        std::string message;
    };
    const std::vector<Case> cases{
        {"no personnel file", removed("database/static.dbf"), "Can't open database/static.dbf"},
        {"no employees", emptied<database::STATDB>(), "The Employee Master file is empty."},
        {"no definitions", removed("database/monpay.dat"),
         "Can't find \"" + folder.resolve("database/monpay.dat") + "\""},
        {"no transactions", removed("database/monpay.dbf"), "Can't open database/monpay.dbf"},
        {"no units file", removed("settings/units.dbf"), "Can't open settings/units.dbf"},
        {"no units", emptied<database::UNITSDB>(), "The Administrative Units file is empty."},
        {"no jobs", emptied<database::JOBSDB>(), "The Jobs file is empty."},
        {"no stations", emptied<database::STATIONSDB>(), "The Stations file is empty."},
        {"no pay groups", removed("settings/paygroup.dbf"), "Can't open settings/paygroup.dbf"},
        {"no co-operatives", removed("settings/coops.dbf"), "Can't open settings/coops.dbf"},
        {"no pension funds", removed("settings/pensions.dbf"), "Can't open settings/pensions.dbf"},
        {"no pay log", removed("settings/paylog.dbf"), "Can't open settings/paylog.dbf"},
        {"no PAYE bands", removed("../system/2024/paye.dbf"),
         "Can't find the PAYE and NSSF tables of 2024"},
    };
    const auto saved = snapshot(dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.breakIt();
        PERIODDB db(owner, code, folder);
        EXPECT_FALSE(db.checkFiles(ui, common::MONTHLY, org));
        expectOneError(c.message);
        restore(saved);
    }
    PERIODDB db(owner, code, folder);
    EXPECT_TRUE(db.checkFiles(ui, common::MONTHLY, org)) << messages();
}

} // namespace
} // namespace kelo::payrunreports::testing
