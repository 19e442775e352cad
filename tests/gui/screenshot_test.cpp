// The picture of the main window for the documentation, taken offscreen with the sample PG2
// E-File loaded, and of the About box. With VARNEL_SCREENSHOT_DIR set they are written there as
// mainwindow.png and about.png (scripts/screenshots does that); the checks run either way.

#include "app/efileio.h"
#include "app/ui/aboutbox.h"
#include "app/ui/text1252.h"
#include "tests/gui/support/guisupport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

using namespace varnel;
using namespace varnel::guitest;

namespace {
// Whether `area` of `image` holds more than one colour.
bool drawnIn(const QImage& image, const QRect& area) {
    const QRgb first = image.pixel(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}
// Writes `image` into VARNEL_SCREENSHOT_DIR, when that is set.
void save(const QImage& image, const QString& name) {
    const QString dir = QString::fromLocal8Bit(qgetenv("VARNEL_SCREENSHOT_DIR"));
    if (dir.isEmpty())
        return;
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(image.save(QDir(dir).filePath(name)));
}
} // namespace

class ScreenshotTest : public QObject {
    Q_OBJECT
  private slots:
    void mainWindow();
    void editHistory();
    void aboutBox();
    void unitsTables();
    void conditions();
};

void ScreenshotTest::mainWindow() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    e.app().updateStatusPanes();
    CMainFrame& frame = e.frame();
    const QImage image = frame.grab().toImage();
    QCOMPARE(image.size() / image.devicePixelRatio(), frame.size());

    // Every toolbar button shows a picture, and the bar lies wholly inside the window.
    auto* bar = frame.findChild<QToolBar*>(QStringLiteral("mainToolBar"));
    QVERIFY(frame.rect().contains(bar->geometry()));
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            continue;
        const QRect button = bar->widgetForAction(a)->geometry().translated(bar->pos());
        QVERIFY2(frame.rect().contains(button), qPrintable(a->objectName()));
        QVERIFY2(drawnIn(image, button), qPrintable(a->objectName()));
    }
    // Both status panes are inside the window and their texts fit.
    for (const char* name : {"countriesPane", "unitsPane"}) {
        auto* pane = frame.findChild<QLabel*>(QLatin1String(name));
        const QRect inFrame(pane->mapTo(&frame, QPoint(0, 0)), pane->size());
        QVERIFY2(frame.rect().contains(inFrame), name);
        QVERIFY2(!pane->text().isEmpty(), name);
    }
    auto* units = frame.findChild<QLabel*>(QStringLiteral("unitsPane"));
    QVERIFY(units->fontMetrics().horizontalAdvance(units->text()) <= units->contentsRect().width());
    QVERIFY(frame.menuBar()->isVisible());

    save(image, QStringLiteral("mainwindow.png"));

    // The window takes the size of the PeG form when that is shown, and back.
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    for (Game g : {Game::Peg, Game::Pg2}) {
        frame.SwitchView(g);
        QWidget* form = frame.view(g);
        QVERIFY(form && form->isVisible());
        // The form's page lies in the window; the form scrolls in it where the screen is small.
        QWidget* page = form->parentWidget()->parentWidget();
        const QRect inFrame(page->mapTo(&frame, QPoint(0, 0)), page->size());
        QVERIFY(frame.rect().contains(inFrame));
        QVERIFY(form->width() >= form->minimumSizeHint().width());
        QVERIFY(form->height() >= form->minimumSizeHint().height());
        const QRect screen = frame.screen()->availableGeometry();
        QVERIFY(screen.contains(frame.frameGeometry()));
        const QSize margins = frame.frameGeometry().size() - frame.size();
        QCOMPARE(frame.size(), frame.sizeHint().boundedTo(screen.size() - margins));
    }
}

// The window with three edits made, the history panel open and one step undone, and the Edit
// menu naming the steps it would undo and redo.
void ScreenshotTest::editHistory() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    CVarnelDoc& doc = e.doc();
    QVERIFY(doc.setField(Game::Pg2, 3, *FindField(Game::Pg2, "airAtk"), "12").ok);
    QVERIFY(doc.setField(Game::Pg2, 3, *FindField(Game::Pg2, "cost"), "540").ok);
    e.ui().expectInformation("Clone is Code: 40");
    e.action("cloneAction")->trigger();
    QVERIFY(doc.undo(Game::Pg2));
    e.action("editHistoryAction")->trigger();
    e.app().updateStatusPanes();
    CMainFrame& frame = e.frame();
    auto* dock = frame.findChild<QDockWidget*>(QStringLiteral("editHistoryDock"));
    QVERIFY(dock->isVisible());
    QVERIFY(frame.rect().contains(dock->geometry()));
    QVERIFY(dock->width() >= 150);
    const QImage image = frame.grab().toImage();
    QVERIFY(drawnIn(image, dock->geometry()));
    save(image, QStringLiteral("edit-history.png"));

    QMenu* edit = frame.findChild<QMenu*>(QStringLiteral("editMenu"));
    QVERIFY(edit);
    edit->popup(frame.mapToGlobal(QPoint(40, 20)));
    QTest::qWait(10);
    for (QAction* a : edit->actions())
        QVERIFY2(edit->actionGeometry(a).width() >=
                     edit->fontMetrics().horizontalAdvance(a->text().remove(QLatin1Char('&'))),
                 qPrintable(a->text()));
    save(edit->grab().toImage(), QStringLiteral("edit-menu.png"));
    edit->hide();
}

