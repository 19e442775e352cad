// The editor window as a user meets it: menus, toolbar, keys, title, status panes, start-up,
// dropped files, the recent list and the questions at exit. Every prompt is scripted; the
// settings live in a temporary INI file.

#include "app/efileio.h"
#include "app/recoveryjournal.h"
#include "app/ui/aboutbox.h"
#include "app/ui/qsettingsbackend.h"
#include "app/ui/text1252.h"
#include "base/fileio.h"
#include "tests/gui/support/guisupport.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include <chrono>
#include <filesystem>

using namespace varnel;
using namespace varnel::guitest;

namespace {

const QString kTitleTail = QStringLiteral("  - Varnel Editor 2.07");

// What the window shows of a long path: ".." and its last `maximum` characters.
QString shortened(const QString& path, int maximum) {
    return path.size() <= maximum ? path : QStringLiteral("..") + path.right(maximum);
}

QString pg2Title(const QString& path, const QString& mark = {}) {
    return QStringLiteral("PG2 File: ") + shortened(path, 36) + QLatin1Char(' ') + mark +
           kTitleTail;
}

// A menu as text: one line per entry, "-" for a separator, the first key after a tab.
QStringList entries(const QMenu* menu) {
    QStringList lines;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << QStringLiteral("-");
            continue;
        }
        QString line = a->text();
        if (!a->shortcut().isEmpty())
            line += QLatin1Char('\t') + a->shortcut().toString(QKeySequence::PortableText);
        lines << line;
    }
    return lines;
}

QMenu* topMenu(CMainFrame& frame, const QString& title) {
    for (QAction* a : frame.menuBar()->actions())
        if (a->text() == title)
            return a->menu();
    return nullptr;
}

std::string notModified(const std::string& path) {
    return path + "\nis NOT modified\n \xc2\xbf Save anyway ?";
}
std::string isModified(const std::string& path) {
    return path + "\nIS modified\n \xc2\xbf Save changes ?";
}

void drop(QWidget* target, const QString& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
  private slots:
    void menuBarOrder();
    void menus_data();
    void menus();
    void toolbar_data();
    void toolbar();
    void accelerators_data();
    void accelerators();
    void pasteKeysDoNothing();
    void titleAfterOpenEditAndSave();
    void titleShowsPathsLiterally();
    void statusPanesWithoutUnits_data();
    void statusPanesWithoutUnits();
    void statusPanesFollowTheForm();
    void statusPanesShortenLongPaths();
    void startUpView_data();
    void startUpView();
    void commandLineFile();
    void commandLineFileThatCannotBeOpened_data();
    void commandLineFileThatCannotBeOpened();
    void dropLoadsAsDefaultGame_data();
    void dropLoadsAsDefaultGame();
    void exitAsksInOrder();
    void exitCancelledByFailedSave();
    void recentListAfterTwoOpens();
    void restoresAJournalLeftBehindAtStartUp_data();
    void restoresAJournalLeftBehindAtStartUp();
    void saysWhenRecoveryIsOff();
    void asksOnFocusWhenAFileChangedOnDisk();
    void enablement();
    void formsNeedAFactory();
    void toolbarAndStatusBarToggle();
    void windowShape();
    void centredPosition_data();
    void centredPosition();
    void aboutBox();
    void aboutAndPrintSetupOpenTheirDialogs();
    void dropOfSomethingElseIsRefused();
};

void MainFrameTest::menuBarOrder() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QStringList titles;
    for (QAction* a : e.frame().menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                  QStringLiteral("&View"), QStringLiteral("&Reports"),
                                  QStringLiteral("&Tools"), QStringLiteral("&Help")}));
}

void MainFrameTest::menus_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("File") << QStringLiteral("&File")
                          << QStringList{QStringLiteral("ReLoad  GUI97"),
                                         QStringLiteral("ReLoad  Icons"),
                                         QStringLiteral("-"),
                                         QStringLiteral("&Open...\tCtrl+O"),
                                         QStringLiteral("&Save\tCtrl+S"),
                                         QStringLiteral("Save &As..."),
                                         QStringLiteral("Restore &Backup..."),
                                         QStringLiteral("-"),
                                         QStringLiteral("&Export to CSV..."),
                                         QStringLiteral("&Import from CSV..."),
                                         QStringLiteral("-"),
                                         QStringLiteral("&Compare with E-File..."),
                                         QStringLiteral("-"),
                                         QStringLiteral("P&rint Setup..."),
                                         QStringLiteral("-"),
                                         QStringLiteral("Recent File"),
                                         QStringLiteral("-"),
                                         QStringLiteral("E&xit")};
    QTest::newRow("View") << QStringLiteral("&View")
                          << QStringList{QStringLiteral("&Toolbar"),
                                         QStringLiteral("&Status Bar"),
                                         QStringLiteral("-"),
                                         QStringLiteral("View People Data"),
                                         QStringLiteral("View PG2 Data"),
                                         QStringLiteral("&Units Table\tCtrl+T"),
                                         QStringLiteral("-"),
                                         QStringLiteral("Edit Text File"),
                                         QStringLiteral("-"),
                                         QStringLiteral("Edit &History")};
    // Nothing done yet: the entries name no step.
    QTest::newRow("Edit") << QStringLiteral("&Edit")
                          << QStringList{QStringLiteral("&Undo\tCtrl+Z"),
                                         QStringLiteral("&Redo\tCtrl+Y")};
    QTest::newRow("Reports") << QStringLiteral("&Reports")
                             << QStringList{QStringLiteral("Equipment Report"),
                                            QStringLiteral("Icons  Report")};
    QTest::newRow("Tools") << QStringLiteral("&Tools")
                           << QStringList{QStringLiteral("Convert PG2  to PeG  EfFile"),
                                          QStringLiteral("-"),
                                          QStringLiteral("Delete Item\tCtrl+X"),
                                          QStringLiteral("Clone  Item\tCtrl+C"),
                                          QStringLiteral("Paste Item\tCtrl+V"),
                                          QStringLiteral("-"),
                                          QStringLiteral("Merge from PeG Efile"),
                                          QStringLiteral("Merge from TXT file"),
                                          QStringLiteral("-"),
                                          QStringLiteral("Export EFile"),
                                          QStringLiteral("Global  Cost Modifier"),
                                          QStringLiteral("-"),
                                          QStringLiteral("&Check Catalogue"),
                                          QStringLiteral("-"),
                                          QStringLiteral("Settings, Folders and Files...")};
    QTest::newRow("Help") << QStringLiteral("&Help")
                          << QStringList{QStringLiteral("&About Varnel...")};
}

