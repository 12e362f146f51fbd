#pragma once

#include "common/OrgRecords.h"
#include "common/PayRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "paycalc/CalcFields.h"
#include "yeartodate/YtdFormat.h"

#include <string>
#include <vector>

namespace kelo::yeartodate {

// A year-to-date file read whole.
struct YtdFile {
    YtdHeader header;
    YtdNames names;
    std::vector<YTDREC> records; // in employee number order
};

// An amount an employee was paid before the store was kept: one pay
// field's total of one month.
struct YtdOpening {
    std::string empNum;
    std::string field; // a fixed row's name (fixedRowNames) or a pay item's
    int year = 0;
    int month = 0; // 1 for January
    double amount = 0;
};

// The year-to-date store: one file per calendar year holding each
// employee's pay items month by month, fed by every month end with the
// closed month of each pay frequency. An interim copy that adds the open
// month serves the pay summary of the current year. Every file is written
// beside the old one and put in its place only when whole, so a failed
// update leaves the old file as it was.
class YTDDB {
public:
    // `owner` shows the progress texts.
    YTDDB(common::Ui& owner, engine::Code4& code, const common::WorkingFolder& folder);

    // "2025/ytd.dbf", the year's store, and "2025/ytd.int", its interim copy.
    static std::string filePath(int year);
    static std::string interimPath(int year);

    // True when an update can run: the personnel file and the lists have
    // data, the tax tables are there, every frequency's definitions and
    // transactions table open, and the year's file, if any, passes its
    // identity check. Otherwise the first failure has been told.
    bool checkFiles(common::Ui& ui, const common::ORGREC& org);
    // Adds the organisation's current month of the frequency's payroll to
    // the year's file (`final`) or to the interim file. False after a
    // message, with the file as it was.
    bool updateFile(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org, bool final);
    // The interim file made afresh: the year's file with the current month
    // of all four frequencies added. False when a frequency could not be
    // added (told).
    bool writeInterimFile(common::Ui& ui, const common::ORGREC& org);
    void delInterimFile(const common::ORGREC& org);
    // Gives the employee's block of the current year's file its new number
    // and moves it to its place. True also when the file or the block is
    // not there (nothing to change); false after a message.
    bool updateEmpNum(common::Ui& ui, const common::EMPNUMREC& change, const common::ORGREC& org);

    // Opening amounts, for an organisation that starts mid-year: each is
    // set as its month's amount in the file of its year, blocks made for
    // employees the file lacks. Every file is written whole or none is
    // changed; the interim file goes. False after a message.
    bool writeOpeningAmounts(common::Ui& ui, const common::ORGREC& org,
                             const std::vector<YtdOpening>& amounts);

    // The interim file of the organisation's year is missing or older than
    // a table or file it is made from.
    static bool interimIsStale(const common::WorkingFolder& folder, const common::ORGREC& org);
    // What the interim file is made from, relative to the organisation folder.
    static std::vector<std::string> sourceFiles(const common::ORGREC& org);

    const common::WorkingFolder& folder() const { return folder_; }

private:
    bool update(common::Ui& ui, common::PAYFREQ payFreq, const common::ORGREC& org,
                const std::string& source, const std::string& target);

    common::Ui& owner_;
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    paycalc::CALCFIELDS calc_;
};

// Opens the year-to-date file at `path` (relative to the organisation
// folder) for reading: it must pass the identity check and have been
// written for this organisation. False after a message. `reader` is left
// after the five lists, at the first employee block.
bool openYtdFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                 const common::ORGREC& org, common::TaggedReader& reader, YtdHeader& header,
                 YtdNames& names);
// The whole file; false after a message, with `out` unchanged.
bool readYtdFile(common::Ui& ui, const common::WorkingFolder& folder, const std::string& path,
                 const common::ORGREC& org, YtdFile& out);

} // namespace kelo::yeartodate
