// The editor on the screen it runs on (ctest runs this program on screens of 1024x768,
// 1366x768 and 1920x1080 at scale 2): with each panel open the window lies inside the screen's
// free area and every control can be reached, the form scrolled where it does not fit.

#include "app/ui/mainframe.h"
#include "base/fileio.h"
#include "equip/efile.h"
#include "tests/gui/support/guisupport.h"
#include "tests/gui/views_fixture.h"
#include "tests/support/testsupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

using namespace varnel;
using namespace varnel::guitest;

namespace {

enum class Panel { None, History, Compare, Check, Table };

// Shows `w` (scrolling its scroll areas as a user would) and says whether it is then wholly in
// sight inside the window.
bool reachable(QWidget* frame, QWidget* w) {
    // The whole control, not only its text cursor, as ensureWidgetVisible would.
    for (QWidget* p = w->parentWidget(); p != nullptr && p != frame; p = p->parentWidget())
        if (auto* scroll = qobject_cast<QScrollArea*>(p); scroll && scroll->widget()) {
            const QPoint centre = w->mapTo(scroll->widget(), w->rect().center());
            scroll->ensureVisible(centre.x(), centre.y(), w->width() / 2 + 1, w->height() / 2 + 1);
        }
    QApplication::processEvents();
    const QRect inFrame(w->mapTo(frame, QPoint(0, 0)), w->size());
    if (!frame->rect().contains(inFrame))
        return false;
    // What the parents clip away is not in sight.
    return w->visibleRegion().boundingRect() == w->rect();
}

} // namespace

Q_DECLARE_METATYPE(varnel::Game)
Q_DECLARE_METATYPE(Panel)

class ScreensTest : public QObject {
    Q_OBJECT

  private slots:
    void windowFitsAndControlsReachable_data();
    void windowFitsAndControlsReachable();
};

void ScreensTest::windowFitsAndControlsReachable_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<Panel>("panel");
    for (Game game : {Game::Pg2, Game::Peg}) {
        const char* g = GameName(game);
        QTest::addRow("%s form", g) << game << Panel::None;
        QTest::addRow("%s form, history panel", g) << game << Panel::History;
        QTest::addRow("%s form, compare panel", g) << game << Panel::Compare;
        QTest::addRow("%s form, check panel", g) << game << Panel::Check;
        QTest::addRow("%s units table, compare panel", g) << game << Panel::Table;
    }
}

