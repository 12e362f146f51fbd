#pragma once

#include "database/IncomesDb.h"
#include "database/NssfDb.h"
#include "database/PayeDb.h"
#include "database/PayeParamDb.h"
#include "database/SdlDb.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelo::database::tools {

// The shipped statutory figures are kept as small comma-separated files: '#'
// starts a comment line, the first other line names the columns, each
// further line is one row. Every reader checks the figures as the dialogs
// would and says what is wrong with which line.
struct CsvRow {
    int line = 0;
    std::vector<std::string> cells;
};

struct CsvTable {
    std::vector<std::string> header;
    std::vector<CsvRow> rows;
};

bool parseCsv(std::string_view text, CsvTable& table, std::string& error);

// Bands from the lowest: "lower_limit,upper_limit,rate_percent". The first
// starts at 0, each next one at the previous upper limit plus 1, only the
// last has an empty upper limit, rates lie between 0 and 100.
bool readPayeBands(const CsvTable& table, std::vector<PAYEREC>& bands, std::string& error);
// Brackets from the lowest: "lower_limit,upper_limit"; a bracket may also
// start at the previous upper limit itself.
bool readIncomeBrackets(const CsvTable& table, std::vector<INCOMEREC>& brackets,
                        std::string& error);
// One row: "employee_rate_percent,employer_rate_percent".
bool readNssfRates(const CsvTable& table, NSSFREC& rates, std::string& error);
// One row: "rate_percent".
bool readSdlRate(const CsvTable& table, SDLREC& rate, std::string& error);
// One row: "max_pension,stat_rate_jul_dec_percent,stat_rate_jan_jun_percent".
bool readPayeParams(const CsvTable& table, PAYEPARAMREC& params, std::string& error);

} // namespace kelo::database::tools
