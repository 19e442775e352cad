#pragma once
// The country filter, class filter, name search and condition above a unit list: the form's and
// the units table's controls read into the document's shared filter and set from it.

#include "equip/game.h"
#include "equip/unitfilter.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace varnel {

class NameTable;
class SettingsBackend;

struct FilterControls {
    QComboBox* country = nullptr;
    QComboBox* unitClass = nullptr;
    QLineEdit* find = nullptr;
    QComboBox* where = nullptr; // editable: the condition typed, and the game's recent ones

    // What the controls choose; the condition as typed (CheckCondition tells whether it is one).
    // A search holding a character no name can hold matches nothing.
    UnitFilter filter() const;
    // Sets the controls to `filter` without their signals; a search that no name can match is
    // left as it is typed.
    void show(const UnitFilter& filter) const;
};

// Appends "Show Changed Units Only" to a class filter, after a separator; FilterControls reads it
// as UnitFilter::changedOnly.
void AddChangedOnlyItem(QComboBox* unitClass);

// Whether the condition typed in `where` parses for game g. A fault is marked: the box is
// tinted, `error` says where and why ("At 7: Unknown column \"foo\"") and the cursor goes to it.
bool CheckCondition(Game g, const NameTable& countries, QComboBox* where, QLabel* error);

// The game's recent conditions, newest first, kept in the settings store.
void LoadConditionHistory(SettingsBackend& store, Game g, QComboBox* where);
// Puts the condition in `where` first in its history (a good, non-empty one only).
void RememberCondition(SettingsBackend& store, Game g, QComboBox* where);

} // namespace varnel
