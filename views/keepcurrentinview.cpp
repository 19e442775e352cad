#include "views/keepcurrentinview.h"

#include <QAbstractItemView>
#include <QResizeEvent>

namespace varnel {

KeepCurrentInView::KeepCurrentInView(QAbstractItemView* view) : QObject(view), view_(view) {
    view->viewport()->installEventFilter(this);
}

bool KeepCurrentInView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::Resize) {
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
