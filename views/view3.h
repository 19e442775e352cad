#pragma once
// CView3: the PeG unit form. Beyond the PG2 form: the limit of four iconed options (refused by
// the field table) with their count in the group title, two boxes for the one close
// attack/defence byte, three read-only displays of otherwise unnamed bytes, and a movement icon.

#include "views/unitview.h"

#include <memory>

namespace Ui {
class View3;
}

namespace varnel {

class CView3 : public CUnitView {
    Q_OBJECT

  public:
    // The PeG form over `doc`; registers as the PeG view and shows the document's PeG data.
    explicit CView3(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CView3() override;

  protected:
    void showGameDisplays(int unit) override;
    bool reloadAlwaysAsks() const override { return true; }

  private:
    std::unique_ptr<Ui::View3> ui;
};

} // namespace varnel
