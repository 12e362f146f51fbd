#include "BackupFixture.h"
#include "testsupport/FakeDialogView.h"

namespace kelo::setup {
namespace {

using namespace backuptest;

// ---------------------------------------------------------------------------
// Round trip

TEST_F(BackupTest, RestoreBringsBackEveryTableAndFileAfterDamage) {
    const auto tables = tableImages();
    const auto files = fileImages();
    ASSERT_EQ(tables.at("database\\static.dbf").rows.size(), std::size_t{employees});
    ASSERT_EQ(tables.at("settings\\units.dbf").rows.size(), 3u);

    FakeDrive drive(dir.file("drive"), 1u << 30, false);
    const std::string path = dir.file("drive/acme.bkf");
    ui.choices.push_back(path);
    ASSERT_EQ(backupOrg(ports(drive), org), 1) << ui.lastMessage();
    EXPECT_EQ(ui.lastMessage(), "Backup successful.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Information);
    // The year file copied from elsewhere told its own story and was skipped.
    ASSERT_GE(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[0].text.find("has been renamed or moved"), std::string::npos);
    EXPECT_EQ(ui.fileChoices.back().title, "Backup");
    EXPECT_EQ(ui.fileChoices.back().filter, "Backup Files (*.bkf)");
    EXPECT_EQ(ui.fileChoices.back().defaultExtension, "bkf");
    EXPECT_EQ(ui.fileChoices.back().initialFolder, data + "/backup");
    EXPECT_TRUE(ui.fileChoices.back().overwritePrompt);
    EXPECT_TRUE(ui.statusShown("Backing up database\\static.dbf..."));
    EXPECT_TRUE(ui.statusShown("Backing up 2024\\ytd.dbf..."));
    EXPECT_EQ(ui.statusTexts.back(), "");
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_GE(ui.waitCount, 1);

    // Damage: tables gone, emptied or replaced, files changed, strays added.
    fs::remove(folder.resolve("database/static.dbf"));
    fs::remove(folder.resolve("settings/pensions.fpt"));
    fillTable(code, folder.resolve("database/monpay.dbf"), 3);
    writeAll(folder.resolve("database/monpay.dat"), "garbage");
    fs::remove(folder.resolve("2024/ytd.dbf"));
    writeAll(folder.resolve("database/temp.dbf"), "stray");
    writeAll(folder.resolve("settings/old.dat"), "stray");
    const common::ORGREC backedUp = org;
    org.month = "June";
    org.bTrFileID = 99;
    org.payFreq = common::IRREGULAR;
    ASSERT_TRUE(saveOrgRec(code, folder, org));
    ui.clear();

    ui.choices.push_back(path);
    ASSERT_EQ(restoreOrg(ports(drive), org, saver()), 1) << ui.lastMessage();
    EXPECT_EQ(ui.lastMessage(), "Restore successful.");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.fileChoices.back().title, "Restore");
    EXPECT_EQ(ui.fileChoices.back().filter, "Backup Files (*.bkf)");
    EXPECT_TRUE(ui.statusShown("Deleting database\\temp.dbf..."));
    EXPECT_TRUE(ui.statusShown("Restoring database\\static.dbf..."));
    EXPECT_TRUE(ui.statusShown("Restoring 2024\\ytd.dbf..."));
    EXPECT_EQ(ui.waitDepth, 0);

    EXPECT_EQ(tableImages(), tables);
    EXPECT_EQ(fileImages(), files);
    EXPECT_FALSE(fs::exists(folder.resolve("database/temp.dbf")));
    EXPECT_FALSE(fs::exists(folder.resolve("settings/old.dat")));
    // What was not in the backup is gone; what is no data file stays.
    EXPECT_FALSE(fs::exists(folder.resolve("2025/copied.dbf")));
    EXPECT_TRUE(fs::exists(folder.resolve("2025/notes.txt")));
    EXPECT_TRUE(fs::exists(folder.resolve("graphics/logo.bmp")));

    EXPECT_EQ(org.month, "March");
    EXPECT_EQ(org.bTrFileID, 7);
    EXPECT_EQ(org.payFreq, common::WEEKLY);
    const common::ORGREC stored = storedOrg();
    EXPECT_EQ(stored.month, backedUp.month);
    EXPECT_EQ(stored.bTrFileID, backedUp.bTrFileID);
    EXPECT_EQ(stored.payFreq, backedUp.payFreq);
    EXPECT_EQ(stored.bankName, "CRDB");
    EXPECT_EQ(stored.orgNum, 1);

    // The restored tables work: their tags find records.
    database::STATDB staff(code, folder);
    ASSERT_TRUE(staff.openFile());
    ASSERT_TRUE(staff.orderByEmpNum());
    EXPECT_EQ(staff.data()->recCount(), employees);
}

TEST_F(BackupTest, BackupFileHoldsTheOrganisationAndOneBlockPerFile) {
    const std::string path = dir.file("drive/acme.bkf");
    ASSERT_EQ(backupFixed(path), 1) << ui.lastMessage();
    const std::string bytes = readAll(path);
    EXPECT_TRUE(bytes.starts_with("# Backup file for Acme Ltd\n# [" + path + "]\n# \n\\fileid{"));
    // The last lines: the checksum over every byte before it, then the mark.
    const std::size_t checksum = bytes.rfind("\\checksum{");
    ASSERT_NE(checksum, std::string::npos);
    std::string tail = "\\checksum{" + common::scramble(sha256Hex(bytes.substr(0, checksum)));
    tail.push_back('\0');
    tail += "}\n\\eof{}\n";
    EXPECT_EQ(bytes.substr(checksum), tail);
    EXPECT_EQ(bytes.substr(checksum - 11, 11), "\\end{file}\n");
    EXPECT_NE(bytes.find("\\begin{file}\n\t# Organisations file\n"
                         "\t# [..\\system\\settings\\org.dbf]\n\t# \n\t\\fileid{"),
              std::string::npos);
    EXPECT_NE(bytes.find("\\begin{file}\n\t# \n\t# [database\\static.dbf]\n\t# \n"),
              std::string::npos);
    // A copied file: its lines behind a tab, the block end on its own line.
    EXPECT_NE(bytes.find("\\begin{file}\n\t# YTD\n\t# [2024\\ytd.dbf]\n"), std::string::npos);
    EXPECT_NE(bytes.find("\t\\eof{}\n\\end{file}\n"), std::string::npos);

    auto in = common::TaggedReader::fromBytes(bytes);
    common::FileId id;
    ASSERT_TRUE(in.readFileId(id));
    EXPECT_EQ(id.kind, "Backup");
    EXPECT_EQ(id.path, path);
    EXPECT_EQ(id.version, "4.2.4.3");
    std::string disk, date, time;
    ASSERT_TRUE(in.findTag("header", TagKind::GroupStart));
    ASSERT_TRUE(in.readValue(disk) && in.readValue(date) && in.readValue(time));
    EXPECT_EQ(disk, "1");
    EXPECT_EQ(date, "7 March 2025");
    EXPECT_EQ(time, "3:07:09 PM");

    // The organisation block: ORGREC in field order.
    ASSERT_TRUE(in.findTag({}, TagKind::GroupEnd));
    ASSERT_TRUE(in.findTag("file", TagKind::BlockStart));
    ASSERT_TRUE(in.readFileId(id));
    EXPECT_EQ(id.kind, "Organisations");
    EXPECT_EQ(id.version, "4.2");
    ASSERT_TRUE(in.findTag("records", TagKind::BlockStart));
    ASSERT_TRUE(in.findTag("item", TagKind::GroupStart));
    std::vector<std::string> values(backupformat::kOrgValueCount);
    for (std::string& v : values)
        ASSERT_TRUE(in.readValue(v));
    EXPECT_EQ(values[0], "1");
    EXPECT_EQ(values[1], "Acme Ltd");
    EXPECT_EQ(values[9], "../org01");
    EXPECT_EQ(values[13], "March");
    EXPECT_EQ(values[23], "7");
    EXPECT_EQ(values[24], "1");

    // Then the 17 tables in their order, each with fields, tags, records.
    ASSERT_TRUE(in.findTag("records", TagKind::BlockEnd));
    ASSERT_TRUE(in.findTag("file", TagKind::BlockEnd));
    for (const char* table : kBackupTables) {
        ASSERT_TRUE(in.findTag("file", TagKind::BlockStart)) << table;
        ASSERT_TRUE(in.readFileId(id));
        EXPECT_EQ(id.kind, "CodeBase");
        EXPECT_EQ(id.path, table);
        EXPECT_EQ(id.version, "");
        ASSERT_TRUE(in.findTag("fields", TagKind::BlockStart));
        if (std::string_view(table) == "settings\\pensions.dbf") {
            std::vector<std::string> field(5);
            ASSERT_TRUE(in.findTag("item", TagKind::GroupStart));
            for (std::string& v : field)
                ASSERT_TRUE(in.readValue(v));
            EXPECT_EQ(field, (std::vector<std::string>{"CODE", "78", "10", "0", "0"}));
            in.setPosition(in.bytes().find("\\begin{tags}", in.position()));
            ASSERT_TRUE(in.findTag("tags", TagKind::BlockStart));
            std::vector<std::string> tag(5);
            ASSERT_TRUE(in.findTag("item", TagKind::GroupStart));
            for (std::string& v : tag)
                ASSERT_TRUE(in.readValue(v));
            EXPECT_EQ(tag, (std::vector<std::string>{"NAME", "UPPER(NAME)", "", "0", "0"}));
            in.setPosition(in.bytes().find("\\begin{records}", in.position()));
            ASSERT_TRUE(in.findTag("records", TagKind::BlockStart));
            std::vector<std::string> record(2);
            ASSERT_TRUE(in.findTag("item", TagKind::GroupStart));
            for (std::string& v : record)
                ASSERT_TRUE(in.readValue(v));
            EXPECT_EQ(record, (std::vector<std::string>{"1", "R1C2 x"}));
            ASSERT_TRUE(in.findTag({}, TagKind::GroupEnd));
        }
        const std::size_t end = in.bytes().find("\n\\end{file}\n", in.position());
        ASSERT_NE(end, std::string_view::npos) << table;
        in.setPosition(end + 1);
        ASSERT_TRUE(in.findTag("file", TagKind::BlockEnd)) << table;
    }
}

// ---------------------------------------------------------------------------
// Removable disks

TEST_F(TwoDiskTest, BackupAsksForASecondDiskAndRestoreReadsBoth) {
    const auto tables = tableImages();
    const auto files = fileImages();
    backUpOnTwoDisks();
    const auto* prompt =
        ui.find("Disk is full. Insert new disk in target drive  and label it \"Disk No. 2\".");
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt->icon, MessageIcon::Warning);
    EXPECT_EQ(prompt->buttons, MessageButtons::OkCancel);
    EXPECT_EQ(prompt->caption, "Kelo Roster");
    EXPECT_EQ(ui.lastMessage(), "Backup successful.");

