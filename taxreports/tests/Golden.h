#pragma once

#include "payrunreports/tests/GoldenFile.h"
#include "payrunreports/tests/ReadableView.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kelo::taxreports::testing {

using payrunreports::testing::bytesOf;
using payrunreports::testing::readableView;
using payrunreports::testing::writeBytes;

// Compares with the golden file under tests/golden.
inline void expectGolden(const std::string& actual, const std::string& name) {
    payrunreports::testing::expectGoldenIn(std::filesystem::path(__FILE__).parent_path() / "golden",
                                           actual, name);
}

} // namespace kelo::taxreports::testing
