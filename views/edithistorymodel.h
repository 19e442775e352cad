#pragma once
// The "Edit History" panel's list: line 0 is the table as loaded, line n the state after step n
// of the shown game's history. The current line is where the history stands; the lines after it
// are the steps that redo would take.

#include "app/varneldoc.h"

#include <QAbstractListModel>

namespace varnel {

class EditHistoryModel : public QAbstractListModel {
    Q_OBJECT

  public:
    EditHistoryModel(const CVarnelDoc& doc, QObject* parent = nullptr);

    // The game whose history is listed.
    void setGame(Game game);
    Game game() const { return game_; }
    // The history changed: lines added, dropped or moved past.
    void reset();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display: "<as loaded>" or the step's text; the line where the history stands in bold, the
    // undone steps after it in grey.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const CVarnelDoc& doc_;
    Game game_ = Game::Pg2;
};

} // namespace varnel
