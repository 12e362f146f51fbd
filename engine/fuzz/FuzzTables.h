#pragma once

// Sample tables shared by the fuzzers and the seed generator, so that seeds
// match the tables the fuzzers build.

#include "engine/Code4.h"
#include "engine/Data4.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kelo::engine::fuzz {

// A folder of this process under /tmp, so parallel fuzzers never share files;
// removed when the fuzzer exits normally.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix) {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The key the fuzzers install, so encrypted seeds open.
inline void installKey(Code4& code) {
    unsigned char key[32];
    for (unsigned i = 0; i < sizeof key; ++i)
        key[i] = static_cast<unsigned char>(i * 7 + 1);
    code.encryptInit(key, sizeof key);
}

// A few rows over every field type, with tags of each flavour.
inline bool makeSampleTable(Code4& code, const std::string& path, bool withMemo, bool withTags) {
    std::vector<Field4Info> fields{{"NAME", 'C', 12, 0}, {"AMOUNT", 'N', 10, 2},
                                   {"HIRED", 'D', 8, 0}, {"ACTIVE", 'L', 1, 0},
                                   {"AGE", 'I', 4, 0},   {"RATE", 'B', 8, 3}};
    if (withMemo) {
        fields.push_back({"NOTES", 'M', 4, 0});
        fields.push_back({"BLOB", 'X', 4, 0});
    }
    std::vector<Tag4Info> tags;
    if (withTags) {
        tags = {{"NAME", "UPPER(NAME)", "", false, false},
                {"AMOUNT", "AMOUNT", "ACTIVE", false, false},
                {"HIRED", "DTOS(HIRED)+TRIM(NAME)", "", true, true}};
    }
    auto table = Data4::create(code, path, fields, tags);
    if (!table)
        return false;
    const char* names[] = {"mwajuma", "Baraka", "Neema", "baraka"};
    for (int i = 0; i < 4; ++i) {
        table->appendStart();
        table->blank();
        table->field("NAME")->assign(names[i]);
        table->field("AMOUNT")->assignDouble(1234.5 * (i - 1));
        table->field("HIRED")->assign(i == 2 ? "" : "2023061" + std::to_string(i));
        table->field("ACTIVE")->assignLogical(i % 2 == 0);
        table->field("AGE")->assignLong(20 + i);
        table->field("RATE")->assignDouble(0.125 * i);
        if (withMemo) {
            table->field("NOTES")->memoAssign(
                i == 1 ? "" : std::string(static_cast<std::size_t>(10 + 60 * i), 'n'));
            table->field("BLOB")->memoAssign(std::string(static_cast<std::size_t>(3 * i), '\x01'));
        }
        if (table->append() != r4success)
            return false;
    }
    table->go(3);
    table->deleteRec();
    return table->close() == r4success;
}

} // namespace kelo::engine::fuzz
