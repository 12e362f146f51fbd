#include "engine/DbfHeader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <set>

namespace kelo::engine {

namespace {
constexpr std::array<char, 4> encryptedMagic{'K', 'R', 'E', '1'};
constexpr std::uint8_t descriptorFlagBinary = 0x04;
constexpr std::size_t maxFields = 255;
constexpr std::size_t maxRecordLength = 65500;

bool validName(const std::string& name) {
    if (name.empty() || name.size() > 10 || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Width rules of each type: fixed widths are forced, free ones are checked.
bool checkWidth(NewField& field, std::string& error) {
    switch (field.type) {
    case 'C':
        if (field.length < 1 || field.length > 254) {
            error = "character field " + field.name + " must be 1 to 254 wide";
            return false;
        }
        field.decimals = 0;
        return true;
    case 'N':
    case 'F':
        if (field.length < 1 || field.length > 20 ||
            (field.decimals > 0 && field.decimals + 2 > field.length)) {
            error = "numeric field " + field.name + " has an invalid width or decimals";
            return false;
        }
        return true;
    case 'L':
        field.length = 1;
        field.decimals = 0;
        return true;
    case 'D':
        field.length = 8;
        field.decimals = 0;
        return true;
    case 'I':
    case 'M':
    case 'X':
        field.length = 4;
        field.decimals = 0;
        return true;
    case 'B':
        field.length = 8;
        if (field.decimals > 18) {
            error = "double field " + field.name + " has too many decimals";
            return false;
        }
        return true;
    default:
        error = std::string("field ") + field.name + " has unknown type '" + field.type + "'";
        return false;
    }
}
} // namespace

std::uint32_t readLE32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8 |
           static_cast<std::uint32_t>(u[2]) << 16 | static_cast<std::uint32_t>(u[3]) << 24;
}

void writeLE32(char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint16_t readLE16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(u[0] | u[1] << 8);
}

void writeLE16(char* p, std::uint16_t value) {
    p[0] = static_cast<char>(value & 0xFF);
    p[1] = static_cast<char>(value >> 8);
}

std::uint32_t readBE32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[0]) << 24 | static_cast<std::uint32_t>(u[1]) << 16 |
           static_cast<std::uint32_t>(u[2]) << 8 | static_cast<std::uint32_t>(u[3]);
}

void writeBE32(char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
}

bool DbfHeader::hasMemo() const {
    return std::any_of(fields.begin(), fields.end(),
                       [](const FieldDesc& f) { return f.type == 'M' || f.type == 'X'; });
}

std::array<char, DbfHeader::fixedSize> DbfHeader::fixedBytes() const {
    std::array<char, DbfHeader::fixedSize> b{};
    b[0] = static_cast<char>(version);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    b[1] = static_cast<char>(local.tm_year % 100);
    b[2] = static_cast<char>(local.tm_mon + 1);
    b[3] = static_cast<char>(local.tm_mday);
    writeLE32(&b[4], recordCount);
    writeLE16(&b[8], headerLength);
    writeLE16(&b[10], recordLength);
    writeLE32(&b[12], changeCounter);
    if (encrypted) {
        writeLE32(&b[16], salt);
        std::memcpy(&b[20], keyCheck.data(), keyCheck.size());
        std::memcpy(&b[24], encryptedMagic.data(), encryptedMagic.size());
    }
    b[28] = static_cast<char>(tableFlags);
    b[29] = static_cast<char>(codePage);
    return b;
}

std::string DbfHeader::serialize() const {
    std::string out;
    out.reserve(headerLength);
    const auto fixed = fixedBytes();
    out.append(fixed.data(), fixed.size());
    for (const FieldDesc& f : fields) {
        std::array<char, DbfHeader::descriptorSize> d{};
        std::memcpy(d.data(), f.name.data(), std::min<std::size_t>(f.name.size(), 10));
        const bool storedAsMemo = f.type == 'X';
        d[11] = storedAsMemo ? 'M' : f.type;
        writeLE32(&d[12], f.offset);
        d[16] = static_cast<char>(f.length);
        d[17] = static_cast<char>(f.decimals);
        d[18] = static_cast<char>(f.binary || storedAsMemo ? descriptorFlagBinary : 0);
        out.append(d.data(), d.size());
    }
    out.push_back('\x0D');
    out.append(DbfHeader::backlinkSize, '\0');
    return out;
}

bool layoutFields(const std::vector<NewField>& definitions, DbfHeader& header, std::string& error) {
    if (definitions.empty() || definitions.size() > maxFields) {
        error = "a table needs 1 to 255 fields";
        return false;
    }
    header.fields.clear();
    std::set<std::string> names;
    std::uint32_t offset = 1;
    for (NewField field : definitions) {
        field.name = upper(field.name);
        field.type = static_cast<char>(std::toupper(static_cast<unsigned char>(field.type)));
        if (!validName(field.name)) {
            error = "invalid field name '" + field.name + "'";
            return false;
        }
        if (!names.insert(field.name).second) {
            error = "duplicate field name " + field.name;
            return false;
        }
        if (!checkWidth(field, error))
            return false;
        FieldDesc desc;
        desc.name = field.name;
        desc.type = field.type;
        desc.length = static_cast<std::uint16_t>(field.length);
        desc.decimals = static_cast<std::uint8_t>(field.decimals);
        desc.offset = offset;
        desc.binary = field.type == 'X';
        offset += field.length;
        header.fields.push_back(desc);
    }
    if (offset > maxRecordLength) {
        error = "record too long";
        return false;
    }
    header.recordLength = static_cast<std::uint16_t>(offset);
    header.headerLength = static_cast<std::uint16_t>(
        DbfHeader::fixedSize + DbfHeader::descriptorSize * header.fields.size() + 1 +
        DbfHeader::backlinkSize);
    header.tableFlags = header.hasMemo() ? DbfHeader::flagHasMemo : 0;
    return true;
}

