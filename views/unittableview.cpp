#include "views/unittableview.h"

#include "app/arithmetic.h"
#include "app/settingsstore.h"
#include "app/table/tablecells.h"
#include "base/format.h"
#include "base/numbers.h"
#include "views/columnsdialog.h"
#include "views/filtercontrols.h"
#include "views/keepcurrentinview.h"
#include "views/unittablemodel.h"
#include "views/viewtext.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <set>
#include <sstream>

namespace varnel {

namespace {

constexpr const char* kNoFilter = "No filter";
// How long a count of copied or pasted cells stays in the status bar.
constexpr int kStatusMessageMs = 5000;

std::string settingName(const char* what, Game game) {
    return std::string("UnitsTable") + what + GameName(game);
}

// Drop-down cells edit with the drop-down's items; the rest with the view's own editors.
class CellDelegate : public QStyledItemDelegate {
  public:
    CellDelegate(const CVarnelDoc& doc, Game game, const UnitTableModel& model, QObject* parent)
        : QStyledItemDelegate(parent), doc_(doc), game_(game), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const FieldDef& f = model_.field(index.column());
        if (!IsListField(f))
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("cellComboBox"));
        for (const std::string& item : ListItems(doc_, game_, f))
            combo->addItem(viewtext::toQString(item));
        // A choice commits at once, as the form's drop-downs do.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            auto* self = const_cast<CellDelegate*>(this);
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(index.data(Qt::EditRole).toInt());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentIndex(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

  private:
    const CVarnelDoc& doc_;
    Game game_;
    const UnitTableModel& model_;
};

QTableView* makeView(QWidget* parent, const QString& name) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    // Rows of one height: the view never measures 65,535 rows.
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view->fontMetrics().height() + 8);
    QHeaderView* columns = view->horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setHighlightSections(false);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    columns->setStretchLastSection(false);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    return view;
}

} // namespace

