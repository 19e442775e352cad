// "Export to CSV..." and "Import from CSV..." of the File menu, driven through the real frame:
// the save dialog's proposal, the preview with its changes and refusals, the check box that lets
// new units in, Apply as one undo step, Cancel changing nothing.

#include "app/csvcommands.h"
#include "app/efileio.h"
#include "convert/ui/csvimportdialog.h"
#include "tests/gui/support/guisupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;

namespace {

template <class T> T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (w == nullptr)
        qWarning("no child %s", name);
    return w;
}

void writeText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class CsvImportTest : public QObject {
    Q_OBJECT

  private slots:
    void exportProposesTheCsvBesideTheEFile();
    void exportNeverWritesOverItsSource_data();
    void exportNeverWritesOverItsSource();
    void previewThenApplyIsOneUndoStep();
    void refusalsKeepApplyDisabled();
    void refusedRowsCanBeLeftOut();
    void damagedFileIsNamedAndNothingOpens();
};

void CsvImportTest::exportProposesTheCsvBesideTheEFile() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Pg2, ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Pg2);
    QAction* action = e.action("exportCsvAction");
    QVERIFY(action->isEnabled());
    const std::string out = ws.path(QStringLiteral("pg2/units.csv"));
    e.ui().expectFileDialog("Export PG2 units to CSV", out);
    e.ui().expectInformation("File " + out + " updated");
    action->trigger();
    QCOMPARE(e.ui().fileRequests().back().initialName, std::string("EQUIP97.csv"));
    QFile file(QString::fromStdString(out));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.toStdString(), TableCsv(e.doc(), Game::Pg2));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                             "code,denomination,"));
}

void CsvImportTest::exportNeverWritesOverItsSource_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("what");
    QTest::newRow("E-File") << QStringLiteral("pg2/EQUIP97.EQP") << QStringLiteral("E-File");
    QTest::newRow("E-File in other case")
        << QStringLiteral("pg2/equip97.eqp") << QStringLiteral("E-File");
    QTest::newRow("Names E-File") << QStringLiteral("pg2/EQUIP97.txt")
                                  << QStringLiteral("Names E-File");
}

// The save dialog has asked before replacing: the export still refuses the files it reads.
void CsvImportTest::exportNeverWritesOverItsSource() {
    QFETCH(QString, target);
    QFETCH(QString, what);
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    const std::string eFile = ws.path(QStringLiteral("pg2/EQUIP97.EQP"));
    const std::string names = ws.path(QStringLiteral("pg2/EQUIP97.txt"));
    QVERIFY(LoadEFile(e.doc(), Game::Pg2, eFile));
    e.frame().SwitchView(Game::Pg2);
    auto bytesOf = [](const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray eFileBefore = bytesOf(eFile);
    const QByteArray namesBefore = bytesOf(names);
    const std::string out = ws.path(target);
    e.ui().expectFileDialog("Export PG2 units to CSV", out);
    e.ui().expectError(out + " is the " + what.toStdString() +
                       " the units are read from\nNothing was written");
    e.action("exportCsvAction")->trigger();
    QCOMPARE(bytesOf(eFile), eFileBefore);
    QCOMPARE(bytesOf(names), namesBefore);
}

void CsvImportTest::previewThenApplyIsOneUndoStep() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Peg);
    const QString csv = ws.file(QStringLiteral("peg/edit.csv"));
    writeText(csv, "code,cost,denomination\r\n2,500,Leo\r\n40,100,New unit\r\n");
    const std::string nameBefore(*e.doc().unitName(Game::Peg, 2));
    const int costBefore = e.doc().peg()->units[2].record[peg::Cost];

    e.ui().expectFileDialog("Import PeG units from CSV", csv.toStdString());
    e.ui().expectInformation("Imported from " + csv.toStdString() +
                             ":\n2 fields changed in 1 units, 1 units added");
    bool shown = false;
    WhenModal([&](QWidget* d) {
        shown = true;
        QVERIFY(qobject_cast<CCsvImportDialog*>(d));
        auto* apply = child<QPushButton>(d, "applyButton");
        auto* preview = child<QPlainTextEdit>(d, "previewTextEdit");
        // Code 40 lies past the end: refused until new units are let in.
        QVERIFY(!apply->isEnabled());
        QVERIFY(preview->toPlainText().contains(QStringLiteral("past the last unit")));
        QVERIFY(preview->toPlainText().contains(QStringLiteral("unit 2 %1: Cost %2 -> 500")
                                                    .arg(QString::fromLatin1(nameBefore.c_str()))
                                                    .arg(costBefore * 10)));
        child<QCheckBox>(d, "appendCheckBox")->setChecked(true);
        QVERIFY(apply->isEnabled());
        QVERIFY(preview->toPlainText().contains(QStringLiteral("new unit 40 New unit")));
        QVERIFY(child<QLabel>(d, "summaryLabel")->text().startsWith(QStringLiteral("2 fields")));
        // The dialog shows its preview uncut.
        d->adjustSize();
        QVERIFY(preview->width() >= 600);
        const QString dir = QString::fromLocal8Bit(qgetenv("VARNEL_SCREENSHOT_DIR"));
        if (!dir.isEmpty())
            d->grab().save(QDir(dir).filePath(QStringLiteral("csv-import.png")));
        QTest::mouseClick(apply, Qt::LeftButton);
    });
    e.action("importCsvAction")->trigger();
    QVERIFY(shown);
    QCOMPARE(e.doc().unitCount(Game::Peg), std::size_t{41});
    QCOMPARE(std::string(*e.doc().unitName(Game::Peg, 2)), std::string("Leo"));
    QCOMPARE(int(e.doc().peg()->units[2].record[peg::Cost]), 50);
    QCOMPARE(e.doc().history(Game::Peg).count(), std::size_t{1});
    QVERIFY(e.doc().isModified());

    // One undo takes all of it back.
    QVERIFY(e.doc().undo(Game::Peg));
    QCOMPARE(e.doc().unitCount(Game::Peg), std::size_t{40});
    QCOMPARE(std::string(*e.doc().unitName(Game::Peg, 2)), nameBefore);
    QCOMPARE(int(e.doc().peg()->units[2].record[peg::Cost]), costBefore);
    QVERIFY(!e.doc().isModified());
}

