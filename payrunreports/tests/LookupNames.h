#pragma once

#include "common/Ui.h"
#include "database/LookupTable.h"
#include "engine/Data4.h"
#include "engine/Field4.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kelo::payrunreports::testing {

// A new code list holding `names` under codes 1, 2, ... in order.
inline void addNames(common::Ui& ui, database::LookupTable& table,
                     const std::vector<std::string>& names) {
    ASSERT_TRUE(table.createFile(ui));
    ASSERT_TRUE(table.openFile());
    engine::Data4& d = *table.data();
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(d.appendStart(), engine::r4success);
        d.blank();
        d.field("CODE")->assignLong(static_cast<long>(i + 1));
        d.field(table.nameColumn())->assign(names[i]);
        ASSERT_EQ(d.append(), engine::r4success);
    }
    table.closeFile();
}

} // namespace kelo::payrunreports::testing
