#include "convert/ui/csvimportdialog.h"

#include "app/ui/text1252.h"
#include "base/format.h"

#include "ui_csvimportdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace varnel {

CCsvImportDialog::CCsvImportDialog(CVarnelDoc& doc, CsvImportSource source, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CsvImportDialog>()), doc_(doc),
      game_(doc.currentGame), source_(std::move(source)) {
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Import %1 units from CSV").arg(QLatin1String(GameName(game_))));
    ui->fileLabel->setText(Verbatim(FromPath(source_.path)));
    connect(ui->appendCheckBox, &QCheckBox::toggled, this, [this] { preview(); });
    connect(ui->applyButton, &QPushButton::clicked, this, &CCsvImportDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CCsvImportDialog::reject);
    preview();
}

CCsvImportDialog::~CCsvImportDialog() = default;

void CCsvImportDialog::preview() {
    const CsvImportOptions options{.append = ui->appendCheckBox->isChecked()};
    std::string text;
    std::size_t changes = 0, units = 0, added = 0, refused = 0;
    auto show = [&](const auto& table) {
        const auto plan = PlanCsvImport(table, source_.file, options);
        changes = plan.changes.size();
        units = plan.changedUnits.size();
        added = plan.appended.count();
        refused = plan.refusals.size();
        text = CsvPlanSummary(plan, table, kCsvPreviewLines);
    };
    if (game_ == Game::Pg2 && doc_.pg2())
        show(*doc_.pg2());
    else if (game_ == Game::Peg && doc_.peg())
        show(*doc_.peg());
    // The summary's first line is the counts; the label says them in words.
    const std::size_t firstLine = text.find('\n');
    const std::string rest =
        firstLine == std::string::npos ? std::string() : text.substr(firstLine + 1);
    QString summary = QStringLiteral("%1 fields change in %2 units; %3 new units.")
                          .arg(changes)
                          .arg(units)
                          .arg(added);
    if (refused != 0)
        summary += QStringLiteral(" %1 refused: nothing can be applied until the file is "
                                  "corrected.")
                       .arg(refused);
    else if (changes == 0 && added == 0)
        summary += QStringLiteral(" Nothing would change.");
    ui->summaryLabel->setText(summary);
    ui->previewTextEdit->setPlainText(
        QString::fromUtf8(rest.data(), static_cast<int>(rest.size())));
    ui->applyButton->setEnabled(refused == 0 && (changes != 0 || added != 0));
}

void CCsvImportDialog::accept() {
    const CsvImportOptions options{.append = ui->appendCheckBox->isChecked()};
    const auto outcome = doc_.importCsv(game_, source_.file, options);
    if (!outcome.applied) {
        // The table changed under the preview: show what the file does now.
        preview();
        return;
    }
    applied_ = true;
    MessageBox(doc_.ui, "Imported from %s:\n%d fields changed in %d units, %d units added",
               source_.path.c_str(), static_cast<int>(outcome.changes),
               static_cast<int>(outcome.units), static_cast<int>(outcome.added));
    QDialog::accept();
}

} // namespace varnel
