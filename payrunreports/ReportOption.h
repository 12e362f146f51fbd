#pragma once

#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <cstdint>
#include <string_view>

namespace kelo::payrunreports {

// The option `key` stored under report `id`; 0 when the table holds none.
// The muster roll and the control account run as reports 204 and 201 while
// the options dialogs keep their options under 32 and 33, so they cannot ask
// by their own report type.
int reportOption(engine::Code4& code, const common::WorkingFolder& folder, std::int32_t id,
                 std::string_view key);

} // namespace kelo::payrunreports
