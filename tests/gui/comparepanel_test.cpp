// The compare and check panels as a user meets them: the File and Tools menu entries, a click on
// a line showing its unit in the form, "Take Their Value" and "Take All" as one undo step each.

#include "app/ui/mainframe.h"
#include "equip/efile.h"
#include "reports/ui/checkpanel.h"
#include "reports/ui/comparepanel.h"
#include "tests/gui/support/guisupport.h"
#include "tests/gui/views_fixture.h"
#include "tests/support/testsupport.h"
#include "views/unittablemodel.h"
#include "views/unittableview.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;

namespace {

constexpr int kTiger = 3; // "Tiger I" in the sample PG2 table

void clickLine(QTableView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// The row whose field column reads `field`, or -1.
int rowOf(QTableView* view, const QString& field) {
    for (int r = 0; r < view->model()->rowCount(); ++r)
        if (view->model()->index(r, 3).data().toString() == field)
            return r;
    return -1;
}

} // namespace

class ComparePanelTest : public QObject {
    Q_OBJECT

  private slots:
    void takeTheirValueAndUndo();
    void checkPanelShowsTheUnit();
};

void ComparePanelTest::takeTheirValueAndUndo() {
    Workspace ws;
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    // The other file: the same units, one cost and one name changed, one unit more.
    Pg2UnitTable other = *e.doc().pg2();
    const int cost = other.units[kTiger].record[pg2::Cost];
    other.units[kTiger].record[pg2::Cost] = static_cast<std::uint8_t>(cost + 1);
    other.setName(5, "Renamed");
    other.units.push_back(other.units[0]);
    other.setName(other.count() - 1, "Extra");
    QVERIFY(QDir(ws.dir()).mkpath(QStringLiteral("other")));
    const std::string path = ws.path(QStringLiteral("other/OTHER.EQP"));
    test::WriteFile(path, WritePg2EFile(other));
    test::WriteFile(ws.path(QStringLiteral("other/OTHER.txt")), WriteNamesFile(other));
    const Pg2UnitTable loaded = *e.doc().pg2();

    QAction* compare = e.action("compareAction");
    QVERIFY(compare && compare->isEnabled());
    e.ui().expectFileDialog("Compare with E-File", path);
    compare->trigger();
    auto* dock = e.frame().findChild<CComparePanel*>(QStringLiteral("compareDock"));
    QVERIFY(dock && dock->isVisible());
    auto* view = dock->findChild<QTableView*>(QStringLiteral("compareTableView"));
    QCOMPARE(view->model()->rowCount(), 3);
    const int costRow = rowOf(view, QStringLiteral("Cost"));
    QVERIFY(costRow >= 0);
    QCOMPARE(view->model()->index(costRow, 4).data().toString(), QString::number(cost * 12));
    QCOMPARE(view->model()->index(costRow, 5).data().toString(), QString::number((cost + 1) * 12));

    // A click shows the unit in the form.
    QWidget* form = e.frame().view(Game::Pg2);
    viewstest::clickRow(form, 0);
    clickLine(view, costRow);
    QCOMPARE(e.doc().view(Game::Pg2).currentUnit, kTiger);
    auto* costEdit = form->findChild<QLineEdit*>(QStringLiteral("costLineEdit"));
    QCOMPARE(costEdit->text(), QString::number(cost * 12));
    // With the units table shown a click keeps the table, its current row the line's unit, also
    // when the table's filter had left that unit out.
    e.action("unitsTableAction")->trigger();
    auto* table = qobject_cast<CUnitTableView*>(e.frame().table(Game::Pg2));
    QVERIFY(table);
    table->findChild<QLineEdit*>(QStringLiteral("tableFindLineEdit"))
        ->setText(QStringLiteral("no such unit"));
    QCOMPARE(table->model().rowCount(), 0);
    clickLine(view, costRow);
    QVERIFY(e.frame().tableShown());
    QCOMPARE(table->model().unitAt(table->tableView()->currentIndex().row()), kTiger);
    QCOMPARE(e.doc().view(Game::Pg2).currentUnit, kTiger);
    e.action("unitsTableAction")->trigger();

    auto* takeValue = dock->findChild<QPushButton*>(QStringLiteral("takeTheirValueButton"));
    auto* takeAll = dock->findChild<QPushButton*>(QStringLiteral("takeAllButton"));
    QVERIFY(takeValue->isEnabled());
    QTest::mouseClick(takeValue, Qt::LeftButton);
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::Cost]), cost + 1);
    QCOMPARE(costEdit->text(), QString::number((cost + 1) * 12));
    QCOMPARE(e.doc().history(Game::Pg2).count(), std::size_t{1});
    QCOMPARE(view->model()->rowCount(), 2);
    QVERIFY(e.frame().windowTitle().contains(QStringLiteral("<Modified: PG2>")));

    // Ctrl+Z takes it back, and the line is listed again.
    QTest::keyClick(&e.frame(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::Cost]), cost);
    QCOMPARE(view->model()->rowCount(), 3);
    QVERIFY(!e.frame().windowTitle().contains(QStringLiteral("<Modified")));

    // Take All: the table is the other file's, in one step that undoes whole.
    QTest::mouseClick(takeAll, Qt::LeftButton);
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(!takeAll->isEnabled());
    QCOMPARE(e.doc().pg2()->count(), other.count());
    QCOMPARE(QString::fromStdString(std::string(e.doc().pg2()->name(5))),
             QStringLiteral("Renamed"));
    QCOMPARE(e.doc().history(Game::Pg2).count(), std::size_t{1});
    e.action("undoAction")->trigger();
    QVERIFY(ComparePg2Tables(*e.doc().pg2(), loaded).equal());
    QCOMPARE(view->model()->rowCount(), 3);

    if (!qEnvironmentVariableIsEmpty("VARNEL_GRAB"))
        e.frame().grab().save(qEnvironmentVariable("VARNEL_GRAB") + QStringLiteral("/compare.png"));
}

