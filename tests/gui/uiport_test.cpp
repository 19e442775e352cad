// The Qt side of the Ui port and the settings store: file dialog filters and presets, message
// boxes, the busy cursor, process start, the QSettings backend, the recent-file list and the
// command line.

#include "app/appsettings.h"
#include "app/ui/qsettingsbackend.h"
#include "app/ui/qtuiport.h"
#include "app/ui/text1252.h"
#include "app/ui/varnelapp.h"
#include "tests/gui/support/guisupport.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace varnel;
using varnel::guitest::WhenModal;

namespace {
std::string bytes(const QString& s) {
    return ToPath(s);
}
} // namespace

class UiPortTest : public QObject {
    Q_OBJECT
  private slots:
    void filter_data();
    void filter();
    void defaultExtension_data();
    void defaultExtension();
    void saveDialogPresets();
    void openDialogAddsExtensionToTypedName();
    void cancelledDialog();
    void messageBoxes_data();
    void messageBoxes();
    void busyCursorNests();
    void startDetachedPassesOneArgument();
    void startDetachedReportsFailure();
    void settingsRoundTrip();
    void settingsFirstRead();
    void recentFiles();
    void commandLine_data();
    void commandLine();
};

void UiPortTest::filter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("E-File") << QStringLiteral("PG2 EQUIP97 Files (*.EQP)|*.eqp|")
                            << QStringLiteral("PG2 EQUIP97 Files (*.eqp *.EQP)");
    QTest::newRow("text") << QStringLiteral("TXT files (*.txt)|*.txt|")
                          << QStringLiteral("TXT files (*.txt *.TXT)");
    QTest::newRow("suffix .deu") << QStringLiteral("PeG TEXT Files (*.deu)|*.deu|")
                                 << QStringLiteral("PeG TEXT Files (*.deu *.DEU)");
    QTest::newRow("program, any file too") << QStringLiteral("EXE files (*.exe)|*.exe;*|")
                                           << QStringLiteral("EXE files (*.exe *.EXE *)");
    QTest::newRow("mixed case pattern")
        << QStringLiteral("Icons|*.Dat|") << QStringLiteral("Icons (*.Dat *.dat *.DAT)");
    QTest::newRow("no description") << QStringLiteral("|*.wav|") << QStringLiteral("*.wav *.WAV");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no pattern") << QStringLiteral("Nothing||") << QString();
}

void UiPortTest::filter() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(QtFileFilter(bytes(filter)), expected);
}

void UiPortTest::defaultExtension_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typed without one") << QStringLiteral("report") << QStringLiteral(".TXT")
                                       << false << QStringLiteral("report.TXT");
    QTest::newRow("typed with one") << QStringLiteral("report.csv") << QStringLiteral(".TXT")
                                    << false << QStringLiteral("report.csv");
    QTest::newRow("existing program without one")
        << QStringLiteral("gedit") << QStringLiteral(".EXE") << true << QStringLiteral("gedit");
    QTest::newRow("dot only in the folder")
        << QStringLiteral("my.dir/EQUIP97") << QStringLiteral(".EQP") << false
        << QStringLiteral("my.dir/EQUIP97.EQP");
    QTest::newRow("no default") << QStringLiteral("EQUIP97") << QString() << false
                                << QStringLiteral("EQUIP97");
}

void UiPortTest::defaultExtension() {
    QFETCH(QString, typed);
    QFETCH(QString, extension);
    QFETCH(bool, exists);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir().mkpath(dir.filePath(QStringLiteral("my.dir")));
    if (exists) {
        QFile f(dir.filePath(typed));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(WithDefaultExtension(dir.filePath(typed), bytes(extension)), dir.filePath(expected));
}

void UiPortTest::saveDialogPresets() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile existing(dir.filePath(QStringLiteral("EQUIP97.EQP")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();

    FileDialogRequest request;
    request.open = false;
    request.title = "Comfirm PG2 Efile to create";
    request.filter = "PG2 EQUIP97 Files (*.EQP)|*.eqp|";
    request.defaultExtension = ".EQP";
    request.initialName = bytes(dir.filePath(QStringLiteral("EQUIP97.EQP")));
    request.initialFolder = bytes(dir.path() + QLatin1Char('/'));

    bool checked = false;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Comfirm PG2 Efile to create"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(),
                 QStringList{QStringLiteral("PG2 EQUIP97 Files (*.eqp *.EQP)")});
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("EQP"));
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        QCOMPARE(dialog->selectedFiles().value(0),
                 QDir(dir.path()).filePath(QStringLiteral("EQUIP97.EQP")));
        // Saving over a file asks first.
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        checked = true;
        dialog->reject();
    });
    QtUiPort ui;
    QVERIFY(!ui.fileDialog(request).has_value());
    QVERIFY(checked);
}

