#include "app/ports/QtUi.h"

#include "testsupport/TempDir.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <deque>
#include <gtest/gtest.h>
#include <vector>

namespace kelo::app {
namespace {

using common::Answer;
using common::FileChoice;
using common::MessageButtons;
using common::MessageIcon;
using Button = QMessageBox::StandardButton;

// What a message box looked like when it was shown.
struct ShownBox {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    Button defaultButton;
    Button escapeButton;
    Qt::TextFormat format;
};

// What a chooser was set up with when it was shown.
struct ShownDialog {
    QString title;
    QStringList filters;
    QString directory;
    QStringList selected;
    QString defaultSuffix;
    QFileDialog::AcceptMode acceptMode;
    QFileDialog::FileMode fileMode;
    bool confirmOverwrite;
};

// A QtUi whose modal loops are answered by the test: a message box by the
// next button in `presses` (Escape when none is left), a chooser by the next
// path in `paths` (cancelled when none is left).
class ScriptedUi : public QtUi {
public:
    using QtUi::QtUi;

    std::deque<Button> presses;
    std::deque<std::optional<QString>> paths;
    std::vector<ShownBox> boxes;
    std::vector<ShownDialog> dialogs;

protected:
    Button execMessageBox(QMessageBox& box) override {
        boxes.push_back({box.icon(), box.windowTitle(), box.text(), box.standardButtons(),
                         box.standardButton(box.defaultButton()),
                         box.standardButton(box.escapeButton()), box.textFormat()});
        if (presses.empty())
            return box.standardButton(box.escapeButton());
        const Button pressed = presses.front();
        presses.pop_front();
        return pressed;
    }

    std::optional<QString> execFileDialog(QFileDialog& dialog) override {
        dialogs.push_back({dialog.windowTitle(), dialog.nameFilters(),
                           dialog.directory().absolutePath(), dialog.selectedFiles(),
                           dialog.defaultSuffix(), dialog.acceptMode(), dialog.fileMode(),
                           !dialog.testOption(QFileDialog::DontConfirmOverwrite)});
        if (paths.empty())
            return std::nullopt;
        auto path = paths.front();
        paths.pop_front();
        return path;
    }
};

struct ButtonsCase {
    MessageButtons buttons;
    QMessageBox::StandardButtons shown;
    Button defaultButton;
    std::vector<std::pair<Button, Answer>> presses;
    Answer onEscape;
};

class MessageButtonsTest : public ::testing::TestWithParam<ButtonsCase> {};

TEST_P(MessageButtonsTest, ShowsTheButtonsAndMapsEveryPress) {
    const ButtonsCase& c = GetParam();
    ScriptedUi ui;
    for (const auto& [button, answer] : c.presses) {
        ui.presses.push_back(button);
        EXPECT_EQ(ui.message("Carry on?", MessageIcon::Question, c.buttons), answer)
            << "button " << button;
    }
    EXPECT_EQ(ui.message("Carry on?", MessageIcon::Question, c.buttons), c.onEscape);
    ASSERT_EQ(ui.boxes.size(), c.presses.size() + 1);
    for (const ShownBox& box : ui.boxes) {
        EXPECT_EQ(box.buttons, c.shown);
        EXPECT_EQ(box.defaultButton, c.defaultButton);
    }
}

// The default a question names is the button Enter presses; one the box
// does not show leaves the first button the default.
TEST(QtUiMessage, TheNamedDefaultButtonIsTheBoxDefault) {
    const struct {
        MessageButtons buttons;
        Answer named;
        Button expected;
    } cases[] = {
        {MessageButtons::YesNo, Answer::No, QMessageBox::No},
        {MessageButtons::OkCancel, Answer::Cancel, QMessageBox::Cancel},
        {MessageButtons::YesNoCancel, Answer::Cancel, QMessageBox::Cancel},
        {MessageButtons::RetryCancel, Answer::Cancel, QMessageBox::Cancel},
        {MessageButtons::YesNo, Answer::Retry, QMessageBox::Yes},
    };
    for (const auto& c : cases) {
        ScriptedUi ui;
        ui.message("Delete it?", MessageIcon::Question, c.buttons, common::kMessageCaption,
                   c.named);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].defaultButton, c.expected);
    }
}

