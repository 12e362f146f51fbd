#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/IncomesDb.h"
#include "engine/Code4.h"
#include "taxreports/TaxRepDb.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelo::taxreports {

// "March 2025" for one month, "January to June 2025" for a range.
std::string rangeTitle(int year, int fromMonth, int toMonth);

// The text a return shows in place of a TIN the employee's record lacks.
inline constexpr const char* kMissing = "(missing)";

// One employee's months of a range: the periods of each month added up
// (a weekly employee has several), with the name and TIN of his latest
// period.
struct P9YEAR {
    std::string empNum;
    std::string name;
    std::string tin;
    std::array<bool, 12> paid{}; // January first
    std::array<double, 12> grossPay{};
    std::array<double, 12> taxablePay{};
    std::array<double, 12> paye{};
    double totalGross() const;
    double totalTaxable() const;
    double totalPaye() const;
};

// The employees of months fromMonth..toMonth of a P9 file, in name order
// (employee number among equal names, case-blind).
std::vector<P9YEAR> employeeYears(const TAXFILE& file, int fromMonth, int toMonth);

// A column of a return's table.
struct TaxColumn {
    std::string heading;
    double width = 0;
    bool amount = false;
    bool count = false; // a number of employees: right-aligned, not money
};

// The tax returns' page: the employer's name and the return's titles
// centred above a ruled table, amounts right-aligned with thousands
// separators; the text export holds the same lines and the CSV export the
// columns with plain amounts.
class TAXREP : public common::REPORTBASE {
public:
    TAXREP(common::Ui& ui, const common::WorkingFolder& folder, const common::REPORTPARAM& param);

    int year() const { return year_; }
    int fromMonth() const { return fromMonth_; }
    int toMonth() const { return toMonth_; }
    std::string periodTitle() const { return rangeTitle(year_, fromMonth_, toMonth_); }
    const payrunreports::PeriodHeader& employer() const { return employer_; }

    // The interim files must be written before reading.
    bool requireFile(const common::ORGREC& org) const {
        return TAXREPDB::requireFile(folder_, param_, org);
    }

    std::optional<std::string> exportCsv() const override;
    using REPORTBASE::setReadStamp;

    static constexpr double kBandHeight = 8;
    static constexpr double kHeadingBand = 10;
    static constexpr double kRowHeight = 5;
    static constexpr double kColumnGap = 2;
    static constexpr double kTopMargin = 10;
    static constexpr double kLeftMargin = 15;

protected:
    virtual std::vector<TaxColumn> taxColumns() const = 0;
    virtual std::vector<std::string> titles(const common::ReportPage& page) const = 0;
    virtual void addRows() = 0;
    // Whether each page ends in the sums of its column figures so far.
    virtual bool hasTotals() const { return false; }

    // Reads the file of `kind` for the range; false after a message, also
    // when no closed period falls in the range.
    bool readTaxFile(const common::ORGREC& org, TaxFile kind, TAXFILE& out);
    const common::WorkingFolder& folder() const { return folder_; }
    const common::REPORTPARAM& param() const { return param_; }

    void layOutRows() override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;

    // Cells: text, or an amount with its figure at the same index.
    static common::ReportRow row(std::vector<std::string> texts, std::vector<double> amounts);
    static std::string orMissing(const std::string& number);
    double tableTop(const common::ReportPage& page) const;
    std::vector<std::string> totalCells(int pageNumber) const;

private:
    const common::WorkingFolder& folder_;
    common::REPORTPARAM param_;
    int year_;
    int fromMonth_;
    int toMonth_;
    payrunreports::PeriodHeader employer_;
    std::vector<double> edges_;
    std::vector<bool> amounts_;
};

// P9 (80): for each employee a page of his months in the range, with gross
// pay, taxable pay and PAYE and their totals.
class P9REP : public TAXREP {
public:
    using TAXREP::TAXREP;
    std::string caption() const override { return "P9 Report"; }
    // The range's employees from the P9 file (the interim one when the
    // range reaches the open month). False after a message.
    bool readFile(const common::ORGREC& org);
    const std::vector<P9YEAR>& employees() const { return employees_; }
    // One line per employee and month paid, with his number, name and TIN.
    std::optional<std::string> exportCsv() const override;

protected:
    std::vector<TaxColumn> taxColumns() const override;
    std::vector<std::string> titles(const common::ReportPage& page) const override;
    void addRows() override;
    std::vector<common::ReportPage> splitPages() const override;
    bool writeText(common::TextExport& out) const override;

private:
    std::vector<P9YEAR> employees_;
    std::vector<std::size_t> firstRows_; // each employee's first row
};

// One income bracket of the P10 with the employees whose average monthly
// taxable pay over the months they were paid falls in it.
struct P10BRACKET {
    database::INCOMEREC limits;
    bool last = false; // no upper limit
    int employees = 0;
    double taxablePay = 0;
    double paye = 0;
};

// P10 (81): the employer's summary of the range on one page: each month's
// employees, gross pay, taxable pay and PAYE from the P10 file, then the
// income brackets of the brackets table over the year-to-date store.
class P10REP : public TAXREP {
public:
    P10REP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
           const common::REPORTPARAM& param);
    std::string caption() const override { return "P10 Report"; }
    // The P10 file's months and the year-to-date file's employees (the
    // interim one for the current year). False after a message.
    bool readFiles(const common::ORGREC& org);
    const std::array<P10TOTALS, 12>& months() const { return months_; }
    const std::vector<P10BRACKET>& brackets() const { return brackets_; }

protected:
    std::vector<TaxColumn> taxColumns() const override;
    std::vector<std::string> titles(const common::ReportPage& page) const override;
    void addRows() override;
    std::vector<common::ReportPage> splitPages() const override;

private:
    engine::Code4& code_;
    std::array<P10TOTALS, 12> months_{};
    std::array<bool, 12> closed_{};
    std::vector<P10BRACKET> brackets_;
};

// ITX215 (82): the statement of PAYE withheld over the range, one line per
// employee with his TIN, gross and taxable pay and PAYE, and the totals.
class ITX215REP : public TAXREP {
public:
    using TAXREP::TAXREP;
    std::string caption() const override { return "ITX215 Report"; }
    bool readFile(const common::ORGREC& org);
    // By name, employee number among equal names.
    void sort();
    const std::vector<P9YEAR>& employees() const { return employees_; }

protected:
    std::vector<TaxColumn> taxColumns() const override;
    std::vector<std::string> titles(const common::ReportPage& page) const override;
    void addRows() override;
    bool hasTotals() const override { return true; }

private:
    std::vector<P9YEAR> employees_;
};

// What the main program runs for a tax return (80, 81 or 82) once the
// wizard is done: the files the return reads made again when stale (for
// the P10 first the year-to-date interim file, for the ITX215 the P9's),
// the return built, read, ordered and laid out. None after a message, or
// for another code.
std::unique_ptr<TAXREP> prepareTaxReturn(common::Ui& ui, common::Ui& owner, engine::Code4& code,
                                         const common::WorkingFolder& folder,
                                         const common::REPORTPARAM& param,
                                         const common::ORGREC& org);

} // namespace kelo::taxreports
