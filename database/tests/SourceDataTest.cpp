#include "database/tools/SourceData.h"

#include <gtest/gtest.h>

namespace kelo::database::tools {
namespace {

CsvTable parsed(std::string_view text) {
    CsvTable table;
    std::string error;
    EXPECT_TRUE(parseCsv(text, table, error)) << error;
    return table;
}

TEST(SourceDataTest, CommentsAndBlankLinesAreSkippedAndLinesCounted) {
    const CsvTable table = parsed("# note\n\na, b ,c\r\n1,2,3\n# more\n4,,6");
    EXPECT_EQ(table.header, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].line, 4);
    EXPECT_EQ(table.rows[1].line, 6);
    EXPECT_EQ(table.rows[1].cells, (std::vector<std::string>{"4", "", "6"}));
    CsvTable empty;
    std::string error;
    EXPECT_FALSE(parseCsv("# only a comment\n", empty, error));
    EXPECT_EQ(error, "no column names");
}

TEST(SourceDataTest, GoodBandsAreRead) {
    std::vector<PAYEREC> bands;
    std::string error;
    ASSERT_TRUE(readPayeBands(parsed("lower_limit,upper_limit,rate_percent\n"
                                     "0,270000,0\n270001,520000,8\n520001,,12.5\n"),
                              bands, error))
        << error;
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[1].lowerLimit, 270001u);
    EXPECT_EQ(bands[1].upperLimit, 520000u);
    EXPECT_EQ(bands[2].upperLimit, 520001u); // the last band stores its lower limit
    EXPECT_EQ(bands[2].rate, 12.5f);
}

TEST(SourceDataTest, BadBandsAreRefusedWithTheirLine) {
    const std::string header = "lower_limit,upper_limit,rate_percent\n";
    const struct {
        const char* rows;
        const char* error;
    } cases[] = {
        {"", "expected at least one row of figures"},
        {"5,10,0\n11,,5\n", "line 2: the first row must start at 0"},
        {"0,100,0\n100,,5\n",
         "line 3: the lower limit must be one more than the previous upper limit"},
        {"0,100,0\n101,99,5\n102,,5\n", "line 3: the upper limit is below the lower limit"},
        {"0,100,0\n101,200,5\n", "line 3: the last row has no upper limit: leave it empty"},
        {"0,1x0,0\n101,,5\n", "line 2: \"1x0\" is not a whole number of shillings"},
        {"0,-1,0\n0,,5\n", "line 2: \"-1\" is not a whole number of shillings"},
        {"0,1000000000000,0\n1000000000001,,5\n",
         "line 2: \"1000000000000\" is not a whole number of shillings"},
        {"0,100,0\n101,,100.01\n",
         "line 3: \"100.01\" is not a percentage from 0 to 100 with at most two decimals"},
        {"0,100,0\n101,,7.125\n",
         "line 3: \"7.125\" is not a percentage from 0 to 100 with at most two decimals"},
        {"0,100\n", "line 2: expected 3 values"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        std::vector<PAYEREC> bands;
        std::string error;
        EXPECT_FALSE(readPayeBands(parsed(header + c.rows), bands, error));
        EXPECT_EQ(error, c.error);
    }
    std::vector<PAYEREC> bands;
    std::string error;
    EXPECT_FALSE(readPayeBands(parsed("lower,upper,rate\n0,,0\n"), bands, error));
    EXPECT_EQ(error, "the first line must name the columns lower_limit,upper_limit,rate_percent");
}

TEST(SourceDataTest, IncomeBracketsMayShareALimit) {
    std::vector<INCOMEREC> brackets;
    std::string error;
    ASSERT_TRUE(readIncomeBrackets(parsed("lower_limit,upper_limit\n0,100\n100,200\n201,\n"),
                                   brackets, error))
        << error;
    EXPECT_EQ(brackets.size(), 3u);
    EXPECT_FALSE(
        readIncomeBrackets(parsed("lower_limit,upper_limit\n0,100\n102,\n"), brackets, error));
    EXPECT_EQ(error, "line 3: the lower limit must be the previous upper limit or one more than "
                     "the previous upper limit");
}

TEST(SourceDataTest, OneRowTablesAreRead) {
    std::string error;
    NSSFREC nssf;
    ASSERT_TRUE(
        readNssfRates(parsed("employee_rate_percent,employer_rate_percent\n10,10\n"), nssf, error));
    EXPECT_EQ(nssf.employeeRate, 10.0f);
    SDLREC sdl;
    ASSERT_TRUE(readSdlRate(parsed("rate_percent\n3.5\n"), sdl, error));
    EXPECT_EQ(sdl.rate, 3.5f);
    PAYEPARAMREC params;
    ASSERT_TRUE(readPayeParams(parsed("max_pension,stat_rate_jul_dec_percent,"
                                      "stat_rate_jan_jun_percent\n999999999,6.00,5.75\n"),
                               params, error));
    EXPECT_EQ(params.maxPension, 999999999ul);
    EXPECT_EQ(params.statRateJulDec, 6.0f);
    EXPECT_EQ(params.statRateJanJun, 5.75f);

    EXPECT_FALSE(readSdlRate(parsed("rate_percent\n3.5\n4\n"), sdl, error));
    EXPECT_EQ(error, "expected exactly one row of figures");
    EXPECT_FALSE(readSdlRate(parsed("rate_percent\n"), sdl, error));
    EXPECT_EQ(error, "expected exactly one row of figures");
    EXPECT_FALSE(readNssfRates(parsed("employee_rate_percent,employer_rate_percent\n10,ten\n"),
                               nssf, error));
    EXPECT_EQ(error, "line 2: \"ten\" is not a percentage from 0 to 100 with at most two decimals");
}

} // namespace
} // namespace kelo::database::tools