void UiPortTest::openDialogAddsExtensionToTypedName() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    FileDialogRequest request;
    request.open = true;
    request.title = "Select TXT file to edit";
    request.filter = "TXT files (*.txt)|*.txt|";
    request.defaultExtension = ".TXT";
    request.initialFolder = bytes(dir.path());
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        // The name of a file that does not exist yet is accepted: the caller says so itself.
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        // Typed as a user types it, without an extension.
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(QStringLiteral("notes"));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, as the Open button
    });
    QtUiPort ui;
    const auto chosen = ui.fileDialog(request);
    QVERIFY(chosen.has_value());
    QCOMPARE(FromPath(*chosen),
             QDir::toNativeSeparators(dir.filePath(QStringLiteral("notes.TXT"))));
}

void UiPortTest::cancelledDialog() {
    FileDialogRequest request;
    request.title = "Select PG2 EQUIP97.EQP";
    request.initialName = "*.txt"; // a pattern never reaches the name field
    WhenModal([](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        QVERIFY(!dialog->selectedFiles().value(0).contains(QLatin1Char('*')));
        dialog->reject();
    });
    QtUiPort ui;
    QVERIFY(!ui.fileDialog(request).has_value());
}

void UiPortTest::messageBoxes_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("icon");
    QTest::addColumn<bool>("answerYes");
    QTest::newRow("information") << 0 << int(QMessageBox::Information) << false;
    QTest::newRow("question, Yes") << 1 << int(QMessageBox::Question) << true;
    QTest::newRow("question, No") << 1 << int(QMessageBox::Question) << false;
    QTest::newRow("error") << 2 << int(QMessageBox::Critical) << false;
}

void UiPortTest::messageBoxes() {
    QFETCH(int, kind);
    QFETCH(int, icon);
    QFETCH(bool, answerYes);
    // A unit name that looks like markup is shown as it is.
    const std::string text =
        "C:\\PANZER2\\<late> Tiger & co.EQP\nIS modified\n \xc2\xbf Save changes ?";
    bool checked = false;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Varnel"));
        QCOMPARE(box->text(), QString::fromUtf8(text.c_str()));
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(int(box->icon()), icon);
        if (kind == 1) {
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(answerYes ? QMessageBox::Yes : QMessageBox::No)->click();
        } else {
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            box->button(QMessageBox::Ok)->click();
        }
        checked = true;
    });
    QtUiPort ui;
    if (kind == 0)
        ui.information(text);
    else if (kind == 1)
        QCOMPARE(ui.question(text), answerYes);
    else
        ui.error(text);
    QVERIFY(checked);
}

void UiPortTest::busyCursorNests() {
    QtUiPort ui;
    QVERIFY(!QApplication::overrideCursor());
    ui.setBusy(true);
    ui.setBusy(true);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.setBusy(false);
    QVERIFY(QApplication::overrideCursor());
    ui.setBusy(false);
    QVERIFY(!QApplication::overrideCursor());
    // One end too many takes away no cursor someone else set.
    QApplication::setOverrideCursor(Qt::IBeamCursor);
    ui.setBusy(false);
    QVERIFY(QApplication::overrideCursor());
    QApplication::restoreOverrideCursor();
    {
        QtUiPort cutShort;
        cutShort.setBusy(true);
    }
    QVERIFY(!QApplication::overrideCursor());
}

void UiPortTest::startDetachedPassesOneArgument() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString script = dir.filePath(QStringLiteral("editor.sh"));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
            .arg(out)
            .toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString file = dir.filePath(QStringLiteral("My Files/a b.txt"));
    QtUiPort ui;
    QVERIFY(ui.startDetached(bytes(script), {bytes(file)}));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    QFile result(out);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(result.readAll()), QStringLiteral("1|") + file);
}

void UiPortTest::startDetachedReportsFailure() {
    QtUiPort ui;
    QVERIFY(!ui.startDetached("/nonexistent/editor-program", {"a.txt"}));
}

void UiPortTest::settingsRoundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    const std::string folder = "C:\\Spiele\\P\xc3\xa4nzer, alt\\";
    {
        QSettingsBackend store(ini);
        QVERIFY(!store.read("PG2 Dir").has_value());
        store.write("PG2 Dir", folder);
        store.write("Suffix", "");
        store.write("Last PG2 File", "x");
        store.remove("Last PG2 File");
    }
    QSettings raw(ini, QSettings::IniFormat);
    QCOMPARE(raw.childGroups(), QStringList{QStringLiteral("Settings")});
    QCOMPARE(raw.value(QStringLiteral("Settings/PG2 Dir")).toString(), FromPath(folder));
    QSettingsBackend again(ini);
    QCOMPARE(again.read("PG2 Dir").value_or("absent"), folder);
    QCOMPARE(again.read("Suffix").value_or("absent"), std::string());
    QVERIFY(!again.read("Last PG2 File").has_value());
}

