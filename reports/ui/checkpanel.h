#pragma once
// The "Check Catalogue" panel: each finding of the check of the table shown, with its severity
// and its unit, the rules that were skipped and why. A click on a finding shows its unit in the
// form; "Check Again" runs the check over the table as it is now.

#include "app/varneldoc.h"
#include "reports/check.h"

#include <QDockWidget>

#include <memory>

namespace Ui {
class CheckPanel;
}

namespace varnel {

class FindingsModel;

class CCheckPanel : public QDockWidget {
    Q_OBJECT

  public:
    explicit CCheckPanel(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CCheckPanel() override;

    // Checks the table of `game` (the archive the form has open, the settings' WAV folder),
    // lists the findings and shows the panel. Nothing without a table.
    void runCheck(Game game);
    const CheckResult& result() const { return result_; }

  signals:
    void unitChosen(varnel::Game game, int unit);

  private:
    std::unique_ptr<Ui::CheckPanel> ui;
    CVarnelDoc& doc_;
    Game game_ = Game::Pg2;
    CheckResult result_;
    FindingsModel* model_ = nullptr;
};

} // namespace varnel
