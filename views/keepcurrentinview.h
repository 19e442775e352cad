#pragma once
// Keeps an item view's current item in sight when its viewport shrinks (a docked panel opening,
// the window made smaller), as long as the item was in sight before; a view the user scrolled
// away from the current item stays where it is.

#include <QObject>

class QAbstractItemView;

namespace varnel {

class KeepCurrentInView : public QObject {
  public:
    // Watches `view`'s viewport; owned by the view.
    explicit KeepCurrentInView(QAbstractItemView* view);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAbstractItemView* view_;
    QObject* viewport_; // compared, never called: it may outlive the view's own parts
};

} // namespace varnel
