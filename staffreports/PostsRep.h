#pragma once

#include "common/OrgRecords.h"
#include "common/ReportBase.h"
#include "common/ReportRecords.h"
#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "database/PostsDb.h"
#include "engine/Code4.h"

#include <array>
#include <string>
#include <vector>

namespace kelo::staffreports {

// One job in one unit: its posts by terms, or with vacancies the posts
// nobody holds.
struct PostLine {
    std::string unitName;
    std::string jobTitle;
    std::string gradeName;
    std::array<long, database::POSTREC::kTermsCount> count{};
    long total() const { return count[0] + count[1] + count[2] + count[3]; }
    friend bool operator==(const PostLine&, const PostLine&) = default;
};

// The posts less their holders, by terms; more holders than posts leave
// none vacant.
std::array<long, database::POSTREC::kTermsCount>
vacancies(const database::POSTREC& posts,
          const std::array<long, database::POSTREC::kTermsCount>& holders);

// The posts established per job and unit (report 21), or with `choice` the
// vacancies among them, straight from the posts, jobs, grades, units and
// personnel tables, twenty-five to a landscape page with the running totals.
class POSTSREP : public common::REPORTBASE {
public:
    POSTSREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             const common::REPORTPARAM& param);
    ~POSTSREP() override;

    std::string caption() const override { return "Jobs Report"; }
    // Reads the posts of the selected unit and everything below it, less
    // their holders with `choice`, ordered by unit name then job title.
    // False after one message: a table that cannot be read, or "Sorry,
    // report has no records\nand will not be printed.".
    bool readFile(const common::ORGREC& org);
    void paginate() { layOut(); }

    const std::vector<PostLine>& lines() const { return lines_; }
    std::string title() const;

protected:
    void layOutRows() override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;

private:
    engine::Code4& code_;
    const common::WorkingFolder& folder_;
    common::REPORTPARAM param_;
    std::string orgName_;
    std::vector<PostLine> lines_;
};

} // namespace kelo::staffreports
