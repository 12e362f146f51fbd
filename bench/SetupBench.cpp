// Speed of the organisation backup and restore: one organisation with every
// table of its folder, N employees in the personnel file and one
// transactions record each, backed up to a file on the local drive and
// restored from it.

#include "database/StaticDb.h"
#include "database/VarDb.h"
#include "engine/Data4.h"
#include "setup/Backup.h"
#include "setup/OrgFiles.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kelo;

namespace {

namespace fs = std::filesystem;

void fail(const std::string& what) {
    std::fprintf(stderr, "SetupBench: %s\n", what.c_str());
    std::abort();
}

// Employee-like values in every column.
void fill(engine::Code4& code, const std::string& path, long rows) {
    auto table = engine::Data4::open(code, path);
    if (!table)
        fail("cannot open " + path);
    for (long r = 1; r <= rows; ++r) {
        table->appendStart();
        table->blank();
        for (int i = 1; i <= table->fieldCount(); ++i) {
            engine::Field4& f = *table->field(i);
            switch (f.type()) {
            case 'C':
                f.assign("E" + std::to_string(r) + "-" + std::to_string(i));
                break;
            case 'N':
            case 'F':
                f.assignDouble(static_cast<double>(r % 9));
                break;
            case 'B':
                f.assignDouble(static_cast<double>(r) * 1250.5 + i);
                break;
            case 'I':
                f.assignLong(r + i);
                break;
            case 'L':
                f.assignLogical(r % 2 == 0);
                break;
            case 'D':
                f.assign("20240615");
                break;
            default:
                break;
            }
        }
        if (table->append() != engine::r4success)
            fail("cannot append to " + path);
    }
}

void BM_BackupRestore(benchmark::State& state) {
    const long employees = state.range(0);
    testsupport::TempDir dir;
    const std::string data = dir.file("data");
    for (const char* sub : {"system/settings", "backup", "org01/database", "org01/settings"})
        fs::create_directories(data + "/" + sub);
    common::WorkingFolder folder(data);
    folder.moveTo("../org01");
    engine::Code4 code;
    testsupport::RecordingUi ui;

    // The tables and pay field definitions a new organisation starts with,
    // which a restore checks the backup against.
    const bool made = setup::createOrgTables(ui, code, folder, "../org01");
    if (!made)
        fail("cannot create the organisation's tables");
    fill(code, folder.resolve("database/static.dbf"), employees);
    fill(code, folder.resolve("database/monpay.dbf"), employees);

    common::ORGREC org = common::newOrgRec(1);
    org.name = "Bench Ltd";
    const setup::BackupPorts ports{ui, code, folder, setup::systemDrive(), setup::systemClock()};
    const std::string path = data + "/backup/bench.bkf";
    const auto save = [](const common::ORGREC&) { return true; };
    for (auto _ : state) {
        ui.clear();
        if (setup::backupOrgTo(ports, org, path) != 1)
            fail("backup: " + ui.lastMessage());
        if (setup::restoreOrgFrom(ports, org, path, save) != 1)
            fail("restore: " + ui.lastMessage());
    }
    state.counters["backup_bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_BackupRestore)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
