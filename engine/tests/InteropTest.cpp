// Tables exchanged with python-dbf, an independent xBase implementation:
// what the engine writes must read back the same there, and the other way round.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#ifndef KELO_TEST_SOURCE_DIR
#error "KELO_TEST_SOURCE_DIR must name the folder holding the interop scripts"
#endif

namespace kelo::engine {
namespace {

using testsupport::TempDir;

// Debian's interpreter, the one python3-dbf is installed for.
constexpr const char* python = "/usr/bin/python3";

struct Row {
    bool deleted = false;
    std::string name;                // C(24), UTF-8 here, code page 1252 in the table
    std::optional<double> amount;    // N(12,2)
    std::optional<long> qty;         // N(5,0)
    std::optional<double> rate;      // F(10,4)
    std::optional<bool> active;      // L
    std::optional<std::string> born; // D as YYYY-MM-DD
    std::int32_t count = 0;          // I
    double score = 0;                // B
    std::string notes;               // M, UTF-8 here
};

const std::vector<Field4Info> engineFields = {
    {"NAME", 'C', 24, 0}, {"AMOUNT", 'N', 12, 2}, {"QTY", 'N', 5, 0},
    {"RATE", 'F', 10, 4}, {"ACTIVE", 'L', 1, 0},  {"BORN", 'D', 8, 0},
    {"COUNT", 'I', 4, 0}, {"SCORE", 'B', 8, 0},   {"NOTES", 'M', 4, 0},
};

// The same layout in python-dbf's notation.
constexpr const char* pythonFields = "NAME C(24); AMOUNT N(12,2); QTY N(5,0); RATE F(10,4); "
                                     "ACTIVE L; BORN D; COUNT I; SCORE B; NOTES M";

std::string longMemo() {
    std::string text;
    for (int line = 1; line <= 120; ++line) {
        text += "Line " + std::to_string(line) + "\tgross=" + std::to_string(line * 1000) +
                " \"quoted\" back\\slash M\xC3\xBCller caf\xC3\xA9";
        text += line % 10 == 0 ? "\r\n" : "\n";
    }
    return text;
}

std::vector<Row> sampleRows() {
    std::vector<Row> rows;
    rows.push_back({false, "Amina Juma", 1234.56, 42, 0.0625, true, "1985-07-09", 123456,
                    3.141592653589793, "Short note"});
    rows.push_back({false, "M\xC3\xBCller-Kessy", -1234.56, -7, -12.5, false, "2024-02-29",
                    -2147483647, -3.25e10, longMemo()});
    rows.push_back({}); // every field blank
    rows.push_back(
        {true, "Deleted Row", 1.0, 1, 1.0, true, "2000-01-01", 1, 1.0, "gone but readable"});
    rows.push_back({false, std::string(24, 'X'), 999999999.99, 99999, 99999.9999, true,
                    "1899-12-31", 2147483646, 1e-300, "\xC3\xA9"});
    rows.push_back({false, "O'Brien & Sons, Ltd.", -0.01, 0, 0.0001, false, "2038-01-19", 0, -0.5,
                    std::string(700, 'z')});
    return rows;
}

// Latin-1 range UTF-8 to single bytes, which code page 1252 shares.
std::string toCp1252(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[++i]);
            out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
        } else {
            ADD_FAILURE() << "sample text outside Latin-1";
        }
    }
    return out;
}

// Python's json.dumps(text, ensure_ascii=False).
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

// Python's '%.17g' % value.
std::string number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

template <typename T, typename F> std::string orNull(const std::optional<T>& value, F format) {
    return value ? format(*value) : std::string("null");
}

// The line interop_read.py prints for `row`.
std::string expectedLine(const Row& row) {
    std::vector<std::string> values = {
        "RECORD",
        row.deleted ? "*" : "-",
        jsonString(row.name.substr(0, row.name.find_last_not_of(' ') + 1)),
        orNull(row.amount, number),
        orNull(row.qty, [](long v) { return std::to_string(v); }),
        orNull(row.rate, number),
        orNull(row.active, [](bool v) { return std::string(v ? "true" : "false"); }),
        orNull(row.born, [](const std::string& v) { return v; }),
        std::to_string(row.count),
        number(row.score),
        jsonString(row.notes),
    };
    std::string line;
    for (const std::string& v : values)
        line += (line.empty() ? "" : "\t") + v;
    return line;
}

// The line interop_write.py reads for `row`.
std::string inputLine(const Row& row) {
    auto quoted = [](const std::string& v) { return jsonString(v); };
    std::vector<std::string> values = {
        jsonString(row.name),
        orNull(row.amount, number),
        orNull(row.qty, [](long v) { return std::to_string(v); }),
        orNull(row.rate, number),
        orNull(row.active, [](bool v) { return std::string(v ? "true" : "false"); }),
        orNull(row.born, quoted),
        std::to_string(row.count),
        number(row.score),
        jsonString(row.notes),
    };
    std::string line =
        std::string("{\"deleted\": ") + (row.deleted ? "true" : "false") + ", \"values\": [";
    for (std::size_t i = 0; i < values.size(); ++i)
        line += (i ? ", " : "") + values[i];
    return line + "]}";
}

