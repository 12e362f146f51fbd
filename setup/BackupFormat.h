#pragma once

#include "common/OrgRecords.h"
#include "engine/Field4.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What the backup writer and the restore reader agree on beyond the tagged
// file syntax itself.
namespace kelo::setup::backupformat {

inline constexpr const char* FileBlock = "file";
inline constexpr const char* FileId = "fileid";
inline constexpr const char* Header = "header";
inline constexpr const char* Fields = "fields";
inline constexpr const char* Tags = "tags";
inline constexpr const char* Records = "records";
inline constexpr const char* Item = "item";
inline constexpr const char* Checksum = "checksum";
inline constexpr const char* OrgTablePath = "..\\system\\settings\\org.dbf";
inline constexpr const char* OrgBlockVersion = "4.2";

// The organisation block's item: ORGREC in field order.
inline constexpr std::size_t kOrgValueCount = 32;
std::vector<std::string> orgValues(const common::ORGREC& org);
// False when a value is missing or a number does not read.
bool orgFromValues(const std::vector<std::string>& values, common::ORGREC& org);

// Backslashes, as backups name files whichever system wrote them.
std::string storedPath(std::string_view path);
// A path a restore may write: relative, inside the organisation's folder
// (no "..", no root, no drive) and naming a file.
bool isSafeRelativePath(std::string_view path);

// Numbers as the records block holds them ("%d", "%f"); blanks around them
// are allowed.
bool parseInt(std::string_view text, int& out);
bool parseDouble(std::string_view text, double& out);

// The text of a value with blanks removed at both ends.
std::string_view trimBlanks(std::string_view text);

// A value as a records block holds it can be put into `field` without being
// cut, rounded away or read as something else: text no longer than the
// column, numbers that read and fit the width with their decimals, logical
// letters, dates YYYYMMDD (a part not known may be 00).
bool valueFits(const engine::Field4Info& field, std::string_view value);

// SHA-256 as 64 lower-case hex digits; empty when libcrypto fails.
std::string sha256Hex(std::string_view bytes);
// The same over a file's bytes; empty when it cannot be read.
std::string fileSha256Hex(const std::string& path);

// Each disk ends with a checksum group, \checksum{hex}, over every byte
// before it, then its terminator. Disks written before checksums existed end
// with a file block's end and the terminator.
enum class Seal { Valid, Missing, Broken };
Seal checkSeal(std::string_view disk);

} // namespace kelo::setup::backupformat
