// Restores fuzz input as a backup of a small organisation. The first byte
// says how the rest becomes the backup file: 0 as it is; 1 with a checksum
// group over it and the end mark added, so that inputs reach the checks
// behind the checksum; 2 with only the end mark, as a backup made before
// checksums, which the user agrees to restore. A restore that fails must
// leave the organisation's files exactly as they were; one that succeeds is
// undone before the next input.

#include "common/TaggedFile.h"
#include "setup/BackupFormat.h"
#include "setup/fuzz/FuzzOrganisation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using namespace kelo;
using namespace kelo::setup::fuzz;

namespace {

struct State {
    WorkFolder work{"kelo-restore-fuzz"};
    FuzzOrganisation organisation{work.path()};
    std::map<std::string, std::string> pristine;

    State() {
        if (!organisation.make())
            std::abort();
        pristine = organisation.snapshot();
    }
};

State& state() {
    static State instance;
    return instance;
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

std::string backupBytes(std::string_view input) {
    if (input.empty())
        return {};
    const int mode = static_cast<unsigned char>(input[0]) % 3;
    const std::string body(input.substr(1));
    if (mode == 0)
        return body;
    if (mode == 2)
        return body + "\\eof{}\n";
    std::string out = body + "\\checksum{" + common::scramble(setup::backupformat::sha256Hex(body));
    out.push_back('\0');
    return out + "}\n\\eof{}\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    State& s = state();
    FuzzOrganisation& organisation = s.organisation;
    const std::string bytes =
        backupBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    {
        std::FILE* out = std::fopen(organisation.backupPath().c_str(), "wb");
        require(out != nullptr);
        require(std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size());
        require(std::fclose(out) == 0);
    }

    testsupport::RecordingUi ui;
    FixedDrive drive;
    FixedClock clock;
    const setup::BackupPorts ports{ui, organisation.code(), organisation.folder(), drive, clock};
    common::ORGREC org = organisation.org();
    const int result = setup::restoreOrgFrom(
        ports, org, organisation.backupPath(), [&](const common::ORGREC& rec) {
            return setup::saveOrgRec(organisation.code(), organisation.folder(), rec);
        });

    // KELO_FUZZ_VERBOSE=1 shows how each input ended, when reading a finding.
    static const bool verbose = std::getenv("KELO_FUZZ_VERBOSE") != nullptr;
    if (verbose)
        std::fprintf(stderr, "restore %d: %s\n", result, ui.lastMessage().c_str());
    require(result == 0 || result == 1);
    require(ui.waitDepth == 0);
    require(ui.statusTexts.empty() || ui.statusTexts.back().empty());
    require(!ui.messages.empty());
    if (result == 1) {
        require(ui.lastMessage() == "Restore successful.");
        require(org.name == organisation.org().name && org.orgNum == organisation.org().orgNum);
        require(organisation.putBack(s.pristine));
    } else {
        require(ui.messages.back().icon == common::MessageIcon::Error ||
                ui.messages.back().icon == common::MessageIcon::Question);
        // Every refusal comes before the organisation changes.
        require(organisation.snapshot() == s.pristine);
        require(org.month == organisation.org().month);
    }
    return 0;
}
