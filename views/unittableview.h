#pragma once
// CUnitTableView: the units table of one game, every unit and every field side by side. The
// code and name columns stay in place (a second view beside the scrolling one, over the same
// model and selection) while the others scroll. Above it the shared filter: the country and
// class filters and the name search, the same filter the form's list uses. Cells edit in place
// through the edit path; a selection takes "Set Value...", "Scale by %...", copy and paste, each
// one undo step. The scrolling columns can be dragged into another order; hidden columns, their
// order and widths are kept in the settings store per game.

#include "app/varneldoc.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace varnel {

struct TableCell;
class UnitTableModel;

class CUnitTableView : public QWidget, public DocObserver {
    Q_OBJECT

  public:
    CUnitTableView(CVarnelDoc& doc, Game game, QWidget* parent = nullptr);
    ~CUnitTableView() override;
    CUnitTableView(const CUnitTableView&) = delete;
    CUnitTableView& operator=(const CUnitTableView&) = delete;

    Game game() const { return game_; }
    UnitTableModel& model() { return *model_; }
    // The scrolling view and the view of the code and name columns.
    QTableView* tableView() const { return table_; }
    QTableView* fixedView() const { return fixed_; }

    // Asked when the user opens a unit from the code column (a double click or Enter).
    std::function<void(int unit)> openRequested;

    // The table became the shown page: the filter controls take the shared filter, the rows are
    // listed again and the current row is the unit of the document's view slot.
    void Activate();
    // Makes `unit` the current row, scrolled into sight; a filter that leaves it out is lifted.
    void ShowUnitAt(int unit);
    // The commands over the selected cells.
    void SetValue();
    void ScaleByPercent();
    // Adds a signed amount to every selected cell, as one step (costs on their steps, rounded).
    void AddAmount();
    void CopySelection();
    void PasteBlock();
    // Shows or hides a column (not the code), and keeps the choice.
    void setColumnShown(int column, bool shown);
    bool isColumnShown(int column) const;
    // The "Columns" dialog: which columns show, by box or preset, and the form's order back.
    void ChooseColumns();
    // Shows or hides the bytes the form does not name, all together, and keeps the choice.
    void setUnnamedShown(bool shown);
    bool unnamedShown() const { return unnamedShown_; }

    void refreshAllViews() override;
    void historyChanged(Game game) override;
    void documentChanged(const DocChange& change) override;

  signals:
    // The listed rows changed: the status bar's count follows.
    void listChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QTableView* viewOf(int column) const;
    void fillFilterLists();
    void filterControlsChanged();
    void relist();
    void selectUnit(int unit);
    void currentRowChanged();
    void sortBy(QTableView* view, int column, Qt::SortOrder order);
    void updateFixedWidth();
    // The fixed view shows the rows the scrolling view shows, at the same heights.
    void alignRows();
    void alignHeaders();
    void showHeaderMenu(QTableView* view, const QPoint& at);
    void showRefusal(const QString& message);
    // A passing message in the window's status bar.
    void showStatus(const QString& text);
    // Adds whole rows (Horizontal) or whole columns (Vertical) through the selected cells.
    void selectWhole(Qt::Orientation orientation);
    // Every column in the order shown, hidden ones included.
    std::vector<int> columnOrder() const;
    // The visible columns in the order shown.
    std::vector<int> shownColumns() const;
    // Where a column stands in the order shown: the code and name first, then the scrolling
    // columns as dragged.
    int orderKey(int column) const;
    // Puts the scrolling columns in this order; columns it leaves out follow in the form's order.
    void setScrollingOrder(const std::vector<int>& columns);
    std::vector<TableCell> selectedCells() const;
    void loadColumnSettings();
    void saveColumnSettings();

    CVarnelDoc& doc_;
    Game game_;
    std::unique_ptr<UnitTableModel> model_;
    QTableView* fixed_ = nullptr;
    QTableView* table_ = nullptr;
    QComboBox* countryFilter_ = nullptr;
    QComboBox* classFilter_ = nullptr;
    QLineEdit* find_ = nullptr;
    QComboBox* where_ = nullptr;
    QLabel* whereError_ = nullptr;
    QAction* setValueAction_ = nullptr;
    QAction* scaleAction_ = nullptr;
    QAction* addAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* columnsAction_ = nullptr;
    bool settingRow_ = false;
    bool aligningRows_ = false;
    bool movingColumns_ = false;
    bool unnamedShown_ = false;
};

} // namespace varnel