    const std::string first = readAll(dir.file("disk1/acme.bkf"));
    const std::string second = readAll(dir.file("disk2/acme.bkf"));
    EXPECT_TRUE(first.ends_with("\\eos{}\n"));
    EXPECT_TRUE(second.ends_with("\\eof{}\n"));
    // Each disk carries the checksum of its own bytes.
    EXPECT_EQ(first, sealed(first.substr(0, checksumAt(first)), "\\eos{}\n"));
    EXPECT_EQ(second, sealed(second.substr(0, checksumAt(second))));
    for (const auto& [bytes, number] : {std::pair{first, "1"}, std::pair{second, "2"}}) {
        auto in = common::TaggedReader::fromBytes(bytes);
        std::string disk, date, time;
        ASSERT_TRUE(in.skipFileId() && in.findTag("header", TagKind::GroupStart));
        ASSERT_TRUE(in.readValue(disk) && in.readValue(date) && in.readValue(time));
        EXPECT_EQ(disk, number);
        EXPECT_EQ(date, "7 March 2025");
        EXPECT_EQ(time, "3:07:09 PM");
    }
    // Only the first disk carries the organisation.
    EXPECT_NE(first.find("Organisations file"), std::string::npos);
    EXPECT_EQ(second.find("Organisations file"), std::string::npos);
    EXPECT_NE(first.find("[database\\static.dbf]"), std::string::npos);
    EXPECT_NE(second.find("[database\\monpay.dbf]"), std::string::npos);

