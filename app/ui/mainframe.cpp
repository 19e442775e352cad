#include "app/ui/mainframe.h"

#include "app/csvcommands.h"
#include "app/ui/qsettingsbackend.h"
#include "app/ui/text1252.h"
#include "base/paths.h"
#include "convert/ui/csvimportdialog.h"
#include "views/edithistorymodel.h"
#include "views/unittableview.h"
#include "views/unitview.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <type_traits>

// The pictures are compiled into the static GUI library; naming the initialiser here keeps the
// linker from dropping them.
static void initPictures() {
    Q_INIT_RESOURCE(varnel);
}

namespace varnel {

namespace {

constexpr int kButtonSize = 24;
constexpr int kUnitsPaneMinWidth = 90;
// The central area while no unit form exists.
constexpr int kEmptyWidth = 720;
constexpr int kEmptyHeight = 480;
// The window while it shows a units table: resizable, starting at least this large.
constexpr int kTableWidth = 1100;
constexpr int kTableHeight = 680;
constexpr int kTableMinWidth = 480;
constexpr int kTableMinHeight = 320;
constexpr int kRecentPathLength = 60;
// The smallest the form's scrolled area gets while a panel shares the window.
constexpr int kFormMinWidth = 240;
constexpr int kFormMinHeight = 160;

int slot(Game g) {
    return static_cast<int>(GameIndex(g));
}

// The status prompt of a command that has only a menu text: that text without mnemonics.
QString plainText(const QString& menuText) {
    QString t = menuText;
    t.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    t.remove(QLatin1Char('&'));
    t.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return t;
}

// A status pane whose text may be wider than the window: each part ("Countries from: path",
// "Names from: path", five blanks apart) gives up the start of its path first, so the file names
// stay in sight. The text itself stays whole (and in the tooltip).
class StatusPane : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override {
        const QFontMetrics fm = fontMetrics();
        const QRect area = contentsRect().adjusted(margin(), 0, -margin(), 0);
        if (fm.horizontalAdvance(text()) <= area.width()) {
            QLabel::paintEvent(event);
            return;
        }
        const QString gap = QStringLiteral("     ");
        const QStringList parts = text().split(gap);
        const int share = (area.width() - fm.horizontalAdvance(gap) * int(parts.size() - 1)) /
                          int(std::max<qsizetype>(1, parts.size()));
        QStringList shown;
        for (const QString& part : parts) {
            const qsizetype colon = part.indexOf(QStringLiteral(": "));
            const QString head = colon < 0 ? QString() : part.left(colon + 2);
            const QString tail = colon < 0 ? part : part.mid(colon + 2);
            shown << head + fm.elidedText(tail, Qt::ElideLeft,
                                          std::max(0, share - fm.horizontalAdvance(head)));
        }
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, int(Qt::AlignLeft | Qt::AlignVCenter), shown.join(gap));
    }
};

// The central area while no form exists: a size to open at, and none it insists on (the stack's
// smallest size is that of its largest page, however hidden).
class EmptyArea : public QWidget {
  public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {kEmptyWidth, kEmptyHeight}; }
};

// A form inside the window: at its own size where the window has room, scrolled where it has
// not (a small screen, a large scale, a panel below it).
class FormScrollArea : public QScrollArea {
  public:
    FormScrollArea(QWidget* form, QWidget* parent) : QScrollArea(parent) {
        setObjectName(form->objectName() + QStringLiteral("ScrollArea"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(form);
        // A form is never squeezed below its own size (its rows would overlap): it scrolls.
        keepWhole();
        form->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest)
            keepWhole();
        return QScrollArea::eventFilter(watched, event);
    }
    // The form's whole size (a scroll area's own hint is capped at a few hundred pixels).
    QSize sizeHint() const override {
        const QWidget* form = widget();
        if (form == nullptr)
            return QScrollArea::sizeHint();
        const int frame = 2 * frameWidth();
        return form->sizeHint().expandedTo(form->minimumSizeHint()) + QSize(frame, frame);
    }
    QSize minimumSizeHint() const override { return {kFormMinWidth, kFormMinHeight}; }

  private:
    void keepWhole() {
        QWidget* form = widget();
        form->setMinimumSize(form->sizeHint().expandedTo(form->minimumSizeHint()));
    }
};

QIcon picture(const char* themeName, const char* file) {
    const QIcon bundled(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(file)));
    if (!themeName)
        return bundled;
    return QIcon::fromTheme(QLatin1String(themeName), bundled);
}

} // namespace