CUnitTableView::CUnitTableView(CVarnelDoc& doc, Game game, QWidget* parent)
    : QWidget(parent), doc_(doc), game_(game), model_(std::make_unique<UnitTableModel>(doc, game)) {
    setObjectName(QStringLiteral("unitsTable") + QString::fromLatin1(GameName(game)));

    auto* bar = new QHBoxLayout;
    countryFilter_ = new QComboBox(this);
    countryFilter_->setObjectName(QStringLiteral("tableCountryFilterComboBox"));
    countryFilter_->setMinimumContentsLength(14);
    countryFilter_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    classFilter_ = new QComboBox(this);
    classFilter_->setObjectName(QStringLiteral("tableClassFilterComboBox"));
    classFilter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("tableFindLineEdit"));
    find_->setClearButtonEnabled(true);
    find_->setPlaceholderText(QStringLiteral("Find in names"));
    auto label = [this](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setBuddy(buddy);
        return l;
    };
    bar->addWidget(label("&Country:", countryFilter_));
    bar->addWidget(countryFilter_);
    bar->addSpacing(8);
    bar->addWidget(label("C&lass:", classFilter_));
    bar->addWidget(classFilter_);
    bar->addSpacing(8);
    bar->addWidget(label("F&ind:", find_)); // Alt+F is the File menu's
    bar->addWidget(find_, 1);
    where_ = new QComboBox(this);
    where_->setObjectName(QStringLiteral("tableWhereComboBox"));
    where_->setEditable(true);
    where_->setInsertPolicy(QComboBox::NoInsert);
    where_->lineEdit()->setPlaceholderText(QStringLiteral("cost > 600 and class = Tank"));
    where_->setToolTip(QStringLiteral(
        "A condition on any column, e.g. cost > 600 and class = Tank (Enter keeps it)"));
    whereError_ = new QLabel(this);
    whereError_->setObjectName(QStringLiteral("tableWhereErrorLabel"));
    whereError_->setStyleSheet(QStringLiteral("color: #b00000;"));
    whereError_->hide();
    LoadConditionHistory(doc_.store, game_, where_);
    auto* whereBar = new QHBoxLayout;
    whereBar->addWidget(label("&Where:", where_));
    whereBar->addWidget(where_, 1);
    whereBar->addWidget(whereError_, 1);

    auto action = [this](const char* name, const char* text, auto slot) {
        auto* a = new QAction(QString::fromLatin1(text), this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    setValueAction_ = action("setValueAction", "Set &Value...", [this] { SetValue(); });
    scaleAction_ = action("scaleAction", "&Scale by %...", [this] { ScaleByPercent(); });
    addAction_ = action("addAction", "&Add...", [this] { AddAmount(); });
    copyAction_ = action("copyCellsAction", "&Copy", [this] { CopySelection(); });
    copyAction_->setShortcut(QKeySequence::Copy);
    pasteAction_ = action("pasteCellsAction", "&Paste", [this] { PasteBlock(); });
    pasteAction_->setShortcut(QKeySequence::Paste);
    columnsAction_ = action("columnsAction", "C&olumns...", [this] { ChooseColumns(); });
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    for (QAction* a : {setValueAction_, addAction_, scaleAction_}) {
        auto* button = new QToolButton(this);
        button->setObjectName(
            a->objectName().replace(QStringLiteral("Action"), QStringLiteral("Button")));
        button->setDefaultAction(a);
        bar->addWidget(button);
    }

    fixed_ = makeView(this, QStringLiteral("unitTableFixedView"));
    table_ = makeView(this, QStringLiteral("unitTableView"));
    for (QTableView* view : {fixed_, table_}) {
        view->setModel(model_.get());
        view->setItemDelegate(new CellDelegate(doc_, game_, *model_, view));
        view->addActions({copyAction_, pasteAction_, setValueAction_, addAction_, scaleAction_,
                          separator, columnsAction_});
        view->installEventFilter(this);
        QHeaderView* header = view->horizontalHeader();
        connect(header, &QHeaderView::sortIndicatorChanged, this,
                [this, view](int column, Qt::SortOrder order) { sortBy(view, column, order); });
        connect(header, &QHeaderView::customContextMenuRequested, this,
                [this, view](const QPoint& at) { showHeaderMenu(view, at); });
        connect(view, &QTableView::activated, this, [this](const QModelIndex& index) {
            if (index.column() == 0 && openRequested)
                openRequested(model_->unitAt(index.row()));
        });
    }
    new KeepCurrentInView(table_);
    // One selection and one current cell for both views.
    delete fixed_->selectionModel();
    fixed_->setSelectionModel(table_->selectionModel());
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { currentRowChanged(); });
    fixed_->verticalScrollBar()->hide();
    fixed_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    fixed_->horizontalScrollBar()->setEnabled(false);
    // The scrolling view leads: the fixed view shows its rows. Each view lays itself out on its
    // own (a relist, a resize, the first show), so a value copied to the other view while that
    // one's range is still stale would be clipped and the rows would disagree; every change of
    // either range copies the leading value again.
    QScrollBar* lead = table_->verticalScrollBar();
    QScrollBar* follower = fixed_->verticalScrollBar();
    connect(lead, &QScrollBar::valueChanged, this, [this] { alignRows(); });
    connect(lead, &QScrollBar::rangeChanged, this, [this] { alignRows(); });
    connect(follower, &QScrollBar::rangeChanged, this, [this] { alignRows(); });
    // A wheel turned or a key pressed over the code and name columns scrolls both.
    connect(follower, &QScrollBar::valueChanged, this, [this, lead](int value) {
        if (aligningRows_)
            return;
        lead->setValue(value);
        alignRows();
    });
    connect(fixed_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { updateFixedWidth(); });
    // The scrolling columns can be dragged into another order; the code and name stay first.
    table_->horizontalHeader()->setSectionsMovable(true);
    connect(table_->horizontalHeader(), &QHeaderView::sectionMoved, this, [this] {
        if (!movingColumns_)
            saveColumnSettings();
    });
    connect(
        model_.get(), &UnitTableModel::refused, this,
        [this](const QString& message) { showRefusal(message); }, Qt::QueuedConnection);

    for (int column = 0; column < model_->columnCount(); ++column) {
        const bool fixedColumn = column < UnitTableModel::kFixedColumns;
        fixed_->setColumnHidden(column, !fixedColumn);
        table_->setColumnHidden(column, fixedColumn);
        // Widths from the header's text and a typical value, never from the 65,535 rows.
        QTableView* view = fixedColumn ? fixed_ : table_;
        const QFontMetrics metrics = view->fontMetrics();
        const FieldDef& f = model_->field(column);
        const QString header = model_->headerData(column, Qt::Horizontal).toString();
        int width = metrics.horizontalAdvance(header) + 24;
        if (f.kind == FieldKind::Name)
            width = std::max(width, metrics.horizontalAdvance(QLatin1Char('M')) * 14);
        else if (IsListField(f))
            width =
                std::max(width, metrics.horizontalAdvance(QStringLiteral("00  United Kingdom")));
        else
            width = std::max(width, metrics.horizontalAdvance(QStringLiteral("00000")) + 12);
        view->setColumnWidth(column, std::min(width, 220));
    }
    loadColumnSettings();

    auto* views = new QHBoxLayout;
    views->setSpacing(0);
    views->addWidget(fixed_);
    views->addWidget(table_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(whereBar);
    layout->addLayout(views, 1);
    updateFixedWidth();
    alignHeaders();

    connect(countryFilter_, &QComboBox::activated, this, [this] { filterControlsChanged(); });
    connect(classFilter_, &QComboBox::activated, this, [this] { filterControlsChanged(); });
    connect(find_, &QLineEdit::textChanged, this, [this] { filterControlsChanged(); });
    connect(where_, &QComboBox::editTextChanged, this, [this] { filterControlsChanged(); });
    connect(where_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (CheckCondition(game_, doc_.countries(game_), where_, whereError_))
            RememberCondition(doc_.store, game_, where_);
    });
    find_->installEventFilter(this);

    fillFilterLists();
    doc_.addObserver(this);
}

