#include "app/shell/Commands.h"

#include "common/OrgRecords.h"

#include <algorithm>
#include <array>
#include <map>

namespace kelo::app {

namespace {

const std::vector<CommandTexts>& allTexts() {
    static const std::vector<CommandTexts> texts{
        {1001, "&Personnel...\tF5", "Edit the personnel file", "Personnel File"},
        {1002, "Payroll &Master...\tF6", "Edit the payroll master file", "Payroll Master File"},
        {1003, "Payroll &Transactions...\tF7", "Edit the monthly payroll transactions file",
         "Payroll Transactions File"},
        {1004, "&Absence and Leave...\tF8", "Edit the absence and leave file",
         "Absence and Leave File"},
        {1005, "&Earnings...", "Edit earnings in the monthly payroll transactions file", ""},
        {1006, "&Deductions...", "Edit deductions in the monthly payroll transactions file", ""},
        {1007, "&Benefits...", "Edit benefits in the monthly payroll transactions file", ""},
        {1008, "&Lump Sum Payments...",
         "Edit lump sum payments in the monthly payroll transactions file", ""},
        {1009, "Re&funds...", "Edit refunds in the monthly payroll transactions file", ""},
        {1010, "&Save\tCtrl+S", "Save the current record", "Save"},
        {1011, "Sa&ve as Text...", "Save the active report as a text file", ""},
        {1012, "P&rint...", "Print the active report", "Print"},
        {1016, "Save as P&DF...", "Save the active report as a PDF file", ""},
        {1017, "Save Pa&yslips as PDF Files...",
         "Save each employee's payslip as a PDF file named by employee number", ""},
        {1019, "&Import Employees...", "Add employees from a CSV file", ""},
        {1020, "Exp&ort Employees...", "Save the employee list as a CSV file", ""},
        {1021, "Import Opening Bala&nces...",
         "Set the opening balances of loans, savings, pension funds, co-operatives and the "
         "year to date from a CSV file",
         ""},
        {1018, "Save for Spreads&heet (CSV)...",
         "Save the active report's table as a CSV file for a spreadsheet", ""},
        {1014, "&Close", "Close the active file or report", "Close"},
        {1015, "E&xit", "Exit Kelo Roster", ""},
        {1101, "&Add\tAlt+Ins", "Add a new record, field or event", ""},
        {1102, "&Delete\tAlt+Del", "Delete the current record, field or event", ""},
        {1103, "&Edit Event", "Edit the selected event", ""},
        {1104, "&Terminate...", "Terminate the employment of the current employee", ""},
        {1105, "&Undo Termination", "Reverse the termination of the current employee", ""},
        {1106, "&Undo", "Undo changes to the current record", "Undo"},
        {1111, "&Next\tCtrl+PgDn", "Move to the next page, record or field", "Next"},
        {1112, "&Previous\tCtrl+PgUp", "Move to the previous page, record or field", "Previous"},
        {1113, "&Last\tCtrl+End", "Move to the last page, record or field", "Last"},
        {1114, "&First\tCtrl+Home", "Move to the first page, record or field", "First"},
        {1115, "&Go to...", "Go to a record by its number in the file", ""},
        {1116, "&Employee Number...", "Find an employee by employee number", ""},
        {1117, "&Last Name...", "Find an employee by last name", ""},
        {1118, "&Go to...", "Go to a page of the report by its number", ""},
        {1201, "P&osts...", "Display the posts report", ""},
        {1202, "&Employees...", "Display the roll of current employees", ""},
        {1203, "&Leavers...", "Display the roll of employees who have left", ""},
        {1204, "&Employees...", "Display master reports of current employees", ""},
        {1205, "&Leavers...", "Display master reports of employees who have left", ""},
        {1206, "Length of &Service...", "Display the length of service report", ""},
        {1207, "&Hierarchy...", "Display the employee hierarchy report", ""},
        {1211, "Pa&yslips...", "Display employee payslips", ""},
        {1212, "&Summary...", "Display the payroll summary", ""},
        {1213, "&Muster Roll...", "Display the payroll muster roll", ""},
        {1214, "Employee &Pay Summary...", "Display the pay summary of each employee", ""},
        {1215, "&Control Account...", "Display the payroll control account", ""},
        {1221, "&Earnings...", "Display an earnings report", ""},
        {1222, "&Deductions...", "Display a deductions report", ""},
        {1223, "&Benefits...", "Display a benefits report", ""},
        {1224, "&Lump Sums...", "Display a lump sums report", ""},
        {1225, "&Refunds...", "Display a refunds report", ""},
        {1231, "&Cash List...", "Display the list of employees paid in cash", ""},
        {1232, "C&heque List...", "Display the list of employees paid by cheque", ""},
        {1233, "&Bank Transfer Report...", "Display the list of employees paid by bank transfer",
         ""},
        {1234, "C&oinage Summary...", "Display the notes and coins needed for cash payments", ""},
        {1241, "&PAYE...", "Display the monthly PAYE return", ""},
        {1242, "&NSSF...", "Display the monthly NSSF return", ""},
        {1243, "&SDL...", "Display the monthly SDL return", ""},
        {1244, "&WCF...", "Display the monthly Workers Compensation Fund return", ""},
        {1245, "&Lump Sums Tax...", "Display the lump sums tax report", ""},
        {1247, "&Co-operatives...", "Display the co-operative report", ""},
        {1248, "Pension &Funds...", "Display the pension fund report", ""},
        {1249, "Low &Interest Benefit...", "Display the low interest benefit report", ""},
        {1251, "P&9...", "Display the P9 annual return", ""},
        {1252, "P1&0...", "Display the P10 annual return", ""},
        {1253, "&ITX215...", "Display the ITX215 annual return", ""},
        {1261, "&Absence Analysis...", "Display the absence analysis", ""},
        {1262, "Annual &Leave Analysis...", "Display the annual leave analysis", ""},
        {1263, "Absence and Leave &Details...", "Display absence and leave details", ""},
        {1264, "Leave &Booked...", "Display the leave booked report", ""},
        {1301, "&Open...", "Activate a different organisation", ""},
        {1302, "&New...", "Create a new organisation", ""},
        {1303, "&Delete...", "Delete an organisation that is currently closed", ""},
        {1304, "Basic &Info...", "Edit basic info about this organisation", ""},
        {1305, "Pa&yroll Info...", "Edit ID numbers and bank details for this organisation", ""},
        {1311, "&Grades...", "Edit job grades for this organisation", ""},
        {1312, "&Jobs...", "Edit jobs available within this organisation", ""},
        {1313, "&Units...", "Edit administrative units in this organisation", ""},
        {1314, "&Posts...", "Configure the posts available within this organisation", ""},
        {1315, "&Stations...", "Edit stations where employees are located", ""},
        {1317, "&Co-operatives...", "Edit co-operatives for this organisation", ""},
        {1318, "Pension &Funds...", "Edit pension funds for this organisation", ""},
        {1323, "&General...", "Edit general options for this organisation", ""},
        {1324, "&Payroll...", "Edit payroll options for this organisation", ""},
        {1325, "&Reports...", "Edit report printing options", ""},
        {1401, "PAYE &Rates...", "Edit PAYE rates for this year", ""},
        {1402, "&NSSF Rates...", "Edit NSSF rates for this year", ""},
        {1403, "PAYE &Parameters...", "Edit PAYE parameters for this year", ""},
        {1404, "&SDL Rates...", "Edit SDL rate for this year", ""},
        {1405, "&Income Brackets...", "Edit income brackets in P10 report", ""},
        {1406, "&Banks...", "Edit bank and bank branch names and codes", ""},
        {1407, "&Change Password...", "Change your password", ""},
        {1408, "&Users...", "Edit the list of users who can access the program", ""},
        {1409, "&WCF Rate...", "Edit the Workers Compensation Fund rate", ""},
        {1501, "&Backup...", "Back up files for this organisation", ""},
        {1502, "&Restore...", "Restore files for this organisation from backup", ""},
        {1511, "&Change Employee Number...", "Change the employee number of an existing employee",
         ""},
        {1512, "Bank &Transfer File...", "Save bank transfer file", ""},
        {1513, "&Period End...", "Close the current weekly, biweekly or irregular pay period", ""},
        {1514, "&Month End...", "Close data entry for the current month and start a new one", ""},
        {1515, "Pay &Frequency...",
         "Choose the monthly, weekly, biweekly or irregular payroll to work on", ""},
        {1601, "&Contents and Index\tF1", "Open Help table of contents", "Help"},
        {1603, "&About Kelo Roster...", "Display information about Kelo Roster", ""},
    };
    return texts;
}

MenuEntry command(int id, std::string text = {}) {
    return {MenuEntry::Kind::Command, id, std::move(text), {}};
}
MenuEntry separator() {
    return {MenuEntry::Kind::Separator, 0, {}, {}};
}
MenuEntry submenu(std::string title, std::vector<int> ids) {
    MenuEntry entry{MenuEntry::Kind::Submenu, 0, std::move(title), {}};
    for (int id : ids)
        entry.entries.push_back(id == 0 ? separator() : command(id));
    return entry;
}
std::vector<MenuEntry> commands(std::initializer_list<int> ids) {
    std::vector<MenuEntry> entries;
    for (int id : ids)
        entries.push_back(id == 0 ? separator() : command(id));
    return entries;
}

Popup filePopup(int menuType) {
    switch (menuType) {
    case common::kPersonnelMenu:
        return {"&File", commands({1001, 1004, 0, 1019, 1020, 0, 1010, 1011, 1016, 1017, 1018, 1012,
                                   0, 1014, 0, 1015})};
    case common::kPayrollMenu:
        return {"&File", commands({1002, 1003, 0,    1021, 0,    1005, 1006, 1007, 1008, 1009, 0,
                                   1010, 1011, 1016, 1017, 1018, 1012, 0,    1014, 0,    1015})};
    default:
        return {"&File",
                commands({1001, 1002, 1003, 1004, 0,    1019, 1020, 1021, 0, 1005, 1006, 1007, 1008,
                          1009, 0,    1010, 1011, 1016, 1017, 1018, 1012, 0, 1014, 0,    1015})};
    }
}

Popup reportPopup(int menuType) {
    const MenuEntry overview = submenu("&Overview", {1212, 1215, 1213, 1214});
    const MenuEntry breakdown = submenu("&Breakdown", {1221, 1222, 1223, 1224, 1225, 1249});
    const MenuEntry payments = submenu("Payments to &Employees", {1231, 1232, 1233, 1234});
    const MenuEntry monthly =
        submenu("Monthly &Returns", {1241, 1242, 1243, 1244, 1245, 1247, 1248});
    const MenuEntry annual = submenu("A&nnual Returns", {1251, 1252, 1253});
    const MenuEntry leave = submenu("&Absence and Leave", {1261, 1262, 1263, 1264});
    switch (menuType) {
    case common::kPersonnelMenu:
        return {"&Report",
                {command(1201), submenu("&Nominal Roll", {1202, 1203, 1207, 1206}), leave}};
    case common::kPayrollMenu:
        return {"&Report",
                {submenu("&Nominal Roll", {1202, 1203}), separator(), command(1211), overview,
                 breakdown, payments, separator(), monthly, annual}};
    default:
        return {"&Report",
                {command(1201), submenu("&Nominal Roll", {1202, 1203, 1207, 1206}),
                 submenu("&Master Report", {1204, 1205}), leave, separator(), command(1211),
                 overview, breakdown, payments, separator(), monthly, annual}};
    }
}

Popup organisationPopup(int menuType) {
    switch (menuType) {
    case common::kPersonnelMenu:
        return {"&Organisation",
                {command(1301), command(1302), command(1303), separator(), command(1304),
                 separator(), command(1311), command(1312), command(1313), command(1314),
                 command(1315), separator(), submenu("O&ptions", {1325, 1323})}};
    case common::kPayrollMenu:
        return {"&Organisation",
                {command(1301), separator(), command(1304), command(1305), separator(),
                 command(1317), command(1318), separator(),
                 submenu("O&ptions", {1324, 1325, 1323})}};
    default:
        return {"&Organisation",
                {command(1301), command(1302), command(1303), separator(), command(1304),
                 command(1305), separator(), command(1311), command(1312), command(1313),
                 command(1314), command(1315), command(1317), command(1318), separator(),
                 submenu("O&ptions", {1324, 1325, 1323})}};
    }
}

Popup systemPopup(int menuType) {
    switch (menuType) {
    case common::kPersonnelMenu:
        return {"&System", commands({1407})};
    case common::kPayrollMenu:
        return {"&System", commands({1401, 1403, 1402, 1404, 1409, 0, 1406, 1405, 0, 1407})};
    default:
        return {"&System", commands({1401, 1403, 1402, 1404, 1409, 0, 1406, 1405, 0, 1408, 1407})};
    }
}

Popup procedurePopup(int menuType) {
    switch (menuType) {
    case common::kPersonnelMenu:
        return {"&Procedure", commands({1501, 1502, 0, 1511, 0, 1513, 1514})};
    case common::kPayrollMenu:
        return {"&Procedure", commands({1501, 1502, 0, 1512, 0, 1515, 1513, 1514})};
    default:
        return {"&Procedure", commands({1501, 1502, 0, 1511, 1512, 0, 1515, 1513, 1514})};
    }
}

bool entriesHave(const std::vector<MenuEntry>& entries, int id) {
    return std::any_of(entries.begin(), entries.end(), [id](const MenuEntry& entry) {
        return (entry.kind == MenuEntry::Kind::Command && entry.id == id) ||
               (entry.kind == MenuEntry::Kind::Submenu && entriesHave(entry.entries, id));
    });
}

bool inRange(int id, int first, int last) {
    return id >= first && id <= last;
}

} // namespace

const CommandTexts& commandTexts(int id) {
    static const std::map<int, const CommandTexts*> byId = [] {
        std::map<int, const CommandTexts*> map;
        for (const CommandTexts& texts : allTexts())
            map.emplace(texts.id, &texts);
        return map;
    }();
    static const CommandTexts none;
    const auto found = byId.find(id);
    return found == byId.end() ? none : *found->second;
}

const std::vector<Popup>& menuBar(int menuType) {
    // Built once: the rights rules ask about every item on every reload.
    static const std::array<std::vector<Popup>, 3> bars = [] {
        std::array<std::vector<Popup>, 3> all;
        for (int type = common::kFullMenu; type <= common::kPayrollMenu; ++type)
            all[static_cast<std::size_t>(type)] = {
                filePopup(type),   reportPopup(type),    organisationPopup(type),
                systemPopup(type), procedurePopup(type), {"&Help", commands({1601, 0, 1603})}};
        return all;
    }();
    const bool known = menuType >= common::kFullMenu && menuType <= common::kPayrollMenu;
    return bars[static_cast<std::size_t>(known ? menuType : common::kFullMenu)];
}

bool menuHas(int menuType, int id) {
    const std::vector<Popup>& popups = menuBar(menuType);
    return std::any_of(popups.begin(), popups.end(),
                       [id](const Popup& popup) { return entriesHave(popup.entries, id); });
}

std::vector<Accelerator> accelerators(int menuType) {
    std::vector<Accelerator> keys;
    if (menuType != common::kPayrollMenu)
        keys.push_back({"F5", cmd::Personnel});
    if (menuType != common::kPersonnelMenu) {
        keys.push_back({"F6", cmd::PayrollMaster});
        keys.push_back({"F7", cmd::Transactions});
    }
    if (menuType != common::kPayrollMenu)
        keys.push_back({"F8", cmd::AbsenceLeave});
    const std::vector<Accelerator> common{{"Ctrl+S", cmd::Save},
                                          {"Alt+Ins", cmd::Add},
                                          {"Alt+Del", cmd::Delete},
                                          {"Ctrl+PgDown", cmd::Next},
                                          {"Ctrl+PgUp", cmd::Previous},
                                          {"Ctrl+End", cmd::Last},
                                          {"Ctrl+Home", cmd::First},
                                          {"Up", cmd::ScrollFirst},
                                          {"Down", 1702},
                                          {"Left", 1703},
                                          {"Right", 1704},
                                          {"PgUp", 1705},
                                          {"PgDown", 1706},
                                          {"Home", 1707},
                                          {"End", cmd::ScrollLast},
                                          {"F1", cmd::HelpContents}};
    keys.insert(keys.end(), common.begin(), common.end());
    return keys;
}

const std::vector<int>& toolbarButtons() {
    static const std::vector<int> buttons{1001, 1002, 1003, 1004, 0, 1106, 1010, 1012, 0,
                                          1114, 1112, 1111, 1113, 0, 1014, 0,    1601};
    return buttons;
}

namespace {
// Reports that are turned page by page and have a page number to go to.
bool reportGoesToPages(int code) {
    return inRange(code, 11, 16) || inRange(code, 21, 25) || code == 31 || code == 34 ||
           code == 37 || inRange(code, 41, 45) || inRange(code, 51, 57) || code == 61 ||
           code == 63 || code == 64 || inRange(code, 71, 73) || code == 76 || code == 80 ||
           code == 82 || code == 85 || code == 201 || code == 202;
}
} // namespace

const Popup& documentPopup(DocumentKind document, int reportCode) {
    static const Popup record{"Re&cord",
                              {command(1106), separator(), command(1101), command(1102),
                               command(1104), separator(), command(1115),
                               submenu("&Find", {1116, 1117})}};
    static const Popup field{"Fi&eld", {command(1101), command(1102)}};
    static const Popup events{"Re&cord",
                              {command(1101, "&Add Event\tAlt+Ins"),
                               command(1102, "&Delete Event\tAlt+Del"), command(1103), separator(),
                               command(1115), submenu("&Find", {1116, 1117})}};
    static const Popup page{"P&age", {command(1118)}};
    static const Popup none;
    switch (document) {
    case DocumentKind::Report:
        return reportGoesToPages(reportCode) ? page : none;
    case DocumentKind::Personnel:
    case DocumentKind::PayrollMaster:
    case DocumentKind::Transactions:
        return record;
    case DocumentKind::PayFields:
        return field;
    case DocumentKind::Leave:
        return events;
    default:
        return none;
    }
}

bool documentHandles(DocumentKind document, int id) {
    switch (document) {
    case DocumentKind::Personnel:
    case DocumentKind::PayrollMaster:
    case DocumentKind::Transactions:
        return inRange(id, 1101, 1102) || inRange(id, 1104, 1106) || inRange(id, 1111, 1117) ||
               id == 1705 || id == 1706;
    case DocumentKind::PayFields:
        return inRange(id, 1101, 1102) || inRange(id, 1111, 1114);
    case DocumentKind::Leave:
        return inRange(id, 1101, 1103) || inRange(id, 1111, 1117) || id == 1705 || id == 1706;
    case DocumentKind::Report:
        return inRange(id, 1111, 1114) || id == 1118 || inRange(id, 1701, 1708);
    default:
        return false;
    }
}

int helpContextOf(int id, DocumentKind document) {
    if (inRange(id, 1001, 1012) || inRange(id, 1014, 1021))
        return 160;
    if (inRange(id, 1104, 1106) || id == 1111 || id == 1112 || inRange(id, 1115, 1117))
        return 161;
    if (id == 1101 || id == 1102) {
        switch (document) {
        case DocumentKind::Personnel:
        case DocumentKind::PayrollMaster:
        case DocumentKind::Transactions:
            return 161;
        case DocumentKind::PayFields:
            return 162;
        case DocumentKind::Leave:
            return helpctx::Leave;
        default:
            return 0;
        }
    }
    if (id == 1103)
        return document == DocumentKind::Leave ? helpctx::Leave : 0;
    if (id == 1118)
        return 168;
    if (inRange(id, 1201, 1207) || inRange(id, 1211, 1216) || inRange(id, 1221, 1225) ||
        inRange(id, 1231, 1234) || inRange(id, 1241, 1243) || id == 1245 ||
        inRange(id, 1247, 1249) || inRange(id, 1251, 1253) || inRange(id, 1261, 1264))
        return 163;
    if (inRange(id, 1301, 1306) || inRange(id, 1311, 1318) || inRange(id, 1323, 1325))
        return 165;
    if (inRange(id, 1401, 1409))
        return 166;
    if (inRange(id, 1501, 1503) || inRange(id, 1511, 1515))
        return 164;
    if (id == 1601 || id == 1603)
        return 167;
    return 0;
}

} // namespace kelo::app
