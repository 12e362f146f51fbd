// A writer killed at a random moment must leave a table that opens and holds
// only whole records. A forked child appends, rewrites, deletes and packs, and
// recreates a table in a loop until the test kills it with SIGKILL; the test
// then opens the table with a fresh Code4 and checks every record, memo and tag.
// A second test kills a process that packs while another appends and edits:
// nothing the other was told is saved may be lost, and the dead packer's
// journal is never replayed over it.
//
// Records are about 400 bytes, so about one in ten straddles a 4 KiB page and
// goes through the journal. Every field of a record is derived from its id and
// a generation number, and a checksum field covers the others, so a record that
// mixes two writes is caught.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <memory>
#include <poll.h>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

// What the child repeats in one round; each round stresses one of them.
enum Phase { Append, Update, DeletePack, Create, phaseCount };
constexpr std::array<const char*, phaseCount> phaseNames = {"append", "update", "delete+pack",
                                                            "create"};

const std::vector<Field4Info> fields = {
    {"ID", 'C', 10, 0},   {"GEN", 'N', 10, 0}, {"TXT1", 'C', 120, 0}, {"TXT2", 'C', 120, 0},
    {"TXT3", 'C', 90, 0}, {"AMT", 'N', 14, 2}, {"QTY", 'I', 4, 0},    {"RATE", 'B', 8, 0},
    {"DT", 'D', 8, 0},    {"FLAG", 'L', 1, 0}, {"CHK", 'C', 16, 0},   {"NOTES", 'M', 4, 0},
};

const std::vector<Tag4Info> tags = {
    {"ID", "ID", "", false, false},
    {"GEN", "GEN", "", false, false},
};

constexpr unsigned char cipherKey[32] = {'k', 'e', 'l', 'o', '-', 'c', 'r', 'a', 's', 'h', '-',
                                         't', 'e', 's', 't', '-', 'k', 'e', 'y', '-', '0', '1',
                                         '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b'};

// Rows the table keeps between rounds: packs trim it, creates restart it.
constexpr long seedRows = 30;
constexpr long maxRows = 600;

std::uint64_t fnv1a(const char* data, std::size_t length) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string repeated(const std::string& unit, std::size_t length) {
    std::string text;
    while (text.size() < length)
        text += unit;
    text.resize(length);
    return text;
}

std::string text(char tag, std::uint64_t id, std::uint64_t gen, std::size_t length) {
    return repeated(std::string(1, tag) + std::to_string(gen) + "/" + std::to_string(id) + ";",
                    length);
}

std::string idText(std::uint64_t id) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%010llu", static_cast<unsigned long long>(id));
    return buffer;
}

std::string amountText(std::uint64_t id, std::uint64_t gen) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%llu.%02llu", static_cast<unsigned long long>(gen),
                  static_cast<unsigned long long>(id % 100));
    return buffer;
}

std::string dateText(std::uint64_t gen) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04llu%02llu%02llu",
                  static_cast<unsigned long long>(1900 + gen % 150),
                  static_cast<unsigned long long>(1 + gen / 150 % 12),
                  static_cast<unsigned long long>(1 + gen / 7 % 28));
    return buffer;
}

// Empty for every fifth generation; otherwise up to about 1.5 KB.
std::string memoText(std::uint64_t id, std::uint64_t gen) {
    if (gen % 5 == 0)
        return {};
    const std::string head = "memo of " + std::to_string(id) + " at " + std::to_string(gen) + "|";
    return repeated(head, head.size() + (gen * 7919 + id) % 1500);
}

std::size_t checksumEnd(const Data4& table) {
    return static_cast<std::size_t>(table.field("CHK")->ptr() - table.recordBuffer());
}

// Checksum of the fields before CHK, as they stand in the record buffer.
std::string checksum(const Data4& table) {
    char buffer[24];
    std::snprintf(
        buffer, sizeof buffer, "%016llx",
        static_cast<unsigned long long>(fnv1a(table.recordBuffer() + 1, checksumEnd(table) - 1)));
    return buffer;
}

