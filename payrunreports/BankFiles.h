#pragma once

#include "payrunreports/BankFile.h"

#include <functional>

namespace kelo::payrunreports {

// Standard Chartered: a header, one line of 49 comma-separated fields per
// payment and a trailer with their count and sum.
class SCBCSV : public BANKFILE {
public:
    using BANKFILE::BANKFILE;

protected:
    Dialog dialog() const override;
    bool checkOrganisation(const common::ORGREC& org) override;
    std::string fileBytes(const common::ORGREC& org) override;

private:
    std::string payLine(const Payee& payee, const common::ORGREC& org) const;
};

// Barclays: tab-separated file and batch headers, the payments and a
// trailer; the file header carries the time the file was made.
class BARCLAYS : public BANKFILE {
public:
    struct ClockTime {
        common::date day;
        int hour = 0; // 0 to 23
        int minute = 0;
        int second = 0;
    };
    using Clock = std::function<ClockTime()>;

    BARCLAYS(common::Ui& ui, engine::Code4& code, const common::WorkingFolder& folder,
             const common::REPORTPARAM& param);
    // The local clock unless a test fixes it.
    void setClock(Clock clock) { clock_ = std::move(clock); }

protected:
    Dialog dialog() const override;
    bool checkOrganisation(const common::ORGREC& org) override;
    std::string fileBytes(const common::ORGREC& org) override;

private:
    Clock clock_;
    std::string orgCode_;
};

// Citibank (Citidirect): one line of 74 "#"-separated fields per payment,
// with no header or trailer.
class CITIDIR : public BANKFILE {
public:
    using BANKFILE::BANKFILE;

protected:
    Dialog dialog() const override;
    bool checkOrganisation(const common::ORGREC& org) override;
    std::string fileBytes(const common::ORGREC& org) override;

private:
    std::string payLine(const Payee& payee, const common::ORGREC& org) const;
};

// Stanbic: a comma-separated sheet with a heading line and one line per
// payment, amounts in cents.
class STANBIC : public BANKFILE {
public:
    using BANKFILE::BANKFILE;

protected:
    Dialog dialog() const override;
    bool checkOrganisation(const common::ORGREC&) override { return true; }
    std::string fileBytes(const common::ORGREC& org) override;
};

namespace bankfile {

// Stanbic's account field: the digits right-aligned in 13 characters,
// padded with '0'.
std::string stanbicAccount(std::string_view digits);
// An amount in cents, "%.0lf" of amount x 100.
std::string centsText(double amount);

} // namespace bankfile

} // namespace kelo::payrunreports
