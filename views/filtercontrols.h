#pragma once
// The country filter, class filter and name search above a unit list: the form's and the units
// table's controls read into the document's shared filter and set from it.

#include "equip/unitfilter.h"

class QComboBox;
class QLineEdit;

namespace varnel {

struct FilterControls {
    QComboBox* country = nullptr;
    QComboBox* unitClass = nullptr;
    QLineEdit* find = nullptr;

    // What the controls choose. A search holding a character no name can hold matches nothing.
    UnitFilter filter() const;
    // Sets the controls to `filter` without their signals; a search that no name can match is
    // left as it is typed.
    void show(const UnitFilter& filter) const;
};

} // namespace varnel
