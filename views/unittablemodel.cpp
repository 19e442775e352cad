#include "views/unittablemodel.h"

#include "app/table/tablecells.h"
#include "views/viewtext.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>

#include <algorithm>

namespace varnel {

UnitTableModel::UnitTableModel(CVarnelDoc& doc, Game game, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc), game_(game) {
    const FieldDef* code = nullptr;
    const FieldDef* name = nullptr;
    for (const FieldDef& f : FieldTable(game)) {
        if (f.kind == FieldKind::Code)
            code = &f;
        else if (f.kind == FieldKind::Name)
            name = &f;
    }
    columns_.push_back(code);
    columns_.push_back(name);
    for (const FieldDef& f : FieldTable(game))
        if (&f != code && &f != name)
            columns_.push_back(&f);
}

int UnitTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(units_.size());
}

int UnitTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

int UnitTableModel::unitAt(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < units_.size()
               ? units_[static_cast<std::size_t>(row)]
               : -1;
}

int UnitTableModel::rowOf(int unit) const {
    const auto it = std::find(units_.begin(), units_.end(), unit);
    return it == units_.end() ? -1 : static_cast<int>(it - units_.begin());
}

int UnitTableModel::columnOf(const FieldDef& field) const {
    const auto it = std::find(columns_.begin(), columns_.end(), &field);
    return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

QVariant UnitTableModel::data(const QModelIndex& index, int role) const {
    const int unit = unitAt(index.row());
    if (unit < 0 || static_cast<std::size_t>(unit) >= doc_.unitCount(game_) || index.column() < 0 ||
        index.column() >= columnCount())
        return {};
    const FieldDef& f = field(index.column());
    const auto u = static_cast<std::size_t>(unit);
    switch (role) {
    case Qt::DisplayRole:
        if (IsCheckField(f))
            return {};
        return viewtext::toQString(doc_.formatField(game_, u, f, FieldStyle::Cell));
    case Qt::EditRole:
        if (IsListField(f))
            return doc_.readField(game_, u, f).stored;
        if (IsCheckField(f))
            return {};
        return viewtext::toQString(doc_.formatField(game_, u, f));
    case Qt::CheckStateRole:
        if (!IsCheckField(f))
            return {};
        return QVariant(doc_.readField(game_, u, f).stored != 0 ? Qt::Checked : Qt::Unchecked);
    case Qt::TextAlignmentRole:
        if (IsTextField(f) || IsListField(f))
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (f.readOnly)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::BackgroundRole:
        // The code marks a changed unit; other cells their own change.
        if (f.kind == FieldKind::Code ? doc_.unitChanged(game_, u) : doc_.fieldChanged(game_, u, f))
            return QBrush(viewtext::changedTint());
        if (f.readOnly)
            return QApplication::palette().brush(QPalette::Window);
        return {};
    default:
        return {};
    }
}

QVariant UnitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const FieldDef& f = field(section);
    if (role == Qt::DisplayRole) {
        if (f.kind == FieldKind::Code)
            return QStringLiteral("Code");
        return viewtext::ascii(std::string(f.label));
    }
    if (role == Qt::ToolTipRole) {
        QString tip =
            *f.tooltip ? QString::fromLatin1(f.tooltip) : viewtext::ascii(std::string(f.label));
        if (*f.report)
            tip += QStringLiteral("\nReport column: ") + viewtext::ascii(f.report);
        if (f.readOnly)
            tip += QStringLiteral("\nRead-only");
        return tip;
    }
    return {};
}

Qt::ItemFlags UnitTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return flags;
    const FieldDef& f = field(index.column());
    if (f.readOnly)
        return flags;
    if (IsCheckField(f))
        return flags | Qt::ItemIsUserCheckable;
    return flags | Qt::ItemIsEditable;
}

bool UnitTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int unit = unitAt(index.row());
    if (unit < 0 || !index.isValid())
        return false;
    const FieldDef& f = field(index.column());
    std::optional<std::string> shown;
    QString refusal;
    if (role == Qt::CheckStateRole && IsCheckField(f)) {
        shown.emplace(1, value.toInt() == Qt::Checked ? '1' : '0');
    } else if (role == Qt::EditRole && IsListField(f) && value.typeId() == QMetaType::Int) {
        shown = std::to_string(value.toInt());
    } else if (role == Qt::EditRole) {
        shown = viewtext::toBytes(value.toString());
        if (!shown)
            refusal = Windows1252Refusal(value.toString());
    } else {
        return false;
    }
    if (!shown) {
        emit refused(refusal);
        return false;
    }
    const FieldResult result = doc_.setField(game_, static_cast<std::size_t>(unit), f, *shown);
    if (!result.ok) {
        emit refused(viewtext::toQString(result.message));
        // The cell shows the stored value again.
        emit dataChanged(index, index);
        return false;
    }
    return true;
}

void UnitTableModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    if (column < 0 || column >= columnCount() || !doc_.hasTable(game_))
        return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> units;
    units.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        units.push_back(unitAt(index.row()));
    doc_.sortUnits(game_, field(column), order == Qt::AscendingOrder, units_);
    // The selection and the current cell stay on their units.
    std::vector<int> rowOfUnit(doc_.unitCount(game_), -1);
    for (std::size_t row = 0; row < units_.size(); ++row)
        rowOfUnit[static_cast<std::size_t>(units_[row])] = static_cast<int>(row);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
        const int u = units[static_cast<std::size_t>(k)];
        after.push_back(u < 0 ? QModelIndex()
                              : index(rowOfUnit[static_cast<std::size_t>(u)], before[k].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void UnitTableModel::relist() {
    beginResetModel();
    units_ = doc_.filterUnits(game_, doc_.view(game_).filter);
    if (sortColumn_ >= 0 && sortColumn_ < columnCount() && doc_.hasTable(game_))
        doc_.sortUnits(game_, field(sortColumn_), sortOrder_ == Qt::AscendingOrder, units_);
    endResetModel();
}

void UnitTableModel::unitsChanged(std::size_t first, std::size_t count) {
    (void)first;
    (void)count;
    // The rows are in any order: the view repaints only the cells in sight.
    if (!units_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

} // namespace varnel
