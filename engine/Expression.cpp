#include "engine/Expression.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

namespace kelo::engine {

namespace detail {

// One node of the compiled tree. Character and Date nodes append their value to a
// caller's buffer so keys are built without temporaries.
class ExprNode {
public:
    ExprNode(ExprType type, std::size_t maxLength) : type_(type), maxLength_(maxLength) {}
    virtual ~ExprNode() = default;
    ExprNode(const ExprNode&) = delete;
    ExprNode& operator=(const ExprNode&) = delete;

    virtual double number(const char*) const { return 0.0; }
    virtual bool logical(const char*) const { return false; }
    // Appends at most maxLength() bytes (exactly 8 for Date).
    virtual void text(const char*, std::string&) const {}
    // Offers the value in place when it already exists in the record or the node.
    virtual bool view(const char*, std::string_view&) const { return false; }

    ExprType type() const { return type_; }
    std::size_t maxLength() const { return maxLength_; }
    bool constant() const { return constant_; }
    int depth() const { return depth_; }

protected:
    void adopt(const ExprNode& child) {
        depth_ = std::max(depth_, child.depth_ + 1);
        constant_ = constant_ && child.constant_;
    }
    void readsRecord() { constant_ = false; }

private:
    ExprType type_;
    std::size_t maxLength_;
    bool constant_ = true;
    int depth_ = 1;
};

} // namespace detail

namespace {

using detail::ExprNode;
using NodePtr = std::unique_ptr<ExprNode>;

constexpr int kMaxNesting = 64;
constexpr int kMaxTreeDepth = 256;
constexpr std::size_t kMaxTextLength = 65535;
constexpr int kMaxStrLength = 255;
constexpr int kMaxStrDecimals = 18;

constexpr std::array<double, 23> kPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr std::array<char, 256> makeCaseTable(bool upper) {
    std::array<char, 256> table{};
    for (int i = 0; i < 256; ++i) {
        int c = i;
        if (upper && c >= 'a' && c <= 'z')
            c -= 'a' - 'A';
        else if (!upper && c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        table[static_cast<std::size_t>(i)] = static_cast<char>(c);
    }
    return table;
}

constexpr std::array<char, 256> kUpper = makeCaseTable(true);
constexpr std::array<char, 256> kLower = makeCaseTable(false);

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string upperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = kUpper[static_cast<unsigned char>(c)];
    return r;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

// xBase numbers: leading blanks, optional sign, digits, optional fraction; stops at
// anything else, so blank or garbage fields read as 0.
double parseDecimal(const char* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n && p[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (p[i] == '-' || p[i] == '+')) {
        negative = p[i] == '-';
        ++i;
    }
    double mantissa = 0.0;
    std::size_t scale = 0;
    bool point = false;
    for (; i < n; ++i) {
        const char c = p[i];
        if (isDigit(c)) {
            mantissa = mantissa * 10.0 + (c - '0');
            if (point)
                ++scale;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // Exact powers keep "12.50" and friends correctly rounded.
    const double value =
        scale < kPow10.size() ? mantissa / kPow10[scale] : mantissa / std::pow(10.0, double(scale));
    return negative ? -value : value;
}

// Clamps a runtime count to [0, limit]; NaN gives 0.
std::size_t toCount(double x, std::size_t limit) {
    if (!(x >= 1.0))
        return 0;
    if (x >= double(limit))
        return limit;
    return static_cast<std::size_t>(x);
}

// Thread-local buffers for operands that cannot be viewed in place; reused so filters
// do not allocate per record.
class Scratch {
public:
    Scratch() {
        auto& p = pool();
        if (used() == p.size())
            p.push_back(std::make_unique<std::string>());
        buffer_ = p[used()].get();
        ++used();
        buffer_->clear();
    }
    ~Scratch() { --used(); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string& str() { return *buffer_; }

private:
    static std::vector<std::unique_ptr<std::string>>& pool() {
        thread_local std::vector<std::unique_ptr<std::string>> buffers;
        return buffers;
    }
    static std::size_t& used() {
        thread_local std::size_t count = 0;
        return count;
    }
    std::string* buffer_;
};

std::string_view textOf(const ExprNode& node, const char* record, Scratch& scratch) {
    std::string_view v;
    if (node.view(record, v))
        return v;
    node.text(record, scratch.str());
    return scratch.str();
}

bool allBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

// Orders as memcmp with the shorter operand blank padded, matching padded index keys.
int paddedCompare(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = a.substr(0, n).compare(b.substr(0, n));
    if (c != 0)
        return c;
    for (std::size_t i = n; i < a.size(); ++i)
        if (a[i] != ' ')
            return static_cast<unsigned char>(a[i]) < ' ' ? -1 : 1;
    for (std::size_t i = n; i < b.size(); ++i)
        if (b[i] != ' ')
            return static_cast<unsigned char>(b[i]) < ' ' ? 1 : -1;
    return 0;
}

// SET EXACT OFF equality: `a`, blank padded, begins with `b`.
bool prefixEqual(std::string_view a, std::string_view b) {
    if (a.size() >= b.size())
        return a.substr(0, b.size()) == b;
    return a == b.substr(0, a.size()) && allBlank(b.substr(a.size()));
}

// Fixed-capacity text whose writes are bounds checked.
struct SmallText {
    std::array<char, 400> buf{};
    std::size_t size = 0;
    void push(char c) {
        if (size < buf.size())
            buf[size++] = c;
    }
    std::string_view view() const { return {buf.data(), size}; }
};

// |value| with `dec` decimals, rounded half away from zero; the sign is reported apart.
bool formatFixed(double value, int dec, SmallText& t, bool& negative) {
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * kPow10[static_cast<std::size_t>(dec)];
    if (scaled < 9007199254740992.0) {
        double whole = std::floor(scaled);
        // A few ulps of slack so 1.005 rounds like the decimal the user typed.
        const double slack = scaled * 4 * std::numeric_limits<double>::epsilon();
        if (scaled - whole + slack >= 0.5)
            whole += 1.0;
        auto k = static_cast<std::uint64_t>(whole);
        negative = value < 0 && k != 0;
        std::array<char, 24> digits{};
        int n = 0;
        do {
            digits[static_cast<std::size_t>(n++)] = static_cast<char>('0' + k % 10);
            k /= 10;
        } while (k != 0 && n < 20);
        while (n < dec + 1)
            digits[static_cast<std::size_t>(n++)] = '0';
        for (int i = n - 1; i >= 0; --i) {
            t.push(digits[static_cast<std::size_t>(i)]);
            if (i == dec && dec > 0)
                t.push('.');
        }
        return true;
    }
    // Beyond 2^53 there are no fractional bits left to round.
    negative = value < 0;
    const auto res = std::to_chars(t.buf.data(), t.buf.data() + t.buf.size(), magnitude,
                                   std::chars_format::fixed, dec);
    if (res.ec != std::errc())
        return false;
    t.size = static_cast<std::size_t>(res.ptr - t.buf.data());
    return true;
}

// FoxPro STR(): right-justified in `len`; drops a leading "0" and then decimals to fit,
// asterisks when the integer part itself does not fit.
void formatStr(double value, int len, int dec, std::string& out) {
    const auto width = static_cast<std::size_t>(len);
    if (std::isfinite(value)) {
        for (int d = dec; d >= 0; --d) {
            SmallText t;
            bool negative = false;
            if (!formatFixed(value, d, t, negative))
                break;
            std::string_view body = t.view();
            std::size_t need = body.size() + (negative ? 1 : 0);
            if (need > width && d > 0 && body.size() > 1 && body[0] == '0' && body[1] == '.') {
                body.remove_prefix(1);
                --need;
            }
            if (need <= width) {
                out.append(width - need, ' ');
                if (negative)
                    out.push_back('-');
                out.append(body);
                return;
            }
        }
    }
    out.append(width, '*');
}

std::uint64_t loadLittle(const char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// ---- leaves -------------------------------------------------------------------------

class CharField final : public ExprNode {
public:
    CharField(std::uint32_t offset, std::uint16_t length)
        : ExprNode(ExprType::Character, length),
          offset_(offset),
          length_(length) {
        readsRecord();
    }
    void text(const char* r, std::string& out) const override { out.append(r + offset_, length_); }
    bool view(const char* r, std::string_view& v) const override {
        v = std::string_view(r + offset_, length_);
        return true;
    }

private:
    std::uint32_t offset_;
    std::size_t length_;
};

class DateField final : public ExprNode {
public:
    DateField(std::uint32_t offset, std::uint16_t length)
        : ExprNode(ExprType::Date, 8),
          offset_(offset),
          length_(std::min<std::size_t>(length, 8)) {
        readsRecord();
    }
    void text(const char* r, std::string& out) const override {
        out.append(r + offset_, length_);
        out.append(8 - length_, ' ');
    }
    bool view(const char* r, std::string_view& v) const override {
        if (length_ != 8)
            return false;
        v = std::string_view(r + offset_, 8);
        return true;
    }

private:
    std::uint32_t offset_;
    std::size_t length_;
};

class NumberField final : public ExprNode {
public:
    NumberField(std::uint32_t offset, std::uint16_t length)
        : ExprNode(ExprType::Numeric, 0),
          offset_(offset),
          length_(length) {
        readsRecord();
    }
    double number(const char* r) const override { return parseDecimal(r + offset_, length_); }

private:
    std::uint32_t offset_;
    std::size_t length_;
};

class BinaryNumberField final : public ExprNode {
public:
    enum class Kind { Integer, Double, Currency };
    BinaryNumberField(std::uint32_t offset, Kind kind)
        : ExprNode(ExprType::Numeric, 0),
          offset_(offset),
          kind_(kind) {
        readsRecord();
    }
    double number(const char* r) const override {
        switch (kind_) {
        case Kind::Integer:
            return static_cast<std::int32_t>(
                static_cast<std::uint32_t>(loadLittle(r + offset_, 4)));
        case Kind::Double:
            return std::bit_cast<double>(loadLittle(r + offset_, 8));
        case Kind::Currency:
            return static_cast<double>(static_cast<std::int64_t>(loadLittle(r + offset_, 8))) /
                   10000.0;
        }
        return 0.0;
    }

private:
    std::uint32_t offset_;
    Kind kind_;
};

class LogicalField final : public ExprNode {
public:
    explicit LogicalField(std::uint32_t offset) : ExprNode(ExprType::Logical, 1), offset_(offset) {
        readsRecord();
    }
    bool logical(const char* r) const override {
        const char c = r[offset_];
        return c == 'T' || c == 't' || c == 'Y' || c == 'y';
    }

private:
    std::uint32_t offset_;
};

class Deleted final : public ExprNode {
public:
    Deleted() : ExprNode(ExprType::Logical, 1) { readsRecord(); }
    bool logical(const char* r) const override { return r[0] == '*'; }
};

class TextConst final : public ExprNode {
public:
    explicit TextConst(std::string value)
        : ExprNode(ExprType::Character, value.size()),
          value_(std::move(value)) {}
    void text(const char*, std::string& out) const override { out.append(value_); }
    bool view(const char*, std::string_view& v) const override {
        v = value_;
        return true;
    }

private:
    std::string value_;
};

class NumberConst final : public ExprNode {
public:
    explicit NumberConst(double value) : ExprNode(ExprType::Numeric, 0), value_(value) {}
    double number(const char*) const override { return value_; }

private:
    double value_;
};

class LogicalConst final : public ExprNode {
public:
    explicit LogicalConst(bool value) : ExprNode(ExprType::Logical, 1), value_(value) {}
    bool logical(const char*) const override { return value_; }

private:
    bool value_;
};

// ---- character functions ------------------------------------------------------------

class CaseMap final : public ExprNode {
public:
    CaseMap(NodePtr arg, const std::array<char, 256>& table)
        : ExprNode(ExprType::Character, arg->maxLength()),
          arg_(std::move(arg)),
          table_(table) {
        adopt(*arg_);
    }
    void text(const char* r, std::string& out) const override {
        const std::size_t start = out.size();
        arg_->text(r, out);
        for (std::size_t i = start; i < out.size(); ++i)
            out[i] = table_[static_cast<unsigned char>(out[i])];
    }

private:
    NodePtr arg_;
    const std::array<char, 256>& table_;
};

class Trim final : public ExprNode {
public:
    Trim(NodePtr arg, bool left, bool right)
        : ExprNode(ExprType::Character, arg->maxLength()),
          arg_(std::move(arg)),
          left_(left),
          right_(right) {
        adopt(*arg_);
    }
    void text(const char* r, std::string& out) const override {
        const std::size_t start = out.size();
        arg_->text(r, out);
        if (right_)
            while (out.size() > start && out.back() == ' ')
                out.pop_back();
        if (left_) {
            std::size_t first = start;
            while (first < out.size() && out[first] == ' ')
                ++first;
            out.erase(start, first - start);
        }
    }

private:
    NodePtr arg_;
    bool left_;
    bool right_;
};

// SUBSTR, LEFT and RIGHT: `start` is null for LEFT/RIGHT, `count` null for open SUBSTR.
class Slice final : public ExprNode {
public:
    Slice(NodePtr arg, NodePtr start, NodePtr count, bool fromRight, std::size_t maxLength)
        : ExprNode(ExprType::Character, maxLength),
          arg_(std::move(arg)),
          start_(std::move(start)),
          count_(std::move(count)),
          fromRight_(fromRight) {
        adopt(*arg_);
        if (start_)
            adopt(*start_);
        if (count_)
            adopt(*count_);
    }
    void text(const char* r, std::string& out) const override {
        const std::size_t base = out.size();
        arg_->text(r, out);
        const std::size_t n = out.size() - base;
        std::size_t from = 0;
        if (start_) {
            const double s = start_->number(r);
            if (!(s >= 1.0) || toCount(s, n + 1) > n) {
                out.resize(base);
                return;
            }
            from = toCount(s, n) - 1;
        }
        std::size_t take = count_ ? toCount(count_->number(r), n - from) : n - from;
        take = std::min(take, maxLength());
        if (fromRight_)
            from = n - take;
        out.erase(base, from);
        out.resize(base + take);
    }

private:
    NodePtr arg_;
    NodePtr start_;
    NodePtr count_;
    bool fromRight_;
};

class Dtos final : public ExprNode {
public:
    explicit Dtos(NodePtr arg) : ExprNode(ExprType::Character, 8), arg_(std::move(arg)) {
        adopt(*arg_);
    }
    void text(const char* r, std::string& out) const override { arg_->text(r, out); }
    bool view(const char* r, std::string_view& v) const override { return arg_->view(r, v); }

private:
    NodePtr arg_;
};

class Str final : public ExprNode {
public:
    Str(NodePtr arg, int length, int decimals)
        : ExprNode(ExprType::Character, static_cast<std::size_t>(length)),
          arg_(std::move(arg)),
          length_(length),
          decimals_(decimals) {
        adopt(*arg_);
    }
    void text(const char* r, std::string& out) const override {
        formatStr(arg_->number(r), length_, decimals_, out);
    }

private:
    NodePtr arg_;
    int length_;
    int decimals_;
};

class Val final : public ExprNode {
public:
    explicit Val(NodePtr arg) : ExprNode(ExprType::Numeric, 0), arg_(std::move(arg)) {
        adopt(*arg_);
    }
    double number(const char* r) const override {
        Scratch scratch;
        const std::string_view s = textOf(*arg_, r, scratch);
        return parseDecimal(s.data(), s.size());
    }

private:
    NodePtr arg_;
};

class Concat final : public ExprNode {
public:
    Concat(NodePtr a, NodePtr b)
        : ExprNode(ExprType::Character, a->maxLength() + b->maxLength()),
          a_(std::move(a)),
          b_(std::move(b)) {
        adopt(*a_);
        adopt(*b_);
    }
    void text(const char* r, std::string& out) const override {
        a_->text(r, out);
        b_->text(r, out);
    }

private:
    NodePtr a_;
    NodePtr b_;
};

class Iif final : public ExprNode {
public:
    Iif(NodePtr cond, NodePtr a, NodePtr b)
        : ExprNode(a->type(), std::max(a->maxLength(), b->maxLength())),
          cond_(std::move(cond)),
          a_(std::move(a)),
          b_(std::move(b)) {
        adopt(*cond_);
        adopt(*a_);
        adopt(*b_);
    }
    double number(const char* r) const override { return pick(r).number(r); }
    bool logical(const char* r) const override { return pick(r).logical(r); }
    void text(const char* r, std::string& out) const override { pick(r).text(r, out); }
    bool view(const char* r, std::string_view& v) const override { return pick(r).view(r, v); }

private:
    const ExprNode& pick(const char* r) const { return cond_->logical(r) ? *a_ : *b_; }
    NodePtr cond_;
    NodePtr a_;
    NodePtr b_;
};

// ---- operators ----------------------------------------------------------------------

class Arithmetic final : public ExprNode {
public:
    Arithmetic(char op, NodePtr a, NodePtr b)
        : ExprNode(ExprType::Numeric, 0),
          op_(op),
          a_(std::move(a)),
          b_(std::move(b)) {
        adopt(*a_);
        adopt(*b_);
    }
    double number(const char* r) const override {
        const double x = a_->number(r);
        const double y = b_->number(r);
        switch (op_) {
        case '+':
            return x + y;
        case '-':
            return x - y;
        case '*':
            return x * y;
        default:
            return y == 0.0 ? 0.0 : x / y; // keeps keys finite
        }
    }

private:
    char op_;
    NodePtr a_;
    NodePtr b_;
};

class Negate final : public ExprNode {
public:
    explicit Negate(NodePtr a) : ExprNode(ExprType::Numeric, 0), a_(std::move(a)) { adopt(*a_); }
    double number(const char* r) const override { return -a_->number(r); }

private:
    NodePtr a_;
};

enum class CmpOp { Eq, ExactEq, Ne, Lt, Le, Gt, Ge, Contains };

bool fromOrder(CmpOp op, int c) {
    switch (op) {
    case CmpOp::Eq:
    case CmpOp::ExactEq:
        return c == 0;
    case CmpOp::Ne:
        return c != 0;
    case CmpOp::Lt:
        return c < 0;
    case CmpOp::Le:
        return c <= 0;
    case CmpOp::Gt:
        return c > 0;
    case CmpOp::Ge:
        return c >= 0;
    case CmpOp::Contains:
        break;
    }
    return false;
}

class Compare final : public ExprNode {
public:
    Compare(CmpOp op, NodePtr a, NodePtr b)
        : ExprNode(ExprType::Logical, 1),
          op_(op),
          a_(std::move(a)),
          b_(std::move(b)) {
        adopt(*a_);
        adopt(*b_);
    }
    bool logical(const char* r) const override {
        switch (a_->type()) {
        case ExprType::Numeric: {
            const double x = a_->number(r);
            const double y = b_->number(r);
            if (std::isnan(x) || std::isnan(y))
                return op_ == CmpOp::Ne;
            return fromOrder(op_, x < y ? -1 : (x > y ? 1 : 0));
        }
        case ExprType::Logical:
            return fromOrder(op_, int(a_->logical(r)) - int(b_->logical(r)));
        case ExprType::Character:
        case ExprType::Date:
            break;
        }
        Scratch sa;
        Scratch sb;
        const std::string_view x = textOf(*a_, r, sa);
        const std::string_view y = textOf(*b_, r, sb);
        switch (op_) {
        case CmpOp::Eq:
            return prefixEqual(x, y);
        case CmpOp::Ne:
            return !prefixEqual(x, y);
        case CmpOp::Contains:
            return !x.empty() && y.find(x) != std::string_view::npos;
        default:
            return fromOrder(op_, paddedCompare(x, y));
        }
    }

private:
    CmpOp op_;
    NodePtr a_;
    NodePtr b_;
};

class Not final : public ExprNode {
public:
    explicit Not(NodePtr a) : ExprNode(ExprType::Logical, 1), a_(std::move(a)) { adopt(*a_); }
    bool logical(const char* r) const override { return !a_->logical(r); }

private:
    NodePtr a_;
};

class AndOr final : public ExprNode {
public:
    AndOr(bool isAnd, NodePtr a, NodePtr b)
        : ExprNode(ExprType::Logical, 1),
          isAnd_(isAnd),
          a_(std::move(a)),
          b_(std::move(b)) {
        adopt(*a_);
        adopt(*b_);
    }
    bool logical(const char* r) const override {
        return isAnd_ ? (a_->logical(r) && b_->logical(r)) : (a_->logical(r) || b_->logical(r));
    }

private:
    bool isAnd_;
    NodePtr a_;
    NodePtr b_;
};

// ---- parser -------------------------------------------------------------------------

enum class Tok {
    End,
    Number,
    String,
    Ident,
    LParen,
    RParen,
    Comma,
    Plus,
    Minus,
    Star,
    Slash,
    Cmp,
    Not,
    And,
    Or,
    True,
    False,
    Bad,
};

struct Token {
    Tok kind = Tok::End;
    std::string_view text;
    double number = 0.0;
    CmpOp cmp = CmpOp::Eq;
    std::size_t pos = 0;
};

const char* typeName(ExprType t) {
    switch (t) {
    case ExprType::Character:
        return "character";
    case ExprType::Numeric:
        return "numeric";
    case ExprType::Date:
        return "date";
    case ExprType::Logical:
        return "logical";
    }
    return "?";
}

class Parser {
public:
    Parser(std::string_view src, const std::vector<FieldDesc>& fields)
        : src_(src),
          fields_(fields) {}

    NodePtr parseAll() {
        next();
        if (tok_.kind == Tok::End)
            return fail("empty expression", 0);
        NodePtr root = parseOr();
        if (root && tok_.kind != Tok::End)
            return fail("unexpected " + describe(tok_) + " after the expression", tok_.pos);
        return root;
    }

    const std::string& error() const { return error_; }

private:
    // Guards recursion so hostile input cannot exhaust the stack.
    class Nest {
    public:
        explicit Nest(Parser& p) : p_(p) { ok_ = ++p_.nesting_ <= kMaxNesting; }
        ~Nest() { --p_.nesting_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;
        bool ok() const { return ok_; }

    private:
        Parser& p_;
        bool ok_;
    };

    NodePtr fail(const std::string& message, std::size_t pos) {
        if (error_.empty())
            error_ = message + " at position " + std::to_string(pos + 1);
        return nullptr;
    }

    NodePtr tooDeep(std::size_t pos) { return fail("expression nested too deeply", pos); }

    NodePtr checked(NodePtr node, std::size_t pos) {
        if (node->depth() > kMaxTreeDepth)
            return tooDeep(pos);
        if ((node->type() == ExprType::Character) && node->maxLength() > kMaxTextLength)
            return fail("character result too long", pos);
        return node;
    }

    static std::string describe(const Token& t) {
        switch (t.kind) {
        case Tok::End:
            return "end of expression";
        case Tok::Bad:
            return "character '" + std::string(t.text) + "'";
        default:
            return "'" + std::string(t.text) + "'";
        }
    }

    void next() {
        while (pos_ < src_.size() && isBlank(src_[pos_]))
            ++pos_;
        tok_ = Token{};
        tok_.pos = pos_;
        if (pos_ >= src_.size()) {
            tok_.kind = Tok::End;
            return;
        }
        const std::size_t start = pos_;
        const char c = src_[pos_];
        const char c1 = pos_ + 1 < src_.size() ? src_[pos_ + 1] : '\0';
        auto finish = [&](Tok kind, std::size_t length) {
            tok_.kind = kind;
            tok_.text = src_.substr(start, length);
            pos_ = start + length;
        };
        auto comparison = [&](CmpOp op, std::size_t length) {
            tok_.cmp = op;
            finish(Tok::Cmp, length);
        };

        if (isDigit(c) || (c == '.' && isDigit(c1))) {
            std::size_t end = pos_;
            while (end < src_.size() && isDigit(src_[end]))
                ++end;
            if (end + 1 < src_.size() && src_[end] == '.' && isDigit(src_[end + 1])) {
                ++end;
                while (end < src_.size() && isDigit(src_[end]))
                    ++end;
            }
            const auto res = std::from_chars(src_.data() + start, src_.data() + end, tok_.number);
            finish(Tok::Number, end - start);
            if (res.ec != std::errc() || res.ptr != src_.data() + end ||
                !std::isfinite(tok_.number))
                tok_.kind = Tok::Bad;
            return;
        }
        if (c == '\'' || c == '"' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = src_.find(close, pos_ + 1);
            if (end == std::string_view::npos) {
                finish(Tok::Bad, src_.size() - start);
                tok_.text = "unterminated string";
                return;
            }
            finish(Tok::String, end + 1 - start);
            tok_.text = src_.substr(start + 1, end - start - 1);
            return;
        }
        if (isAlpha(c)) {
            std::size_t end = pos_;
            while (end < src_.size() && (isAlpha(src_[end]) || isDigit(src_[end])))
                ++end;
            finish(Tok::Ident, end - start);
            return;
        }
        if (c == '.') {
            std::size_t end = pos_ + 1;
            while (end < src_.size() && isAlpha(src_[end]))
                ++end;
            if (end < src_.size() && src_[end] == '.') {
                const std::string word = upperAscii(src_.substr(start + 1, end - start - 1));
                const std::size_t length = end + 1 - start;
                if (word == "T" || word == "Y")
                    return finish(Tok::True, length);
                if (word == "F" || word == "N")
                    return finish(Tok::False, length);
                if (word == "AND")
                    return finish(Tok::And, length);
                if (word == "OR")
                    return finish(Tok::Or, length);
                if (word == "NOT")
                    return finish(Tok::Not, length);
            }
            return finish(Tok::Bad, 1);
        }
        switch (c) {
        case '(':
            return finish(Tok::LParen, 1);
        case ')':
            return finish(Tok::RParen, 1);
        case ',':
            return finish(Tok::Comma, 1);
        case '+':
            return finish(Tok::Plus, 1);
        case '-':
            return finish(Tok::Minus, 1);
        case '*':
            return finish(Tok::Star, 1);
        case '/':
            return finish(Tok::Slash, 1);
        case '$':
            return comparison(CmpOp::Contains, 1);
        case '#':
            return comparison(CmpOp::Ne, 1);
        case '=':
            return c1 == '=' ? comparison(CmpOp::ExactEq, 2) : comparison(CmpOp::Eq, 1);
        case '<':
            if (c1 == '=')
                return comparison(CmpOp::Le, 2);
            if (c1 == '>')
                return comparison(CmpOp::Ne, 2);
            return comparison(CmpOp::Lt, 1);
        case '>':
            return c1 == '=' ? comparison(CmpOp::Ge, 2) : comparison(CmpOp::Gt, 1);
        case '!':
            return c1 == '=' ? comparison(CmpOp::Ne, 2) : finish(Tok::Not, 1);
        default:
            return finish(Tok::Bad, 1);
        }
    }

    NodePtr parseOr() {
        NodePtr left = parseAnd();
        while (left && tok_.kind == Tok::Or) {
            const std::size_t pos = tok_.pos;
            next();
            NodePtr right = parseAnd();
            if (!right)
                return nullptr;
            if (left->type() != ExprType::Logical || right->type() != ExprType::Logical)
                return fail(".OR. needs logical operands", pos);
            left = checked(std::make_unique<AndOr>(false, std::move(left), std::move(right)), pos);
        }
        return left;
    }

    NodePtr parseAnd() {
        NodePtr left = parseNot();
        while (left && tok_.kind == Tok::And) {
            const std::size_t pos = tok_.pos;
            next();
            NodePtr right = parseNot();
            if (!right)
                return nullptr;
            if (left->type() != ExprType::Logical || right->type() != ExprType::Logical)
                return fail(".AND. needs logical operands", pos);
            left = checked(std::make_unique<AndOr>(true, std::move(left), std::move(right)), pos);
        }
        return left;
    }

    NodePtr parseNot() {
        if (tok_.kind != Tok::Not)
            return parseCompare();
        const std::size_t pos = tok_.pos;
        Nest nest(*this);
        if (!nest.ok())
            return tooDeep(pos);
        next();
        NodePtr operand = parseNot();
        if (!operand)
            return nullptr;
        if (operand->type() != ExprType::Logical)
            return fail(".NOT. needs a logical operand", pos);
        return checked(std::make_unique<Not>(std::move(operand)), pos);
    }

    NodePtr parseCompare() {
        NodePtr left = parseSum();
        if (!left || tok_.kind != Tok::Cmp)
            return left;
        const Token op = tok_;
        next();
        NodePtr right = parseSum();
        if (!right)
            return nullptr;
        if (left->type() != right->type())
            return fail("cannot compare " + std::string(typeName(left->type())) + " with " +
                            typeName(right->type()),
                        op.pos);
        if (op.cmp == CmpOp::Contains && left->type() != ExprType::Character)
            return fail("$ needs character operands", op.pos);
        return checked(std::make_unique<Compare>(op.cmp, std::move(left), std::move(right)),
                       op.pos);
    }

    NodePtr parseSum() {
        NodePtr left = parseProduct();
        while (left && (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus)) {
            const bool plus = tok_.kind == Tok::Plus;
            const std::size_t pos = tok_.pos;
            next();
            NodePtr right = parseProduct();
            if (!right)
                return nullptr;
            const ExprType a = left->type();
            const ExprType b = right->type();
            if (plus && a == ExprType::Character && b == ExprType::Character)
                left = checked(std::make_unique<Concat>(std::move(left), std::move(right)), pos);
            else if (a == ExprType::Numeric && b == ExprType::Numeric)
                left = checked(std::make_unique<Arithmetic>(plus ? '+' : '-', std::move(left),
                                                            std::move(right)),
                               pos);
            else
                return fail(std::string(plus ? "+" : "-") + " cannot combine " + typeName(a) +
                                " and " + typeName(b),
                            pos);
        }
        return left;
    }

    NodePtr parseProduct() {
        NodePtr left = parseUnary();
        while (left && (tok_.kind == Tok::Star || tok_.kind == Tok::Slash)) {
            const char op = tok_.kind == Tok::Star ? '*' : '/';
            const std::size_t pos = tok_.pos;
            next();
            NodePtr right = parseUnary();
            if (!right)
                return nullptr;
            if (left->type() != ExprType::Numeric || right->type() != ExprType::Numeric)
                return fail(std::string(1, op) + " needs numeric operands", pos);
            left =
                checked(std::make_unique<Arithmetic>(op, std::move(left), std::move(right)), pos);
        }
        return left;
    }

    NodePtr parseUnary() {
        if (tok_.kind != Tok::Minus && tok_.kind != Tok::Plus)
            return parsePrimary();
        const bool minus = tok_.kind == Tok::Minus;
        const std::size_t pos = tok_.pos;
        Nest nest(*this);
        if (!nest.ok())
            return tooDeep(pos);
        next();
        NodePtr operand = parseUnary();
        if (!operand)
            return nullptr;
        if (operand->type() != ExprType::Numeric)
            return fail("unary sign needs a numeric operand", pos);
        if (!minus)
            return operand;
        return checked(std::make_unique<Negate>(std::move(operand)), pos);
    }

    NodePtr parsePrimary() {
        const Token t = tok_;
        switch (t.kind) {
        case Tok::Number:
            next();
            return std::make_unique<NumberConst>(t.number);
        case Tok::String:
            next();
            if (t.text.size() > kMaxTextLength)
                return fail("string literal too long", t.pos);
            return std::make_unique<TextConst>(std::string(t.text));
        case Tok::True:
        case Tok::False:
            next();
            return std::make_unique<LogicalConst>(t.kind == Tok::True);
        case Tok::LParen: {
            Nest nest(*this);
            if (!nest.ok())
                return tooDeep(t.pos);
            next();
            NodePtr inner = parseOr();
            if (!inner)
                return nullptr;
            if (tok_.kind != Tok::RParen)
                return fail("expected ')' instead of " + describe(tok_), tok_.pos);
            next();
            return inner;
        }
        case Tok::Ident:
            next();
            if (tok_.kind == Tok::LParen)
                return parseCall(t);
            return parseField(t);
        case Tok::Bad:
            if (t.text == "unterminated string")
                return fail("unterminated string", t.pos);
            return fail("unexpected " + describe(t), t.pos);
        case Tok::End:
            return fail("unexpected end of expression", t.pos);
        default:
            return fail("unexpected " + describe(t), t.pos);
        }
    }

    NodePtr parseField(const Token& t) {
        const auto it = std::find_if(fields_.begin(), fields_.end(), [&](const FieldDesc& f) {
            return equalsNoCase(f.name, t.text);
        });
        const std::string name(t.text);
        if (it == fields_.end())
            return fail("unknown field " + name, t.pos);
        const FieldDesc& f = *it;
        using Kind = BinaryNumberField::Kind;
        switch (kUpper[static_cast<unsigned char>(f.type)]) {
        case 'C':
            return std::make_unique<CharField>(f.offset, f.length);
        case 'N':
        case 'F':
            return std::make_unique<NumberField>(f.offset, f.length);
        case 'D':
            return std::make_unique<DateField>(f.offset, f.length);
        case 'L':
            if (f.length < 1)
                break;
            return std::make_unique<LogicalField>(f.offset);
        case 'I':
            if (f.length != 4)
                break;
            return std::make_unique<BinaryNumberField>(f.offset, Kind::Integer);
        case 'B':
            if (f.length != 8)
                break;
            return std::make_unique<BinaryNumberField>(f.offset, Kind::Double);
        case 'Y':
            if (f.length != 8)
                break;
            return std::make_unique<BinaryNumberField>(f.offset, Kind::Currency);
        case 'M':
        case 'G':
        case 'X':
        case 'W':
            return fail("memo field " + name + " cannot be used in an expression", t.pos);
        default:
            return fail("field " + name + " has a type that expressions do not support", t.pos);
        }
        return fail("field " + name + " has an invalid length", t.pos);
    }

    // `nameTok` is the identifier; the current token is '('.
    NodePtr parseCall(const Token& nameTok) {
        const std::size_t pos = nameTok.pos;
        Nest nest(*this);
        if (!nest.ok())
            return tooDeep(pos);
        next();
        std::vector<NodePtr> args;
        if (tok_.kind != Tok::RParen) {
            for (;;) {
                NodePtr arg = parseOr();
                if (!arg)
                    return nullptr;
                args.push_back(std::move(arg));
                if (tok_.kind != Tok::Comma)
                    break;
                next();
            }
        }
        if (tok_.kind != Tok::RParen)
            return fail("expected ')' instead of " + describe(tok_), tok_.pos);
        next();
        NodePtr node = makeCall(upperAscii(nameTok.text), args, pos);
        return node ? checked(std::move(node), pos) : nullptr;
    }

    bool argsOk(const std::string& name, const std::vector<NodePtr>& args,
                std::initializer_list<ExprType> types, std::size_t required, std::size_t pos) {
        if (args.size() < required || args.size() > types.size()) {
            std::string count = std::to_string(required);
            if (types.size() != required)
                count += " to " + std::to_string(types.size());
            fail(name + "() needs " + count + " argument" + (types.size() == 1 ? "" : "s"), pos);
            return false;
        }
        std::size_t i = 0;
        for (const ExprType want : types) {
            if (i < args.size() && args[i]->type() != want) {
                fail(name + "() argument " + std::to_string(i + 1) + " must be " + typeName(want),
                     pos);
                return false;
            }
            ++i;
        }
        return true;
    }

    NodePtr makeCall(const std::string& name, std::vector<NodePtr>& args, std::size_t pos) {
        constexpr ExprType C = ExprType::Character;
        constexpr ExprType N = ExprType::Numeric;
        if (name == "DELETED")
            return argsOk(name, args, {}, 0, pos) ? std::make_unique<Deleted>() : nullptr;
        if (name == "UPPER" || name == "LOWER") {
            if (!argsOk(name, args, {C}, 1, pos))
                return nullptr;
            return std::make_unique<CaseMap>(std::move(args[0]), name == "UPPER" ? kUpper : kLower);
        }
        if (name == "TRIM" || name == "RTRIM" || name == "LTRIM" || name == "ALLTRIM") {
            if (!argsOk(name, args, {C}, 1, pos))
                return nullptr;
            return std::make_unique<Trim>(std::move(args[0]), name == "LTRIM" || name == "ALLTRIM",
                                          name != "LTRIM");
        }
        if (name == "SUBSTR" || name == "LEFT" || name == "RIGHT") {
            const bool substr = name == "SUBSTR";
            if (!(substr ? argsOk(name, args, {C, N, N}, 2, pos)
                         : argsOk(name, args, {C, N}, 2, pos)))
                return nullptr;
            NodePtr count =
                substr ? (args.size() == 3 ? std::move(args[2]) : nullptr) : std::move(args[1]);
            NodePtr start = substr ? std::move(args[1]) : nullptr;
            std::size_t maxLength = args[0]->maxLength();
            if (count && count->constant())
                maxLength = toCount(count->number(nullptr), maxLength);
            return std::make_unique<Slice>(std::move(args[0]), std::move(start), std::move(count),
                                           name == "RIGHT", maxLength);
        }
        if (name == "DTOS") {
            if (!argsOk(name, args, {ExprType::Date}, 1, pos))
                return nullptr;
            return std::make_unique<Dtos>(std::move(args[0]));
        }
        if (name == "STR") {
            if (!argsOk(name, args, {N, N, N}, 1, pos))
                return nullptr;
            double length = 10.0;
            double decimals = 0.0;
            for (std::size_t i = 1; i < args.size(); ++i)
                if (!args[i]->constant())
                    return fail("STR() length and decimals must be constants", pos);
            if (args.size() > 1)
                length = args[1]->number(nullptr);
            if (args.size() > 2)
                decimals = args[2]->number(nullptr);
            if (!(length >= 1.0 && length <= kMaxStrLength))
                return fail("STR() length must be between 1 and " + std::to_string(kMaxStrLength),
                            pos);
            if (!(decimals >= 0.0))
                decimals = 0.0;
            const int len = static_cast<int>(length);
            const int dec = static_cast<int>(std::min(decimals, double(kMaxStrDecimals)));
            return std::make_unique<Str>(std::move(args[0]), len, dec);
        }
        if (name == "VAL") {
            if (!argsOk(name, args, {C}, 1, pos))
                return nullptr;
            return std::make_unique<Val>(std::move(args[0]));
        }
        if (name == "IIF") {
            if (args.size() != 3)
                return fail("IIF() needs 3 arguments", pos);
            if (args[0]->type() != ExprType::Logical)
                return fail("IIF() argument 1 must be logical", pos);
            if (args[1]->type() != args[2]->type())
                return fail("IIF() branches must have the same type", pos);
            return std::make_unique<Iif>(std::move(args[0]), std::move(args[1]),
                                         std::move(args[2]));
        }
        return fail("unknown function " + name + "()", pos);
    }

    std::string_view src_;
    const std::vector<FieldDesc>& fields_;
    std::size_t pos_ = 0;
    Token tok_;
    int nesting_ = 0;
    std::string error_;
};

} // namespace

// ---- Expression -----------------------------------------------------------------------

Expression::Expression(std::unique_ptr<detail::ExprNode> root, std::string source)
    : root_(std::move(root)),
      source_(std::move(source)) {}

Expression::~Expression() = default;

std::unique_ptr<Expression> Expression::compile(std::string_view text,
                                                const std::vector<FieldDesc>& fields,
                                                std::string& error) {
    error.clear();
    try {
        Parser parser(text, fields);
        NodePtr root = parser.parseAll();
        if (!root) {
            error = parser.error().empty() ? "invalid expression" : parser.error();
            return nullptr;
        }
        return std::unique_ptr<Expression>(new Expression(std::move(root), std::string(text)));
    } catch (const std::exception&) {
        error = "out of memory compiling expression";
        return nullptr;
    }
}

ExprType Expression::type() const {
    return root_->type();
}

std::size_t Expression::keyLength() const {
    switch (root_->type()) {
    case ExprType::Character:
        return root_->maxLength();
    case ExprType::Numeric:
    case ExprType::Date:
        return 8;
    case ExprType::Logical:
        return 1;
    }
    return 0;
}

const std::string& Expression::source() const {
    return source_;
}

void Expression::evaluateKey(const char* record, std::string& out) const {
    try {
        out.clear();
        switch (root_->type()) {
        case ExprType::Character:
        case ExprType::Date: {
            root_->text(record, out);
            out.resize(keyLength(), ' ');
            return;
        }
        case ExprType::Logical:
            out.push_back(root_->logical(record) ? 'T' : 'F');
            return;
        case ExprType::Numeric:
            encodeNumericKey(root_->number(record), out);
            return;
        }
    } catch (const std::exception&) {
        // Callers copy keyLength() bytes, so never hand back a short key.
        out.clear();
        if (out.capacity() >= keyLength())
            out.resize(keyLength(), ' ');
    }
}

bool Expression::evaluateBool(const char* record) const {
    try {
        return root_->type() == ExprType::Logical && root_->logical(record);
    } catch (const std::exception&) {
        return false;
    }
}

std::string Expression::evaluateString(const char* record) const {
    try {
        std::string out;
        switch (root_->type()) {
        case ExprType::Character:
        case ExprType::Date:
            root_->text(record, out);
            break;
        case ExprType::Logical:
            out = root_->logical(record) ? "T" : "F";
            break;
        case ExprType::Numeric: {
            std::array<char, 64> buf{};
            const auto res =
                std::to_chars(buf.data(), buf.data() + buf.size(), root_->number(record));
            if (res.ec == std::errc())
                out.assign(buf.data(), res.ptr);
            break;
        }
        }
        return out;
    } catch (const std::exception&) {
        return {};
    }
}

double Expression::evaluateNumber(const char* record) const {
    try {
        switch (root_->type()) {
        case ExprType::Numeric:
            return root_->number(record);
        case ExprType::Logical:
            return root_->logical(record) ? 1.0 : 0.0;
        case ExprType::Character:
        case ExprType::Date:
            break;
        }
    } catch (const std::exception&) {
    }
    return 0.0;
}

void Expression::encodeNumericKey(double value, std::string& out) {
    if (value == 0.0 || std::isnan(value))
        value = 0.0;
    auto bits = std::bit_cast<std::uint64_t>(value);
    bits = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
    out.resize(8);
    for (int i = 0; i < 8; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
}

} // namespace kelo::engine
