#pragma once
// The units table's "Columns" dialog: a check box per column in the order the table shows them,
// the presets All, Form fields and Combat values, and the form's order back. OK hands the choice
// to the table; Cancel changes nothing.

#include "equip/fieldtable.h"

#include <QDialog>

#include <memory>
#include <vector>

class QListWidgetItem;

namespace Ui {
class ColumnsDialog;
}

namespace varnel {

struct ColumnChoice {
    int column = 0; // the table model's column; that order is the form's
    QString caption;
    bool shown = true;
    bool locked = false; // always shown: the code, which names the row
    bool formField = false;
    bool combatValue = false;
};

// The fields the "Combat values" preset shows: attack, defence, initiative and range.
bool IsCombatValue(const FieldDef& field);

class CColumnsDialog : public QDialog {
    Q_OBJECT

  public:
    enum class Preset { All, FormFields, CombatValues };

    // `columns` in the order the table shows them.
    explicit CColumnsDialog(std::vector<ColumnChoice> columns, QWidget* parent = nullptr);
    ~CColumnsDialog() override;

    // The columns in the order chosen, each with its box as ticked.
    std::vector<ColumnChoice> choices() const;
    // Ticks the preset's columns and clears the others (a locked column stays ticked).
    void applyPreset(Preset preset);
    // Lists the columns in the form's order again.
    void restoreFormOrder();

  private:
    void fillList();
    // Takes the boxes' state back into columns_.
    void readBoxes();

    std::unique_ptr<Ui::ColumnsDialog> ui;
    std::vector<ColumnChoice> columns_;
};

} // namespace varnel
