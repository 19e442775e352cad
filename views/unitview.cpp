#include "views/unitview.h"
#include "base/numbers.h"

#include "app/filekind.h"
#include "app/iconload.h"
#include "app/openfile.h"
#include "app/unitsound.h"
#include "base/format.h"
#include "base/paths.h"
#include "equip/efile.h"
#include "icons/iconformat.h"
#include "icons/ui/iconchooser.h"
#include "icons/ui/qimagepainter.h"
#include "views/filtercontrols.h"
#include "views/keepcurrentinview.h"
#include "views/unitlistmodel.h"
#include "views/viewtext.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <charconv>

namespace varnel {

namespace {

constexpr const char* kNoFilter = "No filter";
// The form paints the icon frame at the top-left corner of its icon box.
constexpr int kFormIconOriginX = 0;
constexpr int kFormIconOriginY = 0;
// The sound value boxes, by control id (the same in both games).
constexpr int kAttackSoundControl = 1118;
constexpr int kMoveSoundControl = 1119;
constexpr int kDeathSoundControl = 1120;

QString controlSuffix(FieldKind kind) {
    switch (kind) {
    case FieldKind::Switch:
    case FieldKind::Bit:
        return QStringLiteral("CheckBox");
    case FieldKind::Month:
    case FieldKind::Vocabulary:
    case FieldKind::Country:
        return QStringLiteral("ComboBox");
    default:
        return QStringLiteral("LineEdit");
    }
}

int parseInt(const std::string& text, int fallback) {
    return ParseInteger(text).value_or(fallback);
}

} // namespace

QWidget* CUnitView::FieldControl::widget() const {
    if (edit != nullptr)
        return edit;
    if (combo != nullptr)
        return combo;
    return check;
}

CUnitView::CUnitView(CVarnelDoc& doc, Game game, QWidget* parent)
    : QWidget(parent), doc_(doc), game_(game), player_(doc.ui),
      model_(std::make_unique<UnitListModel>(doc, game)),
      iconImage_(kFormIconOriginX + iconfile::kFrameWidth,
                 kFormIconOriginY + iconfile::kFrameHeight, QImage::Format_RGB32) {
    ViewSlot& slot = doc_.view(game_);
    slot.registered = true;
    slot.iconsLoaded = doc_.settings().iconArchive(game_);
    slot.currentUnit = 0;
    slot.listedUnits = 0;
}

CUnitView::~CUnitView() {
    qApp->removeEventFilter(this);
    // The children outlive this part of the object: their last signals (a focus lost while the
    // window goes away) must not reach it.
    for (QObject* object : findChildren<QObject*>())
        object->disconnect(this);
    if (list_ != nullptr)
        list_->setModel(nullptr);
    doc_.removeObserver(this);
    doc_.view(game_).registered = false;
}

template <class T> T* CUnitView::child(const QString& name) const {
    T* widget = findChild<T*>(name);
    // Every name comes from the field table or the form's fixed controls: a missing one is a
    // mistake in the .ui file, which the tests catch.
    Q_ASSERT_X(widget != nullptr, "CUnitView", qPrintable(name));
    return widget;
}

int CUnitView::currentUnit() const {
    return doc_.view(game_).currentUnit;
}

void CUnitView::setUpForm() {
    list_ = child<QListView>(QStringLiteral("unitListView"));
    countryFilter_ = child<QComboBox>(QStringLiteral("countryFilterComboBox"));
    classFilter_ = child<QComboBox>(QStringLiteral("classFilterComboBox"));
    find_ = child<QLineEdit>(QStringLiteral("findLineEdit"));
    where_ = child<QComboBox>(QStringLiteral("whereComboBox"));
    whereError_ = child<QLabel>(QStringLiteral("whereErrorLabel"));
    whereError_->hide();
    LoadConditionHistory(doc_.store, game_, where_);
    icon_ = child<QLabel>(QStringLiteral("iconFrameLabel"));
    iconSize_ = child<QLabel>(QStringLiteral("iconSizeLabel"));
    icon_->setFixedSize(iconImage_.size());

    list_->setModel(model_.get());
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    new KeepCurrentInView(list_);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { listSelectionChanged(); });
    connect(list_, &QListView::doubleClicked, this, [this] { listDoubleClicked(); });

