#include "app/cli/ReportChoices.h"

#include "app/cli/KeloProgram.h"
#include "app/cli/PageView.h"
#include "app/cli/TerminalUi.h"
#include "setup/ReportWizard.h"
#include "setup/ReportWizardControls.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kelo::app::cli {

using setup::WizardPage;
using TreeItem = common::DialogView::TreeItem;

const char* const kReportChoicesHelp =
    "The options below make the choices of the report's wizard; a choice not\n"
    "given keeps what the wizard proposes, and an option for a page the report's\n"
    "wizard does not have is refused.\n"
    "  --kind period|month|year  the muster roll (32) or control account (33) of\n"
    "                            a pay period, of a month's closed periods or of\n"
    "                            the year\n"
    "  --frequency FREQUENCY     the pay period's frequency: monthly, weekly,\n"
    "                            biweekly or irregular\n"
    "  --period YYYY-MM[-DD]     the pay period, DD the end day of a week or\n"
    "                            fortnight or the number of an irregular period;\n"
    "                            or the month of a return\n"
    "  --year YYYY               the year of a yearly report\n"
    "  --months FROM-TO          the months of a tax return: 1-6, 7-12 or 1-12\n"
    "  --field NAME              the pay field as the wizard's list names it\n"
    "  --fund NAME               the co-operative (55) or pension fund (56)\n"
    "  --unit NAME, --station NAME, --pay-group NAME, --bank NAME, --coop NAME,\n"
    "  --pension-fund NAME       only the employees of that administrative unit,\n"
    "                            station, pay group, bank, co-operative or pension\n"
    "                            fund\n";

namespace {

// The selection options and the kinds the selection page lists for them.
constexpr std::pair<const char*, const char*> kSelections[] = {
    {"--unit", "Administrative Unit"}, {"--station", "Station"},
    {"--pay-group", "Pay Group"},      {"--bank", "Bank"},
    {"--coop", "Co-operative"},        {"--pension-fund", "Pension Fund"},
};

constexpr std::pair<const char*, const char*> kKinds[] = {
    {"period", setup::reportkindpage::PayPeriod},
    {"month", setup::reportkindpage::Month},
    {"year", setup::reportkindpage::WholeYear},
};

std::optional<long> wholeNumber(std::string_view text) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [last, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc() || last != end)
        return std::nullopt;
    return value;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool sameWords(std::string_view a, std::string_view b) {
    return lower(a) == lower(b);
}

// "A, B or C".
std::string listed(const std::vector<std::string>& names) {
    if (names.empty())
        return "nothing";
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += i + 1 == names.size() ? " or " : ", ";
        out += names[i];
    }
    return out;
}

std::optional<ReportChoices::Period> periodOf(const std::string& value) {
    const bool month = value.size() == 7 && value[4] == '-';
    const bool day = value.size() == 10 && value[4] == '-' && value[7] == '-';
    if (!month && !day)
        return std::nullopt;
    const auto y = wholeNumber(std::string_view(value).substr(0, 4));
    const auto m = wholeNumber(std::string_view(value).substr(5, 2));
    const auto d = day ? wholeNumber(std::string_view(value).substr(8)) : std::optional<long>(1);
    if (!y || !m || !d || *m < 1 || *m > 12 || *d < 1 || *d > 31)
        return std::nullopt;
    ReportChoices::Period period{*y, static_cast<int>(*m), std::nullopt};
    if (day)
        period.day = static_cast<int>(*d);
    return period;
}

template <class T>
bool once(std::optional<T>& slot, T value, const std::string& option, std::string& error) {
    if (slot) {
        error = "Give " + option + " only once.";
        return false;
    }
    slot = std::move(value);
    return true;
}

// The rows of a list as the page shows them.
std::vector<std::string> rowsOf(const PageView& view, const char* control) {
    std::vector<std::string> out;
    for (int row = 0; row < view.itemCount(control); ++row)
        out.push_back(view.itemText(control, row));
    return out;
}

