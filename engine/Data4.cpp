#include "engine/Data4.h"

#include "engine/IndexFile.h"
#include "engine/Journal.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace kelo::engine {

namespace {
constexpr std::uint64_t pageSize = 4096;
constexpr std::size_t scanChunk = 1 << 20;
constexpr char endOfFile = '\x1A';

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Field and tag names are ASCII; looked up by name for every record, so
// compared in place rather than through upper-case copies.
bool sameName(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

bool spansPages(std::uint64_t offset, std::size_t length) {
    return offset / pageSize != (offset + length - 1) / pageSize;
}

// Replacing a table: an empty copy of the old one takes its place first, so a
// writer killed half way never leaves old records pointing into a new memo file.
bool emptyExistingTable(const std::string& path) {
    std::string header;
    {
        TableFile old;
        char fixed[DbfHeader::fixedSize];
        if (!old.open(path, false) || !old.readAt(0, fixed, sizeof fixed))
            return removeFile(path); // not a table: nothing to keep consistent
        header.resize(readLE16(fixed + 8));
        if (header.size() < DbfHeader::fixedSize || header.size() > old.size() ||
            !old.readAt(0, header.data(), header.size()))
            return removeFile(path);
    }
    writeLE32(header.data() + headeroffset::recordCount, 0);
    header.push_back(endOfFile);
    return writeFileAtomically(path, header);
}
} // namespace

Data4::Data4(Code4& code) : code_(code) {}

Data4::~Data4() {
    close();
}

std::unique_ptr<Data4> Data4::open(Code4& code, const std::string& path) {
    std::unique_ptr<Data4> table(new Data4(code));
    if (table->openFile(path, nullptr) != r4success)
        return nullptr;
    code.registerTable(table.get());
    return table;
}

std::unique_ptr<Data4> Data4::openWithTags(Code4& code, const std::string& path,
                                           const std::vector<Tag4Info>& tags) {
    std::unique_ptr<Data4> table(new Data4(code));
    if (table->openFile(path, &tags) != r4success)
        return nullptr;
    code.registerTable(table.get());
    return table;
}

HeaderStatus Data4::readHeader(std::string& error, bool& marked) {
    // Appenders hold the header byte while they add a record and raise the
    // count; read under it (shared, so that openers never wait for each
    // other), the size always covers the count.
    marked = false;
    if (!file_.lockWait(lockbyte::header, 1, TableFile::LockKind::Shared)) {
        error = "cannot lock the table header";
        return HeaderStatus::Invalid;
    }
    const std::uint64_t fileSize = file_.size();
    std::string bytes(
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, DbfHeader::fixedSize)), '\0');
    HeaderStatus status = HeaderStatus::Invalid;
    if (file_.readAt(0, bytes.data(), bytes.size())) {
        status = parseHeader(bytes, fileSize, header_, error);
        if (status == HeaderStatus::NeedMoreBytes) {
            bytes.assign(header_.headerLength, '\0');
            status = file_.readAt(0, bytes.data(), bytes.size())
                         ? parseHeader(bytes, fileSize, header_, error)
                         : HeaderStatus::Invalid;
        }
    } else {
        error = "file too short for a table header";
    }
    file_.unlock(lockbyte::header, 1);
    // Half way through a pack the count may exceed the file: the mark tells.
    marked = bytes.size() > headeroffset::pending && Journal::marked(bytes.data());
    return status;
}

namespace {
bool hasTagNamed(const std::vector<Tag4Info>& tags, const std::string& name) {
    return std::any_of(tags.begin(), tags.end(),
                       [&](const Tag4Info& t) { return upper(t.name) == upper(name); });
}
} // namespace