CMainFrame::CMainFrame(CVarnelDoc& doc, RecentFileList& recentFiles, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      doc_(doc), recentFiles_(recentFiles) {
    initPictures();
    setObjectName(QStringLiteral("mainFrame"));
    setAcceptDrops(true);

    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("viewStack"));
    emptyArea_ = new EmptyArea(stack_);
    emptyArea_->setObjectName(QStringLiteral("emptyArea"));
    stack_->addWidget(emptyArea_);
    setCentralWidget(stack_);

    buildActions();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    buildHistoryPanel();
    rebuildRecentFiles();

    move(10, 0);
    doc_.addObserver(this);
    updateCommandStates();
    fitToContent();
}

CMainFrame::~CMainFrame() {
    doc_.removeObserver(this);
    // The panels hide while the window's children go: that must not reach this part of it.
    for (QDockWidget* dock : findChildren<QDockWidget*>())
        disconnect(dock, nullptr, this, nullptr);
    for (Game g : {Game::Pg2, Game::Peg}) {
        if (QWidget* v = views_[slot(g)]) {
            disconnect(v, nullptr, this, nullptr);
            doc_.view(g).registered = false;
        }
        if (QWidget* t = tables_[slot(g)])
            disconnect(t, nullptr, this, nullptr);
    }
}

QAction* CMainFrame::makeAction(const char* objectName, const QString& text,
                                const QString& statusTip, const QString& toolTip) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(objectName));
    action->setStatusTip(statusTip.isEmpty() ? plainText(text) : statusTip);
    action->setToolTip(toolTip.isEmpty() ? plainText(text) : toolTip);
    return action;
}

