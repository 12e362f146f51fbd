#include "engine/IndexFile.h"

#include "engine/TableFile.h"

#include <cctype>
#include <sstream>

namespace kelo::engine {

namespace {
constexpr const char* signature = "KELO-INDEX 1";

bool plainText(const std::string& text) {
    for (char c : text) {
        if (c == '\t' || c == '\n' || c == '\r' || c == '\0')
            return false;
    }
    return true;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return parts;
        start = tab + 1;
    }
}
} // namespace

std::string IndexFile::pathFor(const std::string& tablePath) {
    return companionPath(tablePath, "cdx");
}

bool IndexFile::valid(const Tag4Info& tag) {
    return !tag.name.empty() && plainText(tag.name) && plainText(tag.expression) &&
           plainText(tag.filter);
}

bool IndexFile::write(const std::string& path, const std::vector<Tag4Info>& tags) {
    std::string out = std::string(signature) + "\n";
    for (const Tag4Info& tag : tags) {
        out += "TAG\t" + tag.name + "\t" + (tag.unique ? "1" : "0") + "\t" +
               (tag.descending ? "1" : "0") + "\t" + tag.expression + "\t" + tag.filter + "\n";
    }
    out += "END\n";
    return writeFileAtomically(path, out);
}

bool IndexFile::read(const std::string& path, std::vector<Tag4Info>& tags, std::string& error) {
    tags.clear();
    if (!fileExists(path))
        return true;
    std::string contents;
    if (!readWholeFile(path, contents)) {
        error = "cannot read index file";
        return false;
    }
    std::istringstream in(contents);
    std::string line;
    if (!std::getline(in, line) || line != signature) {
        error = "index file has no valid signature";
        return false;
    }
    while (std::getline(in, line)) {
        if (line == "END")
            return true;
        const auto parts = splitTabs(line);
        if (parts.size() != 6 || parts[0] != "TAG" || parts[1].empty() ||
            (parts[2] != "0" && parts[2] != "1") || (parts[3] != "0" && parts[3] != "1")) {
            error = "index file is damaged";
            return false;
        }
        tags.push_back({parts[1], parts[4], parts[5], parts[2] == "1", parts[3] == "1"});
    }
    error = "index file is cut short";
    return false;
}

} // namespace kelo::engine
