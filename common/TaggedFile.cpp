#include "common/TaggedFile.h"

#include "common/AtomicFile.h"
#include "common/Money.h"
#include "common/WorkingFolder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <system_error>
#include <utility>

namespace kelo::common {

namespace {

constexpr int kFirstPrintable = 32;
constexpr int kLastPrintable = 126;
static_assert(kScrambleTable.size() == kLastPrintable - kFirstPrintable + 1);

constexpr std::array<char, 95> makeUnscrambleTable() {
    std::array<char, 95> inverse{};
    for (std::size_t i = 0; i < kScrambleTable.size(); ++i) {
        const auto scrambled = static_cast<unsigned char>(kScrambleTable[i]);
        inverse[scrambled - kFirstPrintable] = static_cast<char>(i + kFirstPrintable);
    }
    return inverse;
}
constexpr std::array<char, 95> kUnscrambleTable = makeUnscrambleTable();

bool isPrintable(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= kFirstPrintable && code <= kLastPrintable;
}

bool validTagName(std::string_view name) {
    if (name.empty())
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return isPrintable(c) && c != ' ' && c != '\\' && c != '{' && c != '}' && c != '#';
    });
}

std::string tabs(int level) {
    return std::string(static_cast<std::size_t>(std::max(level, 0)), '\t');
}

