#pragma once

#include "ReportFixture.h"
#include "database/BanksDb.h"
#include "payrunreports/BankFiles.h"
#include "payrunreports/BankTransfer.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelo::payrunreports::testing {

// The worked payroll with three more employees paid by bank, and the banks:
// - MH001 Mwakyusa, Emmanuel: CRDB Bank, Mbeya (03 101), 0152000001, net
//   pay 870,450; his CRDB Loan of 30,000 goes to loan LN-77 at the same
//   branch.
// - MH006 Njau, Peter: NMB Bank, Mbeya (12 201), "01-234 567", 456,789.
// - MH007 Otieno, Mary: Equity Bank, Arusha, which no table knows, 250,000.
// - MH008 Ally, Said: CRDB Bank, Tukuyu (03 102), 14 digits, 320,000.
// The organisation banks with CRDB Bank, Tukuyu, account "015-2299-001".
struct BankFileFixture : ReportFixture {
    void SetUp() override {
        ReportFixture::SetUp();
        if (HasFatalFailure())
            return;
        makeBanks();
        addPayee("MH006", "Njau", "Peter", "NMB Bank", "Mbeya", "01-234 567", 456789);
        addPayee("MH007", "Otieno", "Mary", "Equity Bank", "Arusha", "0011223344", 250000);
        addPayee("MH008", "Ally", "Said", "CRDB Bank", "Tukuyu", "12345678901234", 320000);
        if (HasFatalFailure())
            return;
        org.bankName = "CRDB Bank";
        org.branchName = "Tukuyu";
        org.accountNum = "015-2299-001";
        ui.clear();
    }

    static void addRow(engine::Data4& d, std::vector<std::pair<const char*, const char*>> columns) {
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        for (const auto& [column, value] : columns)
            d.field(column)->assign(value);
        ASSERT_EQ(d.append(), engine::r4success);
    }

    void makeBanks() {
        database::BANKSDB banks(code, folder);
        ASSERT_TRUE(banks.newBankFile(ui));
        ASSERT_TRUE(banks.newBranchFile(ui));
        ASSERT_TRUE(banks.openFiles());
        addRow(*banks.bankData(), {{"NAME", "CRDB Bank"}, {"CODE", "03"}});
        addRow(*banks.bankData(), {{"NAME", "NMB Bank"}, {"CODE", "12"}});
        addRow(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Mbeya"}, {"CODE", "101"}});
        addRow(*banks.branchData(), {{"BANK", "CRDB Bank"}, {"NAME", "Tukuyu"}, {"CODE", "102"}});
        addRow(*banks.branchData(), {{"BANK", "NMB Bank"}, {"NAME", "Mbeya"}, {"CODE", "201"}});
        banks.closeFiles();
    }

    // A salaried employee paid by bank, with no tax nor NSSF: net pay is
    // the salary.
    void addPayee(const std::string& empNum, const std::string& lastName,
                  const std::string& otherNames, const std::string& bank, const std::string& branch,
                  const std::string& account, double salary) {
        addEmployee(empNum, lastName, otherNames);
        Employee e = salim();
        e.rec.empNum = empNum;
        e.rec.lastName = lastName;
        e.rec.otherNames = otherNames;
        e.rec.hoursPerDay = 8;
        e.rec.hoursPerMonth = 176;
        e.rec.salary = salary;
        e.rec.payMethod = common::kPayByBankTransfer;
        e.rec.bankName = bank;
        e.rec.branchName = branch;
        e.rec.accountNum = account;
        hire(e);
    }

    common::REPORTPARAM bankParam(std::int32_t reportType,
                                  const std::string& fieldName = "Net Pay") const {
        common::REPORTPARAM param = common::newReportParam(reportType, org);
        param.fieldName = fieldName;
        param.processDate = common::date{2025, 28, 3};
        return param;
    }

    // A bank file read and ordered as the main program does it.
    std::unique_ptr<BANKFILE> readBankFile(std::int32_t reportType,
                                           const std::string& fieldName = "Net Pay") {
        auto file = newBankFile(ui, code, folder, bankParam(reportType, fieldName));
        if (!file || !file->readFile(org))
            return nullptr;
        file->sortByName();
        return file;
    }

    std::string exportPath(const std::string& name) const {
        std::filesystem::create_directories(dir.file("exports"));
        return dir.file("exports/" + name);
    }

    // Saves to `name` in the exports folder; the file's bytes, or "" when
    // none was written.
    std::string saveAs(BANKFILE& file, const std::string& name, bool& saved) {
        const std::string path = exportPath(name);
        ui.choices.push_back(path);
        saved = file.save(org);
        return std::filesystem::exists(path) ? bytesOf(path) : std::string();
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages)
            texts.push_back(m.text);
        return texts;
    }
};

} // namespace kelo::payrunreports::testing
