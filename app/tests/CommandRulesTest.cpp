#include "app/shell/CommandRules.h"

#include <gtest/gtest.h>

namespace kelo::app {
namespace {

common::USERREC fullRights(int menuType = common::kFullMenu) {
    common::USERREC user;
    user.menuType = menuType;
    for (int common::USERREC::*flag :
         {&common::USERREC::editEmpFiles, &common::USERREC::modifyFields,
          &common::USERREC::setupOrg, &common::USERREC::closePeriod, &common::USERREC::restoreFiles,
          &common::USERREC::modifyTaxTables, &common::USERREC::addDeleteOrgs,
          &common::USERREC::manageUsers, &common::USERREC::exclusiveAccess})
        user.*flag = 1;
    return user;
}

TEST(CommandRules, EachClearRightGraysItsCommandsAndNoOthers) {
    struct Case {
        int common::USERREC::*flag;
        std::vector<int> grayed;
    };
    const std::vector<Case> cases{
        {&common::USERREC::editEmpFiles, {1001, 1002, 1003, 1004, 1019, 1020, 1021, 1511, 1515}},
        {&common::USERREC::modifyFields, {1005, 1006, 1007, 1008, 1009}},
        {&common::USERREC::setupOrg,
         {1304, 1305, 1311, 1312, 1313, 1314, 1315, 1316, 1317, 1318, 1323, 1324, 1325, 1406}},
        {&common::USERREC::closePeriod, {1513, 1514}},
        {&common::USERREC::restoreFiles, {1502}},
        {&common::USERREC::addDeleteOrgs, {1302, 1303}},
        {&common::USERREC::modifyTaxTables, {1401, 1402, 1403, 1405}},
        {&common::USERREC::exclusiveAccess,
         {1005, 1006, 1007, 1008, 1009, 1303, 1501, 1502, 1511, 1513, 1514}},
    };
    for (const Case& c : cases) {
        common::USERREC user = fullRights();
        user.*c.flag = 0;
        for (int id = 1001; id <= 1603; ++id) {
            const bool expected = std::find(c.grayed.begin(), c.grayed.end(), id) == c.grayed.end();
            EXPECT_EQ(CommandRules::rightsAllow(id, user), expected) << id;
        }
    }
}

TEST(CommandRules, TheLookupListsAreAvailableWithTheRightToSetUpTheOrganisation) {
    const std::vector<int> lists{cmd::Grades, cmd::Jobs, cmd::Stations, cmd::Coops,
                                 cmd::PensionFunds};
    for (int id : lists)
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
    CommandContext context{fullRights(), DocumentKind::None, 0};
    for (int id : lists)
        EXPECT_TRUE(CommandRules::mayRun(id, context)) << id;
    context.user.setupOrg = 0;
    for (int id : lists)
        EXPECT_FALSE(CommandRules::mayRun(id, context)) << id;
    CommandContext open{fullRights(), DocumentKind::Personnel, 0};
    for (int id : lists)
        EXPECT_FALSE(CommandRules::mayRun(id, open)) << id;
}

TEST(CommandRules, TheTaxTableDialogsAreAvailable) {
    for (int id : {cmd::PayeRates, cmd::NssfRates, cmd::PayeParameters, cmd::SdlRates, cmd::WcfRate,
                   cmd::IncomeBrackets})
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
    CommandContext context{fullRights(common::kPayrollMenu), DocumentKind::None, 0};
    context.user.modifyTaxTables = 0;
    EXPECT_TRUE(CommandRules::mayRun(cmd::SdlRates, context));
    EXPECT_TRUE(CommandRules::mayRun(cmd::WcfRate, context));
    EXPECT_FALSE(CommandRules::mayRun(cmd::PayeRates, context));
}

TEST(CommandRules, UnitsPostsAndBanksAreAvailableWithTheRightToSetUpTheOrganisation) {
    for (int id : {cmd::Units, cmd::Posts, cmd::Banks}) {
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
        CommandContext context{fullRights(), DocumentKind::None, 0};
        EXPECT_TRUE(CommandRules::mayRun(id, context)) << id;
        context.user.setupOrg = 0;
        EXPECT_FALSE(CommandRules::mayRun(id, context)) << id;
    }
}

TEST(CommandRules, ReportOptionsAreAvailableWithTheRightToSetUpTheOrganisation) {
    EXPECT_TRUE(CommandRules::isAvailable(cmd::ReportOptions));
    for (int menuType : {common::kFullMenu, common::kPersonnelMenu, common::kPayrollMenu}) {
        CommandContext context{fullRights(menuType), DocumentKind::None, 0};
        EXPECT_TRUE(CommandRules::mayRun(cmd::ReportOptions, context)) << menuType;
        context.user.setupOrg = 0;
        EXPECT_FALSE(CommandRules::mayRun(cmd::ReportOptions, context)) << menuType;
    }
    CommandContext open{fullRights(), DocumentKind::Report, 31};
    EXPECT_FALSE(CommandRules::mayRun(cmd::ReportOptions, open));
}

TEST(CommandRules, UsersIsRemovedWithoutTheRightToManageThem) {
    CommandContext context{fullRights(), DocumentKind::None, 0};
    EXPECT_TRUE(CommandRules::menuItem(cmd::Users, context).present);
    context.user.manageUsers = 0;
    EXPECT_FALSE(CommandRules::menuItem(cmd::Users, context).present);
}

TEST(CommandRules, MenusOfEachTypeCarryTheirOwnCommands) {
    struct Case {
        int menuType;
        std::vector<int> present, absent;
    };
    const std::vector<Case> cases{
        {common::kFullMenu,
         {1001, 1002, 1009, 1201, 1264, 1305, 1401, 1408, 1409, 1512, 1513, 1515},
         {}},
        {common::kPersonnelMenu,
         {1001, 1004, 1201, 1207, 1261, 1303, 1315, 1323, 1407, 1511, 1513, 1514},
         {1002, 1003, 1005, 1204, 1211, 1241, 1305, 1317, 1324, 1401, 1408, 1409, 1512, 1515}},
        {common::kPayrollMenu,
         {1002, 1003, 1005, 1202, 1211, 1253, 1305, 1318, 1324, 1406, 1409, 1512, 1513, 1515},
         {1001, 1004, 1201, 1204, 1207, 1261, 1302, 1303, 1311, 1408, 1511}},
    };
    for (const Case& c : cases) {
        for (int id : c.present)
            EXPECT_TRUE(menuHas(c.menuType, id)) << c.menuType << ' ' << id;
        for (int id : c.absent)
            EXPECT_FALSE(menuHas(c.menuType, id)) << c.menuType << ' ' << id;
    }
}

TEST(CommandRules, AcceleratorsFollowTheMenuType) {
    auto keys = [](int menuType) {
        std::vector<std::string> names;
        for (const Accelerator& key : accelerators(menuType))
            names.push_back(key.key);
        return names;
    };
    auto has = [](const std::vector<std::string>& names, const char* key) {
        return std::find(names.begin(), names.end(), key) != names.end();
    };
    const auto personnel = keys(common::kPersonnelMenu);
    const auto payroll = keys(common::kPayrollMenu);
    EXPECT_TRUE(has(personnel, "F5") && has(personnel, "F8"));
    EXPECT_FALSE(has(personnel, "F6") || has(personnel, "F7"));
    EXPECT_TRUE(has(payroll, "F6") && has(payroll, "F7"));
    EXPECT_FALSE(has(payroll, "F5") || has(payroll, "F8"));
    EXPECT_EQ(keys(common::kFullMenu).size(), personnel.size() + 2);
    for (const auto& names : {personnel, payroll})
        for (const char* key : {"Ctrl+S", "Alt+Ins", "Ctrl+PgDown", "Up", "PgDown", "End", "F1"})
            EXPECT_TRUE(has(names, key)) << key;
}

TEST(CommandRules, HelpContextsFollowTheCommandGroups) {
    struct Case {
        int id;
        DocumentKind document;
        int context;
    };
    const std::vector<Case> cases{
        {1001, DocumentKind::None, 160},         {1015, DocumentKind::None, 160},
        {1013, DocumentKind::None, 0},           {1106, DocumentKind::None, 161},
        {1113, DocumentKind::None, 0},           {1101, DocumentKind::Personnel, 161},
        {1102, DocumentKind::Transactions, 161}, {1101, DocumentKind::PayFields, 162},
        {1101, DocumentKind::Leave, 174},        {1103, DocumentKind::Leave, 174},
        {1103, DocumentKind::Personnel, 0},      {1101, DocumentKind::None, 0},
        {1118, DocumentKind::Report, 168},       {1207, DocumentKind::None, 163},
        {1244, DocumentKind::None, 0},           {1264, DocumentKind::None, 163},
        {1306, DocumentKind::None, 165},         {1316, DocumentKind::None, 165},
        {1322, DocumentKind::None, 0},           {1408, DocumentKind::None, 166},
        {1409, DocumentKind::None, 166},         {1410, DocumentKind::None, 0},
        {1503, DocumentKind::None, 164},         {1513, DocumentKind::None, 164},
        {1515, DocumentKind::None, 164},         {1516, DocumentKind::None, 0},
        {1603, DocumentKind::None, 167},         {1602, DocumentKind::None, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(helpContextOf(c.id, c.document), c.context) << c.id;
}

TEST(CommandRules, ToolbarHasSeventeenButtonsWithTheirSeparators) {
    const std::vector<int> expected{1001, 1002, 1003, 1004, 0, 1106, 1010, 1012, 0,
                                    1114, 1112, 1111, 1113, 0, 1014, 0,    1601};
    EXPECT_EQ(toolbarButtons(), expected);
    for (int id : toolbarButtons()) {
        if (id != 0) {
            EXPECT_FALSE(commandTexts(id).tooltip.empty()) << id;
        }
    }
}

TEST(CommandRules, AnOpenDocumentGraysTheDialogCommands) {
    CommandContext context{fullRights(), DocumentKind::Report, 204};
    for (int id : {1001, 1009, 1211, 1301, 1401, 1501, 1513, 1514, 1515})
        EXPECT_FALSE(CommandRules::menuItem(id, context).enabled) << id;
    EXPECT_TRUE(CommandRules::menuItem(cmd::Close, context).enabled);
    EXPECT_FALSE(CommandRules::toolbarButton(cmd::Print, context).enabled);
    context.reportCode = 31;
    EXPECT_TRUE(CommandRules::toolbarButton(cmd::Print, context).enabled);
    EXPECT_TRUE(CommandRules::toolbarButton(cmd::Next, context).enabled);
    EXPECT_FALSE(CommandRules::toolbarButton(cmd::Personnel, context).enabled);
}

TEST(CommandRules, TheEmployeeWindowsTakeTheRecordCommandsWhileOpen) {
    for (int id : {cmd::Personnel, cmd::PayrollMaster, cmd::Save, cmd::GoTo, cmd::FindName})
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
    CommandContext none{fullRights(), DocumentKind::None, 0};
    for (int id : {cmd::Undo, cmd::Add, cmd::Next, cmd::GoTo, cmd::PageDown})
        EXPECT_FALSE(CommandRules::mayRun(id, none)) << id;
    EXPECT_TRUE(CommandRules::mayRun(cmd::Personnel, none));

    CommandContext personnel{fullRights(), DocumentKind::Personnel, 0};
    for (int id : {cmd::Save, cmd::Undo, cmd::Add, cmd::Delete, cmd::Terminate, cmd::Next,
                   cmd::First, cmd::GoTo, cmd::FindEmpNum, cmd::FindName, cmd::PageUp,
                   cmd::PageDown, cmd::Close, cmd::HelpContents})
        EXPECT_TRUE(CommandRules::mayRun(id, personnel)) << id;
    EXPECT_FALSE(CommandRules::mayRun(cmd::Personnel, personnel));
    EXPECT_FALSE(CommandRules::mayRun(1701, personnel)); // the arrow keys stay the widgets'

    // The payroll master file neither adds, deletes nor terminates employees.
    CommandContext master{fullRights(), DocumentKind::PayrollMaster, 0};
    for (int id : {cmd::Add, cmd::Delete, cmd::Terminate, cmd::UndoTerminate}) {
        EXPECT_TRUE(CommandRules::menuItem(id, master).present) << id;
        EXPECT_FALSE(CommandRules::menuItem(id, master).enabled) << id;
    }
    EXPECT_TRUE(CommandRules::mayRun(cmd::FindEmpNum, master));
}

TEST(CommandRules, TheRecordPopupHoldsTheRecordCommandsInOrder) {
    const Popup& record = documentPopup(DocumentKind::Personnel);
    EXPECT_EQ(record.title, "Re&cord");
    std::vector<int> ids;
    for (const MenuEntry& entry : record.entries) {
        if (entry.kind == MenuEntry::Kind::Command)
            ids.push_back(entry.id);
        for (const MenuEntry& inner : entry.entries)
            ids.push_back(inner.id);
    }
    EXPECT_EQ(ids, (std::vector<int>{1106, 1101, 1102, 1104, 1115, 1116, 1117}));
    EXPECT_EQ(&documentPopup(DocumentKind::PayrollMaster), &record);
    EXPECT_TRUE(documentPopup(DocumentKind::None).title.empty());
    EXPECT_TRUE(documentPopup(DocumentKind::Report).title.empty());
    for (int id : ids)
        EXPECT_FALSE(commandTexts(id).menuText.empty()) << id;
    EXPECT_EQ(commandTexts(cmd::Terminate).menuText, "&Terminate...");
}

TEST(CommandRules, TheLeaveAndPayFieldWindowsOpenWithTheirRights) {
    for (int id : {cmd::AbsenceLeave, cmd::Earnings, cmd::Deductions, cmd::Benefits, cmd::LumpSums,
                   cmd::Refunds, cmd::EditEvent})
        EXPECT_TRUE(CommandRules::isAvailable(id)) << id;
    CommandContext context{fullRights(), DocumentKind::None, 0};
    for (int id : {cmd::AbsenceLeave, cmd::Earnings, cmd::Refunds})
        EXPECT_TRUE(CommandRules::mayRun(id, context)) << id;
    EXPECT_TRUE(CommandRules::toolbarButton(cmd::AbsenceLeave, context).enabled);
    // Changing pay items changes every employee's transactions.
    context.user.exclusiveAccess = 0;
    EXPECT_TRUE(CommandRules::mayRun(cmd::AbsenceLeave, context));
    for (int id : {cmd::Earnings, cmd::Refunds})
        EXPECT_FALSE(CommandRules::mayRun(id, context)) << id;
}

TEST(CommandRules, TheLeaveWindowTakesItsEventCommandsAndThePageKeys) {
    const Popup& events = documentPopup(DocumentKind::Leave);
    EXPECT_EQ(events.title, "Re&cord");
    std::vector<std::pair<int, std::string>> items;
    for (const MenuEntry& entry : events.entries) {
        if (entry.kind == MenuEntry::Kind::Command)
            items.emplace_back(entry.id, entry.title);
        for (const MenuEntry& inner : entry.entries)
            items.emplace_back(inner.id, inner.title);
    }
    const std::vector<std::pair<int, std::string>> expected{{1101, "&Add Event\tAlt+Ins"},
                                                            {1102, "&Delete Event\tAlt+Del"},
                                                            {1103, ""},
                                                            {1115, ""},
                                                            {1116, ""},
                                                            {1117, ""}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(commandTexts(cmd::EditEvent).menuText, "&Edit Event");

    CommandContext leave{fullRights(), DocumentKind::Leave, 0};
    for (int id : {cmd::Save, cmd::Add, cmd::Delete, cmd::EditEvent, cmd::Next, cmd::First,
                   cmd::GoTo, cmd::FindEmpNum, cmd::FindName, cmd::PageUp, cmd::PageDown,
                   cmd::Close, cmd::HelpContents})
        EXPECT_TRUE(CommandRules::mayRun(id, leave)) << id;
    for (int id : {cmd::Undo, cmd::Terminate, cmd::AbsenceLeave, cmd::Personnel, 1701})
        EXPECT_FALSE(CommandRules::mayRun(id, leave)) << id;
    EXPECT_FALSE(CommandRules::toolbarButton(cmd::Undo, leave).enabled);
    EXPECT_TRUE(CommandRules::toolbarButton(cmd::Save, leave).enabled);
}

TEST(CommandRules, ThePayFieldsWindowTakesAddDeleteAndNavigationOnly) {
    const Popup& field = documentPopup(DocumentKind::PayFields);
    EXPECT_EQ(field.title, "Fi&eld");
    ASSERT_EQ(field.entries.size(), 2u);
    EXPECT_EQ(field.entries[0].id, cmd::Add);
    EXPECT_EQ(field.entries[1].id, cmd::Delete);
    CommandContext fields{fullRights(), DocumentKind::PayFields, 0};
    for (int id : {cmd::Save, cmd::Add, cmd::Delete, cmd::Next, cmd::Previous, cmd::Last,
                   cmd::First, cmd::Close, cmd::HelpContents})
        EXPECT_TRUE(CommandRules::mayRun(id, fields)) << id;
    for (int id :
         {cmd::Undo, cmd::EditEvent, cmd::GoTo, cmd::FindName, cmd::PageDown, cmd::Earnings})
        EXPECT_FALSE(CommandRules::mayRun(id, fields)) << id;
}

TEST(CommandRules, WithNoDocumentTheFileButtonsNeedTheRightToEditFiles) {
    CommandContext context{fullRights(common::kPayrollMenu), DocumentKind::None, 0};
    EXPECT_FALSE(CommandRules::toolbarButton(cmd::Personnel, context).present);
    EXPECT_TRUE(CommandRules::toolbarButton(cmd::HelpContents, context).enabled);
    EXPECT_FALSE(CommandRules::toolbarButton(cmd::Close, context).enabled);
    for (int id : {cmd::Save, cmd::Close, cmd::Print, cmd::SaveAsText})
        EXPECT_FALSE(CommandRules::menuItem(id, context).enabled) << id;
}

TEST(CommandRules, AReportPreviewTakesItsPageScrollAndSaveCommands) {
    const struct {
        int code;
        bool savesText;
        bool prints;
        bool pageMenu;
    } cases[] = {
        {11, true, true, true},   {21, false, true, true},  {31, true, true, true},
        {62, false, true, false}, {81, true, true, false},  {85, false, true, true},
        {202, true, true, true},  {203, true, true, false}, {204, true, false, false},
    };
    for (const auto& c : cases) {
        const CommandContext context{fullRights(), DocumentKind::Report, c.code};
        EXPECT_EQ(CommandRules::mayRun(cmd::SaveAsText, context), c.savesText) << c.code;
        EXPECT_EQ(CommandRules::mayRun(cmd::Print, context), c.prints) << c.code;
        EXPECT_TRUE(CommandRules::mayRun(cmd::SaveAsPdf, context)) << c.code;
        EXPECT_FALSE(CommandRules::mayRun(cmd::Save, context)) << c.code;
        for (int id : {cmd::Next, cmd::First, cmd::GoToPage, 1701, 1704, 1708, cmd::Close})
            EXPECT_TRUE(CommandRules::mayRun(id, context)) << c.code << " " << id;
        const Popup& popup = documentPopup(DocumentKind::Report, c.code);
        EXPECT_EQ(popup.title, c.pageMenu ? "P&age" : "") << c.code;
    }
    const CommandContext none{fullRights(), DocumentKind::None, 0};
    EXPECT_TRUE(CommandRules::mayRun(cmd::Payslips, none));
    const CommandContext record{fullRights(), DocumentKind::Personnel, 0};
    for (int id : {cmd::SaveAsPdf, cmd::GoToPage, 1701, 1708, cmd::Payslips})
        EXPECT_FALSE(CommandRules::mayRun(id, record)) << id;
}

} // namespace
} // namespace kelo::app
