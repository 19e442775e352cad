// The "Registry Settings" dialog over the sample game folders: the fields at opening, the folder
// fix-up, the folder buttons, the load buttons of the active game, and the three exits with what
// each writes to the store.

#include "app/efileio.h"
#include "app/filekind.h"
#include "app/settingsstore.h"
#include "app/ui/text1252.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "tests/gui/support/guisupport.h"
#include "tools/ui/settingsdialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace varnel;
using namespace varnel::guitest;

Q_DECLARE_METATYPE(varnel::Game)

namespace {

template <class W> W* child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no widget %s", name);
    return w;
}
QLineEdit* field(QWidget& d, const char* name) {
    return child<QLineEdit>(d, name);
}

const QString kCaption = QStringLiteral("/home/user/.config/Korrin_Tools/Varnel.conf");

// A document on the sample folders, its settings in memory and an empty store.
struct Fixture {
    Workspace ws;
    std::unique_ptr<ScriptedUi> ui = MakeQtScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc doc{*ui, store};
    Fixture() {
        QVERIFY(ws.ok());
        AppSettings& s = doc.settings();
        s.editorPath = "/usr/bin/xdg-open";
        s.textSuffix = ".txt";
        s.dir(Game::Pg2) = ws.path(QStringLiteral("pg2")) + "/";
        s.dir(Game::Peg) = ws.path(QStringLiteral("peg")) + "/";
        s.altDir(Game::Pg2) = "/alt/pg2/";
        s.altDir(Game::Peg) = "/alt/peg/";
        s.soundDir(Game::Pg2) = "/wav/pg2/";
        s.soundDir(Game::Peg) = "/wav/peg/";
        s.defaultEFile = "PG2";
        s.eFile(Game::Pg2) = ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
        s.eFile(Game::Peg) = ws.path(QStringLiteral("peg/EQUIP97.EQP"));
        s.tFile(Game::Pg2) = "/t/pg2/GUI97.txt";
        s.tFile(Game::Peg) = "/t/peg/GUI97.txt";
        s.iconArchive(Game::Pg2) = "/d/PANZER2.DAT";
        s.iconArchive(Game::Peg) = "/d/MODGEN.DAT";
    }
};

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opening_data();
    void opening();
    void folderFixUp_data();
    void folderFixUp();
    void folderButton();
    void alternativeFolderStart_data();
    void alternativeFolderStart();
    void storeNameShownAsItIs();
    void useAndSaveWritesChangedValues();
    void useOnlyWritesNothing();
    void cancel();
    void eFileLoadButton();
    void eFileLoadStopsWhenTheSaveFails();
    void fromTheMenu();
    void screenshot();
};

void SettingsDialogTest::opening_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("filesTitle");
    QTest::addColumn<QString>("iconLabel");
    QTest::newRow("PG2") << Game::Pg2 << "Current PG2 Files"
                         << "PANZER2.dat";
    QTest::newRow("PeG") << Game::Peg << "Current PeG Files"
                         << "MODGEN.dat";
}

