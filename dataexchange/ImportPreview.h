#pragma once

#include "common/Ui.h"
#include "database/DbTable.h"
#include "dataexchange/CsvText.h"
#include "engine/Code4.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelo::dataexchange {

// Why a row of the file is refused: its row as a spreadsheet numbers it (the
// header is row 1; 0 for the file as a whole), the column's header ("" when
// no one column is at fault) and the message.
struct ImportRefusal {
    long row = 0;
    std::string column;
    std::string message;

    friend bool operator==(const ImportRefusal&, const ImportRefusal&) = default;
};

// What the clerk sees before anything is written.
struct ImportPreview {
    std::size_t rows = 0; // the rows of data the file holds
    std::vector<ImportRefusal> refusals;

    bool accepted() const { return rows > 0 && refusals.empty(); }
};

// The refusal as one line for the command line and the preview list:
// "Row 3, Start Date: <message>", "Row 2: <message>" without a column, the
// message alone for the file as a whole.
std::string refusalLine(const ImportRefusal& refusal);

// A column a layout knows, and whether a file must have it.
struct LayoutColumn {
    const char* header;
    bool required;
};

// The layout's column of each field of the header row (headers compared
// without regard to case or surrounding blanks); a header the layout does
// not know, one given twice and a required one missing are refused on row 1.
std::vector<std::size_t> matchHeader(const CsvRecord& header,
                                     const std::vector<LayoutColumn>& layout,
                                     ImportPreview& preview);

// The fields of a record by the layout's columns ("" for a column the file
// lacks or the record leaves out); a record wider than the header is
// refused.
std::vector<std::string> fieldsByColumn(const CsvRecord& record,
                                        const std::vector<std::size_t>& columnOf,
                                        std::size_t layoutSize, ImportPreview& preview);

// Keeps what a form would have shown, instead of showing it, so that its
// refusals become rows of the preview.
class KeptMessages : public common::Ui {
public:
    common::Answer message(const std::string& text, common::MessageIcon icon,
                           common::MessageButtons, const std::string&,
                           std::optional<common::Answer>) override {
        texts.push_back(text);
        told.emplace_back(text, icon);
        return common::Answer::Ok;
    }
    void beep() override {}
    void setStatusText(const std::string&) override {}
    void beginWait() override {}
    void endWait() override {}
    std::optional<std::string> chooseSaveFile(const common::FileChoice&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const common::FileChoice&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }

    // Every text kept, one after the other.
    std::string all() const {
        std::string joined;
        for (const std::string& text : texts)
            joined += (joined.empty() ? "" : " ") + text;
        return joined;
    }

    // Shows what was kept after all, each with its icon.
    void tellTo(common::Ui& ui) const {
        for (const auto& [text, icon] : told)
            ui.message(text, icon);
    }

    std::vector<std::string> texts;
    std::vector<std::pair<std::string, common::MessageIcon>> told;
};

// "\"text\"".
std::string quoted(std::string_view text);

// Whether another user holds any row or the whole of one of `tables`, all
// open on `code`: each is locked whole, all at once, and let go again.
// False with `lockedText` told (or the engine's failure) when one could not
// be had.
bool tablesFree(common::Ui& ui, engine::Code4& code, const std::vector<database::DbTable*>& tables,
                const char* lockedText);

} // namespace kelo::dataexchange
