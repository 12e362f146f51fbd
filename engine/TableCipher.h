#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kelo::engine {

// Encrypts record and memo bytes in place with AES-256. Records are rewritten
// in place at fixed positions, so each unit (a record or a memo block) is
// encrypted as a disk sector is: XTS with the unit number as tweak; units
// shorter than one AES block use CTR. Output length always equals input.
class TableCipher {
public:
    using Key = std::array<std::uint8_t, 32>;

    TableCipher(const Key& key, std::uint32_t salt);
    ~TableCipher();
    TableCipher(const TableCipher&) = delete;
    TableCipher& operator=(const TableCipher&) = delete;

    bool valid() const;
    void encrypt(std::uint64_t unit, char* data, std::size_t length) const;
    void decrypt(std::uint64_t unit, char* data, std::size_t length) const;

    // Four bytes stored in the table header: a table opened with another key
    // is refused instead of being read as garbage.
    static std::array<std::uint8_t, 4> keyCheck(const Key& key, std::uint32_t salt);
    static std::uint32_t randomSalt();

    // Units of memo blocks live apart from record numbers.
    static constexpr std::uint64_t memoUnitBase = 1ULL << 62;

private:
    struct Contexts;
    void crypt(bool encrypting, std::uint64_t unit, char* data, std::size_t length) const;
    std::unique_ptr<Contexts> contexts_;
    std::uint32_t salt_;
};

} // namespace kelo::engine
