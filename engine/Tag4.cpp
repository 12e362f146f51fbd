#include "engine/Tag4.h"

#include "engine/Util4.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace kelo::engine {

std::unique_ptr<Tag4> Tag4::compile(const Tag4Info& info, const std::vector<FieldDesc>& fields,
                                    std::string& error) {
    if (info.name.empty() || info.name.size() > 10) {
        error = "tag name must have 1 to 10 characters";
        return nullptr;
    }
    std::unique_ptr<Tag4> tag(new Tag4());
    tag->info_ = info;
    tag->expression_ = Expression::compile(info.expression, fields, error);
    if (!tag->expression_) {
        error = "tag " + info.name + ": " + error;
        return nullptr;
    }
    if (!info.filter.empty()) {
        tag->filter_ = Expression::compile(info.filter, fields, error);
        if (!tag->filter_ || tag->filter_->type() != ExprType::Logical) {
            if (tag->filter_)
                error = "filter is not a logical expression";
            error = "tag " + info.name + ": " + error;
            return nullptr;
        }
    }
    tag->keyLength_ = tag->expression_->keyLength();
    if (tag->keyLength_ == 0 || tag->keyLength_ > 240) {
        error = "tag " + info.name + ": key length must be 1 to 240";
        return nullptr;
    }
    return tag;
}

void Tag4::clear() {
    keys_.clear();
    inTag_.clear();
    order_.clear();
    pending_.clear();
}

std::string_view Tag4::keyOf(std::uint32_t recNo) const {
    return {keys_.data() + static_cast<std::size_t>(recNo - 1) * keyLength_, keyLength_};
}

bool Tag4::contains(std::uint32_t recNo) const {
    return recNo >= 1 && recNo <= inTag_.size() && inTag_[recNo - 1] != 0;
}

void Tag4::add(std::uint32_t recNo, const char* record) {
    const std::size_t needed = static_cast<std::size_t>(recNo) * keyLength_;
    if (keys_.size() < needed) {
        keys_.resize(needed, ' ');
        inTag_.resize(recNo, 0);
    }
    expression_->evaluateKey(record, scratch_);
    std::memcpy(keys_.data() + (recNo - 1) * keyLength_, scratch_.data(), keyLength_);
    const bool passes = !filter_ || filter_->evaluateBool(record);
    inTag_[recNo - 1] = passes ? 1 : 0;
    if (passes)
        pending_.push_back(recNo);
}

void Tag4::update(std::uint32_t recNo, const char* record) {
    if (recNo > inTag_.size()) {
        add(recNo, record);
        return;
    }
    expression_->evaluateKey(record, scratch_);
    const bool passes = !filter_ || filter_->evaluateBool(record);
    const bool was = inTag_[recNo - 1] != 0;
    if (was == passes && std::memcmp(scratch_.data(), keyOf(recNo).data(), keyLength_) == 0)
        return;
    ensureSorted();
    if (was)
        removeFromOrder(recNo);
    std::memcpy(keys_.data() + (recNo - 1) * keyLength_, scratch_.data(), keyLength_);
    inTag_[recNo - 1] = passes ? 1 : 0;
    if (passes)
        insertIntoOrder(recNo);
}

int Tag4::compareKeys(std::string_view a, std::string_view b) const {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return info_.descending ? -c : c;
}

bool Tag4::before(std::uint32_t a, std::uint32_t b) const {
    const int c = compareKeys(keyOf(a), keyOf(b));
    return c != 0 ? c < 0 : a < b;
}

void Tag4::ensureSorted() {
    if (pending_.empty())
        return;
    auto less = [this](std::uint32_t a, std::uint32_t b) { return before(a, b); };
    std::sort(pending_.begin(), pending_.end(), less);
    const std::size_t middle = order_.size();
    order_.insert(order_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    std::inplace_merge(order_.begin(), order_.begin() + static_cast<std::ptrdiff_t>(middle),
                       order_.end(), less);
}

std::size_t Tag4::lowerBound(std::string_view key, std::uint32_t recNo) const {
    auto it = std::lower_bound(order_.begin(), order_.end(), recNo,
                               [this, key](std::uint32_t entry, std::uint32_t wanted) {
                                   const int c = compareKeys(keyOf(entry), key);
                                   return c != 0 ? c < 0 : entry < wanted;
                               });
    return static_cast<std::size_t>(it - order_.begin());
}

void Tag4::removeFromOrder(std::uint32_t recNo) {
    const std::size_t pos = lowerBound(keyOf(recNo), recNo);
    if (pos < order_.size() && order_[pos] == recNo)
        order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void Tag4::insertIntoOrder(std::uint32_t recNo) {
    const std::size_t pos = lowerBound(keyOf(recNo), recNo);
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(pos), recNo);
}

bool Tag4::visible(std::size_t pos) const {
    if (!info_.unique || pos == 0)
        return true;
    return std::memcmp(keyOf(order_[pos]).data(), keyOf(order_[pos - 1]).data(), keyLength_) != 0;
}

std::size_t Tag4::size() {
    ensureSorted();
    return order_.size();
}

std::size_t Tag4::first() {
    ensureSorted();
    return order_.empty() ? npos : 0;
}

std::size_t Tag4::last() {
    ensureSorted();
    if (order_.empty())
        return npos;
    std::size_t pos = order_.size() - 1;
    while (!visible(pos))
        --pos;
    return pos;
}

std::size_t Tag4::next(std::size_t pos) {
    ensureSorted();
    for (++pos; pos < order_.size(); ++pos) {
        if (visible(pos))
            return pos;
    }
    return npos;
}

std::size_t Tag4::previous(std::size_t pos) {
    ensureSorted();
    if (pos == npos || pos == 0)
        return npos;
    --pos;
    while (pos > 0 && !visible(pos))
        --pos;
    return pos;
}

std::size_t Tag4::positionOf(std::uint32_t recNo) {
    ensureSorted();
    if (!contains(recNo))
        return npos;
    std::size_t pos = lowerBound(keyOf(recNo), recNo);
    if (pos >= order_.size() || order_[pos] != recNo)
        return npos;
    while (!visible(pos))
        --pos;
    return pos;
}

std::size_t Tag4::seek(std::string_view key, bool& exact) {
    ensureSorted();
    exact = false;
    if (key.size() > keyLength_)
        key = key.substr(0, keyLength_);
    auto it = std::lower_bound(
        order_.begin(), order_.end(), key, [this](std::uint32_t entry, std::string_view wanted) {
            return compareKeys(keyOf(entry).substr(0, wanted.size()), wanted) < 0;
        });
    if (it == order_.end())
        return npos;
    const auto pos = static_cast<std::size_t>(it - order_.begin());
    exact = keyOf(*it).substr(0, key.size()) == key;
    return pos; // lower_bound lands on the first of equal keys, which is visible
}

std::string Tag4::searchKey(std::string_view text) const {
    if (keyType() == ExprType::Numeric) {
        return searchKey(atof4(text));
    }
    return std::string(text);
}

std::string Tag4::searchKey(double value) const {
    if (keyType() != ExprType::Numeric)
        return {};
    std::string key;
    Expression::encodeNumericKey(value, key);
    return key;
}

} // namespace kelo::engine
