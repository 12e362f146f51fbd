#pragma once

#include <QFrame>

#include <string>
#include <vector>

class QLabel;

namespace kelo::app {

// The organisation, its month and each payroll's current period, shown in
// the empty document area so the clerk sees where the payroll stands.
class OverviewPanel : public QFrame {
public:
    explicit OverviewPanel(QWidget* area);
    // The first line is the heading; no lines hide the panel.
    void setLines(const std::vector<std::string>& lines);

private:
    QLabel* heading_;
    QLabel* body_;
};

} // namespace kelo::app
