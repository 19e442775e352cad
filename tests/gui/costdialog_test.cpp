// The "Global Modifiers" dialog over a PeG table in memory: the country rows, the arithmetic
// through OK, the refusal of a percentage that is not a whole number, Cancel.

#include "app/efileio.h"
#include "app/settingsstore.h"
#include "app/ui/text1252.h"
#include "base/format.h"
#include "convert/ui/costdialog.h"
#include "tests/gui/support/guisupport.h"

#include <QCheckBox>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;

namespace {

struct CostUnit {
    int country;
    int cost;
};

PegUnitTable tableOf(const std::vector<CostUnit>& units) {
    PegUnitTable table;
    for (const CostUnit& u : units) {
        PegUnit unit;
        unit.record[peg::Country] = static_cast<std::uint8_t>(u.country);
        unit.record[peg::Cost] = static_cast<std::uint8_t>(u.cost);
        table.units.push_back(unit);
    }
    return table;
}

std::vector<int> costsOf(const CVarnelDoc& doc) {
    std::vector<int> costs;
    for (const PegUnit& u : doc.peg()->units)
        costs.push_back(u.record[peg::Cost]);
    return costs;
}

QCheckBox* check(CCostDialog& d, int k) {
    return d.findChild<QCheckBox*>(QStringLiteral("countryCheckBox%1").arg(k));
}
QLineEdit* percent(CCostDialog& d, int k) {
    return d.findChild<QLineEdit*>(QStringLiteral("percentLineEdit%1").arg(k));
}
// Clicks the check box's indicator, where a click always lands on the box.
void toggle(CCostDialog& d, int k) {
    QCheckBox* c = check(d, k);
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(c->height() / 2, c->height() / 2));
}
QPushButton* button(CCostDialog& d, const char* name) {
    return d.findChild<QPushButton*>(QLatin1String(name));
}

// A document with a scripted port, PeG country names and no files.
struct Fixture {
    std::unique_ptr<ScriptedUi> ui = MakeQtScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc doc{*ui, store};
    Fixture() {
        NameTable names(peg::kCountryCount);
        names.setName(0, "None");
        for (int k = 1; k < peg::kCountryCount; ++k)
            names.setName(k, "Country" + std::to_string(k));
        names.setName(1, "Germany");
        names.setName(12, "Espa\xF1"
                          "a");
        names.setName(14, "Rebels & Militia");
        names.setCount(peg::kCountryCount);
        doc.setCountries(Game::Peg, std::move(names));
        doc.setCurrentGame(Game::Peg);
    }
};

} // namespace

class CostDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void rows();
    void okApplies_data();
    void okApplies();
    void refusesNonWholePercent_data();
    void refusesNonWholePercent();
    void cancelChangesNothing();
    void withoutTable();
    void fromTheMenu();
    void screenshot();
};

// "%-2d %s" with the country names, all unchecked at 100, the fixed texts.
void CostDialogTest::rows() {
    Fixture f;
    CCostDialog d(f.doc);
    QCOMPARE(d.windowTitle(), QStringLiteral("Global Modifiers"));
    QCOMPARE(check(d, 1)->text(), QStringLiteral("1  Germany"));
    QCOMPARE(check(d, 9)->text(), QStringLiteral("9  Country9"));
    QCOMPARE(check(d, 12)->text(), QString(QStringLiteral("12 Espa") + QChar(0xF1) + u'a'));
    QCOMPARE(check(d, 20)->text(), QStringLiteral("20 Country20"));
    // A country name is shown as it is: its "&" is neither hidden nor a shortcut.
    QCOMPARE(ShownText(check(d, 14)->text()), QStringLiteral("14 Rebels & Militia"));
    QVERIFY(QKeySequence::mnemonic(check(d, 14)->text()).isEmpty());
    for (int k = 1; k <= kCostDialogRows; ++k) {
        QVERIFY(!check(d, k)->isChecked());
        QCOMPARE(percent(d, k)->text(), QStringLiteral("100"));
    }
    QVERIFY(!check(d, 0) && !check(d, 21));
    QStringList texts;
    for (QLabel* l : d.findChildren<QLabel*>())
        texts << l->text();
    for (const char* t :
         {"Flag all countries you want to change and write the percentge you want the cost to "
          "be modified",
          "set    50 %    for       HALF COST", "set  100 %    for       NO CHANGE",
          "set  200 %    for       DOUBLE COST", "% Unit Cost", "Unit Cost"})
        QVERIFY2(texts.contains(QLatin1String(t)), t);
    // Rows 1..10 stand left of rows 11..20.
    d.show();
    QVERIFY(check(d, 1)->mapTo(&d, QPoint()).x() < check(d, 11)->mapTo(&d, QPoint()).x());
    QCOMPARE(check(d, 10)->mapTo(&d, QPoint()).y(), check(d, 20)->mapTo(&d, QPoint()).y());
}