void MainFrameTest::menus() {
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QMenu* menu = topMenu(e.frame(), title);
    QVERIFY(menu);
    QCOMPARE(entries(menu), items);
}

void MainFrameTest::toolbar_data() {
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("statusTip");
    auto row = [](int place, const char* action, const char* tip, const char* status) {
        QTest::addRow("%02d %s", place, action ? action : "separator")
            << place << QString::fromUtf8(action ? action : "") << QString::fromUtf8(tip)
            << QString::fromUtf8(status);
    };
    row(1, "openAction", "Open E-File", "Open...");
    row(2, "saveAction", "Save E-File", "Save");
    row(3, "saveAsAction", "Save As E-File", "Save As...");
    row(4, "editTextFileAction", "Edit text file", "Select a Text file to Edit");
    row(5, "settingsAction", "Settings,Folders and Files", "Settings, Folders and Files...");
    row(6, "equipmentReportAction", "Data Report", "Equipment Report");
    row(7, nullptr, "", "");
    row(8, "viewPg2Action", "View PG2 E-File", "View/Edit  PG2  E-File");
    row(9, "viewPegAction", "View  PeG E-File", "View/Edit  PeG  E-File");
    row(10, nullptr, "", "");
    row(11, "convertAction", "Convert PG2 to PeG", "Convert PG2  to PeG  EfFile");
    row(12, nullptr, "", "");
    row(13, "deleteAction", "Delete Item", "Delete Item");
    row(14, "cloneAction", "Clone Item", "Clone  Item");
    row(15, "mergeTxtAction", "Merge from extern as defined in TXT file", "Merge from TXT file");
    row(16, "mergeEFileAction", "Merge extern Efile", "Merge from PeG Efile");
    row(17, "exportAction", "Export based in extern Txt file", "Export EFile");
    row(18, "costModifierAction", "Global Cost Change", "Global  Cost Modifier");
    row(19, "aboutAction", "About", "About Varnel...");
    // The buttons of what the old program lacked come after its own.
    row(20, nullptr, "", "");
    row(21, "unitsTableAction", "Units Table", "Every unit and field side by side");
}

void MainFrameTest::toolbar() {
    QFETCH(int, place);
    QFETCH(QString, action);
    QFETCH(QString, toolTip);
    QFETCH(QString, statusTip);
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    auto* bar = e.frame().findChild<QToolBar*>(QStringLiteral("mainToolBar"));
    QVERIFY(bar);
    QCOMPARE(bar->actions().size(), 21);
    QCOMPARE(bar->iconSize(), QSize(24, 24));
    QAction* a = bar->actions().at(place - 1);
    if (action.isEmpty()) {
        QVERIFY(a->isSeparator());
        return;
    }
    QCOMPARE(a->objectName(), action);
    QCOMPARE(a->toolTip(), toolTip);
    QCOMPARE(a->statusTip(), statusTip);
    // A picture on every button, with or without a desktop theme.
    QVERIFY(!a->icon().pixmap(QSize(24, 24)).isNull());
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
    QVERIFY(button);
    QCOMPARE(button->toolTip(), toolTip);
    // Pointing at the button puts the prompt into the status bar.
    a->showStatusText(bar);
    QCOMPARE(e.frame().statusBar()->currentMessage(), statusTip);
}

void MainFrameTest::accelerators_data() {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("command");
    QTest::newRow("Ctrl+O opens") << QKeySequence(Qt::CTRL | Qt::Key_O) << QStringLiteral("open");
    QTest::newRow("Ctrl+S saves") << QKeySequence(Qt::CTRL | Qt::Key_S) << QStringLiteral("save");
    QTest::newRow("Ctrl+N asks to save, then starts anew")
        << QKeySequence(Qt::CTRL | Qt::Key_N) << QStringLiteral("new");
    QTest::newRow("Ctrl+X deletes")
        << QKeySequence(Qt::CTRL | Qt::Key_X) << QStringLiteral("delete");
    QTest::newRow("Shift+Delete deletes")
        << QKeySequence(Qt::SHIFT | Qt::Key_Delete) << QStringLiteral("delete");
    QTest::newRow("Ctrl+C clones") << QKeySequence(Qt::CTRL | Qt::Key_C) << QStringLiteral("clone");
    QTest::newRow("Ctrl+Insert clones")
        << QKeySequence(Qt::CTRL | Qt::Key_Insert) << QStringLiteral("clone");
}