CUnitTableView::~CUnitTableView() {
    if (isVisible())
        saveColumnSettings();
    doc_.removeObserver(this);
    for (QTableView* view : {fixed_, table_})
        view->removeEventFilter(this);
    find_->removeEventFilter(this);
}

QTableView* CUnitTableView::viewOf(int column) const {
    return column < UnitTableModel::kFixedColumns ? fixed_ : table_;
}

void CUnitTableView::fillFilterLists() {
    const QSignalBlocker b1(countryFilter_);
    const QSignalBlocker b2(classFilter_);
    countryFilter_->clear();
    countryFilter_->addItem(QString::fromLatin1(kNoFilter));
    const FieldDef* country = FindField(game_, "country");
    for (const std::string& item : ListItems(doc_, game_, *country))
        countryFilter_->addItem(viewtext::toQString(item));
    countryFilter_->removeItem(1); // country 0 is no filter: the list starts at 1
    classFilter_->clear();
    classFilter_->addItem(QString::fromLatin1(kNoFilter));
    const FieldDef* unitClass = FindField(game_, "class");
    for (int i = 1; i <= unitClass->maxShown; ++i)
        classFilter_->addItem(viewtext::ascii(FieldItemText(*unitClass, i)));
    AddChangedOnlyItem(classFilter_);
}

void CUnitTableView::filterControlsChanged() {
    UnitFilter filter = FilterControls{countryFilter_, classFilter_, find_, where_}.filter();
    // A condition that does not parse is marked; the rows keep the last good one.
    if (!CheckCondition(game_, doc_.countries(game_), where_, whereError_))
        filter.where = doc_.view(game_).filter.where;
    doc_.view(game_).filter = filter;
    relist();
}

void CUnitTableView::Activate() {
    FilterControls{countryFilter_, classFilter_, find_, where_}.show(doc_.view(game_).filter);
    relist();
}

void CUnitTableView::ShowUnitAt(int unit) {
    if (unit < 0 || static_cast<std::size_t>(unit) >= doc_.unitCount(game_))
        return;
    ViewSlot& slot = doc_.view(game_);
    slot.currentUnit = unit;
    if (model_->rowOf(unit) < 0) {
        slot.filter = UnitFilter();
        Activate();
    } else {
        selectUnit(unit);
    }
    table_->setFocus(Qt::OtherFocusReason);
}

void CUnitTableView::relist() {
    ViewSlot& slot = doc_.view(game_);
    const int unit = slot.currentUnit;
    model_->relist();
    slot.listedUnits = model_->rowCount();
    selectUnit(unit);
    emit listChanged();
}

void CUnitTableView::selectUnit(int unit) {
    int row = model_->rowOf(unit);
    if (row < 0 && model_->rowCount() > 0)
        row = 0;
    if (row < 0)
        return;
    int column = table_->currentIndex().column();
    if (column < 0) {
        // The first scrolling column shown, wherever it was dragged from.
        column = UnitTableModel::kFixedColumns;
        for (int shown : shownColumns())
            if (shown >= UnitTableModel::kFixedColumns) {
                column = shown;
                break;
            }
    }
    const QModelIndex index = model_->index(row, column);
    settingRow_ = true;
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    settingRow_ = false;
    table_->scrollTo(index);
    doc_.view(game_).currentUnit = model_->unitAt(row);
}

void CUnitTableView::currentRowChanged() {
    const int unit = model_->unitAt(table_->currentIndex().row());
    if (unit >= 0)
        doc_.view(game_).currentUnit = unit;
}

