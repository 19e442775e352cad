// The units table as a user meets it: switching to it, sorting by a header, the shared filter,
// editing cells of each kind, a refused value, a pasted block, "Set Value" and "Scale by %"
// with their undo, and the form and the table agreeing.

#include "app/efileio.h"
#include "app/fieldedit.h"
#include "app/ui/mainframe.h"
#include "equip/fieldtable.h"
#include "tests/gui/support/guisupport.h"
#include "tests/gui/views_fixture.h"
#include "views/unittablemodel.h"
#include "views/unittableview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTableView>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;
using varnel::viewstest::clickRow;

namespace {

constexpr int kTiger = 3; // "Tiger I" in the sample PG2 table

struct TableEditor {
    explicit TableEditor(Game game = Game::Pg2)
        : e(ws, Forms::Real,
            ws.path(game == Game::Pg2 ? QStringLiteral("pg2/EQUIP97.EQP")
                                      : QStringLiteral("pg2/EQUIP97.EQP"))) {
        if (game == Game::Peg) {
            e.frame().SwitchView(Game::Peg);
            LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP")).c_str());
        }
        e.action("unitsTableAction")->trigger();
        table = qobject_cast<CUnitTableView*>(e.frame().table(game));
    }
    QModelIndex cell(int unit, const char* field) {
        UnitTableModel& m = table->model();
        return m.index(m.rowOf(unit), m.columnOf(*FindField(table->game(), field)));
    }
    QString shown(int unit, const char* field) { return cell(unit, field).data().toString(); }
    std::uint8_t byte(int unit, int offset) {
        return e.doc().pg2()->units[static_cast<std::size_t>(unit)].record[offset];
    }
    QTableView* view() { return table->tableView(); }
    // Types into the cell's editor and commits with Enter, as a user does.
    void type(const QModelIndex& index, const QString& text) {
        view()->setCurrentIndex(index);
        view()->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    Workspace ws;
    Editor e;
    CUnitTableView* table = nullptr;
};

} // namespace

class UnitsTableTest : public QObject {
    Q_OBJECT

  private slots:
    void switchesAndCountsRows();
    void sortAndFilterWithFind();
    void editCellsOfEachKind();
    void refusedValue();
    void pasteBlockWithBadCell();
    void setValueAndScaleUndo();
    void formAndTableAgree();
    void columnsKeptPerGame();
};

void UnitsTableTest::switchesAndCountsRows() {
    TableEditor t;
    QVERIFY(t.table);
    QVERIFY(t.e.frame().tableShown());
    QVERIFY(t.table->isVisible());
    const int count = static_cast<int>(t.e.doc().unitCount(Game::Pg2));
    QCOMPARE(t.table->model().rowCount(), count);
    // Every catalogue row is a column; code and name stay in the fixed view.
    QCOMPARE(t.table->model().columnCount(), int(FieldTable(Game::Pg2).size()));
    QVERIFY(!t.table->fixedView()->isColumnHidden(0));
    QVERIFY(t.table->tableView()->isColumnHidden(0));
    QVERIFY(t.table->fixedView()->isColumnHidden(5));
    QCOMPARE(t.e.frame().findChild<QLabel*>(QStringLiteral("unitsPane"))->text(),
             QStringLiteral(" %1 / %1 Units").arg(count));
    // Costs and years as the form shows them; read-only rows are not editable.
    QCOMPARE(t.shown(kTiger, "cost"), QString::number(t.byte(kTiger, pg2::Cost) * 12));
    const QModelIndex code = t.table->model().index(0, 0);
    QVERIFY(!(t.table->model().flags(code) & Qt::ItemIsEditable));
    QVERIFY(t.table->model()
                .headerData(3, Qt::Horizontal, Qt::ToolTipRole)
                .toString()
                .contains(QStringLiteral("Report column")));
    // Ctrl+T goes back to the form, whose size is fixed; the table comes back at the size the
    // user gave it.
    t.e.frame().resize(700, 450);
    QTest::keyClick(&t.e.frame(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!t.e.frame().tableShown());
    QVERIFY(t.e.frame().view(Game::Pg2)->isVisible());
    QCOMPARE(t.e.frame().minimumSize(), t.e.frame().maximumSize());
    QTest::keyClick(&t.e.frame(), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(t.e.frame().size(), QSize(700, 450));
}

void UnitsTableTest::sortAndFilterWithFind() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    const int costColumn = m.columnOf(*FindField(Game::Pg2, "cost"));
    QHeaderView* header = t.view()->horizontalHeader();
    auto clickHeader = [&] {
        t.view()->scrollTo(m.index(0, costColumn));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(costColumn) + 5, 5));
    };
    auto costs = [&] {
        std::vector<int> values;
        for (int row = 0; row < m.rowCount(); ++row)
            values.push_back(t.byte(m.unitAt(row), pg2::Cost));
        return values;
    };
    clickHeader();
    std::vector<int> up = costs();
    QVERIFY(std::is_sorted(up.begin(), up.end()));
    clickHeader();
    std::vector<int> down = costs();
    QVERIFY(std::is_sorted(down.rbegin(), down.rend()));
    QVERIFY(up != down);

