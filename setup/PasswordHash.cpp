#include "setup/PasswordHash.h"

#include <array>
#include <charconv>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace kelo::setup {

namespace {
constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr int kIterations = 100'000;
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;

std::string toHex(const unsigned char* bytes, std::size_t length) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0xF]);
    }
    return out;
}

bool fromHex(std::string_view hex, std::string& out) {
    if (hex.size() % 2 != 0)
        return false;
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto result = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (result.ec != std::errc() || result.ptr != hex.data() + i + 2)
            return false;
        out.push_back(static_cast<char>(value));
    }
    return true;
}

bool derive(std::string_view password, const std::string& salt, int iterations,
            std::array<unsigned char, kHashBytes>& hash) {
    return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                             reinterpret_cast<const unsigned char*>(salt.data()),
                             static_cast<int>(salt.size()), iterations, EVP_sha256(),
                             static_cast<int>(hash.size()), hash.data()) == 1;
}
} // namespace

std::string hashPassword(std::string_view password) {
    if (password.empty())
        return {};
    std::array<unsigned char, kSaltBytes> salt{};
    std::array<unsigned char, kHashBytes> hash{};
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1)
        return {};
    const std::string saltBytes(reinterpret_cast<const char*>(salt.data()), salt.size());
    if (!derive(password, saltBytes, kIterations, hash))
        return {};
    return std::string(kScheme) + "$" + std::to_string(kIterations) + "$" +
           toHex(salt.data(), salt.size()) + "$" + toHex(hash.data(), hash.size());
}

bool verifyPassword(std::string_view typed, std::string_view stored) {
    if (stored.empty())
        return typed.empty();
    // scheme$iterations$salt$hash
    const auto first = stored.find('$');
    const auto second = stored.find('$', first + 1);
    const auto third = stored.find('$', second + 1);
    if (first == std::string_view::npos || second == std::string_view::npos ||
        third == std::string_view::npos || stored.substr(0, first) != kScheme)
        return false;
    int iterations = 0;
    const std::string_view count = stored.substr(first + 1, second - first - 1);
    const auto parsed = std::from_chars(count.data(), count.data() + count.size(), iterations);
    std::string salt;
    std::string expected;
    if (parsed.ec != std::errc() || iterations < 1 || iterations > 10'000'000 ||
        !fromHex(stored.substr(second + 1, third - second - 1), salt) ||
        !fromHex(stored.substr(third + 1), expected) || expected.size() != kHashBytes)
        return false;
    std::array<unsigned char, kHashBytes> hash{};
    if (!derive(typed, salt, iterations, hash))
        return false;
    return CRYPTO_memcmp(hash.data(), expected.data(), kHashBytes) == 0;
}

} // namespace kelo::setup
