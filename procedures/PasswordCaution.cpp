#include "procedures/PasswordCaution.h"

#include "common/NoDialogView.h"
#include "setup/Users.h"

#include <map>

namespace kelo::procedures {

namespace {

// A dialog of texts only: what is written can be read back; lists, trees
// and states hold nothing, but its controls count as shown and enabled.
class TextsView final : public common::NoDialogView {
public:
    void setCaption(std::string_view text) override { caption_ = text; }
    std::string caption() const override { return caption_; }
    std::string text(std::string_view control) const override {
        const auto it = texts_.find(std::string(control));
        return it == texts_.end() ? std::string() : it->second;
    }
    void setText(std::string_view control, std::string_view text) override {
        texts_[std::string(control)] = text;
    }
    bool isEnabled(std::string_view) const override { return true; }
    bool isVisible(std::string_view) const override { return true; }

private:
    std::string caption_;
    std::map<std::string, std::string> texts_;
};

} // namespace

bool PasswordCaution::runCaution(MONENDDLG& form) {
    TextsView caution;
    form.initMonEndDlg(caution);
    caution.setText(setup::cautiondlg::Password, password_);
    return form.closeMonEndDlg(caution);
}

} // namespace kelo::procedures