int Data4::openFile(const std::string& path, const std::vector<Tag4Info>* requiredTags) {
    path_ = path;
    exclusive_ = requiredTags || code_.accessMode == OPEN4DENY_RW;
    if (!file_.open(path, true)) {
        const int why = errno;
        if (!file_.open(path, false))
            return code_.error(e4open, "cannot open " + path);
        writable_ = false;
        readOnlyWhy_ = std::strerror(why);
    }
    // Exclusive use needs a lock a read-only descriptor cannot take: a
    // question of permission, not of other users.
    if (exclusive_ && !writable_) {
        const int rc = notWritable();
        file_.close();
        return rc;
    }
    switch (
        file_.tryLock(lockbyte::open, 1,
                      exclusive_ ? TableFile::LockKind::Exclusive : TableFile::LockKind::Shared)) {
    case TableFile::LockResult::Held:
        break;
    case TableFile::LockResult::Busy:
        file_.close();
        return code_.error(e4access, exclusive_ ? path + " is in use by another user"
                                                : path + " is open exclusively by another user");
    case TableFile::LockResult::Refused:
        file_.close();
        return code_.error(e4open, "cannot lock " + path);
    }

    // A writer that died half way through a journaled change left its
    // journal, and perhaps its mark in the header.
    const std::string journal = Journal::pathFor(path);
    std::string error;
    HeaderStatus status = HeaderStatus::Invalid;
    for (int attempt = 0;; ++attempt) {
        if (writable_ && (attempt > 0 || Journal::waiting(journal))) {
            const int rc = recoverJournal();
            if (rc != r4success) {
                file_.close();
                return rc;
            }
        }
        bool marked = false;
        status = readHeader(error, marked);
        if (!marked || !writable_ || attempt == 2)
            break;
    }
    if (status != HeaderStatus::Ok) {
        file_.close();
        return code_.error(e4data, path + ": " + error);
    }
    if (header_.encrypted) {
        const auto& key = code_.key();
        if (!key || TableCipher::keyCheck(*key, header_.salt) != header_.keyCheck) {
            file_.close();
            return code_.error(e4encrypt, path + " is encrypted with another key");
        }
        cipher_ = std::make_unique<TableCipher>(*key, header_.salt);
    }
    if (header_.hasMemo()) {
        const std::string memoPath = MemoFile::pathFor(path);
        bool opened = memo_.open(memoPath, writable_, error);
        if (!opened && writable_ && memo_.open(memoPath, false, error)) {
            opened = true;
            writable_ = false;
            readOnlyWhy_ = "its memo file cannot be written";
        }
        if (!opened) {
            file_.close();
            return code_.error(e4memo, error);
        }
        if (exclusive_ && !writable_) {
            const int rc = notWritable();
            memo_.close();
            file_.close();
            return rc;
        }
    }

    std::vector<Tag4Info> tagInfos;
    const std::string indexPath = IndexFile::pathFor(path);
    const bool readable = IndexFile::read(indexPath, tagInfos, error);
    // A caller that knows the tags has the index file written again, while
    // the table is held exclusively, when it is missing, damaged or short.
    bool rewrite = false;
    if (requiredTags) {
        if (!readable)
            tagInfos.clear();
        std::vector<Tag4Info> wanted = *requiredTags;
        for (const Tag4Info& info : tagInfos) {
            if (!hasTagNamed(wanted, info.name))
                wanted.push_back(info);
        }
        rewrite = !readable ||
                  !std::all_of(requiredTags->begin(), requiredTags->end(),
                               [&](const Tag4Info& t) { return hasTagNamed(tagInfos, t.name); });
        if (rewrite)
            tagInfos = std::move(wanted);
    } else if (!readable) {
        file_.close();
        return code_.error(e4index, indexPath + ": " + error);
    }
    for (const Tag4Info& info : tagInfos) {
        auto tag = Tag4::compile(info, header_.fields, error);
        if (!tag || (rewrite && !IndexFile::valid(info))) {
            tags_.clear();
            memo_.close();
            file_.close();
            return code_.error(e4expr, path + ": " + (tag ? "invalid tag " + info.name : error));
        }
        tags_.push_back(std::move(tag));
    }
    if (rewrite && !IndexFile::write(indexPath, tagInfos)) {
        tags_.clear();
        memo_.close();
        file_.close();
        return code_.error(e4index, "cannot write index file " + indexPath);
    }

    for (std::size_t i = 0; i < header_.fields.size(); ++i)
        fields_.push_back(
            std::make_unique<Field4>(*this, header_.fields[i], static_cast<int>(i + 1)));
    pendingMemos_.resize(fields_.size());
    blankRecord_.assign(header_.recordLength, ' ');
    for (const FieldDesc& f : header_.fields) {
        if (f.type == 'I' || f.type == 'B' || f.type == 'M' || f.type == 'X')
            std::fill_n(blankRecord_.begin() + f.offset, f.length, '\0');
    }
    recordCount_ = header_.recordCount;
    knownCounter_ = header_.changeCounter;
    record_ = blankRecord_;
    top();
    return r4success;
}

std::unique_ptr<Data4> Data4::create(Code4& code, const std::string& path,
                                     const std::vector<Field4Info>& fields,
                                     const std::vector<Tag4Info>& tags) {
    if (code.safety && fileExists(path)) {
        code.error(e4exists, path + " already exists");
        return nullptr;
    }
    std::vector<NewField> definitions;
    for (const Field4Info& f : fields)
        definitions.push_back({f.name, f.type, f.length, f.decimals});
    DbfHeader header;
    std::string error;
    if (!layoutFields(definitions, header, error)) {
        code.error(e4field, path + ": " + error);
        return nullptr;
    }
    std::set<std::string> tagNames;
    for (const Tag4Info& info : tags) {
        if (!Tag4::compile(info, header.fields, error)) {
            code.error(e4expr, path + ": " + error);
            return nullptr;
        }
        if (!tagNames.insert(upper(info.name)).second || !IndexFile::valid(info)) {
            code.error(e4tagName, path + ": invalid or duplicate tag " + info.name);
            return nullptr;
        }
    }
    if (code.encrypting()) {
        header.encrypted = true;
        header.salt = TableCipher::randomSalt();
        header.keyCheck = TableCipher::keyCheck(*code.key(), header.salt);
    }
    std::string contents = header.serialize();
    contents.push_back(endOfFile);

    // Companions first: a table file that exists always has them.
    removeFile(Journal::pathFor(path));
    const std::string memoPath = MemoFile::pathFor(path);
    const std::string indexPath = IndexFile::pathFor(path);
    const bool ok = (!fileExists(path) || emptyExistingTable(path)) &&
                    (!header.hasMemo() || MemoFile::createEmpty(memoPath)) &&
                    (tags.empty() ? (!fileExists(indexPath) || removeFile(indexPath))
                                  : IndexFile::write(indexPath, tags)) &&
                    writeFileAtomically(path, contents);
    if (!ok) {
        code.error(e4create, "cannot create " + path);
        return nullptr;
    }
    // A memo file left by a replaced table makes other readers refuse one without memos.
    if (!header.hasMemo() && fileExists(memoPath))
        removeFile(memoPath);
    return open(code, path);
}

