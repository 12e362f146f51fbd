#include "dataexchange/ImportCommands.h"

#include "common/AtomicFile.h"
#include "common/CsvExport.h"
#include "dataexchange/EmployeeImport.h"

#include <fstream>
#include <iterator>
#include <optional>

namespace kelo::dataexchange {

namespace {

std::optional<std::string> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

common::FileChoice importChoice(const common::WorkingFolder& folder) {
    common::FileChoice choice = common::csvExportChoice(folder);
    choice.title = "Import Employees";
    choice.overwritePrompt = false;
    return choice;
}

} // namespace

std::string refusalMessage(const ImportPreview& preview) {
    const std::size_t count = preview.refusals.size();
    std::string text = count == 1 ? "1 problem was found in the file"
                                  : std::to_string(count) + " problems were found in the file";
    text += ", so nothing has been imported:\n";
    for (std::size_t i = 0; i < count && i < kRefusalsShown; ++i)
        text += "\n" + refusalLine(preview.refusals[i]);
    if (count > kRefusalsShown)
        text += "\n... and " + std::to_string(count - kRefusalsShown) + " more.";
    text += "\n\nCorrect the file and import it again.";
    return text;
}

bool importEmployeesFromFile(common::Ui& ui, engine::Code4& code,
                             const common::WorkingFolder& folder, const common::ORGREC& org) {
    const std::optional<std::string> path = ui.chooseOpenFile(importChoice(folder));
    if (!path)
        return false;
    const std::optional<std::string> bytes = bytesOf(*path);
    if (!bytes) {
        ui.error("Can't open " + *path);
        return false;
    }
    EmployeeImport import(code, folder);
    {
        const common::WaitCursor wait(ui);
        import.read(*bytes);
    }
    if (!import.preview().accepted()) {
        ui.warning(refusalMessage(import.preview()));
        return false;
    }
    const std::size_t count = import.preview().rows;
    const std::string employees = count == 1 ? "1 employee" : std::to_string(count) + " employees";
    if (!ui.ask("Import " + employees + " from " + *path + "?", common::Answer::No))
        return false;
    bool added = false;
    {
        const common::WaitCursor wait(ui);
        added = import.commit(ui, org);
    }
    if (!added) {
        if (!import.preview().refusals.empty())
            ui.warning(refusalMessage(import.preview()));
        return false;
    }
    ui.information(employees + (count == 1 ? " was" : " were") + " imported.");
    return true;
}

bool exportEmployeesToFile(common::Ui& ui, engine::Code4& code,
                           const common::WorkingFolder& folder) {
    common::FileChoice choice = common::csvExportChoice(folder);
    choice.title = "Export Employees";
    choice.fileName = "employees.csv";
    const std::optional<std::string> path = ui.chooseSaveFile(choice);
    if (!path)
        return false;
    std::string failure;
    std::optional<std::string> bytes;
    bool written = false;
    {
        const common::WaitCursor wait(ui);
        bytes = exportEmployees(code, folder, failure);
        written = bytes && common::replaceFileAtomically(*path, *bytes);
    }
    if (!bytes) {
        ui.error(failure);
        return false;
    }
    if (!written) {
        ui.error("Can't save to " + *path);
        return false;
    }
    return true;
}

} // namespace kelo::dataexchange