void CsvImportTest::refusalsKeepApplyDisabled() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Pg2, ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Pg2);
    const QString csv = ws.file(QStringLiteral("pg2/bad.csv"));
    writeText(csv, "code,cost,airAtk\r\n1,abc,3\r\n2,24,4\r\n");
    e.ui().expectFileDialog("Import PG2 units from CSV", csv.toStdString());
    WhenModal([&](QWidget* d) {
        QVERIFY(!child<QPushButton>(d, "applyButton")->isEnabled());
        QVERIFY(child<QPlainTextEdit>(d, "previewTextEdit")
                    ->toPlainText()
                    .contains(QStringLiteral(
                        "line 2, column cost, value \"abc\": Please enter an integer.")));
        QVERIFY(child<QLabel>(d, "summaryLabel")->text().contains(QStringLiteral("1 refused")));
        QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    });
    e.action("importCsvAction")->trigger();
    QCOMPARE(e.doc().history(Game::Pg2).count(), std::size_t{0});
    QVERIFY(!e.doc().isModified());
}

// Refusals lead the preview, highlighted; "Apply Without Refused Rows" applies the rest as one
// step of the history.
void CsvImportTest::refusedRowsCanBeLeftOut() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Pg2, ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Pg2);
    const int air1 = e.doc().pg2()->units[1].record[pg2::AirAtk];
    const QString csv = ws.file(QStringLiteral("pg2/bad.csv"));
    writeText(csv, "code,cost,airAtk\r\n1,abc,3\r\n2,24,4\r\n3,36,5\r\n");
    e.ui().expectFileDialog("Import PG2 units from CSV", csv.toStdString());
    const std::string imported = "Imported from " + csv.toStdString();
    e.ui().expectInformation(imported + ":\n4 fields changed in 2 units, 0 units added\n1 rows "
                                        "with a refused cell were left out");
    WhenModal([&](QWidget* d) {
        auto* preview = child<QPlainTextEdit>(d, "previewTextEdit");
        const QString text = preview->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("refused: line 2, column cost")));
        QVERIFY(text.indexOf(QStringLiteral("refused:")) < text.indexOf(QStringLiteral("unit 2")));
        QCOMPARE(preview->extraSelections().size(), 1);
        QVERIFY(!child<QPushButton>(d, "applyButton")->isEnabled());
        auto* skip = child<QPushButton>(d, "skipRefusedButton");
        QVERIFY(skip->isEnabled());
        QTest::mouseClick(skip, Qt::LeftButton);
    });
    e.action("importCsvAction")->trigger();
    QCOMPARE(e.doc().history(Game::Pg2).count(), std::size_t{1});
    QCOMPARE(int(e.doc().pg2()->units[1].record[pg2::AirAtk]), air1);
    QCOMPARE(int(e.doc().pg2()->units[2].record[pg2::AirAtk]), 4);
    QCOMPARE(int(e.doc().pg2()->units[3].record[pg2::Cost]), 3);
}

void CsvImportTest::damagedFileIsNamedAndNothingOpens() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Pg2, ws.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Pg2);
    const QString csv = ws.file(QStringLiteral("pg2/empty.csv"));
    writeText(csv, "");
    e.ui().expectFileDialog("Import PG2 units from CSV", csv.toStdString());
    e.ui().expectInformation("Nothing was imported:\n" + csv.toStdString() +
                             ", line 1: the file is empty");
    e.action("importCsvAction")->trigger();
    QVERIFY(!e.doc().isModified());
}

QTEST_MAIN(CsvImportTest)
#include "csvimport_test.moc"
