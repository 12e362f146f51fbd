#pragma once

#include "common/OrgRecords.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "paycalc/CalcFields.h"

#include <string>
#include <vector>

namespace kelo::payrunreports {

// Writes the period file of a pay frequency: a snapshot of the whole
// payroll of the period (the organisation, the item definitions and every
// employee on the payroll with his pay recomputed), from which every
// pay-run report reads, so that reports never touch the live tables and
// all of them show the same figures. The file is written beside the old one
// and put in its place only when complete, so a failure leaves the old file.
class PERIODDB : public paycalc::CALCFIELDS {
public:
    // `owner` shows the progress texts.
    PERIODDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // The file of the frequency's current period, relative to the
    // organisation folder: the working file the reports of the current
    // period read ("2025/monperiod.int"), or with `current` the file kept
    // for the period when it closes ("2025/mon03.dbf").
    static std::string periodFilePath(common::PAYFREQ payFreq, const common::ORGREC& org,
                                      bool current);

    // True when every table and file the period file is made from can be
    // read; otherwise the first that cannot has been told through `ui`.
    bool checkFiles(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org);
    // Recomputes every employee on the frequency's payroll and writes the
    // file (periodFilePath). False after a message; the old file stays.
    bool writeFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                   bool current);
    // Deletes the working files of all four frequencies of the
    // organisation's year.
    void delTmpFiles(const common::ORGREC& org);

    // Whether the working file of a report on the current period must be
    // written again: it is missing, or a table or file it is made from has
    // changed since it was written. Always false for a closed period, whose
    // kept file never changes.
    static bool requireFile(const common::WorkingFolder& folder, const common::REPORTPARAM& param,
                            const common::ORGREC& org);
    // The tables and files the working file is made from, relative to the
    // organisation folder.
    static std::vector<std::string> sourceFiles(common::PAYFREQ payFreq, const common::ORGREC& org);

    const common::WorkingFolder& folder() const { return folder_; }

private:
    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
};

} // namespace kelo::payrunreports
