#pragma once
// The modal icon chooser of the unit forms: every key of a game's icon archive in a sorted list,
// the icon under the selection painted in its frame, and the archive's views to page through.

#include "icons/iconarchive.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <string>

namespace Ui {
class IconChooser;
}

namespace varnel {

// Where the chooser paints the icon frame, in its own pixels.
inline constexpr int kChooserIconOriginX = 10;
inline constexpr int kChooserIconOriginY = 2;

class CIconChooser : public QDialog {
    Q_OBJECT

  public:
    // Lists the keys of `archive` and selects the first one that begins with `name` without
    // regard to case (the first key when none does). `archivePath` is the archive's file (the
    // "PG2 DAT" or "PeG DAT" setting), whose name the dialog shows. The archive must outlive the
    // dialog; its current view and origin stay as the dialog leaves them.
    CIconChooser(IconArchive& archive, const std::string& archivePath, const std::string& name,
                 QWidget* parent = nullptr);
    ~CIconChooser() override;

    // The entry name until OK; after OK the chosen key. An empty archive leaves it as it was.
    const std::string& name() const { return name_; }
    // What the icon frame shows now.
    const QImage& iconImage() const { return image_; }

    void accept() override;

  private:
    void showSelection();
    void changeView(bool next);

    std::unique_ptr<Ui::IconChooser> ui;
    IconArchive& archive_;
    std::string name_;
    QImage image_;
};

} // namespace varnel