void ScreensTest::windowFitsAndControlsReachable() {
    QFETCH(Game, game);
    QFETCH(Panel, panel);
    Workspace ws;
    QVERIFY(ws.ok());
    Editor e(ws, Forms::Real, ws.path(QStringLiteral("pg2/EQUIP97.EQP")));
    QVERIFY(e.started());
    CMainFrame& frame = e.frame();
    if (game == Game::Peg) {
        frame.SwitchView(Game::Peg);
        QVERIFY(LoadEFile(e.doc(), Game::Peg, ws.path(QStringLiteral("peg/EQUIP97.EQP"))));
    }
    // A unit deep in the list.
    QWidget* form = frame.view(game);
    const int units = viewstest::unitList(form)->model()->rowCount();
    QVERIFY(units > 10);
    viewstest::clickRow(form, units - 2);

    if (panel == Panel::History) {
        e.action("editHistoryAction")->trigger();
    } else if (panel == Panel::Compare || panel == Panel::Table) {
        if (panel == Panel::Table)
            e.action("unitsTableAction")->trigger();
        // The other file: the same units, one cost changed.
        const std::string path = ws.path(QStringLiteral("other/OTHER.EQP"));
        QVERIFY(QDir(ws.dir()).mkpath(QStringLiteral("other")));
        if (game == Game::Pg2) {
            Pg2UnitTable other = *e.doc().pg2();
            other.units[3].record[pg2::Cost] ^= 1;
            QVERIFY(SaveFileBytes(path, WritePg2EFile(other)));
            test::WriteFile(ws.path(QStringLiteral("other/OTHER.txt")), WriteNamesFile(other));
        } else {
            PegUnitTable other = *e.doc().peg();
            other.units[3].record[peg::Cost] ^= 1;
            QVERIFY(SaveFileBytes(path, WritePegEFile(other)));
            test::WriteFile(ws.path(QStringLiteral("other/OTHER.txt")), WriteNamesFile(other));
        }
        e.ui().expectFileDialog("Compare with E-File", path);
        e.action("compareAction")->trigger();
    } else if (panel == Panel::Check) {
        e.action("checkAction")->trigger();
    }
    QApplication::processEvents();

    const QRect screen = frame.screen()->availableGeometry();
    QVERIFY2(screen.contains(frame.frameGeometry()),
             qPrintable(QStringLiteral("window %1,%2 %3x%4 on %5x%6")
                            .arg(frame.frameGeometry().x())
                            .arg(frame.frameGeometry().y())
                            .arg(frame.frameGeometry().width())
                            .arg(frame.frameGeometry().height())
                            .arg(screen.width())
                            .arg(screen.height())));
    // The unit chosen before the panel opened is still in sight in the list or the table.
    if (panel != Panel::None) {
        QAbstractItemView* list =
            panel == Panel::Table ? static_cast<QAbstractItemView*>(frame.findChild<QTableView*>(
                                        QStringLiteral("unitTableView")))
                                  : viewstest::unitList(form);
        QVERIFY(list && list->currentIndex().isValid());
        const QRect item = list->visualRect(list->currentIndex());
        QVERIFY2(
            list->viewport()->visibleRegion().intersects(QRect(0, item.top(), 1, item.height())),
            qPrintable(QStringLiteral("row at %1, viewport %2 high")
                           .arg(item.top())
                           .arg(list->viewport()->height())));
    }
    // The window is the user's to size.
    QVERIFY(frame.minimumSize() != frame.maximumSize());
    // Every control of the page shown and of the panels can be brought into sight.
    QStringList unreachable;
    for (QWidget* w : frame.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QTableView*>(w);
        if (!control || !w->isVisible() || w->objectName().isEmpty() ||
            w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // A table larger than the window scrolls itself: its top left corner must be in sight.
        if (auto* table = qobject_cast<QTableView*>(w)) {
            const QRect inFrame(table->mapTo(&frame, QPoint(0, 0)), QSize(40, 40));
            if (!frame.rect().contains(inFrame))
                unreachable << w->objectName();
            continue;
        }
        if (!reachable(&frame, w))
            unreachable << QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                                   .arg(w->objectName())
                                   .arg(w->mapTo(&frame, QPoint(0, 0)).x())
                                   .arg(w->mapTo(&frame, QPoint(0, 0)).y())
                                   .arg(w->width())
                                   .arg(w->height())
                                   .arg(frame.width())
                                   .arg(frame.height()) +
                               QStringLiteral(" seen %1,%2 %3x%4")
                                   .arg(w->visibleRegion().boundingRect().x())
                                   .arg(w->visibleRegion().boundingRect().y())
                                   .arg(w->visibleRegion().boundingRect().width())
                                   .arg(w->visibleRegion().boundingRect().height()) +
                               QStringLiteral(" parent %1 %2x%3")
                                   .arg(w->parentWidget()->objectName())
                                   .arg(w->parentWidget()->width())
                                   .arg(w->parentWidget()->height());
    }
    QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(QStringLiteral(", "))));
    // The panel's click kept the page the user had.
    if (panel == Panel::Table)
        QVERIFY(frame.tableShown());

    const QByteArray dir = qgetenv("VARNEL_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        const QString name = QStringLiteral("%1x%2-%3.png")
                                 .arg(screen.width())
                                 .arg(screen.height())
                                 .arg(QString::fromLatin1(QTest::currentDataTag())
                                          .replace(QLatin1Char(' '), QLatin1Char('-'))
                                          .remove(QLatin1Char(',')));
        QVERIFY(frame.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name));
    }
}

QTEST_MAIN(ScreensTest)
#include "screens_test.moc"