void MainFrameTest::accelerators() {
    QFETCH(QKeySequence, keys);
    QFETCH(QString, command);
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    const std::string eFile = e.doc().settings().eFile(Game::Pg2);
    const std::size_t units = e.doc().unitCount(Game::Pg2);
    QVERIFY(units > 1);

    if (command == QLatin1String("open")) {
        e.ui().expectFileDialog("Select PG2 EQUIP97.EQP", std::nullopt);
    } else if (command == QLatin1String("save")) {
        e.ui().expectQuestion(notModified(eFile), false);
        e.ui().expectQuestion(notModified(e.doc().settings().namesEFile(Game::Pg2)), false);
    } else if (command == QLatin1String("new")) {
        e.doc().markModified(Game::Pg2, ChangeKind::Data);
        e.ui().expectQuestion(isModified(eFile), false);
    } else if (command == QLatin1String("delete")) {
        e.doc().view(Game::Pg2).currentUnit = 1;
        e.ui().expectQuestion("Are you sure to delete ItemCode: 1", false);
    } else if (command == QLatin1String("clone")) {
        e.ui().expectInformation("Clone is Code: " + std::to_string(units));
    }
    QTest::keySequence(&e.frame(), keys);
    QVERIFY(e.ui().finished());
    QCOMPARE(e.doc().unitCount(Game::Pg2), command == QLatin1String("clone") ? units + 1 : units);
    if (command == QLatin1String("new"))
        QCOMPARE(e.frame().windowTitle(),
                 pg2Title(FromPath(eFile), QStringLiteral("<Modified: PG2> ")));
}

void MainFrameTest::pasteKeysDoNothing() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    const std::size_t units = e.doc().unitCount(Game::Pg2);
    QAction* paste = e.action("pasteAction");
    QVERIFY(paste);
    QVERIFY(!paste->isEnabled());
    QCOMPARE(paste->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_V),
                                                      QKeySequence(Qt::SHIFT | Qt::Key_Insert)}));
    // Nothing is asked and nothing changes (an unexpected prompt would fail the test).
    QTest::keySequence(&e.frame(), QKeySequence(Qt::CTRL | Qt::Key_V));
    QTest::keySequence(&e.frame(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    QCOMPARE(e.doc().unitCount(Game::Pg2), units);
    QVERIFY(!e.doc().isModified());
}

void MainFrameTest::titleAfterOpenEditAndSave() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    const std::string path = ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    e.ui().expectFileDialog("Select PG2 EQUIP97.EQP", path);
    e.action("openAction")->trigger();
    QVERIFY(e.ui().finished());
    QCOMPARE(e.frame().windowTitle(), pg2Title(ws.pg2EFile()));

    e.doc().markModified(Game::Pg2, ChangeKind::Data);
    QCOMPARE(e.frame().windowTitle(), pg2Title(ws.pg2EFile(), QStringLiteral("<Modified: PG2> ")));
    e.doc().markModified(Game::Peg, ChangeKind::Names);
    QCOMPARE(e.frame().windowTitle(),
             pg2Title(ws.pg2EFile(), QStringLiteral("<Modified: PG2: PeG> ")));
    e.doc().markSaved(Game::Peg, ChangeKind::Names);

    const Bytes before = ReadFileBytes(path).value_or(Bytes());
    e.ui().expectQuestion(notModified(e.doc().settings().namesEFile(Game::Pg2)), false);
    e.ui().expectInformation("File " + path + " updated");
    e.action("saveAction")->trigger();
    QVERIFY(e.ui().finished());
    QCOMPARE(e.frame().windowTitle(), pg2Title(ws.pg2EFile()));
    QVERIFY(ReadFileBytes(path).value_or(Bytes()) == before);
}

void MainFrameTest::titleShowsPathsLiterally() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    // "[*]" is Qt's placeholder for the modified mark; in a path it is just text.
    e.doc().settings().eFile(Game::Pg2) = "/games/[*]/EQUIP97.EQP";
    e.doc().refreshTitle();
    QVERIFY(e.frame().windowHandle());
    QCOMPARE(e.frame().windowHandle()->title(),
             QStringLiteral("PG2 File: /games/[*]/EQUIP97.EQP ") + kTitleTail);
}

void MainFrameTest::statusPanesWithoutUnits_data() {
    QTest::addColumn<int>("game");
    QTest::newRow("PG2") << int(Game::Pg2);
    QTest::newRow("PeG") << int(Game::Peg);
}

void MainFrameTest::statusPanesWithoutUnits() {
    QFETCH(int, game);
    const Game g = Game(game);
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    if (g == Game::Peg)
        e.frame().SwitchView(Game::Peg);
    auto* countries = e.frame().findChild<QLabel*>(QStringLiteral("countriesPane"));
    auto* units = e.frame().findChild<QLabel*>(QStringLiteral("unitsPane"));
    QVERIFY(countries && units);
    QCOMPARE(units->text(), QStringLiteral(" 0 / 0 Units"));
    const AppSettings& s = e.doc().settings();
    const QString names =
        FromPath(g == Game::Pg2 ? s.namesEFile(Game::Pg2) : s.namesEFile(Game::Peg));
    QCOMPARE(countries->text(), QStringLiteral("Countries from: ") +
                                    shortened(FromPath(s.tFile(g)), 50) +
                                    QStringLiteral("     Names from: ") + shortened(names, 50));
    // The pane fits the largest count a table can hold.
    QVERIFY(units->width() >=
            units->fontMetrics().horizontalAdvance(QStringLiteral(" 65535 / 65535 Units")));
}

void MainFrameTest::statusPanesFollowTheForm() {
    Workspace ws;
    Editor e(ws, Forms::Real);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    const int pg2Units = int(e.doc().unitCount(Game::Pg2));
    const int pegUnits = int(e.doc().unitCount(Game::Peg));
    auto* units = e.frame().findChild<QLabel*>(QStringLiteral("unitsPane"));
    auto* countries = e.frame().findChild<QLabel*>(QStringLiteral("countriesPane"));
    // A form that filters its list changes only its own count; the panes follow by themselves.
    auto* find = e.frame().view(Game::Pg2)->findChild<QLineEdit*>(QStringLiteral("findLineEdit"));
    QVERIFY(find);
    find->setText(QStringLiteral("Tiger"));
    const int listed = e.doc().view(Game::Pg2).listedUnits;
    QVERIFY(listed > 0 && listed < pg2Units);
    QCOMPARE(units->text(), QStringLiteral(" %1 / %2 Units").arg(listed).arg(pg2Units));
    QVERIFY(countries->text().contains(shortened(ws.file(QStringLiteral("pg2/GUI97.txt")), 50)));
    e.doc().view(Game::Peg).listedUnits = pegUnits;
    e.frame().SwitchView(Game::Peg);
    QCOMPARE(units->text(), QStringLiteral(" %1 / %1 Units").arg(pegUnits));
    QVERIFY(countries->text().contains(shortened(ws.file(QStringLiteral("peg/GUI97.txt")), 50)));
    // Hidden, the status bar is still kept current.
    e.action("statusBarAction")->trigger();
    QVERIFY(!e.frame().statusBar()->isVisible());
    auto* pegFind =
        e.frame().view(Game::Peg)->findChild<QLineEdit*>(QStringLiteral("findLineEdit"));
    pegFind->setText(QStringLiteral("Tiger H"));
    QCOMPARE(e.doc().view(Game::Peg).listedUnits, 1);
    QCOMPARE(units->text(), QStringLiteral(" 1 / %1 Units").arg(pegUnits));
}