// A button the box does not show counts as closing it.
TEST_P(MessageButtonsTest, AButtonNotShownCountsAsEscape) {
    const ButtonsCase& c = GetParam();
    ScriptedUi ui;
    ui.presses.push_back(QMessageBox::Abort);
    EXPECT_EQ(ui.message("Carry on?", MessageIcon::Warning, c.buttons), c.onEscape);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, MessageButtonsTest,
    ::testing::Values(
        ButtonsCase{MessageButtons::Ok,
                    QMessageBox::Ok,
                    QMessageBox::Ok,
                    {{QMessageBox::Ok, Answer::Ok}},
                    Answer::Ok},
        ButtonsCase{MessageButtons::OkCancel,
                    QMessageBox::Ok | QMessageBox::Cancel,
                    QMessageBox::Ok,
                    {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}},
                    Answer::Cancel},
        ButtonsCase{MessageButtons::YesNo,
                    QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::Yes,
                    {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}},
                    Answer::No},
        ButtonsCase{MessageButtons::YesNoCancel,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QMessageBox::Yes,
                    {{QMessageBox::Yes, Answer::Yes},
                     {QMessageBox::No, Answer::No},
                     {QMessageBox::Cancel, Answer::Cancel}},
                    Answer::Cancel},
        ButtonsCase{MessageButtons::RetryCancel,
                    QMessageBox::Retry | QMessageBox::Cancel,
                    QMessageBox::Retry,
                    {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}},
                    Answer::Cancel}));

TEST(QtUiMessage, MapsIconsCaptionAndText) {
    ScriptedUi ui;
    const std::vector<std::pair<MessageIcon, QMessageBox::Icon>> icons = {
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Question, QMessageBox::Question},
    };
    for (const auto& [icon, expected] : icons)
        ui.message("Text", icon);
    ASSERT_EQ(ui.boxes.size(), icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i) {
        EXPECT_EQ(ui.boxes[i].icon, icons[i].second);
        EXPECT_EQ(ui.boxes[i].caption, "Kelo Roster");
    }

    ui.message("Mshahara wa Zoë – <none>", MessageIcon::Information, MessageButtons::Ok, "Payroll");
    EXPECT_EQ(ui.boxes.back().caption, "Payroll");
    EXPECT_EQ(ui.boxes.back().text, QString::fromUtf8("Mshahara wa Zoë – <none>"));
    EXPECT_EQ(ui.boxes.back().format, Qt::PlainText);
}

TEST(QtUiMessage, ConvenienceCallsGoThroughTheBox) {
    ScriptedUi ui;
    ui.error("Can't open the file");
    ui.warning("Nearly full");
    ui.information("Done");
    ui.presses.push_back(QMessageBox::No);
    EXPECT_FALSE(ui.ask("Close the period?"));
    ui.presses.push_back(QMessageBox::Yes);
    EXPECT_TRUE(ui.ask("Close the period?"));
    ASSERT_EQ(ui.boxes.size(), 5u);
    EXPECT_EQ(ui.boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(ui.boxes[0].text, "Can't open the file");
    EXPECT_EQ(ui.boxes[1].icon, QMessageBox::Warning);
    EXPECT_EQ(ui.boxes[2].icon, QMessageBox::Information);
    EXPECT_EQ(ui.boxes[3].buttons, QMessageBox::Yes | QMessageBox::No);
}

// The real modal loop, answered by clicking the box's button from the event loop.
TEST(QtUiMessage, RealBoxReturnsTheClickedButton) {
    QtUi ui;
    std::function<void()> clickNo = [&clickNo] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                box->button(QMessageBox::No)->click();
                return;
            }
        }
        QTimer::singleShot(0, clickNo);
    };
    QTimer::singleShot(0, clickNo);
    EXPECT_EQ(ui.message("Delete?", MessageIcon::Question, MessageButtons::YesNoCancel),
              Answer::No);
}

TEST(QtUiWait, NestsAndIgnoresUnbalancedEnds) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        QtUi ui;
        ui.beginWait();
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            common::WaitCursor inner(ui);
            EXPECT_EQ(ui.waitDepth(), 2);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        ui.endWait();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);

        // Someone else's cursor survives an end without a begin.
        QApplication::setOverrideCursor(Qt::CrossCursor);
        ui.endWait();
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QApplication::restoreOverrideCursor();
        EXPECT_EQ(ui.waitDepth(), 0);

        ui.beginWait(); // left open: the destructor restores it
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtUiStatus, RoutesToTheSinkAndClearsWithTheGuard) {
    QtUi ui;
    ui.setStatusText("Before any sink");
    std::vector<QString> shown;
    ui.setStatusSink([&shown](const QString& text) { shown.push_back(text); });
    {
        common::StatusText status(ui, "Updating Mshahara…");
        EXPECT_EQ(ui.statusText(), QString::fromUtf8("Updating Mshahara…"));
    }
    EXPECT_EQ(shown, (std::vector<QString>{"Before any sink",
                                           QString::fromUtf8("Updating Mshahara…"), QString()}));
    ui.setStatusSink({});
    ui.setStatusText("Nobody listens"); // must not crash
}

TEST(QtUiStatus, ShowsTextsOnAStatusBar) {
    QStatusBar bar;
    QtUi ui(nullptr, &bar);
    ui.setStatusText("Calculating PAYE...");
    EXPECT_EQ(bar.currentMessage(), "Calculating PAYE...");
    ui.setStatusText("");
    EXPECT_TRUE(bar.currentMessage().isEmpty());
    {
        QStatusBar shortLived;
        ui.setStatusBar(&shortLived);
    }
    ui.setStatusText("After the bar is gone"); // must not crash
}

