// A journal left by a writer that died is applied only to the table it was
// written for. Once anyone else has saved a change, replaying it would undo
// that change, so it is refused; a change cut short is finished before any
// handle that already has the table open writes into it.

#include "engine/Journal.h"

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "engine/DbfHeader.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

// 251-byte records: the 17th straddles the first page boundary.
const std::vector<Field4Info> fields = {{"NAME", 'C', 20, 0}, {"PAD", 'C', 230, 0}};
constexpr long rows = 30;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string rowName(long i) {
    return "r" + std::to_string(i);
}

void createTable(const std::string& path) {
    Code4 code;
    auto table = Data4::create(code, path, fields, {{"NAME", "NAME", "", false, false}});
    ASSERT_NE(table, nullptr) << code.errorText();
    for (long i = 1; i <= rows; ++i) {
        ASSERT_EQ(table->appendStart(), r4success);
        table->blank();
        table->field("NAME")->assign(rowName(i));
        table->field("PAD")->assign(std::string(230, static_cast<char>('a' + i % 26)));
        ASSERT_EQ(table->append(), r4success);
    }
}

std::vector<std::string> names(const std::string& path) {
    Code4 code;
    auto table = Data4::open(code, path);
    EXPECT_NE(table, nullptr) << code.errorText();
    std::vector<std::string> out;
    if (!table)
        return out;
    for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip())
        out.push_back(table->field("NAME")->trimmed());
    EXPECT_EQ(code.errorCode(), 0) << code.errorText();
    return out;
}

std::vector<std::string> baseNames() {
    std::vector<std::string> out;
    for (long i = 1; i <= rows; ++i)
        out.push_back(rowName(i));
    return out;
}

std::uint32_t counterOf(const std::string& bytes) {
    return readLE32(bytes.data() + headeroffset::changeCounter);
}

// ---- Recovery decides by the state of the table --------------------------

struct StateCase {
    const char* name;
    // Turns the table the journal was written for into the one found.
    void (*prepare)(std::string& table, const Journal::Change& change);
    // Turns the journal's bytes into those found.
    std::string (*journal)(const std::string& encoded);
    Journal::Recovery expected;
    bool recordChanged;
};

std::string whole(const std::string& encoded) {
    return encoded;
}

void setCounter(std::string& table, std::uint32_t counter) {
    writeLE32(table.data() + headeroffset::changeCounter, counter);
}