template <typename Number> std::string integerText(Number value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

std::string_view trimBlanks(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

} // namespace

char scrambleByte(char c) {
    return isPrintable(c) ? kScrambleTable[static_cast<unsigned char>(c) - kFirstPrintable] : c;
}

char unscrambleByte(char c) {
    return isPrintable(c) ? kUnscrambleTable[static_cast<unsigned char>(c) - kFirstPrintable] : c;
}

std::string scramble(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = scrambleByte(c);
    return out;
}

std::string unscramble(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = unscrambleByte(c);
    return out;
}

std::string expectedVersion(std::string_view kind) {
    if (kind == fileKind::Backup)
        return "4.2.4.3";
    if (kind == fileKind::ApplicationConfiguration || kind == fileKind::DataConfiguration)
        return "4.0";
    if (kind == fileKind::P10)
        return "3.2";
    if (kind == fileKind::LeaveReport)
        return "3.0.1";
    for (const char* current :
         {fileKind::PayrollFields, fileKind::PeriodReports, fileKind::MonthlyReports,
          fileKind::AnnualReports, fileKind::P9, fileKind::Ytd, fileKind::ActiveEmployees,
          fileKind::FormerEmployees}) {
        if (kind == current)
            return "4.2";
    }
    return {};
}

bool isAcceptedVersion(std::string_view kind, std::string_view version) {
    if (version == expectedVersion(kind))
        return true;
    return kind == fileKind::Backup && version == kOlderBackupVersion;
}

// ---------------------------------------------------------------------------
// TaggedWriter

bool TaggedWriter::open(const std::string& path, Mode mode) {
    close();
    path_ = path;
    pending_.clear();
    if (mode == Mode::Replace) {
        replacing_ = true;
        good_ = true;
        return true;
    }
    file_.reset(std::fopen(path.c_str(), mode == Mode::Append ? "ab" : "wb"));
    good_ = file_ != nullptr;
    return good_;
}

bool TaggedWriter::close() {
    if (replacing_) {
        replacing_ = false;
        const bool ok = good_ && replaceFileAtomically(path_, pending_);
        pending_.clear();
        good_ = false;
        return ok;
    }
    if (!file_)
        return false;
    const bool flushed = std::fclose(file_.release()) == 0;
    const bool ok = good_ && flushed;
    good_ = false;
    return ok;
}

bool TaggedWriter::flush() {
    if (replacing_)
        return good_;
    if (!file_)
        return false;
    if (std::fflush(file_.get()) != 0)
        good_ = false;
    return good_;
}

bool TaggedWriter::put(std::string_view bytes) {
    if (replacing_) {
        if (good_)
            pending_.append(bytes);
        return good_;
    }
    if (!file_)
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
        good_ = false;
    return good_;
}

bool TaggedWriter::writeTag(std::string_view name, TagKind kind, int level) {
    if (kind == TagKind::GroupEnd)
        return put(tabs(level) + "}\n");
    if (!validTagName(name))
        return false;
    std::string text = tabs(level) + '\\';
    switch (kind) {
    case TagKind::BlockStart:
        text.append("begin{").append(name).append("}\n");
        break;
    case TagKind::BlockEnd:
        text.append("end{").append(name).append("}\n");
        break;
    default:
        text.append(name).append("{");
        break;
    }
    return put(text);
}

bool TaggedWriter::writeComment(std::string_view text, int level) {
    // A line break inside a comment would turn the rest of it into content.
    std::string lines;
    for (;;) {
        const auto end = text.find_first_of("\r\n");
        lines.append(tabs(level)).append("# ").append(text.substr(0, end)).append("\n");
        if (end == std::string_view::npos)
            break;
        const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
    return put(lines);
}

bool TaggedWriter::writeValue(std::string_view text) {
    if (text.size() > kMaxTaggedValue || text.find('\0') != std::string_view::npos)
        return false;
    std::string bytes = scramble(text);
    bytes.push_back('\0');
    return put(bytes);
}

bool TaggedWriter::writeInt(int value) {
    return writeValue(integerText(value));
}
bool TaggedWriter::writeShort(short value) {
    return writeValue(integerText(value));
}
bool TaggedWriter::writeUnsignedShort(unsigned short value) {
    return writeValue(integerText(value));
}
bool TaggedWriter::writeDouble(double value) {
    return writeValue(fixedText(value, 6));
}
bool TaggedWriter::writeEof() {
    return put("\\eof{}\n");
}
bool TaggedWriter::writeEos() {
    return put("\\eos{}\n");
}

bool TaggedWriter::writePreamble(std::string_view kind, std::string_view path,
                                 std::string_view version) {
    return writeComment(kind) && writeComment("[" + std::string(path) + "]") && writeComment({}) &&
           writeTag("fileid", TagKind::GroupStart) && writeValue(kind) && writeValue(path) &&
           writeValue(version) && writeTag({}, TagKind::GroupEnd);
}

// ---------------------------------------------------------------------------
// TaggedReader

TaggedReader TaggedReader::fromBytes(std::string bytes) {
    TaggedReader reader;
    reader.data_ = std::move(bytes);
    reader.open_ = true;
    return reader;
}

bool TaggedReader::open(const std::string& path) {
    close();
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    std::string bytes;
    std::array<char, 65536> chunk{};
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        if (bytes.size() + got > kMaxTaggedFile)
            return false;
        bytes.append(chunk.data(), got);
        if (got < chunk.size())
            break;
    }
    // Directories open on Linux but fail to read.
    if (std::ferror(file.get()))
        return false;
    data_ = std::move(bytes);
    open_ = true;
    return true;
}

void TaggedReader::close() {
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
    open_ = false;
}

bool TaggedReader::skipToBackslash() {
    while (pos_ < data_.size()) {
        const char c = data_[pos_];
        if (c == '\\') {
            ++pos_;
            return true;
        }
        if (c == '#') {
            const auto newline = data_.find('\n', pos_);
            if (newline == std::string::npos)
                break;
            pos_ = newline + 1;
        } else {
            ++pos_;
        }
    }
    pos_ = data_.size();
    return false;
}

bool TaggedReader::findTag(std::string_view name, TagKind kind) {
    const std::size_t start = pos_;
    if (kind == TagKind::GroupEnd) {
        if (pos_ < data_.size() && data_[pos_] == '}') {
            ++pos_;
            return true;
        }
        return false;
    }
    if (!skipToBackslash()) {
        pos_ = start;
        return false;
    }
    const std::string_view rest = std::string_view(data_).substr(pos_);
    bool match = false;
    if (kind == TagKind::GroupStart) {
        const auto brace = rest.find('{');
        if (brace != std::string_view::npos && rest.substr(0, brace) == name) {
            match = true;
            pos_ += brace + 1;
        }
    } else {
        const auto brace = rest.find('}');
        const std::string expected =
            (kind == TagKind::BlockStart ? "begin{" : "end{") + std::string(name) + "}";
        if (brace != std::string_view::npos && rest.substr(0, brace + 1) == expected) {
            match = true;
            pos_ += brace + 1;
        }
    }
    if (!match)
        pos_ = start;
    return match;
}

bool TaggedReader::readValue(std::string& out) {
    const auto nul = data_.find('\0', pos_);
    if (pos_ >= data_.size() || nul == std::string::npos || nul - pos_ > kMaxTaggedValue)
        return false;
    out = unscramble(std::string_view(data_).substr(pos_, nul - pos_));
    pos_ = nul + 1;
    return true;
}

template <typename Number> bool TaggedReader::readNumber(Number& out) {
    const std::size_t start = pos_;
    std::string text;
    if (!readValue(text))
        return false;
    const std::string_view digits = trimBlanks(text);
    Number value{};
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
        pos_ = start;
        return false;
    }
    out = value;
    return true;
}

