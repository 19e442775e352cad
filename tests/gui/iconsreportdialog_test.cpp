// The "Used Icons report" dialog over tables in memory: the sorted items with their counts, the
// usage of the selection, both report types written through "REPORT", an empty list, and a report
// file that cannot be written (the dialog stays open).

#include "app/efileio.h"
#include "app/reportcommands.h"
#include "app/settingsstore.h"
#include "app/ui/text1252.h"
#include "reports/ui/iconsreportdialog.h"
#include "tests/gui/support/guisupport.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;

namespace {

template <class W> W* child(QWidget& d, const char* name) {
    W* w = d.findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no widget %s", name);
    return w;
}

QString label(QWidget& d, const char* name) {
    return child<QLabel>(d, name)->text();
}

QStringList items(QWidget& d) {
    QStringList texts;
    auto* list = child<QListWidget>(d, "iconListWidget");
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// A document whose E-Files lie in a temporary folder, with an editor program that exists.
struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<ScriptedUi> ui = MakeQtScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc doc{*ui, store};
    Fixture() {
        doc.settings().eFile(Game::Pg2) = ToPath(dir.filePath(QStringLiteral("EQUIP97.EQP")));
        doc.settings().eFile(Game::Peg) = ToPath(dir.filePath(QStringLiteral("PEGEQUIP.EQP")));
        doc.settings().editorPath = ToPath(dir.filePath(QStringLiteral("texteditor")));
        QFile editor(FromPath(doc.settings().editorPath));
        QVERIFY(editor.open(QIODevice::WriteOnly));
    }
    void setPg2Icons(const std::vector<std::string>& icons) {
        Pg2UnitTable table;
        for (const std::string& icon : icons) {
            Pg2Unit unit;
            unit.record.setIcon(icon);
            table.units.push_back(unit);
        }
        doc.loadTable(std::move(table));
        doc.setCurrentGame(Game::Pg2);
    }
    void setPegIcons(const std::vector<std::pair<std::string, std::string>>& icons) {
        PegUnitTable table;
        for (const auto& [unitIcon, movIcon] : icons) {
            PegUnit unit;
            unit.record.setUnitIcon(unitIcon);
            unit.record.setMovIcon(movIcon);
            table.units.push_back(unit);
        }
        doc.loadTable(std::move(table));
        doc.setCurrentGame(Game::Peg);
    }
};

} // namespace

class IconsReportDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void texts();
    void itemsAndCounts();
    void reportTypes_data();
    void reportTypes();
    void emptyList_data();
    void emptyList();
    void unwritableReportStaysOpen();
    void cancel();
    void fromTheMenu();
    void screenshot();
};

void IconsReportDialogTest::texts() {
    Fixture f;
    f.setPg2Icons({"TIGER"});
    CIconsReportDialog d(f.doc);
    QCOMPARE(d.windowTitle(), QStringLiteral("Used Icons report"));
    QCOMPARE(child<QGroupBox>(d, "reportGroupBox")->title(), QStringLiteral("Report"));
    QCOMPARE(child<QRadioButton>(d, "statInfoRadioButton")->text(),
             QStringLiteral("Stat  info  Type"));
    QCOMPARE(child<QRadioButton>(d, "repackRadioButton")->text(), QStringLiteral("Repack Type"));
    QVERIFY(child<QRadioButton>(d, "statInfoRadioButton")->isChecked());
    QVERIFY(!child<QRadioButton>(d, "repackRadioButton")->isChecked());
    QCOMPARE(child<QPushButton>(d, "reportButton")->text(), QStringLiteral("REPORT"));
    QVERIFY(child<QPushButton>(d, "reportButton")->isDefault());
    QCOMPARE(child<QPushButton>(d, "cancelButton")->text(), QStringLiteral("Cancel"));
    QCOMPARE(label(d, "hintLabel"), QStringLiteral("Select an icon to see how many units use it"));
}

