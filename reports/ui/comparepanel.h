#pragma once
// The "Compare" panel: the units and fields in which the table shown differs from another E-File
// of the same game, the other file's value beside the current one. A click on a line shows that
// unit in the form; "Take Their Value" puts the other file's values of the selected lines into
// the table and "Take All" makes the table what the other file holds, each as one step of the
// edit history. The list follows every change of the table, undo included.

#include "app/compareandcheck.h"
#include "app/varneldoc.h"

#include <QDockWidget>

#include <memory>
#include <optional>

namespace Ui {
class ComparePanel;
}

namespace varnel {

class CompareModel;

class CComparePanel : public QDockWidget, public DocObserver {
    Q_OBJECT

  public:
    explicit CComparePanel(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CComparePanel() override;

    // Compares the document's table of `other.game` with `other`, lists what differs and shows
    // the panel.
    void compareWith(OtherEFile other);
    // What the panel lists; empty before the first comparison.
    const TableComparison& comparison() const { return comparison_; }
    // The game compared, while there is a comparison.
    std::optional<Game> game() const;

    // The buttons.
    void takeSelected();
    void takeAll();

    void refreshAllViews() override;
    void documentChanged(const DocChange& change) override;

  signals:
    // A line was clicked: show this unit of this game.
    void unitChosen(varnel::Game game, int unit);

  private:
    void recompare();
    // The comparison as it stands, in the list and the summary.
    void showComparison();
    void updateButtons();

    std::unique_ptr<Ui::ComparePanel> ui;
    CVarnelDoc& doc_;
    std::optional<OtherEFile> other_;
    TableComparison comparison_;
    CompareModel* model_ = nullptr;
};

} // namespace varnel