TEST(QtUiChooser, SaveFileHonoursTheChoice) {
    testsupport::TempDir dir;
    ScriptedUi ui;
    FileChoice choice{"Export Payroll",
                      "Text Files (*.txt);;All Files (*)",
                      "txt",
                      dir.path(),
                      "payroll.txt",
                      true};
    ui.paths.push_back(QString::fromStdString(dir.file("march")));
    EXPECT_EQ(ui.chooseSaveFile(choice), dir.file("march.txt"));
    ASSERT_EQ(ui.dialogs.size(), 1u);
    const ShownDialog& shown = ui.dialogs[0];
    EXPECT_EQ(shown.title, "Export Payroll");
    EXPECT_EQ(shown.filters, (QStringList{"Text Files (*.txt)", "All Files (*)"}));
    EXPECT_EQ(shown.directory, QString::fromStdString(dir.path()));
    EXPECT_EQ(shown.selected, QStringList{QString::fromStdString(dir.file("payroll.txt"))});
    EXPECT_EQ(shown.defaultSuffix, "txt");
    EXPECT_EQ(shown.acceptMode, QFileDialog::AcceptSave);
    EXPECT_TRUE(shown.confirmOverwrite);

    ui.paths.push_back(QString::fromStdString(dir.file("march.csv")));
    EXPECT_EQ(ui.chooseSaveFile(choice), dir.file("march.csv"));
    EXPECT_EQ(ui.chooseSaveFile(choice), std::nullopt);

    choice.overwritePrompt = false;
    choice.defaultExtension = ".dat";
    ui.paths.push_back(QString::fromStdString(dir.file("april")));
    EXPECT_EQ(ui.chooseSaveFile(choice), dir.file("april.dat"));
    EXPECT_FALSE(ui.dialogs.back().confirmOverwrite);
    EXPECT_TRUE(ui.boxes.empty());
}

// The dialog asked about "march"; "march.txt" exists and still needs asking.
TEST(QtUiChooser, AsksBeforeReplacingAnExtendedName) {
    testsupport::TempDir dir;
    QFile existing(QString::fromStdString(dir.file("march.txt")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    ScriptedUi ui;
    const FileChoice choice{"Export", "Text Files (*.txt)", "txt", dir.path(), {}, true};
    ui.paths = {QString::fromStdString(dir.file("march")),
                QString::fromStdString(dir.file("april"))};
    ui.presses = {QMessageBox::No};
    EXPECT_EQ(ui.chooseSaveFile(choice), dir.file("april.txt"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "march.txt already exists.\nDo you want to replace it?");
    EXPECT_EQ(ui.dialogs.size(), 2u);

    ui.paths = {QString::fromStdString(dir.file("march"))};
    ui.presses = {QMessageBox::Yes};
    EXPECT_EQ(ui.chooseSaveFile(choice), dir.file("march.txt"));
}

TEST(QtUiChooser, OpenFileAddsTheExtensionOnlyWhenThatNamesAFile) {
    testsupport::TempDir dir;
    for (const char* name : {"staff.dbf", "notes"}) {
        QFile file(QString::fromStdString(dir.file(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ScriptedUi ui;
    const FileChoice choice{"Open Table", "Tables (*.dbf)", "dbf", dir.path(), {}, true};
    ui.paths = {QString::fromStdString(dir.file("staff")),
                QString::fromStdString(dir.file("notes")),
                QString::fromStdString(dir.file("missing"))};
    EXPECT_EQ(ui.chooseOpenFile(choice), dir.file("staff.dbf"));
    EXPECT_EQ(ui.chooseOpenFile(choice), dir.file("notes"));
    EXPECT_EQ(ui.chooseOpenFile(choice), dir.file("missing"));
    EXPECT_EQ(ui.chooseOpenFile(choice), std::nullopt);
    EXPECT_EQ(ui.dialogs[0].acceptMode, QFileDialog::AcceptOpen);
    EXPECT_EQ(ui.dialogs[0].fileMode, QFileDialog::ExistingFile);
}

TEST(QtUiChooser, FolderChooserShowsFoldersOnly) {
    testsupport::TempDir dir;
    ScriptedUi ui;
    ui.paths.push_back(QString::fromStdString(dir.path()));
    EXPECT_EQ(ui.chooseFolder("Backup Folder", dir.path()), dir.path());
    EXPECT_EQ(ui.chooseFolder("Backup Folder", dir.path()), std::nullopt);
    ASSERT_EQ(ui.dialogs.size(), 2u);
    EXPECT_EQ(ui.dialogs[0].title, "Backup Folder");
    EXPECT_EQ(ui.dialogs[0].fileMode, QFileDialog::Directory);
    EXPECT_EQ(ui.dialogs[0].directory, QString::fromStdString(dir.path()));
}

TEST(QtUiBeep, DoesNotNeedAWindow) {
    QtUi ui;
    ui.beep();
    SUCCEED();
}

} // namespace
} // namespace kelo::app
