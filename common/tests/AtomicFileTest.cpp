#include "common/AtomicFile.h"

#include "common/TaggedFile.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace kelo::common {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int filesIn(const std::string& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

// A tagged file of `lines` values, each naming `who`, so two versions differ
// everywhere and a torn mixture of them is recognisable.
std::string writeTagged(const std::string& path, const std::string& who, int lines) {
    TaggedWriter w(path, TaggedWriter::Mode::Replace);
    bool ok = w.writePreamble(fileKind::DataConfiguration, "settings/test.dat", "4.0") &&
              w.writeTag("item", TagKind::GroupStart);
    for (int i = 0; ok && i < lines; ++i)
        ok = w.writeValue(who + " " + std::to_string(i));
    ok = ok && w.writeTag("", TagKind::GroupEnd) && w.writeEof();
    return w.close() && ok ? readBytes(path) : std::string();
}

TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoScratchFile) {
    testsupport::TempDir dir;
    const std::string path = dir.file("appcfg.dat");
    ASSERT_TRUE(replaceFileAtomically(path, "old contents\n"));
    ASSERT_TRUE(replaceFileAtomically(path, "new\n"));
    EXPECT_EQ(readBytes(path), "new\n");
    EXPECT_EQ(filesIn(dir.path()), 1);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicFile, AFileNeverCommittedLeavesTheOldOneAndNoScratch) {
    testsupport::TempDir dir;
    const std::string path = dir.file("datacfg.dat");
    ASSERT_TRUE(replaceFileAtomically(path, "kept\n"));
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(path));
        ASSERT_TRUE(file.write("abandoned"));
    }
    {
        TaggedWriter w(path, TaggedWriter::Mode::Replace);
        ASSERT_TRUE(w.writeComment("never closed"));
    }
    EXPECT_EQ(readBytes(path), "kept\n");
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(AtomicFile, AFailedWriteKeepsTheOldFile) {
    testsupport::TempDir dir;
    const std::string path = dir.file("monpay.dat");
    const std::string before = writeTagged(path, "before", 10);
    ASSERT_FALSE(before.empty());
    // The disk "fills" after 64 bytes: the new file cannot be written whole.
    const int status = testsupport::runWithFileSizeLimit(
        64, [&] { return writeTagged(path, "after", 500).empty() ? 0 : 1; });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(AtomicFile, AMissingFolderFailsWithoutCreatingAnything) {
    testsupport::TempDir dir;
    EXPECT_FALSE(replaceFileAtomically(dir.file("no/such/folder/file.dat"), "x"));
    TaggedWriter w(dir.file("no/such/file.dat"), TaggedWriter::Mode::Replace);
    EXPECT_TRUE(w.writeComment("x"));
    EXPECT_FALSE(w.close());
    EXPECT_EQ(filesIn(dir.path()), 0);
}

// A writer killed at any instant leaves either the old file or the new one.
TEST(AtomicFile, KillsAtRandomMomentsLeaveOneWholeVersion) {
    testsupport::TempDir dir;
    const std::string path = dir.file("datacfg.dat");
    const std::string first = writeTagged(path, "first", 4000);
    const std::string second = writeTagged(dir.file("second.dat"), "second", 4000);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    int torn = 0;
    for (int run = 0; run < 60; ++run) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0;; ++i)
                writeTagged(path, i % 2 == 0 ? "second" : "first", 4000);
        }
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = readBytes(path);
        if (now != first && now != second)
            ++torn;
    }
    EXPECT_EQ(torn, 0);
}

// Three programs writing the configuration at the same time: the last
// rename wins and the file is always one of them, whole.
TEST(AtomicFile, ConcurrentWritersNeverMixTheirFiles) {
    testsupport::TempDir dir;
    const std::string path = dir.file("appcfg.dat");
    std::vector<std::string> versions;
    for (const char* who : {"alpha", "beta", "gamma"})
        versions.push_back(writeTagged(dir.file(std::string(who) + ".dat"), who, 300));
    std::vector<pid_t> children;
    for (const char* who : {"alpha", "beta", "gamma"}) {
        const pid_t child = ::fork();
        if (child == 0) {
            int failed = 0;
            for (int i = 0; i < 30; ++i)
                failed += writeTagged(path, who, 300).empty() ? 1 : 0;
            ::_exit(failed);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string now = readBytes(path);
    EXPECT_NE(std::find(versions.begin(), versions.end(), now), versions.end());
    EXPECT_EQ(filesIn(dir.path()), 4); // the three copies and the file itself
}

} // namespace
} // namespace kelo::common
