#pragma once

#include "engine/EngineCodes.h"
#include "engine/Journal.h"
#include "engine/TableCipher.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelo::engine {

class Data4;

// The engine handle: one per process, created before any table is opened and
// passed to every table. It holds the settings every open and lock obeys, the
// last error, the encryption key and the pending lock group.
class Code4 {
public:
    using ErrorReporter = std::function<void(int code, const std::string& description)>;

    Code4();
    ~Code4();
    Code4(const Code4&) = delete;
    Code4& operator=(const Code4&) = delete;

    // Settings.
    // Automatic unlocking: a new lock on a table first releases the locks that
    // table already holds. Off, locks accumulate until unlocked explicitly.
    bool autoUnlock = true;
    // OPEN4DENY_RW opens tables exclusively; callers raise it around one open.
    unsigned char accessMode = OPEN4DENY_NONE;
    // Overwrite protection: create refuses to replace an existing table.
    bool safety = true;
    // How many times a lock is tried, lockDelayMs apart, before r4locked.
    int lockAttempts = 1;
    int lockDelayMs = 50;
    // Called between the steps of every journaled change; tests stop the
    // process there to leave what a crash would.
    JournalHook journalHook;
    // A record that straddles a page goes through the journal so that a power
    // cut never leaves it torn. A caller with its own way back (the month
    // end's copy of the organisation) may switch this off for tables opened
    // alone, and then flushes them itself before it gives its way back up.
    bool journalExclusiveWrites = true;

    // Errors: the code of the last failure stays until reset with 0.
    int errorCode() const { return errorCode_; }
    int setErrorCode(int code);
    const std::string& errorText() const { return errorText_; }
    void setErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }
    int error(int code, const std::string& description); // records, reports, returns code

    int indexFormat() const { return r4cdx; }

    // Encryption of tables created from now on, and of every encrypted table opened.
    bool encryptInit(const unsigned char* key, std::size_t length);
    void encryptFile(bool on) { encryptNew_ = on && key_.has_value(); }
    bool encrypting() const { return encryptNew_; }
    const std::optional<TableCipher::Key>& key() const { return key_; }

    // Lock groups: queue records or whole tables, then lock all or none.
    void lockAdd(Data4& table, long recNo);
    void lockAddAll(Data4& table);
    int lockGroup();
    // Releases every lock of every table opened through this handle.
    int unlockAll();

    // Closes every table still open through this handle.
    int closeAll();

private:
    friend class Data4;
    void registerTable(Data4* table);
    void unregisterTable(Data4* table);

    struct PendingLock {
        Data4* table;
        long recNo; // 0: the whole table
    };
    int errorCode_ = 0;
    std::string errorText_;
    ErrorReporter reporter_;
    std::optional<TableCipher::Key> key_;
    bool encryptNew_ = false;
    std::vector<PendingLock> group_;
    std::vector<Data4*> tables_; // open tables, owned by their callers
};

using CODE4 = Code4;

} // namespace kelo::engine