void CUnitTableView::sortBy(QTableView* view, int column, Qt::SortOrder order) {
    if (column < 0)
        return;
    // One sort at a time: the other view's header shows none.
    QHeaderView* other = (view == fixed_ ? table_ : fixed_)->horizontalHeader();
    {
        const QSignalBlocker block(other);
        other->setSortIndicator(-1, Qt::AscendingOrder);
    }
    other->viewport()->update();
    model_->sort(column, order);
    const QModelIndex current = table_->currentIndex();
    if (current.isValid())
        table_->scrollTo(current);
}

void CUnitTableView::alignRows() {
    if (aligningRows_)
        return;
    aligningRows_ = true;
    fixed_->verticalScrollBar()->setValue(table_->verticalScrollBar()->value());
    aligningRows_ = false;
}

void CUnitTableView::alignHeaders() {
    // Rows start at the same height only under headers of the same height.
    QHeaderView* a = fixed_->horizontalHeader();
    QHeaderView* b = table_->horizontalHeader();
    a->setMinimumHeight(0);
    b->setMinimumHeight(0);
    const int height = std::max(a->sizeHint().height(), b->sizeHint().height());
    a->setFixedHeight(height);
    b->setFixedHeight(height);
}

void CUnitTableView::updateFixedWidth() {
    int width = 2 * fixed_->frameWidth();
    for (int column = 0; column < UnitTableModel::kFixedColumns; ++column)
        if (!fixed_->isColumnHidden(column))
            width += fixed_->columnWidth(column);
    fixed_->setFixedWidth(width);
}

bool CUnitTableView::isColumnShown(int column) const {
    return !viewOf(column)->isColumnHidden(column);
}

void CUnitTableView::setUnnamedShown(bool shown) {
    unnamedShown_ = shown;
    for (int column = UnitTableModel::kFixedColumns; column < model_->columnCount(); ++column)
        if (model_->field(column).fullOnly)
            table_->setColumnHidden(column, !shown);
    doc_.store.write(settingName("Unnamed", game_), shown ? "1" : "0");
    saveColumnSettings();
}

void CUnitTableView::setColumnShown(int column, bool shown) {
    if (column <= 0 || column >= model_->columnCount())
        return;
    viewOf(column)->setColumnHidden(column, !shown);
    updateFixedWidth();
    saveColumnSettings();
}

void CUnitTableView::showHeaderMenu(QTableView* view, const QPoint& at) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("columnsMenu"));
    const int clicked = view->horizontalHeader()->logicalIndexAt(at);
    if (clicked >= 0) {
        QAction* select = menu.addAction(QStringLiteral("Select Column"));
        connect(select, &QAction::triggered, this, [this, clicked] {
            table_->setCurrentIndex(model_->index(0, clicked));
            selectWhole(Qt::Vertical);
        });
        menu.addSeparator();
    }
    // The bytes the form does not name come and go together.
    QAction* unnamed = menu.addAction(QStringLiteral("Show &Unnamed Bytes"));
    unnamed->setObjectName(QStringLiteral("showUnnamedBytesAction"));
    unnamed->setCheckable(true);
    unnamed->setChecked(unnamedShown_);
    connect(unnamed, &QAction::toggled, this, [this](bool on) { setUnnamedShown(on); });
    menu.addAction(columnsAction_);
    menu.addSeparator();
    for (int column : columnOrder()) {
        if (column == 0 || (model_->field(column).fullOnly && !unnamedShown_))
            continue;
        QAction* a = menu.addAction(model_->headerData(column, Qt::Horizontal).toString());
        a->setCheckable(true);
        a->setChecked(isColumnShown(column));
        connect(a, &QAction::toggled, this,
                [this, column](bool on) { setColumnShown(column, on); });
    }
    menu.exec(view->horizontalHeader()->mapToGlobal(at));
}

int CUnitTableView::orderKey(int column) const {
    if (column < UnitTableModel::kFixedColumns)
        return column;
    return UnitTableModel::kFixedColumns + table_->horizontalHeader()->visualIndex(column);
}

std::vector<int> CUnitTableView::columnOrder() const {
    std::vector<int> order;
    for (int column = 0; column < UnitTableModel::kFixedColumns; ++column)
        order.push_back(column);
    for (int visual = 0; visual < model_->columnCount(); ++visual) {
        const int column = table_->horizontalHeader()->logicalIndex(visual);
        if (column >= UnitTableModel::kFixedColumns)
            order.push_back(column);
    }
    return order;
}

std::vector<int> CUnitTableView::shownColumns() const {
    std::vector<int> columns;
    for (int column : columnOrder())
        if (isColumnShown(column))
            columns.push_back(column);
    return columns;
}

