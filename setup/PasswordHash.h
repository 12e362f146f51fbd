#pragma once

#include <string>
#include <string_view>

namespace kelo::setup {

// Passwords are kept as salted PBKDF2-HMAC-SHA256 hashes, written as
// "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>". An empty stored value
// means the password was never set.
std::string hashPassword(std::string_view password);
// True when `typed` is the password `stored` was made from; exact and
// case-sensitive. An empty stored value matches only an empty password.
bool verifyPassword(std::string_view typed, std::string_view stored);

} // namespace kelo::setup