int Data4::close() {
    if (!file_.isOpen())
        return r4success;
    const int rc = flushRecord();
    releaseLocks();
    memo_.close();
    file_.close();
    code_.unregisterTable(this);
    return rc < 0 ? rc : r4success;
}

int Data4::flush() {
    const int rc = flushRecord();
    return rc < 0 ? rc : r4success;
}

bool Data4::readFixed(FixedBytes& fixed) const {
    return file_.readAt(0, fixed.data(), fixed.size());
}

bool Data4::readFixedHeader(std::uint32_t& count, std::uint32_t& counter) const {
    FixedBytes fixed;
    if (!readFixed(fixed))
        return false;
    count = readLE32(fixed.data() + headeroffset::recordCount);
    counter = readLE32(fixed.data() + headeroffset::changeCounter);
    return true;
}

void Data4::adoptHeader(std::uint32_t count, std::uint32_t counter) {
    if (counter == knownCounter_ && count == recordCount_)
        return; // unchanged, and this count was checked against the file before
    // Never trust a count the file cannot hold (a damaged header).
    const std::uint64_t limit = (file_.size() - header_.headerLength) / header_.recordLength;
    count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, limit));
    if (counter != knownCounter_ || count != recordCount_) {
        knownCounter_ = counter;
        recordCount_ = count;
        tagsStale_ = true;
    }
}

void Data4::refreshIfChanged() {
    if (exclusive_)
        return;
    FixedBytes fixed;
    if (!readFixed(fixed))
        return;
    // Half made by a writer that died: finished or refused before anything
    // is read from it (a live writer holds the journal until it is whole).
    if (Journal::marked(fixed.data()) && writable_ &&
        (recoverJournal() != r4success || !readFixed(fixed)))
        return;
    adoptHeader(readLE32(fixed.data() + headeroffset::recordCount),
                readLE32(fixed.data() + headeroffset::changeCounter));
}

int Data4::refresh() {
    refreshIfChanged();
    if (!changed_ && !eof_ && recNo_ >= 1 && recNo_ <= static_cast<long>(recordCount_))
        return loadRecord(static_cast<std::uint32_t>(recNo_));
    return r4success;
}

long Data4::recCount() {
    refreshIfChanged();
    return static_cast<long>(recordCount_);
}

bool Data4::readRecord(std::uint32_t recNo, std::string& out) const {
    if (!tagsStale_ && recNo >= 1 && recNo <= snapshotCount_) {
        out.assign(snapshot_, static_cast<std::size_t>(recNo - 1) * header_.recordLength,
                   header_.recordLength);
        return true;
    }
    out.resize(header_.recordLength);
    const std::uint64_t offset =
        header_.headerLength + static_cast<std::uint64_t>(recNo - 1) * header_.recordLength;
    if (!file_.readAt(offset, out.data(), out.size()))
        return false;
    if (cipher_)
        cipher_->decrypt(recNo, out.data() + 1, out.size() - 1);
    return true;
}

int Data4::loadRecord(std::uint32_t recNo) {
    if (!readRecord(recNo, record_)) {
        positionAtEof();
        return code_.error(e4read, "cannot read record " + std::to_string(recNo) + " of " + path_);
    }
    recNo_ = recNo;
    eof_ = bof_ = false;
    changed_ = false;
    appending_ = false;
    std::fill(pendingMemos_.begin(), pendingMemos_.end(), std::nullopt);
    return r4success;
}

void Data4::positionAtEof() {
    record_ = blankRecord_;
    recNo_ = static_cast<long>(recordCount_) + 1;
    eof_ = true;
    changed_ = false;
    appending_ = false;
    std::fill(pendingMemos_.begin(), pendingMemos_.end(), std::nullopt);
}

int Data4::goEof() {
    const int rc = flushRecord();
    if (rc != r4success)
        return rc;
    positionAtEof();
    return r4success;
}

int Data4::go(long recNo) {
    int rc = flushRecord();
    if (rc != r4success)
        return rc;
    refreshIfChanged();
    if (recNo < 1 || recNo > static_cast<long>(recordCount_)) {
        positionAtEof();
        return code_.error(e4parm, "record " + std::to_string(recNo) + " is not in " + path_);
    }
    bof_ = false;
    return loadRecord(static_cast<std::uint32_t>(recNo));
}