TEST(JournalRecovery, AppliesOnlyToTheStatesItWasWrittenFor) {
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    createTable(path);
    ASSERT_FALSE(HasFatalFailure());
    const std::string original = readAll(path);
    const std::uint32_t counter = counterOf(original);
    const std::uint64_t headerLength = readLE16(original.data() + 8);
    const std::uint64_t recordLength = readLE16(original.data() + 10);
    const std::uint64_t recordTwo = headerLength + recordLength;

    // The change: record 2 renamed, as a record write journals it.
    std::string record = original.substr(recordTwo, recordLength);
    record.replace(1, 7, "changed");
    Journal::Change change;
    change.before = {counter, original.size()};
    change.after = {counter + 1, original.size()};
    change.writes.push_back({recordTwo, record});
    std::string sealed = original.substr(headeroffset::changeCounter,
                                         headeroffset::pending + 1 - headeroffset::changeCounter);
    writeLE32(sealed.data(), counter + 1);
    change.seal = {headeroffset::changeCounter, sealed};
    const std::string encoded = Journal::encode(change);

    const std::vector<StateCase> cases = {
        {"as written for", [](std::string&, const Journal::Change&) {}, whole,
         Journal::Recovery::Applied, true},
        {"sealed but the record lost in a power cut",
         [](std::string& t, const Journal::Change& c) { setCounter(t, c.after.counter); }, whole,
         Journal::Recovery::Applied, true},
        {"another write saved since",
         [](std::string& t, const Journal::Change& c) { setCounter(t, c.after.counter + 1); },
         whole, Journal::Recovery::Refused, false},
        {"an older counter",
         [](std::string& t, const Journal::Change& c) { setCounter(t, c.before.counter - 1); },
         whole, Journal::Recovery::Refused, false},
        {"another size",
         [](std::string& t, const Journal::Change&) { t.insert(t.size() - 1, 251, ' '); }, whole,
         Journal::Recovery::Refused, false},
        {"torn journal", [](std::string&, const Journal::Change&) {},
         [](const std::string& e) { return e.substr(0, e.size() - 5); }, Journal::Recovery::Torn,
         false},
        {"journal of the old format", [](std::string&, const Journal::Change&) {},
         [](const std::string& e) { return "KJN1" + e.substr(4); }, Journal::Recovery::Torn, false},
        {"empty journal", [](std::string&, const Journal::Change&) {},
         [](const std::string&) { return std::string(); }, Journal::Recovery::Nothing, false},
        {"marked, no journal",
         [](std::string& t, const Journal::Change&) { t[headeroffset::pending] = 'J'; },
         [](const std::string&) { return std::string(); }, Journal::Recovery::Nothing, false},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string found = original;
        c.prepare(found, change);
        writeAll(path, found);
        writeAll(Journal::pathFor(path), c.journal(encoded));
        {
            TableFile table;
            ASSERT_TRUE(table.open(path, true));
            EXPECT_EQ(Journal::recover(Journal::pathFor(path), table), c.expected);
        }
        const std::string after = readAll(path);
        EXPECT_EQ(after.substr(recordTwo + 1, 7), c.recordChanged ? "changed" : "r2     ");
        EXPECT_EQ(after[headeroffset::pending], '\0');
        EXPECT_EQ(std::filesystem::file_size(Journal::pathFor(path)), 0u);
        if (c.recordChanged)
            EXPECT_EQ(counterOf(after), counter + 1);
        else
            EXPECT_EQ(after.substr(0, headeroffset::pending),
                      found.substr(0, headeroffset::pending));
    }
}

// ---- A writer killed at each step of its journaled change ----------------

enum class Operation { Pack, StraddlingWrite };
enum class Action { Append, Edit };

struct KillCase {
    Operation operation;
    JournalStep step;
    Action action;
};

const char* stepName(JournalStep step) {
    switch (step) {
    case JournalStep::Written:
        return "Written";
    case JournalStep::Applied:
        return "Applied";
    case JournalStep::Sealed:
        return "Sealed";
    }
    return "?";
}

void PrintTo(const KillCase& c, std::ostream* out) {
    *out << (c.operation == Operation::Pack ? "pack" : "straddling write") << " killed at "
         << stepName(c.step) << ", then " << (c.action == Action::Append ? "append" : "edit");
}

long straddlingRecord(const std::string& path) {
    const std::string bytes = readAll(path);
    const std::uint64_t headerLength = readLE16(bytes.data() + 8);
    const std::uint64_t recordLength = readLE16(bytes.data() + 10);
    for (long r = 1; r <= rows; ++r) {
        const std::uint64_t start = headerLength + static_cast<std::uint64_t>(r - 1) * recordLength;
        if (start / 4096 != (start + recordLength - 1) / 4096)
            return r;
    }
    return 0;
}

