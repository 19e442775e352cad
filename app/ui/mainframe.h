#pragma once
// CMainFrame: the editor's one window. It carries the menus, the toolbar and the two-pane status
// bar, shows the unit form of the current game and dispatches every command to the document (or
// to the handler given for it). It computes nothing itself.

#include "app/varneldoc.h"

#include <QKeySequence>
#include <QList>
#include <QMainWindow>

#include <array>
#include <functional>
#include <map>

class QDockWidget;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace varnel {

class EditHistoryModel;
class RecentFileList;

// The commands whose dialogs live outside the frame; each stays disabled until its handler is
// given (setCommandHandler).
enum class FrameCommand {
    About,
    PrintSetup,
    Settings,
    EquipmentReport,
    IconsReport,
    CostModifier,
    Compare,
    Check,
};

class CMainFrame : public QMainWindow, public DocObserver {
    Q_OBJECT
  public:
    // Makes the unit form of a game, as a child of the frame's central area. Called once per
    // game, the first time the game is shown.
    using ViewFactory = std::function<QWidget*(Game)>;

    CMainFrame(CVarnelDoc& doc, RecentFileList& recentFiles, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void setViewFactory(ViewFactory factory);
    // Makes the units table of a game, the first time it is shown; the "Units Table" command
    // stays disabled without one.
    void setTableFactory(ViewFactory factory);
    void setCommandHandler(FrameCommand command, std::function<void()> handler);

    // Makes the form of `game` the shown one (created on first use), sets the current game and
    // refreshes the title.
    void SwitchView(Game game);
    // The form of a game, or nullptr while it has not been made.
    QWidget* view(Game game) const;
    // The units table of a game, or nullptr while it has not been made.
    QWidget* table(Game game) const;
    // Shows the units table of the game shown (on) or its form (off), for this game and the
    // games switched to after it ("Units Table" in the View menu).
    void setTableMode(bool on);
    bool tableMode() const { return tableMode_; }
    // Whether the page shown is a units table.
    bool tableShown() const;

    // Shows unit `unit` of `game` in its units table when that is shown, otherwise in its form
    // (the game is shown first): what a click on a line of the compare and check panels does.
    void showUnit(Game game, int unit);

    // Docks a panel (the compare and check panels) below the form; the window keeps the size of
    // what it shows as the panel comes and goes.
    void addPanel(QDockWidget* panel);

    // The two status-bar panes.
    void setStatusPanes(const QString& countries, const QString& units);
    // Enables and disables the commands by what is loaded and shown.
    void updateCommandStates();
    // Loads a file as the framework opens it (command line, a drop, the recent list): as `game`
    // when known, otherwise as "Default E-File" says.
    bool openDocumentFile(const QString& path, std::optional<Game> game = std::nullopt);

    // DocObserver
    void refreshAllViews() override;
    void documentChanged(const DocChange& change) override;
    void historyChanged(Game game) override;
    void titleChanged(const std::string& title) override;
    void fileOpened(const std::string& path, Game game) override;
    void showGame(Game game) override;

  signals:
    // The form of `game` has just become the shown one; it rebuilds its unit list.
    void viewActivated(varnel::Game game);
    // The game's units table (shown true) or its form has become the shown page, the game
    // staying the same: the page takes the other's filter and current unit.
    void tableModeChanged(varnel::Game game, bool shown);
    // A command of the menus, the toolbar or the keys is about to run: a form commits the edit
    // box that has the focus, so what the user typed is part of what the command sees.
    void commandStarting();
    // The document told its observers something, or a form relisted its units: the status panes
    // may be out of date.
    void statusChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The window getting the focus looks for files changed by other programs.
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QAction* makeAction(const char* objectName, const QString& text, const QString& statusTip,
                        const QString& toolTip = {});
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void rebuildRecentFiles();
    void fitToContent();
    // Once the window has laid itself out again (a panel docked), the current unit of the page
    // shown is scrolled into sight: in its list or table, and the form in its scroll area.
    void keepCurrentUnitInSight();
    // `size` made no larger than the screen's free area (less the window manager's frame).
    QSize fitInScreen(QSize size) const;
    // Moves the window back inside the screen's free area where it reaches out of it.
    void keepOnScreen();
    // The page of the stack that holds `form` (its scroll area).
    QWidget* pageOf(QWidget* form) const;
    void runHandler(FrameCommand command);
    void buildHistoryPanel();
    void makePages(Game game);
    void showPage(Game game);
    bool isTable(const QWidget* page) const;
    // The Edit menu's entries say what they would undo and redo in the game shown.
    void updateUndoActions();

    CVarnelDoc& doc_;
    RecentFileList& recentFiles_;
    ViewFactory viewFactory_;
    ViewFactory tableFactory_;
    std::array<QWidget*, 2> tables_{};
    bool tableMode_ = false;
    QSize tableSize_;      // the window's size when a table was last shown; invalid before
    bool centred_ = false; // centred on its screen at its first show

    std::map<FrameCommand, std::function<void()>> handlers_;
    std::array<QWidget*, 2> views_{};
    QStackedWidget* stack_ = nullptr;
    QWidget* emptyArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* countriesPane_ = nullptr;
    QLabel* unitsPane_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    // The commands; the tests find each by its object name, the member name without "_".
    QAction* reloadTFileAction_ = nullptr;
    QAction* reloadIconsAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* restoreBackupAction_ = nullptr;
    QAction* printSetupAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* statusBarAction_ = nullptr;
    QAction* toolbarAction_ = nullptr;
    QAction* viewPegAction_ = nullptr;
    QAction* viewPg2Action_ = nullptr;
    QAction* editTextFileAction_ = nullptr;
    QAction* equipmentReportAction_ = nullptr;
    QAction* iconsReportAction_ = nullptr;
    QAction* convertAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* cloneAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* mergeEFileAction_ = nullptr;
    QAction* mergeTxtAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* exportCsvAction_ = nullptr;
    QAction* importCsvAction_ = nullptr;
    QAction* costModifierAction_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QAction* compareAction_ = nullptr;
    QAction* checkAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* historyAction_ = nullptr;
    QAction* unitsTableAction_ = nullptr;
    QList<QKeySequence> cloneKeys_;
    QList<QKeySequence> pasteKeys_;
    QDockWidget* historyDock_ = nullptr;
    EditHistoryModel* historyModel_ = nullptr;
    QAction* recentEnd_ = nullptr; // the separator after the recent-file entries
    QList<QAction*> recentActions_;
};

} // namespace varnel