HeaderStatus parseHeader(const std::string& bytes, std::uint64_t fileSize, DbfHeader& header,
                         std::string& error) {
    if (bytes.size() < DbfHeader::fixedSize) {
        if (fileSize < DbfHeader::fixedSize) {
            error = "file too short for a table header";
            return HeaderStatus::Invalid;
        }
        return HeaderStatus::NeedMoreBytes;
    }
    const char* b = bytes.data();
    header.version = static_cast<std::uint8_t>(b[0]);
    if (header.version != 0x30 && header.version != 0x31 && header.version != 0x32 &&
        header.version != 0x03) {
        error = "unsupported table version";
        return HeaderStatus::Invalid;
    }
    header.recordCount = readLE32(b + 4);
    header.headerLength = readLE16(b + 8);
    header.recordLength = readLE16(b + 10);
    header.changeCounter = readLE32(b + 12);
    header.encrypted = std::memcmp(b + 24, encryptedMagic.data(), encryptedMagic.size()) == 0;
    header.salt = readLE32(b + 16);
    std::memcpy(header.keyCheck.data(), b + 20, header.keyCheck.size());
    header.tableFlags = static_cast<std::uint8_t>(b[28]);
    header.codePage = static_cast<std::uint8_t>(b[29]);
    if (header.headerLength < DbfHeader::fixedSize + DbfHeader::descriptorSize + 1 ||
        header.headerLength > fileSize) {
        error = "table header length does not fit the file";
        return HeaderStatus::Invalid;
    }
    if (header.recordLength < 2) {
        error = "invalid record length";
        return HeaderStatus::Invalid;
    }
    const std::uint64_t needed =
        header.headerLength + static_cast<std::uint64_t>(header.recordCount) * header.recordLength;
    if (needed > fileSize) {
        error = "table file is shorter than its header claims";
        return HeaderStatus::Invalid;
    }
    if (bytes.size() < header.headerLength)
        return HeaderStatus::NeedMoreBytes;

    header.fields.clear();
    std::set<std::string> names;
    std::size_t pos = DbfHeader::fixedSize;
    std::uint32_t nextOffset = 1;
    while (true) {
        if (pos >= header.headerLength) {
            error = "field descriptors are not terminated";
            return HeaderStatus::Invalid;
        }
        if (b[pos] == '\x0D')
            break;
        if (pos + DbfHeader::descriptorSize > header.headerLength) {
            error = "field descriptor runs past the header";
            return HeaderStatus::Invalid;
        }
        const char* d = b + pos;
        FieldDesc f;
        f.name.assign(d, strnlen(d, 11));
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
        f.length = static_cast<unsigned char>(d[16]);
        f.decimals = static_cast<std::uint8_t>(d[17]);
        const std::uint8_t flags = static_cast<std::uint8_t>(d[18]);
        f.binary = (flags & descriptorFlagBinary) != 0;
        // dBASE writers leave the offset zero; fields then follow one another.
        std::uint32_t offset = readLE32(d + 12);
        if (offset == 0 || header.version == 0x03)
            offset = nextOffset;
        f.offset = offset;
        if (f.type == 'C' && header.version == 0x03)
            f.length = static_cast<std::uint16_t>(f.length | (f.decimals << 8));
        if (f.type == 'M' && f.binary && f.length == 4)
            f.type = 'X';
        // 64-bit sum: a huge stored offset must not wrap around into the record.
        if (f.name.empty() || f.length == 0 ||
            static_cast<std::uint64_t>(f.offset) + f.length > header.recordLength) {
            error = "field " + f.name + " does not fit the record";
            return HeaderStatus::Invalid;
        }
        if ((f.type == 'I' && f.length != 4) || (f.type == 'B' && f.length != 8) ||
            ((f.type == 'M' || f.type == 'X') && f.length != 4 && f.length != 10)) {
            error = "field " + f.name + " has an invalid width for its type";
            return HeaderStatus::Invalid;
        }
        if (!names.insert(upper(f.name)).second) {
            error = "duplicate field name " + f.name;
            return HeaderStatus::Invalid;
        }
        nextOffset = f.offset + f.length;
        header.fields.push_back(f);
        pos += DbfHeader::descriptorSize;
        if (header.fields.size() > maxFields) {
            error = "too many fields";
            return HeaderStatus::Invalid;
        }
    }
    if (header.fields.empty()) {
        error = "table has no fields";
        return HeaderStatus::Invalid;
    }
    return HeaderStatus::Ok;
}

} // namespace kelo::engine
