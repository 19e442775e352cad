#include "app/ui/varnelapp.h"

#include "app/appsettings.h"
#include "app/compareandcheck.h"
#include "app/efileio.h"
#include "app/recoveryjournal.h"
#include "app/ui/aboutbox.h"
#include "app/ui/qsettingsbackend.h"
#include "app/ui/qtuiport.h"
#include "app/ui/text1252.h"
#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "convert/ui/costdialog.h"
#include "reports/ui/checkpanel.h"
#include "reports/ui/comparepanel.h"
#include "reports/ui/iconsreportdialog.h"
#include "reports/ui/reportdialog.h"
#include "tools/ui/settingsdialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>

#include <cstdio>

namespace varnel {

namespace {
constexpr int kStatusPathLength = 50;
// Often enough that a changed filter shows at once, seldom enough to cost nothing.
constexpr const char* kBuildDate = "December 2001";
} // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
    CommandLine result;
    const std::string settingsOption = "--settings";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            result.help = true;
        } else if (a == "--version") {
            result.version = true;
        } else if (a == settingsOption || a.rfind(settingsOption + "=", 0) == 0) {
            std::string value;
            if (a == settingsOption) {
                if (i + 1 >= args.size()) {
                    error = "--settings needs a file name";
                    return std::nullopt;
                }
                value = args[++i];
            } else {
                value = a.substr(settingsOption.size() + 1);
            }
            if (value.empty()) {
                error = "--settings needs a file name";
                return std::nullopt;
            }
            if (result.settingsFile) {
                error = "--settings is given twice";
                return std::nullopt;
            }
            result.settingsFile = value;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            if (result.file) {
                error = "only one E-File can be opened at a time";
                return std::nullopt;
            }
            result.file = a;
        }
    }
    return result;
}

std::string CommandLineUsage() {
    return "Usage: varnel [--settings FILE] [EFILE]\n"
           "  EFILE            the E-File to open, as the game the \"Default E-File\" setting "
           "names\n"
           "  --settings FILE  keep the settings in the INI file FILE instead of the user's "
           "store\n"
           "  --help           show this text\n"
           "  --version        show the version\n";
}

StatusTexts StatusPaneTexts(const CVarnelDoc& doc) {
    const Game g = doc.currentGame();
    const std::string& tFile = doc.settings().tFile(g);
    const std::string& names = doc.settings().namesEFile(g);
    StatusTexts t;
    t.countries = Format("Countries from: %s     Names from: %s",
                         ShortenPath(tFile, kStatusPathLength).c_str(),
                         ShortenPath(names, kStatusPathLength).c_str());
    t.units = Format(" %d / %d Units", doc.view(g).listedUnits, static_cast<int>(doc.unitCount(g)));
    return t;
}

QPoint CentredPosition(const QRect& available, const QSize& frame) {
    auto start = [](int areaStart, int areaLength, int length) {
        return length > areaLength ? areaStart : areaStart + (areaLength - length) / 2;
    };
    return {start(available.left(), available.width(), frame.width()),
            start(available.top(), available.height(), frame.height())};
}

CVarnelApp::CVarnelApp(QObject* parent)
    : QObject(parent), appTitle(Format("Varnel Editor %s", kAppVersion)),
      versionLine(Format("Version %s, %s", kAppVersion, kBuildDate)) {}

CVarnelApp::~CVarnelApp() {
    // The frame observes the document: it goes first.
    frame_.reset();
    doc_.reset();
}

void CVarnelApp::setFormFactory(FormFactory factory) {
    formFactory_ = std::move(factory);
}

void CVarnelApp::setTableFactory(FormFactory factory) {
    tableFactory_ = std::move(factory);
}