    const auto fields = FormFields(game_);
    controls_.reserve(fields.size());
    for (const FieldDef& field : fields) {
        const QString name = viewtext::ascii(field.name);
        FieldControl control;
        control.field = &field;
        const QString suffix = controlSuffix(field.kind);
        if (suffix == QStringLiteral("CheckBox"))
            control.check = child<QCheckBox>(name + suffix);
        else if (suffix == QStringLiteral("ComboBox"))
            control.combo = child<QComboBox>(name + suffix);
        else
            control.edit = child<QLineEdit>(name + suffix);
        if (control.widget() == nullptr)
            continue;
        auto* label = findChild<QLabel*>(name + QStringLiteral("Label"));
        if (*field.tooltip != '\0') {
            control.widget()->setToolTip(viewtext::ascii(field.tooltip));
            if (label != nullptr)
                label->setToolTip(viewtext::ascii(field.tooltip));
        }
        if (*field.caption != '\0') {
            if (control.check != nullptr)
                control.check->setText(viewtext::ascii(field.caption));
            else if (label != nullptr)
                label->setText(viewtext::ascii(field.caption));
        }
        if (label != nullptr)
            label->setBuddy(control.widget());

        const std::size_t index = controls_.size();
        if (control.edit != nullptr) {
            if (field.kind == FieldKind::Icon)
                control.edit->setMaxLength(pg2::kIconLength);
            connect(control.edit, &QLineEdit::editingFinished, this,
                    [this, index] { commit(controls_[index]); });
        } else if (control.combo != nullptr) {
            connect(control.combo, &QComboBox::activated, this,
                    [this, index] { commit(controls_[index]); });
        } else {
            connect(control.check, &QCheckBox::clicked, this,
                    [this, index] { commit(controls_[index]); });
        }
        if (field.kind == FieldKind::Icon) {
            QString button = name;
            button[0] = button[0].toUpper();
            if (auto* select = findChild<QPushButton*>(QStringLiteral("select") + button +
                                                       QStringLiteral("Button"))) {
                connect(select, &QPushButton::clicked, this, [this, &field] { chooseIcon(field); });
                selectButtons_.push_back(select);
            }
        }
        controls_.push_back(control);
    }

    connect(countryFilter_, &QComboBox::activated, this, [this] { filterControlsChanged(); });
    connect(classFilter_, &QComboBox::activated, this, [this] { filterControlsChanged(); });
    connect(find_, &QLineEdit::textChanged, this, [this] { filterControlsChanged(); });
    connect(where_, &QComboBox::editTextChanged, this, [this] { filterControlsChanged(); });
    connect(where_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (CheckCondition(game_, doc_.countries(game_), where_, whereError_))
            RememberCondition(doc_.store, game_, where_);
    });
    auto* findShortcut = new QShortcut(QKeySequence::Find, this);
    findShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(findShortcut, &QShortcut::activated, this, [this] {
        find_->setFocus(Qt::ShortcutFocusReason);
        find_->selectAll();
    });
    auto* clearShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), find_);
    clearShortcut->setContext(Qt::WidgetShortcut);
    connect(clearShortcut, &QShortcut::activated, find_, &QLineEdit::clear);

    auto* previous = child<QPushButton>(QStringLiteral("prevViewButton"));
    auto* next = child<QPushButton>(QStringLiteral("nextViewButton"));
    connect(previous, &QPushButton::clicked, this, [this] {
        doc_.icons(game_).PreviousView();
        DrawUnitIcon();
        list_->setFocus();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        doc_.icons(game_).NextView();
        DrawUnitIcon();
        list_->setFocus();
    });
    connect(child<QPushButton>(QStringLiteral("attackSoundButton")), &QPushButton::clicked, this,
            [this] { playSoundOf(kAttackSoundControl, kAttackSoundBase); });
    connect(child<QPushButton>(QStringLiteral("moveSoundButton")), &QPushButton::clicked, this,
            [this] { playSoundOf(kMoveSoundControl, kMoveSoundBase); });
    connect(child<QPushButton>(QStringLiteral("deathSoundButton")), &QPushButton::clicked, this,
            [this] { playSoundOf(kDeathSoundControl, kDeathSoundBase); });
    auto* reload = child<QToolButton>(QStringLiteral("reloadNamesButton"));
    reload->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    connect(reload, &QToolButton::clicked, this, [this] { ReloadNames(); });

    fillFixedLists();
    qApp->installEventFilter(this);
    doc_.addObserver(this);
    refreshAllViews();
}

