#include "monthlyreturns/MonthMuster.h"

#include "common/Money.h"
#include "monthlyreturns/MonthControl.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>
#include <utility>

namespace kelo::monthlyreturns {

namespace {

constexpr double kAmountWidth = 22;

std::string key(std::string_view empNum) {
    std::string out(empNum);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::size_t indexOf(const std::vector<payrunreports::MusterColumn>& columns,
                    const std::string& heading) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].heading == heading)
            return i;
    return columns.size();
}

} // namespace

void mergeMusterColumns(std::vector<payrunreports::MusterColumn>& month,
                        const std::vector<payrunreports::MusterColumn>& period) {
    std::size_t cursor = 0;
    for (const payrunreports::MusterColumn& column : period) {
        const std::size_t at = indexOf(month, column.heading);
        if (at < month.size()) {
            month[at].always = month[at].always || column.always;
            cursor = at + 1;
        } else {
            month.insert(month.begin() + static_cast<std::ptrdiff_t>(cursor), column);
            ++cursor;
        }
    }
}

MONTHMUSTERROLL::MONTHMUSTERROLL(common::Ui& ui, engine::Code4& code,
                                 const common::WorkingFolder& folder,
                                 const common::REPORTPARAM& param)
    : MONTHREP(ui, folder, param),
      code_(code),
      periodFolder_(folder) {}

bool MONTHMUSTERROLL::readPeriods(const common::ORGREC& org) {
    std::vector<payrunreports::PeriodFile> periods;
    std::vector<payrunreports::MusterColumn> columns;
    for (const MONTHPERIOD& period : file().periods) {
        payrunreports::PeriodFile data;
        if (!readPeriodFile(ui(), code_, periodFolder_, period.source, org, data))
            return false;
        mergeMusterColumns(columns, payrunreports::musterColumns(data.definitions));
        periods.push_back(std::move(data));
    }
    std::vector<Line> lines;
    std::map<std::string, std::size_t> index;
    for (const payrunreports::PeriodFile& data : periods) {
        const std::vector<payrunreports::MusterColumn> own =
            payrunreports::musterColumns(data.definitions);
        for (const payrunreports::REPORTREC& rec : data.records) {
            const auto [at, added] = index.try_emplace(key(rec.empNum), lines.size());
            if (added)
                lines.push_back({rec.empNum, rec.name, std::vector<double>(columns.size(), 0.0)});
            Line& line = lines[at->second];
            line.name = rec.name;
            const std::vector<double> amounts = payrunreports::musterAmounts(rec, data.definitions);
            for (std::size_t c = 0; c < amounts.size() && c < own.size(); ++c)
                line.amounts[indexOf(columns, own[c].heading)] += amounts[c];
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return std::tie(a.name, a.empNum) < std::tie(b.name, b.empNum);
    });
    shown_.assign(columns.size(), false);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        shown_[c] = columns[c].always;
        for (const Line& line : lines)
            shown_[c] = shown_[c] || line.amounts[c] != 0;
    }
    columns_ = std::move(columns);
    lines_ = std::move(lines);
    return true;
}

std::vector<MonthColumn> MONTHMUSTERROLL::monthColumns() const {
    std::vector<MonthColumn> out{{"No.", 8, MonthColumn::Kind::Text},
                                 {"Employee\nNumber", 24, MonthColumn::Kind::Text},
                                 {"Name", 50, MonthColumn::Kind::Text}};
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (shown_[c])
            out.push_back({columns_[c].heading, kAmountWidth, MonthColumn::Kind::Amount});
    return out;
}

std::vector<std::string> MONTHMUSTERROLL::titles() const {
    return {"Payroll Muster Roll - " + monthTitle()};
}

void MONTHMUSTERROLL::addRows() {
    int n = 0;
    for (const Line& line : lines_) {
        common::ReportRow row;
        row.cells = {std::to_string(++n) + ".", line.empNum, line.name};
        row.figures = {0, 0, 0};
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (!shown_[c])
                continue;
            row.cells.push_back(common::withThousands(line.amounts[c]));
            row.figures.push_back(line.amounts[c]);
        }
        addRow(std::move(row));
    }
}

} // namespace kelo::monthlyreturns
