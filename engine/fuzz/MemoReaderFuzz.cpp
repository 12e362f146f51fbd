// Reads every memo of a small valid table whose .fpt file is fuzz input.
// Input layout: 4 bytes (little endian) that become the memo block of the
// last record's NOTES field, then the .fpt bytes.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "engine/DbfHeader.h"
#include "engine/TableFile.h"
#include "engine/fuzz/FuzzTables.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace kelo::engine;

namespace {

struct Template {
    std::string dir;
    std::string dbf;                 // the table file's bytes
    std::size_t lastNotesOffset = 0; // file offset of the last record's NOTES block
};

Code4& engine() {
    static Code4 code;
    return code;
}

Template& sample() {
    static Template t;
    return t;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Template& t = sample();
    static const fuzz::ScratchDir scratch("kelo-memo-fuzz");
    t.dir = scratch.path();
    Code4& code = engine();
    const std::string path = t.dir + "/m.dbf";
    if (!fuzz::makeSampleTable(code, path, true, false) || !readWholeFile(path, t.dbf))
        std::abort();
    auto table = Data4::open(code, path);
    if (!table || t.dbf.size() < DbfHeader::fixedSize)
        std::abort();
    const std::size_t headerLength = readLE16(t.dbf.data() + 8);
    const std::size_t recordLength = readLE16(t.dbf.data() + 10);
    t.lastNotesOffset = headerLength +
                        (static_cast<std::size_t>(table->recCount()) - 1) * recordLength +
                        table->field("NOTES")->desc().offset;
    if (t.lastNotesOffset + 4 > t.dbf.size())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Template& t = sample();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string dbf = t.dbf;
    if (input.size() >= 4) {
        dbf.replace(t.lastNotesOffset, 4, input.substr(0, 4));
        input.remove_prefix(4);
    }
    const std::string path = t.dir + "/m.dbf";
    writeFile(path, dbf);
    writeFile(t.dir + "/m.fpt", input);

    Code4& code = engine();
    code.setErrorCode(0);
    if (auto table = Data4::open(code, path)) {
        volatile std::size_t sink = 0;
        for (int rc = table->top(); rc == r4success && !table->eof(); rc = table->skip()) {
            for (const char* name : {"NOTES", "BLOB"}) {
                const Field4* field = table->field(name);
                sink = sink + field->str().size() + field->trimmed().size() + field->memoLen();
                sink = sink + static_cast<std::size_t>(field->getLong() & 1);
                sink = sink + (field->getDouble() > 0 ? 1u : 0u);
            }
        }
        table->close();
    }
    code.setErrorCode(0);
    return 0;
}
