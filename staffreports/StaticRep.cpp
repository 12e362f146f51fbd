#include "staffreports/StaticRep.h"

#include "common/TaggedFile.h"
#include "common/Text.h"
#include "database/OptionsDb.h"
#include "payrunreports/PeriodFormat.h"
#include "payrunreports/ReportOption.h"
#include "payrunreports/StoreFile.h"
#include "staffreports/ListPage.h"
#include "staffreports/StaticRepDb.h"

#include <algorithm>
#include <unordered_map>

namespace kelo::staffreports {

namespace {

constexpr const char* kRecordsBlock = "records";

bool onUnitPath(std::string_view unitPath, std::string_view unit) {
    std::size_t start = 0;
    while (start <= unitPath.size()) {
        const std::size_t dot = unitPath.find('.', start);
        const std::string_view part =
            unitPath.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (common::equalsIgnoreCase(part, unit))
            return true;
        if (dot == std::string_view::npos)
            return false;
        start = dot + 1;
    }
    return false;
}

void renumber(std::vector<PERSREPREC>& records) {
    int number = 0;
    for (PERSREPREC& rec : records)
        rec.seqNum = ++number;
}

} // namespace

bool inGroup(const PERSREPREC& rec, std::int32_t groupBy, std::string_view groupName) {
    switch (groupBy) {
    case common::kGroupByUnit:
        return !rec.unitPath.empty() && onUnitPath(rec.unitPath, groupName);
    case common::kGroupByStation:
        return rec.stationName == groupName;
    case common::kGroupByPayGroup:
        return rec.payGroupName == groupName;
    case common::kGroupByBank:
        return rec.bankName == groupName;
    case common::kGroupByCoop:
        return rec.coopName[0] == groupName || rec.coopName[1] == groupName;
    case common::kGroupByPensionFund:
        return rec.pensionName[0] == groupName || rec.pensionName[1] == groupName;
    default:
        return true;
    }
}

void sortByName(std::vector<PERSREPREC>& records) {
    std::stable_sort(records.begin(), records.end(), [](const PERSREPREC& a, const PERSREPREC& b) {
        return lessIgnoringCase(fullName(a), fullName(b));
    });
    renumber(records);
}

std::vector<SupervisorLoop> arrangeHierarchy(std::vector<PERSREPREC>& records) {
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const std::size_t n = records.size();
    std::unordered_map<std::string, std::size_t> byNumber;
    byNumber.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        byNumber.emplace(common::toUpper(common::trim(records[i].empNum)), i);
    std::vector<std::size_t> parent(n, kNone);
    for (std::size_t i = 0; i < n; ++i) {
        if (records[i].supervisorNum.empty())
            continue;
        const auto found = byNumber.find(common::toUpper(common::trim(records[i].supervisorNum)));
        if (found != byNumber.end())
            parent[i] = found->second;
    }

    // 0 not yet walked, 1 on the walk in hand, 2 done.
    std::vector<std::uint8_t> state(n, 0);
    std::vector<SupervisorLoop> loops;
    std::vector<std::size_t> path;
    for (std::size_t i = 0; i < n; ++i) {
        path.clear();
        std::size_t at = i;
        while (at != kNone && state[at] == 0) {
            state[at] = 1;
            path.push_back(at);
            at = parent[at];
        }
        if (at != kNone && state[at] == 1) {
            // The walk met itself: break the loop at its first member.
            std::size_t first = at;
            for (std::size_t m = parent[at]; m != at; m = parent[m])
                first = std::min(first, m);
            parent[first] = kNone;
            loops.push_back({records[first].lastName, records[first].otherNames});
        }
        for (std::size_t m : path)
            state[m] = 2;
    }

    std::vector<std::vector<std::size_t>> children(n);
    std::vector<std::size_t> roots;
    for (std::size_t i = 0; i < n; ++i) {
        if (parent[i] == kNone)
            roots.push_back(i);
        else
            children[parent[i]].push_back(i);
    }
    std::vector<PERSREPREC> arranged;
    arranged.reserve(n);
    std::vector<std::pair<std::size_t, int>> stack;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root)
        stack.emplace_back(*root, 0);
    while (!stack.empty()) {
        const auto [at, depth] = stack.back();
        stack.pop_back();
        records[at].depth = depth;
        arranged.push_back(std::move(records[at]));
        for (auto child = children[at].rbegin(); child != children[at].rend(); ++child)
            stack.emplace_back(*child, depth + 1);
    }
    records = std::move(arranged);
    renumber(records);
    return loops;
}

std::string cyclicReferenceMessage(const SupervisorLoop& loop) {
    return "There is a cyclic reference in the supervisors of " + loop.lastName + ", " +
           loop.otherNames + ". Please check the Personnel file then try again.";
}

std::string dateText(common::date d) {
    return payrunreports::birthDateText(d);
}

STATICREP::STATICREP(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::REPORTPARAM& param)
    : REPORTBASE(ui),
      code_(code),
      folder_(folder),
      param_(param) {}

STATICREP::~STATICREP() = default;

int STATICREP::sortKeyOption() const {
    return payrunreports::reportOption(code_, folder_, param_.reportType, database::kOptionSortKey);
}

bool STATICREP::needActiveFile() const {
    return STATICREPDB::needActiveFile(folder_, param_.period.year);
}

bool STATICREP::openFile(DB db, const common::ORGREC& org) {
    records_.clear();
    const std::string path = personnelFilePath(db, param_.period.year);
    common::TaggedReader reader;
    if (path.empty() || !payrunreports::checkStoreFile(ui(), folder_, path, org, reader,
                                                       payrunreports::UnnamedFolder::Accepted))
        return false;
    setReadStamp(common::ReadStamp::now());
    bool damaged = !reader.skipFileId() || !readHeader(reader, fileYear_, orgName_) ||
                   !reader.findTag(kRecordsBlock, common::TagKind::BlockStart);
    PERSREPREC rec;
    while (!damaged && readRecord(reader, rec, damaged)) {
        if (inGroup(rec, param_.groupBy, param_.groupName))
            records_.push_back(std::move(rec));
    }
    if (damaged || !reader.findTag(kRecordsBlock, common::TagKind::BlockEnd)) {
        records_.clear();
        ui().error("Unable to open " + path);
        return false;
    }
    renumber(records_);
    if (records_.empty()) {
        ui().error("Sorry, report has no records\nand will not be printed.");
        return false;
    }
    return true;
}

void STATICREP::sortRecords() {
    if (sortKey_ == 1)
        sortByName(records_);
}

bool STATICREP::createHierarchy() {
    const std::vector<SupervisorLoop> loops = arrangeHierarchy(records_);
    if (!loops.empty())
        ui().error(cyclicReferenceMessage(loops.front()));
    return true;
}

} // namespace kelo::staffreports
