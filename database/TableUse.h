#pragma once

#include "common/Ui.h"
#include "database/DbTable.h"

#include <string>

namespace kelo::database {

// One operation's use of a table: a table the caller keeps open is used as it
// is (its order is given back afterwards); otherwise it is opened shared for
// the operation and closed again. A table that will not open is told to `ui`
// (when given) and the engine's error code is reset.
class TableUse {
public:
    TableUse(DbTable& table, common::Ui* ui) : table_(table) {
        if (table_.isOpen()) {
            order_ = table_.data()->selected();
            ok_ = true;
            return;
        }
        ok_ = table_.openFile();
        opened_ = ok_;
        if (!ok_) {
            const int code = table_.code().errorCode();
            // No permission must never read as another user's lock.
            const std::string text = code == engine::e4access ? inUseMessage(table_)
                                     : code == engine::e4permission
                                         ? openFailureText(table_.code(), table_.relativePath())
                                         : "Can't open " + table_.relativePath();
            table_.code().setErrorCode(0);
            if (ui)
                ui->error(text);
        }
    }
    ~TableUse() {
        if (opened_)
            table_.closeFile();
        else if (ok_)
            table_.data()->select(order_);
    }
    TableUse(const TableUse&) = delete;
    TableUse& operator=(const TableUse&) = delete;

    explicit operator bool() const { return ok_; }

    static std::string inUseMessage(const DbTable& table) {
        return "Can't update " + table.relativePath() + " because another user is using it.";
    }
    static std::string cantUpdateMessage(const DbTable& table) {
        return "Can't update " + table.relativePath();
    }

private:
    DbTable& table_;
    engine::Tag4* order_ = nullptr;
    bool ok_ = false;
    bool opened_ = false;
};

} // namespace kelo::database
