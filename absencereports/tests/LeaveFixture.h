#pragma once

#include "absencereports/LeaveRepDb.h"
#include "database/AbsenceDb.h"
#include "database/LeaveDb.h"
#include "database/PayGroupDb.h"
#include "database/StaticDb.h"
#include "database/StationsDb.h"
#include "database/UnitsDb.h"
#include "engine/Data4.h"
#include "engine/Field4.h"
#include "payrunreports/tests/LookupNames.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace kelo::absencereports::testing {

constexpr common::date ymd(int year, int month, int day) {
    return common::date{year, static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month)};
}

inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Kilimo Traders Ltd in 2025, with units Head Office and Finance (under
// Head Office), stations Dar es Salaam and Mbeya, and four employees:
// - E001 Mushi, Anna: Finance, Dar es Salaam, 24 days a year.
// - E002 Banda, Peter: Head Office, Mbeya, 18 days.
// - E003 Kileo, Grace: Finance, Mbeya, 21 days, left on 30 April.
// - E004 Salim, Juma: Head Office, Dar es Salaam, 12 days; the tests that
//   need it remove him from the personnel file after March has closed.
// Their events, in both half years:
// - E001: Balance B/F 5 (1 Jan); earned 2 on 1 Feb, 1 Mar, 1 Apr and 1 Jul;
//   sold 1 (15 Aug); Sick Leave 3-4 Feb 2; Annual Leave 10-12 Mar 3 and
//   1-4 Sep 4; booked Annual Leave 15-19 Dec 5.
// - E002: Balance B/F 10; forfeited 3 (30 Jun); earned 9 (1 Jul); Study
//   Leave 5-9 May 5; Unauthorised Absence 2 Oct 1; Annual Leave 20-24 Oct 5;
//   booked Study Leave 2-3 Jun 2 and Annual Leave 3-7 Nov 5.
// - E003: Balance B/F 2.5; earned 1.75 on 1 Feb, 1 Mar and 1 Apr; sold 5
//   (30 Apr); Sick Leave 6-7 Jan 2; Annual Leave 14-15 Apr 2.
// - E004: Balance B/F 0; earned 1 on 1 Feb and 1 Mar; Authorised Absence
//   20 Feb 1.
struct LeaveFixture : ::testing::Test {
    testsupport::TempDir dir;
    engine::Code4 code;
    common::WorkingFolder folder;
    testsupport::RecordingUi ui;
    testsupport::RecordingUi owner;
    common::ORGREC org;

    void SetUp() override {
        for (const char* sub : {"org01/database", "org01/settings", "org01/2025"})
            std::filesystem::create_directories(dir.file(sub));
        folder = common::WorkingFolder(dir.path());
        folder.moveTo("../org01");
        org.folder = "../org01";
        org.name = "Kilimo Traders Ltd";
        org.month = "March";
        org.year = 2025;
        makeLists();
        makeStaff();
        makeEvents();
        ui.clear();
    }

    void makeLists() {
        database::UNITSDB units(code, folder);
        ASSERT_TRUE(units.createFile(ui));
        ASSERT_TRUE(units.openFile());
        database::UNITREC head{0, "Head Office", 0};
        ASSERT_TRUE(units.appendRecord(head));
        database::UNITREC finance{0, "Finance", head.code};
        ASSERT_TRUE(units.appendRecord(finance));
        units.closeFile();
        headOffice = head.code;
        financeUnit = finance.code;
        database::STATIONSDB stations(code, folder);
        payrunreports::testing::addNames(ui, stations, {"Dar es Salaam", "Mbeya"});
        database::PAYGROUPDB payGroups(code, folder);
        payrunreports::testing::addNames(ui, payGroups, {"Management", "Office Staff"});
        ASSERT_TRUE(absences.createFile(ui));
        ASSERT_TRUE(leave.createFile(ui));
        ASSERT_TRUE(staff.createFile(ui));
    }

    void hire(const char* empNum, const char* lastName, const char* otherNames, long unit,
              int station, float entitlement, bool left = false) {
        common::STATICREC rec;
        rec.empNum = empNum;
        rec.lastName = lastName;
        rec.otherNames = otherNames;
        rec.station = station;
        rec.leaveEntitlement = entitlement;
        rec.startDate = ymd(2020, 1, 1);
        if (left) {
            rec.terminated = 1;
            rec.terminationDate = ymd(2025, 4, 30);
        }
        database::PERSONNELREC personnel;
        personnel.unit = static_cast<std::int32_t>(unit);
        ASSERT_TRUE(staff.openFile());
        ASSERT_TRUE(staff.updateFields(rec, personnel, true));
        staff.closeFile();
    }

    void makeStaff() {
        hire("E001", "Mushi", "Anna", financeUnit, 1, 24);
        hire("E002", "Banda", "Peter", headOffice, 2, 18);
        hire("E003", "Kileo", "Grace", financeUnit, 2, 21, true);
        hire("E004", "Salim", "Juma", headOffice, 1, 12);
    }

    void event(const char* empNum, common::date day, std::int32_t kind, float days) {
        database::LEAVEROW row;
        row.date = day;
        row.kind = kind;
        row.days = days;
        ASSERT_TRUE(leave.appendRec(empNum, row));
    }

    void absence(const char* empNum, common::date from, common::date to, float days,
                 const char* reason, bool booking = false) {
        database::ABSENCEROW row;
        row.fromDate = from;
        row.toDate = to;
        row.days = days;
        row.reason = reason;
        ASSERT_TRUE(absences.appendRec(empNum, row, booking));
    }

    void makeEvents() {
        using namespace database;
        event("E001", ymd(2025, 1, 1), kBalanceBF, 5);
        for (int month : {2, 3, 4, 7})
            event("E001", ymd(2025, month, 1), kLeaveEarned, 2);
        event("E001", ymd(2025, 8, 15), kLeaveSold, 1);
        absence("E001", ymd(2025, 2, 3), ymd(2025, 2, 4), 2, "Sick Leave");
        absence("E001", ymd(2025, 3, 10), ymd(2025, 3, 12), 3, "Annual Leave");
        absence("E001", ymd(2025, 9, 1), ymd(2025, 9, 4), 4, "Annual Leave");
        absence("E001", ymd(2025, 12, 15), ymd(2025, 12, 19), 5, "Annual Leave", true);

        event("E002", ymd(2025, 1, 1), kBalanceBF, 10);
        event("E002", ymd(2025, 6, 30), kLeaveForfeited, 3);
        event("E002", ymd(2025, 7, 1), kLeaveEarned, 9);
        absence("E002", ymd(2025, 5, 5), ymd(2025, 5, 9), 5, "Study Leave");
        absence("E002", ymd(2025, 10, 2), ymd(2025, 10, 2), 1, "Unauthorised Absence");
        absence("E002", ymd(2025, 10, 20), ymd(2025, 10, 24), 5, "Annual Leave");
        absence("E002", ymd(2025, 6, 2), ymd(2025, 6, 3), 2, "Study Leave", true);
        absence("E002", ymd(2025, 11, 3), ymd(2025, 11, 7), 5, "Annual Leave", true);

        event("E003", ymd(2025, 1, 1), kBalanceBF, 2.5f);
        for (int month : {2, 3, 4})
            event("E003", ymd(2025, month, 1), kLeaveEarned, 1.75f);
        event("E003", ymd(2025, 4, 30), kLeaveSold, 5);
        absence("E003", ymd(2025, 1, 6), ymd(2025, 1, 7), 2, "Sick Leave");
        absence("E003", ymd(2025, 4, 14), ymd(2025, 4, 15), 2, "Annual Leave");

        event("E004", ymd(2025, 1, 1), kBalanceBF, 0.0f);
        for (int month : {2, 3})
            event("E004", ymd(2025, month, 1), kLeaveEarned, 1);
        absence("E004", ymd(2025, 2, 20), ymd(2025, 2, 20), 1, "Authorised Absence");
    }

    // As deleting him in the personnel window does.
    void removeE004() {
        ASSERT_TRUE(staff.openFile(true));
        ASSERT_TRUE(staff.seekEmpNum("E004"));
        staff.data()->deleteRec();
        ASSERT_EQ(staff.data()->pack(), engine::r4success);
        staff.closeFile();
        ASSERT_TRUE(absences.delEmployee("E004"));
        ASSERT_TRUE(leave.delEmployee("E004"));
    }

    // March closed, then E004 gone, then the interim file in October.
    void closeMarchThenOctober() {
        LEAVEREPDB store(owner, code, folder);
        ASSERT_TRUE(store.checkFiles(ui));
        ASSERT_TRUE(store.updateFile(ui, org, true));
        removeE004();
        org.month = "October";
        ASSERT_TRUE(store.writeInterimFile(ui, org));
        ui.clear();
    }

    std::string yearFile() const { return folder.resolve("2025/leaverep.dbf"); }
    std::string interimFile() const { return folder.resolve("2025/leaverep.int"); }

    long headOffice = 0;
    long financeUnit = 0;
    database::ABSENCEDB absences{code, folder, ui};
    database::LEAVEDB leave{code, folder, ui};
    database::STATDB staff{code, folder};
};

} // namespace kelo::absencereports::testing
