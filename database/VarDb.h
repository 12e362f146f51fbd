#pragma once

#include "common/PayRecords.h"
#include "database/DbTable.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kelo::database {

// The identifiers that name the columns of each table's user items ("E5Act"
// for the earning with identifier 5), in definition order. An identifier is
// unique within its table and never reused, so an item keeps its columns
// when others are added or deleted.
using PayItemIds = std::array<std::vector<std::int32_t>, common::kFieldsTableCount>;

// Identifiers by position for definitions that carry none: the built-in
// items count first ("Basic Pay" 1 and "Overtime" 2 of the earnings, "Rent" 1
// of the deductions), so the user items are numbered as a fresh definitions
// file numbers them.
PayItemIds positionalItemIds(const common::PayItemDefs& defs);
// Each definition's own identifier, or its positional one when it has none.
PayItemIds itemIdsOf(const common::PayItemDefs& defs);

// The transactions table columns of one user item of `table` with
// identifier `id`: "%c%dAct" (logical) always; "%c%dAmt" (double) when the
// amount is keyed or set by the form ("Key in", "Amortise", and any function
// that behaves as "Key in"); then "%c%dP1".. for the parameters its
// PayItem carries: hours F, hourly rate B; pension employer contribution and
// both balances B; co-op balance B; loan balance B, rate F, payments I,
// new-loan flag L, taxable benefit L; bank loan payments I, flag L, bank,
// branch and loan number C 24; savings balance B, rate F; cost recovery
// balance B, paid-off count I, new-recovery flag L. Letters by table: E, D,
// B, L, R.
std::vector<engine::Field4Info> payItemColumns(common::FIELDSTABLE table, std::int32_t id,
                                               const common::PayItemDef& def);

// The payroll transactions table of one pay frequency (database/monpay.dbf,
// wkpay.dbf, bwkpay.dbf, irrpay.dbf): one row per employee with every field
// of VARIATIONSREC but its record number and definition references, then the
// columns of each user item. The item columns follow the frequency's pay
// item definitions, which the table class is given (setDefinitions) before
// records are built, read or written.
class VARDB : public DbTable {
public:
    static constexpr const char* kEmpNum = "EMPNO";
    static constexpr const char* kRemoved = "REMOVED";
    static constexpr const char* kLumpSumTax = "LumpSumTax";
    // Both on UPPER(EMPNO), sought with the employee key. The second holds
    // only the employees on the payroll: records neither removed nor
    // deleted. The period count (getNotProcdCnt), the transactions form's
    // relation and the period reports go through it.
    static constexpr const char* kEmpNumTag = "EmpNoTag";
    static constexpr const char* kEmpNumTag2 = "EmpNoTag2";
    static constexpr const char* kPayrollFilter = ".NOT. REMOVED .AND. .NOT. DELETED()";

    VARDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    // The definitions of the frequency worked on, with the identifiers of
    // their items (itemIdsOf when not given). False, keeping the previous
    // ones, when the identifiers do not match the definitions (count, or not
    // positive and unique within a table), or when the open table lacks a
    // column they need (engine error e4parm or e4field).
    bool setDefinitions(common::PayItemDefs defs);
    bool setDefinitions(common::PayItemDefs defs, PayItemIds ids);
    const common::PayItemDefs& definitions() const { return defs_; }
    const PayItemIds& itemIds() const { return ids_; }

    // The table of `payFreq`, opened shared or exclusively; false when it
    // cannot be opened or lacks a column of the schema.
    bool openFile(common::PAYFREQ payFreq, bool exclusive = false);
    // Creates the table of `payFreq` empty, with the columns of the current
    // definitions.
    bool createFile(common::Ui& ui, common::PAYFREQ payFreq);
    common::PAYFREQ payFreq() const { return payFreq_; }

    // Sort-order selectors; false when the table is not open.
    bool orderByEmpNum1() const { return order(kEmpNumTag); }
    bool orderByEmpNum2() const { return order(kEmpNumTag2); }
    // Moves to the employee's record (removed ones too; the order stays as
    // selected); false, at end of file, when there is none.
    bool seekEmpNum(std::string_view empNum);

    // The current row as a record built from the definitions, its items in
    // definition order; false when there is no current row.
    bool initRec(common::VARIATIONSREC& rec) const;
    // Appends the record as a new row, which becomes current.
    bool appendRec(const common::VARIATIONSREC& rec);
    // Writes the record into the current row.
    //
    // Both write at once and need the record's five item lists to match the
    // definitions in length (else e4parm and nothing is written). False when
    // the row cannot be written (another user holds it, the table is locked
    // or not open): the engine's error code says why, the stored row is
    // unchanged and the current row is read again.
    bool updateFields(const common::VARIATIONSREC& rec);

    // Puts the record's values into the current row buffer of `table`, a
    // table with this schema that is not necessarily the one open here (a
    // rebuild's work table). False when a column is missing.
    bool storeInto(engine::Data4& table, const common::VARIATIONSREC& rec) const;

private:
    // Where one item's columns stand: Act, then Amt when stored, then the
    // parameters.
    struct ItemLayout {
        std::vector<engine::Field4Info> columns;
        int firstPosition = 0; // 1-based, where the schema puts the Act column
        bool hasAmount = false;
        common::PayItemParams fresh; // the parameters of a new item
    };
    using Layouts = std::array<std::vector<ItemLayout>, common::kFieldsTableCount>;

    static Layouts layoutsFor(const common::PayItemDefs& defs, const PayItemIds& ids);
    bool hasColumns(const Layouts& layouts) const;
    bool listsMatch(const common::VARIATIONSREC& rec) const;
    bool store(engine::Data4& table, const common::VARIATIONSREC& rec) const;

    common::PAYFREQ payFreq_ = common::MONTHLY;
    common::PayItemDefs defs_;
    PayItemIds ids_;
    Layouts layouts_;
};

} // namespace kelo::database