int Data4::loadFromTag(std::size_t pos) {
    if (pos == Tag4::npos) {
        positionAtEof();
        return r4eof;
    }
    return loadRecord(selected_->recordAt(pos));
}

int Data4::top() {
    int rc = flushRecord();
    if (rc != r4success)
        return rc;
    refreshIfChanged();
    if (selected_) {
        if ((rc = ensureTags()) != r4success)
            return rc;
        rc = loadFromTag(selected_->first());
    } else {
        rc = recordCount_ == 0 ? (positionAtEof(), r4eof) : loadRecord(1);
    }
    if (rc == r4eof)
        bof_ = true;
    return rc;
}

int Data4::bottom() {
    int rc = flushRecord();
    if (rc != r4success)
        return rc;
    refreshIfChanged();
    if (selected_) {
        if ((rc = ensureTags()) != r4success)
            return rc;
        rc = loadFromTag(selected_->last());
    } else {
        rc = recordCount_ == 0 ? (positionAtEof(), r4eof) : loadRecord(recordCount_);
    }
    if (rc == r4eof)
        bof_ = true;
    return rc;
}

int Data4::skip(long count) {
    int rc = flushRecord();
    if (rc != r4success)
        return rc;
    if (count == 0)
        return eof_ ? r4eof : r4success;
    if (eof_ && count > 0)
        return r4eof;
    if (eof_) { // backwards from the end starts at the last record
        rc = bottom();
        if (rc != r4success)
            return rc;
        ++count;
        if (count == 0)
            return r4success;
    }
    if (!selected_) {
        const long target = recNo_ + count;
        if (target > static_cast<long>(recordCount_)) {
            positionAtEof();
            return r4eof;
        }
        if (target < 1) {
            rc = loadRecord(1);
            bof_ = true;
            return rc == r4success ? r4bof : rc;
        }
        return loadRecord(static_cast<std::uint32_t>(target));
    }
    if ((rc = ensureTags()) != r4success)
        return rc;
    std::size_t pos = selected_->positionOf(static_cast<std::uint32_t>(recNo_));
    if (pos == Tag4::npos) { // the current record left the tag: continue from its key
        bool exact = false;
        pos = selected_->seek(selected_->keyOf(static_cast<std::uint32_t>(recNo_)), exact);
        if (count > 0) {
            --count;
            if (pos == Tag4::npos)
                return loadFromTag(pos);
        } else if (pos == Tag4::npos) {
            pos = selected_->last();
            ++count;
        }
    }
    for (; count > 0 && pos != Tag4::npos; --count)
        pos = selected_->next(pos);
    if (pos == Tag4::npos)
        return loadFromTag(pos);
    for (; count < 0; ++count) {
        const std::size_t before = selected_->previous(pos);
        if (before == Tag4::npos) {
            rc = loadFromTag(pos);
            bof_ = true;
            return rc == r4success ? r4bof : rc;
        }
        pos = before;
    }
    return loadFromTag(pos);
}

int Data4::seekOn(const std::string& key, bool next) {
    if (!selected_)
        return code_.error(r4noTag, "no tag selected on " + path_);
    int rc = flushRecord();
    if (rc != r4success)
        return rc;
    refreshIfChanged();
    if ((rc = ensureTags()) != r4success)
        return rc;
    std::size_t pos = Tag4::npos;
    bool exact = false;
    const std::size_t n = std::min(key.size(), selected_->keyLength());
    if (next && !eof_ && recNo_ >= 1 && selected_->contains(static_cast<std::uint32_t>(recNo_)) &&
        selected_->keyOf(static_cast<std::uint32_t>(recNo_)).substr(0, n) == key.substr(0, n)) {
        pos = selected_->next(selected_->positionOf(static_cast<std::uint32_t>(recNo_)));
        exact = pos != Tag4::npos && selected_->keyOf(selected_->recordAt(pos)).substr(0, n) ==
                                         std::string_view(key).substr(0, n);
    } else {
        pos = selected_->seek(key, exact);
    }
    rc = loadFromTag(pos);
    if (rc != r4success)
        return rc;
    bof_ = false;
    return exact ? r4success : r4after;
}

int Data4::seek(std::string_view key) {
    return selected_ ? seekOn(selected_->searchKey(key), false) : seekOn(std::string(key), false);
}

int Data4::seekDouble(double key) {
    return selected_ ? seekOn(selected_->searchKey(key), false) : seekOn({}, false);
}

int Data4::seekNext(std::string_view key) {
    return selected_ ? seekOn(selected_->searchKey(key), true) : seekOn(std::string(key), true);
}

int Data4::seekNextDouble(double key) {
    return selected_ ? seekOn(selected_->searchKey(key), true) : seekOn({}, true);
}

