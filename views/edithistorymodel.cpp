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

namespace {

// The step's text, then what it changed, one indented line each.
QString stepText(const EditStep& step) {
    std::string text = step.text();
    std::size_t start = 0;
    const std::string& details = step.details();
    while (start < details.size()) {
        std::size_t end = details.find('\n', start);
        if (end == std::string::npos)
            end = details.size();
        text += "\n    ";
        text.append(details, start, end - start);
        start = end + 1;
    }
    return FromMessage(text);
}

} // namespace

QVariant EditHistoryModel::data(const QModelIndex& index, int role) const {
    const EditHistory& history = doc_.history(game_);
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row > history.count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (row == 0)
            return QStringLiteral("<as loaded>");
        return stepText(history.step(row - 1));
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
