// Speed of the table engine on a payroll-sized table: 20,000 employees of 40
// fields (about 400 bytes a record), tagged on UPPER(EMPNO) and LASTNAME.
// Every benchmark opens its table shared, as the program does, unless its
// comment says otherwise; each has an encrypted twin with the same work.

#include "engine/Code4.h"
#include "engine/Data4.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kelo::engine;

namespace {

constexpr long tableRows = 20000;

const std::vector<Field4Info>& employeeFields() {
    static const std::vector<Field4Info> fields{
        {"EMPNO", 'C', 19, 0},    {"LASTNAME", 'C', 20, 0},  {"FIRSTNAME", 'C', 15, 0},
        {"MIDDLE", 'C', 4, 0},    {"DEPT", 'C', 8, 0},       {"TITLE", 'C', 16, 0},
        {"ADDRESS", 'C', 20, 0},  {"CITY", 'C', 12, 0},      {"REGION", 'C', 10, 0},
        {"PHONE", 'C', 13, 0},    {"EMAIL", 'C', 20, 0},     {"TIN", 'C', 11, 0},
        {"NSSFNO", 'C', 10, 0},   {"BANKACC", 'C', 16, 0},   {"BANKNAME", 'C', 10, 0},
        {"HIRED", 'D', 8, 0},     {"ACTIVE", 'L', 1, 0},     {"BASIC", 'N', 12, 2},
        {"HOUSING", 'N', 10, 2},  {"TRANSPORT", 'N', 10, 2}, {"MEDICAL", 'N', 10, 2},
        {"OVERTIME", 'N', 10, 2}, {"BONUS", 'N', 10, 2},     {"PAYE", 'N', 10, 2},
        {"NSSF", 'N', 10, 2},     {"HESLB", 'N', 10, 2},     {"LOAN", 'N', 10, 2},
        {"NETPAY", 'N', 12, 2},   {"HOURS", 'N', 6, 1},      {"DAYS", 'I', 4, 0},
        {"LEAVE", 'I', 4, 0},     {"GRADE", 'I', 4, 0},      {"STEP", 'I', 4, 0},
        {"RATE", 'B', 8, 4},      {"FACTOR", 'B', 8, 4},     {"ADVANCE", 'B', 8, 2},
        {"SDL", 'N', 10, 2},      {"WCF", 'N', 10, 2},       {"COSTCTR", 'C', 6, 0},
        {"REMARK", 'C', 12, 0}};
    return fields;
}

const std::vector<Tag4Info>& employeeTags() {
    static const std::vector<Tag4Info> tags{{"EMPNO", "UPPER(EMPNO)", "", false, false},
                                            {"LASTNAME", "LASTNAME", "", false, false}};
    return tags;
}

// One engine handle per process, with a fixed key for the encrypted tables.
Code4& engine() {
    static Code4 code;
    static const bool keyed = [] {
        unsigned char key[32];
        for (unsigned i = 0; i < sizeof key; ++i)
            key[i] = static_cast<unsigned char>(0xA5 ^ (i * 13));
        return code.encryptInit(key, sizeof key);
    }();
    if (!keyed)
        std::abort();
    return code;
}

// A folder for this run's tables, removed at exit.
class BenchDir {
public:
    BenchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kelo-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~BenchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BenchDir(const BenchDir&) = delete;
    BenchDir& operator=(const BenchDir&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

BenchDir& benchDir() {
    static BenchDir dir;
    return dir;
}

void removeTable(const std::string& path) {
    const std::string stem = path.substr(0, path.size() - 4);
    for (const char* ext : {".dbf", ".cdx", ".fpt", ".dbf.jnl"})
        std::filesystem::remove(stem + ext);
}

std::string employeeNumber(long index) {
    char text[32];
    std::snprintf(text, sizeof text, "TZ-%016ld", index * 7919 + 100003);
    return text;
}

// Row values prepared ahead, so appending measures the engine, not the data.
struct Row {
    std::string empno;
    std::string lastName;
    std::string firstName;
    std::string hired;
    double basic = 0;
    long grade = 0;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> all = [] {
        static const char* lastNames[] = {"Mwakyusa", "Kimaro", "Massawe", "Mushi", "Njau",
                                          "Lyimo",    "Mrema",  "Shirima", "Temba", "Swai"};
        static const char* firstNames[] = {"Neema", "Baraka", "Upendo", "Juma", "Rehema",
                                           "Amani", "Zawadi", "Hamisi", "Asha", "Faraji"};
        std::vector<long> order(tableRows);
        for (long i = 0; i < tableRows; ++i)
            order[static_cast<std::size_t>(i)] = i;
        std::mt19937 random(20240601);
        std::shuffle(order.begin(), order.end(), random);
        std::vector<Row> out;
        out.reserve(order.size());
        for (long i : order) {
            Row row;
            row.empno = employeeNumber(i);
            row.lastName = lastNames[i % 10] + std::to_string(i % 997);
            row.firstName = firstNames[(i / 10) % 10];
            row.hired = "20" + std::to_string(10 + i % 14) + "0" + std::to_string(1 + i % 9) + "15";
            row.basic = 450000.0 + static_cast<double>(i % 5000) * 123.45;
            row.grade = 1 + i % 12;
            out.push_back(std::move(row));
        }
        return out;
    }();
    return all;
}

void assignRow(Data4& table, const Row& row) {
    table.field(1)->assign(row.empno);
    table.field(2)->assign(row.lastName);
    table.field(3)->assign(row.firstName);
    table.field(4)->assign("M.");
    table.field(5)->assign("FIN");
    table.field(6)->assign("Accountant");
    table.field(7)->assign("Plot 12, Samora Avenue");
    table.field(8)->assign("Dar es Salaam");
    table.field(9)->assign("Ilala");
    table.field(10)->assign("+255712000000");
    table.field(11)->assign("staff@example.co.tz");
    table.field(12)->assign("123-456-789");
    table.field(13)->assign("NSSF00123");
    table.field(14)->assign("0150123456789");
    table.field(15)->assign("CRDB");
    table.field(16)->assign(row.hired);
    table.field(17)->assignLogical(true);
    table.field(18)->assignDouble(row.basic);
    for (int f = 19; f <= 27; ++f)
        table.field(f)->assignDouble(row.basic * 0.01 * f);
    table.field(28)->assignDouble(row.basic * 0.8);
    table.field(29)->assignDouble(176.5);
    table.field(30)->assignLong(22);
    table.field(31)->assignLong(28);
    table.field(32)->assignLong(row.grade);
    table.field(33)->assignLong(3);
    table.field(34)->assignDouble(1.2345);
    table.field(35)->assignDouble(0.875);
    table.field(36)->assignDouble(15000.0);
    table.field(37)->assignDouble(row.basic * 0.035);
    table.field(38)->assignDouble(row.basic * 0.005);
    table.field(39)->assign("CC01");
    table.field(40)->assign("Permanent");
}

// Creates and fills a table the way the program does: shared, one append per row.
std::unique_ptr<Data4> createFilled(const std::string& path, bool encrypted) {
    Code4& code = engine();
    code.encryptFile(encrypted);
    auto table = Data4::create(code, path, employeeFields(), employeeTags());
    code.encryptFile(false);
    if (!table)
        return nullptr;
    for (const Row& row : rows()) {
        table->appendStart();
        table->blank();
        assignRow(*table, row);
        if (table->append() != r4success)
            return nullptr;
    }
    if (table->flush() != r4success)
        return nullptr;
    return table;
}

// The shared 20,000-row table the reading benchmarks use, built once.
const std::string& readyTable(bool encrypted) {
    static std::string paths[2];
    std::string& path = paths[encrypted ? 1 : 0];
    if (path.empty()) {
        path = benchDir().file(encrypted ? "staff_enc.dbf" : "staff.dbf");
        if (!createFilled(path, encrypted))
            std::abort();
    }
    return path;
}

std::unique_ptr<Data4> openWithTag(const std::string& path) {
    auto table = Data4::open(engine(), path);
    if (!table || table->select("EMPNO") != r4success)
        std::abort();
    return table;
}

std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // large blocks are mmapped apart from the arena
}

// Shared open: create, append every row, flush; closing is not timed.
void appendRows(benchmark::State& state, bool encrypted) {
    rows();
    const std::string path = benchDir().file(encrypted ? "append_enc.dbf" : "append.dbf");
    for (auto _ : state) {
        state.PauseTiming();
        removeTable(path);
        state.ResumeTiming();
        auto table = createFilled(path, encrypted);
        if (!table) {
            state.SkipWithError("append failed");
            break;
        }
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}

// Shared open until the key tag answers a seek (both tags are built then).
// Also reports the heap the open, indexed table costs against its file size.
void openIndexed(benchmark::State& state, bool encrypted) {
    const std::string& path = readyTable(encrypted);
    const std::string key = rows()[rows().size() / 2].empno;
    {
        const std::size_t before = heapInUse();
        auto table = openWithTag(path);
        table->seek(key);
        const std::size_t after = heapInUse();
        const auto fileBytes = static_cast<double>(std::filesystem::file_size(path));
        const double heap = static_cast<double>(after > before ? after - before : 0);
        state.counters["heap_bytes"] = heap;
        state.counters["dbf_bytes"] = fileBytes;
        state.counters["heap_per_dbf"] = heap / fileBytes;
    }
    for (auto _ : state) {
        auto table = openWithTag(path);
        if (table->seek(key) != r4success) {
            state.SkipWithError("seek missed");
            break;
        }
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
}

// Shared open; one seek of a random existing key per iteration.
void seekKeys(benchmark::State& state, bool encrypted) {
    auto table = openWithTag(readyTable(encrypted));
    std::vector<std::string> keys;
    for (const Row& row : rows())
        keys.push_back(row.empno);
    std::mt19937 random(7);
    std::shuffle(keys.begin(), keys.end(), random);
    table->seek(keys.front());
    std::size_t next = 0;
    for (auto _ : state) {
        if (table->seek(keys[next]) != r4success) {
            state.SkipWithError("seek missed");
            break;
        }
        next = next + 1 == keys.size() ? 0 : next + 1;
    }
}

// Shared open; ten fields of every row in key order.
void scanRows(benchmark::State& state, bool encrypted) {
    auto table = openWithTag(readyTable(encrypted));
    table->top();
    const int wanted[] = {1, 2, 3, 6, 16, 17, 18, 28, 32, 34};
    for (auto _ : state) {
        long seen = 0;
        double sum = 0;
        for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip()) {
            for (int position : wanted) {
                const Field4* field = table->field(position);
                switch (field->type()) {
                case 'C':
                case 'D':
                    benchmark::DoNotOptimize(field->str());
                    break;
                case 'L':
                    sum += field->getLogical() ? 1 : 0;
                    break;
                default:
                    sum += field->getDouble();
                }
            }
            ++seen;
        }
        benchmark::DoNotOptimize(sum);
        if (seen != tableRows) {
            state.SkipWithError("scan saw the wrong number of rows");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}

// Shared open; go to a random record, lock it, change three fields (none a
// tag key), write, unlock. Random records include those that straddle a
// page and therefore go through the journal.
void lockUpdate(benchmark::State& state, bool encrypted) {
    auto table = openWithTag(readyTable(encrypted));
    table->select(nullptr);
    std::mt19937 random(11);
    std::uniform_int_distribution<long> pick(1, tableRows);
    Field4* basic = table->field("BASIC");
    Field4* hours = table->field("HOURS");
    Field4* remark = table->field("REMARK");
    double value = 500000;
    for (auto _ : state) {
        const long recNo = pick(random);
        if (table->go(recNo) != r4success || table->lock(recNo) != r4success) {
            state.SkipWithError("lock failed");
            break;
        }
        value += 1;
        basic->assignDouble(value);
        hours->assignDouble(160.5);
        remark->assign("Reviewed");
        if (table->flush() != r4success || table->unlock() != r4success) {
            state.SkipWithError("write failed");
            break;
        }
    }
}

void BM_EngineAppend(benchmark::State& state) {
    appendRows(state, false);
}
void BM_EngineAppendEncrypted(benchmark::State& state) {
    appendRows(state, true);
}
void BM_EngineOpenIndexed(benchmark::State& state) {
    openIndexed(state, false);
}
void BM_EngineOpenIndexedEncrypted(benchmark::State& state) {
    openIndexed(state, true);
}
void BM_EngineSeek(benchmark::State& state) {
    seekKeys(state, false);
}
void BM_EngineSeekEncrypted(benchmark::State& state) {
    seekKeys(state, true);
}
void BM_EngineScan(benchmark::State& state) {
    scanRows(state, false);
}
void BM_EngineScanEncrypted(benchmark::State& state) {
    scanRows(state, true);
}
void BM_EngineLockUpdate(benchmark::State& state) {
    lockUpdate(state, false);
}
void BM_EngineLockUpdateEncrypted(benchmark::State& state) {
    lockUpdate(state, true);
}

} // namespace

BENCHMARK(BM_EngineAppend)->Arg(tableRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineAppendEncrypted)->Arg(tableRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineOpenIndexed)->Arg(tableRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineOpenIndexedEncrypted)->Arg(tableRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineSeek)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineSeekEncrypted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineScan)->Arg(tableRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineScanEncrypted)->Arg(tableRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineLockUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineLockUpdateEncrypted)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
