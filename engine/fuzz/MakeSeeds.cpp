// Writes the seed corpora of the engine fuzzers: `engine_fuzz_seeds <dir>`
// fills <dir>/table and <dir>/memo.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "engine/IndexFile.h"
#include "engine/MemoFile.h"
#include "engine/TableFile.h"
#include "engine/fuzz/FuzzTables.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace kelo::engine;

namespace {

std::string fileOrEmpty(const std::string& path) {
    std::string bytes;
    return readWholeFile(path, bytes) ? bytes : std::string();
}

void put16(std::string& out, std::size_t n) {
    out.push_back(static_cast<char>(n & 0xFF));
    out.push_back(static_cast<char>((n >> 8) & 0xFF));
}

bool writeSeed(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A table seed in the layout TableReaderFuzz reads.
std::string tableSeed(const std::string& dbfPath) {
    const std::string dbf = fileOrEmpty(dbfPath);
    const std::string fpt = fileOrEmpty(MemoFile::pathFor(dbfPath));
    std::string seed;
    put16(seed, dbf.size());
    put16(seed, fpt.size());
    return seed + dbf + fpt + fileOrEmpty(IndexFile::pathFor(dbfPath));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::filesystem::path work = out / "work~";
    std::filesystem::create_directories(out / "table");
    std::filesystem::create_directories(out / "memo");
    std::filesystem::create_directories(work);

    Code4 code;
    fuzz::installKey(code);
    code.safety = false;
    struct Variant {
        const char* name;
        bool memo;
        bool tags;
        bool encrypted;
    };
    bool ok = true;
    for (const Variant& v :
         {Variant{"full", true, true, false}, Variant{"encrypted", true, true, true},
          Variant{"plain", false, false, false}}) {
        const std::string path = (work / (std::string(v.name) + ".dbf")).string();
        code.encryptFile(v.encrypted);
        ok = ok && fuzz::makeSampleTable(code, path, v.memo, v.tags) &&
             writeSeed(out / "table" / v.name, tableSeed(path));
    }
    code.encryptFile(false);

    const std::string memoPath = (work / "m.dbf").string();
    ok = ok && fuzz::makeSampleTable(code, memoPath, true, false);
    // The last record's own NOTES block, which MemoReaderFuzz patches from its input.
    std::string block;
    if (auto table = Data4::open(code, memoPath); table && table->bottom() == r4success)
        block.assign(table->field("NOTES")->ptr(), 4);
    ok = ok && block.size() == 4;
    ok = ok && writeSeed(out / "memo" / "sample", block + fileOrEmpty(MemoFile::pathFor(memoPath)));
    std::filesystem::remove_all(work);
    return ok ? 0 : 1;
}
