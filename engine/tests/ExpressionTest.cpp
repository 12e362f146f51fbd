#include "engine/Expression.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kelo::engine {
namespace {

FieldDesc field(const char* name, char type, std::uint16_t length, std::uint8_t decimals = 0) {
    FieldDesc f;
    f.name = name;
    f.type = type;
    f.length = length;
    f.decimals = decimals;
    return f;
}

std::vector<FieldDesc> makeSchema() {
    std::vector<FieldDesc> fields = {
        field("EMPNO", 'C', 19),  field("LASTNAME", 'C', 10),   field("OTHERNAMES", 'C', 12),
        field("NAME", 'C', 8),    field("BIRTHDATE", 'D', 8),   field("STARTDATE", 'D', 8),
        field("ENDDATE", 'D', 8), field("AMOUNT", 'N', 10, 2),  field("GRADE", 'N', 3),
        field("RATE", 'F', 8, 3), field("REMOVED", 'L', 1),     field("ACTIVE", 'L', 1),
        field("HOURS", 'I', 4),   field("SALARY", 'B', 8, 2),   field("MEMO1", 'M', 4),
        field("PHOTO", 'G', 4),   field("BLANKNUM", 'N', 6, 1),
    };
    std::uint32_t offset = 1;
    for (FieldDesc& f : fields) {
        f.offset = offset;
        offset += f.length;
    }
    return fields;
}

// Builds one record in the on-disk encoding.
class Record {
public:
    explicit Record(const std::vector<FieldDesc>& fields) : fields_(fields) {
        std::size_t size = 1;
        for (const FieldDesc& f : fields)
            size = std::max<std::size_t>(size, f.offset + f.length);
        bytes_.assign(size, ' ');
    }
    Record& text(const std::string& name, const std::string& value) {
        const FieldDesc& f = find(name);
        std::string padded = value;
        padded.resize(f.length, ' ');
        bytes_.replace(f.offset, f.length, padded);
        return *this;
    }
    Record& rightJustified(const std::string& name, const std::string& value) {
        const FieldDesc& f = find(name);
        return text(name, std::string(f.length - value.size(), ' ') + value);
    }
    Record& int32(const std::string& name, std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            bytes_[find(name).offset + i] = static_cast<char>(u >> (8 * i));
        return *this;
    }
    Record& real(const std::string& name, double v) {
        const auto u = std::bit_cast<std::uint64_t>(v);
        for (int i = 0; i < 8; ++i)
            bytes_[find(name).offset + i] = static_cast<char>(u >> (8 * i));
        return *this;
    }
    Record& deleted(bool d) {
        bytes_[0] = d ? '*' : ' ';
        return *this;
    }
    const char* data() const { return bytes_.data(); }

private:
    const FieldDesc& find(const std::string& name) const {
        return *std::find_if(fields_.begin(), fields_.end(),
                             [&](const FieldDesc& f) { return f.name == name; });
    }
    const std::vector<FieldDesc>& fields_;
    std::string bytes_;
};

class ExpressionTest : public ::testing::Test {
protected:
    ExpressionTest() : fields_(makeSchema()), record_(fields_) {
        record_.text("EMPNO", "emp-0042x")
            .text("LASTNAME", "Smith")
            .text("OTHERNAMES", "John Paul")
            .text("NAME", "SMITH")
            .text("BIRTHDATE", "19800229")
            .text("STARTDATE", "20150601")
            .rightJustified("AMOUNT", "1234.50")
            .rightJustified("GRADE", "7")
            .rightJustified("RATE", "-12.125")
            .text("REMOVED", "F")
            .text("ACTIVE", "t")
            .int32("HOURS", -40)
            .real("SALARY", 52000.75)
            .text("MEMO1", "0001");
    }

    std::unique_ptr<Expression> compile(const std::string& text) {
        std::string error;
        auto e = Expression::compile(text, fields_, error);
        EXPECT_TRUE(e) << text << ": " << error;
        EXPECT_EQ(error.empty(), e != nullptr) << text;
        return e;
    }

