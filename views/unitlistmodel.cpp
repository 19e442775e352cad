#include "views/unitlistmodel.h"

#include "equip/vocabulary.h"
#include "views/viewtext.h"

#include <QBrush>

#include <algorithm>

namespace varnel {

UnitListModel::UnitListModel(const CVarnelDoc& doc, Game game, QObject* parent)
    : QAbstractListModel(parent), doc_(doc), game_(game) {}

int UnitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(units_.size());
}

std::string UnitListModel::lineText(int unit) const {
    if (unit < 0)
        return {};
    const auto name = doc_.unitName(game_, static_cast<std::size_t>(unit));
    if (!name)
        return {};
    const auto i = static_cast<std::size_t>(unit);
    const std::string code = ClassCodes(game_).text(doc_.unitClass(game_, i));
    const std::string& country = doc_.countries(game_).name(doc_.unitCountry(game_, i));
    // "%d - %s  [%s  %s]", put together without printf so that a name keeps every byte.
    std::string line = std::to_string(unit);
    line.reserve(line.size() + name->size() + code.size() + country.size() + 9);
    line += " - ";
    line += *name;
    line += "  [";
    line += code;
    line += "  ";
    line += country;
    line += ']';
    return line;
}

QVariant UnitListModel::data(const QModelIndex& index, int role) const {
    const int unit = index.isValid() ? unitAt(index.row()) : -1;
    if (unit < 0)
        return {};
    if (role == Qt::DisplayRole)
        return viewtext::toQString(lineText(unit));
    if (role == kUnitIndexRole)
        return unit;
    if (role == Qt::BackgroundRole && doc_.unitChanged(game_, static_cast<std::size_t>(unit)))
        return QBrush(viewtext::changedTint());
    return {};
}

void UnitListModel::setUnits(std::vector<int> units) {
    beginResetModel();
    units_ = std::move(units);
    endResetModel();
}

int UnitListModel::unitAt(int row) const {
    if (row < 0 || row >= static_cast<int>(units_.size()))
        return -1;
    const int unit = units_[static_cast<std::size_t>(row)];
    // A table shrunk by a command before the list was refilled: no line for the lost units.
    return static_cast<std::size_t>(unit) < doc_.unitCount(game_) ? unit : -1;
}

int UnitListModel::rowOf(int unit) const {
    const auto it = std::lower_bound(units_.begin(), units_.end(), unit);
    if (it == units_.end() || *it != unit)
        return -1;
    return static_cast<int>(it - units_.begin());
}

void UnitListModel::allChanged() {
    if (!units_.empty())
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}

void UnitListModel::unitsChanged(std::size_t first, std::size_t count) {
    // The rows listed are in unit order: the units of the range are one run of rows.
    const auto from = std::lower_bound(units_.begin(), units_.end(), static_cast<long long>(first),
                                       [](int u, long long v) { return u < v; });
    const auto to = std::lower_bound(from, units_.end(), static_cast<long long>(first + count),
                                     [](int u, long long v) { return u < v; });
    if (from != to)
        emit dataChanged(index(static_cast<int>(from - units_.begin())),
                         index(static_cast<int>(to - units_.begin()) - 1), {Qt::DisplayRole});
}

void UnitListModel::unitChanged(int unit) {
    const int row = rowOf(unit);
    if (row >= 0)
        emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

} // namespace varnel
