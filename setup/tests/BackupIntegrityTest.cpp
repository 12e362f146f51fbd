#include "BackupFixture.h"
#include "OrgsFixture.h"
#include "database/PayFieldsFile.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace kelo::setup {
namespace {

using namespace backuptest;

const std::string kDamaged1 = "Backup disk 1 is damaged: its contents do not match the checksum "
                              "written with it. Nothing has been restored.";
const std::string kDamagedTail =
    " is damaged: its contents do not match the checksum written with it. Nothing has been "
    "restored.";
const std::string kOldBackupQuestion =
    "This backup was made by an earlier version of the program and carries no checksum, so "
    "damage to it cannot be detected. Restore it anyway?";

std::string notValid(const std::string& why) {
    return "Backup file is not valid: " + why + ". Nothing has been restored.";
}

struct Span {
    std::size_t at = 0;
    std::size_t size = 0;
};

// Where the parts of one table block lie in a backup, found by reading it
// with the tagged reader.
struct TableMap {
    Span block;                       // "\begin{file}" to after "\end{file}\n"
    std::vector<std::string> fields;  // names
    std::vector<Span> lengths;        // each field's length value
    std::vector<Span> tagExpressions; // each tag's expression value
    std::vector<Span> lines;          // each record's line
    std::vector<std::vector<Span>> values;

    std::size_t field(const std::string& name) const {
        const auto found = std::find(fields.begin(), fields.end(), name);
        EXPECT_NE(found, fields.end()) << name;
        return static_cast<std::size_t>(found - fields.begin());
    }
};

TableMap mapTable(const std::string& bytes, const std::string& stored) {
    TableMap map;
    const std::size_t comment = bytes.find("\t# [" + stored + "]\n");
    EXPECT_NE(comment, std::string::npos) << stored;
    map.block.at = bytes.rfind("\\begin{file}", comment);
    const std::size_t end = bytes.find("\n\\end{file}\n", comment) + 12;
    map.block.size = end - map.block.at;
    auto in = common::TaggedReader::fromBytes(bytes);
    in.setPosition(comment);
    EXPECT_TRUE(in.skipFileId());
    EXPECT_TRUE(in.findTag("fields", TagKind::BlockStart));
    std::string value;
    while (in.findTag("item", TagKind::GroupStart)) {
        EXPECT_TRUE(in.readValue(value));
        map.fields.push_back(value);
        EXPECT_TRUE(in.readValue(value));
        const std::size_t at = in.position();
        EXPECT_TRUE(in.readValue(value));
        map.lengths.push_back({at, value.size()});
        EXPECT_TRUE(in.readValue(value) && in.readValue(value));
        EXPECT_TRUE(in.findTag({}, TagKind::GroupEnd));
    }
    EXPECT_TRUE(in.findTag("fields", TagKind::BlockEnd));
    EXPECT_TRUE(in.findTag("tags", TagKind::BlockStart));
    while (in.findTag("item", TagKind::GroupStart)) {
        EXPECT_TRUE(in.readValue(value));
        const std::size_t at = in.position();
        EXPECT_TRUE(in.readValue(value));
        map.tagExpressions.push_back({at, value.size()});
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(in.readValue(value));
        EXPECT_TRUE(in.findTag({}, TagKind::GroupEnd));
    }
    EXPECT_TRUE(in.findTag("tags", TagKind::BlockEnd));
    EXPECT_TRUE(in.findTag("records", TagKind::BlockStart));
    while (in.findTag("item", TagKind::GroupStart)) {
        const std::size_t lineStart = bytes.rfind('\n', in.position()) + 1;
        std::vector<Span> values;
        for (std::size_t i = 0; i < map.fields.size(); ++i) {
            const std::size_t at = in.position();
            EXPECT_TRUE(in.readValue(value));
            values.push_back({at, value.size()});
        }
        EXPECT_TRUE(in.findTag({}, TagKind::GroupEnd));
        map.lines.push_back({lineStart, in.position() + 1 - lineStart});
        map.values.push_back(std::move(values));
    }
    return map;
}

std::string plainAt(const std::string& bytes, Span span) {
    return common::unscramble(bytes.substr(span.at, span.size));
}

std::string withValue(std::string bytes, Span span, const std::string& plain) {
    bytes.replace(span.at, span.size, common::scramble(plain));
    return bytes;
}

// The alterations of one good backup that the tests apply.
struct Alterations {
    explicit Alterations(std::string bytes)
        : good(std::move(bytes)),
          staff(mapTable(good, "database\\static.dbf")) {}