bool CUnitView::eventFilter(QObject* watched, QEvent* event) {
    // Enter or Down in the search box goes to what it found: the first listed unit.
    if (watched == find_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) &&
            model_->rowCount() > 0) {
            listSelection_ = 0;
            setCurrentRow(0);
            showUnit(true);
            return true;
        }
    }
    // Undo and redo in a field's edit box are the document's, not the box's own: the typed text
    // is committed first (below), so undo takes back the value the user typed.
    if (event->type() == QEvent::ShortcutOverride && isFieldEdit(watched)) {
        const QKeyCombination key = static_cast<QKeyEvent*>(event)->keyCombination();
        if (key == QKeyCombination(Qt::CTRL, Qt::Key_Z) ||
            key == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
            key == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    // A shortcut, or a press on a menu bar or toolbar, starts a command while the focus stays in
    // the edit box: commit what it holds first.
    bool command = event->type() == QEvent::Shortcut;
    if (!command && event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        const auto* w = static_cast<QWidget*>(watched);
        command = qobject_cast<const QMenuBar*>(w) != nullptr ||
                  qobject_cast<const QToolBar*>(w) != nullptr ||
                  (w->parentWidget() != nullptr &&
                   qobject_cast<const QToolBar*>(w->parentWidget()) != nullptr);
    }
    if (command && !committing_ && isVisible())
        CommitPendingEdit();
    return QWidget::eventFilter(watched, event);
}

bool CUnitView::isFieldEdit(const QObject* object) const {
    for (const FieldControl& c : controls_)
        if (c.edit != nullptr && c.edit == object)
            return true;
    return false;
}

void CUnitView::fillFixedLists() {
    for (const FieldControl& c : controls_) {
        const FieldDef& f = *c.field;
        if (c.combo == nullptr || f.kind == FieldKind::Country)
            continue;
        const QSignalBlocker block(c.combo);
        c.combo->clear();
        for (int position = 0; position <= f.maxShown; ++position)
            c.combo->addItem(viewtext::ascii(FieldItemText(f, position)));
    }
}

void CUnitView::fillCountryLists() {
    // Every country a unit can hold is listed, named or not, so that each stays choosable when
    // the T-File names fewer (or none).
    const NameTable& names = doc_.countries(game_);
    const FieldDef* field = FindField(game_, "country");
    auto* combo = child<QComboBox>(QStringLiteral("countryComboBox"));
    const QSignalBlocker block1(combo);
    const QSignalBlocker block2(countryFilter_);
    combo->clear();
    countryFilter_->clear();
    countryFilter_->addItem(viewtext::ascii(kNoFilter));
    for (int i = 0; i <= field->maxShown; ++i) {
        const QString item = viewtext::toQString(ListItem(i, names.name(i)));
        combo->addItem(item);
        if (i > 0)
            countryFilter_->addItem(item);
    }
}

void CUnitView::fillClassLists() {
    const FieldDef* field = FindField(game_, "class");
    const QSignalBlocker block(classFilter_);
    classFilter_->clear();
    classFilter_->addItem(viewtext::ascii(kNoFilter));
    for (int i = 1; i <= field->maxShown; ++i)
        classFilter_->addItem(viewtext::ascii(FieldItemText(*field, i)));
    AddChangedOnlyItem(classFilter_);
}

void CUnitView::refreshAllViews() {
    fillCountryLists();
    fillClassLists();
    if (doc_.hasTable(game_))
        doc_.loadIcons(game_);
    doc_.view(game_).currentUnit = 0;
    FillUnitList();
    emit listChanged();
}

void CUnitView::documentChanged(const DocChange& change) {
    if (change.game != game_)
        return;
    switch (change.scope) {
    case DocChange::Scope::Table: {
        // A table replaced (a load, a restore, a conversion and its undo) keeps the unit shown
        // and the filters where that unit still is.
        const int country = countryFilter_->currentIndex();
        const int unitClass = classFilter_->currentIndex();
        fillCountryLists();
        fillClassLists();
        {
            const QSignalBlocker b1(countryFilter_);
            const QSignalBlocker b2(classFilter_);
            countryFilter_->setCurrentIndex(std::clamp(country, 0, countryFilter_->count() - 1));
            classFilter_->setCurrentIndex(std::clamp(unitClass, 0, classFilter_->count() - 1));
        }
        if (!doc_.hasTable(game_)) {
            FillUnitList();
            break;
        }
        doc_.loadIcons(game_);
        ViewSlot& slot = doc_.view(game_);
        const int count = static_cast<int>(doc_.unitCount(game_));
        slot.currentUnit = std::clamp(slot.currentUnit, 0, std::max(0, count - 1));
        ApplyFilters();
        break;
    }
    case DocChange::Scope::Count: {
        // The filters stay; the list is made again and keeps the unit shown where it still is.
        ViewSlot& slot = doc_.view(game_);
        const int count = static_cast<int>(doc_.unitCount(game_));
        slot.currentUnit = std::clamp(slot.currentUnit, 0, std::max(0, count - 1));
        if (!doc_.hasTable(game_))
            FillUnitList();
        else
            ApplyFilters();
        break;
    }
    case DocChange::Scope::Units: {
        if (change.count == 1)
            model_->unitChanged(static_cast<int>(change.first));
        else if (change.count > 1)
            model_->unitsChanged(change.first, change.count);
        const auto unit = static_cast<std::size_t>(currentUnit());
        // The form follows a change of the unit it shows, however it came (undo included).
        if (unit >= change.first && unit - change.first < change.count && !committing_)
            showUnit(false);
        break;
    }
    }
    emit listChanged();
}

void CUnitView::setCurrentRow(int row) {
    listSelection_ = row;
    settingRow_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex index = model_->index(row);
        list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(index);
    } else {
        list_->selectionModel()->clear();
    }
    settingRow_ = false;
}

