#pragma once

#include "common/WorkingFolder.h"
#include "engine/Code4.h"
#include "payrunreports/CoinCount.h"

#include <cstdint>
#include <string_view>

namespace kelo::payrunreports {

// The option `key` stored under report `id`; 0 when the table holds none.
// The muster roll and the control account run as reports 204 and 201 while
// the options dialogs keep their options under 32 and 33, so they cannot ask
// by their own report type.
int reportOption(engine::Code4& code, const common::WorkingFolder& folder, std::int32_t id,
                 std::string_view key);

// The notes and coins the cash list and the coinage summary count in, as
// chosen in the cash list's options; both reports pay out the same cash.
Denominations paidDenominations(engine::Code4& code, const common::WorkingFolder& folder);

} // namespace kelo::payrunreports