void CMainFrame::buildActions() {
    auto command = [this](const char* name, const QString& text, const QString& status,
                          const QString& tip, auto&& run) {
        QAction* a = makeAction(name, text, status, tip);
        connect(a, &QAction::triggered, this, [this, run](bool checked) {
            emit commandStarting();
            if constexpr (std::is_invocable_v<decltype(run), bool>)
                run(checked);
            else
                run();
        });
        return a;
    };
    const QString none;

    reloadTFileAction_ = command("reloadTFileAction", QStringLiteral("ReLoad  GUI97"), none, none,
                                 [this] { doc_.reloadTFile(); });
    reloadIconsAction_ = command("reloadIconsAction", QStringLiteral("ReLoad  Icons"), none, none,
                                 [this] { doc_.reloadIcons(); });
    openAction_ = command("openAction", QStringLiteral("&Open..."), none,
                          QStringLiteral("Open E-File"), [this] { doc_.open(); });
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAction_ = command("saveAction", QStringLiteral("&Save"), none,
                          QStringLiteral("Save E-File"), [this] { doc_.save(); });
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAsAction_ = command("saveAsAction", QStringLiteral("Save &As..."), none,
                            QStringLiteral("Save As E-File"), [this] { doc_.saveAs(); });
    restoreBackupAction_ =
        command("restoreBackupAction", QStringLiteral("Restore &Backup..."),
                QStringLiteral("Open a backup of the E-File, as a change you then save"), none,
                [this] { doc_.restoreBackup(); });
    printSetupAction_ = command("printSetupAction", QStringLiteral("P&rint Setup..."), none, none,
                                [this] { runHandler(FrameCommand::PrintSetup); });
    exitAction_ = command("exitAction", QStringLiteral("E&xit"), none, none, [this] { close(); });

    undoAction_ = command("undoAction", QStringLiteral("&Undo"), none, none,
                          [this] { doc_.undo(doc_.currentGame()); });
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = command("redoAction", QStringLiteral("&Redo"), none, none,
                          [this] { doc_.redo(doc_.currentGame()); });
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    historyAction_ = makeAction("editHistoryAction", QStringLiteral("Edit &History"), none);
    historyAction_->setCheckable(true);
    unitsTableAction_ = makeAction("unitsTableAction", QStringLiteral("&Units Table"),
                                   QStringLiteral("Every unit and field side by side"),
                                   QStringLiteral("Units Table"));
    unitsTableAction_->setCheckable(true);
    unitsTableAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(unitsTableAction_, &QAction::toggled, this, [this](bool on) { setTableMode(on); });

    statusBarAction_ =
        command("statusBarAction", QStringLiteral("&Status Bar"), none, none, [this](bool shown) {
            statusBar()->setVisible(shown);
            fitToContent();
        });
    statusBarAction_->setCheckable(true);
    statusBarAction_->setChecked(true);
    viewPegAction_ = command("viewPegAction", QStringLiteral("View People Data"),
                             QStringLiteral("View/Edit  PeG  E-File"),
                             QStringLiteral("View  PeG E-File"), [this] { SwitchView(Game::Peg); });
    viewPg2Action_ = command("viewPg2Action", QStringLiteral("View PG2 Data"),
                             QStringLiteral("View/Edit  PG2  E-File"),
                             QStringLiteral("View PG2 E-File"), [this] { SwitchView(Game::Pg2); });
    editTextFileAction_ =
        command("editTextFileAction", QStringLiteral("Edit Text File"),
                QStringLiteral("Select a Text file to Edit"), QStringLiteral("Edit text file"),
                [this] { doc_.editTextFile(); });

    equipmentReportAction_ = command("equipmentReportAction", QStringLiteral("Equipment Report"),
                                     none, QStringLiteral("Data Report"),
                                     [this] { runHandler(FrameCommand::EquipmentReport); });
    iconsReportAction_ = command("iconsReportAction", QStringLiteral("Icons  Report"), none, none,
                                 [this] { runHandler(FrameCommand::IconsReport); });

    convertAction_ = command("convertAction", QStringLiteral("Convert PG2  to PeG  EfFile"), none,
                             QStringLiteral("Convert PG2 to PeG"), [this] { doc_.convert(); });
    deleteAction_ = command("deleteAction", QStringLiteral("Delete Item"), none,
                            QStringLiteral("Delete Item"), [this] { doc_.deleteItem(); });
    deleteAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    cloneAction_ = command("cloneAction", QStringLiteral("Clone  Item"), none,
                           QStringLiteral("Clone Item"), [this] { doc_.cloneItem(); });
    cloneKeys_ = {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)};
    cloneAction_->setShortcuts(cloneKeys_);
    // There is nothing to paste from: the entry and its keys stay disabled.
    pasteAction_ = makeAction("pasteAction", QStringLiteral("Paste Item"), none);
    pasteKeys_ = {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)};
    pasteAction_->setShortcuts(pasteKeys_);
    pasteAction_->setEnabled(false);
    mergeEFileAction_ =
        command("mergeEFileAction", QStringLiteral("Merge from PeG Efile"), none,
                QStringLiteral("Merge extern Efile"), [this] { doc_.mergeFromEFile(); });
    mergeTxtAction_ = command("mergeTxtAction", QStringLiteral("Merge from TXT file"), none,
                              QStringLiteral("Merge from extern as defined in TXT file"),
                              [this] { doc_.mergeFromTxt(); });
    exportAction_ =
        command("exportAction", QStringLiteral("Export EFile"), none,
                QStringLiteral("Export based in extern Txt file"), [this] { doc_.exportEFile(); });
    // The spreadsheet round trip: every unit to CSV, and back through a preview.
    exportCsvAction_ = command("exportCsvAction", QStringLiteral("&Export to CSV..."),
                               QStringLiteral("Write every unit of the E-File to a CSV file"),
                               QStringLiteral("Export to CSV"), [this] { ExportCsvCommand(doc_); });
    importCsvAction_ = command("importCsvAction", QStringLiteral("&Import from CSV..."),
                               QStringLiteral("Set the units from a CSV file, checked field by "
                                              "field, after a preview"),
                               QStringLiteral("Import from CSV"), [this] {
                                   if (auto source = ChooseCsvImport(doc_)) {
                                       CCsvImportDialog dialog(doc_, std::move(*source), this);
                                       dialog.exec();
                                   }
                               });
    costModifierAction_ = command("costModifierAction", QStringLiteral("Global  Cost Modifier"),
                                  none, QStringLiteral("Global Cost Change"),
                                  [this] { runHandler(FrameCommand::CostModifier); });
    settingsAction_ = command("settingsAction", QStringLiteral("Settings, Folders and Files..."),
                              none, QStringLiteral("Settings,Folders and Files"),
                              [this] { runHandler(FrameCommand::Settings); });

    compareAction_ = command("compareAction", QStringLiteral("&Compare with E-File..."),
                             QStringLiteral("Compare the units shown with those of another E-File"),
                             none, [this] { runHandler(FrameCommand::Compare); });
    checkAction_ = command("checkAction", QStringLiteral("&Check Catalogue"),
                           QStringLiteral("List what in the units shown the game would choke on"),
                           none, [this] { runHandler(FrameCommand::Check); });

    aboutAction_ = command("aboutAction", QStringLiteral("&About Varnel..."), none,
                           QStringLiteral("About"), [this] { runHandler(FrameCommand::About); });

    // Ctrl+N has no menu entry; the window carries it.
    newAction_ = command("newAction", QStringLiteral("&New"), none, none, [this] {
        if (doc_.saveModified())
            doc_.newDocument();
    });
    newAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    addAction(newAction_);

    const struct {
        QAction* action;
        const char* theme;
        const char* file;
    } pictures[] = {
        {openAction_, "document-open", "open"},
        {saveAction_, "document-save", "save"},
        {saveAsAction_, "document-save-as", "save-as"},
        {editTextFileAction_, "accessories-text-editor", "edit-text"},
        {settingsAction_, "preferences-system", "settings"},
        {equipmentReportAction_, nullptr, "report"},
        {viewPg2Action_, nullptr, "view-pg2"},
        {viewPegAction_, nullptr, "view-peg"},
        {unitsTableAction_, "x-office-spreadsheet", "table"},
        {convertAction_, nullptr, "convert"},
        {deleteAction_, "edit-delete", "delete"},
        {cloneAction_, "edit-copy", "clone"},
        {mergeTxtAction_, nullptr, "merge-txt"},
        {mergeEFileAction_, nullptr, "merge-efile"},
        {exportAction_, nullptr, "export"},
        {costModifierAction_, nullptr, "cost"},
        {aboutAction_, "help-about", "about"},
    };
    for (const auto& p : pictures)
        p.action->setIcon(picture(p.theme, p.file));
}

