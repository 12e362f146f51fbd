#include "app/main/OverviewPanel.h"

#include "app/ports/QtText.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kelo::app {

OverviewPanel::OverviewPanel(QWidget* area)
    : QFrame(area),
      heading_(new QLabel(this)),
      body_(new QLabel(this)) {
    setObjectName(QStringLiteral("OverviewPanel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QFont bold = heading_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading_->setFont(bold);
    heading_->setObjectName(QStringLiteral("OverviewHeading"));
    body_->setObjectName(QStringLiteral("OverviewBody"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(body_);
    move(16, 16);
    hide();
}

void OverviewPanel::setLines(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        hide();
        return;
    }
    heading_->setText(toQString(lines.front()));
    QStringList rest;
    for (std::size_t i = 1; i < lines.size(); ++i)
        rest << toQString(lines[i]);
    body_->setText(rest.join(QLatin1Char('\n')));
    adjustSize();
    show();
    raise();
}

} // namespace kelo::app
