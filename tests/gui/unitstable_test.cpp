// The units table as a user meets it: switching to it, sorting by a header, the shared filter,
// editing cells of each kind, a refused value, a pasted block, "Set Value" and "Scale by %"
// with their undo, and the form and the table agreeing.

#include "app/efileio.h"
#include "app/table/tablecells.h"
#include "app/ui/mainframe.h"
#include "equip/fieldtable.h"
#include "tests/gui/support/guisupport.h"
#include "tests/gui/views_fixture.h"
#include "views/columnsdialog.h"
#include "views/unittablemodel.h"
#include "views/unittableview.h"
#include "views/viewtext.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

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
    void whereAndAddUndo();
    void formAndTableAgree();
    void columnsKeptPerGame();
    void unnamedBytesHiddenAtFirst();
    void columnsDialog_data();
    void columnsDialog();
    void columnOrderKeptAndFollowed();
    void columnOrderFromDamagedSettings_data();
    void columnOrderFromDamagedSettings();
    void rowsAgreeAfterRandomMoves();
    void smallerWindowKeepsCurrentRow();
    void findGoesToTheFirstMatch();
    void emptyListShowsNoUnit_data();
    void emptyListShowsNoUnit();
    void keysOpenTheCellsMenu_data();
    void keysOpenTheCellsMenu();
    void mnemonicsDoNotClash();
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
    // Ctrl+T goes back to the form, in a window within the screen; the table comes back at the
    // size the user gave it.
    t.e.frame().resize(700, 450);
    QTest::keyClick(&t.e.frame(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(!t.e.frame().tableShown());
    QVERIFY(t.e.frame().view(Game::Pg2)->isVisible());
    QVERIFY(t.e.frame().screen()->availableGeometry().contains(t.e.frame().frameGeometry()));
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
    QCOMPARE((t.e.doc().pg2()->units[kTiger].record[pg2::Special1] & 8) != 0, !before);
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
    t.e.ui().expectInformation("Unit 2 " + unit + ", column " + std::string(m.field(column).label) +
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
    QCOMPARE(t.e.frame().statusBar()->currentMessage(), QStringLiteral("6 cells pasted"));
    // Copy gives the block back as tab-separated text.
    QItemSelection block(t.cell(1, "airAtk"), m.index(m.rowOf(3), column));
    t.view()->selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(t.view(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t2\r\n3\t4\r\n5\t6\r\n"));
    QCOMPARE(t.e.frame().statusBar()->currentMessage(), QStringLiteral("6 cells copied"));
    // Two cells apart: the rows and columns between them that hold none are left out, the cells
    // of the block outside the selection are empty.
    t.view()->selectionModel()->select(t.cell(1, "airAtk"), QItemSelectionModel::ClearAndSelect);
    t.view()->selectionModel()->select(m.index(m.rowOf(3), column), QItemSelectionModel::Select);
    QTest::keyClick(t.view(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1\t\r\n\t6\r\n"));
    QCOMPARE(t.e.frame().statusBar()->currentMessage(), QStringLiteral("2 cells copied"));
}

void UnitsTableTest::whereAndAddUndo() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    auto* where = t.table->findChild<QComboBox*>(QStringLiteral("tableWhereComboBox"));
    auto* error = t.table->findChild<QLabel*>(QStringLiteral("tableWhereErrorLabel"));
    QVERIFY(where && error);
    where->lineEdit()->setFocus();
    QTest::keyClicks(where->lineEdit(), QStringLiteral("Cost >= 600"));
    QVERIFY(m.rowCount() > 0);
    QVERIFY(static_cast<std::size_t>(m.rowCount()) < t.e.doc().unitCount(Game::Pg2));
    for (int row = 0; row < m.rowCount(); ++row)
        QVERIFY(t.byte(m.unitAt(row), pg2::Cost) * 12 >= 600);
    const int listed = m.rowCount();
    QVERIFY(error->isHidden());
    // A condition cut short is marked with its place; the rows keep the last good condition.
    QTest::keyClicks(where->lineEdit(), QStringLiteral(" and"));
    QVERIFY(!error->isHidden());
    QVERIFY(error->text().startsWith(QStringLiteral("At ")));
    QCOMPARE(m.rowCount(), listed);
    QTest::keyClick(where->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(where->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(where->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(where->lineEdit(), Qt::Key_Backspace);
    QVERIFY(error->isHidden());
    // Enter keeps it in the game's history.
    QTest::keyClick(where->lineEdit(), Qt::Key_Return);
    QCOMPARE(where->count(), 1);
    QCOMPARE(where->itemText(0), QStringLiteral("Cost >= 600"));

    // "Add..." over the first two listed costs: one step, a cost on its steps of 12.
    const int a = m.unitAt(0);
    const int b = m.unitAt(1);
    const std::uint8_t costA = t.byte(a, pg2::Cost);
    const std::uint8_t costB = t.byte(b, pg2::Cost);
    QVERIFY(costA < 250 && costB < 250);
    t.view()->selectionModel()->select(QItemSelection(t.cell(a, "cost"), t.cell(b, "cost")),
                                       QItemSelectionModel::ClearAndSelect);
    QVERIFY(t.cell(a, "cost").data(Qt::BackgroundRole).value<QBrush>().color() !=
            viewtext::changedTint());
    t.e.ui().expectText("Amount to add to 2 cells of Cost:\nA negative amount subtracts; costs "
                        "go to the nearest value they can hold",
                        "+13");
    t.table->findChild<QAction*>(QStringLiteral("addAction"))->trigger();
    QCOMPARE(int(t.byte(a, pg2::Cost)), costA + 1);
    QCOMPARE(int(t.byte(b, pg2::Cost)), costB + 1);
    QVERIFY(t.e.frame().statusBar()->currentMessage().contains(QStringLiteral("2 values rounded")));
    QCOMPARE(t.cell(a, "cost").data(Qt::BackgroundRole).value<QBrush>().color(),
             viewtext::changedTint());
    QVERIFY(t.e.action("undoAction")->text().startsWith(QStringLiteral("&Undo Add +13")));
    t.e.action("undoAction")->trigger();
    QCOMPARE(t.byte(a, pg2::Cost), costA);
    QCOMPARE(t.byte(b, pg2::Cost), costB);
    QVERIFY(t.cell(a, "cost").data(Qt::BackgroundRole).value<QBrush>().color() !=
            viewtext::changedTint());
    QVERIFY(!t.e.doc().isModified());
    // The condition is the shared filter's: the form's list shows the same units.
    QCOMPARE(t.e.doc().view(Game::Pg2).filter.where, std::string("Cost >= 600"));
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
    t.e.ui().expectText("Value for 3 cells of Cost:", "240");
    t.table->findChild<QAction*>(QStringLiteral("setValueAction"))->trigger();
    for (int u = 1; u <= 3; ++u)
        QCOMPARE(int(t.byte(u, pg2::Cost)), 20);
    const std::string percentage =
        "Percentage for 3 cells of Cost:\n100 % leaves the values unchanged";
    t.e.ui().expectText(percentage, "150%");
    t.table->findChild<QAction*>(QStringLiteral("scaleAction"))->trigger();
    for (int u = 1; u <= 3; ++u)
        QCOMPARE(int(t.byte(u, pg2::Cost)), 30);
    QCOMPARE(t.shown(2, "cost"), QStringLiteral("360"));
    // Nonsense as a percentage changes nothing.
    t.e.ui().expectText(percentage, "lots");
    t.e.ui().expectInformation("Please enter an integer.");
    t.table->findChild<QAction*>(QStringLiteral("scaleAction"))->trigger();
    QCOMPARE(t.e.action("undoAction")->text(), QStringLiteral("&Undo Scale by 150% (3 cells)"));
    t.e.action("undoAction")->trigger();
    t.e.action("undoAction")->trigger();
    for (int u = 1; u <= 3; ++u)
        QCOMPARE(int(t.byte(u, pg2::Cost)), costs[static_cast<std::size_t>(u - 1)]);
    QVERIFY(!t.e.doc().isModified());

    // One cell of a drop-down column: its items are offered, the one chosen is stored, and the
    // texts count one cell.
    const FieldDef& target = *FindField(Game::Pg2, "target");
    const std::vector<std::string> items = ListItems(t.e.doc(), Game::Pg2, target);
    QVERIFY(items.size() > 2);
    t.view()->selectionModel()->setCurrentIndex(t.cell(2, "target"),
                                                QItemSelectionModel::ClearAndSelect);
    const int chosen = t.byte(2, pg2::Target) == 2 ? 1 : 2;
    t.e.ui().expectText("Value for 1 cell of " + std::string(target.label) + ":",
                        items[static_cast<std::size_t>(chosen)]);
    t.table->findChild<QAction*>(QStringLiteral("setValueAction"))->trigger();
    QVERIFY(t.e.ui().finished());
    QVERIFY(t.e.ui().textItems().back() == items);
    QCOMPARE(int(t.byte(2, pg2::Target)), chosen);
    QCOMPARE(t.e.action("undoAction")->text(), QStringLiteral("&Undo Set Value (1 cell)"));
    t.e.action("undoAction")->trigger();

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

// The bytes the form does not name are hidden at first and come back together; the choice is
// kept per game and never mistaken for columns the user hid.
void UnitsTableTest::unnamedBytesHiddenAtFirst() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    std::vector<int> unnamed;
    for (int column = 0; column < m.columnCount(); ++column)
        if (m.field(column).fullOnly)
            unnamed.push_back(column);
    QVERIFY(unnamed.size() > 10);
    const int air = m.columnOf(*FindField(Game::Pg2, "airAtk"));
    QVERIFY(!m.field(air).fullOnly);
    for (int column : unnamed)
        QVERIFY(!t.table->isColumnShown(column));
    QVERIFY(t.table->isColumnShown(air));
    t.table->setColumnShown(air, false);
    t.table->setUnnamedShown(true);
    for (int column : unnamed)
        QVERIFY(t.table->isColumnShown(column));
    QVERIFY(!t.table->isColumnShown(air));
    CUnitTableView again(t.e.doc(), Game::Pg2);
    QVERIFY(again.unnamedShown());
    QVERIFY(again.isColumnShown(unnamed.front()));
    QVERIFY(!again.isColumnShown(air));
    CUnitTableView peg(t.e.doc(), Game::Peg);
    QVERIFY(!peg.unnamedShown());
    t.table->setUnnamedShown(false);
    QCOMPARE(QString::fromStdString(t.e.doc().store.read("UnitsTableHiddenPG2").value_or("")),
             QStringLiteral("airAtk"));
    for (int column : unnamed)
        QVERIFY(!t.table->isColumnShown(column));
}

// Each way through the "Columns" dialog, opened from the cells' menu: which columns it leaves
// shown, and that Cancel leaves them as they were.
void UnitsTableTest::columnsDialog_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("shown");  // fields that must show
    QTest::addColumn<QString>("hidden"); // fields that must not
    QTest::addColumn<bool>("unnamed");   // the unnamed bytes show
    QTest::newRow("All") << QStringLiteral("allButton") << true
                         << QStringLiteral("code denomination cost icon special1 byteB21")
                         << QString() << true;
    QTest::newRow("Form fields") << QStringLiteral("formFieldsButton") << true
                                 << QStringLiteral("code denomination cost engineer")
                                 << QStringLiteral("special1 countryMask0 byteB21") << false;
    QTest::newRow("Combat values")
        << QStringLiteral("combatValuesButton") << true
        << QStringLiteral("code denomination airAtk softAtk initiativa gunRange")
        << QStringLiteral("cost fuel country icon engineer special1") << false;
    QTest::newRow("Cancel") << QStringLiteral("combatValuesButton") << false
                            << QStringLiteral("code denomination cost fuel special1")
                            << QStringLiteral("byteB21") << false;
}

void UnitsTableTest::columnsDialog() {
    QFETCH(QString, button);
    QFETCH(bool, ok);
    QFETCH(QString, shown);
    QFETCH(QString, hidden);
    QFETCH(bool, unnamed);
    TableEditor t;
    UnitTableModel& m = t.table->model();
    bool seen = false;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<CColumnsDialog*>(w);
        QVERIFY(dialog);
        seen = true;
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("columnsListWidget"));
        QCOMPARE(list->count(), m.columnCount());
        // The code names the row: its box cannot be cleared.
        QVERIFY(!(list->item(0)->flags() & Qt::ItemIsUserCheckable));
        dialog->findChild<QPushButton*>(button)->click();
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        auto* box = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    t.table->findChild<QAction*>(QStringLiteral("columnsAction"))->trigger();
    QVERIFY(seen);
    for (const QString& name : shown.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        QVERIFY2(t.table->isColumnShown(m.columnOf(*FindField(Game::Pg2, name.toStdString()))),
                 qPrintable(name));
    for (const QString& name : hidden.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        QVERIFY2(!t.table->isColumnShown(m.columnOf(*FindField(Game::Pg2, name.toStdString()))),
                 qPrintable(name));
    QCOMPARE(t.table->unnamedShown(), unnamed);
    // The choice outlives the view.
    CUnitTableView again(t.e.doc(), Game::Pg2);
    for (int column = 0; column < m.columnCount(); ++column)
        QCOMPARE(again.isColumnShown(column), t.table->isColumnShown(column));
}

namespace {

// The fields of the visible cells of `row`, left to right, read from the clipboard after a copy.
QStringList copiedRow(TableEditor& t, int row) {
    UnitTableModel& m = t.table->model();
    t.view()->selectionModel()->select(
        QItemSelection(m.index(row, 0), m.index(row, m.columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
    t.table->CopySelection();
    return QApplication::clipboard()->text().trimmed().split(QLatin1Char('\t'));
}

} // namespace

// A column dragged elsewhere stays there in a new view, and copy, paste and the dialog follow the
// order shown rather than the form's.
void UnitsTableTest::columnOrderKeptAndFollowed() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    QHeaderView* header = t.view()->horizontalHeader();
    QVERIFY(header->sectionsMovable());
    const int cost = m.columnOf(*FindField(Game::Pg2, "cost"));
    const int country = m.columnOf(*FindField(Game::Pg2, "country"));
    // Cost dragged to the front of the scrolling part, as a user drags a header.
    header->moveSection(header->visualIndex(cost), header->visualIndex(country));
    QCOMPARE(QString::fromStdString(t.e.doc().store.read("UnitsTableOrderPG2").value_or(""))
                 .section(QLatin1Char(','), 0, 0),
             QStringLiteral("cost"));
    const int row = m.rowOf(kTiger);
    const QStringList cells = copiedRow(t, row);
    QVERIFY(cells.size() > 4);
    QCOMPARE(cells.at(0), m.index(row, 0).data().toString());
    QCOMPARE(cells.at(1), m.index(row, 1).data().toString());
    QCOMPARE(cells.at(2), m.index(row, cost).data().toString());
    QCOMPARE(cells.at(3), m.index(row, country).data().toString());
    // A block pasted at the cost cell fills cost, then the column shown beside it (the country),
    // not the one after cost on the form (the fuel).
    const QString fuel = t.shown(kTiger, "fuel");
    const QString airAtk = t.shown(kTiger, "airAtk");
    QVERIFY(t.cell(kTiger, "country").data(Qt::EditRole).toInt() != 5);
    QApplication::clipboard()->setText(QStringLiteral("240\t5\r\n"));
    t.view()->setCurrentIndex(t.cell(kTiger, "cost"));
    t.table->PasteBlock();
    QCOMPARE(t.shown(kTiger, "cost"), QStringLiteral("240"));
    QCOMPARE(t.cell(kTiger, "country").data(Qt::EditRole).toInt(), 5);
    QCOMPARE(t.shown(kTiger, "fuel"), fuel);
    QCOMPARE(t.shown(kTiger, "airAtk"), airAtk);
    // A new view of the game takes the order; the other game keeps the form's.
    CUnitTableView again(t.e.doc(), Game::Pg2);
    QCOMPARE(again.tableView()->horizontalHeader()->visualIndex(cost), header->visualIndex(cost));
    // Its first current cell is in the first column shown, the dragged one.
    again.Activate();
    QCOMPARE(again.tableView()->currentIndex().column(), cost);
    CUnitTableView peg(t.e.doc(), Game::Peg);
    QHeaderView* pegHeader = peg.tableView()->horizontalHeader();
    for (int column = 0; column < peg.model().columnCount(); ++column)
        QCOMPARE(pegHeader->visualIndex(column), column);
    // "Form Order" in the dialog puts it back, and the setting is gone.
    WhenModal([](QWidget* w) {
        w->findChild<QPushButton*>(QStringLiteral("formOrderButton"))->click();
        auto* list = w->findChild<QListWidget*>(QStringLiteral("columnsListWidget"));
        QCOMPARE(list->item(2)->data(Qt::UserRole).toInt(), 2);
        w->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
            ->button(QDialogButtonBox::Ok)
            ->click();
    });
    t.table->ChooseColumns();
    for (int column = 0; column < m.columnCount(); ++column)
        QCOMPARE(header->visualIndex(column), column);
    QCOMPARE(QString::fromStdString(t.e.doc().store.read("UnitsTableOrderPG2").value_or("x")),
             QString());
}

void UnitsTableTest::columnOrderFromDamagedSettings_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("first"); // the field that must lead the scrolling part
    QTest::newRow("unknown names and blanks")
        << QStringLiteral("nonsense,,fuel,  ,airAtk") << QStringLiteral("fuel");
    QTest::newRow("twice the same") << QStringLiteral("fuel,airAtk,fuel") << QStringLiteral("fuel");
    QTest::newRow("the code and name")
        << QStringLiteral("code,denomination,ammo") << QStringLiteral("ammo");
    QTest::newRow("letters of another alphabet")
        << QStringLiteral("\u00ff\u00fe,cost") << QStringLiteral("cost");
    QTest::newRow("empty") << QString() << QStringLiteral("country");
}

// A damaged order in the settings gives every column once, the code and name first.
void UnitsTableTest::columnOrderFromDamagedSettings() {
    QFETCH(QString, setting);
    QFETCH(QString, first);
    TableEditor t;
    t.e.doc().store.write("UnitsTableOrderPG2", setting.toStdString());
    CUnitTableView view(t.e.doc(), Game::Pg2);
    UnitTableModel& m = view.model();
    QHeaderView* header = view.tableView()->horizontalHeader();
    QSet<int> seen;
    for (int visual = 0; visual < m.columnCount(); ++visual)
        seen.insert(header->logicalIndex(visual));
    QCOMPARE(seen.size(), m.columnCount());
    for (int column = 0; column < UnitTableModel::kFixedColumns; ++column)
        QCOMPARE(header->visualIndex(column), column);
    QCOMPARE(header->logicalIndex(UnitTableModel::kFixedColumns),
             m.columnOf(*FindField(Game::Pg2, first.toStdString())));
}

namespace {

// The sample units repeated to `count`, each with the code of its place and a name of its own,
// so that a row holds more units than a screen shows.
Pg2UnitTable longTable(const Pg2UnitTable& sample, std::size_t count) {
    Pg2UnitTable table;
    table.units.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        table.units[i] = sample.units[i % sample.count()];
        table.units[i].record.setCode(static_cast<std::uint16_t>(i));
        table.setName(i, std::string(sample.name(i % sample.count())) + " " + std::to_string(i));
    }
    return table;
}

// Each visible row of the scrolling view has the fixed view's row beside it, at the same height,
// and the code shown there is the code of the unit whose cells the row shows.
void checkRowsAgree(CUnitTableView& table, const CVarnelDoc& doc, int move) {
    QTableView* fixed = table.fixedView();
    QTableView* view = table.tableView();
    const int top = view->viewport()->mapTo(&table, QPoint(0, 0)).y();
    QVERIFY2(fixed->viewport()->mapTo(&table, QPoint(0, 0)).y() == top,
             qPrintable(QString::number(move)));
    const int step = std::max(1, view->verticalHeader()->defaultSectionSize() / 2);
    for (int y = 0; y < view->viewport()->height(); y += step) {
        const int row = view->rowAt(y);
        QVERIFY2(fixed->rowAt(y) == row,
                 qPrintable(QStringLiteral("move %1, y %2: fixed row %3, row %4")
                                .arg(move)
                                .arg(y)
                                .arg(fixed->rowAt(y))
                                .arg(row)));
        if (row < 0)
            continue;
        const QString code = fixed->indexAt(QPoint(1, y)).data().toString();
        const int unit = table.model().unitAt(row);
        QCOMPARE(code,
                 QString::number(doc.pg2()->units[static_cast<std::size_t>(unit)].record.code()));
    }
}

} // namespace

// The fixed code and name columns and the scrolling columns must show the same units after
// every way the view moves; a row out of step makes an edit land on another unit.
void UnitsTableTest::rowsAgreeAfterRandomMoves() {
    TableEditor t;
    CVarnelDoc& doc = t.e.doc();
    doc.loadTable(longTable(*doc.pg2(), 600));
    doc.refreshAllViews();
    CUnitTableView* table = t.table;
    UnitTableModel& m = table->model();
    QTableView* fixed = table->fixedView();
    QTableView* view = t.view();
    QWidget* form = t.e.frame().view(Game::Pg2);
    auto* find = table->findChild<QLineEdit*>(QStringLiteral("tableFindLineEdit"));
    auto* classes = table->findChild<QComboBox*>(QStringLiteral("tableClassFilterComboBox"));
    const int airColumn = m.columnOf(*FindField(Game::Pg2, "airAtk"));
    const QStringList fragments = {QString(), QStringLiteral("1"), QStringLiteral("3"),
                                   QStringLiteral("Tiger"), QStringLiteral("5")};
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("seed %u", seed);
    auto pick = [&random](int bound) { return bound <= 0 ? 0 : int(random.bounded(bound)); };
    auto wheel = [](QWidget* target, int notches) {
        const QPoint at(5, 5);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    int edits = 0;
    for (int move = 0; move < 300; ++move) {
        const bool tableShown = t.e.frame().tableShown();
        switch (pick(tableShown ? 11 : 3)) {
        case 0: // to the other page
            t.e.action("unitsTableAction")->trigger();
            break;
        case 1: // a unit chosen in the form, or in the table from the keyboard
            if (!tableShown) {
                const int rows = viewstest::unitList(form)->model()->rowCount();
                if (rows > 0)
                    clickRow(form, pick(rows));
            } else {
                view->setFocus();
                const Qt::Key keys[] = {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home,
                                        Qt::Key_Down};
                QTest::keyClick(pick(2) ? view : fixed, keys[pick(5)]);
            }
            break;
        case 2: // a window of another size
            t.e.frame().resize(500 + pick(700), 380 + pick(500));
            break;
        case 3: // a sort by a column of either view
            (pick(3) == 0 ? fixed : view)
                ->horizontalHeader()
                ->setSortIndicator(pick(3) == 0 ? pick(2) : airColumn + pick(6),
                                   pick(2) ? Qt::AscendingOrder : Qt::DescendingOrder);
            break;
        case 4: // a filter
            if (pick(2)) {
                find->setText(fragments[pick(int(fragments.size()))]);
            } else {
                const int index = pick(3);
                classes->setCurrentIndex(index);
                emit classes->activated(index);
            }
            break;
        case 5: // the scroll bar dragged
            view->verticalScrollBar()->setValue(pick(view->verticalScrollBar()->maximum() + 1));
            break;
        case 6: // a wheel turned over either part
            wheel((pick(2) ? fixed : view)->viewport(), pick(7) - 3);
            break;
        case 7: // a click on a row
        case 8:
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              QPoint(5, pick(view->viewport()->height())));
            break;
        case 9: { // a value typed into the row beside a code
            const int y = pick(view->viewport()->height());
            const int row = view->rowAt(y);
            if (row < 0)
                break;
            const int code = fixed->indexAt(QPoint(1, y)).data().toInt();
            view->horizontalScrollBar()->setValue(
                view->horizontalHeader()->sectionPosition(airColumn));
            QApplication::processEvents();
            const QPoint at(view->columnViewportPosition(airColumn) + 4, y);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            const int value = 1 + edits++ % 200;
            // The first key opens the cell's editor, which takes the others.
            const QString digits = QString::number(value);
            QTest::keyClick(view, digits.at(0).toLatin1());
            QTest::keyClicks(QApplication::focusWidget(), digits.mid(1));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QApplication::processEvents();
            QCOMPARE(int(doc.pg2()->units[static_cast<std::size_t>(code)].record[pg2::AirAtk]),
                     value);
            break;
        }
        case 10: { // a column dragged to another place of the scrolling part
            QHeaderView* header = view->horizontalHeader();
            const int first = UnitTableModel::kFixedColumns;
            const int span = m.columnCount() - first;
            header->moveSection(first + pick(span), first + pick(span));
            break;
        }
        }
        QApplication::processEvents();
        if (t.e.frame().tableShown()) {
            checkRowsAgree(*table, doc, move);
            if (QTest::currentTestFailed()) {
                qWarning("seed %u", seed);
                return;
            }
        }
    }
    QVERIFY(edits > 0);
}

// A window made smaller keeps the current row in sight when it was; a row the user scrolled
// away from stays away.
void UnitsTableTest::smallerWindowKeepsCurrentRow() {
    TableEditor t;
    CVarnelDoc& doc = t.e.doc();
    doc.loadTable(longTable(*doc.pg2(), 600));
    doc.refreshAllViews();
    QTableView* view = t.view();
    t.e.frame().resize(900, 700);
    QApplication::processEvents();
    auto inSight = [view] {
        const QRect item = view->visualRect(view->currentIndex());
        return item.top() >= 0 && item.bottom() < view->viewport()->height();
    };
    // The last row in sight.
    const int last = view->rowAt(view->viewport()->height() - 2);
    QVERIFY(last > 5);
    view->setCurrentIndex(view->model()->index(last, UnitTableModel::kFixedColumns));
    QVERIFY(inSight());
    t.e.frame().resize(900, 450);
    QApplication::processEvents();
    QVERIFY(inSight());
    checkRowsAgree(*t.table, doc, 0);
    // Scrolled away: the view stays where the user put it.
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    const int value = view->verticalScrollBar()->value();
    t.e.frame().resize(900, 400);
    QApplication::processEvents();
    QVERIFY(!inSight());
    QCOMPARE(view->verticalScrollBar()->value(), value);
}

// Enter or Down in the Find box goes to the first unit it left in the table.
void UnitsTableTest::findGoesToTheFirstMatch() {
    TableEditor t;
    UnitTableModel& m = t.table->model();
    auto* find = t.table->findChild<QLineEdit*>(QStringLiteral("tableFindLineEdit"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Down}) {
        t.view()->setCurrentIndex(t.cell(1, "airAtk"));
        find->setFocus();
        find->clear();
        QTest::keyClicks(find, QStringLiteral("TIG"));
        QVERIFY(m.rowCount() > 0);
        QVERIFY(m.unitAt(0) != 1);
        QTest::keyClick(find, key);
        QVERIFY(t.view()->hasFocus());
        QCOMPARE(t.view()->currentIndex().row(), 0);
        QCOMPARE(t.e.doc().view(Game::Pg2).currentUnit, m.unitAt(0));
    }
    // Nothing found: the keys do nothing.
    find->setFocus();
    find->setText(QStringLiteral("no such unit"));
    QCOMPARE(m.rowCount(), 0);
    QTest::keyClick(find, Qt::Key_Return);
    QVERIFY(find->hasFocus());
}

void UnitsTableTest::emptyListShowsNoUnit_data() {
    QTest::addColumn<bool>("inTable");
    QTest::addColumn<QString>("filter"); // the object name of the search box
    QTest::newRow("form's search") << false << QStringLiteral("findLineEdit");
    QTest::newRow("table's search") << true << QStringLiteral("tableFindLineEdit");
}

// A search that lists nothing leaves the form empty and the commands that act on the current
// unit disabled, on the form and in the table; clearing it brings them back.
void UnitsTableTest::emptyListShowsNoUnit() {
    QFETCH(bool, inTable);
    QFETCH(QString, filter);
    TableEditor t;
    QWidget* form = t.e.frame().view(Game::Pg2);
    if (!inTable)
        t.e.action("unitsTableAction")->trigger();
    clickRow(form, kTiger);
    QWidget* page = inTable ? static_cast<QWidget*>(t.table) : form;
    auto* find = page->findChild<QLineEdit*>(filter);
    QVERIFY(find);
    auto enabled = [&t](const char* name) { return t.e.action(name)->isEnabled(); };
    QVERIFY(enabled("cloneAction") && enabled("deleteAction"));
    find->setText(QStringLiteral("no unit is called this"));
    QApplication::processEvents();
    QCOMPARE(t.e.doc().view(Game::Pg2).listedUnits, 0);
    QVERIFY(!enabled("cloneAction") && !enabled("deleteAction"));
    if (inTable)
        t.e.action("unitsTableAction")->trigger(); // the form takes the table's filter
    auto* name = form->findChild<QLineEdit*>(QStringLiteral("denominationLineEdit"));
    auto* select = form->findChild<QPushButton*>(QStringLiteral("selectIconButton"));
    QVERIFY(name && select);
    QVERIFY(name->text().isEmpty() && !name->isEnabled());
    QVERIFY(!select->isEnabled());
    QVERIFY(!enabled("cloneAction") && !enabled("deleteAction"));
    const std::size_t units = t.e.doc().unitCount(Game::Pg2);
    QTest::keySequence(&t.e.frame(), QKeySequence(Qt::CTRL | Qt::Key_Insert)); // Clone's key
    QCOMPARE(t.e.doc().unitCount(Game::Pg2), units);
    form->findChild<QLineEdit*>(QStringLiteral("findLineEdit"))->clear();
    QApplication::processEvents();
    QVERIFY(enabled("cloneAction") && enabled("deleteAction"));
    QVERIFY(name->isEnabled() && !name->text().isEmpty() && select->isEnabled());
}

void UnitsTableTest::keysOpenTheCellsMenu_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("fixedPart");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << false;
    QTest::newRow("menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier) << false;
    QTest::newRow("menu key over the codes") << int(Qt::Key_Menu) << int(Qt::NoModifier) << true;
}

void UnitsTableTest::keysOpenTheCellsMenu() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, fixedPart);
    TableEditor t;
    QTableView* view = fixedPart ? t.table->fixedView() : t.view();
    view->setCurrentIndex(fixedPart ? t.cell(kTiger, "denomination") : t.cell(kTiger, "airAtk"));
    view->setFocus();
    // Every menu that opens is closed again at once, and its entries kept.
    int menus = 0;
    QStringList entries;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            ++menus;
            for (QAction* a : menu->actions())
                entries << a->objectName();
            menu->close();
        }
    });
    closer.start(10);
    QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTest::qWait(100);
    closer.stop();
    QCOMPARE(menus, 1);
    QVERIFY(entries.contains(QStringLiteral("setValueAction")));
    QVERIFY(entries.contains(QStringLiteral("copyCellsAction")));
}

namespace {

// The letter after a single "&", lower case; nothing when the text has none.
QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toLower();
        ++i;
    }
    return {};
}

} // namespace

// Alt and a letter reach one thing: the table's labels take no menu's letter, and within a menu
// no two entries share one.
void UnitsTableTest::mnemonicsDoNotClash() {
    TableEditor t;
    QSet<QChar> menuLetters;
    for (QAction* top : t.e.frame().menuBar()->actions()) {
        const QChar letter = mnemonic(top->text());
        QVERIFY2(!letter.isNull(), qPrintable(top->text()));
        QVERIFY2(!menuLetters.contains(letter), qPrintable(top->text()));
        menuLetters.insert(letter);
        QSet<QChar> entryLetters;
        for (QAction* entry : top->menu()->actions()) {
            const QChar own = mnemonic(entry->text());
            if (own.isNull())
                continue;
            QVERIFY2(!entryLetters.contains(own), qPrintable(entry->text()));
            entryLetters.insert(own);
        }
    }
    int labels = 0;
    for (QLabel* label : t.table->findChildren<QLabel*>()) {
        const QChar letter = mnemonic(label->text());
        if (letter.isNull() || !label->buddy())
            continue;
        ++labels;
        QVERIFY2(!menuLetters.contains(letter), qPrintable(label->text()));
    }
    QVERIFY(labels >= 3);
    // The entries this editor added to the File and Tools menus can be reached by a letter.
    for (const char* name : {"exportCsvAction", "importCsvAction", "compareAction", "checkAction",
                             "restoreBackupAction", "unitsTableAction", "editHistoryAction"})
        QVERIFY2(!mnemonic(t.e.action(name)->text()).isNull(), name);
}

QTEST_MAIN(UnitsTableTest)
#include "unitstable_test.moc"
