// Builds the "source" folder of statutory tables that a new fiscal year is
// made from when no earlier year exists, from the readable figures kept in
// data/statutory/. Run by the build:
//     make_source_tables <figures folder> <output folder>
#include "database/tools/SourceData.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using namespace kelo;
using database::Schema;
using database::tools::CsvTable;

bool readText(const std::filesystem::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return true;
}

bool fail(const std::filesystem::path& path, const std::string& error) {
    std::fprintf(stderr, "make_source_tables: %s: %s\n", path.string().c_str(), error.c_str());
    return false;
}

bool loadCsv(const std::filesystem::path& path, CsvTable& table) {
    std::string text;
    std::string error;
    if (!readText(path, text))
        return fail(path, "cannot read");
    if (!database::tools::parseCsv(text, table, error))
        return fail(path, error);
    return true;
}

// Writes `count` records, each filled by `fill` with its index, into a new
// plain table of the schema; an older table of the same name is replaced.
bool writeTable(engine::Code4& code, const std::filesystem::path& path, const Schema& schema,
                std::size_t count, const std::function<void(engine::Data4&, std::size_t)>& fill) {
    auto table = engine::Data4::create(code, path.string(), schema.fields, schema.tags);
    if (!table)
        return fail(path, "cannot create: " + code.errorText());
    for (std::size_t i = 0; i < count; ++i) {
        table->appendStart();
        table->blank();
        fill(*table, i);
        if (table->append() != engine::r4success)
            return fail(path, "cannot write: " + code.errorText());
    }
    if (table->close() != engine::r4success)
        return fail(path, "cannot write: " + code.errorText());
    return true;
}

// Reads one figures file with `read` and writes its table.
template <typename Row>
bool build(engine::Code4& code, const std::filesystem::path& input,
           const std::filesystem::path& output, const Schema& schema,
           bool (*read)(const CsvTable&, std::vector<Row>&, std::string&),
           void (*store)(engine::Data4&, const Row&)) {
    CsvTable csv;
    std::vector<Row> rows;
    std::string error;
    if (!loadCsv(input, csv))
        return false;
    if (!read(csv, rows, error))
        return fail(input, error);
    return writeTable(code, output, schema, rows.size(),
                      [&](engine::Data4& table, std::size_t i) { store(table, rows[i]); });
}

template <typename Rec>
bool buildOne(engine::Code4& code, const std::filesystem::path& input,
              const std::filesystem::path& output, const Schema& schema,
              bool (*read)(const CsvTable&, Rec&, std::string&),
              void (*store)(engine::Data4&, const Rec&)) {
    CsvTable csv;
    Rec rec;
    std::string error;
    if (!loadCsv(input, csv))
        return false;
    if (!read(csv, rec, error))
        return fail(input, error);
    return writeTable(code, output, schema, 1,
                      [&](engine::Data4& table, std::size_t) { store(table, rec); });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_source_tables <figures folder> <output folder>\n");
        return 2;
    }
    const std::filesystem::path in = argv[1];
    const std::filesystem::path out = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        fail(out, "cannot create the folder");
        return 1;
    }

    engine::Code4 code;
    code.safety = false; // a rebuild replaces the tables of the last one
    using database::INCOMESDB;
    using database::NSSFDB;
    using database::PAYEDB;
    using database::PAYEPARAMDB;
    using database::SDLDB;
    namespace tools = database::tools;
    const bool ok =
        build(code, in / "paye.csv", out / PAYEDB::kFileName, PAYEDB::tableSchema(),
              &tools::readPayeBands, &PAYEDB::store) &&
        buildOne(code, in / "nssf.csv", out / NSSFDB::kFileName, NSSFDB::tableSchema(),
                 &tools::readNssfRates, &NSSFDB::store) &&
        buildOne(code, in / "sdl.csv", out / SDLDB::kFileName, SDLDB::tableSchema(),
                 &tools::readSdlRate, &SDLDB::store) &&
        buildOne(code, in / "payepara.csv", out / PAYEPARAMDB::kFileName,
                 PAYEPARAMDB::tableSchema(), &tools::readPayeParams, &PAYEPARAMDB::store) &&
        build(code, in / "incomes.csv", out / INCOMESDB::kFileName, INCOMESDB::tableSchema(),
              &tools::readIncomeBrackets, &INCOMESDB::store);
    return ok ? 0 : 1;
}
