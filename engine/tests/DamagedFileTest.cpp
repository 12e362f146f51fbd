#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string poke(std::string bytes, std::size_t at, char value) {
    if (at < bytes.size())
        bytes[at] = value;
    return bytes;
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every kind of damage must fail the open with a code, never crash or read
// past a buffer (the sanitizer build runs this too).
TEST(DamagedFile, BadTablesFailToOpenWithACode) {
    TempDir dir;
    Code4 code;
    {
        auto table = Data4::create(code, dir.file("good.dbf"),
                                   {{"NAME", 'C', 10, 0}, {"PAY", 'N', 8, 2}, {"NOTE", 'M', 4, 0}});
        ASSERT_NE(table, nullptr);
        for (int i = 0; i < 3; ++i) {
            table->appendStart();
            table->field("NAME")->assign("Row");
            table->field("NOTE")->memoAssign("memo text");
            table->append();
        }
    }
    const std::string good = readAll(dir.file("good.dbf"));
    const std::string memo = readAll(dir.file("good.fpt"));
    struct Case {
        const char* name;
        std::function<std::string(std::string)> damage;
        int code;
    };
    const std::vector<Case> cases = {
        {"zero length", [](std::string) { return std::string(); }, e4data},
        {"truncated header", [](std::string b) { return b.substr(0, 20); }, e4data},
        {"truncated descriptors", [](std::string b) { return b.substr(0, 60); }, e4data},
        {"truncated records", [](std::string b) { return b.substr(0, b.size() - 30); }, e4data},
        {"garbage", [](std::string b) { return std::string(b.size(), '\x55'); }, e4data},
        {"wrong version", [](std::string b) { return poke(b, 0, '\x8B'); }, e4data},
        {"oversized header", [](std::string b) { return poke(poke(b, 8, '\xFF'), 9, '\xFF'); },
         e4data},
        {"header length inside the descriptors",
         [](std::string b) { return poke(poke(b, 8, 40), 9, 0); }, e4data},
        {"record count too large",
         [](std::string b) { return poke(poke(b, 4, '\xFF'), 5, '\xFF'); }, e4data},
        {"field past the record", [](std::string b) { return poke(b, 32 + 16, '\x7F'); }, e4data},
        {"no terminator", [](std::string b) { return poke(b, 32 + 3 * 32, 'X'); }, e4data},
    };
    for (const Case& c : cases) {
        writeAll(dir.file("bad.dbf"), c.damage(good));
        writeAll(dir.file("bad.fpt"), memo);
        code.setErrorCode(0);
        EXPECT_EQ(Data4::open(code, dir.file("bad.dbf")), nullptr) << c.name;
        EXPECT_EQ(code.errorCode(), c.code) << c.name;
    }
}

TEST(DamagedFile, DamagedMemoFileFailsOpenOrReadsEmpty) {
    TempDir dir;
    Code4 code;
    {
        auto table = Data4::create(code, dir.file("m.dbf"), {{"NOTE", 'M', 4, 0}});
        ASSERT_NE(table, nullptr);
        table->appendStart();
        table->field("NOTE")->memoAssign(std::string(300, 'x'));
        table->append();
    }
    const std::string memo = readAll(dir.file("m.fpt"));
    writeAll(dir.file("m.fpt"), memo.substr(0, 100));
    EXPECT_EQ(Data4::open(code, dir.file("m.dbf")), nullptr);
    EXPECT_EQ(code.errorCode(), e4memo);

    // A memo whose length runs past the file reads as empty with e4memo.
    std::string cut = memo.substr(0, 600);
    writeAll(dir.file("m.fpt"), cut);
    code.setErrorCode(0);
    auto table = Data4::open(code, dir.file("m.dbf"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->field("NOTE")->str(), "");
    EXPECT_EQ(code.errorCode(), e4memo);
}

TEST(DamagedFile, ExtraBytesAfterTheLastRecordAreIgnored) {
    // What a killed append leaves: data written, count not yet raised.
    TempDir dir;
    Code4 code;
    {
        auto table = Data4::create(code, dir.file("a.dbf"), {{"NAME", 'C', 10, 0}});
        ASSERT_NE(table, nullptr);
        table->appendStart();
        table->field("NAME")->assign("kept");
        table->append();
    }
    std::string bytes = readAll(dir.file("a.dbf"));
    bytes.pop_back();
    bytes += " half-done\x1A";
    writeAll(dir.file("a.dbf"), bytes);
    auto table = Data4::open(code, dir.file("a.dbf"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->recCount(), 1);
    table->appendStart();
    table->field("NAME")->assign("second");
    ASSERT_EQ(table->append(), r4success);
    table->go(2);
    EXPECT_EQ(table->field("NAME")->trimmed(), "second");
}

} // namespace
} // namespace kelo::engine
