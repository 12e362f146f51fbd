#include "common/TaggedFile.h"

#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace kelo::common {
namespace {

using testsupport::TempDir;

using namespace std::string_literals;
using testsupport::RecordingUi;

// A fresh folder for the files of one test, removed afterwards.

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What one writer call, given a fresh file, leaves in it.
template <typename Write> std::string written(Write write) {
    TempDir dir;
    const std::string path = dir.file("out.txt");
    {
        TaggedWriter writer(path);
        EXPECT_TRUE(writer.isOpen());
        write(writer);
        EXPECT_TRUE(writer.close());
    }
    return readBytes(path);
}

// ---------------------------------------------------------------------------
// Scrambling

TEST(TaggedScramble, TableIsAPermutationOfThePrintableCharacters) {
    ASSERT_EQ(kScrambleTable.size(), 95u);
    std::set<char> seen;
    for (char c : kScrambleTable) {
        EXPECT_GE(static_cast<unsigned char>(c), 32);
        EXPECT_LE(static_cast<unsigned char>(c), 126);
        seen.insert(c);
    }
    EXPECT_EQ(seen.size(), 95u);
}

TEST(TaggedScramble, PinnedBytesNeverChange) {
    // Existing files depend on these; a failure here means the table was edited.
    EXPECT_EQ(kScrambleTable,
              "B} JI?NmwC+7c{Q<6,`Dp'^\"*e[r~bX8St$!;4YykLs2R_]u5Fv.(1f-3gxon#=:T%zOqGli@0&KahE|M)"
              "PdW9HV>jA\\UZ/");
    const struct {
        char plain, scrambled;
    } cases[] = {{' ', 'B'}, {'A', 't'},  {'0', '6'}, {'a', '%'}, {'\\', 'n'},
                 {'#', 'J'}, {'{', '\\'}, {'}', 'Z'}, {'~', '/'}, {'.', 'Q'}};
    for (const auto& c : cases) {
        EXPECT_EQ(scrambleByte(c.plain), c.scrambled) << c.plain;
        EXPECT_EQ(unscrambleByte(c.scrambled), c.plain) << c.plain;
    }
    EXPECT_EQ(scramble("Basic Pay"), "$%d0OB5%j");
}

TEST(TaggedScramble, OnlyPrintableBytesChangeAndUnscrambleInverts) {
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        EXPECT_EQ(unscrambleByte(scrambleByte(c)), c) << code;
        // Only printable bytes move, and the table moves every one of them.
        EXPECT_EQ(scrambleByte(c) == c, code < 32 || code >= 127) << code;
    }
}

// ---------------------------------------------------------------------------
// Writer