// The row whose text is `name`, exactly or else in other capitals.
int rowNamed(const PageView& view, const char* control, std::string_view name) {
    const int exact = view.findItem(control, name);
    if (exact >= 0)
        return exact;
    for (int row = 0; row < view.itemCount(control); ++row)
        if (sameWords(view.itemText(control, row), name))
            return row;
    return -1;
}

int rowWithCode(const PageView& view, const char* control, long code) {
    for (int row = 0; row < view.itemCount(control); ++row)
        if (view.itemCode(control, row) == code)
            return row;
    return -1;
}

// Every item of a tree, depth first, as the clerk reads it from the top.
void treeItems(const PageView& view, const char* control, TreeItem parent,
               std::vector<TreeItem>& out) {
    for (TreeItem item : view.treeChildren(control, parent)) {
        out.push_back(item);
        treeItems(view, control, item, out);
    }
}

// What one page is given and why it refuses it: the status and its line.
class PageChoices {
public:
    PageChoices(setup::ReportWizard& wizard, const ReportChoices& choices, TerminalUi& ui)
        : wizard_(wizard),
          choices_(choices),
          ui_(ui),
          report_("report " + std::to_string(wizard.commandCode())) {}

    int choose(WizardPage page, PageView& view) {
        switch (page) {
        case WizardPage::ReportKind:
            return chooseKind(view);
        case WizardPage::PayPeriod:
            return choosePayPeriod(view);
        case WizardPage::ReturnMonth:
            return chooseReturnMonth(view);
        case WizardPage::YearRange:
            return chooseYearRange(view);
        case WizardPage::PayField:
            return chooseFromList(view, setup::payfieldpage::List, choices_.field, "pay field");
        case WizardPage::Fund:
            return chooseFromList(view, setup::fundpage::List, choices_.fund,
                                  view.text(setup::fundpage::Label) == "Pension Fund:"
                                      ? "pension fund"
                                      : "co-operative");
        case WizardPage::Selection:
            return chooseSelection(view);
        case WizardPage::ProcessDate:
            return kSuccess;
        }
        return kSuccess;
    }

    // The first option given whose page the wizard's plan lacks.
    std::optional<std::string> misplaced(const std::vector<WizardPage>& pages) const {
        const auto has = [&pages](WizardPage page) {
            return std::find(pages.begin(), pages.end(), page) != pages.end();
        };
        if (choices_.kind && !has(WizardPage::ReportKind))
            return "--kind";
        if (choices_.frequency && !has(WizardPage::PayPeriod))
            return "--frequency";
        if (choices_.period && !has(WizardPage::PayPeriod) && !has(WizardPage::ReturnMonth))
            return "--period";
        if (choices_.year && !has(WizardPage::YearRange))
            return "--year";
        if (choices_.months && !has(WizardPage::YearRange))
            return "--months";
        if (choices_.field && !has(WizardPage::PayField))
            return "--field";
        if (choices_.fund && !has(WizardPage::Fund))
            return "--fund";
        if (choices_.selection && !has(WizardPage::Selection))
            return choices_.selection->option;
        return std::nullopt;
    }

    int refuse(int status, const std::string& line) {
        ui_.say(line);
        return status;
    }

    const std::string& report() const { return report_; }

private:
    int chooseKind(PageView& view) {
        if (!choices_.kind)
            return kSuccess;
        for (const auto& [word, control] : kKinds)
            view.setChecked(control, *choices_.kind == word);
        return kSuccess;
    }

    int choosePayPeriod(PageView& view) {
        namespace c = setup::payperiodpage;
        if (choices_.frequency) {
            const int row = rowNamed(view, c::Frequency, *choices_.frequency);
            if (row < 0)
                return refuse(kUsage, "The pay frequency " + *choices_.frequency +
                                          " is not one of " + listed(rowsOf(view, c::Frequency)) +
                                          ".");
            view.selectRow(c::Frequency, row);
            wizard_.payFrequencyChanged(view);
        }
        if (!choices_.period)
            return kSuccess;
        const ReportChoices::Period& period = *choices_.period;
        view.setText(c::Year, std::to_string(period.year));
        view.selectRow(c::Month, rowWithCode(view, c::Month, period.month));
        if (period.day) {
            if (!view.isEnabled(c::Day))
                return refuse(kUsage, "A monthly pay period has no day; give --period YYYY-MM.");
            view.selectRow(c::Day, rowWithCode(view, c::Day, *period.day));
        }
        return kSuccess;
    }

