#include "reports/ui/checkpanel.h"

#include "app/compareandcheck.h"
#include "app/ui/text1252.h"
#include "base/format.h"
#include "base/paths.h"

#include "ui_checkpanel.h"

#include <QAbstractTableModel>
#include <QHeaderView>

namespace varnel {

namespace {
enum Column { SeverityColumn, UnitColumn, CodeColumn, NameColumn, FindingColumn, Columns };
} // namespace

class FindingsModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setFindings(const std::vector<Finding>* findings) {
        beginResetModel();
        findings_ = findings;
        endResetModel();
    }
    const Finding& finding(int row) const { return (*findings_)[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() || findings_ == nullptr ? 0 : static_cast<int>(findings_->size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const titles[] = {"Severity", "Unit", "Code", "Name", "Finding"};
        return QString::fromLatin1(titles[section]);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const Finding& f = finding(index.row());
        switch (index.column()) {
        case SeverityColumn:
            return QString::fromLatin1(SeverityName(f.severity));
        case UnitColumn:
            return f.unit ? QVariant(static_cast<qulonglong>(*f.unit)) : QVariant();
        case CodeColumn:
            return f.unit ? QVariant(int{f.code}) : QVariant();
        case NameColumn:
            return f.unit ? FromWindows1252(f.name) : QStringLiteral("Names E-File");
        case FindingColumn:
            return FromWindows1252(f.message);
        default:
            return {};
        }
    }

  private:
    const std::vector<Finding>* findings_ = nullptr;
};

CCheckPanel::CCheckPanel(CVarnelDoc& doc, QWidget* parent)
    : QDockWidget(QStringLiteral("Check Catalogue"), parent),
      ui(std::make_unique<Ui::CheckPanel>()), doc_(doc) {
    setObjectName(QStringLiteral("checkDock"));
    auto* body = new QWidget(this);
    ui->setupUi(body);
    setWidget(body);
    model_ = new FindingsModel(this);
    ui->findingsTableView->setModel(model_);
    ui->findingsTableView->verticalHeader()->hide();
    ui->findingsTableView->horizontalHeader()->setStretchLastSection(true);
    connect(ui->findingsTableView, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        if (i.isValid())
            if (const Finding& f = model_->finding(i.row()); f.unit)
                emit unitChosen(game_, static_cast<int>(*f.unit));
    });
    connect(ui->checkAgainButton, &QPushButton::clicked, this, [this] { runCheck(game_); });
}

CCheckPanel::~CCheckPanel() = default;

void CCheckPanel::runCheck(Game game) {
    if (!doc_.hasTable(game))
        return;
    game_ = game;
    model_->setFindings(nullptr);
    result_ = CheckCatalogue(doc_, game);
    model_->setFindings(&result_.findings);
    ui->findingsTableView->resizeColumnsToContents();
    const QString file =
        FromPath(GetPathPart(doc_.settings().eFile(game), PathPart::NameExtension));
    const auto counted = [this](Severity severity, const char* one, const char* many) {
        return QString::fromStdString(
            Counted(static_cast<long long>(result_.count(severity)), one, many));
    };
    ui->checkSummaryLabel->setText(QStringLiteral("%1, %2 in the %3 units of %4")
                                       .arg(counted(Severity::Error, "error", "errors"))
                                       .arg(counted(Severity::Warning, "warning", "warnings"))
                                       .arg(QString::fromLatin1(GameName(game)))
                                       .arg(file));
    QStringList skipped;
    for (const std::string& s : result_.skipped)
        skipped << QStringLiteral("Skipped ") + FromPath(s);
    ui->skippedLabel->setText(skipped.join(QLatin1Char('\n')));
    setWindowTitle(QStringLiteral("Check Catalogue: %1").arg(file));
    show();
    raise();
}

} // namespace varnel