void MainFrameTest::statusPanesShortenLongPaths() {
    Workspace ws;
    const QString deep =
        QStringLiteral("a folder with a rather long name/and one more level below");
    QVERIFY(QDir(ws.dir()).mkpath(deep));
    for (const char* name : {"EQUIP97.EQP", "EQUIP97.txt", "GUI97.txt"})
        QVERIFY(QFile::copy(ws.file(QStringLiteral("pg2/") + QLatin1String(name)),
                            ws.file(deep + QLatin1Char('/') + QLatin1String(name))));
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(deep + QStringLiteral("/EQUIP97.EQP"))));
    e.app().updateStatusPanes();
    const QString tFile = ws.file(deep + QStringLiteral("/GUI97.txt"));
    const QString names = ws.file(deep + QStringLiteral("/EQUIP97.txt"));
    QVERIFY(tFile.size() > 50);
    auto* countries = e.frame().findChild<QLabel*>(QStringLiteral("countriesPane"));
    QCOMPARE(countries->text(), QStringLiteral("Countries from: ..") + tFile.right(50) +
                                    QStringLiteral("     Names from: ..") + names.right(50));
}

void MainFrameTest::startUpView_data() {
    QTest::addColumn<QString>("defaultEFile");
    QTest::addColumn<bool>("peg");
    QTest::newRow("PeG") << QStringLiteral("PeG") << true;
    QTest::newRow("peg, lower case") << QStringLiteral("peg") << false;
    QTest::newRow("PEG") << QStringLiteral("PEG") << false;
    QTest::newRow("PG2") << QStringLiteral("PG2") << false;
    QTest::newRow("nothing stored") << QString() << false;
}

void MainFrameTest::startUpView() {
    QFETCH(QString, defaultEFile);
    QFETCH(bool, peg);
    Workspace ws;
    if (!defaultEFile.isNull())
        ws.presetSetting(QStringLiteral("Default E-File"), defaultEFile);
    Editor e(ws);
    QVERIFY(e.started());
    QCOMPARE(e.doc().currentGame(), peg ? Game::Peg : Game::Pg2);
    auto* stack = e.frame().findChild<QStackedWidget*>(QStringLiteral("viewStack"));
    QVERIFY(stack);
    // The form shown stands in the page shown (its scroll area).
    QWidget* shown = e.frame().view(peg ? Game::Peg : Game::Pg2);
    QVERIFY(shown && stack->currentWidget()->isAncestorOf(shown));
    QCOMPARE(shown->objectName(), peg ? QStringLiteral("pegForm") : QStringLiteral("pg2Form"));
    // The PG2 form is made first and kept, hidden, when the PeG form is shown.
    QVERIFY(e.frame().view(Game::Pg2));
    QCOMPARE(e.frame().view(Game::Pg2)->isVisible(), !peg);
    QCOMPARE(e.frame().view(Game::Peg) != nullptr, peg);
    QCOMPARE(e.action("viewPegAction")->isEnabled(), !peg);
    QCOMPARE(e.action("viewPg2Action")->isEnabled(), peg);
    QVERIFY(e.frame().windowTitle().startsWith(peg ? QStringLiteral("PeG File: ")
                                                   : QStringLiteral("PG2 File: ")));
}

void MainFrameTest::commandLineFile() {
    Workspace ws;
    // A name relative to the current folder is kept as a full path.
    const QString relative = QDir::current().relativeFilePath(ws.pg2EFile());
    QVERIFY(QDir::isRelativePath(relative));
    Editor e(ws, Forms::Placeholder, ToPath(relative));
    QVERIFY(e.started());
    QVERIFY(e.doc().hasTable(Game::Pg2));
    QVERIFY(!e.doc().hasTable(Game::Peg));
    QCOMPARE(FromPath(e.doc().settings().eFile(Game::Pg2)), ws.pg2EFile());
    QCOMPARE(e.frame().windowTitle(), pg2Title(ws.pg2EFile()));
    QCOMPARE(e.action("recentFileAction1")->data().toString(), ws.pg2EFile());
}

// A command-line file that cannot be opened: no chooser, no box, no window; the editor program
// says why on stderr and ends with 1.
void MainFrameTest::commandLineFileThatCannotBeOpened_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "nowhere/EQUIP97.EQP"
                             << "No such file or directory";
    QTest::newRow("a folder") << "pg2"
                              << "Is a directory";
}