    std::string salaryDigit() const {
        const Span span = staff.values[4][staff.field("SALARY")];
        std::string plain = plainAt(good, span);
        plain[0] = plain[0] == '9' ? '1' : static_cast<char>(plain[0] + 1);
        return withValue(good, span, plain);
    }
    std::string nameLetter() const {
        const Span span = staff.values[6][staff.field("LASTNAME")];
        std::string plain = plainAt(good, span);
        plain[0] = 'Q';
        return withValue(good, span, plain);
    }
    std::string lineDeleted() const {
        std::string bytes = good;
        bytes.erase(staff.lines[9].at, staff.lines[9].size);
        return bytes;
    }
    std::string lineDuplicated() const {
        std::string bytes = good;
        const Span line = staff.lines[9];
        bytes.insert(line.at + line.size, good.substr(line.at, line.size));
        return bytes;
    }
    std::string widthChanged() const {
        const Span span = staff.lengths[staff.field("LASTNAME")];
        return withValue(good, span, std::to_string(std::stoi(plainAt(good, span)) + 1));
    }
    std::string tagChanged() const {
        return withValue(good, staff.tagExpressions[0], "UPPER(IDNO)");
    }
    std::string value(std::size_t record, const std::string& field,
                      const std::string& plain) const {
        return withValue(good, staff.values[record][staff.field(field)], plain);
    }
    std::string valueShort() const {
        std::string bytes = good;
        const Span last = staff.values[3].back();
        bytes.erase(last.at, last.size + 1);
        return bytes;
    }
    std::string valueLong() const {
        std::string bytes = good;
        const Span last = staff.values[3].back();
        std::string extra = common::scramble("x");
        extra.push_back('\0');
        bytes.insert(last.at + last.size + 1, extra);
        return bytes;
    }
    std::string tableMissing(const std::string& stored) const {
        std::string bytes = good;
        const Span block = mapTable(good, stored).block;
        bytes.erase(block.at, block.size);
        return bytes;
    }
    std::string tableTwice(const std::string& stored) const {
        std::string bytes = good;
        const Span block = mapTable(good, stored).block;
        bytes.insert(block.at + block.size, good.substr(block.at, block.size));
        return bytes;
    }
    std::string tableRenamed(const std::string& stored, const std::string& to) const {
        std::string bytes = good;
        const std::string from = common::scramble(stored);
        const std::size_t at = bytes.find(from, bytes.find("# [" + stored + "]"));
        EXPECT_NE(at, std::string::npos);
        bytes.replace(at, from.size(), common::scramble(to));
        return bytes;
    }
    // The monthly definitions file copied without its terminator.
    std::string definitionsCut() const {
        std::string bytes = good;
        const std::size_t inside = bytes.find(common::scramble("database/monpay.dat"));
        EXPECT_NE(inside, std::string::npos);
        const std::size_t end = bytes.find("\t\\eof{}\n\\end{file}\n", inside);
        EXPECT_NE(end, std::string::npos);
        bytes.erase(end, 8);
        return bytes;
    }

    std::string good;
    TableMap staff;
};

class BackupIntegrityTest : public BackupTest {
protected:
    void SetUp() override {
        BackupTest::SetUp();
        path = dir.file("drive/acme.bkf");
        ASSERT_EQ(backupFixed(path), 1) << ui.lastMessage();
        good = readAll(path);
        ui.clear();
    }