int Data4::ensureTags() {
    if (!tagsStale_)
        return r4success;
    std::uint32_t count = recordCount_;
    if (!exclusive_) {
        std::uint32_t counter = 0;
        if (!readFixedHeader(count, counter))
            return code_.error(e4read, "cannot read " + path_);
        const std::uint64_t limit = (file_.size() - header_.headerLength) / header_.recordLength;
        count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, limit));
        knownCounter_ = counter;
        recordCount_ = count;
    }
    for (auto& tag : tags_)
        tag->clear();
    const std::size_t length = header_.recordLength;
    const std::size_t perChunk = std::max<std::size_t>(1, scanChunk / length);
    std::string chunk;
    const bool keep = static_cast<std::uint64_t>(count) * length <= (64u << 20);
    snapshotCount_ = 0;
    snapshot_.clear();
    if (keep)
        snapshot_.resize(static_cast<std::size_t>(count) * length);
    for (std::uint32_t first = 1; first <= count;) {
        const auto n =
            static_cast<std::uint32_t>(std::min<std::size_t>(perChunk, count - first + 1));
        char* base;
        if (keep) {
            base = snapshot_.data() + static_cast<std::size_t>(first - 1) * length;
        } else {
            chunk.resize(static_cast<std::size_t>(n) * length);
            base = chunk.data();
        }
        const std::uint64_t offset =
            header_.headerLength + static_cast<std::uint64_t>(first - 1) * length;
        if (!file_.readAt(offset, base, static_cast<std::size_t>(n) * length))
            return code_.error(e4read, "cannot read " + path_);
        for (std::uint32_t i = 0; i < n; ++i) {
            char* record = base + static_cast<std::size_t>(i) * length;
            if (cipher_)
                cipher_->decrypt(first + i, record + 1, length - 1);
            for (auto& tag : tags_)
                tag->add(first + i, record);
        }
        first += n;
    }
    if (keep)
        snapshotCount_ = count;
    tagsStale_ = false;
    return r4success;
}

void Data4::noteOwnChange(std::uint32_t counterBefore) {
    if (counterBefore != knownCounter_)
        tagsStale_ = true; // someone else wrote since we last looked
    knownCounter_ = counterBefore + 1;
}

TableFile::LockResult Data4::acquire(std::uint64_t offset, std::uint64_t length) const {
    for (int attempt = 0;; ++attempt) {
        const auto result = file_.tryLock(offset, length, TableFile::LockKind::Exclusive);
        if (result != TableFile::LockResult::Busy)
            return result;
        if (code_.lockAttempts >= 0 && attempt + 1 >= std::max(1, code_.lockAttempts))
            return result;
        std::this_thread::sleep_for(std::chrono::milliseconds(code_.lockDelayMs));
    }
}

bool Data4::lockBriefly(std::uint64_t offset) const {
    return exclusive_ || file_.lockWait(offset, 1);
}

void Data4::unlockHeader() const {
    if (!exclusive_)
        file_.unlock(lockbyte::header, 1);
}

int Data4::notWritable() {
    return code_.error(e4permission, path_ + " cannot be written (" + readOnlyWhy_ + ")");
}

int Data4::recoverHeld() {
    if (Journal::recover(Journal::pathFor(path_), file_, code_.journalHook) ==
        Journal::Recovery::Failed)
        return code_.error(e4write, "cannot recover " + path_);
    return r4success;
}

int Data4::recoverJournal() {
    if (!writable_)
        return notWritable();
    // Journal byte first, header byte second, as every journaled change takes them.
    if (!file_.lockWait(lockbyte::journal, 1))
        return code_.error(e4write, "cannot recover " + path_);
    int rc = r4success;
    if (lockBriefly(lockbyte::header)) {
        rc = recoverHeld();
        unlockHeader();
    } else {
        rc = code_.error(e4write, "cannot recover " + path_);
    }
    file_.unlock(lockbyte::journal, 1);
    return rc;
}

int Data4::lockHeaderForWrite(bool journalHeld, FixedBytes& fixed) {
    for (int attempt = 0;; ++attempt) {
        if (!lockBriefly(lockbyte::header))
            return code_.error(e4write, "cannot write " + path_);
        if (!readFixed(fixed)) {
            unlockHeader();
            return code_.error(e4read, "cannot read " + path_);
        }
        // Seen while holding the header byte, a mark is a dead writer's: a
        // live one keeps the byte from marking to sealing.
        if (!Journal::marked(fixed.data()))
            return r4success;
        int rc = r4success;
        if (attempt == 2) {
            rc = code_.error(e4write, "cannot recover " + path_);
        } else if (journalHeld) {
            rc = recoverHeld();
        } else {
            unlockHeader();
            rc = recoverJournal();
            if (rc != r4success)
                return rc;
            continue;
        }
        unlockHeader();
        if (rc != r4success)
            return rc;
    }
}

