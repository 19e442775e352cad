#pragma once
// CVarnelApp: the application object. It opens the settings store, makes the document and the
// main frame, processes the command line, shows the window, switches to the PeG form when the
// settings say so, runs the About and Print Setup commands and keeps the status panes current.

#include "app/ui/mainframe.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPrinter;

namespace varnel {

class CCheckPanel;
class CComparePanel;
class QSettingsBackend;
class QtUiPort;
class RecentFileList;

struct CommandLine {
    std::optional<std::string> file;         // an E-File, loaded as "Default E-File" says
    std::optional<std::string> settingsFile; // --settings FILE: an INI file instead of the store
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name: at most one file, "--settings FILE" (or
// "--settings=FILE"), "--help" / "-h", "--version". Nothing, with `error` set, for anything else.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);
// The usage text for --help and for a wrong command line.
std::string CommandLineUsage();

// The texts of the two status-bar panes for the current game: "Countries from: %s     Names
// from: %s" with the T-File and the Names E-File shortened to 50 characters, and " %d / %d Units"
// with the units the form lists and the units loaded.
struct StatusTexts {
    std::string countries;
    std::string units;
};
StatusTexts StatusPaneTexts(const CVarnelDoc& doc);

// The top left of a frame of size `frame` centred in `available`, a screen's free area. In a
// direction where the frame does not fit it starts at the area's edge, so its top left (title bar
// and menu) stays on the screen.
QPoint CentredPosition(const QRect& available, const QSize& frame);

class CVarnelApp : public QObject {
    Q_OBJECT
  public:
    explicit CVarnelApp(QObject* parent = nullptr);
    ~CVarnelApp() override;

    const std::string appTitle;    // "Varnel Editor 2.07"
    const std::string versionLine; // the About box's line with the version and its date

    // Makes the unit form of a game for the frame and the document (MakeUnitView of views/);
    // given before initInstance, so that the first form is made at start-up. Without it the
    // frame's central area stays empty and the commands that need a form stay disabled.
    using FormFactory = std::function<QWidget*(CMainFrame&, CVarnelDoc&, Game)>;
    void setFormFactory(FormFactory factory);
    // How the units tables are made (MakeUnitTable); without one "Units Table" stays disabled.
    void setTableFactory(FormFactory factory);
    // The folder of the recovery journal (the editor: the user's state folder), given before
    // initInstance. Journals left there by an editor that died are offered at start-up; without
    // it nothing is journaled.
    void setJournalFolder(std::string folder) { journalFolder_ = std::move(folder); }

    // The start-up hook. `ui` replaces the Qt Ui port (tests script it). False when the file
    // named on the command line could not be loaded: the program ends then. A file that cannot
    // even be opened is reported on stderr ("varnel: cannot open %s: reason") before anything
    // is made or asked.
    bool initInstance(const CommandLine& commandLine, UiPort* ui = nullptr);

    // Sets the two status panes from the document; the frame asks whenever the document or a
    // form's list changed.
    void updateStatusPanes();

    CVarnelDoc* doc() { return doc_.get(); }
    CMainFrame* frame() { return frame_.get(); }
    QSettingsBackend* settingsStore() { return store_.get(); }

    // The compare and check panels, made the first time they are needed; owned by the frame.
    CComparePanel* comparePanel() { return comparePanel_; }
    CCheckPanel* checkPanel() { return checkPanel_; }

  private:
    void showAbout();
    void showPrintSetup();
    void compareWithEFile();
    void checkCatalogue();

    FormFactory formFactory_;
    FormFactory tableFactory_;
    std::string journalFolder_;
    std::unique_ptr<QtUiPort> qtUi_;
    std::unique_ptr<QSettingsBackend> store_;
    std::unique_ptr<RecentFileList> recentFiles_;
    std::unique_ptr<CVarnelDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<QPrinter> printer_;
    CComparePanel* comparePanel_ = nullptr;
    CCheckPanel* checkPanel_ = nullptr;
};

} // namespace varnel