void MainFrameTest::commandLineFileThatCannotBeOpened() {
    QFETCH(QString, relative);
    QFETCH(QString, reason);
    Workspace ws;
    const std::string path = ws.path(relative);
    auto ui = MakeQtScriptedUi();
    CVarnelApp app;
    CommandLine commandLine;
    commandLine.settingsFile = ToPath(ws.settingsFile());
    commandLine.file = path;
    QVERIFY(!app.initInstance(commandLine, ui.get()));
    QVERIFY(!app.frame());
    ui->verify();

    QProcess editor;
    editor.setProcessEnvironment([] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Under the sanitizers the exit status is the program's own; the in-process tests
        // check the editor for leaks.
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        return env;
    }());
    editor.start(QStringLiteral(VARNEL_EDITOR_BINARY),
                 {QStringLiteral("--settings"), ws.settingsFile(), FromPath(path)});
    // A box or a window would wait for a user: the program must end by itself.
    QVERIFY(editor.waitForFinished(20000));
    QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(editor.exitCode(), 1);
    // Qt may add notes of its own; the program's one line is there, once.
    const QStringList lines = QString::fromLocal8Bit(editor.readAllStandardError()).split(u'\n');
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^varnel:"))),
             QStringList{QStringLiteral("varnel: cannot open %1: %2").arg(FromPath(path), reason)});
    QVERIFY(editor.readAllStandardOutput().isEmpty());
}

void MainFrameTest::dropLoadsAsDefaultGame_data() {
    QTest::addColumn<QString>("defaultEFile");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("loaded");
    QTest::newRow("PeG file while the PG2 form is shown")
        << QStringLiteral("PeG") << int(Game::Pg2) << QStringLiteral("peg/EQUIP97.EQP")
        << int(Game::Peg);
    QTest::newRow("PG2 file while the PeG form is shown")
        << QStringLiteral("PG2") << int(Game::Peg) << QStringLiteral("pg2/EQUIP97.EQP")
        << int(Game::Pg2);
}

void MainFrameTest::dropLoadsAsDefaultGame() {
    QFETCH(QString, defaultEFile);
    QFETCH(int, shown);
    QFETCH(QString, file);
    QFETCH(int, loaded);
    Workspace ws;
    ws.presetSetting(QStringLiteral("Default E-File"), defaultEFile);
    Editor e(ws);
    QVERIFY(e.started());
    if (e.doc().currentGame() != Game(shown))
        e.frame().SwitchView(Game(shown));
    drop(&e.frame(), ws.file(file));
    QVERIFY(e.ui().finished());
    QVERIFY(e.doc().hasTable(Game(loaded)));
    QVERIFY(!e.doc().hasTable(OtherGame(Game(loaded))));
    QCOMPARE(FromPath(e.doc().settings().eFile(Game(loaded))), ws.file(file));
    // The dropped file is what the window shows, whichever game was shown before.
    QCOMPARE(e.doc().currentGame(), Game(loaded));
    QVERIFY(e.frame().view(Game(loaded))->isVisible());
    QVERIFY(!e.action(Game(loaded) == Game::Pg2 ? "viewPg2Action" : "viewPegAction")->isEnabled());
}

void MainFrameTest::exitAsksInOrder() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    for (Game g : {Game::Peg, Game::Pg2})
        for (ChangeKind k : {ChangeKind::Names, ChangeKind::Data})
            e.doc().markModified(g, k);
    const AppSettings& s = e.doc().settings();
    e.ui().expectQuestion(isModified(s.eFile(Game::Pg2)), false);
    e.ui().expectQuestion(isModified(s.eFile(Game::Peg)), false);
    e.ui().expectQuestion(isModified(s.namesEFile(Game::Pg2)), false);
    e.ui().expectQuestion(isModified(s.namesEFile(Game::Peg)), false);
    e.action("exitAction")->trigger();
    QVERIFY(e.ui().finished());
    QVERIFY(!e.frame().isVisible());
    // The exit settings are written.
    QSettings ini(ws.settingsFile(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Settings/PG2 EQP")).toString(), ws.pg2EFile());
    QCOMPARE(ini.value(QStringLiteral("Settings/PeG EQP")).toString(), ws.pegEFile());
    QCOMPARE(ini.value(QStringLiteral("Settings/Default E-File")).toString(),
             QStringLiteral("PG2"));
}

void MainFrameTest::exitCancelledByFailedSave() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    e.doc().markModified(Game::Pg2, ChangeKind::Data);
    // A file inside a file cannot be made, whatever the rights.
    const std::string blocked = ws.path(QStringLiteral("pg2/EQUIP97.txt/EQUIP97.EQP"));
    e.doc().settings().eFile(Game::Pg2) = blocked;
    QVERIFY(!SaveFileBytes(blocked, Bytes(4)));
    const std::string reason = SaveFailureReason();
    e.ui().expectQuestion(isModified(blocked), true);
    e.ui().expectError("Error on creating [" + blocked + "]" +
                       (reason.empty() ? "" : "\n" + reason));
    QVERIFY(!e.frame().close());
    QVERIFY(e.ui().finished());
    QVERIFY(e.frame().isVisible());
    QVERIFY(e.doc().flag(Game::Pg2, ChangeKind::Data));
    QSettings ini(ws.settingsFile(), QSettings::IniFormat);
    QVERIFY(!ini.contains(QStringLiteral("Settings/PG2 EQP")));

    // Asked again, a No lets the program end.
    e.ui().expectQuestion(isModified(blocked), false);
    QVERIFY(e.frame().close());
    QVERIFY(e.ui().finished());
}