// Writes generation `gen` of record `id` into the current record buffer.
void fill(Data4& table, std::uint64_t id, std::uint64_t gen) {
    table.field("ID")->assign(idText(id));
    table.field("GEN")->assign(std::to_string(gen));
    table.field("TXT1")->assign(text('A', id, gen, 120));
    table.field("TXT2")->assign(text('B', id, gen, 120));
    table.field("TXT3")->assign(text('C', id, gen, 90));
    table.field("AMT")->assign(amountText(id, gen));
    table.field("QTY")->assignLong(static_cast<long>(gen));
    table.field("RATE")->assignDouble(static_cast<double>(gen) * 0.25);
    table.field("DT")->assign(dateText(gen));
    table.field("FLAG")->assignLogical(gen % 2 == 1);
    table.field("CHK")->assign(checksum(table));
    table.field("NOTES")->memoAssign(memoText(id, gen));
}

std::string stripped(const Field4& field) {
    const std::string value = field.str();
    const auto first = value.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return value.substr(first, value.find_last_not_of(' ') - first + 1);
}

bool allDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Empty when the current record is one whole generation of its id; else what is wrong.
std::string inconsistency(const Data4& table, std::uint64_t& id, std::uint64_t& gen) {
    const std::string idField = stripped(*table.field("ID"));
    const std::string genField = stripped(*table.field("GEN"));
    if (!allDigits(idField) || !allDigits(genField))
        return "unreadable id '" + idField + "' or generation '" + genField + "'";
    id = std::stoull(idField);
    gen = std::stoull(genField);
    const std::vector<std::pair<const char*, std::string>> expected = {
        {"ID", idText(id)},
        {"TXT1", text('A', id, gen, 120)},
        {"TXT2", text('B', id, gen, 120)},
        {"TXT3", text('C', id, gen, 90)},
        {"AMT", amountText(id, gen)},
        {"QTY", std::to_string(gen)},
        {"DT", dateText(gen)},
        {"FLAG", gen % 2 == 1 ? "T" : "F"},
        {"CHK", checksum(table)},
    };
    for (const auto& [name, value] : expected) {
        const std::string got = stripped(*table.field(name));
        if (got != value)
            return std::string(name) + " is '" + got + "', expected '" + value + "'";
    }
    if (table.field("RATE")->getDouble() != static_cast<double>(gen) * 0.25)
        return "RATE is " + table.field("RATE")->str();
    const std::string memo = table.field("NOTES")->str();
    if (memo != memoText(id, gen))
        return "memo of " + std::to_string(memo.size()) + " bytes does not belong to generation " +
               std::to_string(gen);
    return {};
}

void setUpCode(Code4& code, bool encrypted) {
    if (encrypted) {
        code.encryptInit(cipherKey, sizeof cipherKey);
        code.encryptFile(true);
    }
}

// ---- The child ------------------------------------------------------------

// Exit statuses of a child that failed before it was killed.
constexpr int exitOpenFailed = 10;
constexpr int exitOperationFailed = 20; // + phase

class Worker {
public:
    Worker(const std::string& path, Phase phase, int round, bool encrypted, int progressFd)
        : path_(path),
          phase_(phase),
          random_(static_cast<std::uint32_t>(round)),
          progressFd_(progressFd),
          nextId_(static_cast<std::uint64_t>(round + 1) * 1'000'000),
          nextGen_(nextId_) {
        setUpCode(code_, encrypted);
        code_.safety = false;
    }

    [[noreturn]] void run() {
        table_ = Data4::open(code_, path_);
        if (!table_)
            ::_exit(exitOpenFailed);
        report();
        while (true) {
            if (step() != r4success)
                ::_exit(exitOperationFailed + phase_);
            report();
        }
    }

private:
    // One byte per finished step; the test waits for some before its delay.
    void report() const {
        const char done = '.';
        [[maybe_unused]] const ssize_t ignored = ::write(progressFd_, &done, 1);
    }

