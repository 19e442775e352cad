#include "reports/ui/iconsreportdialog.h"

#include "app/reportcommands.h"
#include "app/ui/text1252.h"
#include "base/format.h"

#include "ui_iconsreportdialog.h"

#include <QButtonGroup>
#include <QListWidget>
#include <QPushButton>

namespace varnel {

namespace {
constexpr int kCountRole = Qt::UserRole;
} // namespace

CIconsReportDialog::CIconsReportDialog(CVarnelDoc& doc, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::IconsReportDialog>()), doc_(doc),
      game_(doc.currentGame()) {
    ui->setupUi(this);
    auto* types = new QButtonGroup(this);
    types->addButton(ui->statInfoRadioButton, StatInfo);
    types->addButton(ui->repackRadioButton, Repack);
    ui->statInfoRadioButton->setChecked(true);

    // The core's order already is the report's (case-insensitive); the widget must not re-sort.
    const std::vector<IconUse> items = CollectUsedIcons(doc_, game_);
    for (const IconUse& use : items) {
        auto* item = new QListWidgetItem(FromWindows1252(use.text), ui->iconListWidget);
        item->setData(kCountRole, use.count);
    }
    ui->iconsUsedLabel->setText(
        QString::fromStdString(Format("%d Icons used", ui->iconListWidget->count())));
    if (ui->iconListWidget->count() > 0)
        ui->iconListWidget->setCurrentRow(0);
    showUsage();

    connect(ui->iconListWidget, &QListWidget::currentRowChanged, this,
            [this](int) { showUsage(); });
    connect(ui->reportButton, &QPushButton::clicked, this, &CIconsReportDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CIconsReportDialog::reject);
    ui->iconListWidget->setFocus();
}

CIconsReportDialog::~CIconsReportDialog() = default;

void CIconsReportDialog::showUsage() {
    const QListWidgetItem* item = ui->iconListWidget->currentItem();
    const int count = item ? item->data(kCountRole).toInt() : 0;
    ui->unitUseLabel->setText(QString::fromStdString(Format("Used by %d Units", count)));
}

void CIconsReportDialog::accept() {
    const int type = ui->repackRadioButton->isChecked() ? Repack : StatInfo;
    if (ui->iconListWidget->count() < 1) {
        QDialog::accept();
        return;
    }
    if (RunIconsReport(doc_, game_, type, true) == IconsReportResult::Failed)
        return;
    QDialog::accept();
}

} // namespace varnel
