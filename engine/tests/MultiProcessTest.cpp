// Two processes sharing tables: locks, exclusive opens and visibility of each
// other's changes. The second process is a forked child with its own Code4
// that runs commands the test sends it through a pipe, one step at a time,
// so every interleaving is fixed by the test and needs no sleeps.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

// A generous bound on one reply, so that a deadlocked child fails the test
// instead of hanging it.
constexpr int replyTimeoutMs = 60'000;

// Newline-terminated messages over a pair of pipe ends.
class Channel {
public:
    Channel(int readFd, int writeFd) : readFd_(readFd), writeFd_(writeFd) {}
    ~Channel() {
        ::close(readFd_);
        ::close(writeFd_);
    }
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    int readFd() const { return readFd_; }
    int writeFd() const { return writeFd_; }

    bool send(const std::string& message) const {
        const std::string line = message + "\n";
        std::size_t done = 0;
        while (done < line.size()) {
            const ssize_t n = ::write(writeFd_, line.data() + done, line.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // False at end of file or after `timeoutMs` (negative: wait forever).
    bool receive(std::string& message, int timeoutMs = -1) {
        while (true) {
            const auto end = buffer_.find('\n');
            if (end != std::string::npos) {
                message = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return true;
            }
            pollfd p{readFd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, timeoutMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return false;
            char chunk[512];
            const ssize_t n = ::read(readFd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

private:
    int readFd_;
    int writeFd_;
    std::string buffer_;
};

// Exit statuses of the child besides 0.
constexpr int exitParentGone = 3;
constexpr int exitBadCommand = 4;

// The child's side: one Code4, tables opened by slot name, one reply per command.
class Server {
public:
    explicit Server(Channel& channel) : channel_(channel) {}

    [[noreturn]] void run() {
        std::string line;
        while (channel_.receive(line)) {
            std::istringstream in(line);
            std::string op;
            in >> op;
            if (op == "quit") {
                tables_.clear(); // closes and flushes before the Code4 goes
                channel_.send("bye");
                ::_exit(0);
            }
            std::string reply;
            if (!execute(op, in, reply))
                ::_exit(exitBadCommand);
            if (!channel_.send(reply))
                ::_exit(exitParentGone);
        }
        ::_exit(exitParentGone);
    }

private:
    static std::string rest(std::istringstream& in) {
        std::string text;
        std::getline(in >> std::ws, text);
        return text;
    }

    std::string result(int rc) {
        code_.setErrorCode(0);
        return std::to_string(rc);
    }

    Data4* table(const std::string& slot) {
        const auto it = tables_.find(slot);
        return it == tables_.end() ? nullptr : it->second.get();
    }

    bool execute(const std::string& op, std::istringstream& in, std::string& reply) {
        std::string slot;
        if (op == "auto") {
            int on = 0;
            in >> on;
            code_.autoUnlock = on != 0;
            reply = "0";
            return true;
        }
        if (op == "unlockall") {
            reply = result(code_.unlockAll());
            return true;
        }
        in >> slot;
        if (op == "open") {
            std::string path;
            int exclusive = 0;
            in >> path >> exclusive;
            code_.accessMode = exclusive ? OPEN4DENY_RW : OPEN4DENY_NONE;
            auto opened = Data4::open(code_, path);
            code_.accessMode = OPEN4DENY_NONE;
            reply = result(opened ? r4success : code_.errorCode());
            if (opened)
                tables_[slot] = std::move(opened);
            return true;
        }
        if (op == "group") {
            // group SLOT N [SLOT N]...: N 0 queues the whole table.
            long recNo = 0;
            for (in >> recNo; in; in >> slot >> recNo) {
                Data4* t = table(slot);
                if (!t)
                    return false;
                if (recNo == 0)
                    code_.lockAddAll(*t);
                else
                    code_.lockAdd(*t, recNo);
            }
            reply = result(code_.lockGroup());
            return true;
        }
        Data4* t = table(slot);
        if (!t)
            return false;
        if (op == "close") {
            tables_.erase(slot);
            reply = "0";
        } else if (op == "lock") {
            long recNo = 0;
            in >> recNo;
            reply = result(t->lock(recNo));
        } else if (op == "lockall") {
            reply = result(t->lockAll());
        } else if (op == "unlock") {
            reply = result(t->unlock());
        } else if (op == "other") {
            long recNo = 0;
            in >> recNo;
            reply = t->lockedByOther(recNo) ? "1" : "0";
        } else if (op == "count") {
            reply = std::to_string(t->recCount());
        } else if (op == "get") { // get SLOT N FIELD
            long recNo = 0;
            std::string field;
            in >> recNo >> field;
            const int rc = t->go(recNo);
            reply = rc == r4success ? t->field(field)->trimmed() : "<rc " + result(rc) + ">";
        } else if (op == "set") { // set SLOT N FIELD VALUE...
            long recNo = 0;
            std::string field;
            in >> recNo >> field;
            const std::string value = rest(in);
            int rc = t->go(recNo);
            if (rc == r4success) {
                t->field(field)->assign(value);
                rc = t->write();
                if (rc != r4success)
                    t->setChanged(false);
            }
            reply = result(rc);
        } else if (op == "append") { // append SLOT EMPNO NAME...
            std::string empno;
            in >> empno;
            reply = result(append(*t, empno, rest(in)));
        } else if (op == "appendmany") { // appendmany SLOT PREFIX COUNT
            std::string prefix;
            int count = 0;
            in >> prefix >> count;
            int rc = r4success;
            for (int i = 1; i <= count && rc == r4success; ++i)
                rc = append(*t, numbered(prefix, i), "Child row " + std::to_string(i));
            reply = result(rc);
        } else if (op == "seek") { // seek SLOT TAG KEY: the record number found, else 0
            std::string tagName;
            in >> tagName;
            const std::string key = rest(in);
            if (t->select(tagName) != r4success)
                return false;
            const int rc = t->seek(key);
            reply = rc == r4success ? std::to_string(t->recNo()) : "0";
            code_.setErrorCode(0);
        } else {
            return false;
        }
        return true;
    }

public:
    static std::string numbered(const std::string& prefix, int i) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04d", i);
        return prefix + digits;
    }

    // Long enough to take several memo blocks.
    static std::string memoOf(const std::string& empno) {
        std::string memo = "Memo of " + empno + ":";
        while (memo.size() < 200)
            memo += " " + empno;
        return memo;
    }

    static int append(Data4& t, const std::string& empno, const std::string& name) {
        int rc = t.appendStart();
        if (rc != r4success)
            return rc;
        t.blank();
        t.field("EMPNO")->assign(empno);
        t.field("NAME")->assign(name);
        t.field("SALARY")->assignDouble(1000);
        t.field("NOTES")->memoAssign(memoOf(empno));
        return t.append();
    }

private:
    Channel& channel_;
    Code4 code_;
    std::map<std::string, std::unique_ptr<Data4>> tables_;
};

// A forked child process serving commands until it is told to quit.
class Peer {
public:
    Peer() {
        int toChild[2];
        int toParent[2];
        if (::pipe(toChild) != 0 || ::pipe(toParent) != 0)
            return;
        ::fflush(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(toChild[1]);
            ::close(toParent[0]);
            closeInheritedFiles(toChild[0], toParent[1]);
            Channel channel(toChild[0], toParent[1]);
            Server(channel).run();
        }
        ::close(toChild[0]);
        ::close(toParent[1]);
        channel_ = std::make_unique<Channel>(toParent[0], toChild[1]);
    }

    ~Peer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    bool started() const { return pid_ > 0 && channel_; }

    void send(const std::string& command) { channel_->send(command); }
    std::string reply() {
        std::string answer;
        if (!channel_->receive(answer, replyTimeoutMs))
            return "<no reply>";
        return answer;
    }
    std::string ask(const std::string& command) {
        send(command);
        return reply();
    }
    // The reply when it has come; false while the child is still working.
    bool poll(std::string& answer) { return channel_->receive(answer, 0); }

    // Tells the child to quit and returns its exit status (-1: it did not exit normally).
    int finish() {
        if (pid_ <= 0)
            return -1;
        send("quit");
        reply();
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    // Table descriptors the test process holds must not live on in the child:
    // their open-file locks would then outlast the parent's close.
    static void closeInheritedFiles(int keepA, int keepB) {
        const unsigned low = static_cast<unsigned>(std::min(keepA, keepB));
        const unsigned high = static_cast<unsigned>(std::max(keepA, keepB));
        if (low > 3)
            ::close_range(3, low - 1, 0);
        if (high > low + 1)
            ::close_range(low + 1, high - 1, 0);
        ::close_range(high + 1, ~0U, 0);
    }

    pid_t pid_ = -1;
    std::unique_ptr<Channel> channel_;
};

std::string str(int rc) {
    return std::to_string(rc);
}

class MultiProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.path().empty());
        pathA_ = dir_.file("staff.dbf");
        pathB_ = dir_.file("leave.dbf");
        createTable(pathA_);
        createTable(pathB_);
    }

    // Five employees e001..e005 (lower case, so the tag's UPPER matters).
    static void createTable(const std::string& path) {
        Code4 code;
        auto table = Data4::create(
            code, path,
            {{"EMPNO", 'C', 10, 0},
             {"NAME", 'C', 20, 0},
             {"SALARY", 'N', 12, 2},
             {"NOTES", 'M', 4, 0}},
            {{"EMPNO", "UPPER(EMPNO)", "", false, false}, {"NAME", "NAME", "", false, false}});
        ASSERT_NE(table, nullptr) << code.errorText();
        for (int i = 1; i <= 5; ++i) {
            ASSERT_EQ(
                Server::append(*table, "e00" + std::to_string(i), "Name " + std::to_string(i)),
                r4success);
        }
    }

    std::unique_ptr<Data4> open(const std::string& path) {
        auto table = Data4::open(code_, path);
        EXPECT_NE(table, nullptr) << code_.errorText();
        return table;
    }

    // Every key reached through the tag, in tag order.
    static std::vector<std::string> keysInTagOrder(Data4& table, const char* tagName) {
        std::vector<std::string> keys;
        EXPECT_EQ(table.select(tagName), r4success);
        for (int rc = table.top(); rc == r4success && !table.eof(); rc = table.skip())
            keys.push_back(table.field("EMPNO")->trimmed());
        table.select(nullptr);
        return keys;
    }

    static std::vector<std::string> keysInRecordOrder(Data4& table) {
        std::vector<std::string> keys;
        table.select(nullptr);
        for (int rc = table.top(); rc == r4success && !table.eof(); rc = table.skip())
            keys.push_back(table.field("EMPNO")->trimmed());
        return keys;
    }

    static std::string upper(std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    // The tag holds exactly the table's keys, in order.
    static void expectTagMatchesScan(Data4& table) {
        std::vector<std::string> scanned = keysInRecordOrder(table);
        const std::vector<std::string> viaTag = keysInTagOrder(table, "EMPNO");
        ASSERT_EQ(viaTag.size(), scanned.size());
        std::vector<std::string> scannedUpper;
        for (const std::string& k : scanned)
            scannedUpper.push_back(upper(k));
        std::vector<std::string> tagUpper;
        for (const std::string& k : viaTag)
            tagUpper.push_back(upper(k));
        EXPECT_TRUE(std::is_sorted(tagUpper.begin(), tagUpper.end()));
        std::sort(scannedUpper.begin(), scannedUpper.end());
        EXPECT_EQ(tagUpper, scannedUpper);
    }

    TempDir dir_;
    std::string pathA_;
    std::string pathB_;
    Code4 code_;
};

TEST_F(MultiProcess, RecordLockOfTheOtherProcessBlocksLockAndWrite) {
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    ASSERT_EQ(child.ask("lock A 2"), "0");

    auto table = open(pathA_);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->lock(2), r4locked);
    EXPECT_TRUE(table->lockedByOther(2));
    EXPECT_FALSE(table->lockTest(2));
    EXPECT_FALSE(table->lockedByOther(3));

    ASSERT_EQ(table->go(2), r4success);
    table->field("NAME")->assign("Changed by parent");
    EXPECT_EQ(table->write(), e4lock);
    EXPECT_EQ(code_.errorCode(), e4lock);
    code_.setErrorCode(0);
    table->setChanged(false);
    ASSERT_EQ(table->refresh(), r4success);
    EXPECT_EQ(table->field("NAME")->trimmed(), "Name 2");
    EXPECT_EQ(child.ask("get A 2 NAME"), "Name 2");

    ASSERT_EQ(child.ask("unlock A"), "0");
    EXPECT_FALSE(table->lockedByOther(2));
    ASSERT_EQ(table->lock(2), r4success);
    EXPECT_TRUE(table->lockTest(2));
    EXPECT_EQ(child.ask("other A 2"), "1");
    EXPECT_EQ(child.ask("lock A 2"), str(r4locked));
    EXPECT_EQ(child.ask("set A 2 NAME Changed by child"), str(e4lock));

    table->field("NAME")->assign("Changed by parent");
    EXPECT_EQ(table->write(), r4success);
    EXPECT_EQ(table->unlock(), r4success);
    EXPECT_EQ(child.ask("get A 2 NAME"), "Changed by parent");
    EXPECT_EQ(child.ask("lock A 2"), "0");
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, LockAllBlocksRecordLocksAndAppends) {
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    auto table = open(pathA_);
    ASSERT_NE(table, nullptr);

    // The child holds the whole table.
    ASSERT_EQ(child.ask("lockall A"), "0");
    EXPECT_EQ(table->lock(3), r4locked);
    EXPECT_TRUE(table->lockedByOther(3));
    EXPECT_EQ(table->lockAll(), r4locked);
    ASSERT_EQ(table->go(3), r4success);
    table->field("NAME")->assign("Not written");
    EXPECT_EQ(table->write(), e4lock);
    table->setChanged(false);
    EXPECT_EQ(Server::append(*table, "p001", "Parent"), r4locked);
    code_.setErrorCode(0);
    EXPECT_EQ(table->recCount(), 5);
    EXPECT_EQ(child.ask("count A"), "5");
    EXPECT_EQ(table->top(), r4success); // abandons the refused append
    EXPECT_EQ(child.ask("unlock A"), "0");

    // And the other way round.
    ASSERT_EQ(table->lockAll(), r4success);
    EXPECT_TRUE(table->lockTestAll());
    EXPECT_EQ(child.ask("lock A 3"), str(r4locked));
    EXPECT_EQ(child.ask("lockall A"), str(r4locked));
    EXPECT_EQ(child.ask("append A c001 Child"), str(r4locked));
    EXPECT_EQ(child.ask("count A"), "5");
    // The holder of the table lock appends freely.
    EXPECT_EQ(Server::append(*table, "p001", "Parent"), r4success);
    EXPECT_EQ(table->unlock(), r4success);

    EXPECT_EQ(child.ask("append A c001 Child"), "0");
    EXPECT_EQ(child.ask("lock A 3"), "0");
    EXPECT_EQ(table->recCount(), 7);
    EXPECT_EQ(keysInRecordOrder(*table),
              (std::vector<std::string>{"e001", "e002", "e003", "e004", "e005", "p001", "c001"}));
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, LockGroupTakesAllOrNothing) {
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    ASSERT_EQ(child.ask("open B " + pathB_ + " 0"), "0");
    auto a = open(pathA_);
    auto b = open(pathB_);
    ASSERT_TRUE(a && b);

    // One member of the group is held by the child: nothing is kept.
    ASSERT_EQ(child.ask("lock B 3"), "0");
    code_.lockAdd(*a, 1);
    code_.lockAdd(*a, 2);
    code_.lockAddAll(*b);
    EXPECT_EQ(code_.lockGroup(), r4locked);
    EXPECT_FALSE(a->lockTest(1));
    EXPECT_FALSE(a->lockTest(2));
    EXPECT_FALSE(b->lockTestAll());
    EXPECT_EQ(child.ask("other A 1"), "0");
    EXPECT_EQ(child.ask("other A 2"), "0");

    code_.lockAdd(*a, 4);
    code_.lockAdd(*b, 3);
    EXPECT_EQ(code_.lockGroup(), r4locked);
    EXPECT_FALSE(a->lockTest(4));
    EXPECT_EQ(child.ask("lock A 4"), "0");
    EXPECT_EQ(child.ask("unlock A"), "0");

    // Free again: the whole group is taken.
    ASSERT_EQ(child.ask("unlock B"), "0");
    code_.lockAdd(*a, 1);
    code_.lockAdd(*a, 2);
    code_.lockAddAll(*b);
    ASSERT_EQ(code_.lockGroup(), r4success);
    EXPECT_TRUE(a->lockTest(1));
    EXPECT_TRUE(a->lockTest(2));
    EXPECT_TRUE(b->lockTestAll());
    EXPECT_EQ(child.ask("other A 1"), "1");
    EXPECT_EQ(child.ask("other A 2"), "1");
    EXPECT_EQ(child.ask("other A 3"), "0");
    EXPECT_EQ(child.ask("other B 5"), "1");
    EXPECT_EQ(child.ask("lock B 1"), str(r4locked));

    // The child's own group fails on A 1 and gives back the B it took first.
    EXPECT_EQ(code_.unlockAll(), r4success);
    ASSERT_EQ(a->lock(1), r4success);
    EXPECT_EQ(child.ask("group B 0 A 1"), str(r4locked));
    EXPECT_FALSE(b->lockedByOther(1));
    EXPECT_EQ(b->lockAll(), r4success);

    // unlockAll releases every lock of every table.
    EXPECT_EQ(code_.unlockAll(), r4success);
    EXPECT_FALSE(a->lockTest(1));
    EXPECT_FALSE(b->lockTestAll());
    EXPECT_EQ(child.ask("group B 0 A 1"), "0");
    EXPECT_TRUE(a->lockedByOther(1));
    EXPECT_TRUE(b->lockedByOther(5));
    EXPECT_EQ(child.ask("unlockall"), "0");
    EXPECT_FALSE(a->lockedByOther(1));
    EXPECT_FALSE(b->lockedByOther(5));
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, UnlockAllReleasesLocksKeptWithoutAutoUnlock) {
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    ASSERT_EQ(child.ask("open B " + pathB_ + " 0"), "0");
    auto a = open(pathA_);
    auto b = open(pathB_);
    ASSERT_TRUE(a && b);

    code_.autoUnlock = false;
    ASSERT_EQ(a->lock(1), r4success);
    ASSERT_EQ(a->lock(4), r4success);
    ASSERT_EQ(b->lockAll(), r4success);
    for (const char* check : {"other A 1", "other A 4", "other B 2"})
        EXPECT_EQ(child.ask(check), "1") << check;
    EXPECT_EQ(code_.unlockAll(), r4success);
    for (const char* check : {"other A 1", "other A 4", "other B 2"})
        EXPECT_EQ(child.ask(check), "0") << check;
    EXPECT_EQ(child.ask("lock A 1"), "0");
    EXPECT_EQ(child.ask("lock A 4"), "0");
    EXPECT_EQ(child.ask("lockall B"), "0");
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, ExclusiveAndSharedOpensExcludeEachOther) {
    Peer child;
    ASSERT_TRUE(child.started());

    // The child has it shared: no exclusive open, but a shared one.
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    code_.accessMode = OPEN4DENY_RW;
    EXPECT_EQ(Data4::open(code_, pathA_), nullptr);
    code_.accessMode = OPEN4DENY_NONE;
    EXPECT_EQ(code_.errorCode(), e4access);
    code_.setErrorCode(0);
    {
        auto shared = open(pathA_);
        ASSERT_NE(shared, nullptr);
        EXPECT_FALSE(shared->isExclusive());
        EXPECT_EQ(child.ask("open A2 " + pathA_ + " 1"), str(e4access));
    }

    // The child has it exclusively: neither kind of open.
    ASSERT_EQ(child.ask("close A"), "0");
    ASSERT_EQ(child.ask("open A " + pathA_ + " 1"), "0");
    EXPECT_EQ(Data4::open(code_, pathA_), nullptr);
    EXPECT_EQ(code_.errorCode(), e4access);
    code_.setErrorCode(0);
    code_.accessMode = OPEN4DENY_RW;
    EXPECT_EQ(Data4::open(code_, pathA_), nullptr);
    code_.accessMode = OPEN4DENY_NONE;
    EXPECT_EQ(code_.errorCode(), e4access);
    code_.setErrorCode(0);

    // Roles swapped.
    ASSERT_EQ(child.ask("close A"), "0");
    code_.accessMode = OPEN4DENY_RW;
    auto exclusive = Data4::open(code_, pathA_);
    code_.accessMode = OPEN4DENY_NONE;
    ASSERT_NE(exclusive, nullptr) << code_.errorText();
    EXPECT_TRUE(exclusive->isExclusive());
    EXPECT_EQ(child.ask("open A " + pathA_ + " 0"), str(e4access));
    EXPECT_EQ(child.ask("open A " + pathA_ + " 1"), str(e4access));
    EXPECT_EQ(exclusive->close(), r4success);
    EXPECT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, ChangesOfTheOtherProcessAreSeen) {
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    auto table = open(pathA_);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->select("EMPNO"), r4success);
    ASSERT_EQ(table->seek("E002"), r4success);
    ASSERT_EQ(table->recNo(), 2);

    // New rows: found by seek, which rereads the table.
    ASSERT_EQ(child.ask("append A E900 Upper case"), "0");
    ASSERT_EQ(child.ask("append A e901 Lower case"), "0");
    ASSERT_EQ(table->seek("E900"), r4success);
    EXPECT_EQ(table->recNo(), 6);
    ASSERT_EQ(table->seek("E901"), r4success);
    EXPECT_EQ(table->recNo(), 7);
    EXPECT_EQ(table->field("NAME")->trimmed(), "Lower case");
    EXPECT_EQ(table->field("NOTES")->str(), Server::memoOf("e901"));
    EXPECT_EQ(table->recCount(), 7);

    // A changed key: refresh() shows the new values of the current record,
    // and the tag moves it.
    ASSERT_EQ(table->go(2), r4success);
    ASSERT_EQ(child.ask("set A 2 EMPNO x222"), "0");
    ASSERT_EQ(child.ask("set A 2 NAME Renamed"), "0");
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "e002"); // not reread yet
    ASSERT_EQ(table->refresh(), r4success);
    EXPECT_EQ(table->field("EMPNO")->trimmed(), "x222");
    EXPECT_EQ(table->field("NAME")->trimmed(), "Renamed");
    ASSERT_EQ(table->select("EMPNO"), r4success);
    EXPECT_NE(table->seek("E002"), r4success);
    ASSERT_EQ(table->seek("X222"), r4success);
    EXPECT_EQ(table->recNo(), 2);
    ASSERT_EQ(table->bottom(), r4success);
    EXPECT_EQ(table->recNo(), 2);

    // top() in record order sees a further row.
    ASSERT_EQ(child.ask("append A a000 First by key"), "0");
    table->select(nullptr);
    ASSERT_EQ(table->top(), r4success);
    long seen = 0;
    for (int rc = r4success; rc == r4success && !table->eof(); rc = table->skip())
        ++seen;
    EXPECT_EQ(seen, 8);
    ASSERT_EQ(table->select("EMPNO"), r4success);
    ASSERT_EQ(table->top(), r4success);
    EXPECT_EQ(table->recNo(), 8);
    expectTagMatchesScan(*table);

    // And the child sees the parent's changes through its own tag.
    ASSERT_EQ(table->go(4), r4success);
    table->field("EMPNO")->assign("q444");
    ASSERT_EQ(table->flush(), r4success);
    ASSERT_EQ(Server::append(*table, "p500", "Parent row"), r4success);
    EXPECT_EQ(child.ask("seek A EMPNO Q444"), "4");
    EXPECT_EQ(child.ask("seek A EMPNO E004"), "0");
    EXPECT_EQ(child.ask("seek A EMPNO P500"), "9");
    EXPECT_EQ(child.ask("seek A EMPNO X222"), "2");
    EXPECT_EQ(child.ask("count A"), "9");
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, ConcurrentAppendsKeepEveryRowOnce) {
    constexpr int perProcess = 500;
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    auto table = open(pathA_);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->select("EMPNO"), r4success);

    child.send("appendmany A c " + std::to_string(perProcess));
    int failures = 0;
    for (int i = 1; i <= perProcess; ++i) {
        if (Server::append(*table, Server::numbered("p", i), "Parent row") != r4success)
            ++failures;
    }
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(child.reply(), "0");

    const long expected = 5 + 2 * perProcess;
    EXPECT_EQ(table->recCount(), expected);
    EXPECT_EQ(child.ask("count A"), std::to_string(expected));
    std::map<std::string, int> seen;
    for (const std::string& key : keysInRecordOrder(*table))
        ++seen[key];
    // Both processes appended memos to the same memo file.
    int wrongMemos = 0;
    for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip()) {
        if (table->field("NOTES")->str() != Server::memoOf(table->field("EMPNO")->trimmed()))
            ++wrongMemos;
    }
    EXPECT_EQ(wrongMemos, 0);
    EXPECT_EQ(static_cast<long>(seen.size()), expected);
    for (int i = 1; i <= perProcess; ++i) {
        for (const char* prefix : {"c", "p"}) {
            const std::string key = Server::numbered(prefix, i);
            EXPECT_EQ(seen[key], 1) << key;
        }
    }
    expectTagMatchesScan(*table);
    ASSERT_EQ(table->select("EMPNO"), r4success);
    for (int i = 1; i <= perProcess; i += 37) {
        for (const char* prefix : {"C", "P"}) {
            const std::string key = Server::numbered(prefix, i);
            ASSERT_EQ(table->seek(key), r4success) << key;
            EXPECT_EQ(upper(table->field("EMPNO")->trimmed()), key);
        }
    }
    ASSERT_EQ(table->seek("P0500"), r4success);
    EXPECT_EQ(child.ask("seek A EMPNO P0500"), std::to_string(table->recNo()));
    ASSERT_EQ(table->seek("C0500"), r4success);
    EXPECT_EQ(child.ask("seek A EMPNO C0500"), std::to_string(table->recNo()));
    EXPECT_EQ(child.finish(), 0);
}