void CMainFrame::buildMenus() {
    auto add = [](QMenu* menu, std::initializer_list<QAction*> items) {
        for (QAction* a : items) {
            if (a)
                menu->addAction(a);
            else
                menu->addSeparator();
        }
    };

    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    add(fileMenu_,
        {reloadTFileAction_, reloadIconsAction_, nullptr, openAction_, saveAction_, saveAsAction_,
         restoreBackupAction_, nullptr, exportCsvAction_, importCsvAction_, nullptr, compareAction_,
         nullptr, printSetupAction_, nullptr});
    recentEnd_ = fileMenu_->addSeparator();
    fileMenu_->addAction(exitAction_);

    editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    editMenu_->setObjectName(QStringLiteral("editMenu"));
    add(editMenu_, {undoAction_, redoAction_});

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    // The toolbar's own toggle keeps its check mark in step however the toolbar is hidden; it
    // is made in buildToolBar and put here then.
    viewMenu_ = view;
    add(view, {statusBarAction_, nullptr, viewPegAction_, viewPg2Action_, unitsTableAction_,
               nullptr, editTextFileAction_, nullptr, historyAction_});

    QMenu* reports = menuBar()->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("reportsMenu"));
    add(reports, {equipmentReportAction_, iconsReportAction_});

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("toolsMenu"));
    add(tools, {convertAction_, nullptr, deleteAction_, cloneAction_, pasteAction_, nullptr,
                mergeEFileAction_, mergeTxtAction_, nullptr, exportAction_, costModifierAction_,
                nullptr, checkAction_, nullptr, settingsAction_});

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(aboutAction_);
}

void CMainFrame::buildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    toolBar_->setIconSize(QSize(kButtonSize, kButtonSize));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    QAction* const places[] = {openAction_,      saveAction_,
                               saveAsAction_,    editTextFileAction_,
                               settingsAction_,  equipmentReportAction_,
                               nullptr,          viewPg2Action_,
                               viewPegAction_,   nullptr,
                               convertAction_,   nullptr,
                               deleteAction_,    cloneAction_,
                               mergeTxtAction_,  mergeEFileAction_,
                               exportAction_,    costModifierAction_,
                               aboutAction_,     nullptr,
                               unitsTableAction_};
    for (QAction* action : places) {
        if (action)
            toolBar_->addAction(action);
        else
            toolBar_->addSeparator();
    }

    QAction* toggle = toolBar_->toggleViewAction();
    toggle->setText(QStringLiteral("&Toolbar"));
    toggle->setObjectName(QStringLiteral("toolbarAction"));
    toggle->setStatusTip(plainText(toggle->text()));
    toolbarAction_ = toggle;
    viewMenu_->insertAction(statusBarAction_, toggle);

    // The window keeps the size of what it shows: a toolbar that is moved, docked elsewhere or
    // hidden changes that size.
    connect(toolBar_, &QToolBar::orientationChanged, this, [this] { fitToContent(); });
    connect(toolBar_, &QToolBar::topLevelChanged, this, [this] { fitToContent(); });
    connect(toolBar_, &QToolBar::visibilityChanged, this, [this] { fitToContent(); });
}