void MainFrameTest::recentListAfterTwoOpens() {
    Workspace ws;
    {
        Editor e(ws);
        QVERIFY(e.started());
        QVERIFY(e.action("recentFilePlaceholder"));
        e.ui().expectFileDialog("Select PG2 EQUIP97.EQP",
                                ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
        e.action("openAction")->trigger();
        e.frame().SwitchView(Game::Peg);
        e.ui().expectFileDialog("Select PeG EQUIP97.EQP",
                                ws.path(QStringLiteral("peg/EQUIP97.EQP")));
        e.action("openAction")->trigger();
        QVERIFY(e.ui().finished());

        QMenu* file = topMenu(e.frame(), QStringLiteral("&File"));
        const QStringList items = entries(file);
        const qsizetype at = items.indexOf(QStringLiteral("P&rint Setup..."));
        QCOMPARE(items.mid(at, 5),
                 (QStringList{QStringLiteral("P&rint Setup..."), QStringLiteral("-"),
                              QStringLiteral("&1 ") + shortened(ws.pegEFile(), 60),
                              QStringLiteral("&2 ") + shortened(ws.pg2EFile(), 60),
                              QStringLiteral("-")}));
        QVERIFY(!e.action("recentFilePlaceholder"));

        // The second entry opens as "Default E-File" says (PG2), moves up and is shown.
        e.action("recentFileAction2")->trigger();
        QVERIFY(e.ui().finished());
        QCOMPARE(e.doc().currentGame(), Game::Pg2);
        QCOMPARE(e.action("recentFileAction1")->data().toString(), ws.pg2EFile());
        QCOMPARE(e.action("recentFileAction2")->data().toString(), ws.pegEFile());

        // The PeG entry reopens as PeG, whatever "Default E-File" says and whichever form is
        // shown: no question per unit, and the PG2 table stays bound to its own file.
        e.action("recentFileAction2")->trigger();
        QVERIFY(e.ui().finished());
        QCOMPARE(e.doc().currentGame(), Game::Peg);
        QCOMPARE(e.doc().settings().eFile(Game::Peg), ToPath(ws.pegEFile()));
        QCOMPARE(e.doc().settings().eFile(Game::Pg2), ToPath(ws.pg2EFile()));
        QCOMPARE(e.action("recentFileAction1")->data().toString(), ws.pegEFile());
    }
    // The list is in the settings file, and the next start shows it.
    QSettings ini(ws.settingsFile(), QSettings::IniFormat);
    RecentFileList stored(ini);
    QCOMPARE(stored.files(), (QStringList{ws.pegEFile(), ws.pg2EFile()}));
    QCOMPARE(stored.game(0), std::optional(Game::Peg));
    QCOMPARE(stored.game(1), std::optional(Game::Pg2));
    Editor again(ws);
    QVERIFY(again.started());
    QCOMPARE(again.action("recentFileAction1")->data().toString(), ws.pegEFile());
}

// An editor that died left its journal: the next start offers it, and Yes brings back the edit
// with its modified mark and its undo step.
// Leaves a journal of the PG2 sample with one unsaved name, as an editor killed after the edit;
// its last change at a known time.
static std::string leaveJournal(Workspace& ws, const QString& folder) {
    const std::string eFile = ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    auto ui = MakeQtScriptedUi();
    MemorySettingsBackend store;
    {
        CVarnelDoc dead(*ui, store);
        ReadAllSettings(dead.settings(), store);
        dead.markSettingsLoaded();
        dead.enableJournal(ToPath(folder));
        if (!LoadEFile(dead, Game::Pg2, eFile) ||
            !dead.setField(Game::Pg2, 0, "denomination", "Before the crash").ok)
            return {};
        // Gone without close(): its journal stays, and nobody holds it any more.
    }
    const auto left = FindLeftJournals(ToPath(folder));
    if (left.size() != 1)
        return {};
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const std::chrono::sys_seconds when =
        std::chrono::sys_days{std::chrono::year{2026} / 12 / 1} + std::chrono::hours{9};
    std::filesystem::last_write_time(left[0],
                                     std::filesystem::file_time_type::clock::from_sys(when));
    return left[0];
}

void MainFrameTest::restoresAJournalLeftBehindAtStartUp_data() {
    QTest::addColumn<QString>("commandLine"); // "": none; "same"; "other": the PeG sample
    QTest::addColumn<bool>("openOther");
    QTest::newRow("no file") << QString() << false;
    // As the menu entry starts it: the restored file is not loaded again, nothing more asked.
    QTest::newRow("the restored file") << QStringLiteral("same") << false;
    // Another file is asked about once the window shows; No keeps the restored work.
    QTest::newRow("another file, kept") << QStringLiteral("other") << false;
    QTest::newRow("another file, opened") << QStringLiteral("other") << true;
}

void MainFrameTest::restoresAJournalLeftBehindAtStartUp() {
    QFETCH(QString, commandLine);
    QFETCH(bool, openOther);
    Workspace ws;
    QTemporaryDir state;
    const std::string eFile = ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    const std::string other = ws.path(QStringLiteral("peg/EQUIP97.EQP"));
    QVERIFY(!leaveJournal(ws, state.path()).empty());
    std::optional<std::string> file;
    if (commandLine == QStringLiteral("same"))
        file = eFile;
    else if (commandLine == QStringLiteral("other"))
        file = other;
    Editor e(ws, Forms::Placeholder, file, [&](ScriptedUi& ui, CVarnelApp& app) {
        app.setJournalFolder(ToPath(state.path()));
        ui.expectQuestion("Varnel was not closed properly. Restore the unsaved changes to " +
                              eFile + " (last changed 2026-12-01 09:00)?",
                          true);
        if (file == other) {
            ui.expectQuestion("The changes restored to\n" + eFile + "\nare not saved yet.\nOpen " +
                                  other + " now (you are asked about saving them first)?",
                              openOther);
            if (openOther) {
                ui.expectQuestion(ws.path(QStringLiteral("pg2/EQUIP97.txt")) +
                                      "\nIS modified\n ¿ Save changes ?",
                                  false);
                ui.expectQuestion(other + " is a PeG E-File, not a PG2 E-File\nOpen it in the "
                                          "PeG view?",
                                  true);
            }
        }
    });
    QVERIFY(e.started());
    QVERIFY(e.ui().finished());
    QCOMPARE(std::string(*e.doc().unitName(Game::Pg2, 0)), std::string("Before the crash"));
    QCOMPARE(e.doc().history(Game::Pg2).count(), std::size_t{1});
    QCOMPARE(e.doc().hasTable(Game::Peg), openOther);
    // The restored work is journaled again by this editor.
    QVERIFY(!e.doc().journalPath(Game::Pg2).empty());
    QVERIFY(e.frame().windowTitle().contains(QStringLiteral("<Modified: PG2")));
    if (openOther)
        QVERIFY(e.doc().undo(Game::Pg2));
    else
        e.action("undoAction")->trigger();
    QVERIFY(!e.doc().flag(Game::Pg2, ChangeKind::Names));
    QVERIFY(std::string(*e.doc().unitName(Game::Pg2, 0)) != "Before the crash");
}

// A state folder that takes no files: one warning naming it and the reason, recovery off in the
// status bar, and the journals there kept for a start that can use them.
void MainFrameTest::saysWhenRecoveryIsOff() {
    Workspace ws;
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QVERIFY(SaveFileBytes(ToPath(plain), Bytes{1}));
    const std::string folder = ToPath(plain) + "/state";
    Editor e(ws, Forms::Placeholder, std::nullopt, [&](ScriptedUi& ui, CVarnelApp& app) {
        app.setJournalFolder(folder);
        ui.expectInformation("Recovery is off: the folder " + folder +
                             " cannot be written (Not a directory).\nChanges are not journaled, "
                             "and journals left there are kept until it can be written.");
    });
    QVERIFY(e.started());
    QVERIFY(e.ui().finished());
    auto* off = e.frame().findChild<QLabel*>(QStringLiteral("recoveryOffLabel"));
    QVERIFY(off);
    QVERIFY(off->isVisibleTo(&e.frame()));
    QVERIFY(e.doc().journalPath(Game::Pg2).empty());
}

// The window getting the focus looks at the loaded files: a change by another program is asked
// about once.
void MainFrameTest::asksOnFocusWhenAFileChangedOnDisk() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    const std::string eFile = ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    QVERIFY(e.doc().openDocument(eFile));
    Bytes bytes = *ReadFileBytes(eFile);
    bytes.back() ^= 0x5a;
    QVERIFY(SaveFileBytes(eFile, bytes));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    e.ui().expectQuestion(eFile + " was changed by another program. Reload it (your unsaved "
                                  "changes are lost), or keep yours?",
                          false);
    e.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&e.frame()));
    QVERIFY(e.ui().finished());
    // Asked once: the next focus is quiet.
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    e.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&e.frame()));
}