    // Restores `bytes` as the backup; true when the restore went through.
    bool restoreBytes(const std::string& bytes) {
        writeAll(path, bytes);
        ui.clear();
        return restoreFixed(path) == 1;
    }

    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages)
            texts.push_back(m.text);
        return texts;
    }

    std::string path;
    std::string good;
};

// ---------------------------------------------------------------------------
// The checksum

TEST_F(BackupIntegrityTest, AlteredBackupsAreRefusedByTheirChecksum) {
    const Alterations alter(good);
    const std::vector<std::pair<const char*, std::string>> cases{
        {"one salary digit changed", alter.salaryDigit()},
        {"a name letter changed", alter.nameLetter()},
        {"an employee line deleted", alter.lineDeleted()},
        {"an employee line duplicated", alter.lineDuplicated()},
        {"a field width changed", alter.widthChanged()},
        {"a tag changed", alter.tagChanged()},
        {"a table missing", alter.tableMissing("database\\leave.dbf")},
    };
    const auto before = orgBytes();
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        ASSERT_NE(bytes, good);
        EXPECT_FALSE(restoreBytes(bytes));
        EXPECT_EQ(shown(), std::vector<std::string>{kDamaged1});
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        expectUntouched(before);
        EXPECT_EQ(org.month, "March");
    }
}

TEST_F(BackupIntegrityTest, NoFlippedBitIsRestored) {
    auto in = common::TaggedReader::fromBytes(good);
    ASSERT_TRUE(in.skipFileId());
    const std::size_t afterId = in.position();
    ASSERT_TRUE(in.findTag("header", TagKind::GroupStart));
    const std::size_t headerAt = in.position();
    const std::size_t headerEnd = good.find("}\n", headerAt) + 2;
    const std::size_t eofAt = good.size() - std::string("\\eof{}\n").size();
    const std::string badEnd = "File \"" + path + "\" has invalid terminator.";

    const auto before = orgBytes();
    std::mt19937 random(20250307);
    std::uniform_int_distribution<std::size_t> position(0, good.size() - 1);
    std::uniform_int_distribution<int> bit(0, 7);
    int restored = 0;
    constexpr int kTries = 150;
    for (int i = 0; i < kTries; ++i) {
        const std::size_t at = position(random);
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << bit(random)));
        SCOPED_TRACE("byte " + std::to_string(at));
        if (restoreBytes(bytes))
            ++restored;
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        for (const auto& m : ui.messages)
            EXPECT_NE(m.icon, MessageIcon::Question) << m.text;
        if (at >= eofAt) {
            EXPECT_EQ(shown(), (std::vector<std::string>{
                                   badEnd, "Restore unsuccessful: Can't find last backup disk."}));
        } else if (at >= headerEnd) {
            EXPECT_EQ(shown(), std::vector<std::string>{kDamaged1});
        } else if (at >= afterId) {
            // The disk number itself may be what changed.
            EXPECT_TRUE(ui.lastMessage().ends_with(kDamagedTail)) << ui.lastMessage();
        }
        expectUntouched(before);
    }
    std::printf("altered backups restored: %d of %d\n", restored, kTries);
    EXPECT_EQ(restored, 0);
}

