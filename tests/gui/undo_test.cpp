// Undo and redo as a user meets them in the window: typing into the form, the Edit menu and its
// keys, the modified mark, the history panel, and what a save then writes.

#include "app/ui/mainframe.h"
#include "app/ui/text1252.h"
#include "base/fileio.h"
#include "equip/efile.h"
#include "tests/gui/support/guisupport.h"
#include "tests/gui/views_fixture.h"

#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QListView>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;
using varnel::viewstest::clickRow;
using varnel::viewstest::typeInto;

namespace {

constexpr int kTiger = 3; // "Tiger I" in the sample PG2 table

std::uint8_t savedAirAtk(const std::string& path) {
    const auto parsed = ParsePg2EFile(ReadFileBytes(path).value_or(Bytes()));
    return parsed.units.size() > kTiger ? parsed.units[kTiger].record[pg2::AirAtk] : 0;
}

bool marked(CMainFrame& frame) {
    return frame.windowTitle().contains(QStringLiteral("<Modified: PG2>"));
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT

  private slots:
    void typeUndoRedoSave();
    void undoCommitsWhatIsTyped();
    void historyPanelGoesBack();
    void undoActsOnTheGameShown();
    void accentedNamesShownAsTyped();
};

void UndoTest::typeUndoRedoSave() {
    Workspace ws;
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    QWidget* form = e.frame().view(Game::Pg2);
    QVERIFY(form);
    clickRow(form, kTiger);
    auto* airAtk = form->findChild<QLineEdit*>(QStringLiteral("airAtkLineEdit"));
    const QString loaded = airAtk->text();
    QVERIFY(loaded != QStringLiteral("77"));
    QAction* undo = e.action("undoAction");
    QAction* redo = e.action("redoAction");
    QVERIFY(!undo->isEnabled());

    typeInto(airAtk, QStringLiteral("77"), true, nullptr);
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::AirAtk]), 77);
    QVERIFY(marked(e.frame()));
    QCOMPARE(undo->text(), QStringLiteral("&Undo Air attack of 3 Tiger I"));

    // Ctrl+Z, as the user presses it in the window.
    QTest::keyClick(&e.frame(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(airAtk->text(), loaded);
    QVERIFY(!marked(e.frame()));
    QCOMPARE(redo->text(), QStringLiteral("&Redo Air attack of 3 Tiger I"));
    QVERIFY(!undo->isEnabled());

    QTest::keyClick(&e.frame(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(airAtk->text(), QStringLiteral("77"));
    QVERIFY(marked(e.frame()));

    const std::string path = e.doc().settings().eFile(Game::Pg2);
    e.ui().expectQuestion(e.doc().settings().namesEFile(Game::Pg2) +
                              "\nis NOT modified\n \xc2\xbf Save anyway ?",
                          false);
    e.ui().expectInformation("File " + path + " updated");
    e.action("saveAction")->trigger();
    QVERIFY(e.ui().finished());
    QCOMPARE(int(savedAirAtk(path)), 77);
    QVERIFY(!marked(e.frame()));
    // Undo past the save: the file holds what redo would bring back.
    undo->trigger();
    QVERIFY(marked(e.frame()));
    QCOMPARE(int(savedAirAtk(path)), 77); // undo writes nothing
}

// What stands in the edit box is committed first, so that undo takes back the typed value.
void UndoTest::undoCommitsWhatIsTyped() {
    Workspace ws;
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    QWidget* form = e.frame().view(Game::Pg2);
    clickRow(form, kTiger);
    auto* airAtk = form->findChild<QLineEdit*>(QStringLiteral("airAtkLineEdit"));
    typeInto(airAtk, QStringLiteral("12"), true, nullptr);
    airAtk->setFocus();
    airAtk->selectAll();
    QTest::keyClicks(airAtk, QStringLiteral("34"));
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::AirAtk]), 12); // not committed yet
    QTest::keyClick(airAtk, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::AirAtk]), 12);
    QCOMPARE(airAtk->text(), QStringLiteral("12"));
    QCOMPARE(e.doc().history(Game::Pg2).count(), std::size_t{2});
    QCOMPARE(e.action("redoAction")->text(), QStringLiteral("&Redo Air attack of 3 Tiger I"));
}