    // Restore: the last disk first, then disks 1 and 2.
    fs::remove(folder.resolve("database/static.dbf"));
    fs::remove(folder.resolve("database/monpay.dbf"));
    ui.clear();
    FakeDrive drive(dir.file("drive"), 1u << 30, true);
    fs::create_directory(dir.file("drive"));
    ui.onMessage = [&](const std::string& text) {
        if (text == "Please insert last backup disk in drive." ||
            text == "Please insert backup disk 2 in drive.")
            drive.insert(dir.file("disk2"));
        if (text == "Please insert backup disk 1 in drive.")
            drive.insert(dir.file("disk1"));
    };
    ASSERT_EQ(restoreOrgFrom(ports(drive), org, dir.file("drive/acme.bkf"), saver()), 1)
        << ui.lastMessage();
    std::vector<std::string> shown;
    for (const auto& m : ui.messages)
        shown.push_back(m.text);
    EXPECT_EQ(shown, (std::vector<std::string>{"Please insert last backup disk in drive.",
                                               "Please insert backup disk 1 in drive.",
                                               "Please insert backup disk 2 in drive.",
                                               "Restore successful."}));
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ui.messages[1].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(tableImages(), tables);
    EXPECT_EQ(fileImages(), files);
}

TEST_F(TwoDiskTest, AnEmptyDriveAsksForAValidDiskUntilOneIsInserted) {
    FakeDrive drive(dir.file("drive"), firstDiskSize(), true);
    int fullPrompts = 0;
    ui.onMessage = [&](const std::string& text) {
        if (text.starts_with("Disk is full.") && ++fullPrompts == 1)
            fs::rename(dir.file("drive"), dir.file("disk1")); // out, none in
        if (text == "Make sure there is a valid disk in target drive.") {
            fs::create_directory(dir.file("drive"));
            drive.capacity = 1u << 30;
        }
    };
    ui.answers = {Answer::Ok, Answer::Retry, Answer::Ok};
    ASSERT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 1) << ui.lastMessage();
    const auto* invalid = ui.find("Make sure there is a valid disk in target drive.");
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(invalid->icon, MessageIcon::Warning);
    EXPECT_EQ(fullPrompts, 2);
    EXPECT_TRUE(readAll(dir.file("disk1/acme.bkf")).ends_with("\\eos{}\n"));
    EXPECT_TRUE(readAll(dir.file("drive/acme.bkf")).ends_with("\\eof{}\n"));
}

TEST_F(TwoDiskTest, ANewDiskThatTakesNoFileIsRefusedUntilOneDoes) {
    FakeDrive drive(dir.file("drive"), firstDiskSize(), true);
    ui.onMessage = [&](const std::string& text) {
        if (text.starts_with("Disk is full.")) {
            drive.changeDisk(dir.file("disk1"), 1u << 30);
            fs::create_directory(dir.file("drive/acme.bkf")); // the name is taken
        }
        if (text == "Make sure there is a valid disk in target drive.")
            fs::remove(dir.file("drive/acme.bkf"));
    };
    ui.answers = {Answer::Ok, Answer::Retry};
    ASSERT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 1) << ui.lastMessage();
    ASSERT_GE(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Make sure there is a valid disk in target drive.");
    EXPECT_TRUE(readAll(dir.file("drive/acme.bkf")).ends_with("\\eof{}\n"));
}

TEST_F(TwoDiskTest, CancellingTheDiskChangeFailsAndDeletesTheUnfinishedDisk) {
    FakeDrive drive(dir.file("drive"), firstDiskSize(), true);
    ui.answers = {Answer::Cancel};
    EXPECT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 0);
    EXPECT_EQ(ui.lastMessage(), "Backup unsuccessful.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
    EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
}

