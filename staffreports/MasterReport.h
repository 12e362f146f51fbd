#pragma once

#include "staffreports/StaticRep.h"

#include <string>
#include <vector>

namespace kelo::staffreports {

// One line of a master report: a section's heading, a label with its value,
// a text alone, or a further line of the value above.
struct MasterLine {
    enum class Kind { Heading, Field, Text, More };
    Kind kind = Kind::Field;
    std::string label;
    std::string value;
    friend bool operator==(const MasterLine&, const MasterLine&) = default;
};

// What one employee's master report shows, in its two columns: the left
// with his person, contacts, employment, supervisor, leave and status; the
// right with his pay. `leaver` words the status for the former employees.
struct MasterPage {
    std::vector<MasterLine> left;
    std::vector<MasterLine> right;
};
MasterPage masterPage(const PERSREPREC& rec, bool leaver);

// The personnel record of each employee on a portrait page of its own
// (report 14 for the active employees, 15 for the former ones).
class MASTERREPORT : public STATICREP {
public:
    MASTERREPORT(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                 const common::REPORTPARAM& param);
    DB fileDb() const override { return leavers() ? DB_LEAVERS : DB_ACTIVE; }
    std::string caption() const override;
    bool leavers() const { return param().reportType == common::kReportLeaverMaster; }

protected:
    void layOutRows() override;
    std::vector<common::HeadingLine> headingLines(const common::ReportPage& page) const override;
    void drawBody(common::Canvas& canvas, const common::ReportPage& page,
                  double top) const override;
};

} // namespace kelo::staffreports