void CUnitView::FillUnitList() {
    ViewSlot& slot = doc_.view(game_);
    const ViewSlot& other = doc_.view(OtherGame(game_));
    const std::size_t count = doc_.unitCount(game_);
    // Both views keep pointing at the same table index when the user switches.
    if (other.registered && other.currentUnit >= 0 &&
        static_cast<std::size_t>(other.currentUnit) < count)
        slot.currentUnit = other.currentUnit;
    {
        const QSignalBlocker b1(countryFilter_);
        const QSignalBlocker b2(classFilter_);
        const QSignalBlocker b3(find_);
        const QSignalBlocker b4(where_);
        countryFilter_->setCurrentIndex(0);
        classFilter_->setCurrentIndex(0);
        find_->clear();
        where_->setEditText(QString());
        CheckCondition(game_, doc_.countries(game_), where_, whereError_);
    }
    slot.filter = UnitFilter();
    if (!doc_.hasTable(game_)) {
        model_->setUnits({});
        slot.listedUnits = 0;
        clearControls();
        DrawUnitIcon();
        return;
    }
    std::vector<int> units(count);
    for (std::size_t i = 0; i < count; ++i)
        units[i] = static_cast<int>(i);
    model_->setUnits(std::move(units));
    if (slot.currentUnit < 0 || static_cast<std::size_t>(slot.currentUnit) >= count)
        slot.currentUnit = 0;
    setCurrentRow(slot.currentUnit);
    slot.listedUnits = static_cast<int>(count);
    showUnit(true);
}

UnitFilter CUnitView::controlsFilter() const {
    return FilterControls{countryFilter_, classFilter_, find_, where_}.filter();
}

void CUnitView::AdoptSharedFilter() {
    FilterControls{countryFilter_, classFilter_, find_, where_}.show(doc_.view(game_).filter);
    listSelection_ = -1;
    ApplyFilters();
}

void CUnitView::filterControlsChanged() {
    UnitFilter filter = controlsFilter();
    // A condition that does not parse is marked; the list keeps the last good one.
    if (!CheckCondition(game_, doc_.countries(game_), where_, whereError_))
        filter.where = doc_.view(game_).filter.where;
    doc_.view(game_).filter = filter;
    ApplyFilters();
}

void CUnitView::ApplyFilters() {
    if (!doc_.hasTable(game_))
        return;
    ViewSlot& slot = doc_.view(game_);
    std::vector<int> units = doc_.filterUnits(game_, slot.filter);
    // The unit shown stays selected when it is listed; otherwise the first listed unit, so the
    // form never shows (and takes edits for) a unit the list leaves out.
    int newRow = 0;
    const auto at = std::lower_bound(units.begin(), units.end(), slot.currentUnit);
    if (at != units.end() && *at == slot.currentUnit)
        newRow = static_cast<int>(at - units.begin());
    model_->setUnits(std::move(units));
    slot.listedUnits = model_->rowCount();
    setCurrentRow(newRow);
    // Typing in the search field keeps the focus there.
    showUnit(!find_->hasFocus());
    emit listChanged();
}

