#include "engine/Journal.h"

#include "engine/DbfHeader.h"

#include <cstring>

namespace kelo::engine {

namespace {
constexpr char headMagic[4] = {'K', 'J', 'N', '2'};
constexpr char tailMagic[4] = {'K', 'J', 'N', 'E'};
constexpr char markByte = 'J';

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

void putWrite(std::string& out, const Journal::Write& w) {
    put<std::uint64_t>(out, w.offset);
    put<std::uint64_t>(out, w.bytes.size());
    out += w.bytes;
}

bool getWrite(const std::string& in, std::size_t& pos, Journal::Write& w) {
    std::uint64_t length = 0;
    if (!get(in, pos, w.offset) || !get(in, pos, length) || length > in.size() - pos)
        return false;
    w.bytes.assign(in, pos, static_cast<std::size_t>(length));
    pos += static_cast<std::size_t>(length);
    return true;
}

void notify(const JournalHook& hook, JournalStep step) {
    if (hook)
        hook(step);
}

bool setMark(const TableFile& table, char value) {
    return table.writeAt(headeroffset::pending, &value, 1);
}

// The counter says whether anyone completed a write since the change was
// made for the table or sealed; the size guards against a replaced file.
bool matches(const Journal::Change& change, const Journal::State& now) {
    const bool counterKnown =
        now.counter == change.before.counter || now.counter == change.after.counter;
    const bool sizeKnown = now.size == change.before.size || now.size == change.after.size;
    return counterKnown && sizeKnown;
}

// Writing it twice gives the same table, so a change cut short anywhere is
// simply applied again from the start.
bool applyAndSeal(const TableFile& table, const Journal::Change& change, const JournalHook& hook) {
    if (!setMark(table, markByte))
        return false;
    notify(hook, JournalStep::Written);
    for (const Journal::Write& w : change.writes) {
        if (!table.writeAt(w.offset, w.bytes.data(), w.bytes.size()))
            return false;
    }
    if (table.size() != change.after.size && !table.truncate(change.after.size))
        return false;
    notify(hook, JournalStep::Applied);
    if (!table.writeAt(change.seal.offset, change.seal.bytes.data(), change.seal.bytes.size()))
        return false;
    // Before the journal is emptied, or a power cut could keep neither.
    if (!table.sync())
        return false;
    notify(hook, JournalStep::Sealed);
    return true;
}
} // namespace

bool Journal::readState(const TableFile& table, State& state) {
    char counter[4];
    if (!table.readAt(headeroffset::changeCounter, counter, sizeof counter))
        return false;
    state.counter = readLE32(counter);
    state.size = table.size();
    return true;
}

bool Journal::marked(const char* fixedHeader) {
    return fixedHeader[headeroffset::pending] != 0;
}

std::string Journal::encode(const Change& change) {
    std::string out(headMagic, sizeof headMagic);
    put<std::uint32_t>(out, change.before.counter);
    put<std::uint64_t>(out, change.before.size);
    put<std::uint32_t>(out, change.after.counter);
    put<std::uint64_t>(out, change.after.size);
    putWrite(out, change.seal);
    put<std::uint32_t>(out, static_cast<std::uint32_t>(change.writes.size()));
    for (const Write& w : change.writes)
        putWrite(out, w);
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
    if (!get(body, pos, change.before.counter) || !get(body, pos, change.before.size) ||
        !get(body, pos, change.after.counter) || !get(body, pos, change.after.size) ||
        !getWrite(body, pos, change.seal) || !get(body, pos, count))
        return false;
    change.writes.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        Write w;
        if (!getWrite(body, pos, w))
            return false;
        change.writes.push_back(std::move(w));
    }
    return pos == body.size();
}

bool Journal::commit(const std::string& journalPath, const TableFile& table, const Change& change,
                     const JournalHook& hook) {
    const bool existed = fileExists(journalPath);
    TableFile journal;
    if (!journal.create(journalPath))
        return false;
    const std::string encoded = encode(change);
    // The whole journal is on the disk before the table changes at all.
    if (!journal.writeAt(0, encoded.data(), encoded.size()) || !journal.sync() ||
        (!existed && !syncFolderOf(journalPath))) {
        journal.truncate(0);
        return false;
    }
    if (!applyAndSeal(table, change, hook))
        return false; // the mark stays: the next writer finishes it from the journal
    return journal.truncate(0);
}

Journal::Recovery Journal::recover(const std::string& journalPath, const TableFile& table,
                                   const JournalHook& hook) {
    std::string bytes;
    if (!readWholeFile(journalPath, bytes))
        bytes.clear(); // none
    Recovery result = Recovery::Nothing;
    if (!bytes.empty()) {
        Change change;
        State now;
        if (!decode(bytes, change)) {
            result = Recovery::Torn;
        } else if (!readState(table, now)) {
            return Recovery::Failed;
        } else if (!matches(change, now)) {
            result = Recovery::Refused;
        } else {
            if (!applyAndSeal(table, change, hook))
                return Recovery::Failed;
            result = Recovery::Applied;
        }
        TableFile journal;
        if (journal.open(journalPath, true))
            journal.truncate(0);
    }
    if (result != Recovery::Applied) {
        // A mark with nothing to finish is a leftover of no use.
        char mark = 0;
        if (!table.readAt(headeroffset::pending, &mark, 1))
            return Recovery::Failed;
        if (mark != 0 && !setMark(table, 0))
            return Recovery::Failed;
    }
    return result;
}

} // namespace kelo::engine
