#include "dataexchange/EmployeeImport.h"

#include "common/CsvExport.h"
#include "common/Text.h"
#include "database/StaticDb.h"
#include "database/TableUse.h"
#include "dataexchange/CsvText.h"
#include "engine/Data4.h"
#include "staffrecords/EmployeeFiles.h"
#include "staffrecords/StaffRules.h"
#include "staffrecords/StatFrm.h"

#include <algorithm>
#include <map>
#include <set>

namespace kelo::dataexchange {

namespace {

staffrecords::PostFacts postFactsOf(const EmployeeRow& row, const EmployeeLists& lists) {
    staffrecords::PostFacts facts;
    facts.attached = row.personnel.unit != 0 && row.personnel.job != 0;
    const auto job = lists.gradeOfJob.find(row.personnel.job);
    if (job != lists.gradeOfJob.end()) {
        const auto grade = lists.gradeRecs.find(job->second);
        if (grade != lists.gradeRecs.end())
            facts.grade = staffrecords::salaryRangeOf(grade->second, row.rec.payFreq);
    }
    return facts;
}

std::string nameIn(const std::vector<database::LookupEntry>& list, long code) {
    for (const database::LookupEntry& entry : list) {
        if (entry.code == code)
            return entry.name;
    }
    return {};
}

// What the rows are checked against in the personnel file: its employee
// numbers, as keys, and the posts' places and holders.
struct StaffFacts {
    std::set<std::string> numbers;
    staffrecords::PostVacancies posts;
};

// nullopt when the personnel file or the posts cannot be read.
std::optional<StaffFacts> readStaffFacts(engine::Code4& code, const common::WorkingFolder& folder) {
    database::STATDB staff(code, folder);
    if (!staff.openFile()) {
        code.setErrorCode(0);
        return std::nullopt;
    }
    StaffFacts facts;
    engine::Data4& data = *staff.data();
    for (int rc = data.top(); rc == engine::r4success && !data.eof(); rc = data.skip()) {
        common::STATICREC rec;
        if (!data.deleted() && staff.initRec(rec))
            facts.numbers.insert(common::employeeKey(common::trim(rec.empNum)));
    }
    std::optional<staffrecords::PostVacancies> posts = staffrecords::readPostVacancies(staff);
    staff.closeFile();
    if (!posts)
        return std::nullopt;
    facts.posts = std::move(*posts);
    return facts;
}

} // namespace

EmployeeImport::EmployeeImport(engine::Code4& code, const common::WorkingFolder& folder)
    : code_(code),
      folder_(folder) {}

void EmployeeImport::refuse(long row, std::string column, std::string message) {
    preview_.refusals.push_back({row, std::move(column), std::move(message)});
}

const ImportPreview& EmployeeImport::read(std::string_view bytes) {
    preview_ = ImportPreview{};
    rows_.clear();
    rowNumbers_.clear();
    CsvFault fault;
    const std::optional<CsvTable> table = readCsv(bytes, fault);
    if (!table) {
        refuse(0, "", fault.message);
        return preview_;
    }
    const std::vector<CsvRecord>& records = table->records;

    const std::vector<EmployeeColumn>& columns = employeeColumns();
    std::vector<LayoutColumn> layout;
    for (const EmployeeColumn& column : columns)
        layout.push_back({column.header, column.required});
    const std::vector<std::size_t> columnOf = matchHeader(records.front(), layout, preview_);
    if (!preview_.refusals.empty())
        return preview_;
    if (records.size() == 1) {
        refuse(0, "", "The file holds no employees.");
        return preview_;
    }

    std::string failure;
    const std::optional<EmployeeLists> lists = EmployeeLists::read(code_, folder_, failure);
    std::optional<StaffFacts> facts = readStaffFacts(code_, folder_);
    if (!lists || !facts) {
        refuse(0, "", lists ? "Can't open " + std::string(database::STATDB::kPath) : failure);
        return preview_;
    }
    const std::set<std::string>* stored = &facts->numbers;

    // Each number's first row, for the numbers twice in the file and the
    // supervisors named.
    std::map<std::string, long> firstRow;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        EmployeeRow row;
        const std::size_t before = preview_.refusals.size();
        const std::vector<std::string> fields =
            fieldsByColumn(record, columnOf, columns.size(), preview_);
        // In the layout's order, so that a branch is sought among its bank's
        // branches.
        for (std::size_t index = 0; index < columns.size(); ++index) {
            if (auto message = readColumn(index, fields[index], *lists, row))
                refuse(record.row, columns[index].header, std::move(*message));
        }
        rows_.push_back(row);
        rowNumbers_.push_back(record.row);
        const std::string key = common::employeeKey(common::trim(row.rec.empNum));
        if (!common::trim(row.rec.empNum).empty() && !firstRow.contains(key))
            firstRow[key] = record.row;
        if (preview_.refusals.size() != before)
            continue;

        const auto jobGrade = lists->gradeOfJob.find(row.personnel.job);
        if (row.personnel.grade != 0 && jobGrade != lists->gradeOfJob.end() &&
            jobGrade->second != row.personnel.grade) {
            refuse(record.row, "Grade",
                   "The job " + quoted(nameIn(lists->jobs, row.personnel.job)) +
                       " is of the grade " + quoted(nameIn(lists->grades, jobGrade->second)) + ".");
            continue;
        }
        if (const staffrecords::StaffFault ruled =
                staffrecords::checkRecord(row.rec, postFactsOf(row, *lists))) {
            refuse(record.row, columnOfField(ruled->field), ruled->message);
            continue;
        }
        if (firstRow[key] != record.row) {
            refuse(record.row, "Employee Number",
                   "The employee number " + quoted(common::trim(row.rec.empNum)) +
                       " is also on row " + std::to_string(firstRow[key]) + ".");
        } else if (stored->contains(key)) {
            refuse(record.row, "Employee Number",
                   "An employee numbered " + quoted(common::trim(row.rec.empNum)) +
                       " is already in the personnel file.");
        }
        if (preview_.refusals.size() != before)
            continue;
        // The rows above fill their posts first, as when keyed one by one.
        const database::PERSONNELREC& post = row.personnel;
        if (const staffrecords::StaffFault full =
                staffrecords::checkVacancy(facts->posts, post.unit, post.job))
            refuse(record.row, columnOfField(full->field), full->message);
        else if (!row.rec.separated)
            facts->posts.addHolder(post.unit, post.job, post.terms);
    }
    preview_.rows = rows_.size();