    std::vector<FieldDesc> fields_;
    Record record_;
};

struct KeyCase {
    const char* text;
    ExprType type;
    std::size_t keyLength;
    std::string key;
};

TEST_F(ExpressionTest, CharacterAndDateKeys) {
    const KeyCase cases[] = {
        {"UPPER(EmpNo)", ExprType::Character, 19, "EMP-0042X          "},
        {"upper( empno )", ExprType::Character, 19, "EMP-0042X          "},
        {"EMPNO", ExprType::Character, 19, "emp-0042x          "},
        {"DTOS(BirthDate)", ExprType::Character, 8, "19800229"},
        {"DTOS(EndDate)", ExprType::Character, 8, "        "},
        {"BirthDate", ExprType::Date, 8, "19800229"},
        {"STR(Amount,10,2)", ExprType::Character, 10, "   1234.50"},
        {"LastName+OtherNames", ExprType::Character, 22, "Smith     John Paul   "},
        {"UPPER(LastName)+DTOS(StartDate)", ExprType::Character, 18, "SMITH     20150601"},
        {"STR(Grade,3)+UPPER(Name)", ExprType::Character, 11, "  7SMITH   "},
        {"TRIM(LastName)+', '+OtherNames", ExprType::Character, 24, "Smith, John Paul        "},
        {"ALLTRIM('  a  ')+'|'", ExprType::Character, 6, "a|    "},
        {"LTRIM('  a ')+'|'", ExprType::Character, 5, "a |  "},
        {"LOWER(Name)", ExprType::Character, 8, "smith   "},
        {"SUBSTR(EmpNo, 5, 4)", ExprType::Character, 4, "0042"},
        {"SUBSTR(EmpNo, 5)", ExprType::Character, 19, "0042x              "},
        {"SUBSTR(EmpNo, 30, 2)", ExprType::Character, 2, "  "},
        {"LEFT(LastName, 3)", ExprType::Character, 3, "Smi"},
        {"RIGHT(DTOS(StartDate), 4)", ExprType::Character, 4, "0601"},
        {"STR(Hours, 5)", ExprType::Character, 5, "  -40"},
        {"STR(Salary, 9, 1)", ExprType::Character, 9, "  52000.8"},
        {"STR(Rate, 8, 3)", ExprType::Character, 8, " -12.125"},
        {"IIF(Removed, 'GONE', Name)", ExprType::Character, 8, "SMITH   "},
        {"[br]+\"ack\"+'et'", ExprType::Character, 7, "bracket"},
        {".NOT. DELETED()", ExprType::Logical, 1, "T"},
        {"Removed = .F. .AND. Amount > 0", ExprType::Logical, 1, "T"},
    };
    for (const KeyCase& c : cases) {
        const auto e = compile(c.text);
        if (!e)
            continue;
        EXPECT_EQ(e->type(), c.type) << c.text;
        EXPECT_EQ(e->keyLength(), c.keyLength) << c.text;
        std::string key = "stale";
        e->evaluateKey(record_.data(), key);
        EXPECT_EQ(key, c.key) << c.text;
    }
}

struct FilterCase {
    const char* text;
    bool expected;
};

TEST_F(ExpressionTest, Filters) {
    const FilterCase cases[] = {
        {".NOT. DELETED()", true},
        {"DELETED()", false},
        {"!DELETED()", true},
        {"Removed = .F. .AND. Amount > 0", true},
        {"Removed .OR. Amount < 0", false},
        {"Active .AND. .NOT. Removed", true},
        {".NOT. Amount > 2000", true},
        {"Amount = 1234.5", true},
        {"Amount == 1234.50", true},
        {"Amount >= 1234.5 .AND. Amount <= 1234.5", true},
        {"Amount + Grade = 1241.5", true},
        {"Amount - 234.5 * 2 = 765.5", true},
        {"(Amount - 234.5) * 2 = 2000", true},
        {"-Rate / 2 > 6", true},
        {"Grade # 7", false},
        {"Grade != 8", true},
        {"Grade <> 7", false},
        {"Hours = -40", true},
        {"Salary > 52000 .AND. Salary < 52001", true},
        {"BlankNum = 0", true},
        {"Name = 'SMI'", true},
        {"Name = 'SMITH '", true},
        {"Name = ''", true},
        {"Name == 'SMI'", false},
        {"Name == 'SMITH'", true},
        {"'SMITH' = Name", true},
        {"Name <> 'JONES'", true},
        {"Name # 'SMI'", false},
        {"Name < 'SMITHY'", true},
        {"Name > 'SMIT'", true},
        {"'MIT' $ Name", true},
        {"'XYZ' $ Name", false},
        {"UPPER(LastName) = 'SMITH'", true},
        {"BirthDate < StartDate", true},
        {"EndDate < BirthDate", true},
        {"DTOS(BirthDate) >= '1980'", true},
        {"VAL('  12.5xyz') = 12.5", true},
        {"VAL(STR(Amount, 10, 2)) = Amount", true},
        {"IIF(Amount > 1000, Grade, 0) = 7", true},
        {".T. .OR. .F. .AND. .F.", true},
        {"(.T. .OR. .F.) .AND. .F.", false},
        {".Y. = .T. .AND. .N. < .Y.", true},
        {"TRIM(LastName) == 'Smith'", true},
    };
    for (const FilterCase& c : cases) {
        std::string error;
        const auto e = Expression::compile(c.text, fields_, error);
        ASSERT_TRUE(e) << c.text << ": " << error;
        EXPECT_EQ(e->type(), ExprType::Logical) << c.text;
        EXPECT_EQ(e->evaluateBool(record_.data()), c.expected) << c.text;
    }
}

TEST_F(ExpressionTest, DeletedFlag) {
    const auto notDeleted = compile(".NOT. DELETED()");
    ASSERT_TRUE(notDeleted);
    record_.deleted(true);
    EXPECT_FALSE(notDeleted->evaluateBool(record_.data()));
    std::string key;
    notDeleted->evaluateKey(record_.data(), key);
    EXPECT_EQ(key, "F");
}

TEST_F(ExpressionTest, GenericEvaluation) {
    const auto amount = compile("Amount * 2");
    ASSERT_TRUE(amount);
    EXPECT_DOUBLE_EQ(amount->evaluateNumber(record_.data()), 2469.0);
    EXPECT_EQ(amount->evaluateString(record_.data()), "2469");
    EXPECT_FALSE(amount->evaluateBool(record_.data()));

    const auto name = compile("TRIM(LastName) + '!'");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->evaluateString(record_.data()), "Smith!");
    EXPECT_EQ(name->evaluateNumber(record_.data()), 0.0);
    EXPECT_EQ(name->source(), "TRIM(LastName) + '!'");

