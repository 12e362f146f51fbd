#pragma once

#include "dataexchange/ImportPreviewHost.h"

#include <QWidget>

#include <memory>

class QDialog;

namespace kelo::app {

class DialogHost;
class HelpViewer;
class MainWindow;
class ScreenshotHost;

// The help page of the preview window.
inline constexpr const char* kImportPreviewHelpPage = "importpreview.html";

// The preview of an import as the "ImportPreviewDialog": how many rows were
// read and refused, a table of every refusal (Row, Column, Problem) or else
// of what will be imported, and Import (only when nothing is refused),
// Cancel and Help.
std::unique_ptr<QDialog> makeImportPreviewDialog(const dataexchange::ImportPreview& preview,
                                                 const dataexchange::ImportListing& listing,
                                                 HelpViewer& help, QWidget* parent);

// Runs the preview dialog through the program's dialog host.
class ImportPreviewDialogs : public dataexchange::ImportPreviewHost {
public:
    ImportPreviewDialogs(DialogHost& host, HelpViewer& help, QWidget* parent)
        : host_(host),
          help_(help),
          parent_(parent) {}
    bool confirmImport(const dataexchange::ImportPreview& preview,
                       const dataexchange::ImportListing& listing) override;

private:
    DialogHost& host_;
    HelpViewer& help_;
    QWidget* parent_;
};

// Pictures the preview of a refused and of an accepted file, for employees
// and opening balances, without importing anything.
void pictureImportPreviews(MainWindow& window, ScreenshotHost& pictures);

} // namespace kelo::app
