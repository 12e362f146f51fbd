#pragma once

#include <string>
#include <vector>

namespace kelo::app {

// Every user action of the main window is a numbered command.
namespace cmd {
inline constexpr int Personnel = 1001;
inline constexpr int PayrollMaster = 1002;
inline constexpr int Transactions = 1003;
inline constexpr int AbsenceLeave = 1004;
inline constexpr int Earnings = 1005;
inline constexpr int Deductions = 1006;
inline constexpr int Benefits = 1007;
inline constexpr int LumpSums = 1008;
inline constexpr int Refunds = 1009;
inline constexpr int Save = 1010;
inline constexpr int SaveAsText = 1011;
inline constexpr int Print = 1012;
inline constexpr int Close = 1014;
inline constexpr int SaveAsPdf = 1016;
inline constexpr int SavePayslipPdfs = 1017;
inline constexpr int SaveAsCsv = 1018;
inline constexpr int ImportEmployees = 1019;
inline constexpr int ExportEmployees = 1020;
inline constexpr int ImportBalances = 1021;
inline constexpr int Exit = 1015;
inline constexpr int Add = 1101;
inline constexpr int Delete = 1102;
inline constexpr int EditEvent = 1103;
inline constexpr int Terminate = 1104;
inline constexpr int UndoTerminate = 1105;
inline constexpr int Undo = 1106;
inline constexpr int Next = 1111;
inline constexpr int Previous = 1112;
inline constexpr int Last = 1113;
inline constexpr int First = 1114;
inline constexpr int GoTo = 1115;
inline constexpr int FindEmpNum = 1116;
inline constexpr int FindName = 1117;
inline constexpr int GoToPage = 1118;
inline constexpr int Payslips = 1211;
inline constexpr int OpenOrg = 1301;
inline constexpr int NewOrg = 1302;
inline constexpr int DeleteOrg = 1303;
inline constexpr int BasicInfo = 1304;
inline constexpr int PayrollInfo = 1305;
inline constexpr int Grades = 1311;
inline constexpr int Jobs = 1312;
inline constexpr int Units = 1313;
inline constexpr int Posts = 1314;
inline constexpr int Stations = 1315;
inline constexpr int Coops = 1317;
inline constexpr int PensionFunds = 1318;
inline constexpr int GeneralOptions = 1323;
inline constexpr int PayrollOptions = 1324;
inline constexpr int ReportOptions = 1325;
inline constexpr int PayeRates = 1401;
inline constexpr int NssfRates = 1402;
inline constexpr int PayeParameters = 1403;
inline constexpr int SdlRates = 1404;
inline constexpr int IncomeBrackets = 1405;
inline constexpr int Banks = 1406;
inline constexpr int ChangePassword = 1407;
inline constexpr int Users = 1408;
inline constexpr int WcfRate = 1409; // beyond the old menu
inline constexpr int Backup = 1501;
inline constexpr int Restore = 1502;
inline constexpr int ChangeEmpNum = 1511;
inline constexpr int BankTransferFile = 1512;
inline constexpr int PeriodEnd = 1513;
inline constexpr int MonthEnd = 1514;
inline constexpr int PayFrequency = 1515; // beyond the old menu
inline constexpr int HelpContents = 1601;
inline constexpr int About = 1603;
inline constexpr int ScrollFirst = 1701; // 1701-1708: the arrow and page keys
inline constexpr int PageUp = 1705;
inline constexpr int PageDown = 1706;
inline constexpr int ScrollLast = 1708;
} // namespace cmd

// A command's texts: the menu item (with "&" markers and a tab before the
// key), the status-bar help shown while it is highlighted, and the
// toolbar tooltip of the commands that have a button.
struct CommandTexts {
    int id = 0;
    std::string menuText;
    std::string helpText;
    std::string tooltip;
};

// The texts of `id`; empty texts for an unknown command.
const CommandTexts& commandTexts(int id);

// One entry of a popup menu: a command, a separator, or a submenu.
struct MenuEntry {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    int id = 0;
    // A submenu's title; a command's own menu text in this popup (empty: the
    // command table's).
    std::string title;
    std::vector<MenuEntry> entries;
};

struct Popup {
    std::string title;
    std::vector<MenuEntry> entries;
};

// The menu bar of a menu type: full, personnel only or payroll only (an
// unknown type gets the full menu).
const std::vector<Popup>& menuBar(int menuType);
// Whether `id` appears anywhere in the menu bar of `menuType`.
bool menuHas(int menuType, int id);

// An accelerator key ("F5", "Ctrl+S", in Qt's portable key notation).
struct Accelerator {
    std::string key;
    int id = 0;
};
std::vector<Accelerator> accelerators(int menuType);

// The toolbar buttons in order; 0 marks a separator.
const std::vector<int>& toolbarButtons();

// What the open document window is.
enum class DocumentKind { None, Report, Personnel, PayrollMaster, Transactions, PayFields, Leave };

// The popup a document window adds as the second of the menu bar; an empty
// title when the document has none. A report's popup depends on its code.
const Popup& documentPopup(DocumentKind document, int reportCode = 0);
// Whether the open document takes `id`: its popup's items, record
// navigation and the page keys.
bool documentHandles(DocumentKind document, int id);

// The help context of a command chosen while F1 was held on its menu
// item; 0 for none.
int helpContextOf(int id, DocumentKind document);

// Help contexts of the dialogs.
namespace helpctx {
inline constexpr int Leave = 174;     // the absence and leave window and its dialogs
inline constexpr int PayFields = 175; // the pay field definitions window and its dialogs
inline constexpr int Login = 121;
inline constexpr int Organisations = 165;
inline constexpr int DeleteOrgCaution = 180;
inline constexpr int RestoreCaution = 190;
// The statutory table dialogs, numbered as their dialog resources.
inline constexpr int PayeRates = 780; // and its row dialog
inline constexpr int NssfRates = 781;
inline constexpr int PayeParameters = 782;
inline constexpr int IncomeBrackets = 793; // and its row dialog
inline constexpr int SdlRate = 795;
inline constexpr int WcfRate = 796;      // its own page beside the SDL rate's
inline constexpr int PayFrequency = 153; // beside the period end's page
} // namespace helpctx

} // namespace kelo::app