TEST_F(TwoDiskTest, EveryDiskIsCheckedBeforeAnythingChanges) {
    struct Case {
        const char* name;
        int disk;
        std::function<std::string(const std::string&)> alter;
        std::string message;
    };
    const auto flip = [](const std::string& bytes) {
        std::string out = bytes;
        out[out.size() / 2] = static_cast<char>(out[out.size() / 2] ^ 4);
        return out;
    };
    const std::vector<Case> cases{
        {"first disk damaged", 1, flip, kDamaged1},
        {"last disk damaged", 2, flip, "Backup disk 2" + kDamagedTail},
        {"first disk without its checksum", 1, [](const std::string& b) { return unsealed(b); },
         kDamaged1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        backUpOnTwoDisks();
        const std::string damaged = dir.file("disk" + std::to_string(c.disk) + "/acme.bkf");
        writeAll(damaged, c.alter(readAll(damaged)));
        const auto before = orgBytes();

        FakeDrive drive(dir.file("drive"), 1u << 30, true);
        fs::create_directory(dir.file("drive"));
        ui.clear();
        ui.onMessage = [&](const std::string& text) {
            if (text == "Please insert last backup disk in drive." ||
                text == "Please insert backup disk 2 in drive.")
                drive.insert(dir.file("disk2"));
            if (text == "Please insert backup disk 1 in drive.")
                drive.insert(dir.file("disk1"));
        };
        EXPECT_EQ(restoreOrgFrom(ports(drive), org, dir.file("drive/acme.bkf"), saver()), 0);
        ui.onMessage = nullptr;
        EXPECT_EQ(ui.lastMessage(), c.message);
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        expectUntouched(before);
        for (const char* gone : {"drive", "disk1", "disk2"})
            fs::remove_all(dir.file(gone));
    }
}

// ---------------------------------------------------------------------------
// Backups made before checksums

TEST_F(BackupIntegrityTest, AnOldBackupIsRestoredOnlyWhenTheUserSaysSo) {
    const std::string old = unsealed(good);
    ASSERT_TRUE(old.ends_with("\\end{file}\n\\eof{}\n"));
    const auto tables = tableImages();
    const auto files = fileImages();
    fs::remove(folder.resolve("database/static.dbf"));
    fillTable(code, folder.resolve("database/monpay.dbf"), 2);
    const auto before = orgBytes();

    // No, and Enter, which presses No.
    for (const bool enter : {false, true}) {
        SCOPED_TRACE(enter ? "Enter" : "No");
        writeAll(path, old);
        ui.clear();
        if (enter)
            ui.pressEnter = true;
        else
            ui.answers = {Answer::No};
        EXPECT_EQ(restoreFixed(path), 0);
        ui.pressEnter = false;
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, kOldBackupQuestion);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(ui.messages[0].defaultAnswer, std::optional<Answer>(Answer::No));
        expectUntouched(before);
    }

    ui.clear();
    ui.answers = {Answer::Yes};
    EXPECT_EQ(restoreFixed(path), 1) << ui.lastMessage();
    EXPECT_EQ(shown(), (std::vector<std::string>{kOldBackupQuestion, "Restore successful."}));
    EXPECT_EQ(tableImages(), tables);
    EXPECT_EQ(fileImages(), files);
}

TEST_F(BackupIntegrityTest, AnOldBackupIsStillCheckedAgainstTheTables) {
    const Alterations alter(unsealed(good));
    const auto before = orgBytes();
    ui.answers = {Answer::Yes};
    EXPECT_FALSE(restoreBytes(alter.widthChanged()));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           kOldBackupQuestion,
                           notValid("the fields or tags of database\\static.dbf differ from the "
                                    "program's own")}));
    expectUntouched(before);
}

// ---------------------------------------------------------------------------
// Backups whose checksum was written over altered contents