TEST_F(TwoDiskTest, RestoreAsksForTheRightDisk) {
    backUpOnTwoDisks();
    // A second backup of another day and time, also on two disks.
    clock.date = "8 March 2025";
    fs::rename(dir.file("disk1"), dir.file("a1"));
    fs::rename(dir.file("disk2"), dir.file("a2"));
    backUpOnTwoDisks();
    fs::rename(dir.file("disk1"), dir.file("b1"));
    fs::rename(dir.file("disk2"), dir.file("b2"));
    clock.date = "7 March 2025";
    clock.time = "4:00:00 PM";
    backUpOnTwoDisks();
    fs::rename(dir.file("disk1"), dir.file("c1"));
    fs::rename(dir.file("disk2"), dir.file("c2"));
    writeAll(dir.file("junk.bkf"), "not a backup");
    ui.clear();
    const auto tables = tableImages();
    const auto files = fileImages();

    FakeDrive drive(dir.file("drive"), 1u << 30, true);
    fs::create_directory(dir.file("drive"));
    // What the user puts in for each prompt, in order.
    std::deque<std::string> inserted{"a1", "junk", "a2", "a2", "b1", "c1", "a1", "a2"};
    ui.onMessage = [&](const std::string& text) {
        if (text.starts_with("Please insert") || text.starts_with("This ")) {
            ASSERT_FALSE(inserted.empty()) << text;
            const std::string next = inserted.front();
            inserted.pop_front();
            if (next == "junk") {
                fs::remove_all(dir.file("drive"));
                fs::create_directory(dir.file("drive"));
                fs::copy_file(dir.file("junk.bkf"), dir.file("drive/acme.bkf"));
            } else {
                drive.insert(dir.file(next));
            }
        }
    };
    // The junk file's own error message takes an answer too.
    ui.answers = {Answer::Ok,    Answer::Retry, Answer::Ok,    Answer::Retry, Answer::Ok,
                  Answer::Retry, Answer::Retry, Answer::Retry, Answer::Ok};
    ASSERT_EQ(restoreOrgFrom(ports(drive), org, dir.file("drive/acme.bkf"), saver()), 1)
        << ui.lastMessage();
    std::vector<std::string> prompts;
    for (const auto& m : ui.messages) {
        if (m.icon != MessageIcon::Error)
            prompts.push_back(m.text);
    }
    EXPECT_EQ(
        prompts,
        (std::vector<std::string>{
            "Please insert last backup disk in drive.", "Please insert last backup disk in drive.",
            "Please insert disk with valid backup file in drive.",
            "Please insert backup disk 1 in drive.", "This is backup disk 2. Please insert disk 1.",
            "This backup was made on 8 March 2025.Was expecting backup made on 7 March 2025.",
            "This backup was made at 4:00:00 PM.Was expecting backup made at 3:07:09 PM.",
            "Please insert backup disk 2 in drive.", "Restore successful."}));
    EXPECT_EQ(ui.find("This is backup disk 2. Please insert disk 1.")->buttons,
              MessageButtons::RetryCancel);
    EXPECT_EQ(ui.messages[1].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(tableImages(), tables);
    EXPECT_EQ(fileImages(), files);
}

TEST_F(TwoDiskTest, CancellingTheSearchForTheLastDiskChangesNothing) {
    backUpOnTwoDisks();
    const auto tables = tableImages();
    const auto files = fileImages();
    FakeDrive drive(dir.file("drive"), 1u << 30, true);
    ui.onMessage = [&](const std::string&) { drive.insert(dir.file("disk1")); };
    ui.answers = {Answer::Ok, Answer::Cancel};
    EXPECT_EQ(restoreOrgFrom(ports(drive), org, dir.file("drive/acme.bkf"), saver()), 0);
    EXPECT_EQ(ui.lastMessage(), "Restore unsuccessful: Can't find last backup disk.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
    expectUnchanged(tables, files);

    // Found, but the user gives up at the first disk.
    ui.clear();
    ui.onMessage = [&](const std::string& text) {
        drive.insert(dir.file(text.starts_with("Please insert last") ? "disk2" : "disk1"));
    };
    ui.answers = {Answer::Ok, Answer::Cancel};
    EXPECT_EQ(restoreOrgFrom(ports(drive), org, dir.file("drive/acme.bkf"), saver()), 0);
    EXPECT_EQ(ui.lastMessage(), "Restore unsuccessful: Can't restore disk 1 of 2.");
    expectUnchanged(tables, files);
}

// ---------------------------------------------------------------------------
// Refusals that leave everything as it was

TEST_F(BackupTest, BackupOfAnotherOrganisationIsRefusedBeforeAnythingIsDeleted) {
    const std::string path = dir.file("drive/acme.bkf");
    ASSERT_EQ(backupFixed(path), 1);
    const auto tables = tableImages();
    const auto files = fileImages();
    ui.clear();
    common::ORGREC other = org;
    other.name = "Other Ltd";
    other.month = "July";
    FakeDrive drive(dir.file("drive"), 1u << 30, false);
    EXPECT_EQ(restoreOrgFrom(ports(drive), other, path, saver()), 0);
    EXPECT_EQ(ui.lastMessage(), "Backup file is for Acme Ltd");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(other.month, "July");
    expectUnchanged(tables, files);

    // The name is compared without regard to case.
    ui.clear();
    common::ORGREC sameName = org;
    sameName.name = "ACME LTD";
    EXPECT_EQ(
        restoreOrgFrom(ports(drive), sameName, path, [](const common::ORGREC&) { return true; }),
        1);
}

// Damaged backup files: each refused with its message and nothing lost.
TEST_F(BackupTest, DamagedBackupIsRefusedWithNothingLost) {
    const std::string path = dir.file("drive/acme.bkf");
    ASSERT_EQ(backupFixed(path), 1);
    const std::string good = readAll(path);
    const auto tables = tableImages();
    const auto files = fileImages();
    const auto before = orgBytes();
    const std::size_t middle = good.find("[database\\leave.dbf]");
    ASSERT_NE(middle, std::string::npos);
    const std::string scrambledVersion = common::scramble("4.2.4.3");

    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> messages;
    };
    const std::string cantFind = "Restore unsuccessful: Can't find last backup disk.";
    const std::string cantRestore = "Restore unsuccessful: Can't restore disk 1 of 1.";
    const auto damaged = [](int disk) {
        return "Backup disk " + std::to_string(disk) +
               " is damaged: its contents do not match the checksum written with it. Nothing "
               "has been restored.";
    };
    std::string otherVersion = good;
    otherVersion.replace(otherVersion.find(scrambledVersion), scrambledVersion.size(),
                         common::scramble("4.1.0.0"));
    std::string holed = good;
    holed.erase(middle - 200, 400);
    std::string lastDiskOfTwo = good;
    {
        // A header claiming a second disk that never comes.
        auto in = common::TaggedReader::fromBytes(good);
        in.skipFileId();
        ASSERT_TRUE(in.findTag("header", TagKind::GroupStart));
        lastDiskOfTwo[in.position()] = common::scrambleByte('2');
    }
    std::string unsafe = good;
    const std::string leave = common::scramble("database\\leave.dbf");
    unsafe.replace(unsafe.find(leave), leave.size(), common::scramble("..\\..\\leave.dbf"));

    const std::vector<Case> cases{
        {"truncated",
         good.substr(0, good.size() / 2),
         {"File \"" + path + "\" has invalid terminator.", cantFind}},
        {"cut one byte short",
         good.substr(0, good.size() - 1),
         {"File \"" + path + "\" has invalid terminator.", cantFind}},
        {"not a backup", "hello", {"Format of " + path + " is unknown.", cantFind}},
        {"another version",
         otherVersion,
         {"File \"" + path +
              "\" is of version 4.1.0.0 while version 4.2.4.3 or 4.2.0.3 is "
              "required.",
          cantFind}},
        {"hole in the middle", holed, {damaged(1)}},
        {"header claims a second disk", lastDiskOfTwo, {damaged(2)}},
        {"path outside the organisation", unsafe, {damaged(1)}},
        // Proven by its checksum, but still refused before anything changes.
        {"second disk missing, checksum written again",
         resealed(lastDiskOfTwo),
         {"Please insert backup disk 1 in drive.", "This is backup disk 2. Please insert disk 1.",
          "Restore unsuccessful: Can't restore disk 1 of 2."}},
        {"path outside the organisation, checksum written again", resealed(unsafe), {cantRestore}},
        {"header unreadable",
         [&] {
             std::string bytes = good;
             bytes.replace(bytes.find("\\header{"), 8, "\\heaDer{");
             return bytes;
         }(),
         {"The backup file is damaged: its contents do not match the checksum written with it. "
          "Nothing has been restored."}},
        {"checksum group without its value",
         good.substr(0, checksumAt(good)) + "\\checksum{}\n\\eof{}\n",
         {damaged(1)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path, c.bytes);
        ui.clear();
        ui.answers = {Answer::Ok, Answer::Cancel};
        EXPECT_EQ(restoreFixed(path), 0);
        std::vector<std::string> shown;
        for (const auto& m : ui.messages)
            shown.push_back(m.text);
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        expectUntouched(before);
        expectUnchanged(tables, files);
        EXPECT_EQ(org.month, "March");
    }
    ui.answers.clear();
}

TEST_F(BackupTest, AHandMadeOldBackupWithoutTheOtherTablesIsRefusedFirst) {
    // A backup written without a checksum whose only table is the employees'.
    const std::string path = dir.file("drive/made.bkf");
    {
        common::TaggedWriter w(path);
        w.writeComment("Backup file for Acme Ltd");
        w.writeTag("fileid", TagKind::GroupStart);
        w.writeValue("Backup");
        w.writeValue(path);
        w.writeValue("4.2.0.3");
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("header", TagKind::GroupStart);
        w.writeInt(1);
        w.writeValue("1 May 2024");
        w.writeValue("9:00:00 AM");
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("file", TagKind::BlockStart);
        w.writeTag("fileid", TagKind::GroupStart, 1);
        w.writeValue("Organisations");
        w.writeValue("..\\system\\settings\\org.dbf");
        w.writeValue("4.2");
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("records", TagKind::BlockStart, 1);
        w.writeTag("item", TagKind::GroupStart, 2);
        for (const std::string& v : backupformat::orgValues(org))
            w.writeValue(v);
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("records", TagKind::BlockEnd, 1);
        w.writeTag("file", TagKind::BlockEnd);
        w.writeTag("file", TagKind::BlockStart);
        w.writeTag("fileid", TagKind::GroupStart, 1);
        w.writeValue("CodeBase");
        w.writeValue("database\\static.dbf");
        w.writeValue("");
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("fields", TagKind::BlockStart, 1);
        w.writeTag("item", TagKind::GroupStart, 2);
        for (const char* v : {"EMPNO", "67", "19", "0", "0"})
            w.writeValue(v);
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("fields", TagKind::BlockEnd, 1);
        w.writeTag("tags", TagKind::BlockStart, 1);
        w.writeTag("item", TagKind::GroupStart, 2);
        for (const char* v : {"Bad", "UPPER(NOSUCH)", "", "0", "0"})
            w.writeValue(v);
        w.writeTag({}, TagKind::GroupEnd);
        w.writeTag("tags", TagKind::BlockEnd, 1);
        w.writeTag("records", TagKind::BlockStart, 1);
        w.writeTag("records", TagKind::BlockEnd, 1);
        w.writeTag("file", TagKind::BlockEnd);
        w.writeEof();
        ASSERT_TRUE(w.close());
    }
    const auto before = orgBytes();
    ui.answers = {Answer::Yes};
    EXPECT_EQ(restoreFixed(path), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.messages[1].text, "Backup file is not valid: it holds no copy of "
                                   "database\\monpay.dbf. Nothing has been restored.");
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Error);
    expectUntouched(before);
}

// ---------------------------------------------------------------------------
// Space

TEST_F(BackupTest, StartNeedsTheFreeSpaceToBeKnownAndAKilobyte) {
    struct Case {
        std::uint64_t capacity;
        bool unreadable;
        std::string message;
    };
    for (const Case& c :
         {Case{1u << 30, true, "Unable to determine free space in target drive."},
          Case{1023, false, "Insufficient space in target drive to start backup."}}) {
        SCOPED_TRACE(c.message);
        ui.clear();
        FakeDrive drive(dir.file("drive"), c.capacity, false);
        drive.unreadable = {c.unreadable};
        EXPECT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, c.message);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
        EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

TEST_F(BackupTest, FixedDriveTooSmallFailsAtTheFirstTableThatDoesNotFit) {
    FakeDrive drive(dir.file("drive"), 4096, false);
    EXPECT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 0);
    std::vector<std::string> shown;
    for (const auto& m : ui.messages)
        shown.push_back(m.text);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Insufficient space in target drive to write \"database\\static.dbf\".",
                         "Backup unsuccessful."}));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::Error);
    EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
}