    long pick() { return std::uniform_int_distribution<long>(1, table_->recCount())(random_); }

    int appendOne() {
        int rc = table_->appendStart();
        if (rc != r4success)
            return rc;
        table_->blank();
        fill(*table_, nextId_++, nextGen_++);
        return table_->append();
    }

    int update() {
        if (table_->recCount() == 0)
            return appendOne();
        int rc = table_->go(pick());
        if (rc != r4success)
            return rc;
        const std::uint64_t id = std::stoull(table_->field("ID")->trimmed());
        fill(*table_, id, nextGen_++);
        return table_->flush();
    }

    int deleteAndPack() {
        const int victims =
            table_->recCount() > seedRows ? std::uniform_int_distribution<int>(1, 4)(random_) : 0;
        for (int i = 0; i < victims; ++i) {
            int rc = table_->go(pick());
            if (rc != r4success)
                return rc;
            table_->deleteRec();
            if ((rc = table_->flush()) != r4success)
                return rc;
        }
        int rc = table_->pack();
        while (rc == r4success && table_->recCount() < seedRows)
            rc = appendOne();
        return rc;
    }

    int recreate() {
        table_.reset();
        table_ = Data4::create(code_, path_, fields, tags);
        if (!table_)
            return code_.errorCode();
        int rc = r4success;
        for (long i = 0; i < 12 && rc == r4success; ++i)
            rc = appendOne();
        return rc;
    }

    int step() {
        switch (phase_) {
        case Append:
            return table_->recCount() < maxRows ? appendOne() : update();
        case Update:
            return update();
        case DeletePack:
            return deleteAndPack();
        case Create:
            return recreate();
        default:
            return e4parm;
        }
    }

    std::string path_;
    Phase phase_;
    std::mt19937 random_;
    int progressFd_;
    std::uint64_t nextId_;
    std::uint64_t nextGen_;
    Code4 code_;
    std::unique_ptr<Data4> table_;
};

// ---- The test -------------------------------------------------------------

struct CrashRun {
    bool encrypted = false;
    int rounds = 0;
    unsigned seed = 0;
};

struct Stats {
    std::array<int, phaseCount> rounds{};
    int journalsLeft = 0;
    int temporaryFilesLeft = 0;
};

std::uint16_t readLE16At(const std::string& path, std::streamoff offset) {
    std::ifstream in(path, std::ios::binary);
    unsigned char b[2] = {0, 0};
    in.seekg(offset);
    in.read(reinterpret_cast<char*>(b), 2);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

// Opens the table as a new user would after the crash and checks all of it.
void verifyTable(const std::string& path, bool encrypted) {
    Code4 code;
    setUpCode(code, encrypted);
    auto table = Data4::open(code, path);
    ASSERT_NE(table, nullptr) << "does not open: " << code.errorText();
    EXPECT_EQ(table->isEncrypted(), encrypted);

    const long count = table->recCount();
    const std::uint64_t headerLength = readLE16At(path, 8);
    const std::uint64_t recordLength = readLE16At(path, 10);
    std::uint64_t expectedLength = 1;
    for (const Field4Info& f : fields)
        expectedLength += f.length;
    ASSERT_EQ(recordLength, expectedLength);
    EXPECT_LE(headerLength + static_cast<std::uint64_t>(count) * recordLength,
              std::filesystem::file_size(path));

    std::map<std::string, long> byId;
    std::map<std::uint64_t, long> byGen;
    for (long r = 1; r <= count; ++r) {
        ASSERT_EQ(table->go(r), r4success) << "record " << r;
        std::uint64_t id = 0;
        std::uint64_t gen = 0;
        const std::string problem = inconsistency(*table, id, gen);
        ASSERT_EQ(problem, "") << "record " << r << " of " << count;
        EXPECT_TRUE(byId.emplace(idText(id), r).second) << "id " << id << " twice";
        EXPECT_TRUE(byGen.emplace(gen, r).second) << "generation " << gen << " twice";
    }

    // The tags, rebuilt on open, agree with the scan.
    ASSERT_EQ(table->select("ID"), r4success);
    for (const auto& [id, recNo] : byId) {
        ASSERT_EQ(table->seek(id), r4success) << id;
        EXPECT_EQ(table->recNo(), recNo) << id;
    }
    long inOrder = 0;
    std::string previous;
    for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip()) {
        const std::string id = table->field("ID")->trimmed();
        EXPECT_LT(previous, id);
        previous = id;
        ++inOrder;
    }
    EXPECT_EQ(inOrder, count);
    ASSERT_EQ(table->select("GEN"), r4success);
    for (const auto& [gen, recNo] : byGen) {
        ASSERT_EQ(table->seekDouble(static_cast<double>(gen)), r4success) << gen;
        EXPECT_EQ(table->recNo(), recNo) << gen;
    }
    EXPECT_EQ(code.errorCode(), 0) << code.errorText();
}

