#pragma once

#include "engine/Tag4.h"

#include <string>
#include <vector>

namespace kelo::engine {

// The tag definitions of a table, kept in a small text file beside it with
// the compound-index name the data folder expects. Keys themselves live in
// memory and are rebuilt from the records.
class IndexFile {
public:
    static std::string pathFor(const std::string& tablePath);
    // A missing file means a table without tags.
    static bool read(const std::string& path, std::vector<Tag4Info>& tags, std::string& error);
    static bool write(const std::string& path, const std::vector<Tag4Info>& tags);
    // Names and expressions must survive the line format.
    static bool valid(const Tag4Info& tag);
};

} // namespace kelo::engine