void SettingsDialogTest::opening() {
    QFETCH(Game, game);
    QFETCH(QString, filesTitle);
    QFETCH(QString, iconLabel);
    Fixture f;
    f.doc.setCurrentGame(game);
    f.doc.settings().defaultEFile = game == Game::Pg2 ? "PG2" : "PeG";
    CSettingsDialog d(f.doc, kCaption);
    const AppSettings& s = f.doc.settings();
    QCOMPARE(d.windowTitle(), QStringLiteral("Registry Settings"));
    QCOMPARE(child<QGroupBox>(d, "settingsGroupBox")->title(), kCaption);
    QCOMPARE(child<QGroupBox>(d, "currentFilesGroupBox")->title(), filesTitle);
    QCOMPARE(child<QLabel>(d, "iconFileLabel")->text(), iconLabel);
    QCOMPARE(field(d, "editorLineEdit")->text(), FromPath(s.editorPath));
    QCOMPARE(child<QComboBox>(d, "suffixComboBox")->currentText(), QStringLiteral(".txt"));
    QCOMPARE(field(d, "pg2DirLineEdit")->text(), FromPath(s.dir(Game::Pg2)));
    QCOMPARE(field(d, "pg2AltDirLineEdit")->text(), QStringLiteral("/alt/pg2/"));
    QCOMPARE(field(d, "pg2WavLineEdit")->text(), QStringLiteral("/wav/pg2/"));
    QCOMPARE(field(d, "pegDirLineEdit")->text(), FromPath(s.dir(Game::Peg)));
    QCOMPARE(field(d, "pegAltDirLineEdit")->text(), QStringLiteral("/alt/peg/"));
    QCOMPARE(field(d, "pegWavLineEdit")->text(), QStringLiteral("/wav/peg/"));
    QCOMPARE(field(d, "eFileLineEdit")->text(), FromPath(s.eFile(game)));
    QCOMPARE(field(d, "tFileLineEdit")->text(), FromPath(s.tFile(game)));
    QCOMPARE(field(d, "iconFileLineEdit")->text(), FromPath(s.iconArchive(game)));
    QCOMPARE(child<QRadioButton>(d, "pg2DefaultRadioButton")->isChecked(), game == Game::Pg2);
    QCOMPARE(child<QRadioButton>(d, "pegDefaultRadioButton")->isChecked(), game == Game::Peg);
    auto* suffixes = child<QComboBox>(d, "suffixComboBox");
    QStringList items;
    for (int i = 0; i < suffixes->count(); ++i)
        items << suffixes->itemText(i);
    QCOMPARE(items,
             (QStringList{QStringLiteral(".deu"), QStringLiteral(".fra"), QStringLiteral(".txt")}));
    QCOMPARE(field(d, "pg2DirLineEdit")->toolTip(),
             QStringLiteral("Main PG2 folder, GUI97 and Panzer2.dat are searched here if not "
                            "found on the same folder as EUIP97"));
    QCOMPARE(child<QToolButton>(d, "eFileLoadButton")->toolTip(),
             QStringLiteral("Select and Load new file"));
    QCOMPARE(child<QPushButton>(d, "useOnlyButton")->toolTip(),
             QStringLiteral("Use modified folders, but do not save to registry"));
}

// Leaving a folder field closes it with the separator; an empty field stays empty.
void SettingsDialogTest::folderFixUp_data() {
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const QString sep(QChar::fromLatin1(kNativeSeparator));
    QTest::newRow("PG2 folder") << "pg2DirLineEdit"
                                << "/games/PG2" << QStringLiteral("/games/PG2") + sep;
    QTest::newRow("already closed") << "pegWavLineEdit"
                                    << "/wav/"
                                    << "/wav/";
    QTest::newRow("empty stays empty") << "pegAltDirLineEdit"
                                       << ""
                                       << "";
}

void SettingsDialogTest::folderFixUp() {
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f;
    CSettingsDialog d(f.doc, kCaption);
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    QLineEdit* edit = field(d, qPrintable(fieldName));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->text(), shown);
}

// A file chosen inside a folder gives the folder; Cancel keeps the field.
void SettingsDialogTest::folderButton() {
    Fixture f;
    CSettingsDialog d(f.doc, kCaption);
    d.show();
    const std::string name = f.doc.settings().dir(Game::Pg2) + "Panzer2.exe";
    const FileDialogRequest request = PrepareFileDialog(
        f.doc.settings(),
        {.kind = FileKind::Pg2Program, .part = int(PathPart::Folder), .fileName = name});
    const std::string chosen = f.ws.path(QStringLiteral("peg/EQUIP97.EQP"));
    f.ui->expectFileDialog(request.title, chosen);
    QTest::mouseClick(child<QToolButton>(d, "pg2DirButton"), Qt::LeftButton);
    QCOMPARE(field(d, "pg2DirLineEdit")->text(), FromPath(GetPathPart(chosen, PathPart::Folder)));
    QCOMPARE(f.ui->fileRequests().back().initialName, request.initialName);
    const FileDialogRequest wavRequest = PrepareFileDialog(
        f.doc.settings(), {.kind = FileKind::PegSound,
                           .part = int(PathPart::Folder),
                           .fileName = f.doc.settings().soundDir(Game::Peg) + "1001.wav"});
    f.ui->expectFileDialog(wavRequest.title, std::nullopt);
    const QString before = field(d, "pegWavLineEdit")->text();
    QTest::mouseClick(child<QToolButton>(d, "pegWavButton"), Qt::LeftButton);
    QCOMPARE(field(d, "pegWavLineEdit")->text(), before);
    // The settings themselves wait for an exit that applies them.
    QVERIFY(f.doc.settings().dir(Game::Pg2) != GetPathPart(chosen, PathPart::Folder));
}

