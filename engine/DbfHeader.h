#pragma once

#include "engine/FieldDesc.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelo::engine {

// The fixed part and field descriptors of a Visual FoxPro table header.
// Reserved bytes 12-27 carry our own change counter and, for encrypted
// tables, the salt and a key check value; other readers ignore them.
struct DbfHeader {
    static constexpr std::size_t fixedSize = 32;
    static constexpr std::size_t descriptorSize = 32;
    static constexpr std::size_t backlinkSize = 263;
    static constexpr std::uint8_t versionFoxPro = 0x30;
    static constexpr std::uint8_t flagHasMemo = 0x02;

    std::uint8_t version = versionFoxPro;
    std::uint32_t recordCount = 0;
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    std::uint32_t changeCounter = 0;
    bool encrypted = false;
    std::uint32_t salt = 0;
    std::array<std::uint8_t, 4> keyCheck{};
    std::uint8_t tableFlags = 0;
    std::uint8_t codePage = 0x03;
    std::vector<FieldDesc> fields;

    bool hasMemo() const;
    // The whole header as written when a table is created, ending with the
    // terminator and the empty backlink area.
    std::string serialize() const;
    // The 32 fixed bytes with today's date.
    std::array<char, fixedSize> fixedBytes() const;
};

// Layout of a new table from its field list; false and a message when a
// definition is invalid (name, type, width, decimals, duplicates, size).
struct NewField {
    std::string name;
    char type = 'C';
    unsigned length = 0;
    unsigned decimals = 0;
};
bool layoutFields(const std::vector<NewField>& definitions, DbfHeader& header, std::string& error);

// Reads the fixed bytes and descriptors; checks that the header is sane and
// fits the file. Never reads past `bytes`.
enum class HeaderStatus { Ok, NeedMoreBytes, Invalid };
HeaderStatus parseHeader(const std::string& bytes, std::uint64_t fileSize, DbfHeader& header,
                         std::string& error);

// Byte offsets of the parts that change after creation.
namespace headeroffset {
inline constexpr std::uint64_t date = 1;
inline constexpr std::uint64_t recordCount = 4;
inline constexpr std::uint64_t changeCounter = 12;
// Non-zero while a journaled change is applied (reserved byte in other readers).
inline constexpr std::uint64_t pending = 30;
} // namespace headeroffset

std::uint32_t readLE32(const char* p);
void writeLE32(char* p, std::uint32_t value);
std::uint16_t readLE16(const char* p);
void writeLE16(char* p, std::uint16_t value);
std::uint32_t readBE32(const char* p);
void writeBE32(char* p, std::uint32_t value);

} // namespace kelo::engine