void MainFrameTest::enablement() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    auto enabled = [&](const char* name) { return e.action(name)->isEnabled(); };
    // Nothing loaded: nothing to save, clone, delete, merge into or export from.
    for (const char* name : {"saveAction", "saveAsAction", "cloneAction", "deleteAction",
                             "mergeEFileAction", "mergeTxtAction", "exportAction"})
        QVERIFY2(!enabled(name), name);
    for (const char* name :
         {"openAction", "reloadTFileAction", "reloadIconsAction", "editTextFileAction",
          "convertAction", "aboutAction", "printSetupAction", "exitAction"})
        QVERIFY2(enabled(name), name);
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    for (const char* name : {"saveAction", "saveAsAction", "cloneAction", "deleteAction",
                             "mergeEFileAction", "mergeTxtAction", "exportAction"})
        QVERIFY2(enabled(name), name);
    QVERIFY(!enabled("pasteAction"));

    // The application gives the dialogs that are not part of the window; the cost dialog works
    // only with the PeG form.
    QVERIFY(!enabled("costModifierAction"));
    for (const char* name : {"settingsAction", "equipmentReportAction", "iconsReportAction"})
        QVERIFY2(enabled(name), name);
    int costRuns = 0;
    e.frame().setCommandHandler(FrameCommand::CostModifier, [&] { ++costRuns; });
    e.frame().setCommandHandler(FrameCommand::EquipmentReport, [] {});
    QVERIFY(!enabled("costModifierAction")); // only with the PeG form
    QVERIFY(enabled("equipmentReportAction"));
    e.frame().SwitchView(Game::Peg);
    QVERIFY(enabled("costModifierAction"));
    // The PeG table is not loaded: the PeG form has nothing to save.
    QVERIFY(!enabled("saveAction"));
    e.action("costModifierAction")->trigger();
    QCOMPARE(costRuns, 1);
    e.frame().SwitchView(Game::Pg2);
    QVERIFY(!enabled("costModifierAction"));

    // A table without units: nothing to clone or delete. The last delete disables both, its
    // undo enables them again.
    Pg2UnitTable one;
    one.units.resize(1);
    e.doc().loadTable(std::move(one));
    e.doc().refreshAllViews();
    QVERIFY(enabled("cloneAction") && enabled("deleteAction"));
    QVERIFY(e.doc().deleteUnit(Game::Pg2, 0));
    QVERIFY(!enabled("cloneAction") && !enabled("deleteAction"));
    QVERIFY(enabled("saveAction"));
    QVERIFY(e.doc().undo(Game::Pg2));
    QVERIFY(enabled("cloneAction") && enabled("deleteAction"));
}

