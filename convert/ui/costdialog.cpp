#include "convert/ui/costdialog.h"

#include "app/bulkcommands.h"
#include "app/ui/text1252.h"
#include "base/format.h"

#include "ui_costdialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace varnel {

CCostDialog::CCostDialog(CVarnelDoc& doc, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CostDialog>()), doc_(doc) {
    ui->setupUi(this);
    for (int k = 1; k <= kCostDialogRows; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        checks_[i] = findChild<QCheckBox*>(QStringLiteral("countryCheckBox%1").arg(k));
        percents_[i] = findChild<QLineEdit*>(QStringLiteral("percentLineEdit%1").arg(k));
        Q_ASSERT(checks_[i] && percents_[i]);
        checks_[i]->setText(Verbatim(
            FromWindows1252(Format("%-2d %s", k, doc_.countries(Game::Peg).name(k).c_str()))));
        checks_[i]->setChecked(false);
        percents_[i]->setText(QString::number(kNoCostChange));
    }
    connect(ui->okButton, &QPushButton::clicked, this, &CCostDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CCostDialog::reject);
}

CCostDialog::~CCostDialog() = default;

void CCostDialog::accept() {
    CostChoices choices;
    for (int k = 1; k <= kCostDialogRows; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        bool whole = false;
        const int percent = percents_[i]->text().trimmed().toInt(&whole);
        if (!whole) {
            // Nothing has been changed yet: the user corrects the field and tries again.
            MessageBox(doc_.ui, "Please enter a whole number as the percentage of %d %s.", k,
                       doc_.countries(Game::Peg).name(k).c_str());
            percents_[i]->setFocus();
            percents_[i]->selectAll();
            return;
        }
        choices.enabled[static_cast<std::size_t>(k)] = checks_[i]->isChecked();
        choices.percent[static_cast<std::size_t>(k)] = percent;
    }
    unitsModified_ = doc_.globalCostModifier(choices);
    QDialog::accept();
}

} // namespace varnel