TEST_F(BackupTest, UnknownFreeSpaceDuringTheBackupMayBeRetried) {
    const std::string text = "Unable to determine free space in target drive.";
    {
        FakeDrive drive(dir.file("drive"), 1u << 30, false);
        drive.unreadable = {false, true};
        ui.answers = {Answer::Retry};
        EXPECT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 1);
        ASSERT_TRUE(ui.find(text));
        EXPECT_EQ(ui.find(text)->buttons, MessageButtons::RetryCancel);
        EXPECT_EQ(ui.find(text)->icon, MessageIcon::Warning);
    }
    ui.clear();
    FakeDrive drive(dir.file("drive"), 1u << 30, false);
    drive.unreadable = {false, true};
    ui.answers = {Answer::Cancel};
    EXPECT_EQ(backupOrgTo(ports(drive), org, dir.file("drive/acme.bkf")), 0);
    EXPECT_EQ(ui.lastMessage(), "Backup unsuccessful.");
    EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
}

// ---------------------------------------------------------------------------
// Other users

TEST_F(BackupTest, ATableHeldExclusivelyByAnotherHandleFailsTheBackup) {
    code.accessMode = engine::OPEN4DENY_RW;
    auto held = engine::Data4::open(code, folder.resolve("settings/jobs.dbf"));
    code.accessMode = engine::OPEN4DENY_NONE;
    ASSERT_TRUE(held);
    EXPECT_EQ(backupFixed(dir.file("drive/acme.bkf")), 0);
    std::vector<std::string> shown;
    for (const auto& m : ui.messages)
        shown.push_back(m.text);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "settings\\jobs.dbf is currently in use by another user. Try again later.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(ui.lastMessage(), "Backup unsuccessful.");
    EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
    EXPECT_EQ(code.errorCode(), 0);
}

