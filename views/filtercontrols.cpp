#include "views/filtercontrols.h"

#include "views/viewtext.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace varnel {

UnitFilter FilterControls::filter() const {
    UnitFilter f;
    f.country = std::max(0, country->currentIndex());
    f.unitClass = std::max(0, unitClass->currentIndex());
    const std::optional<std::string> typed = viewtext::toBytes(find->text());
    f.find = typed.value_or(std::string());
    f.unmatchable = !typed;
    return f;
}

void FilterControls::show(const UnitFilter& f) const {
    if (filter() == f)
        return;
    const QSignalBlocker b1(country);
    const QSignalBlocker b2(unitClass);
    const QSignalBlocker b3(find);
    country->setCurrentIndex(f.country);
    unitClass->setCurrentIndex(f.unitClass);
    if (!f.unmatchable)
        find->setText(viewtext::toQString(f.find));
}

} // namespace varnel
