// The advance of the open organisation's pay periods and month, and the
// purge of its old report folders.
#include "common/Calendar.h"
#include "common/Text.h"
#include "setup/Orgs.h"

#include <filesystem>
#include <vector>

namespace kelo::setup {

namespace fs = std::filesystem;

namespace {

// At a period close the end day moves one period on; at the month end to
// the first period end of the next month.
void advance(std::int32_t& day, int period, bool atMonthEnd, int monthLength) {
    if (!atMonthEnd) {
        day += period;
        return;
    }
    if (monthLength <= 0)
        return; // no month to count from
    while (day <= monthLength)
        day += period;
    day %= monthLength;
}

// A folder named by a year exactly as "%d" writes it: no sign, letters or
// leading zero.
bool yearName(const std::string& name, int& year) {
    if (name.empty() || name.size() > 9 || name.front() == '0')
        return false;
    for (char c : name) {
        if (c < '0' || c > '9')
            return false;
    }
    year = std::stoi(name);
    return true;
}

} // namespace

void ORGS::incrPeriodEndDay(common::PAYFREQ payFreq, int atMonthEnd) {
    const int length = common::daysInMonth(common::monthNumber(open_.month), open_.year);
    switch (payFreq) {
    case common::WEEKLY:
        advance(open_.weekEndDay, 7, atMonthEnd != 0, length);
        open_.weekEndEditable = 0;
        break;
    case common::BIWEEKLY:
        advance(open_.fortnightEndDay, 14, atMonthEnd != 0, length);
        open_.fortnightEndEditable = 0;
        break;
    case common::IRREGULAR:
        open_.irregEndDay = atMonthEnd ? 1 : open_.irregEndDay + 1;
        break;
    default: // monthly periods end with their month
        break;
    }
    open_.monthEditable = 0;
    saveOpenRec();
}

void ORGS::incrMonth() {
    const int next = common::monthNumber(open_.month) % 12 + 1;
    open_.month = common::monthName(next);
    if (next == 1) {
        ++open_.year;
        std::error_code ignored;
        fs::create_directory(folder_.resolve(std::to_string(open_.year)), ignored);
    }
    if (next == 7)
        ++open_.fiscalYear;
    open_.monthEditable = 0;
    saveOpenRec();
}

void ORGS::incrBTrFileID() {
    ++open_.bTrFileID;
    saveOpenRec();
}

void ORGS::delRepFiles() {
    // Without an open organisation the working folder is the system folder,
    // whose year folders hold the statutory tables.
    if (open_.orgNum == 0)
        return;
    std::vector<fs::path> purged;
    std::error_code error;
    for (fs::directory_iterator it(folder_.current(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        int year = 0;
        std::error_code kindError;
        if (it->is_directory(kindError) && yearName(name, year) &&
            year < open_.year - open_.purgeAge)
            purged.push_back(it->path());
    }
    for (const fs::path& yearFolder : purged) {
        std::vector<fs::path> tables;
        for (fs::directory_iterator it(yearFolder, error), end; !error && it != end;
             it.increment(error)) {
            if (common::equalsIgnoreCase(it->path().extension().string(), ".dbf"))
                tables.push_back(it->path());
        }
        for (const fs::path& table : tables) {
            common::StatusText status(ui_, "Deleting " + yearFolder.filename().string() + "/" +
                                               table.filename().string() + "...");
            fs::remove(table, error);
        }
        // Only an emptied folder goes; anything else in it stays with it.
        fs::remove(yearFolder, error);
        error.clear();
    }
}

} // namespace kelo::setup
