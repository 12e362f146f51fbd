#pragma once

#include "common/Ui.h"
#include "common/WorkingFolder.h"
#include "engine/Code4.h"

#include <array>
#include <string>

namespace kelo::setup {

// The data folder's own configuration, "../system/settings/datacfg.dat": the
// version of the data layout, whether the folder still awaits its tables, and
// the eight bytes from which the folder's table key is built.
class DATACFG {
public:
    static constexpr const char* kPath = "../system/settings/datacfg.dat";
    static constexpr const char* kDataVersion = "4.2.4.3";
    static constexpr const char* kUpgradableVersion = "4.3.0.3";
    static constexpr std::size_t kVersionWidth = 11;

    explicit DATACFG(const common::WorkingFolder& folder) : folder_(folder) {}

    bool readFile(common::Ui& ui);
    bool saveFile(common::Ui& ui);
    // A new folder's configuration: this version, new, no key bytes yet.
    bool createFile(common::Ui& ui);
    // True for this version (in any case); an upgradable one is rewritten.
    bool thisVersion(common::Ui& ui);
    bool isNewDir() const { return isNewDir_ != 0; }
    bool makeOldDir(common::Ui& ui);
    // Draws new key bytes from a cryptographic source; does not save. False
    // (bytes unchanged) when the system has no random source to draw from.
    bool createKey();
    // Builds the folder's 32-byte table key and switches encryption on.
    bool initEncrypt(engine::Code4& code) const;

    const std::string& dataVersion() const { return dataVersion_; }
    const std::array<int, 8>& keyBytes() const { return keyBytes_; }

private:
    const common::WorkingFolder& folder_;
    std::string dataVersion_;
    int isNewDir_ = 0;
    std::array<int, 8> keyBytes_{};
};

} // namespace kelo::setup
