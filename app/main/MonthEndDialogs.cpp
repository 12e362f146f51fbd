#include "app/main/MonthEndDialogs.h"

#include "app/main/OrganisationDialogs.h"
#include "app/main/Session.h"
#include "procedures/LiveGuard.h"
#include "procedures/LiveStores.h"
#include "procedures/MonthEnd.h"
#include "procedures/PeriodEnd.h"
#include "setup/Backup.h"

namespace kelo::app {

namespace {

// The Caution dialog every dangerous procedure shows, with the month end's
// or the period end's text; OK only with the user's password.
class MonthEndCaution : public procedures::CautionHost {
public:
    explicit MonthEndCaution(const DialogContext& context) : context_(context) {}
    bool runCaution(procedures::MONENDDLG& form) override {
        return app::runCaution(
            context_, [&form](common::DialogView& caution) { form.initMonEndDlg(caution); },
            form.helpContext());
    }

private:
    const DialogContext& context_;
};

} // namespace

int runMonthEnd(const DialogContext& context) {
    Session& session = context.session;
    procedures::LiveMonthEndStores stores({session.ui(), session.code(), session.folder(),
                                           session.orgs(), session.users(), setup::systemDrive(),
                                           setup::systemClock()});
    procedures::LiveMonthEndGuard guard(session.code(), session.folder());
    MonthEndCaution caution(context);
    procedures::MONTHEND monthEnd(session.ui(), stores, guard, caution,
                                  session.paths().sourceFolder);
    return monthEnd.monthEnd();
}

int runPeriodEnd(const DialogContext& context) {
    Session& session = context.session;
    procedures::LiveMonthEndStores stores({session.ui(), session.code(), session.folder(),
                                           session.orgs(), session.users(), setup::systemDrive(),
                                           setup::systemClock()});
    procedures::LiveMonthEndGuard guard(session.code(), session.folder());
    MonthEndCaution caution(context);
    procedures::PERIODEND periodEnd(session.ui(), stores, guard, caution);
    return periodEnd.periodEnd();
}

void recoverMonthEnds(const DialogContext& context) {
    Session& session = context.session;
    procedures::recoverMonthEnds(session.ui(), session.code(), session.folder());
}

} // namespace kelo::app
