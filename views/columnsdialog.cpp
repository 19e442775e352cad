#include "views/columnsdialog.h"

#include "ui_columnsdialog.h"

#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <string_view>

namespace varnel {

bool IsCombatValue(const FieldDef& field) {
    // Both games' names: PeG's close combat value has two rows, and only PG2 has an initiative.
    static constexpr std::string_view kNames[] = {
        "airAtk",    "airDef",  "closeDef",    "closeAtkDef", "closeAtkDef2",
        "groundDef", "hardAtk", "heloAtk",     "initiativa",  "navalAtk",
        "gunRange",  "range",   "rangeDefMod", "indirectDef", "softAtk"};
    return !field.readOnly &&
           std::find(std::begin(kNames), std::end(kNames), field.name) != std::end(kNames);
}

CColumnsDialog::CColumnsDialog(std::vector<ColumnChoice> columns, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ColumnsDialog>()), columns_(std::move(columns)) {
    ui->setupUi(this);
    fillList();
    connect(ui->allButton, &QPushButton::clicked, this, [this] { applyPreset(Preset::All); });
    connect(ui->formFieldsButton, &QPushButton::clicked, this,
            [this] { applyPreset(Preset::FormFields); });
    connect(ui->combatValuesButton, &QPushButton::clicked, this,
            [this] { applyPreset(Preset::CombatValues); });
    connect(ui->formOrderButton, &QPushButton::clicked, this, [this] { restoreFormOrder(); });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CColumnsDialog::~CColumnsDialog() = default;

void CColumnsDialog::fillList() {
    ui->columnsListWidget->clear();
    for (const ColumnChoice& c : columns_) {
        auto* item = new QListWidgetItem(c.caption, ui->columnsListWidget);
        item->setData(Qt::UserRole, c.column);
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (!c.locked)
            flags |= Qt::ItemIsUserCheckable;
        item->setFlags(flags);
        item->setCheckState(c.shown || c.locked ? Qt::Checked : Qt::Unchecked);
    }
}

void CColumnsDialog::readBoxes() {
    for (int row = 0; row < ui->columnsListWidget->count(); ++row) {
        ColumnChoice& c = columns_[static_cast<std::size_t>(row)];
        c.shown = c.locked || ui->columnsListWidget->item(row)->checkState() == Qt::Checked;
    }
}

std::vector<ColumnChoice> CColumnsDialog::choices() const {
    std::vector<ColumnChoice> chosen = columns_;
    for (int row = 0; row < ui->columnsListWidget->count(); ++row) {
        ColumnChoice& c = chosen[static_cast<std::size_t>(row)];
        c.shown = c.locked || ui->columnsListWidget->item(row)->checkState() == Qt::Checked;
    }
    return chosen;
}

void CColumnsDialog::applyPreset(Preset preset) {
    for (int row = 0; row < ui->columnsListWidget->count(); ++row) {
        const ColumnChoice& c = columns_[static_cast<std::size_t>(row)];
        bool on = true;
        if (preset == Preset::FormFields)
            on = c.formField;
        else if (preset == Preset::CombatValues)
            on = c.combatValue;
        ui->columnsListWidget->item(row)->setCheckState(on || c.locked ? Qt::Checked
                                                                       : Qt::Unchecked);
    }
}

void CColumnsDialog::restoreFormOrder() {
    readBoxes();
    std::stable_sort(
        columns_.begin(), columns_.end(),
        [](const ColumnChoice& a, const ColumnChoice& b) { return a.column < b.column; });
    fillList();
}

} // namespace varnel