void MainFrameTest::formsNeedAFactory() {
    Workspace ws;
    Editor e(ws, Forms::None);
    QVERIFY(e.started());
    QVERIFY(e.doc().openDocument(ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    QVERIFY(!e.frame().view(Game::Pg2));
    QVERIFY(!e.doc().view(Game::Pg2).registered);
    e.frame().setCommandHandler(FrameCommand::Settings, [] {});
    for (const char* name : {"cloneAction", "deleteAction", "settingsAction"})
        QVERIFY2(!e.action(name)->isEnabled(), name);
    // The keys reach no form either: nothing is asked.
    QTest::keySequence(&e.frame(), QKeySequence(Qt::CTRL | Qt::Key_X));
    // Switching still works and sets the game the file commands act on.
    e.frame().SwitchView(Game::Peg);
    QCOMPARE(e.doc().currentGame(), Game::Peg);
    QVERIFY(e.frame().windowTitle().startsWith(QStringLiteral("PeG File: ")));
}

void MainFrameTest::toolbarAndStatusBarToggle() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    auto* bar = e.frame().findChild<QToolBar*>(QStringLiteral("mainToolBar"));
    QWidget* form = e.frame().view(Game::Pg2);
    QVERIFY(bar && form);
    // The form is never squeezed below its own size.
    auto whole = [form] {
        return form->width() >= form->sizeHint().width() &&
               form->height() >= form->sizeHint().height();
    };
    QVERIFY(whole());
    const int height = e.frame().height();
    QAction* toolbar = e.action("toolbarAction");
    QVERIFY(toolbar->isChecked());
    toolbar->trigger();
    QVERIFY(!bar->isVisible());
    QVERIFY(!toolbar->isChecked());
    // The window keeps fitting the form.
    QTRY_VERIFY(e.frame().height() < height);
    QVERIFY(whole());
    toolbar->trigger();
    QVERIFY(bar->isVisible());
    QTRY_COMPARE(e.frame().height(), height);
    e.action("statusBarAction")->trigger();
    QVERIFY(!e.frame().statusBar()->isVisible());
    QVERIFY(!e.action("statusBarAction")->isChecked());
    QVERIFY(whole());
    e.action("statusBarAction")->trigger();
    QVERIFY(e.frame().statusBar()->isVisible());
}

void MainFrameTest::windowShape() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    CMainFrame& f = e.frame();
    QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    // The user may size it; it opens within the screen's free area.
    QVERIFY(f.minimumSize() != f.maximumSize());
    // Centred on its screen at its final size, or from the screen's edge where it does not fit.
    const QRect screen = f.screen()->availableGeometry();
    QCOMPARE(f.frameGeometry().topLeft(), CentredPosition(screen, f.frameGeometry().size()));
    QVERIFY(f.pos() != QPoint(10, 0));
    QVERIFY(screen.contains(f.frameGeometry()));
    // The form is shown whole, at least at its smallest size.
    QWidget* form = f.view(Game::Pg2);
    QVERIFY(form->isVisible());
    QVERIFY(form->width() >= form->minimumWidth() && form->height() >= form->minimumHeight());
    const QRect inFrame(form->mapTo(&f, QPoint(0, 0)), form->size());
    QVERIFY(f.rect().contains(inFrame));
    QVERIFY(f.acceptDrops());
}

void MainFrameTest::centredPosition_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("fits") << QRect(0, 0, 1920, 1080) << QSize(800, 600) << QPoint(560, 240);
    QTest::newRow("odd remainder rounds down")
        << QRect(0, 0, 1001, 801) << QSize(800, 600) << QPoint(100, 100);
    QTest::newRow("second screen, under a panel")
        << QRect(1920, 32, 1280, 992) << QSize(800, 600) << QPoint(2160, 228);
    QTest::newRow("exactly the screen") << QRect(0, 0, 800, 600) << QSize(800, 600) << QPoint(0, 0);
    QTest::newRow("smaller screen: top left")
        << QRect(0, 24, 640, 456) << QSize(800, 600) << QPoint(0, 24);
    QTest::newRow("too high only: centred across, at the top")
        << QRect(0, 0, 1280, 500) << QSize(800, 600) << QPoint(240, 0);
    QTest::newRow("too wide only: at the left, centred down")
        << QRect(100, 0, 700, 1000) << QSize(800, 600) << QPoint(100, 200);
}

void MainFrameTest::centredPosition() {
    QFETCH(QRect, screen);
    QFETCH(QSize, frame);
    QFETCH(QPoint, expected);
    QCOMPARE(CentredPosition(screen, frame), expected);
}

void MainFrameTest::aboutBox() {
    CVarnelApp app;
    QVERIFY(QString::fromStdString(app.versionLine).contains(QStringLiteral("2.07")));
    QVERIFY(QString::fromStdString(app.versionLine).contains(QStringLiteral("December 2001")));
    CAboutBox box(FromPath(app.appTitle), FromPath(app.versionLine));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Varnel Editor 2.07"));
    QStringList texts;
    for (const QLabel* l : box.findChildren<QLabel*>())
        texts << l->text();
    QVERIFY(texts.contains(FromPath(app.versionLine)));
    QVERIFY(texts.contains(QStringLiteral(
        "You can use this tool just to convert from PG2 to PeG e-files , but you can also use it "
        "to edit  PG2 only, PeG only, or both e-file types.  You don't need to load both types")));
    QVERIFY(texts.contains(
        QStringLiteral("If you find any bug, please report me and I'll fix as son as posibble.")));
    QVERIFY(texts.contains(
        QStringLiteral("If you have any comment, don't hesitate to contact with any of us")));
    int pictures = 0;
    for (const QLabel* l : box.findChildren<QLabel*>())
        pictures += l->pixmap().isNull() ? 0 : 1;
    QCOMPARE(pictures, 2);
}

void MainFrameTest::aboutAndPrintSetupOpenTheirDialogs() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QString about;
    WhenModal([&](QWidget* w) {
        QVERIFY(qobject_cast<CAboutBox*>(w));
        QCOMPARE(w->parentWidget(), &e.frame());
        about = w->windowTitle();
    });
    e.action("aboutAction")->trigger();
    QCOMPARE(about, QStringLiteral("About Varnel Editor 2.07"));

    bool pageSetup = false;
    WhenModal([&](QWidget* w) { pageSetup = qobject_cast<QPageSetupDialog*>(w) != nullptr; });
    e.action("printSetupAction")->trigger();
    QVERIFY(pageSetup);
}

void MainFrameTest::dropOfSomethingElseIsRefused() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QMimeData mime;
    mime.setText(ws.pg2EFile());
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&e.frame(), &enter);
    QVERIFY(!enter.isAccepted());
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/EQUIP97.EQP"))});
    QDropEvent event(QPointF(50, 50), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&e.frame(), &event);
    QVERIFY(!e.doc().hasTable(Game::Pg2));
}

QTEST_MAIN(MainFrameTest)
#include "mainframe_test.moc"
