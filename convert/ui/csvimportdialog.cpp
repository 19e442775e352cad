#include "convert/ui/csvimportdialog.h"

#include "app/ui/text1252.h"
#include "base/format.h"
#include "equip/efile.h"

#include "ui_csvimportdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace varnel {

CCsvImportDialog::CCsvImportDialog(CVarnelDoc& doc, CsvImportSource source, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::CsvImportDialog>()), doc_(doc),
      game_(doc.currentGame()), source_(std::move(source)) {
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Import %1 units from CSV").arg(QLatin1String(GameName(game_))));
    ui->fileLabel->setText(Verbatim(FromPath(source_.path)));
    connect(ui->appendCheckBox, &QCheckBox::toggled, this, [this] { preview(); });
    connect(ui->applyButton, &QPushButton::clicked, this, &CCsvImportDialog::accept);
    connect(ui->skipRefusedButton, &QPushButton::clicked, this,
            &CCsvImportDialog::applyWithoutRefused);
    connect(ui->cancelButton, &QPushButton::clicked, this, &CCsvImportDialog::reject);
    preview();
}

CCsvImportDialog::~CCsvImportDialog() = default;

void CCsvImportDialog::preview() {
    const CsvImportOptions options{.append = ui->appendCheckBox->isChecked()};
    std::string text;
    std::size_t changes = 0, units = 0, added = 0, refused = 0;
    withoutRefused_.reset();
    skipped_ = 0;
    auto show = [&](const auto& table) {
        const auto plan = PlanCsvImport(table, source_.file, options);
        changes = plan.changes.size();
        units = plan.changedUnits.size();
        added = plan.appended.count();
        refused = plan.refusals.size();
        text = CsvPlanSummary(plan, table, kCsvPreviewLines);
        if (refused == 0)
            return;
        std::vector<std::size_t> skipped;
        auto rest = WithoutRefusedRows(table, source_.file, options, skipped);
        if (rest && !PlanCsvImport(table, *rest, options).empty()) {
            withoutRefused_ = std::move(rest);
            skipped_ = skipped.size();
        }
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
    const std::string names =
        NamesSaveNote(NamesPathFor(doc_.settings().textSuffix, doc_.settings().eFile(game_)),
                      doc_.unitCount(game_));
    if (!names.empty())
        summary += QLatin1Char(' ') + FromPath(names);
    ui->summaryLabel->setText(summary);
    ui->previewTextEdit->setPlainText(
        QString::fromUtf8(rest.data(), static_cast<int>(rest.size())));
    highlightProblems();
    ui->applyButton->setEnabled(refused == 0 && (changes != 0 || added != 0));
    ui->skipRefusedButton->setEnabled(withoutRefused_.has_value());
}

void CCsvImportDialog::highlightProblems() {
    // Refused lines red, warnings yellow: the eye finds them among thousands of changes.
    QList<QTextEdit::ExtraSelection> marks;
    for (QTextBlock block = ui->previewTextEdit->document()->begin(); block.isValid();
         block = block.next()) {
        QColor colour;
        if (block.text().startsWith(QStringLiteral("refused: ")))
            colour = QColor(255, 210, 210);
        else if (block.text().startsWith(QStringLiteral("warning: ")))
            colour = QColor(255, 240, 190);
        else
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(colour);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    ui->previewTextEdit->setExtraSelections(marks);
}

void CCsvImportDialog::accept() {
    apply(source_.file, 0);
}

void CCsvImportDialog::applyWithoutRefused() {
    if (!withoutRefused_)
        return;
    const CsvFile rest = *withoutRefused_;
    apply(rest, skipped_);
}

bool CCsvImportDialog::apply(const CsvFile& file, std::size_t skipped) {
    const CsvImportOptions options{.append = ui->appendCheckBox->isChecked()};
    const auto outcome = doc_.importCsv(game_, file, options);
    if (!outcome.applied) {
        // The table changed under the preview: show what the file does now.
        preview();
        return false;
    }
    applied_ = true;
    std::string said = Format("Imported from %s:\n%d fields changed in %d units, %d units added",
                              source_.path.c_str(), static_cast<int>(outcome.changes),
                              static_cast<int>(outcome.units), static_cast<int>(outcome.added));
    if (skipped != 0)
        said += Format("\n%d rows with a refused cell were left out", static_cast<int>(skipped));
    doc_.ui.information(said);
    QDialog::accept();
    return true;
}

} // namespace varnel