    int chooseReturnMonth(PageView& view) {
        namespace c = setup::returnmonthpage;
        if (!choices_.period)
            return kSuccess;
        if (choices_.period->day)
            return refuse(kUsage,
                          "The month of " + report_ + " has no day; give --period YYYY-MM.");
        view.setText(c::Year, std::to_string(choices_.period->year));
        view.selectRow(c::Month, rowWithCode(view, c::Month, choices_.period->month));
        return kSuccess;
    }

    int chooseYearRange(PageView& view) {
        namespace c = setup::yearrangepage;
        if (choices_.year)
            view.setText(c::Year, std::to_string(*choices_.year));
        if (!choices_.months)
            return kSuccess;
        if (!view.isEnabled(c::FromMonth))
            return refuse(kUsage, "--months does not apply to " + report_ +
                                      ", which takes the whole year.");
        const auto pick = [&](const char* control, int month, const char* end) {
            const int row = rowWithCode(view, control, month);
            if (row < 0) {
                refuse(kUsage, std::string("The months of ") + report_ + " " + end + " in " +
                                   listed(rowsOf(view, control)) + ".");
                return false;
            }
            view.selectRow(control, row);
            return true;
        };
        if (!pick(c::FromMonth, choices_.months->first, "begin") ||
            !pick(c::ToMonth, choices_.months->second, "end"))
            return kUsage;
        return kSuccess;
    }

    int chooseFromList(PageView& view, const char* control, const std::optional<std::string>& name,
                       const std::string& what) {
        if (view.itemCount(control) == 0)
            return refuse(kFailure, "The wizard of " + report_ + " offers no " + what + ".");
        // The fund page proposes none.
        if (!name && view.selectedRow(control) < 0)
            return refuse(kUsage, "Choose the " + what + " of " + report_ + " with " +
                                      (what == "pay field" ? "--field" : "--fund") + ": " +
                                      listed(rowsOf(view, control)) + ".");
        if (!name)
            return kSuccess;
        const int row = rowNamed(view, control, *name);
        if (row < 0)
            return refuse(kFailure, "The " + what + " " + *name + " is not offered for " + report_ +
                                        "; it offers " + listed(rowsOf(view, control)) + ".");
        view.selectRow(control, row);
        return kSuccess;
    }

    int chooseSelection(PageView& view) {
        namespace c = setup::selectionpage;
        if (!choices_.selection)
            return kSuccess;
        const ReportChoices::Selection& selection = *choices_.selection;
        const int kind = view.findItem(c::Kind, selection.kind);
        if (kind < 0)
            return refuse(kFailure,
                          report_ + " selects no employees by " + lower(selection.kind) + ".");
        view.selectRow(c::Kind, kind);
        wizard_.selectionKindChanged(view);
        std::vector<TreeItem> items;
        treeItems(view, c::Names, common::DialogView::kRoot, items);
        std::vector<std::string> names;
        for (TreeItem item : items)
            names.push_back(view.treeItemText(c::Names, item));
        auto found = std::find(names.begin(), names.end(), selection.name);
        if (found == names.end())
            found = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
                return sameWords(name, selection.name);
            });
        if (found == names.end())
            return refuse(kFailure, "There is no " + lower(selection.kind) + " " + selection.name +
                                        "; the list holds " + listed(names) + ".");
        view.selectTreeItem(c::Names, items[static_cast<std::size_t>(found - names.begin())]);
        return kSuccess;
    }

    setup::ReportWizard& wizard_;
    const ReportChoices& choices_;
    TerminalUi& ui_;
    std::string report_;
};

} // namespace

