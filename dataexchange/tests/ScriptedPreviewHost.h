#pragma once

#include "dataexchange/ImportPreviewHost.h"

#include <deque>
#include <vector>

namespace kelo::dataexchange::testing {

// Keeps every preview shown with its listing and answers from a script
// (Cancel when the script is empty).
class ScriptedPreviewHost : public ImportPreviewHost {
public:
    bool confirmImport(const ImportPreview& preview, const ImportListing& listing) override {
        previews.push_back(preview);
        listings.push_back(listing);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<bool> answers;
    std::vector<ImportPreview> previews;
    std::vector<ImportListing> listings;
};

} // namespace kelo::dataexchange::testing