TEST(TaggedWriter, WritesEachElementExactly) {
    const struct {
        const char* what;
        void (*write)(TaggedWriter&);
        std::string bytes;
    } cases[] = {
        {"block start", [](TaggedWriter& w) { w.writeTag("staff", TagKind::BlockStart, 0); },
         "\\begin{staff}\n"},
        {"nested block start", [](TaggedWriter& w) { w.writeTag("staff", TagKind::BlockStart, 2); },
         "\t\t\\begin{staff}\n"},
        {"block end", [](TaggedWriter& w) { w.writeTag("staff", TagKind::BlockEnd, 1); },
         "\t\\end{staff}\n"},
        {"group start", [](TaggedWriter& w) { w.writeTag("item", TagKind::GroupStart, 3); },
         "\t\t\t\\item{"},
        {"group end", [](TaggedWriter& w) { w.writeTag("item", TagKind::GroupEnd, 0); }, "}\n"},
        {"group end with level", [](TaggedWriter& w) { w.writeTag("", TagKind::GroupEnd, 1); },
         "\t}\n"},
        {"comment", [](TaggedWriter& w) { w.writeComment("Period Reports"); },
         "# Period Reports\n"},
        {"empty comment", [](TaggedWriter& w) { w.writeComment(""); }, "# \n"},
        {"indented comment", [](TaggedWriter& w) { w.writeComment("x", 1); }, "\t# x\n"},
        {"comment keeps backslashes unscrambled",
         [](TaggedWriter& w) { w.writeComment("C:\\Kelo\\{x}"); }, "# C:\\Kelo\\{x}\n"},
        {"comment with line breaks", [](TaggedWriter& w) { w.writeComment("one\ntwo\r\nthree"); },
         "# one\n# two\n# three\n"},
        {"value", [](TaggedWriter& w) { w.writeValue("Basic Pay"); }, "$%d0OB5%j\0"s},
        {"empty value", [](TaggedWriter& w) { w.writeValue(""); }, "\0"s},
        {"int", [](TaggedWriter& w) { w.writeInt(-42); }, scramble("-42") + '\0'},
        {"int minimum", [](TaggedWriter& w) { w.writeInt(INT_MIN); },
         scramble("-2147483648") + '\0'},
        {"short", [](TaggedWriter& w) { w.writeShort(-32768); }, scramble("-32768") + '\0'},
        {"unsigned short", [](TaggedWriter& w) { w.writeUnsignedShort(65535); },
         scramble("65535") + '\0'},
        {"double", [](TaggedWriter& w) { w.writeDouble(1234.5); }, scramble("1234.500000") + '\0'},
        {"eof", [](TaggedWriter& w) { w.writeEof(); }, "\\eof{}\n"},
        {"eos", [](TaggedWriter& w) { w.writeEos(); }, "\\eos{}\n"},
        {"preamble", [](TaggedWriter& w) { w.writePreamble("P9", "C:\\Kelo\\p9.rep", "4.2"); },
         "# P9\n# [C:\\Kelo\\p9.rep]\n# \n\\fileid{" + scramble("P9") + '\0' +
             scramble("C:\\Kelo\\p9.rep") + '\0' + scramble("4.2") + '\0' + "}\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(written(c.write), c.bytes) << c.what;
}

TEST(TaggedWriter, DoublesMatchPrintfFWithoutTheLocale) {
    std::setlocale(LC_NUMERIC, "C");
    const double values[] = {
        0.0,    -0.0,
        1.0,    -1.5,
        0.1,    2.5e-7,
        5e-7,   123456.789,
        1e20,   -987654321.1234567,
        1e-300, 35999.999999999996,
        1e300, // %f needs over 300 digits
    };
    for (double value : values) {
        std::string expected(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%f", value)), ' ');
        std::snprintf(expected.data(), expected.size() + 1, "%f", value);
        TaggedReader reader =
            TaggedReader::fromBytes(written([&](TaggedWriter& w) { w.writeDouble(value); }));
        std::string text;
        ASSERT_TRUE(reader.readValue(text));
        EXPECT_EQ(text, expected) << value;
    }
}

TEST(TaggedWriter, UnprintableValueBytesAreWrittenUnchanged) {
    const struct {
        const char* what;
        std::string value;
    } cases[] = {
        {"newline", "a\nb"},
        {"tab", "a\tb"},
        {"carriage return", "a\r\nb"},
        {"byte 127", "a\x7f"},
        {"bytes above 127", "Zo\xc3\xab"},
        {"only unprintables", "\x01\x1f\xff"},
    };
    for (const auto& c : cases) {
        const std::string bytes = written([&](TaggedWriter& w) { w.writeValue(c.value); });
        ASSERT_EQ(bytes.size(), c.value.size() + 1) << c.what;
        for (std::size_t i = 0; i < c.value.size(); ++i) {
            const auto code = static_cast<unsigned char>(c.value[i]);
            const bool printable = code >= 32 && code <= 126;
            EXPECT_EQ(bytes[i], printable ? scrambleByte(c.value[i]) : c.value[i])
                << c.what << " at " << i;
        }
        TaggedReader reader = TaggedReader::fromBytes(bytes);
        std::string read;
        EXPECT_TRUE(reader.readValue(read)) << c.what;
        EXPECT_EQ(read, c.value) << c.what;
    }
}

TEST(TaggedWriter, RefusesWhatWouldBreakTheFile) {
    const std::string bytes = written([](TaggedWriter& w) {
        for (const char* name : {"", "a b", "a{b", "a}b", "a\\b", "#a", "a\nb", "a\x80"}) {
            for (TagKind kind : {TagKind::BlockStart, TagKind::BlockEnd, TagKind::GroupStart})
                EXPECT_FALSE(w.writeTag(name, kind, 0)) << name;
        }
        EXPECT_FALSE(w.writeValue("a\0b"s));
        EXPECT_FALSE(w.writeValue(std::string(kMaxTaggedValue + 1, 'x')));
        EXPECT_TRUE(w.good()); // refusing is not a failed write
    });
    EXPECT_EQ(bytes, "");
    written([](TaggedWriter& w) { EXPECT_FALSE(w.writePreamble("P9", "a\0b"s, "4.2")); });
}

TEST(TaggedWriter, ReportsFilesItCannotWrite) {
    TempDir dir;
    TaggedWriter writer(dir.file("missing-folder/out.txt"));
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.good());
    EXPECT_FALSE(writer.writeComment("x"));
    EXPECT_FALSE(writer.writeValue("x"));
    EXPECT_FALSE(writer.writeEof());
    EXPECT_FALSE(writer.close());

    TaggedWriter full("/dev/full");
    ASSERT_TRUE(full.isOpen());
    full.writeValue(std::string(100000, 'x')); // more than the stdio buffer
    EXPECT_FALSE(full.good());
    EXPECT_FALSE(full.writeEof());
    EXPECT_FALSE(full.close());
}

TEST(TaggedWriter, AppendModeAddsSectionsAfterEos) {
    TempDir dir;
    const std::string path = dir.file("leave.rep");
    {
        TaggedWriter writer(path);
        writer.writePreamble(fileKind::LeaveReport, path, "3.0.1");
        writer.writeTag("section", TagKind::GroupStart);
        writer.writeValue("first");
        writer.writeTag("", TagKind::GroupEnd);
        writer.writeEos();
    }
    {
        TaggedWriter writer(path, TaggedWriter::Mode::Append);
        writer.writeTag("section", TagKind::GroupStart);
        writer.writeValue("second");
        writer.writeTag("", TagKind::GroupEnd);
        EXPECT_TRUE(writer.writeEos());
        EXPECT_TRUE(writer.close());
    }
    RecordingUi ui;
    EXPECT_TRUE(checkFileId(ui, path)) << ui.lastMessage();

    TaggedReader reader(path);
    ASSERT_TRUE(reader.skipFileId());
    std::vector<std::string> sections;
    std::string value;
    for (;;) {
        if (reader.findTag("section", TagKind::GroupStart)) {
            ASSERT_TRUE(reader.readValue(value));
            sections.push_back(value);
            EXPECT_TRUE(reader.findTag("", TagKind::GroupEnd));
        } else if (!reader.findTag("eos", TagKind::GroupStart)) {
            break;
        }
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"first", "second"}));
}