TEST_F(BackupIntegrityTest, TablesUnlikeTheProgramsOrValuesThatDoNotFitAreRefused) {
    const Alterations alter(good);
    const std::string staff = "database\\static.dbf";
    const auto layout = [](const std::string& table) {
        return notValid("the fields or tags of " + table + " differ from the program's own");
    };
    const auto misfit = [&](int record, const std::string& field) {
        return notValid("record " + std::to_string(record) + " of " + staff +
                        " holds a value that does not fit field " + field);
    };
    const TableMap transactions = mapTable(good, "database\\monpay.dbf");
    std::string monpayWidth = good;
    {
        const Span span = transactions.lengths.back();
        monpayWidth = withValue(good, span, std::to_string(std::stoi(plainAt(good, span)) + 2));
    }
    const std::vector<std::pair<std::string, std::string>> cases{
        {alter.widthChanged(), layout(staff)},
        {alter.tagChanged(), layout(staff)},
        {monpayWidth, layout("database\\monpay.dbf")},
        {alter.value(2, "LEAVEDAYS", "123456789.000000"), misfit(3, "LEAVEDAYS")},
        {alter.value(2, "STARTDATE", "20241341"), misfit(3, "STARTDATE")},
        {alter.value(2, "STARTDATE", "20230229"), misfit(3, "STARTDATE")},
        {alter.value(2, "LASTNAME", std::string(20, 'L')), misfit(3, "LASTNAME")},
        {alter.value(4, "STATION", "12x"), misfit(5, "STATION")},
        {alter.value(4, "TERMINATED", "maybe"), misfit(5, "TERMINATED")},
        {alter.value(4, "SALARY", "lots"), misfit(5, "SALARY")},
        {alter.valueShort(),
         notValid("record 4 of " + staff + " does not hold one value for each field")},
        {alter.valueLong(),
         notValid("record 4 of " + staff + " does not hold one value for each field")},
        {alter.tableMissing("database\\leave.dbf"),
         notValid("it holds no copy of database\\leave.dbf")},
        {alter.tableTwice("settings\\units.dbf"), notValid("it holds settings\\units.dbf twice")},
        {alter.tableRenamed("settings\\pensions.dbf", "settings\\pension2.dbf"),
         notValid("it holds settings\\pension2.dbf, which is no table of an organisation")},
        {alter.tableRenamed("settings\\pensions.dbf", "database\\monpay.dat"),
         notValid("it holds database\\monpay.dat in the wrong form")},
        {alter.definitionsCut(),
         notValid("the pay field definitions in database\\monpay.dat cannot be read")},
    };
    const auto before = orgBytes();
    for (const auto& [bytes, message] : cases) {
        SCOPED_TRACE(message);
        ASSERT_NE(bytes, good);
        EXPECT_FALSE(restoreBytes(resealed(bytes)));
        EXPECT_EQ(shown(), std::vector<std::string>{message});
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        expectUntouched(before);
    }
    // What fits is restored: an empty date, a date without its day, the
    // widest name.
    for (const auto& [field, plain] : std::vector<std::pair<std::string, std::string>>{
             {"STARTDATE", ""}, {"STARTDATE", "20240200"}, {"LASTNAME", std::string(19, 'L')}}) {
        SCOPED_TRACE(field + "=" + plain);
        EXPECT_TRUE(restoreBytes(resealed(alter.value(2, field, plain)))) << ui.lastMessage();
        auto table = engine::Data4::open(code, folder.resolve("database/static.dbf"));
        ASSERT_TRUE(table);
        table->go(3);
        EXPECT_EQ(backupformat::trimBlanks(table->field(field)->str()), plain);
    }
}

// The transactions tables' columns follow the pay items of their frequency,
// so a payroll with items of its own restores against its own definitions.
TEST_F(BackupTest, TransactionsWithTheirOwnPayItemsAreRestored) {
    common::PayItemDefs defs = defaultPayItemDefs();
    const auto item = [](std::string_view name, std::string_view type, std::string_view function) {
        auto def = std::make_shared<common::PayItemDef>();
        def->itemName = name;
        def->itemType = type;
        def->itemFunction = function;
        return std::shared_ptr<const common::PayItemDef>(def);
    };
    defs.earnings.push_back(item("Allowance", "", "Key in"));
    defs.earnings.push_back(item("Extra hours", common::kTypeHourlyPay, common::kFuncBasedOnHours));
    defs.deductions.push_back(
        item("Staff loan", common::kTypeCompanyLoanPayment, common::kFuncReducingBalance));
    ASSERT_TRUE(database::writePayFields(folder, "../org01", common::WEEKLY,
                                         "Weekly payroll fields file",
                                         database::fieldTablesOf(defs)));
    for (const char* file : {"database/wkpay.dbf", "database/wkpay.cdx"})
        fs::remove(folder.resolve(file));
    database::VARDB transactions(code, folder);
    ASSERT_TRUE(transactions.setDefinitions(defs));
    ASSERT_TRUE(transactions.createFile(ui, common::WEEKLY));
    fillTable(code, folder.resolve("database/wkpay.dbf"), 3);
    const auto tables = tableImages();
    const auto files = fileImages();
    ASSERT_GT(tables.at("database\\wkpay.dbf").fields.size(),
              tables.at("database\\monpay.dbf").fields.size());

    const std::string path = dir.file("drive/acme.bkf");
    ASSERT_EQ(backupFixed(path), 1) << ui.lastMessage();
    fs::remove(folder.resolve("database/wkpay.dbf"));
    writeAll(folder.resolve("database/wkpay.dat"), "garbage");
    ui.clear();
    ASSERT_EQ(restoreFixed(path), 1) << ui.lastMessage();
    EXPECT_EQ(tableImages(), tables);
    EXPECT_EQ(fileImages(), files);

    // The same backup with the monthly definitions in place of the weekly
    // ones no longer fits the weekly table.
    std::string bytes = readAll(path);
    const Span weekly = mapTable(bytes, "database\\wkpay.dbf").block;
    const Span monthly = mapTable(bytes, "database\\monpay.dbf").block;
    std::string swapped = bytes;
    swapped.replace(weekly.at, weekly.size, bytes.substr(monthly.at, monthly.size));
    const std::string monthlyPath = common::scramble("database\\monpay.dbf");
    swapped.replace(swapped.find(monthlyPath, weekly.at), monthlyPath.size(),
                    common::scramble("database\\wkpay.dbf"));
    writeAll(path, resealed(swapped));
    const auto before = orgBytes();
    ui.clear();
    EXPECT_EQ(restoreFixed(path), 0);
    EXPECT_EQ(ui.lastMessage(), "Backup file is not valid: the fields or tags of "
                                "database\\wkpay.dbf differ from the program's own. Nothing "
                                "has been restored.");
    expectUntouched(before);
}

