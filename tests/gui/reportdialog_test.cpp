// The "Report to file" dialog opened by the frame's command over the sample game folders: the
// presets from the active view, the texts and tool tips, OK writing the chosen report (announced
// or opened in the editor), Cancel and a game without a table.

#include "app/efileio.h"
#include "app/ui/text1252.h"
#include "reports/equipreport.h"
#include "reports/ui/reportdialog.h"
#include "tests/gui/support/guisupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;

Q_DECLARE_METATYPE(varnel::Game)

namespace {

template <class W> W* child(QWidget* d, const char* name) {
    W* w = d->findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no widget %s", name);
    return w;
}

void click(QWidget* d, const char* name) {
    QTest::mouseClick(child<QPushButton>(d, name), Qt::LeftButton);
}

// Clicks a radio button or check box on its indicator.
void tick(QWidget* d, const char* name) {
    auto* b = child<QAbstractButton>(d, name);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->height() / 2, b->height() / 2));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The editor on the sample folders with both E-Files loaded and an editor program that exists.
struct Fixture {
    Workspace ws;
    std::unique_ptr<Editor> e;
    std::string editor;
    Fixture() {
        e = std::make_unique<Editor>(ws);
        QVERIFY(e->started());
        QVERIFY(LoadEFile(e->doc(), Game::Pg2, ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
        QVERIFY(LoadEFile(e->doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
        editor = ws.path(QStringLiteral("texteditor"));
        QFile program(FromPath(editor));
        QVERIFY(program.open(QIODevice::WriteOnly));
        e->doc().settings().editorPath = editor;
    }
    QString reportFile(Game g) const {
        return FromPath(EquipmentReportPath(g, e->doc().settings().eFile(g)));
    }
};

} // namespace

class ReportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void texts();
    void presets_data();
    void presets();
    void chosenReport_data();
    void chosenReport();
    void launchesEditor();
    void cancel();
    void nothingToReport();
    void screenshot();
};

void ReportDialogTest::texts() {
    Fixture f;
    CReportDialog d(f.e->doc());
    QCOMPARE(d.windowTitle(), QStringLiteral("Report to file"));
    QCOMPARE(child<QGroupBox>(&d, "fileGroupBox")->title(), QStringLiteral("FILE"));
    QCOMPARE(child<QGroupBox>(&d, "formatGroupBox")->title(), QStringLiteral("FORMAT"));
    QCOMPARE(child<QRadioButton>(&d, "fullTableRadioButton")->text(),
             QStringLiteral("Delimited, text,  including ALL data "));
    QCOMPARE(child<QRadioButton>(&d, "briefTableRadioButton")->text(),
             QStringLiteral("Comma delimited, text,  including ONLY known data"));
    QCOMPARE(child<QRadioButton>(&d, "simpleListRadioButton")->text(),
             QStringLiteral("Codes and Names, Merge Compatible"));
    QCOMPARE(child<QCheckBox>(&d, "launchEditorCheckBox")->text(),
             QStringLiteral("LAUNCH EDITOR  WHEN FINISHED"));
    const QString semicolon = QStringLiteral(
        "Delimited with SEMICOLON [;] as some units can have other standar delimiters inside "
        "their name");
    QCOMPARE(child<QRadioButton>(&d, "fullTableRadioButton")->toolTip(), semicolon);
    QCOMPARE(child<QRadioButton>(&d, "briefTableRadioButton")->toolTip(), semicolon);
    QCOMPARE(child<QRadioButton>(&d, "simpleListRadioButton")->toolTip(),
             QStringLiteral("Simple list with Codes,Unit's names, Class and Country"));
    QCOMPARE(child<QCheckBox>(&d, "launchEditorCheckBox")->toolTip(),
             QStringLiteral("Launch editor to view or print the file when finish"));
}

// The view shown decides the presets; the two groups are exclusive each on its own.
void ReportDialogTest::presets_data() {
    QTest::addColumn<Game>("view");
    QTest::addColumn<QString>("gameButton");
    QTest::addColumn<QString>("formatButton");
    QTest::newRow("PG2 view") << Game::Pg2 << "pg2RadioButton"
                              << "briefTableRadioButton";
    QTest::newRow("PeG view") << Game::Peg << "pegRadioButton"
                              << "simpleListRadioButton";
}

void ReportDialogTest::presets() {
    QFETCH(Game, view);
    QFETCH(QString, gameButton);
    QFETCH(QString, formatButton);
    Fixture f;
    f.e->frame().SwitchView(view);
    QStringList checked;
    WhenModal([&](QWidget* d) {
        for (QRadioButton* b : d->findChildren<QRadioButton*>())
            if (b->isChecked())
                checked << b->objectName();
        QVERIFY(child<QCheckBox>(d, "launchEditorCheckBox")->isChecked());
        // Another format leaves the game alone, and the reverse.
        tick(d, "fullTableRadioButton");
        tick(d, view == Game::Pg2 ? "pegRadioButton" : "pg2RadioButton");
        QVERIFY(child<QRadioButton>(d, "fullTableRadioButton")->isChecked());
        QVERIFY(!child<QRadioButton>(d, qPrintable(formatButton))->isChecked());
        QVERIFY(!child<QRadioButton>(d, qPrintable(gameButton))->isChecked());
        click(d, "cancelButton");
    });
    f.e->action("equipmentReportAction")->trigger();
    checked.sort();
    QStringList expected{gameButton, formatButton};
    expected.sort();
    QCOMPARE(checked, expected);
}

// OK writes the chosen game's report in the chosen format beside its E-File and names it.
void ReportDialogTest::chosenReport_data() {
    QTest::addColumn<Game>("view");
    QTest::addColumn<QString>("gameButton");
    QTest::addColumn<QString>("formatButton");
    QTest::addColumn<Game>("game");
    QTest::addColumn<int>("format");
    QTest::newRow("PG2 presets") << Game::Pg2 << ""
                                 << "" << Game::Pg2 << int(BriefTable);
    QTest::newRow("PeG presets") << Game::Peg << ""
                                 << "" << Game::Peg << int(SimpleList);
    QTest::newRow("PeG full table from the PG2 view")
        << Game::Pg2 << "pegRadioButton"
        << "fullTableRadioButton" << Game::Peg << int(FullTable);
    QTest::newRow("PG2 simple list from the PeG view")
        << Game::Peg << "pg2RadioButton"
        << "simpleListRadioButton" << Game::Pg2 << int(SimpleList);
}

void ReportDialogTest::chosenReport() {
    QFETCH(Game, view);
    QFETCH(QString, gameButton);
    QFETCH(QString, formatButton);
    QFETCH(Game, game);
    QFETCH(int, format);
    Fixture f;
    f.e->frame().SwitchView(view);
    CVarnelDoc& doc = f.e->doc();
    const QString path = f.reportFile(game);
    QVERIFY(!QFile::exists(path));
    const QString other = f.reportFile(game == Game::Pg2 ? Game::Peg : Game::Pg2);
    f.e->ui().expectInformation(
        Format("Generated report on file:\n\n %s  \n", ToPath(path).c_str()));
    WhenModal([&](QWidget* d) {
        if (!gameButton.isEmpty())
            tick(d, qPrintable(gameButton));
        if (!formatButton.isEmpty())
            tick(d, qPrintable(formatButton));
        tick(d, "launchEditorCheckBox");
        click(d, "okButton");
    });
    f.e->action("equipmentReportAction")->trigger();
    QVERIFY(f.e->ui().finished());
    const Bytes expected =
        game == Game::Pg2
            ? WritePg2Report(*doc.pg2(), doc.countries(game), doc.settings().eFile(game), format)
            : WritePegReport(*doc.peg(), doc.countries(game), doc.settings().eFile(game), format);
    QVERIFY(!expected.empty());
    const QByteArray written = readAll(path);
    QCOMPARE(written, QByteArray(reinterpret_cast<const char*>(expected.data()),
                                 static_cast<qsizetype>(expected.size())));
    QVERIFY(!QFile::exists(other));
    QVERIFY(f.e->ui().starts().empty());
    QVERIFY(!doc.isModified());
}

// With the launch checked the report opens in the editor instead of being announced.
void ReportDialogTest::launchesEditor() {
    Fixture f;
    f.e->frame().SwitchView(Game::Peg);
    const QString path = f.reportFile(Game::Peg);
    f.e->ui().expectStart(f.editor);
    WhenModal([&](QWidget* d) { click(d, "okButton"); });
    f.e->action("equipmentReportAction")->trigger();
    QVERIFY(f.e->ui().finished());
    QCOMPARE(f.e->ui().starts().size(), std::size_t(1));
    QCOMPARE(f.e->ui().starts()[0], (std::vector<std::string>{f.editor, ToPath(path)}));
    QVERIFY(readAll(path).startsWith("EQUIP97\r\n'    CODE    DENOMINATION\r\n"));
}

void ReportDialogTest::cancel() {
    Fixture f;
    WhenModal([&](QWidget* d) {
        tick(d, "launchEditorCheckBox");
        click(d, "cancelButton");
    });
    f.e->action("equipmentReportAction")->trigger();
    QVERIFY(!QFile::exists(f.reportFile(Game::Pg2)));
    QVERIFY(!QFile::exists(f.reportFile(Game::Peg)));
    QVERIFY(f.e->ui().starts().empty());
}

// A game without a table: the message, no file, no editor.
void ReportDialogTest::nothingToReport() {
    Workspace ws;
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Pg2, ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    e.ui().expectInformation("There is nothing to report, load a file first");
    WhenModal([&](QWidget* d) {
        tick(d, "pegRadioButton");
        click(d, "okButton");
    });
    e.action("equipmentReportAction")->trigger();
    QVERIFY(e.ui().finished());
    QVERIFY(e.ui().starts().empty());
    QVERIFY(QDir(ws.file(QStringLiteral("peg")))
                .entryList({QStringLiteral("*REPORT*")}, QDir::Files, QDir::IgnoreCase)
                .isEmpty());
}

void ReportDialogTest::screenshot() {
    Fixture f;
    CReportDialog d(f.e->doc());
    d.show();
    for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
        QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) < b->width(),
                 qPrintable(b->objectName()));
    const QImage image = d.grab().toImage();
    const QString dir = QString::fromLocal8Bit(qgetenv("VARNEL_SCREENSHOT_DIR"));
    if (!dir.isEmpty()) {
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(QDir(dir).filePath(QStringLiteral("report-dialog.png"))));
    }
}

QTEST_MAIN(ReportDialogTest)
#include "reportdialog_test.moc"
