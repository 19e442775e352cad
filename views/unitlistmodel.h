#pragma once
// The unit list of a form: the listed table indexes over the document's table of one game. The
// lines are made when the view asks for them, so a list of 65,535 units costs one int per line
// and always shows the table as it is now.

#include "app/varneldoc.h"

#include <QAbstractListModel>

#include <vector>

namespace varnel {

class UnitListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    // The item data role that carries a line's table index (also Qt::UserRole).
    static constexpr int kUnitIndexRole = Qt::UserRole;

    UnitListModel(const CVarnelDoc& doc, Game game, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display: "%d - %s  [%s  %s]" with the index, the name, the class code and the country name;
    // kUnitIndexRole: the table index.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Replaces the listed units (table indexes, in table order).
    void setUnits(std::vector<int> units);
    const std::vector<int>& units() const { return units_; }
    // The table index of line `row`, or -1 when there is no such line.
    int unitAt(int row) const;
    // The line that lists unit `unit`, or -1 (a binary search: lines are in table order).
    int rowOf(int unit) const;
    // Tells the list that the line of `unit` (if listed) has a new text.
    void unitChanged(int unit);
    // Tells the list that the lines of units first .. first + count - 1 may have new texts.
    void unitsChanged(std::size_t first, std::size_t count);
    // Tells the list that every line may have a new text (the names were read again).
    void allChanged();
    // The text of a unit's line, whether listed or not; empty outside the table.
    std::string lineText(int unit) const;

  private:
    const CVarnelDoc& doc_;
    Game game_;
    std::vector<int> units_;
};

} // namespace varnel