void ComparePanelTest::checkPanelShowsTheUnit() {
    Workspace ws;
    ws.presetSetting(QStringLiteral("PG2 WAV"), ws.file(QStringLiteral("pg2/WAVS/")));
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    QAction* check = e.action("checkAction");
    QVERIFY(check && check->isEnabled());
    check->trigger();
    auto* dock = e.frame().findChild<CCheckPanel*>(QStringLiteral("checkDock"));
    QVERIFY(dock && dock->isVisible());
    auto* view = dock->findChild<QTableView*>(QStringLiteral("findingsTableView"));
    const int before = view->model()->rowCount();
    const CheckResult& first = dock->result();
    QVERIFY2(first.skipped.empty(), first.skipped.empty() ? "" : first.skipped[0].c_str());

    // A unit whose icon the archive does not hold: one error more, about that unit.
    QVERIFY(e.doc().setField(Game::Pg2, 7, *FindField(Game::Pg2, "icon"), "NOSUCH").ok);
    QTest::mouseClick(dock->findChild<QPushButton*>(QStringLiteral("checkAgainButton")),
                      Qt::LeftButton);
    QCOMPARE(view->model()->rowCount(), before + 1);
    int row = -1;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        if (view->model()->index(r, 4).data().toString().contains(QStringLiteral("NOSUCH")))
            row = r;
    QVERIFY(row >= 0);
    QCOMPARE(view->model()->index(row, 0).data().toString(), QStringLiteral("error"));
    viewstest::clickRow(e.frame().view(Game::Pg2), 0);
    clickLine(view, row);
    QCOMPARE(e.doc().view(Game::Pg2).currentUnit, 7);

    if (!qEnvironmentVariableIsEmpty("VARNEL_GRAB"))
        e.frame().grab().save(qEnvironmentVariable("VARNEL_GRAB") + QStringLiteral("/check.png"));
}

QTEST_MAIN(ComparePanelTest)
#include "comparepanel_test.moc"
