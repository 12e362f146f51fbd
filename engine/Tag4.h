#pragma once

#include "engine/Expression.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::engine {

// How a tag is defined when its table is created.
struct Tag4Info {
    std::string name;
    std::string expression;
    std::string filter; // empty: every record
    bool unique = false;
    bool descending = false;
};

// One index tag, held in memory: the key of every record by record number and
// the record numbers in key order. Appended keys wait unsorted until the next
// ordered access, so bulk appends cost one sort instead of many inserts.
// In a unique tag only the first record (lowest number) of each key is seen.
class Tag4 {
public:
    static std::unique_ptr<Tag4> compile(const Tag4Info& info, const std::vector<FieldDesc>& fields,
                                         std::string& error);

    const Tag4Info& info() const { return info_; }
    const std::string& name() const { return info_.name; }
    std::size_t keyLength() const { return keyLength_; }
    ExprType keyType() const { return expression_->type(); }
    const Expression& expression() const { return *expression_; }

    // Index maintenance, by record number (1-based).
    void clear();
    void add(std::uint32_t recNo, const char* record);
    void update(std::uint32_t recNo, const char* record);
    std::string_view keyOf(std::uint32_t recNo) const;
    bool contains(std::uint32_t recNo) const;

    // Navigation over visible positions; positions index the sorted order.
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t size();
    std::size_t first();
    std::size_t last();
    std::size_t next(std::size_t pos);
    std::size_t previous(std::size_t pos);
    std::uint32_t recordAt(std::size_t pos) const { return order_[pos]; }
    std::size_t positionOf(std::uint32_t recNo);
    // First visible position whose key, compared on the search key's length,
    // is at or after `key` in tag order; `exact` tells whether it matches.
    std::size_t seek(std::string_view key, bool& exact);
    // Turns a caller's search text into key bytes (numbers for numeric tags).
    std::string searchKey(std::string_view text) const;
    std::string searchKey(double value) const;

private:
    Tag4() = default;
    void ensureSorted();
    bool before(std::uint32_t a, std::uint32_t b) const;
    int compareKeys(std::string_view a, std::string_view b) const;
    bool visible(std::size_t pos) const;
    std::size_t lowerBound(std::string_view key, std::uint32_t recNo) const;
    void removeFromOrder(std::uint32_t recNo);
    void insertIntoOrder(std::uint32_t recNo);

    Tag4Info info_;
    std::unique_ptr<Expression> expression_;
    std::unique_ptr<Expression> filter_;
    std::size_t keyLength_ = 0;
    std::vector<char> keys_;             // keyLength_ bytes per record number
    std::vector<std::uint8_t> inTag_;    // record passes the filter
    std::vector<std::uint32_t> order_;   // record numbers in key order
    std::vector<std::uint32_t> pending_; // appended, not yet merged into order_
    std::string scratch_;
};

using TAG4 = Tag4;

} // namespace kelo::engine