// ---------------------------------------------------------------------------
// The organisation's record

class OrgRestoreTest : public testing::OrgsFixture {};

TEST_F(OrgRestoreTest, TheOrganisationReopensInTheBackedUpMonth) {
    ASSERT_EQ(create("Acme Ltd", "March", "2026"), 1) << ui.lastMessage();
    const common::ORGREC atBackup = storedRow("Acme Ltd");
    ASSERT_EQ(atBackup.month, "March");
    ASSERT_EQ(atBackup.year, 2026);
    fs::create_directories(dir.file("drive"));
    FakeDrive drive(dir.file("drive"), 1u << 30, false);
    FixedClock clock;
    ui.choices.push_back(dir.file("drive/acme.bkf"));
    ASSERT_EQ(orgs->backup(drive, clock), 1) << ui.lastMessage();

    orgs->incrMonth();
    ASSERT_EQ(storedRow("Acme Ltd").month, "April");
    ui.clear();
    ui.choices.push_back(dir.file("drive/acme.bkf"));
    ASSERT_EQ(orgs->restore(drive, clock), 1) << ui.lastMessage();
    EXPECT_EQ(orgs->getOpenOrg()->month, "March");

    // Read back by another handle, and opened again as after a restart.
    EXPECT_EQ(backupformat::orgValues(storedRow("Acme Ltd")), backupformat::orgValues(atBackup));
    orgs = std::make_unique<ORGS>(ui, code, folder);
    ASSERT_EQ(open("Acme Ltd"), 1) << ui.lastMessage();
    EXPECT_EQ(orgs->getOpenOrg()->month, "March");
    EXPECT_EQ(orgs->getOpenOrg()->year, 2026);
    EXPECT_EQ(backupformat::orgValues(*orgs->getOpenOrg()), backupformat::orgValues(atBackup));
}

TEST_F(BackupIntegrityTest, NoScratchFolderStopsTheRestoreFirst) {
    const auto before = orgBytes();
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved ? saved : "";
    ::setenv("TMPDIR", dir.file("no such folder").c_str(), 1);
    EXPECT_FALSE(restoreBytes(good));
    if (saved)
        ::setenv("TMPDIR", previous.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_EQ(shown(), std::vector<std::string>{"Restore unsuccessful: Can't create a scratch "
                                                "folder to check the backup in. Nothing has been "
                                                "restored."});
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
    expectUntouched(before);
}

} // namespace
} // namespace kelo::setup