TEST_F(BackupTest, ARecordLockedByAnotherHandleIsStillBackedUp) {
    auto other = engine::Data4::open(code, folder.resolve("database/static.dbf"));
    ASSERT_TRUE(other);
    ASSERT_EQ(other->lock(1), engine::r4success);
    EXPECT_EQ(backupFixed(dir.file("drive/acme.bkf")), 1) << ui.lastMessage();
}

TEST_F(BackupTest, RestoreIsRefusedWhileAnotherHandleHasATableOpen) {
    const std::string path = dir.file("drive/acme.bkf");
    ASSERT_EQ(backupFixed(path), 1);
    fs::remove(folder.resolve("database/wkpay.dbf"));
    const auto tables = tableImages();
    const auto files = fileImages();
    ui.clear();
    auto other = engine::Data4::open(code, folder.resolve("database/monpay.dbf"));
    ASSERT_TRUE(other);
    ASSERT_EQ(other->lock(1), engine::r4success);
    EXPECT_EQ(restoreFixed(path), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(),
              "database\\monpay.dbf is currently in use by another user. Try again later.");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Warning);
    EXPECT_EQ(org.month, "March");
    expectUnchanged(tables, files);
    EXPECT_EQ(code.errorCode(), 0);

    other.reset();
    ui.clear();
    EXPECT_EQ(restoreFixed(path), 1) << ui.lastMessage();
    EXPECT_TRUE(fs::exists(folder.resolve("database/wkpay.dbf")));
}

// ---------------------------------------------------------------------------
// The other messages

TEST_F(BackupTest, StampsThatCannotBeMadeFailTheBackup) {
    struct Case {
        bool date;
        bool time;
        const char* message;
    };
    for (const Case& c : {Case{false, true, "Backup unsuccessful: Can't create date stamp."},
                          Case{true, false, "Backup unsuccessful: Can't create time stamp."}}) {
        ui.clear();
        clock.date = c.date ? std::optional<std::string>("1 May 2024") : std::nullopt;
        clock.time = c.time ? std::optional<std::string>("9:00:00 AM") : std::nullopt;
        EXPECT_EQ(backupFixed(dir.file("drive/acme.bkf")), 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.lastMessage(), c.message);
        EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
        EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
    }
}