    // Supervisors may be among the employees of the file.
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::string supervisor = common::trim(rows_[i].personnel.supervisor);
        if (supervisor.empty())
            continue;
        const std::string key = common::employeeKey(supervisor);
        if (key == common::employeeKey(common::trim(rows_[i].rec.empNum)))
            refuse(rowNumbers_[i], "Supervisor", "An employee cannot supervise himself.");
        else if (!stored->contains(key) && !firstRow.contains(key))
            refuse(rowNumbers_[i], "Supervisor",
                   "There is no employee numbered " + quoted(supervisor) + ".");
    }
    std::stable_sort(preview_.refusals.begin(), preview_.refusals.end(),
                     [](const ImportRefusal& a, const ImportRefusal& b) { return a.row < b.row; });
    return preview_;
}

bool EmployeeImport::commit(common::Ui& ui, const common::ORGREC& org) {
    if (!preview_.accepted())
        return false;
    common::WaitCursor wait(ui);
    common::StatusText status(ui, "Importing employees...");
    KeptMessages kept;
    staffrecords::STATFRM form(kept, code_, folder_);
    std::vector<staffrecords::NewEmployee> employees;
    employees.reserve(rows_.size());
    for (const EmployeeRow& row : rows_)
        employees.push_back({row.rec, row.personnel});
    std::size_t refused = rows_.size();
    const bool ok = form.addEmployees(org, std::move(employees), kImportLockedText, refused);
    form.closeFile();
    code_.setErrorCode(0);
    if (ok)
        return true;
    if (refused < rows_.size())
        // A rule that held at the preview no longer does: another user
        // filled a post or took a number meanwhile.
        refuse(rowNumbers_[refused], "",
               kept.texts.empty() ? "Can't add this employee." : kept.all());
    else
        kept.tellTo(ui);
    return false;
}

std::optional<std::string> exportEmployees(engine::Code4& code, const common::WorkingFolder& folder,
                                           std::string& failure) {
    const std::optional<EmployeeLists> lists = EmployeeLists::read(code, folder, failure);
    if (!lists)
        return std::nullopt;
    database::STATDB staff(code, folder);
    if (!staff.openFile()) {
        failure = database::openFailureText(code, database::STATDB::kPath);
        code.setErrorCode(0);
        return std::nullopt;
    }
    staff.orderByEmpNum();
    common::CsvExport csv;
    const std::vector<EmployeeColumn>& columns = employeeColumns();
    std::vector<std::string> fields;
    for (const EmployeeColumn& column : columns)
        fields.emplace_back(column.header);
    csv.row(fields);
    engine::Data4& data = *staff.data();
    for (int rc = data.top(); rc == engine::r4success && !data.eof(); rc = data.skip()) {
        EmployeeRow row;
        if (data.deleted() || !staff.initRec(row.rec) || !staff.initRec(row.personnel) ||
            row.rec.separated)
            continue;
        fields.clear();
        for (std::size_t i = 0; i < columns.size(); ++i)
            fields.push_back(columnText(i, row, *lists));
        csv.row(fields);
    }
    staff.closeFile();
    code.setErrorCode(0);
    return csv.bytes();
}

} // namespace kelo::dataexchange