void UiPortTest::settingsFirstRead() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    {
        QSettings raw(ini, QSettings::IniFormat);
        raw.setValue(QStringLiteral("Settings/Suffix"), QStringLiteral(".deu"));
        raw.setValue(QStringLiteral("Settings/PG2 EQPdir"), QStringLiteral("old"));
    }
    QSettingsBackend store(ini);
    AppSettings settings;
    ReadAllSettings(settings, store, SettingsDefaults::windows());
    QCOMPARE(settings.tFile(Game::Pg2), std::string("C:\\PANZER2\\GUI97.deu"));
    QSettings raw(ini, QSettings::IniFormat);
    QCOMPARE(raw.value(QStringLiteral("Settings/Version")).toString(),
             QStringLiteral("Varnel Editor 2.07"));
    QVERIFY(!raw.contains(QStringLiteral("Settings/PG2 EQPdir")));
}

void UiPortTest::recentFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    auto name = [](int i) { return QStringLiteral("/games/%1/EQUIP97.EQP").arg(i); };
    {
        QSettings store(ini, QSettings::IniFormat);
        RecentFileList list(store);
        QVERIFY(list.files().isEmpty());
        for (int i = 1; i <= 7; ++i)
            list.add(name(i));
        QCOMPARE(list.files(), (QStringList{name(7), name(6), name(5), name(4), name(3), name(2)}));
        list.add(name(4));
        QCOMPARE(list.files().first(), name(4));
        QCOMPARE(list.files().size(), 6);
        list.add(QStringLiteral("/games//4/EQUIP97.EQP"));
        QCOMPARE(list.files().size(), 6);
        list.remove(name(2));
        QCOMPARE(list.files(), (QStringList{QStringLiteral("/games//4/EQUIP97.EQP"), name(7),
                                            name(6), name(5), name(3)}));
    }
    QSettings store(ini, QSettings::IniFormat);
    QCOMPARE(store.value(QStringLiteral("Recent File List/File2")).toString(), name(7));
    QVERIFY(!store.contains(QStringLiteral("Recent File List/File6")));
    RecentFileList reread(store);
    QCOMPARE(reread.files().size(), 5);
    QCOMPARE(reread.files().at(1), name(7));
}

void UiPortTest::commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("settings");
    QTest::newRow("nothing") << QStringList{} << true << QString() << QString();
    QTest::newRow("one file") << QStringList{QStringLiteral("EQUIP97.EQP")} << true
                              << QStringLiteral("EQUIP97.EQP") << QString();
    QTest::newRow("settings and file")
        << QStringList{QStringLiteral("--settings"), QStringLiteral("demo.ini"),
                       QStringLiteral("/g/EQUIP97.EQP")}
        << true << QStringLiteral("/g/EQUIP97.EQP") << QStringLiteral("demo.ini");
    QTest::newRow("settings with =") << QStringList{QStringLiteral("--settings=demo.ini")} << true
                                     << QString() << QStringLiteral("demo.ini");
    QTest::newRow("file named with a blank")
        << QStringList{QStringLiteral("My Games/EQUIP97.EQP")} << true
        << QStringLiteral("My Games/EQUIP97.EQP") << QString();
    QTest::newRow("two files") << QStringList{QStringLiteral("a.eqp"), QStringLiteral("b.eqp")}
                               << false << QString() << QString();
    QTest::newRow("settings without a file")
        << QStringList{QStringLiteral("--settings")} << false << QString() << QString();
    QTest::newRow("settings twice")
        << QStringList{QStringLiteral("--settings=a"), QStringLiteral("--settings=b")} << false
        << QString() << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << true << QString()
                             << QString();
    QTest::newRow("version and a file")
        << QStringList{QStringLiteral("--version"), QStringLiteral("EQUIP97.EQP")} << true
        << QStringLiteral("EQUIP97.EQP") << QString();
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--verbose")} << false << QString() << QString();
}

void UiPortTest::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(bool, valid);
    QFETCH(QString, file);
    QFETCH(QString, settings);
    std::vector<std::string> argv;
    for (const QString& a : args)
        argv.push_back(bytes(a));
    std::string error;
    const auto parsed = ParseCommandLine(argv, error);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid) {
        QVERIFY(!error.empty());
        return;
    }
    QCOMPARE(parsed->file ? FromPath(*parsed->file) : QString(), file);
    QCOMPARE(parsed->settingsFile ? FromPath(*parsed->settingsFile) : QString(), settings);
    QCOMPARE(parsed->version, args.contains(QStringLiteral("--version")));
}

QTEST_MAIN(UiPortTest)
#include "uiport_test.moc"