int Data4::storePendingMemos() {
    for (std::size_t i = 0; i < pendingMemos_.size(); ++i) {
        if (!pendingMemos_[i])
            continue;
        const FieldDesc& desc = fields_[i]->desc();
        std::uint32_t block = 0;
        if (!memo_.append(*pendingMemos_[i], desc.type == 'X', cipher_.get(), block))
            return code_.error(e4memo, "cannot write memo of " + path_);
        writeLE32(record_.data() + desc.offset, block);
        pendingMemos_[i].reset();
    }
    return r4success;
}

namespace {
// The header bytes from `from` up to the mark, with a new counter and the mark
// cleared: what completes a journaled change.
Journal::Write sealOf(const std::array<char, DbfHeader::fixedSize>& fixed, std::uint64_t from,
                      std::uint32_t counter) {
    std::array<char, DbfHeader::fixedSize> sealed = fixed;
    writeLE32(sealed.data() + headeroffset::changeCounter, counter);
    sealed[headeroffset::pending] = 0;
    return {from, std::string(sealed.data() + from, sealed.data() + headeroffset::pending + 1)};
}
} // namespace

int Data4::writeRecordBytes(std::uint32_t recNo, const std::string& plain) {
    std::string bytes = plain;
    if (cipher_)
        cipher_->encrypt(recNo, bytes.data() + 1, bytes.size() - 1);
    const std::uint64_t offset =
        header_.headerLength + static_cast<std::uint64_t>(recNo - 1) * header_.recordLength;
    const bool journaled =
        spansPages(offset, bytes.size()) && (!exclusive_ || code_.journalExclusiveWrites);
    if (journaled && !file_.lockWait(lockbyte::journal, 1))
        return code_.error(e4write, "cannot write " + path_);
    // The record and the raised counter go out under the header byte, so that
    // a recovery, which holds it too, never falls between them.
    FixedBytes fixed;
    int rc = lockHeaderForWrite(journaled, fixed);
    if (rc == r4success) {
        const std::uint32_t before = readLE32(fixed.data() + headeroffset::changeCounter);
        bool ok = false;
        if (journaled) {
            Journal::Change change;
            const std::uint64_t size = file_.size();
            change.before = {before, size};
            change.after = {before + 1, size};
            change.writes.push_back({offset, bytes});
            change.seal = sealOf(fixed, headeroffset::changeCounter, before + 1);
            ok = Journal::commit(Journal::pathFor(path_), file_, change, code_.journalHook);
        } else {
            char counterBytes[4];
            writeLE32(counterBytes, before + 1);
            ok = file_.writeAt(offset, bytes.data(), bytes.size()) &&
                 file_.writeAt(headeroffset::changeCounter, counterBytes, sizeof counterBytes);
        }
        unlockHeader();
        if (ok)
            noteOwnChange(before);
        else
            rc = code_.error(e4write,
                             "cannot write record " + std::to_string(recNo) + " of " + path_);
    }
    if (journaled)
        file_.unlock(lockbyte::journal, 1);
    return rc;
}

int Data4::flushRecord() {
    if (!changed_ || appending_ || eof_ || recNo_ < 1)
        return r4success;
    if (!writable_)
        return notWritable();
    const bool needLock = !exclusive_ && !lockedAll_ && !lockedRecords_.count(recNo_);
    const std::uint64_t lockOffset = lockbyte::records + static_cast<std::uint64_t>(recNo_);
    const auto got = needLock ? acquire(lockOffset, 1) : TableFile::LockResult::Held;
    if (got == TableFile::LockResult::Busy)
        return code_.error(e4lock, "record " + std::to_string(recNo_) + " of " + path_ +
                                       " is locked by another user");
    if (got == TableFile::LockResult::Refused)
        return code_.error(e4write,
                           "cannot lock record " + std::to_string(recNo_) + " of " + path_);
    int rc = storePendingMemos();
    if (rc == r4success)
        rc = writeRecordBytes(static_cast<std::uint32_t>(recNo_), record_);
    if (needLock)
        file_.unlock(lockOffset, 1);
    if (rc != r4success)
        return rc;
    if (!tagsStale_) {
        for (auto& tag : tags_)
            tag->update(static_cast<std::uint32_t>(recNo_), record_.data());
        if (recNo_ <= static_cast<long>(snapshotCount_))
            snapshot_.replace(static_cast<std::size_t>(recNo_ - 1) * record_.size(), record_.size(),
                              record_);
    }
    changed_ = false;
    return r4success;
}

int Data4::write() {
    return flushRecord();
}

int Data4::appendStart() {
    const int rc = flushRecord();
    if (rc != r4success)
        return rc;
    for (const FieldDesc& f : header_.fields) {
        if (f.type == 'M' || f.type == 'X')
            std::fill_n(record_.begin() + f.offset, f.length, '\0');
    }
    record_[0] = ' ';
    std::fill(pendingMemos_.begin(), pendingMemos_.end(), std::nullopt);
    appending_ = true;
    return r4success;
}

void Data4::blank() {
    const char deletedFlag = record_.empty() ? ' ' : record_[0];
    record_ = blankRecord_;
    record_[0] = deletedFlag;
    std::fill(pendingMemos_.begin(), pendingMemos_.end(), std::nullopt);
    changed_ = true;
}

