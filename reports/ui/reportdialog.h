#pragma once
// The modal "Report to file" dialog of the equipment report: the game and the format, preset
// from the active view, and whether the external editor opens the file afterwards.

#include "app/varneldoc.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ReportDialog;
}

namespace varnel {

class CReportDialog : public QDialog {
    Q_OBJECT

  public:
    // PG2 view active: PG2 and the brief table; PeG view active: PeG and the simple list. The
    // editor launch starts checked.
    explicit CReportDialog(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CReportDialog() override;

    Game game() const;
    int format() const; // a ReportFormat
    bool launchEditor() const;

    // Closes the dialog, then writes the chosen report (RunEquipmentReport says what came of it).
    void accept() override;

  private:
    std::unique_ptr<Ui::ReportDialog> ui;
    CVarnelDoc& doc_;
};

} // namespace varnel
