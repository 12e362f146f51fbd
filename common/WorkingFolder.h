#pragma once

#include <string>
#include <string_view>

namespace kelo::common {

// The one place that knows where the data lives. Every table and file is
// addressed by a path relative to the working folder: the data folder's
// "system" folder while no organisation is open, the organisation's folder
// once one is. Opening an organisation moves the working folder; nothing
// changes the process's current directory.
class WorkingFolder {
public:
    WorkingFolder() = default;
    // `dataFolder` is absolute; the working folder starts at its "system".
    explicit WorkingFolder(std::string_view dataFolder);

    const std::string& dataFolder() const { return dataFolder_; }
    const std::string& current() const { return current_; }
    bool isSet() const { return !current_.empty(); }

    // Moves to a folder given relative to the current one ("../org03") or
    // absolute.
    void moveTo(std::string_view folder);
    void moveToSystem();

    // The absolute path of `relative` ("database/static.dbf",
    // "..\\system\\settings\\org.dbf"); backslashes count as slashes and "."
    // and ".." are folded. Absolute paths pass through, normalised.
    std::string resolve(std::string_view relative) const;
    // A file of an organisation's calendar-year folder: "%d/%s".
    std::string yearFile(int year, std::string_view name) const;
    // A statutory table of a fiscal year: "../system/%d/%s".
    std::string statutoryFile(int fiscalYear, std::string_view name) const;

    // Stored paths compare without regard to case, with '\\' and '/' alike.
    static bool samePath(std::string_view a, std::string_view b);
    static std::string normalise(std::string_view path);

private:
    std::string dataFolder_;
    std::string current_;
};

} // namespace kelo::common
