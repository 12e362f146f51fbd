#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelo::setup {
class ReportWizard;
}

namespace kelo::app::cli {

class TerminalUi;

// The choices of a report's wizard made on the command line; a choice not
// given keeps what the wizard proposes.
struct ReportChoices {
    struct Period {
        long year = 0;
        int month = 0;
        std::optional<int> day; // end day of a week or fortnight, number of an irregular period
    };
    // Employees of one unit, station, pay group, bank, co-operative or
    // pension fund: the option, the kind as the wizard lists it, the name.
    struct Selection {
        std::string option;
        std::string kind;
        std::string name;
    };
    std::optional<std::string> kind; // "period", "month" or "year"
    std::optional<std::string> frequency;
    std::optional<Period> period;
    std::optional<long> year;
    std::optional<std::pair<int, int>> months;
    std::optional<std::string> field;
    std::optional<std::string> fund;
    std::optional<Selection> selection;
};

enum class ChoiceParse { NotAChoice, Taken, Wrong };

// Reads the choice at args[i] with its value, moving i onto the value;
// Wrong with `error` set when the option lacks its value, is given twice or
// its value is not written as the option takes it.
ChoiceParse parseReportChoice(const std::vector<std::string>& args, std::size_t& i,
                              ReportChoices& choices, std::string& error);

// How the choices are written, for the command's help.
extern const char* const kReportChoicesHelp;

// Walks the wizard's pages as its host does, each page opened, given the
// choices that belong to it as a clerk would pick them from its lists, and
// left by Next or, on the last, OK. The exit status: success, or a failure
// or bad command line with its line said (a choice whose page the report
// lacks, a value the page does not offer, or the page's own refusal).
int makeReportChoices(setup::ReportWizard& wizard, const ReportChoices& choices, TerminalUi& ui);

} // namespace kelo::app::cli