int Data4::append() {
    if (!appending_) {
        const int rc = appendStart();
        if (rc != r4success)
            return rc;
    }
    if (!writable_)
        return notWritable();
    // Appenders queue on the header byte; the new record's own byte is held by
    // whoever has locked the whole table, which makes the append wait its turn.
    std::uint32_t count = recordCount_;
    std::uint32_t counter = knownCounter_;
    if (!exclusive_) {
        FixedBytes fixed;
        const int locked = lockHeaderForWrite(false, fixed);
        if (locked != r4success)
            return locked;
        count = readLE32(fixed.data() + headeroffset::recordCount);
        counter = readLE32(fixed.data() + headeroffset::changeCounter);
    }
    bool ok = true;
    const std::uint64_t newByte = lockbyte::records + count + 1;
    const bool needLock = !exclusive_ && !lockedAll_;
    if (needLock && !file_.lock(newByte, 1, TableFile::LockKind::Exclusive)) {
        file_.unlock(lockbyte::header, 1);
        return code_.error(r4locked, path_ + " is locked by another user");
    }
    int rc = storePendingMemos();
    if (rc == r4success) {
        const std::uint32_t recNo = count + 1;
        std::string bytes;
        bytes.reserve(record_.size() + 1); // room for the end-of-file mark
        bytes = record_;
        if (cipher_)
            cipher_->encrypt(recNo, bytes.data() + 1, bytes.size() - 1);
        bytes.push_back(endOfFile);
        const std::uint64_t offset =
            header_.headerLength + static_cast<std::uint64_t>(count) * header_.recordLength;
        // Data first, then the count: a killed append leaves the old table.
        // Patched in place: copying header_ would copy every field descriptor.
        auto fixed = header_.fixedBytes();
        writeLE32(fixed.data() + headeroffset::recordCount, recNo);
        writeLE32(fixed.data() + headeroffset::changeCounter, counter + 1);
        ok = file_.writeAt(offset, bytes.data(), bytes.size()) &&
             file_.writeAt(1, fixed.data() + 1, 15);
        if (ok) {
            noteOwnChange(counter);
            recordCount_ = recNo;
            if (!tagsStale_) {
                for (auto& tag : tags_)
                    tag->add(recNo, record_.data());
                if (snapshotCount_ + 1 == recNo) {
                    snapshot_ += record_;
                    snapshotCount_ = recNo;
                }
            }
            recNo_ = recNo;
            eof_ = bof_ = false;
            changed_ = false;
            appending_ = false;
        } else {
            rc = code_.error(e4write, "cannot append to " + path_);
        }
    }
    if (needLock && lockedRecords_.empty()) {
        // One call for both bytes: this handle holds no other lock between them.
        file_.unlock(lockbyte::header, newByte - lockbyte::header + 1);
        return rc;
    }
    if (needLock)
        file_.unlock(newByte, 1);
    if (!exclusive_)
        file_.unlock(lockbyte::header, 1);
    return rc;
}

void Data4::deleteRec() {
    if (record_[0] != '*') {
        record_[0] = '*';
        changed_ = true;
    }
}

void Data4::recall() {
    if (record_[0] != ' ') {
        record_[0] = ' ';
        changed_ = true;
    }
}

int Data4::pack() {
    int rc = flushRecord();
    if (rc != r4success)
        return rc;
    if (!writable_)
        return notWritable();
    const bool hadAll = lockedAll_;
    if (!exclusive_ && !hadAll && (rc = lockAll()) != r4success)
        return rc < 0 ? rc : code_.error(r4locked, path_ + " is locked by another user");
    // Journal byte, then header byte: openers wait until the table is whole.
    if (!file_.lockWait(lockbyte::journal, 1)) {
        if (!exclusive_ && !hadAll)
            unlock();
        return code_.error(e4write, "cannot pack " + path_);
    }
    FixedBytes fixed;
    if ((rc = lockHeaderForWrite(true, fixed)) != r4success) {
        file_.unlock(lockbyte::journal, 1);
        if (!exclusive_ && !hadAll)
            unlock();
        return rc;
    }
    adoptHeader(readLE32(fixed.data() + headeroffset::recordCount),
                readLE32(fixed.data() + headeroffset::changeCounter));
    std::string packed;
    std::string record;
    std::uint32_t kept = 0;
    for (std::uint32_t recNo = 1; recNo <= recordCount_ && rc == r4success; ++recNo) {
        if (!readRecord(recNo, record)) {
            rc = code_.error(e4read, "cannot read " + path_);
            break;
        }
        if (record[0] == '*')
            continue;
        ++kept;
        if (cipher_)
            cipher_->encrypt(kept, record.data() + 1, record.size() - 1);
        packed += record;
    }
    if (rc == r4success) {
        packed.push_back(endOfFile);
        const std::uint32_t counter = readLE32(fixed.data() + headeroffset::changeCounter);
        // Today's date with the new count; the rest as the file has it.
        const auto dated = header_.fixedBytes();
        std::copy_n(dated.begin() + headeroffset::date, 3, fixed.begin() + headeroffset::date);
        writeLE32(fixed.data() + headeroffset::recordCount, kept);
        Journal::Change change;
        change.before = {counter, file_.size()};
        change.after = {counter + 1, header_.headerLength + packed.size()};
        change.writes.push_back({header_.headerLength, packed});
        change.seal = sealOf(fixed, headeroffset::date, counter + 1);
        if (!Journal::commit(Journal::pathFor(path_), file_, change, code_.journalHook))
            rc = code_.error(e4write, "cannot pack " + path_);
        if (rc == r4success) {
            knownCounter_ = counter + 1;
            recordCount_ = kept;
            tagsStale_ = true;
        }
    }
    unlockHeader();
    file_.unlock(lockbyte::journal, 1);
    if (!exclusive_ && !hadAll)
        unlock();
    const int moved = top();
    return rc != r4success ? rc : (moved == r4eof ? r4success : moved);
}