// Names equal but for case are one item spelt as first met; PeG counts both fields of a unit;
// empty names are skipped; the selection shows its count.
void IconsReportDialogTest::itemsAndCounts() {
    {
        Fixture f;
        f.setPg2Icons({"TIGER", "tiger", "PANZER", "", "TIGER", "a88"});
        CIconsReportDialog d(f.doc);
        QCOMPARE(items(d), (QStringList{QStringLiteral("a88.shp"), QStringLiteral("PANZER.shp"),
                                        QStringLiteral("TIGER.shp")}));
        QCOMPARE(label(d, "iconsUsedLabel"), QStringLiteral("3 Icons used"));
        QCOMPARE(label(d, "unitUseLabel"), QStringLiteral("Used by 1 Units"));
        auto* list = child<QListWidget>(d, "iconListWidget");
        d.show();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(2)).center());
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(label(d, "unitUseLabel"), QStringLiteral("Used by 3 Units"));
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(label(d, "unitUseLabel"), QStringLiteral("Used by 1 Units"));
    }
    {
        Fixture f;
        f.setPegIcons({{"INF", "INF"}, {"TRUCK", ""}, {"", "inf"}});
        CIconsReportDialog d(f.doc);
        QCOMPARE(items(d), (QStringList{QStringLiteral("INF.s16"), QStringLiteral("TRUCK.s16")}));
        QCOMPARE(label(d, "iconsUsedLabel"), QStringLiteral("2 Icons used"));
        QCOMPARE(label(d, "unitUseLabel"), QStringLiteral("Used by 3 Units"));
    }
}

// "REPORT" writes the list beside the E-File of the current game, announces it, opens it in the
// editor and closes.
void IconsReportDialogTest::reportTypes_data() {
    QTest::addColumn<QString>("typeButton");
    QTest::addColumn<QString>("lines");
    QTest::newRow("Stat info")
        << "statInfoRadioButton"
        << "PANZER.shp     used: 1 times\r\nTIGER.shp      used: 3 times\r\n";
    QTest::newRow("Repack") << "repackRadioButton"
                            << "PANZER.shp\r\nTIGER.shp\r\n";
}

void IconsReportDialogTest::reportTypes() {
    QFETCH(QString, typeButton);
    QFETCH(QString, lines);
    Fixture f;
    f.setPg2Icons({"TIGER", "TIGER", "tiger", "PANZER"});
    const QString eFile = FromPath(f.doc.settings().eFile(Game::Pg2));
    const QString path = f.dir.filePath(QStringLiteral("EQUIP97_ICONS.TXT"));
    f.ui->expectInformation(Format("Generated report on file:\n\n %s  \n", ToPath(path).c_str()));
    f.ui->expectStart(f.doc.settings().editorPath);
    CIconsReportDialog d(f.doc);
    d.show();
    auto* type = child<QRadioButton>(d, qPrintable(typeButton));
    QTest::mouseClick(type, Qt::LeftButton, {}, QPoint(type->height() / 2, type->height() / 2));
    QVERIFY(type->isChecked());
    QTest::mouseClick(child<QPushButton>(d, "reportButton"), Qt::LeftButton);
    QVERIFY(f.ui->finished());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.isVisible());
    QCOMPARE(f.ui->starts().at(0).at(1), ToPath(path));
    QCOMPARE(QString::fromUtf8(readAll(path)),
             QStringLiteral(";This is an index of icons used in ") + eFile +
                 QStringLiteral("\r\n;(Number of icons used: 2)\r\n3\r\n") + lines);
    QVERIFY(!f.doc.isModified());
}

// No table, no units, or only empty names: "0 Icons used"; "REPORT" closes and writes nothing.
void IconsReportDialogTest::emptyList_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("no table") << 0;
    QTest::newRow("no units") << 1;
    QTest::newRow("only empty names") << 2;
}

