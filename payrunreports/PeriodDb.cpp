#include "payrunreports/PeriodDb.h"

#include "common/AtomicFile.h"
#include "common/TaggedFile.h"
#include "database/AbsenceDb.h"
#include "database/CoopsDb.h"
#include "database/DbTable.h"
#include "database/JobsDb.h"
#include "database/LeaveDb.h"
#include "database/NssfDb.h"
#include "database/OptionsDb.h"
#include "database/OrgDb.h"
#include "database/PayFieldsFile.h"
#include "database/PayGroupDb.h"
#include "database/PayLogDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/PensionsDb.h"
#include "database/SdlDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "database/VarDb.h"
#include "payrunreports/PeriodBuild.h"
#include "payrunreports/PeriodFormat.h"

#include <filesystem>
#include <system_error>

namespace kelo::payrunreports {

namespace fs = std::filesystem;

PERIODDB::PERIODDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder)
    : CALCFIELDS(code, folder),
      owner_(owner),
      code_(code),
      folder_(folder) {}

std::string PERIODDB::periodFilePath(common::PAYFREQ payFreq, const common::ORGREC& org,
                                     bool current) {
    return current ? database::PAYLOGDB::getCurPeriodFile(payFreq, org)
                   : database::PAYLOGDB::getTmpPeriodFile(payFreq, org.year);
}

bool PERIODDB::checkFiles(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org) {
    if (!database::allValid(ui, code_, folder_, {database::STATDB::kPath}) ||
        !database::hasData(ui, code_, folder_, database::STATDB::kPath, "Employee Master"))
        return false;
    const std::string definitions(common::payFieldDefinitionsPath(payFreq));
    if (definitions.empty() || !common::checkFileId(ui, folder_.resolve(definitions), definitions))
        return false;
    const std::string table(common::transactionsTablePath(payFreq));
    if (!database::isValid(code_, folder_, table)) {
        ui.error("Can't open " + table);
        return false;
    }
    const std::pair<const char*, const char*> withData[] = {
        {database::UNITSDB::kPath, "Administrative Units"},
        {database::JOBSDB::kPath, "Jobs"},
        {database::STATIONSDB::kPath, "Stations"}};
    for (const auto& [path, title] : withData) {
        if (!database::allValid(ui, code_, folder_, {path}) ||
            !database::hasData(ui, code_, folder_, path, title))
            return false;
    }
    if (!database::allValid(ui, code_, folder_,
                            {database::PAYGROUPDB::kPath, database::COOPSDB::kPath,
                             database::PENSIONSDB::kPath, database::PAYLOGDB::kPath}))
        return false;
    if (checkCalcFiles(org) != 1) {
        ui.error("Can't find the PAYE and NSSF tables of " + std::to_string(org.fiscalYear));
        return false;
    }
    return true;
}

