#include "database/PayLogDb.h"

#include "common/Calendar.h"
#include "database/TableUse.h"

#include <array>
#include <cstdio>

namespace kelo::database {

namespace {

// File name stems by frequency, as the transactions tables are named.
constexpr std::array<const char*, common::kPayFreqCount> kStems{"mon", "wk", "bwk", "irr"};

std::string periodKey(common::PAYFREQ payFreq, common::date period) {
    char key[48];
    std::snprintf(key, sizeof key, "%1d%4d%2d%2d", static_cast<int>(payFreq),
                  static_cast<int>(period.year), static_cast<int>(period.month),
                  static_cast<int>(period.day));
    return key;
}

std::string todayText() {
    const common::date today = common::date::today();
    char text[48];
    std::snprintf(text, sizeof text, "%04d%02d%02d", static_cast<int>(today.year),
                  static_cast<int>(today.month), static_cast<int>(today.day));
    return text;
}

} // namespace

PAYLOGDB::PAYLOGDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema PAYLOGDB::schema() const {
    return {{{"PAYFREQ", 'N', 1, 0},
             {"YEAR", 'N', 4, 0},
             {"MONTH", 'N', 2, 0},
             {"DAY", 'N', 2, 0},
             {"FILENAME", 'C', 60, 0},
             {"CLOSEDON", 'D', 8, 0}},
            {{kPeriodTag, "STR(PAYFREQ,1)+STR(YEAR,4)+STR(MONTH,2)+STR(DAY,2)", "", false, false}}};
}

common::date PAYLOGDB::currentPeriod(common::PAYFREQ payFreq, const common::ORGREC& org) {
    const int month = common::monthNumber(org.month);
    if (month == 0 || !common::isValidPayFreq(payFreq))
        return {};
    std::int32_t day = 0;
    switch (payFreq) {
    case common::WEEKLY:
        day = org.weekEndDay;
        break;
    case common::BIWEEKLY:
        day = org.fortnightEndDay;
        break;
    case common::IRREGULAR:
        day = org.irregEndDay;
        break;
    default:
        break;
    }
    return common::date{org.year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

std::string PAYLOGDB::getCurPeriodFile(common::PAYFREQ payFreq, const common::ORGREC& org) {
    const common::date period = currentPeriod(payFreq, org);
    if (period.month == 0)
        return {};
    char path[96];
    if (payFreq == common::MONTHLY)
        std::snprintf(path, sizeof path, "%d/%s%02d.dbf", static_cast<int>(period.year),
                      kStems[payFreq], static_cast<int>(period.month));
    else
        std::snprintf(path, sizeof path, "%d/%s%02d%02d.dbf", static_cast<int>(period.year),
                      kStems[payFreq], static_cast<int>(period.month),
                      static_cast<int>(period.day));
    return path;
}

std::string PAYLOGDB::getTmpPeriodFile(common::PAYFREQ payFreq, int year) {
    if (!common::isValidPayFreq(payFreq))
        return {};
    return std::to_string(year) + "/" + kStems[payFreq] + "period.int";
}

std::optional<std::string> PAYLOGDB::getPeriodFile(common::PAYFREQ payFreq, common::date period) {
    if (!common::isValidPayFreq(payFreq))
        return std::nullopt;
    TableUse use(*this, nullptr);
    if (!use || !order(kPeriodTag))
        return std::nullopt;
    std::optional<std::string> path;
    if (data()->seek(periodKey(payFreq, period)) == engine::r4success && !data()->deleted())
        path = field("FILENAME").trimmed();
    code().setErrorCode(0);
    return path;
}

bool PAYLOGDB::closedPeriods(common::PAYFREQ payFreq, std::vector<common::date>& periods) {
    periods.clear();
    if (!common::isValidPayFreq(payFreq))
        return false;
    TableUse use(*this, nullptr);
    if (!use || !order(kPeriodTag))
        return false;
    int rc = data()->seek(std::to_string(payFreq));
    for (; rc == engine::r4success && field("PAYFREQ").getLong() == payFreq; rc = data()->skip()) {
        if (data()->deleted())
            continue;
        periods.push_back(common::date{static_cast<std::int32_t>(field("YEAR").getLong()),
                                       static_cast<std::uint8_t>(field("DAY").getLong()),
                                       static_cast<std::uint8_t>(field("MONTH").getLong())});
    }
    code().setErrorCode(0);
    return rc >= 0;
}

bool PAYLOGDB::updatePayLog(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org) {
    common::StatusText status(ui, "Updating " + fileTitle(relativePath()) + "...");
    const common::date period = currentPeriod(payFreq, org);
    if (period.month == 0) {
        ui.error(TableUse::cantUpdateMessage(*this) + ": the pay period is not valid.");
        return false;
    }
    TableUse use(*this, &ui);
    if (!use)
        return false;
    order(kPeriodTag);
    const bool logged =
        data()->seek(periodKey(payFreq, period)) == engine::r4success && !data()->deleted();
    int rc = logged ? data()->lock(data()->recNo()) : data()->appendStart();
    if (rc == engine::r4success) {
        if (!logged) {
            data()->blank();
            field("PAYFREQ").assignLong(payFreq);
            field("YEAR").assignLong(period.year);
            field("MONTH").assignLong(period.month);
            field("DAY").assignLong(period.day);
        }
        field("FILENAME").assign(getCurPeriodFile(payFreq, org));
        field("CLOSEDON").assign(todayText());
        rc = logged ? data()->unlock() : data()->append();
    }
    if (rc != engine::r4success) {
        code().setErrorCode(0);
        data()->setChanged(false);
        data()->goEof();
        data()->unlock();
        ui.error(rc == engine::r4locked ? TableUse::inUseMessage(*this)
                                        : TableUse::cantUpdateMessage(*this));
        return false;
    }
    return true;
}

bool PAYLOGDB::purgeLog(common::Ui& ui, const common::ORGREC& org) {
    common::StatusText status(ui, "Updating " + fileTitle(relativePath()) + "...");
    TableUse use(*this, &ui);
    if (!use)
        return false;
    int rc = data()->lockAll();
    if (rc == engine::r4success) {
        const long oldest = static_cast<long>(org.year) - org.purgeAge;
        bool any = false;
        data()->select(nullptr);
        for (rc = data()->top(); rc == engine::r4success; rc = data()->skip()) {
            if (!data()->deleted() && field("YEAR").getLong() < oldest) {
                data()->deleteRec();
                any = true;
            }
        }
        if (rc == engine::r4eof)
            rc = any ? data()->pack() : engine::r4success;
    }
    if (rc != engine::r4success) {
        code().setErrorCode(0);
        data()->setChanged(false);
        data()->unlock();
        ui.error(rc == engine::r4locked ? TableUse::inUseMessage(*this)
                                        : TableUse::cantUpdateMessage(*this));
        return false;
    }
    if (data()->unlock() != engine::r4success) {
        code().setErrorCode(0);
        ui.error(TableUse::cantUpdateMessage(*this));
        return false;
    }
    return true;
}

} // namespace kelo::database
