#pragma once

#include "common/Ui.h"

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace kelo::common {

// The tagged text files (configurations, backups, reports, P9/P10 ...):
// `\begin{NAME}` / `\end{NAME}` blocks, `\NAME{` value groups holding
// NUL-terminated scrambled values and closed by `}`, `# ` comment lines and a
// closing `\eof{}` or `\eos{}`. Old files must stay readable, so every byte
// written here is fixed forever.

enum class TagKind { BlockStart = 0, BlockEnd = 1, GroupStart = 2, GroupEnd = 3 };

// Values longer than this are neither written nor read, which bounds the
// memory a damaged file can make the reader take.
inline constexpr std::size_t kMaxTaggedValue = std::size_t{1} << 20;
// Files are small; a larger one is refused rather than read into memory.
inline constexpr std::size_t kMaxTaggedFile = std::size_t{256} << 20;

// Byte i is what character 32 + i becomes inside a written value. A
// permutation of the 95 printable characters; changing it makes every
// existing file unreadable.
inline constexpr std::string_view kScrambleTable =
    "B} JI?NmwC+7c{Q<6,`Dp'^\"*e[r~bX8St$!;4YykLs2R_]u5Fv.(1f-3gxon#=:T%zOqGli@0&KahE|M)PdW9HV>"
    "jA\\UZ/";

// Bytes outside 32..126 pass through unchanged.
char scrambleByte(char c);
char unscrambleByte(char c);
std::string scramble(std::string_view text);
std::string unscramble(std::string_view text);

// The kinds named by the identity group of each file.
namespace fileKind {
inline constexpr const char* Backup = "Backup";
inline constexpr const char* ApplicationConfiguration = "Application Configuration";
inline constexpr const char* DataConfiguration = "Data Configuration";
inline constexpr const char* PayrollFields = "Payroll Fields";
inline constexpr const char* PeriodReports = "Period Reports";
inline constexpr const char* MonthlyReports = "Monthly Reports";
inline constexpr const char* AnnualReports = "Annual Reports";
inline constexpr const char* P9 = "P9";
inline constexpr const char* P10 = "P10";
inline constexpr const char* Ytd = "YTD";
inline constexpr const char* LeaveReport = "Leave Report";
inline constexpr const char* ActiveEmployees = "Active Employees";
inline constexpr const char* FormerEmployees = "Former Employees";
inline constexpr const char* Organisations = "Organisations";
inline constexpr const char* CodeBase = "CodeBase";
} // namespace fileKind

// The version a file of `kind` is written with and must carry to be read
// ("" for kinds without one). Backups also accept kOlderBackupVersion.
std::string expectedVersion(std::string_view kind);
inline constexpr const char* kOlderBackupVersion = "4.2.0.3";
bool isAcceptedVersion(std::string_view kind, std::string_view version);

// The three values of the `fileid` group.
struct FileId {
    std::string kind;
    std::string path; // where the file was written
    std::string version;
};

// Writes one tagged file. Every write reports failure by returning false;
// once a write fails, good() stays false until the next open().
class TaggedWriter {
public:
    enum class Mode {
        Create,  // replaces an existing file as it goes (large files: backups)
        Append,  // files that end in \eos{} get later sections added
        Replace, // the old file stays until close() puts the new one whole in its place
    };

    TaggedWriter() = default;
    explicit TaggedWriter(const std::string& path, Mode mode = Mode::Create) { open(path, mode); }

    bool open(const std::string& path, Mode mode = Mode::Create);
    bool isOpen() const { return file_ != nullptr || replacing_; }
    bool good() const { return isOpen() && good_; }
    // Flushes and closes; false when any write or the flush failed.
    bool close();
    // Hands what was written so far to the file system, so that its size and
    // the drive's free space count it.
    bool flush();
    const std::string& path() const { return path_; }

    // `level` tabs, then the tag. The name is ignored for GroupEnd; writers
    // pass level 0 there so that `}` follows the last value directly. Names
    // must be printable without blanks, `\`, `{`, `}` or `#`.
    bool writeTag(std::string_view name, TagKind kind, int level = 0);
    // `# text`; each line of a text with line breaks becomes its own comment.
    bool writeComment(std::string_view text, int level = 0);
    // Refuses texts holding a NUL or longer than kMaxTaggedValue.
    bool writeValue(std::string_view text);
    bool writeInt(int value);                      // %d
    bool writeShort(short value);                  // %hd
    bool writeUnsignedShort(unsigned short value); // %hu
    bool writeDouble(double value);                // %f, six decimals
    bool writeEof();
    bool writeEos();
    // Bytes as they are, for blocks that copy a whole file line by line.
    bool writeRaw(std::string_view bytes) { return put(bytes); }
    // The opening of every file: comments with the kind and "[path]", an
    // empty comment, then \fileid{kind path version}.
    bool writePreamble(std::string_view kind, std::string_view path, std::string_view version);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    bool put(std::string_view bytes);

    std::unique_ptr<std::FILE, Closer> file_;
    std::string path_;
    bool good_ = false;
    bool replacing_ = false;
    std::string pending_; // Replace mode: the whole new file
};

// Reads a tagged file held in memory. A read that returns false leaves the
// position where it was, so callers may probe for optional sections.
class TaggedReader {
public:
    TaggedReader() = default;
    explicit TaggedReader(const std::string& path) { open(path); }
    static TaggedReader fromBytes(std::string bytes);

    // False when the file is missing, unreadable or larger than kMaxTaggedFile.
    bool open(const std::string& path);
    bool isOpen() const { return open_; }
    void close();

    std::size_t position() const { return pos_; }
    void setPosition(std::size_t position) {
        pos_ = position < data_.size() ? position : data_.size();
    }
    std::size_t size() const { return data_.size(); }
    // The whole file, for blocks that hold copied lines rather than values.
    std::string_view bytes() const { return data_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    // BlockStart, BlockEnd and GroupStart skip `#` comments to the next `\`
    // and compare only that tag; GroupEnd takes one `}`.
    bool findTag(std::string_view name, TagKind kind);
    // One value up to its NUL, unscrambled.
    bool readValue(std::string& out);
    // Numbers in the forms the writer uses; blanks around them are allowed.
    bool readInt(int& out);
    bool readShort(short& out);
    bool readUnsignedShort(unsigned short& out);
    bool readDouble(double& out);
    // A `\eof{` or `\eos{` group start in the last ten bytes, followed by its
    // `}` and the line end so that a file cut short anywhere fails. Keeps the
    // position.
    bool hasTerminator();
    // The fileid group and its `}` when that is the next byte.
    bool readFileId(FileId& out);
    bool skipFileId();

private:
    bool skipToBackslash();
    template <typename Number> bool readNumber(Number& out);

    std::string data_;
    std::size_t pos_ = 0;
    bool open_ = false;
};

// Tells the user through `ui` and returns false unless the file at `path` is
// a tagged file of a known version that was written at `path` (backups and
// the application configuration may move) and ends properly.
bool checkFileId(Ui& ui, const std::string& path);
// The same for a file addressed through the working folder: `path` is where
// it is read, `writtenAs` the relative path its identity group must name.
bool checkFileId(Ui& ui, const std::string& path, std::string_view writtenAs);

} // namespace kelo::common
