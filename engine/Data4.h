#pragma once

#include "engine/Code4.h"
#include "engine/DbfHeader.h"
#include "engine/Field4.h"
#include "engine/MemoFile.h"
#include "engine/TableFile.h"
#include "engine/Tag4.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::engine {

// An open table: a Visual FoxPro .dbf with its .fpt memo file and the tag
// definitions kept in a .cdx beside it. Several handles, in one process or
// many, may share a table; record and table locks keep their writes apart,
// and each handle notices the others' changes through a change counter in
// the header.
class Data4 {
public:
    // Opens shared, or exclusively while code.accessMode is OPEN4DENY_RW.
    // nullptr on failure, with the reason in code.errorCode().
    static std::unique_ptr<Data4> open(Code4& code, const std::string& path);
    // Opens exclusively for a caller that knows which tags the table must
    // have: an index file that is missing, damaged or lacks one of `tags` is
    // written again from them (keeping its other tags) while the table is held.
    static std::unique_ptr<Data4> openWithTags(Code4& code, const std::string& path,
                                               const std::vector<Tag4Info>& tags);
    static std::unique_ptr<Data4> create(Code4& code, const std::string& path,
                                         const std::vector<Field4Info>& fields,
                                         const std::vector<Tag4Info>& tags = {});
    ~Data4();
    Data4(const Data4&) = delete;
    Data4& operator=(const Data4&) = delete;

    int close();
    int flush();
    // Re-reads the header; when another handle changed the table, its tags
    // are rebuilt and the current record read again.
    int refresh();

    Code4& code() { return code_; }
    const std::string& path() const { return path_; }
    bool isExclusive() const { return exclusive_; }
    bool isEncrypted() const { return header_.encrypted; }

    // Position.
    long recCount();
    long recNo() const { return recNo_; }
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int go(long recNo);
    int top();
    int bottom();
    int skip(long count = 1);
    int seek(std::string_view key);
    int seekDouble(double key);
    int seekNext(std::string_view key);
    int seekNextDouble(double key);
    // Seeks key bytes as the tag stores them (relations pass evaluated keys).
    int seekRawKey(std::string_view key) { return seekOn(std::string(key), false); }
    // Leaves the current record and stands at end of file on a blank record.
    int goEof();
    // The current record's bytes: deletion flag, then the fields.
    const char* recordBuffer() const { return record_.data(); }

    // Tags.
    int tagCount() const { return static_cast<int>(tags_.size()); }
    Tag4* tag(std::string_view name) const;
    Tag4* tagNext(const Tag4* tag) const;       // nullptr gives the first
    void select(Tag4* tag) { selected_ = tag; } // nullptr: record order
    int select(std::string_view tagName);
    Tag4* selected() const { return selected_; }

    // Fields.
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    Field4* field(std::string_view name) const;
    Field4* field(int position) const; // 1-based

    // Appending: start from the current record, usually blanked, assign, append.
    int appendStart();
    void blank();
    int append();

    void deleteRec();
    void recall();
    bool deleted() const { return !record_.empty() && record_[0] == '*'; }
    int pack();

    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    int write(); // writes the current record now when it changed

    // Locks.
    int lock(long recNo);
    int lockAll();
    int unlock();
    bool lockTest(long recNo) const; // held by this handle
    bool lockTestAll() const { return exclusive_ || lockedAll_; }
    bool lockedByOther(long recNo) const;

private:
    friend class Field4;
    friend class Code4;
    explicit Data4(Code4& code);

    using FixedBytes = std::array<char, DbfHeader::fixedSize>;

    int openFile(const std::string& path, const std::vector<Tag4Info>* requiredTags);
    HeaderStatus readHeader(std::string& error, bool& marked);
    bool readRecord(std::uint32_t recNo, std::string& out) const;
    int loadRecord(std::uint32_t recNo);
    void positionAtEof();
    int flushRecord();
    int writeRecordBytes(std::uint32_t recNo, const std::string& plain);
    int storePendingMemos();
    bool readFixed(FixedBytes& fixed) const;
    bool readFixedHeader(std::uint32_t& count, std::uint32_t& counter) const;
    void adoptHeader(std::uint32_t count, std::uint32_t counter);
    void refreshIfChanged();
    int ensureTags();
    void noteOwnChange(std::uint32_t counterBefore);
    TableFile::LockResult acquire(std::uint64_t offset, std::uint64_t length) const;
    bool lockBriefly(std::uint64_t offset) const;
    void unlockHeader() const;
    int lockHeaderForWrite(bool journalHeld, FixedBytes& fixed);
    int recoverJournal();
    int recoverHeld();
    int notWritable();
    void releaseLocks();
    int seekOn(const std::string& key, bool next);
    int loadFromTag(std::size_t pos);
    std::string memoText(const Field4& field) const;
    void setMemo(const Field4& field, std::string data);

    Code4& code_;
    std::string path_;
    TableFile file_;
    MemoFile memo_;
    DbfHeader header_;
    std::unique_ptr<TableCipher> cipher_;
    std::vector<std::unique_ptr<Field4>> fields_;
    std::vector<std::unique_ptr<Tag4>> tags_;
    Tag4* selected_ = nullptr;

    std::string record_;
    std::string blankRecord_;
    std::vector<std::optional<std::string>> pendingMemos_; // by field position - 1
    long recNo_ = 0;
    bool eof_ = true;
    bool bof_ = true;
    bool changed_ = false;
    bool appending_ = false;

    bool exclusive_ = false;
    bool writable_ = true;
    std::string readOnlyWhy_; // why the table could only be opened for reading
    std::uint32_t recordCount_ = 0;
    std::uint32_t knownCounter_ = 0;
    bool tagsStale_ = true;
    std::string snapshot_; // plain records 1..snapshotCount_, valid while !tagsStale_
    std::uint32_t snapshotCount_ = 0;
    bool lockedAll_ = false;
    std::set<long> lockedRecords_;
};

using DATA4 = Data4;

} // namespace kelo::engine
