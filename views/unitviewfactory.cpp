#include "views/unitviewfactory.h"

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
        if (doc.currentGame == game)
            view->CommitPendingEdit();
    });
    QObject::connect(view, &CUnitView::listChanged, &frame, &CMainFrame::statusChanged);
    return view;
}

} // namespace varnel
