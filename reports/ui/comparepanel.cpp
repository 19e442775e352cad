#include "reports/ui/comparepanel.h"

#include "app/ui/text1252.h"
#include "base/format.h"
#include "base/paths.h"

#include "ui_comparepanel.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <set>

namespace varnel {

namespace {
enum Column { UnitColumn, CodeColumn, NameColumn, FieldColumn, OursColumn, TheirsColumn, Columns };
} // namespace

// One line per field that differs, then one per unit only one side holds.
class CompareModel : public QAbstractTableModel {
  public:
    enum class Kind { Field, OnlyOurs, OnlyTheirs };
    struct Line {
        Kind kind;
        std::size_t entry; // into changed, onlyOurs or onlyTheirs
        std::size_t field; // into the entry's fields
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setComparison(const TableComparison* comparison) {
        beginResetModel();
        comparison_ = comparison;
        lines_.clear();
        if (comparison_ != nullptr) {
            for (std::size_t u = 0; u < comparison_->changed.size(); ++u)
                for (std::size_t f = 0; f < comparison_->changed[u].fields.size(); ++f)
                    lines_.push_back({Kind::Field, u, f});
            for (std::size_t u = 0; u < comparison_->onlyOurs.size(); ++u)
                lines_.push_back({Kind::OnlyOurs, u, 0});
            for (std::size_t u = 0; u < comparison_->onlyTheirs.size(); ++u)
                lines_.push_back({Kind::OnlyTheirs, u, 0});
        }
        endResetModel();
    }

    const Line& line(int row) const { return lines_[static_cast<std::size_t>(row)]; }

    std::size_t unitOf(int row) const {
        const Line& l = line(row);
        switch (l.kind) {
        case Kind::Field:
            return comparison_->changed[l.entry].unit;
        case Kind::OnlyOurs:
            return comparison_->onlyOurs[l.entry].unit;
        case Kind::OnlyTheirs:
            break;
        }
        return comparison_->onlyTheirs[l.entry].unit;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Columns;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const titles[] = {"Unit", "Code", "Name", "Field", "Current", "Theirs"};
        return QString::fromLatin1(titles[section]);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const Line& l = line(index.row());
        std::size_t unit = 0;
        std::uint16_t code = 0;
        const std::string* name = nullptr;
        const FieldDifference* field = nullptr;
        if (l.kind == Kind::Field) {
            const UnitDifference& u = comparison_->changed[l.entry];
            unit = u.unit;
            code = u.code;
            name = &u.name;
            field = &u.fields[l.field];
        } else {
            const LoneUnit& u = l.kind == Kind::OnlyOurs ? comparison_->onlyOurs[l.entry]
                                                         : comparison_->onlyTheirs[l.entry];
            unit = u.unit;
            code = u.code;
            name = &u.name;
        }
        switch (index.column()) {
        case UnitColumn:
            return static_cast<qulonglong>(unit);
        case CodeColumn:
            return int{code};
        case NameColumn:
            return FromWindows1252(*name);
        case FieldColumn:
            if (field == nullptr)
                return l.kind == Kind::OnlyOurs ? QStringLiteral("only in the table shown")
                                                : QStringLiteral("only in the other file");
            return role == Qt::ToolTipRole ? QString::fromLatin1(field->field->name)
                                           : FromWindows1252(std::string(field->field->label));
        case OursColumn:
            return field ? FromWindows1252(field->ours) : QVariant();
        case TheirsColumn:
            return field ? FromWindows1252(field->theirs) : QVariant();
        default:
            return {};
        }
    }

