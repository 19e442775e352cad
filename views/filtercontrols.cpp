#include "views/filtercontrols.h"

#include "app/settingsstore.h"
#include "equip/condition.h"
#include "equip/tfile.h"
#include "views/viewtext.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>

#include <algorithm>

namespace varnel {

namespace {

constexpr const char* kChangedOnly = "Show Changed Units Only";
constexpr const char* kChangedOnlyData = "changed";
// Conditions kept per game.
constexpr int kConditionHistory = 15;

std::string historyName(Game g, int k) {
    return std::string("Where ") + GameName(g) + ' ' + std::to_string(k);
}

} // namespace

UnitFilter FilterControls::filter() const {
    UnitFilter f;
    f.country = std::max(0, country->currentIndex());
    if (unitClass->currentData().toString() == QLatin1String(kChangedOnlyData))
        f.changedOnly = true;
    else
        f.unitClass = std::max(0, unitClass->currentIndex());
    const std::optional<std::string> typed = viewtext::toBytes(find->text());
    f.find = typed.value_or(std::string());
    f.unmatchable = !typed;
    if (where != nullptr)
        f.where = viewtext::toBytes(where->currentText().trimmed()).value_or(std::string());
    return f;
}

void FilterControls::show(const UnitFilter& f) const {
    if (filter() == f)
        return;
    const QSignalBlocker b1(country);
    const QSignalBlocker b2(unitClass);
    const QSignalBlocker b3(find);
    country->setCurrentIndex(f.country);
    unitClass->setCurrentIndex(
        f.changedOnly ? unitClass->findData(QString::fromLatin1(kChangedOnlyData)) : f.unitClass);
    if (!f.unmatchable)
        find->setText(viewtext::toQString(f.find));
    if (where != nullptr) {
        const QSignalBlocker b4(where);
        const QSignalBlocker b5(where->lineEdit());
        where->setEditText(viewtext::toQString(f.where));
    }
}

void AddChangedOnlyItem(QComboBox* unitClass) {
    unitClass->insertSeparator(unitClass->count());
    unitClass->addItem(QString::fromLatin1(kChangedOnly), QString::fromLatin1(kChangedOnlyData));
}

bool CheckCondition(Game g, const NameTable& countries, QComboBox* where, QLabel* error) {
    const QString typed = where->currentText();
    const std::optional<std::string> bytes = viewtext::toBytes(typed);
    ConditionParse parse;
    if (!bytes) {
        parse.ok = false;
        parse.reason = "The condition holds a character no unit can hold";
    } else {
        parse = ParseCondition(g, *bytes, &countries);
    }
    QPalette palette = where->parentWidget() ? where->parentWidget()->palette() : QPalette();
    if (!parse.ok)
        palette.setColor(QPalette::Base, QColor(255, 210, 210));
    where->lineEdit()->setPalette(palette);
    const QString message =
        parse.ok
            ? QString()
            : QStringLiteral("At %1: %2").arg(parse.position + 1).arg(FromMessage(parse.reason));
    where->setToolTip(message);
    if (error != nullptr) {
        error->setText(message);
        error->setVisible(!parse.ok);
    }
    return parse.ok;
}

void LoadConditionHistory(SettingsBackend& store, Game g, QComboBox* where) {
    const QSignalBlocker block(where);
    const QString typed = where->currentText();
    where->clear();
    for (int k = 0; k < kConditionHistory; ++k) {
        const std::optional<std::string> kept = store.read(historyName(g, k));
        if (!kept || kept->empty())
            break;
        where->addItem(QString::fromUtf8(kept->data(), static_cast<qsizetype>(kept->size())));
    }
    where->setEditText(typed);
}

void RememberCondition(SettingsBackend& store, Game g, QComboBox* where) {
    const QString condition = where->currentText().trimmed();
    if (condition.isEmpty())
        return;
    QStringList kept{condition};
    for (int k = 0; k < where->count() && kept.size() < kConditionHistory; ++k)
        if (where->itemText(k) != condition)
            kept.push_back(where->itemText(k));
    for (int k = 0; k < kConditionHistory; ++k) {
        const QByteArray text = k < kept.size() ? kept[k].toUtf8() : QByteArray();
        store.write(historyName(g, k), text.toStdString());
    }
    LoadConditionHistory(store, g, where);
    const QSignalBlocker block(where);
    where->setEditText(condition);
}

} // namespace varnel