void ScreenshotTest::aboutBox() {
    CVarnelApp app;
    CAboutBox box(FromPath(app.appTitle), FromPath(app.versionLine));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    // Every text is shown whole: a wrapped label gets the height its text needs.
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        QVERIFY2(label->height() >= needed, qPrintable(label->objectName()));
        QVERIFY2(label->width() >= label->minimumSizeHint().width(),
                 qPrintable(label->objectName()));
    }
    save(box.grab().toImage(), QStringLiteral("about.png"));
}

QTEST_MAIN(ScreenshotTest)
// Both games' units tables, as the README shows them: the window grows for the table, the
// fixed code and name columns stand beside the scrolling ones, and the rows are drawn.
void ScreenshotTest::unitsTables() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    CMainFrame& frame = e.frame();
    QVERIFY(frame.screen()->availableGeometry().contains(frame.frameGeometry()));
    e.action("unitsTableAction")->trigger();
    QVERIFY(frame.tableShown());
    // The table's window is the user's to size.
    QCOMPARE(frame.maximumWidth(), QWIDGETSIZE_MAX);
    frame.resize(1000, 600);
    e.app().updateStatusPanes();
    auto* fixed = frame.table(Game::Pg2)->findChild<QWidget*>(QStringLiteral("unitTableFixedView"));
    auto* table = frame.table(Game::Pg2)->findChild<QWidget*>(QStringLiteral("unitTableView"));
    QVERIFY(fixed && table);
    QVERIFY(fixed->geometry().right() < table->geometry().left());
    QImage image = frame.grab().toImage();
    QVERIFY(drawnIn(image, QRect(table->mapTo(&frame, QPoint(4, 40)), QSize(200, 40))));
    save(image, QStringLiteral("units-table-pg2.png"));

    // The Columns dialog over it, the combat values chosen: every box is drawn.
    bool shown = false;
    WhenModal([&shown](QWidget* dialog) {
        shown = true;
        dialog->findChild<QPushButton*>(QStringLiteral("combatValuesButton"))->click();
        QApplication::processEvents();
        const QImage picture = dialog->grab().toImage();
        auto* list = dialog->findChild<QWidget*>(QStringLiteral("columnsListWidget"));
        QVERIFY(drawnIn(picture, QRect(list->mapTo(dialog, QPoint(4, 4)), QSize(100, 40))));
        save(picture, QStringLiteral("columns-dialog.png"));
    });
    frame.table(Game::Pg2)->findChild<QAction*>(QStringLiteral("columnsAction"))->trigger();
    QVERIFY(shown);

    frame.SwitchView(Game::Peg);
    QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    QVERIFY(frame.table(Game::Peg) && frame.table(Game::Peg)->isVisible());
    e.app().updateStatusPanes();
    save(frame.grab().toImage(), QStringLiteral("units-table-peg.png"));
}

// The units table with a condition in the "Where:" box, costs raised by "Add..." (tinted as
// changed since the load) and the history panel listing the values the step changed.
void ScreenshotTest::conditions() {
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    CMainFrame& frame = e.frame();
    e.action("unitsTableAction")->trigger();
    e.action("editHistoryAction")->trigger();
    frame.resize(1100, 620);
    auto* tableView = frame.table(Game::Pg2);
    auto* where = tableView->findChild<QComboBox*>(QStringLiteral("tableWhereComboBox"));
    QVERIFY(where);
    where->setEditText(QStringLiteral("cost >= 600 and \"Year available\" >= 1942"));
    auto* view = tableView->findChild<QTableView*>(QStringLiteral("unitTableView"));
    QAbstractItemModel* model = view->model();
    QVERIFY(model->rowCount() >= 3);
    const auto* cost = FindField(Game::Pg2, "cost");
    int column = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == QString::fromLatin1(cost->label))
            column = c;
    QVERIFY(column >= 0);
    view->selectionModel()->select(QItemSelection(model->index(0, column), model->index(2, column)),
                                   QItemSelectionModel::ClearAndSelect);
    e.ui().expectText("Amount to add to 3 cells of Cost:\nA negative amount subtracts; costs go "
                      "to the nearest value they can hold",
                      "+24");
    tableView->findChild<QAction*>(QStringLiteral("addAction"))->trigger();
    view->clearSelection();
    view->scrollTo(model->index(0, column), QAbstractItemView::PositionAtCenter);
    e.app().updateStatusPanes();
    const QImage image = frame.grab().toImage();
    QVERIFY(drawnIn(image, QRect(view->mapTo(&frame, QPoint(4, 40)), QSize(200, 40))));
    save(image, QStringLiteral("conditions.png"));
}

#include "screenshot_test.moc"