// An alternative folder's chooser starts in that folder once the field names one, before that in
// the game's default folder.
void SettingsDialogTest::alternativeFolderStart_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("altField");
    QTest::addColumn<QString>("defaultField");
    QTest::addColumn<QString>("altText");
    QTest::addColumn<QString>("expectedName");
    QTest::newRow("PG2, own folder") << "pg2AltDirButton"
                                     << "pg2AltDirLineEdit"
                                     << "pg2DirLineEdit"
                                     << "/alt/pg2/"
                                     << "/alt/pg2/Panzer2.exe";
    QTest::newRow("PG2, empty: default folder") << "pg2AltDirButton"
                                                << "pg2AltDirLineEdit"
                                                << "pg2DirLineEdit"
                                                << ""
                                                << "/main/pg2/Panzer2.exe";
    QTest::newRow("PG2, blanks: default folder") << "pg2AltDirButton"
                                                 << "pg2AltDirLineEdit"
                                                 << "pg2DirLineEdit"
                                                 << "  "
                                                 << "/main/pg2/Panzer2.exe";
    QTest::newRow("PeG, own folder") << "pegAltDirButton"
                                     << "pegAltDirLineEdit"
                                     << "pegDirLineEdit"
                                     << "/alt/peg/"
                                     << "/alt/peg/Peoples.exe";
    QTest::newRow("PeG, empty: default folder") << "pegAltDirButton"
                                                << "pegAltDirLineEdit"
                                                << "pegDirLineEdit"
                                                << ""
                                                << "/main/peg/Peoples.exe";
}

void SettingsDialogTest::alternativeFolderStart() {
    QFETCH(QString, button);
    QFETCH(QString, altField);
    QFETCH(QString, defaultField);
    QFETCH(QString, altText);
    QFETCH(QString, expectedName);
    Fixture f;
    CSettingsDialog d(f.doc, kCaption);
    d.show();
    field(d, qPrintable(defaultField))
        ->setText(button.startsWith(QLatin1String("pg2")) ? QStringLiteral("/main/pg2/")
                                                          : QStringLiteral("/main/peg/"));
    field(d, qPrintable(altField))->setText(altText);
    const FileKind kind =
        button.startsWith(QLatin1String("pg2")) ? FileKind::Pg2Program : FileKind::PegProgram;
    const FileDialogRequest expected = PrepareFileDialog(
        f.doc.settings(),
        {.kind = kind, .part = int(PathPart::Folder), .fileName = ToPath(expectedName)});
    f.ui->expectFileDialog(expected.title, std::nullopt);
    QTest::mouseClick(child<QToolButton>(d, qPrintable(button)), Qt::LeftButton);
    QVERIFY(!f.ui->fileRequests().empty());
    QCOMPARE(f.ui->fileRequests().back().initialName, expected.initialName);
    QCOMPARE(f.ui->fileRequests().back().initialFolder, expected.initialFolder);
    QCOMPARE(FromPath(expected.initialFolder),
             expectedName.left(expectedName.lastIndexOf(u'/') + 1));
    // A cancelled chooser leaves both fields as they were.
    QCOMPARE(field(d, qPrintable(altField))->text(), altText);
}

// The store's file name heads the settings group as it is, "&" and all.
void SettingsDialogTest::storeNameShownAsItIs() {
    Fixture f;
    const QString caption = QStringLiteral("/home/Tom & Ann/.config/Korrin_Tools/Varnel.conf");
    CSettingsDialog d(f.doc, caption);
    const QString title = child<QGroupBox>(d, "settingsGroupBox")->title();
    QCOMPARE(ShownText(title), caption);
    QVERIFY(QKeySequence::mnemonic(title).isEmpty());
}

