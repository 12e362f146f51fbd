#pragma once

#include "engine/FieldDesc.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::engine {

enum class ExprType { Character, Numeric, Date, Logical };

namespace detail {
class ExprNode;
}

// A compiled xBase index key or filter expression over the fields of one table.
//
// Grammar (keywords, functions and field names are case-insensitive):
//   or      := and { .OR. and }
//   and     := not { .AND. not }
//   not     := { .NOT. | ! } compare
//   compare := sum [ ( = | == | <> | # | != | < | <= | > | >= | $ ) sum ]
//   sum     := product { ( + | - ) product }
//   product := unary { ( * | / ) unary }
//   unary   := { - | + } primary
//   primary := number | 'text' | "text" | [text] | .T. | .F. | .Y. | .N.
//            | field | function ( args ) | ( or )
// As in FoxPro, .NOT. binds looser than comparisons: ".NOT. A > 1" is ".NOT. (A > 1)".
//
// Functions: UPPER LOWER TRIM RTRIM LTRIM ALLTRIM SUBSTR LEFT RIGHT DTOS STR VAL IIF
// DELETED. The length and decimals of STR must be constants so keys have a fixed width.
//
// String comparisons (SET EXACT OFF): "a = b" is true when a, blank padded if shorter,
// starts with b; "<>", "#" and "!=" are its negation; "==" and the ordering operators
// compare with the shorter operand blank padded. "a $ b" is true when b contains a.
// Character values may be shorter than their maximum length (TRIM); keys are blank
// padded to keyLength(). UPPER and LOWER change ASCII letters only.
//
// Evaluation never allocates for keys and simple filters and is safe to run from
// several threads on the same Expression.
class Expression {
public:
    ~Expression();
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    // Returns nullptr and a message in `error` for unknown fields or functions, bad
    // syntax, type mismatches, memo fields, trailing text or too deep nesting.
    static std::unique_ptr<Expression>
    compile(std::string_view text, const std::vector<FieldDesc>& fields, std::string& error);

    ExprType type() const;
    // Character: maximum result length; Numeric and Date: 8; Logical: 1.
    std::size_t keyLength() const;
    const std::string& source() const;

    // Key bytes ordered by memcmp: Character blank padded, Date "YYYYMMDD" or blanks,
    // Logical 'T'/'F', Numeric as encodeNumericKey.
    void evaluateKey(const char* record, std::string& out) const;
    // Logical result; false for the other types.
    bool evaluateBool(const char* record) const;
    // Character and Date: the value (not padded); Numeric: shortest decimal text;
    // Logical: "T" or "F".
    std::string evaluateString(const char* record) const;
    // Numeric: the value; Logical: 1 or 0; Character and Date: 0.
    double evaluateNumber(const char* record) const;

    // Big-endian IEEE bits with the sign bit flipped for positives and every bit inverted
    // for negatives; -0.0 and NaN encode as 0.0.
    static void encodeNumericKey(double value, std::string& out);

private:
    Expression(std::unique_ptr<detail::ExprNode> root, std::string source);

    std::unique_ptr<detail::ExprNode> root_;
    std::string source_;
};

} // namespace kelo::engine