TEST_F(BackupTest, BackupFileThatCannotBeCreated) {
    const std::string path = dir.file("drive/missing/acme.bkf");
    EXPECT_EQ(backupFixed(path), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "Can't create \"" + path + "\".");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Error);
}

// The message names the file; for a table, a second line says why it did
// not open.
TEST_F(BackupTest, MissingOrDamagedEssentialFilesFailTheBackup) {
    struct Case {
        const char* file;
        std::string damage;              // empty: removed
        std::vector<std::string> before; // messages before the one naming the file
        std::string invalid;             // its first line
        bool reason;                     // a second line names the file again
    };
    const std::vector<Case> cases{
        {"database/absence.dbf", "", {}, "Essential file is invalid: database\\absence.dbf", true},
        {"settings/options.dbf",
         "not a table",
         {},
         "Essential file is invalid: settings\\options.dbf",
         true},
        {"database/bwkpay.dat",
         "",
         {"Can't find \"" + folder.resolve("database/bwkpay.dat") + "\""},
         "Essential file is invalid: database\\bwkpay.dat",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder.resolve(c.file);
        const std::string before = readAll(path);
        if (c.damage.empty())
            fs::remove(path);
        else
            writeAll(path, c.damage);
        ui.clear();
        EXPECT_EQ(backupFixed(dir.file("drive/acme.bkf")), 0);
        std::vector<DriveUi::Message> shown;
        for (const auto& m : ui.messages) {
            if (m.text.find("renamed or moved") == std::string::npos)
                shown.push_back(m);
        }
        ASSERT_EQ(shown.size(), c.before.size() + 2);
        for (std::size_t i = 0; i < c.before.size(); ++i)
            EXPECT_EQ(shown[i].text, c.before[i]);
        const std::string& invalid = shown[c.before.size()].text;
        const std::size_t newline = invalid.find('\n');
        EXPECT_EQ(invalid.substr(0, newline), c.invalid);
        EXPECT_EQ(shown[c.before.size()].icon, MessageIcon::Error);
        if (c.reason) {
            ASSERT_NE(newline, std::string::npos);
            const std::string stored = backupformat::storedPath(c.file);
            EXPECT_NE(invalid.find(stored, newline), std::string::npos) << invalid;
        } else {
            EXPECT_EQ(newline, std::string::npos);
        }
        EXPECT_EQ(shown.back().text, "Backup unsuccessful.");
        EXPECT_FALSE(fs::exists(dir.file("drive/acme.bkf")));
        writeAll(path, before);
    }
}

TEST_F(BackupTest, CancelledChoosersDoNothing) {
    FakeDrive drive(dir.file("drive"), 1u << 30, false);
    EXPECT_EQ(backupOrg(ports(drive), org), 0);
    EXPECT_EQ(restoreOrg(ports(drive), org, saver()), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.fileChoices.size(), 2u);
    EXPECT_EQ(ui.fileChoices[1].title, "Restore");
    EXPECT_EQ(ui.fileChoices[1].initialFolder, data + "/backup");
}

TEST_F(BackupTest, AFileThatCannotBeRecreatedStopsTheRestore) {
    const std::string path = dir.file("drive/acme.bkf");
    ASSERT_EQ(backupFixed(path), 1);
    // The copied file's own identity names where it goes back to; make that
    // a place under a plain file.
    std::string bytes = readAll(path);
    const std::string stored = common::scramble("2024\\ytd.dbf");
    const std::string blocked = common::scramble("graphics\\logo.bmp\\ytd.dat");
    const std::size_t at = bytes.find(stored, bytes.find("# [2024\\ytd.dbf]"));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, stored.size(), blocked);
    writeAll(path, resealed(bytes));
    ui.clear();
    EXPECT_EQ(restoreFixed(path), 0);
    std::vector<std::string> shown;
    for (const auto& m : ui.messages)
        shown.push_back(m.text);
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Can't create \"graphics\\logo.bmp\\ytd.dat\".",
                                        "Restore unsuccessful: Can't restore disk 1 of 1."}));
}

TEST_F(BackupTest, RestoreCautionDialog) {
    testsupport::FakeDialogView caution;
    initRestoreDlg(caution, ui);
    EXPECT_EQ(caution.caption(), "Restore");
    EXPECT_EQ(caution.text(restoredlg::Text),
              "Restoring from backup will delete all data files for this organisation, "
              "replacing them with those in the backup file. You are encouraged to back up "
              "these files before continuing.");
    EXPECT_EQ(ui.beeps, 1);
}

// ---------------------------------------------------------------------------
// Pieces

TEST(BackupStamps, DateAndTimeForms) {
    std::tm when{};
    when.tm_year = 2025 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 7;
    struct Case {
        int hour, minute, second;
        const char* text;
    };
    for (const Case& c :
         {Case{0, 5, 9, "12:05:09 AM"}, Case{9, 0, 0, "9:00:00 AM"}, Case{12, 30, 1, "12:30:01 PM"},
          Case{15, 7, 9, "3:07:09 PM"}, Case{23, 59, 59, "11:59:59 PM"}}) {
        when.tm_hour = c.hour;
        when.tm_min = c.minute;
        when.tm_sec = c.second;
        EXPECT_EQ(formatTimeStamp(when), c.text);
    }
    EXPECT_EQ(formatDateStamp(when), "7 March 2025");
    EXPECT_TRUE(systemClock().dateStamp().has_value());
    EXPECT_TRUE(systemClock().timeStamp().has_value());
}

