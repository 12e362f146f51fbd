#pragma once

class QDialog;

namespace kelo::app {

// Runs the program's modal dialogs. Tests and the screenshot run put their
// own host in, so that a dialog is answered without a person.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // QDialog::Accepted or Rejected (or a dialog's own result code).
    virtual int exec(QDialog& dialog);
};

} // namespace kelo::app
