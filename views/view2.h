#pragma once
// CView2: the PG2 unit form.

#include "views/unitview.h"

#include <memory>

namespace Ui {
class View2;
}

namespace varnel {

class CView2 : public CUnitView {
    Q_OBJECT

  public:
    // The PG2 form over `doc`; registers as the PG2 view and shows the document's PG2 data.
    explicit CView2(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CView2() override;

  protected:
    bool maySwitch() const override;

  private:
    std::unique_ptr<Ui::View2> ui;
};

} // namespace varnel