// ---------------------------------------------------------------------------
// Reader

TEST(TaggedReader, RoundTripsNestedBlocksAndGroups) {
    struct Employee {
        std::string number, name;
        int days;
        short grade;
        unsigned short code;
        double salary;
    };
    std::vector<Employee> employees;
    for (int i = 0; i < 50; ++i) {
        employees.push_back({"E" + std::to_string(i), "Name {" + std::to_string(i) + "} \\#",
                             i * 3 - 20, static_cast<short>(-i),
                             static_cast<unsigned short>(i * 999), 1000.25 * i});
    }
    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i)
        many.push_back(
            std::string(static_cast<std::size_t>(i % 7), static_cast<char>(32 + i % 95)));

    const std::string bytes = written([&](TaggedWriter& w) {
        w.writePreamble(fileKind::ActiveEmployees, "/data/active.rep", "4.2");
        w.writeTag("company", TagKind::BlockStart, 0);
        w.writeComment("staff follows", 1);
        w.writeTag("staff", TagKind::BlockStart, 1);
        for (const Employee& e : employees) {
            w.writeTag("employee", TagKind::GroupStart, 2);
            w.writeValue(e.number);
            w.writeValue(e.name);
            w.writeInt(e.days);
            w.writeShort(e.grade);
            w.writeUnsignedShort(e.code);
            w.writeDouble(e.salary);
            w.writeTag("", TagKind::GroupEnd, 0);
        }
        w.writeTag("staff", TagKind::BlockEnd, 1);
        w.writeTag("many", TagKind::GroupStart, 1);
        for (const std::string& value : many)
            w.writeValue(value);
        w.writeTag("", TagKind::GroupEnd, 0);
        w.writeTag("company", TagKind::BlockEnd, 0);
        w.writeEof();
    });

    TaggedReader reader = TaggedReader::fromBytes(bytes);
    FileId id;
    ASSERT_TRUE(reader.readFileId(id));
    EXPECT_EQ(id.kind, "Active Employees");
    EXPECT_EQ(id.path, "/data/active.rep");
    EXPECT_EQ(id.version, "4.2");
    ASSERT_TRUE(reader.findTag("company", TagKind::BlockStart));
    ASSERT_TRUE(reader.findTag("staff", TagKind::BlockStart));
    std::size_t count = 0;
    while (reader.findTag("employee", TagKind::GroupStart)) {
        ASSERT_LT(count, employees.size());
        const Employee& e = employees[count++];
        Employee r{};
        ASSERT_TRUE(reader.readValue(r.number));
        ASSERT_TRUE(reader.readValue(r.name));
        ASSERT_TRUE(reader.readInt(r.days));
        ASSERT_TRUE(reader.readShort(r.grade));
        ASSERT_TRUE(reader.readUnsignedShort(r.code));
        ASSERT_TRUE(reader.readDouble(r.salary));
        EXPECT_TRUE(reader.findTag("", TagKind::GroupEnd));
        EXPECT_EQ(r.number, e.number);
        EXPECT_EQ(r.name, e.name);
        EXPECT_EQ(r.days, e.days);
        EXPECT_EQ(r.grade, e.grade);
        EXPECT_EQ(r.code, e.code);
        EXPECT_EQ(r.salary, e.salary);
    }
    EXPECT_EQ(count, employees.size());
    ASSERT_TRUE(reader.findTag("staff", TagKind::BlockEnd));
    ASSERT_TRUE(reader.findTag("many", TagKind::GroupStart));
    std::vector<std::string> values(many.size());
    for (std::string& value : values)
        ASSERT_TRUE(reader.readValue(value));
    EXPECT_EQ(values, many);
    EXPECT_TRUE(reader.findTag("", TagKind::GroupEnd));
    EXPECT_TRUE(reader.findTag("company", TagKind::BlockEnd));
    EXPECT_TRUE(reader.findTag("eof", TagKind::GroupStart));
    EXPECT_TRUE(reader.hasTerminator());
}

TEST(TaggedReader, FindTagProbes) {
    const struct {
        const char* what;
        std::string input;
        std::size_t start;
        const char* name;
        TagKind kind;
        bool found;
        std::size_t end; // position afterwards
    } cases[] = {
        {"block start", "\\begin{a}\n", 0, "a", TagKind::BlockStart, true, 9},
        {"block start after tabs", "\t\t\\begin{a}\n", 0, "a", TagKind::BlockStart, true, 11},
        {"other block name", "\\begin{ab}\n", 0, "a", TagKind::BlockStart, false, 0},
        {"longer name asked", "\\begin{a}\n", 0, "ab", TagKind::BlockStart, false, 0},
        {"block end wanted, start found", "\\begin{a}\n", 0, "a", TagKind::BlockEnd, false, 0},
        {"block end", "\\end{a}\n", 0, "a", TagKind::BlockEnd, true, 7},
        {"block start wanted, end found", "\\end{a}\n", 0, "a", TagKind::BlockStart, false, 0},
        {"group", "\\item{x\0}\n"s, 0, "item", TagKind::GroupStart, true, 6},
        {"group with other name", "\\items{x\0}\n"s, 0, "item", TagKind::GroupStart, false, 0},
        {"group wanted, block found", "\\begin{item}\n", 0, "item", TagKind::GroupStart, false, 0},
        {"block wanted, group found", "\\item{x\0}\n"s, 0, "item", TagKind::BlockStart, false, 0},
        {"only the next tag is looked at", "\\begin{a}\n\\begin{b}\n", 0, "b", TagKind::BlockStart,
         false, 0},
        {"comments skipped", "# one\n\t# two \\begin{b}\n\\begin{b}\n", 0, "b", TagKind::BlockStart,
         true, 32},
        {"# inside a line starts a comment", "x # \\begin{b}\n\\begin{b}\n", 0, "b",
         TagKind::BlockStart, true, 23},
        {"comment without newline", "# \\begin{b}", 0, "b", TagKind::BlockStart, false, 0},
        {"from the middle", "\\begin{a}\n\\begin{b}\n", 9, "b", TagKind::BlockStart, true, 19},
        {"end of file", "\n\n", 0, "a", TagKind::BlockStart, false, 0},
        {"empty input", "", 0, "a", TagKind::GroupStart, false, 0},
        {"at end", "\\begin{a}\n", 10, "a", TagKind::BlockStart, false, 10},
        {"no closing brace", "\\begin{a", 0, "a", TagKind::BlockStart, false, 0},
        {"no opening brace", "\\item", 0, "item", TagKind::GroupStart, false, 0},
        {"group end", "}\n", 0, "", TagKind::GroupEnd, true, 1},
        {"group end ignores the name", "}\n", 0, "whatever", TagKind::GroupEnd, true, 1},
        {"group end not next", "\t}\n", 0, "", TagKind::GroupEnd, false, 0},
        {"group end at end", "", 0, "", TagKind::GroupEnd, false, 0},
        {"eof group", "\\eof{}\n", 0, "eof", TagKind::GroupStart, true, 5},
    };
    for (const auto& c : cases) {
        TaggedReader reader = TaggedReader::fromBytes(c.input);
        reader.setPosition(c.start);
        EXPECT_EQ(reader.findTag(c.name, c.kind), c.found) << c.what;
        EXPECT_EQ(reader.position(), c.end) << c.what;
    }
}

TEST(TaggedReader, CommentWithBackslashIsSkippedEntirely) {
    const std::string bytes = written([](TaggedWriter& w) {
        w.writeComment("see \\begin{secret} and \\item{ in C:\\Kelo");
        w.writeComment("\\end{company}", 2);
        w.writeTag("item", TagKind::GroupStart);
        w.writeValue("v");
        w.writeTag("", TagKind::GroupEnd);
    });
    TaggedReader reader = TaggedReader::fromBytes(bytes);
    EXPECT_FALSE(reader.findTag("secret", TagKind::BlockStart));
    EXPECT_FALSE(reader.findTag("company", TagKind::BlockEnd));
    ASSERT_TRUE(reader.findTag("item", TagKind::GroupStart));
    std::string value;
    EXPECT_TRUE(reader.readValue(value));
    EXPECT_EQ(value, "v");
}

TEST(TaggedReader, ItemLoopsStopAtTheBlockEnd) {
    const std::string bytes = written([](TaggedWriter& w) {
        w.writeTag("codes", TagKind::BlockStart, 0);
        for (int i = 0; i < 3; ++i) {
            w.writeTag("code", TagKind::GroupStart, 1);
            w.writeInt(i);
            w.writeTag("", TagKind::GroupEnd, 0);
        }
        w.writeTag("codes", TagKind::BlockEnd, 0);
        w.writeTag("rest", TagKind::BlockStart, 0);
    });
    TaggedReader reader = TaggedReader::fromBytes(bytes);
    ASSERT_TRUE(reader.findTag("codes", TagKind::BlockStart));
    std::vector<int> codes;
    int code = 0;
    while (reader.findTag("code", TagKind::GroupStart)) {
        ASSERT_TRUE(reader.readInt(code));
        codes.push_back(code);
        ASSERT_TRUE(reader.findTag("", TagKind::GroupEnd));
    }
    EXPECT_EQ(codes, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(reader.findTag("missing", TagKind::BlockStart)); // optional section
    EXPECT_TRUE(reader.findTag("codes", TagKind::BlockEnd));
    EXPECT_TRUE(reader.findTag("rest", TagKind::BlockStart));
}

TEST(TaggedReader, ReadValueNeedsItsNul) {
    const struct {
        const char* what;
        std::string input;
        bool ok;
        std::string value;
        std::size_t end;
    } cases[] = {
        {"value", scramble("abc") + '\0' + "}", true, "abc", 4},
        {"empty value", "\0"s, true, "", 1},
        {"no nul", scramble("abc"), false, "", 0},
        {"empty input", "", false, "", 0},
        {"largest value", std::string(kMaxTaggedValue, 'x') + '\0', true,
         std::string(kMaxTaggedValue, unscrambleByte('x')), kMaxTaggedValue + 1},
        {"too long", std::string(kMaxTaggedValue + 1, 'x') + '\0', false, "", 0},
    };
    for (const auto& c : cases) {
        TaggedReader reader = TaggedReader::fromBytes(c.input);
        std::string value = "unchanged";
        EXPECT_EQ(reader.readValue(value), c.ok) << c.what;
        EXPECT_EQ(value, c.ok ? c.value : "unchanged") << c.what;
        EXPECT_EQ(reader.position(), c.end) << c.what;
    }
}

TEST(TaggedReader, ReadsNumbers) {
    const struct {
        std::string text;
        bool intOk;
        int intValue;
        bool shortOk;
        bool unsignedOk;
        bool doubleOk;
        double doubleValue;
    } cases[] = {
        {"0", true, 0, true, true, true, 0},
        {"-17", true, -17, true, false, true, -17},
        {" 42 ", true, 42, true, true, true, 42},
        {"65535", true, 65535, false, true, true, 65535},
        {"32767", true, 32767, true, true, true, 32767},
        {"-32769", true, -32769, false, false, true, -32769},
        {"2147483648", false, 0, false, false, true, 2147483648.0},
        {"1.500000", false, 0, false, false, true, 1.5},
        {"-0.250000", false, 0, false, false, true, -0.25},
        {"", false, 0, false, false, false, 0},
        {"abc", false, 0, false, false, false, 0},
        {"12abc", false, 0, false, false, false, 0},
        {"1 2", false, 0, false, false, false, 0},
    };
    for (const auto& c : cases) {
        const std::string bytes = scramble(c.text) + '\0';
        {
            TaggedReader reader = TaggedReader::fromBytes(bytes);
            int value = -1;
            EXPECT_EQ(reader.readInt(value), c.intOk) << c.text;
            EXPECT_EQ(value, c.intOk ? c.intValue : -1) << c.text; // untouched on failure
            EXPECT_EQ(reader.position(), c.intOk ? bytes.size() : 0) << c.text;
        }
        {
            TaggedReader reader = TaggedReader::fromBytes(bytes);
            short value = -1;
            EXPECT_EQ(reader.readShort(value), c.shortOk) << c.text;
            EXPECT_EQ(value, c.shortOk ? c.intValue : -1) << c.text;
        }
        {
            TaggedReader reader = TaggedReader::fromBytes(bytes);
            unsigned short value = 1;
            EXPECT_EQ(reader.readUnsignedShort(value), c.unsignedOk) << c.text;
            EXPECT_EQ(value, c.unsignedOk ? c.intValue : 1) << c.text;
        }
        {
            TaggedReader reader = TaggedReader::fromBytes(bytes);
            double value = -1;
            EXPECT_EQ(reader.readDouble(value), c.doubleOk) << c.text;
            EXPECT_EQ(value, c.doubleOk ? c.doubleValue : -1) << c.text;
            EXPECT_EQ(reader.position(), c.doubleOk ? bytes.size() : 0) << c.text;
        }
    }
}

TEST(TaggedReader, TerminatorInTheLastTenBytes) {
    const std::string body = "# x\n\\fileid{" + scramble("k") + '\0' + "}\n";
    const struct {
        const char* what;
        std::string input;
        bool terminated;
    } cases[] = {
        {"eof", body + "\\eof{}\n", true},
        {"eos", body + "\\eos{}\n", true},
        {"eof after a block end", "\\end{a}\n\\eof{}\n", true},
        {"eof after a comment", "# some comment\n\\eof{}\n", true},
        {"carriage return line end", body + "\\eof{}\r\n", true},
        {"eof alone", "\\eof{}\n", true},
        {"neither", body + "\\end{a}\n", false},
        {"empty", "", false},
        {"eof too far from the end", body + "\\eof{}\n# trailing\n", false},
        {"other group", body + "\\eoq{}\n", false},
        {"cut after the brace", body + "\\eof{}", false},
        {"cut after the group start", body + "\\eof{", false},
        {"eof then junk", body + "\\eof{x\n", false},
    };
    for (const auto& c : cases) {
        TaggedReader reader = TaggedReader::fromBytes(c.input);
        reader.setPosition(3);
        EXPECT_EQ(reader.hasTerminator(), c.terminated) << c.what;
        EXPECT_EQ(reader.position(), std::min<std::size_t>(3, c.input.size())) << c.what;
    }
}

TEST(TaggedReader, SkipsTheFileId) {
    const std::string id =
        "\\fileid{" + scramble("P9") + '\0' + scramble("p") + '\0' + scramble("4.2") + '\0';
    const struct {
        const char* what;
        std::string input;
        bool ok;
        std::size_t end;
    } cases[] = {
        {"with closing brace", "# P9\n" + id + "}\n", true, 5 + id.size() + 1},
        {"without closing brace", "# P9\n" + id + "\n", true, 5 + id.size()},
        {"two values only", "\\fileid{" + scramble("P9") + '\0' + scramble("p") + '\0', false, 0},
        {"no fileid", "\\other{" + scramble("P9") + '\0', false, 0},
        {"empty", "", false, 0},
    };
    for (const auto& c : cases) {
        TaggedReader reader = TaggedReader::fromBytes(c.input);
        EXPECT_EQ(reader.skipFileId(), c.ok) << c.what;
        EXPECT_EQ(reader.position(), c.end) << c.what;
    }
}

TEST(TaggedReader, OpensOnlyReadableFiles) {
    TempDir dir;
    TaggedReader reader;
    EXPECT_FALSE(reader.open(dir.file("missing.txt")));
    EXPECT_FALSE(reader.isOpen());
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(reader.open(dir.file("folder")));
    writeBytes(dir.file("file.txt"), "\\eof{}\n");
    ASSERT_TRUE(reader.open(dir.file("file.txt")));
    EXPECT_EQ(reader.size(), 7u);
    EXPECT_TRUE(reader.hasTerminator());
    reader.close();
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.findTag("eof", TagKind::GroupStart));
}

// ---------------------------------------------------------------------------
// Identity check

std::string fileText(const std::string& kind, const std::string& storedPath,
                     const std::string& version, const std::string& end = "\\eof{}\n") {
    return written([&](TaggedWriter& w) {
               w.writePreamble(kind, storedPath, version);
               w.writeTag("data", TagKind::BlockStart, 0);
               w.writeTag("item", TagKind::GroupStart, 1);
               w.writeValue("x");
               w.writeTag("", TagKind::GroupEnd, 0);
               w.writeTag("data", TagKind::BlockEnd, 0);
           }) +
           end;
}

TEST(TaggedFileId, ExpectedVersions) {
    const struct {
        const char* kind;
        const char* version;
    } cases[] = {
        {"Backup", "4.2.4.3"},
        {"Application Configuration", "4.0"},
        {"Data Configuration", "4.0"},
        {"P10", "3.2"},
        {"Leave Report", "3.0.1"},
        {"Payroll Fields", "4.2"},
        {"Period Reports", "4.2"},
        {"Monthly Reports", "4.2"},
        {"Annual Reports", "4.2"},
        {"P9", "4.2"},
        {"YTD", "4.2"},
        {"Active Employees", "4.2"},
        {"Former Employees", "4.2"},
        {"Organisations", ""},
        {"CodeBase", ""},
        {"anything else", ""},
        {"period reports", ""}, // kinds compare exactly
    };
    for (const auto& c : cases)
        EXPECT_EQ(expectedVersion(c.kind), c.version) << c.kind;
    EXPECT_TRUE(isAcceptedVersion("Backup", "4.2.0.3"));
    EXPECT_FALSE(isAcceptedVersion("P9", "4.2.0.3"));
}

