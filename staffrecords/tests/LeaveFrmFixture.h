#pragma once

#include "StatFrmFixture.h"
#include "staffrecords/LeaveFrm.h"
#include "staffrecords/LeaveFrmControls.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kelo::staffrecords::testing {

// The organisation of StatFrmFixture (March 2025; MH001 Mwakyusa and MH002
// Banda with 28 days of leave a year, MH003 Kileo with 21; each with a
// "Balance B/F" of 0 on 1 January 2025 and two days of sick leave on 3 and 4
// February) and the absence and leave form over it, its window and one
// dialog.
struct LeaveFrmFixture : StatFrmFixture {
    testsupport::FakeDialogView window;
    std::unique_ptr<LEAVEFRM> leave;

    void SetUp() override {
        StatFrmFixture::SetUp();
        if (HasFatalFailure())
            return;
        leave = std::make_unique<LEAVEFRM>(ui, code, folder);
        leave->attach(window);
    }

    void TearDown() override {
        leave.reset();
        StatFrmFixture::TearDown();
    }

    void openLeaveForm() {
        ASSERT_TRUE(leave->checkFiles()) << ui.lastMessage();
        ASSERT_TRUE(leave->open(org)) << ui.lastMessage();
        ASSERT_TRUE(leave->hasRecord());
        ui.clear();
    }

    void showEmployee(const std::string& empNum) {
        ASSERT_TRUE(leave->findEmpNum(empNum)) << ui.lastMessage();
        ASSERT_EQ(leave->getCurrentRec().empNum, empNum);
    }

    // The window's "View:" list as the user chooses in it.
    void chooseView(LEAVEVIEW view) {
        window.selectRow(leavefrm::kView, static_cast<int>(view));
        leave->switchView();
        ASSERT_EQ(leave->getView(), view);
    }

    std::vector<std::string> rows() const { return window.itemTexts(leavefrm::kList); }

    // Selects the list's row that shows `text`.
    void selectRow(const std::string& text) {
        const int row = window.findItem(leavefrm::kList, text);
        ASSERT_GE(row, 0) << text;
        window.selectRow(leavefrm::kList, row);
    }

    std::string selectedText() const {
        const int row = window.selectedRow(leavefrm::kList);
        return row < 0 ? std::string() : window.itemText(leavefrm::kList, row);
    }

    // The account above the list, in the order the window shows it.
    std::vector<std::string> account() const {
        namespace lf = leavefrm;
        std::vector<std::string> texts;
        for (const char* control :
             {lf::kEntitlement, lf::kBalanceBF, lf::kEarned, lf::kSold, lf::kForfeited, lf::kTaken,
              lf::kBalance, lf::kBooked, lf::kAvailable})
            texts.push_back(window.text(control));
        return texts;
    }

    void makeFormerEmployee(const std::string& empNum) {
        change(empNum, [](Employee& e) {
            e.rec.terminated = 1;
            e.rec.separated = 1;
            e.rec.terminationDate = ymd(2025, 2, 28);
            e.rec.terminationReason = "Resignation";
        });
    }
};

// Fills the absence and booking dialog as the user does; `reason` is chosen
// from the list, or typed when the list has no such row.
inline void fillAbsence(testsupport::FakeDialogView& dlg, const char* from, const char* to,
                        const char* days, const char* reason) {
    namespace ad = absencedlg;
    dlg.setText(ad::kFromDate, from);
    dlg.setText(ad::kToDate, to);
    dlg.setText(ad::kDuration, days);
    const int row = dlg.findItem(ad::kReason, reason);
    dlg.selectRow(ad::kReason, row);
    dlg.setText(ad::kReason, reason);
}

inline void fillLeave(testsupport::FakeDialogView& dlg, const char* date, std::int32_t kind,
                      const char* days) {
    namespace ld = leavedlg;
    dlg.setText(ld::kDate, date);
    int row = -1;
    for (int i = 0; i < dlg.itemCount(ld::kEvent); ++i) {
        if (dlg.itemCode(ld::kEvent, i) == kind)
            row = i;
    }
    dlg.selectRow(ld::kEvent, row);
    dlg.setText(ld::kDays, days);
}

} // namespace kelo::staffrecords::testing