// Only the values that differ are stored, each under its own name; "Default E-File" only in
// memory.
void SettingsDialogTest::useAndSaveWritesChangedValues() {
    {
        Fixture f;
        CSettingsDialog d(f.doc, kCaption);
        d.show();
        child<QComboBox>(d, "suffixComboBox")->setEditText(QStringLiteral(".deu"));
        QTest::mouseClick(child<QPushButton>(d, "useAndSaveButton"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(f.store.values(), (std::map<std::string, std::string>{{"Suffix", ".deu"}}));
        QCOMPARE(f.doc.settings().textSuffix, std::string(".deu"));
    }
    {
        // The number of backups, down to none, is stored as a number.
        Fixture f;
        CSettingsDialog d(f.doc, kCaption);
        d.show();
        auto* backups = child<QSpinBox>(d, "backupsSpinBox");
        QCOMPARE(backups->value(), 5);
        backups->setValue(0);
        QCOMPARE(backups->text(), QStringLiteral("none"));
        QTest::mouseClick(child<QPushButton>(d, "useAndSaveButton"), Qt::LeftButton);
        QCOMPARE(f.store.values(), (std::map<std::string, std::string>{{"Backups", "0"}}));
        QCOMPARE(f.doc.settings().backups, 0);
    }
    {
        Fixture f;
        CSettingsDialog d(f.doc, kCaption);
        d.show();
        field(d, "pegAltDirLineEdit")->setText(QStringLiteral("/other/peg/"));
        field(d, "editorLineEdit")->setText(QStringLiteral("/usr/bin/kate"));
        QTest::mouseClick(child<QRadioButton>(d, "pegDefaultRadioButton"), Qt::LeftButton, {},
                          QPoint(6, 6));
        QTest::mouseClick(child<QPushButton>(d, "useAndSaveButton"), Qt::LeftButton);
        QCOMPARE(f.store.values(), (std::map<std::string, std::string>{
                                       {"Editor", "/usr/bin/kate"}, {"PeG Alt", "/other/peg/"}}));
        QCOMPARE(f.doc.settings().altDir(Game::Peg), std::string("/other/peg/"));
        QCOMPARE(f.doc.settings().defaultEFile, std::string("PeG"));
    }
}

void SettingsDialogTest::useOnlyWritesNothing() {
    Fixture f;
    CSettingsDialog d(f.doc, kCaption);
    d.show();
    child<QComboBox>(d, "suffixComboBox")->setEditText(QStringLiteral(".fra"));
    field(d, "pg2WavLineEdit")->setText(QStringLiteral("/sounds/"));
    QTest::mouseClick(child<QRadioButton>(d, "pegDefaultRadioButton"), Qt::LeftButton, {},
                      QPoint(6, 6));
    QTest::mouseClick(child<QPushButton>(d, "useOnlyButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(f.store.values().empty());
    QCOMPARE(f.doc.settings().textSuffix, std::string(".fra"));
    QCOMPARE(f.doc.settings().soundDir(Game::Pg2), std::string("/sounds/"));
    QCOMPARE(f.doc.settings().defaultEFile, std::string("PG2"));
}

void SettingsDialogTest::cancel() {
    Fixture f;
    const AppSettings before = f.doc.settings();
    CSettingsDialog d(f.doc, kCaption);
    d.show();
    child<QComboBox>(d, "suffixComboBox")->setEditText(QStringLiteral(".fra"));
    field(d, "pg2DirLineEdit")->setText(QStringLiteral("/elsewhere/"));
    QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(f.store.values().empty());
    QCOMPARE(f.doc.settings().textSuffix, before.textSuffix);
    QCOMPARE(f.doc.settings().dir(Game::Pg2), before.dir(Game::Pg2));
}

// Another E-File of the active game is loaded at once and announced; the same file reloads
// nothing and says nothing.
void SettingsDialogTest::eFileLoadButton() {
    Fixture f;
    const std::string original = f.ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    QVERIFY(LoadEFile(f.doc, Game::Pg2, original));
    f.doc.setCurrentGame(Game::Pg2);
    const std::string unchangedName(f.doc.pg2()->name(0));
    QVERIFY(f.doc.setField(Game::Pg2, 0, "denomination", "EDITED").ok);
    const FileDialogRequest request =
        PrepareFileDialog(f.doc.settings(), {.kind = FileKind::Pg2EFile, .fileName = original});
    CSettingsDialog d(f.doc, kCaption);
    d.show();

    f.ui->expectFileDialog(request.title, original);
    QTest::mouseClick(child<QToolButton>(d, "eFileLoadButton"), Qt::LeftButton);
    QVERIFY(f.ui->finished());
    QCOMPARE(std::string(f.doc.pg2()->name(0)), std::string("EDITED"));

    const QString copy = f.ws.file(QStringLiteral("pg2/OTHER.EQP"));
    QVERIFY(QFile::copy(FromPath(original), copy));
    for (const char* names : {"EQUIP97.txt"})
        QFile::copy(f.ws.file(QStringLiteral("pg2/") + QLatin1String(names)),
                    f.ws.file(QStringLiteral("pg2/OTHER.txt")));
    f.ui->expectFileDialog(request.title, ToPath(copy));
    // The edited name is offered for saving first; the load goes on whatever the answer.
    f.ui->expectQuestion(
        f.doc.settings().namesEFile(Game::Pg2) + "\nIS modified\n ¿ Save changes ?", false);
    f.ui->expectInformation(Format("%s loaded", ToPath(copy).c_str()));
    QTest::mouseClick(child<QToolButton>(d, "eFileLoadButton"), Qt::LeftButton);
    QVERIFY(f.ui->finished());
    QCOMPARE(std::string(f.doc.pg2()->name(0)), unchangedName);
    QCOMPARE(f.doc.settings().eFile(Game::Pg2), ToPath(copy));
    QCOMPARE(field(d, "eFileLineEdit")->text(), copy);
    // The load stays whichever exit follows.
    QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    QCOMPARE(f.doc.settings().eFile(Game::Pg2), ToPath(copy));
}

// A Yes whose save fails keeps the edits: the load is cancelled, as Open cancels.
void SettingsDialogTest::eFileLoadStopsWhenTheSaveFails() {
    Fixture f;
    const std::string original = f.ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    QVERIFY(LoadEFile(f.doc, Game::Pg2, original));
    f.doc.setCurrentGame(Game::Pg2);
    QVERIFY(f.doc.setField(Game::Pg2, 0, "denomination", "EDITED").ok);
    const QString copy = f.ws.file(QStringLiteral("pg2/OTHER.EQP"));
    QVERIFY(QFile::copy(FromPath(original), copy));
    const FileDialogRequest request =
        PrepareFileDialog(f.doc.settings(), {.kind = FileKind::Pg2EFile, .fileName = original});
    CSettingsDialog d(f.doc, kCaption);
    d.show();

    const std::string names = f.doc.settings().namesEFile(Game::Pg2);
    f.doc.settings().backups = 0; // the planned fault hits the Names E-File itself
    f.ui->expectFileDialog(request.title, ToPath(copy));
    f.ui->expectQuestion(names + "\nIS modified\n ¿ Save changes ?", true);
    f.ui->expectError("Error on creating [" + names + "]\nInput/output error");
    PlanSaveFault(SaveFault{SaveStage::Write, 0});
    QTest::mouseClick(child<QToolButton>(d, "eFileLoadButton"), Qt::LeftButton);
    PlanSaveFault(std::nullopt);
    QVERIFY(f.ui->finished());
    QCOMPARE(std::string(f.doc.pg2()->name(0)), std::string("EDITED"));
    QVERIFY(f.doc.flag(Game::Pg2, ChangeKind::Names));
    QCOMPARE(f.doc.settings().eFile(Game::Pg2), original);
    QCOMPARE(field(d, "eFileLineEdit")->text(), FromPath(original));
}

// The command opens the dialog naming the settings file in use; "USE and SAVE" writes there.
void SettingsDialogTest::fromTheMenu() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    bool shown = false;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<CSettingsDialog*>(w);
        QVERIFY(d);
        shown = true;
        QCOMPARE(child<QGroupBox>(*d, "settingsGroupBox")->title(),
                 QDir::toNativeSeparators(ws.settingsFile()));
        child<QComboBox>(*d, "suffixComboBox")->setEditText(QStringLiteral(".deu"));
        QTest::mouseClick(child<QPushButton>(*d, "useAndSaveButton"), Qt::LeftButton);
    });
    e.action("settingsAction")->trigger();
    QVERIFY(shown);
    QCOMPARE(e.doc().settings().textSuffix, std::string(".deu"));
    QSettings ini(ws.settingsFile(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Settings/Suffix")).toString(), QStringLiteral(".deu"));
}

void SettingsDialogTest::screenshot() {
    Fixture f;
    // Paths that read like a player's, not like a temporary folder.
    AppSettings& s = f.doc.settings();
    s.dir(Game::Pg2) = "/home/user/games/panzer2/";
    s.dir(Game::Peg) = "/home/user/games/peoples/";
    s.eFile(Game::Pg2) = s.dir(Game::Pg2) + "EQUIP97.EQP";
    s.tFile(Game::Pg2) = s.dir(Game::Pg2) + "GUI97.txt";
    s.iconArchive(Game::Pg2) = s.dir(Game::Pg2) + "PANZER2.DAT";
    CSettingsDialog d(f.doc, kCaption);
    d.show();
    for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
        if (!b->text().isEmpty() && !qobject_cast<QToolButton*>(b))
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) < b->width(),
                     qPrintable(b->objectName()));
    const QImage image = d.grab().toImage();
    const QString dir = QString::fromLocal8Bit(qgetenv("VARNEL_SCREENSHOT_DIR"));
    if (!dir.isEmpty()) {
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(QDir(dir).filePath(QStringLiteral("settings-dialog.png"))));
    }
}

QTEST_MAIN(SettingsDialogTest)
#include "settingsdialog_test.moc"