void CUnitView::ShowUnitAt(int unit) {
    if (!doc_.hasTable(game_) || unit < 0 ||
        static_cast<std::size_t>(unit) >= doc_.unitCount(game_))
        return;
    CommitPendingEdit();
    const int row = model_->rowOf(unit);
    if (row >= 0) {
        setCurrentRow(row);
        showUnit(false);
        return;
    }
    // Hidden by a filter or the search: the whole list again, with the unit current.
    doc_.view(game_).currentUnit = unit;
    {
        const QSignalBlocker b1(countryFilter_);
        const QSignalBlocker b2(classFilter_);
        const QSignalBlocker b3(find_);
        const QSignalBlocker b4(where_);
        countryFilter_->setCurrentIndex(0);
        classFilter_->setCurrentIndex(0);
        find_->clear();
        where_->setEditText(QString());
        CheckCondition(game_, doc_.countries(game_), where_, whereError_);
    }
    ApplyFilters();
}

void CUnitView::ShowUnit() {
    showUnit(true);
}

void CUnitView::showUnit(bool focusList) {
    if (!doc_.hasTable(game_))
        return;
    if (listSelection_ < 0 || listSelection_ >= model_->rowCount())
        listSelection_ = 0;
    // An empty list shows no unit: the form is cleared and takes no edits.
    const int unit = model_->unitAt(listSelection_);
    if (unit >= 0) {
        if (list_->currentIndex().row() != listSelection_)
            setCurrentRow(listSelection_);
        doc_.view(game_).currentUnit = unit;
    }
    if (unit < 0 || static_cast<std::size_t>(unit) >= doc_.unitCount(game_)) {
        clearControls();
    } else {
        for (const FieldControl& c : controls_) {
            const std::string text =
                doc_.formatField(game_, static_cast<std::size_t>(unit), *c.field);
            QWidget* widget = c.widget();
            const QSignalBlocker block(widget);
            widget->setEnabled(true);
            if (c.edit != nullptr) {
                c.edit->setText(viewtext::toQString(text));
                c.edit->setCursorPosition(0);
            } else if (c.combo != nullptr) {
                const int position = parseInt(text, -1);
                c.combo->setCurrentIndex(position < c.combo->count() ? position : -1);
            } else {
                c.check->setChecked(text == "1");
            }
        }
        showChanges();
        showGameDisplays(unit);
        for (QPushButton* select : selectButtons_)
            select->setEnabled(true);
    }
    DrawUnitIcon();
    if (focusList) {
        // A list without a selection makes its first line current when it gets the focus; the
        // form keeps showing the unit chosen above.
        settingRow_ = true;
        list_->setFocus();
        settingRow_ = false;
    }
}

void CUnitView::clearControls() {
    for (const FieldControl& c : controls_) {
        QWidget* widget = c.widget();
        const QSignalBlocker block(widget);
        if (c.edit != nullptr)
            c.edit->clear();
        else if (c.combo != nullptr)
            c.combo->setCurrentIndex(-1);
        else
            c.check->setChecked(false);
        widget->setEnabled(false);
        tint(widget, false);
    }
    for (QPushButton* select : selectButtons_)
        select->setEnabled(false);
    showGameDisplays(-1);
}