ChoiceParse parseReportChoice(const std::vector<std::string>& args, std::size_t& i,
                              ReportChoices& choices, std::string& error) {
    const std::string& option = args[i];
    const auto selection = std::find_if(std::begin(kSelections), std::end(kSelections),
                                        [&option](const auto& s) { return option == s.first; });
    const bool known = selection != std::end(kSelections) || option == "--kind" ||
                       option == "--frequency" || option == "--period" || option == "--year" ||
                       option == "--months" || option == "--field" || option == "--fund";
    if (!known)
        return ChoiceParse::NotAChoice;
    if (i + 1 >= args.size()) {
        error = "Option " + option + " needs a value.";
        return ChoiceParse::Wrong;
    }
    const std::string& value = args[++i];
    bool taken = true;
    if (selection != std::end(kSelections)) {
        if (choices.selection) {
            error = "Give only one of --unit, --station, --pay-group, --bank, --coop and "
                    "--pension-fund.";
            return ChoiceParse::Wrong;
        }
        choices.selection = ReportChoices::Selection{option, selection->second, value};
    } else if (option == "--kind") {
        const bool word = std::any_of(std::begin(kKinds), std::end(kKinds),
                                      [&value](const auto& k) { return value == k.first; });
        if (!word) {
            error = "The kind " + value + " is not one of period, month and year.";
            return ChoiceParse::Wrong;
        }
        taken = once(choices.kind, value, option, error);
    } else if (option == "--frequency") {
        taken = once(choices.frequency, value, option, error);
    } else if (option == "--period") {
        const auto period = periodOf(value);
        if (!period) {
            error = "The period " + value + " is not written YYYY-MM or YYYY-MM-DD.";
            return ChoiceParse::Wrong;
        }
        taken = once(choices.period, *period, option, error);
    } else if (option == "--year") {
        const auto year = value.size() == 4 ? wholeNumber(value) : std::nullopt;
        if (!year) {
            error = "The year " + value + " is not written YYYY.";
            return ChoiceParse::Wrong;
        }
        taken = once(choices.year, *year, option, error);
    } else if (option == "--months") {
        const std::size_t dash = value.find('-');
        const auto from = dash == std::string::npos
                              ? std::nullopt
                              : wholeNumber(std::string_view(value).substr(0, dash));
        const auto to = from ? wholeNumber(std::string_view(value).substr(dash + 1)) : from;
        if (!to || *from < 1 || *from > 12 || *to < 1 || *to > 12) {
            error = "The months " + value + " are not written FROM-TO, as 1-6.";
            return ChoiceParse::Wrong;
        }
        taken = once(choices.months, std::make_pair(static_cast<int>(*from), static_cast<int>(*to)),
                     option, error);
    } else if (option == "--field") {
        taken = once(choices.field, value, option, error);
    } else {
        taken = once(choices.fund, value, option, error);
    }
    return taken ? ChoiceParse::Taken : ChoiceParse::Wrong;
}

int makeReportChoices(setup::ReportWizard& wizard, const ReportChoices& choices, TerminalUi& ui) {
    PageChoices pages(wizard, choices, ui);
    bool checked = false;
    while (!wizard.finished()) {
        const std::optional<WizardPage> page = wizard.currentPage();
        if (!page)
            return pages.refuse(kFailure, "The wizard of " + pages.report() + " has no page.");
        // The report kind decides the pages after it.
        if (!checked && *page != WizardPage::ReportKind) {
            if (const auto option = pages.misplaced(wizard.plan().pages))
                return pages.refuse(kUsage, *option + " does not apply to " + pages.report() +
                                                (choices.kind && *option != "--kind"
                                                     ? " of the kind " + *choices.kind
                                                     : std::string()) +
                                                ".");
            checked = true;
        }
        PageView view;
        wizard.initPage(*page, view);
        if (const int status = pages.choose(*page, view); status != kSuccess)
            return status;
        const setup::WizardMove move =
            wizard.canGoNext() ? setup::WizardMove::Next : setup::WizardMove::Ok;
        if (!wizard.leavePage(view, move)) {
            if (!ui.hasSaid())
                ui.say("The choices of " + pages.report() + " are refused.");
            return kFailure;
        }
    }
    return kSuccess;
}

} // namespace kelo::app::cli
