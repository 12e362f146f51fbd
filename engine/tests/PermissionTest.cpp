// A table the user may read but not write opens for reading; every attempt to
// write, lock or open it exclusively fails with e4permission, never with the
// codes of another user's lock. The attempts run in a child process without
// write permission: as root (where permissions do not stop writes) the child
// first becomes "nobody" over files root owns.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

constexpr uid_t nobody = 65534;

void createTable(const std::string& path) {
    Code4 code;
    auto table = Data4::create(code, path, {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 4, 0}},
                               {{"NAME", "NAME", "", false, false}});
    ASSERT_NE(table, nullptr) << code.errorText();
    for (const char* name : {"Asha", "Baraka", "Chausiku"}) {
        ASSERT_EQ(table->appendStart(), r4success);
        table->blank();
        table->field("NAME")->assign(name);
        table->field("NOTE")->memoAssign(std::string("note of ") + name);
        ASSERT_EQ(table->append(), r4success);
    }
}

std::vector<std::string> rows(const std::string& path) {
    Code4 code;
    auto table = Data4::open(code, path);
    std::vector<std::string> out;
    if (!table)
        return {"<" + code.errorText() + ">"};
    for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip())
        out.push_back(table->field("NAME")->trimmed() + "/" + table->field("NOTE")->str());
    return out;
}

// Every attempt's result code, and whether its message spoke of permission.
std::string attempts(const std::string& path) {
    std::string out;
    Code4 code;
    auto note = [&](const char* what, int rc) {
        const std::string& text = code.errorText();
        out += std::string(what) + "=" + std::to_string(rc);
        if (rc < 0)
            out += text.find("cannot be written") != std::string::npos &&
                           text.find("another user") == std::string::npos
                       ? "(permission)"
                       : "(" + text + ")";
        out += "\n";
        code.setErrorCode(0);
    };
    code.accessMode = OPEN4DENY_RW;
    auto exclusive = Data4::open(code, path);
    note("exclusive open", exclusive ? r4success : code.errorCode());
    code.accessMode = OPEN4DENY_NONE;
    auto withTags = Data4::openWithTags(code, path, {{"NAME", "NAME", "", false, false}});
    note("open repairing tags", withTags ? r4success : code.errorCode());

    auto table = Data4::open(code, path);
    note("shared open", table ? r4success : code.errorCode());
    if (!table)
        return out;
    note("records", static_cast<int>(table->recCount()));
    note("go", table->go(2));
    table->field("NAME")->assign("Changed");
    note("write", table->write());
    table->setChanged(false);
    note("lock", table->lock(2));
    note("lock all", table->lockAll());
    note("append start", table->appendStart());
    table->field("NAME")->assign("Added");
    note("append", table->append());
    note("top", table->top());
    table->deleteRec();
    note("delete", table->flush());
    table->setChanged(false);
    note("pack", table->pack());
    note("close", table->close());
    return out;
}

// Runs `attempts` in a child that cannot write the files; its report.
std::string attemptsWithoutPermission(const std::string& path) {
    int report[2];
    if (::pipe(report) != 0)
        return "<no pipe>";
    ::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(2);
        const std::string out = attempts(path);
        const bool written =
            ::write(report[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(report[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(report[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        out += "<child ended with status " + std::to_string(status) + ">";
    return out;
}

struct Case {
    const char* name;
    bool tableWritable;
    bool memoWritable;
};

TEST(Permission, ReadOnlyTableReportsPermissionNotAnotherUser) {
    const std::string expected = "exclusive open=-62(permission)\n"
                                 "open repairing tags=-62(permission)\n"
                                 "shared open=0\n"
                                 "records=3\n"
                                 "go=0\n"
                                 "write=-62(permission)\n"
                                 "lock=-62(permission)\n"
                                 "lock all=-62(permission)\n"
                                 "append start=0\n"
                                 "append=-62(permission)\n"
                                 "top=0\n"
                                 "delete=-62(permission)\n"
                                 "pack=-62(permission)\n"
                                 "close=0\n";
    ASSERT_EQ(e4permission, -62);
    const std::vector<Case> cases = {
        {"table and memo read-only", false, false},
        {"memo read-only", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_FALSE(dir.path().empty());
        const std::string path = dir.file("staff.dbf");
        createTable(path);
        ASSERT_FALSE(HasFatalFailure());
        const std::vector<std::string> before = rows(path);
        ASSERT_EQ(before.size(), 3u);

        // Root owns the files: only their owner may write them, and the child
        // is not their owner. Anyone else is the owner, so the files themselves
        // are made read-only.
        const bool root = ::geteuid() == 0;
        const mode_t writable = root ? 0666 : 0644;
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.tableWritable ? writable : 0444), 0);
        ASSERT_EQ(::chmod(dir.file("staff.fpt").c_str(), c.memoWritable ? writable : 0444), 0);
        ASSERT_EQ(::chmod(dir.file("staff.cdx").c_str(), 0444), 0);

        EXPECT_EQ(attemptsWithoutPermission(path), expected);

        // Nothing was changed, and the table still works for those who may write.
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
        ASSERT_EQ(::chmod(dir.file("staff.fpt").c_str(), 0644), 0);
        EXPECT_EQ(rows(path), before);
        EXPECT_FALSE(std::filesystem::exists(path + ".jnl"));
    }
}

} // namespace
} // namespace kelo::engine