void createStartTable(const std::string& path, bool encrypted) {
    Code4 code;
    setUpCode(code, encrypted);
    auto table = Data4::create(code, path, fields, tags);
    ASSERT_NE(table, nullptr) << code.errorText();
    for (std::uint64_t id = 1; id <= static_cast<std::uint64_t>(seedRows); ++id) {
        ASSERT_EQ(table->appendStart(), r4success);
        table->blank();
        fill(*table, id, id);
        ASSERT_EQ(table->append(), r4success);
    }
}

// Waits for `count` progress bytes; false when the child ended first.
bool awaitProgress(int fd, long count) {
    char buffer[64];
    while (count > 0) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 60'000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(std::min<long>(count, 64)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        count -= n;
    }
    return true;
}

std::string describe(int status) {
    if (WIFEXITED(status))
        return "exited with " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "died of signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

void PrintTo(const CrashRun& run, std::ostream* out) {
    *out << (run.encrypted ? "encrypted, " : "plain, ") << run.rounds << " kills, seed "
         << run.seed;
}

class CrashSafety : public ::testing::TestWithParam<CrashRun> {};

TEST_P(CrashSafety, KilledWriterLeavesWholeRecords) {
    const CrashRun run = GetParam();
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string path = dir.file("crash.dbf");
    createStartTable(path, run.encrypted);
    verifyTable(path, run.encrypted);
    ASSERT_FALSE(HasFatalFailure());

    std::mt19937 random(run.seed);
    Stats stats;
    for (int round = 0; round < run.rounds; ++round) {
        const auto phase = static_cast<Phase>(round % phaseCount);
        const long stepsFirst = std::uniform_int_distribution<long>(0, 3)(random);
        const auto delay =
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random));
        SCOPED_TRACE("round " + std::to_string(round) + ", " + phaseNames[phase] + ", " +
                     std::to_string(stepsFirst) + " steps, then " + std::to_string(delay.count()) +
                     " us");

        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        ::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(progress[0]);
            // A full pipe must never stall the writer.
            ::fcntl(progress[1], F_SETFL, O_NONBLOCK);
            Worker(path, phase, round, run.encrypted, progress[1]).run();
        }
        ::close(progress[1]);
        // The opening report, then the steps to let finish before the delay starts.
        const bool going = awaitProgress(progress[0], 1 + stepsFirst);
        if (going)
            std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(progress[0]);
        ASSERT_TRUE(going && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer " << describe(status) << " before it was killed";

        ++stats.rounds[phase];
        std::error_code ignored;
        if (std::filesystem::exists(path + ".jnl") &&
            std::filesystem::file_size(path + ".jnl", ignored) > 0)
            ++stats.journalsLeft;
        // A create killed before its rename leaves its scratch file behind.
        const std::set<std::string> tableFiles = {"crash.dbf", "crash.fpt", "crash.cdx",
                                                  "crash.dbf.jnl"};
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (!tableFiles.count(entry.path().filename().string())) {
                ++stats.temporaryFilesLeft;
                std::filesystem::remove(entry.path(), ignored);
            }
        }
        verifyTable(path, run.encrypted);
        if (HasFatalFailure() || HasNonfatalFailure())
            return;
    }
    for (int phase = 0; phase < phaseCount; ++phase) {
        EXPECT_GT(stats.rounds[phase], 0) << phaseNames[phase];
        std::printf("%-12s %4d kills\n", phaseNames[phase], stats.rounds[phase]);
    }
    std::printf("killed with a journal pending: %d, with a half-made file: %d\n",
                stats.journalsLeft, stats.temporaryFilesLeft);
}

