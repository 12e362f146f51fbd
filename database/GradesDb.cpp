#include "database/GradesDb.h"

#include "common/Text.h"
#include "database/TableSupport.h"

namespace kelo::database {

namespace {
constexpr unsigned kLimitWidth = 12;
constexpr unsigned kRankWidth = 5;
} // namespace

std::string GRADESDB::lowerColumn(common::PAYFREQ payFreq) {
    return "LOWER" + std::to_string(static_cast<int>(payFreq) + 1);
}

std::string GRADESDB::upperColumn(common::PAYFREQ payFreq) {
    return "UPPER" + std::to_string(static_cast<int>(payFreq) + 1);
}

GRADESDB::GRADESDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath, kName) {}

Schema GRADESDB::schema() const {
    Schema s = lookupSchema();
    s.fields.push_back({kRank, 'N', kRankWidth, 0});
    for (common::PAYFREQ f : common::kPayFreqs)
        s.fields.push_back({lowerColumn(f), 'N', kLimitWidth, 0});
    for (common::PAYFREQ f : common::kPayFreqs)
        s.fields.push_back({upperColumn(f), 'N', kLimitWidth, 0});
    return s;
}

bool GRADESDB::getGradeRec(long code, GRADEREC& rec) {
    return readCode(code, [&] { rec = currentRec(); });
}

long GRADESDB::getGradeCnt() {
    return static_cast<long>(entries().size());
}

GRADEREC GRADESDB::currentRec() const {
    GRADEREC rec;
    if (!data() || data()->eof())
        return rec;
    rec.code = field(kCode).getLong();
    rec.name = field(kName).trimmed();
    rec.rank = field(kRank).getInt();
    for (common::PAYFREQ f : common::kPayFreqs) {
        rec.lowerLimit[f] = field(lowerColumn(f)).getDouble();
        rec.upperLimit[f] = field(upperColumn(f)).getDouble();
    }
    return rec;
}

void GRADESDB::assign(const GRADEREC& rec) const {
    field(kName).assign(common::trim(rec.name));
    field(kRank).assignInt(rec.rank);
    for (common::PAYFREQ f : common::kPayFreqs) {
        field(lowerColumn(f)).assignDouble(rec.lowerLimit[f]);
        field(upperColumn(f)).assignDouble(rec.upperLimit[f]);
    }
}

bool GRADESDB::appendRecord(GRADEREC& rec) {
    const long code = appendWithNextCode([&] { assign(rec); });
    if (code == 0)
        return false;
    rec.code = code;
    return true;
}

bool GRADESDB::updateRecord(const GRADEREC& rec) {
    return updateCurrent([&] { assign(rec); });
}

} // namespace kelo::database
