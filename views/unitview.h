#pragma once
// CUnitView: what the two unit forms have in common. A form lists the units of its game's table
// (filtered by country, class and a name search), shows the current unit in one control per row
// of the game's field table, commits every edit through SetField, paints the unit's icon and
// plays its sounds. CView2 and CView3 add only what differs between the games.
//
// The frame embeds a form as an ordinary child widget: it constructs CView2 or CView3 with the
// document, sets `switchRequested` (a double click in the list asks for the other game's view)
// and, when it shows a form, calls FillUnitList on it. The form registers itself in the
// document's view slot of its game for its whole life and observes the document.

#include "app/varneldoc.h"
#include "equip/fieldtable.h"
#include "icons/soundplayer.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace varnel {

class UnitListModel;

class CUnitView : public QWidget, public DocObserver {
    Q_OBJECT

  public:
    ~CUnitView() override;
    CUnitView(const CUnitView&) = delete;
    CUnitView& operator=(const CUnitView&) = delete;

    Game game() const { return game_; }
    CVarnelDoc& doc() { return doc_; }
    const CVarnelDoc& doc() const { return doc_; }
    // The table index of the unit shown (the document's view slot keeps it).
    int currentUnit() const;

    // Asked when the user double-clicks a unit: show the view of that game. Set by the frame.
    std::function<void(Game)> switchRequested;

    // The whole table, unfiltered; the filters and the search are cleared. First adopts the
    // other view's current unit when that index exists in this table. Then shows the unit.
    void FillUnitList();
    // The units that pass the document's shared filter (the country filter, the class filter and
    // the name search, set from this form's controls or from the units table). The
    // selection stays on the current unit when it is listed, else on the line at the old
    // position; the unit of that line is shown (unit 0 when there is no such line).
    void ApplyFilters();
    // Takes the filter the units table may have changed into the filter controls, relists, and
    // shows the unit of the document's view slot (the table's current row) when it is listed.
    void AdoptSharedFilter();
    // Makes unit `unit` (a table index) the current unit and shows it: its line is selected,
    // after the filters and the search are cleared when they hide it. Nothing outside the table.
    void ShowUnitAt(int unit);
    // Loads every control from the current unit (the unit of the selected line), with signals
    // blocked, and paints its icon. Does nothing without a table.
    void ShowUnit();
    // Paints the current unit's icon and its "Size (%d x %d) View:%d " line.
    void DrawUnitIcon();
    // Plays sound file `number` of the game with this form's player.
    void PlayUnitSound(int number);
    // The reload of the unit names from the Names E-File in use (button "Reload names").
    void ReloadNames();
    // Commits the edit box that has the keyboard focus, as leaving it would. Commands reached
    // without moving the focus (a shortcut, a menu, a toolbar button) get this first, so that
    // what the user typed is part of what they save or copy: the form watches for them.
    void CommitPendingEdit();

    // The document's tables were replaced: filters reset, lists refilled, icon archive reloaded,
    // unit 0 (or the other view's unit) shown.
    void refreshAllViews() override;
    // A step of the edit path (or its undo or redo) changed the table: the list lines and the
    // form follow the units it names; added or removed units relist, keeping the unit shown.
    void documentChanged(const DocChange& change) override;
    void historyChanged(Game game) override;

  signals:
    // The listed units changed (a filter, a search, a change of the table): the status bar's
    // count follows.
    void listChanged();

  public:
    // What the icon box shows now.
    const QImage& iconImage() const { return iconImage_; }
    SoundPlayer& soundPlayer() { return player_; }

  protected:
    CUnitView(CVarnelDoc& doc, Game game, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Called by the derived constructor once its form is set up: finds each field's control by
    // the name the field table gives it, connects everything and shows the document's data.
    void setUpForm();
    // The game's own read-only displays of table entry `unit`; -1 when no unit is shown.
    virtual void showGameDisplays(int unit) { (void)unit; }
    // Whether a double click may ask for the other game's view now: when that view exists.
    virtual bool maySwitch() const;
    // Whether the reload of the names asks even when the names have not changed.
    virtual bool reloadAlwaysAsks() const { return false; }

  private:
    struct FieldControl {
        const FieldDef* field = nullptr;
        QLineEdit* edit = nullptr;
        QComboBox* combo = nullptr;
        QCheckBox* check = nullptr;
        QWidget* widget() const;
    };

    template <class T> T* child(const QString& name) const;
    bool isFieldEdit(const QObject* object) const;
    void fillCountryLists();
    void fillClassLists();
    void fillFixedLists();
    void commit(const FieldControl& control);
    void showRefusal(const std::string& message);
    void chooseIcon(const FieldDef& field);
    void playSoundOf(int control, int base);
    void showUnit(bool focusList);
    void setCurrentRow(int row);
    void clearControls();
    // Tints the controls whose value changed since the last load or save, and untints the rest.
    void showChanges();
    static void tint(QWidget* widget, bool changed);
    void listSelectionChanged();
    void listDoubleClicked();
    UnitFilter controlsFilter() const;
    void filterControlsChanged();

    CVarnelDoc& doc_;
    Game game_;
    SoundPlayer player_;
    std::unique_ptr<UnitListModel> model_;
    std::vector<FieldControl> controls_;
    QListView* list_ = nullptr;
    // The icon fields' "Select..." buttons: they act on the unit shown.
    std::vector<QPushButton*> selectButtons_;
    QComboBox* countryFilter_ = nullptr;
    QComboBox* classFilter_ = nullptr;
    QLineEdit* find_ = nullptr;
    QComboBox* where_ = nullptr;
    QLabel* whereError_ = nullptr;
    QLabel* icon_ = nullptr;
    QLabel* iconSize_ = nullptr;
    QImage iconImage_;
    bool committing_ = false;
    bool settingRow_ = false;
    // The position of the selected line; may lie past the end of a filtered list, which then
    // selects nothing.
    int listSelection_ = 0;
};

} // namespace varnel
