#include "app/shell/Overview.h"

namespace kelo::app {

namespace {

std::string monthAndYear(const common::ORGREC& org) {
    return org.month + " " + std::to_string(org.year);
}

std::string periodEnding(const char* period, std::int32_t day, const common::ORGREC& org) {
    return std::string(period) + " ending " + std::to_string(day) + " " + monthAndYear(org);
}

struct NamedRight {
    int common::USERREC::*flag;
    const char* label; // as the User Rights dialog names it
};

constexpr NamedRight kRights[] = {
    {&common::USERREC::editEmpFiles, "Edit employee data files"},
    {&common::USERREC::modifyFields, "Modify payroll fields"},
    {&common::USERREC::setupOrg, "Set up open organisation"},
    {&common::USERREC::closePeriod, "Close pay period or month"},
    {&common::USERREC::restoreFiles, "Restore files"},
    {&common::USERREC::addDeleteOrgs, "Add and delete organisations"},
    {&common::USERREC::modifyTaxTables, "Modify tax tables"},
};

} // namespace

std::vector<std::string> periodOverview(const common::ORGREC& org) {
    if (org.name.empty())
        return {};
    const int next = (org.fiscalYear + 1) % 100;
    const std::string fiscalYear =
        std::to_string(org.fiscalYear) + "/" + (next < 10 ? "0" : "") + std::to_string(next);
    std::vector<std::string> lines{
        org.name,
        "Current month: " + monthAndYear(org) + " (fiscal year " + fiscalYear + ")",
        "Monthly payroll: " + monthAndYear(org),
        "Weekly payroll: " + periodEnding("week", org.weekEndDay, org),
        "Biweekly payroll: " + periodEnding("fortnight", org.fortnightEndDay, org),
        "Irregular payroll: " + periodEnding("period", org.irregEndDay, org),
    };
    // The windows with no document open show nothing else of the choice.
    if (common::isValidPayFreq(org.payFreq))
        lines[2 + static_cast<std::size_t>(org.payFreq)] += " (working on)";
    return lines;
}

std::string documentCaption(DocumentKind document, const common::ORGREC& org) {
    switch (document) {
    case DocumentKind::Personnel:
        return "Personnel file as at " + monthAndYear(org);
    case DocumentKind::PayrollMaster:
        return "Payroll master file as at " + monthAndYear(org);
    case DocumentKind::Leave:
        return "Absence and leave file as at " + monthAndYear(org);
    case DocumentKind::Transactions:
    case DocumentKind::PayFields:
        switch (org.payFreq) {
        case common::WEEKLY:
            return "Payroll for " + periodEnding("week", org.weekEndDay, org);
        case common::BIWEEKLY:
            return "Payroll for " + periodEnding("fortnight", org.fortnightEndDay, org);
        case common::IRREGULAR:
            return "Payroll for " + periodEnding("pay period", org.irregEndDay, org);
        default:
            return "Payroll for " + monthAndYear(org);
        }
    default:
        return {};
    }
}

std::string whyGrayed(int id, const CommandContext& context) {
    const CommandState state = CommandRules::menuItem(id, context);
    if (!state.present || state.enabled)
        return {};
    if (!CommandRules::isAvailable(id))
        return "Not available in this version yet.";
    if (!CommandRules::rightsAllow(id, context.user)) {
        // The right whose grant would enable the command is the one missing.
        for (const NamedRight& right : kRights) {
            common::USERREC granted = context.user;
            granted.*right.flag = 1;
            if (CommandRules::rightsAllow(id, granted))
                return std::string("Needs the right \"") + right.label + "\".";
        }
        return "Needs the data folder to itself: no other user may be working in it.";
    }
    if (context.document != DocumentKind::None)
        return documentHandles(context.document, id) ? "Not in this window."
                                                     : "Close the open window first.";
    return "Needs an open window.";
}

} // namespace kelo::app
