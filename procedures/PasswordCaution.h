#pragma once

#include "procedures/MonthEnd.h"

#include <string>

namespace kelo::procedures {

// The Caution dialog answered without a window (the command line, a
// scheduled run): the password given is taken as typed, and OK is pressed
// once; a password the user's check refuses cancels, as Cancel would.
class PasswordCaution final : public CautionHost {
public:
    explicit PasswordCaution(std::string password) : password_(std::move(password)) {}
    bool runCaution(MONENDDLG& form) override;

private:
    std::string password_;
};

} // namespace kelo::procedures
