#include "engine/Journal.h"

#include <cstring>

namespace kelo::engine {

namespace {
constexpr char headMagic[4] = {'K', 'J', 'N', '1'};
constexpr char tailMagic[4] = {'K', 'J', 'N', 'E'};

std::uint64_t fnv1a(const char* data, std::size_t length) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 1099511628211ULL;
    }
    return hash;
}

template <typename T> void put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T> bool get(const std::string& in, std::size_t& pos, T& value) {
    if (pos > in.size() || in.size() - pos < sizeof value)
        return false;
    std::memcpy(&value, in.data() + pos, sizeof value);
    pos += sizeof value;
    return true;
}

bool apply(const TableFile& table, const Journal::Change& change) {
    for (const Journal::Write& w : change.writes) {
        if (!table.writeAt(w.offset, w.bytes.data(), w.bytes.size()))
            return false;
    }
    return change.newSize == 0 || table.truncate(change.newSize);
}
} // namespace

std::string Journal::encode(const Change& change) {
    std::string out(headMagic, sizeof headMagic);
    put<std::uint64_t>(out, change.newSize);
    put<std::uint32_t>(out, static_cast<std::uint32_t>(change.writes.size()));
    for (const Write& w : change.writes) {
        put<std::uint64_t>(out, w.offset);
        put<std::uint64_t>(out, w.bytes.size());
        out += w.bytes;
    }
    put<std::uint64_t>(out, fnv1a(out.data(), out.size()));
    out.append(tailMagic, sizeof tailMagic);
    return out;
}

bool Journal::decode(const std::string& bytes, Change& change) {
    const std::size_t trailer = sizeof(std::uint64_t) + sizeof tailMagic;
    if (bytes.size() < sizeof headMagic + trailer ||
        std::memcmp(bytes.data(), headMagic, sizeof headMagic) != 0 ||
        std::memcmp(bytes.data() + bytes.size() - sizeof tailMagic, tailMagic, sizeof tailMagic) !=
            0)
        return false;
    const std::size_t bodyLength = bytes.size() - trailer;
    std::uint64_t storedHash = 0;
    std::memcpy(&storedHash, bytes.data() + bodyLength, sizeof storedHash);
    if (storedHash != fnv1a(bytes.data(), bodyLength))
        return false;
    const std::string body = bytes.substr(0, bodyLength);
    std::size_t pos = sizeof headMagic;
    std::uint32_t count = 0;
    if (!get(body, pos, change.newSize) || !get(body, pos, count))
        return false;
    change.writes.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        Write w;
        std::uint64_t length = 0;
        if (!get(body, pos, w.offset) || !get(body, pos, length) || length > body.size() - pos)
            return false;
        w.bytes.assign(body, pos, length);
        pos += length;
        change.writes.push_back(std::move(w));
    }
    return pos == body.size();
}

bool Journal::commit(const std::string& journalPath, const TableFile& table, const Change& change) {
    TableFile journal;
    if (!journal.create(journalPath))
        return false;
    const std::string encoded = encode(change);
    if (!journal.writeAt(0, encoded.data(), encoded.size()))
        return false;
    if (!apply(table, change))
        return false;
    return journal.truncate(0);
}

bool Journal::recover(const std::string& journalPath, const TableFile& table) {
    std::string bytes;
    if (!readWholeFile(journalPath, bytes) || bytes.empty())
        return true;
    Change change;
    if (decode(bytes, change) && !apply(table, change))
        return false;
    TableFile journal;
    return journal.open(journalPath, true) && journal.truncate(0);
}

} // namespace kelo::engine