void CMainFrame::buildStatusBar() {
    countriesPane_ = new StatusPane(this);
    countriesPane_->setObjectName(QStringLiteral("countriesPane"));
    // Paths are shown as they are, never read as markup.
    countriesPane_->setTextFormat(Qt::PlainText);
    // A long path must not widen the window; the whole text is in the tooltip.
    countriesPane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    unitsPane_ = new QLabel(this);
    unitsPane_->setObjectName(QStringLiteral("unitsPane"));
    unitsPane_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    unitsPane_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The largest count a table holds must fit.
    const int widest =
        unitsPane_->fontMetrics().horizontalAdvance(QStringLiteral(" 65535 / 65535 Units")) + 12;
    unitsPane_->setFixedWidth(std::max(kUnitsPaneMinWidth, widest));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addWidget(countriesPane_, 1);
    statusBar()->addPermanentWidget(unitsPane_);
}

void CMainFrame::buildHistoryPanel() {
    historyDock_ = new QDockWidget(QStringLiteral("Edit History"), this);
    historyDock_->setObjectName(QStringLiteral("editHistoryDock"));
    historyDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    historyModel_ = new EditHistoryModel(doc_, historyDock_);
    auto* list = new QListView(historyDock_);
    list->setObjectName(QStringLiteral("editHistoryListView"));
    list->setModel(historyModel_);
    // A step lists the values it changed below its text: lines differ in height.
    list->setUniformItemSizes(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    historyDock_->setWidget(list);
    addDockWidget(Qt::RightDockWidgetArea, historyDock_);
    historyDock_->hide();
    // A click on a line undoes or redoes back to it.
    connect(list, &QListView::clicked, this, [this](const QModelIndex& index) {
        emit commandStarting();
        doc_.moveHistoryTo(historyModel_->game(), static_cast<std::size_t>(index.row()));
    });
    connect(historyAction_, &QAction::toggled, historyDock_, &QDockWidget::setVisible);
    connect(historyDock_, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            keepCurrentUnitInSight();
    });
    connect(historyDock_, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        const QSignalBlocker block(historyAction_);
        historyAction_->setChecked(shown || (historyDock_->isVisible() && !isMinimized()));
        fitToContent();
    });
}

void CMainFrame::updateUndoActions() {
    const EditHistory& history = doc_.history(doc_.currentGame());
    const EditStep* undo = history.undoStep();
    const EditStep* redo = history.redoStep();
    auto label = [](const QString& verb, const EditStep* step) {
        if (step == nullptr)
            return verb;
        QString text = FromMessage(step->text());
        // A name or an icon may hold "&": it is no mnemonic here.
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        return verb + QLatin1Char(' ') + text;
    };
    undoAction_->setText(label(QStringLiteral("&Undo"), undo));
    redoAction_->setText(label(QStringLiteral("&Redo"), redo));
    undoAction_->setStatusTip(plainText(undoAction_->text()));
    redoAction_->setStatusTip(plainText(redoAction_->text()));
    undoAction_->setEnabled(undo != nullptr);
    redoAction_->setEnabled(redo != nullptr);
    historyModel_->setGame(doc_.currentGame());
    historyModel_->reset();
    if (auto* list = qobject_cast<QListView*>(historyDock_->widget()))
        list->setCurrentIndex(historyModel_->index(static_cast<int>(history.index())));
}

