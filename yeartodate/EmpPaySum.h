#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "yeartodate/YtdDb.h"
#include "yeartodate/YtdFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelo::yeartodate {

// One line of an employee's year as the pay summary shows it.
struct SummaryLine {
    enum class Kind { Section, Item, Total };
    Kind kind = Kind::Item;
    std::string caption;
    const YtdRow* row = nullptr; // none for a section's title
};

// The lines of an employee's page in their order: payments, deductions (when
// he had any), net pay and benefits (when he had any); rows never shown are
// left out.
std::vector<SummaryLine> summaryLines(const YTDREC& rec);

// Sum of the months the employee was paid in.
double shownTotal(const YTDREC& rec, const YtdRow& row);

// The employee pay summary: one landscape page per employee with his pay
// items month by month for a calendar year, whatever month range was asked,
// and the same as text.
class EMPPAYSUM : public common::REPORTBASE {
public:
    EMPPAYSUM(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const common::REPORTPARAM& param);

    std::string caption() const override { return "Employee Pay Summary"; }

    // The interim file of the current year is missing or stale; a past
    // year's file is read as it is.
    bool requireFile(const common::ORGREC& org) const;
    // Reads the year's file (the interim one for the current year), keeping
    // the employees of the selection: a unit anywhere on the unit path
    // (ignoring case) or a station (exactly). False after one message.
    bool readFile(const common::ORGREC& org);
    // By name when the "Sort Key" is 1, ignoring case, equal names in the
    // file's order; else the file's employee number order.
    void sort();

    int year() const { return year_; }
    int sortKey() const { return sortKey_; }
    const YtdHeader& header() const { return header_; }
    const std::vector<YTDREC>& records() const { return records_; }

    static constexpr double kCaptionColumn = 23;
    static constexpr double kMonthColumn = 18;
    static constexpr double kTotalColumn = 20;

protected:
    void layOutRows() override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;

private:
    double drawLine(common::Canvas& canvas, const YTDREC& rec, const SummaryLine& line,
                    double y) const;

    const common::WorkingFolder& folder_;
    int year_ = 0;
    std::int32_t groupBy_ = 0;
    std::string groupName_;
    int sortKey_ = 0;
    YtdHeader header_;
    YtdNames names_;
    std::vector<YTDREC> records_;
};

// What the main program runs for the pay summary: for the current year the
// interim file is made again when stale (after the store's checks), then
// the file is read, sorted and laid out. False after a message.
bool preparePaySummary(common::Ui& ui, YTDDB& store, EMPPAYSUM& report, const common::ORGREC& org);

} // namespace kelo::yeartodate