Tag4* Data4::tag(std::string_view name) const {
    for (const auto& t : tags_) {
        if (sameName(t->name(), name))
            return t.get();
    }
    return nullptr;
}

Tag4* Data4::tagNext(const Tag4* current) const {
    if (tags_.empty())
        return nullptr;
    if (!current)
        return tags_.front().get();
    for (std::size_t i = 0; i + 1 < tags_.size(); ++i) {
        if (tags_[i].get() == current)
            return tags_[i + 1].get();
    }
    return nullptr;
}

int Data4::select(std::string_view tagName) {
    Tag4* found = tag(tagName);
    if (!found)
        return code_.error(r4noTag, "no tag " + std::string(tagName) + " on " + path_);
    selected_ = found;
    return r4success;
}

Field4* Data4::field(std::string_view name) const {
    for (const auto& f : fields_) {
        if (sameName(f->name(), name))
            return f.get();
    }
    return nullptr;
}

Field4* Data4::field(int position) const {
    if (position < 1 || position > static_cast<int>(fields_.size()))
        return nullptr;
    return fields_[static_cast<std::size_t>(position - 1)].get();
}

int Data4::lock(long recNo) {
    if (exclusive_ || lockedAll_ || lockedRecords_.count(recNo))
        return r4success;
    if (recNo < 1)
        return code_.error(e4parm, "invalid record number");
    if (!writable_)
        return notWritable();
    if (code_.autoUnlock)
        releaseLocks();
    const auto got = acquire(lockbyte::records + static_cast<std::uint64_t>(recNo), 1);
    if (got == TableFile::LockResult::Refused)
        return code_.error(e4write, "cannot lock record " + std::to_string(recNo) + " of " + path_);
    if (got == TableFile::LockResult::Busy)
        return r4locked;
    lockedRecords_.insert(recNo);
    // Whatever another user wrote before letting go is read now.
    if (recNo == recNo_)
        refresh();
    else
        refreshIfChanged();
    return r4success;
}

int Data4::lockAll() {
    if (exclusive_ || lockedAll_)
        return r4success;
    if (!writable_)
        return notWritable();
    if (code_.autoUnlock)
        releaseLocks();
    const auto got = acquire(lockbyte::records, lockbyte::allRecords);
    if (got == TableFile::LockResult::Refused)
        return code_.error(e4write, "cannot lock " + path_);
    if (got == TableFile::LockResult::Busy)
        return r4locked;
    lockedAll_ = true;
    refresh();
    return r4success;
}

void Data4::releaseLocks() {
    if (lockedAll_)
        file_.unlock(lockbyte::records, lockbyte::allRecords);
    for (long recNo : lockedRecords_)
        file_.unlock(lockbyte::records + static_cast<std::uint64_t>(recNo), 1);
    lockedAll_ = false;
    lockedRecords_.clear();
}

int Data4::unlock() {
    const int rc = flushRecord();
    releaseLocks();
    return rc < 0 ? rc : r4success;
}

bool Data4::lockTest(long recNo) const {
    return exclusive_ || lockedAll_ || lockedRecords_.count(recNo) > 0;
}

bool Data4::lockedByOther(long recNo) const {
    return !exclusive_ &&
           file_.lockedByOther(lockbyte::records + static_cast<std::uint64_t>(recNo), 1);
}

std::string Data4::memoText(const Field4& field) const {
    const auto& pending = pendingMemos_[static_cast<std::size_t>(field.position() - 1)];
    if (pending)
        return *pending;
    std::string out;
    const std::uint32_t block = readLE32(record_.data() + field.desc().offset);
    if (memo_.isOpen() && !memo_.read(block, out, cipher_.get())) {
        code_.error(e4memo, "damaged memo in " + path_);
        out.clear();
    }
    return out;
}

void Data4::setMemo(const Field4& field, std::string data) {
    pendingMemos_[static_cast<std::size_t>(field.position() - 1)] = std::move(data);
    changed_ = true;
}

} // namespace kelo::engine