void CUnitView::tint(QWidget* widget, bool changed) {
    // Each control's own palette role behind its value: an edit box's base, a drop-down's
    // button, a check box's window.
    QPalette palette = widget->parentWidget() ? widget->parentWidget()->palette() : QPalette();
    if (changed) {
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
            palette.setColor(role, viewtext::changedTint());
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(changed && qobject_cast<QCheckBox*>(widget) != nullptr);
}

void CUnitView::showChanges() {
    const int unit = model_->unitAt(listSelection_);
    for (const FieldControl& c : controls_)
        tint(c.widget(),
             unit >= 0 && doc_.fieldChanged(game_, static_cast<std::size_t>(unit), *c.field));
}

void CUnitView::historyChanged(Game game) {
    // A save makes the table the files' again: the tints go.
    if (game != game_ || !doc_.hasTable(game_))
        return;
    showChanges();
    list_->viewport()->update();
}

void CUnitView::listSelectionChanged() {
    if (settingRow_)
        return;
    listSelection_ = list_->currentIndex().row();
    showUnit(false);
}

bool CUnitView::maySwitch() const {
    return doc_.view(OtherGame(game_)).registered;
}

void CUnitView::listDoubleClicked() {
    if (maySwitch() && switchRequested)
        switchRequested(OtherGame(game_));
}

void CUnitView::commit(const FieldControl& control) {
    if (committing_ || !doc_.hasTable(game_))
        return;
    // Only the unit the form shows, which the list holds, takes edits.
    const int unit = currentUnit();
    if (unit < 0 || static_cast<std::size_t>(unit) >= doc_.unitCount(game_) ||
        model_->rowOf(unit) < 0)
        return;
    std::optional<std::string> shown;
    std::string refusal;
    if (control.edit != nullptr) {
        shown = viewtext::toBytes(control.edit->text());
        if (!shown)
            refusal = Windows1252Refusal(control.edit->text()).toStdString();
    } else if (control.combo != nullptr) {
        shown = std::to_string(control.combo->currentIndex());
    } else {
        shown.emplace(1, control.check->isChecked() ? '1' : '0');
    }

    FieldResult result;
    if (shown)
        result = doc_.setField(game_, static_cast<std::size_t>(unit), *control.field, *shown);
    else
        result.message = refusal;

    // The message box below runs an event loop whose focus changes must not commit again.
    committing_ = true;
    if (result.ok && result.change != FieldChange::None)
        model_->unitChanged(unit);
    // The control shows the stored value again, the refused one included; the other controls
    // bound to the same byte follow.
    showUnit(false);
    if (!result.ok)
        showRefusal(result.message);
    committing_ = false;
}

void CUnitView::showRefusal(const std::string& message) {
    MessageBox(doc_.ui, "%s", message.c_str());
}

void CUnitView::CommitPendingEdit() {
    QWidget* focused = focusWidget();
    for (const FieldControl& c : controls_)
        if (c.edit != nullptr && c.edit == focused) {
            commit(c);
            return;
        }
}

void CUnitView::chooseIcon(const FieldDef& field) {
    if (!doc_.hasTable(game_))
        return;
    const int unit = currentUnit();
    if (unit < 0 || static_cast<std::size_t>(unit) >= doc_.unitCount(game_) ||
        model_->rowOf(unit) < 0)
        return;
    const auto index = static_cast<std::size_t>(unit);
    CIconChooser chooser(doc_.icons(game_), doc_.settings().iconArchive(game_),
                         doc_.formatField(game_, index, field), this);
    if (chooser.exec() == QDialog::Accepted) {
        const FieldResult result = doc_.setField(game_, index, field, chooser.name());
        if (!result.ok) {
            showUnit(true);
            showRefusal(result.message);
            return;
        }
    }
    showUnit(true);
}

void CUnitView::DrawUnitIcon() {
    iconImage_.fill(palette().color(QPalette::Window));
    if (doc_.hasTable(game_) && model_->rowCount() > 0) {
        IconArchive& archive = doc_.icons(game_);
        QImagePainter painter(iconImage_);
        archive.SetOrigin(kFormIconOriginX, kFormIconOriginY);
        ShowIconOfUnit(painter, doc_, archive, currentUnit());
        iconSize_->setText(viewtext::ascii(Format("Size (%d x %d) View:%d ", archive.lastWidth(),
                                                  archive.lastHeight(), archive.view())));
    }
    icon_->setPixmap(QPixmap::fromImage(iconImage_));
}

void CUnitView::playSoundOf(int control, int base) {
    const FieldDef* field = FindFieldByControl(game_, control);
    int value = 0;
    for (const FieldControl& c : controls_)
        if (c.field == field && c.edit != nullptr) {
            const auto text = viewtext::toBytes(c.edit->text().trimmed());
            value = parseInt(text.value_or(std::string()), 0);
        }
    PlayUnitSound(base + value);
}

void CUnitView::PlayUnitSound(int number) {
    ::varnel::PlayUnitSound(doc_, game_, player_, number);
}

void CUnitView::ReloadNames() {
    if (doc_.reloadNamesFile(game_, reloadAlwaysAsks()))
        showUnit(true);
}

} // namespace varnel
