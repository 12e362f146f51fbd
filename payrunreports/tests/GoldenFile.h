#pragma once

#include "payrunreports/tests/ReadableView.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kelo::payrunreports::testing {

// Compares with the golden file `name` under `goldenDir`;
// KELO_UPDATE_GOLDEN=1 accepts the output as the new golden file.
inline void expectGoldenIn(const std::filesystem::path& goldenDir, const std::string& actual,
                           const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path golden = goldenDir / name;
    const char* update = std::getenv("KELO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1")
        writeBytes(golden.string(), actual);
    if (actual != bytesOf(golden.string())) {
        writeBytes((fs::current_path() / name).string(), actual);
        ADD_FAILURE() << "differs from " << golden << "; the output is in "
                      << (fs::current_path() / name) << " (KELO_UPDATE_GOLDEN=1 accepts it)";
    }
}

} // namespace kelo::payrunreports::testing