    // Country filter and find together, the same filter the form's list then shows.
    auto* country = t.table->findChild<QComboBox*>(QStringLiteral("tableCountryFilterComboBox"));
    auto* find = t.table->findChild<QLineEdit*>(QStringLiteral("tableFindLineEdit"));
    const int germany = t.e.doc().unitCountry(Game::Pg2, kTiger);
    country->setCurrentIndex(germany);
    emit country->activated(germany);
    QTest::keyClicks(find, QStringLiteral("TIG"));
    UnitFilter expected;
    expected.country = germany;
    expected.find = "TIG";
    std::vector<int> units = t.e.doc().filterUnits(Game::Pg2, expected);
    QVERIFY(!units.empty());
    QCOMPARE(m.rowCount(), int(units.size()));
    for (int row = 0; row < m.rowCount(); ++row) {
        QVERIFY(std::count(units.begin(), units.end(), m.unitAt(row)) == 1);
        QCOMPARE(t.e.doc().unitCountry(Game::Pg2, static_cast<std::size_t>(m.unitAt(row))),
                 germany);
    }
    const int count = static_cast<int>(t.e.doc().unitCount(Game::Pg2));
    QCOMPARE(t.e.frame().findChild<QLabel*>(QStringLiteral("unitsPane"))->text(),
             QStringLiteral(" %1 / %2 Units").arg(units.size()).arg(count));
    t.e.action("unitsTableAction")->trigger();
    QWidget* form = t.e.frame().view(Game::Pg2);
    QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("findLineEdit"))->text(),
             QStringLiteral("TIG"));
    QCOMPARE(viewstest::unitList(form)->model()->rowCount(), int(units.size()));
}

void UnitsTableTest::editCellsOfEachKind() {
    TableEditor t;
    // A number.
    t.type(t.cell(kTiger, "airAtk"), QStringLiteral("77"));
    QCOMPARE(int(t.byte(kTiger, pg2::AirAtk)), 77);
    // A cost, typed as shown: 120 stores 10.
    t.type(t.cell(kTiger, "cost"), QStringLiteral("120"));
    QCOMPARE(int(t.byte(kTiger, pg2::Cost)), 10);
    // A name.
    t.type(t.cell(kTiger, "denomination"), QStringLiteral("Tiger E"));
    QCOMPARE(*t.e.doc().unitName(Game::Pg2, kTiger), std::string_view("Tiger E"));
    // A drop-down, with its items.
    const QModelIndex target = t.cell(kTiger, "target");
    t.view()->setCurrentIndex(target);
    t.view()->edit(target);
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY(combo);
    QCOMPARE(combo->itemText(1),
             QString::fromLatin1(FieldItemText(*FindField(Game::Pg2, "target"), 1)));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QApplication::processEvents();
    QCOMPARE(int(t.byte(kTiger, pg2::Target)), 1);
    // A check box, toggled with Space.
    const QModelIndex bridge = t.cell(kTiger, "bridge");
    const bool before = bridge.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    t.view()->setCurrentIndex(bridge);
    QTest::keyClick(t.view(), Qt::Key_Space);
    QCOMPARE(t.e.doc().pg2()->units[kTiger].special1[3] != 0, !before);
    QCOMPARE(t.e.doc().history(Game::Pg2).count(), std::size_t{5});
}

