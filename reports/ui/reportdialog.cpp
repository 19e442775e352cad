#include "reports/ui/reportdialog.h"

#include "app/reportcommands.h"

#include "ui_reportdialog.h"

#include <QButtonGroup>
#include <QPushButton>

namespace varnel {

CReportDialog::CReportDialog(CVarnelDoc& doc, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ReportDialog>()), doc_(doc) {
    ui->setupUi(this);
    // The two radio groups sit in different frames: each needs its own exclusive group.
    auto* games = new QButtonGroup(this);
    games->addButton(ui->pg2RadioButton);
    games->addButton(ui->pegRadioButton);
    auto* formats = new QButtonGroup(this);
    formats->addButton(ui->fullTableRadioButton, FullTable);
    formats->addButton(ui->briefTableRadioButton, BriefTable);
    formats->addButton(ui->simpleListRadioButton, SimpleList);

    if (doc_.currentGame() == Game::Peg) {
        ui->pegRadioButton->setChecked(true);
        ui->simpleListRadioButton->setChecked(true);
    } else {
        ui->pg2RadioButton->setChecked(true);
        ui->briefTableRadioButton->setChecked(true);
    }
    ui->launchEditorCheckBox->setChecked(true);

    connect(ui->okButton, &QPushButton::clicked, this, &CReportDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CReportDialog::reject);
}

CReportDialog::~CReportDialog() = default;

Game CReportDialog::game() const {
    return ui->pegRadioButton->isChecked() ? Game::Peg : Game::Pg2;
}

int CReportDialog::format() const {
    if (ui->fullTableRadioButton->isChecked())
        return FullTable;
    if (ui->simpleListRadioButton->isChecked())
        return SimpleList;
    return BriefTable;
}

bool CReportDialog::launchEditor() const {
    return ui->launchEditorCheckBox->isChecked();
}

void CReportDialog::accept() {
    const Game chosenGame = game();
    const int chosenFormat = format();
    const bool launch = launchEditor();
    QDialog::accept();
    RunEquipmentReport(doc_, chosenGame, chosenFormat, launch);
}

} // namespace varnel
