#pragma once

#include "engine/TableFile.h"

#include <cstdint>
#include <string>

namespace kelo::engine {

class TableCipher;

// The FoxPro memo file (.fpt): a 512-byte header holding the next free block
// and the block size, then blocks each starting with a type and a length.
// A memo is never rewritten in place: a new value goes to fresh blocks and
// the record then points at them, so a killed writer leaves either value.
class MemoFile {
public:
    static constexpr std::uint32_t defaultBlockSize = 64;
    static constexpr std::uint32_t headerSize = 512;

    static std::string pathFor(const std::string& tablePath);
    static bool createEmpty(const std::string& path);

    bool open(const std::string& path, bool writable, std::string& error);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }

    // Reads the memo at `block` (0 means empty); false when the block lies
    // outside the file or its length runs past the end.
    bool read(std::uint32_t block, std::string& out, const TableCipher* cipher) const;
    // Appends a new memo and returns its block (0 for an empty value).
    bool append(const std::string& data, bool binary, const TableCipher* cipher,
                std::uint32_t& block);

private:
    TableFile file_;
    std::uint32_t blockSize_ = defaultBlockSize;
};

} // namespace kelo::engine
