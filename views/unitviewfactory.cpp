#include "views/unitviewfactory.h"

#include "views/unittableview.h"
#include "views/view2.h"
#include "views/view3.h"

namespace varnel {

QWidget* MakeUnitView(CMainFrame& frame, CVarnelDoc& doc, Game game) {
    CUnitView* view = game == Game::Pg2 ? static_cast<CUnitView*>(new CView2(doc))
                                        : static_cast<CUnitView*>(new CView3(doc));
    view->switchRequested = [&frame](Game other) { frame.SwitchView(other); };
    QObject::connect(&frame, &CMainFrame::viewActivated, view, [view, game](Game shown) {
        if (shown == game)
            view->FillUnitList();
    });
    // What the user typed is part of what a command sees (undo included).
    QObject::connect(&frame, &CMainFrame::commandStarting, view, [view, &doc, game] {
        if (doc.currentGame() == game)
            view->CommitPendingEdit();
    });
    QObject::connect(view, &CUnitView::listChanged, &frame, &CMainFrame::statusChanged);
    QObject::connect(view, &CUnitView::listChanged, &frame, &CMainFrame::updateCommandStates);
    // Back from the table: the filter and the current unit are the table's.
    QObject::connect(&frame, &CMainFrame::tableModeChanged, view,
                     [view, game](Game shown, bool on) {
                         if (shown == game && !on)
                             view->AdoptSharedFilter();
                     });
    return view;
}

QWidget* MakeUnitTable(CMainFrame& frame, CVarnelDoc& doc, Game game) {
    auto* table = new CUnitTableView(doc, game);
    table->openRequested = [&frame, &doc, game](int unit) {
        if (unit >= 0)
            doc.view(game).currentUnit = unit;
        frame.setTableMode(false);
    };
    auto activate = [table, game](Game shown) {
        if (shown == game)
            table->Activate();
    };
    QObject::connect(&frame, &CMainFrame::viewActivated, table, activate);
    QObject::connect(&frame, &CMainFrame::tableModeChanged, table, [activate](Game shown, bool on) {
        if (on)
            activate(shown);
    });
    QObject::connect(table, &CUnitTableView::listChanged, &frame, &CMainFrame::statusChanged);
    QObject::connect(table, &CUnitTableView::listChanged, &frame, &CMainFrame::updateCommandStates);
    return table;
}

} // namespace varnel
