#include "app/main/ImportPreviewDialog.h"

#include "app/main/DialogHost.h"
#include "app/main/HelpViewer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace kelo::app {

namespace {

using dataexchange::ImportListing;
using dataexchange::ImportPreview;
using dataexchange::ImportRefusal;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString rowsRead(std::size_t rows) {
    if (rows == 0)
        return QStringLiteral("No rows were read");
    return rows == 1 ? QStringLiteral("1 row was read")
                     : QStringLiteral("%1 rows were read").arg(rows);
}

// The line under the caption: rows read, rows refused, what comes next.
QString summary(const ImportPreview& preview) {
    if (preview.accepted())
        return rowsRead(preview.rows) +
               QStringLiteral(" and none was refused. Choose Import to bring them in, or Cancel "
                              "to leave everything as it is.");
    if (preview.refusals.empty())
        return QStringLiteral("The file holds no rows to import.");
    // The header is row 1; below it a row of data.
    std::set<long> refusedRows;
    for (const ImportRefusal& refusal : preview.refusals)
        if (refusal.row > 1)
            refusedRows.insert(refusal.row);
    const std::size_t problems = preview.refusals.size();
    QString refused;
    if (refusedRows.empty())
        refused = QStringLiteral("the file itself was refused");
    else if (refusedRows.size() == 1)
        refused = QStringLiteral("1 was refused");
    else
        refused = QStringLiteral("%1 were refused").arg(refusedRows.size());
    if (problems != refusedRows.size())
        refused += problems == 1 ? QStringLiteral(" (1 problem)")
                                 : QStringLiteral(" (%1 problems)").arg(problems);
    return rowsRead(preview.rows) + QStringLiteral(" and ") + refused +
           QStringLiteral(", so nothing will be imported. Correct the file and import it again.");
}

// Long problems wrap in their column; each row takes the lines it needs at
// the width the table has.
class PreviewTable : public QTableWidget {
public:
    using QTableWidget::QTableWidget;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTableWidget::resizeEvent(event);
        resizeRowsToContents();
    }
};

QTableWidgetItem* cell(const QString& value) {
    auto* item = new QTableWidgetItem(value);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(value);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    return item;
}

void fill(QTableWidget& table, const QStringList& headings,
          const std::vector<std::vector<QString>>& rows) {
    table.setColumnCount(static_cast<int>(headings.size()));
    table.setHorizontalHeaderLabels(headings);
    table.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const std::vector<QString>& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()) && c < table.columnCount(); ++c)
            table.setItem(r, c, cell(row[static_cast<std::size_t>(c)]));
    }
}

void fillRefusals(QTableWidget& table, const ImportPreview& preview) {
    std::vector<std::vector<QString>> rows;
    for (const ImportRefusal& refusal : preview.refusals)
        rows.push_back({refusal.row == 0 ? QString() : QString::number(refusal.row),
                        text(refusal.column), text(refusal.message)});
    fill(table, {QStringLiteral("Row"), QStringLiteral("Column"), QStringLiteral("Problem")}, rows);
    table.horizontalHeader()->resizeSection(
        0, table.fontMetrics().horizontalAdvance(QStringLiteral("Row 00000")));
    table.resizeColumnToContents(1);
    const int gap = table.fontMetrics().horizontalAdvance(QStringLiteral("MM"));
    table.horizontalHeader()->resizeSection(1, std::min(table.columnWidth(1) + gap, 220));
    for (int r = 0; r < table.rowCount(); ++r)
        if (QTableWidgetItem* row = table.item(r, 0))
            row->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
}

void fillListing(QTableWidget& table, const ImportListing& listing) {
    QStringList headings;
    for (const std::string& heading : listing.headings)
        headings << text(heading);
    std::vector<std::vector<QString>> rows;
    for (const std::vector<std::string>& line : listing.rows) {
        std::vector<QString> row;
        for (const std::string& value : line)
            row.push_back(text(value));
        rows.push_back(std::move(row));
    }
    fill(table, headings, rows);
    // Room between the columns, so that a name never touches the next.
    const int gap = table.fontMetrics().horizontalAdvance(QStringLiteral("MM"));
    for (int c = 0; c + 1 < table.columnCount(); ++c) {
        table.resizeColumnToContents(c);
        table.setColumnWidth(c, table.columnWidth(c) + gap);
    }
}

} // namespace