void CMainFrame::rebuildRecentFiles() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        delete a;
    }
    recentActions_.clear();
    const QStringList& files = recentFiles_.files();
    if (files.isEmpty()) {
        auto* placeholder = new QAction(QStringLiteral("Recent File"), this);
        placeholder->setObjectName(QStringLiteral("recentFilePlaceholder"));
        placeholder->setEnabled(false);
        recentActions_.append(placeholder);
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        QString shown = FromPath(ShortenPath(ToPath(path), kRecentPathLength));
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
        entry->setObjectName(QStringLiteral("recentFileAction%1").arg(i + 1));
        entry->setStatusTip(QStringLiteral("Open this document"));
        entry->setToolTip(path);
        entry->setData(path);
        const std::optional<Game> game = recentFiles_.game(i);
        connect(entry, &QAction::triggered, this,
                [this, path, game] { openDocumentFile(path, game); });
        recentActions_.append(entry);
    }
    fileMenu_->insertActions(recentEnd_, recentActions_);
}

void CMainFrame::setViewFactory(ViewFactory factory) {
    viewFactory_ = std::move(factory);
    updateCommandStates();
}

void CMainFrame::setCommandHandler(FrameCommand command, std::function<void()> handler) {
    if (handler)
        handlers_[command] = std::move(handler);
    else
        handlers_.erase(command);
    updateCommandStates();
}

void CMainFrame::runHandler(FrameCommand command) {
    const auto it = handlers_.find(command);
    if (it != handlers_.end())
        it->second();
}

QWidget* CMainFrame::view(Game game) const {
    return views_[slot(game)];
}

void CMainFrame::setTableFactory(ViewFactory factory) {
    tableFactory_ = std::move(factory);
    updateCommandStates();
}

QWidget* CMainFrame::table(Game game) const {
    return tables_[slot(game)];
}

QWidget* CMainFrame::pageOf(QWidget* form) const {
    // The form stands in the viewport of its scroll area, a page of the stack.
    for (QWidget* w = form; w != nullptr; w = w->parentWidget())
        if (w->parentWidget() == stack_)
            return w;
    return form;
}

bool CMainFrame::isTable(const QWidget* page) const {
    return page != nullptr && (page == tables_[0] || page == tables_[1]);
}

bool CMainFrame::tableShown() const {
    return tableMode_ && tables_[slot(doc_.currentGame())] != nullptr;
}

void CMainFrame::makePages(Game game) {
    QWidget*& form = views_[slot(game)];
    if (!form && viewFactory_) {
        form = viewFactory_(game);
        if (form) {
            stack_->addWidget(new FormScrollArea(form, stack_));
            doc_.view(game).registered = true;
            connect(form, &QObject::destroyed, this, [this, game] {
                views_[slot(game)] = nullptr;
                doc_.view(game).registered = false;
                updateCommandStates();
            });
        }
    }
    QWidget*& table = tables_[slot(game)];
    if (tableMode_ && form && !table && tableFactory_) {
        table = tableFactory_(game);
        if (table) {
            stack_->addWidget(table);
            connect(table, &QObject::destroyed, this, [this, game] {
                tables_[slot(game)] = nullptr;
                updateCommandStates();
            });
        }
    }
}

void CMainFrame::showPage(Game game) {
    QWidget* form = views_[slot(game)];
    QWidget* table = tables_[slot(game)];
    QWidget* current = tableMode_ && table ? table : (form ? pageOf(form) : emptyArea_);
    // Only the shown page may size the window.
    for (int i = 0; i < stack_->count(); ++i) {
        QWidget* page = stack_->widget(i);
        page->setSizePolicy(page == current
                                ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred)
                                : QSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored));
    }
    const bool wasTable = isTable(stack_->currentWidget());
    if (wasTable && !isTable(current))
        tableSize_ = size();
    stack_->setCurrentWidget(current);
    const bool tableOn = current == table;
    // The window keeps the size the user gave the table; the first time it shows plenty of rows
    // and columns, within the screen.
    if (tableOn && !wasTable) {
        QSize size = tableSize_.isValid() ? tableSize_ : QSize(kTableWidth, kTableHeight);
        if (const QScreen* s = screen())
            size = size.boundedTo(s->availableSize());
        setMinimumSize(kTableMinWidth, kTableMinHeight);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(size);
    }
    // In the table Ctrl+C and Ctrl+V copy and paste cells, as in a spreadsheet; Clone and the
    // form's paste keep their keys for the form.
    cloneAction_->setShortcuts(tableOn ? QList<QKeySequence>() : cloneKeys_);
    pasteAction_->setShortcuts(tableOn ? QList<QKeySequence>() : pasteKeys_);
    fitToContent();
}

