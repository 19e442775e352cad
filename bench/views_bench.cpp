// The unit forms at 1,000 and 65,535 units, offscreen with every widget: filling the list, a
// class filter, a name search and showing a unit. Filling, filtering and searching walk the
// table once, so the larger size should cost about 65.5 times the smaller; showing a unit touches
// one unit and the lines in sight, so it should cost the same at both sizes.

#include "bench/benchsupport.h"

#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "views/unittablemodel.h"
#include "views/unittableview.h"
#include "views/view2.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

namespace varnel {

namespace {

// A document over a silent Ui port with a synthetic PG2 table, and its form, shown.
struct Form {
    explicit Form(std::size_t units) : doc(ui, store) {
        doc.loadTable(MakeBenchPg2Table(units));
        view = std::make_unique<CView2>(doc);
        view->show();
        QCoreApplication::processEvents();
    }
    template <class T> T* child(const char* name) {
        return view->findChild<T*>(QLatin1String(name));
    }

    SilentUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc;
    std::unique_ptr<CView2> view;
};

void BM_FillUnitList(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        form.view->FillUnitList();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every other round filters by a class, the next one lifts the filter again.
void BM_ClassFilter(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    auto* filter = form.child<QComboBox>("classFilterComboBox");
    int round = 0;
    for (auto _ : state) {
        filter->setCurrentIndex(++round % 2 == 0 ? 0 : 2);
        form.view->ApplyFilters();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A search that matches about one unit in ten ("Unit number 12", "... 120" and so on).
void BM_Find(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    auto* find = form.child<QLineEdit>("findLineEdit");
    int round = 0;
    for (auto _ : state) {
        // Setting the text runs the search.
        find->setText(++round % 2 == 0 ? QStringLiteral("ber 1") : QStringLiteral("BER 2"));
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Showing the unit of the selected line: every control loaded and the icon painted, then the
// pending paints of the form done.
void BM_ShowUnit(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        form.view->ShowUnit();
        QCoreApplication::processEvents();
    }
}

// The same without the paints: what ShowUnit itself costs.
void BM_ShowUnitControls(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        form.view->ShowUnit();
    QCoreApplication::processEvents();
}

} // namespace

// Opening the units table: the table made, its rows listed and the rows in sight painted. Only
// the rows in sight are computed, so both sizes should cost about the same.
void BM_OpenUnitsTable(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    form.view->hide();
    for (auto _ : state) {
        CUnitTableView table(form.doc, Game::Pg2);
        table.resize(1000, 600);
        table.show();
        table.Activate();
        benchmark::DoNotOptimize(table.grab());
    }
}

// Sorting the units table by a number column, each round the other way.
void BM_SortUnitsTable(benchmark::State& state) {
    Form form(static_cast<std::size_t>(state.range(0)));
    UnitTableModel model(form.doc, Game::Pg2);
    model.relist();
    const int column = model.columnOf(*FindField(Game::Pg2, "hardAtk"));
    int round = 0;
    for (auto _ : state)
        model.sort(column, ++round % 2 == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Copying every shown cell of the table (Ctrl+A, Ctrl+C), and pasting that block back over the
// same cells (Ctrl+V): both walk each cell once, so the larger size should cost about 65.5 times
// the smaller.
struct ShownTable {
    explicit ShownTable(std::size_t units) : form(units) {
        form.view->hide();
        table = std::make_unique<CUnitTableView>(form.doc, Game::Pg2);
        table->resize(1000, 600);
        table->show();
        table->Activate();
        QCoreApplication::processEvents();
    }
    Form form;
    std::unique_ptr<CUnitTableView> table;
};

void BM_CopyAllCells(benchmark::State& state) {
    ShownTable shown(static_cast<std::size_t>(state.range(0)));
    shown.table->tableView()->selectAll();
    for (auto _ : state)
        shown.table->CopySelection();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PasteAllCells(benchmark::State& state) {
    ShownTable shown(static_cast<std::size_t>(state.range(0)));
    QTableView* view = shown.table->tableView();
    view->selectAll();
    shown.table->CopySelection();
    // The block without the code and name: what the scrolling view's first cell takes.
    QString text = QGuiApplication::clipboard()->text();
    QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.section(QLatin1Char('\t'), 2);
    QGuiApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")));
    view->setCurrentIndex(view->model()->index(0, UnitTableModel::kFixedColumns));
    for (auto _ : state)
        shown.table->PasteBlock();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CopyAllCells)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteAllCells)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenUnitsTable)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortUnitsTable)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillUnitList)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassFilter)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowUnit)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowUnitControls)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);

} // namespace varnel

namespace {
QtMessageHandler previousHandler = nullptr;

// The offscreen platform says on every show that it cannot do what a desktop does.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("This plugin does not support")) && previousHandler)
        previousHandler(type, context, message);
}
} // namespace

int main(int argc, char** argv) {
    previousHandler = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