bool TaggedReader::readInt(int& out) {
    return readNumber(out);
}
bool TaggedReader::readShort(short& out) {
    return readNumber(out);
}
bool TaggedReader::readUnsignedShort(unsigned short& out) {
    return readNumber(out);
}
bool TaggedReader::readDouble(double& out) {
    return readNumber(out);
}

bool TaggedReader::hasTerminator() {
    const std::size_t start = pos_;
    const std::size_t tail = data_.size() < 10 ? 0 : data_.size() - 10;
    bool found = false;
    for (const char* name : {"eof", "eos"}) {
        pos_ = tail;
        // Also wanting the `}` and the line end makes a file cut one or two
        // bytes short fail, as a file cut anywhere else does.
        if (findTag(name, TagKind::GroupStart) && findTag({}, TagKind::GroupEnd)) {
            const std::string_view rest = std::string_view(data_).substr(pos_);
            if (rest.starts_with("\n") || rest.starts_with("\r\n")) {
                found = true;
                break;
            }
        }
    }
    pos_ = start;
    return found;
}

bool TaggedReader::readFileId(FileId& out) {
    const std::size_t start = pos_;
    FileId id;
    if (!findTag("fileid", TagKind::GroupStart) || !readValue(id.kind) || !readValue(id.path) ||
        !readValue(id.version)) {
        pos_ = start;
        return false;
    }
    findTag({}, TagKind::GroupEnd);
    out = std::move(id);
    return true;
}

bool TaggedReader::skipFileId() {
    FileId ignored;
    return readFileId(ignored);
}

// ---------------------------------------------------------------------------

bool checkFileId(Ui& ui, const std::string& path) {
    return checkFileId(ui, path, path);
}

bool checkFileId(Ui& ui, const std::string& path, std::string_view writtenAs) {
    TaggedReader reader;
    if (!reader.open(path)) {
        ui.error("Can't find \"" + path + "\"");
        return false;
    }
    FileId id;
    if (!reader.findTag("fileid", TagKind::GroupStart) || !reader.readValue(id.kind) ||
        !reader.readValue(id.path) || !reader.readValue(id.version)) {
        ui.error("Format of " + path + " is unknown.");
        return false;
    }
    if (id.kind != fileKind::Backup && id.kind != fileKind::ApplicationConfiguration &&
        !WorkingFolder::samePath(id.path, writtenAs)) {
        // "File " keeps its blank and the format adds another.
        ui.error("File  \"" + path +
                 "\" has been renamed or moved. Its original name and location were \"" + id.path +
                 "\"");
        return false;
    }
    if (!isAcceptedVersion(id.kind, id.version)) {
        if (id.kind == fileKind::Backup) {
            ui.error("File \"" + path + "\" is of version " + id.version + " while version " +
                     expectedVersion(id.kind) + " or " + kOlderBackupVersion + " is required.");
        } else {
            ui.error("File \"" + path + "\" is of version " + id.version + " while version " +
                     expectedVersion(id.kind) + " is required.");
        }
        return false;
    }
    if (!reader.hasTerminator()) {
        ui.error("File \"" + path + "\" has invalid terminator.");
        return false;
    }
    return true;
}

} // namespace kelo::common