void CMainFrame::SwitchView(Game game) {
    doc_.setCurrentGame(game);
    makePages(game);
    showPage(game);
    emit viewActivated(game);
    updateCommandStates();
    doc_.refreshTitle();
}

void CMainFrame::setTableMode(bool on) {
    if (on == tableMode_)
        return;
    // What was typed into the form (or a cell) is committed before the page goes away.
    emit commandStarting();
    tableMode_ = on;
    {
        const QSignalBlocker block(unitsTableAction_);
        unitsTableAction_->setChecked(on);
    }
    const Game game = doc_.currentGame();
    makePages(game);
    showPage(game);
    emit tableModeChanged(game, tableShown());
    updateCommandStates();
    emit statusChanged();
}

QSize CMainFrame::fitInScreen(QSize size) const {
    const QScreen* s = screen();
    if (s == nullptr)
        return size;
    // The window manager's frame comes on top of the window's own size.
    const QSize frame = frameGeometry().size() - this->size();
    return size.boundedTo(s->availableGeometry().size() - frame.expandedTo(QSize(0, 0)));
}

void CMainFrame::fitToContent() {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (tableShown()) {
        // The table is as large as the user makes the window, within the screen.
        setMinimumSize(kTableMinWidth, kTableMinHeight);
        const QSize fitting = fitInScreen(size());
        if (fitting != size())
            resize(fitting);
        return;
    }
    ensurePolished();
    if (QLayout* l = layout()) {
        l->invalidate();
        l->activate();
    }
    // The form at its whole size where the screen has room for it, otherwise as much as the
    // screen's free area holds, scrolled; panels share that space and never grow it.
    setMinimumSize(minimumSizeHint().boundedTo(fitInScreen(minimumSizeHint())));
    resize(fitInScreen(sizeHint()));
    keepOnScreen();
}

void CMainFrame::keepOnScreen() {
    const QScreen* s = screen();
    if (s == nullptr || !isVisible())
        return;
    const QRect area = s->availableGeometry();
    const QRect outer = frameGeometry();
    if (area.contains(outer))
        return;
    QPoint at = outer.topLeft();
    at.setX(
        std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
    at.setY(
        std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
    move(at);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous() || centred_)
        return;
    // Laid out and polished only now: the size is final, so the window is centred at it.
    centred_ = true;
    fitToContent();
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const QSize outer = frameGeometry().size();
        auto start = [](int areaStart, int areaLength, int length) {
            return length > areaLength ? areaStart : areaStart + (areaLength - length) / 2;
        };
        move(start(area.left(), area.width(), outer.width()),
             start(area.top(), area.height(), outer.height()));
    }
}

void CMainFrame::showUnit(Game game, int unit) {
    if (doc_.currentGame() != game || views_[slot(game)] == nullptr)
        SwitchView(game);
    // The panels show their unit where the user looks: the table when it is shown, the form
    // otherwise.
    if (tableShown()) {
        if (auto* table = qobject_cast<CUnitTableView*>(tables_[slot(game)])) {
            table->ShowUnitAt(unit);
            return;
        }
    }
    if (auto* form = qobject_cast<CUnitView*>(views_[slot(game)]))
        form->ShowUnitAt(unit);
}

void CMainFrame::keepCurrentUnitInSight() {
    QTimer::singleShot(0, this, [this] {
        QWidget* page = stack_->currentWidget();
        if (page == nullptr)
            return;
        QAbstractItemView* view =
            page->findChild<QAbstractItemView*>(QStringLiteral("unitListView"));
        if (view == nullptr)
            view = page->findChild<QAbstractItemView*>(QStringLiteral("unitTableView"));
        if (view == nullptr || !view->currentIndex().isValid())
            return;
        const QModelIndex current = view->currentIndex();
        view->scrollTo(current);
        // The rows only: the columns the user scrolled to stay.
        const QRect item = view->visualRect(current);
        const QPoint centre(view->viewport()->width() / 2, item.center().y());
        for (QWidget* w = view->parentWidget(); w != nullptr && w != page->parentWidget();
             w = w->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(w); area && area->widget()) {
                const QPoint at = view->viewport()->mapTo(area->widget(), centre);
                area->ensureVisible(area->horizontalScrollBar()->value() +
                                        area->viewport()->width() / 2,
                                    at.y(), 0, item.height() / 2 + 1);
            }
    });
}

