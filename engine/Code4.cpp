#include "engine/Code4.h"

#include "engine/Data4.h"

#include <algorithm>
#include <cstring>
#include <openssl/crypto.h>

namespace kelo::engine {

Code4::Code4() = default;

Code4::~Code4() {
    closeAll();
    if (key_)
        OPENSSL_cleanse(key_->data(), key_->size());
}

int Code4::setErrorCode(int code) {
    const int previous = errorCode_;
    errorCode_ = code;
    if (code == 0)
        errorText_.clear();
    return previous;
}

int Code4::error(int code, const std::string& description) {
    errorCode_ = code;
    errorText_ = description;
    if (reporter_ && code < 0)
        reporter_(code, description);
    return code;
}

bool Code4::encryptInit(const unsigned char* key, std::size_t length) {
    if (!key || length != TableCipher::Key().size()) {
        error(e4parm, "an encryption key has 32 bytes");
        return false;
    }
    TableCipher::Key copy{};
    std::memcpy(copy.data(), key, copy.size());
    key_ = copy;
    OPENSSL_cleanse(copy.data(), copy.size());
    return true;
}

void Code4::registerTable(Data4* table) {
    tables_.push_back(table);
}

void Code4::unregisterTable(Data4* table) {
    tables_.erase(std::remove(tables_.begin(), tables_.end(), table), tables_.end());
    group_.erase(std::remove_if(group_.begin(), group_.end(),
                                [table](const PendingLock& p) { return p.table == table; }),
                 group_.end());
}

void Code4::lockAdd(Data4& table, long recNo) {
    group_.push_back({&table, recNo});
}

void Code4::lockAddAll(Data4& table) {
    group_.push_back({&table, 0});
}

int Code4::lockGroup() {
    // All or nothing: a group is only useful when every lock in it is held.
    const bool savedAuto = autoUnlock;
    autoUnlock = false;
    std::vector<Data4*> touched;
    int rc = r4success;
    for (const PendingLock& p : group_) {
        const bool heldBefore = p.recNo == 0 ? p.table->lockTestAll() : p.table->lockTest(p.recNo);
        rc = p.recNo == 0 ? p.table->lockAll() : p.table->lock(p.recNo);
        if (rc != r4success)
            break;
        if (!heldBefore)
            touched.push_back(p.table);
    }
    autoUnlock = savedAuto;
    if (rc != r4success) {
        for (Data4* table : touched)
            table->releaseLocks();
    }
    group_.clear();
    return rc;
}

int Code4::unlockAll() {
    int rc = r4success;
    for (Data4* table : tables_) {
        const int one = table->unlock();
        if (one < 0)
            rc = one;
    }
    return rc;
}

int Code4::closeAll() {
    int rc = r4success;
    while (!tables_.empty()) {
        const int one = tables_.back()->close();
        if (one < 0)
            rc = one;
    }
    return rc;
}

} // namespace kelo::engine
