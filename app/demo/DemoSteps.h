#pragma once

#include "common/Ui.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::common {
class WorkingFolder;
struct ORGREC;
struct STATICREC;
} // namespace kelo::common
namespace kelo::engine {
class Code4;
} // namespace kelo::engine
namespace kelo::setup {
class ORGS;
} // namespace kelo::setup

// The steps of buildDemoFolder, shared by the files that make each part of
// the folder. Each step tells the user why it failed.
namespace kelo::demo::detail {

// Passes everything on and counts the messages, so that a step the library
// failed silently can still be explained to the user.
class CountingUi final : public common::Ui {
public:
    explicit CountingUi(common::Ui& ui) : ui_(ui) {}

    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons buttons, const std::string& caption,
                           std::optional<common::Answer> defaultAnswer) override {
        ++shown_;
        return ui_.message(text, icon, buttons, caption, defaultAnswer);
    }
    void beep() override { ui_.beep(); }
    void setStatusText(const std::string& text) override { ui_.setStatusText(text); }
    void beginWait() override { ui_.beginWait(); }
    void endWait() override { ui_.endWait(); }
    std::optional<std::string> chooseSaveFile(const common::FileChoice& choice) override {
        return ui_.chooseSaveFile(choice);
    }
    std::optional<std::string> chooseOpenFile(const common::FileChoice& choice) override {
        return ui_.chooseOpenFile(choice);
    }
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& initialFolder) override {
        return ui_.chooseFolder(title, initialFolder);
    }

    int shown() const { return shown_; }

private:
    common::Ui& ui_;
    int shown_ = 0;
};

// Runs one step; when it fails without a word, `failure` is shown.
template <class Step> bool attempt(CountingUi& ui, const std::string& failure, Step&& step) {
    const int before = ui.shown();
    if (step())
        return true;
    if (ui.shown() == before)
        ui.error(failure);
    return false;
}

using Codes = std::map<std::string, long, std::less<>>;

struct Station {
    const char* name;
    const char* area;
    const char* town;
};

const std::vector<Station>& demoStations();

struct Fund {
    const char* name;
    const char* memberPrefix;
};

const std::vector<Fund>& demoCoops();
const std::vector<Fund>& demoPensionFunds();

// The codes the lists were given, by name, for the records that refer to them.
struct Lists {
    Codes units, grades, jobs, stations, payGroups, coops, funds;
    std::map<long, long> jobGrade; // job code to grade code
};

// The users, the banks and the organisation with its statutory tables.
bool addUsers(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder);
bool addBanks(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder);
bool createOrganisation(CountingUi& ui, setup::ORGS& orgs);
bool setPayrollInfo(CountingUi& ui, setup::ORGS& orgs);
bool makeStatutoryTables(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                         setup::ORGS& orgs, const std::string& sourceFolder);

bool addLookupLists(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    Lists& lists);
bool addUnitsGradesAndJobs(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                           Lists& lists);

bool definePayItems(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                    const common::ORGREC& openOrg, const Lists& lists);

// The posts follow from the employees who fill them.
bool addPosts(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
              const Lists& lists);
// `staff` receives each employee's master record, in the order added.
bool hireEmployees(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                   const common::ORGREC& org, const Lists& lists,
                   std::vector<common::STATICREC>& staff);
bool keyTransactions(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                     const common::ORGREC& org, const std::vector<common::STATICREC>& staff);
// A few absences, leave bookings and leave events, through the absence and
// leave form's own operations.
bool keyAbsenceAndLeave(CountingUi& ui, engine::Code4& code, const common::WorkingFolder& folder,
                        const common::ORGREC& org);

} // namespace kelo::demo::detail