INSTANTIATE_TEST_SUITE_P(Tables, CrashSafety,
                         ::testing::Values(CrashRun{false, 1000, 20240611},
                                           CrashRun{true, 300, 20240612}),
                         [](const ::testing::TestParamInfo<CrashRun>& param) {
                             return std::string(param.param.encrypted ? "Encrypted" : "Plain");
                         });

// ---- A packer killed while another process writes ------------------------

// The writer's rows have ids (and generations) from here on; the rest are the
// packer's.
constexpr std::uint64_t writerIds = 1'000'000'000;
constexpr std::uint64_t writerGens = 1'500'000'000;

// Exit statuses of the writer besides 0.
constexpr int writerOpenFailed = 30;
constexpr int writerLostRow = 31;
constexpr int writerStaleRow = 32;
constexpr int writerFailed = 33;

void report(int fd) {
    const char done = '.';
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &done, 1);
}

// Deletes a few of its own rows and packs, over and over. Stopped at a random
// moment, or by its own hook at step `stopAt` (a JournalStep) of the n-th pack.
class Packer {
public:
    Packer(const std::string& path, int round, bool encrypted, int progressFd, int stopAt,
           int occurrence)
        : path_(path),
          random_(static_cast<std::uint32_t>(round) * 7919u),
          progressFd_(progressFd),
          nextId_(static_cast<std::uint64_t>(round + 1) * 1'000'000),
          nextGen_(nextId_) {
        setUpCode(code_, encrypted);
        if (stopAt >= 0) {
            code_.journalHook = [this, step = static_cast<JournalStep>(stopAt),
                                 occurrence](JournalStep now) {
                if (packing_ && now == step && ++seen_ == occurrence)
                    ::raise(SIGKILL);
            };
        }
    }

    [[noreturn]] void run() {
        table_ = Data4::open(code_, path_);
        if (!table_)
            ::_exit(exitOpenFailed);
        report(progressFd_);
        while (true) {
            if (round() != r4success)
                ::_exit(exitOperationFailed + DeletePack);
            report(progressFd_);
        }
    }

private:
    static bool busy(int rc) { return rc == r4locked || rc == e4lock; }

    int round() {
        int rc = r4success;
        while (rc == r4success && table_->recCount() < seedRows)
            rc = appendOwn();
        if (rc != r4success)
            return busy(rc) ? forgive() : rc;
        const int victims = std::uniform_int_distribution<int>(1, 3)(random_);
        for (int tries = 0, done = 0; tries < 12 && done < victims; ++tries) {
            const long recNo = std::uniform_int_distribution<long>(1, table_->recCount())(random_);
            if ((rc = table_->go(recNo)) != r4success)
                return rc;
            if (std::stoull(table_->field("ID")->trimmed()) >= writerIds)
                continue;
            table_->deleteRec();
            if ((rc = table_->flush()) != r4success) {
                table_->setChanged(false);
                return busy(rc) ? forgive() : rc;
            }
            ++done;
        }
        packing_ = true;
        rc = table_->pack();
        packing_ = false;
        return busy(rc) ? forgive() : rc;
    }

    int appendOwn() {
        int rc = table_->appendStart();
        if (rc != r4success)
            return rc;
        table_->blank();
        fill(*table_, nextId_++, nextGen_++);
        return table_->append();
    }

