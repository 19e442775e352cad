// The edit path and its history: a field edit with its undo at 1,000 and 65,535 units (goal: the
// same cost at both sizes, within 1.3x), undo and redo of the cost change beside the command
// itself (goal: at most 2x), and the memory a step keeps, counted by the allocator (goals:
// 10,000 field edits under 2 MiB; a cost change over 65,535 units under 2 bytes per changed
// unit plus a constant; deleting one of 65,535 units under 4 KiB plus that unit).

#include "app/settingsstore.h"
#include "app/table/tablecells.h"
#include "app/varneldoc.h"
#include "bench/benchsupport.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <new>

// The memory figures count what operator new hands out while a figure is taken: the allocator's
// own statistics count small freed blocks in its per-thread caches as in use, which hides the
// few hundred bytes a step keeps.
namespace {
bool gCounting = false;
long long gLive = 0;

void* counted(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr)
        throw std::bad_alloc();
    if (gCounting)
        gLive += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void uncounted(void* p) noexcept {
    if (p != nullptr && gCounting)
        gLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) {
    return counted(n);
}
void* operator new[](std::size_t n) {
    return counted(n);
}
void operator delete(void* p) noexcept {
    uncounted(p);
}
void operator delete[](void* p) noexcept {
    uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    uncounted(p);
}

namespace varnel {
namespace {

constexpr int kSmall = 1000;
constexpr int kLarge = 65535;

// A document holding one PeG table of `count` units, as loaded, each of a country 1..20 (so that
// a cost change over every country reaches every unit).
struct BenchDoc {
    explicit BenchDoc(std::size_t count) : doc(ui, store) {
        PegUnitTable table = MakeBenchPegTable(count);
        for (std::size_t i = 0; i < count; ++i)
            table.units[i].record[peg::Country] = static_cast<std::uint8_t>(1 + i % 20);
        doc.loadTable(std::move(table));
        doc.setCurrentGame(Game::Peg);
    }
    SilentUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc;
};

// Counts the bytes allocated from now on (less those freed) until the object ends.
class Counting {
  public:
    Counting() {
        gLive = 0;
        gCounting = true;
    }
    ~Counting() { gCounting = false; }
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;
    double bytes() const { return static_cast<double>(gLive); }
};

CostChoices everyCountry(int percent) {
    CostChoices choices;
    for (std::size_t c = 1; c < choices.enabled.size(); ++c) {
        choices.enabled[c] = true;
        choices.percent[c] = percent;
    }
    return choices;
}

// One edit of a unit in the middle of the table, and its undo.
void BM_FieldEditAndUndo(benchmark::State& state) {
    BenchDoc b(static_cast<std::size_t>(state.range(0)));
    const FieldDef& airAtk = *FindField(Game::Peg, "airAtk");
    const std::size_t unit = b.doc.unitCount(Game::Peg) / 2;
    const char* values[] = {"17", "18"};
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.doc.setField(Game::Peg, unit, airAtk, values[k ^= 1]).ok);
        benchmark::DoNotOptimize(b.doc.undo(Game::Peg));
    }
}
BENCHMARK(BM_FieldEditAndUndo)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

// "Set Value" over a whole column of the units table, then its undo: both walk the column once.
void BM_SetValueAndUndo(benchmark::State& state) {
    BenchDoc b(static_cast<std::size_t>(state.range(0)));
    const FieldDef& airAtk = *FindField(Game::Peg, "airAtk");
    std::vector<TableCell> cells;
    for (std::size_t u = 0; u < b.doc.unitCount(Game::Peg); ++u)
        cells.push_back({u, &airAtk});
    const char* values[] = {"17", "18"};
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SetCellsValue(b.doc, Game::Peg, cells, values[k ^= 1]).ok);
        benchmark::DoNotOptimize(b.doc.undo(Game::Peg));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SetValueAndUndo)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);

// The cost change over every unit, then its undo and its redo, each timed on its own.
void BM_CostChange(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto b = std::make_unique<BenchDoc>(static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        benchmark::DoNotOptimize(b->doc.changeCosts(everyCountry(137)));
        state.PauseTiming();
        b.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CostChange)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_CostUndo(benchmark::State& state) {
    BenchDoc b(static_cast<std::size_t>(state.range(0)));
    b.doc.changeCosts(everyCountry(137));
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.doc.undo(Game::Peg));
        state.PauseTiming();
        b.doc.redo(Game::Peg);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CostUndo)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_CostRedo(benchmark::State& state) {
    BenchDoc b(static_cast<std::size_t>(state.range(0)));
    b.doc.changeCosts(everyCountry(137));
    for (auto _ : state) {
        state.PauseTiming();
        b.doc.undo(Game::Peg);
        state.ResumeTiming();
        benchmark::DoNotOptimize(b.doc.redo(Game::Peg));
    }
}
BENCHMARK(BM_CostRedo)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(30);

// The memory figures: one round each, the bytes the history keeps as counters.
void BM_HistoryOfFieldEdits(benchmark::State& state) {
    for (auto _ : state) {
        BenchDoc b(kLarge);
        const FieldDef& airAtk = *FindField(Game::Peg, "airAtk");
        const Counting counting;
        for (int i = 0; i < state.range(0); ++i)
            b.doc.setField(Game::Peg, static_cast<std::size_t>(i * 7 % kLarge), airAtk,
                           std::to_string(i % 250));
        state.counters["bytes"] = counting.bytes();
        state.counters["steps"] = static_cast<double>(b.doc.history(Game::Peg).count());
    }
}
BENCHMARK(BM_HistoryOfFieldEdits)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HistoryOfCostChange(benchmark::State& state) {
    for (auto _ : state) {
        BenchDoc b(kLarge);
        const PegUnitTable before = *b.doc.peg();
        double bytes = 0;
        {
            const Counting counting;
            b.doc.changeCosts(everyCountry(137));
            bytes = counting.bytes();
        }
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.count(); ++i)
            changed += before.units[i].record[peg::Cost] != b.doc.peg()->units[i].record[peg::Cost];
        state.counters["bytes"] = bytes;
        state.counters["changed"] = static_cast<double>(changed);
        state.counters["bytesPerChanged"] = bytes / static_cast<double>(changed);
    }
}
BENCHMARK(BM_HistoryOfCostChange)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HistoryOfDelete(benchmark::State& state) {
    for (auto _ : state) {
        BenchDoc b(kLarge);
        const Counting counting;
        b.doc.deleteUnit(Game::Peg, 100);
        state.counters["bytes"] = counting.bytes();
        state.counters["unitBytes"] = static_cast<double>(sizeof(PegUnit));
    }
}
BENCHMARK(BM_HistoryOfDelete)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnel
