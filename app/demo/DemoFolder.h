#pragma once

#include "common/Ui.h"

#include <string>

namespace kelo::demo {

// What the demo folder is made of, for whoever shows or checks it.
inline constexpr const char* kDemoPassword = "kelo2026"; // every user's
inline constexpr const char* kDemoOrganisation = "Mbeya Highland Tea Estates Ltd";
inline constexpr const char* kDemoMonth = "November";
inline constexpr int kDemoYear = 2026;

// Builds a complete data folder to try the program on: users, one tea
// estate with its lists, pay items and forty employees on all four pay
// frequencies, and their transactions for the first month. Everything goes
// through the libraries' own operations, as the program itself would make
// it. `folder` is absolute and must not exist or be empty; `sourceFolder`
// holds the shipped statutory tables. False at the first step that fails,
// after `ui` has been told why; whatever was made by then is removed, and a
// folder that was refused is left as it was.
bool buildDemoFolder(common::Ui& ui, const std::string& folder, const std::string& sourceFolder);

} // namespace kelo::demo