TEST(TaggedFileId, ChecksKindPathVersionAndTerminator) {
    const struct {
        const char* what;
        std::string kind;
        std::string version;
        bool moved;          // stored path is another folder's
        std::string end;     // what follows the body
        std::string message; // "" when the check passes; %p stands for the path
    } cases[] = {
        {"report in place", "Period Reports", "4.2", false, "\\eof{}\n", ""},
        {"report ending in eos", "Monthly Reports", "4.2", false, "\\eos{}\n", ""},
        {"report moved", "Period Reports", "4.2", true, "\\eof{}\n",
         "File  \"%p\" has been renamed or moved. Its original name and location were "
         "\"/elsewhere/file.rep\""},
        {"backup moved", "Backup", "4.2.4.3", true, "\\eof{}\n", ""},
        {"older backup", "Backup", "4.2.0.3", true, "\\eof{}\n", ""},
        {"application configuration moved", "Application Configuration", "4.0", true, "\\eof{}\n",
         ""},
        {"data configuration moved", "Data Configuration", "4.0", true, "\\eof{}\n",
         "File  \"%p\" has been renamed or moved. Its original name and location were "
         "\"/elsewhere/file.rep\""},
        {"backup of another version", "Backup", "4.2.4.2", false, "\\eof{}\n",
         "File \"%p\" is of version 4.2.4.2 while version 4.2.4.3 or 4.2.0.3 is required."},
        {"application configuration", "Application Configuration", "4.1", false, "\\eof{}\n",
         "File \"%p\" is of version 4.1 while version 4.0 is required."},
        {"data configuration", "Data Configuration", "4.2", false, "\\eof{}\n",
         "File \"%p\" is of version 4.2 while version 4.0 is required."},
        {"P10", "P10", "4.2", false, "\\eof{}\n",
         "File \"%p\" is of version 4.2 while version 3.2 is required."},
        {"P10 in place", "P10", "3.2", false, "\\eof{}\n", ""},
        {"leave report", "Leave Report", "3.0", false, "\\eof{}\n",
         "File \"%p\" is of version 3.0 while version 3.0.1 is required."},
        {"leave report in place", "Leave Report", "3.0.1", false, "\\eof{}\n", ""},
        {"P9", "P9", "4.20", false, "\\eof{}\n",
         "File \"%p\" is of version 4.20 while version 4.2 is required."},
        {"YTD", "YTD", "", false, "\\eof{}\n",
         "File \"%p\" is of version  while version 4.2 is required."},
        {"former employees", "Former Employees", "4.2", false, "\\eof{}\n", ""},
        {"organisations", "Organisations", "4.2", false, "\\eof{}\n",
         "File \"%p\" is of version 4.2 while version  is required."},
        {"organisations without version", "Organisations", "", false, "\\eof{}\n", ""},
        {"CodeBase", "CodeBase", "", false, "\\eos{}\n", ""},
        {"no terminator", "Period Reports", "4.2", false, "",
         "File \"%p\" has invalid terminator."},
        {"terminator too early", "Period Reports", "4.2", false, "\\eof{}\n# after it\n",
         "File \"%p\" has invalid terminator."},
        {"moved beats version", "P9", "1.0", true, "\\eof{}\n",
         "File  \"%p\" has been renamed or moved. Its original name and location were "
         "\"/elsewhere/file.rep\""},
        {"version beats terminator", "P9", "1.0", false, "",
         "File \"%p\" is of version 1.0 while version 4.2 is required."},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("file.rep");
        writeBytes(path,
                   fileText(c.kind, c.moved ? "/elsewhere/file.rep" : path, c.version, c.end));
        RecordingUi ui;
        EXPECT_EQ(checkFileId(ui, path), c.message.empty()) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty()) << c.what << ": " << ui.lastMessage();
            continue;
        }
        std::string expected = c.message;
        expected.replace(expected.find("%p"), 2, path);
        ASSERT_EQ(ui.messages.size(), 1u) << c.what;
        EXPECT_EQ(ui.messages[0].text, expected) << c.what;
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error) << c.what;
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok) << c.what;
        EXPECT_EQ(ui.messages[0].caption, "Kelo Roster") << c.what;
    }
}

