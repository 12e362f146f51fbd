#pragma once

#include <string>

namespace kelo::procedures {

// Copies the folder `from` with everything in it to `to` (made afresh) and
// flushes every copied file and folder to the disk; false when any part
// failed.
bool copyTreeDurably(const std::string& from, const std::string& to);

// Flushes every file and folder under `folder`, and the folder itself, to
// the disk; false when any of them could not be.
bool syncTree(const std::string& folder);

} // namespace kelo::procedures