// Only checked countries change; country 0 never; the result is the low byte.
void CostDialogTest::okApplies_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("percentText");
    QTest::addColumn<int>("cost");
    QTest::addColumn<int>("expected");
    QTest::newRow("45 at 50 % gives 22") << 1 << "50" << 45 << 22;
    QTest::newRow("45 at 150 % gives 67") << 7 << "150" << 45 << 67;
    QTest::newRow("200 at 200 % stores 144") << 20 << "200" << 200 << 144;
    QTest::newRow("0 % gives 0") << 11 << "0" << 99 << 0;
    QTest::newRow("-50 % on 10 stores 251") << 3 << "-50" << 10 << 251;
    QTest::newRow("blanks around the number") << 2 << " 50 " << 45 << 22;
    QTest::newRow("100 % keeps the cost") << 5 << "100" << 45 << 45;
}

void CostDialogTest::okApplies() {
    QFETCH(int, row);
    QFETCH(QString, percentText);
    QFETCH(int, cost);
    QFETCH(int, expected);
    Fixture f;
    const int other = row == 1 ? 2 : 1;
    // The chosen country twice, another country with the same cost, country 0.
    f.doc.loadTable(tableOf({{row, cost}, {other, cost}, {0, cost}, {row, cost}}));
    f.ui->expectInformation("2 Units modified");
    CCostDialog d(f.doc);
    d.show();
    toggle(d, row);
    QVERIFY(check(d, row)->isChecked());
    percent(d, row)->setText(percentText);
    // Another country's percentage has no effect while it is unchecked.
    percent(d, other)->setText(QStringLiteral("300"));
    QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.isVisible());
    QCOMPARE(d.unitsModified(), 2);
    QCOMPARE(costsOf(f.doc), (std::vector<int>{expected, cost, cost, expected}));
    // Counted units mark the data changed, even at 100 %.
    QVERIFY(f.doc.flag(Game::Peg, ChangeKind::Data));
    QVERIFY(!f.doc.flag(Game::Peg, ChangeKind::Names));
}

void CostDialogTest::refusesNonWholePercent_data() {
    QTest::addColumn<QString>("percentText");
    QTest::newRow("fraction") << "12.5";
    QTest::newRow("decimal comma") << "50,0";
    QTest::newRow("letters") << "fifty";
    QTest::newRow("empty") << "";
    QTest::newRow("beyond 32 bits") << "3000000000";
}

// The refusal is said, nothing changes and the dialog stays open; corrected, OK goes through.
void CostDialogTest::refusesNonWholePercent() {
    QFETCH(QString, percentText);
    Fixture f;
    f.doc.loadTable(tableOf({{4, 45}, {6, 45}}));
    CCostDialog d(f.doc);
    d.show();
    toggle(d, 4);
    percent(d, 4)->setText(QStringLiteral("50"));
    // An unchecked row is checked too: a wrong entry anywhere is a mistake to correct.
    percent(d, 6)->setText(percentText);
    f.ui->expectInformation("Please enter a whole number as the percentage of 6 Country6.");
    QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
    QVERIFY(f.ui->finished());
    QVERIFY(d.isVisible());
    QCOMPARE(d.result(), 0);
    QCOMPARE(costsOf(f.doc), (std::vector<int>{45, 45}));
    QVERIFY(!f.doc.isModified());

    percent(d, 6)->setText(QStringLiteral("100"));
    f.ui->expectInformation("1 Units modified");
    QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(costsOf(f.doc), (std::vector<int>{22, 45}));
}

