// Opens a table built from fuzz input and reads all of it through the public
// API. Input layout: a 2-byte little-endian length of the .dbf bytes, a 2-byte
// length of the .fpt bytes, then the .dbf bytes, the .fpt bytes, and the rest
// as the .cdx tag-definition text. A zero length leaves that file out.

#include "engine/Code4.h"
#include "engine/Data4.h"
#include "engine/fuzz/FuzzTables.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

using namespace kelo::engine;

namespace {

const std::string& workDir() {
    static const fuzz::ScratchDir dir("kelo-table-fuzz");
    return dir.path();
}

Code4& engine() {
    static Code4 code;
    return code;
}

void writeOrRemove(const std::string& path, std::string_view bytes) {
    if (bytes.empty()) {
        ::unlink(path.c_str());
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::size_t takeLength(std::string_view& input) {
    if (input.size() < 2)
        return 0;
    const auto n = static_cast<std::size_t>(static_cast<unsigned char>(input[0]) |
                                            static_cast<unsigned char>(input[1]) << 8);
    input.remove_prefix(2);
    return n;
}

std::string_view takeBytes(std::string_view& input, std::size_t n) {
    const std::string_view part = input.substr(0, n);
    input.remove_prefix(part.size());
    return part;
}

// Reads every field of the current record the ways a caller would.
void readFields(Data4& table) {
    volatile std::size_t sink = 0;
    for (int i = 1; i <= table.fieldCount(); ++i) {
        const Field4* field = table.field(i);
        sink = sink + field->str().size() + field->trimmed().size();
        sink = sink + static_cast<std::size_t>(field->getLong() & 1);
        const double value = field->getDouble();
        sink = sink + (value > 0 ? 1u : 0u);
        sink = sink + field->getDateTime().size() + (field->getLogical() ? 1u : 0u);
        if (field->isMemo())
            sink = sink + field->memoLen();
    }
    sink = sink + (table.deleted() ? 1u : 0u);
}

// Walks the current order both ways; a walk longer than the table is a bug.
void walk(Data4& table) {
    const long limit = table.recCount() + 1;
    long steps = 0;
    for (int rc = table.top(); rc == r4success && !table.eof(); rc = table.skip()) {
        readFields(table);
        if (++steps > limit)
            std::abort();
    }
    steps = 0;
    for (int rc = table.bottom(); rc == r4success && !table.bof() && !table.eof();
         rc = table.skip(-1)) {
        if (++steps > limit)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t dbfLength = takeLength(input);
    const std::size_t fptLength = takeLength(input);
    const std::string_view dbf = takeBytes(input, dbfLength);
    const std::string_view fpt = takeBytes(input, fptLength);
    const std::string_view cdx = input;

    const std::string base = workDir() + "/t";
    writeOrRemove(base + ".dbf", dbf);
    writeOrRemove(base + ".fpt", fpt);
    writeOrRemove(base + ".cdx", cdx);
    ::unlink((base + ".dbf.jnl").c_str());

    Code4& code = engine();
    code.setErrorCode(0);
    {
        auto table = Data4::open(code, base + ".dbf");
        if (table) {
            walk(*table);
            for (Tag4* tag = table->tagNext(nullptr); tag; tag = table->tagNext(tag)) {
                table->select(tag);
                walk(*table);
                table->seek("A");
                table->seekDouble(1.0);
            }
            table->select(nullptr);
            table->close();
        }
    }
    code.setErrorCode(0);
    return 0;
}

// The seed generator's key, so encrypted seed tables open.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::installKey(engine());
    return 0;
}
