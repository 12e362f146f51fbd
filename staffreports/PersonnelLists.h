#pragma once

#include "staffreports/StaticRep.h"

#include <string>
#include <vector>

namespace kelo::staffreports {

// Whole years from `from` to the period (`month` of `year`): days are not
// counted, so a year is complete from the month of the anniversary on.
// None when `from` has no year or lies after the period.
std::optional<int> yearsAt(common::date from, int month, int year);

// The personnel lists: one employee a line, twenty-six to a landscape page
// inside a ruled frame, under the organisation's name and the list's
// subtitle, with a text export of the same lines.
class StaffList : public STATICREP {
public:
    // One column of the list: its heading (a "\n" breaks it on the page) and
    // width in millimetres.
    struct Column {
        const char* heading;
        double width;
    };

    StaffList(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const common::REPORTPARAM& param, double printableWidth,
              const std::vector<Column>& columns, std::vector<double> rules, bool numbered);

    // The line under the organisation's name.
    virtual std::string subtitle() const = 0;

protected:
    void layOutRows() override;
    // The cells of one employee after his number.
    virtual std::vector<std::string> cellsOf(const PERSREPREC& rec) const = 0;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
    bool writeText(common::TextExport& out) const override;
    // How far the first cell of a record is moved right.
    virtual double indentOf(const PERSREPREC&) const { return 0; }
    // "%s %d" of the period's month and year.
    std::string periodText() const;

private:
    std::vector<double> rules_;
    bool numbered_;
};

// The nominal roll of the active employees (report 11).
class EMPLIST : public StaffList {
public:
    EMPLIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
            const common::REPORTPARAM& param);
    std::string caption() const override { return "Employees Roll"; }
    std::string subtitle() const override;

protected:
    std::vector<std::string> cellsOf(const PERSREPREC& rec) const override;
};

// The roll of the former employees of the year (report 12).
class LEAVERSLIST : public StaffList {
public:
    LEAVERSLIST(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                const common::REPORTPARAM& param);
    DB fileDb() const override { return DB_LEAVERS; }
    std::string caption() const override { return "Leavers Roll"; }
    std::string subtitle() const override;

protected:
    std::vector<std::string> cellsOf(const PERSREPREC& rec) const override;
};

// Age and years of service of the active employees (report 13).
class SERVICEREP : public StaffList {
public:
    SERVICEREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
               const common::REPORTPARAM& param);
    std::string caption() const override { return "Length of Service Report"; }
    std::string subtitle() const override;

protected:
    std::vector<std::string> cellsOf(const PERSREPREC& rec) const override;
};

// Every supervisor followed by those who report to him (report 16), in
// name order within each level; names are indented 4 mm a level.
class HIERARCHY : public StaffList {
public:
    HIERARCHY(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const common::REPORTPARAM& param);
    std::string caption() const override { return "Employee Hierarchy Report"; }
    std::string subtitle() const override;

    static constexpr double kIndentPerLevel = 4;

protected:
    std::vector<std::string> cellsOf(const PERSREPREC& rec) const override;
    double indentOf(const PERSREPREC& rec) const override;
    bool writeText(common::TextExport& out) const override;
};

} // namespace kelo::staffreports