TEST(TaggedFileId, ReportCopiedToAnotherFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("a"));
    std::filesystem::create_directory(dir.file("b"));
    const std::string original = dir.file("a/period.rep");
    const std::string copy = dir.file("b/period.rep");
    writeBytes(original, fileText("Period Reports", original, "4.2"));
    std::filesystem::copy_file(original, copy);

    RecordingUi ui;
    EXPECT_TRUE(checkFileId(ui, original));
    EXPECT_FALSE(checkFileId(ui, copy));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.lastMessage(), "File  \"" + copy +
                                    "\" has been renamed or moved. Its original name and "
                                    "location were \"" +
                                    original + "\"");
}

TEST(TaggedFileId, StoredPathIgnoresCaseAndSlashDirection) {
    TempDir dir;
    const std::string path = dir.file("Period.rep");
    std::string stored = path;
    std::transform(stored.begin(), stored.end(), stored.begin(), [](char c) {
        return c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    writeBytes(path, fileText("Period Reports", stored, "4.2"));
    RecordingUi ui;
    EXPECT_TRUE(checkFileId(ui, path)) << ui.lastMessage();

    writeBytes(path, fileText("Period Reports", stored + "x", "4.2"));
    EXPECT_FALSE(checkFileId(ui, path));
}

TEST(TaggedFileId, MissingAndUnknownFiles) {
    TempDir dir;
    const std::string missing = dir.file("missing.rep");
    const std::string unknown = dir.file("unknown.rep");
    const std::string empty = dir.file("empty.rep");
    writeBytes(unknown, "# just a comment\n\\begin{data}\n\\end{data}\n\\eof{}\n");
    writeBytes(empty, "");

    const struct {
        std::string path, message;
    } cases[] = {
        {missing, "Can't find \"" + missing + "\""},
        {unknown, "Format of " + unknown + " is unknown."},
        {empty, "Format of " + empty + " is unknown."},
    };
    for (const auto& c : cases) {
        RecordingUi ui;
        EXPECT_FALSE(checkFileId(ui, c.path)) << c.path;
        ASSERT_EQ(ui.messages.size(), 1u) << c.path;
        EXPECT_EQ(ui.messages[0].text, c.message);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(ui.messages[0].caption, kMessageCaption);
    }
}

TEST(TaggedFileId, FileCutShortAnywhereFails) {
    TempDir dir;
    const std::string path = dir.file("ytd.rep");
    for (const char* end : {"\\eof{}\n", "\\eos{}\n"}) {
        const std::string whole = fileText("YTD", path, "4.2", end);
        for (std::size_t size = 0; size < whole.size(); ++size) {
            writeBytes(path, whole.substr(0, size));
            RecordingUi ui;
            EXPECT_FALSE(checkFileId(ui, path)) << size;
            EXPECT_EQ(ui.messages.size(), 1u) << size;
        }
        writeBytes(path, whole);
        RecordingUi ui;
        EXPECT_TRUE(checkFileId(ui, path)) << ui.lastMessage();
    }
}

// ---------------------------------------------------------------------------
// Golden file

TEST(TaggedGolden, ExampleFileIsByteExact) {
    const std::string actual = written([](TaggedWriter& w) {
        w.writePreamble(fileKind::PeriodReports, "C:\\Kelo\\Data\\Period.rep", "4.2");
        w.writeTag("reports", TagKind::BlockStart, 0);
        w.writeComment("Payslip", 1);
        w.writeTag("report", TagKind::BlockStart, 1);
        w.writeTag("title", TagKind::GroupStart, 2);
        w.writeValue("Payslip {March}");
        w.writeValue("Zoë's\tline\nnext");
        w.writeTag("", TagKind::GroupEnd, 0);
        w.writeTag("column", TagKind::GroupStart, 2);
        w.writeInt(-12);
        w.writeShort(7);
        w.writeUnsignedShort(65535);
        w.writeDouble(103000.75);
        w.writeValue("");
        w.writeTag("", TagKind::GroupEnd, 0);
        w.writeTag("report", TagKind::BlockEnd, 1);
        w.writeTag("reports", TagKind::BlockEnd, 0);
        w.writeEof();
    });
    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path() / "golden" / "tagged_example.txt";
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(golden.parent_path());
        writeBytes(golden.string(), actual);
    }
    const std::string expected = readBytes(golden.string());
    if (actual != expected) {
        writeBytes("tagged_example.txt.actual", actual);
        FAIL() << "differs from " << golden << "; the output is in "
               << std::filesystem::absolute("tagged_example.txt.actual")
               << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    }
    RecordingUi ui;
    TaggedReader reader = TaggedReader::fromBytes(expected);
    EXPECT_TRUE(reader.skipFileId());
    EXPECT_TRUE(reader.hasTerminator());
}

} // namespace
} // namespace kelo::common
