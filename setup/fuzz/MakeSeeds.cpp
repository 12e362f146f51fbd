// Writes the seed corpus of the restore fuzzer: `setup_fuzz_seeds <dir>`
// backs the fuzzer's organisation up and writes the backup in each of the
// fuzzer's three forms.

#include "setup/fuzz/FuzzOrganisation.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace kelo;
using namespace kelo::setup::fuzz;

namespace {

bool writeSeed(const std::string& path, char mode, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.put(mode);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_fuzz_seeds <corpus folder>\n");
        return 2;
    }
    WorkFolder work("kelo-restore-seeds");
    FuzzOrganisation organisation(work.path());
    if (!organisation.make()) {
        std::fprintf(stderr, "cannot make the organisation\n");
        return 1;
    }
    testsupport::RecordingUi ui;
    FixedDrive drive;
    FixedClock clock;
    const setup::BackupPorts ports{ui, organisation.code(), organisation.folder(), drive, clock};
    if (setup::backupOrgTo(ports, organisation.org(), organisation.backupPath()) != 1) {
        std::fprintf(stderr, "backup failed: %s\n", ui.lastMessage().c_str());
        return 1;
    }
    std::ifstream in(organisation.backupPath(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::size_t checksum = bytes.rfind("\\checksum{");
    if (checksum == std::string::npos)
        return 1;
    const std::string body = bytes.substr(0, checksum);
    const std::string folder = argv[1];
    const bool ok = writeSeed(folder + "/backup", 0, bytes) &&
                    writeSeed(folder + "/body-sealed", 1, body) &&
                    writeSeed(folder + "/body-old", 2, body);
    return ok ? 0 : 1;
}
