#pragma once

#include "common/DialogView.h"
#include "database/LookupTable.h"

#include <optional>
#include <vector>

namespace kelo::database {

// An administrative unit and the unit above it (0 for a top-level unit).
struct UNITREC {
    long code = 0;
    std::string name;
    long parent = 0;
    friend bool operator==(const UNITREC&, const UNITREC&) = default;
};

// The administrative units of an organisation (settings/units.dbf), a tree
// through each unit's parent code. The tree is walked defensively: a parent
// that does not exist ends a walk, and a unit met twice (a loop made by
// someone else's edits) ends it too.
class UNITSDB : public LookupTable {
public:
    static constexpr const char* kPath = "settings/units.dbf";
    static constexpr const char* kName = "NAME";
    static constexpr const char* kParent = "PARENT";
    static constexpr const char* kParentTag = "PARENT";

    UNITSDB(engine::Code4& code, const common::WorkingFolder& folder);

    Schema schema() const override;

    // Empty for an unknown code.
    std::string getUnitName(long code) { return nameOf(code); }
    // 0 for an unknown name; names compare without regard to case.
    long getUnitCode(std::string_view name) { return codeOf(name); }
    bool getUnitRec(long code, UNITREC& rec);
    // Every unit in the order last selected.
    std::vector<UNITREC> units();
    bool hasSubUnits(long code);

    // The fully qualified name: the unit's name, then each ancestor's name up
    // to the top, each preceded by "." ("A.B.C" for A under B under C).
    // Empty for an unknown code.
    std::string getUnitPath(long code);
    // The unit is `ancestor` itself or lies somewhere below it.
    bool isChildUnit(long unit, long ancestor);

    // Fills the tree control with the units in name order, each under the
    // unit above it; the item codes are the unit codes. A unit whose parent
    // is missing, or which sits in a loop, is shown at the top so that no
    // unit is hidden. A single top-level unit is expanded.
    void displayUnits(common::DialogView& view, std::string_view control);
    // The code of the selected unit, 0 when none is selected.
    static long getSelUnitCode(const common::DialogView& view, std::string_view control);
    // Moves the table to the selected unit's row; false when none is
    // selected or its row is gone.
    bool gotoSelUnit(const common::DialogView& view, std::string_view control);
    // Selects the item of the unit with this code; false when the tree has
    // none.
    static bool selectUnit(common::DialogView& view, std::string_view control, long code);

    UNITREC currentRec() const;
    // Appends a unit under the next code, which is stored in `rec.code`.
    bool appendRecord(UNITREC& rec);
};

} // namespace kelo::database
