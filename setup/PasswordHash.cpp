#include "setup/PasswordHash.h"

#include <array>
#include <charconv>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <vector>

namespace kelo::setup {

namespace {
// A stored count beyond this is refused rather than computed for minutes.
constexpr int kMaxIterations = 10'000'000;

using Hash = std::array<unsigned char, kPasswordHashBytes>;

std::string toHex(const unsigned char* bytes, std::size_t length) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0xF]);
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool fromHex(std::string_view hex, std::vector<unsigned char>& out) {
    if (hex.size() % 2 != 0)
        return false;
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return true;
}

bool derive(std::string_view password, const unsigned char* salt, std::size_t saltLength,
            int iterations, Hash& hash) {
    return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt,
                             static_cast<int>(saltLength), iterations, EVP_sha256(),
                             static_cast<int>(hash.size()), hash.data()) == 1;
}

// The parts of "scheme$iterations$salt$hash"; false for any other form.
bool parse(std::string_view stored, int& iterations, std::vector<unsigned char>& salt,
           std::vector<unsigned char>& hash) {
    std::array<std::string_view, 4> parts;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto end = i + 1 < parts.size() ? stored.find('$') : stored.size();
        if (end == std::string_view::npos)
            return false;
        parts[i] = stored.substr(0, end);
        stored.remove_prefix(end == stored.size() ? end : end + 1);
    }
    if (parts[0] != kPasswordScheme)
        return false;
    const auto parsed =
        std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), iterations);
    return parsed.ec == std::errc() && parsed.ptr == parts[1].data() + parts[1].size() &&
           iterations >= 1 && iterations <= kMaxIterations && fromHex(parts[2], salt) &&
           salt.size() == kPasswordSaltBytes && fromHex(parts[3], hash) &&
           hash.size() == kPasswordHashBytes;
}
} // namespace

std::string hashPassword(std::string_view password) {
    if (password.empty())
        return {};
    std::array<unsigned char, kPasswordSaltBytes> salt{};
    Hash hash{};
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1 ||
        !derive(password, salt.data(), salt.size(), kPasswordIterations, hash))
        return {};
    return std::string(kPasswordScheme) + "$" + std::to_string(kPasswordIterations) + "$" +
           toHex(salt.data(), salt.size()) + "$" + toHex(hash.data(), hash.size());
}

bool verifyPassword(std::string_view typed, std::string_view stored) {
    if (stored.empty())
        return typed.empty();
    int iterations = 0;
    std::vector<unsigned char> salt;
    std::vector<unsigned char> expected;
    Hash hash{};
    if (!parse(stored, iterations, salt, expected) ||
        !derive(typed, salt.data(), salt.size(), iterations, hash))
        return false;
    return CRYPTO_memcmp(hash.data(), expected.data(), hash.size()) == 0;
}

} // namespace kelo::setup