  private:
    const TableComparison* comparison_ = nullptr;
    std::vector<Line> lines_;
};

CComparePanel::CComparePanel(CVarnelDoc& doc, QWidget* parent)
    : QDockWidget(QStringLiteral("Compare"), parent), ui(std::make_unique<Ui::ComparePanel>()),
      doc_(doc) {
    setObjectName(QStringLiteral("compareDock"));
    auto* body = new QWidget(this);
    ui->setupUi(body);
    setWidget(body);
    model_ = new CompareModel(this);
    ui->compareTableView->setModel(model_);
    ui->compareTableView->verticalHeader()->hide();
    ui->compareTableView->horizontalHeader()->setStretchLastSection(true);
    connect(ui->compareTableView, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        if (other_ && i.isValid())
            emit unitChosen(other_->game, static_cast<int>(model_->unitOf(i.row())));
    });
    connect(ui->compareTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { updateButtons(); });
    connect(ui->takeTheirValueButton, &QPushButton::clicked, this, [this] { takeSelected(); });
    connect(ui->takeAllButton, &QPushButton::clicked, this, [this] { takeAll(); });
    doc_.addObserver(this);
    updateButtons();
}

CComparePanel::~CComparePanel() {
    doc_.removeObserver(this);
}

std::optional<Game> CComparePanel::game() const {
    return other_ ? std::optional<Game>(other_->game) : std::nullopt;
}

void CComparePanel::compareWith(OtherEFile other) {
    other_ = std::move(other);
    recompare();
    show();
    raise();
}

void CComparePanel::recompare() {
    const bool comparable = other_ && doc_.hasTable(other_->game);
    comparison_ = comparable ? CompareWithDocument(doc_, *other_) : TableComparison{};
    showComparison();
}

void CComparePanel::showComparison() {
    const bool comparable = other_ && doc_.hasTable(other_->game);
    model_->setComparison(comparable ? &comparison_ : nullptr);
    ui->compareTableView->resizeColumnsToContents();
    QString text;
    if (comparable) {
        const QString file = FromPath(GetPathPart(other_->path, PathPart::NameExtension));
        text = comparison_.equal() ? QStringLiteral("The units shown are those of %1").arg(file)
                                   : QStringLiteral("%1, %2 only in the table shown, %3 only in %4")
                                         .arg(QString::fromStdString(Counted(
                                             static_cast<long long>(comparison_.changed.size()),
                                             "unit differs", "units differ")))
                                         .arg(comparison_.onlyOurs.size())
                                         .arg(comparison_.onlyTheirs.size())
                                         .arg(file);
        if (!other_->namesRead)
            text += QStringLiteral(" (names not compared)");
        setWindowTitle(QStringLiteral("Compare with %1").arg(file));
    }
    ui->compareSummaryLabel->setText(text);
    updateButtons();
}

void CComparePanel::updateButtons() {
    bool takeable = false;
    for (const QModelIndex& row : ui->compareTableView->selectionModel()->selectedRows())
        takeable = takeable || model_->line(row.row()).kind != CompareModel::Kind::OnlyOurs;
    ui->takeTheirValueButton->setEnabled(other_ && takeable);
    ui->takeAllButton->setEnabled(other_ && doc_.hasTable(other_->game) && !comparison_.equal());
}

void CComparePanel::takeSelected() {
    if (!other_)
        return;
    std::vector<TakeItem> items;
    for (const QModelIndex& row : ui->compareTableView->selectionModel()->selectedRows()) {
        const CompareModel::Line& l = model_->line(row.row());
        if (l.kind == CompareModel::Kind::Field)
            items.push_back({comparison_.changed[l.entry].unit,
                             comparison_.changed[l.entry].fields[l.field].field});
        else if (l.kind == CompareModel::Kind::OnlyTheirs)
            items.push_back({comparison_.onlyTheirs[l.entry].unit, nullptr});
    }
    // The list is made again by the change the take makes.
    TakeTheirValues(doc_, *other_, items);
}

void CComparePanel::takeAll() {
    if (other_)
        TakeAll(doc_, *other_);
}

void CComparePanel::refreshAllViews() {
    if (other_)
        recompare();
}

void CComparePanel::documentChanged(const DocChange& change) {
    if (!other_ || change.game != other_->game)
        return;
    // Units that changed in place are compared again; the rest of the list stays.
    if (change.scope == DocChange::Scope::Units && doc_.hasTable(change.game)) {
        const bool updated = change.game == Game::Pg2
                                 ? UpdateComparison(comparison_, *doc_.pg2(), other_->pg2,
                                                    change.first, change.count)
                                 : UpdateComparison(comparison_, *doc_.peg(), other_->peg,
                                                    change.first, change.count);
        if (updated) {
            showComparison();
            return;
        }
    }
    recompare();
}

} // namespace varnel
