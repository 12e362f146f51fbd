#include "app/main/MainWindow.h"

#include "app/main/DialogHost.h"
#include "app/main/DocumentWindow.h"
#include "app/main/OverviewPanel.h"
#include "app/ports/QtText.h"
#include "app/ports/QtUi.h"
#include "app/shell/Overview.h"
#include "common/Calendar.h"
#include "setup/Orgs.h"
#include "setup/Users.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace kelo::app {

namespace {

constexpr int kStatusParts = 5;
constexpr int kMenuHelpPart = 1;
constexpr int kMonthPart = 4;

// A small badge with letters, for the buttons no standard icon fits.
QIcon badgeIcon(const QString& letters, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(140));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? 13 : 18);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

QIcon buttonIcon(int id, const QStyle& style) {
    switch (id) {
    case cmd::Personnel:
        return badgeIcon(QStringLiteral("P"), QColor(0x2e, 0x6d, 0xb4));
    case cmd::PayrollMaster:
        return badgeIcon(QStringLiteral("M"), QColor(0x2f, 0x8f, 0x5b));
    case cmd::Transactions:
        return badgeIcon(QStringLiteral("T"), QColor(0xc0, 0x7a, 0x12));
    case cmd::AbsenceLeave:
        return badgeIcon(QStringLiteral("A"), QColor(0x8a, 0x4b, 0xaf));
    case cmd::Undo:
        return QIcon::fromTheme(QStringLiteral("edit-undo"),
                                badgeIcon(QStringLiteral("\u21B6"), QColor(0x60, 0x60, 0x60)));
    case cmd::Save:
        return style.standardIcon(QStyle::SP_DialogSaveButton);
    case cmd::Print:
        return QIcon::fromTheme(QStringLiteral("document-print"),
                                badgeIcon(QStringLiteral("Pr"), QColor(0x55, 0x55, 0x55)));
    case cmd::First:
        return style.standardIcon(QStyle::SP_MediaSkipBackward);
    case cmd::Previous:
        return style.standardIcon(QStyle::SP_MediaSeekBackward);
    case cmd::Next:
        return style.standardIcon(QStyle::SP_MediaSeekForward);
    case cmd::Last:
        return style.standardIcon(QStyle::SP_MediaSkipForward);
    case cmd::Close:
        return style.standardIcon(QStyle::SP_DialogCloseButton);
    case cmd::HelpContents:
        return style.standardIcon(QStyle::SP_DialogHelpButton);
    default:
        return {};
    }
}

int commandOf(const QAction* action) {
    return action && action->data().isValid() ? action->data().toInt() : 0;
}

} // namespace

MainWindow::MainWindow(ProgramPaths paths, DialogHost& host, const UiFactory& makeUi)
    : host_(host),
      help_(toQString(paths.helpFolder), this) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Kelo Roster"));
    setWindowIcon(badgeIcon(QStringLiteral("K"), QColor(0x1f, 0x5f, 0x8b)));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    overview_ = new OverviewPanel(mdi_->viewport());
    ui_ = makeUi ? makeUi(this) : std::make_unique<QtUi>(this);
    session_ = std::make_unique<Session>(*ui_, std::move(paths));
    buildStatusBar();
    buildToolBar();
    context_.user.menuType = common::kFullMenu;
    loadMenus();
    applyToolbarState();
}

MainWindow::~MainWindow() {
    shutDown();
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    for (int part = 0; part < kStatusParts; ++part) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPart%1").arg(part));
        statusParts_.push_back(label);
    }
    statusParts_[0]->setFixedWidth(4);
    statusParts_[2]->hide();
    statusParts_[3]->hide();
    const int monthWidth =
        statusParts_[kMonthPart]->fontMetrics().horizontalAdvance(QStringLiteral("September 2000"));
    statusParts_[kMonthPart]->setMinimumWidth(monthWidth + 8);
    statusParts_[kMonthPart]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusParts_[kMenuHelpPart]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(statusParts_[0]);
    bar->addWidget(statusParts_[kMenuHelpPart], 1);
    bar->addWidget(statusParts_[2]);
    bar->addWidget(statusParts_[3]);
    bar->addPermanentWidget(statusParts_[kMonthPart]);
    ui_->setStatusSink([this](const QString& text) { statusParts_[kMenuHelpPart]->setText(text); });
}

