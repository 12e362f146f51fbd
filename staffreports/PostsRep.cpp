#include "staffreports/PostsRep.h"

#include "common/Money.h"
#include "database/DbTable.h"
#include "database/GradesDb.h"
#include "database/JobsDb.h"
#include "database/StaticDb.h"
#include "database/UnitsDb.h"
#include "payrunreports/SummaryTable.h"
#include "staffreports/ListPage.h"

#include <algorithm>

namespace kelo::staffreports {

namespace {

using common::align::Center;
using common::align::Left;
using common::align::Right;
using common::align::SingleLine;
using common::align::VCenter;
using common::align::WordWrap;
using payrunreports::arial;
using namespace listpage;

constexpr double kPrintableWidth = 250;
constexpr int kRowsPerPage = 25;
constexpr std::size_t kFirstCount = 4;
constexpr double kRules[] = {53, 45, 45, 23, 21, 23, 21};

std::vector<common::ReportColumn> postColumns() {
    std::vector<common::ReportColumn> columns{{"", kNumberWidth, Left, true, kNumberLeft}};
    const std::pair<const char*, double> rest[] = {
        {"Job Title", 41},       {"Administrative\nUnit", 41},
        {"Grade", 41},           {"Permanent\nPosts", 19},
        {"Contract\nPosts", 17}, {"Temporary\nPosts", 19},
        {"Casual\nPosts", 17},   {"Total", 15}};
    double left = kFirstColumn;
    for (std::size_t i = 0; i < std::size(rest); ++i) {
        columns.push_back(
            {rest[i].first, rest[i].second, i + 1 >= kFirstCount ? Right : Left, true, left});
        left += rest[i].second + kColumnGap;
    }
    return columns;
}

std::string countText(double count) {
    return common::withThousands(count);
}

} // namespace

std::array<long, database::POSTREC::kTermsCount>
vacancies(const database::POSTREC& posts,
          const std::array<long, database::POSTREC::kTermsCount>& holders) {
    std::array<long, database::POSTREC::kTermsCount> free{};
    for (std::size_t t = 0; t < free.size(); ++t)
        free[t] = std::max(0L, long{posts.count[t]} - holders[t]);
    return free;
}

POSTSREP::POSTSREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      code_(code),
      folder_(folder),
      param_(param) {
    setGeometry(listGeometry(kPrintableWidth));
    setRowsPerPage(kRowsPerPage);
    setFooterOffset(kFooterTop);
    setColumns(postColumns());
}

POSTSREP::~POSTSREP() = default;

std::string POSTSREP::title() const {
    return (param_.choice ? "Vacancies in " : "Posts in ") + param_.groupTitle;
}

bool POSTSREP::readFile(const common::ORGREC& org) {
    lines_.clear();
    if (!database::allValid(ui(), code_, folder_,
                            {database::STATDB::kPath, database::GRADESDB::kPath,
                             database::UNITSDB::kPath, database::JOBSDB::kPath,
                             database::POSTSDB::kPath}))
        return false;
    setReadStamp(common::ReadStamp::now());
    orgName_ = org.name;
    database::POSTSDB posts(code_, folder_);
    database::UNITSDB units(code_, folder_);
    database::JOBSDB jobs(code_, folder_);
    database::GRADESDB grades(code_, folder_);
    database::STATDB staff(code_, folder_);
    for (database::DbTable* table :
         std::initializer_list<database::DbTable*>{&posts, &units, &jobs, &grades, &staff}) {
        if (!table->openFile()) {
            const std::string text = database::openFailureText(code_, table->relativePath());
            code_.setErrorCode(0);
            ui().error(text);
            return false;
        }
    }
    const long selected =
        param_.groupBy == common::kGroupByUnit ? units.getUnitCode(param_.groupName) : 0;
    for (const database::POSTREC& row : posts.allPosts()) {
        if (param_.groupBy == common::kGroupByUnit && !units.isChildUnit(row.unit, selected))
            continue;
        PostLine line;
        for (std::size_t t = 0; t < line.count.size(); ++t)
            line.count[t] = row.count[t];
        if (param_.choice) {
            const auto holders = staff.getPostsCnt(row.unit, row.job);
            if (!holders) {
                const std::string text = database::openFailureText(code_, database::STATDB::kPath);
                code_.setErrorCode(0);
                ui().error(text);
                return false;
            }
            line.count = vacancies(row, *holders);
            if (line.total() == 0)
                continue;
        }
        line.unitName = units.getUnitName(row.unit);
        database::JOBREC job;
        if (jobs.getJobRec(row.job, job)) {
            line.jobTitle = job.title;
            if (job.gradeCode != 0)
                line.gradeName = grades.getGradeName(job.gradeCode);
        }
        lines_.push_back(std::move(line));
    }
    code_.setErrorCode(0);
    std::stable_sort(lines_.begin(), lines_.end(), [](const PostLine& a, const PostLine& b) {
        if (lessIgnoringCase(a.unitName, b.unitName))
            return true;
        if (lessIgnoringCase(b.unitName, a.unitName))
            return false;
        return lessIgnoringCase(a.jobTitle, b.jobTitle);
    });
    if (lines_.empty()) {
        ui().error("Sorry, report has no records\nand will not be printed.");
        return false;
    }
    return true;
}

void POSTSREP::layOutRows() {
    int number = 0;
    for (const PostLine& line : lines_) {
        common::ReportRow row{
            {std::to_string(++number) + ".", line.jobTitle, line.unitName, line.gradeName},
            std::vector<double>(kFirstCount, 0.0)};
        for (long count : line.count) {
            row.cells.push_back(countText(static_cast<double>(count)));
            row.figures.push_back(static_cast<double>(count));
        }
        row.cells.push_back(countText(static_cast<double>(line.total())));
        row.figures.push_back(static_cast<double>(line.total()));
        addRow(std::move(row));
    }
}

std::vector<common::HeadingLine> POSTSREP::headingLines(const common::ReportPage&) const {
    return {{orgName_, arial(14, true), 8, Center | SingleLine},
            {title(), arial(11), 8, Center | SingleLine}};
}

void POSTSREP::drawBody(common::Canvas& canvas, const common::ReportPage& page, double) const {
    const common::PageGeometry& g = geometry();
    drawListFrame(canvas, g, kRules);
    canvas.setFont(arial(10, true));
    drawHeadings(canvas, g.y(kHeadingTop), kHeadingHeight, WordWrap);
    canvas.setFont(arial(10));
    double top = g.y(kRowsTop);
    for (std::size_t r = page.firstRow; r < page.endRow(); ++r, top += kRowHeight)
        drawCells(canvas, rows()[r].cells, top, kRowHeight, VCenter | SingleLine);
    // The running totals under the page's last row.
    const std::vector<double> totals = totalsThrough(page.number);
    std::vector<std::string> cells(columns().size());
    cells[1] = std::string(totalLabel(page));
    for (std::size_t c = kFirstCount; c < cells.size() && c < totals.size(); ++c)
        cells[c] = countText(totals[c]);
    canvas.setFont(arial(10, true));
    drawCells(canvas, cells, top, kRowHeight, VCenter | SingleLine);
}

} // namespace kelo::staffreports