void CostDialogTest::cancelChangesNothing() {
    Fixture f;
    f.doc.loadTable(tableOf({{1, 45}}));
    CCostDialog d(f.doc);
    d.show();
    toggle(d, 1);
    percent(d, 1)->setText(QStringLiteral("fifty")); // not even checked on Cancel
    QTest::mouseClick(button(d, "cancelButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(costsOf(f.doc), (std::vector<int>{45}));
    QCOMPARE(d.unitsModified(), 0);
    QVERIFY(!f.doc.isModified());
}

// No PeG table: "0 Units modified", nothing marked.
void CostDialogTest::withoutTable() {
    Fixture f;
    CCostDialog d(f.doc);
    d.show();
    toggle(d, 1);
    f.ui->expectInformation("0 Units modified");
    QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!f.doc.isModified());
    QVERIFY(!f.doc.peg());
}

// The command opens the dialog over the loaded PeG table; its OK marks the data changed in the
// title. A second opening starts afresh.
void CostDialogTest::fromTheMenu() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws);
    QVERIFY(e.started());
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    e.frame().SwitchView(Game::Peg);
    QAction* action = e.action("costModifierAction");
    QVERIFY(action->isEnabled());
    QVERIFY(!e.doc().isModified());

    int country = 0;
    for (const PegUnit& u : e.doc().peg()->units)
        if (u.record[peg::Country] >= 1 && u.record[peg::Country] <= kCostDialogRows) {
            country = u.record[peg::Country];
            break;
        }
    QVERIFY(country != 0);
    std::vector<int> before = costsOf(e.doc());
    int expectedChanged = 0;
    std::vector<int> expected = before;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (e.doc().peg()->units[i].record[peg::Country] == country) {
            expected[i] = expected[i] * 50 / 100;
            ++expectedChanged;
        }
    e.ui().expectInformation(std::to_string(expectedChanged) + " Units modified");
    bool shown = false;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<CCostDialog*>(w);
        QVERIFY(d);
        shown = true;
        QCOMPARE(check(*d, country)->text().toStdString(),
                 Format("%-2d %s", country, e.doc().countries(Game::Peg).name(country).c_str()));
        toggle(*d, country);
        percent(*d, country)->setText(QStringLiteral("50"));
        QTest::mouseClick(button(*d, "okButton"), Qt::LeftButton);
    });
    action->trigger();
    QVERIFY(shown);
    QCOMPARE(costsOf(e.doc()), expected);
    QVERIFY(e.doc().flag(Game::Peg, ChangeKind::Data));
    QVERIFY(e.frame().windowTitle().contains(QStringLiteral("Modified")));

    // Opened again: unchecked at 100; Cancel leaves the changed costs alone.
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<CCostDialog*>(w);
        QVERIFY(d);
        QVERIFY(!check(*d, country)->isChecked());
        QCOMPARE(percent(*d, country)->text(), QStringLiteral("100"));
        QTest::mouseClick(button(*d, "cancelButton"), Qt::LeftButton);
    });
    action->trigger();
    QCOMPARE(costsOf(e.doc()), expected);
}

// The picture for the documentation (VARNEL_SCREENSHOT_DIR); every row fits inside the dialog.
void CostDialogTest::screenshot() {
    Fixture f;
    // The sample game's own country names, as the editor shows them.
    Workspace ws;
    QVERIFY(ws.ok());
    LoadTFile(f.doc, Game::Peg, ws.path(QStringLiteral("peg/GUI97.txt")));
    QVERIFY(f.doc.countries(Game::Peg).name(1) != "Germany");
    CCostDialog d(f.doc);
    d.show();
    d.adjustSize();
    for (int k = 1; k <= kCostDialogRows; ++k) {
        QCheckBox* c = check(d, k);
        QVERIFY(c->fontMetrics().horizontalAdvance(c->text()) < c->width());
        QVERIFY(
            d.rect().contains(QRect(percent(d, k)->mapTo(&d, QPoint()), percent(d, k)->size())));
    }
    const QImage image = d.grab().toImage();
    const QString dir = QString::fromLocal8Bit(qgetenv("VARNEL_SCREENSHOT_DIR"));
    if (!dir.isEmpty()) {
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(image.save(QDir(dir).filePath(QStringLiteral("cost-dialog.png"))));
    }
}

QTEST_MAIN(CostDialogTest)
#include "costdialog_test.moc"
