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
    return view;
}

} // namespace varnel
