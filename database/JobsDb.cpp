#include "database/JobsDb.h"

#include "common/Text.h"
#include "database/TableSupport.h"

namespace kelo::database {

JOBSDB::JOBSDB(engine::Code4& code, const common::WorkingFolder& folder)
    : LookupTable(code, folder, kPath, kTitle) {}

Schema JOBSDB::schema() const {
    Schema s = lookupSchema();
    s.fields.push_back({kGrade, 'N', kCodeWidth, 0});
    s.fields.push_back({kDescription, 'C', static_cast<unsigned>(kDescriptionWidth), 0});
    return s;
}

bool JOBSDB::getJobRec(long code, JOBREC& rec) {
    return readCode(code, [&] { rec = currentRec(); });
}

long JOBSDB::getMemberCnt(long gradeCode) {
    if (!data())
        return 0;
    TablePlace place(data());
    data()->select(nullptr);
    long count = 0;
    for (int rc = data()->top(); rc == engine::r4success && !data()->eof(); rc = data()->skip()) {
        if (!data()->deleted() && field(kGrade).getLong() == gradeCode)
            ++count;
    }
    return count;
}

JOBREC JOBSDB::currentRec() const {
    JOBREC rec;
    if (!data() || data()->eof())
        return rec;
    rec.code = field(kCode).getLong();
    rec.title = field(kTitle).trimmed();
    rec.gradeCode = field(kGrade).getLong();
    rec.description = field(kDescription).trimmed();
    return rec;
}

void JOBSDB::assign(const JOBREC& rec) const {
    field(kTitle).assign(common::trim(rec.title));
    field(kGrade).assignLong(rec.gradeCode);
    field(kDescription).assign(rec.description);
}

bool JOBSDB::appendRecord(JOBREC& rec) {
    const long code = appendWithNextCode([&] { assign(rec); });
    if (code == 0)
        return false;
    rec.code = code;
    return true;
}

bool JOBSDB::updateRecord(const JOBREC& rec) {
    return updateCurrent([&] { assign(rec); });
}

} // namespace kelo::database