TEST_F(MultiProcess, AutoUnlockReleasesTheTablesEarlierLock) {
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    auto table = open(pathA_);
    ASSERT_NE(table, nullptr);

    // On (the default): locking 2 lets go of 1.
    ASSERT_TRUE(code_.autoUnlock);
    ASSERT_EQ(table->lock(1), r4success);
    ASSERT_EQ(table->lock(2), r4success);
    EXPECT_FALSE(table->lockTest(1));
    EXPECT_TRUE(table->lockTest(2));
    EXPECT_EQ(child.ask("lock A 1"), "0");
    EXPECT_EQ(child.ask("lock A 2"), str(r4locked));
    ASSERT_EQ(child.ask("unlock A"), "0");
    ASSERT_EQ(table->unlock(), r4success);

    // Off: both stay held.
    code_.autoUnlock = false;
    ASSERT_EQ(table->lock(1), r4success);
    ASSERT_EQ(table->lock(2), r4success);
    EXPECT_TRUE(table->lockTest(1));
    EXPECT_TRUE(table->lockTest(2));
    EXPECT_EQ(child.ask("lock A 1"), str(r4locked));
    EXPECT_EQ(child.ask("lock A 2"), str(r4locked));
    ASSERT_EQ(table->unlock(), r4success);
    EXPECT_EQ(child.ask("lock A 1"), "0");
    ASSERT_EQ(child.ask("unlock A"), "0");

    // The same setting in the child.
    ASSERT_EQ(child.ask("auto 0"), "0");
    ASSERT_EQ(child.ask("lock A 3"), "0");
    ASSERT_EQ(child.ask("lock A 4"), "0");
    EXPECT_TRUE(table->lockedByOther(3));
    EXPECT_TRUE(table->lockedByOther(4));
    ASSERT_EQ(child.ask("auto 1"), "0");
    ASSERT_EQ(child.ask("lock A 5"), "0");
    EXPECT_FALSE(table->lockedByOther(3));
    EXPECT_FALSE(table->lockedByOther(4));
    EXPECT_TRUE(table->lockedByOther(5));
    EXPECT_EQ(child.finish(), 0);
}

// Appenders write the record before the count, and an opener that read the
// size first and the header after used to find the count past the end.
TEST_F(MultiProcess, OpensWhileTheOtherProcessAppendsAllSucceed) {
    constexpr int rows = 20000;
    Peer child;
    ASSERT_TRUE(child.started());
    ASSERT_EQ(child.ask("open A " + pathA_ + " 0"), "0");
    child.send("appendmany A c " + std::to_string(rows));
    long tried = 0;
    long failed = 0;
    std::string firstFailure;
    std::string answer;
    while (!child.poll(answer)) {
        auto table = Data4::open(code_, pathA_);
        ++tried;
        if (!table) {
            if (failed++ == 0)
                firstFailure = code_.errorText();
            code_.setErrorCode(0);
        }
    }
    std::printf("opens while appending %d rows: %ld tried, %ld failed\n", rows, tried, failed);
    EXPECT_EQ(answer, "0");
    EXPECT_GT(tried, 0);
    EXPECT_EQ(failed, 0) << firstFailure;
    auto table = open(pathA_);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->recCount(), 5 + rows);
    EXPECT_EQ(child.finish(), 0);
}

} // namespace
} // namespace kelo::engine
