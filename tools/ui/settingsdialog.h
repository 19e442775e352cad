#pragma once
// The modal "Registry Settings" dialog: the folders and programs of the settings for editing
// (each folder chosen through a file inside it), the active game's current files with buttons
// that load another one at once, and the exits "USE and SAVE", "USE ONLY" and "Cancel".

#include "app/filekind.h"
#include "app/varneldoc.h"

#include <QDialog>

#include <array>
#include <memory>
#include <string>

class QLineEdit;
class QSettings;

namespace Ui {
class SettingsDialog;
}

namespace varnel {

// The caption of the settings frame: the registry key on Windows, elsewhere the file that holds
// the settings (there is no registry to name).
QString SettingsStoreCaption(const QSettings& store);

class CSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // Copies the settings and the active game's current files into the fields.
    CSettingsDialog(CVarnelDoc& doc, const QString& storeCaption, QWidget* parent = nullptr);
    ~CSettingsDialog() override;

  private:
    // One of the eight edited settings: its field, its member and its store id.
    struct Edited {
        QLineEdit* field;                    // nullptr: the suffix combo box
        std::string& (*value)(AppSettings&); // the setting the field edits
        int id;
    };

    static constexpr std::size_t kEditedCount = 8;
    // In the order "USE and SAVE" compares and writes them.
    std::array<Edited, kEditedCount> editedSettings() const;
    std::string fieldText(const Edited& e) const;
    void chooseFolder(QLineEdit* target, FileKind kind, QLineEdit* nameFrom,
                      const char* programName);
    void chooseEditor();
    void closeFolder(QLineEdit* field);
    void loadFile(QLineEdit* field, FileKind kind, int which);
    void useAndSave();
    void useOnly();

    std::unique_ptr<Ui::SettingsDialog> ui;
    CVarnelDoc& doc_;
    Game game_;
};

} // namespace varnel
