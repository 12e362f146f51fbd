#include "database/tools/SourceData.h"

#include <charconv>

namespace kelo::database::tools {

namespace {
// The widest whole-shilling column holds 12 digits.
constexpr unsigned long kLargestAmount = 999'999'999'999UL;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string at(int line) {
    return "line " + std::to_string(line) + ": ";
}

bool readAmount(std::string_view text, int line, unsigned long& amount, std::string& error) {
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, amount);
    if (text.empty() || ec != std::errc() || stop != end || amount > kLargestAmount) {
        error = at(line) + "\"" + std::string(text) + "\" is not a whole number of shillings";
        return false;
    }
    return true;
}

// Percentages are stored with two decimals; more would be rounded silently.
bool readRate(std::string_view text, int line, float& rate, std::string& error) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    const auto dot = text.find('.');
    const bool tooPrecise = dot != std::string_view::npos && text.size() - dot - 1 > 2;
    if (text.empty() || ec != std::errc() || stop != end || tooPrecise || value < 0 ||
        value > 100) {
        error = at(line) + "\"" + std::string(text) +
                "\" is not a percentage from 0 to 100 with at most two decimals";
        return false;
    }
    rate = static_cast<float>(value);
    return true;
}

bool checkHeader(const CsvTable& table, const std::vector<std::string>& wanted,
                 std::string& error) {
    if (table.header != wanted) {
        std::string names;
        for (const std::string& name : wanted)
            names += (names.empty() ? "" : ",") + name;
        error = "the first line must name the columns " + names;
        return false;
    }
    for (const CsvRow& row : table.rows) {
        if (row.cells.size() != wanted.size()) {
            error = at(row.line) + "expected " + std::to_string(wanted.size()) + " values";
            return false;
        }
    }
    return true;
}

bool checkOneRow(const CsvTable& table, std::string& error) {
    if (table.rows.size() != 1) {
        error = "expected exactly one row of figures";
        return false;
    }
    return true;
}

// The rows of a band table, checked for order; `sharedLimit` lets a row start
// at the previous upper limit itself as well as one above it.
bool readLimits(const CsvTable& table, bool sharedLimit, std::vector<INCOMEREC>& limits,
                std::string& error) {
    limits.clear();
    if (table.rows.empty()) {
        error = "expected at least one row of figures";
        return false;
    }
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const CsvRow& row = table.rows[i];
        const bool last = i + 1 == table.rows.size();
        INCOMEREC limit;
        if (!readAmount(row.cells[0], row.line, limit.lowerLimit, error))
            return false;
        if (last) {
            if (!row.cells[1].empty()) {
                error = at(row.line) + "the last row has no upper limit: leave it empty";
                return false;
            }
            limit.upperLimit = limit.lowerLimit;
        } else if (!readAmount(row.cells[1], row.line, limit.upperLimit, error)) {
            return false;
        }
        if (limit.upperLimit < limit.lowerLimit) {
            error = at(row.line) + "the upper limit is below the lower limit";
            return false;
        }
        if (i == 0 && limit.lowerLimit != 0) {
            error = at(row.line) + "the first row must start at 0";
            return false;
        }
        if (i > 0) {
            const unsigned long previous = limits.back().upperLimit;
            const bool follows =
                limit.lowerLimit == previous + 1 || (sharedLimit && limit.lowerLimit == previous);
            if (!follows) {
                error = at(row.line) + "the lower limit must be " +
                        (sharedLimit ? "the previous upper limit or " : "") +
                        "one more than the previous upper limit";
                return false;
            }
        }
        limits.push_back(limit);
    }
    return true;
}
} // namespace

bool parseCsv(std::string_view text, CsvTable& table, std::string& error) {
    table = {};
    bool haveHeader = false;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const auto newline = text.find('\n');
        const std::string_view content = trimmed(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (content.empty() || content.front() == '#')
            continue;
        std::vector<std::string> cells;
        std::string_view rest = content;
        while (true) {
            const auto comma = rest.find(',');
            cells.emplace_back(trimmed(rest.substr(0, comma)));
            if (comma == std::string_view::npos)
                break;
            rest = rest.substr(comma + 1);
        }
        if (!haveHeader) {
            table.header = std::move(cells);
            haveHeader = true;
        } else {
            table.rows.push_back({line, std::move(cells)});
        }
    }
    if (!haveHeader) {
        error = "no column names";
        return false;
    }
    return true;
}

bool readPayeBands(const CsvTable& table, std::vector<PAYEREC>& bands, std::string& error) {
    bands.clear();
    std::vector<INCOMEREC> limits;
    if (!checkHeader(table, {"lower_limit", "upper_limit", "rate_percent"}, error) ||
        !readLimits(table, false, limits, error))
        return false;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        PAYEREC band{limits[i].lowerLimit, limits[i].upperLimit, 0};
        if (!readRate(table.rows[i].cells[2], table.rows[i].line, band.rate, error))
            return false;
        bands.push_back(band);
    }
    return true;
}

bool readIncomeBrackets(const CsvTable& table, std::vector<INCOMEREC>& brackets,
                        std::string& error) {
    return checkHeader(table, {"lower_limit", "upper_limit"}, error) &&
           readLimits(table, true, brackets, error);
}

bool readNssfRates(const CsvTable& table, NSSFREC& rates, std::string& error) {
    if (!checkHeader(table, {"employee_rate_percent", "employer_rate_percent"}, error) ||
        !checkOneRow(table, error))
        return false;
    const CsvRow& row = table.rows.front();
    return readRate(row.cells[0], row.line, rates.employeeRate, error) &&
           readRate(row.cells[1], row.line, rates.employerRate, error);
}

bool readSdlRate(const CsvTable& table, SDLREC& rate, std::string& error) {
    if (!checkHeader(table, {"rate_percent"}, error) || !checkOneRow(table, error))
        return false;
    const CsvRow& row = table.rows.front();
    return readRate(row.cells[0], row.line, rate.rate, error);
}

bool readPayeParams(const CsvTable& table, PAYEPARAMREC& params, std::string& error) {
    if (!checkHeader(table,
                     {"max_pension", "stat_rate_jul_dec_percent", "stat_rate_jan_jun_percent"},
                     error) ||
        !checkOneRow(table, error))
        return false;
    const CsvRow& row = table.rows.front();
    return readAmount(row.cells[0], row.line, params.maxPension, error) &&
           readRate(row.cells[1], row.line, params.statRateJulDec, error) &&
           readRate(row.cells[2], row.line, params.statRateJanJun, error);
}

} // namespace kelo::database::tools
