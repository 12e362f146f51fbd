#include "engine/MemoFile.h"

#include "engine/DbfHeader.h"
#include "engine/TableCipher.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kelo::engine {

namespace {
constexpr std::uint64_t memoLockByte = lockbyte::header;
constexpr std::uint32_t typePicture = 0;
constexpr std::uint32_t typeText = 1;
constexpr std::uint32_t maxMemoLength = 256u << 20;
} // namespace

std::string MemoFile::pathFor(const std::string& tablePath) {
    return companionPath(tablePath, "fpt");
}

bool MemoFile::createEmpty(const std::string& path) {
    std::string header(headerSize, '\0');
    writeBE32(header.data(), headerSize / defaultBlockSize);
    header[6] = static_cast<char>(defaultBlockSize >> 8);
    header[7] = static_cast<char>(defaultBlockSize & 0xFF);
    return writeFileAtomically(path, header);
}

bool MemoFile::open(const std::string& path, bool writable, std::string& error) {
    if (!file_.open(path, writable)) {
        error = "memo file missing: " + path;
        return false;
    }
    std::array<char, 8> header{};
    if (file_.size() < headerSize || !file_.readAt(0, header.data(), header.size())) {
        error = "memo file too short: " + path;
        file_.close();
        return false;
    }
    blockSize_ = static_cast<std::uint32_t>(static_cast<unsigned char>(header[6]) << 8 |
                                            static_cast<unsigned char>(header[7]));
    if (blockSize_ == 0) {
        error = "memo file has no block size: " + path;
        file_.close();
        return false;
    }
    return true;
}

bool MemoFile::read(std::uint32_t block, std::string& out, const TableCipher* cipher) const {
    out.clear();
    if (block == 0)
        return true;
    const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
    const std::uint64_t fileSize = file_.size();
    std::array<char, 8> head{};
    if (offset < headerSize || offset + head.size() > fileSize ||
        !file_.readAt(offset, head.data(), head.size()))
        return false;
    const std::uint32_t length = readBE32(head.data() + 4);
    if (length > maxMemoLength || offset + head.size() + length > fileSize)
        return false;
    out.resize(length);
    if (length > 0 && !file_.readAt(offset + head.size(), out.data(), length))
        return false;
    if (cipher)
        cipher->decrypt(TableCipher::memoUnitBase + block, out.data(), out.size());
    return true;
}

bool MemoFile::append(const std::string& data, bool binary, const TableCipher* cipher,
                      std::uint32_t& block) {
    block = 0;
    if (data.empty())
        return true;
    if (data.size() > maxMemoLength)
        return false;
    if (!file_.lockWait(memoLockByte, 1))
        return false;
    bool ok = false;
    std::array<char, 4> next{};
    if (file_.readAt(0, next.data(), next.size())) {
        block = readBE32(next.data());
        const std::uint64_t endBlock = (file_.size() + blockSize_ - 1) / blockSize_;
        if (block < headerSize / blockSize_ || block < endBlock)
            block = static_cast<std::uint32_t>(
                std::max<std::uint64_t>(endBlock, headerSize / blockSize_));
        std::string bytes(8, '\0');
        writeBE32(bytes.data(), binary ? typePicture : typeText);
        writeBE32(bytes.data() + 4, static_cast<std::uint32_t>(data.size()));
        bytes += data;
        if (cipher)
            cipher->encrypt(TableCipher::memoUnitBase + block, bytes.data() + 8, data.size());
        const std::uint64_t offset = static_cast<std::uint64_t>(block) * blockSize_;
        const std::uint32_t used =
            static_cast<std::uint32_t>((bytes.size() + blockSize_ - 1) / blockSize_);
        bytes.resize(static_cast<std::size_t>(used) * blockSize_, '\0');
        writeBE32(next.data(), block + used);
        ok = file_.writeAt(offset, bytes.data(), bytes.size()) &&
             file_.writeAt(0, next.data(), next.size());
    }
    file_.unlock(memoLockByte, 1);
    if (!ok)
        block = 0;
    return ok;
}

} // namespace kelo::engine
