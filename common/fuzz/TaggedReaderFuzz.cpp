// Reads fuzz input as a tagged file: walks it the way the program's readers
// do, checks it with checkFileId, and writes the NUL-separated pieces of the
// input back through the writer to see them read back unchanged.

#include "common/TaggedFile.h"
#include "testsupport/RecordingUi.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace kelo::common;

namespace {

// Files live in a folder of this process, so parallel fuzzers never share
// them; it goes when the fuzzer exits.
struct WorkDir {
    WorkDir() {
        std::string pattern = "/tmp/kelo-tagged-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~WorkDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const std::string& workDir() {
    static const WorkDir dir;
    return dir.path;
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

constexpr std::string_view kNames[] = {"fileid", "item", "data", "eof", "eos", "begin", ""};
constexpr TagKind kFindKinds[] = {TagKind::BlockStart, TagKind::BlockEnd, TagKind::GroupStart};

bool probe(TaggedReader& reader, std::string_view name, TagKind kind) {
    const std::size_t start = reader.position();
    const bool found = reader.findTag(name, kind);
    if (!found)
        require(reader.position() == start);
    else
        require(reader.position() > start && reader.position() <= reader.size());
    return found;
}

bool value(TaggedReader& reader, const std::string& bytes) {
    const std::size_t start = reader.position();
    std::string text;
    if (!reader.readValue(text)) {
        require(reader.position() == start);
        return false;
    }
    require(text.size() <= kMaxTaggedValue);
    require(reader.position() == start + text.size() + 1);
    require(scramble(text) == bytes.substr(start, text.size()));
    return true;
}

// Every number reader either consumes one value or leaves the position alone.
template <typename Number> void number(TaggedReader& reader, bool (TaggedReader::*read)(Number&)) {
    const std::size_t start = reader.position();
    Number out{};
    const bool ok = (reader.*read)(out);
    require(ok ? reader.position() > start : reader.position() == start);
    reader.setPosition(start);
}

void numbers(TaggedReader& reader) {
    number(reader, &TaggedReader::readInt);
    number(reader, &TaggedReader::readShort);
    number(reader, &TaggedReader::readUnsignedShort);
    number(reader, &TaggedReader::readDouble);
}

// The loops of the program's readers, resumed further on whenever nothing
// matches so that every tag in the input gets looked at.
void walk(const std::string& bytes) {
    TaggedReader reader = TaggedReader::fromBytes(bytes);
    reader.skipFileId();
    while (!reader.atEnd()) {
        const std::size_t start = reader.position();
        const bool terminated = reader.hasTerminator();
        require(reader.position() == start);
        (void)terminated;
        bool matched = false;
        for (std::string_view name : kNames) {
            for (TagKind kind : kFindKinds) {
                if (!probe(reader, name, kind))
                    continue;
                matched = true;
                if (kind != TagKind::GroupStart)
                    continue;
                for (int values = 0; values < 64 && !probe(reader, {}, TagKind::GroupEnd);
                     ++values) {
                    numbers(reader);
                    if (!value(reader, bytes))
                        break;
                }
            }
        }
        if (!matched) {
            value(reader, bytes);
            probe(reader, {}, TagKind::GroupEnd);
            // A search starting between these bytes ends as one from the next of them.
            const auto next = bytes.find_first_of(std::string_view("\\#}\n\0", 5), start + 1);
            reader.setPosition(next == std::string::npos ? bytes.size() : next);
        }
    }
}

void check(const std::string& bytes) {
    const std::string path = workDir() + "/input.rep";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    kelo::testsupport::RecordingUi ui;
    const bool ok = checkFileId(ui, path);
    require(ui.messages.size() == (ok ? 0u : 1u));
    if (!ok)
        require(ui.messages[0].icon == MessageIcon::Error &&
                ui.messages[0].caption == kMessageCaption);
}

void roundTrip(const std::string& bytes) {
    std::vector<std::string> pieces;
    for (std::size_t start = 0; start <= bytes.size() && pieces.size() < 32;) {
        const auto nul = bytes.find('\0', start);
        const std::size_t end = nul == std::string::npos ? bytes.size() : nul;
        pieces.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    const std::string path = workDir() + "/roundtrip.rep";
    {
        TaggedWriter writer(path);
        writer.writePreamble(fileKind::PeriodReports, path,
                             expectedVersion(fileKind::PeriodReports));
        writer.writeTag("data", TagKind::BlockStart, 0);
        for (const std::string& piece : pieces) {
            writer.writeComment(piece, 1);
            writer.writeTag("item", TagKind::GroupStart, 1);
            writer.writeValue(piece);
            writer.writeTag({}, TagKind::GroupEnd, 0);
        }
        writer.writeTag("data", TagKind::BlockEnd, 0);
        writer.writeEof();
        require(writer.close());
    }
    kelo::testsupport::RecordingUi ui;
    require(checkFileId(ui, path));
    TaggedReader reader(path);
    require(reader.skipFileId() && reader.findTag("data", TagKind::BlockStart));
    std::string text;
    for (const std::string& piece : pieces) {
        require(reader.findTag("item", TagKind::GroupStart) && reader.readValue(text));
        require(text == piece && reader.findTag({}, TagKind::GroupEnd));
    }
    require(!reader.findTag("item", TagKind::GroupStart));
    require(reader.findTag("data", TagKind::BlockEnd) && reader.hasTerminator());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    walk(bytes);
    check(bytes);
    roundTrip(bytes);
    return 0;
}
