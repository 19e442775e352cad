#include "views/view3.h"

#include "views/viewtext.h"

#include "ui_view3.h"

namespace varnel {

namespace {
constexpr const char* kIconsTitle = "Icons";
}

CView3::CView3(CVarnelDoc& doc, QWidget* parent)
    : CUnitView(doc, Game::Peg, parent), ui(std::make_unique<Ui::View3>()) {
    ui->setupUi(this);
    setUpForm();
}

CView3::~CView3() = default;

void CView3::showGameDisplays(int unit) {
    const CVarnelDoc& d = doc();
    if (unit < 0 || !d.peg() || static_cast<std::size_t>(unit) >= d.peg()->units.size()) {
        ui->byte54Label->clear();
        ui->byte67Label->clear();
        ui->airMissionLabel->clear();
        ui->iconsGroupBox->setTitle(viewtext::ascii(kIconsTitle));
        return;
    }
    const PegUnit& u = d.peg()->units[static_cast<std::size_t>(unit)];
    ui->byte54Label->setText(viewtext::ascii(PegBytes52To54Text(u)));
    ui->byte67Label->setText(viewtext::ascii(PegByte66Text(u)));
    ui->airMissionLabel->setText(viewtext::ascii(PegAirMissionText(u)));
    ui->iconsGroupBox->setTitle(viewtext::ascii(PegIconsTitle(u)));
}

} // namespace varnel