TEST(BackupPaths, OnlyPathsInsideTheOrganisationAreRestored) {
    for (const char* good : {"database\\static.dbf", "2024/ytd.dbf", "a"})
        EXPECT_TRUE(backupformat::isSafeRelativePath(good)) << good;
    for (const char* bad : {"", "..\\x.dbf", "database\\..\\..\\x", "/etc/passwd", "\\x",
                            "C:\\x.dbf", "database\\\\x", "database\\", "./x"})
        EXPECT_FALSE(backupformat::isSafeRelativePath(bad)) << bad;
}

TEST(BackupOrgRecord, ValuesReadBackAsWritten) {
    common::ORGREC org = common::newOrgRec(3);
    org.name = "Acme";
    org.payFreq = common::BIWEEKLY;
    org.purgeAge = 5;
    org.sfiSenderId = "AB12";
    const auto values = backupformat::orgValues(org);
    ASSERT_EQ(values.size(), backupformat::kOrgValueCount);
    common::ORGREC back;
    ASSERT_TRUE(backupformat::orgFromValues(values, back));
    EXPECT_EQ(backupformat::orgValues(back), values);
    auto badFreq = values;
    badFreq[24] = "9";
    EXPECT_FALSE(backupformat::orgFromValues(badFreq, back));
    auto notNumber = values;
    notNumber[10] = "x";
    EXPECT_FALSE(backupformat::orgFromValues(notNumber, back));
    EXPECT_FALSE(backupformat::orgFromValues({"1"}, back));
}

TEST(BackupValues, WhatFitsAField) {
    struct Case {
        engine::Field4Info field;
        const char* value;
        bool fits;
    };
    const engine::Field4Info text{"NAME", 'C', 5, 0}, number{"RATE", 'N', 6, 2},
        real{"DAYS", 'F', 8, 2}, whole{"CODE", 'I', 4, 0}, money{"PAY", 'B', 8, 2},
        flag{"ON", 'L', 1, 0}, day{"START", 'D', 8, 0};
    const std::vector<Case> cases{
        {text, "", true},
        {text, "abcde", true},
        {text, "abcdef", false},
        {number, "", true},
        {number, "123.45", true},
        {number, "-12.50", true},
        {number, "1234.5", false}, // "1234.50" is seven wide
        {number, "******", true},  // what the table holds for a value too wide
        {number, "*****", false},
        {number, "1x", false},
        {real, "12345.000000", true},
        {real, "123456.000000", false},
        {real, "nan", false},
        {whole, "-2147483648", true},
        {whole, "2147483648", false},
        {whole, "1.5", false},
        {money, "123456789012.250000", true},
        {money, "", false},
        {flag, "", true},
        {flag, "T", true},
        {flag, "n", true},
        {flag, "?", true},
        {flag, "X", false},
        {flag, "TT", false},
        {day, "", true},
        {day, "20240229", true},
        {day, "20230229", false},
        {day, "20241301", false},
        {day, "20240400", true}, // the day not known
        {day, "20240431", false},
        {day, "2024041", false},
        {day, "2024-4-1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(backupformat::valueFits(c.field, c.value), c.fits)
            << c.field.type << c.field.length << " " << c.value;
}

TEST(BackupSeal, AChecksumOverEveryByteBeforeIt) {
    const std::string body = "# Backup\n\\fileid{x}\n\\begin{file}\n\\end{file}\n";
    const std::string good = sealed(body);
    struct Case {
        const char* name;
        std::string disk;
        backupformat::Seal seal;
    };
    std::string flipped = good;
    flipped[3] = static_cast<char>(flipped[3] ^ 1);
    std::string wrongSum = good;
    wrongSum[checksumAt(good) + 12] = common::scrambleByte('0') == wrongSum[checksumAt(good) + 12]
                                          ? common::scrambleByte('1')
                                          : common::scrambleByte('0');
    const std::vector<Case> cases{
        {"sealed, last disk", good, backupformat::Seal::Valid},
        {"sealed, earlier disk", sealed(body, "\\eos{}\n"), backupformat::Seal::Valid},
        {"written before checksums", body + "\\eof{}\n", backupformat::Seal::Missing},
        {"written before checksums, CR LF", body + "\\eos{}\r\n", backupformat::Seal::Missing},
        {"a byte changed", flipped, backupformat::Seal::Broken},
        {"another checksum", wrongSum, backupformat::Seal::Broken},
        {"checksum cut short", good.substr(0, checksumAt(good) + 20) + "}\n\\eof{}\n",
         backupformat::Seal::Broken},
        {"no terminator", good.substr(0, good.size() - 1), backupformat::Seal::Broken},
        {"only a terminator", "\\eof{}\n", backupformat::Seal::Broken},
        {"empty", "", backupformat::Seal::Broken},
    };
    for (const Case& c : cases)
        EXPECT_EQ(backupformat::checkSeal(c.disk), c.seal) << c.name;
    EXPECT_EQ(backupformat::sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(SystemDriveTest, ReportsTheTemporaryFolder) {
    testsupport::TempDir dir;
    const auto free = systemDrive().freeSpace(dir.file("x.bkf"));
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 0u);
    EXPECT_FALSE(systemDrive().freeSpace(dir.file("none/x.bkf")).has_value());
    EXPECT_FALSE(systemDrive().isRemovable(dir.file("none/x.bkf")));
}

} // namespace
} // namespace kelo::setup
