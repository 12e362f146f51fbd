#include "common/WorkingFolder.h"

#include <cctype>
#include <filesystem>

namespace kelo::common {

namespace {
std::string slashes(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '\\')
            c = '/';
    }
    return out;
}
} // namespace

WorkingFolder::WorkingFolder(std::string_view dataFolder)
    : dataFolder_(normalise(dataFolder)),
      current_(dataFolder_ + "/system") {}

std::string WorkingFolder::normalise(std::string_view path) {
    std::string out = std::filesystem::path(slashes(path)).lexically_normal().generic_string();
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out.empty() ? "." : out;
}

void WorkingFolder::moveTo(std::string_view folder) {
    current_ = resolve(folder);
}

void WorkingFolder::moveToSystem() {
    current_ = dataFolder_ + "/system";
}

std::string WorkingFolder::resolve(std::string_view relative) const {
    const std::string path = slashes(relative);
    if (!path.empty() && path.front() == '/')
        return normalise(path);
    return normalise(current_ + "/" + path);
}

std::string WorkingFolder::yearFile(int year, std::string_view name) const {
    return resolve(std::to_string(year) + "/" + std::string(name));
}

std::string WorkingFolder::statutoryFile(int fiscalYear, std::string_view name) const {
    return resolve("../system/" + std::to_string(fiscalYear) + "/" + std::string(name));
}

bool WorkingFolder::samePath(std::string_view a, std::string_view b) {
    const std::string x = slashes(a);
    const std::string y = slashes(b);
    if (x.size() != y.size())
        return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(x[i])) !=
            std::tolower(static_cast<unsigned char>(y[i])))
            return false;
    }
    return true;
}

} // namespace kelo::common
