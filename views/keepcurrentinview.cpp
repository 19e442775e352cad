#include "views/keepcurrentinview.h"

#include <QAbstractItemView>
#include <QResizeEvent>

namespace varnel {

KeepCurrentInView::KeepCurrentInView(QAbstractItemView* view)
    : QObject(view), view_(view), viewport_(view->viewport()) {
    viewport_->installEventFilter(this);
}

bool KeepCurrentInView::eventFilter(QObject* watched, QEvent* event) {
    // The viewport's other events come while the view is being destroyed too: nothing of the
    // view is touched before the event is known to be a resize of the viewport.
    if (event->type() == QEvent::Resize && watched == viewport_) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        const QModelIndex current = view_->currentIndex();
        if (current.isValid()) {
            // Rows only: the columns the user scrolled to stay.
            const QRect item = view_->visualRect(current);
            const bool seenBefore = item.bottom() >= 0 && item.top() < resize->oldSize().height();
            const bool seenAfter = item.top() >= 0 && item.bottom() < resize->size().height();
            if (seenBefore && !seenAfter)
                view_->scrollTo(current);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace varnel