void MainWindow::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("MainToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(20, 20));
    for (int id : toolbarButtons()) {
        if (id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        const CommandTexts& texts = commandTexts(id);
        QAction* action = toolBar_->addAction(buttonIcon(id, *style()), toQString(texts.tooltip));
        action->setObjectName(QStringLiteral("button%1").arg(id));
        action->setData(id);
        action->setToolTip(toQString(texts.tooltip).left(64));
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        toolbarActions_[id] = action;
    }
}

void MainWindow::loadMenus() {
    // A reload may run from one of these menus' own items, so they go later.
    for (QMenu* menu : menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        menu->deleteLater();
    menuBar()->clear();
    menuActions_.clear();
    const std::vector<Popup>& popups = app::menuBar(context_.user.menuType);
    const Popup& document = documentPopup(context_.document, context_.reportCode);
    for (std::size_t i = 0; i < popups.size(); ++i) {
        // The open document's popup comes second.
        if (i == 1 && !document.title.empty())
            addPopup(document);
        addPopup(popups[i]);
    }
    loadAccelerators();
}

void MainWindow::addPopup(const Popup& popup) {
    QMenu* menu = menuBar()->addMenu(toQString(popup.title));
    addEntries(*menu, popup.entries);
    if (&popup == &documentPopup(context_.document, context_.reportCode)) {
        menu->setObjectName(QStringLiteral("DocumentMenu"));
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateDocumentItems);
    }
}

void MainWindow::addEntries(QMenu& menu, const std::vector<MenuEntry>& entries) {
    menu.installEventFilter(this);
    connect(&menu, &QMenu::hovered, this, [this](QAction* action) {
        const int id = commandOf(action);
        QString text = id ? toQString(commandTexts(id).helpText).left(128) : QString();
        // A grayed item says why, so the clerk knows what to ask for.
        if (id && !action->isEnabled())
            text += QStringLiteral("  (") + toQString(whyGrayed(id, context_)) + QLatin1Char(')');
        statusParts_[kMenuHelpPart]->setText(text);
    });
    connect(&menu, &QMenu::aboutToHide, this, &MainWindow::restoreStatusCaption);
    for (const MenuEntry& entry : entries) {
        if (entry.kind == MenuEntry::Kind::Separator) {
            menu.addSeparator();
        } else if (entry.kind == MenuEntry::Kind::Submenu) {
            addEntries(*menu.addMenu(toQString(entry.title)), entry.entries);
        } else {
            const CommandState state = CommandRules::menuItem(entry.id, context_);
            if (!state.present)
                continue;
            QAction* action = menu.addAction(
                toQString(entry.title.empty() ? commandTexts(entry.id).menuText : entry.title));
            action->setObjectName(QStringLiteral("cmd%1").arg(entry.id));
            action->setData(entry.id);
            action->setEnabled(state.enabled);
            const int id = entry.id;
            connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
            menuActions_[id] = action;
        }
    }
}

void MainWindow::loadAccelerators() {
    for (QAction* action : accelerators_) {
        removeAction(action);
        delete action;
    }
    accelerators_.clear();
    for (const Accelerator& key : accelerators(context_.user.menuType)) {
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("key%1").arg(toQString(key.key)));
        action->setShortcut(QKeySequence(toQString(key.key)));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(key.id);
        // A key whose command cannot run now leaves the key to the widgets.
        action->setEnabled(CommandRules::mayRun(key.id, context_));
        const int id = key.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        addAction(action);
        accelerators_.push_back(action);
    }
}

void MainWindow::applyToolbarState() {
    for (const auto& [id, action] : toolbarActions_) {
        const CommandState state = CommandRules::toolbarButton(id, context_);
        action->setVisible(state.present);
        action->setEnabled(state.enabled);
    }
}

QLabel* MainWindow::statusPart(int part) const {
    return part >= 0 && part < kStatusParts ? statusParts_[static_cast<std::size_t>(part)]
                                            : nullptr;
}

QAction* MainWindow::menuAction(int id) const {
    const auto found = menuActions_.find(id);
    return found == menuActions_.end() ? nullptr : found->second;
}

QAction* MainWindow::toolbarAction(int id) const {
    const auto found = toolbarActions_.find(id);
    return found == toolbarActions_.end() ? nullptr : found->second;
}

void MainWindow::refreshCaptions() {
    if (!session_->hasModules())
        return;
    const common::ORGREC& org = *session_->orgs().getOpenOrg();
    setWindowTitle(org.name.empty() ? QStringLiteral("Kelo Roster")
                                    : toQString(session_->orgs().caption()));
    statusParts_[kMonthPart]->setText(
        org.name.empty() ? QString()
                         : QStringLiteral("%1 %2").arg(toQString(org.month)).arg(org.year));
    overview_->setLines(periodOverview(org));
}

void MainWindow::restoreStatusCaption() {
    statusParts_[kMenuHelpPart]->setText(documentCaption_);
}

void MainWindow::afterOrganisationChange() {
    context_.user = *session_->users().getUser();
    loadMenus();
    applyToolbarState();
    refreshCaptions();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (subWindow_ && watched == static_cast<QObject*>(subWindow_) &&
        event->type() == QEvent::Close) {
        // The window's own close button closes as File > Close does, once
        // its event is over.
        event->ignore();
        QMetaObject::invokeMethod(
            this, [this] { runCommand(cmd::Close); }, Qt::QueuedConnection);
        return true;
    }
    if (subWindow_ && watched == static_cast<QObject*>(subWindow_) &&
        event->type() == QEvent::FocusIn && document_)
        document_->restoreFocus();
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        // F1 on a highlighted item asks for help on its group and does not
        // run the command.
        const int id = commandOf(menu->activeAction());
        if (id != 0) {
            for (QWidget* popup = QApplication::activePopupWidget(); popup;
                 popup = QApplication::activePopupWidget())
                popup->close();
            showHelpFor(id);
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showHelpFor(int id) {
    const int context = helpContextOf(id, context_.document);
    if (context != 0)
        help_.show(context);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_ || !loggedIn_) {
        event->accept();
        return;
    }
    if (!closeDocument()) {
        event->ignore();
        return;
    }
    const common::Answer answer =
        ui_->message("Do you wish to back up your data?", common::MessageIcon::Question,
                     common::MessageButtons::YesNoCancel);
    if (answer == common::Answer::Cancel) {
        event->ignore();
        return;
    }
    if (answer == common::Answer::Yes && session_->users().getUser()->exclusiveAccess)
        session_->orgs().backup(setup::systemDrive(), setup::systemClock());
    closing_ = true;
    shutDown();
    event->accept();
}

void MainWindow::shutDown() {
    // The document's form works on the session's tables, so it goes first.
    dropDocument();
    if (loggedIn_)
        session_->users().logout();
    loggedIn_ = false;
    if (session_)
        session_->destroyModules();
}

} // namespace kelo::app