void UnitsTableTest::refusedValue() {
    TableEditor t;
    const std::uint8_t before = t.byte(kTiger, pg2::AirAtk);
    t.e.ui().expectInformation("Please enter an integer between 0 and 255.");
    t.type(t.cell(kTiger, "airAtk"), QStringLiteral("300"));
    QTRY_VERIFY(t.e.ui().finished());
    QCOMPARE(t.byte(kTiger, pg2::AirAtk), before);
    QCOMPARE(t.shown(kTiger, "airAtk"), QString::number(before));
    QCOMPARE(t.e.doc().history(Game::Pg2).count(), std::size_t{0});
}

void UnitsTableTest::pasteBlockWithBadCell() {
    TableEditor t;
    const std::vector<Pg2Unit> before = t.e.doc().pg2()->units;
    t.view()->setCurrentIndex(t.cell(1, "airAtk"));
    QApplication::clipboard()->setText(
        QStringLiteral("1\t2\t3\t4\r\n5\tx\t7\t8\r\n9\t10\t11\t12\r\n"));
    const std::string unit = std::string(*t.e.doc().unitName(Game::Pg2, 2));
    // Which column holds the bad cell: the second shown after air attack.
    UnitTableModel& m = t.table->model();
    int column = m.columnOf(*FindField(Game::Pg2, "airAtk")) + 1;
    while (t.view()->isColumnHidden(column))
        ++column;
    t.e.ui().expectInformation("Unit 2 " + unit + ", column " + FieldLabel(m.field(column)) +
                               ":\nPlease enter an integer.");
    t.e.frame().activateWindow();
    t.view()->setFocus();
    QTest::keyClick(t.view(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(t.e.ui().finished());
    for (std::size_t i = 0; i < before.size(); ++i)
        QVERIFY(t.e.doc().pg2()->units[i].record.bytes == before[i].record.bytes);
    QCOMPARE(t.e.doc().history(Game::Pg2).count(), std::size_t{0});

    QApplication::clipboard()->setText(QStringLiteral("1\t2\n3\t4\n5\t6\n"));
    QTest::keyClick(t.view(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(int(t.byte(3, pg2::AirAtk)), 5);
    QCOMPARE(t.e.doc().history(Game::Pg2).count(), std::size_t{1});
    // Copy gives the block back as tab-separated text.
    QItemSelection block(t.cell(1, "airAtk"), m.index(m.rowOf(3), column));
    t.view()->selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(t.view(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t2\r\n3\t4\r\n5\t6\r\n"));
}

void UnitsTableTest::setValueAndScaleUndo() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    const QModelIndex first = t.cell(1, "cost");
    const QModelIndex last = t.cell(3, "cost");
    std::vector<int> costs;
    for (int u = 1; u <= 3; ++u)
        costs.push_back(t.byte(u, pg2::Cost));
    t.view()->selectionModel()->select(QItemSelection(first, last),
                                       QItemSelectionModel::ClearAndSelect);
    QCOMPARE(first.column(), last.column());
    QCOMPARE(m.rowOf(3) - m.rowOf(1), 2);
    t.e.ui().expectText("Value for 3 cells:", "240");
    t.table->findChild<QAction*>(QStringLiteral("setValueAction"))->trigger();
    for (int u = 1; u <= 3; ++u)
        QCOMPARE(int(t.byte(u, pg2::Cost)), 20);
    t.e.ui().expectText("Percentage for 3 cells:", "150%");
    t.table->findChild<QAction*>(QStringLiteral("scaleAction"))->trigger();
    for (int u = 1; u <= 3; ++u)
        QCOMPARE(int(t.byte(u, pg2::Cost)), 30);
    QCOMPARE(t.shown(2, "cost"), QStringLiteral("360"));
    // Nonsense as a percentage changes nothing.
    t.e.ui().expectText("Percentage for 3 cells:", "lots");
    t.e.ui().expectInformation("Please enter an integer.");
    t.table->findChild<QAction*>(QStringLiteral("scaleAction"))->trigger();
    QCOMPARE(t.e.action("undoAction")->text(), QStringLiteral("&Undo Scale by 150% (3 cells)"));
    t.e.action("undoAction")->trigger();
    t.e.action("undoAction")->trigger();
    for (int u = 1; u <= 3; ++u)
        QCOMPARE(int(t.byte(u, pg2::Cost)), costs[static_cast<std::size_t>(u - 1)]);
    QVERIFY(!t.e.doc().isModified());

    // Ctrl+Space takes the whole column, Shift+Space the whole row.
    QItemSelectionModel* selection = t.view()->selectionModel();
    selection->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(t.view(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(selection->selectedIndexes().size(), m.rowCount());
    selection->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(t.view(), Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(selection->selectedIndexes().size(), m.columnCount());
}

void UnitsTableTest::formAndTableAgree() {
    TableEditor t;
    t.e.action("unitsTableAction")->trigger();
    QWidget* form = t.e.frame().view(Game::Pg2);
    clickRow(form, kTiger);
    // The form's unit is the table's current row.
    t.e.action("unitsTableAction")->trigger();
    QCOMPARE(t.table->model().unitAt(t.view()->currentIndex().row()), kTiger);
    // An edit in the table shows in the form.
    t.type(t.cell(kTiger, "airAtk"), QStringLiteral("55"));
    // A double click on a code opens its unit in the form.
    const QModelIndex code = t.table->model().index(t.table->model().rowOf(5), 0);
    QTableView* fixed = t.table->fixedView();
    fixed->scrollTo(code);
    const QPoint at = fixed->visualRect(code).center();
    QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(fixed->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!t.e.frame().tableShown());
    QCOMPARE(t.e.doc().view(Game::Pg2).currentUnit, 5);
    clickRow(form, kTiger);
    QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("airAtkLineEdit"))->text(),
             QStringLiteral("55"));
    // An edit in the form shows in the table.
    viewstest::typeInto(form->findChild<QLineEdit*>(QStringLiteral("airAtkLineEdit")),
                        QStringLiteral("66"), true, nullptr);
    t.e.action("unitsTableAction")->trigger();
    QCOMPARE(t.shown(kTiger, "airAtk"), QStringLiteral("66"));
    QCOMPARE(t.table->model().unitAt(t.view()->currentIndex().row()), kTiger);
}

void UnitsTableTest::columnsKeptPerGame() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    const int air = m.columnOf(*FindField(Game::Pg2, "airAtk"));
    t.table->setColumnShown(air, false);
    t.view()->setColumnWidth(air + 1, 123);
    t.e.action("unitsTableAction")->trigger(); // hiding the table keeps the widths
    const std::string hidden = t.e.doc().store.read("UnitsTableHiddenPG2").value_or("");
    QCOMPARE(QString::fromStdString(hidden), QStringLiteral("airAtk"));
    CUnitTableView again(t.e.doc(), Game::Pg2);
    QVERIFY(!again.isColumnShown(air));
    QCOMPARE(again.tableView()->columnWidth(air + 1), 123);
    CUnitTableView peg(t.e.doc(), Game::Peg);
    QVERIFY(peg.isColumnShown(peg.model().columnOf(*FindField(Game::Peg, "airAtk"))));
}

QTEST_MAIN(UnitsTableTest)
#include "unitstable_test.moc"
