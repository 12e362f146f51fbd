#pragma once

#include "engine/Expression.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::engine {

class Data4;
class Tag4;

// A relation set: a master table walked in its selected order and slave
// tables positioned, for each master record, by seeking the value of a
// master expression on a slave tag.
class Relate4 {
public:
    enum class Match { Exact, Approximate }; // approximate accepts the next key after
    enum class ErrorAction {
        Blank,      // no slave record: the slave stands at end of file, blank
        SkipRecord, // master records without a slave are passed over
        Terminate   // the move fails with e4relate
    };

    // relate4init: the set rooted at `master`.
    static std::unique_ptr<Relate4> init(Data4& master);
    ~Relate4();
    Relate4(const Relate4&) = delete;
    Relate4& operator=(const Relate4&) = delete;

    // relate4createSlave: `masterExpression` is evaluated on the record of
    // `parent` (this relation or one of its slaves) and sought on `slaveTag`.
    // nullptr when the expression is invalid (e4expr in the engine handle).
    Relate4* createSlave(Data4& slave, std::string_view masterExpression, Tag4* slaveTag);
    void setMatch(Match match) { match_ = match; }
    void setErrorAction(ErrorAction action) { errorAction_ = action; }
    Data4& data() const { return *data_; }

    // Moves of the whole set; only on the root relation.
    int top();
    int bottom();
    int skip(long count = 1);
    void skipEnable(bool enable) { backwardsEnabled_ = enable; }
    // Positions every slave for the master's current record.
    int doAll();

private:
    explicit Relate4(Data4& data);
    int positionSlaves(bool& missing);
    int settle(int rc, long direction);

    Data4* data_;
    std::unique_ptr<Expression> masterExpression_;
    Tag4* slaveTag_ = nullptr;
    Match match_ = Match::Exact;
    ErrorAction errorAction_ = ErrorAction::Blank;
    bool backwardsEnabled_ = false;
    std::vector<std::unique_ptr<Relate4>> slaves_;
    std::string key_;
};

using RELATE4 = Relate4;

} // namespace kelo::engine
