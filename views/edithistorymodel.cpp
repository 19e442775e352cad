#include "views/edithistorymodel.h"

#include "views/viewtext.h"

#include <QBrush>
#include <QFont>
#include <QPalette>

namespace varnel {

EditHistoryModel::EditHistoryModel(const CVarnelDoc& doc, QObject* parent)
    : QAbstractListModel(parent), doc_(doc) {}

void EditHistoryModel::setGame(Game game) {
    if (game == game_)
        return;
    game_ = game;
    reset();
}

void EditHistoryModel::reset() {
    beginResetModel();
    endResetModel();
}

int EditHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(doc_.history(game_).count() + 1);
}

QVariant EditHistoryModel::data(const QModelIndex& index, int role) const {
    const EditHistory& history = doc_.history(game_);
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row > history.count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return row == 0 ? QStringLiteral("<as loaded>") : FromMessage(history.step(row - 1).text());
    case Qt::ForegroundRole:
        // The steps after the position are undone: redo would take them.
        if (row > history.index())
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        return {};
    case Qt::FontRole:
        if (row == history.index()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

} // namespace varnel