    const auto flag = compile("Active");
    ASSERT_TRUE(flag);
    EXPECT_EQ(flag->evaluateString(record_.data()), "T");
    EXPECT_EQ(flag->evaluateNumber(record_.data()), 1.0);
}

TEST(ExpressionKeyTest, NumericKeysSortLikeNumbers) {
    const std::vector<double> values = {-1e300, -12345.5, -2.0, -1.5, -0.25, -1e-300, 0.0,  1e-300,
                                        0.25,   1.0,      1.5,  2.0,  99.99, 100.0,   1e15, 1e300};
    std::vector<std::string> keys;
    for (const double v : values) {
        std::string key;
        Expression::encodeNumericKey(v, key);
        ASSERT_EQ(key.size(), 8u);
        keys.push_back(key);
    }
    for (std::size_t i = 1; i < keys.size(); ++i) {
        EXPECT_LT(std::memcmp(keys[i - 1].data(), keys[i].data(), 8), 0)
            << values[i - 1] << " vs " << values[i];
    }

    std::string zero;
    std::string negativeZero;
    Expression::encodeNumericKey(0.0, zero);
    Expression::encodeNumericKey(-0.0, negativeZero);
    EXPECT_EQ(zero, negativeZero);
}

TEST_F(ExpressionTest, NumericFieldKeysMatchEncoding) {
    const auto e = compile("Amount");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->keyLength(), 8u);
    const char* amounts[] = {"-500.25", "-0.01", "", "0.00", "0.01", "12.50", "999.99"};
    std::string previous;
    for (const char* a : amounts) {
        record_.rightJustified("AMOUNT", a);
        std::string key;
        e->evaluateKey(record_.data(), key);
        std::string expected;
        Expression::encodeNumericKey(std::strtod(a, nullptr), expected);
        EXPECT_EQ(key, expected) << a;
        if (!previous.empty()) {
            EXPECT_LE(std::memcmp(previous.data(), key.data(), 8), 0) << a;
        }
        previous = key;
    }
}

struct StrCase {
    const char* text;
    const char* expected;
};