void CMainFrame::addPanel(QDockWidget* panel) {
    panel->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, panel);
    connect(panel, &QDockWidget::visibilityChanged, this, [this, panel](bool shown) {
        fitToContent();
        // A panel takes what it needs, at most a third of the window: the form keeps the rest.
        if (shown && !panel->isFloating())
            resizeDocks({panel},
                        {std::max(panel->minimumSizeHint().height(),
                                  std::min(panel->sizeHint().height(), height() / 3))},
                        Qt::Vertical);
        if (shown)
            keepCurrentUnitInSight();
    });
    connect(panel, &QDockWidget::topLevelChanged, this, [this] { fitToContent(); });
}

void CMainFrame::setStatusPanes(const QString& countries, const QString& units) {
    if (countriesPane_->text() != countries) {
        countriesPane_->setText(countries);
        countriesPane_->setToolTip(countries);
    }
    if (unitsPane_->text() != units)
        unitsPane_->setText(units);
}

void CMainFrame::updateCommandStates() {
    const Game g = doc_.currentGame();
    const bool table = doc_.hasTable(g);
    const bool form = views_[slot(g)] != nullptr;
    auto enable = [](QAction* action, bool on) { action->setEnabled(on); };
    auto handled = [this](FrameCommand c) { return handlers_.count(c) != 0; };

    for (QAction* action : {saveAction_, saveAsAction_, restoreBackupAction_, mergeEFileAction_,
                            mergeTxtAction_, exportAction_, exportCsvAction_, importCsvAction_})
        enable(action, table);
    // Clone and Delete need a unit to act on: the current one, which the list shows (a filter
    // that lists nothing leaves the form empty, and the current unit is then filtered out).
    const ViewSlot& viewSlot = doc_.view(g);
    const bool units = doc_.passesFilter(g, viewSlot.currentUnit, viewSlot.filter);
    enable(cloneAction_, table && form && units);
    enable(deleteAction_, table && form && units);
    enable(pasteAction_, false);
    enable(unitsTableAction_, form && tableFactory_ != nullptr);
    enable(viewPegAction_, g != Game::Peg);
    enable(viewPg2Action_, g != Game::Pg2);
    enable(costModifierAction_, g == Game::Peg && handled(FrameCommand::CostModifier));
    enable(equipmentReportAction_, form && handled(FrameCommand::EquipmentReport));
    enable(iconsReportAction_, form && handled(FrameCommand::IconsReport));
    enable(settingsAction_, form && handled(FrameCommand::Settings));
    enable(compareAction_, table && handled(FrameCommand::Compare));
    enable(checkAction_, table && handled(FrameCommand::Check));
    enable(aboutAction_, handled(FrameCommand::About));
    enable(printSetupAction_, handled(FrameCommand::PrintSetup));
    if (historyModel_ != nullptr)
        updateUndoActions();
}

bool CMainFrame::openDocumentFile(const QString& path, std::optional<Game> game) {
    emit commandStarting();
    const bool loaded = doc_.openDocument(ToPath(QDir::toNativeSeparators(path)), game);
    // An entry whose file has gone is of no use any more.
    if (!loaded && !QFileInfo::exists(path)) {
        recentFiles_.remove(path);
        rebuildRecentFiles();
    }
    return loaded;
}

void CMainFrame::refreshAllViews() {
    updateCommandStates();
    emit statusChanged();
}

void CMainFrame::documentChanged(const DocChange& change) {
    (void)change;
    updateCommandStates();
    emit statusChanged();
}

void CMainFrame::historyChanged(Game game) {
    if (game == doc_.currentGame())
        updateUndoActions();
}

void CMainFrame::titleChanged(const std::string& title) {
    QString text = FromPath(title);
    // "[*]" is Qt's modified-mark placeholder; a path may hold it literally.
    text.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(text);
    updateCommandStates();
    emit statusChanged();
}

void CMainFrame::fileOpened(const std::string& path, Game game) {
    recentFiles_.add(FromPath(path), game);
    rebuildRecentFiles();
}

void CMainFrame::showGame(Game game) {
    if (game != doc_.currentGame())
        SwitchView(game);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (doc_.close())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        doc_.checkChangedFiles();
}

namespace {
QString firstLocalFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}
} // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = firstLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    openDocumentFile(path);
}

} // namespace varnel