void CUnitTableView::setScrollingOrder(const std::vector<int>& columns) {
    QHeaderView* header = table_->horizontalHeader();
    std::vector<char> placed(static_cast<std::size_t>(model_->columnCount()), 0);
    std::vector<int> order;
    for (int column : columns)
        if (column >= UnitTableModel::kFixedColumns && column < model_->columnCount() &&
            !placed[static_cast<std::size_t>(column)]) {
            placed[static_cast<std::size_t>(column)] = 1;
            order.push_back(column);
        }
    for (int column = UnitTableModel::kFixedColumns; column < model_->columnCount(); ++column)
        if (!placed[static_cast<std::size_t>(column)])
            order.push_back(column);
    // The hidden code and name first, then each column moved to its place in turn: the ones not
    // placed yet all lie after it, so no move disturbs a column already placed.
    movingColumns_ = true;
    for (int column = 0; column < UnitTableModel::kFixedColumns; ++column)
        header->moveSection(header->visualIndex(column), column);
    for (std::size_t k = 0; k < order.size(); ++k)
        header->moveSection(header->visualIndex(order[k]),
                            UnitTableModel::kFixedColumns + static_cast<int>(k));
    movingColumns_ = false;
}

void CUnitTableView::ChooseColumns() {
    std::vector<ColumnChoice> choices;
    for (int column : columnOrder()) {
        const FieldDef& f = model_->field(column);
        ColumnChoice c;
        c.column = column;
        c.caption = model_->headerData(column, Qt::Horizontal).toString();
        c.shown = isColumnShown(column);
        c.locked = column == 0;
        c.formField = !f.readOnly;
        c.combatValue = f.kind == FieldKind::Name || IsCombatValue(f);
        choices.push_back(c);
    }
    CColumnsDialog dialog(std::move(choices), this);
    dialog.setObjectName(QStringLiteral("columnsDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<ColumnChoice> chosen = dialog.choices();
    // The unnamed bytes show while any of them is ticked; those left unticked then count as
    // hidden by the user.
    unnamedShown_ = std::any_of(chosen.begin(), chosen.end(), [this](const ColumnChoice& c) {
        return c.shown && model_->field(c.column).fullOnly;
    });
    doc_.store.write(settingName("Unnamed", game_), unnamedShown_ ? "1" : "0");
    std::vector<int> scrolling;
    for (const ColumnChoice& c : chosen) {
        if (c.column > 0)
            viewOf(c.column)->setColumnHidden(c.column, !c.shown);
        if (c.column >= UnitTableModel::kFixedColumns)
            scrolling.push_back(c.column);
    }
    setScrollingOrder(scrolling);
    updateFixedWidth();
    saveColumnSettings();
}

std::vector<TableCell> CUnitTableView::selectedCells() const {
    QModelIndexList indexes = table_->selectionModel()->selectedIndexes();
    std::sort(indexes.begin(), indexes.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    std::vector<TableCell> cells;
    cells.reserve(static_cast<std::size_t>(indexes.size()));
    for (const QModelIndex& index : indexes) {
        if (!isColumnShown(index.column()))
            continue;
        const int unit = model_->unitAt(index.row());
        if (unit >= 0)
            cells.push_back({static_cast<std::size_t>(unit), &model_->field(index.column())});
    }
    return cells;
}

void CUnitTableView::showRefusal(const QString& message) {
    MessageBox(doc_.ui, "%s", ToWindows1252(message).value_or(message.toStdString()).c_str());
}

namespace {

// "3 cells of Cost, Air attack": the count and the columns the cells lie in, in the order shown.
std::string cellsAndColumns(const std::vector<TableCell>& cells, const std::vector<int>& order,
                            const UnitTableModel& model) {
    constexpr std::size_t kNamedColumns = 4;
    std::vector<std::string> names;
    for (int column : order) {
        const FieldDef& field = model.field(column);
        const bool selected = std::any_of(
            cells.begin(), cells.end(), [&field](const TableCell& c) { return c.field == &field; });
        if (selected)
            names.push_back(std::string(field.label));
    }
    std::string text = Counted(static_cast<long long>(cells.size()), "cell", "cells") + " of ";
    for (std::size_t i = 0; i < names.size() && i < kNamedColumns; ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > kNamedColumns)
        text += " and " + Counted(static_cast<long long>(names.size() - kNamedColumns),
                                  "more column", "more columns");
    return text;
}

} // namespace

void CUnitTableView::SetValue() {
    const std::vector<TableCell> cells = selectedCells();
    if (cells.empty() || !doc_.hasTable(game_))
        return;
    const std::string initial =
        doc_.formatField(game_, cells.front().unit, *cells.front().field, FieldStyle::Cell);
    // Cells of one drop-down column take one of its items.
    const FieldDef* field = cells.front().field;
    const bool oneColumn = std::all_of(cells.begin(), cells.end(),
                                       [field](const TableCell& c) { return c.field == field; });
    std::vector<std::string> items;
    if (oneColumn && IsListField(*field))
        items = ListItems(doc_, game_, *field);
    const std::optional<std::string> value = doc_.ui.askText(
        "Value for " + cellsAndColumns(cells, shownColumns(), *model_) + ":", initial, items);
    if (!value)
        return;
    const CellsResult result = SetCellsValue(doc_, game_, cells, *value);
    if (!result.ok)
        MessageBox(doc_.ui, "%s", result.message.c_str());
}

void CUnitTableView::ScaleByPercent() {
    const std::vector<TableCell> cells = selectedCells();
    if (cells.empty() || !doc_.hasTable(game_))
        return;
    const std::optional<std::string> typed =
        doc_.ui.askText("Percentage for " + cellsAndColumns(cells, shownColumns(), *model_) +
                            ":\n100 % leaves the values unchanged",
                        "100");
    if (!typed)
        return;
    std::string_view text = *typed;
    while (!text.empty() && (text.back() == ' ' || text.back() == '%'))
        text.remove_suffix(1);
    const std::optional<int> percent = ParseInteger(text);
    if (!percent) {
        MessageBox(doc_.ui, "%s", "Please enter an integer.");
        return;
    }
    const CellsResult result = ScaleCells(doc_, game_, cells, *percent);
    if (!result.ok)
        MessageBox(doc_.ui, "%s", result.message.c_str());
}

void CUnitTableView::CopySelection() {
    // The selection's ranges, never its cells one by one: a whole table is 4.9 million of them.
    const QItemSelection selection = table_->selectionModel()->selection();
    if (selection.isEmpty() || !doc_.hasTable(game_))
        return;
    const BusyCursor busy(doc_.ui);
    std::vector<char> rowTouched(static_cast<std::size_t>(model_->rowCount()), 0);
    std::vector<char> columnTouched(static_cast<std::size_t>(model_->columnCount()), 0);
    for (const QItemSelectionRange& range : selection) {
        std::fill(rowTouched.begin() + range.top(), rowTouched.begin() + range.bottom() + 1, 1);
        std::fill(columnTouched.begin() + range.left(), columnTouched.begin() + range.right() + 1,
                  1);
    }
    std::vector<int> columns;
    for (int column : shownColumns())
        if (columnTouched[static_cast<std::size_t>(column)])
            columns.push_back(column);
    if (columns.empty())
        return;
    auto selected = [&selection](int row, int column) {
        if (selection.size() == 1)
            return true; // one range: every cell of its rows and columns
        for (const QItemSelectionRange& range : selection)
            if (row >= range.top() && row <= range.bottom() && column >= range.left() &&
                column <= range.right())
                return true;
        return false;
    };
    // The block spanning the selection, in the order shown; cells outside it stay empty. Each row
    // becomes text at once, so the block never holds all its cells.
    std::string text;
    std::vector<std::vector<std::string>> line(1);
    std::size_t cells = 0;
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (!rowTouched[static_cast<std::size_t>(row)])
            continue;
        const auto unit = static_cast<std::size_t>(model_->unitAt(row));
        line[0].clear();
        for (int column : columns) {
            const bool in = selected(row, column);
            cells += in ? 1 : 0;
            line[0].push_back(
                in ? doc_.formatField(game_, unit, model_->field(column), FieldStyle::Cell)
                   : std::string());
        }
        text += MakeTabText(line);
    }
    // The clipboard holds Unicode: the names' Windows-1252 letters are converted.
    QGuiApplication::clipboard()->setText(viewtext::toQString(text));
    showStatus(
        QStringLiteral("%1 copied")
            .arg(QString::fromStdString(Counted(static_cast<long long>(cells), "cell", "cells"))));
}

void CUnitTableView::AddAmount() {
    const std::vector<TableCell> cells = selectedCells();
    if (cells.empty() || !doc_.hasTable(game_))
        return;
    const std::optional<std::string> typed =
        doc_.ui.askText("Amount to add to " + cellsAndColumns(cells, shownColumns(), *model_) +
                            ":\nA negative amount subtracts; costs go to the nearest value "
                            "they can hold",
                        "+1");
    if (!typed)
        return;
    const std::optional<int> amount = ParseInteger(*typed);
    if (!amount || *amount < -kMaxArithmeticAmount || *amount > kMaxArithmeticAmount) {
        MessageBox(doc_.ui, "%s", "Please enter an integer.");
        return;
    }
    Arithmetic add;
    add.kind = ArithmeticKind::Add;
    add.amount = *amount;
    const ArithmeticResult result = ApplyArithmetic(doc_, game_, cells, add);
    if (!result.ok) {
        MessageBox(doc_.ui, "%s", result.message.c_str());
        return;
    }
    std::string status = "Added " + std::to_string(*amount) + ": " +
                         Counted(static_cast<long long>(result.changed), "value", "values") +
                         " changed";
    if (result.rounded > 0)
        status += ", " + Counted(static_cast<long long>(result.rounded), "value", "values") +
                  " rounded to the nearest the field can hold";
    showStatus(viewtext::toQString(status));
}

void CUnitTableView::showStatus(const QString& text) {
    if (auto* main = qobject_cast<QMainWindow*>(window()))
        main->statusBar()->showMessage(text, kStatusMessageMs);
}

void CUnitTableView::PasteBlock() {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid() || !doc_.hasTable(game_))
        return;
    const BusyCursor busy(doc_.ui);
    const QString text = QGuiApplication::clipboard()->text();
    const std::optional<std::string> bytes = viewtext::toBytes(text);
    if (!bytes) {
        MessageBox(doc_.ui, "%s", Windows1252Refusal(text).toStdString().c_str());
        return;
    }
    const std::vector<int> columns = shownColumns();
    std::vector<const FieldDef*> fields;
    for (int column : columns)
        if (orderKey(column) >= orderKey(current.column()))
            fields.push_back(&model_->field(column));
    const std::vector<int>& all = model_->units();
    const std::vector<int> units(all.begin() + current.row(), all.end());
    const std::vector<std::vector<std::string>> block = ParseTabText(*bytes);
    const CellsResult result = PasteCells(doc_, game_, units, fields, block);
    if (!result.ok) {
        MessageBox(doc_.ui, "%s", result.message.c_str());
        return;
    }
    std::size_t cells = 0;
    for (const auto& row : block)
        cells += row.size();
    showStatus(
        QStringLiteral("%1 pasted")
            .arg(QString::fromStdString(Counted(static_cast<long long>(cells), "cell", "cells"))));
}

bool CUnitTableView::eventFilter(QObject* watched, QEvent* event) {
    // Enter or Down in the search box goes to what it found: the first listed unit.
    if (watched == find_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) &&
            model_->rowCount() > 0) {
            selectUnit(model_->unitAt(0));
            table_->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == fixed_ || watched == table_)) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* view = static_cast<QTableView*>(watched);
        const QModelIndex current = view->currentIndex();
        // Shift+Space selects the rows of the selected cells, Ctrl+Space their columns, as in
        // a spreadsheet (a click on a header sorts).
        if (key->key() == Qt::Key_Space &&
            (key->modifiers() == Qt::ShiftModifier || key->modifiers() == Qt::ControlModifier)) {
            selectWhole(key->modifiers() == Qt::ShiftModifier ? Qt::Horizontal : Qt::Vertical);
            return true;
        }
        // The menu key and Shift+F10 open the cells' menu beside the current cell.
        if ((key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier) ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            QPoint at = view->viewport()->rect().center();
            const QRect cell = view->visualRect(current);
            if (current.isValid() && view->viewport()->rect().intersects(cell))
                at = cell.center();
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, view->viewport()->mapTo(view, at),
                                   view->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(view, &menu);
            return true;
        }
        // While a cell is edited its editor has the keys: Enter here is on the view itself.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && current.isValid() &&
            current.column() == 0) {
            if (openRequested)
                openRequested(model_->unitAt(current.row()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CUnitTableView::selectWhole(Qt::Orientation orientation) {
    QItemSelectionModel* selection = table_->selectionModel();
    QModelIndexList indexes = selection->selectedIndexes();
    if (indexes.isEmpty() && table_->currentIndex().isValid())
        indexes.push_back(table_->currentIndex());
    std::set<int> lines;
    for (const QModelIndex& index : indexes)
        lines.insert(orientation == Qt::Horizontal ? index.row() : index.column());
    QItemSelection whole;
    const int lastRow = model_->rowCount() - 1;
    const int lastColumn = model_->columnCount() - 1;
    for (int line : lines) {
        if (orientation == Qt::Horizontal)
            whole.select(model_->index(line, 0), model_->index(line, lastColumn));
        else
            whole.select(model_->index(0, line), model_->index(lastRow, line));
    }
    selection->select(whole, QItemSelectionModel::ClearAndSelect);
}

void CUnitTableView::hideEvent(QHideEvent* event) {
    saveColumnSettings();
    QWidget::hideEvent(event);
}

void CUnitTableView::loadColumnSettings() {
    // The unnamed bytes are hidden until the user asks for them.
    unnamedShown_ = doc_.store.read(settingName("Unnamed", game_)).value_or("0") == "1";
    if (!unnamedShown_)
        for (int column = UnitTableModel::kFixedColumns; column < model_->columnCount(); ++column)
            if (model_->field(column).fullOnly)
                table_->setColumnHidden(column, true);
    const std::optional<std::string> hidden = doc_.store.read(settingName("Hidden", game_));
    if (hidden) {
        std::istringstream names(*hidden);
        std::string name;
        while (std::getline(names, name, ','))
            if (const FieldDef* f = FindField(game_, name)) {
                const int column = model_->columnOf(*f);
                if (column > 0)
                    viewOf(column)->setColumnHidden(column, true);
            }
    }
    if (const std::optional<std::string> order = doc_.store.read(settingName("Order", game_))) {
        std::istringstream names(*order);
        std::string name;
        std::vector<int> columns;
        while (std::getline(names, name, ','))
            if (const FieldDef* f = FindField(game_, name))
                columns.push_back(model_->columnOf(*f));
        setScrollingOrder(columns);
    }
    const std::optional<std::string> widths = doc_.store.read(settingName("Widths", game_));
    if (widths) {
        std::istringstream entries(*widths);
        std::string entry;
        while (std::getline(entries, entry, ',')) {
            const std::size_t equals = entry.find('=');
            if (equals == std::string::npos)
                continue;
            const FieldDef* f = FindField(game_, entry.substr(0, equals));
            const std::optional<int> width =
                ParseInteger(std::string_view(entry).substr(equals + 1), 8, 2000);
            if (f == nullptr || !width)
                continue;
            const int column = model_->columnOf(*f);
            if (column >= 0)
                viewOf(column)->setColumnWidth(column, *width);
        }
    }
}

void CUnitTableView::saveColumnSettings() {
    std::string hidden;
    std::string widths;
    for (int column = 0; column < model_->columnCount(); ++column) {
        const std::string name = model_->field(column).name;
        // Hidden with the unnamed bytes is not hidden by the user.
        const bool withUnnamed = model_->field(column).fullOnly && !unnamedShown_;
        if (!isColumnShown(column) && !withUnnamed)
            hidden += (hidden.empty() ? "" : ",") + name;
        const int width = viewOf(column)->columnWidth(column);
        if (width > 0)
            widths += (widths.empty() ? "" : ",") + name + "=" + std::to_string(width);
    }
    std::string order;
    for (int column : columnOrder())
        if (column >= UnitTableModel::kFixedColumns)
            order += (order.empty() ? "" : ",") + std::string(model_->field(column).name);
    // The form's order is kept as none, so columns a later version adds find their own place.
    bool formOrder = true;
    int previous = -1;
    for (int column : columnOrder()) {
        formOrder = formOrder && column > previous;
        previous = column;
    }
    if (formOrder)
        order.clear();
    const std::string orderSetting = settingName("Order", game_);
    if (doc_.store.read(orderSetting).value_or("") != order)
        doc_.store.write(orderSetting, order);
    const std::string hiddenKey = settingName("Hidden", game_);
    const std::string widthsKey = settingName("Widths", game_);
    if (doc_.store.read(hiddenKey).value_or("") != hidden)
        doc_.store.write(hiddenKey, hidden);
    if (doc_.store.read(widthsKey).value_or("") != widths)
        doc_.store.write(widthsKey, widths);
}

void CUnitTableView::historyChanged(Game game) {
    // A save makes the table the files' again: the tints go.
    if (game == game_) {
        table_->viewport()->update();
        fixed_->viewport()->update();
    }
}

void CUnitTableView::refreshAllViews() {
    fillFilterLists();
    Activate();
}

void CUnitTableView::documentChanged(const DocChange& change) {
    if (change.game != game_)
        return;
    switch (change.scope) {
    case DocChange::Scope::Units:
        model_->unitsChanged(change.first, change.count);
        return;
    case DocChange::Scope::Count:
        relist();
        return;
    case DocChange::Scope::Table:
        fillFilterLists();
        Activate();
        return;
    }
}

} // namespace varnel
