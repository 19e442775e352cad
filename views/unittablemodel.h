#pragma once
// The units table's model: one row per listed unit (the shared filter, then the table's sort) and
// one column per row of the game's field catalogue, the code and the name first. Cells are made
// when the view asks for them, so a table of 65,535 units costs one int per row; every edit goes
// through the document's edit path.

#include "app/varneldoc.h"

#include <QAbstractTableModel>

#include <vector>

namespace varnel {

class UnitTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The columns that stay in place while the others scroll: the code and the name.
    static constexpr int kFixedColumns = 2;

    UnitTableModel(CVarnelDoc& doc, Game game, QObject* parent = nullptr);

    Game game() const { return game_; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display: the cell's text (check boxes none: CheckStateRole); Edit: a drop-down's position,
    // else the text; read-only rows greyed; numbers to the right.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Horizontal: the form's caption; the tooltip adds the field's tooltip and report column.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stores through the edit path; a refusal is reported by `refused` and changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const FieldDef& field(int column) const { return *columns_[static_cast<std::size_t>(column)]; }
    // The column of a field, or -1.
    int columnOf(const FieldDef& field) const;
    int unitAt(int row) const;
    // The row that shows `unit`, or -1.
    int rowOf(int unit) const;
    const std::vector<int>& units() const { return units_; }

    // Lists the units again: the document's shared filter, then the sort.
    void relist();
    // The values of units [first, first + count) may have changed.
    void unitsChanged(std::size_t first, std::size_t count);

  signals:
    void refused(const QString& message);

  private:
    CVarnelDoc& doc_;
    Game game_;
    std::vector<const FieldDef*> columns_;
    std::vector<int> units_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace varnel