bool PERIODDB::writeFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                         bool current) {
    const std::string path = periodFilePath(payFreq, org, current);
    common::StatusText status(owner_, "Creating " + path + "...");
    const std::string resolved = folder_.resolve(path);
    {
        // Found out before the whole payroll is worked through.
        common::AtomicFile probe;
        if (path.empty() || !probe.open(resolved)) {
            ui.error("Unable to create " + path);
            return false;
        }
    }
    const auto openFailed = [&](const std::string& table) {
        const std::string text = database::openFailureText(code_, table);
        code_.setErrorCode(0);
        ui.error(text);
        return false;
    };
    if (!initCalcFields(ui, org))
        return false;
    PeriodLookups lookups(code_, folder_);
    std::string failed;
    if (!lookups.open(failed))
        return openFailed(failed);
    database::PayFieldTables tables;
    if (!database::readPayFields(ui, folder_, payFreq, tables))
        return false;
    common::PayItemDefs payDefs;
    database::VARDB transactions(code_, folder_);
    if (!database::payItemDefsOf(tables, payDefs) || !transactions.setDefinitions(payDefs)) {
        code_.setErrorCode(0);
        ui.error("Unable to open " + std::string(common::payFieldDefinitionsPath(payFreq)));
        return false;
    }
    if (!transactions.openFile(payFreq) || !transactions.orderByEmpNum2())
        return openFailed(std::string(common::transactionsTablePath(payFreq)));
    database::STATDB staff(code_, folder_);
    if (!staff.openFile() || !staff.orderFile(common::kSortByEmpNum))
        return openFailed(database::STATDB::kPath);

    const ReportItemDefs defs = reportDefsOf(tables, lookups);
    common::TaggedWriter w(resolved, common::TaggedWriter::Mode::Replace);
    bool ok = writePreamble(w, fileTitle(payFreq, org), org.folder, path) &&
              writeHeader(w, periodHeader(periodTitle(payFreq, org), payFreq, org)) &&
              writeDefinitions(w, defs) && w.writeTag(kRecordsBlock, common::TagKind::BlockStart);
    engine::Data4& rows = *transactions.data();
    common::VARIATIONSREC rec;
    common::STATICREC employee;
    database::PERSONNELREC personnel;
    for (int rc = rows.top(); ok && rc == engine::r4success && !rows.eof(); rc = rows.skip()) {
        // A leaver whose termination went through an earlier period keeps
        // his transactions record until the month end drops it, but is paid
        // no more.
        if (!transactions.initRec(rec) || !staff.seekEmpNum(rec.empNum) ||
            !staff.initRec(employee) || !staff.initRec(personnel) || employee.separated)
            continue;
        copyStatFields(rec, employee);
        computeFields(rec);
        ok = writeRecord(w,
                         reportRecordOf(rec, employee, personnel, defs, statutoryRate(), lookups));
    }
    code_.setErrorCode(0);
    ok = ok && w.writeTag(kRecordsBlock, common::TagKind::BlockEnd) && w.writeEof();
    ok = w.close() && ok;
    if (!ok)
        ui.error("Unable to create " + path);
    return ok;
}

void PERIODDB::delTmpFiles(const common::ORGREC& org) {
    for (common::PAYFREQ payFreq : common::kPayFreqs) {
        const std::string path = database::PAYLOGDB::getTmpPeriodFile(payFreq, org.year);
        owner_.setStatusText("Deleting " + path + "...");
        std::error_code ignored;
        fs::remove(folder_.resolve(path), ignored);
    }
    owner_.setStatusText({});
}

std::vector<std::string> PERIODDB::sourceFiles(common::PAYFREQ payFreq, const common::ORGREC& org) {
    const std::string year = "../system/" + std::to_string(org.fiscalYear) + "/";
    return {year + database::PAYEDB::kFileName, year + database::NSSFDB::kFileName,
            year + database::PAYEPARAMDB::kFileName,
            // The levy rate and the payroll options change the figures too.
            year + database::SDLDB::kFileName, database::OPTIONSDB::kPath, database::ORGDB::kPath,
            database::STATDB::kPath, database::ABSENCEDB::kPath, database::LEAVEDB::kPath,
            database::UNITSDB::kPath, database::JOBSDB::kPath, database::STATIONSDB::kPath,
            database::PAYGROUPDB::kPath, database::COOPSDB::kPath, database::PENSIONSDB::kPath,
            std::string(common::payFieldDefinitionsPath(payFreq)),
            std::string(common::transactionsTablePath(payFreq))};
}

bool PERIODDB::requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                           const common::ORGREC& org) {
    if (!param.isCurrentPeriod)
        return false;
    std::error_code error;
    const std::string path = database::PAYLOGDB::getTmpPeriodFile(param.payFreq, org.year);
    const auto written = fs::last_write_time(folder.resolve(path), error);
    if (path.empty() || error)
        return true;
    for (const std::string& source : sourceFiles(param.payFreq, org)) {
        const auto changed = fs::last_write_time(folder.resolve(source), error);
        if (!error && changed > written)
            return true;
    }
    return false;
}

} // namespace kelo::payrunreports