    // The writer held a lock: try again next round.
    int forgive() {
        code_.setErrorCode(0);
        return r4success;
    }

    std::string path_;
    std::mt19937 random_;
    int progressFd_;
    std::uint64_t nextId_;
    std::uint64_t nextGen_;
    bool packing_ = false;
    int seen_ = 0;
    Code4 code_;
    std::unique_ptr<Data4> table_;
};

// Appends rows of its own and rewrites them under a record lock. After each
// change it was told is saved, it logs "id generation" and reports progress;
// it stops, closing its table, when the test writes to its control pipe.
class Writer {
public:
    Writer(const std::string& path, int round, bool encrypted, int progressFd, int controlFd,
           int logFd)
        : path_(path),
          random_(static_cast<std::uint32_t>(round) * 104729u),
          progressFd_(progressFd),
          controlFd_(controlFd),
          logFd_(logFd),
          nextId_(writerIds + static_cast<std::uint64_t>(round) * 1'000'000),
          nextGen_(writerGens + static_cast<std::uint64_t>(round) * 1'000'000) {
        setUpCode(code_, encrypted);
    }

    [[noreturn]] void run() {
        table_ = Data4::open(code_, path_);
        if (!table_ || table_->select("ID") != r4success)
            ::_exit(writerOpenFailed);
        while (!stopAsked()) {
            const bool appendNext =
                saved_.size() < 5 || std::uniform_int_distribution<int>(0, 2)(random_) == 0;
            if (appendNext)
                appendOne();
            else
                editOne();
        }
        table_.reset(); // closes, writing nothing pending
        ::_exit(0);
    }

private:
    bool stopAsked() const {
        pollfd p{controlFd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    void saved(std::uint64_t id, std::uint64_t gen) {
        saved_[id] = gen;
        const std::string line = std::to_string(id) + " " + std::to_string(gen) + "\n";
        if (::write(logFd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            ::_exit(writerFailed);
        report(progressFd_);
    }

    void appendOne() {
        if (table_->appendStart() != r4success)
            ::_exit(writerFailed);
        table_->blank();
        const std::uint64_t id = nextId_;
        const std::uint64_t gen = nextGen_++;
        fill(*table_, id, gen);
        const int rc = table_->append();
        if (rc == r4locked) { // the packer holds the table
            code_.setErrorCode(0);
            return;
        }
        if (rc != r4success)
            ::_exit(writerFailed);
        ++nextId_;
        saved(id, gen);
    }

    void editOne() {
        auto it = saved_.begin();
        std::advance(it, std::uniform_int_distribution<long>(0, static_cast<long>(saved_.size()) -
                                                                    1)(random_));
        const auto [id, gen] = *it;
        if (table_->seek(idText(id)) != r4success)
            ::_exit(writerLostRow);
        const long recNo = table_->recNo();
        const int locked = table_->lock(recNo);
        if (locked == r4locked) {
            code_.setErrorCode(0);
            return;
        }
        if (locked != r4success)
            ::_exit(writerFailed);
        // A pack between the seek and the lock may have moved the row.
        if (table_->go(recNo) != r4success || std::stoull(table_->field("ID")->trimmed()) != id) {
            code_.setErrorCode(0);
            table_->unlock();
            return;
        }
        std::uint64_t foundId = 0;
        std::uint64_t foundGen = 0;
        if (!inconsistency(*table_, foundId, foundGen).empty() || foundGen != gen)
            ::_exit(writerStaleRow);
        const std::uint64_t newGen = nextGen_++;
        fill(*table_, id, newGen);
        if (table_->flush() != r4success || table_->unlock() != r4success)
            ::_exit(writerFailed);
        saved(id, newGen);
    }

    std::string path_;
    std::mt19937 random_;
    int progressFd_;
    int controlFd_;
    int logFd_;
    std::uint64_t nextId_;
    std::uint64_t nextGen_;
    std::map<std::uint64_t, std::uint64_t> saved_; // id -> last saved generation
    Code4 code_;
    std::unique_ptr<Data4> table_;
};

// Reads what is waiting without blocking.
void drain(int fd) {
    char buffer[4096];
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, 0) > 0 && ::read(fd, buffer, sizeof buffer) > 0) {
    }
}

// Waits until every writer of the pipe has gone; false after a minute.
bool awaitEnd(int fd) {
    char buffer[4096];
    while (true) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 60'000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
    }
}

struct PackerRun {
    bool encrypted = false;
    int rounds = 0;
    unsigned seed = 0;
};

void PrintTo(const PackerRun& run, std::ostream* out) {
    *out << (run.encrypted ? "encrypted, " : "plain, ") << run.rounds << " kills, seed "
         << run.seed;
}

class KilledPacker : public ::testing::TestWithParam<PackerRun> {};

TEST_P(KilledPacker, NeverUndoesWhatOthersSaved) {
    const PackerRun run = GetParam();
    // A writer that ended early must fail the round, not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string path = dir.file("pack.dbf");
    const std::string logPath = dir.file("writer.log");
    std::mt19937 random(run.seed);
    // Kills at a random moment, then at each step of a journaled pack.
    constexpr int modes = 4;
    const std::array<const char*, modes> modeNames = {"random moment", "journal written",
                                                      "pack applied", "pack sealed"};
    std::array<int, modes> kills{};
    int journalsLeft = 0;
    long savedAfterDeath = 0;
    for (int round = 0; round < run.rounds; ++round) {
        const int mode = round % modes;
        // The step of the pack to stop at; -1 for none.
        const int stopAt = mode - 1;
        const int occurrence = std::uniform_int_distribution<int>(1, 3)(random);
        const long stepsFirst = std::uniform_int_distribution<long>(0, 3)(random);
        const auto delay =
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(random));
        const long savesAfter = std::uniform_int_distribution<long>(1, 30)(random);
        SCOPED_TRACE("round " + std::to_string(round) + ", " + modeNames[mode] + ", pack " +
                     std::to_string(occurrence) + ", " + std::to_string(stepsFirst) + " steps, " +
                     std::to_string(delay.count()) + " us");

        std::error_code ignored;
        for (const char* suffix : {".dbf", ".fpt", ".cdx", ".dbf.jnl"})
            std::filesystem::remove(dir.file(std::string("pack") + suffix), ignored);
        createStartTable(path, run.encrypted);
        ASSERT_FALSE(HasFatalFailure());
        const int logFd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
        ASSERT_GE(logFd, 0);

        int packerProgress[2];
        int writerProgress[2];
        int writerControl[2];
        ASSERT_EQ(::pipe(packerProgress), 0);
        ASSERT_EQ(::pipe(writerProgress), 0);
        ASSERT_EQ(::pipe(writerControl), 0);
        ::fflush(nullptr);
        const pid_t packer = ::fork();
        ASSERT_GE(packer, 0);
        if (packer == 0) {
            for (int fd : {packerProgress[0], writerProgress[0], writerProgress[1],
                           writerControl[0], writerControl[1], logFd})
                ::close(fd);
            ::fcntl(packerProgress[1], F_SETFL, O_NONBLOCK);
            Packer(path, round, run.encrypted, packerProgress[1], stopAt, occurrence).run();
        }
        ::close(packerProgress[1]);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (int fd : {packerProgress[0], writerProgress[0], writerControl[1]})
                ::close(fd);
            ::fcntl(writerProgress[1], F_SETFL, O_NONBLOCK);
            Writer(path, round, run.encrypted, writerProgress[1], writerControl[0], logFd).run();
        }
        ::close(writerProgress[1]);
        ::close(writerControl[0]);
        ::close(logFd);

