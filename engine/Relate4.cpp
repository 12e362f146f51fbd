#include "engine/Relate4.h"

#include "engine/Data4.h"

namespace kelo::engine {

Relate4::Relate4(Data4& data) : data_(&data) {}

Relate4::~Relate4() = default;

std::unique_ptr<Relate4> Relate4::init(Data4& master) {
    return std::unique_ptr<Relate4>(new Relate4(master));
}

Relate4* Relate4::createSlave(Data4& slave, std::string_view masterExpression, Tag4* slaveTag) {
    if (!slaveTag)
        return data_->code().error(e4parm, "a slave relation needs a tag"), nullptr;
    std::vector<FieldDesc> fields;
    for (int i = 1; i <= data_->fieldCount(); ++i)
        fields.push_back(data_->field(i)->desc());
    std::string error;
    auto expression = Expression::compile(masterExpression, fields, error);
    if (!expression) {
        data_->code().error(e4expr, "relation expression: " + error);
        return nullptr;
    }
    std::unique_ptr<Relate4> child(new Relate4(slave));
    child->masterExpression_ = std::move(expression);
    child->slaveTag_ = slaveTag;
    slaves_.push_back(std::move(child));
    return slaves_.back().get();
}

int Relate4::positionSlaves(bool& missing) {
    for (auto& slave : slaves_) {
        Data4& table = *slave->data_;
        table.select(slave->slaveTag_);
        if (data_->eof()) {
            table.goEof();
            continue;
        }
        slave->masterExpression_->evaluateKey(data_->recordBuffer(), slave->key_);
        int rc = table.seekRawKey(slave->key_);
        const bool found =
            rc == r4success || (rc == r4after && slave->match_ == Match::Approximate);
        if (rc < 0)
            return rc;
        if (!found) {
            if (!table.eof())
                table.goEof();
            switch (slave->errorAction_) {
            case ErrorAction::Blank:
                break;
            case ErrorAction::SkipRecord:
                missing = true;
                return r4success;
            case ErrorAction::Terminate:
                return data_->code().error(e4relate, "no matching record in " + table.path());
            }
        }
        rc = slave->positionSlaves(missing);
        if (rc < 0 || missing)
            return rc;
    }
    return r4success;
}

int Relate4::doAll() {
    bool missing = false;
    return positionSlaves(missing);
}

// After a move of the master, positions the slaves and passes over master
// records without slaves when the error action asks for it.
int Relate4::settle(int rc, long direction) {
    while (true) {
        if (rc < 0)
            return rc;
        if (rc == r4eof || rc == r4bof) {
            bool ignored = false;
            positionSlaves(ignored);
            return rc;
        }
        bool missing = false;
        const int slaves = positionSlaves(missing);
        if (slaves < 0 || !missing)
            return slaves;
        rc = data_->skip(direction);
    }
}

int Relate4::top() {
    return settle(data_->top(), 1);
}

int Relate4::bottom() {
    return settle(data_->bottom(), -1);
}

int Relate4::skip(long count) {
    if (count < 0 && !backwardsEnabled_)
        return data_->code().error(e4relate, "backward skipping is not enabled on this relation");
    const long step = count < 0 ? -1 : 1;
    int rc = r4success;
    for (long done = 0; done != count && rc == r4success; done += step)
        rc = settle(data_->skip(step), step);
    return rc;
}

} // namespace kelo::engine
