#include "engine/TableCipher.h"

#include <cstring>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

namespace kelo::engine {

struct TableCipher::Contexts {
    EVP_CIPHER_CTX* xtsEncrypt = EVP_CIPHER_CTX_new();
    EVP_CIPHER_CTX* xtsDecrypt = EVP_CIPHER_CTX_new();
    EVP_CIPHER_CTX* ctr = EVP_CIPHER_CTX_new();
    bool ok = false;

    Contexts() = default;
    Contexts(const Contexts&) = delete;
    Contexts& operator=(const Contexts&) = delete;
    ~Contexts() {
        EVP_CIPHER_CTX_free(xtsEncrypt);
        EVP_CIPHER_CTX_free(xtsDecrypt);
        EVP_CIPHER_CTX_free(ctr);
    }
};

TableCipher::TableCipher(const Key& key, std::uint32_t salt)
    : contexts_(std::make_unique<Contexts>()),
      salt_(salt) {
    // XTS takes two independent AES keys; derive them from the folder key.
    unsigned char derived[SHA512_DIGEST_LENGTH];
    std::array<unsigned char, 32 + 8> material{};
    std::memcpy(material.data(), key.data(), key.size());
    std::memcpy(material.data() + 32, "kelo-xts", 8);
    SHA512(material.data(), material.size(), derived);
    Contexts& c = *contexts_;
    c.ok = c.xtsEncrypt && c.xtsDecrypt && c.ctr &&
           EVP_EncryptInit_ex(c.xtsEncrypt, EVP_aes_256_xts(), nullptr, derived, nullptr) == 1 &&
           EVP_DecryptInit_ex(c.xtsDecrypt, EVP_aes_256_xts(), nullptr, derived, nullptr) == 1 &&
           EVP_EncryptInit_ex(c.ctr, EVP_aes_256_ctr(), nullptr, key.data(), nullptr) == 1;
    OPENSSL_cleanse(derived, sizeof derived);
}

TableCipher::~TableCipher() = default;

bool TableCipher::valid() const {
    return contexts_ && contexts_->ok;
}

void TableCipher::encrypt(std::uint64_t unit, char* data, std::size_t length) const {
    crypt(true, unit, data, length);
}

void TableCipher::decrypt(std::uint64_t unit, char* data, std::size_t length) const {
    crypt(false, unit, data, length);
}

void TableCipher::crypt(bool encrypting, std::uint64_t unit, char* data, std::size_t length) const {
    if (length == 0 || !valid())
        return;
    unsigned char tweak[16] = {};
    std::memcpy(tweak, &unit, sizeof unit);
    std::memcpy(tweak + 8, &salt_, sizeof salt_);
    auto* bytes = reinterpret_cast<unsigned char*>(data);
    int produced = 0;
    const int n = static_cast<int>(length);
    if (length >= 16) {
        EVP_CIPHER_CTX* ctx = encrypting ? contexts_->xtsEncrypt : contexts_->xtsDecrypt;
        if (encrypting) {
            EVP_EncryptInit_ex(ctx, nullptr, nullptr, nullptr, tweak);
            EVP_EncryptUpdate(ctx, bytes, &produced, bytes, n);
        } else {
            EVP_DecryptInit_ex(ctx, nullptr, nullptr, nullptr, tweak);
            EVP_DecryptUpdate(ctx, bytes, &produced, bytes, n);
        }
        return;
    }
    tweak[15] = 0x5A; // keeps short units' counters apart from XTS tweaks
    EVP_EncryptInit_ex(contexts_->ctr, nullptr, nullptr, nullptr, tweak);
    EVP_EncryptUpdate(contexts_->ctr, bytes, &produced, bytes, n);
}

std::array<std::uint8_t, 4> TableCipher::keyCheck(const Key& key, std::uint32_t salt) {
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macLength = 0;
    std::array<unsigned char, 20> message{};
    std::memcpy(message.data(), "kelo-table-key-", 15);
    std::memcpy(message.data() + 16, &salt, sizeof salt);
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), message.data(), message.size(),
         mac, &macLength);
    return {mac[0], mac[1], mac[2], mac[3]};
}

std::uint32_t TableCipher::randomSalt() {
    std::uint32_t salt = 0;
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&salt), sizeof salt) != 1)
        salt = 0x9E3779B9u;
    return salt;
}

} // namespace kelo::engine