        // Both at work; then the packer dies, by its hook or by the test.
        const bool going = (stopAt >= 0 || awaitProgress(packerProgress[0], 1 + stepsFirst)) &&
                           awaitProgress(writerProgress[0], 1);
        if (going && stopAt < 0) {
            std::this_thread::sleep_for(delay);
            ::kill(packer, SIGKILL);
        }
        if (!going || !awaitEnd(packerProgress[0]))
            ::kill(packer, SIGKILL);
        int packerStatus = 0;
        ::waitpid(packer, &packerStatus, 0);
        ::close(packerProgress[0]);
        if (std::filesystem::file_size(path + ".jnl", ignored) > 0 && !ignored)
            ++journalsLeft;

        // The writer goes on over whatever the packer left, then stops.
        drain(writerProgress[0]);
        const bool wroteAfter = going && awaitProgress(writerProgress[0], savesAfter);
        [[maybe_unused]] const ssize_t stop = ::write(writerControl[1], "x", 1);
        const bool writerEnded = awaitEnd(writerProgress[0]);
        if (!writerEnded)
            ::kill(writer, SIGKILL);
        int writerStatus = 0;
        ::waitpid(writer, &writerStatus, 0);
        ::close(writerProgress[0]);
        ::close(writerControl[1]);
        ASSERT_TRUE(going) << "the packer " << describe(packerStatus) << ", the writer "
                           << describe(writerStatus);
        ASSERT_TRUE(WIFSIGNALED(packerStatus) && WTERMSIG(packerStatus) == SIGKILL)
            << "the packer " << describe(packerStatus) << " before it was killed";
        ASSERT_TRUE(wroteAfter && writerEnded && WIFEXITED(writerStatus) &&
                    WEXITSTATUS(writerStatus) == 0)
            << "the writer " << describe(writerStatus) << " (31: a saved row was gone, 32: "
            << "a saved row held an older generation)";
        ++kills[mode];
        savedAfterDeath += savesAfter;

