#include "database/PostsDb.h"

#include "database/LookupTable.h"
#include "database/TableSupport.h"

namespace kelo::database {

namespace {
constexpr int kCodeWidth = static_cast<int>(LookupTable::kCodeWidth);
constexpr unsigned kCountWidth = 5;
} // namespace

POSTSDB::POSTSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : DbTable(code, folder, kPath) {}

Schema POSTSDB::schema() const {
    Schema s;
    s.fields = {{kUnit, 'N', LookupTable::kCodeWidth, 0}, {kJob, 'N', LookupTable::kCodeWidth, 0}};
    for (const char* column : kCounts)
        s.fields.push_back({column, 'N', kCountWidth, 0});
    const std::string width = std::to_string(kCodeWidth);
    s.tags = {tagInfo(kUnitJobTag, "STR(UNIT," + width + ")+STR(JOB," + width + ")")};
    return s;
}

std::string POSTSDB::unitJobKey(long unit, long job) {
    return numberKey(unit, kCodeWidth) + numberKey(job, kCodeWidth);
}

long POSTSDB::getMemberCnt(int kind, long code) {
    if (!data() || (kind != ByUnit && kind != ByJob))
        return 0;
    TablePlace place(data());
    data()->select(nullptr);
    const char* column = kind == ByUnit ? kUnit : kJob;
    long count = 0;
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (!data()->deleted() && field(column).getLong() == code)
            ++count;
    }
    return count;
}

bool POSTSDB::gotoPost(long unit, long job) {
    if (!data())
        return false;
    TablePlace place(data());
    order(kUnitJobTag);
    const bool found = seekExact(*data(), unitJobKey(unit, job));
    if (!found)
        data()->goEof();
    place.keepPosition();
    return found;
}

bool POSTSDB::getPostRec(long unit, long job, POSTREC& rec) {
    if (!data())
        return false;
    TablePlace place(data());
    if (!gotoPost(unit, job))
        return false;
    rec = currentRec();
    return true;
}

std::vector<POSTREC> POSTSDB::rowsFrom(std::string_view keyPrefix) {
    std::vector<POSTREC> rows;
    if (!data())
        return rows;
    TablePlace place(data());
    order(kUnitJobTag);
    int rc = keyPrefix.empty() ? data()->top() : data()->seek(keyPrefix);
    for (; (rc == engine::r4success || rc == engine::r4after) && !data()->eof();
         rc = data()->skip()) {
        const POSTREC rec = currentRec();
        if (!keyPrefix.empty() && numberKey(rec.unit, kCodeWidth) != keyPrefix)
            break;
        if (!data()->deleted())
            rows.push_back(rec);
    }
    return rows;
}

std::vector<POSTREC> POSTSDB::unitPosts(long unit) {
    return rowsFrom(numberKey(unit, kCodeWidth));
}

std::vector<POSTREC> POSTSDB::allPosts() {
    return rowsFrom({});
}

POSTREC POSTSDB::currentRec() const {
    POSTREC rec;
    if (!data() || data()->eof())
        return rec;
    rec.unit = field(kUnit).getLong();
    rec.job = field(kJob).getLong();
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i)
        rec.count[i] = field(kCounts[i]).getInt();
    return rec;
}

void POSTSDB::assignCounts(const POSTREC& rec) const {
    for (std::size_t i = 0; i < POSTREC::kTermsCount; ++i)
        field(kCounts[i]).assignInt(rec.count[i]);
}

bool POSTSDB::appendRecord(const POSTREC& rec) {
    if (!data() || data()->appendStart() != engine::r4success)
        return false;
    data()->blank();
    field(kUnit).assignLong(rec.unit);
    field(kJob).assignLong(rec.job);
    assignCounts(rec);
    return appendNow(*data());
}

bool POSTSDB::updateRecord(const POSTREC& rec) {
    if (!data() || data()->eof())
        return false;
    assignCounts(rec);
    return writeOrRevert(*data());
}

} // namespace kelo::database
