#pragma once

#include <cstdint>
#include <string>

namespace kelo::engine {

// One column of a table as stored: name (upper case, at most 10 characters),
// xBase type letter, width in bytes within the record, decimals, and the
// byte offset of the field inside the record (the deletion flag is byte 0).
struct FieldDesc {
    std::string name;
    char type = 'C';
    std::uint16_t length = 0;
    std::uint8_t decimals = 0;
    std::uint32_t offset = 0;
    bool binary = false; // memo holding raw bytes (type 'X')
};

} // namespace kelo::engine
