#pragma once
// The preview of "Import from CSV...": what the file would change (each unit and field, old ->
// new), the units it would add and every cell it refuses, before anything changes; refusals
// lead, highlighted, then the warnings. "Apply" makes the import one step of the document's
// history; it stays disabled while a cell is refused or nothing would change. "Apply Without
// Refused Rows" leaves the rows with a refused cell out and applies the others as one step; it
// is enabled only when something is refused, no refusal concerns the whole file, and the other
// rows change something. The check box lets rows past the last unit add units.

#include "app/csvcommands.h"
#include "app/varneldoc.h"

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class CsvImportDialog;
}

namespace varnel {

// At most this many change lines, and as many refusals, are listed; the counts above them are
// always whole.
inline constexpr std::size_t kCsvPreviewLines = 5000;

class CCsvImportDialog : public QDialog {
    Q_OBJECT

  public:
    // Previews `source` against the table of the document's current game.
    CCsvImportDialog(CVarnelDoc& doc, CsvImportSource source, QWidget* parent = nullptr);
    ~CCsvImportDialog() override;

    // Whether Apply changed the table.
    bool applied() const { return applied_; }

    // Applies the import as one step and closes; says what it did.
    void accept() override;

  private:
    void preview();
    // Applies `file` as one step and closes, saying what changed and how many rows (`skipped`)
    // were left out; false when it did not apply.
    bool apply(const CsvFile& file, std::size_t skipped);
    void applyWithoutRefused();
    void highlightProblems();

    std::unique_ptr<Ui::CsvImportDialog> ui;
    CVarnelDoc& doc_;
    Game game_;
    CsvImportSource source_;
    std::optional<CsvFile> withoutRefused_; // the rows that apply when the refused are left out
    std::size_t skipped_ = 0;               // how many rows that leaves out
    bool applied_ = false;
};

} // namespace varnel