void IconsReportDialogTest::emptyList() {
    QFETCH(int, kind);
    Fixture f;
    if (kind == 1)
        f.setPegIcons({});
    else if (kind == 2)
        f.setPegIcons({{"", ""}, {"", ""}});
    else
        f.doc.setCurrentGame(Game::Peg);
    CIconsReportDialog d(f.doc);
    d.show();
    QVERIFY(items(d).isEmpty());
    QCOMPARE(label(d, "iconsUsedLabel"), QStringLiteral("0 Icons used"));
    QCOMPARE(label(d, "unitUseLabel"), QStringLiteral("Used by 0 Units"));
    QTest::mouseClick(child<QPushButton>(d, "reportButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(QDir(f.dir.path()).entryList({QStringLiteral("*_ICONS.TXT")}, QDir::Files).isEmpty());
    QVERIFY(f.ui->starts().empty());
}

// A report that cannot be created is said, and the dialog stays open for another try.
void IconsReportDialogTest::unwritableReportStaysOpen() {
    Fixture f;
    f.setPegIcons({{"INF", "TRUCK"}});
    f.doc.settings().eFile(Game::Peg) =
        ToPath(f.dir.filePath(QStringLiteral("missing/PEGEQUIP.EQP")));
    const std::string path = ToPath(f.dir.filePath(QStringLiteral("missing/PEGEQUIP_ICONS.TXT")));
    f.ui->expectError(Format("Error on creating [%s]\nthe folder does not exist", path.c_str()));
    CIconsReportDialog d(f.doc);
    d.show();
    QTest::mouseClick(child<QPushButton>(d, "reportButton"), Qt::LeftButton);
    QVERIFY(f.ui->finished());
    QVERIFY(d.isVisible());
    QVERIFY(f.ui->starts().empty());
    QVERIFY(!QFile::exists(FromPath(path)));
}

void IconsReportDialogTest::cancel() {
    Fixture f;
    f.setPg2Icons({"TIGER"});
    CIconsReportDialog d(f.doc);
    d.show();
    QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(QDir(f.dir.path()).entryList({QStringLiteral("*_ICONS.TXT")}, QDir::Files).isEmpty());
}

// The command opens the dialog on the game of the form shown.
void IconsReportDialogTest::fromTheMenu() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Peg);
    const std::vector<IconUse> uses = CollectUsedIcons(e.doc(), Game::Peg);
    QVERIFY(!uses.empty());
    bool shown = false;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<CIconsReportDialog*>(w);
        QVERIFY(d);
        shown = true;
        QCOMPARE(label(*d, "iconsUsedLabel").toStdString(),
                 Format("%d Icons used", static_cast<int>(uses.size())));
        QCOMPARE(items(*d).front(), FromWindows1252(uses.front().text));
        QVERIFY(items(*d).front().endsWith(QStringLiteral(".s16")));
        QTest::mouseClick(child<QPushButton>(*d, "cancelButton"), Qt::LeftButton);
    });
    e.action("iconsReportAction")->trigger();
    QVERIFY(shown);
}

void IconsReportDialogTest::screenshot() {
    Fixture f;
    f.setPg2Icons({"TIGER", "TIGER", "PANZER", "STUKA", "BISMRK", "A88", "KV1", "T34", "SHERMN"});
    CIconsReportDialog d(f.doc);
    d.show();
    for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
        QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) < b->width(),
                 qPrintable(b->objectName()));
    for (QLabel* l : d.findChildren<QLabel*>())
        QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(),
                 qPrintable(l->objectName()));
    const QImage image = d.grab().toImage();
    const QString dir = QString::fromLocal8Bit(qgetenv("VARNEL_SCREENSHOT_DIR"));
    if (!dir.isEmpty()) {
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(QDir(dir).filePath(QStringLiteral("icons-report-dialog.png"))));
    }
}

QTEST_MAIN(IconsReportDialogTest)
#include "iconsreportdialog_test.moc"
