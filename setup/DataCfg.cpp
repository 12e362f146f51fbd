#include "setup/DataCfg.h"

#include "common/TaggedFile.h"
#include "common/Text.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

namespace kelo::setup {

namespace {
// Bytes 8 to 31 of every folder's table key. Fixed forever: changing them
// makes every existing data folder unreadable.
constexpr std::array<unsigned char, 24> kFixedKeyTail = {
    0x4B, 0x9E, 0x21, 0xD7, 0x68, 0x0C, 0xF3, 0x5A, 0xB1, 0x37, 0xE4, 0x82,
    0x1F, 0xC6, 0x7D, 0x29, 0x93, 0x58, 0xAE, 0x04, 0x6B, 0xD0, 0x3C, 0xF5,
};
} // namespace

bool DATACFG::readFile(common::Ui& ui) {
    const std::string path = folder_.resolve(kPath);
    if (!common::checkFileId(ui, path, kPath))
        return false;
    common::TaggedReader reader(path);
    std::string version;
    int isNew = 0;
    std::array<int, 8> bytes{};
    bool ok = reader.skipFileId() && reader.findTag("item", common::TagKind::GroupStart) &&
              reader.readValue(version) && reader.readInt(isNew);
    for (int& b : bytes)
        ok = ok && reader.readInt(b);
    if (!ok) {
        ui.error("Format of " + std::string(kPath) + " is unknown.");
        return false;
    }
    dataVersion_ = version.substr(0, kVersionWidth);
    isNewDir_ = isNew;
    keyBytes_ = bytes;
    return true;
}

bool DATACFG::saveFile(common::Ui& ui) {
    common::TaggedWriter writer;
    bool ok = writer.open(folder_.resolve(kPath), common::TaggedWriter::Mode::Replace) &&
              writer.writeComment("Data configuration file") &&
              writer.writeComment(std::string("[") + kPath + "]") && writer.writeComment("") &&
              writer.writeTag("fileid", common::TagKind::GroupStart) &&
              writer.writeValue(common::fileKind::DataConfiguration) && writer.writeValue(kPath) &&
              writer.writeValue("4.0") && writer.writeTag("", common::TagKind::GroupEnd) &&
              writer.writeTag("item", common::TagKind::GroupStart) &&
              writer.writeValue(dataVersion_) && writer.writeInt(isNewDir_);
    for (int b : keyBytes_)
        ok = ok && writer.writeInt(b);
    ok = ok && writer.writeTag("", common::TagKind::GroupEnd) && writer.writeEof();
    ok = writer.close() && ok;
    if (!ok)
        ui.error("Can't save to " + std::string(kPath));
    return ok;
}

bool DATACFG::createFile(common::Ui& ui) {
    dataVersion_ = kDataVersion;
    isNewDir_ = 1;
    keyBytes_.fill(0);
    return saveFile(ui);
}

bool DATACFG::thisVersion(common::Ui& ui) {
    if (common::equalsIgnoreCase(dataVersion_, kDataVersion))
        return true;
    if (dataVersion_ == kUpgradableVersion) {
        dataVersion_ = kDataVersion;
        return saveFile(ui);
    }
    ui.error("The data in the selected folder is for a different\nversion of Kelo Payroll or Kelo "
             "Roster.");
    return false;
}

bool DATACFG::makeOldDir(common::Ui& ui) {
    isNewDir_ = 0;
    return saveFile(ui);
}

bool DATACFG::createKey() {
    std::array<unsigned char, 8> random{};
    if (RAND_bytes(random.data(), static_cast<int>(random.size())) != 1)
        return false; // a folder must never get a guessable key
    for (std::size_t i = 0; i < random.size(); ++i)
        keyBytes_[i] = random[i];
    OPENSSL_cleanse(random.data(), random.size());
    return true;
}

bool DATACFG::initEncrypt(engine::Code4& code) const {
    std::array<unsigned char, 32> key{};
    for (std::size_t i = 0; i < keyBytes_.size(); ++i)
        key[i] = static_cast<unsigned char>(keyBytes_[i] & 0xFF);
    for (std::size_t i = 0; i < kFixedKeyTail.size(); ++i)
        key[8 + i] = kFixedKeyTail[i];
    const bool ok = code.encryptInit(key.data(), key.size());
    OPENSSL_cleanse(key.data(), key.size());
    if (ok)
        code.encryptFile(true);
    return ok;
}

} // namespace kelo::setup