        // Every row the writer was told is saved is there, as last saved.
        std::map<std::uint64_t, std::uint64_t> saved;
        {
            std::ifstream log(logPath);
            std::uint64_t id = 0;
            std::uint64_t gen = 0;
            while (log >> id >> gen)
                saved[id] = gen;
        }
        verifyTable(path, run.encrypted);
        if (HasFatalFailure() || HasNonfatalFailure())
            return;
        Code4 code;
        setUpCode(code, run.encrypted);
        auto table = Data4::open(code, path);
        ASSERT_NE(table, nullptr) << code.errorText();
        // Recovered or refused: nothing left waiting (there may be no journal at all).
        EXPECT_TRUE(!std::filesystem::exists(path + ".jnl") ||
                    std::filesystem::file_size(path + ".jnl") == 0);
        ASSERT_EQ(table->select("ID"), r4success);
        for (const auto& [id, gen] : saved) {
            ASSERT_EQ(table->seek(idText(id)), r4success) << "row " << id << " was lost";
            EXPECT_EQ(std::stoull(table->field("GEN")->trimmed()), gen) << "row " << id;
        }
        long writerRows = 0;
        table->select(nullptr);
        for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip())
            writerRows += std::stoull(table->field("ID")->trimmed()) >= writerIds;
        EXPECT_EQ(writerRows, static_cast<long>(saved.size()));
        if (HasFailure())
            return;
    }
    for (int mode = 0; mode < modes; ++mode) {
        EXPECT_GT(kills[mode], 0) << modeNames[mode];
        std::printf("packer killed at %-16s %4d times\n", modeNames[mode], kills[mode]);
    }
    std::printf("journal left by the dead packer: %d; writes saved after its death: %ld\n",
                journalsLeft, savedAfterDeath);
}

INSTANTIATE_TEST_SUITE_P(Tables, KilledPacker,
                         ::testing::Values(PackerRun{false, 200, 20250301},
                                           PackerRun{true, 60, 20250302}),
                         [](const ::testing::TestParamInfo<PackerRun>& param) {
                             return std::string(param.param.encrypted ? "Encrypted" : "Plain");
                         });

} // namespace
} // namespace kelo::engine