// Runs the operation in a child that dies at `step`; the child's status.
int runKilledChild(const std::string& path, const KillCase& c, long straddling) {
    ::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The parent's table must not stay open through this process.
        ::close_range(3, ~0U, 0);
        Code4 code;
        const JournalStep step = c.step;
        code.journalHook = [step](JournalStep now) {
            if (now == step)
                ::raise(SIGKILL);
        };
        auto table = Data4::open(code, path);
        if (!table)
            ::_exit(10);
        if (c.operation == Operation::Pack) {
            for (long r : {2L, 4L}) {
                if (table->go(r) != r4success)
                    ::_exit(11);
                table->deleteRec();
                if (table->flush() != r4success)
                    ::_exit(12);
            }
            table->pack();
        } else {
            if (table->go(straddling) != r4success)
                ::_exit(13);
            table->field("NAME")->assign("child");
            table->flush();
        }
        ::_exit(14); // the hook should have ended it
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

class KilledJournaledChange : public ::testing::TestWithParam<KillCase> {};

TEST_P(KilledJournaledChange, OthersWorkAfterwardsIsKept) {
    const KillCase c = GetParam();
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    createTable(path);
    ASSERT_FALSE(HasFatalFailure());
    const long straddling = straddlingRecord(path);
    ASSERT_GT(straddling, 2);

    // A handle that has the table open throughout.
    Code4 code;
    auto open = Data4::open(code, path);
    ASSERT_NE(open, nullptr) << code.errorText();
    ASSERT_EQ(open->recCount(), rows);

    const int status = runKilledChild(path, c, straddling);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    ASSERT_GT(std::filesystem::file_size(Journal::pathFor(path)), 0u) << "no journal left";

    // What the child's change gives, had it finished.
    std::vector<std::string> expected = baseNames();
    if (c.operation == Operation::Pack) {
        expected.erase(expected.begin() + 3); // r4
        expected.erase(expected.begin() + 1); // r2
    } else {
        expected[static_cast<std::size_t>(straddling - 1)] = "child";
    }

    // The open handle saves a change; the table is whole when it does.
    if (c.action == Action::Append) {
        ASSERT_EQ(open->appendStart(), r4success);
        open->blank();
        open->field("NAME")->assign("appended");
        ASSERT_EQ(open->append(), r4success) << code.errorText();
        expected.push_back("appended");
    } else {
        // The record the child changed.
        const long target = c.operation == Operation::Pack ? 1 : straddling;
        ASSERT_EQ(open->lock(target), r4success) << code.errorText();
        ASSERT_EQ(open->go(target), r4success);
        open->field("NAME")->assign("edited");
        ASSERT_EQ(open->flush(), r4success) << code.errorText();
        ASSERT_EQ(open->unlock(), r4success);
        expected[static_cast<std::size_t>(target - 1)] = "edited";
    }
    EXPECT_EQ(open->recCount(), static_cast<long>(expected.size()));
    EXPECT_EQ(code.errorCode(), 0) << code.errorText();
    open.reset();

    // A new opener finds both, and nothing replayed over them.
    EXPECT_EQ(names(path), expected);
    EXPECT_EQ(std::filesystem::file_size(Journal::pathFor(path)), 0u);
    EXPECT_EQ(names(path), expected);
}

std::vector<KillCase> killCases() {
    std::vector<KillCase> cases;
    for (Operation operation : {Operation::Pack, Operation::StraddlingWrite})
        for (JournalStep step : {JournalStep::Written, JournalStep::Applied, JournalStep::Sealed})
            for (Action action : {Action::Append, Action::Edit})
                cases.push_back({operation, step, action});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Steps, KilledJournaledChange, ::testing::ValuesIn(killCases()),
                         [](const ::testing::TestParamInfo<KillCase>& param) {
                             const KillCase& c = param.param;
                             return std::string(c.operation == Operation::Pack ? "Pack"
                                                                               : "Straddling") +
                                    stepName(c.step) +
                                    (c.action == Action::Append ? "ThenAppend" : "ThenEdit");
                         });

// Without anyone writing in between, the next opener finishes the change.
TEST(KilledPack, NextOpenerFinishesIt) {
    for (JournalStep step : {JournalStep::Written, JournalStep::Applied, JournalStep::Sealed}) {
        SCOPED_TRACE(stepName(step));
        TempDir dir;
        const std::string path = dir.file("t.dbf");
        createTable(path);
        ASSERT_FALSE(HasFatalFailure());
        const int status = runKilledChild(path, {Operation::Pack, step, Action::Append}, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        std::vector<std::string> expected = baseNames();
        expected.erase(expected.begin() + 3);
        expected.erase(expected.begin() + 1);
        EXPECT_EQ(names(path), expected);
        EXPECT_EQ(std::filesystem::file_size(Journal::pathFor(path)), 0u);
        EXPECT_EQ(readAll(path)[headeroffset::pending], '\0');
    }
}

// ---- Writes that fail half way ---------------------------------------------

// A child that may not write past 4 KiB cannot write the journal of a pack of
// this 8 KiB table: the pack fails before the table is touched.
TEST(JournalFailure, APackThatCannotWriteItsJournalChangesNothing) {
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    createTable(path);
    ASSERT_FALSE(HasFatalFailure());
    {
        Code4 code;
        auto table = Data4::open(code, path);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->go(2), r4success);
        table->deleteRec();
        ASSERT_EQ(table->flush(), r4success);
    }
    const std::string before = readAll(path);
    const int status = testsupport::runWithFileSizeLimit(4096, [&] {
        Code4 code;
        auto table = Data4::open(code, path);
        if (!table)
            return 10;
        const int rc = table->pack();
        return rc == e4write && code.errorText() == "cannot pack " + path ? 0 : 11;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(std::filesystem::file_size(Journal::pathFor(path)), 0u);

    Code4 code;
    auto table = Data4::open(code, path);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->pack(), r4success) << code.errorText();
    table.reset();
    std::vector<std::string> expected = baseNames();
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(names(path), expected);
}

// A dead packer's journal that the next opener cannot apply fails that open
// with the reason; the journal and the mark stay for an opener that can.
TEST(JournalFailure, ARecoveryThatCannotWriteFailsTheOpenAndKeepsTheJournal) {
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    createTable(path);
    ASSERT_FALSE(HasFatalFailure());
    const int killed =
        runKilledChild(path, {Operation::Pack, JournalStep::Written, Action::Edit}, 0);
    ASSERT_TRUE(WIFSIGNALED(killed)) << killed;
    const std::uint64_t journal = std::filesystem::file_size(Journal::pathFor(path));
    ASSERT_GT(journal, 0u);

    const int status = testsupport::runWithFileSizeLimit(1000, [&] {
        Code4 code;
        auto table = Data4::open(code, path);
        return !table && code.errorCode() == e4write && code.errorText() == "cannot recover " + path
                   ? 0
                   : 10;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::filesystem::file_size(Journal::pathFor(path)), journal);
    EXPECT_NE(readAll(path)[headeroffset::pending], '\0');

    std::vector<std::string> expected = baseNames();
    expected.erase(expected.begin() + 3);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(names(path), expected);
    EXPECT_EQ(std::filesystem::file_size(Journal::pathFor(path)), 0u);
}

// A caller with its own way back may spare the journal of a table it holds
// alone; a table others may read keeps it whatever the setting.
TEST(JournalSetting, OnlyATableHeldAloneWritesAStraddlingRecordInPlace) {
    struct Case {
        bool alone;
        bool journalExclusiveWrites;
        bool journaled;
    };
    for (const Case c : {Case{true, true, true}, Case{true, false, false}, Case{false, false, true},
                         Case{false, true, true}}) {
        TempDir dir;
        const std::string path = dir.file("t.dbf");
        createTable(path);
        const long straddling = straddlingRecord(path);
        ASSERT_GT(straddling, 0);
        Code4 code;
        code.journalExclusiveWrites = c.journalExclusiveWrites;
        int steps = 0;
        code.journalHook = [&steps](JournalStep) { ++steps; };
        if (c.alone)
            code.accessMode = OPEN4DENY_RW;
        auto table = Data4::open(code, path);
        ASSERT_NE(table, nullptr) << code.errorText();
        ASSERT_EQ(table->go(straddling), r4success);
        table->field("NAME")->assign("changed");
        ASSERT_EQ(table->flush(), r4success);
        table->close();
        EXPECT_EQ(steps > 0, c.journaled) << c.alone << c.journalExclusiveWrites;
        std::vector<std::string> expected = baseNames();
        expected[static_cast<std::size_t>(straddling - 1)] = "changed";
        EXPECT_EQ(names(path), expected) << c.alone << c.journalExclusiveWrites;
    }
}

} // namespace
} // namespace kelo::engine