TEST_F(ExpressionTest, StrRoundingAndOverflow) {
    const StrCase cases[] = {
        {"STR(12)", "        12"},
        {"STR(2.5)", "         3"},
        {"STR(-2.5)", "        -3"},
        {"STR(2.4)", "         2"},
        {"STR(12.345, 6, 2)", " 12.35"},
        {"STR(1.005, 5, 2)", " 1.01"},
        {"STR(-1.005, 6, 2)", " -1.01"},
        {"STR(-0.004, 5, 2)", " 0.00"},
        {"STR(0.5, 4, 2)", "0.50"},
        {"STR(0.5, 3, 2)", ".50"},
        {"STR(123.456, 5, 2)", "123.5"},
        {"STR(99.99, 4, 1)", " 100"},
        {"STR(123456, 5)", "*****"},
        {"STR(-1234, 4)", "****"},
        {"STR(1234, 4)", "1234"},
        {"STR(100000000000000000000, 25)", "    100000000000000000000"},
        {"STR(1/3, 12, 10)", "0.3333333333"},
        {"STR(5, 3, 0)", "  5"},
    };
    for (const StrCase& c : cases) {
        const auto e = compile(c.text);
        if (!e)
            continue;
        EXPECT_EQ(e->keyLength(), std::strlen(c.expected)) << c.text;
        EXPECT_EQ(e->evaluateString(record_.data()), c.expected) << c.text;
    }
}

TEST_F(ExpressionTest, BadExpressionsFail) {
    const std::string deep = std::string(200, '(') + "Amount" + std::string(200, ')');
    std::string longChain = "Amount";
    for (int i = 0; i < 5000; ++i)
        longChain += "+Amount";
    std::string manyNots;
    for (int i = 0; i < 5000; ++i)
        manyNots += ".NOT. ";
    manyNots += ".T.";
    const std::string bad[] = {
        "",
        "   ",
        "UPPER(",
        "NoSuchField",
        "UPPER(Amount)",
        "Name + 1",
        deep,
        longChain,
        manyNots,
        std::string(10000, '-') + "1",
        "'unterminated",
        "[unterminated",
        "Memo1",
        "UPPER(Photo)",
        "Name ) ",
        "STR()",
        "STR(Amount, 0)",
        "STR(Amount, Grade)",
        "STR(Name)",
        ".AND.",
        "Amount .AND. .T.",
        ".NOT. Amount",
        "Name = 1",
        "BirthDate = '19800229'",
        "DTOS(Name)",
        "NoSuch()",
        "DELETED(1)",
        "IIF(.T., 1, 'a')",
        "IIF(.T., 1)",
        "Amount Amount",
        "Amount ,",
        "Amount = = 1",
        "1 = 1 = .T.",
        ".X.",
        "@",
        "1e5",
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999"
        "99999999999999999999999999999999999999999999999999999999999999999999999999999999",
        "Name - Name",
        "Name * 2",
        "-Name",
        "'a' $ 1",
    };
    for (const std::string& text : bad) {
        std::string error;
        const auto e = Expression::compile(text, fields_, error);
        EXPECT_FALSE(e) << text.substr(0, 60);
        EXPECT_FALSE(error.empty()) << text.substr(0, 60);
    }
}

TEST_F(ExpressionTest, ModerateNestingIsAccepted) {
    const std::string nested = std::string(40, '(') + "Amount" + std::string(40, ')') + " > 0";
    const auto e = compile(nested);
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->evaluateBool(record_.data()));
}

TEST_F(ExpressionTest, RandomInputNeverCrashes) {
    const char* pieces[] = {"(",      ")",      ",",     "+",       "-",       "*",         "/",
                            "=",      "==",     "<",     ">=",      "<>",      "#",         "$",
                            "!",      ".AND.",  ".OR.",  ".NOT.",   ".T.",     ".F.",       "'ab'",
                            "\"",     "[",      "]",     "'",       "1",       "2.5",       ".",
                            "Name",   "Amount", "Grade", "Removed", "UPPER",   "STR",       "DTOS",
                            "SUBSTR", "IIF",    "VAL",   "TRIM",    "DELETED", "BirthDate", "Hours",
                            "Memo1",  " ",      "\t",    "\x01",    "\xff",    "LEFT"};
    std::mt19937 rng(12345);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 24);
    int compiled = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = length(rng);
        for (int k = 0; k < n; ++k)
            text += pieces[pick(rng)];
        std::string error;
        const auto e = Expression::compile(text, fields_, error);
        if (!e) {
            EXPECT_FALSE(error.empty()) << text;
            continue;
        }
        ++compiled;
        std::string key;
        e->evaluateKey(record_.data(), key);
        EXPECT_EQ(key.size(), e->keyLength()) << text;
        (void)e->evaluateBool(record_.data());
        (void)e->evaluateString(record_.data());
        (void)e->evaluateNumber(record_.data());
    }
    EXPECT_GT(compiled, 0);
}

} // namespace
} // namespace kelo::engine