std::unique_ptr<QDialog> makeImportPreviewDialog(const ImportPreview& preview,
                                                 const ImportListing& listing, HelpViewer& help,
                                                 QWidget* parent) {
    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setObjectName(QStringLiteral("ImportPreviewDialog"));
    dialog->setWindowTitle(text(listing.caption));
    const bool accepted = preview.accepted();

    auto* layout = new QVBoxLayout(dialog.get());
    auto* caption = new QLabel(accepted ? QStringLiteral("Ready to import")
                                        : QStringLiteral("This file cannot be imported"),
                               dialog.get());
    caption->setObjectName(QStringLiteral("CaptionLabel"));
    QFont bold = caption->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    caption->setFont(bold);
    layout->addWidget(caption);

    auto* file = new QLabel(dialog.get());
    file->setObjectName(QStringLiteral("FileLabel"));
    const QString from = QStringLiteral("File: ") + text(listing.file);
    file->setText(file->fontMetrics().elidedText(from, Qt::ElideMiddle, 660));
    file->setToolTip(text(listing.file));
    layout->addWidget(file);

    auto* counts = new QLabel(summary(preview), dialog.get());
    counts->setObjectName(QStringLiteral("SummaryLabel"));
    counts->setWordWrap(true);
    layout->addWidget(counts);

    auto* tableLabel = new QLabel(accepted ? QStringLiteral("&What will be imported:")
                                           : QStringLiteral("&Problems found:"),
                                  dialog.get());
    layout->addWidget(tableLabel);
    auto* table = new PreviewTable(dialog.get());
    table->setObjectName(QStringLiteral("PreviewTable"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->setWordWrap(true);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (accepted)
        fillListing(*table, listing);
    else
        fillRefusals(*table, preview);
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionResized, table,
                     [table] { table->resizeRowsToContents(); });
    table->resizeRowsToContents();
    // Arrow keys start at the first row without marking it chosen.
    if (table->rowCount() > 0)
        table->selectionModel()->setCurrentIndex(table->model()->index(0, 0),
                                                 QItemSelectionModel::NoUpdate);
    tableLabel->setBuddy(table);
    layout->addWidget(table, 1);

    auto* buttons = new QDialogButtonBox(dialog.get());
    QPushButton* import =
        buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole);
    import->setObjectName(QStringLiteral("ImportButton"));
    import->setEnabled(accepted);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    QPushButton* helpButton =
        buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    helpButton->setObjectName(QStringLiteral("HelpButton"));
    (accepted ? import : cancel)->setDefault(true);
    QObject::connect(import, &QPushButton::clicked, dialog.get(), &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog.get(), &QDialog::reject);
    const auto showHelp = [&help] { help.showPage(QString::fromLatin1(kImportPreviewHelpPage)); };
    QObject::connect(helpButton, &QPushButton::clicked, dialog.get(), showHelp);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, dialog.get());
    QObject::connect(f1, &QShortcut::activated, dialog.get(), showHelp);
    layout->addWidget(buttons);

    QWidget::setTabOrder(table, import);
    QWidget::setTabOrder(import, cancel);
    QWidget::setTabOrder(cancel, helpButton);
    table->setFocus();
    dialog->setMinimumSize(560, 320);
    dialog->resize(720, 440);
    return dialog;
}

bool ImportPreviewDialogs::confirmImport(const ImportPreview& preview,
                                         const ImportListing& listing) {
    const std::unique_ptr<QDialog> dialog =
        makeImportPreviewDialog(preview, listing, help_, parent_);
    return host_.exec(*dialog) == QDialog::Accepted && preview.accepted();
}

} // namespace kelo::app
