#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "monthlyreturns/MonthDb.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelo::monthlyreturns {

// Each employee's figures for the whole month: the periods he was paid in
// added up, in name order (employee number among equal names).
std::vector<MONTHEMP> monthTotals(const MONTHFILE& file);

// The WCF monthly return's code beside the returns' 71-73.
inline constexpr std::int32_t kReportWcfReturn = 74;

// The text a return shows in place of a number the employee's record lacks.
inline constexpr const char* kMissing = "(missing)";

// "Mwakyusa, Emmanuel John" as the NSSF schedule wants it: first, middle
// and last name.
struct SplitName {
    std::string first, middle, last;
};
SplitName splitName(const std::string& name);

// A column of a return's table.
struct MonthColumn {
    enum class Kind { Text, Amount };
    std::string heading;
    double width = 0;
    Kind kind = Kind::Text;
};

// The monthly returns (codes 71-73): each reads the month's return file
// (the interim file for the month still open) and lays the month out on
// ruled pages under the employer's name and the return's titles, with the
// column totals at the foot of each page and the numbers missing from the
// employees' records listed under the table of the last page.
class MONTHREP : public common::REPORTBASE {
public:
    MONTHREP(common::Ui& ui, const common::WorkingFolder& folder, const common::REPORTPARAM& param);

    int year() const { return year_; }
    int month() const { return month_; }
    std::string monthTitle() const; // "March 2025"

    // Must the interim file be written again before readFile?
    bool requireFile(const common::ORGREC& org) const {
        return MONTHDB::requireFile(folder_, year_, month_, org);
    }
    // The month's figures. False after a message: a damaged or foreign
    // file, or a month with no pay data.
    bool readFile(const common::ORGREC& org);
    const MONTHFILE& file() const { return file_; }
    const std::vector<MONTHEMP>& employees() const { return employees_; }

    // The lines under the table of the last page: which employee lacks
    // which number. Empty when none does.
    std::vector<std::string> missingNumbers() const;

    // The columns without the sequence number, amounts plain and a missing
    // number empty, for the authorities' upload templates.
    std::optional<std::string> exportCsv() const override;

    using REPORTBASE::setReadStamp;

    static constexpr double kBandHeight = 8;
    static constexpr double kHeadingBand = 10;
    static constexpr double kRowHeight = 5;
    static constexpr double kTotalsHeight = 6;
    static constexpr double kColumnGap = 2;
    static constexpr double kTopMargin = 10;
    static constexpr double kLeftMargin = 15;

protected:
    virtual std::vector<MonthColumn> monthColumns() const = 0;
    // The lines under the employer's name.
    virtual std::vector<std::string> titles() const = 0;
    // One row per line of the return, with addRow.
    virtual void addRows() = 0;
    // What an employee lacks for this return ("TIN", "NSSF number" ...).
    virtual std::vector<std::string> missingOf(const MONTHEMP& e) const;
    virtual bool hasTotals() const { return true; }
    // What a return reads beyond the month's file, once that is read.
    virtual bool readPeriods(const common::ORGREC&) { return true; }
    // Lines under the totals of the last page, above the missing numbers.
    virtual std::vector<std::string> footLines() const { return {}; }
    virtual common::Orientation paperOrientation() const { return common::Orientation::Landscape; }

    void layOutRows() override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;

    // A number of the employee's record, or kMissing.
    static std::string orMissing(const std::string& number);
    double tableTop() const;
    double rowsTop() const { return tableTop() + kHeadingBand; }
    double totalsTop() const { return rowsTop() + rowsPerPage() * kRowHeight; }

private:
    std::vector<std::string> totalCells(int pageNumber) const;
    void drawGrid(common::Canvas& canvas, const common::ReportPage& page) const;

    const common::WorkingFolder& folder_;
    int year_;
    int month_;
    MONTHFILE file_;
    std::vector<MONTHEMP> employees_;
    std::vector<double> edges_;
    std::vector<bool> amounts_;
};

// The PAYE monthly return (71): per employee his numbers, basic pay, other
// allowances, gross pay, the pension contribution exempt from tax, taxable
// pay and PAYE. Its CSV export has the TRA portal's employee columns.
class PAYEREP : public MONTHREP {
public:
    using MONTHREP::MONTHREP;
    std::string caption() const override { return "PAYE Monthly Return"; }
    std::optional<std::string> exportCsv() const override;

protected:
    std::vector<MonthColumn> monthColumns() const override;
    std::vector<std::string> titles() const override;
    void addRows() override;
    std::vector<std::string> missingOf(const MONTHEMP& e) const override;
};

// The NSSF monthly contribution schedule (72): every member with his
// member number, names, wage and both contributions.
class NSSFREP : public MONTHREP {
public:
    using MONTHREP::MONTHREP;
    std::string caption() const override { return "NSSF Monthly Contribution Schedule"; }

protected:
    std::vector<MonthColumn> monthColumns() const override;
    std::vector<std::string> titles() const override;
    void addRows() override;
    std::vector<std::string> missingOf(const MONTHEMP& e) const override;
};

// The SDL monthly return (73): the number of employees, the gross
// emoluments, what is exempt, what the levy is charged on, the rate and the
// levy due, one line each.
class SDLREP : public MONTHREP {
public:
    using MONTHREP::MONTHREP;
    std::string caption() const override { return "SDL Monthly Return"; }

protected:
    std::vector<MonthColumn> monthColumns() const override;
    std::vector<std::string> titles() const override;
    void addRows() override;
    std::vector<std::string> missingOf(const MONTHEMP&) const override { return {}; }
    bool hasTotals() const override { return false; }
    common::Orientation paperOrientation() const override { return common::Orientation::Portrait; }
};

// The Workers Compensation Fund's monthly return (kReportWcfReturn): per
// employee gender, birth date, job title, basic and gross pay, then the
// levy at the year's rate on the month's gross emoluments.
class WCFREP : public MONTHREP {
public:
    using MONTHREP::MONTHREP;
    std::string caption() const override { return "WCF Monthly Return"; }
    // The month's gross emoluments, the rate and the levy, rounded down to
    // the shilling as the other employer's levies are.
    double grossEmoluments() const;
    double rate() const;
    double levy() const;

protected:
    std::vector<MonthColumn> monthColumns() const override;
    std::vector<std::string> titles() const override;
    void addRows() override;
    std::vector<std::string> footLines() const override;
};

// The monthly report of `param.reportType` (71-74, 202 or 205); none
// for another code.
std::unique_ptr<MONTHREP> newMonthReturn(common::Ui& ui, engine::Code4& code,
                                         const common::WorkingFolder& folder,
                                         const common::REPORTPARAM& param);

// What the main program does for a monthly return command: the return
// built, the interim file written first when it is stale (requireFile,
// MONTHDB::checkFiles, MONTHDB::writeInterimFile), its data read and laid
// out. None after a message.
std::unique_ptr<MONTHREP> prepareMonthReturn(common::Ui& ui, common::Ui& owner, engine::Code4& code,
                                             const common::WorkingFolder& folder,
                                             const common::REPORTPARAM& param,
                                             const common::ORGREC& org);

} // namespace kelo::monthlyreturns