std::string dateField(const std::string& iso) {
    return iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8, 2);
}

bool readFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    contents = buffer.str();
    return true;
}

struct ScriptRun {
    int status = -1;
    std::string out;
    std::string err;
};

ScriptRun runScript(const TempDir& dir, const std::string& script, const std::string& table,
                    const std::string& input = {}) {
    const std::string in = dir.file("script.in");
    const std::string out = dir.file("script.out");
    const std::string err = dir.file("script.err");
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = std::string(python) + " '" + KELO_TEST_SOURCE_DIR + "/" + script +
                                "' '" + table + "' < '" + in + "' > '" + out + "' 2> '" + err + "'";
    ScriptRun run;
    run.status = std::system(command.c_str());
    readFile(out, run.out);
    readFile(err, run.err);
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

bool pythonDbfAvailable() {
    const std::string command = std::string(python) + " -c 'import dbf' > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

void writeRow(Data4& table, const Row& row) {
    ASSERT_EQ(table.appendStart(), r4success);
    table.blank();
    table.field("NAME")->assign(toCp1252(row.name));
    if (row.amount)
        table.field("AMOUNT")->assignDouble(*row.amount);
    if (row.qty)
        table.field("QTY")->assignLong(*row.qty);
    if (row.rate)
        table.field("RATE")->assignDouble(*row.rate);
    if (row.active)
        table.field("ACTIVE")->assignLogical(*row.active);
    if (row.born)
        table.field("BORN")->assign(dateField(*row.born));
    table.field("COUNT")->assignLong(row.count);
    table.field("SCORE")->assignDouble(row.score);
    if (!row.notes.empty())
        table.field("NOTES")->memoAssign(toCp1252(row.notes));
    ASSERT_EQ(table.append(), r4success);
    if (row.deleted) {
        table.deleteRec();
        ASSERT_EQ(table.flush(), r4success);
    }
}

// Checks the engine's view of the current record against `row`.
void expectRecord(const Data4& table, const Row& row) {
    EXPECT_EQ(table.deleted(), row.deleted);
    EXPECT_EQ(table.field("NAME")->trimmed(), toCp1252(row.name));
    const Field4* amount = table.field("AMOUNT");
    if (row.amount)
        EXPECT_EQ(amount->getDouble(), *row.amount);
    else
        EXPECT_EQ(amount->trimmed(), "");
    const Field4* qty = table.field("QTY");
    if (row.qty)
        EXPECT_EQ(qty->getLong(), *row.qty);
    else
        EXPECT_EQ(qty->trimmed(), "");
    const Field4* rate = table.field("RATE");
    if (row.rate)
        EXPECT_EQ(rate->getDouble(), *row.rate);
    else
        EXPECT_EQ(rate->trimmed(), "");
    const Field4* active = table.field("ACTIVE");
    if (row.active)
        EXPECT_EQ(active->getLogical(), *row.active);
    else // python-dbf writes '?' for an unknown logical
        EXPECT_TRUE(active->str() == "?" || active->str() == " ") << active->str();
    EXPECT_EQ(table.field("BORN")->str(), row.born ? dateField(*row.born) : std::string(8, ' '));
    EXPECT_EQ(table.field("COUNT")->getLong(), row.count);
    EXPECT_EQ(table.field("SCORE")->getDouble(), row.score);
    EXPECT_EQ(table.field("NOTES")->str(), toCp1252(row.notes));
}

void expectPythonReads(const TempDir& dir, const std::string& path, const std::vector<Row>& rows) {
    const ScriptRun run = runScript(dir, "interop_read.py", path);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> got = lines(run.out);
    const std::vector<std::string> fieldLines = {
        "FIELD\tNAME\tC\t24\t0", "FIELD\tAMOUNT\tN\t12\t2", "FIELD\tQTY\tN\t5\t0",
        "FIELD\tRATE\tF\t10\t4", "FIELD\tACTIVE\tL\t1\t0",  "FIELD\tBORN\tD\t8\t0",
        "FIELD\tCOUNT\tI\t4\t0", "FIELD\tSCORE\tB\t8\t0",   "FIELD\tNOTES\tM\t4\t0",
    };
    ASSERT_EQ(got.size(), fieldLines.size() + rows.size()) << run.out << run.err;
    for (std::size_t i = 0; i < fieldLines.size(); ++i)
        EXPECT_EQ(got[i], fieldLines[i]);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(got[fieldLines.size() + i], expectedLine(rows[i])) << "record " << i + 1;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pythonDbfAvailable())
            GTEST_SKIP() << python << " cannot import dbf (Debian package python3-dbf)";
        ASSERT_FALSE(dir_.path().empty());
    }
    TempDir dir_;
};