void UndoTest::historyPanelGoesBack() {
    Workspace ws;
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    for (const char* value : {"1", "2", "3"})
        QVERIFY(e.doc().setField(Game::Pg2, kTiger, *FindField(Game::Pg2, "airAtk"), value).ok);
    QAction* show = e.action("editHistoryAction");
    show->trigger();
    auto* dock = e.frame().findChild<QDockWidget*>(QStringLiteral("editHistoryDock"));
    QVERIFY(dock && dock->isVisible());
    auto* list = dock->findChild<QListView*>(QStringLiteral("editHistoryListView"));
    QCOMPARE(list->model()->rowCount(), 4);
    // A step lists the values it changed, old and new, under its text.
    QCOMPARE(list->model()->index(2, 0).data().toString(),
             QStringLiteral("Air attack of 3 Tiger I\n    3 Tiger I, Air attack: 1 -> 2"));
    QCOMPARE(list->currentIndex().row(), 3);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::AirAtk]), 1);
    QCOMPARE(e.doc().history(Game::Pg2).index(), std::size_t{1});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    QVERIFY(!marked(e.frame()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(3, 0)).center());
    QCOMPARE(int(e.doc().pg2()->units[kTiger].record[pg2::AirAtk]), 3);
    show->trigger();
    QVERIFY(!dock->isVisible());
}

// Each game has its own history; Undo takes back the shown game's last step only.
void UndoTest::undoActsOnTheGameShown() {
    Workspace ws;
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    e.frame().SwitchView(Game::Peg);
    e.ui().expectFileDialog("Select PeG EQUIP97.EQP", ws.path(QStringLiteral("peg/EQUIP97.EQP")));
    e.action("openAction")->trigger();
    QVERIFY(e.ui().finished());
    QVERIFY(e.doc().setField(Game::Pg2, 1, *FindField(Game::Pg2, "fuel"), "9").ok);
    QVERIFY(e.doc().setField(Game::Peg, 1, *FindField(Game::Peg, "ammo"), "8").ok);
    QCOMPARE(e.action("undoAction")->text(), QStringLiteral("&Undo Ammunition of 1 Rifle Squad"));
    e.action("undoAction")->trigger();
    QVERIFY(!e.action("undoAction")->isEnabled());
    QCOMPARE(int(e.doc().pg2()->units[1].record[pg2::Fuel]), 9);
    e.frame().SwitchView(Game::Pg2);
    QCOMPARE(e.action("undoAction")->text(), QStringLiteral("&Undo Fuel of 1 Wehrmacht Infantry"));
}

// Names are Windows-1252 bytes: the Edit menu and the history panel show their letters.
void UndoTest::accentedNamesShownAsTyped() {
    Workspace ws;
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    QVERIFY(e.doc()
                .setField(Game::Pg2, kTiger, *FindField(Game::Pg2, "denomination"),
                          "Pak 40 Panzerj\xe4ger")
                .ok);
    QVERIFY(e.doc().setField(Game::Pg2, kTiger, *FindField(Game::Pg2, "airAtk"), "5").ok);
    const QString name = QStringLiteral("Pak 40 Panzerj") + QChar(0xe4) + QStringLiteral("ger");
    QCOMPARE(e.action("undoAction")->text(), QStringLiteral("&Undo Air attack of 3 ") + name);
    e.action("editHistoryAction")->trigger();
    auto* list = e.frame().findChild<QListView*>(QStringLiteral("editHistoryListView"));
    QCOMPARE(list->model()->index(2, 0).data().toString(),
             QStringLiteral("Air attack of 3 ") + name + QStringLiteral("\n    3 ") + name +
                 QStringLiteral(", Air attack: 16 -> 5"));
    e.action("undoAction")->trigger();
    QCOMPARE(e.action("redoAction")->text(), QStringLiteral("&Redo Air attack of 3 ") + name);
}

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
