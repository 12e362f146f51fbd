#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/TaggedFile.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/PeriodRecords.h"

#include <optional>
#include <string>

namespace kelo::payrunreports {

class PERIODDB;

// Reads a period file back for the reports, and fills in the employees'
// leave balances once the file is written.
class PERIODDBEX {
public:
    // `owner` shows the progress texts.
    PERIODDBEX(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // The file a report of `param` reads, relative to the organisation
    // folder: the working file of the current period, or for a closed period
    // the file the pay log names. nullopt after a message naming the period
    // when the log names no file for it or the file it names is gone.
    std::optional<std::string> reportFilePath(common::Ui& ui, const common::REPORTPARAM& param);

    // Opens the file at `path` for reading: it must pass the identity check,
    // have been written for this organisation and hold its header and
    // definitions. False after a message.
    bool open(common::Ui& ui, const std::string& path, const common::ORGREC& org);
    bool isOpen() const { return reader_.isOpen(); }
    const PeriodHeader& header() const { return header_; }
    const ReportItemDefs& definitions() const { return defs_; }
    // The next employee; false at the end of the file, and after a message
    // for a damaged record.
    bool readRecord(common::Ui& ui, REPORTREC& rec);
    void close();

    // The whole file a report of `param` reads. False after a message, with
    // `out` unchanged.
    bool readFile(common::Ui& ui, const common::REPORTPARAM& param, const common::ORGREC& org,
                  PeriodFile& out);

    // Fills in each employee's leave balance in the frequency's file (as
    // PERIODDB::writeFile chose it) from the absence and leave tables; every
    // other byte stays. False on failure, with the file as it was.
    bool saveLeaveDays(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                       bool current);

private:
    bool damaged(common::Ui& ui);

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::TaggedReader reader_;
    std::string path_;
    PeriodHeader header_;
    ReportItemDefs defs_;
};

// What a report of the current period does before it reads: when the
// working file is missing or stale (PERIODDB::requireFile) it is written
// again with its leave balances; a fresh one is kept. False after a
// message when it cannot be written.
bool preparePeriodFile(common::Ui& ui, PERIODDB& writer, PERIODDBEX& reader,
                       const common::REPORTPARAM& param, const common::ORGREC& org);

} // namespace kelo::payrunreports
