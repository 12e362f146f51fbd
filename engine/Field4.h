#pragma once

#include "engine/FieldDesc.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelo::engine {

class Data4;

// How a new table's column is defined.
struct Field4Info {
    std::string name;
    char type = 'C';
    unsigned length = 0;
    unsigned decimals = 0;
};

// One column of an open table, reading and writing the current record.
// Type letters: C text, N and F numbers as text, L logical, D date
// (YYYYMMDD), I 32-bit integer, B double, M memo text, X memo of raw bytes.
class Field4 {
public:
    Field4(Data4& table, const FieldDesc& desc, int position);

    const std::string& name() const { return desc_.name; }
    char type() const { return desc_.type; }
    unsigned length() const { return desc_.length; }
    unsigned decimals() const { return desc_.decimals; }
    int position() const { return position_; } // 1-based
    const FieldDesc& desc() const { return desc_; }
    bool isMemo() const { return desc_.type == 'M' || desc_.type == 'X'; }

    // Reads. Text of fixed-width types keeps its blanks; memos give their content.
    std::string str() const;
    std::string trimmed() const; // str() without trailing blanks
    int getInt() const;
    long getLong() const;
    double getDouble() const;
    double getCurrency() const;      // 'Y' columns of other writers, else getDouble()
    std::string getDateTime() const; // 'T' columns as "YYYYMMDDhh:mm:ss", dates as YYYYMMDD
    bool getLogical() const;
    // The field's bytes in the record buffer (memo: its block number).
    const char* ptr() const;
    unsigned len() const { return desc_.length; }

    // Writes into the current record buffer; written to disk when the record
    // is flushed, the table moves or closes.
    void assign(std::string_view text);
    void assignInt(int value) { assignLong(value); }
    void assignLong(long value);
    void assignDouble(double value);
    void assignLogical(bool value);
    void assignField(const Field4& from);
    // Tables carry no null flags; the value is kept and the record marked changed.
    void assignNotNull();
    void memoAssign(const char* data, std::size_t length);
    void memoAssign(std::string_view data) { memoAssign(data.data(), data.size()); }
    std::size_t memoLen() const;

private:
    char* bytes();
    const char* bytes() const;
    std::string_view raw() const;
    void storeText(std::string_view text);

    Data4* table_; // the table owns this field
    FieldDesc desc_;
    int position_;
};

using FIELD4 = Field4;

// Fixed-point text of `value` with `decimals` decimals, rounded half away from
// zero on its shortest decimal form, so that 2.675 gives "2.68".
std::string formatFixed(double value, unsigned decimals);

} // namespace kelo::engine
