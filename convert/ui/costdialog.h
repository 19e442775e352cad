#pragma once
// The modal "Global Modifiers" dialog: one row per PeG country (a check box naming the country
// and its percentage), OK applying the document's cost change, Cancel changing nothing.

#include "app/varneldoc.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QLineEdit;

namespace Ui {
class CostDialog;
}

namespace varnel {

// The PeG countries the dialog offers, 1..20 (country 0, "None", is never changed).
inline constexpr int kCostDialogRows = peg::kCountryCount - 1;

class CCostDialog : public QDialog {
    Q_OBJECT

  public:
    // Names the rows after the current PeG country names; every row starts unchecked at 100 %.
    explicit CCostDialog(CVarnelDoc& doc, QWidget* parent = nullptr);
    ~CCostDialog() override;

    // The number of units the OK changed; 0 until then.
    int unitsModified() const { return unitsModified_; }

    // Refuses (through the Ui port, the dialog staying open) a percentage that is not a whole
    // number; otherwise runs the cost change and closes.
    void accept() override;

  private:
    std::unique_ptr<Ui::CostDialog> ui;
    CVarnelDoc& doc_;
    std::array<QCheckBox*, kCostDialogRows> checks_{};
    std::array<QLineEdit*, kCostDialogRows> percents_{};
    int unitsModified_ = 0;
};

} // namespace varnel
