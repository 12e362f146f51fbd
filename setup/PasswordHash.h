#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelo::setup {

// Passwords are kept as salted PBKDF2-HMAC-SHA256 hashes written as text,
// "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>", 118 characters in all.
// An empty stored value means the password was never set.
inline constexpr std::string_view kPasswordScheme = "pbkdf2-sha256";
inline constexpr int kPasswordIterations = 100'000;
inline constexpr std::size_t kPasswordSaltBytes = 16;
inline constexpr std::size_t kPasswordHashBytes = 32;

// A fresh salt every time, so equal passwords give different texts. Empty
// for an empty password, and when the system's random source or the hash
// fails: callers must not store an empty result for a typed password.
std::string hashPassword(std::string_view password);
// True when `typed` is the password `stored` was made from: exact and
// case-sensitive, compared in constant time. An empty stored value matches
// only an empty password; a value of any other form matches nothing.
bool verifyPassword(std::string_view typed, std::string_view stored);

} // namespace kelo::setup
