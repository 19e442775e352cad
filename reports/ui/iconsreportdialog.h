#pragma once
// The modal "Used Icons report" dialog: every icon file name the active game's units use, sorted,
// with the number of icon-name fields naming the selected one, and "REPORT" writing the list
// beside the E-File and opening it in the external editor.

#include "app/varneldoc.h"
#include "reports/iconsreport.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace Ui {
class IconsReportDialog;
}

namespace varnel {

class CIconsReportDialog : public QDialog {
    Q_OBJECT

  public:
    // Fills the list once from the table of the current game; "Stat  info  Type" and the first
    // item start selected.
    explicit CIconsReportDialog(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CIconsReportDialog() override;

    // "REPORT": no items just closes; a written report closes; a file that cannot be written is
    // said by the report command and the dialog stays open.
    void accept() override;

  private:
    void showUsage();

    std::unique_ptr<Ui::IconsReportDialog> ui;
    CVarnelDoc& doc_;
    Game game_;
};

} // namespace varnel