TEST_F(Interop, PythonDbfReadsWhatTheEngineWrites) {
    const std::string path = dir_.file("staff.dbf");
    const std::vector<Row> rows = sampleRows();
    {
        Code4 code;
        auto table = Data4::create(code, path, engineFields);
        ASSERT_NE(table, nullptr) << code.errorText();
        for (const Row& row : rows)
            writeRow(*table, row);
        ASSERT_EQ(table->close(), r4success);
    }
    expectPythonReads(dir_, path, rows);
}

TEST_F(Interop, EngineReadsWhatPythonDbfWrites) {
    const std::string path = dir_.file("made_by_python.dbf");
    const std::vector<Row> rows = sampleRows();
    std::string input = std::string(pythonFields) + "\n";
    for (const Row& row : rows)
        input += inputLine(row) + "\n";
    const ScriptRun run = runScript(dir_, "interop_write.py", path, input);
    ASSERT_EQ(run.status, 0) << run.err;

    Code4 code;
    auto table = Data4::open(code, path);
    ASSERT_NE(table, nullptr) << code.errorText();
    ASSERT_EQ(table->fieldCount(), static_cast<int>(engineFields.size()));
    for (int i = 1; i <= table->fieldCount(); ++i) {
        const Field4Info& want = engineFields[static_cast<std::size_t>(i - 1)];
        const Field4* f = table->field(i);
        EXPECT_EQ(f->name(), want.name);
        EXPECT_EQ(f->type(), want.type);
        EXPECT_EQ(f->length(), want.length);
        EXPECT_EQ(f->decimals(), want.decimals);
    }
    ASSERT_EQ(table->recCount(), static_cast<long>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        ASSERT_EQ(table->go(static_cast<long>(i + 1)), r4success);
        expectRecord(*table, rows[i]);
    }
    EXPECT_EQ(code.errorCode(), 0) << code.errorText();
}

// python-dbf refuses a table without memo fields that has a memo file beside
// it, so replacing a table must not leave the old one's memo file behind.
TEST_F(Interop, PythonDbfReadsATableThatReplacedOneWithMemos) {
    const std::string path = dir_.file("replaced.dbf");
    Code4 code;
    {
        auto table = Data4::create(code, path, engineFields);
        ASSERT_NE(table, nullptr) << code.errorText();
        writeRow(*table, sampleRows()[0]);
    }
    code.safety = false;
    {
        auto table = Data4::create(code, path, {{"NAME", 'C', 24, 0}, {"QTY", 'N', 5, 0}});
        ASSERT_NE(table, nullptr) << code.errorText();
        ASSERT_EQ(table->appendStart(), r4success);
        table->blank();
        table->field("NAME")->assign("Only row");
        table->field("QTY")->assignLong(3);
        ASSERT_EQ(table->append(), r4success);
    }
    const ScriptRun run = runScript(dir_, "interop_read.py", path);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "FIELD\tNAME\tC\t24\t0\nFIELD\tQTY\tN\t5\t0\nRECORD\t-\t\"Only row\"\t3\n");
}

// The engine changes a table python-dbf made (its memo blocks are 128 bytes,
// not the engine's 64) and python-dbf reads the result.
TEST_F(Interop, PythonDbfReadsEngineChangesToItsTable) {
    const std::string path = dir_.file("shared.dbf");
    std::vector<Row> rows = sampleRows();
    std::string input = std::string(pythonFields) + "\n";
    for (const Row& row : rows)
        input += inputLine(row) + "\n";
    const ScriptRun run = runScript(dir_, "interop_write.py", path, input);
    ASSERT_EQ(run.status, 0) << run.err;
    {
        Code4 code;
        auto table = Data4::open(code, path);
        ASSERT_NE(table, nullptr) << code.errorText();
        ASSERT_EQ(table->go(1), r4success);
        rows[0].notes = "Rewritten by the engine, " + std::string(300, 'n');
        rows[0].amount = 77.7;
        table->field("NOTES")->memoAssign(rows[0].notes);
        table->field("AMOUNT")->assignDouble(*rows[0].amount);
        ASSERT_EQ(table->go(3), r4success);
        rows[2].deleted = true;
        table->deleteRec();
        rows.push_back({false, "Appended", 5.5, 5, 5.5, true, "2025-06-30", 5, 5.5,
                        "appended memo caf\xC3\xA9"});
        writeRow(*table, rows.back());
        ASSERT_EQ(table->close(), r4success);
    }
    expectPythonReads(dir_, path, rows);
}

} // namespace
} // namespace kelo::engine