bool CVarnelApp::initInstance(const CommandLine& commandLine, UiPort* ui) {
    // A file named on the command line that cannot be opened ends the start-up the way a
    // command-line program ends: a line on stderr, no chooser, no box, no window.
    if (commandLine.file) {
        const std::string reason = ReadFailure(*commandLine.file);
        if (!reason.empty()) {
            std::fprintf(stderr, "varnel: cannot open %s: %s\n", commandLine.file->c_str(),
                         reason.c_str());
            return false;
        }
    }

    // The store: the per-user one, or the INI file the command line names.
    if (commandLine.settingsFile)
        store_ = std::make_unique<QSettingsBackend>(FromPath(*commandLine.settingsFile));
    else
        store_ = std::make_unique<QSettingsBackend>();
    recentFiles_ = std::make_unique<RecentFileList>(store_->qsettings());

    // The document (with both view slots clear) and the frame.
    if (!ui) {
        qtUi_ = std::make_unique<QtUiPort>();
        ui = qtUi_.get();
    }
    doc_ = std::make_unique<CVarnelDoc>(*ui, *store_);
    frame_ = std::make_unique<CMainFrame>(*doc_, *recentFiles_);
    if (qtUi_)
        qtUi_->setParentWidget(frame_.get());
    if (formFactory_)
        frame_->setViewFactory([this](Game game) { return formFactory_(*frame_, *doc_, game); });
    if (tableFactory_)
        frame_->setTableFactory([this](Game game) { return tableFactory_(*frame_, *doc_, game); });
    frame_->setCommandHandler(FrameCommand::About, [this] { showAbout(); });
    frame_->setCommandHandler(FrameCommand::PrintSetup, [this] { showPrintSetup(); });
    frame_->setCommandHandler(FrameCommand::CostModifier, [this] {
        CCostDialog dialog(*doc_, frame_.get());
        dialog.exec();
    });
    frame_->setCommandHandler(FrameCommand::EquipmentReport, [this] {
        CReportDialog dialog(*doc_, frame_.get());
        dialog.exec();
    });
    frame_->setCommandHandler(FrameCommand::Settings, [this] {
        CSettingsDialog dialog(*doc_, SettingsStoreCaption(store_->qsettings()), frame_.get());
        dialog.exec();
    });
    frame_->setCommandHandler(FrameCommand::IconsReport, [this] {
        CIconsReportDialog dialog(*doc_, frame_.get());
        dialog.exec();
    });
    frame_->setCommandHandler(FrameCommand::Compare, [this] { compareWithEFile(); });
    frame_->setCommandHandler(FrameCommand::Check, [this] { checkCatalogue(); });
    connect(frame_.get(), &CMainFrame::statusChanged, this, &CVarnelApp::updateStatusPanes);
    connect(frame_.get(), &CMainFrame::viewActivated, this, &CVarnelApp::updateStatusPanes);

    doc_->setCurrentGame(Game::Pg2);

    // Unsaved work of an editor that died comes first. A state folder that takes no files turns
    // recovery off (said once the window shows); its journals stay for a start that can use them.
    OfferResult offered;
    std::optional<std::string> recoveryOff;
    if (!journalFolder_.empty()) {
        doc_->newDocument();
        recoveryOff = StateFolderProblem(journalFolder_);
        if (!recoveryOff) {
            doc_->enableJournal(journalFolder_);
            offered = OfferLeftJournals(*doc_, journalFolder_);
        }
        // What saves cut short by a kill left beside the files and among the backups.
        RemoveLeftTemporariesIn(CVarnelDoc::backupFolder());
        for (Game g : {Game::Pg2, Game::Peg}) {
            RemoveLeftTemporaries(doc_->settings().eFile(g));
            RemoveLeftTemporaries(doc_->settings().namesEFile(g));
        }
    }

    // The command line: the empty document, or the file it names. A file whose unsaved changes
    // were just restored is already open; another file is asked about once the window shows,
    // since opening it would put the restored changes at stake.
    std::optional<std::string> openLater;
    std::optional<Game> restoredGame;
    if (commandLine.file) {
        // Kept as a full path: the settings and the recent list outlive the current folder.
        const QString full = QFileInfo(FromPath(*commandLine.file)).absoluteFilePath();
        const std::string path = ToPath(QDir::toNativeSeparators(full));
        for (std::size_t k = 0; k < offered.restored.size(); ++k)
            if (SameFile(offered.eFiles[k], path))
                restoredGame = offered.restored[k];
        if (restoredGame) {
            doc_->fileLoaded(doc_->settings().eFile(*restoredGame), *restoredGame);
        } else if (!offered.restored.empty()) {
            openLater = path;
        } else if (!doc_->openDocument(path)) {
            return false;
        }
    } else if (offered.restored.empty()) {
        doc_->newDocument();
    }

    // The first form, then the window.
    frame_->SwitchView(Game::Pg2);
    // The PG2 form has sized the frame: it opens centred on the screen it stands on.
    if (const QScreen* screen = frame_->screen())
        frame_->move(CentredPosition(screen->availableGeometry(), frame_->frameGeometry().size()));
    frame_->show();
    if (restoredGame ? *restoredGame == Game::Peg : doc_->settings().defaultEFile == "PeG")
        frame_->SwitchView(Game::Peg);
    if (recoveryOff) {
        MessageBox(*ui,
                   "Recovery is off: the folder %s cannot be written (%s).\nChanges are not "
                   "journaled, and journals left there are kept until it can be written.",
                   journalFolder_.c_str(), recoveryOff->c_str());
        auto* off = new QLabel(QStringLiteral("Recovery off"), frame_.get());
        off->setObjectName(QStringLiteral("recoveryOffLabel"));
        off->setToolTip(FromPath(journalFolder_) + QStringLiteral(": ") + FromPath(*recoveryOff));
        frame_->statusBar()->addPermanentWidget(off);
    }
    if (openLater) {
        std::string restored;
        for (const std::string& e : offered.eFiles)
            restored += (restored.empty() ? "" : "\n") + e;
        if (QuestionBox(*ui,
                        "The changes restored to\n%s\nare not saved yet.\nOpen %s now (you are "
                        "asked about saving them first)?",
                        restored.c_str(), openLater->c_str()))
            doc_->openDocument(*openLater);
    }
    updateStatusPanes();
    return true;
}

void CVarnelApp::updateStatusPanes() {
    if (!frame_ || !doc_)
        return;
    const StatusTexts t = StatusPaneTexts(*doc_);
    frame_->setStatusPanes(FromPath(t.countries), FromPath(t.units));
}

void CVarnelApp::compareWithEFile() {
    const Game game = doc_->currentGame();
    auto other = AskCompareFile(*doc_, game);
    if (!other)
        return;
    if (!comparePanel_) {
        comparePanel_ = new CComparePanel(*doc_, frame_.get());
        frame_->addPanel(comparePanel_);
        connect(comparePanel_, &CComparePanel::unitChosen, frame_.get(), &CMainFrame::showUnit);
    }
    comparePanel_->compareWith(std::move(*other));
}

void CVarnelApp::checkCatalogue() {
    if (!checkPanel_) {
        checkPanel_ = new CCheckPanel(*doc_, frame_.get());
        frame_->addPanel(checkPanel_);
        connect(checkPanel_, &CCheckPanel::unitChosen, frame_.get(), &CMainFrame::showUnit);
    }
    checkPanel_->runCheck(doc_->currentGame());
}

void CVarnelApp::showAbout() {
    CAboutBox box(FromPath(appTitle), FromPath(versionLine), frame_.get());
    box.exec();
}

void CVarnelApp::showPrintSetup() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    QPageSetupDialog dialog(printer_.get(), frame_.get());
    dialog.exec();
}

} // namespace varnel
