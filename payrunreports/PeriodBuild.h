#pragma once

#include "common/PayRecords.h"
#include "database/CoopsDb.h"
#include "database/JobsDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayGroupDb.h"
#include "database/PensionsDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "payrunreports/PeriodRecords.h"

#include <map>
#include <string>

namespace kelo::payrunreports {

// The lookup lists that turn an employee's codes into the names the reports
// print. Names are looked up once per code: a payroll names few units and
// jobs many times over.
class PeriodLookups {
public:
    PeriodLookups(engine::Code4& code, const common::WorkingFolder& folder);

    // Opens every list shared; false naming the first that cannot be opened
    // in `failed`.
    bool open(std::string& failed);
    void close();

    std::string jobTitle(long code);
    std::string unitPath(long code);
    std::string stationName(long code);
    std::string payGroupName(long code);
    std::string coopName(long code);
    std::string pensionName(long code);

private:
    template <class Table, class Get>
    std::string cached(std::map<long, std::string>& names, long code, Table& table, Get get);

    database::JOBSDB jobs_;
    database::UNITSDB units_;
    database::STATIONSDB stations_;
    database::PAYGROUPDB payGroups_;
    database::COOPSDB coops_;
    database::PENSIONSDB pensions_;
    std::map<long, std::string> jobNames_, unitPaths_, stationNames_, payGroupNames_, coopNames_,
        pensionNames_;
};

// The definitions blocks of the file from the frequency's definitions,
// built-in items included.
ReportItemDefs reportDefsOf(const database::PayFieldTables& tables, PeriodLookups& lookups);

// One employee's record of the file from his recomputed transactions
// record and his master row. `defs` are the definitions `rec`'s items follow
// (as reportDefsOf gave them); `statutoryRate` is the period's statutory
// interest rate for loan benefits.
REPORTREC reportRecordOf(const common::VARIATIONSREC& rec, const common::STATICREC& employee,
                         const database::PERSONNELREC& personnel, const ReportItemDefs& defs,
                         float statutoryRate, PeriodLookups& lookups);

// The item of the file for one pay item: the projection of its balances
// into the next period. Only the file's values change, never the item.
ReportItem reportItemOf(common::FIELDSTABLE table, const common::PayItem& item,
                        std::shared_ptr<const ReportItemDef> definition, float statutoryRate);

} // namespace kelo::payrunreports
