#include "views/view2.h"

#include "ui_view2.h"

namespace varnel {

CView2::CView2(CVarnelDoc& doc, QWidget* parent)
    : CUnitView(doc, Game::Pg2, parent), ui(std::make_unique<Ui::View2>()) {
    ui->setupUi(this);
    // "Mountain" is exchanged with the form like every switch, but the game does not use it.
    ui->mountainCheckBox->hide();
    setUpForm();
}

CView2::~CView2() = default;

bool CView2::maySwitch() const {
    return CUnitView::maySwitch() &&
           static_cast<std::size_t>(currentUnit()) <= doc().unitCount(Game::Peg);
}

} // namespace varnel
